#pragma once

#include <QByteArray>
#include <QtGlobal>

// Windows metafiles written byte by byte for the tests: a w x h picture with
// a rectangle of a solid colour (COLORREF 0x00BBGGRR) over its left half,
// drawn with the null pen; the rest is left blank.
namespace metafichiers {

QByteArray emf(int w, int h, quint32 couleur);
// A w x h EMF of n 1 x 1 rectangles, row after row (24 bytes each).
QByteArray emfRectangles(int w, int h, int n, quint32 couleur);
// A placeable WMF at 96 units per inch whose frame starts at (org, org).
QByteArray wmf(int w, int h, quint32 couleur, qint16 org = 0);
// A placeable w x h WMF whose only shape is a filled ellipse in the middle
// half of the picture (from w/4, h/4 to 3w/4, 3h/4), drawn with the null pen.
QByteArray wmfEllipse(int w, int h, quint32 couleur);

} // namespace metafichiers
