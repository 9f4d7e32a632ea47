#include "tools/bandes_contexte.h"
#include "tools/chaine_effets.h"
#include "tools/matrice_filtre.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

QImage aleatoire(int w, int h, unsigned graine, bool opaque = true)
{
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 gen(graine);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, opaque ? (gen() | 0xFF000000u) : gen());
    return img;
}

// A smooth picture with some noise: filters that threshold or blur give
// results that differ with the order of the steps.
QImage photo(int w, int h, unsigned graine)
{
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 gen(graine);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255 / w + int(gen() % 20)) % 256, (y * 255 / h) % 256,
                                    (128 + int(gen() % 60)) % 256));
    return img;
}

::testing::AssertionResult memeImage(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") " << std::hex
                                                     << a.pixel(x, y) << " != " << b.pixel(x, y);
    return ::testing::AssertionSuccess();
}

ContexteChaine contexte(const QImage &img)
{
    ContexteChaine c;
    c.imageDansVue = QRect(QPoint(0, 0), img.size());
    c.facteurPicker = 10;
    c.graineExplosion = 4242;
    return c;
}

TEST(ChaineEffets, DefaultsLeaveThePictureAsItIs)
{
    const QImage src = aleatoire(37, 23, 1, false);
    const OptionsEffets defaut;
    EXPECT_TRUE(memeImage(AppliqueChaine(src, defaut, contexte(src)), src));
    EXPECT_FALSE(ChaineLente(defaut));
    // Lighten at 9 and gamma at 10 are no steps at all; the reset values too.
    OptionsEffets o;
    o.KuwaTB = 3;
    o.AleaTB = 7;
    o.TraitsTB = 9;
    o.DiamTb = 20;
    o.TranspTB = 0;
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), src));
    EXPECT_EQ(OptionsEffets().fenetreKuwahara(), 7);
    EXPECT_EQ(OptionsEffets().fenetreExplosion(), 3);
}

TEST(ChaineEffets, StepsRunInTheirFixedOrder)
{
    const QImage src = photo(40, 30, 2);
    OptionsEffets o;
    o.MasqueFlouCB = true;
    o.SepiaCB = true;
    o.TeinteTb = 40;
    o.SaturationTb = 30;
    o.RTB = 70;
    o.BTB = 20;
    o.ContrasteTB = 60;
    o.TramageCB = true;
    o.OptComp = 1;
    o.Panel15 = TColor::fromRgb(200, 0, 50);
    o.Panel12 = TColor::fromRgb(10, 250, 120);
    const QImage resultat = AppliqueChaine(src, o, contexte(src));

    const auto dansLOrdre = [&](const std::vector<int> &ordre) {
        QImage i = src;
        for (int etape : ordre) {
            switch (etape) {
            case 5: Accentuation(i, 3, 2); break;
            case 7: Sepia(i, 40); break;
            case 10: AjusteTSV(i, 40, 30, 0); break;
            case 11: AjusteCanaux(i, 70, 100, 20); break;
            case 12: Contraste(i, 60); break;
            case 13:
                TramageOrdonne2x2(i, true);
                Bicolore(i, o.Panel15, o.Panel12);
                break;
            }
        }
        return i;
    };
    EXPECT_TRUE(memeImage(resultat, dansLOrdre({5, 7, 10, 11, 12, 13})));
    // Each swap of two neighbouring steps gives another picture, so the
    // comparison above does see the order.
    EXPECT_FALSE(resultat == dansLOrdre({7, 5, 10, 11, 12, 13}));
    EXPECT_FALSE(resultat == dansLOrdre({5, 10, 7, 11, 12, 13}));
    EXPECT_FALSE(resultat == dansLOrdre({5, 7, 11, 10, 12, 13}));
    EXPECT_FALSE(resultat == dansLOrdre({5, 7, 10, 12, 11, 13}));
    EXPECT_FALSE(resultat == dansLOrdre({5, 7, 10, 11, 13, 12}));
}

