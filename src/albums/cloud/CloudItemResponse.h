#pragma once

#include "disk/DiskManagerDelegate.h"

#include <functional>

// The response object of one batch item's disk request: hands the answers
// of a download or a deletion to callbacks. Its owner keeps it alive while
// the answer is wanted; once it is gone, a late answer is dropped.
class CloudItemResponse : public DiskManagerDelegate {
public:
    std::function<void(float percent)> progress;
    std::function<void()> succeeded;
    std::function<void(const DiskError& error)> failed;
    // The sign-in key lapsed (-401); the failure follows.
    std::function<void()> requireLogin;

    void fileDownloading(float percent, const DiskFilePtr&) override;
    void fileDownloadSuccess(const DiskFilePtr&) override { succeed(); }
    void fileDonwloadFail(const DiskFilePtr&, const DiskError& error) override { fail(error); }
    void fileDidDeleteSuccess(const DiskFilePtr&) override { succeed(); }
    void fileDidDeleteFail(const DiskFilePtr&, const DiskError& error) override { fail(error); }
    void fileRequireLogin() override;

private:
    void succeed();
    void fail(const DiskError& error);
};
