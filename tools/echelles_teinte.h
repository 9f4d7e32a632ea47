#pragma once

// The geometry of the hue calculator's two hue strips, in the coordinates of
// its scales picture. A pick at x gives hue x - Gauche; a point above
// HautBandeBasse lies on the upper (coloured) strip. The hue histogram window
// points at the strips through the same tops.
namespace EchellesTeinte {
constexpr int Gauche = 20;
constexpr int Droite = 260; // excluded
constexpr int Haut = 35;
constexpr int Bas = 96; // excluded
constexpr int HautBandeHaute = 35;
constexpr int HautBandeBasse = 66;

constexpr bool dansEchelles(int x, int y)
{
    return x >= Gauche && x < Droite && y >= Haut && y < Bas;
}
constexpr bool bandeHaute(int y)
{
    return y < HautBandeBasse;
}
} // namespace EchellesTeinte