TEST(ChaineEffets, EdgesMosaicAndDitherTakeTheirControls)
{
    const QImage src = photo(33, 27, 3);
    OptionsEffets o;
    o.TraitsCB = true;
    o.TraitsTB = 2;
    o.MedAvantCB = false;
    QImage attendu = src;
    DetectionContours(attendu, 10, TColor::fromRgb(0, 0, 0), false);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), attendu));

    o.ImgPlusCB = true;
    o.MedAvantCB = true;
    attendu = src;
    ContoursCouleur(attendu, 10, TColor::fromRgb(0, 0, 0), true);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), attendu));

    OptionsEffets m;
    m.AppliquerCB = true;
    m.DiamTb = 6;
    m.FormeMotifGrp = MotifLosange;
    m.Panel11 = TColor::fromValue(0x3080F0); // red F0, blue 30
    attendu = src;
    Motif(attendu, 6, qRgb(0xF0, 0x80, 0x30), MotifLosange);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, m, contexte(src)), attendu));

    OptionsEffets t;
    t.TramageCB = true;
    t.OptComp = 0;
    attendu = src;
    TramageFloydSteinberg(attendu, true);
    Bicolore(attendu, t.Panel15, t.Panel12);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, t, contexte(src)), attendu));
    t.OptComp = 2;
    attendu = src;
    TramageOrdonne3x3(attendu, true);
    Bicolore(attendu, t.Panel15, t.Panel12);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, t, contexte(src)), attendu));
}

TEST(ChaineEffets, MirroredMargins)
{
    // 5x5 picture, pixel value = 10·row + column; margin 2.
    QImage img(5, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            img.setPixel(x, y, qRgb(y, x, 7));
    const QImage g = MargeMiroir(img, 2);
    ASSERT_EQ(g.size(), QSize(9, 9));
    const auto ligne = [&](int y) { return qRed(g.pixel(4, y)); };
    const auto colonne = [&](int x) { return qGreen(g.pixel(x, 4)); };
    EXPECT_EQ(ligne(1), 1); // next to the picture: row 1
    EXPECT_EQ(ligne(0), 2); // outermost: row m
    EXPECT_EQ(ligne(7), 3); // next to the picture at the bottom: row h−2
    EXPECT_EQ(ligne(8), 2);
    EXPECT_EQ(colonne(1), 1);
    EXPECT_EQ(colonne(0), 2);
    EXPECT_EQ(colonne(7), 3);
    EXPECT_EQ(colonne(8), 2);
    EXPECT_EQ(g.pixel(0, 0), qRgb(2, 2, 7)); // corners over the full height
    EXPECT_EQ(g.pixel(8, 1), qRgb(1, 2, 7));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(g.pixel(x + 2, y + 2), img.pixel(x, y));

    // Thinner than the margin: indexes are held inside the picture.
    QImage un(1, 1, QImage::Format_ARGB32);
    un.setPixel(0, 0, qRgb(9, 8, 7));
    const QImage g1 = MargeMiroir(un, 3);
    ASSERT_EQ(g1.size(), QSize(7, 7));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(g1.pixel(x, y), qRgb(9, 8, 7));
    const QImage deux = aleatoire(2, 1, 4);
    const QImage g2 = MargeMiroir(deux, 9);
    EXPECT_EQ(g2.size(), QSize(20, 19));
}

TEST(ChaineEffets, ExplosionAndKuwaharaReachTheBorder)
{
    const QImage src = aleatoire(21, 16, 5);
    OptionsEffets o;
    o.ExploseCB = true;
    o.AleaTB = 3;
    const ContexteChaine ctx = contexte(src);
    const QImage resultat = AppliqueChaine(src, o, ctx);

    QImage attendu = MargeMiroir(src, 1);
    Explosion(attendu, 3, ctx.graineExplosion);
    attendu = attendu.copy(1, 1, 21, 16);
    EXPECT_TRUE(memeImage(resultat, attendu));
    int bordChange = 0;
    for (int x = 0; x < 21; ++x)
        bordChange += resultat.pixel(x, 0) != src.pixel(x, 0);
    EXPECT_GT(bordChange, 0);

    OptionsEffets k;
    k.KuwaharaCB = true;
    k.KuwaTB = 0; // window 5
    attendu = MargeMiroir(src, 2);
    FiltreKuwahara(attendu, 5);
    attendu = attendu.copy(2, 2, 21, 16);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, k, ctx), attendu));

    // The largest windows on pictures smaller than the margin.
    k.KuwaTB = 7;
    o.AleaTB = 10;
    for (QSize t : {QSize(2, 1), QSize(1, 1), QSize(3, 40)}) {
        const QImage petit = aleatoire(t.width(), t.height(), 6);
        EXPECT_EQ(AppliqueChaine(petit, k, contexte(petit)).size(), t);
        EXPECT_EQ(AppliqueChaine(petit, o, contexte(petit)).size(), t);
    }
}

