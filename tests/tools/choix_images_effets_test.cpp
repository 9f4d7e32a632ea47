#include "tests/tools/choix_images_fixture.h"

#include "tools/choix_images_controles.h"
#include "tools/encodeurs_image.h"
#include "tools/texte_sur_image.h"
#include "ui/apparence_fenetre.h"
#include "ui/charge_image_res.h"
#include "ui/options.h"
#include "tests/support/pixels.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <tuple>

using namespace choixtest;

namespace {

const QString Source = QStringLiteral("effets.png");

QTabWidget *pages(Choix &c)
{
    return c.trouve<QTabWidget>("PageControl1");
}

// Shows page `page` (or none for the sliders beside the pages) and waits
// until `nom` can be reached there.
QWidget *montreSurPage(Choix &c, const char *nom, int page)
{
    QWidget *w = c.trouve<QWidget>(nom);
    if (!w)
        return nullptr;
    if (page >= 0) {
        pages(c)->setCurrentIndex(page);
        EXPECT_TRUE(pages(c)->widget(page)->isAncestorOf(w)) << nom << " is not on page " << page + 1;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, 2000)) << nom << " cannot be seen";
    return w;
}

// Runs an action and waits for the preview it triggers; false when none came.
bool avecApercu(Choix &c, const std::function<void()> &action)
{
    const int avant = c.w->nombreCalculsApercu();
    action();
    return QTest::qWaitFor([&] { return c.w->nombreCalculsApercu() > avant && !c.w->apercuEnAttente(); }, 5000);
}

void cocher(Choix &c, const char *nom)
{
    c.clique(c.trouve<QCheckBox>(nom));
}

void touche(Choix &c, const char *nom, Qt::Key k, int fois = 1)
{
    auto *s = c.trouve<QSlider>(nom);
    for (int i = 0; i < fois; ++i)
        QTest::keyClick(s, k);
}

void bouton(Choix &c, const char *nom)
{
    c.clique(c.trouve<QAbstractButton>(nom));
}

void radio(Choix &c, const char *groupe, int id)
{
    c.clique(c.groupe(groupe)->button(id));
}

void couleur(Choix &c, const char *nom, TColor col)
{
    c.prompts.color(col);
    c.clique(c.trouve<QAbstractButton>(nom));
}

void glisse(Choix &c, const char *nom, QPoint vers)
{
    auto *p = c.trouve<QWidget>(nom);
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(p, vers);
    QTest::mouseRelease(p, Qt::LeftButton, {}, vers);
}

// The context the preview's chain runs with, from what the window shows.
ContexteChaine contexteVue(const QRect &dansVue)
{
    ContexteChaine ctx;
    ctx.imageDansVue = dansVue;
    ctx.facteurPicker = FacteurPicker(LargeurVueChoix, LargeurPicker);
    ctx.graineExplosion = 1;
    return ctx;
}

// The saved picture computed directly: the frame's part of the source,
// resampled to the target over the background, then the chain with the
// centres measured from the frame.
QImage finaleDirecte(Choix &c, const QImage &source, ModeInterpolation mode)
{
    const QSize cible = c.w->TailleCible();
    const QRect img = c.w->RectImage();
    const QRect cadre = c.w->RectCadre();
    const double es = double(source.width()) / img.width();
    const CadreRecadrage cr = CalculeCadre(cible, img.size());
    const QRect rs(int(std::nearbyint((cadre.left() - img.left()) * es)),
                   int(std::nearbyint((cadre.top() - img.top()) * es)), int(std::nearbyint(es * cr.s * cible.width())),
                   int(std::nearbyint(es * cr.s * cible.height())));
    QImage recadree(cible, QImage::Format_ARGB32);
    recadree.fill(c.ctx->options.CouleurFond.toQRgb());
    {
        QPainter p(&recadree);
        p.drawImage(0, 0, Reechantillonne(source, rs.intersected(source.rect()), cible, mode));
    }
    const OptionsEffets &o = c.w->optionsEffets();
    ContexteChaine ctx = contexteVue(cadre);
    if (o.ZoomCB)
        ctx.zoomFinal = ZoomFinal(o, source.width(), rs.width(), cible.width(), cadre.width());
    return AppliqueChaine(recadree, o, ctx);
}

// The darkest place of a picture (the middle of the pixels within 3 of the
// darkest), inside `zone`.
QPointF plusSombre(const QImage &image, const QRect &zone)
{
    int min = 1000;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            min = std::min(min, qGray(image.pixel(x, y)));
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            if (qGray(image.pixel(x, y)) <= min + 3) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}

// Field-by-field equality of two effect records.
bool egales(const OptionsEffets &a, const OptionsEffets &b)
{
    const auto champs = [](const OptionsEffets &o) {
        return std::tuple(o.ExploseCB, o.AleaTB, o.KuwaharaCB, o.KuwaTB, o.ClairTB, o.NegCB, o.GrisCB, o.GammaTB,
                          o.MasqueFlouCB, o.TraitsCB, o.TraitsTB, o.MedAvantCB, o.ImgPlusCB, o.SepiaCB, o.FRCB,
                          o.RayonFRTB, o.ZoomCB, o.RNetTB, o.SharpTB, o.FlouIntTB, o.FlouExtTB, o.TeinteTb,
                          o.SaturationTb, o.LuminanceTb, o.RTB, o.GTB, o.BTB, o.ContrasteTB, o.TramageCB, o.OptComp,
                          o.Panel15.value(), o.Panel12.value(), o.AppliquerCB, o.FormeMotifGrp, o.DiamTb,
                          o.Panel11.value(), o.TranspCB, o.TranspTB, o.Panel26.value(), o.Panel13.value(),
                          o.InvCoulCB, o.TypeGradient, o.TranspCoul1TB, o.TranspCoul2TB, o.RayonTB, o.ImgTranspCB,
                          o.CenterImg, o.CenterFlouRImg, o.CenterZoomImg);
    };
    return champs(a) == champs(b);
}

struct Curseur
{
    const char *nom;
    int page; // 0..5, or -1 beside the pages
    int min, max, defaut;
};

const Curseur Curseurs[] = {
    {"AleaTB", 0, 3, 10, 3},        {"KuwaTB", 0, 0, 7, 1},         {"ClairTB", 0, 0, 9, 9},
    {"GammaTB", 0, 1, 30, 10},      {"TraitsTB", 0, 1, 10, 3},      {"TranspTB", 1, 0, 100, 0},
    {"TranspCoul1TB", 1, 0, 255, 255}, {"TranspCoul2TB", 1, 0, 255, 255}, {"RayonTB", 1, -1, 5, 1},
    {"DiamTb", 2, 2, 50, 9},        {"RayonFRTB", 4, 1, 100, 30},   {"RNetTB", 5, 1, 100, 15},
    {"SharpTB", 5, 0, 1000, 300},   {"FlouIntTB", 5, 0, 50, 5},     {"FlouExtTB", 5, 0, 50, 30},
    {"TeinteTb", -1, 0, 359, 0},    {"SaturationTb", -1, -100, 100, 0}, {"LuminanceTb", -1, -100, 100, 0},
    {"RTB", -1, 0, 100, 100},       {"GTB", -1, 0, 100, 100},       {"BTB", -1, 0, 100, 100},
    {"ContrasteTB", -1, -100, 100, 0},
};

