#pragma once

#include "resources/artgen/artwork.h"

#include <vector>

// The picture-open dialog's pictures: the stone tile of its list background
// ("pierre.png", 128 x 128) and the 16 x 16 glyphs of its buttons
// ("previewglyph2.png", "selimg.png", ... "type.png"); the package dialog's
// blue-tinted tile ("pierretsk.png") and preview glyph ("previewtsk.png").
std::vector<ArtworkItem> artDialogueOuverture();
