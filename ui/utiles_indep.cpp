#include "ui/utiles_indep.h"

#include "ui/polices.h"
#include "theme/arrondi.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGamma = 2.2;

double croix(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// Position of a point on the ray from the centre: 0 on the outline (the
// farthest crossing of the ray with the outline), 1 at the centre.
double positionSurRayon(const QList<QPolygonF> &polygones, QPointF centre, QPointF point)
{
    const QPointF d = point - centre;
    if (std::hypot(d.x(), d.y()) < 1e-9)
        return 1.0;
    double sMax = -1;
    for (const QPolygonF &poly : polygones) {
        for (qsizetype i = 0; i + 1 < poly.size(); ++i) {
            const QPointF a = poly[i];
            const QPointF ab = poly[i + 1] - a;
            const double denom = croix(d, ab);
            if (std::abs(denom) < 1e-12)
                continue;
            const QPointF ac = a - centre;
            const double s = croix(ac, ab) / denom;
            const double u = croix(ac, d) / denom;
            if (u >= -1e-9 && u <= 1 + 1e-9 && s > sMax)
                sMax = s;
        }
    }
    if (sMax <= 0)
        return 0.0;
    return std::clamp(1.0 - 1.0 / sMax, 0.0, 1.0);
}

double versLineaire(int c)
{
    return std::pow(c / 255.0, kGamma);
}

int depuisLineaire(double v)
{
    return std::clamp(arrondi(std::pow(std::clamp(v, 0.0, 1.0), 1.0 / kGamma) * 255.0), 0, 255);
}

QRgb melangeCouleurs(QRgb contour, QRgb centre, double f, bool gamma)
{
    f = std::clamp(f, 0.0, 1.0);
    auto canal = [&](int a, int b) {
        if (gamma)
            return depuisLineaire(versLineaire(a) * (1 - f) + versLineaire(b) * f);
        return std::clamp(arrondi(a * (1 - f) + b * f), 0, 255);
    };
    const int alpha = std::clamp(arrondi(qAlpha(contour) * (1 - f) + qAlpha(centre) * f), 0, 255);
    return qRgba(canal(qRed(contour), qRed(centre)), canal(qGreen(contour), qGreen(centre)),
                 canal(qBlue(contour), qBlue(centre)), alpha);
}

QList<QPolygonF> polygonesFermes(const QPainterPath &chemin)
{
    QList<QPolygonF> polys = chemin.toFillPolygons();
    for (QPolygonF &p : polys)
        if (!p.isEmpty() && p.first() != p.last())
            p << p.first();
    return polys;
}

QRgb argb(TColor c, int alpha = 255)
{
    return c.toQRgb(std::clamp(alpha, 0, 255));
}

void preparePeintre(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Draws text lines from the top-left of the first line's cell; vertical text
// runs top to bottom with its lines stacked from the right.
void traceLignes(QPainter &p, const QFont &police, const QString &texte, double x, double y, bool vertical)
{
    p.save();
    p.setFont(police);
    const QFontMetricsF fm(police, p.device());
    if (vertical) {
        p.translate(x + fm.height(), y);
        p.rotate(90);
        x = 0;
        y = 0;
    }
    const QStringList lignes = texte.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lignes.size(); ++i)
        p.drawText(QPointF(x, y + fm.ascent() + i * fm.lineSpacing()), lignes[i]);
    p.restore();
}

QFont policePixels(const QString &nom, double taille, int style)
{
    // A path takes the size in pixels: points x 96 / 72.
    QFont police = PoliceImage(nom, taille, style);
    police.setPixelSize(std::max(1, arrondi(taille * 96.0 / 72.0)));
    return police;
}

QPainterPath cheminTexte(const QString &texte, const QFont &police, double x, double y, bool vertical)
{
    const QFontMetricsF fm(police);
    QPainterPath chemin;
    const QStringList lignes = texte.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lignes.size(); ++i)
        chemin.addText(QPointF(0, fm.ascent() + i * fm.lineSpacing()), police, lignes[i]);
    QTransform t;
    if (vertical) {
        t.translate(x + fm.height(), y);
        t.rotate(90);
    } else {
        t.translate(x, y);
    }
    return t.map(chemin);
}

QImage versArgb32(QImage image)
{
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    Fixe96Dpi(image);
    return image;
}

} // namespace

