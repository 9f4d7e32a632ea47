// EMF: libemf2svg turns the records into SVG text, Qt SVG draws that text
// here, inside the converter, at the size asked for. Only pixels leave the
// process, so however much text a file makes, the program receives the
// picture it asked for and nothing more.

#include "tools/metafichier/dessin_metafichier.h"
#include "tools/metafichier/limites_convertisseur.h"
#include "tools/metafichier/taille_emf.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>

#include <cstdlib>

namespace convertisseur {

namespace {

// Text is drawn with Qt's fonts, which need an application object; the
// offscreen platform keeps the converter away from any display.
void application()
{
    static int argc = 1;
    static char nom[] = "ovd-metafichier";
    static char *argv[] = {nom, nullptr};
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    new QGuiApplication(argc, argv); // lives until the process ends
}

} // namespace

bool DessineEmf(std::vector<char> &octets, const Demande &d, Resultat &r)
{
    if (!emf::TailleEmf(reinterpret_cast<const unsigned char *>(octets.data()), octets.size(), r.largeur, r.hauteur))
        return false;
    if (d.largeur == 0 || !TaillePropreValide(r.largeur, r.hauteur))
        return true; // measured only
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char *svg = nullptr;
    std::size_t longueur = 0;
    if (emf2svg(octets.data(), octets.size(), &svg, &longueur, &options) == 0 || !svg || longueur == 0) {
        std::free(svg);
        return false;
    }
    // The file's bytes are no longer needed: room for the SVG tree.
    std::vector<char>().swap(octets);
    application();
    auto *rendu = new QSvgRenderer(QByteArray::fromRawData(svg, qsizetype(longueur)));
    std::free(svg);
    if (!rendu->isValid())
        return false;
    auto *image = new QImage(d.largeur, d.hauteur, QImage::Format_ARGB32_Premultiplied);
    if (image->isNull()) {
        r.memoire = true;
        return false;
    }
    image->fill(QColor::fromRgba(d.fond));
    {
        QPainter peintre(image);
        peintre.setRenderHint(QPainter::Antialiasing);
        peintre.setRenderHint(QPainter::SmoothPixmapTransform);
        peintre.setRenderHint(QPainter::TextAntialiasing);
        // One SVG unit is one pixel of the picture, from (0, 0).
        rendu->setViewBox(QRectF(0, 0, r.largeur, r.hauteur));
        rendu->render(&peintre, QRectF(0, 0, d.largeur, d.hauteur));
    }
    delete rendu;
    image->convertTo(QImage::Format_ARGB32);
    if (image->format() != QImage::Format_ARGB32 || image->bytesPerLine() != qsizetype(d.largeur) * 4) {
        r.memoire = true;
        return false;
    }
    r.pixels = reinterpret_cast<const std::uint32_t *>(image->constBits()); // kept until the process ends
    return true;
}

} // namespace convertisseur
