#include "ui/polices.h"
#include "ui/fonctions_indep.h"
#include "ui/utiles_indep.h"
#include "tools/couleur_contraste.h"
#include "tools/hls.h"
#include "tests/support/pixels.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

int pixelsOpaques(const QImage &img, int y)
{
    int n = 0;
    for (int x = 0; x < img.width(); ++x)
        n += qAlpha(img.pixel(x, y)) > 0;
    return n;
}

bool contientCouleur(const QImage &img, QRect zone, QRgb couleur)
{
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            if ((img.pixel(x, y) | 0xFF000000u) == (couleur | 0xFF000000u) && qAlpha(img.pixel(x, y)) == 255)
                return true;
    return false;
}

const TColor kRouge = TColor::fromRgb(200, 40, 10);
const TColor kBleu = TColor::fromRgb(20, 60, 210);
const TColor kVert = TColor::fromRgb(30, 180, 90);

} // namespace

TEST(RectProportionnel, FitsWithoutEnlargingAndCentres)
{
    EXPECT_EQ(RectProportionnel(100, 50, 240, 268), QRect(70, 109, 100, 50));
    EXPECT_EQ(RectProportionnel(480, 240, 240, 268), QRect(0, 74, 240, 120));
    EXPECT_EQ(RectProportionnel(0, 300, 240, 268), QRect(0, 0, 240, 268));
    EXPECT_EQ(RectProportionnel(480, 536, 240, 268), QRect(0, 0, 240, 268));
    // Portrait too wide for the box after the height fit.
    EXPECT_EQ(RectProportionnel(300, 400, 100, 100), QRect(12, 0, 75, 100));
}

TEST(UtilesIndep, RoundedPathKeepsItsBoxAndRoundsItsCorners)
{
    const QPainterPath c = CheminRectArrondi(10, 20, 100, 50, 12);
    const QRectF b = c.boundingRect();
    EXPECT_NEAR(b.left(), 10, 1e-6);
    EXPECT_NEAR(b.top(), 20, 1e-6);
    EXPECT_NEAR(b.width(), 100, 1e-6);
    EXPECT_NEAR(b.height(), 50, 1e-6);
    EXPECT_TRUE(c.contains(QPointF(60, 45)));
    EXPECT_FALSE(c.contains(QPointF(10.5, 20.5))); // the corner is cut
    EXPECT_TRUE(c.contains(QPointF(60, 20.5)));    // the straight edge is not
}

TEST(UtilesIndep, PathGradientRunsFromOutlineToCentreAndBellPeaksAtFocus)
{
    QPainterPath carre;
    carre.addRect(0, 0, 100, 100);
    DegradeChemin d;
    d.centre = QPointF(50, 50);
    d.couleurContour = kRouge.toQRgb();
    d.couleurCentre = kBleu.toQRgb();
    EXPECT_EQ(CouleurDegradeChemin(carre, d, QPointF(50, 50)), kBleu.toQRgb());
    EXPECT_EQ(CouleurDegradeChemin(carre, d, QPointF(100, 50)), kRouge.toQRgb());
    EXPECT_TRUE(testenv::proche(CouleurDegradeChemin(carre, d, QPointF(75, 50)), qRgb(110, 50, 110), 1));

    EXPECT_DOUBLE_EQ(MelangeCloche(0, 0.2, 0.9), 0.0);
    EXPECT_NEAR(MelangeCloche(1, 0.2, 0.9), 0.0, 1e-12);
    EXPECT_NEAR(MelangeCloche(0.2, 0.2, 0.9), 0.9, 1e-12);
    EXPECT_LT(MelangeCloche(0.1, 0.2, 0.9), 0.9);
    EXPECT_LT(MelangeCloche(0.6, 0.2, 0.9), MelangeCloche(0.3, 0.2, 0.9));
}

