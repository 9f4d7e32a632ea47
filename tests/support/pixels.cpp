#include "tests/support/pixels.h"

#include <cstdlib>

namespace testenv {

bool proche(QRgb a, QRgb b, int ecart)
{
    return std::abs(qRed(a) - qRed(b)) <= ecart && std::abs(qGreen(a) - qGreen(b)) <= ecart &&
           std::abs(qBlue(a) - qBlue(b)) <= ecart;
}

bool proche(QRgb a, TColor b, int ecart)
{
    return proche(a, b.toQRgb(), ecart);
}

} // namespace testenv
