#pragma once

#include <QByteArray>

class DiskFile;

// The downloaded copy of a cloud photo, checked before it may count as saved:
// the whole file, matching the digest the disk keeps for it (its SHA-1, or
// its MD5 when it has no SHA-1), and a picture that decodes; with no digest
// at all, one that decodes without the decoder reporting damaged data.
namespace CloudPhotoCopy {

// The bytes of the file's local copy when they pass; empty otherwise.
QByteArray checkedBytes(const DiskFile& file);

}
