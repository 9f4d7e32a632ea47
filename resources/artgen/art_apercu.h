#pragma once

#include "resources/artgen/artwork.h"

// The small icons (":/art/<id>.bmp") and the two notification pictures
// (":/art/NLMESS.bmp", ":/art/CRITMESS.bmp") of the device-screen preview.
// Each sits on a key colour that its lower-left pixel carries: the preview
// draws them with that colour transparent.
ArtworkItem artApercu(const char *fileName);
