// The colour-set reader on arbitrary bytes: a file it refuses changes
// nothing in the document; one it takes leaves every slot a colour, and the
// working file written from what it took gives the same names back.
#include "theme/fichier_couleurs.h"
#include "theme/theme_document.h"

#include "fuzz/fichier_temporaire.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("couleurs.inf"));
    for (bool avecNoms : {false, true}) {
        ThemeDocument doc;
        doc.setNomTheme(QStringLiteral("Avant"));
        doc.setCouleur(3, TColor::fromValue(0x123456));
        const auto couleursAvant = doc.jeuCouleurs();
        const ParametresWM5 parametresAvant = doc.parametres();
        const ResultatChargeCouleurs r = ChargeCouleurs(doc, chemin, avecNoms);
        if (!r.ok && (doc.jeuCouleurs() != couleursAvant || !(doc.parametres() == parametresAvant)
                      || doc.nomTheme() != QStringLiteral("Avant")))
            __builtin_trap(); // a refused file changes nothing
        if (!r.ok && r.erreur.isEmpty())
            __builtin_trap(); // and says why
        if (r.ok && avecNoms) {
            const auto octets = TexteThemeTravail(doc);
            ThemeDocument autre;
            const auto relu = octets ? LitJeuCouleurs(*octets, autre, true) : std::nullopt;
            if (!relu || relu->nomTheme != doc.nomTheme() || relu->nomInterne != doc.nomInterne())
                __builtin_trap(); // any name survives the next start
        }
    }
    return 0;
}
