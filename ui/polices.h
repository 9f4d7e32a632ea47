#pragma once

#include <QFont>
#include <QImage>
#include <QString>

// Fonts for text drawn into pictures. The program names Windows fonts
// ("Tahoma", "Courier New", "Times New Roman", "Arial"); each name maps to a
// family list that ends in a font Debian ships, so every machine draws the
// same shapes. Tahoma comes from fonts-wine when it is installed (its files
// sit outside fontconfig's folders and are registered on first use).

// Registers the fonts-wine Tahoma when present (once; at start-up and on first use).
void EnregistrePolices();

// The families to try for a font name, the name itself first.
QStringList FamillesPolice(const QString &nom);

// A font of that name, a size in points and the style bits of the drawing
// routines (1 bold, 2 italic, 4 underline, 8 strikeout). Its families are
// the name's list from the first one installed: the font Qt would match for
// the whole list, found without looking up the names that are missing.
QFont PoliceImage(const QString &nom, double taillePoints, int style = 0);

// A font of that name whose cell (ascent + descent) is at most the given
// number of pixels at 96 dpi: the Windows "font height" of a canvas.
QFont PoliceHauteurCellule(const QString &nom, int hauteurPixels, int style = 0);

// Pictures that text is drawn into are 96 dpi, so text sizes never follow
// the screen.
constexpr int PointsParMetre96 = 3780;
void Fixe96Dpi(QImage &image);
// A transparent 32-bit picture (bytes B, G, R, A) at 96 dpi.
QImage NouvelleImage32(int largeur, int hauteur);
