// The metafile readers on arbitrary bytes: the header checks, and the
// converter program measuring and drawing them with the libraries. What comes
// back is the size asked for and nothing else; a refusal says why.
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

bool tailleValide(QSize t)
{
    return t.isValid() && !t.isEmpty() && t.width() <= CoteMaxMetafichier && t.height() <= CoteMaxMetafichier;
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
    const QSize entete = TailleMetafichier(chemin);
    QString message;
    const auto mesure = ConvertitMetafichier(octets, type, {}, 0, &message);
    if (!mesure) {
        if (message.isEmpty())
            echec("a refusal without a reason"); // a refusal always says why
    } else {
        if (!tailleValide(mesure->taille))
            echec("own size out of bounds");
        if (!mesure->pixels.isNull())
            echec("pixels for a measure");
        // The program and the converter read the same header the same way.
        if (entete.isValid() && entete != mesure->taille)
            echec("header size and converter size differ");
    }
    const QSize demande(64, 48);
    const auto dessin = ConvertitMetafichier(octets, type, demande, qRgba(10, 20, 30, 0), &message);
    if (!dessin) {
        if (message.isEmpty())
            echec("a refusal without a reason");
        return 0;
    }
    if (!tailleValide(dessin->taille))
        echec("own size out of bounds");
    if (dessin->pixels.size() != demande || dessin->pixels.format() != QImage::Format_ARGB32)
        echec("a drawing of another size than asked");
    return 0;
}
