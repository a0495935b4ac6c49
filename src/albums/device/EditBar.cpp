#include "albums/device/EditBar.h"

#include "platform/core/Localization.h"

EditBar::Look EditBar::look(const State& s)
{
    Look l{};
    l.cancelVisible = s.editing;
    l.countVisible = s.editing;
    l.lockVisible = s.editing && s.entry == Entry::Lock;
    l.backupVisible = s.editing && s.entry == Entry::Backup;
    l.lockEditVisible = !s.editing && !s.videos;
    l.backupEditVisible = !s.editing && !s.videos;
    l.sliderVisible = !s.editing;
    l.editButtonsEnabled = !s.videos && s.hasPhotos && !s.libraryRefused;
    l.actionsEnabled = s.selected > 0;
    l.countText = s.selected > 0 ? L("已选择%1张照片").arg(s.selected) : L("请选择照片");
    return l;
}
