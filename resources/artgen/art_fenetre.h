#pragma once

#include "resources/artgen/artwork.h"

#include <QByteArray>

#include <vector>

// The main window's tab pictures (42 x 21), the pictures of its page buttons
// (hints, hint sounds, preview, text on pictures, the pictures shortcut) and
// the hint sound "toe.wav".
std::vector<ArtworkItem> artFenetrePrincipale();

// The hint sound: a short wooden tap, 16-bit mono PCM at 22050 Hz, as a
// whole WAVE file.
QByteArray SonToe();
