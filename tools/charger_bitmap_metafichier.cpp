#include "tools/charger_bitmap_metafichier.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr quint32 CleWmfPlacable = 0x9AC6CDD7;
constexpr int DelaiConversionMs = 5000;
constexpr qint64 TailleMaxSortie = qint64(CoteMaxMetafichier) * CoteMaxMetafichier * 4 + 128;
constexpr int TailleEnteteEmf = 88;

quint32 lit32(const QByteArray &o, qsizetype pos)
{
    return pos >= 0 && pos + 4 <= o.size() ? qFromLittleEndian<quint32>(o.constData() + pos) : 0;
}
qint32 litS32(const QByteArray &o, qsizetype pos) { return qint32(lit32(o, pos)); }
quint16 lit16(const QByteArray &o, qsizetype pos)
{
    return pos >= 0 && pos + 2 <= o.size() ? qFromLittleEndian<quint16>(o.constData() + pos) : 0;
}
qint16 litS16(const QByteArray &o, qsizetype pos) { return qint16(lit16(o, pos)); }

// ---- What the child process runs -------------------------------------------

struct Resultat
{
    double largeur = 0, hauteur = 0; // the picture's own size
    int largeurPixels = 0, hauteurPixels = 0; // the pixels drawn (WMF), 0 for SVG
    char *svg = nullptr; // SVG text, or the drawn pixels (0xAARRGGBB, AA 0 = opaque .. 127)
    size_t longueur = 0;
};

// The EMF's size in pixels: its bounds (inclusive), or its frame (0.01 mm)
// through the reference device's pixels per millimetre when the bounds are empty.
bool tailleEmf(const QByteArray &o, Resultat &r)
{
    const qint64 gauche = litS32(o, 8), haut = litS32(o, 12), droite = litS32(o, 16), bas = litS32(o, 20);
    if (droite >= gauche && bas >= haut && (droite > gauche || bas > haut)) {
        r.largeur = double(droite - gauche + 1);
        r.hauteur = double(bas - haut + 1);
        return true;
    }
    const qint64 fg = litS32(o, 24), fh = litS32(o, 28), fd = litS32(o, 32), fb = litS32(o, 36);
    const qint64 px = litS32(o, 72), py = litS32(o, 76), mmx = litS32(o, 80), mmy = litS32(o, 84);
    if (fd <= fg || fb <= fh || px <= 0 || py <= 0 || mmx <= 0 || mmy <= 0)
        return false;
    r.largeur = double(fd - fg) * double(px) / (double(mmx) * 100.0);
    r.hauteur = double(fb - fh) * double(py) / (double(mmy) * 100.0);
    return true;
}

bool convertitEmf(const QByteArray &octets, Resultat &r)
{
    if (!tailleEmf(octets, r))
        return false;
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    QByteArray copie = octets; // the library takes a non-const buffer
    return emf2svg(copie.data(), size_t(copie.size()), &r.svg, &r.longueur, &options) != 0 && r.svg
           && r.longueur > 0;
}

