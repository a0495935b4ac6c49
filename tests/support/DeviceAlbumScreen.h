#pragma once

class PavAssetsManager;
class PavSystemAlbumViewController_iPad;

// A device album screen reading through `reader`, its tab shown, with no
// other collaborators.
PavSystemAlbumViewController_iPad* newDeviceAlbumScreen(PavAssetsManager* reader);