struct Case
{
    const char *nom;
    int page;
    bool defaut;
};

const Case Cases[] = {
    {"ExploseCB", 0, false}, {"KuwaharaCB", 0, false}, {"NegCB", 0, false},    {"GrisCB", 0, false},
    {"MasqueFlouCB", 0, false}, {"TraitsCB", 0, false}, {"MedAvantCB", 0, true}, {"ImgPlusCB", 0, false},
    {"SepiaCB", 0, false},   {"TranspCB", 1, false},   {"InvCoulCB", 1, false}, {"ImgTranspCB", 1, false},
    {"AppliquerCB", 2, false}, {"TramageCB", 3, false}, {"FRCB", 4, false},     {"ZoomCB", 5, false},
};

struct Couleur
{
    const char *nom;
    int page;
    TColor defaut;
    const char *quoi;
};

const Couleur Couleurs[] = {
    {"Panel26", 1, TColor::fromRgb(255, 255, 255), "1"}, {"Panel13", 1, TColor::fromRgb(0, 0, 0), "2"},
    {"Panel11", 2, TColor::fromRgb(255, 255, 255), "Bkg"}, {"Panel15", 3, TColor::fromRgb(0, 0, 0), "1"},
    {"Panel12", 3, TColor::fromRgb(255, 255, 255), "Bkg"},
};

const char *const BoutonsReset[] = {"InitialiserBtn", "AnnuleTranspBtn", "AnnuleMotifBtn",
                                    "AnnuleTrameBtn", "AnnuleFRBtn",     "AnnuleZoomBtn"};

// Every control of the effect pages shows its default, as read on the controls.
::testing::AssertionResult pagesParDefaut(Choix &c)
{
    for (const Curseur &s : Curseurs)
        if (s.page >= 0 && c.trouve<QSlider>(s.nom)->value() != s.defaut)
            return ::testing::AssertionFailure() << s.nom << " = " << c.trouve<QSlider>(s.nom)->value();
    for (const Case &k : Cases)
        if (c.trouve<QCheckBox>(k.nom)->isChecked() != k.defaut)
            return ::testing::AssertionFailure() << k.nom;
    for (const Couleur &p : Couleurs)
        if (c.trouve<TPanneauCouleurChoix>(p.nom)->couleur() != p.defaut)
            return ::testing::AssertionFailure() << p.nom;
    if (c.groupe("FormeMotifGrp")->checkedId() != 0 || c.groupe("OptComp")->checkedId() != 0)
        return ::testing::AssertionFailure() << "shape or dither";
    if (!c.trouve<QAbstractButton>("Grad0SBtn")->isChecked())
        return ::testing::AssertionFailure() << "Grad0SBtn not down";
    if (c.trouve<QWidget>("GradientPnl")->isVisible() || c.trouve<QWidget>("Panel17")->isVisible())
        return ::testing::AssertionFailure() << "gradient panels shown";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(ChoixImagesEffets, ChaqueControleDuTableauEstLaAvecSaPlageSonDefautEtSonTexte)
{
    Choix c(4);
    c.prompts.openPictureName(ecritPhoto(Source, photo(480, 360)));
    c.montre();

    QTabWidget *onglets = pages(c);
    ASSERT_EQ(onglets->count(), 6);
    const QStringList hints{QStringLiteral("Effects Options"), QStringLiteral("Transparence / Bkg"),
                            QStringLiteral("Pattern"),         QStringLiteral("Floyd - Steinberg"),
                            QStringLiteral("Radial Blur"),     QStringLiteral("Radial Zoom")};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(onglets->tabText(i), QStringLiteral("- %1 -").arg(i + 1));
        EXPECT_EQ(onglets->tabToolTip(i), hints[i]);
    }
    EXPECT_EQ(onglets->currentIndex(), 0);
    // A tab's hint shows as soon as the mouse is over it, and goes below the tabs.
    QTabBar *barre = onglets->tabBar();
    QTest::mouseMove(barre, barre->tabRect(3).center());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 1000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Floyd - Steinberg"));
    QTest::mouseMove(barre, QPoint(barre->tabRect(5).right() + 40, barre->height() / 2));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));

    for (const Curseur &s : Curseurs) {
        auto *t = c.trouve<QSlider>(s.nom);
        if (!t)
            continue;
        EXPECT_EQ(t->minimum(), s.min) << s.nom;
        EXPECT_EQ(t->maximum(), s.max) << s.nom;
        EXPECT_EQ(t->value(), s.defaut) << s.nom;
        // A drag reruns the chain once, at release.
        EXPECT_FALSE(t->hasTracking()) << s.nom;
        if (s.page >= 0)
            EXPECT_TRUE(onglets->widget(s.page)->isAncestorOf(t)) << s.nom;
        else
            EXPECT_FALSE(onglets->isAncestorOf(t)) << s.nom;
    }
    for (const Case &k : Cases) {
        auto *t = c.trouve<QCheckBox>(k.nom);
        if (!t)
            continue;
        EXPECT_EQ(t->isChecked(), k.defaut) << k.nom;
        EXPECT_FALSE(t->text().isEmpty()) << k.nom;
        EXPECT_TRUE(onglets->widget(k.page)->isAncestorOf(t)) << k.nom;
    }
    EXPECT_EQ(c.trouve<QCheckBox>("MasqueFlouCB")->text(), QStringLiteral("Bl. Mask"));
    for (const Couleur &p : Couleurs) {
        auto *t = c.trouve<TPanneauCouleurChoix>(p.nom);
        if (!t)
            continue;
        EXPECT_EQ(t->couleur(), p.defaut) << p.nom;
        EXPECT_EQ(t->toolTip(), QStringLiteral("Color %1\r\nShift+Click : Dropper Color").arg(QLatin1String(p.quoi)));
        EXPECT_TRUE(onglets->widget(p.page)->isAncestorOf(t)) << p.nom;
    }
    const QStringList formes{QStringLiteral("Circle"),  QStringLiteral("Rhombus"), QStringLiteral("Octagone"),
                             QStringLiteral("Star"),    QStringLiteral("Square"),  QStringLiteral("Bounded Square"),
                             QStringLiteral("Star 2"),  QStringLiteral("4 points / block")};
    const QStringList trames{QStringLiteral("Hatching FS"), QStringLiteral("   \"     \"    2x2"),
                             QStringLiteral("   \"     \"    3x3")};
    for (const auto &[nom, items] : {std::pair{"FormeMotifGrp", formes}, std::pair{"OptComp", trames}}) {
        QButtonGroup *g = c.groupe(nom);
        ASSERT_NE(g, nullptr) << nom;
        ASSERT_EQ(g->buttons().size(), items.size()) << nom;
        for (int i = 0; i < items.size(); ++i)
            EXPECT_EQ(g->button(i)->text(), items[i]) << nom;
        EXPECT_EQ(g->checkedId(), 0) << nom;
    }
    const QStringList gradients{QStringLiteral("1 color"), QStringLiteral("Gradient Top L - Bottom R"),
                                QStringLiteral("Gradient Top - Bottom"), QStringLiteral("Gradient Bottom L - Top R"),
                                QStringLiteral("Centered Gradient")};
    for (int i = 0; i < 5; ++i) {
        auto *b = c.trouve<QToolButton>(QStringLiteral("Grad%1SBtn").arg(i).toLatin1().constData());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->property("Tag").toInt(), i);
        EXPECT_EQ(b->toolTip(), gradients[i]);
        EXPECT_EQ(b->isChecked(), i == 0);
        EXPECT_FALSE(b->icon().isNull());
    }
    int tag = 0;
    for (const char *nom : {"CenterImg", "CenterFlouRImg", "CenterZoomImg"}) {
        auto *p = c.trouve<TImageMouse>(nom);
        ASSERT_NE(p, nullptr) << nom;
        EXPECT_EQ(p->tag(), tag++);
        EXPECT_EQ(p->centre(), QPoint(30, 22)) << nom;
    }
    for (const char *nom : BoutonsReset)
        EXPECT_NE(c.trouve<QPushButton>(nom), nullptr);
    const std::pair<const char *, const char *> libelles[] = {
        {"GammaLbl", "Gamma = 1.00"}, {"DiametreLbl", "9"},  {"RNetLbl", "15"},     {"SharpLbl", "3.00"},
        {"FlouIntLbl", "5"},          {"FlouExtLbl", "30"},  {"TeinteLbl", "0"},    {"SaturationLbl", "0"},
        {"LuminanceLbl", "0"},        {"RLbl", "100"},       {"GLbl", "100"},       {"BLbl", "100"}};
    for (const auto &[nom, texte] : libelles)
        if (auto *l = c.trouve<QLabel>(nom)) {
            EXPECT_EQ(l->text(), QLatin1String(texte)) << nom;
        }
    for (const char *nom : {"Panel2", "GradientPnl", "Panel17", "FondPnl", "AideCImgPnl", "AideGradLbl", "RedImg",
                            "GreenImg", "BlueImg"})
        EXPECT_NE(c.trouve<QWidget>(nom), nullptr);
    EXPECT_EQ(c.trouve<QWidget>("RayonTB")->toolTip(), QStringLiteral("Circle Radius containing gradient"));
    // Page 1 is the effects panel with its own help id.
    EXPECT_EQ(c.trouve<QWidget>("Panel2")->property("helpId").toInt(), 1018);
}

