// The main window's layout at its default size: the device state stays in
// view when a device connects, the save folder shows whole when it fits and
// follows the window's width, ticking boxes or the uniform look moves
// nothing, and the package dialog follows the uniform look.

#include "tests/support/connexion_fenetre.h"
#include "tests/support/devsim_support.h"
#include "tests/support/fenetre_principale.h"

#include "device/etat_pda.h"
#include "tools/open_picture_dialog_gdi_tsk.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using fenetretest::Fenetre;

namespace {

// Where each of the widgets named stands in the window, and the window's size.
QList<QRect> places(TOrvandel &w, const QStringList &noms)
{
    QList<QRect> r{QRect(QPoint(), w.size())};
    for (const QString &nom : noms) {
        auto *x = w.findChild<QWidget *>(nom);
        r << (x ? QRect(x->mapTo(&w, QPoint()), x->size()) : QRect());
    }
    return r;
}

} // namespace

TEST(DispositionFenetre, TheDeviceStateStaysInViewWhenADeviceConnects)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QSignalSpy spy(w.etatPDA()->DccMan.get(), &TDccMan::OnChange);
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 5000));
    auto *etat = f.trouve<QLabel>("EtatASLbl");
    const QRect avant(etat->mapTo(&w, QPoint()), etat->size());
    const QSize taille = w.size();

    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(255, 255, 255, 254)), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.contexte().appareil.connecte; }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(etat->text(), QStringLiteral("Active ( IP Adress : 255.255.255.254 )"));
    // In the tool bar itself, not in its overflow menu, whole, and where it was.
    for (const char *nom : {"Image11", "ASLbl", "EtatASLbl"}) {
        auto *x = f.trouve<QWidget>(nom);
        EXPECT_TRUE(x->isVisible()) << nom;
        EXPECT_EQ(x->window(), &w) << nom;
        const QRect dansBarre(x->mapTo(f.trouve<QToolBar>("ToolBar1"), QPoint()), x->size());
        EXPECT_TRUE(f.trouve<QToolBar>("ToolBar1")->rect().contains(dansBarre)) << nom;
    }
    EXPECT_GE(etat->contentsRect().width(), etat->fontMetrics().horizontalAdvance(etat->text()));
    EXPECT_EQ(QRect(etat->mapTo(&w, QPoint()), etat->size()), avant);
    EXPECT_EQ(w.size(), taille);
    f.ferme();
}

TEST(DispositionFenetre, TheSaveFolderShowsWholeWhenItFitsAndFollowsTheWidth)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("OptionsTabS"));
    QApplication::processEvents();
    auto *edit = f.trouve<QLineEdit>("DossierEdit");
    const QString dossier = w.contexte().dossiers.DossierTsk;
    ASSERT_LT(edit->fontMetrics().horizontalAdvance(dossier), edit->width() - 10) << "the test's folder must fit";
    EXPECT_EQ(edit->text(), dossier);
    EXPECT_EQ(edit->toolTip(), dossier);

    // Narrower: shortened in the middle; wider again: whole again.
    w.resize(w.minimumSizeHint().width(), w.height());
    QApplication::processEvents();
    if (edit->fontMetrics().horizontalAdvance(dossier) > edit->width() - 10) {
        EXPECT_NE(edit->text(), dossier);
        EXPECT_TRUE(edit->text().contains(QChar(0x2026)));
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width() - 10);
    }
    w.resize(w.width() + 400, w.height());
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), dossier);
    f.ferme();
}

TEST(DispositionFenetre, TickingBoxesAndTheUniformLookMoveNothing)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *pages = f.trouve<QTabWidget>("PageControl1");
    pages->setCurrentWidget(f.trouve<QWidget>("CoulTabS"));
    QApplication::processEvents();
    QStringList noms{"SelALLBtn", "DeSelALLSBtn", "ActualFmtLbl"};
    for (int i = 1; i <= JeuCouleurs::NbCouleurs; ++i)
        noms << QStringLiteral("CB%1").arg(i) << QStringLiteral("Label%1").arg(i);
    const QList<QRect> depart = places(w, noms);
    for (const char *bouton : {"SelALLBtn", "DeSelALLSBtn", "SelALLBtn"}) {
        QTest::mouseClick(f.trouve<QPushButton>(bouton), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_EQ(places(w, noms), depart) << bouton;
    }
    EXPECT_TRUE(f.trouve<QWidget>("Panel7")->isVisible());
    f.trouve<QCheckBox>("CB7")->click();
    QApplication::processEvents();
    EXPECT_FALSE(f.trouve<QWidget>("Panel7")->isVisible());
    EXPECT_EQ(places(w, noms), depart);

    pages->setCurrentWidget(f.trouve<QWidget>("OptionsTabS"));
    QApplication::processEvents();
    const QStringList options{"FicheUnieCB", "SkinRG", "EffacerCB", "DossierEdit", "OptionsBtn"};
    const QList<QRect> avant = places(w, options);
    auto *unie = f.trouve<QCheckBox>("FicheUnieCB");
    for (bool coche : {true, false}) {
        unie->click();
        QApplication::processEvents();
        EXPECT_EQ(unie->isChecked(), coche);
        EXPECT_EQ(f.trouve<QWidget>("GradientRG")->isVisible(), !coche);
        EXPECT_EQ(places(w, options), avant) << coche;
    }
    f.ferme();
}

TEST(DispositionFenetre, ThePackageDialogFollowsTheUniformLook)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *unie = f.trouve<QCheckBox>("FicheUnieCB");
    for (bool uniforme : {false, true}) {
        if (unie->isChecked() != uniforme)
            unie->click();
        std::optional<bool> fond;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor(
                [&] { return qobject_cast<TOpenPictureDialogGDITSK *>(QApplication::activeModalWidget()); }, 5000);
            auto *d = qobject_cast<TOpenPictureDialogGDITSK *>(QApplication::activeModalWidget());
            if (!d)
                return;
            fond = d->BkgImage;
            d->reject();
        });
        OuvrePaquetAvecApercu(&w, {}, testenv::tempDir(), &f.prompts);
        ASSERT_TRUE(fond.has_value());
        EXPECT_EQ(*fond, !uniforme);
    }
    f.ferme();
}
