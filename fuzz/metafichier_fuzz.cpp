// The metafile readers on arbitrary bytes: the header checks, and the
// conversion by the libraries in their child process. A picture they give
// has the size the header announced, within the limits; a refusal says why.
#include "tools/charger_bitmap_metafichier.h"

#include "fuzz/fichier_temporaire.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char *>(data), qsizetype(size));
    const TypeMetafichier type = DetecteMetafichier(octets.left(88));
    if (type == TypeMetafichier::Aucun)
        return 0;
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("dessin.emf"));
    const QSize annoncee = TailleMetafichier(chemin);
    if (annoncee.isValid()
        && (annoncee.width() <= 0 || annoncee.height() <= 0 || annoncee.width() > CoteMaxMetafichier
            || annoncee.height() > CoteMaxMetafichier))
        __builtin_trap();
    QString message;
    const auto dessin = ConvertitMetafichier(octets, type, QSize(64, 64), &message);
    if (!dessin) {
        if (message.isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    if (!dessin->taille.isValid() || dessin->taille.width() > CoteMaxMetafichier
        || dessin->taille.height() > CoteMaxMetafichier)
        __builtin_trap();
    if (type == TypeMetafichier::Wmf && dessin->pixels.isNull())
        __builtin_trap();
    if (type == TypeMetafichier::Emf && dessin->svg.isEmpty())
        __builtin_trap();
    return 0;
}