// libwmf's SVG output rounds every colour to an SVG colour name: WMF is drawn
// by its raster device instead, straight at the size asked for.
bool convertitWmf(const QByteArray &octets, QSize boite, Resultat &r)
{
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    if (wmf_api_create(&api, WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return false;
    }
    QByteArray copie = octets;
    bool ok = wmf_mem_open(api, reinterpret_cast<unsigned char *>(copie.data()), long(copie.size())) == wmf_E_None;
    wmfD_Rect cadre{};
    if (ok)
        ok = wmf_scan(api, 0, &cadre) == wmf_E_None;
    unsigned int largeur = 0, hauteur = 0;
    if (ok) {
        if (api->File && api->File->placeable && api->File->pmh && api->File->pmh->Inch > 0) {
            // The placeable header gives the picture's frame: draw all of it,
            // not only the part the records touch.
            const wmfPlaceableMetaHeader *p = api->File->pmh;
            const double pouces = double(p->Inch);
            const double l = double(qAbs(int(p->Right) - int(p->Left))), h = double(qAbs(int(p->Bottom) - int(p->Top)));
            cadre.TL.x = 0;
            cadre.TL.y = 0;
            cadre.BR.x = float(l * 72.0 / pouces);
            cadre.BR.y = float(h * 72.0 / pouces);
            largeur = unsigned(std::lround(l * 96.0 / pouces));
            hauteur = unsigned(std::lround(h * 96.0 / pouces));
        } else {
            ok = wmf_display_size(api, &largeur, &hauteur, 96, 96) == wmf_E_None;
        }
    }
    ok = ok && largeur > 0 && hauteur > 0 && largeur <= unsigned(CoteMaxMetafichier)
         && hauteur <= unsigned(CoteMaxMetafichier);
    if (ok) {
        QSize cible{int(largeur), int(hauteur)};
        if (boite.isValid() && (cible.width() > boite.width() || cible.height() > boite.height()))
            cible = cible.scaled(boite, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        wmf_gd_t *donnees = WMF_GD_GetData(api);
        donnees->type = wmf_gd_image;
        donnees->bbox = cadre;
        donnees->width = unsigned(cible.width());
        donnees->height = unsigned(cible.height());
        ok = wmf_play(api, 0, &cadre) == wmf_E_None && donnees->gd_image;
        const int *pixels = ok ? wmf_gd_image_pixels(donnees->gd_image) : nullptr;
        ok = ok && pixels;
        if (ok) {
            r.longueur = size_t(cible.width()) * size_t(cible.height()) * 4;
            r.svg = static_cast<char *>(std::malloc(r.longueur));
            ok = r.svg != nullptr;
            if (ok)
                std::memcpy(r.svg, pixels, r.longueur);
        }
        r.largeur = largeur;
        r.hauteur = hauteur;
        r.largeurPixels = cible.width();
        r.hauteurPixels = cible.height();
    }
    wmf_mem_close(api);
    wmf_api_destroy(api);
    return ok && r.svg && r.longueur > 0;
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

[[noreturn]] void enfant(int fd, const QByteArray &octets, TypeMetafichier type, QSize boite)
{
    // The libraries talk about what they skip: not our output.
    const int nul = ::open("/dev/null", O_WRONLY);
    if (nul >= 0) {
        ::dup2(nul, STDOUT_FILENO);
        ::dup2(nul, STDERR_FILENO);
    }
    Resultat r;
    const bool ok = type == TypeMetafichier::Emf ? convertitEmf(octets, r) : convertitWmf(octets, boite, r);
    if (!ok)
        ::_exit(2);
    // Whole numbers only: the locale may write decimals with a comma.
    char entete[128];
    const int n = std::snprintf(entete, sizeof entete, "%ld %ld %d %d %zu\n", std::lround(r.largeur),
                                std::lround(r.hauteur), r.largeurPixels, r.hauteurPixels, r.longueur);
    ::_exit(n > 0 && ecritTout(fd, entete, size_t(n)) && ecritTout(fd, r.svg, r.longueur) ? 0 : 3);
}

qint64 maintenantMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Runs the conversion in a child process; its whole output, or empty when it
// failed, crashed, ran too long or wrote too much.
std::optional<QByteArray> convertitIsole(const QByteArray &octets, TypeMetafichier type, QSize boite,
                                         QString *message)
{
    int tube[2];
    if (::pipe2(tube, O_CLOEXEC) != 0) {
        *message = QStringLiteral("The metafile cannot be read: no pipe to its converter.");
        return std::nullopt;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(tube[0]);
        ::close(tube[1]);
        *message = QStringLiteral("The metafile cannot be read: its converter cannot be started.");
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(tube[0]);
        enfant(tube[1], octets, type, boite);
    }
    ::close(tube[1]);
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
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) {
        *message = WIFSIGNALED(statut) ? QStringLiteral("The metafile is damaged: its reader failed on it.")
                                       : QStringLiteral("The metafile is damaged or not supported.");
        return std::nullopt;
    }
    return sortie;
}

} // namespace

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
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
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
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray debut = f.read(TailleEnteteEmf);
    switch (DetecteMetafichier(debut)) {
    case TypeMetafichier::Emf: {
        Resultat r;
        if (!tailleEmf(debut, r))
            return {};
        return QSize(int(std::lround(r.largeur)), int(std::lround(r.hauteur)));
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
