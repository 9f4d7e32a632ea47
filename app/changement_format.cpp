#include "app/changement_format.h"

#include "theme/ecriture_atomique.h"
#include "theme/prompts.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Replaces `cible` by a copy of `source` through a temporary file, so that a
// failed copy leaves the old picture whole.
bool copieSur(const QString &source, const QString &cible, QString *raison)
{
    return CopieFichierAtomique(source, cible, raison);
}

void prendPortrait(const QDir &dossier, const QString &base, const QString &suffixe, Prompts *prompts)
{
    const QString portrait = dossier.filePath(base + suffixe + QStringLiteral(".gif"));
    const QString simple = dossier.filePath(base + QStringLiteral(".gif"));
    if (QFileInfo::exists(portrait)) {
        QString raison;
        if (!copieSur(portrait, simple, &raison) && prompts)
            prompts->message(QStringLiteral("Cannot copy %1 to %2: %3")
                                 .arg(QDir::toNativeSeparators(QDir::cleanPath(portrait)), QDir::toNativeSeparators(QDir::cleanPath(simple)), raison),
                             {}, Prompts::Icon::Error);
    } else if (QFileInfo(simple).isFile() || QFileInfo(simple).isSymLink()) {
        if (!QFile::remove(simple) && prompts)
            prompts->message(QStringLiteral("Cannot delete %1").arg(QDir::toNativeSeparators(QDir::cleanPath(simple))), {},
                             Prompts::Icon::Error);
    }
}

} // namespace

bool ChangementFormat(ThemeDocument &doc, const QString &dossierAppli, const std::array<int, 4> &taillesAvant,
                      int nouveauFormat, Prompts *prompts)
{
    const FormatImages &actuel = doc.format();
    const bool memesTailles = std::equal(taillesAvant.begin(), taillesAvant.end(), actuel.TailleImages.begin());
    if (memesTailles && nouveauFormat == actuel.FormatTheme)
        return false;
    if (nouveauFormat < 0 || nouveauFormat >= FormatImages::NbFormats)
        return false;

    if (nouveauFormat != actuel.FormatTheme && FormatImages::deuxOrientations(nouveauFormat)) {
        const QDir dossier(dossierAppli);
        const QString suffixe = nouveauFormat == 4 ? QStringLiteral("_240_320") : QStringLiteral("_480_640");
        prendPortrait(dossier, QStringLiteral("tdywater"), suffixe, prompts);
        prendPortrait(dossier, QStringLiteral("stwater"), suffixe, prompts);
    }

    FormatImages f = doc.format();
    f.FormatTheme = nouveauFormat;
    doc.setFormat(f);
    return true;
}
