#include "theme/package_reader.h"

#include "theme/images_travail.h"

#include "theme/animation_pause.h"
#include "theme/cp1252.h"
#include "theme/fichier_ordinaire.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_couleurs.h"
#include "theme/images_travail.h"
#include "theme/inf_rebuilder.h"
#include "theme/journal_lecture.h"
#include "theme/limite_pixels.h"
#include "theme/ligne_valeur_registre.h"
#include "theme/member_name.h"
#include "theme/setup_ce_reader.h"
#include "theme/setup_xml_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <variant>

namespace {

const QString NonReconnu = QStringLiteral("Th\u00e8me non reconnu !");
const QString ErreurCab = QStringLiteral("Extracting Files Error (Cab error)");
const QString Separateur(36, QLatin1Char('*'));

// The scratch folder of one read: made empty at the start, removed at the
// end whatever the road.
class DossierTemporaire
{
public:
    explicit DossierTemporaire(QString chemin) : m_chemin(std::move(chemin))
    {
        QDir(m_chemin).removeRecursively();
        QDir().mkpath(m_chemin);
    }
    ~DossierTemporaire() { QDir(m_chemin).removeRecursively(); }
    // Removes the folder; the warning to show when it cannot be, else empty.
    QString supprime() const
    {
        QDir d(m_chemin);
        if (!d.exists() || !d.removeRecursively())
            return QStringLiteral("Temporary Dir not Empty %1").arg(QDir::toNativeSeparators(QDir::cleanPath(m_chemin)));
        return {};
    }
    QString fichier(const QString &membre) const { return m_chemin + QLatin1Char('/') + membre; }

private:
    QString m_chemin;
};

QString hexPaires(const QString &hex, bool inverse)
{
    QStringList p;
    for (int k = 0; k < 4; ++k)
        p << hex.mid(2 * k, 2);
    if (inverse)
        std::reverse(p.begin(), p.end());
    return p.join(QLatin1Char(','));
}

bool hexa(const QString &t)
{
    for (QChar c : t)
        if (!isxdigit(c.toLatin1()))
            return false;
    return true;
}

QByteArray encoderTexte(const QStringList &lignes)
{
    return cp1252::encodeLossy(lignes.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
}

// A working file the read replaces: from a copy of `source`, or from `octets`.
struct Remplacement
{
    QString cible, source;
    QByteArray octets;
};

QString cache(const QString &cible, QLatin1String suffixe)
{
    const QFileInfo info(cible);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + suffixe;
}
const QLatin1String SuffixePrepare(".lecture"), SuffixeAncien(".ancien");

QString natif(const QString &chemin)
{
    return QDir::toNativeSeparators(QDir::cleanPath(chemin));
}

bool renomme(const QString &de, const QString &vers)
{
    return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData()) == 0;
}

// Puts every new working file in place, or none: each is first written whole
// beside its target; then the journal lists every target, every target is
// kept under a second name (a hard link, or a copy where there are none: the
// target never stops existing) and replaced by a rename. The journal's
// removal makes the new files the theme; a read killed before it is undone
// from the journal at the next start. When any step fails, what was replaced
// gets its old file back. Returns the message of the failure, empty when
// everything is in place.
QString Installe(const QString &dossier, const QString &fichierCouleurs, const std::vector<Remplacement> &remplacements,
                 const QStringList &effacements, const std::function<void(int)> &crochet)
{
    int numero = 0;
    const auto etape = [&] {
        if (crochet)
            crochet(++numero);
    };
    const QString journal = QDir(dossier).filePath(NomJournalLecture());
    const QString journalNatif = natif(journal);
    {
        struct stat st{};
        if (::lstat(QFile::encodeName(journal).constData(), &st) == 0)
            return QStringLiteral("Cannot write %1: %2")
                .arg(journalNatif, QStringLiteral("the files of an interrupted read could not all be put back"));
    }

    QStringList prepares;
    const auto nettoie = [&] {
        for (const QString &p : prepares)
            QFile::remove(p);
    };
    for (const Remplacement &r : remplacements) {
        const QString prepare = cache(r.cible, SuffixePrepare);
        QFile::remove(prepare);
        QString raison;
        const bool ok = r.source.isEmpty() ? EcritFichierAtomique(prepare, r.octets, &raison)
                                           : CopieFichierAtomique(r.source, prepare, &raison);
        if (!ok) {
            QFile::remove(prepare);
            nettoie();
            return QStringLiteral("Cannot write %1: %2").arg(natif(r.cible), raison);
        }
        prepares << prepare;
    }
    etape();

    // The journal, before the first working file is touched. A kept old file
    // of an earlier read must not pass for one of this read.
    const auto existe = [](const QString &cible) {
        const QFileInfo info(cible);
        return info.isFile() || info.isSymLink();
    };
    const QString nomCouleurs = QFileInfo(fichierCouleurs).fileName();
    std::vector<EntreeJournalLecture> entrees;
    bool horsDossier = false;
    const auto note = [&](const QString &cible) {
        const QFileInfo info(cible);
        horsDossier |= QDir::cleanPath(info.absolutePath()) != QDir::cleanPath(QDir(dossier).absolutePath());
        entrees.push_back({info.fileName(), existe(cible)});
        const QByteArray ancien = QFile::encodeName(cache(cible, SuffixeAncien));
        struct stat st{};
        if (::lstat(ancien.constData(), &st) == 0 && !S_ISDIR(st.st_mode))
            ::unlink(ancien.constData());
    };
    for (const Remplacement &r : remplacements)
        note(r.cible);
    for (const QString &cible : effacements)
        note(cible);
    const auto texte = TexteJournalLecture(entrees, nomCouleurs);
    QString raison;
    if (horsDossier || !texte)
        raison = QStringLiteral("it cannot list these working files");
    if (!raison.isEmpty() || !EcritFichierAtomique(journal, *texte, &raison)) {
        nettoie();
        return QStringLiteral("Cannot write %1: %2").arg(journalNatif, raison);
    }
    etape();

    struct Fait
    {
        QString cible;
        bool ancien; // the old file is kept under its second name
    };
    std::vector<Fait> faits;
    QString echec;
    const auto garde = [&](const QString &cible) -> std::optional<bool> {
        if (!existe(cible))
            return false;
        const QString ancien = cache(cible, SuffixeAncien);
        QFile::remove(ancien);
        if (::link(QFile::encodeName(cible).constData(), QFile::encodeName(ancien).constData()) == 0)
            return true;
        // A file system without hard links (a FAT memory stick): a copy.
        const int code = errno;
        QString raison;
        if (code != EEXIST && CopieFichierAtomique(cible, ancien, &raison))
            return true;
        echec = QStringLiteral("Cannot replace %1: %2")
                    .arg(natif(cible), raison.isEmpty() ? QString::fromLocal8Bit(std::strerror(code)) : raison);
        return std::nullopt;
    };
    for (size_t k = 0; k < remplacements.size() && echec.isEmpty(); ++k) {
        const QString &cible = remplacements[k].cible;
        const auto ancien = garde(cible);
        if (!ancien)
            break;
        etape();
        if (!renomme(prepares[qsizetype(k)], cible)) {
            echec = QStringLiteral("Cannot replace %1: %2").arg(natif(cible), QString::fromLocal8Bit(std::strerror(errno)));
            if (*ancien)
                QFile::remove(cache(cible, SuffixeAncien));
            break;
        }
        faits.push_back({cible, *ancien});
        etape();
    }
    for (const QString &cible : effacements) {
        if (!echec.isEmpty())
            break;
        if (!existe(cible))
            continue;
        if (!renomme(cible, cache(cible, SuffixeAncien))) {
            echec = QStringLiteral("Cannot delete %1: %2").arg(natif(cible), QString::fromLocal8Bit(std::strerror(errno)));
            break;
        }
        faits.push_back({cible, true});
        etape();
    }

    if (echec.isEmpty()) {
        // The new theme counts from the journal's removal on; the renames
        // before it reach the disk first.
        SynchroniseDossier(dossier);
        if (QFile::remove(journal)) {
            SynchroniseDossier(dossier);
            etape();
            for (const Fait &f : faits) {
                if (f.ancien)
                    QFile::remove(cache(f.cible, SuffixeAncien));
                etape();
            }
            return {};
        }
        echec = QStringLiteral("Cannot delete %1: %2").arg(journalNatif, QString::fromLocal8Bit(std::strerror(errno)));
    }
    // Back to the old files, the last one replaced first.
    QStringList perdus;
    for (auto it = faits.rbegin(); it != faits.rend(); ++it) {
        const bool ok = it->ancien ? renomme(cache(it->cible, SuffixeAncien), it->cible) : QFile::remove(it->cible);
        if (!ok)
            perdus << natif(it->cible);
    }
    nettoie();
    // Until every old file is back, the journal stays for the next start to finish.
    if (perdus.isEmpty())
        QFile::remove(journal);
    else
        echec += QStringLiteral("\nThe previous files could not all be restored: %1").arg(perdus.join(QStringLiteral(", ")));
    return echec;
}

} // namespace

