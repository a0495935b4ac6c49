#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// Keeps what the application writes readable by its user only. At launch the
// process's file-creation mask becomes 077, so every folder and file made
// afterwards (databases with their journals, blobs, caches, reports) is
// private; files meant for others, such as photos saved into the device
// library, take their mode from the user's own mask. Folders made by earlier
// runs are tightened once at launch.
class PrivateFiles {
public:
    // Sets the process's mask to 077 and remembers the user's. Call first in
    // main(), before any thread starts.
    static void restrictNewFiles();
    // The mask the user started the application with (the current one when
    // restrictNewFiles was not called).
    static mode_t userUmask();
    // The usual mode of a file shared with others: 0666 under the user's
    // mask (0644 under the common 022).
    static mode_t sharedFileMode();
    // Makes `path` and its missing parents as folders shared with others:
    // 0777 under the user's mask (0755 under 022). Folders already there keep
    // their mode. True when `path` is a folder afterwards.
    static bool makeSharedPath(const QString& path);

    // Removes the group and other bits from `path` and, for a folder, from
    // everything below it. Links are not followed. False when a mode could
    // not be changed.
    static bool tighten(const QString& path);
    // Tightens the entries of `folder` whose names start with one of
    // `prefixes`, leaving the folder's own mode as it is (a folder the user
    // named).
    static bool tightenEntries(const QString& folder, const QStringList& prefixes);
};
