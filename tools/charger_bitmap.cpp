#include "tools/charger_bitmap.h"

#include "theme/fichier_ordinaire.h"
#include "theme/limite_pixels.h"
#include "tools/charger_bitmap_metafichier.h"
#include "tools/decodage_jpeg.h"

#include <QFile>
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
    case ErreurImage::TropGrande:
        return QStringLiteral("The picture is too large: at most %1 million pixels can be opened.")
            .arg(PixelsImageMax / 1000000);
    }
    return {};
}

namespace {

std::optional<QImage> charge(const QString &chemin, ErreurImage *erreur, bool aplatir)
{
    const auto echec = [erreur](ErreurImage e) -> std::optional<QImage> {
        if (erreur)
            *erreur = e;
        return std::nullopt;
    };

    // A plain file only: anything else under the name counts as missing.
    QFile fichier;
    if (!OuvreFichierOrdinaire(fichier, chemin))
        return echec(ErreurImage::Introuvable);

    // Metafiles have no Qt reader: they take their own road, drawn at their
    // own size (within the drawing limits) on a white page, or on nothing
    // when the transparency is kept.
    if (DetecteMetafichier(fichier.peek(88)) != TypeMetafichier::Aucun)
        return ChargeMetafichier(chemin, {}, aplatir ? qRgb(255, 255, 255) : qRgba(0, 0, 0, 0), erreur);

    // JPEG files (photos, mostly) are decoded straight into the final
    // format; the few that path does not take go through Qt's reader below.
    // The size from the header first: a few bytes can claim gigabytes.
    if (const auto taille = TailleJpeg(chemin); taille && ImageTropGrande(*taille))
        return echec(ErreurImage::TropGrande);
    if (auto jpeg = DecodeJpeg32(chemin))
        return jpeg;

    if (QImageReader::allocationLimit() < LIMITE_ALLOCATION_MIO)
        QImageReader::setAllocationLimit(LIMITE_ALLOCATION_MIO);

    QImageReader lecteur(&fichier);
    lecteur.setDecideFormatFromContent(true);
    // The size from the header: a few bytes can claim gigabytes of pixels.
    if (ImageTropGrande(lecteur.size()))
        return echec(ErreurImage::TropGrande);
    QImage image = lecteur.read();
    if (ImageTropGrande(image.size()))
        return echec(ErreurImage::TropGrande);
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

    if (!image.hasAlphaChannel() || !aplatir) {
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

} // namespace

std::optional<QImage> ChargerBitmap32GDIP(const QString &chemin, ErreurImage *erreur)
{
    return charge(chemin, erreur, true);
}

std::optional<QImage> ChargerImage32(const QString &chemin, ErreurImage *erreur)
{
    return charge(chemin, erreur, false);
}
