#include "ui/gif_frames.h"

#include "theme/fichier_ordinaire.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Source
{
    const QByteArray *octets;
    qsizetype pos = 0;
};

int lireSource(GifFileType *gif, GifByteType *tampon, int n)
{
    auto *s = static_cast<Source *>(gif->UserData);
    const qsizetype reste = s->octets->size() - s->pos;
    const int lus = int(std::clamp<qsizetype>(reste, 0, std::max(n, 0)));
    if (lus > 0)
        std::memcpy(tampon, s->octets->constData() + s->pos, size_t(lus));
    s->pos += lus;
    return lus;
}

struct FermeGif
{
    void operator()(GifFileType *g) const
    {
        int err = 0;
        DGifCloseFile(g, &err);
    }
};
using GifPtr = std::unique_ptr<GifFileType, FermeGif>;

ErreurGif erreurDe(int codeGiflib)
{
    switch (codeGiflib) {
    case D_GIF_ERR_NOT_GIF_FILE:
    case D_GIF_ERR_NO_SCRN_DSCR:
        return ErreurGif::PasUnGif;
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_EOF_TOO_SOON:
        return ErreurGif::Tronque;
    case D_GIF_ERR_NO_COLOR_MAP:
        return ErreurGif::SansPalette;
    case D_GIF_ERR_NOT_ENOUGH_MEM:
    case D_GIF_ERR_DATA_TOO_BIG:
        return ErreurGif::TropGrand;
    default:
        return ErreurGif::Defectueux;
    }
}

// The graphic control of the frame that follows it.
struct Controle
{
    bool present = false;
    int disposition = DISPOSAL_UNSPECIFIED;
    int delaiCs = 0;
    int transparente = NO_TRANSPARENT_COLOR;
};

// Reads the index rows of the current frame (gif->Image) in display order.
bool lireIndex(GifFileType *gif, int l, int h, std::vector<GifByteType> &index)
{
    index.assign(size_t(l) * size_t(h), 0);
    auto ligne = [&](int y) { return DGifGetLine(gif, index.data() + size_t(y) * size_t(l), l) == GIF_OK; };
    if (gif->Image.Interlace) {
        static constexpr int debut[] = {0, 4, 2, 1};
        static constexpr int pas[] = {8, 8, 4, 2};
        for (int passe = 0; passe < 4; ++passe)
            for (int y = debut[passe]; y < h; y += pas[passe])
                if (!ligne(y))
                    return false;
    } else {
        for (int y = 0; y < h; ++y)
            if (!ligne(y))
                return false;
    }
    return true;
}

} // namespace

QString texteErreurGif(ErreurGif e)
{
    switch (e) {
    case ErreurGif::Aucune: return {};
    case ErreurGif::PasUnGif: return QStringLiteral("Not a GIF picture");
    case ErreurGif::Tronque: return QStringLiteral("The GIF picture is truncated");
    case ErreurGif::Defectueux: return QStringLiteral("The GIF picture is damaged");
    case ErreurGif::SansPalette: return QStringLiteral("The GIF picture has no colour table");
    case ErreurGif::TropGrand: return QStringLiteral("The GIF picture is too large");
    case ErreurGif::AucuneImage: return QStringLiteral("The GIF picture holds no image");
    }
    return {};
}

bool estGif(const QByteArray &octets)
{
    return octets.startsWith("GIF87a") || octets.startsWith("GIF89a");
}