// ---- Path gradients ------------------------------------------------------

double MelangeLineaire(double position)
{
    return std::clamp(position, 0.0, 1.0);
}

double MelangeCloche(double position, double foyer, double echelle)
{
    position = std::clamp(position, 0.0, 1.0);
    foyer = std::clamp(foyer, 0.0, 1.0);
    // Normal-curve flank from 0 at s = 0 to 1 at s = 1.
    auto flanc = [](double s) {
        constexpr double k = 4.0;
        const double bas = std::erf(-k / 2);
        const double haut = std::erf(k / 2);
        return (std::erf(k * (s - 0.5)) - bas) / (haut - bas);
    };
    double v;
    if (position <= foyer)
        v = foyer <= 0 ? 1.0 : flanc(position / foyer);
    else
        v = foyer >= 1 ? 1.0 : flanc((1.0 - position) / (1.0 - foyer));
    return echelle * v;
}

QRgb CouleurDegradeChemin(const QPainterPath &chemin, const DegradeChemin &d, QPointF point)
{
    const double pos = positionSurRayon(polygonesFermes(chemin), d.centre, point);
    const double f = d.melange ? d.melange(pos) : pos;
    return melangeCouleurs(d.couleurContour, d.couleurCentre, f, d.correctionGamma);
}

void RemplitDegradeChemin(QImage &image, const QPainterPath &chemin, const DegradeChemin &d)
{
    const QRect zone = chemin.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & image.rect();
    if (zone.isEmpty())
        return;
    QImage masque(zone.size(), QImage::Format_ARGB32_Premultiplied);
    masque.fill(Qt::transparent);
    {
        QPainter p(&masque);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-zone.topLeft());
        p.fillPath(chemin, Qt::white);
    }
    const QList<QPolygonF> polys = polygonesFermes(chemin);
    QImage calque(zone.size(), QImage::Format_ARGB32);
    calque.fill(Qt::transparent);
    for (int y = 0; y < zone.height(); ++y) {
        const QRgb *m = reinterpret_cast<const QRgb *>(masque.constScanLine(y));
        QRgb *out = reinterpret_cast<QRgb *>(calque.scanLine(y));
        for (int x = 0; x < zone.width(); ++x) {
            const int couverture = qAlpha(m[x]);
            if (couverture == 0)
                continue;
            const QPointF pt(zone.left() + x + 0.5, zone.top() + y + 0.5);
            const double pos = positionSurRayon(polys, d.centre, pt);
            const QRgb c = melangeCouleurs(d.couleurContour, d.couleurCentre, d.melange ? d.melange(pos) : pos,
                                           d.correctionGamma);
            out[x] = qRgba(qRed(c), qGreen(c), qBlue(c), qAlpha(c) * couverture / 255);
        }
    }
    QPainter p(&image);
    p.drawImage(zone.topLeft(), calque);
}

// ---- Shapes --------------------------------------------------------------

