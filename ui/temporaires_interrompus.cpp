#include "ui/temporaires_interrompus.h"

#include "ui/dossiers_programme.h"
#include "ui/options.h"
#include "theme/images_travail.h"
#include "theme/journal_lecture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The random part of a temporary name: six ASCII letters (Qt's save file
// takes no digits: "OptionsOVD.ini.202401" is a user's copy).
constexpr int LongueurAleatoire = 6;

bool estAleatoire(QStringView partie)
{
    if (partie.size() != LongueurAleatoire)
        return false;
    for (const QChar c : partie) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')))
            return false;
    }
    return true;
}

bool estNomTravail(const QString &nom, const QStringList &nomsTravail)
{
    return nomsTravail.contains(nom) || EstCopieMiseDeCote(nom);
}

// The file name of `chemin` when it lies in `dossier`, else nothing.
QString nomDans(const QString &chemin, const QString &dossier)
{
    if (chemin.isEmpty())
        return {};
    const QFileInfo info(chemin);
    return QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(dossier) ? info.fileName() : QString();
}

} // namespace

QStringList NomsFichiersTravail(const DossiersProgramme &dossiers)
{
    QStringList noms;
    for (const QString &chemin : {FichierOptions(dossiers), dossiers.FichierCouleurs}) {
        const QString nom = nomDans(chemin, dossiers.DossierAppli);
        if (!nom.isEmpty())
            noms << nom;
    }
    for (const QString &image : NomsImagesTravail())
        noms << image;
    noms << NomJournalLecture();
    return noms;
}

bool EstTemporaireInterrompu(const QString &nom, const QStringList &nomsTravail)
{
    const qsizetype longueurBase = nom.size() - LongueurAleatoire - 1;
    if (longueurBase < 1 || nom.at(longueurBase) != QLatin1Char('.') || !estAleatoire(QStringView(nom).sliced(longueurBase + 1)))
        return false;
    const QString base = nom.left(longueurBase);
    if (estNomTravail(base, nomsTravail))
        return true;
    // The hidden copies of a package read and the note that a picture and
    // its plain copy are being written: "." + working name + suffix.
    for (const QLatin1String suffixe : {QLatin1String(".lecture"), QLatin1String(".ancien"), QLatin1String(".intention")}) {
        if (base.size() > suffixe.size() + 1 && base.startsWith(QLatin1Char('.')) && base.endsWith(suffixe)
            && estNomTravail(base.sliced(1, base.size() - 1 - suffixe.size()), nomsTravail))
            return true;
    }
    return false;
}

int NettoieTemporairesInterrompus(const DossiersProgramme &dossiers)
{
    if (dossiers.DossierAppli.isEmpty())
        return 0;
    const QDir dossier(dossiers.DossierAppli);
    const QStringList nomsTravail = NomsFichiersTravail(dossiers);
    int retires = 0;
    const QStringList entrees =
        dossier.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &nom : entrees) {
        if (!EstTemporaireInterrompu(nom, nomsTravail))
            continue;
        // The entry itself is looked at, never what a link points to; unlink()
        // removes a name and never follows it.
        const QByteArray natif = QFile::encodeName(dossier.filePath(nom));
        struct stat st{};
        if (::lstat(natif.constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::unlink(natif.constData()) == 0)
            ++retires;
    }
    return retires;
}
