#pragma once

#include "resources/artgen/artwork.h"

// The device-skin preview's pictures:
// - five 498 x 498 device skins on black, in portrait, their screen opening
//   round (129, 55, 240, 320) and four round buttons along the bottom
//   (":/art/SKINJPG.jpg", "SKINQTEK.jpg", "SKINACER.jpg", "SKINAXIM.jpg",
//   "SKINJPGFEUILLES.jpg");
// - the two sample screens ":/art/VossiryP.jpg" (240 x 320) and
//   ":/art/VossiryL.jpg" (320 x 240);
// - the capture cursor ":/art/SAUVEBMPPRW.png": a strip of 32 x 32 frames.
std::vector<ArtworkItem> artSkins();
