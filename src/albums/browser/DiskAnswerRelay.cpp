#include "albums/browser/DiskAnswerRelay.h"

// Each answer runs a copy of its function, so the owner may drop the relay
// from inside it.

void DiskAnswerRelay::fileDownloading(float percent, const DiskFilePtr& file)
{
    if (file != m_file || m_done || !onProgress)
        return;
    const auto progress = onProgress;
    progress(percent);
}

void DiskAnswerRelay::succeeded(const DiskFilePtr& file)
{
    if (file != m_file || m_done)
        return;
    m_done = true;
    if (const auto success = onSuccess)
        success();
}

void DiskAnswerRelay::failed(const DiskFilePtr& file, const DiskError& error)
{
    if (file != m_file || m_done)
        return;
    m_done = true;
    if (const auto failure = onFailure)
        failure(error);
}
