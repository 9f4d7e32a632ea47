#include "theme/cab_file.h"

#include "theme/cab_temporaire.h"
#include "theme/cab_writer.h"
#include "theme/cab_mspack_reader.h"
#include "theme/fichier_ordinaire.h"
#include "theme/member_name.h"
#include "theme/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Cabinet parameters of every cabinet we build.
constexpr quint16 kIdEnsemble = 12345;
// Attributes kept from a source file: read-only, hidden, system, archive.
constexpr quint16 kMasqueAttributs = 0x27;
constexpr quint16 kAttribLectureSeule = 0x01;
constexpr quint16 kAttribCache = 0x02;
constexpr quint16 kAttribArchive = 0x20;
constexpr quint16 kAttribNomUtf8 = 0x80;
// A folder closes at the first member boundary past this many bytes.
constexpr qint64 kSeuilDossier = 900000;
// A stored name holds at most 255 bytes; a longer path is not a member name.
constexpr int kLongueurMaxChemin = 259;

// The name of an existing entry of `dossier` equal to `nom` without regard to
// case (the exact one first); empty when there is none.
QString trouveSansCasse(const QString &dossier, const QString &nom)
{
    QFileInfo exact(dossier + QLatin1Char('/') + nom);
    if (exact.exists() || exact.isSymLink())
        return nom;
    const QStringList entrees =
        QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entrees) {
        if (e.compare(nom, Qt::CaseInsensitive) == 0)
            return e;
    }
    return {};
}

// A member's output: its temporary file, written straight through.
class SortieFichier : public QIODevice
{
public:
    explicit SortieFichier(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *donnees, qint64 octets) override
    {
        qint64 faits = 0;
        while (faits < octets) {
            const ssize_t n = ::write(m_fd, donnees + faits, size_t(octets - faits));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
                return -1;
            }
            faits += n;
        }
        return faits;
    }

private:
    int m_fd;
};

} // namespace

// The entries of the folders an extraction writes into, listed once each and
// kept up to date as members are written, to match names without regard to
// case.
class IndexSansCasse
{
public:
    // The name of an existing entry of `dossier` equal to `nom` without regard
    // to case (the exact one first); empty when there is none.
    QString trouve(const QString &dossier, const QString &nom)
    {
        const QHash<QString, QStringList> &entrees = liste(dossier);
        const auto it = entrees.constFind(nom.toCaseFolded());
        if (it == entrees.cend())
            return {};
        return it->contains(nom) ? nom : it->constFirst();
    }

    void ajoute(const QString &dossier, const QString &nom)
    {
        QStringList &memes = liste(dossier)[nom.toCaseFolded()];
        if (!memes.contains(nom))
            memes.append(nom);
    }

private:
    QHash<QString, QStringList> &liste(const QString &dossier)
    {
        auto it = m_dossiers.find(dossier);
        if (it == m_dossiers.end()) {
            QHash<QString, QStringList> entrees;
            const QStringList noms = QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                             | QDir::NoDotAndDotDot);
            for (const QString &n : noms)
                entrees[n.toCaseFolded()].append(n);
            it = m_dossiers.insert(dossier, std::move(entrees));
        }
        return *it;
    }

    QHash<QString, QHash<QString, QStringList>> m_dossiers;
};


TCABFileEntry *TCABFileContents::Add()
{
    m_items.push_back(std::make_unique<TCABFileEntry>());
    return m_items.back().get();
}

ECABFileError::ECABFileError(int code) : std::runtime_error(texte(code).toStdString()), m_code(code) {}

QString ECABFileError::texte(int code)
{
    switch (code) {
    case 0: return QStringLiteral("No error");
    case 1: return QStringLiteral("Failure opening file to be stored in cabinet");
    case 2: return QStringLiteral("Failure reading file to be stored in cabinet");
    case 3: return QStringLiteral("Insufficient memory in FCI");
    case 4: return QStringLiteral("Could not create a temporary file");
    case 5: return QStringLiteral("Unknown compression type");
    case 6: return QStringLiteral("Could not create cabinet file");
    case 7: return QStringLiteral("Client requested abort");
    case 8: return QStringLiteral("Failure compressing data");
    default: return QStringLiteral("Unknown error");
    }
}

TCABFile::TCABFile(QObject *owner, Prompts *prompts) : QObject(owner), m_contents(this), m_prompts(prompts) {}

TCABFile::~TCABFile() = default;

int TCABFile::CodeCompression(TCompressionType type, TLZXMemory memoire)
{
    switch (type) {
    case typNone: return 0;
    case typMSZIP: return 1;
    case typLZX: return 3 + 256 * (15 + int(memoire));
    }
    return 0;
}

