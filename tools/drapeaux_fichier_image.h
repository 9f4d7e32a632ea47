#pragma once

#include <QString>

// The flags of a picture file as it is stored (DrapeauImage of
// ui/utiles_indep.h), not of the 32-bit copy the tools work on: alpha only
// when the file itself carries transparency (a GIF's transparent colour, a
// PNG's alpha channel or tRNS chunk), translucent when some pixel is neither
// fully transparent nor opaque, and the colour space the file declares (a
// JPEG's YCbCr, grey, CMYK or YCCK; RGB for palette pictures). 0 when the
// file cannot be read.
unsigned DrapeauxFichierImage(const QString &chemin);
