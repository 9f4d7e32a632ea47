// The icon reader on arbitrary bytes: a picture it gives has the size it
// reports, and never more pixels than an icon can hold.
#include "ui/fonctions_indep.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int largeur = -1;
    int hauteur = -1;
    const QImage i = ChargeIconeOctets(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
                                       &largeur, &hauteur);
    if (i.isNull())
        return 0;
    if (i.width() <= 0 || i.height() <= 0 || i.width() > 256 || i.height() > 256)
        __builtin_trap();
    if (largeur != i.width() || hauteur != i.height())
        __builtin_trap();
    return 0;
}
