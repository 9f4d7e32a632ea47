#include "apercu/apparence_principale.h"
#include "ui/apparence_fenetre.h"
#include "ui/charge_image_res.h"
#include "ui/utiles_indep.h"
#include "tests/support/pixels.h"

#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The HLS scale written out again from its definition, to check the derived
// colours without going through the program's own conversion.
double arrondiPair(double v)
{
    return std::nearbyint(v);
}

int teinteOracle(int r, int g, int b)
{
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    if (mx == mn)
        return 160;
    const double d = mx - mn;
    auto dc = [&](int c) { return ((mx - c) * 40.0 + d / 2) / d; };
    double h;
    if (r == mx)
        h = dc(b) - dc(g);
    else if (g == mx)
        h = 80 + dc(r) - dc(b);
    else
        h = 160 + dc(g) - dc(r);
    if (h < 0)
        h += 240;
    if (h > 240)
        h -= 240;
    return int(arrondiPair(h));
}

TColor hlsOracle(int h, int l, int s)
{
    const double m2 = l <= 120 ? (l * (240 + s) + 120) / 240.0 : l + s - (l * s + 120) / 240.0;
    const double m1 = 2.0 * l - m2;
    auto v = [&](double x) {
        if (x < 0)
            x += 240;
        if (x > 240)
            x -= 240;
        double y;
        if (x < 40)
            y = m1 + ((m2 - m1) * x + 20) / 40;
        else if (x < 120)
            y = m2;
        else if (x < 160)
            y = m1 + ((m2 - m1) * (160 - x) + 20) / 40;
        else
            y = m1;
        return int(arrondiPair(y));
    };
    auto canal = [](int vv) {
        const double c = (vv * 255.0 + 120) / 240;
        return c > 255 ? 255 : int(arrondiPair(c));
    };
    return TColor::fromRgb(canal(v(h + 80)), canal(v(h)), canal(v(h - 80)));
}

// The colour c at opacity alpha over the tile's light grey.
QRgb surGris(TColor c, int alpha)
{
    auto m = [alpha](int v) { return (v * alpha + 220 * (255 - alpha) + 127) / 255; };
    return qRgb(m(c.red()), m(c.green()), m(c.blue()));
}

int gris(TColor c)
{
    return (77 * c.red() + 150 * c.green() + 29 * c.blue()) >> 8;
}

const CouleursSystemeFenetre kSysteme = {TColor::fromRgb(10, 36, 106), TColor::fromRgb(212, 208, 200),
                                         TColor::fromRgb(250, 250, 250), TColor::fromRgb(49, 106, 197)};

} // namespace

TEST(CouleursDerivees, GreysGiveTheFixedTriple)
{
    const CouleursDerivees attendu{TColor::fromValue(0x000000), TColor::fromValue(0xECECEC),
                                   TColor::fromValue(0x8C8C8C)};
    for (uint32_t gris : {0x808080u, 0x000000u, 0xFFFFFFu, 0x010101u, 0xC0C0C0u})
        EXPECT_EQ(CalculeCouleursFond(TColor::fromValue(gris)), attendu) << std::hex << gris;
}

TEST(CouleursDerivees, FollowTheFormColoursHue)
{
    const TColor formes[] = {TColor::fromRgb(46, 151, 227), TColor::fromRgb(18, 87, 177),
                             TColor::fromRgb(255, 0, 0),    TColor::fromRgb(255, 0, 1),
                             TColor::fromRgb(200, 40, 10),  TColor::fromRgb(30, 180, 90),
                             TColor::fromRgb(128, 128, 129), TColor::fromRgb(250, 240, 10)};
    for (TColor f : formes) {
        const int h = teinteOracle(f.red(), f.green(), f.blue());
        const CouleursDerivees d = CalculeCouleursFond(f);
        EXPECT_EQ(d.c0, hlsOracle(h, 60, 240)) << std::hex << f.value();
        EXPECT_EQ(d.c1, hlsOracle(h, 238, 160)) << std::hex << f.value();
        EXPECT_EQ(d.c2, hlsOracle(h, 120, 160)) << std::hex << f.value();
        // A deep shade, a middle tone and a very light tint.
        EXPECT_LT(gris(d.c0), gris(d.c2));
        EXPECT_LT(gris(d.c2), gris(d.c1));
    }
    // (46, 151, 227) has hue 137: c2 is HLS (137, 120, 160).
    EXPECT_EQ(teinteOracle(46, 151, 227), 137);
}

