#include "theme/journal_lecture.h"

#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/images_travail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Entete("Orvandel read journal 1\n");
constexpr int MaxEntrees = 512;
constexpr int MaxOctetsNom = 255;
constexpr qint64 TailleMax = 32 + qint64(MaxEntrees) * (MaxOctetsNom + 3);

// The colour file's name when it lies in `dossier`, else nothing.
QString nomDans(const QString &chemin, const QString &dossier)
{
    if (chemin.isEmpty() || dossier.isEmpty())
        return {};
    const QFileInfo info(chemin);
    return QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(QDir(dossier).absolutePath()) ? info.fileName()
                                                                                                  : QString();
}

bool nomAccepte(const QString &nom, const QString &nomCouleurs)
{
    if (nom.isEmpty() || nom == QLatin1String(".") || nom == QLatin1String("..") || nom.startsWith(QLatin1Char('.'))
        || nom.contains(QLatin1Char('/')) || nom.contains(QChar(0)) || QFile::encodeName(nom).size() > MaxOctetsNom)
        return false;
    const auto &images = NomsImagesTravail();
    return std::find(images.begin(), images.end(), nom) != images.end() || EstCopieMiseDeCote(nom)
           || (!nomCouleurs.isEmpty() && nom == nomCouleurs);
}

// What is under a name, never following a link: 0 when nothing.
mode_t type(const QString &chemin)
{
    struct stat st{};
    if (::lstat(QFile::encodeName(chemin).constData(), &st) != 0)
        return 0;
    return st.st_mode & S_IFMT;
}

} // namespace

QString NomJournalLecture()
{
    return QStringLiteral(".lecture.journal");
}

QString NomAncienLecture(const QString &nom)
{
    return QLatin1Char('.') + nom + QLatin1String(".ancien");
}

std::optional<QByteArray> TexteJournalLecture(const std::vector<EntreeJournalLecture> &entrees,
                                              const QString &nomCouleurs)
{
    if (entrees.size() > size_t(MaxEntrees))
        return std::nullopt;
    QByteArray texte = Entete;
    QStringList vus;
    for (const EntreeJournalLecture &e : entrees) {
        if (!nomAccepte(e.nom, nomCouleurs) || vus.contains(e.nom))
            return std::nullopt;
        vus << e.nom;
        texte += (e.existait ? "1 " : "0 ") + QFile::encodeName(e.nom) + '\n';
    }
    return texte;
}

std::optional<std::vector<EntreeJournalLecture>> LitJournalLecture(const QString &dossier,
                                                                   const QString &fichierCouleurs)
{
    const QString chemin = QDir(dossier).filePath(NomJournalLecture());
    // The program writes it as a plain file, never a link.
    if (type(chemin) != S_IFREG)
        return std::nullopt;
    const auto octets = LitFichierOrdinaire(chemin, TailleMax);
    if (!octets || !octets->startsWith(Entete) || !octets->endsWith('\n'))
        return std::nullopt;
    const QString nomCouleurs = nomDans(fichierCouleurs, dossier);
    std::vector<EntreeJournalLecture> entrees;
    QStringList vus;
    const QList<QByteArray> lignes = octets->sliced(Entete.size()).chopped(1).split('\n');
    if (lignes.size() == 1 && lignes[0].isEmpty())
        return entrees; // a read with nothing to replace
    if (lignes.size() > MaxEntrees)
        return std::nullopt;
    for (const QByteArray &ligne : lignes) {
        if (ligne.size() < 3 || (ligne[0] != '0' && ligne[0] != '1') || ligne[1] != ' ')
            return std::nullopt;
        const QByteArray brut = ligne.sliced(2);
        const QString nom = QFile::decodeName(brut);
        if (QFile::encodeName(nom) != brut || !nomAccepte(nom, nomCouleurs) || vus.contains(nom))
            return std::nullopt;
        vus << nom;
        entrees.push_back({nom, ligne[0] == '1'});
    }
    return entrees;
}

RepriseLecture AnnuleLectureInterrompue(const QString &dossier, const QString &fichierCouleurs)
{
    const QDir d(dossier);
    const QString journal = d.filePath(NomJournalLecture());
    const mode_t typeJournal = type(journal);
    if (typeJournal == 0)
        return RepriseLecture::SansJournal;
    const auto entrees = LitJournalLecture(dossier, fichierCouleurs);
    if (!entrees) {
        // Not one the program wrote: removed (a folder cannot be), nothing else touched.
        if (typeJournal != S_IFDIR)
            ::unlink(QFile::encodeName(journal).constData());
        return RepriseLecture::JournalRefuse;
    }
    bool complete = true;
    for (const EntreeJournalLecture &e : *entrees) {
        const QByteArray cible = QFile::encodeName(d.filePath(e.nom));
        if (e.existait) {
            const QString ancien = d.filePath(NomAncienLecture(e.nom));
            const mode_t typeAncien = type(ancien);
            // rename() moves a link itself, never what it points to.
            if ((typeAncien == S_IFREG || typeAncien == S_IFLNK)
                && std::rename(QFile::encodeName(ancien).constData(), cible.constData()) != 0)
                complete = false;
        } else if (type(d.filePath(e.nom)) == S_IFREG && ::unlink(cible.constData()) != 0) {
            // The new file the read put where there was none.
            complete = false;
        }
        // A kept old file missing: the read never reached this name, it is as it was.
    }
    if (!complete)
        return RepriseLecture::Inachevee;
    SynchroniseDossier(d.absolutePath());
    if (::unlink(QFile::encodeName(journal).constData()) != 0)
        return RepriseLecture::Inachevee;
    SynchroniseDossier(d.absolutePath());
    return RepriseLecture::Annulee;
}
