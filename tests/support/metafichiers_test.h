#pragma once

#include <QByteArray>
#include <QtGlobal>

// Windows metafiles written byte by byte for the tests: a w x h picture with
// a rectangle of a solid colour (COLORREF 0x00BBGGRR) over its left half,
// drawn with the null pen; the rest is left blank.
namespace metafichiers {

QByteArray emf(int w, int h, quint32 couleur);
// A placeable WMF at 96 units per inch whose frame starts at (org, org).
QByteArray wmf(int w, int h, quint32 couleur, qint16 org = 0);

} // namespace metafichiers