namespace {

void remplitEtBorde(QImage &canevas, const QPainterPath &chemin, const JeuBouton &choisi, bool degrade,
                    TColor remplissageUni, QPointF centre)
{
    if (degrade) {
        DegradeChemin d;
        d.centre = centre;
        d.couleurContour = argb(choisi.remplissage);
        d.couleurCentre = argb(choisi.centre);
        d.melange = [](double t) { return MelangeCloche(t, 0.2, 0.9); };
        d.correctionGamma = true;
        RemplitDegradeChemin(canevas, chemin, d);
    } else {
        QPainter p(&canevas);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(chemin, QColor::fromRgba(argb(remplissageUni)));
    }
    QPainter p(&canevas);
    p.setRenderHint(QPainter::Antialiasing);
    // Pixel centres lie on the half pixel: a one-pixel border stays crisp.
    p.translate(0.5, 0.5);
    p.setPen(QPen(QColor::fromRgba(argb(choisi.crayon)), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chemin);
}

} // namespace

void DessineOngletDegrade(QImage &canevas, const QRect &rect, const JeuBouton &a, const JeuBouton &b, bool jeuA,
                          bool degrade)
{
    const int l = rect.left() + 1, t = rect.top() + 1;
    const int r = rect.left() + rect.width() - 1, bas = rect.top() + rect.height() - 1;
    if (r - l - 1 <= 0 || bas - t - 1 <= 0)
        return;
    QPainterPath chemin;
    chemin.addRect(QRectF(l, t, r - l - 1, bas - t - 1));
    const QPointF centre((l + r) / 2.0, t - 3.0 * (bas - t) / 2.0);
    remplitEtBorde(canevas, chemin, jeuA ? a : b, degrade, a.remplissage, centre);
}

void DessineBoutonArrondi(QImage &canevas, const QRect &rect, const JeuBouton &a, const JeuBouton &b, bool jeuA)
{
    const int l = rect.left() + 1, t = rect.top() + 1;
    const int r = rect.left() + rect.width() - 1, bas = rect.top() + rect.height() - 1;
    if (r - l - 1 <= 0 || bas - t - 1 <= 0)
        return;
    const QPainterPath chemin = CheminRectArrondi(l, t, r - l - 1, bas - t - 1, 12);
    const QPointF centre((l + r) / 2.0, t - 3.0 * (bas - t) / 2.0);
    remplitEtBorde(canevas, chemin, jeuA ? a : b, true, a.remplissage, centre);
}

QPainterPath CheminRectArrondi(double x, double y, double w, double h, double r)
{
    // Arcs as the Windows path gives them: angles clockwise from the x axis;
    // Qt turns the other way, hence the negated angles.
    QPainterPath c;
    c.moveTo(x + r, y);
    c.lineTo(x + w - r, y);
    c.arcTo(QRectF(x + w - r, y, r, r), -270, -90);
    c.lineTo(x + w, y + h - r);
    c.arcTo(QRectF(x + w - r, y + h - r, r, r), 0, -90);
    c.lineTo(x + r, y + h);
    c.arcTo(QRectF(x, y + h - r, r, r), -90, -90);
    c.lineTo(x, y + r);
    c.arcTo(QRectF(x, y, r, r), -180, -90);
    c.closeSubpath();
    return c;
}

// ---- Picture effects -------------------------------------------------------

bool FonduReflet(QImage &image, bool montant)
{
    if (image.isNull())
        return true;
    image = versArgb32(image);
    auto ligneNonVide = [&](int y) {
        const QRgb *l = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        return std::any_of(l, l + image.width(), [](QRgb v) { return v != 0; });
    };
    int premiere = -1, derniere = -1;
    for (int y = 0; y < image.height() && premiere < 0; ++y)
        if (ligneNonVide(y))
            premiere = y;
    for (int y = image.height() - 1; y >= 0 && derniere < 0; --y)
        if (ligneNonVide(y))
            derniere = y;
    if (premiere < 0 || derniere < 0 || premiere == derniere)
        return true;
    const double etendue = derniere - premiere;
    for (int y = premiere; y <= derniere; ++y) {
        const double f = montant ? (y - derniere) / etendue + 1.0 : 1.0 - (y - premiere) / etendue;
        QRgb *l = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            l[x] = qRgba(qRed(l[x]), qGreen(l[x]), qBlue(l[x]), std::clamp(arrondi(qAlpha(l[x]) * f), 0, 255));
    }
    return true;
}

QImage InclineImage(const QImage &source, bool penchDroite, int decalage)
{
    const int w = source.width(), h = source.height();
    QImage sortie = NouvelleImage32(w, h);
    if (w < 1 || h < 1)
        return sortie;
    const double s = decalage;
    // The unit square mapped to the parallelogram (upper-left, upper-right,
    // lower-left), then the whole moved left by s / 2.
    const QTransform t = penchDroite ? QTransform(1, 0, -s / h, 1, s - s / 2, 0)
                                     : QTransform(1, 0, s / h, 1, -s / 2, 0);
    QPainter p(&sortie);
    preparePeintre(p);
    p.setTransform(t);
    p.drawImage(0, 0, source);
    return sortie;
}

QImage PerspectiveImage(const QImage &source, bool elargitHaut)
{
    const int w = source.width(), h = source.height();
    if (w < 1 || h < 1)
        return NouvelleImage32(w, h);
    QImage large = NouvelleImage32(w + 2 * h, h);
    {
        QPainter p(&large);
        preparePeintre(p);
        for (int r = 0; r < h; ++r) {
            const QRectF dest = elargitHaut ? QRectF(r + 1, r, w + 2.0 * (h - 1 - r), 1) : QRectF(h - r, r, w + 2.0 * r, 1);
            p.drawImage(dest, source, QRectF(0, r, w, 1));
        }
    }
    QImage sortie = NouvelleImage32(w, h);
    QPainter p(&sortie);
    preparePeintre(p);
    p.drawImage(QRectF(0, 0, w, h), large, QRectF(large.rect()));
    return sortie;
}

// ---- Text ------------------------------------------------------------------

void DessineTexteContour(QImage &image, const QString &texte, const QString &police, double taille, int style,
                         int alpha, TColor couleur, double x, double y, bool vertical)
{
    if (texte.isEmpty() || image.isNull())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgba(argb(couleur, alpha)), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cheminTexte(texte, policePixels(police, taille, style), x, y, vertical));
}

