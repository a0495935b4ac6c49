#pragma once

#include <QByteArray>
#include <QString>

// The temporary files a save into the device library writes before it links
// the new file into place: ".<base>.<pid>.<n>.pavtmp", and the atomic
// write's own temporary file beside it ("<that name>.<pid>.<hex>.pavtmp").
// A kill in the middle of a save leaves them: full, readable copies of a
// private photo.
namespace LibraryTempFiles {

// The temporary path of a save of `base` into `folder` by this process.
QByteArray pathFor(const QByteArray& folder, const QString& base, int serial);

// Removes such files (real files, never links) from `root` and its album
// subfolders (real folders: a linked one is not entered) when the process
// named in them is gone, or is this one (an earlier run's, whose pid this run
// was given; call before this process saves anything). Other names are never
// touched. Returns the number removed.
int removeLeftovers(const QString& root);

}