TEST(UtilesIndep, TabWithoutGradientPaintsFillAAndTheChosenPen)
{
    QImage img = NouvelleImage32(40, 30);
    const JeuBouton a{kRouge, kVert, kBleu};
    const JeuBouton b{kBleu, kRouge, kVert};
    DessineOngletDegrade(img, QRect(0, 0, 40, 30), a, b, false, false);
    EXPECT_EQ(img.pixel(20, 15), kVert.toQRgb()); // fill A although B is chosen
    EXPECT_EQ(img.pixel(20, 1), kBleu.toQRgb());  // border: pen of set B
    EXPECT_EQ(img.pixel(1, 15), kBleu.toQRgb());
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0); // the one-pixel margin stays empty
}

TEST(UtilesIndep, RoundedButtonGradientIsSymmetricAndEndsOnTheSurround)
{
    QImage img = NouvelleImage32(61, 40);
    const JeuBouton a{kRouge, kVert, kBleu};
    DessineBoutonArrondi(img, img.rect(), a, JeuBouton{}, true);
    for (int y = 5; y < 35; y += 5)
        for (int x = 8; x < 28; x += 4)
            EXPECT_TRUE(testenv::proche(img.pixel(x, y), img.pixel(59 - x, y), 2)) << x << "," << y;
    // Next to the bottom outline the bell is back near 0: the surround colour.
    EXPECT_TRUE(testenv::proche(img.pixel(30, 36), kVert.toQRgb(), 25));
    // Further in, the centre colour shows.
    EXPECT_GT(qBlue(img.pixel(30, 22)), qBlue(kVert.toQRgb()) + 40);
    EXPECT_EQ(img.pixel(30, 1), kRouge.toQRgb()); // border in pen A
}

TEST(UtilesIndep, ReflectionFadeRunsBetweenTheFirstAndLastRows)
{
    QImage img = NouvelleImage32(4, 12);
    for (int y = 2; y <= 9; ++y)
        for (int x = 0; x < 4; ++x)
            img.setPixel(x, y, qRgba(10, 20, 30, 200));
    QImage montant = img;
    ASSERT_TRUE(FonduReflet(montant, true));
    EXPECT_EQ(qAlpha(montant.pixel(1, 2)), 0);
    EXPECT_EQ(qAlpha(montant.pixel(1, 9)), 200);
    EXPECT_EQ(qAlpha(montant.pixel(1, 0)), 0);
    QImage descendant = img;
    FonduReflet(descendant, false);
    EXPECT_EQ(qAlpha(descendant.pixel(1, 2)), 200);
    EXPECT_EQ(qAlpha(descendant.pixel(1, 9)), 0);
    EXPECT_EQ(qAlpha(descendant.pixel(1, 5)), 114); // 200 x (1 - 3/7)

    QImage uneLigne = NouvelleImage32(4, 4);
    uneLigne.setPixel(1, 2, qRgba(1, 2, 3, 90));
    FonduReflet(uneLigne, true);
    EXPECT_EQ(qAlpha(uneLigne.pixel(1, 2)), 90);
}

TEST(UtilesIndep, SlantMovesTheTopAgainstTheBottom)
{
    QImage src = NouvelleImage32(60, 40);
    for (int y = 0; y < 40; ++y)
        src.setPixel(30, y, qRgba(0, 0, 0, 255));
    auto colonne = [](const QImage &img, int y) {
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 100)
                return x;
        return -1;
    };
    const QImage droite = InclineImage(src, true, 20);
    ASSERT_EQ(droite.size(), src.size());
    EXPECT_NEAR(colonne(droite, 0), 40, 1);  // top: 30 + 20 - 10
    EXPECT_NEAR(colonne(droite, 39), 20, 2); // bottom: 30 - 10
    const QImage gauche = InclineImage(src, false, 20);
    EXPECT_NEAR(colonne(gauche, 0), 20, 1);
    EXPECT_NEAR(colonne(gauche, 39), 40, 2);
}

