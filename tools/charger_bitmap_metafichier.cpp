#include "tools/charger_bitmap_metafichier.h"

#include "theme/fichier_ordinaire.h"
#include "tools/metafichier/limites_convertisseur.h"
#include "tools/metafichier/taille_emf.h"
#include "ui/fonctions_indep.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr quint32 CleWmfPlacable = 0x9AC6CDD7;
constexpr int DelaiConversionMs = 5000;
constexpr int TailleEnteteEmf = 88;

// Little-endian fields, 0 past the end. Byte by byte: GCC takes an empty
// array's one byte for the bounds of a wider read it cannot reach.
quint32 litOctets(const QByteArray &o, qsizetype pos, int n)
{
    if (pos < 0 || pos + n > o.size())
        return 0;
    quint32 v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | quint8(o.at(pos + i));
    return v;
}
quint32 lit32(const QByteArray &o, qsizetype pos)
{
    return litOctets(o, pos, 4);
}
qint16 litS16(const QByteArray &o, qsizetype pos)
{
    return qint16(quint16(litOctets(o, pos, 2)));
}
quint16 lit16(const QByteArray &o, qsizetype pos)
{
    return quint16(litOctets(o, pos, 2));
}

bool ecritTout(int fd, const char *donnees, size_t n)
{
    while (n > 0) {
        const ssize_t e = ::write(fd, donnees, n);
        if (e < 0 && errno == EINTR)
            continue;
        if (e <= 0)
            return false;
        donnees += e;
        n -= size_t(e);
    }
    return true;
}

qint64 maintenantMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

enum class Lecture { Complete, Fin, Delai, Erreur };

// Exactly n bytes from the pipe before the deadline; Fin when the pipe closes first.
Lecture litExactement(int fd, char *donnees, qint64 n, qint64 fin)
{
    while (n > 0) {
        const qint64 reste = fin - maintenantMs();
        if (reste <= 0)
            return Lecture::Delai;
        pollfd p{fd, POLLIN, 0};
        const int pr = ::poll(&p, 1, int(reste));
        if (pr < 0 && errno == EINTR)
            continue;
        if (pr < 0)
            return Lecture::Erreur;
        if (pr == 0)
            return Lecture::Delai;
        const ssize_t lu = ::read(fd, donnees, size_t(std::min<qint64>(n, 1 << 20)));
        if (lu < 0 && errno == EINTR)
            continue;
        if (lu < 0)
            return Lecture::Erreur;
        if (lu == 0)
            return Lecture::Fin;
        donnees += lu;
        n -= lu;
    }
    return Lecture::Complete;
}

QString messageAbime()
{
    return QStringLiteral("The metafile is damaged or not supported.");
}