TEST(Degrade, TileSizeAndBandOpacities)
{
    const TColor c = TColor::fromRgb(20, 60, 210);
    const QImage tuile = DessineDegrade(c, 42, 48);
    ASSERT_EQ(tuile.size(), QSize(42, 48));
    for (int y = 0; y < tuile.height(); ++y)
        for (int x = 0; x < tuile.width(); ++x) {
            ASSERT_EQ(qAlpha(tuile.pixel(x, y)), 255) << x << "," << y;
            // Horizontal bands: every row is one colour.
            ASSERT_TRUE(testenv::proche(tuile.pixel(x, y), tuile.pixel(0, y), 1)) << x << "," << y;
        }
    // Top: the colour at opacity 50 on the grey; just above the bottom band
    // (upper half of the second band) about 200; the bottom fades again.
    EXPECT_TRUE(testenv::proche(tuile.pixel(0, 0), surGris(c, 52), 6));
    EXPECT_TRUE(testenv::proche(tuile.pixel(0, 40), surGris(c, 205), 8));
    EXPECT_GT(qRed(tuile.pixel(0, 0)), qRed(tuile.pixel(0, 20)));  // alpha rises in the first band
    EXPECT_GT(qRed(tuile.pixel(0, 47)), qRed(tuile.pixel(0, 44))); // and falls at the bottom
    // Another size keeps the same proportions.
    EXPECT_EQ(DessineDegrade(c, 30, 90).size(), QSize(30, 90));
    EXPECT_TRUE(DessineDegrade(c, 0, 48).isNull());
}

TEST(BoutonsOutils, TagsAndPictures)
{
    EXPECT_EQ(TagBoutonOutil(QStringLiteral("LireTskTBtn")), 0);
    EXPECT_EQ(TagBoutonOutil(QStringLiteral("CreerTBtn")), 3);
    EXPECT_EQ(TagBoutonOutil(QStringLiteral("QuitterTBtn")), 12);
    EXPECT_EQ(TagBoutonOutil(QStringLiteral("AproposBtn")), -1);
    EXPECT_EQ(ImageBoutonOutil(3, true), QStringLiteral("ecriretsk.png"));
    EXPECT_EQ(ImageBoutonOutil(3, false), QStringLiteral("ecriretskgris.png"));
    EXPECT_EQ(ImageBoutonOutil(0, false), QString());
    EXPECT_EQ(ImageBoutonOutil(13, true), QString());
    // Every picture a button can show is embedded, 42 x 42.
    for (int tag = 0; tag <= TagBoutonOutilMax; ++tag)
        for (bool actif : {true, false}) {
            const QString nom = ImageBoutonOutil(tag, actif);
            if (nom.isEmpty())
                continue;
            EXPECT_EQ(ChargeImageRes(nom).size(), QSize(42, 42)) << nom.toStdString();
        }
    EXPECT_EQ(ChargeImageRes(QStringLiteral("interdit.png")).size(), QSize(16, 16));
}

TEST(BoutonsOutils, DisabledButtonsShowTheirGreyPictureAndTheMark)
{
    const auto images = ChargeImagesBoutons();
    const QImage interdit = ChargeImageRes(QStringLiteral("interdit.png"));
    const JeuBouton a{}, b{};

    // Tag 0 has no grey picture: only the mark.
    QImage c(51, 48, QImage::Format_ARGB32);
    c.fill(Qt::transparent);
    ASSERT_TRUE(DessineBoutonOutil(c, 0, false, false, a, b, false, images));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 51; ++x) {
            if (QRect(30, 28, 16, 16).contains(x, y))
                ASSERT_EQ(c.pixel(x, y), interdit.pixel(x - 30, y - 28)) << x << "," << y;
            else
                ASSERT_EQ(qAlpha(c.pixel(x, y)), 0) << x << "," << y;
        }

    // Tag 3 shows its grey picture at (4, 3).
    const QImage grise = ChargeImageRes(QStringLiteral("ecriretskgris.png"));
    c.fill(Qt::transparent);
    ASSERT_TRUE(DessineBoutonOutil(c, 3, false, false, a, b, false, images));
    int egaux = 0, compares = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 42; ++x)
            if (qAlpha(grise.pixel(x, y)) == 255) {
                ++compares;
                egaux += c.pixel(x + 4, y + 3) == grise.pixel(x, y);
            }
    ASSERT_GT(compares, 50);
    EXPECT_EQ(egaux, compares);

    // A tag beyond 12 is left to the default drawing.
    c.fill(Qt::transparent);
    EXPECT_FALSE(DessineBoutonOutil(c, 13, true, true, a, b, false, images));
    EXPECT_EQ(qAlpha(c.pixel(25, 24)), 0);
}

