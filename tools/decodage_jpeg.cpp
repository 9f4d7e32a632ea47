#include "tools/decodage_jpeg.h"

#include "theme/fichier_ordinaire.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <limits>
#include <memory>
#include <unistd.h>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// libjpeg's own error_exit prints and calls exit(). Ours jumps back to the
// decoding routine, which keeps every C++ object behind one pointer made
// before the jump point, so nothing is left half-destroyed.
struct Erreurs
{
    jpeg_error_mgr base;
    std::jmp_buf retour;
};

struct Decodage
{
    jpeg_decompress_struct cinfo{};
    Erreurs erreurs{};
    std::FILE *fichier = nullptr;
    bool cree = false;
    QImage image;

    ~Decodage()
    {
        if (cree)
            jpeg_destroy_decompress(&cinfo);
        if (fichier)
            std::fclose(fichier);
    }
};

void sortieErreur(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<Erreurs *>(cinfo->err)->retour, 1);
}

// Warnings (a truncated file among them) are not failures; libjpeg goes on.
void messageMuet(j_common_ptr) {}

// The plain file chemin as a C stream; null when it is none.
std::FILE *ouvreJpeg(const QString &chemin)
{
    const int fd = OuvreDescripteurOrdinaire(chemin);
    if (fd < 0)
        return nullptr;
    std::FILE *f = ::fdopen(fd, "rb");
    if (!f)
        ::close(fd);
    return f;
}

// Qt's reader refuses pictures beyond 1 GiB of pixels; so does this one.
constexpr qint64 OCTETS_MAX = qint64(1) << 30;

} // namespace

bool DebutJpeg(const QByteArray &debut)
{
    return debut.size() >= 3 && uchar(debut[0]) == 0xFF && uchar(debut[1]) == 0xD8 && uchar(debut[2]) == 0xFF;
}

std::optional<QImage> DecodeJpeg32(const QString &chemin, EchecJpeg *echec, int reduction)
{
    const auto echoue = [echec](EchecJpeg e) -> std::optional<QImage> {
        if (echec)
            *echec = e;
        return std::nullopt;
    };
#if !defined(JCS_ALPHA_EXTENSIONS)
    (void)chemin;
    (void)reduction;
    return echoue(EchecJpeg::NonPrisEnCharge);
#else
    auto d = std::make_unique<Decodage>();
    d->fichier = ouvreJpeg(chemin);
    if (!d->fichier)
        return echoue(EchecJpeg::Illisible);
    std::array<unsigned char, 3> debut{};
    if (std::fread(debut.data(), 1, 3, d->fichier) != 3
        || !DebutJpeg(QByteArray(reinterpret_cast<const char *>(debut.data()), 3)))
        return echoue(EchecJpeg::PasJpeg);
    std::rewind(d->fichier);

    d->cinfo.err = jpeg_std_error(&d->erreurs.base);
    d->erreurs.base.error_exit = sortieErreur;
    d->erreurs.base.output_message = messageMuet;
    Decodage *const etat = d.get();
    if (setjmp(etat->erreurs.retour))
        return echoue(EchecJpeg::Illisible);
    jpeg_create_decompress(&etat->cinfo);
    etat->cree = true;
    jpeg_stdio_src(&etat->cinfo, etat->fichier);
    jpeg_read_header(&etat->cinfo, TRUE);
    switch (etat->cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        break;
    default:
        return echoue(EchecJpeg::NonPrisEnCharge);
    }
    etat->cinfo.out_color_space = JCS_EXT_BGRA;
    etat->cinfo.scale_num = 1;
    etat->cinfo.scale_denom = (reduction == 2 || reduction == 4 || reduction == 8) ? unsigned(reduction) : 1u;
    jpeg_calc_output_dimensions(&etat->cinfo);
    const JDIMENSION w = etat->cinfo.output_width, h = etat->cinfo.output_height;
    if (w == 0 || h == 0 || w > JDIMENSION(std::numeric_limits<int>::max() / 4)
        || qint64(w) * qint64(h) * 4 > OCTETS_MAX)
        return echoue(EchecJpeg::Illisible);
    etat->image = QImage(int(w), int(h), QImage::Format_ARGB32);
    if (etat->image.isNull())
        return echoue(EchecJpeg::Illisible);
    uchar *const pixels = etat->image.bits();
    const qsizetype pas = etat->image.bytesPerLine();
    jpeg_start_decompress(&etat->cinfo);
    while (etat->cinfo.output_scanline < h) {
        std::array<JSAMPROW, 16> lignes{};
        const JDIMENSION y = etat->cinfo.output_scanline;
        const JDIMENSION n = std::min<JDIMENSION>(JDIMENSION(lignes.size()), h - y);
        for (JDIMENSION i = 0; i < n; ++i)
            lignes[i] = pixels + qsizetype(y + i) * pas;
        if (jpeg_read_scanlines(&etat->cinfo, lignes.data(), n) == 0)
            break;
    }
    // A source that ran dry before the end leaves the rest grey, as libjpeg
    // itself fills missing data.
    for (JDIMENSION y = etat->cinfo.output_scanline; y < h; ++y) {
        auto *l = reinterpret_cast<QRgb *>(pixels + qsizetype(y) * pas);
        std::fill(l, l + w, qRgb(128, 128, 128));
    }
    jpeg_abort_decompress(&etat->cinfo);
    return std::move(etat->image);
#endif
}

