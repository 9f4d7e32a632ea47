#pragma once

#include <QString>

// The create-state pictures, the WM5 marker and the one-row strip of state
// icons (42 x 42 tiles).
bool writeFeuRouge(const QString &path);   // "FEUROUGE": the package cannot be created
bool writeFeuVert(const QString &path);    // "FEUVERT": it can
bool writeCoche(const QString &path);      // "COCHE"
bool writeCocheNon(const QString &path);   // "COCHENON"
bool writeWm5(const QString &path);        // "WM5": the theme is WM5 compatible
bool writeUneLigneImg(const QString &path); // "UNELIGNEIMG": 18 tiles