TEST(BoutonsOutils, HotButtonsUseTheSystemSetInTheUniformLook)
{
    const auto images = ChargeImagesBoutons();
    const JeuBouton a{TColor::fromRgb(200, 0, 0), TColor::fromRgb(230, 30, 30), TColor::fromRgb(255, 60, 60)};
    const JeuBouton b{TColor::fromRgb(0, 0, 200), TColor::fromRgb(30, 30, 230), TColor::fromRgb(60, 60, 255)};
    auto dessine = [&](bool uniforme) {
        QImage c(51, 48, QImage::Format_ARGB32);
        c.fill(Qt::transparent);
        DessineBoutonOutil(c, 9, true, true, a, b, uniforme, images);
        return c.pixel(47, 24); // inside the shape, right of the picture
    };
    const QRgb uni = dessine(true), couleurs = dessine(false);
    EXPECT_EQ(qAlpha(uni), 255);
    EXPECT_GT(qRed(uni), qBlue(uni) + 100);
    EXPECT_GT(qBlue(couleurs), qRed(couleurs) + 100);
    // Not hot: no shape.
    QImage c(51, 48, QImage::Format_ARGB32);
    c.fill(Qt::transparent);
    DessineBoutonOutil(c, 9, true, false, a, b, false, images);
    EXPECT_EQ(qAlpha(c.pixel(47, 24)), 0);
}

TEST(AppliqueApparence, SetsTheToolBarTileTheButtonsAndTheChoices)
{
    QMainWindow fenetre;
    auto *barre = new QToolBar(&fenetre);
    barre->setObjectName(QStringLiteral("ToolBar1"));
    fenetre.addToolBar(barre);
    auto *creer = new QToolButton(barre);
    creer->setObjectName(QStringLiteral("CreerTBtn"));
    barre->addWidget(creer);
    auto *autre = new QToolButton(barre);
    autre->setObjectName(QStringLiteral("AproposBtn"));
    barre->addWidget(autre);
    auto *centre = new QWidget(&fenetre);
    auto *gradient = new QLabel(centre);
    gradient->setObjectName(QStringLiteral("GradientRG"));
    auto *inv = new QLabel(centre);
    inv->setObjectName(QStringLiteral("InvCoulCB"));
    fenetre.setCentralWidget(centre);
    fenetre.resize(500, 400);

    OptionsOVD options;
    options.CouleurFormInfG = TColor::fromRgb(46, 151, 227);
    ApparenceFenetre apparence;
    AppliqueApparence(&fenetre, options, kSysteme, apparence, QStringLiteral("1.0.0.0"));

    EXPECT_FALSE(apparence.uniforme);
    EXPECT_EQ(apparence.derivees, CalculeCouleursFond(options.CouleurFormInfG));
    EXPECT_EQ(apparence.BmpDegrade, DessineDegrade(apparence.derivees.c0, 42, 48));
    EXPECT_EQ(barre->palette().brush(QPalette::Window).textureImage(), apparence.BmpDegrade);
    EXPECT_TRUE(barre->autoFillBackground());
    EXPECT_EQ(creer->property("tag").toInt(), 3);
    EXPECT_FALSE(autre->property("tag").isValid());
    EXPECT_EQ(creer->size(), QSize(51, 48));
    EXPECT_FALSE(gradient->isHidden());
    EXPECT_FALSE(inv->isHidden());
    // The window is not shown: its background comes with its first paint.
    EXPECT_TRUE(apparence.BmpFond.isNull());
    centre->grab();
    EXPECT_EQ(apparence.BmpFond.size(), centre->size());

    // A disabled tagged button is drawn with its grey picture and the mark.
    creer->setEnabled(false);
    const QImage vu = creer->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage interdit = ChargeImageRes(QStringLiteral("interdit.png"));
    int marque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(interdit.pixel(x, y)) == 255)
                marque += testenv::proche(vu.pixel(30 + x, 28 + y), interdit.pixel(x, y), 2);
    EXPECT_GT(marque, 40);

    // The uniform look: no tile, the choices hidden, the system colours.
    options.CoulFormUni = true;
    AppliqueApparence(&fenetre, options, kSysteme, apparence, QStringLiteral("1.0.0.0"));
    EXPECT_TRUE(apparence.uniforme);
    EXPECT_EQ(barre->palette().brush(QPalette::Window).style(), Qt::SolidPattern);
    EXPECT_EQ(barre->palette().color(QPalette::Window), fenetre.palette().color(QPalette::Window));
    EXPECT_FALSE(barre->autoFillBackground());
    EXPECT_TRUE(gradient->isHidden());
    EXPECT_TRUE(inv->isHidden());

    // And back.
    options.CoulFormUni = false;
    AppliqueApparence(&fenetre, options, kSysteme, apparence, QStringLiteral("1.0.0.0"));
    EXPECT_EQ(barre->palette().brush(QPalette::Window).textureImage(), apparence.BmpDegrade);
    EXPECT_FALSE(gradient->isHidden());
    // One style for the window, whatever the number of calls.
    EXPECT_EQ(fenetre.findChildren<StyleBoutonsOutils *>().size(), 1);
}

