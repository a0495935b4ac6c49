#include "albums/private/SecretAlbumGrid.h"

#include "albums/device/GridRows.h"
#include "platform/core/Localization.h"

void SecretAlbumGrid::setList(const PavPhotoModelList& list)
{
    clear();
    m_oriDataArray = list;
    for (const PavPhotoModelPtr& photo : m_oriDataArray) {
        photo->setIsChecked(false);
        m_byUuid.insert(photo->photoUUID(), photo);
        const QDate day = dayOf(*photo);
        if (m_dateTitleArray.empty() || m_dateTitleArray.back() != day) {
            m_dateTitleArray.push_back(day);
            m_dataArray.emplace_back();
        }
        m_dataArray.back().append(photo);
    }
}

void SecretAlbumGrid::clear()
{
    clearSelection();
    m_oriDataArray.clear();
    m_byUuid.clear();
    m_dataArray.clear();
    m_dateTitleArray.clear();
}

QDate SecretAlbumGrid::dayOf(const PavPhotoModel& photo) const
{
    return photo.photoCreateTime().toTimeZone(m_zone).date();
}

int SecretAlbumGrid::sectionOfDay(const QDate& day) const
{
    for (size_t i = 0; i < m_dateTitleArray.size(); ++i) {
        if (m_dateTitleArray[i] == day)
            return static_cast<int>(i);
    }
    return -1;
}

int SecretAlbumGrid::rowCount(int s) const
{
    return GridRows::rowCount(static_cast<int>(m_dataArray[s].size()), GridRows::kPhotosPerRow);
}

int SecretAlbumGrid::rowHeight(int s, int row) const
{
    return GridRows::rowHeight(row, rowCount(s));
}

PavPhotoModelList SecretAlbumGrid::photosForIndexPath(int s, int row) const
{
    const PavPhotoModelList& group = m_dataArray[s];
    const auto [first, end] = GridRows::rowRange(row, static_cast<int>(group.size()), GridRows::kPhotosPerRow);
    return group.mid(first, end - first);
}

void SecretAlbumGrid::photoToggled(const PavPhotoModelPtr& photo)
{
    if (photo && find(photo->photoUUID()))
        m_selection.set(photo->photoUUID(), photo->isChecked());
}

int SecretAlbumGrid::checkAll(int s, bool checked)
{
    if (s < 0 || s >= sectionCount())
        return 0;
    int changed = 0;
    for (const PavPhotoModelPtr& photo : m_dataArray[s]) {
        if (photo->isChecked() != checked) {
            photo->setIsChecked(checked);
            m_selection.set(photo->photoUUID(), checked);
            ++changed;
        }
    }
    return changed;
}

bool SecretAlbumGrid::isAllChecked(const QDate& day) const
{
    const int s = sectionOfDay(day);
    if (s < 0)
        return false;
    for (const PavPhotoModelPtr& photo : m_dataArray[s]) {
        if (!photo->isChecked())
            return false;
    }
    return true;
}

PavPhotoModelList SecretAlbumGrid::selectedPhotoModels() const
{
    PavPhotoModelList out;
    for (const QString& uuid : m_selection.ids()) {
        if (PavPhotoModelPtr photo = find(uuid))
            out.append(photo);
    }
    return out;
}

void SecretAlbumGrid::clearSelection()
{
    for (const PavPhotoModelPtr& photo : m_oriDataArray)
        photo->setIsChecked(false);
    m_selection.clear();
}

QString SecretAlbumGrid::selectionText(int count)
{
    if (count > 0)
        return L("已选择%1张照片").arg(count);
    return L("请选择照片");
}

PavPhotoModelPtr SecretAlbumGrid::find(const QString& uuid) const
{
    return m_byUuid.value(uuid);
}