TEST(ChoixImagesEffets, ChaqueControleChangeLApercuEtLImageEnregistreeEgaleLaChaineDirecte)
{
    using Action = std::function<void(Choix &)>;
    struct Ligne
    {
        const char *nom;
        int page;
        Action prepare;
        Action agit;
        const char *libelle = nullptr; // a label that must show the new value
        const char *texte = nullptr;
    };
    const Action rien = [](Choix &) {};
    const auto coche = [](const char *nom) { return Action([nom](Choix &c) { cocher(c, nom); }); };
    const auto haut = [](const char *nom, int fois = 1) {
        return Action([nom, fois](Choix &c) { touche(c, nom, Qt::Key_PageUp, fois); });
    };
    const auto bas = [](const char *nom) { return Action([nom](Choix &c) { touche(c, nom, Qt::Key_PageDown); }); };
    const auto puis = [](Action a, Action b) { return Action([a, b](Choix &c) { a(c); b(c); }); };
    // The transparency step on, half opaque.
    const Action transp = puis(haut("TranspTB", 5), coche("TranspCB"));
    const Action centre = puis(coche("TranspCB"), [](Choix &c) { bouton(c, "Grad4SBtn"); });
    const TColor rouge = TColor::fromRgb(220, 30, 30);

    const std::vector<Ligne> lignes = {
        {"ExploseCB", 0, rien, coche("ExploseCB")},
        {"AleaTB", 0, coche("ExploseCB"), haut("AleaTB", 3)},
        {"KuwaharaCB", 0, rien, coche("KuwaharaCB")},
        {"KuwaTB", 0, coche("KuwaharaCB"), haut("KuwaTB")},
        {"ClairTB", 0, rien, bas("ClairTB")},
        {"NegCB", 0, rien, coche("NegCB")},
        {"GrisCB", 0, rien, coche("GrisCB")},
        {"GammaTB", 0, rien, haut("GammaTB", 2), "GammaLbl", "Gamma = 1.40"},
        {"MasqueFlouCB", 0, rien, coche("MasqueFlouCB")},
        {"TraitsCB", 0, rien, coche("TraitsCB")},
        {"TraitsTB", 0, coche("TraitsCB"), haut("TraitsTB", 3)},
        {"MedAvantCB", 0, coche("TraitsCB"), coche("MedAvantCB")},
        {"ImgPlusCB", 0, coche("TraitsCB"), coche("ImgPlusCB")},
        {"SepiaCB", 0, rien, coche("SepiaCB")},
        {"TranspCB", 1, haut("TranspTB", 5), coche("TranspCB")},
        {"TranspTB", 1, coche("TranspCB"), haut("TranspTB", 3)},
        {"Panel26", 1, transp, [&](Choix &c) { couleur(c, "Panel26", rouge); }},
        {"Panel13", 1, puis(transp, [](Choix &c) { bouton(c, "Grad2SBtn"); }),
         [&](Choix &c) { couleur(c, "Panel13", rouge); }},
        {"InvCoulCB", 1, transp, coche("InvCoulCB")},
        {"Grad1SBtn", 1, transp, [](Choix &c) { bouton(c, "Grad1SBtn"); }},
        {"Grad2SBtn", 1, transp, [](Choix &c) { bouton(c, "Grad2SBtn"); }},
        {"Grad3SBtn", 1, transp, [](Choix &c) { bouton(c, "Grad3SBtn"); }},
        {"Grad4SBtn", 1, transp, [](Choix &c) { bouton(c, "Grad4SBtn"); }},
        {"Grad0SBtn", 1, puis(transp, [](Choix &c) { bouton(c, "Grad3SBtn"); }),
         [](Choix &c) { bouton(c, "Grad0SBtn"); }},
        {"ImgTranspCB", 1, transp, coche("ImgTranspCB")},
        // The surround colour is also the ground's: its alpha shows on the
        // picture's own transparency.
        {"TranspCoul1TB", 1, puis(centre, coche("ImgTranspCB")), bas("TranspCoul1TB")},
        {"TranspCoul2TB", 1, centre, bas("TranspCoul2TB")},
        {"RayonTB", 1, centre, haut("RayonTB", 2)},
        {"CenterImg", 1, centre, [](Choix &c) { glisse(c, "CenterImg", QPoint(9, 7)); }},
        {"AppliquerCB", 2, rien, coche("AppliquerCB")},
        {"FormeMotifGrp", 2, coche("AppliquerCB"), [](Choix &c) { radio(c, "FormeMotifGrp", 3); }},
        {"DiamTb", 2, coche("AppliquerCB"), haut("DiamTb"), "DiametreLbl", "13"},
        {"Panel11", 2, coche("AppliquerCB"), [&](Choix &c) { couleur(c, "Panel11", rouge); }},
        {"TramageCB", 3, rien, coche("TramageCB")},
        {"OptComp", 3, coche("TramageCB"), [](Choix &c) { radio(c, "OptComp", 2); }},
        {"Panel15", 3, coche("TramageCB"), [&](Choix &c) { couleur(c, "Panel15", rouge); }},
        {"Panel12", 3, coche("TramageCB"), [&](Choix &c) { couleur(c, "Panel12", rouge); }},
        {"FRCB", 4, rien, coche("FRCB")},
        {"RayonFRTB", 4, coche("FRCB"), haut("RayonFRTB", 3)},
        {"CenterFlouRImg", 4, coche("FRCB"), [](Choix &c) { glisse(c, "CenterFlouRImg", QPoint(50, 40)); }},
        {"ZoomCB", 5, rien, coche("ZoomCB")},
        {"RNetTB", 5, coche("ZoomCB"), haut("RNetTB"), "RNetLbl", "24"},
        {"SharpTB", 5, coche("ZoomCB"), bas("SharpTB"), "SharpLbl", "2.00"},
        {"FlouIntTB", 5, coche("ZoomCB"), haut("FlouIntTB", 2), "FlouIntLbl", "15"},
        {"FlouExtTB", 5, coche("ZoomCB"), bas("FlouExtTB"), "FlouExtLbl", "25"},
        {"CenterZoomImg", 5, coche("ZoomCB"), [](Choix &c) { glisse(c, "CenterZoomImg", QPoint(8, 40)); }},
        {"TeinteTb", -1, rien, haut("TeinteTb"), "TeinteLbl", "35"},
        {"SaturationTb", -1, rien, bas("SaturationTb"), "SaturationLbl", "-20"},
        {"LuminanceTb", -1, rien, haut("LuminanceTb"), "LuminanceLbl", "20"},
        {"RTB", -1, rien, bas("RTB"), "RLbl", "90"},
        {"GTB", -1, rien, bas("GTB"), "GLbl", "90"},
        {"BTB", -1, rien, bas("BTB"), "BLbl", "90"},
        {"ContrasteTB", -1, rien, haut("ContrasteTB"), "ContrasteLbl", "20"},
    };

    Choix c(4); // Today portrait 240 x 294
    const QImage source = photo(480, 360);
    const QString fichier = ecritPhoto(Source, source);
    c.prompts.openPictureName(fichier);
    c.montre();
    c.clique(c.groupe("TypeSauverRG")->button(int(TypeSauver::BmpOptimise)));
    const QString sauve = c.appli(QStringLiteral("tdywater_240_320.gif"));

    QStringList vus;
    for (const Ligne &l : lignes) {
        SCOPED_TRACE(l.nom);
        vus << QLatin1String(l.nom);
        // A fresh picture: every effect back to its default.
        c.prompts.openPictureName(fichier);
        c.clique(c.trouve<QToolButton>("OuvrirTBtn"));
        ASSERT_EQ(c.w->FichierSource(), fichier);
        if (l.page >= 0)
            pages(c)->setCurrentIndex(l.page);
        l.prepare(c);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !c.w->apercuEnAttente(); }, 5000)); // a pending run is done
        if (!montreSurPage(c, l.nom, l.page))
            continue;
        const QImage avant = c.w->apercuFiltre();
        const OptionsEffets optionsAvant = c.w->optionsEffets();
        ASSERT_TRUE(avecApercu(c, [&] { l.agit(c); })) << "the control did not rerun the preview";
        EXPECT_FALSE(memeImage(avant, c.w->apercuFiltre())) << "the preview did not change";
        EXPECT_FALSE(egales(c.w->optionsEffets(), optionsAvant));
        if (l.libelle) {
            EXPECT_EQ(c.trouve<QLabel>(l.libelle)->text(), QLatin1String(l.texte));
        }
        // The preview is the chain on the fitted picture.
        EXPECT_TRUE(memeImage(c.w->apercuFiltre(),
                              AppliqueChaine(c.w->BmpApercu(), c.w->optionsEffets(), contexteVue(c.w->RectImage()))));

        const QImage attendue = finaleDirecte(c, source, ModeInterpolation::HauteQualite);
        if (QFileInfo::exists(sauve))
            c.prompts.answer(Prompts::Answer::Yes);
        c.clique(c.trouve<QToolButton>("SauverTBtn"));
        const auto octets = EncodeImageFormat(attendue, 100, TypeSauver::BmpOptimise, QDateTime::currentDateTime());
        ASSERT_TRUE(octets);
        EXPECT_TRUE(testenv::readFile(sauve) == *octets) << "the saved picture is not the chain's";
    }
    EXPECT_TRUE(c.prompts.messages.isEmpty()) << c.prompts.messages.join(',').toStdString();
    EXPECT_TRUE(c.prompts.exhausted());

    // Every slider, box, colour and picker of the table has its row.
    for (const Curseur &s : Curseurs)
        EXPECT_TRUE(vus.contains(QLatin1String(s.nom))) << s.nom;
    for (const Case &k : Cases)
        EXPECT_TRUE(vus.contains(QLatin1String(k.nom))) << k.nom;
    for (const Couleur &p : Couleurs)
        EXPECT_TRUE(vus.contains(QLatin1String(p.nom))) << p.nom;
}

