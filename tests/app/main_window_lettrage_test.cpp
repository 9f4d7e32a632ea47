// The product name and version lettered on the main window's background:
// whole and uncovered at the default size and when enlarged, in the tiled
// look and in the uniform one.

#include "tests/support/fenetre_principale.h"

#include "apercu/fond_fenetre.h"
#include "ui/utiles_indep.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QTabWidget>
#include <QTest>

using fenetretest::Fenetre;

namespace {

const QString kPolice = QStringLiteral("Times New Roman");

PeintreFond *peintre(TOrvandel &w)
{
    return w.centralWidget()->findChild<PeintreFond *>(QStringLiteral("PeintreFond"));
}

// No control of the window lies over any point of r (in the central area).
::testing::AssertionResult rienDessus(QWidget *centre, const QRect &r)
{
    if (!centre->rect().contains(r))
        return ::testing::AssertionFailure() << "the lettering leaves the area";
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QWidget *c = centre->childAt(x, y))
                return ::testing::AssertionFailure()
                       << c->objectName().toStdString() << " covers (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
}

// The tiled look: the name and the version where the picture letters them.
void controleFondDessine(TOrvandel &w, const char *quand)
{
    SCOPED_TRACE(quand);
    QWidget *centre = w.centralWidget();
    PeintreFond *p = peintre(w);
    ASSERT_TRUE(p);
    const QImage ecran = centre->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fond = p->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(fond.isNull());
    const int W = centre->width(), Hc = centre->height();
    ASSERT_EQ(fond.width(), W);
    const int style = StyleGras | StyleItalique;
    const QSize nom = MesureTexte(QStringLiteral("Orvandel"), kPolice, 22, style);
    const QSize version = MesureTexte(p->params().version, kPolice, 14, style);
    ASSERT_FALSE(p->params().version.isEmpty());
    // From the shadow's offset to the end of the version, down to the status bar.
    const QRect lettrage(W / 2 - 2, Hc - 28, nom.width() + version.width() + 8, 28);
    EXPECT_TRUE(rienDessus(centre, lettrage));

    // What the window shows there is the picture itself.
    int differents = 0;
    for (int y = lettrage.top(); y <= lettrage.bottom(); ++y)
        for (int x = lettrage.left(); x <= lettrage.right(); ++x)
            differents += ecran.pixel(x, y) != fond.pixel(x, y);
    EXPECT_EQ(differents, 0);

    // The version is lettered inside that rectangle, all of it: the picture
    // drawn without it differs there and nowhere else.
    ParamsFond sans = p->params();
    sans.taille = fond.size();
    sans.hauteurBarreEtat = fond.height() - Hc;
    ParamsFond avec = sans;
    sans.version.clear();
    const QImage a = DessineFond(avec).convertToFormat(QImage::Format_RGB32);
    const QImage b = DessineFond(sans).convertToFormat(QImage::Format_RGB32);
    // Ink: at least a third of the strongest contrast of the lettering (the
    // faint edge of the smoothing below the last row does not count).
    const auto ecart = [](QRgb u, QRgb v) {
        return std::max({std::abs(qRed(u) - qRed(v)), std::abs(qGreen(u) - qGreen(v)), std::abs(qBlue(u) - qBlue(v))});
    };
    int plusFort = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            plusFort = std::max(plusFort, ecart(a.pixel(x, y), b.pixel(x, y)));
    QRect trace;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (3 * ecart(a.pixel(x, y), b.pixel(x, y)) > plusFort)
                trace |= QRect(x, y, 1, 1);
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_GT(trace.width(), version.width() / 2);
    EXPECT_TRUE(lettrage.contains(trace)) << trace.x() << "," << trace.y() << " " << trace.width() << "x"
                                          << trace.height() << " in " << lettrage.x() << "," << lettrage.y() << " "
                                          << lettrage.width() << "x" << lettrage.height();

    // The version starts after the name's last letter, not over it: the name
    // lettered alone, as the picture letters it, ends before the version's ink.
    QImage seul(fond.size(), QImage::Format_ARGB32);
    seul.fill(Qt::black);
    DessineTexteOmbre(seul, QStringLiteral("Orvandel"), kPolice, 22, W / 2, fond.height() - sans.hauteurBarreEtat - 26,
                      -2, -2, TColor::fromRgb(255, 255, 255), TColor::fromRgb(255, 255, 255), style, 255, 255);
    int finNom = -1;
    for (int y = 0; y < seul.height(); ++y)
        for (int x = 0; x < seul.width(); ++x)
            if (qGray(seul.pixel(x, y)) > 128)
                finNom = std::max(finNom, x);
    ASSERT_GT(finNom, W / 2);
    EXPECT_GT(trace.left(), finNom) << "the version overlaps the name";
}

// The uniform look: the plain text, in its own colour, whole and uncovered.
void controleTexteUni(TOrvandel &w, const char *quand)
{
    SCOPED_TRACE(quand);
    QWidget *centre = w.centralWidget();
    PeintreFond *p = peintre(w);
    ASSERT_TRUE(p && p->uniforme());
    const QString texte = QStringLiteral("Orvandel ") + p->params().version;
    const QFontMetrics fm(centre->font());
    const int W = centre->width(), Hc = centre->height();
    const QRect lettrage(W / 2, Hc - 48, fm.horizontalAdvance(texte) + 2, fm.height());
    EXPECT_TRUE(rienDessus(centre, lettrage));

    const QImage ecran = centre->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor attendue(0xC0, 0xDC, 0xC0);
    QRect trace;
    for (int y = 0; y < ecran.height(); ++y)
        for (int x = 0; x < ecran.width(); ++x) {
            const QColor c = ecran.pixelColor(x, y);
            if (std::abs(c.red() - attendue.red()) < 8 && std::abs(c.green() - attendue.green()) < 8
                && std::abs(c.blue() - attendue.blue()) < 8)
                trace |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(trace.isEmpty()) << "no text in the uniform look";
    EXPECT_TRUE(lettrage.contains(trace));
    // Whole: from its first letter to its last.
    EXPECT_GE(trace.width(), fm.horizontalAdvance(texte) * 8 / 10);
}

} // namespace

TEST(MainWindowLettrage, NameAndVersionAreWholeInBothLooksAtTheDefaultSizeAndEnlarged)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // Every page leaves the lettering alone.
    auto *pages = f.trouve<QTabWidget>(QStringLiteral("PageControl1"));
    for (int i = 0; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i))
            continue;
        pages->setCurrentIndex(i);
        controleFondDessine(w, qPrintable(QStringLiteral("page %1").arg(i)));
    }
    pages->setCurrentIndex(0);

    auto *unie = f.trouve<QCheckBox>(QStringLiteral("FicheUnieCB"));
    ASSERT_TRUE(unie && !unie->isChecked());
    unie->click();
    controleTexteUni(w, "uniform, default size");

    w.resize(w.width() + 300, w.height() + 160);
    QTest::qWait(0);
    QCoreApplication::processEvents();
    controleTexteUni(w, "uniform, enlarged");
    unie->click();
    controleFondDessine(w, "tiled, enlarged");
    f.ferme();
}
