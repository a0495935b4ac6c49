#pragma once

#include <QtGlobal>

class DiskFileCache;
class DiskManager;
class DiskManagerDelegate;

// Takes up the uploads an earlier run of the program left unfinished (the
// file-state cache's rows of earlier runs), once the account they belong to
// is signed in. A registered upload goes on: one the store holds complete
// only loses its row; a partial one goes on from what the store holds while
// its source still holds the same bytes, and is deleted from the store
// otherwise. An unregistered one goes on when its source is there and is
// forgotten (row and cached copy) when not. Rows of other accounts wait for
// theirs. The uploads answer `response`.
// Main thread.
namespace DiskUploadResume {

void run(DiskManager& disk, DiskFileCache& cache, qint64 uin, DiskManagerDelegate* response);

}
