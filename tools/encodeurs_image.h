#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>

// The five encodings of the image chooser's "Save as : " group, in item order.
enum class TypeSauver {
    Jpeg = 0,        // 24 bits, quality factor, EXIF DateTime and Software
    PngOptimise = 1, // 8 bits, optimised palette
    BmpOptimise = 2, // 8 bits, optimised palette
    GifOptimise = 3, // 8 bits, optimised palette
    GifDemiTons = 4, // 8 bits, the fixed half-tone palette
};
constexpr int NombreTypesSauver = 5;

// Item text ("JPEG", "PNG (8 bpp)"...), its description, the hint of its radio
// button ("Save Image with format " + description) and the MIME type.
QString ItemTypeSauver(TypeSauver type);
QString DescriptionTypeSauver(TypeSauver type);
QString HintTypeSauver(TypeSauver type);
QString MimeTypeSauver(TypeSauver type);
// "Save as : " and the quality slider's hint.
QString TitreTypeSauver();
QString HintQualiteJpeg();

// Status of a save, numbered as the imaging library numbers them: 0 is
// success, anything else a failure.
enum class StatutImage {
    Ok = 0,
    GenericError = 1,     // an encoder refused the picture
    InvalidParameter = 2, // empty picture, unknown type
    OutOfMemory = 3,
    Win32Error = 7,       // the file could not be written
};
QString TexteStatutImage(StatutImage statut);

// The product name written as the EXIF Software tag.
inline constexpr char NomLogicielExif[] = "Orvandel";
// Colours of the optimised palettes (the rest of a 256-entry table is padding).
inline constexpr int CouleursPaletteOptimisee = 236;

// Writes a picture (any format; alpha is dropped) to a file in one encoding.
// quality (clamped to 1..100) is used by JPEG only; `moment` is the EXIF
// DateTime of a JPEG (local time). The file is written to a temporary name
// and renamed: on failure an existing file is left as it was.
StatutImage SauveImageFormat(const QImage &image, const QString &fichier, int qualite, TypeSauver type,
                             const QDateTime &moment = QDateTime::currentDateTime());
// The encoded bytes only, without writing anything.
std::optional<QByteArray> EncodeImageFormat(const QImage &image, int qualite, TypeSauver type,
                                            const QDateTime &moment, StatutImage *statut = nullptr);

// ---- libjpeg, with an error manager that reports instead of exiting ---------

// Baseline JPEG at the given quality (IJG defaults otherwise). A non-empty
// `app1` is written as an APP1 marker right after SOI, and then no JFIF
// header is written. Empty with *erreur set when libjpeg reports an error.
std::optional<QByteArray> CompresseJpeg(const QImage &image, int qualite, const QByteArray &app1 = {},
                                        QString *erreur = nullptr);
// Decodes a JPEG with libjpeg's colour quantisation (two passes, Floyd-Steinberg)
// to at most `couleurs` colours: an Indexed8 picture whose colour table holds
// exactly the colours libjpeg chose.
std::optional<QImage> DecompresseJpegQuantifie(const QByteArray &jpeg, int couleurs, QString *erreur = nullptr);
// The optimised palette picture: a quality-100 JPEG round trip, quantised to
// 236 colours.
std::optional<QImage> QuantifieImage236(const QImage &image, QString *erreur = nullptr);

// The EXIF APP1 payload ("Exif\0\0" and a TIFF block) with DateTime (306) as
// "yyyy:mm:dd hh:nn:ss" and Software (305) "Orvandel", both ASCII with their NUL.
QByteArray BlocExifJpeg(const QDateTime &moment);

// ---- BMP -------------------------------------------------------------------

// Resolution written into the BMP header: 96 dots per inch.
inline constexpr int PixelsParMetreBmp = 3780;
// An Indexed8 picture as an uncompressed 8-bit BMP (bottom-up rows, each padded
// to 4 bytes, the colour table holding the picture's own entries): always 8
// bits per pixel, however few colours the picture has.
std::optional<QByteArray> EncodeBmp8(const QImage &indexe8, QString *erreur = nullptr);

// ---- GIF -------------------------------------------------------------------

// The fixed half-tone palette: the 6 x 6 x 6 cube, the 16 VGA colours and 24 greys.
QList<QRgb> PaletteDemiTons();
// The picture mapped to the nearest colour of the half-tone palette.
QImage ReduitDemiTons(const QImage &image);
// An Indexed8 picture as a GIF (global colour table padded to 256 entries).
std::optional<QByteArray> EncodeGif(const QImage &indexe8, QString *erreur = nullptr);
