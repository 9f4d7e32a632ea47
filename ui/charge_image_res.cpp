#include "ui/charge_image_res.h"

#include "ui/polices.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

#include <mutex>

// Outside any namespace, as the resource registration needs.
static void enregistreArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

static void initialiseRessources()
{
    // The artwork is compiled into a static library: register it once.
    static std::once_flag once;
    std::call_once(once, enregistreArtwork);
}

QImage ChargeImageRes(const QString &nom)
{
    initialiseRessources();
    QImage image = LitImageFichier(QStringLiteral(":/art/") + nom);
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    Fixe96Dpi(image);
    return image;
}

QIcon IconeRes(const QString &nom)
{
    initialiseRessources();
    const QString chemin = QStringLiteral(":/art/") + nom;
    const QImage image = LitImageFichier(chemin);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QImage LitImageFichier(const QString &chemin)
{
    const QByteArray format = QFileInfo(chemin).suffix().toLower().toLatin1();
    if (!format.isEmpty()) {
        QImageReader lecteur(chemin, format);
        lecteur.setAutoDetectImageFormat(false);
        const QImage image = lecteur.read();
        if (!image.isNull())
            return image;
    }
    return QImage(chemin);
}

QImage AvecCouleurTransparente(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage sortie = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb cle = sortie.pixel(0, sortie.height() - 1) | 0xFF000000u;
    for (int y = 0; y < sortie.height(); ++y) {
        QRgb *l = reinterpret_cast<QRgb *>(sortie.scanLine(y));
        for (int x = 0; x < sortie.width(); ++x)
            if ((l[x] | 0xFF000000u) == cle)
                l[x] = 0;
    }
    return sortie;
}