// Runs the converter program on the file open at `entree` (read from its
// start; it stays open) and takes back its drawing: a header that must match
// what was asked, then exactly the pixels asked for, read straight into the
// picture; nothing more is read. Empty when it failed, crashed, ran out of
// memory, ran too long or answered something else. It is a program of its
// own, started afresh (not a copy of this process, whose other threads may
// hold locks), reading the file itself and writing the drawing into a pipe.
std::optional<MetafichierDessine> convertitIsole(int entree, TypeMetafichier type, QSize dessin, QRgb fond,
                                                 QString *message)
{
    const QString programme = CheminConvertisseurMetafichier();
    if (programme.isEmpty()) {
        *message = QStringLiteral("The metafile cannot be read: its converter (%1) is missing.")
                       .arg(QLatin1String(convertisseur::NomProgramme));
        return std::nullopt;
    }
    int tube[2];
    if (::lseek(entree, 0, SEEK_SET) != 0 || ::pipe2(tube, O_CLOEXEC) != 0) {
        *message = QStringLiteral("The metafile cannot be read: no pipe to its converter.");
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, entree, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, tube[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray chemin = QFile::encodeName(programme);
    const QByteArray genre = type == TypeMetafichier::Emf ? QByteArray("emf") : QByteArray("wmf");
    const QByteArray largeur = QByteArray::number(dessin.width());
    const QByteArray hauteur = QByteArray::number(dessin.height());
    const QByteArray couleur = QByteArray::number(fond, 16).rightJustified(8, '0');
    char *arguments[] = {const_cast<char *>(chemin.constData()), const_cast<char *>(genre.constData()),
                         const_cast<char *>(largeur.constData()), const_cast<char *>(hauteur.constData()),
                         const_cast<char *>(couleur.constData()), nullptr};
    pid_t pid = -1;
    const int lance = ::posix_spawn(&pid, chemin.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(tube[1]);
    if (lance != 0) {
        ::close(tube[0]);
        *message = QStringLiteral("The metafile cannot be read: its converter cannot be started.");
        return std::nullopt;
    }

    const qint64 fin = maintenantMs() + DelaiConversionMs;
    QString refus; // what the answer itself got wrong
    bool tropLong = false;
    MetafichierDessine r;
    char entete[convertisseur::TailleEntete];
    Lecture lu = litExactement(tube[0], entete, qint64(sizeof entete), fin);
    if (lu == Lecture::Complete) {
        convertisseur::Entete e;
        if (!convertisseur::LitEntete(reinterpret_cast<const unsigned char *>(entete), e)) {
            refus = messageAbime();
        } else if (e.largeur < 1 || e.hauteur < 1 || e.largeur > quint32(CoteMaxMetafichier)
                   || e.hauteur > quint32(CoteMaxMetafichier)) {
            refus = QStringLiteral("The metafile's size (%1 x %2) cannot be drawn.").arg(e.largeur).arg(e.hauteur);
        } else if (e.largeurDessin != quint32(dessin.width()) || e.hauteurDessin != quint32(dessin.height())) {
            refus = messageAbime();
        } else {
            r.taille = QSize(int(e.largeur), int(e.hauteur));
            if (!dessin.isEmpty()) {
                r.pixels = QImage(dessin, QImage::Format_ARGB32);
                if (r.pixels.isNull() || r.pixels.bytesPerLine() != qsizetype(dessin.width()) * 4)
                    refus = QStringLiteral("The metafile is too large to draw.");
                else
                    lu = litExactement(tube[0], reinterpret_cast<char *>(r.pixels.bits()),
                                       qint64(dessin.width()) * dessin.height() * 4, fin);
            }
            // Then the end of the answer, and nothing else.
            char octet;
            if (refus.isEmpty() && lu == Lecture::Complete) {
                lu = litExactement(tube[0], &octet, 1, fin);
                if (lu == Lecture::Complete)
                    refus = QStringLiteral("The metafile's converter answered more than was asked.");
                else if (lu == Lecture::Fin)
                    lu = Lecture::Complete;
            }
        }
    }
    tropLong = lu == Lecture::Delai;
    ::close(tube[0]);
    if (lu != Lecture::Complete || !refus.isEmpty())
        ::kill(pid, SIGKILL); // nothing more is read from it
    int statut = 0;
    while (::waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    const bool tue = WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL;
    if (tropLong) {
        *message = QStringLiteral("The metafile took too long to read.");
        return std::nullopt;
    }
    if (!refus.isEmpty()) {
        *message = refus;
        return std::nullopt;
    }
    if (WIFEXITED(statut) && WEXITSTATUS(statut) == convertisseur::SortieMemoire) {
        *message = QStringLiteral("The metafile needs more memory than a picture may use.");
        return std::nullopt;
    }
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0 || lu != Lecture::Complete) {
        *message = WIFSIGNALED(statut) && !tue ? QStringLiteral("The metafile is damaged: its reader failed on it.")
                                               : messageAbime();
        return std::nullopt;
    }
    return r;
}

} // namespace

QString CheminConvertisseurMetafichier()
{
    const QString nom = QString::fromLatin1(convertisseur::NomProgramme);
    QStringList dossiers;
    if (QCoreApplication::instance())
        dossiers << QCoreApplication::applicationDirPath();
#ifdef OVD_DOSSIER_BIN_CONSTRUCTION
    dossiers << QStringLiteral(OVD_DOSSIER_BIN_CONSTRUCTION); // the build tree, for the tests
#endif
    for (const QString &d : std::as_const(dossiers)) {
        const QFileInfo programme(d + QLatin1Char('/') + nom);
        if (programme.isFile() && programme.isExecutable())
            return programme.absoluteFilePath();
    }
    return {};
}

TypeMetafichier DetecteMetafichier(const QByteArray &debut)
{
    if (lit32(debut, 0) == 1 && lit32(debut, 40) == 0x464D4520 && lit32(debut, 4) >= quint32(TailleEnteteEmf))
        return TypeMetafichier::Emf;
    if (lit32(debut, 0) == CleWmfPlacable)
        return TypeMetafichier::Wmf;
    // A plain WMF header: type 1 (memory) or 2 (disk), 9 words, version 0x100 or 0x300.
    const quint16 type = lit16(debut, 0), mots = lit16(debut, 2), version = lit16(debut, 4);
    if ((type == 1 || type == 2) && mots == 9 && (version == 0x100 || version == 0x300))
        return TypeMetafichier::Wmf;
    return TypeMetafichier::Aucun;
}

TypeMetafichier TypeFichierMetafichier(const QString &chemin)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin))
        return TypeMetafichier::Aucun;
    return DetecteMetafichier(f.read(TailleEnteteEmf));
}