bool BalaieFichiersLecture(const QString &dossierAppli, const QString &fichierCouleurs)
{
    // A read cut short first gets its old theme back.
    const RepriseLecture reprise = AnnuleLectureInterrompue(dossierAppli, fichierCouleurs);
    const QDir dossier(dossierAppli);
    // The staged copies and the temporary files of their writes; the kept old
    // files only when no journal may still need them.
    QStringList motifs{QStringLiteral(".*") + SuffixePrepare, QStringLiteral(".*") + SuffixePrepare + QStringLiteral(".??????")};
    const bool gardeAnciens = reprise == RepriseLecture::JournalRefuse || reprise == RepriseLecture::Inachevee;
    if (!gardeAnciens)
        motifs << QStringLiteral(".*") + SuffixeAncien;
    for (const QString &nom : dossier.entryList(motifs, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dossier.filePath(nom));
    return reprise != RepriseLecture::Inachevee;
}

CouleursTsk EcritCouleursTsk(const LectureSetup &lecture, const ParametresWM5 &p, const QString &nomTheme,
                             const std::optional<QStringList> &couleursAppareil)
{
    std::array<QString, JeuCouleurs::NbCouleurs> textes;
    for (const QString &ligne : lecture.ValeursCouleurs) {
        const auto l = LigneValeurRegistre::lire(ligne);
        if (!l)
            continue;
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
            if (l->nom != QString::number(JeuCouleurs::NumerosCouleurs[i]))
                continue;
            // A text that is not 8 hexadecimal digits leaves the slot undefined.
            const bool lisible = l->texte.size() >= 8 && hexa(l->texte.left(8));
            if (l->type == LigneValeurRegistre::TypeBinaire && lisible)
                textes[i] = hexPaires(l->texte, false);
            else if (l->type == LigneValeurRegistre::TypeDword && l->texte.size() == 8 && lisible)
                textes[i] = hexPaires(l->texte, true);
            else
                textes[i].clear();
        }
    }
    const bool appareil = couleursAppareil && couleursAppareil->size() >= 41;
    CouleursTsk c;
    c.lignes << QStringLiteral("[CouleursTSK]   ; ");
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        const int n = JeuCouleurs::NumerosCouleurs[i];
        QString texte = textes[i], marque;
        if (texte.isEmpty()) {
            if (appareil && TexteVersCouleur(couleursAppareil->at(n))) {
                texte = couleursAppareil->at(n);
                marque = QStringLiteral("(SHColor)");
            } else {
                texte = QLatin1String(JeuCouleurs::CouleursDefaut[i]);
                marque = QStringLiteral("(Added)");
            }
        }
        c.jeu[i].couleur = TexteVersCouleur(texte).value_or(JeuCouleurs::couleurDefaut(i));
        c.jeu[i].inclus = !textes[i].isEmpty();
        c.jeu[i].libelle = JeuCouleurs::libelleDefaut(i);
        c.lignes << QString::asprintf("coul%2.2d = ", n) + texte + QLatin1String("; ") + JeuCouleurs::NomCouleur(i)
                        + QLatin1Char(' ') + marque;
    }
    if (p.Coul34Definie)
        c.lignes << QStringLiteral("coul34 = ") + CouleurVersTexte(p.Coul34) + QLatin1String("; Couleur 34 (WM5) (Added)");
    c.lignes << QStringLiteral("[NomTheme]   ; ") << QStringLiteral("NomFic = ") + NomEnLigne(nomTheme)
             << QStringLiteral("NomInterne = ") + NomEnLigne(lecture.NomInterneLu);
    if (p.BaseHueDefini || p.DPIDefini || p.UseStartImageDefini) {
        c.lignes << QStringLiteral("[WM5]   ; ");
        if (p.BaseHueDefini)
            c.lignes << QStringLiteral("BaseHue = ") + QString::number(uint32_t(p.ValBaseHue));
        if (p.DPIDefini)
            c.lignes << QStringLiteral("DPI = ") + QString::number(uint32_t(p.ValDPI));
        if (p.UseStartImageDefini)
            c.lignes << QStringLiteral("UseStartImage = ") + QString::number(uint32_t(p.ValUseStartImage));
    }
    if (p.ClesThemeDefinies) {
        c.lignes << QStringLiteral("[WM5TSK]   ; ");
        for (const QString &ligne : lecture.ClesTheme) {
            const auto l = LigneValeurRegistre::lire(ligne);
            if (!l)
                continue;
            if (l->type == LigneValeurRegistre::TypeDword && l->valeurDword())
                c.lignes << l->nom + QLatin1String(" = ") + QString::number(int32_t(*l->valeurDword()))
                                + QLatin1String("; 00010001");
            else if (l->type == LigneValeurRegistre::TypeBinaire && l->texte.size() >= 8 && hexa(l->texte.left(8)))
                c.lignes << l->nom + QLatin1String(" = ") + hexPaires(l->texte, false) + QLatin1String("; 00000001");
        }
    }
    // A name the Windows-1252 lines cannot hold comes back whole from here.
    if (const QStringList exacts = LignesNomsExacts(encoderTexte(c.lignes), nomTheme, lecture.NomInterneLu);
        !exacts.isEmpty())
        c.lignes << QStringLiteral("[EtatTheme]   ; ") << exacts;
    return c;
}

