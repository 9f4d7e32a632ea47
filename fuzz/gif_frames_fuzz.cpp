// The GIF frame decoder on arbitrary bytes: every frame it gives is a whole
// logical screen in ARGB32 with one delay, within the limits.
#include "ui/gif_frames.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ErreurGif erreur = ErreurGif::Aucune;
    const auto r = decodeImagesGif(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &erreur);
    if (!r) {
        if (erreur == ErreurGif::Aucune)
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    if (r->images.isEmpty() || r->images.size() != r->delaisMs.size()
        || r->images.size() > LimitesGif::ImagesMax || r->largeur <= 0 || r->hauteur <= 0
        || r->largeur > LimitesGif::CoteMax || r->hauteur > LimitesGif::CoteMax)
        __builtin_trap();
    for (const QImage &i : r->images)
        if (i.width() != r->largeur || i.height() != r->hauteur || i.format() != QImage::Format_ARGB32)
            __builtin_trap();
    for (int d : r->delaisMs)
        if (d < 0)
            __builtin_trap();
    return 0;
}
