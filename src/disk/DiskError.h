#pragma once

#include <QString>

// The error object of a failed disk request: the service's result code and
// a text for the user.
struct DiskError {
    int code = 0;
    QString message;
};

// Result codes the facade itself gives (the store's codes are negative).
namespace DiskErrorCode {
inline constexpr int kStopped = 1;          // the request was stopped (or dropped) on the caller's wish
inline constexpr int kNoStore = 2;          // the disk store cannot be reached
inline constexpr int kIncomplete = 3;       // the file's upload is not complete
inline constexpr int kRootFolder = 4;       // uploads into the account's root are refused
inline constexpr int kSourceUnreadable = 5; // the upload source cannot be read
inline constexpr int kLocalWrite = 6;       // the local file cannot be written
}

// The error object of a result code (store or facade), with its text.
DiskError diskErrorFor(int code);