namespace {

template <typename T>
using Etape = std::variant<T, EchecLecture>;

// The members of the package as listed, their lower-case keys in the same
// order, and the setup documents among them.
struct MembresPaquet
{
    QStringList noms;
    QStringList cles; // ListeFichiersCab
    QString membreSetup, membreXml;
    const QString &nom(const QString &cle) const { return noms.at(cles.indexOf(cle)); }
};

// Lists the members: every name must be a plain file name, unique without
// regard to case, and a setup file or a setup XML must stand among them.
Etape<MembresPaquet> ListeMembres(const QString &fichier, LecteurCabinet &cabinet)
{
    MembresPaquet m;
    if (const auto liste = cabinet.lister(fichier))
        m.noms = *liste;
    else
        return EchecLecture{ErreurLecture::CabinetIllisible, {}};
    for (const QString &nom : m.noms) {
        const QString cle = cleNomMembre(nom);
        if (!estNomMembreSur(nom) || m.cles.contains(cle))
            return EchecLecture{ErreurLecture::MembreRefuse, {}};
        m.cles << cle;
        if (cle.contains(QLatin1String(".000")))
            m.membreSetup = cle;
        else if (cle.contains(QLatin1String(".xml")))
            m.membreXml = cle;
    }
    if (m.membreSetup.isEmpty() && m.membreXml.isEmpty())
        return EchecLecture{ErreurLecture::SansDocumentSetup, {}};
    return m;
}

// Takes members out of the package into the scratch folder, each under its
// key, refusing one larger than the bound given.
class Extracteur
{
public:
    Extracteur(const QString &fichier, LecteurCabinet &cabinet, const DossierTemporaire &scratch,
               const MembresPaquet &membres)
        : m_fichier(fichier), m_cabinet(cabinet), m_scratch(scratch), m_membres(membres)
    {
    }
    std::optional<QString> extraire(const QString &cle, qint64 max) const
    {
        const QString dest = m_scratch.fichier(cle);
        if (!m_cabinet.extraire(m_fichier, m_membres.nom(cle), dest) || !QFileInfo(dest).isFile()
            || QFileInfo(dest).size() > max)
            return std::nullopt;
        return dest;
    }
    std::optional<QByteArray> lire(const QString &cle) const
    {
        const auto chemin = extraire(cle, Paquet::TailleSetupMax);
        if (!chemin)
            return std::nullopt;
        return LitFichierOrdinaire(*chemin, Paquet::TailleSetupMax);
    }

private:
    const QString &m_fichier;
    LecteurCabinet &m_cabinet;
    const DossierTemporaire &m_scratch;
    const MembresPaquet &m_membres;
};

// What the setup document of the package says.
struct DocumentSetup
{
    LectureSetup lecture;
    ParametresWM5 params;
    int groupe = 6;
    MembresImages images;
    bool routeXml = false;
    QString texteXml;                // the XML road: the document text
    std::optional<QByteArray> setup; // the CE road: the setup file
};

// Reads the CE setup file when the package has one, else the setup XML,
// starting from the document's own lists and values.
Etape<DocumentSetup> LitDocumentSetup(const MembresPaquet &membres, const Extracteur &extracteur,
                                      const ThemeDocument &doc)
{
    DocumentSetup d;
    d.lecture = doc.lectureSetup();
    d.lecture.ListeFichiersCab = membres.cles;
    d.lecture.ListeEnrFichiers.clear();
    d.params = doc.parametres();
    if (!membres.membreSetup.isEmpty()) {
        d.setup = extracteur.lire(membres.membreSetup);
        if (!d.setup)
            return EchecLecture{ErreurLecture::ExtractionSetup, {}};
        const auto r = LitFichierSetupCE(*d.setup, d.lecture.ListeFichiersCab);
        if (r.etat == ResultatSetupCE::Etat::MembreManquant)
            return EchecLecture{ErreurLecture::MembreManquant, {}};
        if (!r.accepte())
            return EchecLecture{ErreurLecture::SetupNonReconnu, {}};
        d.groupe = r.groupeFormat;
        d.images = r.membres;
        return d;
    }
    const auto bytes = extracteur.lire(membres.membreXml);
    if (!bytes)
        return EchecLecture{ErreurLecture::ExtractionSetup, {}};
    const auto r = LireXmlSetup(*bytes);
    if (!r)
        return EchecLecture{ErreurLecture::SetupNonReconnu, {}};
    d.routeXml = true;
    d.groupe = r->groupeFormat;
    d.images = r->membres;
    d.lecture.ValeursCouleurs = r->ValeursCouleurs;
    d.lecture.ValeursToday = r->ValeursToday;
    d.lecture.ClesTheme = r->ClesTheme;
    d.lecture.ListeEnrFichiers = r->ListeEnrFichiers;
    d.lecture.TexteInfOrig = r->TexteInfOrig;
    d.lecture.NomInterneLu = r->NomInterneLu;
    // These describe a CE setup file, which this package does not have:
    // nothing of an earlier package may show beside this one.
    d.lecture.ListeFichiers.clear();
    d.lecture.ChainesSetup.clear();
    d.lecture.ChainesCleCouleurs.clear();
    d.lecture.ChainesCleToday.clear();
    d.lecture.ChainesCleTheme.clear();
    d.lecture.NomCleTheme = r->NomSousCleTheme;
    d.params = r->parametres;
    d.texteXml = r->texteDocument;
    return d;
}

// The extracted pictures: Today, Start portrait, Today, Start landscape; an
// empty path where the package has none. Every member the setup document
// names must be a member of the cabinet; a package with neither portrait
// picture is no theme.
Etape<std::array<QString, 4>> ExtraitImages(const DocumentSetup &d, const MembresPaquet &membres,
                                            const Extracteur &extracteur)
{
    const std::array<int, 4> choix = slotsImages(d.groupe);
    std::array<QString, 4> fichiers;
    for (int k = 0; k < 4; ++k) {
        if (choix[k] < 0 || d.images[choix[k]].isEmpty())
            continue;
        const QString &nom = d.images[choix[k]];
        const QString cle = cleNomMembre(nom);
        if (!estNomMembreSur(nom) || !membres.cles.contains(cle))
            return EchecLecture{ErreurLecture::ImageHorsPaquet, {}};
        const auto chemin = extracteur.extraire(cle, Paquet::TailleImageMax);
        if (!chemin)
            return EchecLecture{ErreurLecture::ExtractionImage, {}};
        // A picture bomb never becomes a working picture: the size is in the header.
        QImageReader lecteur(*chemin);
        lecteur.setDecideFormatFromContent(true);
        if (ImageTropGrande(lecteur.size()))
            return EchecLecture{ErreurLecture::ImageTropGrande, MessageImageTropGrande(nom, lecteur.size())};
        fichiers[k] = *chemin;
    }
    if (fichiers[0].isEmpty() && fichiers[1].isEmpty())
        return EchecLecture{ErreurLecture::SansImagePortrait, {}};
    return fichiers;
}

// What the INF window shows: the rebuilt INF text, and the files, values and
// strings of the package in blocks.
InfosLecture InfosFenetreInf(const DocumentSetup &d, const QString &fichier, const QString &membreSetup, bool inf)
{
    const LectureSetup &lecture = d.lecture;
    InfosLecture infos;
    infos.infOuXml = inf || d.routeXml;
    infos.texteInf = lecture.TexteInfOrig;
    infos.statut0 = fichier;
    infos.statut1 = d.routeXml ? QString() : membreSetup;
    QStringList &fic = infos.texteFic;
    fic << QStringLiteral("File(s) :") << QString() << lecture.ListeFichiers;
    // A setup XML has no string table: its keys are named without string references.
    const auto chaines = [routeXml = d.routeXml](const QString &references) {
        return routeXml ? QString() : QStringLiteral(" : (Strings : ") + references + QLatin1Char(')');
    };
    if (!lecture.ValeursCouleurs.isEmpty())
        fic << Separateur << QStringLiteral("Defined Colors") + chaines(lecture.ChainesCleCouleurs)
            << QString() << QStringLiteral("\t\t\t\t1 : REG_BINARY;\t 65537 : REG_DWORD") << QString()
            << lecture.ValeursCouleurs << QString();
    if (!lecture.ValeursToday.isEmpty())
        fic << Separateur << QStringLiteral("Today Keys") + chaines(lecture.ChainesCleToday)
            << QString() << lecture.ValeursToday << QString();
    if (!lecture.ClesTheme.isEmpty())
        fic << Separateur
            << QStringLiteral("Theme Keys") + lecture.NomCleTheme
                   + QLatin1String("\" in HKCU\\Software\\Microsoft\\Today") + chaines(lecture.ChainesCleTheme)
            << QString() << lecture.ClesTheme;
    if (!lecture.ChainesSetup.isEmpty())
        fic << Separateur << QStringLiteral("Strings :") << QString() << lecture.ChainesSetup;
    if (d.routeXml)
        fic << QString() << Separateur << QStringLiteral("XML :") << QString() << d.texteXml.split(QLatin1Char('\n'));
    return infos;
}

// The working files the read puts in place: the pictures of the set (a
// missing Start picture is the Today one; a missing Today picture is
// deleted) and the colour file; every other working picture is deleted.
struct FichiersTravail
{
    std::vector<Remplacement> remplacements;
    QStringList effacements;
};

FichiersTravail PrepareFichiersTravail(const std::array<QString, 4> &images, int groupe, const QString &dossierAppli,
                                       const QString &fichierCouleurs, const CouleursTsk &couleurs)
{
    const QDir dossier(dossierAppli);
    FichiersTravail f;
    auto poser = [&](const QString &nom, const QString &source) {
        if (source.isEmpty())
            f.effacements << dossier.filePath(nom);
        else
            f.remplacements.push_back({dossier.filePath(nom), source, {}});
    };
    poser(QStringLiteral("tdywater.gif"), images[0]);
    poser(QStringLiteral("stwater.gif"), images[1].isEmpty() ? images[0] : images[1]);
    if (groupe >= 2) {
        const QString p = groupe <= 3 ? QStringLiteral("_240_320") : QStringLiteral("_480_640");
        const QString l = groupe <= 3 ? QStringLiteral("_320_240") : QStringLiteral("_640_480");
        poser(QStringLiteral("tdywater") + p + QLatin1String(".gif"), images[0]);
        poser(QStringLiteral("tdywater") + l + QLatin1String(".gif"), images[2]);
        poser(QStringLiteral("stwater") + p + QLatin1String(".gif"), images[1].isEmpty() ? images[0] : images[1]);
        poser(QStringLiteral("stwater") + l + QLatin1String(".gif"), images[3].isEmpty() ? images[2] : images[3]);
    }
    // Nothing of the theme before stays beside the new one: the size variants
    // of another picture set and the pictures a format change put aside.
    QStringList poses;
    for (const Remplacement &r : f.remplacements)
        poses << QFileInfo(r.cible).fileName();
    for (const QString &base : {QStringLiteral("tdywater"), QStringLiteral("stwater")}) {
        for (const QString &suffixe : {QStringLiteral("_240_320"), QStringLiteral("_320_240"),
                                       QStringLiteral("_480_640"), QStringLiteral("_640_480")}) {
            const QString nom = base + suffixe + QLatin1String(".gif");
            if (!poses.contains(nom) && !f.effacements.contains(dossier.filePath(nom)))
                f.effacements << dossier.filePath(nom);
        }
    }
    f.effacements << CopiesMisesDeCote(dossier);
    f.remplacements.push_back({fichierCouleurs, {}, encoderTexte(couleurs.lignes)});
    return f;
}

// The document takes the package, last; the format follows the pictures.
void AppliqueAuDocument(ThemeDocument &doc, const DocumentSetup &d, const CouleursTsk &couleurs,
                        const QString &nomTheme)
{
    doc.setJeuCouleurs(couleurs.jeu);
    doc.setNomTheme(nomTheme);
    doc.setNomInterne(d.lecture.NomInterneLu);
    doc.setParametres(d.params);
    doc.setLectureSetup(d.lecture);
    doc.setGroupeFormat(d.groupe);
    doc.setMembresImages(d.images);
    const int avant = doc.format().FormatTheme;
    if (d.groupe == 2 || d.groupe == 3)
        doc.setFormatTheme(4);
    else if (d.groupe == 4 || d.groupe == 5)
        doc.setFormatTheme(5);
    else if (avant == 4)
        doc.setFormatTheme(2);
    else if (avant == 5)
        doc.setFormatTheme(3);
}

// The read itself, in the scratch folder: the steps in order, the first
// that fails ending it.
std::variant<InfosLecture, EchecLecture> LitDans(const QString &fichier, ThemeDocument &doc,
                                                 const ContexteLecture &ctx, const DossierTemporaire &scratch)
{
    auto membres = ListeMembres(fichier, ctx.cabinet);
    if (const auto *e = std::get_if<EchecLecture>(&membres))
        return *e;
    const MembresPaquet &m = std::get<MembresPaquet>(membres);
    const Extracteur extracteur(fichier, ctx.cabinet, scratch, m);

    auto document = LitDocumentSetup(m, extracteur, doc);
    if (const auto *e = std::get_if<EchecLecture>(&document))
        return *e;
    DocumentSetup &d = std::get<DocumentSetup>(document);

    const auto images = ExtraitImages(d, m, extracteur);
    if (const auto *e = std::get_if<EchecLecture>(&images))
        return *e;

    bool inf = false;
    if (d.setup) {
        const auto r = ReconstruireInf(*d.setup, d.lecture, d.params);
        if (!r)
            return EchecLecture{ErreurLecture::InfNonReconnue, {}};
        d.lecture = r->lecture;
        d.params = r->parametres;
        inf = true;
    }

    const QString nomTheme = QFileInfo(fichier).completeBaseName();
    InfosLecture infos = InfosFenetreInf(d, fichier, m.membreSetup, inf);
    const CouleursTsk couleurs = EcritCouleursTsk(
        d.lecture, d.params, nomTheme, ctx.couleursAppareil ? ctx.couleursAppareil() : std::nullopt);

    // The working files: staged beside their final names, then renamed all together.
    QDir().mkpath(ctx.dossierAppli);
    const FichiersTravail travail = PrepareFichiersTravail(std::get<std::array<QString, 4>>(images), d.groupe,
                                                           ctx.dossierAppli, ctx.fichierCouleurs, couleurs);
    const QString echec =
        Installe(ctx.dossierAppli, ctx.fichierCouleurs, travail.remplacements, travail.effacements, ctx.etapeInstallation);
    if (!echec.isEmpty())
        return EchecLecture{ErreurLecture::Installation, echec};

    AppliqueAuDocument(doc, d, couleurs, nomTheme);
    return infos;
}

} // namespace