TEST(ChaineEffets, ImageAttributeSteps)
{
    const QImage src = aleatoire(31, 9, 7);
    OptionsEffets o;
    o.ClairTB = 0;
    QImage r = AppliqueChaine(src, o, contexte(src));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 31; ++x) {
            const QRgb a = src.pixel(x, y), b = r.pixel(x, y);
            ASSERT_GE(qRed(b), std::min(255, qRed(a) + 114));
            ASSERT_GE(qBlue(b), std::min(255, qBlue(a) + 114));
            ASSERT_EQ(qAlpha(b), qAlpha(a));
        }

    OptionsEffets n;
    n.NegCB = true;
    r = AppliqueChaine(src, n, contexte(src));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 31; ++x) {
            const QRgb a = src.pixel(x, y);
            ASSERT_EQ(r.pixel(x, y), qRgba(255 - qRed(a), 255 - qGreen(a), 255 - qBlue(a), qAlpha(a)));
        }

    OptionsEffets g;
    g.GrisCB = true;
    r = AppliqueChaine(src, g, contexte(src));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 31; ++x) {
            const QRgb p = r.pixel(x, y);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }

    // Gamma: a curve through black and white, darker above 1, lighter below,
    // and monotonic.
    QImage rampe(256, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x)
        rampe.setPixel(x, 0, qRgb(x, x, x));
    for (int gamma : {1, 5, 20, 30}) {
        OptionsEffets o2;
        o2.GammaTB = gamma;
        const QImage c = AppliqueChaine(rampe, o2, contexte(rampe));
        EXPECT_EQ(qRed(c.pixel(0, 0)), 0);
        EXPECT_EQ(qRed(c.pixel(255, 0)), 255);
        for (int x = 1; x < 256; ++x) {
            ASSERT_GE(qRed(c.pixel(x, 0)), qRed(c.pixel(x - 1, 0)));
            if (gamma > 10)
                ASSERT_LE(qRed(c.pixel(x, 0)), x);
            else
                ASSERT_GE(qRed(c.pixel(x, 0)), x);
        }
        EXPECT_NE(qRed(c.pixel(128, 0)), 128);
    }
}