TEST(ChoixImagesEffets, ChaqueBoutonRemetLesPagesParDefautEtGardeTeintesEtCanaux)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(300, 240)));
    c.montre();

    OptionsEffets change;
    change.ExploseCB = change.KuwaharaCB = change.NegCB = change.GrisCB = change.MasqueFlouCB = true;
    change.TraitsCB = change.ImgPlusCB = change.SepiaCB = change.FRCB = change.ZoomCB = true;
    change.MedAvantCB = false;
    change.TramageCB = change.AppliquerCB = change.TranspCB = change.InvCoulCB = change.ImgTranspCB = true;
    change.AleaTB = 7;
    change.KuwaTB = 0;
    change.ClairTB = 4;
    change.GammaTB = 22;
    change.TraitsTB = 9;
    change.RayonFRTB = 3;
    change.RNetTB = 60;
    change.SharpTB = 10;
    change.FlouIntTB = 1;
    change.FlouExtTB = 2;
    change.OptComp = 2;
    change.FormeMotifGrp = 6;
    change.DiamTb = 3;
    change.TranspTB = 40;
    change.TranspCoul1TB = 12;
    change.TranspCoul2TB = 99;
    change.RayonTB = 5;
    change.TypeGradient = 4;
    change.Panel15 = change.Panel12 = change.Panel11 = change.Panel26 = change.Panel13 = TColor::fromRgb(1, 2, 3);
    change.TeinteTb = 100;
    change.SaturationTb = -40;
    change.LuminanceTb = 30;
    change.RTB = 50;
    change.GTB = 60;
    change.BTB = 70;
    change.ContrasteTB = -25;
    change.CenterImg = QPoint(4, 6);
    change.CenterFlouRImg = QPoint(8, 10);
    change.CenterZoomImg = QPoint(12, 14);

    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(BoutonsReset[i]);
        c.w->setOptionsEffets(change);
        ASSERT_TRUE(QTest::qWaitFor([&] { return egales(c.w->optionsEffets(), change); }, 2000));
        pages(c)->setCurrentIndex(i);
        EXPECT_TRUE(c.trouve<QWidget>("Panel17")->isVisible() || i != 1);
        ASSERT_TRUE(avecApercu(c, [&] { bouton(c, BoutonsReset[i]); }));
        EXPECT_TRUE(pagesParDefaut(c));
        // The hue, channel and contrast sliders and the centres stay.
        OptionsEffets attendu;
        attendu.TeinteTb = 100;
        attendu.SaturationTb = -40;
        attendu.LuminanceTb = 30;
        attendu.RTB = 50;
        attendu.GTB = 60;
        attendu.BTB = 70;
        attendu.ContrasteTB = -25;
        attendu.CenterImg = change.CenterImg;
        attendu.CenterFlouRImg = change.CenterFlouRImg;
        attendu.CenterZoomImg = change.CenterZoomImg;
        EXPECT_TRUE(egales(c.w->optionsEffets(), attendu));
        EXPECT_EQ(c.trouve<QSlider>("TeinteTb")->value(), 100);
        EXPECT_EQ(c.trouve<QLabel>("GammaLbl")->text(), QStringLiteral("Gamma = 1.00"));
        EXPECT_EQ(c.trouve<TImageMouse>("CenterZoomImg")->centre(), QPoint(12, 14));
        EXPECT_TRUE(memeImage(c.w->apercuFiltre(),
                              AppliqueChaine(c.w->BmpApercu(), attendu, contexteVue(c.w->RectImage()))));
    }

    // A new picture resets everything: the sliders beside the pages, the
    // centres and the turn of the picture too.
    c.w->setOptionsEffets(change);
    c.clique(c.trouve<QToolButton>("RotHSBtn"));
    c.clique(c.trouve<QCheckBox>("MiroirCB"));
    ASSERT_NE(c.w->TypeRotation(), 0);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("autre.png"), photo(200, 300, 3)));
    c.clique(c.trouve<QToolButton>("OuvrirTBtn"));
    OptionsEffets defaut;
    defaut.CenterImg = defaut.CenterFlouRImg = defaut.CenterZoomImg = QPoint(30, 22);
    EXPECT_TRUE(egales(c.w->optionsEffets(), defaut));
    EXPECT_TRUE(pagesParDefaut(c));
    EXPECT_EQ(c.trouve<QSlider>("ContrasteTB")->value(), 0);
    EXPECT_EQ(c.w->TypeRotation(), 0);
    EXPECT_FALSE(c.trouve<QCheckBox>("MiroirCB")->isChecked());
    EXPECT_EQ(c.w->BmpApercu().size(), c.w->RectImage().size());
    EXPECT_LT(c.w->RectImage().width(), c.w->RectImage().height()); // not turned
    // With every option at its default the preview is the fitted picture.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.w->apercuEnAttente(); }, 5000));
    EXPECT_TRUE(memeImage(c.w->apercuFiltre(), c.w->BmpApercu()));

    // The transparency step at 0 % leaves the picture; at 100 % with one
    // colour the picture becomes colour 1.
    pages(c)->setCurrentIndex(1);
    ASSERT_TRUE(avecApercu(c, [&] { cocher(c, "TranspCB"); }));
    EXPECT_TRUE(memeImage(c.w->apercuFiltre(), c.w->BmpApercu()));
    c.prompts.color(TColor::fromRgb(12, 34, 56));
    ASSERT_TRUE(avecApercu(c, [&] { c.clique(c.trouve<QAbstractButton>("Panel26")); }));
    EXPECT_EQ(c.trouve<QWidget>("FondPnl")->styleSheet().contains(QStringLiteral("#0c2238")), true);
    ASSERT_TRUE(avecApercu(c, [&] { touche(c, "TranspTB", Qt::Key_End); }));
    QImage uni(c.w->BmpApercu().size(), QImage::Format_ARGB32);
    uni.fill(qRgb(12, 34, 56));
    EXPECT_TRUE(memeImage(c.w->apercuFiltre(), uni));
    EXPECT_TRUE(c.prompts.exhausted());
}

