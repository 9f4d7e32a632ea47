#pragma once

#include "resources/artgen/artwork.h"

#include <vector>

// The speed-button pictures of the picture tools: the hue calculator's three
// histogram buttons ("HA", "HD", "HAD", 36 x 22) and the text tool's buttons
// ("JUSTIFYL" ... "OUTLINE", 24 x 24; "LETTREIMG", "OMBREIMG" and "DECIMG"
// stand beside the letter and shadow sliders and the offset picker).
std::vector<ArtworkItem> artOutils();