// The one-pixel steps (lighten, image attributes, sepia, HSV, channels,
// contrast) run together in one pass: whatever subset is on, the result is
// the steps' own, one after the other, alpha kept, and the source untouched.
TEST(ChaineEffets, OnePixelStepsTogetherEqualTheStepsInTurn)
{
    const QImage src = aleatoire(29, 13, 12, false);
    const QImage copieSource = src.copy();
    const auto uneApresLautre = [&](const OptionsEffets &o) {
        QImage i = src.copy();
        const auto parTable = [&](const std::function<int(int)> &f) {
            for (int y = 0; y < i.height(); ++y)
                for (int x = 0; x < i.width(); ++x) {
                    const QRgb p = i.pixel(x, y);
                    i.setPixel(x, y, qRgba(f(qRed(p)), f(qGreen(p)), f(qBlue(p)), qAlpha(p)));
                }
        };
        if (o.ClairTB < 9) {
            const int ajout = int(std::nearbyint((9 - o.ClairTB) * 0.05 * 255));
            parTable([&](int v) { return std::min(255, v + ajout); });
        }
        if (o.NegCB || o.GrisCB || o.GammaTB != 10) {
            parTable([&](int v) {
                const int n = o.NegCB ? 255 - v : v;
                return int(std::nearbyint(255.0 * std::pow(n / 255.0, o.GammaTB * 0.1)));
            });
            if (o.GrisCB)
                for (int y = 0; y < i.height(); ++y)
                    for (int x = 0; x < i.width(); ++x) {
                        const QRgb p = i.pixel(x, y);
                        const int m = std::max({qRed(p), qGreen(p), qBlue(p)});
                        i.setPixel(x, y, qRgba(m, m, m, qAlpha(p)));
                    }
        }
        if (o.MasqueFlouCB)
            Accentuation(i, 3, 2);
        if (o.SepiaCB)
            Sepia(i, 40);
        if (o.TeinteTb != 0 || o.SaturationTb != 0 || o.LuminanceTb != 0)
            AjusteTSV(i, o.TeinteTb, o.SaturationTb, o.LuminanceTb);
        if (o.RTB != 100 || o.GTB != 100 || o.BTB != 100)
            AjusteCanaux(i, o.RTB, o.GTB, o.BTB);
        if (o.ContrasteTB != 0)
            Contraste(i, o.ContrasteTB);
        return i;
    };
    std::mt19937 gen(99);
    for (int essai = 0; essai < 200; ++essai) {
        OptionsEffets o;
        const auto tire = [&] { return gen() % 2 == 0; };
        if (tire())
            o.ClairTB = int(gen() % 9);
        o.NegCB = tire();
        o.GrisCB = tire();
        if (tire())
            o.GammaTB = 1 + int(gen() % 30);
        o.MasqueFlouCB = gen() % 4 == 0;
        o.SepiaCB = tire();
        if (tire()) {
            o.TeinteTb = int(gen() % 360);
            o.SaturationTb = int(gen() % 201) - 100;
            o.LuminanceTb = int(gen() % 201) - 100;
        }
        if (tire()) {
            o.RTB = int(gen() % 101);
            o.BTB = int(gen() % 101);
        }
        if (tire())
            o.ContrasteTB = int(gen() % 201) - 100;
        ContexteChaine ctx = contexte(src);
        ctx.fils = 1 + essai % 3;
        const QImage resultat = AppliqueChaine(src, o, ctx);
        ASSERT_TRUE(memeImage(resultat, uneApresLautre(o)))
            << "essai " << essai << " clair " << o.ClairTB << " neg " << o.NegCB << " gris " << o.GrisCB
            << " gamma " << o.GammaTB << " masque " << o.MasqueFlouCB << " sepia " << o.SepiaCB << " tsv "
            << o.TeinteTb << "/" << o.SaturationTb << "/" << o.LuminanceTb << " canaux " << o.RTB << "/"
            << o.BTB << " contraste " << o.ContrasteTB;
    }
    EXPECT_TRUE(memeImage(src, copieSource));
}

TEST(ChaineEffets, BlursUseTheMappedCentresAndZoomValues)
{
    const QImage src = photo(60, 40, 8);
    ContexteChaine ctx = contexte(src);
    // The picture is shown 30 pixels wide at (10, 5) in the view: working
    // pixels are twice the view's.
    ctx.imageDansVue = QRect(10, 5, 30, 20);
    ctx.facteurPicker = 15;
    OptionsEffets o;
    o.FRCB = true;
    o.RayonFRTB = 70;
    o.CenterFlouRImg = QPoint(12, 8); // view (18, 12) → picture (16, 14)
    EXPECT_TRUE(ChaineLente(o));
    EXPECT_EQ(CentreVersImage(o.CenterFlouRImg, 15, QPoint(10, 5), 60, 30), QPoint(16, 14));
    QImage attendu = src;
    FlouRadial(attendu, 70, 16, 14);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, ctx), attendu));

    OptionsEffets z;
    z.ZoomCB = true;
    z.CenterZoomImg = QPoint(20, 10); // view (30, 15) → picture (40, 20)
    const ValeursZoom apercu = ZoomApercu(z, 60, 30);
    EXPECT_EQ(apercu, (ValeursZoom{15, 10, 60})); // Round(10.5) = 10, Round(60.5) = 60
    attendu = src;
    FlouZoom(attendu, 40, 20, apercu.pourcentNet, apercu.avant, apercu.apres, 3.0f);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, z, ctx), attendu));

    // The final build's precomputed values win over the preview's.
    ctx.zoomFinal = ZoomFinal(z, 4000, 2000, 240, 408);
    EXPECT_EQ(*ctx.zoomFinal, (ValeursZoom{30, 3, 18}));
    attendu = src;
    FlouZoom(attendu, 40, 20, 30, 3, 18, 3.0f);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, z, ctx), attendu));
}