void TCABFile::versDos(const QDateTime &moment, quint16 &date, quint16 &heure)
{
    QDateTime local = moment.toLocalTime();
    QDate d = local.date();
    QTime t = local.time();
    if (!local.isValid() || d.year() < 1980) {
        d = QDate(1980, 1, 1);
        t = QTime(0, 0, 0);
    } else if (d.year() > 2107) {
        d = QDate(2107, 12, 31);
        t = QTime(23, 59, 58);
    }
    date = quint16(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    heure = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
}

QDateTime TCABFile::depuisDos(int annee, int mois, int jour, int heure, int minute, int seconde)
{
    const QDate d(annee, mois, jour);
    const QTime t(heure, minute, seconde);
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

bool TCABFile::estCheminMembreSur(const QString &nom)
{
    if (nom.isEmpty() || nom.size() > kLongueurMaxChemin)
        return false;
    const QStringList parties = nom.split(QLatin1Char('\\'));
    for (const QString &p : parties) {
        if (!estNomMembreSur(p))
            return false;
    }
    return true;
}

QString TCABFile::CheminExtrait(const QString &dossier, const QString &nom)
{
    if (!estCheminMembreSur(nom))
        return {};
    QString chemin = dossier;
    for (const QString &p : nom.split(QLatin1Char('\\'))) {
        const QString trouve = trouveSansCasse(chemin, p);
        if (trouve.isEmpty())
            return {};
        chemin += QLatin1Char('/') + trouve;
    }
    return chemin;
}

void TCABFile::signaleErreurSysteme(const QString &texte)
{
    if (m_prompts && !texte.isEmpty())
        m_prompts->message(texte, QStringLiteral("Error"), Prompts::Icon::Warning);
}

bool TCABFile::CreateCAB()
{
    const int code = CodeCompression(CompressionType, LZXMemory);

    // Every source is listed first (size, time, attributes); its bytes are
    // read only while the cabinet is written, and a source found different
    // then fails the build.
    std::vector<cabecriture::Source> sources;
    sources.reserve(size_t(m_contents.Count()));
    qint64 total = 0;
    for (int i = 0; i < m_contents.Count(); ++i) {
        const TCABFileEntry *e = m_contents.GetItem(i);
        const QString chemin = QFileInfo(e->Name).absoluteFilePath();
        QString nom = QFileInfo(chemin).fileName();
        if (!e->RelPath.isEmpty())
            nom = (e->RelPath.endsWith(QLatin1Char('\\')) ? e->RelPath : e->RelPath + QLatin1Char('\\')) + nom;

        struct stat st {};
        const QByteArray local = QFile::encodeName(chemin);
        if (::stat(local.constData(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(local.constData(), R_OK) != 0)
            throw ECABFileError(cabecriture::ErrOuvertureSource);
        if (st.st_size > cabecriture::kTailleMaxSource)
            throw ECABFileError(cabecriture::ErrLectureSource);
        cabecriture::Source s;
        s.chemin = chemin;
        s.taille = st.st_size;
        s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        total += s.taille;
        const QDateTime modifie = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000
                                                                     + st.st_mtim.tv_nsec / 1000000);
        versDos(modifie, s.dateDos, s.heureDos);
        quint16 attributs = kAttribArchive;
        if (!(st.st_mode & S_IWUSR))
            attributs |= kAttribLectureSeule;
        if (QFileInfo(chemin).fileName().startsWith(QLatin1Char('.')))
            attributs |= kAttribCache;
        // A name outside ASCII is stored in UTF-8, and flagged so.
        bool ascii = true;
        for (const QChar c : nom)
            ascii = ascii && c.unicode() < 0x80;
        s.nom = nom.toUtf8();
        s.attributs = (attributs & kMasqueAttributs) | (ascii ? 0 : kAttribNomUtf8);
        sources.push_back(std::move(s));
    }

    const QFileInfo cible(CABFile);
    if (CABFile.isEmpty() || !cible.absoluteDir().exists())
        throw ECABFileError(cabecriture::ErrCreationCabinet);
    const QString dossier = cible.absolutePath();
    // What a killed build left in this folder goes now.
    cabtemp::balaie(dossier);

    cabtemp::Temporaire temporaire;
    QString erreur;
    if (!temporaire.cree(dossier, erreur)) {
        signaleErreurSysteme(erreur);
        throw ECABFileError(cabecriture::ErrCreationCabinet);
    }
    cabecriture::Parametres parametres;
    parametres.compression = code;
    parametres.idEnsemble = kIdEnsemble;
    parametres.seuilDossier = kSeuilDossier;
    const cabecriture::Resultat r =
        cabecriture::ecritCabinet(temporaire.fd(), sources, parametres, [&](qint64 faits) {
            if (OnCompressProgress)
                OnCompressProgress(this, faits, total);
        });
    if (r.code != cabecriture::ErrAucune) {
        temporaire.abandonne();
        if (r.systeme)
            signaleErreurSysteme(r.detail);
        throw ECABFileError(r.code);
    }
    if (!temporaire.remplace(cible.absoluteFilePath(), erreur)) {
        signaleErreurSysteme(erreur);
        throw ECABFileError(cabecriture::ErrCreationCabinet);
    }
    return true;
}

bool TCABFile::ReadContents()
{
    return lit(Mode::Liste, {});
}

bool TCABFile::ExtractFile(const QString &name)
{
    return lit(Mode::UnFichier, name);
}

bool TCABFile::ExtractSelected()
{
    return lit(Mode::Selection, {});
}

bool TCABFile::lit(Mode mode, const QString &nomDemande)
{
    if (mode == Mode::Liste)
        m_contents.Clear();
    {
        QFile test;
        if (!OuvreFichierOrdinaire(test, CABFile))
            return false;
    }
    cabmspack::LecteurCab lecteur;
    if (lecteur.ouvre(CABFile) != cabmspack::Erreur::Aucune)
        return false;
    const std::vector<cabmspack::MembreLu> &membres = lecteur.membres();

    if (mode == Mode::Liste) {
        for (const cabmspack::MembreLu &m : membres) {
            TCABFileEntry *e = m_contents.Add();
            e->Name = m.nom;
            e->Size = m.taille;
            e->DateTime = depuisDos(m.annee, m.mois, m.jour, m.heure, m.minute, m.seconde);
            e->Attributes = m.attributs;
        }
        return true;
    }

    QHash<QString, bool> choisis;
    if (mode == Mode::Selection) {
        for (int i = 0; i < m_contents.Count(); ++i) {
            const TCABFileEntry *e = m_contents.GetItem(i);
            const QString cle = e->Name.toCaseFolded();
            if (!choisis.contains(cle))
                choisis.insert(cle, e->Selected);
        }
    }

    bool reussi = true;
    QString racine;
    IndexSansCasse index;
    for (size_t i = 0; i < membres.size(); ++i) {
        const cabmspack::MembreLu &m = membres[i];
        const bool pris = mode == Mode::UnFichier ? m.nom.compare(nomDemande, Qt::CaseInsensitive) == 0
                                                  : choisis.value(m.nom.toCaseFolded(), false);
        if (!pris)
            continue;
        if (racine.isEmpty()) {
            racine = QDir(TargetPath.isEmpty() ? QDir::currentPath() : TargetPath).absolutePath();
            if (!QDir().mkpath(racine)) {
                signaleErreurSysteme(
                    QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(racine)));
                return false;
            }
            cabtemp::balaie(racine);
        }
        if (!extraitMembre(lecteur, int(i), racine, index))
            reussi = false;
    }
    return reussi;
}

bool TCABFile::extraitMembre(cabmspack::LecteurCab &lecteur, int index, const QString &racine,
                             IndexSansCasse &noms)
{
    const cabmspack::MembreLu &m = lecteur.membres()[size_t(index)];
    // A stored name is checked before any part of it reaches the file system.
    if (!m.nomLisible || !estCheminMembreSur(m.nom))
        return false;
    if (qint64(m.taille) > TailleMaxMembre)
        return false;

    QString dossier = racine;
    QStringList parties = m.nom.split(QLatin1Char('\\'));
    const QString nomFichier = parties.takeLast();
    // Folders of the stored name are matched without regard to case, as the
    // cabinet's own platform does, and never through a symbolic link.
    for (const QString &p : parties) {
        const QString trouve = noms.trouve(dossier, p);
        const QString suivant = dossier + QLatin1Char('/') + (trouve.isEmpty() ? p : trouve);
        const QFileInfo fi(suivant);
        if (fi.isSymLink() || (fi.exists() && !fi.isDir()))
            return false;
        if (!fi.exists()) {
            if (!QDir().mkdir(suivant)) {
                signaleErreurSysteme(
                    QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(suivant)));
                return false;
            }
            noms.ajoute(dossier, p);
        }
        dossier = suivant;
    }

    const QString trouve = noms.trouve(dossier, nomFichier);
    const QString cible = dossier + QLatin1Char('/') + (trouve.isEmpty() ? nomFichier : trouve);
    if (!trouve.isEmpty()) {
        const QFileInfo ci(cible);
        if (ci.isDir() && !ci.isSymLink())
            return false;
        bool allow = true;
        if (OnOverWriteFile)
            OnOverWriteFile(this, cible, allow);
        if (!allow)
            return true;
    }

    cabtemp::Temporaire temporaire;
    QString erreur;
    if (!temporaire.cree(dossier, erreur)) {
        signaleErreurSysteme(erreur);
        return false;
    }
    SortieFichier sortie(temporaire.fd());
    const qint64 taille = m.taille;
    const std::function<void(qint64)> progression = [&](qint64 ecrits) {
        if (OnDecompressProgress)
            OnDecompressProgress(this, m.nom, ecrits, taille);
    };
    const cabmspack::Erreur e = lecteur.extrait(index, sortie, progression);
    if (e != cabmspack::Erreur::Aucune) {
        if (e == cabmspack::Erreur::Ecriture)
            signaleErreurSysteme(lecteur.erreurSortie());
        return false;
    }
    sortie.close();
    ::fchmod(temporaire.fd(), 0644);
    const QDateTime date = depuisDos(m.annee, m.mois, m.jour, m.heure, m.minute, m.seconde);
    if (date.isValid()) {
        const struct timespec temps[2] = {{0, UTIME_OMIT}, {time_t(date.toSecsSinceEpoch()), 0}};
        ::futimens(temporaire.fd(), temps);
    }
    if (!temporaire.remplace(cible, erreur)) {
        signaleErreurSysteme(erreur);
        return false;
    }
    if (trouve.isEmpty())
        noms.ajoute(dossier, nomFichier);
    return true;
}
