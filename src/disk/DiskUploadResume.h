#pragma once

#include <QtGlobal>

class DiskFileCache;
class DiskManager;

// Takes up the uploads an earlier run of the program left unfinished (the
// file-state cache's rows of earlier runs), once the account they belong to
// is signed in: an upload whose source still holds the same number of bytes
// goes on from what the store holds; any other is deleted from the store and
// its row and cached copy removed. Rows of other accounts wait for theirs.
// Main thread.
namespace DiskUploadResume {

void run(DiskManager& disk, DiskFileCache& cache, qint64 uin);

}