TEST(ChaineEffets, CentreMappingRoundsHalvesToEven)
{
    EXPECT_EQ(FacteurPicker(408, 61), 68);
    EXPECT_EQ(CentreVersImage(QPoint(1, 5), 15, QPoint(0, 0), 100, 100), QPoint(2, 8)); // 1.5 → 2, 7.5 → 8
    EXPECT_EQ(CentreVersImage(QPoint(5, 5), 5, QPoint(0, 0), 100, 100), QPoint(2, 2));  // 2.5 → 2
    EXPECT_EQ(CentreVersImage(QPoint(30, 20), 68, QPoint(51, 0), 816, 408), QPoint(306, 272));
    EXPECT_EQ(ZoomApercu(OptionsEffets(), 408, 408), (ValeursZoom{15, 6, 30})); // 5.5 → 6, 30.5 → 30
}

TEST(ChaineEffets, TransparencyAndBackground)
{
    const QImage src = aleatoire(24, 18, 9);
    OptionsEffets o;
    o.TranspCB = true;
    o.TranspTB = 0;
    o.Panel26 = TColor::fromRgb(200, 40, 10);
    o.Panel13 = TColor::fromRgb(5, 60, 230);
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), src));

    o.TranspTB = 100;
    QImage r = AppliqueChaine(src, o, contexte(src));
    QImage plein(src.size(), QImage::Format_ARGB32);
    plein.fill(qRgb(200, 40, 10));
    EXPECT_TRUE(memeImage(r, plein));
    o.InvCoulCB = true;
    plein.fill(qRgb(5, 60, 230));
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), plein));
    o.InvCoulCB = false;

    // Half opacity: between the picture and colour 1.
    o.TranspTB = 50;
    r = AppliqueChaine(src, o, contexte(src));
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 24; ++x) {
            const int a = qRed(src.pixel(x, y)), b = qRed(r.pixel(x, y));
            ASSERT_LE(b, std::max(a, 200));
            ASSERT_GE(b, std::min(a, 200));
            ASSERT_LE(std::abs(b - (a + 200) / 2), 1);
        }

    // Linear gradients from colour 1 to colour 2 with the stated end points.
    o.TranspTB = 100;
    QImage uni(101, 61, QImage::Format_ARGB32);
    uni.fill(qRgb(128, 128, 128));
    const auto proche = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8
               && std::abs(qBlue(a) - qBlue(b)) <= 8;
    };
    const QRgb c1 = qRgb(200, 40, 10), c2 = qRgb(5, 60, 230);
    o.TypeGradient = 1;
    r = AppliqueChaine(uni, o, contexte(uni));
    EXPECT_TRUE(proche(r.pixel(0, 0), c1));
    EXPECT_TRUE(proche(r.pixel(100, 60), c2));
    o.TypeGradient = 2;
    r = AppliqueChaine(uni, o, contexte(uni));
    EXPECT_TRUE(proche(r.pixel(50, 0), c1));
    EXPECT_TRUE(proche(r.pixel(50, 60), c2));
    EXPECT_EQ(r.pixel(0, 30), r.pixel(100, 30));
    o.TypeGradient = 3;
    r = AppliqueChaine(uni, o, contexte(uni));
    EXPECT_TRUE(proche(r.pixel(100, 0), c1));
    EXPECT_TRUE(proche(r.pixel(0, 60), c2));

    // Centred gradient: colour 2 at the mapped centre, towards colour 1 outside.
    o.TypeGradient = 4;
    o.CenterImg = QPoint(30, 20);
    r = AppliqueChaine(uni, o, contexte(uni));
    EXPECT_TRUE(proche(r.pixel(30, 20), c2));
    EXPECT_GT(qRed(r.pixel(100, 60)), qRed(r.pixel(40, 25)));
}

