#pragma once

#include "albums/store/PavPhotoModel.h"

#include <QString>

#include <atomic>


class DBOEncryptAlbumOp;

// Brings the private album's index back in line with the album's own files,
// at start, before anything is stored. An item file that no row names gets a
// row rebuilt from what it holds when it deciphers to a picture or a video
// (the time from EXIF or the video container, else the file time; type and
// duration from the content; no library URL), with a thumbnail made again
// when its own is missing or unreadable (one that cannot be written leaves
// the item where it is, for the next start); a stored item whose thumbnail
// is missing gets it made again the same way. What does not decipher to either,
// and thumbnails without their item, go into the quarantine folder: nothing
// is deleted but the store's own temporary files (unfinished writes and
// content probes), which are only parts of copies. Rebuilt rows are committed
// a few at a time, so an interrupted rebuild keeps what it did. Other names ("photo",
// "uid", ...) are never touched; nothing happens when the index cannot be
// read. Any one thread; nothing may store items meanwhile.
class AlbumIndexRepair {
public:
    struct Result {
        int rebuilt = 0;      // rows made from item files
        int movedAside = 0;   // files moved into the quarantine folder
        int removed = 0;      // temporary files removed
    };
    // Shared with whoever waits for the run, on another thread; either may
    // be null.
    struct Watch {
        // Read between items: once set, the run commits what it rebuilt and
        // ends; the rest (and the quarantine) waits for the next start.
        const std::atomic<bool>* stop;
        // Items given a row so far, counted as they are looked at.
        std::atomic<int>* restored;
    };

    AlbumIndexRepair(QString photoDir, DBOEncryptAlbumOp& op, QString quarantineFolder, int thumbnailSide,
                     Watch watch = {});

    Result run();

    enum class Content { Media, NotMedia, Unsure };
    // The row an item file's content calls for (thumbnail written when
    // needed). NotMedia: it deciphers to neither a picture nor a video;
    // Unsure: it could not be looked at or its thumbnail not written (the
    // file stays where it is, for the next start).
    Content rebuild(const QString& uuid, PavPhotoModel* model) const;

    // Rebuilt rows are committed in chunks of this many, so the work done
    // before a kill is kept.
    static constexpr int kRowsPerCommit = 16;

private:
    QString m_photoDir;
    DBOEncryptAlbumOp& m_op;
    QString m_quarantine;
    int m_side;
    Watch m_watch;
};
