#include "theme/cab_mspack_reader.h"

#include "theme/cp1252.h"
#include "theme/fichier_ordinaire.h"

#include <QFile>
#include <QStringDecoder>

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <unistd.h>

namespace cabmspack {
namespace {

// The names libmspack passes back to our open(): it never sees a real path.
constexpr char kJetonCabinet[] = "cabinet";
constexpr char kJetonSortie[] = "sortie";

} // namespace


// libmspack hands `sys` back to our callbacks; `etat` leads from it to the reader.
struct SystemeLecteur
{
    mspack_system sys;
    LecteurCab::Etat *etat;
};

struct LecteurCab::Etat
{
    SystemeLecteur systeme{};
    QString chemin;                     // the cabinet
    QIODevice *sortie = nullptr;        // output of the running extraction
    const std::function<void(qint64)> *progression = nullptr;
    qint64 ecrits = 0;
    QString erreurSortie;
    mscab_decompressor *cabd = nullptr;
    mscabd_cabinet *cab = nullptr;
    std::vector<mscabd_file *> fichiers; // the members, in order
};

namespace {

// Bytes of the cabinet read at a time. The library reads the member list a
// few bytes at a time, seeking back after each name: served from memory.
constexpr qint64 kTampon = 64 * 1024;

struct Fichier
{
    QIODevice *dev = nullptr;       // the output
    std::unique_ptr<QFile> cabinet; // the cabinet, read through `tampon`
    QByteArray tampon;
    qint64 debutTampon = 0;
    qint64 pos = 0;
    qint64 taille = 0;
    LecteurCab::Etat *etat = nullptr;
    bool sortie = false;
};

int litCabinet(Fichier &f, char *sortie, qint64 octets)
{
    qint64 lus = 0;
    while (lus < octets && f.pos < f.taille) {
        const qint64 finTampon = f.debutTampon + f.tampon.size();
        if (f.pos >= f.debutTampon && f.pos < finTampon) {
            const qint64 n = std::min(octets - lus, finTampon - f.pos);
            std::memcpy(sortie + lus, f.tampon.constData() + (f.pos - f.debutTampon), size_t(n));
            lus += n;
            f.pos += n;
            continue;
        }
        if (f.cabinet->pos() != f.pos && !f.cabinet->seek(f.pos))
            return -1;
        if (octets - lus >= kTampon) {
            const qint64 n = f.cabinet->read(sortie + lus, octets - lus);
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            lus += n;
            f.pos += n;
            continue;
        }
        f.tampon.resize(kTampon);
        const qint64 n = f.cabinet->read(f.tampon.data(), kTampon);
        if (n < 0)
            return -1;
        f.tampon.resize(n);
        f.debutTampon = f.pos;
        if (n == 0)
            break;
    }
    return int(lus);
}

LecteurCab::Etat *etatDe(mspack_system *s)
{
    static_assert(std::is_standard_layout_v<SystemeLecteur>);
    return reinterpret_cast<SystemeLecteur *>(s)->etat;
}

mspack_file *sysOpen(mspack_system *self, const char *nom, int mode)
{
    LecteurCab::Etat *etat = etatDe(self);
    auto f = std::make_unique<Fichier>();
    f->etat = etat;
    if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(nom, kJetonCabinet) == 0) {
        f->cabinet = std::make_unique<QFile>();
        const int fd = OuvreDescripteurOrdinaire(etat->chemin);
        if (fd < 0)
            return nullptr;
        if (!f->cabinet->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return nullptr;
        }
        f->taille = f->cabinet->size();
    } else if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(nom, kJetonSortie) == 0 && etat->sortie) {
        f->dev = etat->sortie;
        f->sortie = true;
    } else {
        return nullptr;
    }
    return reinterpret_cast<mspack_file *>(f.release());
}

void sysClose(mspack_file *file)
{
    delete reinterpret_cast<Fichier *>(file);
}

int sysRead(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<Fichier *>(file);
    if (!f || bytes < 0)
        return -1;
    if (f->cabinet)
        return litCabinet(*f, static_cast<char *>(buffer), bytes);
    return int(f->dev->read(static_cast<char *>(buffer), bytes));
}

int sysWrite(mspack_file *file, void *buffer, int bytes)
{
    auto *f = reinterpret_cast<Fichier *>(file);
    if (!f || !f->sortie || bytes < 0)
        return -1;
    const qint64 n = f->dev->write(static_cast<const char *>(buffer), bytes);
    LecteurCab::Etat *etat = f->etat;
    if (n != bytes) {
        etat->erreurSortie = f->dev->errorString();
        return -1;
    }
    etat->ecrits += n;
    if (etat->progression && *etat->progression)
        (*etat->progression)(etat->ecrits);
    return int(n);
}

int sysSeek(mspack_file *file, off_t offset, int mode)
{
    auto *f = reinterpret_cast<Fichier *>(file);
    if (!f)
        return -1;
    const qint64 taille = f->cabinet ? f->taille : f->dev->size();
    const qint64 ici = f->cabinet ? f->pos : f->dev->pos();
    qint64 base = 0;
    switch (mode) {
    case MSPACK_SYS_SEEK_START: base = 0; break;
    case MSPACK_SYS_SEEK_CUR: base = ici; break;
    case MSPACK_SYS_SEEK_END: base = taille; break;
    default: return -1;
    }
    const qint64 cible = base + qint64(offset);
    if (cible < 0 || cible > taille)
        return -1;
    if (f->cabinet) {
        f->pos = cible;
        return 0;
    }
    return f->dev->seek(cible) ? 0 : -1;
}

