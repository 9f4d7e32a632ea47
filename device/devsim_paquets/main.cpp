// Builds the theme packages that a new simulated device carries, with the
// program's own package writer, into the build tree beside the simulator
// library; "ovd-devsim init" copies them onto the device:
//   Windows/Blue.tsk                the device's current theme (its colours
//                                   and hue are the device's own), setup
//                                   file and setup XML, "Standard" pictures
//   Storage Card/Themes/Green.tsk   setup XML only
//   My Documents/Sunset.tsk         Start pictures only, portrait and
//                                   landscape, setup file only
// Usage: ovd-devsim-paquets OUTPUT_FOLDER

#include "device/simulator/sim_couleurs_defaut.h"
#include "theme/images_package.h"
#include "theme/package_writer.h"
#include "theme/theme_document.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gif_lib.h>

#include <cstdio>
#include <vector>

namespace {

int ecrireOctets(GifFileType *gif, const GifByteType *octets, int n)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(octets), n);
    return n;
}

// A GIF of a vertical gradient from haut to bas, with a lighter band where
// the device draws its Today items (64 shades).
QByteArray degradeGif(int largeur, int hauteur, QRgb haut, QRgb bas, bool bande)
{
    std::vector<GifColorType> palette(64);
    for (int i = 0; i < 64; ++i) {
        const auto mele = [i](int a, int b) { return GifByteType(a + (b - a) * i / 63); };
        palette[size_t(i)] = {mele(qRed(haut), qRed(bas)), mele(qGreen(haut), qGreen(bas)),
                              mele(qBlue(haut), qBlue(bas))};
    }
    QByteArray sortie;
    int err = 0;
    GifFileType *gif = EGifOpen(&sortie, ecrireOctets, &err);
    if (!gif)
        return {};
    ColorMapObject *map = GifMakeMapObject(64, palette.data());
    bool ok = map && EGifPutScreenDesc(gif, largeur, hauteur, 6, 0, map) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, largeur, hauteur, false, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    std::vector<GifPixelType> ligne(static_cast<size_t>(largeur));
    for (int y = 0; ok && y < hauteur; ++y) {
        for (int x = 0; x < largeur; ++x) {
            int k = y * 63 / qMax(1, hauteur - 1);
            if (bande && y > hauteur / 5 && y < hauteur / 5 + 26)
                k = qMax(0, k - 24);
            ligne[size_t(x)] = GifPixelType(k);
        }
        ok = EGifPutLine(gif, ligne.data(), largeur) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &err) == GIF_OK && ok;
    return ok ? sortie : QByteArray();
}

struct Paquet {
    const char *chemin; // on the device, "/" separated
    const char *nom;
    int format;
    bool startSeul;
    OptionSetupPackage option;
    QRgb haut, bas;
    bool couleursAppareil;
};

bool construit(const Paquet &p, const QString &sortie)
{
    QTemporaryDir appli, travail;
    if (!appli.isValid() || !travail.isValid())
        return false;
    ThemeDocument doc;
    doc.setNomTheme(QString::fromLatin1(p.nom));
    doc.setNomInterne(QString::fromLatin1(p.nom));
    doc.setFormatTheme(p.format);
    ParametresWM5 params = doc.parametres();
    params.UseStartImageDefini = p.startSeul;
    params.ValUseStartImage = p.startSeul ? 1 : 0;
    if (p.couleursAppareil) {
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
            for (const auto &c : devsim::kCouleursBleu)
                if (c.numero == JeuCouleurs::NumerosCouleurs[size_t(i)]) {
                    doc.setCouleur(i, TColor::fromRgb(c.r, c.g, c.b));
                    doc.setInclus(i, true);
                }
        params.BaseHueDefini = true;
        params.ValBaseHue = int32_t(devsim::kBaseHueBleu);
        params.ClesThemeDefinies = true;
        doc.setParametres(params);
        doc.setClesTheme({QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537"),
                          QStringLiteral("Color_Highlight\t2E97E300\t\t1"),
                          QStringLiteral("Color_HighlightText\tFFFFFF00\t\t1")});
    } else {
        for (int i = 0; i < 6; ++i) {
            doc.setCouleur(i, TColor::fromRgb(qRed(p.haut), qGreen(p.haut), qBlue(p.haut)));
            doc.setInclus(i, true);
        }
        doc.setParametres(params);
    }
    // The pictures have the sizes of the theme's format (Today, Start; the
    // landscape picture of a pair 320 x 214, or 640 x 428).
    const auto &t = doc.format().TailleImages;
    for (const ImagePackage &im : ImagesPackage(p.format, p.startSeul)) {
        const bool paysage = im.nomImage.contains(QLatin1String("_320_240"))
                             || im.nomImage.contains(QLatin1String("_640_480"));
        const int l = paysage ? (p.format == 5 ? 640 : 320) : im.today ? t[0] : t[2];
        const int h = paysage ? (p.format == 5 ? 428 : 214) : im.today ? t[1] : t[3];
        const QByteArray gif = im.today ? degradeGif(l, h, p.haut, p.bas, true)
                                        : degradeGif(l, h, p.bas, p.haut, false);
        QFile f(appli.filePath(im.nomImage));
        if (gif.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(gif) != gif.size())
            return false;
    }
    ContextePackage ctx;
    ctx.dossierAppli = appli.path();
    ctx.dossierTravail = travail.path();
    ctx.option = p.option;
    if (!GenereTsk(doc, ctx, QString::fromLatin1(p.nom), QString::fromLatin1(p.nom)))
        return false;
    const QString cible = sortie + QLatin1Char('/') + QString::fromUtf8(p.chemin);
    QDir().mkpath(QFileInfo(cible).path());
    QFile::remove(cible);
    return QFile::rename(travail.filePath(QString::fromLatin1(p.nom) + QStringLiteral(".tsk")), cible)
           || QFile::copy(travail.filePath(QString::fromLatin1(p.nom) + QStringLiteral(".tsk")), cible);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString sortie = QString::fromLocal8Bit(argv[1]);
    const Paquet paquets[] = {
        {"Windows/Blue.tsk", "Blue", 1, false, OptionSetupPackage::InfXml, qRgb(0x2E, 0x97, 0xE3),
         qRgb(0x12, 0x57, 0xB1), true},
        {"Storage Card/Themes/Green.tsk", "Green", 1, false, OptionSetupPackage::Xml, qRgb(0x6C, 0xC0, 0x4A),
         qRgb(0x1E, 0x5E, 0x20), false},
        {"My Documents/Sunset.tsk", "Sunset", 4, true, OptionSetupPackage::Inf, qRgb(0xF8, 0xA0, 0x3C),
         qRgb(0x80, 0x20, 0x50), false},
    };
    for (const Paquet &p : paquets)
        if (!construit(p, sortie)) {
            std::fprintf(stderr, "ovd-devsim-paquets: cannot build %s\n", p.chemin);
            return 1;
        }
    return 0;
}