void DessineTexteSimple(QImage &image, const QString &texte, const QString &police, double taille, int style,
                        int alpha, TColor couleur, double x, double y, bool vertical)
{
    if (texte.isEmpty() || image.isNull())
        return;
    QPainter p(&image);
    preparePeintre(p);
    p.setPen(QColor::fromRgba(argb(couleur, alpha)));
    traceLignes(p, PoliceImage(police, taille, style), texte, x, y, vertical);
}

void DessineTexteDegrade(QImage &image, int largeur, int hauteur, const QString &texte, const QString &police,
                         double taille, int style, int alpha1, int alpha2, TColor couleur1, TColor couleur2,
                         double x, double y, int centreX, int centreY, bool vertical, int modeDegrade)
{
    if (texte.isEmpty() || image.isNull())
        return;
    QImage calque = NouvelleImage32(image.width(), image.height());
    const QRgb c1 = argb(couleur1, alpha1), c2 = argb(couleur2, alpha2);
    if (modeDegrade == 4) {
        QPainterPath rect;
        rect.addRect(QRectF(x, y, largeur, hauteur));
        DegradeChemin d;
        d.centre = QPointF(x + arrondi((centreX + 5) / 10.0 * largeur), y + arrondi((centreY + 5) / 10.0 * hauteur));
        d.couleurContour = c1;
        d.couleurCentre = c2;
        RemplitDegradeChemin(calque, rect, d);
    } else {
        QPainter p(&calque);
        if (modeDegrade >= 1 && modeDegrade <= 3) {
            QLinearGradient g;
            if (modeDegrade == 1)
                g = QLinearGradient(x, y, x + largeur, y + hauteur);
            else if (modeDegrade == 2)
                g = QLinearGradient(x, y, x, y + hauteur);
            else
                g = QLinearGradient(x, y + hauteur, x + largeur, y);
            g.setColorAt(0, QColor::fromRgba(c1));
            g.setColorAt(1, QColor::fromRgba(c2));
            g.setSpread(QGradient::RepeatSpread); // the Windows brush tiles
            p.fillRect(calque.rect(), g);
        } else {
            p.fillRect(calque.rect(), QColor::fromRgba(c1));
        }
    }
    QImage masque = NouvelleImage32(image.width(), image.height());
    {
        QPainter p(&masque);
        preparePeintre(p);
        p.setPen(Qt::white);
        traceLignes(p, PoliceImage(police, taille, style), texte, x, y, vertical);
    }
    {
        QPainter p(&calque);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, masque);
    }
    QPainter p(&image);
    p.drawImage(0, 0, calque);
}

