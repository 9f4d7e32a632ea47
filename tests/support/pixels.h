#pragma once

#include "theme/couleur.h"

#include <QByteArray>
#include <QRgb>

// Pixel comparisons for pictures that are drawn with anti-aliasing or blending.
namespace testenv {

// True when red, green and blue of the two colours each differ by at most
// `ecart` (alpha is not compared).
bool proche(QRgb a, QRgb b, int ecart);
bool proche(QRgb a, TColor b, int ecart);

// A black PNG of w x h pixels, one bit a pixel, built without ever holding
// the picture: a few kilobytes that decode to w * h pixels.
QByteArray pngNoirGeant(int w, int h);

} // namespace testenv
