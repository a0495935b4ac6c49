#include "support/CrashRecords.h"

#include "analytics/AnalyticsPersistObjectRegister.h"
#include "analytics/kel/KelInputStream.h"
#include "support/LoopbackEnvelope.h"

#include <gtest/gtest.h>

namespace CrashRecords {

std::vector<std::shared_ptr<NSExpUpload>> stored(AnaSqlitePersistHandler& store)
{
    AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
    std::vector<std::shared_ptr<NSExpUpload>> out;
    for (const auto& record : store.getObjectsWithCountOfType(NSExpUpload::kPersistType, 100, nullptr))
        out.push_back(std::dynamic_pointer_cast<NSExpUpload>(record));
    return out;
}

std::vector<std::shared_ptr<NSExpUpload>> storedIn(const QString& documents)
{
    AnaSqlitePersistHandler store(documents);
    return store.initDB(nullptr) ? stored(store) : std::vector<std::shared_ptr<NSExpUpload>>();
}

std::vector<exceptionupload::ExceptionUpload> sent(const QByteArray& envelope)
{
    std::vector<exceptionupload::ExceptionUpload> list;
    const auto decoded = LoopbackEnvelope::decodeRequest(envelope);
    EXPECT_TRUE(decoded.ok) << decoded.error.toStdString();
    const auto it = decoded.mix.find(3);
    if (it != decoded.mix.end()) {
        analyticsrov::KelInputStream is(it->second);
        is.read(list, 0, true);
    }
    return list;
}

}