void AppliqueFondDegrade(QImage &image, const FondTexte &fond)
{
    const int w = image.width(), h = image.height();
    if (w < 1 || h < 1)
        return;
    QPainterPath forme;
    if (fond.forme == 1)
        forme.addEllipse(QRectF(0, 0, w - 1, h - 1));
    else if (fond.forme == 2)
        forme = CheminRectArrondi(0, 0, w - 1, h - 1, fond.coin);
    else
        forme.addRect(QRectF(0, 0, w, h));

    QImage g = NouvelleImage32(w, h);
    const QRgb c1 = argb(fond.couleur1), c2 = argb(fond.couleur2);
    if (fond.modeDegrade == 4) {
        DegradeChemin d;
        d.centre = QPointF(w / 2.0, h / 2.0);
        d.couleurContour = c1;
        d.couleurCentre = c2;
        RemplitDegradeChemin(g, forme, d);
    } else {
        QLinearGradient lg;
        switch (fond.modeDegrade) {
        case 1: lg = QLinearGradient(0, 0, 0, h); break;
        case 2: lg = QLinearGradient(0, 0, w, h); break;
        case 3: lg = QLinearGradient(w, 0, 0, h); break;
        default: lg = QLinearGradient(0, 0, w, 0); break;
        }
        lg.setColorAt(0, QColor::fromRgba(c1));
        lg.setColorAt(1, QColor::fromRgba(c2));
        QPainter p(&g);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(forme, lg);
    }
    const double opacite = std::clamp(fond.alpha, 0, 255) / 255.0;
    QImage resultat = NouvelleImage32(w, h);
    QPainter p(&resultat);
    if (fond.fonduTout) {
        {
            QPainter pg(&g);
            pg.drawImage(0, 0, image);
        }
        p.setOpacity(opacite);
        p.drawImage(0, 0, g);
    } else {
        p.setOpacity(opacite);
        p.drawImage(0, 0, g);
        p.setOpacity(1.0);
        p.drawImage(0, 0, image);
    }
    p.end();
    image = resultat;
}

namespace {

QImage finitImageTexte(QImage b, int largeur, int hauteur, const ParamsTexteImage &pa)
{
    if (pa.reflet) {
        if (pa.fondu)
            FonduReflet(b, true);
        b = b.mirrored(false, true);
    }
    if (pa.distord && largeur >= 1 && hauteur >= 1) {
        QImage d = pa.typeDistorsion <= 1 ? PerspectiveImage(b, pa.typeDistorsion == 1)
                                          : InclineImage(b, pa.typeDistorsion - 2 == 1, int(pa.taille));
        b = versArgb32(d.copy(0, 0, largeur, hauteur));
    }
    if (!pa.texte.isEmpty() && pa.fond) {
        FondTexte f = pa.fondTexte;
        f.coin = int(pa.taille);
        AppliqueFondDegrade(b, f);
    }
    return b;
}

} // namespace

QImage CreeImageTexteContour(int largeur, int hauteur, const ParamsTexteImage &pa)
{
    QImage b = NouvelleImage32(largeur, hauteur);
    auto dessine = [&](double x, double y, TColor c, int alpha) {
        if (pa.contour)
            DessineTexteContour(b, pa.texte, pa.police, pa.taille, pa.style, alpha, c, x, y, pa.vertical);
        else
            DessineTexteSimple(b, pa.texte, pa.police, pa.taille, pa.style, alpha, c, x, y, pa.vertical);
    };
    const int a = std::clamp(pa.alphaOmbre, 0, 255);
    const int sx = pa.x + pa.ombreDx, sy = pa.y + pa.ombreDy;
    if (a > 0) {
        const struct { int dx, dy, alpha; } copies[8] = {
            {2, 2, a / 4}, {2, 1, a / 2}, {1, 2, a / 2}, {0, 2, a / 4},
            {2, 0, a / 4}, {1, 1, a},     {1, 0, a / 2}, {0, 1, a / 2},
        };
        for (const auto &c : copies)
            if (c.alpha > 0)
                dessine(sx + c.dx, sy + c.dy, pa.couleurOmbre, c.alpha);
    }
    dessine(pa.x, pa.y, pa.couleurTexte, pa.alphaTexte);
    return finitImageTexte(b, largeur, hauteur, pa);
}

QImage CreeImageTexte(int largeur, int hauteur, const ParamsTexteImage &pa)
{
    QImage b = NouvelleImage32(largeur, hauteur);
    DessineTexteDegrade(b, largeur, hauteur, pa.texte, pa.police, pa.taille, pa.style, pa.alphaTexte, pa.alphaOmbre,
                        pa.couleurTexte, pa.couleurOmbre, pa.x, pa.y, pa.centreX, pa.centreY, pa.vertical,
                        pa.modeDegrade);
    return finitImageTexte(b, largeur, hauteur, pa);
}

