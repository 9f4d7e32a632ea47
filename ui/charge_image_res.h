#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Loads one of the program's embedded pictures (":/art/<nom>") fully decoded
// as a 32-bit picture; a null picture when there is none of that name.
QImage ChargeImageRes(const QString &nom);
// The same picture as an icon; a null icon when there is no such picture.
QIcon IconeRes(const QString &nom);

// Reads a picture file in the format its suffix names, so that no other
// image plugin is loaded to sniff it (at start-up that costs more than the
// pictures); a file whose suffix is not its format is still read.
QImage LitImageFichier(const QString &chemin);

// The picture with every pixel of its lower-left pixel's colour made
// transparent: how the program draws its icons and notification pictures.
QImage AvecCouleurTransparente(const QImage &image);
