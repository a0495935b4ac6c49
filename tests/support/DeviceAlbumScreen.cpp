#include "support/DeviceAlbumScreen.h"

#include "albums/device/PavSystemAlbumViewController_iPad.h"

PavSystemAlbumViewController_iPad* newDeviceAlbumScreen(PavAssetsManager* reader)
{
    PavSystemAlbumViewController_iPad::Collaborators c;
    c.reader = reader;
    c.albumTabShown = [] { return true; };
    c.setCancelFlags = [](bool) {};
    c.usage = [](int) {};
    return new PavSystemAlbumViewController_iPad(0, c);
}
