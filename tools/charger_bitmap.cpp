#include "tools/charger_bitmap.h"

#include "tools/decodage_jpeg.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

// Qt's default limit (128 MiB) refuses photos above about 33 megapixels.
constexpr int LIMITE_ALLOCATION_MIO = 1024;

} // namespace

QString texteErreurImage(ErreurImage erreur)
{
    switch (erreur) {
    case ErreurImage::Introuvable:
        return QStringLiteral("The picture file cannot be opened.");
    case ErreurImage::FormatInconnu:
        return QStringLiteral("The picture format is not recognised.");
    case ErreurImage::Illisible:
        return QStringLiteral("The picture file is damaged or too large to read.");
    }
    return {};
}

std::optional<QImage> ChargerBitmap32GDIP(const QString &chemin, ErreurImage *erreur)
{
    const auto echec = [erreur](ErreurImage e) -> std::optional<QImage> {
        if (erreur)
            *erreur = e;
        return std::nullopt;
    };

    const QFileInfo info(chemin);
    if (chemin.isEmpty() || !info.isFile() || !info.isReadable())
        return echec(ErreurImage::Introuvable);

    // JPEG files (photos, mostly) are decoded straight into the final
    // format; the few that path does not take go through Qt's reader below.
    if (auto jpeg = DecodeJpeg32(chemin))
        return jpeg;

    if (QImageReader::allocationLimit() < LIMITE_ALLOCATION_MIO)
        QImageReader::setAllocationLimit(LIMITE_ALLOCATION_MIO);

    QImageReader lecteur(chemin);
    lecteur.setDecideFormatFromContent(true);
    QImage image = lecteur.read();
    if (image.isNull()) {
        switch (lecteur.error()) {
        case QImageReader::FileNotFoundError:
        case QImageReader::DeviceError:
            return echec(ErreurImage::Introuvable);
        case QImageReader::UnsupportedFormatError:
            return echec(ErreurImage::FormatInconnu);
        default:
            return echec(ErreurImage::Illisible);
        }
    }

    if (!image.hasAlphaChannel()) {
        // In place where the formats allow it: no second copy of a large picture.
        image.convertTo(QImage::Format_ARGB32);
        if (image.isNull() || image.format() != QImage::Format_ARGB32)
            return echec(ErreurImage::Illisible);
        return image;
    }
    QImage resultat(image.size(), QImage::Format_ARGB32);
    if (resultat.isNull())
        return echec(ErreurImage::Illisible);
    resultat.fill(qRgba(0, 0, 0, 255));
    QPainter peintre(&resultat);
    peintre.setCompositionMode(QPainter::CompositionMode_SourceOver);
    peintre.drawImage(0, 0, image);
    peintre.end();
    return resultat;
}
