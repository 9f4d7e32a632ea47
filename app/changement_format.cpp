#include "app/changement_format.h"

#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Replaces `cible` by a copy of `source` through a temporary file, so that a
// failed copy leaves the old picture whole.
bool copieSur(const QString &source, const QString &cible, QString *raison = nullptr)
{
    return CopieFichierAtomique(source, cible, raison);
}

// Only plain files are compared: anything else under a picture's name counts
// as no picture.
bool memesOctets(const QString &a, const QString &b)
{
    QFile fa, fb;
    if (!OuvreFichierOrdinaire(fa, a) || !OuvreFichierOrdinaire(fb, b) || fa.size() != fb.size())
        return false;
    return fa.readAll() == fb.readAll();
}

// A path as the user reads it: native separators, no doubled slashes.
QString natif(const QString &chemin)
{
    return QDir::toNativeSeparators(QDir::cleanPath(chemin));
}

void signale(Prompts *prompts, const QString &texte)
{
    if (prompts)
        prompts->message(texte, {}, Prompts::Icon::Error);
}

QString nomGarde(const QDir &dossier, const QString &base)
{
    return dossier.filePath(base + QStringLiteral("_garde.gif"));
}

// The user's own single picture is put aside before the format's portrait
// takes its name; an earlier copy put aside is never overwritten (it moves to
// the first free numbered name). False when it could not be kept: the
// picture must then stay as it is.
bool metDeCote(const QDir &dossier, const QString &base, const QString &simple, Prompts *prompts)
{
    const QString garde = nomGarde(dossier, base);
    if (QFileInfo::exists(garde) && !memesOctets(garde, simple)) {
        QString libre;
        for (int n = 2; libre.isEmpty() || QFileInfo::exists(libre); ++n)
            libre = dossier.filePath(base + QStringLiteral("_garde%1.gif").arg(n));
        if (!QFile::rename(garde, libre)) {
            signale(prompts, QStringLiteral("Cannot rename %1").arg(natif(garde)));
            return false;
        }
    }
    if (QString raison; !copieSur(simple, garde, &raison)) {
        signale(prompts, QStringLiteral("Cannot copy %1 to %2: %3").arg(natif(simple), natif(garde), raison));
        return false;
    }
    return true;
}

// suffixeAvant: the portrait suffix of the format left, empty when it had
// one picture per screen.
void prendPortrait(const QDir &dossier, const QString &base, const QString &suffixe, const QString &suffixeAvant,
                   Prompts *prompts)
{
    const QString portrait = dossier.filePath(base + suffixe + QStringLiteral(".gif"));
    const QString simple = dossier.filePath(base + QStringLiteral(".gif"));
    const bool existe = EstFichierOrdinaire(simple);
    // Only a picture that no portrait picture already holds needs keeping.
    const auto copieDe = [&](const QString &s) {
        const QString p = dossier.filePath(base + s + QStringLiteral(".gif"));
        return !s.isEmpty() && EstFichierOrdinaire(p) && memesOctets(p, simple);
    };
    if (existe && !copieDe(suffixe) && !copieDe(suffixeAvant) && !metDeCote(dossier, base, simple, prompts))
        return;
    if (EstFichierOrdinaire(portrait)) {
        QString raison;
        if (!copieSur(portrait, simple, &raison))
            signale(prompts, QStringLiteral("Cannot copy %1 to %2: %3").arg(natif(portrait), natif(simple), raison));
    } else if (existe || QFileInfo(simple).isSymLink()) {
        if (!QFile::remove(simple))
            signale(prompts, QStringLiteral("Cannot delete %1").arg(natif(simple)));
    }
}

// Back to one picture per screen: the picture put aside comes back, unless
// the user has given the single name a picture of his own since (the one
// put aside then stays where it is).
void rendSimple(const QDir &dossier, const QString &base, const QString &suffixeAvant, Prompts *prompts)
{
    const QString garde = nomGarde(dossier, base);
    if (!EstFichierOrdinaire(garde))
        return;
    const QString simple = dossier.filePath(base + QStringLiteral(".gif"));
    const QString portrait = dossier.filePath(base + suffixeAvant + QStringLiteral(".gif"));
    const bool remplacable = !EstFichierOrdinaire(simple) || memesOctets(simple, garde)
                             || (EstFichierOrdinaire(portrait) && memesOctets(simple, portrait));
    if (!remplacable)
        return;
    if (QString raison; !copieSur(garde, simple, &raison)) {
        signale(prompts, QStringLiteral("Cannot copy %1 to %2: %3").arg(natif(garde), natif(simple), raison));
        return;
    }
    QFile::remove(garde);
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

    const QDir dossier(dossierAppli);
    const auto suffixePortrait = [](int format) {
        return format == 4 ? QStringLiteral("_240_320") : QStringLiteral("_480_640");
    };
    if (nouveauFormat != actuel.FormatTheme && FormatImages::deuxOrientations(nouveauFormat)) {
        const QString avant =
            FormatImages::deuxOrientations(actuel.FormatTheme) ? suffixePortrait(actuel.FormatTheme) : QString();
        prendPortrait(dossier, QStringLiteral("tdywater"), suffixePortrait(nouveauFormat), avant, prompts);
        prendPortrait(dossier, QStringLiteral("stwater"), suffixePortrait(nouveauFormat), avant, prompts);
    } else if (FormatImages::deuxOrientations(actuel.FormatTheme) && !FormatImages::deuxOrientations(nouveauFormat)) {
        rendSimple(dossier, QStringLiteral("tdywater"), suffixePortrait(actuel.FormatTheme), prompts);
        rendSimple(dossier, QStringLiteral("stwater"), suffixePortrait(actuel.FormatTheme), prompts);
    }

    FormatImages f = doc.format();
    f.FormatTheme = nouveauFormat;
    doc.setFormat(f);
    return true;
}