TEST(ChaineEffets, PictureOpacityFollowsTheBackgroundLuminance)
{
    const QImage src = aleatoire(16, 12, 10);
    OptionsEffets o;
    o.TranspCB = true;
    o.ImgTranspCB = true;
    o.TranspTB = 100;
    o.Panel26 = TColor::fromRgb(255, 255, 255); // luminance 255: the picture itself
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), src));
    o.Panel26 = TColor::fromRgb(0, 0, 0); // luminance 0: only colour 1
    QImage noir(src.size(), QImage::Format_ARGB32);
    noir.fill(qRgb(0, 0, 0));
    EXPECT_TRUE(memeImage(AppliqueChaine(src, o, contexte(src)), noir));

    // Centred gradient: yellow (bright) at the centre, blue (dark) around, so
    // a white picture on black shows most at the centre.
    QImage blanc(60, 40, QImage::Format_ARGB32);
    blanc.fill(qRgb(255, 255, 255));
    o.TypeGradient = 4;
    o.CenterImg = QPoint(30, 20);
    const QImage r = AppliqueChaine(blanc, o, contexte(blanc));
    EXPECT_GT(qRed(r.pixel(30, 20)), 200);
    EXPECT_LT(qRed(r.pixel(0, 0)), qRed(r.pixel(30, 20)));
    EXPECT_EQ(qRed(r.pixel(0, 0)), qBlue(r.pixel(0, 0))); // grey: white over black
}

TEST(ChaineEffets, ThreadedChainEqualsSingleThreaded)
{
    const QImage src = photo(57, 43, 11);
    OptionsEffets o;
    o.ExploseCB = true;
    o.KuwaharaCB = true;
    o.ClairTB = 7;
    o.GammaTB = 14;
    o.MasqueFlouCB = true;
    o.FRCB = true;
    o.ZoomCB = true;
    o.CenterFlouRImg = QPoint(10, 20);
    o.CenterZoomImg = QPoint(30, 10);
    o.TeinteTb = 100;
    o.GTB = 60;
    o.ContrasteTB = -30;
    o.AppliquerCB = true;
    o.DiamTb = 5;
    o.TranspCB = true;
    o.TranspTB = 40;
    o.TypeGradient = 1;
    ContexteChaine ctx = contexte(src);
    ctx.fils = 1;
    const QImage un = AppliqueChaine(src, o, ctx);
    EXPECT_FALSE(un == src);
    for (int fils : {2, 5, 16}) {
        ctx.fils = fils;
        EXPECT_TRUE(memeImage(AppliqueChaine(src, o, ctx), un)) << fils;
    }
}


// The margined window steps run strip by strip: on pictures over several
// strips, and on tall ones thinner than the margin in width, they
// give the bytes of the whole margined picture filtered and cropped, with
// any thread count, and a source shared with the caller stays untouched.
TEST(ChaineEffets, MarginedStepsAcrossStrips)
{
    const int s = LIGNES_PAR_BANDE;
    std::mt19937 gen(17);
    // Strips hold at least PIXELS_PAR_BANDE pixels: the widest picture here
    // runs in three strips of the least height, the narrow ones in one.
    const int large = int((PIXELS_PAR_BANDE + s - 1) / s) + 3;
    for (QSize t : {QSize(large, 2 * s + 5), QSize(6, 2 * s + 37), QSize(1, s + 1), QSize(2, 2 * s + 1), QSize(11, s)}) {
        const QImage src = aleatoire(t.width(), t.height(), gen(), false);
        const QImage temoin = src.copy();
        for (int fils : t.width() == large ? std::vector<int>{3} : std::vector<int>{1, 3, 7}) {
            ContexteChaine ctx = contexte(src);
            ctx.fils = fils;
            for (int alea : {3, 4, 10}) {
                OptionsEffets o;
                o.ExploseCB = true;
                o.AleaTB = alea;
                const int m = alea / 2;
                QImage attendu = MargeMiroir(src, m);
                Explosion(attendu, alea, ctx.graineExplosion, 1);
                attendu = attendu.copy(m, m, t.width(), t.height());
                EXPECT_TRUE(memeImage(AppliqueChaine(src, o, ctx), attendu))
                    << t.width() << "x" << t.height() << " explosion " << alea << " threads " << fils;
            }
            for (int kuwa : {0, 1, 7}) {
                OptionsEffets o;
                o.KuwaharaCB = true;
                o.KuwaTB = kuwa;
                const int n = o.fenetreKuwahara(), m = n / 2;
                QImage attendu = MargeMiroir(src, m);
                FiltreKuwahara(attendu, n, 1);
                attendu = attendu.copy(m, m, t.width(), t.height());
                EXPECT_TRUE(memeImage(AppliqueChaine(src, o, ctx), attendu))
                    << t.width() << "x" << t.height() << " kuwahara " << n << " threads " << fils;
            }
        }
        EXPECT_TRUE(memeImage(src, temoin));
    }
}