QSize TailleTexteImage(const QString &texte, const QString &police, double taille, int style, bool modeChemin)
{
    if (modeChemin) {
        const QFont f = policePixels(police, taille, style);
        const QRectF echantillon = cheminTexte(QStringLiteral("gGjJqQfFwW"), f, 0, 0, false).boundingRect();
        const QRectF t = cheminTexte(texte, f, 0, 0, false).boundingRect();
        return QSize(arrondi(t.left() + t.width() + 6 + 2.5), arrondi(echantillon.top() + echantillon.height() + 6 + 0.5));
    }
    const QImage surface = NouvelleImage32(1, 1);
    const QFont f = PoliceImage(police, taille, style);
    const QFontMetricsF fm(f, &surface);
    const QSizeF s = fm.size(0, texte);
    // The descent in points, as the measure of the original takes it.
    const double descente = taille * fm.descent() / (fm.ascent() + fm.descent());
    return QSize(arrondi(s.width()), arrondi(s.height() - descente / 2 + 3 + 0.5));
}

QSize MesureTexte(const QString &texte, const QString &police, double taille, int style)
{
    const QImage surface = NouvelleImage32(1, 1);
    const QFontMetricsF fm(PoliceImage(police, taille, style), &surface);
    const QSizeF s = fm.size(0, texte);
    return QSize(arrondi(s.width()), arrondi(s.height()));
}

void DessineTexteOmbre(QImage &image, const QString &texte, const QString &police, double taille, double x, double y,
                       double dx, double dy, TColor couleur1, TColor couleur2, int style, int alpha1, int alpha2)
{
    DessineTexteSimple(image, texte, police, taille, style, alpha1, couleur1, x, y, false);
    DessineTexteSimple(image, texte, police, taille, style, alpha2, couleur2, x + dx, y + dy, false);
}

// ---- Picture descriptions -------------------------------------------------

QString NomFormatImageFr(const QByteArray &formatQt)
{
    const QByteArray f = formatQt.toLower();
    if (f.isEmpty())
        return QStringLiteral("Bitmap créé en mémoire");
    if (f == "bmp" || f == "dib")
        return QStringLiteral("Bitmap");
    if (f == "emf")
        return QStringLiteral("EMF");
    if (f == "wmf")
        return QStringLiteral("WMF");
    if (f == "jpeg" || f == "jpg")
        return QStringLiteral("JPEG");
    if (f == "png")
        return QStringLiteral("PNG");
    if (f == "gif")
        return QStringLiteral("GIF");
    if (f == "tiff" || f == "tif")
        return QStringLiteral("TIFF");
    if (f == "exif")
        return QStringLiteral("EXIF");
    if (f == "ico")
        return QStringLiteral("Icon");
    return {};
}

QString DrapeauxImage(unsigned drapeaux)
{
    QString t;
    if (drapeaux & DrapeauScalable)
        t += QStringLiteral("-Image Scalable");
    if (drapeaux & DrapeauAlpha)
        t += QStringLiteral("-Alpha pixels");
    if (drapeaux & DrapeauTranslucide)
        t += QStringLiteral("-Alpha pixels (<> 0 et <> 255)");
    if (drapeaux & DrapeauPartiellementScalable)
        t += QStringLiteral("-Image partial. Scalable");
    return t;
}

QString EspaceCouleurImage(unsigned drapeaux)
{
    switch (drapeaux & 0x1F0) {
    case DrapeauRGB: return QStringLiteral("RGB");
    case DrapeauCMYK: return QStringLiteral("CMYK");
    case DrapeauGris: return QStringLiteral("GRAY");
    case DrapeauYCBCR: return QStringLiteral("YCBCR");
    case DrapeauYCCK: return QStringLiteral("YCCK");
    default: return {};
    }
}

unsigned DrapeauxDeImage(const QImage &image)
{
    if (image.isNull())
        return 0;
    unsigned d = image.isGrayscale() ? DrapeauGris : DrapeauRGB;
    if (image.hasAlphaChannel()) {
        d |= DrapeauAlpha;
        const QImage a = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < a.height() && !(d & DrapeauTranslucide); ++y) {
            const QRgb *l = reinterpret_cast<const QRgb *>(a.constScanLine(y));
            for (int x = 0; x < a.width(); ++x)
                if (qAlpha(l[x]) != 0 && qAlpha(l[x]) != 255) {
                    d |= DrapeauTranslucide;
                    break;
                }
        }
    }
    return d;
}

void EcritTexteHautGauche(QPainter &p, int x, int y, const QString &texte)
{
    const QFontMetrics fm(p.font(), p.device());
    p.drawText(QPoint(x, y + fm.ascent()), texte);
}