namespace {

// What a JPEG's header says: its size and the colour space it is stored in.
struct EnteteJpeg
{
    QSize taille;
    J_COLOR_SPACE espace = JCS_UNKNOWN;
};

// Reads the header only. The jump back from libjpeg's errors lands in this
// frame, which owns every object the decoder touched.
std::optional<EnteteJpeg> LitEnteteJpeg(const QString &chemin)
{
    auto d = std::make_unique<Decodage>();
    d->fichier = ouvreJpeg(chemin);
    if (!d->fichier)
        return std::nullopt;
    d->cinfo.err = jpeg_std_error(&d->erreurs.base);
    d->erreurs.base.error_exit = sortieErreur;
    d->erreurs.base.output_message = messageMuet;
    Decodage *const etat = d.get();
    if (setjmp(etat->erreurs.retour))
        return std::nullopt;
    std::array<unsigned char, 3> debut{};
    if (std::fread(debut.data(), 1, 3, etat->fichier) != 3
        || !DebutJpeg(QByteArray(reinterpret_cast<const char *>(debut.data()), 3)))
        return std::nullopt;
    std::rewind(etat->fichier);
    jpeg_create_decompress(&etat->cinfo);
    etat->cree = true;
    jpeg_stdio_src(&etat->cinfo, etat->fichier);
    jpeg_read_header(&etat->cinfo, TRUE);
    if (etat->cinfo.image_width == 0 || etat->cinfo.image_height == 0
        || etat->cinfo.image_width > JDIMENSION(std::numeric_limits<int>::max())
        || etat->cinfo.image_height > JDIMENSION(std::numeric_limits<int>::max()))
        return std::nullopt;
    return EnteteJpeg{QSize(int(etat->cinfo.image_width), int(etat->cinfo.image_height)),
                      etat->cinfo.jpeg_color_space};
}

} // namespace

std::optional<QSize> TailleJpeg(const QString &chemin)
{
#if !defined(JCS_ALPHA_EXTENSIONS)
    (void)chemin;
    return std::nullopt;
#else
    const auto entete = LitEnteteJpeg(chemin);
    if (!entete)
        return std::nullopt;
    switch (entete->espace) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        return entete->taille;
    default:
        return std::nullopt;
    }
#endif
}

std::optional<EspaceJpeg> EspaceCouleurJpeg(const QString &chemin)
{
    const auto entete = LitEnteteJpeg(chemin);
    if (!entete)
        return std::nullopt;
    switch (entete->espace) {
    case JCS_GRAYSCALE: return EspaceJpeg::Gris;
    case JCS_YCbCr: return EspaceJpeg::YCbCr;
    case JCS_RGB: return EspaceJpeg::RGB;
    case JCS_CMYK: return EspaceJpeg::CMYK;
    case JCS_YCCK: return EspaceJpeg::YCCK;
    default: return EspaceJpeg::Autre;
    }
}

int ReductionPour(QSize taille, QSize minimum)
{
    for (int r : {8, 4, 2}) {
        const int w = (taille.width() + r - 1) / r, h = (taille.height() + r - 1) / r;
        if (w >= minimum.width() && h >= minimum.height())
            return r;
    }
    return 1;
}
