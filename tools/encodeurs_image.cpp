#include "tools/encodeurs_image.h"

#include "theme/byte_io.h"
#include "theme/ecriture_atomique.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
#include <gif_lib.h>
#include <libexif/exif-data.h>
}

namespace {

// ---- libjpeg error manager ---------------------------------------------------
// libjpeg's own error_exit prints and calls exit(). Ours records the message
// and jumps back to the routine that started the work. The routines between
// setjmp and longjmp hold only plain C data, so no destructor is skipped.

struct GestionErreurJpeg
{
    jpeg_error_mgr base;
    std::jmp_buf retour;
    char message[JMSG_LENGTH_MAX];
    // Written by libjpeg's memory destination; kept out of the jumping frame.
    unsigned char *tampon;
    unsigned long tailleTampon;
};

void sortieErreurJpeg(j_common_ptr cinfo)
{
    auto *g = reinterpret_cast<GestionErreurJpeg *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, g->message);
    std::longjmp(g->retour, 1);
}

void messageJpegMuet(j_common_ptr) {}

void installeGestion(GestionErreurJpeg &g)
{
    jpeg_std_error(&g.base);
    g.base.error_exit = sortieErreurJpeg;
    g.base.output_message = messageJpegMuet;
    g.message[0] = '\0';
    g.tampon = nullptr;
    g.tailleTampon = 0;
}

// Compresses RGB rows; returns a malloc'ed buffer (caller frees) or null with
// the message in g.message.
unsigned char *compresseRgb(GestionErreurJpeg &g, const unsigned char *pixels, int largeur, int hauteur,
                            int pas, int qualite, const unsigned char *app1, unsigned int tailleApp1,
                            unsigned long *taille)
{
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &g.base;
    if (setjmp(g.retour)) {
        jpeg_destroy_compress(&cinfo);
        std::free(g.tampon);
        g.tampon = nullptr;
        return nullptr;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &g.tampon, &g.tailleTampon);
    cinfo.image_width = JDIMENSION(largeur);
    cinfo.image_height = JDIMENSION(hauteur);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, qualite, TRUE);
    if (app1)
        cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    if (app1)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, app1, tailleApp1);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW ligne = const_cast<JSAMPROW>(pixels + std::size_t(cinfo.next_scanline) * std::size_t(pas));
        jpeg_write_scanlines(&cinfo, &ligne, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    *taille = g.tailleTampon;
    unsigned char *sortie = g.tampon;
    g.tampon = nullptr;
    return sortie;
}

// Decodes with quantisation into `indices` (malloc'ed, width x height) and
// `palette` (3 x 256 bytes). Returns false with the message in g.message.
bool decompresseQuantifie(GestionErreurJpeg &g, const unsigned char *donnees, unsigned long taille, int couleurs,
                          unsigned char **indices, int *largeur, int *hauteur, unsigned char palette[3][256],
                          int *nombreCouleurs)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    unsigned char *volatile sortie = nullptr;
    cinfo.err = &g.base;
    if (setjmp(g.retour)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(sortie);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, donnees, taille);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = couleurs;
    jpeg_start_decompress(&cinfo);
    const std::size_t w = cinfo.output_width, h = cinfo.output_height;
    // A JPEG side is at most 65500, so w * h fits in size_t; refuse more
    // than 256 megapixels all the same.
    if (w * h > (std::size_t(1) << 28)) {
        std::strcpy(g.message, "Picture too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    unsigned char *tampon = static_cast<unsigned char *>(std::malloc(w * h > 0 ? w * h : 1));
    if (!tampon) {
        std::strcpy(g.message, "Out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    sortie = tampon;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW ligne = tampon + std::size_t(cinfo.output_scanline) * w;
        jpeg_read_scanlines(&cinfo, &ligne, 1);
    }
    const int n = cinfo.actual_number_of_colors;
    const bool gris = cinfo.out_color_components == 1;
    for (int i = 0; i < n && i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            palette[c][i] = cinfo.colormap[gris ? 0 : c][i];
    *nombreCouleurs = n;
    *largeur = int(w);
    *hauteur = int(h);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    *indices = tampon;
    return true;
}

// ---- GIF ----------------------------------------------------------------------

int ecritGif(GifFileType *gif, const GifByteType *octets, int n)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(octets), n);
    return n;
}

QString texteGif(int code)
{
    const char *t = GifErrorString(code);
    return t ? QString::fromLatin1(t) : QStringLiteral("GIF error %1").arg(code);
}

std::optional<QByteArray> ecritFichierEncode(const QByteArray &octets, const QString &fichier)
{
    if (!EcritFichierAtomique(fichier, octets))
        return std::nullopt;
    return octets;
}

std::optional<QByteArray> ecritQt(const QImage &image, const char *format)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QImageWriter w(&tampon, format);
    if (!w.write(image))
        return std::nullopt;
    return octets;
}

} // namespace

