#include "theme/cab_file.h"

#include "theme/cab_gcab_writer.h"
#include "theme/cab_mspack_reader.h"
#include "theme/member_name.h"
#include "theme/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Cabinet parameters of every cabinet we build.
constexpr quint16 kIdEnsemble = 12345;
// Attributes kept from a source file: read-only, hidden, system, archive.
constexpr quint16 kMasqueAttributs = 0x27;
constexpr quint16 kAttribLectureSeule = 0x01;
constexpr quint16 kAttribCache = 0x02;
constexpr quint16 kAttribArchive = 0x20;
// A member's size is a u32 in the format, and no reader takes more than 2 GiB.
constexpr qint64 kTailleMaxSource = 0x7FFF8000;
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

bool renommeEnRemplacant(const QString &de, const QString &vers, QString &erreur)
{
    if (std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData()) == 0)
        return true;
    erreur = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

QString nomTemporaire(const QString &dossier)
{
    return dossier + QStringLiteral("/.orvandel-cab-%1.tmp")
                         .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

} // namespace

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
    // LZX cannot be built here: the folder's compression is refused as the
    // library would refuse an unknown one.
    if (CompressionType == typLZX)
        throw ECABFileError(cabgcab::ErrTypeCompression);

    qint64 total = 0;
    for (int i = 0; i < m_contents.Count(); ++i) {
        const QFileInfo fi(m_contents.GetItem(i)->Name);
        if (fi.isFile() && fi.isReadable())
            total += fi.size();
    }

    std::vector<cabgcab::MembreAEcrire> membres;
    membres.reserve(size_t(m_contents.Count()));
    for (int i = 0; i < m_contents.Count(); ++i) {
        const TCABFileEntry *e = m_contents.GetItem(i);
        const QFileInfo fi(QFileInfo(e->Name).absoluteFilePath());
        QString nom = fi.fileName();
        if (!e->RelPath.isEmpty())
            nom = (e->RelPath.endsWith(QLatin1Char('\\')) ? e->RelPath : e->RelPath + QLatin1Char('\\')) + nom;

        QFile source(fi.absoluteFilePath());
        if (fi.isDir() || !source.open(QIODevice::ReadOnly))
            throw ECABFileError(cabgcab::ErrOuvertureSource);
        if (source.size() > kTailleMaxSource)
            throw ECABFileError(cabgcab::ErrLectureSource);
        cabgcab::MembreAEcrire m;
        m.donnees = source.readAll();
        if (source.error() != QFileDevice::NoError) {
            signaleErreurSysteme(source.errorString());
            throw ECABFileError(cabgcab::ErrLectureSource);
        }
        m.nom = nom.toUtf8();
        versDos(fi.lastModified(), m.dateDos, m.heureDos);
        quint16 attributs = kAttribArchive;
        if (!fi.permissions().testFlag(QFileDevice::WriteOwner))
            attributs |= kAttribLectureSeule;
        if (fi.fileName().startsWith(QLatin1Char('.')))
            attributs |= kAttribCache;
        m.attributs = attributs & kMasqueAttributs;
        membres.push_back(std::move(m));
    }

    const QFileInfo cible(CABFile);
    if (CABFile.isEmpty() || !cible.absoluteDir().exists())
        throw ECABFileError(cabgcab::ErrCreationCabinet);
    const QString temporaire = nomTemporaire(cible.absolutePath());

    qint64 faits = 0;
    auto avantMembre = [&](int index) {
        if (index > 0) {
            faits += membres[size_t(index - 1)].donnees.size();
            if (OnCompressProgress)
                OnCompressProgress(this, faits, total);
        }
    };
    const cabgcab::Resultat r = cabgcab::ecritCabinet(temporaire, code, membres, kIdEnsemble, avantMembre);
    if (r.code != cabgcab::ErrAucune)
        throw ECABFileError(r.code);
    QString erreur;
    if (!renommeEnRemplacant(temporaire, cible.absoluteFilePath(), erreur)) {
        QFile::remove(temporaire);
        signaleErreurSysteme(erreur);
        throw ECABFileError(cabgcab::ErrCreationCabinet);
    }
    if (!membres.empty() && OnCompressProgress)
        OnCompressProgress(this, total, total);
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
        QFile test(CABFile);
        if (CABFile.isEmpty() || !test.open(QIODevice::ReadOnly))
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
    for (size_t i = 0; i < membres.size(); ++i) {
        const cabmspack::MembreLu &m = membres[i];
        const bool pris = mode == Mode::UnFichier ? m.nom.compare(nomDemande, Qt::CaseInsensitive) == 0
                                                  : choisis.value(m.nom.toCaseFolded(), false);
        if (pris && !extraitMembre(lecteur, int(i)))
            reussi = false;
    }
    return reussi;
}

