#pragma once

#include "disk/DiskManagerDelegate.h"

#include <QList>

#include <utility>

// One entry of the cloud album's grid: a folder or a photo.
struct CloudEntry {
    DiskDirPtr dir;
    DiskFilePtr file;
    bool isFolder() const { return dir != nullptr; }
};

// What the cloud album shows of one folder, without widgets: the listed
// sub-folders first, then the complete image files, both in the order of the
// listing (newest first); the first pages of it shown, 35 entries a page;
// the grid's rows of five with a "more" row while entries are left.
class CloudAlbumListing {
public:
    static constexpr int kPageSize = 35;
    static constexpr int kPerRow = 5;
    static constexpr int kTopRowHeight = 126;
    static constexpr int kRowHeight = 118;
    static constexpr int kMoreRowHeight = 44;
    static constexpr int kFooterHeight = 8;   // clear, below the last row

    // Files get their type code; videos, documents and files whose upload is
    // incomplete are left out. Shows the first page.
    void setListing(const QList<DiskFilePtr>& files, const QList<DiskDirPtr>& dirs);
    void clear();

    const QList<CloudEntry>& filesList() const { return m_entries; }
    // The entries shown so far: the first pages of filesList().
    QList<CloudEntry> showFilesList() const { return m_entries.mid(0, m_shown); }
    int count() const { return static_cast<int>(m_entries.size()); }
    int shownCount() const { return m_shown; }
    int folderCount() const { return m_folders; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool hasPhotos() const { return count() != m_folders; }
    bool hasMore() const { return m_shown < count(); }
    // The first photo (the album's cover), or null.
    DiskFilePtr cover() const;
    // The photos among the shown entries, in order.
    QList<DiskFilePtr> shownPhotos() const;
    // The photo of a file id among all entries, or null.
    DiskFilePtr photoWithId(const QString& fileId) const;

    // Shows up to one more page; false when nothing was left.
    bool showNextPage();

    // Grid rows: the photo rows of the shown entries, then the "more" row.
    int rowCount() const;
    bool isMoreRow(int row) const;
    int rowHeight(int row) const;
    // [first, end) of the shown entries of a photo row.
    std::pair<int, int> rowRange(int row) const;

private:
    QList<CloudEntry> m_entries;
    int m_folders = 0;
    int m_shown = 0;
};