// A strip's explosion, told where it lies, copies the same pixels as the
// whole picture's on the rows whose window lies inside the strip.
TEST(ChaineEffets, ExplosionOfAStripFollowsTheWholePicture)
{
    const QImage src = aleatoire(17, 40, 3);
    QImage entiere = src;
    Explosion(entiere, 5, 99);
    const int debut = 11, hauteur = 15;
    QImage bande = src.copy(0, debut, 17, hauteur);
    ExplosionBande(bande, 5, 99, debut);
    // Rows debut + 2 .. debut + hauteur − 3 have their whole window in the strip.
    for (int y = 2; y < hauteur - 2; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(bande.pixel(x, y), entiere.pixel(x, y + debut)) << x << "," << y;
    QImage ailleurs = src.copy(0, debut, 17, hauteur);
    ExplosionBande(ailleurs, 5, 99, debut + 1);
    EXPECT_FALSE(ailleurs == bande); // the displacements follow the row
}


// The picture over colour 1 with its alpha from the background's luminance,
// against the straight-alpha formula written out here; the background is
// the one the plain transparency shows at full opacity, for every kind of
// background that does not change its colours with the box.
TEST(ChaineEffets, PictureOverColourOneFollowsTheFormula)
{
    const QImage src = photo(37, 29, 12);
    const auto par = [](QRgb dessous, QRgb dessus, int opacite) {
        const int a = qAlpha(dessus) * opacite / 255, da = qAlpha(dessous);
        const int couverture = a * 255 + da * (255 - a);
        if (couverture == 0)
            return QRgb(0);
        const auto canal = [&](int s, int d) { return (s * a * 255 + d * da * (255 - a) + couverture / 2) / couverture; };
        return qRgba(canal(qRed(dessus), qRed(dessous)), canal(qGreen(dessus), qGreen(dessous)),
                     canal(qBlue(dessus), qBlue(dessous)), (couverture + 127) / 255);
    };
    for (int type : {0, 1, 2, 3, 5, -1}) {
        for (bool inverse : {false, true}) {
            OptionsEffets o;
            o.TranspCB = true;
            o.TypeGradient = type;
            o.InvCoulCB = inverse;
            o.Panel26 = TColor::fromRgb(230, 190, 20);
            o.Panel13 = TColor::fromRgb(10, 70, 140);
            o.TranspTB = 100;
            const QImage fond = AppliqueChaine(src, o, contexte(src));
            o.ImgTranspCB = true;
            for (int pourCent : {100, 63}) {
                o.TranspTB = pourCent;
                const int opacite = (pourCent * 255 + 50) / 100;
                const QRgb c1 = (inverse ? o.Panel13 : o.Panel26).toQRgb();
                const QImage r = AppliqueChaine(src, o, contexte(src));
                for (int y = 0; y < src.height(); ++y)
                    for (int x = 0; x < src.width(); ++x) {
                        const QRgb f = fond.pixel(x, y), p = src.pixel(x, y);
                        const int l = (77 * qRed(f) + 150 * qGreen(f) + 29 * qBlue(f)) >> 8;
                        ASSERT_EQ(r.pixel(x, y), par(c1, qRgba(qRed(p), qGreen(p), qBlue(p), l), opacite))
                            << "type " << type << " inverse " << inverse << " at " << x << "," << y;
                    }
            }
        }
    }
}

} // namespace
