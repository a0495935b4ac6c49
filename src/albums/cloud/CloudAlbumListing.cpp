#include "albums/cloud/CloudAlbumListing.h"

#include "albums/device/GridRows.h"
#include "disk/DiskFileHelper.h"

#include <algorithm>

void CloudAlbumListing::setListing(const QList<DiskFilePtr>& files, const QList<DiskDirPtr>& dirs)
{
    m_entries.clear();
    for (const DiskDirPtr& dir : dirs) {
        if (dir)
            m_entries.append(CloudEntry{dir, nullptr});
    }
    m_folders = static_cast<int>(m_entries.size());
    for (const DiskFilePtr& file : files) {
        if (!file)
            continue;
        file->setExtType(DiskFileHelper::fileExtensionTypeFrom(file->file_name()));
        if (file->extType() == DiskFileTypeImage && file->file_cur_size() == file->file_size())
            m_entries.append(CloudEntry{nullptr, file});
    }
    m_shown = std::min(count(), kPageSize);
}

void CloudAlbumListing::clear()
{
    m_entries.clear();
    m_folders = 0;
    m_shown = 0;
}

DiskFilePtr CloudAlbumListing::cover() const
{
    return m_folders < count() ? m_entries[m_folders].file : nullptr;
}

QList<DiskFilePtr> CloudAlbumListing::shownPhotos() const
{
    QList<DiskFilePtr> photos;
    for (int i = m_folders; i < m_shown; ++i)
        photos.append(m_entries[i].file);
    return photos;
}

DiskFilePtr CloudAlbumListing::photoWithId(const QString& fileId) const
{
    for (int i = m_folders; i < count(); ++i) {
        if (m_entries[i].file->file_id() == fileId)
            return m_entries[i].file;
    }
    return nullptr;
}

bool CloudAlbumListing::showNextPage()
{
    if (!hasMore())
        return false;
    m_shown = std::min(count(), m_shown + kPageSize);
    return true;
}

int CloudAlbumListing::rowCount() const
{
    return GridRows::rowCount(m_shown, kPerRow) + (hasMore() ? 1 : 0);
}

bool CloudAlbumListing::isMoreRow(int row) const
{
    return hasMore() && row == rowCount() - 1;
}

int CloudAlbumListing::rowHeight(int row) const
{
    if (isMoreRow(row))
        return kMoreRowHeight;
    return row == 0 ? kTopRowHeight : kRowHeight;
}

std::pair<int, int> CloudAlbumListing::rowRange(int row) const
{
    return GridRows::rowRange(row, m_shown, kPerRow);
}
