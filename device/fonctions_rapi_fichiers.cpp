#include "device/fonctions_rapi_fichiers.h"

#include "ui/fonctions_indep.h"
#include "device/texte_ce.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/member_name.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>
#include <QTreeWidgetItem>

#include <cstring>

namespace {

constexpr DWORD kPartageLecture = 1;
constexpr DWORD kAttributsEtNoms = 0x81; // CeFindAllFiles: attributes and names
// Seconds between 1601-01-01 (file times) and 1970-01-01.
constexpr qint64 kSecondes1601A1970 = 11644473600LL;

// One device file handle, always closed.
class FichierCE
{
public:
    FichierCE(LienRapi &rapi, CEHANDLE h) : m_rapi(rapi), m_h(h) {}
    ~FichierCE() { ferme(); }
    FichierCE(const FichierCE &) = delete;
    FichierCE &operator=(const FichierCE &) = delete;
    bool valide() const { return m_h != OVD_INVALID_HANDLE; }
    CEHANDLE h() const { return m_h; }
    bool ferme()
    {
        if (!valide())
            return true;
        const bool ok = m_rapi.CeCloseHandle(m_h) != 0;
        m_h = OVD_INVALID_HANDLE;
        return ok;
    }

private:
    LienRapi &m_rapi;
    CEHANDLE m_h;
};

// The find record of one device path (its search closed at once).
std::optional<CE_FIND_DATA> trouveCE(LienRapi &rapi, const QString &cheminCE)
{
    if (!texteCEValide(cheminCE))
        return std::nullopt;
    CE_FIND_DATA fd{};
    const CEHANDLE h = rapi.CeFindFirstFile(versCE(cheminCE), &fd);
    if (h == OVD_INVALID_HANDLE)
        return std::nullopt;
    rapi.CeFindClose(h);
    return fd;
}

QString nomDe(const CE_FIND_DATA &fd)
{
    return depuisCE(fd.cFileName, OVD_MAX_PATH);
}

// A name from a device listing that can stand as one component of a path.
bool nomEntreeValide(const QString &nom)
{
    if (nom.isEmpty() || nom == QLatin1String(".") || nom == QLatin1String(".."))
        return false;
    for (const QChar c : nom)
        if (c.unicode() < 0x20 || c == QLatin1Char('\\') || c == QLatin1Char('/'))
            return false;
    return true;
}

// The listing of one device pattern, its buffer released on every path.
class ListeCE
{
public:
    ListeCE(LienRapi &rapi, const QString &motif) : m_rapi(rapi)
    {
        if (texteCEValide(motif) && !rapi.CeFindAllFiles(versCE(motif), kAttributsEtNoms, &m_nb, &m_tab))
            m_nb = 0;
        if (!m_tab)
            m_nb = 0;
    }
    ~ListeCE()
    {
        if (m_tab)
            m_rapi.CeRapiFreeBuffer(m_tab);
    }
    ListeCE(const ListeCE &) = delete;
    ListeCE &operator=(const ListeCE &) = delete;
    DWORD taille() const { return m_nb; }
    const CE_FIND_DATA &operator[](DWORD i) const { return m_tab[i]; }

private:
    LienRapi &m_rapi;
    DWORD m_nb = 0;
    CE_FIND_DATA *m_tab = nullptr;
};

QDateTime versDateTime(const CEFILETIME &t)
{
    const quint64 ticks = quint64(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    const qint64 ms = qint64(ticks / 10000) - kSecondes1601A1970 * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

QDateTime depuisDosDate(int32_t dos)
{
    const auto d = quint32(dos);
    const QDate date(int(d >> 25) + 1980, int(d >> 21) & 0xF, int(d >> 16) & 0x1F);
    const QTime heure(int(d >> 11) & 0x1F, int(d >> 5) & 0x3F, int(d & 0x1F) * 2);
    return QDateTime(date, heure, Qt::LocalTime);
}

// The short date and the long time of the locale, without a time zone.
QString texteDateHeure(const QDateTime &dt)
{
    const QLocale locale;
    QString formatHeure = locale.timeFormat(QLocale::LongFormat);
    formatHeure.remove(QLatin1Char('t'));
    return locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(dt.time(), formatHeure.trimmed());
}

void remplit(LienRapi &rapi, const QString &dossier, QTreeWidgetItem *parent, int profondeur, int &nbDossiers,
             const QString &skin, const PanneauxArbreCE &panneaux, int &nbFichiers, int &nbPaquets,
             const QList<QIcon> &images)
{
    if (profondeur > kProfondeurMaxArbreCE)
        return;
    const ListeCE liste(rapi, dossier + QLatin1Char('*'));
    if (liste.taille() == 0)
        return;
    int largeur = 0;
    if (panneaux.chemin)
        largeur = qMax(0, panneaux.chemin->width() - 10);
    const auto noeud = [&](const QString &texte, int image) {
        auto *n = new QTreeWidgetItem(parent, QStringList(texte));
        n->setData(0, kRoleImageCE, image);
        if (image < images.size())
            n->setIcon(0, images.at(image));
        return n;
    };
    for (DWORD i = 0; i < liste.taille(); ++i) {
        const QString nom = nomDe(liste[i]);
        if (!nomEntreeValide(nom))
            continue;
        if (liste[i].dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY) {
            ++nbDossiers;
            if (panneaux.chemin) {
                const QFontMetrics fm(panneaux.chemin->font());
                panneaux.chemin->setText(fm.elidedText(dossier + nom, Qt::ElideMiddle, largeur));
            }
            if (panneaux.dossiers)
                panneaux.dossiers->setText(QString::asprintf("%d Dir(s)", nbDossiers));
            QTreeWidgetItem *n = noeud(nom, ImageDossierCE);
            if (panneaux.barre)
                panneaux.barre->repaint();
            remplit(rapi, dossier + nom + QLatin1Char('\\'), n, profondeur + 1, nbDossiers, skin, panneaux,
                    nbFichiers, nbPaquets, images);
            continue;
        }
        ++nbFichiers;
        if (nom.endsWith(QLatin1String(".tsk"), Qt::CaseInsensitive)) {
            const bool courant = !skin.isEmpty() && nom.toLower() == skin.toLower();
            noeud(nom, courant ? ImageSkinCE : ImagePaquetCE);
            ++nbPaquets;
            if (panneaux.paquets)
                panneaux.paquets->setText(QString::asprintf("%d TSK (%d Files)", nbPaquets, nbFichiers));
        }
        if (panneaux.barre)
            panneaux.barre->repaint();
    }
}

} // namespace

namespace {

// A copy to the device moves through spare names beside its target, all
// starting with "~ovd<n>": "<n>.tmp" the new bytes, "<n>.old" the old file
// set aside while the new one takes its name. Before any of them is made, a
// journal "\~ovd<n>.jnl" at the device's root names the target (its full
// path in UTF-8 and a line end). A copy cut off anywhere (the device pulled
// out, the program stopped) leaves its journal, and the next connection or
// the next copy reads it and puts the target back as it was before the copy
// (the old file, or no file), or keeps the new file once it holds the name;
// then every spare file of that copy and its journal go.
const QString kPrefixeCopie = QStringLiteral("~ovd");
constexpr qint64 kTailleMaxJournal = 4 * OVD_MAX_PATH;
constexpr int kMaxCopiesCE = 1000;

QString nomCopie(const QString &dossier, int n, const char *suffixe)
{
    return dossier + QLatin1Char('\\') + kPrefixeCopie + QString::number(n) + QLatin1String(suffixe);
}

// The numbers n of the "~ovd<n>.<suffix>" names a folder holds ("" is the root).
QList<int> numerosCopie(LienRapi &rapi, const QString &dossier, const char *suffixe)
{
    QList<int> n;
    const ListeCE l(rapi, dossier + QLatin1Char('\\') + kPrefixeCopie + QLatin1Char('*'));
    for (DWORD i = 0; i < l.taille(); ++i) {
        const QString nom = nomDe(l[i]);
        if (!nom.endsWith(QLatin1String(suffixe), Qt::CaseInsensitive))
            continue;
        const qsizetype chiffres = nom.size() - kPrefixeCopie.size() - qsizetype(std::strlen(suffixe));
        bool ok = false;
        const int k = nom.mid(kPrefixeCopie.size(), chiffres).toInt(&ok);
        // Only the names this code writes ("~ovd7.tmp", not "~ovd07.tmp").
        if (ok && k >= 0 && k < kMaxCopiesCE
            && nom.compare(nomCopie(QString(), k, suffixe).mid(1), Qt::CaseInsensitive) == 0)
            n << k;
    }
    return n;
}

// Deletes a device file when it is there; true when no file of that name is
// left. A copy only ever makes files under its spare names: a folder of such
// a name is none of its own and stays as it is.
bool supprimeCE(LienRapi &rapi, const QString &cheminCE)
{
    const auto fd = trouveCE(rapi, cheminCE);
    return !fd || (fd->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY) || rapi.CeDeleteFile(versCE(cheminCE));
}

// A file (not a folder) stands under this device path.
bool estFichierCE(LienRapi &rapi, const QString &cheminCE)
{
    const auto fd = trouveCE(rapi, cheminCE);
    return fd && !(fd->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY);
}

// A whole small device file, or nothing.
std::optional<QByteArray> litPetitFichierCE(LienRapi &rapi, const QString &cheminCE, qint64 max)
{
    const auto fd = trouveCE(rapi, cheminCE);
    if (!fd || (fd->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY) || fd->nFileSizeHigh != 0
        || qint64(fd->nFileSizeLow) > max)
        return std::nullopt;
    FichierCE f(rapi, rapi.CeCreateFile(versCE(cheminCE), OVD_GENERIC_READ, kPartageLecture, nullptr,
                                        OVD_OPEN_EXISTING, OVD_FILE_ATTRIBUTE_NORMAL, 0));
    if (!f.valide())
        return std::nullopt;
    QByteArray octets(qsizetype(fd->nFileSizeLow), Qt::Uninitialized);
    DWORD lus = 0;
    const DWORD taille = DWORD(octets.size());
    if (taille > 0 && (!rapi.CeReadFile(f.h(), octets.data(), taille, &lus, nullptr) || lus != taille))
        return std::nullopt;
    return octets;
}

// A new device file holding exactly these bytes; false (and no file) otherwise.
bool ecritPetitFichierCE(LienRapi &rapi, const QString &cheminCE, const QByteArray &octets)
{
    FichierCE f(rapi, rapi.CeCreateFile(versCE(cheminCE), OVD_GENERIC_WRITE, kPartageLecture, nullptr,
                                        OVD_CREATE_NEW, OVD_FILE_ATTRIBUTE_NORMAL, 0));
    if (!f.valide())
        return false;
    DWORD ecrits = 0;
    const bool ok = rapi.CeWriteFile(f.h(), octets.constData(), DWORD(octets.size()), &ecrits, nullptr)
                    && ecrits == DWORD(octets.size());
    if (f.ferme() && ok)
        return true;
    rapi.CeDeleteFile(versCE(cheminCE));
    return false;
}

// The target a journal names: a full device path of plain names; nothing for
// a journal cut short or not of ours.
std::optional<QString> cibleJournal(const QByteArray &octets)
{
    if (!octets.endsWith('\n') || octets.count('\n') != 1)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString chemin = utf8.decode(octets.left(octets.size() - 1));
    if (utf8.hasError() || !chemin.startsWith(QLatin1Char('\\')) || !texteCEValide(chemin))
        return std::nullopt;
    for (const QString &partie : chemin.mid(1).split(QLatin1Char('\\')))
        if (!nomEntreeValide(partie))
            return std::nullopt;
    return chemin;
}

// Puts right the copy of journal n; true when nothing of it is left.
bool repareCopie(LienRapi &rapi, int n)
{
    const QString journal = nomCopie(QString(), n, ".jnl");
    const auto fd = trouveCE(rapi, journal);
    if (!fd || (fd->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY))
        return true; // gone, or a folder of that name: no journal
    std::optional<QString> cible;
    if (fd->nFileSizeHigh == 0 && fd->nFileSizeLow <= kTailleMaxJournal) {
        const auto octets = litPetitFichierCE(rapi, journal, kTailleMaxJournal);
        if (!octets)
            return false; // unreadable now (in use): another time
        cible = cibleJournal(*octets);
    }
    if (cible) {
        const QString dossier = cible->left(cible->lastIndexOf(QLatin1Char('\\')));
        const QString nouveau = nomCopie(dossier, n, ".tmp"), ecarte = nomCopie(dossier, n, ".old");
        // The old file set aside and nothing under its name: it comes back.
        // Only a file was ever set aside; a folder of the spare name stays.
        if (!trouveCE(rapi, *cible) && estFichierCE(rapi, ecarte)
            && !rapi.CeMoveFile(versCE(ecarte), versCE(*cible)))
            return false;
        if (!supprimeCE(rapi, nouveau) || !supprimeCE(rapi, ecarte))
            return false;
    }
    // A journal cut short was written before anything else of its copy.
    return rapi.CeDeleteFile(versCE(journal));
}

// The spare names of a folder that no journal speaks for: the bytes of a
// copy whose journal is gone. An old file set aside is never deleted
// without its journal (nothing would tell its name).
void balaieDossier(LienRapi &rapi, const QString &dossier)
{
    const QList<int> journaux = numerosCopie(rapi, QString(), ".jnl");
    for (const int n : numerosCopie(rapi, dossier, ".tmp"))
        if (!journaux.contains(n))
            rapi.CeDeleteFile(versCE(nomCopie(dossier, n, ".tmp")));
}

// A number n free for a new copy into dossier.
int numeroLibre(LienRapi &rapi, const QString &dossier)
{
    const QList<int> pris = numerosCopie(rapi, QString(), ".jnl") + numerosCopie(rapi, dossier, ".tmp")
                            + numerosCopie(rapi, dossier, ".old");
    for (int n = 0; n < kMaxCopiesCE; ++n)
        if (!pris.contains(n))
            return n;
    return -1;
}

// Writes the whole desktop file into a new device file; false (and the
// device file removed) when any byte fails.
bool ecritFichierCE(LienRapi &rapi, const QString &cheminCE, QFile &source, qint64 taille)
{
    FichierCE cible(rapi, rapi.CeCreateFile(versCE(cheminCE), OVD_GENERIC_WRITE, kPartageLecture, nullptr,
                                            OVD_CREATE_NEW, OVD_FILE_ATTRIBUTE_NORMAL, 0));
    if (!cible.valide())
        return false;
    QByteArray tampon(int(qMin(taille, kMorceauCopieCE)), Qt::Uninitialized);
    bool ok = source.seek(0);
    for (qint64 reste = taille; ok && reste > 0;) {
        const qint64 n = qMin(reste, kMorceauCopieCE);
        DWORD ecrits = 0;
        ok = source.read(tampon.data(), n) == n
             && rapi.CeWriteFile(cible.h(), tampon.constData(), DWORD(n), &ecrits, nullptr)
             && ecrits == DWORD(n);
        reste -= n;
    }
    char encore = 0;
    ok = ok && source.read(&encore, 1) == 0; // the source did not grow meanwhile
    ok = cible.ferme() && ok;
    if (!ok)
        rapi.CeDeleteFile(versCE(cheminCE)); // no partial file left on the device
    return ok;
}

} // namespace

bool RepareCopiesCE(LienRapi &rapi)
{
    bool tout = true;
    for (const int n : numerosCopie(rapi, QString(), ".jnl"))
        tout = repareCopie(rapi, n) && tout;
    return tout;
}

bool CopieVersCE(LienRapi &rapi, const QString &cheminCE, const QString &cheminBureau)
{
    if (!texteCEValide(cheminCE))
        return false;
    const qsizetype sep = cheminCE.lastIndexOf(QLatin1Char('\\'));
    if (sep < 0 || sep + 1 >= cheminCE.size() || !cheminCE.startsWith(QLatin1Char('\\')))
        return false; // no file name
    const QString dossier = cheminCE.left(sep);
    // The desktop side is opened and measured first: a missing or unreadable
    // source never touches the device.
    QFile source;
    if (!OuvreFichierOrdinaire(source, cheminBureau))
        return false;
    const qint64 taille = source.size();
    if (taille < 0 || taille > kTailleMaxCopieCE)
        return false;

    // What an earlier copy cut off left is put right first.
    RepareCopiesCE(rapi);
    balaieDossier(rapi, dossier);

    // The copy goes to a new name in the same folder and replaces the old
    // file only once it is whole: a full store or a failing read leaves the
    // device file as it was. The old file keeps its name's letter case.
    const auto ancien = trouveCE(rapi, cheminCE);
    if (ancien && (ancien->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const QString cible = ancien ? dossier + QLatin1Char('\\') + nomDe(*ancien) : cheminCE;
    const int n = numeroLibre(rapi, dossier);
    if (n < 0)
        return false;
    const QString journal = nomCopie(QString(), n, ".jnl");
    const QString nouveau = nomCopie(dossier, n, ".tmp"), ecarte = nomCopie(dossier, n, ".old");
    // Undoes what was done; the journal goes last, and stays when anything
    // could not be undone, so the next connection finishes the work.
    const auto defait = [&] {
        if (supprimeCE(rapi, nouveau))
            rapi.CeDeleteFile(versCE(journal));
        return false;
    };
    if (!ecritPetitFichierCE(rapi, journal, cible.toUtf8() + '\n'))
        return false;
    if (!ecritFichierCE(rapi, nouveau, source, taille))
        return defait();
    // The device cannot move a file over another: the old one steps aside
    // under the spare name, comes back if the new one cannot take its place,
    // and goes only when the new one stands.
    if (ancien && !rapi.CeMoveFile(versCE(cible), versCE(ecarte)))
        return defait();
    if (!rapi.CeMoveFile(versCE(nouveau), versCE(cible))) {
        if (ancien && !rapi.CeMoveFile(versCE(ecarte), versCE(cible)))
            return false; // the journal tells the next connection to bring it back
        return defait();
    }
    if (!ancien || rapi.CeDeleteFile(versCE(ecarte)))
        rapi.CeDeleteFile(versCE(journal));
    return true;
}

bool CopieDepuisCE(LienRapi &rapi, const QString &cheminCE, const QString &cheminBureau)
{
    const auto fd = trouveCE(rapi, cheminCE);
    // A folder is no file, and a size over 32 bits cannot be copied whole.
    if (!fd || (fd->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY) || fd->nFileSizeHigh != 0
        || qint64(fd->nFileSizeLow) > kTailleMaxCopieCE)
        return false;
    const qint64 taille = fd->nFileSizeLow;
    FichierCE source(rapi, rapi.CeCreateFile(versCE(cheminCE), OVD_GENERIC_READ, kPartageLecture, nullptr,
                                             OVD_OPEN_EXISTING, OVD_FILE_ATTRIBUTE_NORMAL, 0));
    if (!source.valide())
        return false;
    EcritureAtomique cible(cheminBureau);
    if (!cible.ouvre())
        return false;
    QByteArray tampon(int(qMin(taille, kMorceauCopieCE)), Qt::Uninitialized);
    bool ok = true;
    for (qint64 reste = taille; ok && reste > 0;) {
        const qint64 n = qMin(reste, kMorceauCopieCE);
        DWORD lus = 0;
        ok = rapi.CeReadFile(source.h(), tampon.data(), DWORD(n), &lus, nullptr) && lus == DWORD(n)
             && cible.ecrit(tampon.constData(), n);
        reste -= n;
    }
    source.ferme();
    if (!ok) {
        cible.abandonne();
        return false;
    }
    return cible.valide();
}

bool ExisteFichierCE(LienRapi &rapi, const QString &cheminCE)
{
    return trouveCE(rapi, cheminCE).has_value();
}

void ListeFichiersCE(LienRapi &rapi, const QString &motifCE, QStringList *liste)
{
    if (!liste)
        return;
    const ListeCE l(rapi, motifCE);
    for (DWORD i = 0; i < l.taille(); ++i)
        liste->append(nomDe(l[i]));
}

QString InfosFichierCE(LienRapi &rapi, const QString &cheminCE)
{
    const auto fd = trouveCE(rapi, cheminCE);
    if (!fd)
        return QString();
    const bool modifie = fd->ftCreationTime.dwLowDateTime != fd->ftLastWriteTime.dwLowDateTime
                         || fd->ftCreationTime.dwHighDateTime != fd->ftLastWriteTime.dwHighDateTime;
    const CEFILETIME &t = modifie ? fd->ftLastWriteTime : fd->ftCreationTime;
    const int32_t dos = FileTimeToDosDate(t);
    const QString date = dos != -1 ? texteDateHeure(depuisDosDate(dos)) : QString();
    const quint64 taille = quint64(fd->nFileSizeHigh) << 32 | fd->nFileSizeLow;
    return QStringLiteral("\r\n\r\nDate of %1 : %2\r\nSize : %3 bytes (%4)")
        .arg(modifie ? QStringLiteral("modification") : QStringLiteral("creation"), date)
        .arg(taille)
        .arg(TailleTexte(qint64(taille)));
}

QString TailleTexte(qint64 octets)
{
    // The program's one size rule, without its " (n bytes)" tail.
    const QString texte = TexteTaille(octets);
    return texte.left(texte.lastIndexOf(QLatin1String(" (")));
}

int32_t FileTimeToDosDate(const CEFILETIME &temps)
{
    const QDateTime local = versDateTime(temps).toLocalTime();
    if (!local.isValid())
        return -1;
    const QDate d = local.date();
    const QTime h = local.time();
    if (d.year() < 1980 || d.year() > 2107)
        return -1;
    const quint32 date = quint32(d.year() - 1980) << 9 | quint32(d.month()) << 5 | quint32(d.day());
    const quint32 heure = quint32(h.hour()) << 11 | quint32(h.minute()) << 5 | quint32(h.second() / 2);
    return int32_t(date << 16 | heure);
}

QString NomLocalCE(const QString &cheminCE)
{
    const qsizetype sep = qMax(cheminCE.lastIndexOf(QLatin1Char('\\')), cheminCE.lastIndexOf(QLatin1Char('/')));
    const QString nom = cheminCE.mid(sep + 1);
    return estNomMembreSur(nom) ? nom : QString();
}

void RemplitArbreCE(LienRapi &rapi, const QString &dossier, QTreeWidgetItem *parent, int &nbDossiers,
                    const QString &fichierSkin, const PanneauxArbreCE &panneaux, int &nbFichiers,
                    int &nbPaquets, const QList<QIcon> &images)
{
    if (!parent || !texteCEValide(dossier))
        return;
    // The skin is compared by file name, whether the caller gives the
    // device's whole "Skin" path or its last part.
    const QString skin = fichierSkin.mid(fichierSkin.lastIndexOf(QLatin1Char('\\')) + 1);
    remplit(rapi, dossier, parent, 0, nbDossiers, skin, panneaux, nbFichiers, nbPaquets, images);
}