TEST(ChoixImagesEffets, LeCentreDeLImageEnregistreeEstCeluiDeLApercu)
{
    // A 4:3 photo filling the view, a 240 x 294 Today frame: a centred
    // gradient, black in its centre, fully opaque, so the darkest place is
    // the centre. The frame is first at the left of the picture, then at its
    // right.
    Choix c(4);
    c.prompts.openPictureName(ecritPhoto(Source, photo(640, 480)));
    c.montre();
    ASSERT_EQ(c.w->RectImage(), QRect(0, 0, 408, 306));
    pages(c)->setCurrentIndex(1);
    cocher(c, "TranspCB");
    bouton(c, "Grad4SBtn");
    touche(c, "TranspTB", Qt::Key_End);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.w->apercuEnAttente(); }, 5000));
    ASSERT_EQ(c.w->optionsEffets().TranspTB, 100);

    const auto verifie = [&](const char *quand) {
        SCOPED_TRACE(quand);
        const QRect cadre = c.w->RectCadre();
        const QPointF vue = plusSombre(c.w->apercuFiltre(), QRect(QPoint(0, 0), c.w->apercuFiltre().size()));
        ASSERT_TRUE(cadre.contains(vue.toPoint())) << "the centre must lie in the frame";
        const QImage finale = c.w->ConstruitImageFinale();
        ASSERT_EQ(finale.size(), QSize(240, 294));
        const QPointF sauve = plusSombre(finale, finale.rect());
        // Where the preview's centre falls in the frame, in saved pixels.
        const double k = 240.0 / cadre.width();
        EXPECT_NEAR(sauve.x(), (vue.x() - cadre.left()) * k, 3.0);
        EXPECT_NEAR(sauve.y(), (vue.y() - cadre.top()) * k, 3.0);
    };
    // Picker (30, 22): x 204 in the view, inside the frame at the left.
    verifie("frame at the left");

    // Frame to the right (wheel over the picture: the frame is as high as
    // the picture, so it moves sideways), centre picked further right.
    auto *vue = c.trouve<QWidget>("Image1");
    QTest::mousePress(vue, Qt::LeftButton, {}, QPoint(400, 150));
    QTest::mouseRelease(vue, Qt::LeftButton, {}, QPoint(400, 150));
    ASSERT_EQ(c.w->RectCadre().right(), 407);
    ASSERT_TRUE(avecApercu(c, [&] { glisse(c, "CenterImg", QPoint(48, 16)); }));
    verifie("frame at the right");
}

