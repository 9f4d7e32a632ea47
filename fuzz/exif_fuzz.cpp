// The EXIF readers on arbitrary bytes taken as a photo.
#include "tools/exif_photo.h"

#include "fuzz/fichier_temporaire.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("photo.jpg"));
    for (int tag : {0x0132, 0x0110, 0x010F, 0x9003})
        if (const auto t = TagExifTexte(chemin, tag); t && t->contains('\0'))
            __builtin_trap(); // a text tag ends at its first NUL
    (void)DateExif(chemin, QLocale::c());
    (void)ModeleExif(chemin);
    (void)TexteDateExif(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size < 40 ? size : 40)),
                        QLocale::c());
    return 0;
}