QStringList TexteErreurLecture(const EchecLecture &echec)
{
    switch (echec.erreur) {
    case ErreurLecture::CabinetIllisible:
    case ErreurLecture::ExtractionSetup:
    case ErreurLecture::ExtractionImage:
        return {ErreurCab};
    case ErreurLecture::MembreRefuse:
    case ErreurLecture::SetupNonReconnu:
    case ErreurLecture::ImageHorsPaquet:
    case ErreurLecture::InfNonReconnue:
        return {NonReconnu};
    case ErreurLecture::MembreManquant:
        return {QStringLiteral("Erreur"), NonReconnu};
    case ErreurLecture::ImageTropGrande:
    case ErreurLecture::Installation:
        return {echec.detail};
    case ErreurLecture::SansDocumentSetup:
    case ErreurLecture::SansImagePortrait:
        break;
    }
    return {};
}

QStringList TextesLecture(const ResultatLecture &resultat)
{
    QStringList textes;
    if (const EchecLecture *e = resultat.echec())
        textes = TexteErreurLecture(*e);
    if (!resultat.avertissement.isEmpty())
        textes << resultat.avertissement;
    return textes;
}

ResultatLecture LitTsk(const QString &fichier, ThemeDocument &doc, const ContexteLecture &ctx)
{
    AnimationPauseGuard pause(ctx.pause);
    BalaieFichiersLecture(ctx.dossierAppli, ctx.fichierCouleurs);
    const DossierTemporaire scratch(ctx.dossierTravail + QLatin1String("/tempTsk"));
    ResultatLecture resultat{LitDans(fichier, doc, ctx, scratch), {}};
    resultat.avertissement = scratch.supprime();
    return resultat;
}