namespace {

// A bar that writes on itself, as the chooser's tool bar writes its captions.
class BarreEcrite : public QWidget
{
public:
    using QWidget::QWidget;
    int peintures = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++peintures;
        QPainter(this).fillRect(QRect(10, 5, 20, 10), Qt::red);
    }
};

// How many pixels of `zone` in the grab are those of the tile laid from (0, 0).
int pixelsDeTuile(const QImage &vu, const QImage &tuile, const QRect &zone)
{
    int n = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            n += testenv::proche(vu.pixel(x, y), tuile.pixel(x % tuile.width(), y % tuile.height()), 2);
    return n;
}

} // namespace

TEST(FondCoolBar, TheTileGoesUnderWhatABarPaintsAndInPlaceOfAToolBarsPanel)
{
    const QImage tuile = DessineDegrade(TColor::fromRgb(46, 151, 227), 42, 48).convertToFormat(QImage::Format_RGB32);

    // A bar painting itself: its own drawing over the tile, in both looks.
    BarreEcrite barre;
    barre.resize(120, 48);
    MajFondCoolBar(&barre, tuile, false);
    QImage vu = barre.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(barre.peintures, 0) << "the bar's own painting must run over the tile";
    EXPECT_EQ(vu.pixel(20, 10), qRgb(255, 0, 0));
    EXPECT_EQ(pixelsDeTuile(vu, tuile, QRect(40, 0, 80, 48)), 80 * 48);
    MajFondCoolBar(&barre, tuile, true);
    const int avant = barre.peintures;
    vu = barre.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(barre.peintures, avant);
    EXPECT_EQ(vu.pixel(20, 10), qRgb(255, 0, 0));
    EXPECT_LT(pixelsDeTuile(vu, tuile, QRect(40, 0, 80, 48)), 80 * 48 / 2);

    // A plain tool bar of a main window: the tile, not the style's panel
    // (drawn from a picture brush's missing colour, black).
    QMainWindow fenetre;
    auto *outils = new QToolBar(&fenetre);
    fenetre.addToolBar(outils);
    outils->addAction(QStringLiteral("A"));
    fenetre.setCentralWidget(new QWidget(&fenetre));
    fenetre.resize(400, 200);
    MajFondCoolBar(outils, tuile, false);
    const QImage barreVue = outils->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect droite(outils->width() - 60, 0, 60, outils->height());
    EXPECT_GT(pixelsDeTuile(barreVue, tuile, droite), droite.width() * droite.height() * 9 / 10);
}

TEST(EtiquetteRelief, RedWhileCreationIsDisabled)
{
    EXPECT_EQ(CouleurEtiquetteRelief(kSysteme, true), kSysteme[TexteLegendeInactive]);
    EXPECT_EQ(CouleurEtiquetteRelief(kSysteme, false), TColor::fromValue(0x0000FF));

    const QString texte = QStringLiteral("Theme Format ");
    const QImage rouge = DessineEtiquetteRelief(texte, kSysteme[LegendeActive], TColor::fromValue(0x0000FF));
    EXPECT_EQ(rouge.size(), MesureTexte(texte, QStringLiteral("Tahoma"), 12, 0) + QSize(3, 3));
    // The box is the active caption colour; the text leaves red pixels.
    EXPECT_TRUE(testenv::proche(rouge.pixel(rouge.width() - 1, rouge.height() / 2), kSysteme[LegendeActive].toQRgb(), 2));
    int rouges = 0;
    for (int y = 0; y < rouge.height(); ++y)
        for (int x = 0; x < rouge.width(); ++x) {
            const QRgb p = rouge.pixel(x, y);
            rouges += qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 140;
        }
    EXPECT_GT(rouges, 10);
}
