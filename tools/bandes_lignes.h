#pragma once

#include <QtGlobal>

#include <algorithm>
#include <thread>
#include <vector>

// Thread count for the picture filters: FILS_AUTO lets the filter choose
// (one thread for small pictures, up to the machine's cores for large ones);
// a positive number is used as it stands (capped at the number of rows).
constexpr int FILS_AUTO = 0;

// Runs fn(firstRow, endRow) over horizontal bands of a picture of the given
// height, one band per thread. Each band must write only its own rows, so the
// result does not depend on the number of threads.
template<typename Fonction>
void ParBandesDeLignes(int hauteur, qsizetype pixels, int fils, Fonction &&fn)
{
    if (hauteur <= 0)
        return;
    // Below this many pixels a single thread is quicker than starting others.
    constexpr qsizetype PIXELS_PAR_FIL_MIN = 1 << 16;
    constexpr int FILS_MAX = 32;
    int n = fils;
    if (n <= 0) {
        n = int(std::max(1u, std::thread::hardware_concurrency()));
        n = int(std::min<qsizetype>(n, std::max<qsizetype>(1, pixels / PIXELS_PAR_FIL_MIN)));
    }
    n = std::clamp(n, 1, std::min(FILS_MAX, hauteur));
    if (n == 1) {
        fn(0, hauteur);
        return;
    }
    std::vector<std::jthread> travailleurs;
    travailleurs.reserve(n - 1);
    const auto bande = [&](int i) {
        fn(int(qsizetype(hauteur) * i / n), int(qsizetype(hauteur) * (i + 1) / n));
    };
    for (int i = 1; i < n; ++i)
        travailleurs.emplace_back(bande, i);
    bande(0);
}