bool TCABFile::extraitMembre(cabmspack::LecteurCab &lecteur, int index)
{
    const cabmspack::MembreLu &m = lecteur.membres()[size_t(index)];
    // A stored name is checked before any part of it reaches the file system.
    if (!m.nomLisible || !estCheminMembreSur(m.nom))
        return false;
    if (qint64(m.taille) > TailleMaxMembre)
        return false;

    QString dossier = QDir(TargetPath.isEmpty() ? QDir::currentPath() : TargetPath).absolutePath();
    if (!QDir().mkpath(dossier)) {
        signaleErreurSysteme(QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(dossier)));
        return false;
    }
    QStringList parties = m.nom.split(QLatin1Char('\\'));
    const QString nomFichier = parties.takeLast();
    // Folders of the stored name are matched without regard to case, as the
    // cabinet's own platform does, and never through a symbolic link.
    for (const QString &p : parties) {
        const QString trouve = trouveSansCasse(dossier, p);
        const QString suivant = dossier + QLatin1Char('/') + (trouve.isEmpty() ? p : trouve);
        const QFileInfo fi(suivant);
        if (fi.isSymLink() || (fi.exists() && !fi.isDir()))
            return false;
        if (!fi.exists() && !QDir().mkdir(suivant)) {
            signaleErreurSysteme(
                QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(suivant)));
            return false;
        }
        dossier = suivant;
    }

    const QString trouve = trouveSansCasse(dossier, nomFichier);
    const QString cible = dossier + QLatin1Char('/') + (trouve.isEmpty() ? nomFichier : trouve);
    const QFileInfo ci(cible);
    if (ci.exists() || ci.isSymLink()) {
        if (ci.isDir() && !ci.isSymLink())
            return false;
        bool allow = true;
        if (OnOverWriteFile)
            OnOverWriteFile(this, cible, allow);
        if (!allow)
            return true;
    }

    QTemporaryFile temporaire(dossier + QStringLiteral("/.orvandel-cab-XXXXXX.tmp"));
    if (!temporaire.open()) {
        signaleErreurSysteme(temporaire.errorString());
        return false;
    }
    const qint64 taille = m.taille;
    const std::function<void(qint64)> progression = [&](qint64 ecrits) {
        if (OnDecompressProgress)
            OnDecompressProgress(this, m.nom, ecrits, taille);
    };
    const cabmspack::Erreur e = lecteur.extrait(index, temporaire, progression);
    if (e != cabmspack::Erreur::Aucune) {
        if (e == cabmspack::Erreur::Ecriture)
            signaleErreurSysteme(lecteur.erreurSortie());
        return false;
    }
    if (!temporaire.flush()) {
        signaleErreurSysteme(temporaire.errorString());
        return false;
    }
    temporaire.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                              | QFileDevice::ReadOther);
    const QDateTime date = depuisDos(m.annee, m.mois, m.jour, m.heure, m.minute, m.seconde);
    if (date.isValid())
        temporaire.setFileTime(date, QFileDevice::FileModificationTime);
    QString erreur;
    if (!renommeEnRemplacant(temporaire.fileName(), cible, erreur)) {
        signaleErreurSysteme(erreur);
        return false;
    }
    temporaire.setAutoRemove(false);
    return true;
}
