// The working-picture loader on arbitrary bytes (BMP, PNG, JPEG, GIF and
// whatever else the bytes claim to be): a picture it gives is ARGB32 within
// the pixel limit; a refusal says why. A picture it loads is then described
// from the file as stored, as the text tool does.
#include "tools/charger_bitmap.h"
#include "tools/drapeaux_fichier_image.h"
#include "ui/utiles_indep.h"

#include "fuzz/fichier_temporaire.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The name's extension must not matter: the format comes from the content.
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("image.gif"));
    ErreurImage erreur{};
    const auto image = ChargerBitmap32GDIP(chemin, &erreur);
    if (!image)
        return texteErreurImage(erreur).isEmpty() ? (__builtin_trap(), 0) : 0;
    if (image->isNull() || image->width() <= 0 || image->height() <= 0)
        __builtin_trap();
    if (image->format() != QImage::Format_ARGB32 && image->format() != QImage::Format_ARGB32_Premultiplied
        && image->format() != QImage::Format_RGB32)
        __builtin_trap();
    // The text tool then describes the file as stored: known flags only.
    const unsigned drapeaux = DrapeauxFichierImage(chemin);
    constexpr unsigned connus = DrapeauAlpha | DrapeauTranslucide | DrapeauRGB | DrapeauCMYK | DrapeauGris
                                | DrapeauYCBCR | DrapeauYCCK;
    if (drapeaux & ~connus)
        __builtin_trap();
    return 0;
}
