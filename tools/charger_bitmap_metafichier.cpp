#include "tools/charger_bitmap_metafichier.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include "theme/fichier_ordinaire.h"
#include "tools/metafichier/limites_convertisseur.h"
#include "tools/metafichier/taille_emf.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr quint32 CleWmfPlacable = 0x9AC6CDD7;
constexpr int DelaiConversionMs = 5000;
constexpr qint64 TailleMaxSortie = qint64(CoteMaxMetafichier) * CoteMaxMetafichier * 4 + 128;
constexpr int TailleEnteteEmf = 88;

quint32 lit32(const QByteArray &o, qsizetype pos)
{
    return pos >= 0 && pos + 4 <= o.size() ? qFromLittleEndian<quint32>(o.constData() + pos) : 0;
}
qint16 litS16(const QByteArray &o, qsizetype pos)
{
    return pos >= 0 && pos + 2 <= o.size() ? qFromLittleEndian<qint16>(o.constData() + pos) : 0;
}
quint16 lit16(const QByteArray &o, qsizetype pos)
{
    return pos >= 0 && pos + 2 <= o.size() ? qFromLittleEndian<quint16>(o.constData() + pos) : 0;
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

// Runs the converter program on the bytes; its whole output, or empty when
// it failed, crashed, ran out of memory, ran too long or wrote too much. It
// is a program of its own, started afresh (not a copy of this process, whose
// other threads may hold locks), reading the file from a memory file and
// writing the drawing into a pipe.
std::optional<QByteArray> convertitIsole(const QByteArray &octets, TypeMetafichier type, QSize boite,
                                         QString *message)
{
    const QString programme = CheminConvertisseurMetafichier();
    if (programme.isEmpty()) {
        *message = QStringLiteral("The metafile cannot be read: its converter (%1) is missing.")
                       .arg(QLatin1String(convertisseur::NomProgramme));
        return std::nullopt;
    }
    const int entree = ::memfd_create("metafichier", MFD_CLOEXEC);
    if (entree < 0 || !ecritTout(entree, octets.constData(), size_t(octets.size())) || ::lseek(entree, 0, SEEK_SET) != 0) {
        if (entree >= 0)
            ::close(entree);
        *message = QStringLiteral("The metafile cannot be read: no room to hand it to its converter.");
        return std::nullopt;
    }
    int tube[2];
    if (::pipe2(tube, O_CLOEXEC) != 0) {
        ::close(entree);
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
    const QByteArray largeur = QByteArray::number(boite.isValid() ? boite.width() : 0);
    const QByteArray hauteur = QByteArray::number(boite.isValid() ? boite.height() : 0);
    char *arguments[] = {const_cast<char *>(chemin.constData()), const_cast<char *>(genre.constData()),
                         const_cast<char *>(largeur.constData()), const_cast<char *>(hauteur.constData()), nullptr};
    pid_t pid = -1;
    const int lance = ::posix_spawn(&pid, chemin.constData(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(entree);
    ::close(tube[1]);
    if (lance != 0) {
        ::close(tube[0]);
        *message = QStringLiteral("The metafile cannot be read: its converter cannot be started.");
        return std::nullopt;
    }
    QByteArray sortie;
    bool tropLong = false, tropGros = false;
    const qint64 fin = maintenantMs() + DelaiConversionMs;
    char tampon[65536];
    for (;;) {
        const qint64 reste = fin - maintenantMs();
        if (reste <= 0) {
            tropLong = true;
            break;
        }
        pollfd p{tube[0], POLLIN, 0};
        const int pr = ::poll(&p, 1, int(reste));
        if (pr < 0 && errno == EINTR)
            continue;
        if (pr <= 0) {
            tropLong = pr == 0;
            break;
        }
        const ssize_t n = ::read(tube[0], tampon, sizeof tampon);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        sortie.append(tampon, n);
        if (sortie.size() > TailleMaxSortie) {
            tropGros = true;
            break;
        }
    }
    ::close(tube[0]);
    if (tropLong || tropGros)
        ::kill(pid, SIGKILL);
    int statut = 0;
    while (::waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    if (tropLong) {
        *message = QStringLiteral("The metafile took too long to read.");
        return std::nullopt;
    }
    if (tropGros) {
        *message = QStringLiteral("The metafile draws too much to be shown.");
        return std::nullopt;
    }
    if (WIFEXITED(statut) && WEXITSTATUS(statut) == convertisseur::SortieMemoire) {
        *message = QStringLiteral("The metafile needs more memory than a picture may use.");
        return std::nullopt;
    }
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) {
        *message = WIFSIGNALED(statut) ? QStringLiteral("The metafile is damaged: its reader failed on it.")
                                       : QStringLiteral("The metafile is damaged or not supported.");
        return std::nullopt;
    }
    return sortie;
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

std::optional<MetafichierDessine> ConvertitMetafichier(const QByteArray &octets, TypeMetafichier type, QSize boite,
                                                      QString *message)
{
    QString texte;
    QString &m = message ? *message : texte;
    if (type == TypeMetafichier::Aucun || DetecteMetafichier(octets) != type) {
        m = QStringLiteral("The file is not a metafile.");
        return std::nullopt;
    }
    if (octets.size() > TailleMaxMetafichier) {
        m = QStringLiteral("The metafile is too large (more than %1 MB).").arg(TailleMaxMetafichier / (1024 * 1024));
        return std::nullopt;
    }
    const auto sortie = convertitIsole(octets, type, boite, &m);
    if (!sortie)
        return std::nullopt;
    const qsizetype ligne = sortie->indexOf('\n');
    const QList<QByteArray> champs = sortie->left(ligne).split(' ');
    const QString abime = QStringLiteral("The metafile is damaged or not supported.");
    if (ligne < 0 || champs.size() != 5) {
        m = abime;
        return std::nullopt;
    }
    bool ok[5] = {};
    const qlonglong l = champs[0].toLongLong(&ok[0]), h = champs[1].toLongLong(&ok[1]);
    const int lp = champs[2].toInt(&ok[2]), hp = champs[3].toInt(&ok[3]);
    const qulonglong longueur = champs[4].toULongLong(&ok[4]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]) || longueur != qulonglong(sortie->size() - ligne - 1)) {
        m = abime;
        return std::nullopt;
    }
    if (l < 1 || h < 1 || l > CoteMaxMetafichier || h > CoteMaxMetafichier) {
        m = QStringLiteral("The metafile's size (%1 x %2) cannot be drawn.").arg(l).arg(h);
        return std::nullopt;
    }
    MetafichierDessine r;
    r.taille = QSize(int(l), int(h));
    if (lp == 0 && hp == 0) {
        r.svg = sortie->mid(ligne + 1);
        return r;
    }
    if (lp < 1 || hp < 1 || lp > CoteMaxMetafichier || hp > CoteMaxMetafichier
        || longueur != qulonglong(lp) * qulonglong(hp) * 4) {
        m = abime;
        return std::nullopt;
    }
    // The raster device's pixels: 0xAARRGGBB with AA from 0 (opaque) to 127.
    QImage image(lp, hp, QImage::Format_ARGB32);
    if (image.isNull()) {
        m = QStringLiteral("The metafile is too large to draw.");
        return std::nullopt;
    }
    const char *source = sortie->constData() + ligne + 1;
    for (int y = 0; y < hp; ++y) {
        auto *rangee = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < lp; ++x) {
            quint32 v;
            std::memcpy(&v, source + (qsizetype(y) * lp + x) * 4, 4);
            const int alpha = 255 - int(qMin<quint32>(v >> 24, 127)) * 255 / 127;
            rangee[x] = qRgba(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), alpha);
        }
    }
    r.pixels = std::move(image);
    return r;
}

std::optional<QImage> ChargeMetafichier(const QString &chemin, QSize boite, ErreurImage *erreur, QString *message)
{
    QString texte;
    QString &m = message ? *message : texte;
    const auto echec = [erreur](ErreurImage e) -> std::optional<QImage> {
        if (erreur)
            *erreur = e;
        return std::nullopt;
    };
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin)) {
        m = QStringLiteral("The picture file cannot be opened.");
        return echec(ErreurImage::Introuvable);
    }
    if (f.size() > TailleMaxMetafichier) {
        m = QStringLiteral("The metafile is too large (more than %1 MB).").arg(TailleMaxMetafichier / (1024 * 1024));
        return echec(ErreurImage::Illisible);
    }
    const QByteArray octets = f.readAll();
    const TypeMetafichier type = DetecteMetafichier(octets);
    if (type == TypeMetafichier::Aucun) {
        m = QStringLiteral("The file is not a metafile.");
        return echec(ErreurImage::FormatInconnu);
    }
    const auto dessin = ConvertitMetafichier(octets, type, boite, &m);
    if (!dessin)
        return echec(ErreurImage::Illisible);
    QSize cible = dessin->taille;
    if (boite.isValid() && (cible.width() > boite.width() || cible.height() > boite.height()))
        cible = cible.scaled(boite, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage image(cible, QImage::Format_ARGB32);
    if (image.isNull()) {
        m = QStringLiteral("The metafile is too large to draw.");
        return echec(ErreurImage::Illisible);
    }
    // A metafile has no background of its own: it is drawn on a white page.
    image.fill(Qt::white);
    QPainter peintre(&image);
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!dessin->pixels.isNull()) {
        peintre.drawImage(QRect(QPoint(0, 0), cible), dessin->pixels);
    } else {
        QSvgRenderer rendu(dessin->svg);
        if (!rendu.isValid()) {
            m = QStringLiteral("The metafile is damaged or not supported.");
            return echec(ErreurImage::Illisible);
        }
        // One SVG unit is one pixel of the picture.
        rendu.setViewBox(QRectF(QPointF(0, 0), QSizeF(dessin->taille)));
        rendu.render(&peintre, QRectF(QPointF(0, 0), QSizeF(cible)));
    }
    peintre.end();
    return image;
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
        return QSize(int(std::lround(l)), int(std::lround(h)));
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
