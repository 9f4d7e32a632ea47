// The window's own menu: its items in order, each opening its window, reached
// from the program's icon and from the tool bar's free area.

#include "app/about_box.h"
#include "app/zantiq_form.h"
#include "tests/support/fenetre_principale.h"
#include "ui/info_version.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

// The class of the modal window an action opens ("" when none opened).
QString fenetreOuverte(QAction *action)
{
    QString classe;
    surFenetreModale([&classe](QWidget *d) {
        classe = QString::fromLatin1(d->metaObject()->className());
        static_cast<QDialog *>(d)->reject();
    });
    action->trigger();
    QCoreApplication::processEvents();
    return classe;
}

} // namespace

TEST(MainWindowMenuSysteme, ItemsInOrderEachOpeningItsWindow)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QMenu *menu = w.menuSysteme();
    ASSERT_TRUE(menu);
    QStringList textes;
    for (QAction *a : menu->actions())
        textes << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(textes, (QStringList{"A Propos", "-", "Orvandel - Zantiq", "Version Orvandel : " + LigneVersionProgramme(),
                                   "English Version", "-", "&Quit Orvandel"}));
    EXPECT_FALSE(LigneVersionProgramme().isEmpty());

    EXPECT_EQ(fenetreOuverte(menu->actions()[0]), QStringLiteral("TAboutBox"));
    EXPECT_EQ(fenetreOuverte(menu->actions()[2]), QStringLiteral("TZantiqForm"));
    EXPECT_EQ(fenetreOuverte(menu->actions()[3]), QStringLiteral("TAboutBox"));
    EXPECT_EQ(fenetreOuverte(menu->actions()[4]), QStringLiteral("TAboutBox"));
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // The quit item closes the window (the shut-down runs), also by Alt+F4.
    QAction *quitter = menu->actions()[6];
    EXPECT_EQ(quitter->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    quitter->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QFile::exists(f.dossiers.DossierAppli + "OptionsOVD.ini"));
}

TEST(MainWindowMenuSysteme, OpensFromTheProgramIconAndTheToolBar)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *icone = f.trouve<QToolButton>("MenuSystemeBtn");
    ASSERT_TRUE(icone);
    EXPECT_EQ(icone->menu(), w.menuSysteme());
    EXPECT_EQ(icone->popupMode(), QToolButton::InstantPopup);
    auto *barre = f.trouve<QToolBar>("ToolBar1");
    // The icon comes first on the tool bar.
    EXPECT_EQ(barre->widgetForAction(barre->actions().first()), icone);

    bool montre = false;
    QObject::connect(w.menuSysteme(), &QMenu::aboutToShow, [&] {
        montre = true;
        QTimer::singleShot(0, w.menuSysteme(), &QMenu::close);
    });
    emit barre->customContextMenuRequested(QPoint(barre->width() - 3, 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return montre; }, 2000));
}
