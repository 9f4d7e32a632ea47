#pragma once

#include <QImage>
#include <QString>

#include <optional>

// JPEG files decoded by libjpeg straight into the picture's final format:
// 32 bits, bytes B, G, R, A (QImage::Format_ARGB32), opaque, with libjpeg's
// default decoding (accurate integer transform, smooth chroma upsampling),
// so the pixels are those of Qt's JPEG reader. No other copy of the picture
// is made on the way.

enum class EchecJpeg {
    PasJpeg,        // the content does not start like a JPEG file
    NonPrisEnCharge, // a JPEG in colours this path does not convert (CMYK, YCCK)
    Illisible,      // the file cannot be opened or the data is damaged beyond decoding
};

// True when the bytes start like a JPEG file (FF D8 FF).
bool DebutJpeg(const QByteArray &debut);

// Decodes the file, reduced by `reduction` (1, 2, 4 or 8: libjpeg's scaled
// transform, each side rounded up) when asked. Empty on failure, with the
// reason in *echec when given. Truncated data is decoded as far as it goes
// (the rest is grey), as libjpeg does.
std::optional<QImage> DecodeJpeg32(const QString &chemin, EchecJpeg *echec = nullptr, int reduction = 1);

// The picture size a JPEG file's header gives, without decoding; empty when
// the file is not a JPEG this path decodes.
std::optional<QSize> TailleJpeg(const QString &chemin);

// The colour space a JPEG file's header declares (libjpeg's reading of its
// component count and its JFIF / Adobe markers).
enum class EspaceJpeg { Gris, YCbCr, RGB, CMYK, YCCK, Autre };
// Empty when the file cannot be read or is not a JPEG.
std::optional<EspaceJpeg> EspaceCouleurJpeg(const QString &chemin);

// The largest of libjpeg's reductions (1, 2, 4, 8) that keeps a picture of
// `taille` at least `minimum` on both sides.
int ReductionPour(QSize taille, QSize minimum);
