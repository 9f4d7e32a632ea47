#pragma once

#include <cmath>

// The program's rounding: to the nearest integer, halves to the even
// neighbour (0.5 -> 0, 1.5 -> 2, -2.5 -> -2). qRound and std::round round
// halves away from zero and must not be used for theme arithmetic.
inline int arrondi(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

inline long long arrondi64(double v)
{
    return static_cast<long long>(std::nearbyint(v));
}

// The same rounding on extended precision (x87 long double), for the image
// filters whose arithmetic is specified in it.
inline long long arrondiEtendu(long double v)
{
    return std::llrint(v);
}
