#include "albums/cloud/CloudItemResponse.h"

void CloudItemResponse::fileDownloading(float percent, const DiskFilePtr&)
{
    if (progress)
        progress(percent);
}

void CloudItemResponse::fileRequireLogin()
{
    if (requireLogin)
        requireLogin();
}

void CloudItemResponse::succeed()
{
    if (succeeded)
        succeeded();
}

void CloudItemResponse::fail(const DiskError& error)
{
    if (failed)
        failed(error);
}
