#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <vector>

// Writes GIF files for tests with giflib's encoder, so that the decoder is
// checked against another implementation's output.
namespace gifecrit {

struct Cadre
{
    int gauche = 0, haut = 0, largeur = 0, hauteur = 0;
    std::vector<unsigned char> index; // largeur x hauteur, rows top to bottom
    bool controle = true;             // write a graphic control extension
    int delaiCs = 0;
    int disposition = 0;
    int transparente = -1;
    bool entrelace = false;
};

// `palette` holds 2, 4, ..., 256 colours (its size must be a power of two).
QByteArray ecrit(int largeur, int hauteur, const std::vector<QRgb> &palette, const std::vector<Cadre> &cadres);

// A full-screen frame of one colour index with a block of another.
Cadre uni(int largeur, int hauteur, unsigned char fond, unsigned char bloc, int bx, int by, int bl, int bh,
          int delaiCs);

// Writes to `chemin` a one-frame GIF of one colour, or of two with the block
// (bx, 0)-(largeur, hauteur) in the second one.
void ecritFichier(const QString &chemin, int largeur, int hauteur, QRgb fond, QRgb bloc, int bx);
void ecritFichier(const QString &chemin, int largeur, int hauteur, QRgb couleur);

} // namespace gifecrit
