// The page tabs (pictures, colours, hints), the setup-text page after good
// and failed reads, and the bracket diagram over the preview's hot zones, all
// seen on the real window.

#include "apercu/apercu_ecran.h"
#include "apercu/calque_crochets.h"
#include "apercu/vue_apercu_ecran.h"
#include "app/memo_inf.h"
#include "app/style_onglets.h"
#include "tests/support/fenetre_principale.h"
#include "ui/charge_image_res.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

using fenetretest::Fenetre;

namespace {

QTabBar *barreOnglets(Fenetre &f)
{
    return f.trouve<QTabWidget>("PageControl1")->tabBar();
}

// True when every opaque pixel of the picture shows, unchanged, in the tab
// at the picture's place (centred, 1 pixel below the top of an unselected
// tab, 3 below a selected one).
bool ongletMontre(QTabBar *barre, int index, const QImage &image)
{
    const QImage vu = barre->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect r = barre->tabRect(index);
    const QPoint o(r.left() + (r.width() - image.width()) / 2,
                   r.top() + (barre->currentIndex() == index ? 3 : 1));
    int opaques = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb attendu = image.pixel(x, y);
            if (qAlpha(attendu) != 255)
                continue;
            ++opaques;
            if (vu.pixel(o + QPoint(x, y)) != attendu)
                return false;
        }
    return opaques > 50;
}

// Pixels of the tab's left edge (a few columns, whole height) near a colour.
int pixelsProches(QTabBar *barre, int index, QColor c)
{
    const QImage vu = barre->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect r = barre->tabRect(index);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x < r.left() + 4; ++x) {
            const QColor p = QColor::fromRgb(vu.pixel(x, y));
            if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 60)
                ++n;
        }
    return n;
}

void survole(QTabBar *barre, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, barre->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(barre, &e);
}

// A hidden hint fades out: waits (at most two seconds) until it has gone.
bool bulleDisparait()
{
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
        QTest::qWait(20);
    return !QToolTip::isVisible();
}

QByteArray gif(const char *nom)
{
    return QByteArray("GIF89a picture ") + nom;
}

} // namespace