TEST(UtilesIndep, TrapezoidWidensOneEnd)
{
    QImage src = NouvelleImage32(40, 20);
    src.fill(qRgba(0, 0, 0, 255));
    const QImage bas = PerspectiveImage(src, false);
    ASSERT_EQ(bas.size(), src.size());
    EXPECT_LT(pixelsOpaques(bas, 0), pixelsOpaques(bas, 19));
    const QImage haut = PerspectiveImage(src, true);
    EXPECT_GT(pixelsOpaques(haut, 0), pixelsOpaques(haut, 19));
}

TEST(UtilesIndep, TextBitmapsShadowAndBackground)
{
    ParamsTexteImage p;
    p.texte = QStringLiteral("Hg");
    p.taille = 20;
    p.style = StyleGras;
    p.x = 4;
    p.y = 2;
    p.couleurTexte = kRouge;
    p.couleurOmbre = kBleu;
    p.alphaOmbre = 0;
    const QImage seul = CreeImageTexteContour(60, 40, p);
    QImage attendu = NouvelleImage32(60, 40);
    DessineTexteSimple(attendu, p.texte, p.police, p.taille, p.style, 255, kRouge, 4, 2, false);
    EXPECT_EQ(seul, attendu);
    EXPECT_TRUE(contientCouleur(seul, seul.rect(), kRouge.toQRgb()));

    p.alphaOmbre = 255;
    p.ombreDx = 3;
    p.ombreDy = 3;
    const QImage ombre = CreeImageTexteContour(60, 40, p);
    EXPECT_TRUE(contientCouleur(ombre, ombre.rect(), kBleu.toQRgb()));

    ParamsTexteImage vide = p;
    vide.texte.clear();
    vide.fond = true;
    const QImage rien = CreeImageTexteContour(30, 20, vide);
    EXPECT_EQ(rien.size(), QSize(30, 20));
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(pixelsOpaques(rien, y), 0);

    p.fond = true;
    p.fondTexte.couleur1 = kVert;
    p.fondTexte.couleur2 = kBleu;
    p.fondTexte.modeDegrade = 0;
    p.fondTexte.alpha = 128;
    const QImage avecFond = CreeImageTexteContour(60, 40, p);
    EXPECT_TRUE(testenv::proche(avecFond.pixel(0, 39), kVert.toQRgb(), 8));
    EXPECT_NEAR(qAlpha(avecFond.pixel(0, 39)), 128, 1);
    EXPECT_TRUE(contientCouleur(avecFond, avecFond.rect(), kRouge.toQRgb())); // text keeps full alpha

    p.fondTexte.fonduTout = true;
    const QImage toutFondu = CreeImageTexteContour(60, 40, p);
    int maxAlpha = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            maxAlpha = std::max(maxAlpha, qAlpha(toutFondu.pixel(x, y)));
    EXPECT_LE(maxAlpha, 129);
}

TEST(UtilesIndep, GradientTextGoesFromColourOneToColourTwo)
{
    QImage img = NouvelleImage32(120, 60);
    DessineTexteDegrade(img, 120, 60, QStringLiteral("IIIIII"), QStringLiteral("Tahoma"), 30, StyleGras, 255, 255,
                        kRouge, kBleu, 0, 0, 0, 0, false, 2);
    int haut = -1, bas = -1;
    for (int y = 0; y < 60 && haut < 0; ++y)
        if (pixelsOpaques(img, y))
            haut = y;
    for (int y = 59; y >= 0 && bas < 0; --y)
        if (pixelsOpaques(img, y))
            bas = y;
    ASSERT_LT(haut, bas);
    auto premier = [&](int y) {
        for (int x = 0; x < 120; ++x)
            if (qAlpha(img.pixel(x, y)) == 255)
                return img.pixel(x, y);
        return QRgb(0);
    };
    EXPECT_GT(qRed(premier(haut + 2)), qRed(premier(bas - 2)));
    EXPECT_LT(qBlue(premier(haut + 2)), qBlue(premier(bas - 2)));
}