TEST(ChoixImagesEffets, CentresALaSourisEtALaMoletteEtAideDesPickers)
{
    // Pure rules: held inside the picker, rounded down to even.
    EXPECT_EQ(PointPicker(QPoint(-5, 99)), QPoint(0, 44));
    EXPECT_EQ(PointPicker(QPoint(61, 45)), QPoint(60, 44));
    EXPECT_EQ(PointPicker(QPoint(13, 7)), QPoint(12, 6));
    EXPECT_EQ(MoletteCentre(QPoint(30, 22), -120, {}), QPoint(28, 22));
    EXPECT_EQ(MoletteCentre(QPoint(30, 22), 120, {}), QPoint(32, 22));
    EXPECT_EQ(MoletteCentre(QPoint(30, 22), 120, Qt::ControlModifier), QPoint(34, 22));
    EXPECT_EQ(MoletteCentre(QPoint(30, 22), -120, Qt::ShiftModifier), QPoint(30, 20));
    EXPECT_EQ(MoletteCentre(QPoint(30, 22), 120, Qt::ShiftModifier | Qt::ControlModifier), QPoint(30, 26));
    EXPECT_EQ(MoletteCentre(QPoint(0, 0), -120, {}), QPoint(0, 0));

    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(400, 300)));
    c.montre();
    montreSurPage(c, "CenterFlouRImg", 4);
    cocher(c, "FRCB");
    auto *p = c.trouve<TImageMouse>("CenterFlouRImg");

    // A drag moves the centre and reruns the chain once, at release.
    const int avant = c.w->nombreCalculsApercu();
    QTest::qWait(3 * TChoixImages::DelaiApercuMs);
    const int depart = c.w->nombreCalculsApercu();
    EXPECT_GE(depart, avant);
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(p, QPoint(17, 9));
    QTest::mouseMove(p, QPoint(19, 11));
    QTest::qWait(3 * TChoixImages::DelaiApercuMs);
    EXPECT_EQ(c.w->nombreCalculsApercu(), depart);
    EXPECT_EQ(p->centre(), QPoint(18, 10));
    ASSERT_TRUE(avecApercu(c, [&] { QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(19, 11)); }));
    EXPECT_EQ(c.w->optionsEffets().CenterFlouRImg, QPoint(18, 10));
    // The marker is red on the centre.
    EXPECT_EQ(p->dessin().pixel(18, 10), qRgb(255, 0, 0));

    // The wheel: 2 pixels, along y with Shift.
    const auto molette = [&](int delta, Qt::KeyboardModifiers m) {
        QWheelEvent e(QPointF(10, 10), p->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, delta), Qt::NoButton, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(p, &e);
        return e.isAccepted();
    };
    EXPECT_TRUE(avecApercu(c, [&] { EXPECT_TRUE(molette(-120, {})); }));
    EXPECT_EQ(c.w->optionsEffets().CenterFlouRImg, QPoint(16, 10));
    molette(120, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(p->centre(), QPoint(16, 14));

    // Over a picker the saving panel gives way to the picker's help.
    auto *panel5 = c.trouve<QWidget>("Panel5");
    auto *aide = c.trouve<QWidget>("AideCImgPnl");
    EXPECT_TRUE(panel5->isVisible());
    EXPECT_FALSE(aide->isVisible());
    QEnterEvent entre(QPointF(3, 3), QPointF(3, 3), p->mapToGlobal(QPointF(3, 3)));
    QApplication::sendEvent(p, &entre);
    EXPECT_FALSE(panel5->isVisible());
    EXPECT_TRUE(aide->isVisible());
    EXPECT_EQ(c.trouve<QLabel>("AideGradLbl")->text(),
              QStringLiteral("Define Center Gradient :\r\nMove cursor\r\n- with left Button\r\n- with wheel - > X\r\n"
                             "- with wheel + SHIFT  -> Y\r\nDefine Blur zone size."));
    QEvent sort(QEvent::Leave);
    QApplication::sendEvent(p, &sort);
    EXPECT_TRUE(panel5->isVisible());
    EXPECT_FALSE(aide->isVisible());

    // Shift + click on a colour panel takes the dropper colour, no dialog.
    c.w->setCouleurPipette(TColor::fromRgb(10, 200, 30));
    montreSurPage(c, "Panel11", 2);
    QTest::mouseClick(c.trouve<QWidget>("Panel11"), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(c.w->optionsEffets().Panel11, TColor::fromRgb(10, 200, 30));
    // A dialog cancelled changes nothing.
    c.prompts.color(std::nullopt);
    QTest::mouseClick(c.trouve<QWidget>("Panel11"), Qt::LeftButton);
    EXPECT_EQ(c.w->optionsEffets().Panel11, TColor::fromRgb(10, 200, 30));
    EXPECT_TRUE(c.prompts.exhausted());

    // Enter typed in the window opens no colour dialog and resets nothing.
    QTest::keyClick(c.trouve<QSlider>("DiamTb"), Qt::Key_Return);
    QTest::keyClick(c.w.get(), Qt::Key_Enter);
    EXPECT_TRUE(c.w->isVisible());
    EXPECT_EQ(c.w->optionsEffets().Panel11, TColor::fromRgb(10, 200, 30));
    EXPECT_TRUE(c.w->optionsEffets().FRCB);
}

TEST(ChoixImagesEffets, UnCurseurGlisseRelanceUneFoisEtUnCurseurInactifJamais)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(400, 300)));
    c.montre();
    auto *contraste = c.trouve<QSlider>("ContrasteTB");
    QTest::qWait(3 * TChoixImages::DelaiApercuMs);
    const int depart = c.w->nombreCalculsApercu();
    // Dragged: nothing while the thumb moves, one run at release.
    contraste->setSliderDown(true);
    for (int v : {5, 10, 15, 20})
        contraste->setSliderPosition(v);
    QTest::qWait(3 * TChoixImages::DelaiApercuMs);
    EXPECT_EQ(c.w->nombreCalculsApercu(), depart);
    EXPECT_EQ(c.trouve<QLabel>("ContrasteLbl")->text(), QStringLiteral("20")); // the label follows the thumb
    ASSERT_TRUE(avecApercu(c, [&] { contraste->setSliderDown(false); }));
    EXPECT_EQ(c.w->nombreCalculsApercu(), depart + 1);
    EXPECT_EQ(c.w->optionsEffets().ContrasteTB, 20);

    // The Kuwahara slider with its box off: the value is kept, no run.
    montreSurPage(c, "KuwaTB", 0);
    const int apres = c.w->nombreCalculsApercu();
    touche(c, "KuwaTB", Qt::Key_PageUp);
    QTest::qWait(3 * TChoixImages::DelaiApercuMs);
    EXPECT_EQ(c.w->nombreCalculsApercu(), apres);
    EXPECT_EQ(c.w->optionsEffets().KuwaTB, 2);
    // Ticking the box then uses it.
    ASSERT_TRUE(avecApercu(c, [&] { cocher(c, "KuwaharaCB"); }));
    EXPECT_EQ(c.w->optionsEffets().fenetreKuwahara(), 9);
}

TEST(ChoixImagesEffets, FormatEtInterpolationGardesApresFermetureReouvertureEtRedemarrage)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(300, 200)));
    c.montre();
    c.clique(c.groupe("InterpolRG")->button(6));
    c.clique(c.groupe("TypeSauverRG")->button(3));
    QTest::keyClick(c.w.get(), Qt::Key_Escape);
    ASSERT_FALSE(c.w->isVisible());
    EXPECT_EQ(c.ctx->options.InterpolImg, 6);
    EXPECT_EQ(c.ctx->options.TypeImgSauver, 3);

    // Reopened: a new window over the same run.
    TChoixImages encore(*c.ctx);
    EXPECT_EQ(encore.findChild<QWidget *>(QStringLiteral("InterpolRG"))->findChild<QButtonGroup *>()->checkedId(), 6);
    EXPECT_EQ(encore.findChild<QWidget *>(QStringLiteral("TypeSauverRG"))->findChild<QButtonGroup *>()->checkedId(), 3);
    // The text tool saves in the same format.
    OptionsTexteSurImg optionsTexte;
    TTexteSurImg texte(*c.ctx, optionsTexte, TColor());
    auto *jpeg = texte.findChild<QRadioButton *>(QStringLiteral("TypeSauverRG3"));
    ASSERT_NE(jpeg, nullptr);
    EXPECT_TRUE(jpeg->isChecked());

    // Restarted: the options file written at the end is read at the next start.
    const QString fichier = FichierOptions(c.ctx->dossiers);
    FormatImages format = c.ctx->document.format();
    QString erreur;
    ASSERT_TRUE(SauveOptions(fichier, c.ctx->options, format, c.ctx->dossiers, &erreur)) << erreur.toStdString();
    AppContext relance(c.ctx->dossiers, &c.prompts);
    FormatImages formatRelu;
    LitOptions(fichier, relance.options, formatRelu, relance.dossiers);
    EXPECT_EQ(relance.options.InterpolImg, 6);
    EXPECT_EQ(relance.options.TypeImgSauver, 3);
    TChoixImages apres(relance);
    EXPECT_EQ(apres.findChild<QWidget *>(QStringLiteral("InterpolRG"))->findChild<QButtonGroup *>()->checkedId(), 6);
    EXPECT_EQ(apres.findChild<QWidget *>(QStringLiteral("TypeSauverRG"))->findChild<QButtonGroup *>()->checkedId(), 3);
}

