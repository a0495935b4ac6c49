#pragma once

#include <QByteArray>

class DiskFile;

// The downloaded copy of a cloud photo, checked before it may count as saved:
// the whole file, matching the SHA-1 the disk keeps for it (when it keeps
// one), and a picture that decodes.
namespace CloudPhotoCopy {

// The bytes of the file's local copy when they pass; empty otherwise.
QByteArray checkedBytes(const DiskFile& file);

}
