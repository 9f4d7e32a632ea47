#pragma once

#include "resources/artgen/artwork.h"

#include <vector>

// The main window's tool-button pictures (42 x 42) that the package buttons
// do not already draw, with the grey pictures of the disabled buttons.
std::vector<ArtworkItem> artApparence();