TEST(ChoixImagesEffets, LegendesDeLaBarreEtMoletteHorsDeLImage)
{
    Choix c(4);
    // The default look: the tool bar shows the main window's tile.
    const QImage tuile = DessineDegrade(TColor::fromRgb(46, 151, 227), 42, 48).convertToFormat(QImage::Format_RGB32);
    c.ctx->apparence.uniforme = false;
    c.ctx->apparence.BmpDegrade = tuile;
    c.prompts.openPictureName(ecritPhoto(Source, photo(100, 50)));
    c.montre();
    auto *barre = c.trouve<TBarreChoix>("CoolBar1");
    ASSERT_NE(barre, nullptr);
    EXPECT_EQ(barre->legendeOrientation(), QStringLiteral("Portrait"));
    EXPECT_EQ(barre->legendeType(), QStringLiteral("Today"));
    // The captions are painted where they belong, after the buttons, over the
    // tile; the bar's free end shows the tile itself.
    const auto ecritsSurFond = [&](int x0, const std::function<QRgb(int, int)> &fond) {
        const QImage peinte = barre->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect zone(x0, 0, 60, std::min(24, barre->height()));
        int ecrits = 0;
        for (int y = zone.top(); y <= zone.bottom(); ++y)
            for (int x = zone.left(); x <= zone.right(); ++x)
                ecrits += !testenv::proche(peinte.pixel(x, y), fond(x, y), 3);
        return ecrits;
    };
    const auto deTuile = [&](int x, int y) { return tuile.pixel(x % tuile.width(), y % tuile.height()); };
    EXPECT_GT(ecritsSurFond(TBarreChoix::XOrientation, deTuile), 20);
    EXPECT_GT(ecritsSurFond(TBarreChoix::XType, deTuile), 20);
    EXPECT_EQ(ecritsSurFond(barre->width() - 61, deTuile), 0) << "the tile lies under the bar";
    // The uniform look: the same captions over the window colour.
    MajFondCoolBar(barre, tuile, true);
    const QRgb uni = barre->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(barre->width() - 2,
                                                                                          barre->height() - 2);
    const auto deUni = [&](int, int) { return uni; };
    EXPECT_GT(ecritsSurFond(TBarreChoix::XOrientation, deUni), 20);
    EXPECT_GT(ecritsSurFond(TBarreChoix::XType, deUni), 20);
    EXPECT_FALSE(testenv::proche(uni, deTuile(barre->width() - 2, barre->height() - 2), 3));
    QToolButton *dernier = c.trouve<QToolButton>("QuitterTBtn");
    EXPECT_LT(dernier->geometry().right(), TBarreChoix::XOrientation);

    c.prompts.openPictureName(ecritPhoto(Source, photo(100, 50)));
    c.clique(c.trouve<QCheckBox>("LandscapeCB"));
    EXPECT_EQ(barre->legendeOrientation(), QStringLiteral("LandScape"));
    c.clique(c.groupe("TypeImgRG")->button(1));
    EXPECT_EQ(barre->legendeType(), QStringLiteral("Start"));

    // 100 x 50 fills 408 x 204 from row 51: the wheel over the band above
    // the picture is not taken and moves nothing; over the picture it moves
    // the frame (1, 5 with Shift, 10 with Ctrl).
    ASSERT_EQ(c.w->RectImage(), QRect(0, 51, 408, 204));
    auto *vue = c.trouve<QWidget>("Image1");
    const auto molette = [&](QPoint pos, int delta, Qt::KeyboardModifiers m) {
        QWheelEvent e(pos, vue->mapToGlobal(pos), {}, QPoint(0, delta), Qt::NoButton, m, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vue, &e);
        return e.isAccepted();
    };
    const QRect cadre = c.w->RectCadre();
    EXPECT_FALSE(molette(QPoint(200, 20), -120, {}));
    EXPECT_EQ(c.w->RectCadre(), cadre);
    const bool vertical = cadre.height() != c.w->RectImage().height();
    EXPECT_TRUE(molette(QPoint(200, 100), -120, Qt::ShiftModifier));
    EXPECT_EQ(c.w->RectCadre().topLeft(), cadre.topLeft() + (vertical ? QPoint(0, 5) : QPoint(5, 0)));
    EXPECT_TRUE(molette(QPoint(200, 100), 120, Qt::ShiftModifier | Qt::ControlModifier));
    // Ctrl wins; the frame stays in the picture.
    EXPECT_EQ(c.w->RectCadre().topLeft(), cadre.topLeft() + (vertical ? QPoint(0, 5) : QPoint(5, 0)));
    EXPECT_TRUE(molette(QPoint(200, 100), 120, {}));
    EXPECT_EQ(c.w->RectCadre().topLeft(), cadre.topLeft() + (vertical ? QPoint(0, 4) : QPoint(4, 0)));
}

TEST(ChoixImagesEffets, LaVueGranditAvecLaFenetreEtGardeSesCoordonnees)
{
    Choix c(4); // Today portrait 240 x 294: a 250 x 306 frame in a 4:3 view
    c.prompts.openPictureName(ecritPhoto(Source, photo(640, 480)));
    c.montre();
    auto *vue = c.trouve<QWidget>("Image1");
    EXPECT_EQ(vue->height(), 306);
    const QImage petit = c.w->apercuFiltre();

    c.w->resize(1280, 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vue->height() > 500; }, 3000)) << vue->height();
    // The view keeps the picture's aspect and the space is used.
    const double k = double(vue->height()) / 306;
    EXPECT_GE(vue->width(), int(408 * k));
    EXPECT_GT(vue->width() * vue->height(), 3 * 408 * 306);
    // The pages stay whole below it.
    EXPECT_GE(c.trouve<QWidget>("PageControl1")->height(), c.trouve<QWidget>("PageControl1")->minimumSizeHint().height());

    // A press on the enlarged view still means the same picture point.
    const double x0 = (vue->width() - 408 * k) / 2;
    const QPoint ecran(int(x0 + 200.5 * k), int(150.5 * k));
    QTest::mousePress(vue, Qt::LeftButton, {}, ecran);
    QTest::mouseRelease(vue, Qt::LeftButton, {}, ecran);
    EXPECT_EQ(c.w->RectCadre().left(), 200 - 125);
    // The preview itself is still computed at the view's own size.
    EXPECT_EQ(c.w->apercuFiltre().size(), petit.size());

    c.w->resize(696, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vue->height() == 306; }, 3000)) << vue->height();
}