std::optional<ImagesGif> decodeImagesGif(const QByteArray &octets, ErreurGif *erreur)
{
    auto echec = [erreur](ErreurGif e) -> std::optional<ImagesGif> {
        if (erreur)
            *erreur = e;
        return std::nullopt;
    };
    if (erreur)
        *erreur = ErreurGif::Aucune;
    if (!estGif(octets))
        return echec(ErreurGif::PasUnGif);

    Source source{&octets};
    int codeOuverture = 0;
    GifPtr gif(DGifOpen(&source, lireSource, &codeOuverture));
    // Whatever giflib reports, running out of bytes is a truncated file.
    auto erreurLecture = [&source, &octets](int code) {
        return source.pos >= octets.size() ? ErreurGif::Tronque : erreurDe(code);
    };
    if (!gif)
        return echec(erreurLecture(codeOuverture));

    const int W = gif->SWidth, H = gif->SHeight;
    if (W < 1 || H < 1)
        return echec(ErreurGif::Defectueux);
    if (W > LimitesGif::CoteMax || H > LimitesGif::CoteMax)
        return echec(ErreurGif::TropGrand);

    ImagesGif res;
    res.largeur = W;
    res.hauteur = H;
    QImage ecran(W, H, QImage::Format_ARGB32);
    if (ecran.isNull())
        return echec(ErreurGif::TropGrand);
    ecran.fill(0); // transparent
    qint64 pixelsTotal = 0;
    Controle controle;
    std::vector<GifByteType> index;

    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
            // Some encoders end the file without its trailer: keep the
            // complete frames.
            if (!res.images.isEmpty() && source.pos >= octets.size())
                break;
            return echec(erreurLecture(gif->Error));
        }
        if (type == TERMINATE_RECORD_TYPE)
            break;

        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR)
                return echec(erreurLecture(gif->Error));
            if (code == GRAPHICS_EXT_FUNC_CODE && ext) {
                GraphicsControlBlock gcb{};
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) {
                    controle.present = true;
                    controle.disposition = gcb.DisposalMode;
                    controle.delaiCs = gcb.DelayTime;
                    controle.transparente = gcb.TransparentColor;
                }
            }
            while (ext) {
                if (DGifGetExtensionNext(gif.get(), &ext) == GIF_ERROR)
                    return echec(erreurLecture(gif->Error));
            }
            continue;
        }

        if (type != IMAGE_DESC_RECORD_TYPE)
            return echec(ErreurGif::Defectueux);

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            return echec(erreurLecture(gif->Error));
        const GifImageDesc &desc = gif->Image;
        const int l = desc.Width, h = desc.Height;
        if (l < 1 || h < 1)
            return echec(ErreurGif::Defectueux);
        if (qint64(l) * h > LimitesGif::PixelsImageMax)
            return echec(ErreurGif::TropGrand);
        if (res.images.size() >= LimitesGif::ImagesMax)
            return echec(ErreurGif::TropGrand);
        pixelsTotal += qint64(W) * H;
        if (pixelsTotal > LimitesGif::PixelsTotalMax)
            return echec(ErreurGif::TropGrand);
        const ColorMapObject *palette = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!palette || !palette->Colors)
            return echec(ErreurGif::SansPalette);

        if (!lireIndex(gif.get(), l, h, index))
            return echec(erreurLecture(gif->Error));

        // The part of the frame that lies on the logical screen.
        const QRect zone = QRect(desc.Left, desc.Top, l, h).intersected(QRect(0, 0, W, H));
        QImage avant;
        if (controle.disposition == DISPOSE_PREVIOUS && !zone.isEmpty())
            avant = ecran.copy(zone);
        for (int y = zone.top(); y <= zone.bottom(); ++y) {
            auto *dst = reinterpret_cast<QRgb *>(ecran.scanLine(y));
            const GifByteType *src = index.data() + size_t(y - desc.Top) * size_t(l);
            for (int x = zone.left(); x <= zone.right(); ++x) {
                const int i = src[x - desc.Left];
                if (i == controle.transparente || i >= palette->ColorCount)
                    continue;
                const GifColorType &c = palette->Colors[i];
                dst[x] = qRgb(c.Red, c.Green, c.Blue);
            }
        }
        res.images.append(ecran.copy());
        res.delaisMs.append(controle.delaiCs * 10);
        res.aDelais = res.aDelais || controle.present;

        if (!zone.isEmpty()) {
            if (controle.disposition == DISPOSE_BACKGROUND) {
                for (int y = zone.top(); y <= zone.bottom(); ++y)
                    std::fill_n(reinterpret_cast<QRgb *>(ecran.scanLine(y)) + zone.left(), zone.width(), QRgb(0));
            } else if (controle.disposition == DISPOSE_PREVIOUS) {
                for (int y = 0; y < zone.height(); ++y)
                    std::memcpy(reinterpret_cast<QRgb *>(ecran.scanLine(zone.top() + y)) + zone.left(),
                                avant.constScanLine(y), size_t(zone.width()) * sizeof(QRgb));
            }
        }
        controle = {};
    }

    if (res.images.isEmpty())
        return echec(ErreurGif::AucuneImage);
    return res;
}

std::optional<ImagesAnimees> ChargeImagesAnimees(const QString &fichier, int delaiNulMs, int delaiNonGifMs)
{
    // Larger files are not played: a picture of any folder could be anything.
    constexpr qint64 TailleFichierMax = qint64(64) << 20;
    const auto lu = LitFichierOrdinaire(fichier, TailleFichierMax);
    if (!lu)
        return std::nullopt;
    const QByteArray &octets = *lu;

    ImagesAnimees out;
    if (estGif(octets)) {
        const auto gif = decodeImagesGif(octets);
        if (!gif || !gif->aDelais)
            return std::nullopt;
        out.images = gif->images;
        for (int d : gif->delaisMs)
            out.delaisMs.append(d > 0 ? d : delaiNulMs);
    } else {
        QBuffer tampon;
        tampon.setData(octets);
        tampon.open(QIODevice::ReadOnly);
        QImageReader lecteur(&tampon);
        lecteur.setDecideFormatFromContent(true);
        const int n = std::clamp(lecteur.imageCount(), 1, LimitesGif::ImagesMax);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && !lecteur.jumpToImage(i))
                break;
            const QImage image = lecteur.read();
            if (image.isNull())
                break;
            out.images.append(image);
            out.delaisMs.append(delaiNonGifMs);
        }
    }
    if (out.images.isEmpty())
        return std::nullopt;
    out.delaisMs.resize(out.images.size());
    return out;
}
