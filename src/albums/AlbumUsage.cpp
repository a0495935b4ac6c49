#include "albums/AlbumUsage.h"

#include "Public/ZoDadiUsageInfoManager.h"
#include "platform/core/UsageRecorder.h"

namespace AlbumUsage {

Recorder defaultRecorder()
{
    return [](int eventId) {
        if (UsageRecorder* recorder = UsageRecorder::shared())
            recorder->insertRecordForType(eventId);
        else
            ZoDadiUsageInfoManager::sharedSoftUsageInfoManager().insertRecordForType(eventId);
    };
}

}