// A picture with transparency lies over the background colour chosen with
// "Bkg", in the preview and in the saved file; never over black.
TEST(ChoixImagesEffets, TransparentPictureLiesOverTheChosenBackground)
{
    Choix c(3);
    QImage source(200, 150, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    for (int y = 75; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            source.setPixel(x, y, qRgba(0, 160, 0, 255)); // opaque bottom half
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("transparente.png"), source));
    c.montre();
    const auto haut = [&] {
        return c.w->apercuFiltre().pixel(c.w->apercuFiltre().width() / 2, c.w->apercuFiltre().height() / 5);
    };
    const auto bas = [&] {
        return c.w->apercuFiltre().pixel(c.w->apercuFiltre().width() / 2, c.w->apercuFiltre().height() * 4 / 5);
    };
    EXPECT_TRUE(testenv::proche(haut(), c.ctx->options.CouleurFond, 2)) << std::hex << haut();

    const TColor magenta = TColor::fromRgb(250, 0, 250);
    c.prompts.color(magenta);
    ASSERT_TRUE(avecApercu(c, [&] { c.clique(c.trouve<QAbstractButton>("Panel7")); }));
    EXPECT_EQ(c.ctx->options.CouleurFond, magenta);
    EXPECT_TRUE(testenv::proche(haut(), magenta, 2)) << std::hex << haut();
    EXPECT_TRUE(testenv::proche(bas(), qRgb(0, 160, 0), 2)) << std::hex << bas();
    // The view around the picture has the colour too.
    EXPECT_TRUE(testenv::proche(c.trouve<TVueChoixImages>("Image1")->affichage().pixel(2, 2), magenta, 0));

    c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeSauverRG")->button(0))); // JPEG
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    EXPECT_TRUE(c.prompts.messages.isEmpty()) << c.prompts.messages.join(',').toStdString();
    const QImage sauvee = QImage::fromData(testenv::readFile(c.appli(QStringLiteral("tdywater.gif"))));
    ASSERT_FALSE(sauvee.isNull());
    EXPECT_TRUE(testenv::proche(sauvee.pixel(sauvee.width() / 2, 3), magenta, 12))
        << std::hex << sauvee.pixel(sauvee.width() / 2, 3);
    EXPECT_TRUE(testenv::proche(sauvee.pixel(sauvee.width() / 2, sauvee.height() - 4), qRgb(0, 160, 0), 12))
        << std::hex << sauvee.pixel(sauvee.width() / 2, sauvee.height() - 4);
}

// Every load, turned, mirrored, flipped or resampled again included, puts the
// three centres back in the middle of their pickers.
TEST(ChoixImagesEffets, CentresBackInTheMiddleAfterEveryLoad)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(400, 300)));
    c.montre();
    const QPoint milieu = PointPicker(QPoint(LargeurPicker / 2, HauteurPicker / 2));
    // The gradient's picker shows with the centred gradient.
    pages(c)->setCurrentIndex(1);
    cocher(c, "TranspCB");
    bouton(c, "Grad4SBtn");
    const auto deplace = [&] {
        montreSurPage(c, "CenterImg", 1);
        glisse(c, "CenterImg", QPoint(6, 4));
        montreSurPage(c, "CenterFlouRImg", 4);
        glisse(c, "CenterFlouRImg", QPoint(8, 6));
        montreSurPage(c, "CenterZoomImg", 5);
        glisse(c, "CenterZoomImg", QPoint(10, 8));
        ASSERT_EQ(c.w->optionsEffets().CenterImg, QPoint(6, 4));
        ASSERT_EQ(c.w->optionsEffets().CenterFlouRImg, QPoint(8, 6));
        ASSERT_EQ(c.w->optionsEffets().CenterZoomImg, QPoint(10, 8));
    };
    const auto auMilieu = [&](const char *quand) {
        SCOPED_TRACE(quand);
        EXPECT_EQ(c.w->optionsEffets().CenterImg, milieu);
        EXPECT_EQ(c.w->optionsEffets().CenterFlouRImg, milieu);
        EXPECT_EQ(c.w->optionsEffets().CenterZoomImg, milieu);
        for (const char *nom : {"CenterImg", "CenterFlouRImg", "CenterZoomImg"})
            EXPECT_EQ(c.trouve<TImageMouse>(nom)->centre(), milieu) << nom;
    };
    auMilieu("opened");
    deplace();
    c.clique(c.trouve<QToolButton>("RotHSBtn"));
    auMilieu("turned");
    deplace();
    c.clique(c.trouve<QCheckBox>("MiroirCB"));
    auMilieu("mirrored");
    deplace();
    c.clique(c.trouve<QCheckBox>("BasculeCB"));
    auMilieu("flipped");
    deplace();
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("InterpolRG")->button(5)));
    auMilieu("resampled");
    // A slider or a box of the effects is no load: the centre stays.
    deplace();
    montreSurPage(c, "SepiaCB", 0);
    cocher(c, "SepiaCB");
    EXPECT_EQ(c.w->optionsEffets().CenterImg, QPoint(6, 4));
}

// The help of a picker takes the column's room: the window keeps its width
// and the picker stays under the pointer. The window shows its icon.
TEST(ChoixImagesEffets, PickerHelpFitsTheColumnAndTheWindowHasItsIcon)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(Source, photo(400, 300)));
    c.montre();
    QTest::qWait(50);
    ASSERT_EQ(c.w->width(), 696);
    auto *aide = c.trouve<QLabel>("AideGradLbl");
    pages(c)->setCurrentIndex(1);
    cocher(c, "TranspCB");
    bouton(c, "Grad4SBtn");
    for (const auto &[nom, page] : {std::pair{"CenterImg", 1}, std::pair{"CenterFlouRImg", 4},
                                    std::pair{"CenterZoomImg", 5}}) {
        SCOPED_TRACE(nom);
        auto *p = montreSurPage(c, nom, page);
        QTest::qWait(100);
        const QPoint avant = p->mapTo(c.w.get(), QPoint(0, 0));
        const QRect colonne = c.trouve<QWidget>("Panel5")->geometry();
        QEnterEvent entre(QPointF(3, 3), QPointF(3, 3), p->mapToGlobal(QPointF(3, 3)));
        QApplication::sendEvent(p, &entre);
        QTest::qWait(50);
        EXPECT_EQ(c.w->width(), 696);
        EXPECT_EQ(p->mapTo(c.w.get(), QPoint(0, 0)), avant);
        ASSERT_TRUE(aide->isVisible());
        // The whole help shows in the label, wrapped to the column.
        EXPECT_LE(aide->width(), colonne.width());
        const QRect texte = aide->fontMetrics().boundingRect(QRect(0, 0, aide->width(), 100000), Qt::TextWordWrap,
                                                             aide->text());
        EXPECT_LE(texte.height(), aide->height()) << aide->text().toStdString();
        QEvent sort(QEvent::Leave);
        QApplication::sendEvent(p, &sort);
        QTest::qWait(20);
        EXPECT_EQ(p->mapTo(c.w.get(), QPoint(0, 0)), avant);
    }

    const QImage icone = c.w->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage attendue = ChargeImageRes(QStringLiteral("tskimg.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(attendue.isNull());
    EXPECT_TRUE(memeImage(icone, attendue.scaled(icone.size())));
}