off_t sysTell(mspack_file *file)
{
    auto *f = reinterpret_cast<Fichier *>(file);
    if (!f)
        return off_t(-1);
    return off_t(f->cabinet ? f->pos : f->dev->pos());
}

void sysMessage(mspack_file *, const char *, ...) {}

void *sysAlloc(mspack_system *, size_t bytes)
{
    return std::malloc(bytes);
}

void sysFree(void *p)
{
    std::free(p);
}

void sysCopy(void *src, void *dest, size_t bytes)
{
    std::memmove(dest, src, bytes);
}

Erreur depuisMspack(int code)
{
    switch (code) {
    case MSPACK_ERR_OK: return Erreur::Aucune;
    case MSPACK_ERR_OPEN: return Erreur::Ouverture;
    case MSPACK_ERR_READ:
    case MSPACK_ERR_SEEK: return Erreur::Lecture;
    case MSPACK_ERR_WRITE: return Erreur::Ecriture;
    case MSPACK_ERR_NOMEMORY: return Erreur::Memoire;
    case MSPACK_ERR_SIGNATURE: return Erreur::PasUnCabinet;
    case MSPACK_ERR_DATAFORMAT: return Erreur::Format;
    case MSPACK_ERR_CHECKSUM: return Erreur::Somme;
    case MSPACK_ERR_DECRUNCH: return Erreur::Decompression;
    default: return Erreur::Autre;
    }
}

QString decodeNom(const QByteArray &brut, bool utf8, bool &lisible)
{
    lisible = true;
    if (!utf8)
        return cp1252::decode(brut);
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString nom = dec(brut);
    lisible = !dec.hasError();
    return nom;
}

} // namespace

LecteurCab::LecteurCab() : m_etat(std::make_unique<Etat>())
{
    m_etat->systeme.etat = m_etat.get();
    mspack_system &s = m_etat->systeme.sys;
    s.open = sysOpen;
    s.close = sysClose;
    s.read = sysRead;
    s.write = sysWrite;
    s.seek = sysSeek;
    s.tell = sysTell;
    s.message = sysMessage;
    s.alloc = sysAlloc;
    s.free = sysFree;
    s.copy = sysCopy;
    s.null_ptr = nullptr;
    int selftest = MSPACK_ERR_OK;
    MSPACK_SYS_SELFTEST(selftest);
    if (selftest == MSPACK_ERR_OK)
        m_etat->cabd = mspack_create_cab_decompressor(&m_etat->systeme.sys);
}

LecteurCab::~LecteurCab()
{
    if (m_etat->cabd) {
        if (m_etat->cab)
            m_etat->cabd->close(m_etat->cabd, m_etat->cab);
        mspack_destroy_cab_decompressor(m_etat->cabd);
    }
}

Erreur LecteurCab::ouvre(const QString &chemin)
{
    mscab_decompressor *cabd = m_etat->cabd;
    if (!cabd)
        return Erreur::Autre;
    if (m_etat->cab) {
        cabd->close(cabd, m_etat->cab);
        m_etat->cab = nullptr;
    }
    m_membres.clear();
    m_etat->fichiers.clear();
    m_etat->chemin = chemin;
    mscabd_cabinet *cab = cabd->open(cabd, kJetonCabinet);
    if (!cab) {
        const Erreur e = depuisMspack(cabd->last_error(cabd));
        return e == Erreur::Aucune ? Erreur::Autre : e;
    }
    m_etat->cab = cab;
    for (mscabd_file *f = cab->files; f; f = f->next) {
        m_etat->fichiers.push_back(f);
        MembreLu m;
        m.nomBrut = QByteArray(f->filename);
        m.nom = decodeNom(m.nomBrut, f->attribs & MSCAB_ATTRIB_UTF_NAME, m.nomLisible);
        m.taille = f->length;
        m.attributs = quint16(f->attribs);
        m.annee = f->date_y;
        m.mois = f->date_m;
        m.jour = f->date_d;
        m.heure = f->time_h;
        m.minute = f->time_m;
        m.seconde = f->time_s;
        m_membres.push_back(std::move(m));
    }
    return Erreur::Aucune;
}

Erreur LecteurCab::extrait(int index, QIODevice &sortie, const std::function<void(qint64)> &progression)
{
    mscab_decompressor *cabd = m_etat->cabd;
    if (!cabd || !m_etat->cab || index < 0 || size_t(index) >= m_membres.size())
        return Erreur::Autre;
    mscabd_file *f = m_etat->fichiers[size_t(index)];

    m_etat->sortie = &sortie;
    m_etat->progression = &progression;
    m_etat->ecrits = 0;
    m_etat->erreurSortie.clear();
    const int code = cabd->extract(cabd, f, kJetonSortie);
    m_etat->sortie = nullptr;
    m_etat->progression = nullptr;
    if (code == MSPACK_ERR_OK && m_etat->ecrits != qint64(f->length))
        return Erreur::Format;
    return depuisMspack(code);
}

QString LecteurCab::erreurSortie() const
{
    return m_etat->erreurSortie;
}

} // namespace cabmspack
