#pragma once

#include "theme/format_images.h"
#include "theme/images_travail.h"

#include <QString>

#include <array>

// What the idle pass derives from the working pictures present, the theme
// format, the UseStartImage choice and the device link.

struct EtatCommandes
{
    bool tdyDispo = false;  // TdyDispoCB: the Today picture(s) of the format
    bool stDispo = false;   // StDispoCB: the Start picture(s) of the format
    bool creer = false;     // CreerTBtn, SauveInfTBtn, TailleTskBtn
    bool transfert = false; // TransfertTskTBtn
    // MinTD, MinST, MinTDL, MinSTL (and their dominant-colour panels).
    std::array<bool, 4> miniatures{};

    bool operator==(const EtatCommandes &) const = default;
};

// presents[k]: the k-th working picture exists; useStartImage: the
// UseStartImage value is part of the theme (Start picture only).
EtatCommandes CalculeEtatCommandes(const std::array<bool, NbImagesTravail> &presents, int format,
                                   bool useStartImage, bool connecte);

// Today height, Today width, Start height, Start width of "tdywater.gif" and
// "stwater.gif"; -1 for a missing picture.
using TaillesImagesMesurees = std::array<int, 4>;

// The measured pictures have the sizes of the theme format.
bool TaillesConformes(const TaillesImagesMesurees &mesurees, const FormatImages &format);
