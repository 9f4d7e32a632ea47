#include "device/fonctions_rapi_fichiers.h"

#include "ui/fonctions_indep.h"
#include "device/texte_ce.h"
#include "theme/ecriture_atomique.h"
#include "theme/member_name.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QTimeZone>
#include <QTreeWidgetItem>

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

// A name in the device folder of cheminCE that no file holds yet:
// "~ovd<n><suffixe>".
QString nomLibreCE(LienRapi &rapi, const QString &dossier, const QString &suffixe)
{
    for (int n = 0; n < 1000; ++n) {
        const QString nom = dossier + QStringLiteral("\\~ovd%1").arg(n) + suffixe;
        if (!trouveCE(rapi, nom))
            return nom;
    }
    return QString();
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

bool CopieVersCE(LienRapi &rapi, const QString &cheminCE, const QString &cheminBureau)
{
    if (!texteCEValide(cheminCE) || !QFileInfo(cheminBureau).isFile())
        return false;
    const qsizetype sep = cheminCE.lastIndexOf(QLatin1Char('\\'));
    if (sep < 0 || sep + 1 >= cheminCE.size())
        return false; // no file name
    const QString dossier = cheminCE.left(sep);
    // The desktop side is opened and measured first: a missing or unreadable
    // source never touches the device.
    QFile source(cheminBureau);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const qint64 taille = source.size();
    if (taille < 0 || taille > kTailleMaxCopieCE)
        return false;

    // The copy goes to a new name in the same folder and replaces the old
    // file only once it is whole: a full store or a failing read leaves the
    // device file as it was. The old file keeps its name's letter case.
    const auto ancien = trouveCE(rapi, cheminCE);
    if (ancien && (ancien->dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const QString cible = ancien ? dossier + QLatin1Char('\\') + nomDe(*ancien) : cheminCE;
    const QString temporaire = nomLibreCE(rapi, dossier, QStringLiteral(".tmp"));
    if (temporaire.isEmpty() || !ecritFichierCE(rapi, temporaire, source, taille))
        return false;
    if (!ancien) {
        if (rapi.CeMoveFile(versCE(temporaire), versCE(cible)))
            return true;
        rapi.CeDeleteFile(versCE(temporaire));
        return false;
    }
    // The device cannot move a file over another: the old one steps aside
    // under a spare name, comes back if the new one cannot take its place,
    // and goes only when the new one stands.
    const QString ecarte = nomLibreCE(rapi, dossier, QStringLiteral(".old"));
    if (ecarte.isEmpty() || !rapi.CeMoveFile(versCE(cible), versCE(ecarte))) {
        rapi.CeDeleteFile(versCE(temporaire));
        return false;
    }
    if (!rapi.CeMoveFile(versCE(temporaire), versCE(cible))) {
        rapi.CeMoveFile(versCE(ecarte), versCE(cible));
        rapi.CeDeleteFile(versCE(temporaire));
        return false;
    }
    rapi.CeDeleteFile(versCE(ecarte));
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