namespace {

QString messageTropGros()
{
    return QStringLiteral("The metafile is too large (more than %1 MB).").arg(TailleMaxMetafichier / (1024 * 1024));
}

// A drawing size the converter accepts, 0 x 0 for a measure.
bool demandePermise(QSize &dessin, QString &m)
{
    if (dessin.isEmpty())
        dessin = QSize(0, 0);
    if (convertisseur::DessinPermis(dessin.width(), dessin.height()))
        return true;
    m = QStringLiteral("The metafile cannot be drawn at %1 x %2 pixels.").arg(dessin.width()).arg(dessin.height());
    return false;
}

// A metafile file opened for the converter: a regular file within the size
// limit whose first bytes announce a metafile. The converter reads it where
// it lies: its bytes never pass through this process.
struct FichierOuvert
{
    int fd = -1;
    TypeMetafichier type = TypeMetafichier::Aucun;
    FichierOuvert() = default;
    FichierOuvert(const FichierOuvert &) = delete;
    FichierOuvert &operator=(const FichierOuvert &) = delete;
    ~FichierOuvert()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool ouvreMetafichier(const QString &chemin, FichierOuvert &f, ErreurImage *erreur, QString &m)
{
    const auto echec = [erreur](ErreurImage e) {
        if (erreur)
            *erreur = e;
        return false;
    };
    // A pipe under the name is refused without waiting for a writer.
    f.fd = OuvreDescripteurOrdinaire(chemin);
    struct stat etat {};
    if (f.fd < 0 || ::fstat(f.fd, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        m = QStringLiteral("The picture file cannot be opened.");
        return echec(ErreurImage::Introuvable);
    }
    if (etat.st_size > TailleMaxMetafichier) {
        m = messageTropGros();
        return echec(ErreurImage::Illisible);
    }
    QByteArray debut(TailleEnteteEmf, '\0');
    const ssize_t lu = ::pread(f.fd, debut.data(), size_t(debut.size()), 0);
    debut.truncate(std::max<qsizetype>(lu, 0));
    f.type = DetecteMetafichier(debut);
    if (f.type == TypeMetafichier::Aucun) {
        m = QStringLiteral("The file is not a metafile.");
        return echec(ErreurImage::FormatInconnu);
    }
    return true;
}

std::optional<MetafichierDessine> convertitFichier(FichierOuvert &f, QSize dessin, QRgb fond, ErreurImage *erreur,
                                                   QString &m)
{
    std::optional<MetafichierDessine> r;
    if (demandePermise(dessin, m))
        r = convertitIsole(f.fd, f.type, dessin, fond, &m);
    if (!r && erreur)
        *erreur = ErreurImage::Illisible;
    return r;
}

} // namespace

std::optional<MetafichierDessine> ConvertitMetafichier(const QByteArray &octets, TypeMetafichier type, QSize dessin,
                                                      QRgb fond, QString *message)
{
    QString texte;
    QString &m = message ? *message : texte;
    if (type == TypeMetafichier::Aucun || DetecteMetafichier(octets) != type) {
        m = QStringLiteral("The file is not a metafile.");
        return std::nullopt;
    }
    if (octets.size() > TailleMaxMetafichier) {
        m = messageTropGros();
        return std::nullopt;
    }
    if (!demandePermise(dessin, m))
        return std::nullopt;
    // Handed over in a memory file.
    FichierOuvert memoire;
    memoire.fd = ::memfd_create("metafichier", MFD_CLOEXEC);
    if (memoire.fd < 0 || !ecritTout(memoire.fd, octets.constData(), size_t(octets.size()))) {
        m = QStringLiteral("The metafile cannot be read: no room to hand it to its converter.");
        return std::nullopt;
    }
    return convertitIsole(memoire.fd, type, dessin, fond, &m);
}

std::optional<QImage> DessineMetafichier(const QString &chemin, QSize taille, QRgb fond, ErreurImage *erreur,
                                         QString *message, QSize *taillePropre)
{
    QString texte;
    QString &m = message ? *message : texte;
    FichierOuvert f;
    if (!ouvreMetafichier(chemin, f, erreur, m))
        return std::nullopt;
    if (taille.isEmpty()) {
        m = QStringLiteral("The metafile cannot be drawn at %1 x %2 pixels.").arg(taille.width()).arg(taille.height());
        if (erreur)
            *erreur = ErreurImage::Illisible;
        return std::nullopt;
    }
    auto dessin = convertitFichier(f, taille, fond, erreur, m);
    if (!dessin)
        return std::nullopt;
    if (taillePropre)
        *taillePropre = dessin->taille;
    return std::move(dessin->pixels);
}

QSize TailleDessinMetafichier(QSize taille, QSize boite)
{
    if (taille.isEmpty())
        return {};
    if (boite.isValid() && !boite.isEmpty())
        taille = RectProportionnel(taille.width(), taille.height(), boite.width(), boite.height()).size();
    // Within the drawing limits, aspect kept.
    const double k = std::min({1.0, double(CoteMaxDessinMetafichier) / taille.width(),
                               double(CoteMaxDessinMetafichier) / taille.height(),
                               std::sqrt(double(PixelsMaxDessinMetafichier) / (double(taille.width()) * taille.height()))});
    if (k < 1.0)
        taille = QSize(int(taille.width() * k), int(taille.height() * k));
    return taille.expandedTo(QSize(1, 1));
}

std::optional<QImage> ChargeMetafichier(const QString &chemin, QSize boite, QRgb fond, ErreurImage *erreur,
                                        QString *message)
{
    QString texte;
    QString &m = message ? *message : texte;
    FichierOuvert f;
    if (!ouvreMetafichier(chemin, f, erreur, m))
        return std::nullopt;
    QSize taille = TailleMetafichier(chemin);
    if (!taille.isValid()) {
        // A plain WMF: its size comes from its records.
        const auto mesure = convertitFichier(f, {}, 0, erreur, m);
        if (!mesure)
            return std::nullopt;
        taille = mesure->taille;
    }
    if (taille.width() > CoteMaxMetafichier || taille.height() > CoteMaxMetafichier || taille.isEmpty()) {
        m = QStringLiteral("The metafile's size (%1 x %2) cannot be drawn.").arg(taille.width()).arg(taille.height());
        if (erreur)
            *erreur = ErreurImage::Illisible;
        return std::nullopt;
    }
    auto dessin = convertitFichier(f, TailleDessinMetafichier(taille, boite), fond, erreur, m);
    if (!dessin)
        return std::nullopt;
    return std::move(dessin->pixels);
}

QSize TailleMetafichier(const QString &chemin)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin))
        return {};
    const QByteArray debut = f.read(TailleEnteteEmf);
    switch (DetecteMetafichier(debut)) {
    case TypeMetafichier::Emf: {
        double l = 0, h = 0;
        if (!emf::TailleEmf(reinterpret_cast<const unsigned char *>(debut.constData()), size_t(debut.size()), l, h))
            return {};
        // A lying header may claim billions: kept past the limit, not wrapped.
        return QSize(int(std::lround(std::min(l, 1e9))), int(std::lround(std::min(h, 1e9))));
    }
    case TypeMetafichier::Wmf: {
        if (lit32(debut, 0) != CleWmfPlacable)
            return {}; // a plain WMF has its size only in its records
        const int l = qAbs(int(litS16(debut, 10)) - int(litS16(debut, 6)));
        const int h = qAbs(int(litS16(debut, 12)) - int(litS16(debut, 8)));
        const int pouces = lit16(debut, 14);
        if (pouces <= 0)
            return {};
        return QSize(int(std::lround(l * 96.0 / pouces)), int(std::lround(h * 96.0 / pouces)));
    }
    case TypeMetafichier::Aucun: break;
    }
    return {};
}

QSize MesureMetafichier(const QString &chemin)
{
    if (const QSize t = TailleMetafichier(chemin); t.isValid())
        return t;
    QString m;
    FichierOuvert f;
    if (!ouvreMetafichier(chemin, f, nullptr, m))
        return {};
    const auto mesure = convertitFichier(f, {}, 0, nullptr, m);
    return mesure ? mesure->taille : QSize();
}