TEST(UtilesIndep, TextSizes)
{
    const QSize a = TailleTexteImage(QStringLiteral("a"), QStringLiteral("Tahoma"), 12, 0, true);
    const QSize b = TailleTexteImage(QStringLiteral("aaaaaaaa"), QStringLiteral("Tahoma"), 12, 0, true);
    EXPECT_EQ(a.height(), b.height()); // the height allows for any letter
    EXPECT_GT(b.width(), a.width());
    EXPECT_GT(a.height(), 12);
    const QSize m = MesureTexte(QStringLiteral("Theme Format "), QStringLiteral("Tahoma"), 12, 0);
    EXPECT_GT(m.width(), 60);
    EXPECT_GE(m.height(), 14);
    // Pictures are 96 dpi whatever the screen.
    const QImage surface = NouvelleImage32(1, 1);
    EXPECT_EQ(surface.logicalDpiY(), 96);
    EXPECT_LE(QFontMetrics(PoliceHauteurCellule(QStringLiteral("Courrier New"), 14), &surface).height(), 14);
}

TEST(UtilesIndep, ShadowedTextDrawsSecondColourOverFirst)
{
    QImage img = NouvelleImage32(80, 40);
    DessineTexteOmbre(img, QStringLiteral("M"), QStringLiteral("Tahoma"), 20, 2, 2, 4, 0, kRouge, kBleu, StyleGras, 255,
                      255);
    EXPECT_TRUE(contientCouleur(img, img.rect(), kRouge.toQRgb()));
    EXPECT_TRUE(contientCouleur(img, img.rect(), kBleu.toQRgb()));
}

TEST(UtilesIndep, ContrastingColourHues)
{
    const TColor h40 = ColorHLSToRGB(40, 120, 240);
    EXPECT_NEAR(ColorRGBToHLS(CouleurContraste(h40, h40)).teinte, 160, 1);
    const TColor h0 = ColorHLSToRGB(0, 120, 240);
    const TColor h200 = ColorHLSToRGB(200, 120, 240);
    const CouleurHLS r = ColorRGBToHLS(CouleurContraste(h0, h200));
    EXPECT_NEAR(r.teinte, 100, 1);
    EXPECT_NEAR(r.luminance, 180, 1);
    EXPECT_NEAR(r.saturation, 120, 2);
}

TEST(UtilesIndep, PictureDescriptions)
{
    EXPECT_EQ(NomFormatImageFr("png"), QStringLiteral("PNG"));
    EXPECT_EQ(NomFormatImageFr("jpeg"), QStringLiteral("JPEG"));
    EXPECT_EQ(NomFormatImageFr(""), QStringLiteral("Bitmap créé en mémoire"));
    EXPECT_EQ(NomFormatImageFr("xyz"), QString());
    EXPECT_EQ(DrapeauxImage(DrapeauAlpha | DrapeauTranslucide),
              QStringLiteral("-Alpha pixels-Alpha pixels (<> 0 et <> 255)"));
    EXPECT_EQ(EspaceCouleurImage(DrapeauRGB | DrapeauAlpha), QStringLiteral("RGB"));
    EXPECT_EQ(EspaceCouleurImage(DrapeauRGB | DrapeauGris), QString());
    QImage img = NouvelleImage32(2, 2);
    img.setPixel(0, 0, qRgba(1, 2, 3, 100));
    const unsigned d = DrapeauxDeImage(img);
    EXPECT_TRUE(d & DrapeauTranslucide);
    EXPECT_EQ(EspaceCouleurImage(d), QStringLiteral("RGB"));
}