// ---- Texts ----------------------------------------------------------------------

QString ItemTypeSauver(TypeSauver type)
{
    switch (type) {
    case TypeSauver::Jpeg: return QStringLiteral("JPEG");
    case TypeSauver::PngOptimise: return QStringLiteral("PNG (8 bpp)");
    case TypeSauver::BmpOptimise: return QStringLiteral("BMP (8 bpp)");
    case TypeSauver::GifOptimise: return QStringLiteral("GIF Optimized");
    case TypeSauver::GifDemiTons: return QStringLiteral("GIF (1/2 tons)");
    }
    return {};
}

QString DescriptionTypeSauver(TypeSauver type)
{
    switch (type) {
    case TypeSauver::Jpeg: return QStringLiteral("JPEG (24 bits per pixel) depending on chosen quality factor");
    case TypeSauver::PngOptimise: return QStringLiteral("PNG optimized palette (8 bits per pixel)");
    case TypeSauver::BmpOptimise: return QStringLiteral("BMP optimized palette (8 bits per pixel)");
    case TypeSauver::GifOptimise: return QStringLiteral("GIF optimized palette (8 bits per pixel)");
    case TypeSauver::GifDemiTons: return QStringLiteral("GIF Half tone palette (8 bits per pixel)");
    }
    return {};
}

QString HintTypeSauver(TypeSauver type)
{
    return QStringLiteral("Save Image with format ") + DescriptionTypeSauver(type);
}

QString MimeTypeSauver(TypeSauver type)
{
    switch (type) {
    case TypeSauver::Jpeg: return QStringLiteral("image/jpeg");
    case TypeSauver::PngOptimise: return QStringLiteral("image/png");
    case TypeSauver::BmpOptimise: return QStringLiteral("image/bmp");
    case TypeSauver::GifOptimise:
    case TypeSauver::GifDemiTons: return QStringLiteral("image/gif");
    }
    return {};
}

QString TitreTypeSauver()
{
    return QStringLiteral("Save as : ");
}

QString HintQualiteJpeg()
{
    return QStringLiteral("Define Quality compression for JPEG");
}

QString TexteStatutImage(StatutImage statut)
{
    switch (statut) {
    case StatutImage::Ok: return QStringLiteral("Ok");
    case StatutImage::GenericError: return QStringLiteral("The picture could not be encoded.");
    case StatutImage::InvalidParameter: return QStringLiteral("The picture is empty.");
    case StatutImage::OutOfMemory: return QStringLiteral("Not enough memory to encode the picture.");
    case StatutImage::Win32Error: return QStringLiteral("The picture file could not be written.");
    }
    return {};
}

// ---- libjpeg ------------------------------------------------------------------------

