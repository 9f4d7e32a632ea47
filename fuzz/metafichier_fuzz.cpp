// The metafile readers on arbitrary bytes: the header checks, and the
// conversion by the libraries in their child process. A picture they give
// stays within the limits and holds what its kind should; a refusal says why.
#include "tools/charger_bitmap_metafichier.h"

#include "fuzz/fichier_temporaire.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

[[noreturn]] void echec(const char *quoi, const QString &detail = {})
{
    std::fprintf(stderr, "metafile property broken: %s %s\n", quoi, qPrintable(detail));
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char *>(data), qsizetype(size));
    const TypeMetafichier type = DetecteMetafichier(octets.left(88));
    if (type == TypeMetafichier::Aucun)
        return 0;
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("dessin.emf"));
    // The header's own size is what the file claims, whatever it is; only
    // reading it must be safe.
    (void)TailleMetafichier(chemin);
    QString message;
    const auto dessin = ConvertitMetafichier(octets, type, QSize(64, 64), &message);
    if (!dessin) {
        if (message.isEmpty())
            echec("a refusal without a reason"); // a refusal always says why
        return 0;
    }
    if (!dessin->taille.isValid() || dessin->taille.width() > CoteMaxMetafichier
        || dessin->taille.height() > CoteMaxMetafichier)
        echec("picture size out of bounds");
    if (type == TypeMetafichier::Wmf && dessin->pixels.isNull())
        echec("a WMF without pixels");
    if (type == TypeMetafichier::Emf && dessin->svg.isEmpty())
        echec("an EMF without SVG");
    return 0;
}
