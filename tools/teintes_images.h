#pragma once

#include "tools/teinte_dominante.h"

#include <QImage>

#include <array>
#include <cstdint>

// The hue analysis of the four theme pictures, shared by the main window's
// thumbnails and the hue tools. Every slot starts at zero and keeps the last
// analysed picture's values.
struct TeintesImages
{
    enum Emplacement {
        TodayPortrait = 0,
        StartPortrait = 1,
        TodayPaysage = 2,
        StartPaysage = 3,
    };
    static constexpr int NOMBRE_EMPLACEMENTS = 4;

    std::array<HistogrammeTeintes, NOMBRE_EMPLACEMENTS> HistoImages{};
    std::array<int32_t, NOMBRE_EMPLACEMENTS> TeinteImage{};
    std::array<int32_t, NOMBRE_EMPLACEMENTS> MaxBrutImage{};
    std::array<int32_t, NOMBRE_EMPLACEMENTS> PicImage{};

    // Analyses a picture into its slot. When the picture cannot be read
    // (null or empty) the dominant hue, raw peak and count become 0 and the
    // histogram keeps its previous counts; returns false then. A slot outside
    // 0..3 changes nothing and returns false.
    bool analyse(int emplacement, const QImage &image);
};