std::optional<QByteArray> CompresseJpeg(const QImage &image, int qualite, const QByteArray &app1, QString *erreur)
{
    // libjpeg takes markers up to 65533 bytes.
    if (app1.size() > 65533) {
        if (erreur)
            *erreur = QStringLiteral("EXIF block too large");
        return std::nullopt;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    GestionErreurJpeg g;
    installeGestion(g);
    unsigned long taille = 0;
    unsigned char *sortie = compresseRgb(
        g, rgb.constBits(), rgb.width(), rgb.height(), int(rgb.bytesPerLine()), qBound(1, qualite, 100),
        app1.isEmpty() ? nullptr : reinterpret_cast<const unsigned char *>(app1.constData()),
        unsigned(app1.size()), &taille);
    if (!sortie) {
        if (erreur)
            *erreur = QString::fromLocal8Bit(g.message);
        return std::nullopt;
    }
    QByteArray octets(reinterpret_cast<const char *>(sortie), qsizetype(taille));
    std::free(sortie);
    return octets;
}

std::optional<QImage> DecompresseJpegQuantifie(const QByteArray &jpeg, int couleurs, QString *erreur)
{
    GestionErreurJpeg g;
    installeGestion(g);
    unsigned char *indices = nullptr;
    unsigned char palette[3][256];
    int largeur = 0, hauteur = 0, n = 0;
    if (!decompresseQuantifie(g, reinterpret_cast<const unsigned char *>(jpeg.constData()),
                              static_cast<unsigned long>(jpeg.size()), qBound(2, couleurs, 256), &indices,
                              &largeur, &hauteur, palette, &n)) {
        if (erreur)
            *erreur = QString::fromLocal8Bit(g.message);
        return std::nullopt;
    }
    QImage image(largeur, hauteur, QImage::Format_Indexed8);
    if (image.isNull()) {
        std::free(indices);
        if (erreur)
            *erreur = QStringLiteral("Out of memory");
        return std::nullopt;
    }
    QList<QRgb> table;
    for (int i = 0; i < n; ++i)
        table << qRgb(palette[0][i], palette[1][i], palette[2][i]);
    image.setColorTable(table);
    for (int y = 0; y < hauteur; ++y)
        std::memcpy(image.scanLine(y), indices + std::size_t(y) * std::size_t(largeur), std::size_t(largeur));
    std::free(indices);
    return image;
}

std::optional<QImage> QuantifieImage236(const QImage &image, QString *erreur)
{
    const auto jpeg = CompresseJpeg(image, 100, {}, erreur);
    if (!jpeg)
        return std::nullopt;
    return DecompresseJpegQuantifie(*jpeg, CouleursPaletteOptimisee, erreur);
}

QByteArray BlocExifJpeg(const QDateTime &moment)
{
    ExifData *exif = exif_data_new();
    if (!exif)
        return {};
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifMem *mem = exif_mem_new_default();
    const auto ajoute = [&](ExifTag tag, const QByteArray &texte) {
        ExifEntry *e = exif_entry_new_mem(mem);
        if (!e)
            return;
        const auto n = std::size_t(texte.size()) + 1; // with its NUL
        e->data = static_cast<unsigned char *>(exif_mem_alloc(mem, ExifLong(n)));
        if (e->data) {
            std::memcpy(e->data, texte.constData(), n);
            e->size = unsigned(n);
            e->components = n;
            e->format = EXIF_FORMAT_ASCII;
            e->tag = tag;
            exif_content_add_entry(exif->ifd[EXIF_IFD_0], e);
        }
        exif_entry_unref(e);
    };
    ajoute(EXIF_TAG_DATE_TIME, moment.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1());
    ajoute(EXIF_TAG_SOFTWARE, QByteArray(NomLogicielExif));
    unsigned char *donnees = nullptr;
    unsigned int taille = 0;
    exif_data_save_data(exif, &donnees, &taille);
    QByteArray bloc(reinterpret_cast<const char *>(donnees), int(taille));
    std::free(donnees);
    exif_mem_unref(mem);
    exif_data_unref(exif);
    return bloc;
}

// ---- BMP --------------------------------------------------------------------------

std::optional<QByteArray> EncodeBmp8(const QImage &indexe8, QString *erreur)
{
    const auto echec = [erreur](const QString &texte) -> std::optional<QByteArray> {
        if (erreur)
            *erreur = texte;
        return std::nullopt;
    };
    if (indexe8.format() != QImage::Format_Indexed8 || indexe8.isNull())
        return echec(QStringLiteral("Not an 8-bit picture"));
    const QList<QRgb> table = indexe8.colorTable();
    if (table.isEmpty() || table.size() > 256)
        return echec(QStringLiteral("No colour table"));
    constexpr qint64 TailleEntete = 14, TailleInfo = 40;
    const qint64 largeur = indexe8.width(), hauteur = indexe8.height();
    const qint64 ligne = (largeur + 3) / 4 * 4;
    const qint64 debutPixels = TailleEntete + TailleInfo + 4 * qint64(table.size());
    const qint64 total = debutPixels + ligne * hauteur;
    if (total > qint64(UINT32_MAX) || largeur > INT32_MAX || hauteur > INT32_MAX)
        return echec(QStringLiteral("Picture too large for BMP"));

    ByteWriter w;
    // BITMAPFILEHEADER
    w.bytes("BM");
    w.u32(uint32_t(total));
    w.u16(0);
    w.u16(0);
    w.u32(uint32_t(debutPixels));
    // BITMAPINFOHEADER: positive height, rows stored bottom-up.
    w.u32(uint32_t(TailleInfo));
    w.u32(uint32_t(largeur));
    w.u32(uint32_t(hauteur));
    w.u16(1);  // planes
    w.u16(8);  // bits per pixel
    w.u32(0);  // BI_RGB
    w.u32(uint32_t(ligne * hauteur));
    w.u32(PixelsParMetreBmp);
    w.u32(PixelsParMetreBmp);
    w.u32(uint32_t(table.size())); // colours used
    w.u32(0);                      // all of them important
    for (QRgb c : table) {
        w.u8(uint8_t(qBlue(c)));
        w.u8(uint8_t(qGreen(c)));
        w.u8(uint8_t(qRed(c)));
        w.u8(0);
    }
    const qsizetype bourrage = qsizetype(ligne - largeur);
    for (int y = indexe8.height() - 1; y >= 0; --y) {
        w.bytes(QByteArrayView(reinterpret_cast<const char *>(indexe8.constScanLine(y)), indexe8.width()));
        w.zeros(bourrage);
    }
    return w.take();
}

// ---- GIF --------------------------------------------------------------------------

QList<QRgb> PaletteDemiTons()
{
    QList<QRgb> p;
    p.reserve(256);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p << qRgb(r * 51, g * 51, b * 51);
    static const QRgb vga[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                                 0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    for (QRgb c : vga)
        p << c;
    // 24 greys between the cube's steps (0, 51, ... 255 are already there).
    for (int i = 1; i <= 24; ++i) {
        const int v = i * 255 / 25;
        p << qRgb(v, v, v);
    }
    return p;
}

QImage ReduitDemiTons(const QImage &image)
{
    const QList<QRgb> palette = PaletteDemiTons();
    // The nearest entry of each colour met, remembered: pictures repeat colours.
    QHash<QRgb, uchar> proches;
    const auto proche = [&](QRgb c) {
        c |= 0xFF000000;
        const auto trouve = proches.constFind(c);
        if (trouve != proches.cend())
            return *trouve;
        int meilleur = 0, distance = INT_MAX;
        for (int k = 0; k < palette.size(); ++k) {
            const int dr = qRed(palette[k]) - qRed(c), dg = qGreen(palette[k]) - qGreen(c),
                      db = qBlue(palette[k]) - qBlue(c);
            const int d = dr * dr + dg * dg + db * db;
            if (d < distance) {
                distance = d;
                meilleur = k;
            }
        }
        proches.insert(c, uchar(meilleur));
        return uchar(meilleur);
    };
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage sortie(source.size(), QImage::Format_Indexed8);
    if (sortie.isNull())
        return {};
    sortie.setColorTable(palette);
    for (int y = 0; y < source.height(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        uchar *d = sortie.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
            d[x] = proche(s[x]);
    }
    return sortie;
}

std::optional<QByteArray> EncodeGif(const QImage &indexe8, QString *erreur)
{
    const auto echec = [erreur](const QString &texte) -> std::optional<QByteArray> {
        if (erreur)
            *erreur = texte;
        return std::nullopt;
    };
    if (indexe8.format() != QImage::Format_Indexed8 || indexe8.isNull())
        return echec(QStringLiteral("Not an 8-bit picture"));
    if (indexe8.width() > 65535 || indexe8.height() > 65535)
        return echec(QStringLiteral("Picture too large for GIF"));
    // giflib takes power-of-two colour tables only: pad with black.
    GifColorType couleurs[256] = {};
    const QList<QRgb> table = indexe8.colorTable();
    for (int i = 0; i < table.size() && i < 256; ++i)
        couleurs[i] = {GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])), GifByteType(qBlue(table[i]))};

    QByteArray octets;
    int code = 0;
    GifFileType *gif = EGifOpen(&octets, ecritGif, &code);
    if (!gif)
        return echec(texteGif(code));
    ColorMapObject *carte = GifMakeMapObject(256, couleurs);
    bool ok = carte && EGifPutScreenDesc(gif, indexe8.width(), indexe8.height(), 8, 0, carte) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, indexe8.width(), indexe8.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexe8.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType *>(indexe8.constScanLine(y)), indexe8.width()) == GIF_OK;
    const int codeEcriture = gif->Error;
    GifFreeMapObject(carte);
    int codeFermeture = 0;
    const bool ferme = EGifCloseFile(gif, &codeFermeture) == GIF_OK;
    if (!ok)
        return echec(texteGif(codeEcriture));
    if (!ferme)
        return echec(texteGif(codeFermeture));
    return octets;
}

