#include "tools/drapeaux_fichier_image.h"

#include "theme/fichier_ordinaire.h"
#include "tools/decodage_jpeg.h"
#include "ui/utiles_indep.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

unsigned DrapeauxFichierImage(const QString &chemin)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin))
        return 0;
    const QByteArray debut = f.peek(3);
    if (DebutJpeg(debut)) {
        const auto espace = EspaceCouleurJpeg(chemin);
        if (!espace)
            return 0;
        switch (*espace) {
        case EspaceJpeg::Gris: return DrapeauGris;
        case EspaceJpeg::YCbCr: return DrapeauYCBCR;
        case EspaceJpeg::RGB: return DrapeauRGB;
        case EspaceJpeg::CMYK: return DrapeauCMYK;
        case EspaceJpeg::YCCK: return DrapeauYCCK;
        case EspaceJpeg::Autre: return 0;
        }
        return 0;
    }
    QImageReader lecteur(&f);
    lecteur.setDecideFormatFromContent(true);
    const QImage image = lecteur.read();
    if (image.isNull())
        return 0;
    // A palette is a list of RGB colours, however grey they are.
    const bool gris = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
    unsigned d = gris ? DrapeauGris : DrapeauRGB;
    if (!image.hasAlphaChannel())
        return d;
    d |= DrapeauAlpha;
    const QImage a = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *ligne = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (qAlpha(ligne[x]) != 0 && qAlpha(ligne[x]) != 255)
                return d | DrapeauTranslucide;
    }
    return d;
}