namespace {

// The font as built on the name's whole list, the lookups left to Qt.
QFont policeListeEntiere(const char *nom, double points, int style)
{
    QFont f = PoliceImage(QLatin1String(nom), points, style);
    f.setFamilies(FamillesPolice(QLatin1String(nom)));
    return f;
}

} // namespace

// Picture fonts match the font of the name's whole list: the same family,
// weight, slant and metrics, and the same pixels drawn.
TEST(UtilesIndep, PictureFontsMatchTheirWholeFamilyList)
{
    const QImage surface = NouvelleImage32(1, 1);
    const QString essai = QStringLiteral("Owner 12:05 Wgj \u00e9\u00df\u2022");
    for (const char *nom : {"Tahoma", "tahoma", "Courrier New", "Courier New", "Times New Roman", "Arial",
                            "Liberation Mono", "No Such Font", ""}) {
        for (int style : {0, 1, 2, 3, 12}) {
            SCOPED_TRACE(QStringLiteral("%1 style %2").arg(QLatin1String(nom)).arg(style).toStdString());
            const QFont obtenue = PoliceImage(QLatin1String(nom), 9, style);
            const QFont attendue = policeListeEntiere(nom, 9, style);
            const QFontInfo io(obtenue), ia(attendue);
            EXPECT_EQ(io.family(), ia.family());
            EXPECT_EQ(io.bold(), ia.bold());
            EXPECT_EQ(io.italic(), ia.italic());
            EXPECT_EQ(io.styleName(), ia.styleName());
            EXPECT_EQ(QFontMetrics(obtenue, &surface).horizontalAdvance(essai),
                      QFontMetrics(attendue, &surface).horizontalAdvance(essai));
            QImage a = NouvelleImage32(220, 24), b = NouvelleImage32(220, 24);
            for (auto [img, f] : {std::pair{&a, obtenue}, std::pair{&b, attendue}}) {
                QPainter p(img);
                p.setFont(f);
                p.drawText(2, 17, essai);
            }
            EXPECT_EQ(a, b);
        }
    }
}

// The cell-height font against a plain downward search over every size, for
// each name the program draws with, both weights and the heights around the
// ones in use: the same size, family and widths (so the search's assumption
// that the cell grows with the size is checked on the installed fonts).
TEST(UtilesIndep, CellHeightFontMatchesPlainSearch)
{
    const QImage surface = NouvelleImage32(1, 1);
    const QString essai = QStringLiteral("Theme 09:41 Wgj");
    for (const char *nom : {"Courrier New", "Courier New", "Times New Roman", "Tahoma", "Arial", "No Such Font"}) {
        for (int style : {0, 1}) {
            for (int h = -1; h <= 40; ++h) {
                SCOPED_TRACE(QStringLiteral("%1 style %2 height %3").arg(QLatin1String(nom)).arg(style).arg(h).toStdString());
                QFont attendue = policeListeEntiere(nom, 9, style);
                int px = h;
                for (; px > 1; --px) {
                    attendue.setPixelSize(px);
                    if (QFontMetrics(attendue, &surface).height() <= h)
                        break;
                }
                attendue.setPixelSize(qMax(1, px));
                const QFont obtenue = PoliceHauteurCellule(QLatin1String(nom), h, style);
                ASSERT_EQ(obtenue.pixelSize(), attendue.pixelSize());
                EXPECT_EQ(QFontInfo(obtenue).family(), QFontInfo(attendue).family());
                EXPECT_EQ(QFontInfo(obtenue).bold(), QFontInfo(attendue).bold());
                const QFontMetrics mo(obtenue, &surface), ma(attendue, &surface);
                EXPECT_EQ(mo.height(), ma.height());
                EXPECT_EQ(mo.ascent(), ma.ascent());
                EXPECT_EQ(mo.horizontalAdvance(essai), ma.horizontalAdvance(essai));
                // Asked again, the same font.
                EXPECT_EQ(PoliceHauteurCellule(QLatin1String(nom), h, style), obtenue);
            }
        }
    }
}
