#pragma once

// The converter's two readers: each measures its kind of metafile and draws
// it whole at the size asked for over the background colour.

#include <cstdint>
#include <vector>

namespace convertisseur {

struct Demande
{
    int largeur = 0, hauteur = 0; // the drawing's size; 0 x 0 measures only
    std::uint32_t fond = 0xFFFFFFFF; // 0xAARRGGBB
};

struct Resultat
{
    double largeur = 0, hauteur = 0; // the picture's own size in 96-dpi pixels
    // largeur x hauteur of the demand as 0xAARRGGBB words, not premultiplied;
    // it stays where the reader made it until the process ends.
    const std::uint32_t *pixels = nullptr;
    bool memoire = false; // the reader ran out of memory
};

// False when the file cannot be read or drawn. A picture whose own size is
// out of bounds is measured, not drawn (pixels stay null).
bool DessineEmf(std::vector<char> &octets, const Demande &d, Resultat &r);
bool DessineWmf(std::vector<char> &octets, const Demande &d, Resultat &r);

// The own size is one the program accepts.
bool TaillePropreValide(double largeur, double hauteur);

} // namespace convertisseur