// ---- The encoder ----------------------------------------------------------------

std::optional<QByteArray> EncodeImageFormat(const QImage &image, int qualite, TypeSauver type,
                                            const QDateTime &moment, StatutImage *statut)
{
    const auto echec = [statut](StatutImage s) -> std::optional<QByteArray> {
        if (statut)
            *statut = s;
        return std::nullopt;
    };
    if (image.isNull())
        return echec(StatutImage::InvalidParameter);

    std::optional<QByteArray> octets;
    switch (type) {
    case TypeSauver::Jpeg:
        octets = CompresseJpeg(image, qualite, BlocExifJpeg(moment));
        break;
    case TypeSauver::PngOptimise:
    case TypeSauver::BmpOptimise:
    case TypeSauver::GifOptimise: {
        const auto indexe = QuantifieImage236(image);
        if (!indexe)
            return echec(StatutImage::GenericError);
        if (type == TypeSauver::PngOptimise)
            octets = ecritQt(*indexe, "png");
        else if (type == TypeSauver::BmpOptimise)
            octets = EncodeBmp8(*indexe); // Qt's writer would drop to 4 bits at 16 colours or fewer
        else
            octets = EncodeGif(*indexe);
        break;
    }
    case TypeSauver::GifDemiTons: {
        const QImage indexe = ReduitDemiTons(image);
        if (indexe.isNull())
            return echec(StatutImage::OutOfMemory);
        octets = EncodeGif(indexe);
        break;
    }
    default:
        return echec(StatutImage::InvalidParameter);
    }
    if (!octets)
        return echec(StatutImage::GenericError);
    if (statut)
        *statut = StatutImage::Ok;
    return octets;
}

StatutImage SauveImageFormat(const QImage &image, const QString &fichier, int qualite, TypeSauver type,
                             const QDateTime &moment)
{
    StatutImage statut = StatutImage::Ok;
    const auto octets = EncodeImageFormat(image, qualite, type, moment, &statut);
    if (!octets)
        return statut;
    if (fichier.isEmpty() || !ecritFichierEncode(*octets, fichier))
        return StatutImage::Win32Error;
    return StatutImage::Ok;
}
