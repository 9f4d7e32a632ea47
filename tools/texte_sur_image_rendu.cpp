// The lettering of the text tool, apart from its window: the text bitmap, its
// place on the picture, the compositing and the display geometry.

#include "tools/texte_sur_image.h"

#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "theme/arrondi.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

ParamsTexteImage versParamsImage(const ParamsTexte &p)
{
    const OptionsTexteSurImg &o = p.options;
    ParamsTexteImage t;
    t.texte = p.texte;
    t.police = o.police;
    t.taille = o.taille;
    t.style = o.style;
    t.x = 0;
    t.y = 0;
    t.vertical = false; // the bitmap is turned afterwards
    t.couleurTexte = o.couleurLettre;
    t.couleurOmbre = o.couleurOmbre;
    t.alphaTexte = p.alphaLettre;
    t.alphaOmbre = p.alphaOmbre;
    t.ombreDx = o.dx;
    t.ombreDy = o.dy;
    t.centreX = o.dx;
    t.centreY = o.dy;
    t.contour = p.contour && o.modeDegrade == 0;
    t.modeDegrade = o.modeDegrade;
    t.fond = o.fond;
    t.fondTexte.couleur1 = o.couleurFond1;
    t.fondTexte.couleur2 = o.couleurFond2;
    t.fondTexte.modeDegrade = o.degradeFond;
    t.fondTexte.forme = o.formeFond;
    t.fondTexte.fonduTout = p.fonduTout && o.fond;
    t.fondTexte.alpha = p.alphaFond;
    t.distord = p.distord;
    t.typeDistorsion = o.typeDistorsion;
    t.reflet = p.reflet;
    t.fondu = p.fondu && p.reflet;
    return t;
}

// Linear light of an 8-bit channel, gamma 2.2.
const std::array<double, 256> &tableLineaire()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = std::pow(i / 255.0, 2.2);
        return t;
    }();
    return table;
}

int versCanal(double lineaire)
{
    return std::clamp(arrondi(std::pow(std::clamp(lineaire, 0.0, 1.0), 1.0 / 2.2) * 255.0), 0, 255);
}

} // namespace

QSize MesureTexteSurImg(const QString &texte, const OptionsTexteSurImg &o, bool contour)
{
    return TailleTexteImage(texte, o.police, o.taille, o.style, contour && o.modeDegrade == 0);
}

QImage ImageTexteNonTournee(const ParamsTexte &p)
{
    const QSize t = MesureTexteSurImg(p.texte, p.options, p.contour);
    const int w = std::max(1, t.width()), h = std::max(1, t.height());
    if (p.texte.isEmpty())
        return NouvelleImage32(w, h);
    const ParamsTexteImage pi = versParamsImage(p);
    return p.options.modeDegrade == 0 ? CreeImageTexteContour(w, h, pi) : CreeImageTexte(w, h, pi);
}

QImage ImageTexteTournee(const ParamsTexte &p)
{
    QImage t = ImageTexteNonTournee(p);
    const int e = p.options.ecriture;
    if (e >= 1 && e <= 3)
        t = t.transformed(QTransform().rotate(90.0 * e)); // clockwise on a y-down picture, exact
    if (t.format() != QImage::Format_ARGB32)
        t = t.convertToFormat(QImage::Format_ARGB32);
    return t;
}

QPoint PositionTexte(const ParamsTexte &p, QSize tailleTexte)
{
    const bool vertical = p.options.vertical();
    const int longueurTexte = vertical ? tailleTexte.height() : tailleTexte.width();
    int s = 0;
    if (p.options.justification == 1)
        s = arrondi((p.longueur - longueurTexte) / 2.0);
    else if (p.options.justification == 2)
        s = p.longueur - longueurTexte;
    return vertical ? QPoint(p.position, s) : QPoint(s, p.position);
}

void ComposeImage(QImage &cible, const QImage &source, QPoint position, bool gamma)
{
    Q_ASSERT(cible.format() == QImage::Format_ARGB32 && source.format() == QImage::Format_ARGB32);
    const QRect zone = QRect(position, source.size()).intersected(cible.rect());
    if (zone.isEmpty())
        return;
    const auto &lin = tableLineaire();
    for (int y = zone.top(); y <= zone.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y - position.y()));
        auto *d = reinterpret_cast<QRgb *>(cible.scanLine(y));
        for (int x = zone.left(); x <= zone.right(); ++x) {
            const QRgb src = s[x - position.x()];
            const int sa = qAlpha(src);
            if (sa == 0)
                continue;
            const QRgb dst = d[x];
            const int da = qAlpha(dst);
            const double as = sa / 255.0, ad = da / 255.0 * (1.0 - as);
            const double a = as + ad;
            auto canal = [&](int cs, int cd) {
                if (gamma)
                    return versCanal((lin[cs] * as + lin[cd] * ad) / a);
                return std::clamp(arrondi((cs * as + cd * ad) / a), 0, 255);
            };
            d[x] = qRgba(canal(qRed(src), qRed(dst)), canal(qGreen(src), qGreen(dst)), canal(qBlue(src), qBlue(dst)),
                         std::clamp(arrondi(a * 255.0), 0, 255));
        }
    }
}

QImage apply(const QImage &image, const ParamsTexte &p)
{
    QImage resultat = image.convertToFormat(QImage::Format_ARGB32);
    Fixe96Dpi(resultat);
    if (p.texte.isEmpty() || resultat.isNull())
        return resultat;
    const QImage texte = ImageTexteTournee(p);
    ComposeImage(resultat, texte, PositionTexte(p, texte.size()), p.options.gamma);
    return resultat;
}

GeometrieAffichage CalculeGeometrie(QSize image, QSize display, bool paysage, const std::array<int, 8> &tailles,
                                    int hauteurBande)
{
    GeometrieAffichage g;
    const int vw = std::min(paysage ? tailles[6] : tailles[4], image.width());
    const int vh = std::min(paysage ? tailles[7] : tailles[5], image.height());
    g.visible = QSize(std::max(0, vw), std::max(0, vh));
    g.hauteurBande = hauteurBande;
    if (g.visible.isEmpty())
        return g;
    const double echelle = std::min({1.0, double(display.width()) / vw, double(display.height()) / vh});
    const int w = std::max(1, arrondi(vw * echelle)), h = std::max(1, arrondi(vh * echelle));
    g.ajuste = QRect(0, (display.height() - h) / 2, w, h);
    g.ratio = double(w) / vw;
    return g;
}

QRect BandeInitiale(const GeometrieAffichage &g, QSize display, bool vertical)
{
    const int epaisseur = arrondi(g.hauteurBande * g.ratio);
    if (vertical) {
        const int gauche = std::max(0, (g.ajuste.width() - epaisseur) / 2);
        return QRect(gauche, g.ajuste.top(), epaisseur, g.ajuste.height());
    }
    const int bas = g.ajuste.top() + g.ajuste.height();
    const int haut = std::max(g.ajuste.top(), std::min((display.height() - epaisseur) / 2, bas - epaisseur));
    return QRect(0, haut, arrondi(g.visible.width() * g.ratio), epaisseur);
}

int PositionBande(const GeometrieAffichage &g, const QRect &bande, bool vertical)
{
    if (g.ratio <= 0)
        return 0;
    return vertical ? arrondi(bande.left() / g.ratio) : arrondi((bande.top() - g.ajuste.top()) / g.ratio);
}
