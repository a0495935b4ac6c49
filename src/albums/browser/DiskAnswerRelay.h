#pragma once

#include "disk/DiskManagerDelegate.h"

#include <functional>

// The response object of one disk request whose answers go to functions,
// and only while the request is the current one for its file: the owner
// makes one per request and drops it when the request is superseded, and
// the facade then drops every answer still on its way. An answer about
// another file than the request's is ignored.
class DiskAnswerRelay : public DiskManagerDelegate {
public:
    explicit DiskAnswerRelay(DiskFilePtr file) : m_file(std::move(file)) {}

    const DiskFilePtr& file() const { return m_file; }
    // Whether the terminal answer came.
    bool done() const { return m_done; }

    std::function<void(float percent)> onProgress;
    std::function<void()> onSuccess;                      // download or deletion
    std::function<void(const DiskError& error)> onFailure;

    void fileDownloading(float percent, const DiskFilePtr& file) override;
    void fileDownloadSuccess(const DiskFilePtr& file) override { succeeded(file); }
    void fileDonwloadFail(const DiskFilePtr& file, const DiskError& error) override { failed(file, error); }
    void fileDidDeleteSuccess(const DiskFilePtr& file) override { succeeded(file); }
    void fileDidDeleteFail(const DiskFilePtr& file, const DiskError& error) override { failed(file, error); }

private:
    void succeeded(const DiskFilePtr& file);
    void failed(const DiskFilePtr& file, const DiskError& error);

    DiskFilePtr m_file;
    bool m_done = false;  // one terminal answer
};
