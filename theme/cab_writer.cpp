#include "theme/cab_writer.h"

#include "theme/lzx_compresseur.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace cabecriture {
namespace {

constexpr int kBloc = 32768;          // uncompressed bytes in every data block but a folder's last
constexpr int kEnteteBloc = 8;        // checksum, stored size, uncompressed size
constexpr int kBlocsParLot = CompresseurLzx::kTramesParBloc; // blocks read, then written, at a time (128 KiB)
constexpr int kEnteteCabinet = 36;
constexpr int kEnteteDossier = 8;
constexpr int kEnteteFichier = 16;
constexpr int kMaxBlocsDossier = 65535;
constexpr qint64 kMaxCabinet = 0xFFFFFFFFLL;
constexpr int kNomMax = 255;
// Room for one MSZIP block: "CK" and a deflate stream, which stores
// incompressible data with a few bytes of overhead.
constexpr int kMaxBlocMszip = kBloc + 2 + 64;

// The window bits of an LZX compression code, or 0 when the code is not LZX.
int bitsLzx(int compression)
{
    if ((compression & 0xFF) != 3)
        return 0;
    const int bits = compression >> 8;
    return bits >= CompresseurLzx::kBitsMin && bits <= CompresseurLzx::kBitsMax ? bits : 0;
}

QString texteErreur(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

Resultat erreurSysteme(int code, int err)
{
    return {code, texteErreur(err), true};
}

void metU16(unsigned char *p, unsigned v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

void metU32(unsigned char *p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
    p[2] = uchar(v >> 16);
    p[3] = uchar(v >> 24);
}

bool ecritTout(int fd, const unsigned char *p, size_t n, int &err)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

bool ecritToutA(int fd, const unsigned char *p, size_t n, off_t pos, int &err)
{
    while (n > 0) {
        const ssize_t w = ::pwrite(fd, p, n, pos);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        p += w;
        pos += w;
        n -= size_t(w);
    }
    return true;
}

qint64 mtimeNs(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

struct Dossier
{
    qint64 debut = 0; // offset of its first data block in the cabinet
    int blocs = 0;
};

// Where each source goes: its folder and its offset in the folder's data.
struct Plan
{
    std::vector<Dossier> dossiers;
    std::vector<int> dossierDe;
    std::vector<qint64> offsetDe;
    std::vector<int> premierDe; // first source of each folder
    qint64 tailleEntetes = 0;
};

qint64 blocsPour(qint64 octets)
{
    return (octets + kBloc - 1) / kBloc;
}

// The writing of one cabinet's data blocks: sources are read straight into a
// run of block slots laid out as they are written (header, data, header,
// data...), so stored blocks are never copied.
class Flux
{
public:
    Flux(int fd, int compression) : m_fd(fd), m_compression(compression)
    {
        m_lot.reset(new unsigned char[size_t(kBlocsParLot) * (kEnteteBloc + kBloc)]);
        if (m_compression == 1)
            m_sortie.reset(new unsigned char[size_t(kBlocsParLot) * (kEnteteBloc + kMaxBlocMszip)]);
        if (const int bits = bitsLzx(m_compression)) {
            m_lzx = std::make_unique<CompresseurLzx>(bits);
            m_sortie.reset(new unsigned char[size_t(kBlocsParLot)
                                             * (kEnteteBloc + CompresseurLzx::kMaxTrameCompressee)]);
        }
    }
    ~Flux()
    {
        if (m_zInit)
            deflateEnd(&m_z);
    }

    bool initialise(Resultat &r)
    {
        if (m_compression != 1)
            return true;
        std::memset(&m_z, 0, sizeof m_z);
        if (deflateInit2(&m_z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            r = {ErrMemoire, QStringLiteral("deflate")};
            return false;
        }
        m_zInit = true;
        return true;
    }

    qint64 position() const { return m_position; }
    void positionne(qint64 p) { m_position = p; }
    int blocsEcrits() const { return m_blocs; }
    // A folder is one LZX stream: the window and the trees start afresh.
    void nouveauDossier()
    {
        m_blocs = 0;
        if (m_lzx)
            m_lzx->reinitialise();
    }

    // Reads exactly `taille` bytes of `fd` into the blocks.
    bool litSource(int fdSource, qint64 taille, Resultat &r)
    {
        qint64 reste = taille;
        while (reste > 0) {
            iovec iov[kBlocsParLot];
            int n = 0;
            qint64 demande = 0;
            for (int s = m_slot; s < kBlocsParLot && demande < reste; ++s) {
                const int deja = s == m_slot ? m_rempli : 0;
                const qint64 place = std::min<qint64>(kBloc - deja, reste - demande);
                iov[n].iov_base = donnees(s) + deja;
                iov[n].iov_len = size_t(place);
                demande += place;
                ++n;
            }
            const ssize_t lu = ::readv(fdSource, iov, n);
            if (lu < 0) {
                if (errno == EINTR)
                    continue;
                r = erreurSysteme(ErrLectureSource, errno);
                return false;
            }
            if (lu == 0) {
                r = {ErrLectureSource, QStringLiteral("the file became shorter while it was stored")};
                return false;
            }
            reste -= lu;
            qint64 a = lu;
            while (a > 0) {
                const qint64 pris = std::min<qint64>(kBloc - m_rempli, a);
                m_rempli += int(pris);
                a -= pris;
                if (m_rempli == kBloc) {
                    ++m_slot;
                    m_rempli = 0;
                }
            }
            if (m_slot == kBlocsParLot && !vide(r))
                return false;
        }
        return true;
    }

    // Writes the blocks held, the last one possibly short (at the end of a folder).
    bool vide(Resultat &r)
    {
        const int nb = m_slot + (m_rempli > 0 ? 1 : 0);
        if (nb == 0)
            return true;
        size_t total = 0;
        unsigned char *debut = m_lot.get();
        if (m_compression == 0) {
            for (int s = 0; s < nb; ++s) {
                const int len = s < m_slot ? kBloc : m_rempli;
                unsigned char *e = entete(s);
                metU16(e + 4, unsigned(len));
                metU16(e + 6, unsigned(len));
                metU32(e, somme(e + 4, 4, somme(e + kEnteteBloc, size_t(len), 0)));
                total += size_t(kEnteteBloc + len);
            }
        } else if (m_lzx) {
            debut = m_sortie.get();
            const unsigned char *entrees[kBlocsParLot] = {};
            unsigned char *sorties[kBlocsParLot] = {};
            int tailles[kBlocsParLot] = {}, comp[kBlocsParLot] = {};
            size_t place = 0;
            for (int s = 0; s < nb; ++s) {
                entrees[s] = donnees(s);
                tailles[s] = s < m_slot ? kBloc : m_rempli;
                sorties[s] = debut + place + kEnteteBloc;
                place += kEnteteBloc + CompresseurLzx::kMaxTrameCompressee;
            }
            m_lzx->compresseTrames(entrees, tailles, nb, sorties, comp);
            // Each frame's block follows the previous one.
            unsigned char *o = debut;
            for (int s = 0; s < nb; ++s) {
                if (comp[s] <= 0 || comp[s] > CompresseurLzx::kMaxTrameCompressee) {
                    r = {ErrCompression, QStringLiteral("LZX")};
                    return false;
                }
                if (o + kEnteteBloc != sorties[s])
                    std::memmove(o + kEnteteBloc, sorties[s], size_t(comp[s]));
                metU16(o + 4, unsigned(comp[s]));
                metU16(o + 6, unsigned(tailles[s]));
                metU32(o, somme(o + 4, 4, somme(o + kEnteteBloc, size_t(comp[s]), 0)));
                o += kEnteteBloc + comp[s];
                total += size_t(kEnteteBloc + comp[s]);
            }
        } else {
            debut = m_sortie.get();
            unsigned char *o = debut;
            for (int s = 0; s < nb; ++s) {
                const int len = s < m_slot ? kBloc : m_rempli;
                if (deflateReset(&m_z) != Z_OK) {
                    r = {ErrCompression, QStringLiteral("deflate")};
                    return false;
                }
                o[kEnteteBloc] = 'C';
                o[kEnteteBloc + 1] = 'K';
                m_z.next_in = donnees(s);
                m_z.avail_in = uInt(len);
                m_z.next_out = o + kEnteteBloc + 2;
                m_z.avail_out = uInt(kMaxBlocMszip - 2);
                if (deflate(&m_z, Z_FINISH) != Z_STREAM_END) {
                    r = {ErrCompression, QStringLiteral("deflate")};
                    return false;
                }
                const int comp = int(2 + m_z.total_out);
                metU16(o + 4, unsigned(comp));
                metU16(o + 6, unsigned(len));
                metU32(o, somme(o + 4, 4, somme(o + kEnteteBloc, size_t(comp), 0)));
                o += kEnteteBloc + comp;
                total += size_t(kEnteteBloc + comp);
            }
        }
        if (m_position + qint64(total) > kMaxCabinet) {
            r = {ErrCreationCabinet, QStringLiteral("the cabinet would exceed 4 GiB")};
            return false;
        }
        int err = 0;
        if (!ecritTout(m_fd, debut, total, err)) {
            r = erreurSysteme(ErrCreationCabinet, err);
            return false;
        }
        m_position += qint64(total);
        m_blocs += nb;
        m_slot = 0;
        m_rempli = 0;
        return true;
    }

private:
    unsigned char *entete(int s) { return m_lot.get() + size_t(s) * (kEnteteBloc + kBloc); }
    unsigned char *donnees(int s) { return entete(s) + kEnteteBloc; }

    int m_fd;
    int m_compression;
    std::unique_ptr<unsigned char[]> m_lot;
    std::unique_ptr<unsigned char[]> m_sortie;
    std::unique_ptr<CompresseurLzx> m_lzx;
    z_stream m_z;
    bool m_zInit = false;
    int m_slot = 0;   // first slot not full
    int m_rempli = 0; // bytes in that slot
    int m_blocs = 0;  // blocks written in the current folder
    qint64 m_position = 0;
};

Resultat planifie(const std::vector<Source> &sources, const Parametres &p, Plan &plan)
{
    if (sources.size() > 65535)
        return {ErrInconnue, QStringLiteral("more than 65535 members")};
    qint64 dansDossier = 0;
    qint64 entetes = kEnteteCabinet;
    for (size_t i = 0; i < sources.size(); ++i) {
        const Source &s = sources[i];
        if (s.nom.isEmpty() || s.nom.size() > kNomMax || s.nom.contains('\0'))
            return {ErrInconnue, QStringLiteral("invalid member name")};
        if (s.taille < 0 || s.taille > kTailleMaxSource)
            return {ErrLectureSource, QStringLiteral("the file is too large for a cabinet")};
        const bool nouveau = plan.dossiers.empty()
                             || (dansDossier > 0
                                 && (dansDossier >= p.seuilDossier
                                     || blocsPour(dansDossier + s.taille) > kMaxBlocsDossier));
        if (nouveau) {
            plan.dossiers.push_back({});
            plan.premierDe.push_back(int(i));
            dansDossier = 0;
        }
        plan.dossierDe.push_back(int(plan.dossiers.size()) - 1);
        plan.offsetDe.push_back(dansDossier);
        dansDossier += s.taille;
        entetes += kEnteteFichier + s.nom.size() + 1;
    }
    if (plan.dossiers.empty()) {
        plan.dossiers.push_back({});
        plan.premierDe.push_back(0);
    }
    if (plan.dossiers.size() > 65535)
        return {ErrInconnue, QStringLiteral("more than 65535 folders")};
    plan.tailleEntetes = entetes + kEnteteDossier * qint64(plan.dossiers.size());
    return {};
}

// Stores one source: it must still be the file that was listed, and hold
// exactly the bytes it held then.
Resultat stocke(Flux &flux, const Source &s)
{
    // Opened without waiting: a pipe put under the name since it was listed
    // is refused below instead of holding the build.
    const int fd = ::open(QFile::encodeName(s.chemin).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {ErrOuvertureSource, texteErreur(errno)};
    struct Ferme
    {
        int fd;
        ~Ferme() { ::close(fd); }
    } ferme{fd};
    struct stat avant {};
    if (::fstat(fd, &avant) != 0 || !S_ISREG(avant.st_mode))
        return {ErrOuvertureSource, QStringLiteral("not a regular file")};
    if (avant.st_size != s.taille || mtimeNs(avant) != s.mtimeNs)
        return {ErrLectureSource, QStringLiteral("the file changed while the cabinet was built")};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Resultat r;
    if (!flux.litSource(fd, s.taille, r))
        return r;
    char octet;
    ssize_t encore;
    do {
        encore = ::read(fd, &octet, 1);
    } while (encore < 0 && errno == EINTR);
    if (encore < 0)
        return erreurSysteme(ErrLectureSource, errno);
    struct stat apres {};
    if (encore > 0 || ::fstat(fd, &apres) != 0 || apres.st_size != s.taille || mtimeNs(apres) != s.mtimeNs)
        return {ErrLectureSource, QStringLiteral("the file changed while the cabinet was built")};
    return {};
}

} // namespace

quint32 somme(const unsigned char *data, size_t octets, quint32 graine)
{
    size_t n = octets / 4;
    // Four words at a time; the order of the XORs does not matter.
    quint32 a = 0, b = 0, c = 0, d = 0;
    const unsigned char *p = data;
    for (; n >= 4; n -= 4, p += 16) {
        a ^= qFromLittleEndian<quint32>(p);
        b ^= qFromLittleEndian<quint32>(p + 4);
        c ^= qFromLittleEndian<quint32>(p + 8);
        d ^= qFromLittleEndian<quint32>(p + 12);
    }
    for (; n > 0; --n, p += 4)
        a ^= qFromLittleEndian<quint32>(p);
    quint32 reste = 0;
    switch (octets & 3) {
    case 3: reste |= quint32(*p++) << 16; [[fallthrough]];
    case 2: reste |= quint32(*p++) << 8; [[fallthrough]];
    case 1: reste |= quint32(*p);
    }
    return graine ^ a ^ b ^ c ^ d ^ reste;
}

Resultat ecritCabinet(int fd, const std::vector<Source> &sources, const Parametres &p,
                      const std::function<void(qint64)> &progression)
{
    if (p.compression != 0 && p.compression != 1 && bitsLzx(p.compression) == 0)
        return {ErrTypeCompression, {}};
    Plan plan;
    Resultat r = planifie(sources, p, plan);
    if (r.code != ErrAucune)
        return r;

    Flux flux(fd, p.compression);
    if (!flux.initialise(r))
        return r;
    if (::lseek(fd, off_t(plan.tailleEntetes), SEEK_SET) < 0)
        return erreurSysteme(ErrCreationCabinet, errno);
    flux.positionne(plan.tailleEntetes);

    qint64 faits = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        const int d = plan.dossierDe[i];
        if (plan.premierDe[size_t(d)] == int(i)) {
            if (d > 0) {
                if (!flux.vide(r))
                    return r;
                plan.dossiers[size_t(d - 1)].blocs = flux.blocsEcrits();
            }
            flux.nouveauDossier();
            plan.dossiers[size_t(d)].debut = flux.position();
        }
        r = stocke(flux, sources[i]);
        if (r.code != ErrAucune)
            return r;
        faits += sources[i].taille;
        if (progression)
            progression(faits);
    }
    if (!flux.vide(r))
        return r;
    if (sources.empty())
        plan.dossiers[0].debut = flux.position();
    plan.dossiers.back().blocs = flux.blocsEcrits();

    // The headers, now that every block is where it belongs.
    std::vector<unsigned char> h(size_t(plan.tailleEntetes), 0);
    unsigned char *q = h.data();
    std::memcpy(q, "MSCF", 4);
    metU32(q + 8, quint32(flux.position()));
    metU32(q + 16, quint32(kEnteteCabinet + kEnteteDossier * plan.dossiers.size()));
    q[24] = 3; // format 1.3
    q[25] = 1;
    metU16(q + 26, unsigned(plan.dossiers.size()));
    metU16(q + 28, unsigned(sources.size()));
    metU16(q + 32, p.idEnsemble);
    q += kEnteteCabinet;
    for (const Dossier &d : plan.dossiers) {
        metU32(q, quint32(d.debut));
        metU16(q + 4, unsigned(d.blocs));
        metU16(q + 6, unsigned(p.compression));
        q += kEnteteDossier;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        const Source &s = sources[i];
        metU32(q, quint32(s.taille));
        metU32(q + 4, quint32(plan.offsetDe[i]));
        metU16(q + 8, unsigned(plan.dossierDe[i]));
        metU16(q + 10, s.dateDos);
        metU16(q + 12, s.heureDos);
        metU16(q + 14, s.attributs);
        std::memcpy(q + kEnteteFichier, s.nom.constData(), size_t(s.nom.size()));
        q += kEnteteFichier + s.nom.size() + 1;
    }
    int err = 0;
    if (!ecritToutA(fd, h.data(), h.size(), 0, err))
        return erreurSysteme(ErrCreationCabinet, err);
    return {};
}

} // namespace cabecriture