TEST(MainWindowTabs, PicturesFollowTheWm5MarkerAndColoursFollowTheLook)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QTabBar *barre = barreOnglets(f);
    ASSERT_EQ(barre->count(), 6);
    EXPECT_EQ(barre->tabText(0), QStringLiteral("Options"));
    EXPECT_FALSE(barre->isTabVisible(5)); // no setup text before a read
    barre->setCurrentIndex(2);

    EXPECT_TRUE(ongletMontre(barre, 1, ChargeImageRes("onglet_imgmulti.png")));
    EXPECT_TRUE(ongletMontre(barre, 2, ChargeImageRes("onglet_couleurs.png")));
    EXPECT_TRUE(ongletMontre(barre, 4, ChargeImageRes("onglet_astextico.png")));
    EXPECT_TRUE(ongletMontre(barre, 3, ChargeImageRes("onglet_wm5clesnot.png")));
    EXPECT_FALSE(ongletMontre(barre, 3, ChargeImageRes("onglet_wm5cles.png")));

    // A theme with WM5 parameters: the marker and the tab say so.
    ParametresWM5 p = w.contexte().document.parametres();
    p.BaseHueDefini = true;
    p.ValBaseHue = 150;
    w.contexte().document.setParametres(p);
    fenetretest::surFenetreModale([](QWidget *d) { static_cast<QDialog *>(d)->reject(); });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton); // the hue calculator, closed
    EXPECT_FALSE(f.trouve<QLabel>("Image12")->isHidden());
    EXPECT_TRUE(ongletMontre(barre, 3, ChargeImageRes("onglet_wm5cles.png")));

    // The selected tab's outline: the derived deep shade, or red in the
    // uniform look (where the derived colours are not used).
    const CouleursDerivees d = w.contexte().apparence.derivees;
    const QColor c0 = QColor::fromRgb(d.c0.toQRgb());
    EXPECT_GT(pixelsProches(barre, 2, c0), 5);
    EXPECT_EQ(pixelsProches(barre, 2, Qt::red), 0);
    QTest::mouseClick(f.trouve<QCheckBox>("FicheUnieCB"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(w.contexte().options.CoulFormUni);
    EXPECT_GT(pixelsProches(barre, 2, Qt::red), 5);
}

TEST(MainWindowTabs, EachTabShowsItsHintAtOnceUnlessHintsAreOff)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QTabBar *barre = barreOnglets(f);
    const QString attendus[] = {"Options", "Choose/Modify the Images (Today and Start)", "Screen Colors \"TODAY\"",
                                "Create parameters for WM5 compatible Theme", "ActiveSync"};
    for (int i = 0; i < 5; ++i) {
        survole(barre, barre->tabRect(i).center());
        EXPECT_TRUE(QToolTip::isVisible()) << i;
        EXPECT_EQ(QToolTip::text(), attendus[i]);
        EXPECT_EQ(w.dernierOngletSurvole(), i);
    }
    // The page body (the last rows of the tab bar) forgets the tab and
    // takes the hint away.
    survole(barre, QPoint(barre->tabRect(1).center().x(), barre->height() - 2));
    EXPECT_EQ(w.dernierOngletSurvole(), -1);
    EXPECT_TRUE(bulleDisparait());
    // Back on the same tab: its hint again.
    survole(barre, barre->tabRect(4).center());
    EXPECT_EQ(QToolTip::text(), attendus[4]);

    QTest::mouseClick(f.trouve<QToolButton>("HintSP"), Qt::LeftButton);
    QToolTip::hideText();
    ASSERT_TRUE(bulleDisparait());
    survole(barre, barre->tabRect(1).center());
    EXPECT_EQ(w.dernierOngletSurvole(), 1);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST(MainWindowTabs, TheSetupTextPageShowsAfterAGoodReadAndHidesAfterAFailedOne)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, gif(nom));
    TOrvandel &w = f.ouvre();
    auto *theme = f.trouve<QLineEdit>("ThemeEdit");
    theme->setFocus();
    theme->selectAll();
    QTest::keyClicks(theme, QStringLiteral("Dune"));
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    const QString paquet = f.dossiers.DossierAppli + QStringLiteral("Dune.tsk");
    ASSERT_TRUE(QFile::exists(paquet)) << f.prompts.messages.join('\n').toStdString();

    QTabBar *barre = barreOnglets(f);
    auto *infS = f.trouve<QToolButton>("InfSBtn");
    EXPECT_FALSE(w.ongletInfVisible());
    EXPECT_TRUE(infS->isHidden());

    // A cancelled dialog reads nothing and changes nothing.
    f.prompts.openPackageName(std::nullopt);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    EXPECT_FALSE(w.ongletInfVisible());

    f.prompts.openPackageName(paquet);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_TRUE(w.ongletInfVisible());
    EXPECT_TRUE(barre->isTabVisible(5));
    EXPECT_FALSE(infS->isHidden());
    const QString inf = f.trouve<QPlainTextEdit>("InfTexteMemo")->toPlainText();
    EXPECT_TRUE(inf.startsWith(QStringLiteral("[Version]"))) << inf.toStdString();
    EXPECT_EQ(inf, w.memoInf()->Memo1->toPlainText());
    const QString fic = f.trouve<QPlainTextEdit>("InfFichiersMemo")->toPlainText();
    EXPECT_TRUE(fic.startsWith(QStringLiteral("File(s) :")));
    EXPECT_TRUE(fic.contains(QString(36, '*')));
    // Filled, both boxes show the setup files in the fixed-pitch type.
    for (const char *nom : {"InfTexteMemo", "InfFichiersMemo"}) {
        const QFont police = f.trouve<QPlainTextEdit>(nom)->font();
        EXPECT_EQ(police.family(), QStringLiteral("Courier New")) << nom;
        EXPECT_EQ(police.styleHint(), QFont::Monospace) << nom;
        EXPECT_EQ(police.pointSize(), 9) << nom;
    }
    EXPECT_TRUE(ongletMontre(barre, 5, ChargeImageRes("onglet_inftextico.png")));
    survole(barre, barre->tabRect(5).center());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("View and/or save original Theme installation file"));

    // The page is shown; a package that is not a theme hides it and its button.
    f.trouve<QTabWidget>("PageControl1")->setCurrentIndex(5);
    const QString faux = testenv::tempDir() + "/bad.tsk";
    testenv::writeFile(faux, "MSCF not really");
    f.prompts.openPackageName(faux);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    EXPECT_FALSE(f.prompts.messages.isEmpty());
    EXPECT_FALSE(w.ongletInfVisible());
    EXPECT_TRUE(infS->isHidden());
    EXPECT_EQ(f.trouve<QTabWidget>("PageControl1")->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowBrackets, TheThreeLowerBracketsStandOverTheThreeHotZones)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *apercu = f.trouve<VueApercuEcran>("ApercuEcran");
    ASSERT_TRUE(apercu);
    const QImage vu = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The navigation bar's top-left corner in the window.
    const QPoint barre = apercu->mapTo(&w, GeometrieApercu::BarreNavigation.topLeft());
    const QRgb crayon = CalqueCrochets::couleurCrayon().rgb();

    // The row of the lower brackets' horizontal lines, 12 pixels above the
    // bar: three runs of the pen's colour.
    const int y = barre.y() - 12;
    QList<QPair<int, int>> traits;
    for (int x = barre.x() - 20; x < barre.x() + GeometrieApercu::BarreNavigation.width() + 20; ++x) {
        if (vu.pixel(x, y) != crayon)
            continue;
        if (!traits.isEmpty() && traits.last().second == x - 1)
            traits.last().second = x;
        else
            traits.append({x, x});
    }
    ASSERT_EQ(traits.size(), 3);
    // Each run hangs down at both ends towards the bar.
    for (const auto &t : traits)
        for (int x : {t.first, t.second})
            EXPECT_EQ(vu.pixel(x, y + 4), crayon) << x;
    // Under each run's middle lies its hot zone: the Start menu, the
    // critical notification, the normal notification.
    const int zones[] = {3, 2, 1};
    const Surimpression montre[] = {Surimpression::MenuDemarrer, Surimpression::MessageCritique,
                                    Surimpression::MessageNormal};
    for (int i = 0; i < 3; ++i) {
        const int milieu = (traits[i].first + traits[i].second) / 2;
        EXPECT_EQ(ZoneMessage(milieu - barre.x(), 10), zones[i]) << i;
        const QPoint clic = apercu->mapFrom(&w, QPoint(milieu, barre.y() + 10));
        QTest::mouseClick(apercu, Qt::LeftButton, {}, clic);
        EXPECT_EQ(apercu->surimpression(), montre[i]) << i;
        QTest::mouseClick(apercu, Qt::LeftButton, {}, clic);
        EXPECT_EQ(apercu->surimpression(), Surimpression::Aucune) << i;
    }
}

TEST(MainWindowBrackets, ThePictureCommandClosesEveryOverlayFirst)
{
    Fenetre f;
    f.ouvre();
    auto *apercu = f.trouve<VueApercuEcran>("ApercuEcran");
    for (int zone : {1, 2, 3}) {
        apercu->basculeZone(zone);
        ASSERT_NE(apercu->surimpression(), Surimpression::Aucune);
        Surimpression pendant = Surimpression::MessageNormal;
        fenetretest::surFenetreModale([&](QWidget *d) {
            pendant = apercu->surimpression();
            static_cast<QDialog *>(d)->reject();
        });
        f.prompts.openPictureName(std::nullopt); // the chooser asks for a picture first
        QTest::mouseClick(f.trouve<QToolButton>("ImageTBtn"), Qt::LeftButton);
        EXPECT_EQ(pendant, Surimpression::Aucune) << zone;
        EXPECT_EQ(apercu->surimpression(), Surimpression::Aucune) << zone;
    }
}
