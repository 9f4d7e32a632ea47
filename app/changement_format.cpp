#include "app/changement_format.h"

#include "theme/prompts.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// Replaces `cible` by a copy of `source` through a temporary file, so that a
// failed copy leaves the old picture whole.
bool copieSur(const QString &source, const QString &cible)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(cible);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char tampon[64 * 1024];
    for (;;) {
        const qint64 n = in.read(tampon, sizeof tampon);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(tampon, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

void prendPortrait(const QDir &dossier, const QString &base, const QString &suffixe, Prompts *prompts)
{
    const QString portrait = dossier.filePath(base + suffixe + QStringLiteral(".gif"));
    const QString simple = dossier.filePath(base + QStringLiteral(".gif"));
    if (QFileInfo::exists(portrait)) {
        if (!copieSur(portrait, simple) && prompts)
            prompts->message(QStringLiteral("Cannot copy %1 to %2").arg(QDir::toNativeSeparators(portrait),
                                                                        QDir::toNativeSeparators(simple)),
                             {}, Prompts::Icon::Error);
    } else if (QFileInfo(simple).isFile() || QFileInfo(simple).isSymLink()) {
        if (!QFile::remove(simple) && prompts)
            prompts->message(QStringLiteral("Cannot delete %1").arg(QDir::toNativeSeparators(simple)), {},
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
