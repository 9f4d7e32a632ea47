#pragma once

#include <QString>

#include <array>

// The theme's screen geometry: the current format (0..8) and its eight sizes.
struct FormatImages
{
    static constexpr int NbFormats = 9;
    static constexpr int FormatPerso = 6; // "Customized"
    // A Today picture is this many rows taller than the visible Today area.
    static constexpr int DecalageHauteur = 19;

    int FormatTheme = 3;
    // [0] Today width, [1] Today height, [2] Start width, [3] Start height,
    // [4]x[5] portrait screen area of the preview, [6]x[7] landscape area.
    std::array<int, 8> TailleImages{640, 588, 399, 586, 480, 536, 640, 376};
    // Today width and height, Start width and height of format 6.
    std::array<int, 4> TaillesPerso{5, 5, 5, 5};

    // Formats 4 and 5 carry a portrait and a landscape picture per screen.
    static bool deuxOrientations(int format) { return format == 4 || format == 5; }
};

// Sets the eight sizes from the table of formats; a format outside 0..8
// leaves them unchanged.
void FixeTailles(FormatImages &f, int format);

// The display name of a format, spacing kept exactly; empty outside 0..8.
QString NomFormatTheme(int format);
