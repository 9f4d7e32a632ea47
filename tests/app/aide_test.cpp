// The program's help: the built-in pages, their context ids and links, and
// the requests of the main window (context help, the help button, topics and
// keywords) opening the right page in the help window.

#include "app/aide_html.h"
#include "app/fenetre_aide.h"
#include "apercu/apercu_ecran.h"
#include "apercu/vue_apercu_ecran.h"
#include "tests/support/fenetre_principale.h"
#include "theme/animation_pause.h"
#include "tools/texte_sur_image.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using fenetretest::Fenetre;

namespace {

QString lit(const QString &page)
{
    QFile f(QStringLiteral(":/aide/") + page);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << page.toStdString();
    return QString::fromUtf8(f.readAll());
}

// The context id a page declares, read straight from its text; -1 for none.
int idDeclare(const QString &page)
{
    const auto m = QRegularExpression(QStringLiteral("<meta name=\"helpid\" content=\"(\\d+)\">")).match(lit(page));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString titre(const QString &page)
{
    return QRegularExpression(QStringLiteral("<title>([^<]*)</title>")).match(lit(page)).captured(1);
}

// The context ids the image chooser asks the main window for.
const int kIdsChoixImages[] = {1001, 1011, 1014, 1018, 1021, 1022, 1029};

} // namespace

TEST(Aide, EveryPageIsReachableAndEveryLinkLeadsToAPage)
{
    const QStringList pages = QDir(QStringLiteral(":/aide")).entryList({QStringLiteral("*.htm")});
    ASSERT_TRUE(pages.contains(QStringLiteral("index.htm")));
    ASSERT_GT(pages.size(), 30);
    const QString sommaire = lit(QStringLiteral("index.htm"));
    QSet<int> ids;
    QSet<QString> titres;
    for (const QString &page : pages) {
        const QString texte = lit(page);
        EXPECT_FALSE(titre(page).isEmpty()) << page.toStdString();
        EXPECT_FALSE(titres.contains(titre(page))) << page.toStdString();
        titres.insert(titre(page));
        if (page != QStringLiteral("index.htm")) {
            // One id per page, no id twice; every page listed in the contents.
            const int id = idDeclare(page);
            EXPECT_GT(id, 0) << page.toStdString();
            EXPECT_FALSE(ids.contains(id)) << id;
            ids.insert(id);
            EXPECT_TRUE(sommaire.contains(QStringLiteral("href=\"%1\"").arg(page))) << page.toStdString();
        }
        auto liens = QRegularExpression(QStringLiteral("href=\"([^\"]+)\"")).globalMatch(texte);
        while (liens.hasNext()) {
            const QString cible = liens.next().captured(1);
            EXPECT_TRUE(pages.contains(cible)) << page.toStdString() << " -> " << cible.toStdString();
        }
    }
}

TEST(Aide, EachContextIdOfTheMainWindowOpensItsOwnPage)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *aide = dynamic_cast<TStoHtmlHelpViewer *>(w.aide());
    ASSERT_TRUE(aide);

    // Every control that has a help topic, asked through the context-menu key.
    QSet<int> vus;
    for (QWidget *c : w.findChildren<QWidget *>()) {
        const QVariant id = c->property("helpId");
        if (!id.isValid())
            continue;
        QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(1, 1), c->mapToGlobal(QPoint(1, 1)));
        QCoreApplication::sendEvent(c, &e);
        const QString page = aide->pageAffichee();
        ASSERT_FALSE(page.isEmpty()) << c->objectName().toStdString();
        EXPECT_EQ(idDeclare(page), id.toInt()) << c->objectName().toStdString();
        EXPECT_EQ(aide->fenetre()->AideTexte->documentTitle(), titre(page));
        vus.insert(id.toInt());
    }
    for (int id : aide->contextes())
        if (!vus.contains(id) && id != 4 && id != 7 && id != AideTexteSurImg
            && !std::count(std::begin(kIdsChoixImages), std::end(kIdsChoixImages), id))
            ADD_FAILURE() << "no control of the window asks for " << id;
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // The image chooser's topics go through the main window.
    for (int id : kIdsChoixImages) {
        w.AfficheAideContexte(id);
        EXPECT_EQ(idDeclare(aide->pageAffichee()), id);
        vus.insert(id);
    }
    // Different ids, different pages.
    QSet<QString> pages;
    for (int id : vus)
        pages.insert(aide->pageContexte(id));
    EXPECT_EQ(pages.size(), vus.size());

    // The help button: the contents; the close of the window closes the help.
    QTest::mouseClick(f.trouve<QToolButton>("AideTBtn"), Qt::LeftButton);
    EXPECT_EQ(aide->pageAffichee(), QStringLiteral("index.htm"));
    EXPECT_EQ(aide->fenetre()->AideTexte->documentTitle(), QStringLiteral("Orvandel Help"));
    // The window's title says it once for the contents, and names a topic's page.
    EXPECT_EQ(aide->fenetre()->windowTitle(), QStringLiteral("Orvandel Help"));
    w.AfficheAideContexte(1008);
    EXPECT_EQ(aide->fenetre()->windowTitle(), QStringLiteral("Orvandel Help - Creating the theme"));
    f.ferme();
}

TEST(Aide, ThePreviewShowsTheTodayAndStartMenuTopicsWithoutTheDropper)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *aide = dynamic_cast<TStoHtmlHelpViewer *>(w.aide());
    auto *apercu = f.trouve<VueApercuEcran>("ApercuEcran");
    const QPoint today = GeometrieApercu::EcranToday.center() + QPoint(0, 60);
    QTest::mouseClick(apercu, Qt::RightButton, {}, today);
    EXPECT_EQ(idDeclare(aide->pageAffichee()), 4);
    aide->SoftShutDown();
    EXPECT_TRUE(aide->pageAffichee().isEmpty());

    // The Start menu over the screen: its own topic.
    apercu->basculeZone(3);
    ASSERT_EQ(apercu->surimpression(), Surimpression::MenuDemarrer);
    const QPoint menu = apercu->images().positionSurimpression + QPoint(10, 10);
    QTest::mouseClick(apercu, Qt::LeftButton, {}, menu);
    EXPECT_EQ(idDeclare(aide->pageAffichee()), 7);
    EXPECT_EQ(apercu->surimpression(), Surimpression::MenuDemarrer);

    // With the dropper the left button takes a colour and opens nothing.
    aide->SoftShutDown();
    QTest::mouseClick(f.trouve<QToolButton>("PipetteSBtn"), Qt::LeftButton);
    QTest::mouseClick(apercu, Qt::LeftButton, {}, menu);
    EXPECT_TRUE(aide->pageAffichee().isEmpty());
    // A press on the Today screen closes the menu.
    const QRect rectMenu(apercu->images().positionSurimpression, apercu->images().surimpression.size());
    const QPoint horsMenu = GeometrieApercu::EcranToday.bottomRight() - QPoint(3, 3);
    ASSERT_FALSE(rectMenu.contains(horsMenu));
    QTest::mouseClick(apercu, Qt::LeftButton, {}, horsMenu);
    EXPECT_EQ(apercu->surimpression(), Surimpression::Aucune);
    EXPECT_TRUE(aide->pageAffichee().isEmpty());
}

TEST(Aide, TopicsAndKeywordsUseTheirArgument)
{
    AnimationPause pause;
    TStoHtmlHelpViewer aide(&pause);
    EXPECT_EQ(TStoHtmlHelpViewer::NomSujet(QStringLiteral("x")), QStringLiteral("x.htm"));
    EXPECT_EQ(TStoHtmlHelpViewer::NomSujet(QStringLiteral("X.HTML")), QStringLiteral("X.HTML"));
    EXPECT_EQ(TStoHtmlHelpViewer::NomSujet(QStringLiteral("a.Htm")), QStringLiteral("a.Htm"));
    EXPECT_EQ(TStoHtmlHelpViewer::MotCle(QStringLiteral("StoHtmlHelp:  dropper ")), QStringLiteral("dropper"));
    EXPECT_EQ(TStoHtmlHelpViewer::MotCle(QStringLiteral("a: b: c")), QStringLiteral("b: c"));

    aide.AfficheSujet(QStringLiteral("creer"));
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("creer.htm"));
    aide.AfficheSujet(QStringLiteral("pipette.htm"));
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("pipette.htm"));
    // A topic that is no page of the help, or that names a folder: the contents.
    for (const char *hostile : {"nothing-here", "../../etc/passwd", "/etc/hostname", "sub/creer"}) {
        aide.AfficheSujet(QString::fromLatin1(hostile));
        EXPECT_EQ(aide.pageAffichee(), QStringLiteral("index.htm")) << hostile;
    }

    aide.AfficheMotCle(QStringLiteral("StoHtmlHelp: dropper"));
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("pipette.htm"));
    aide.AfficheMotCle(QStringLiteral("StoHtmlHelp: STATUS BAR"));
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("barre_etat.htm"));
    aide.AfficheMotCle(QStringLiteral("StoHtmlHelp: no such word"));
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("index.htm"));
    // An id without a page: the contents.
    aide.AfficheContexte(999999);
    EXPECT_EQ(aide.pageAffichee(), QStringLiteral("index.htm"));

    // The window's links and history.
    aide.AfficheContexte(4);
    FenetreAide *fenetre = aide.fenetre();
    fenetre->AideTexte->setSource(QUrl(QStringLiteral("pipette.htm")));
    EXPECT_EQ(fenetre->page(), QStringLiteral("pipette.htm"));
    ASSERT_TRUE(fenetre->PrecedentBtn->isEnabled());
    fenetre->PrecedentBtn->click();
    EXPECT_EQ(idDeclare(fenetre->page()), 4);
    fenetre->SommaireBtn->click();
    EXPECT_EQ(fenetre->page(), QStringLiteral("index.htm"));
    EXPECT_FALSE(pause.isPaused());
}

TEST(Aide, AFolderWithoutPagesShowsNothing)
{
    const QString vide = testenv::tempDir() + QStringLiteral("/aide-vide");
    QDir().mkpath(vide);
    TStoHtmlHelpViewer aide(nullptr, vide);
    aide.AfficheSommaire();
    aide.AfficheContexte(1008);
    aide.AfficheMotCle(QStringLiteral("x: y"));
    EXPECT_EQ(aide.fenetre(), nullptr);
    EXPECT_TRUE(aide.contextes().isEmpty());
}

// Help asked from inside the image chooser, a modal window: the help window
// takes the user's clicks while the chooser stays open (a click goes through
// the window system, where a window blocked by a modal one ignores it), and
// stays open on its own once the chooser is closed.
TEST(Aide, HelpFromTheOpenImageChooserCanBeUsedWhileTheChooserStaysOpen)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *aide = dynamic_cast<TStoHtmlHelpViewer *>(w.aide());
    ASSERT_TRUE(aide);
    f.prompts.openPictureName(f.dossiers.DossierAppli + "tdywater.gif");
    bool vu = false;
    QString pageDemandee, pageApresClic;
    fenetretest::surFenetreModale([&](QWidget *choix) {
        vu = true;
        QWidget *barre = nullptr;
        for (QWidget *c : choix->findChildren<QWidget *>())
            if (c->property("helpId").toInt() == 1001)
                barre = c;
        ASSERT_TRUE(barre);
        const QPoint ici = barre->mapTo(choix, QPoint(2, 2));
        QContextMenuEvent e(QContextMenuEvent::Mouse, ici, choix->mapToGlobal(ici));
        QCoreApplication::sendEvent(choix, &e);
        pageDemandee = aide->pageAffichee();
        FenetreAide *fenetre = aide->fenetre();
        ASSERT_TRUE(fenetre && fenetre->isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(fenetre));
        // The contents button, clicked as a user does.
        QToolButton *sommaire = fenetre->SommaireBtn;
        const QPoint dansFenetre = sommaire->mapTo(fenetre, sommaire->rect().center());
        QTest::mouseClick(fenetre->windowHandle(), Qt::LeftButton, {}, dansFenetre);
        pageApresClic = aide->pageAffichee();
        // The chooser is still the window that holds the user.
        EXPECT_EQ(QApplication::activeModalWidget(), choix);
        static_cast<QDialog *>(choix)->reject();
    });
    f.trouve<QAbstractButton>("ImgChoix")->click();
    ASSERT_TRUE(vu);
    EXPECT_EQ(idDeclare(pageDemandee), 1001);
    EXPECT_EQ(pageApresClic, QStringLiteral("index.htm"));
    // The chooser is gone; the help window is not.
    ASSERT_TRUE(aide->fenetre());
    EXPECT_TRUE(aide->fenetre()->isVisible());
    EXPECT_EQ(aide->fenetre()->parentWidget(), nullptr);
    EXPECT_EQ(aide->pageAffichee(), QStringLiteral("index.htm"));
    f.ferme();
}

// Help asked from a modal window opened by another modal window: when the
// inner one closes, the help window goes with the outer one, still usable;
// when that one closes too, it stands alone.
TEST(Aide, HelpFollowsNestedModalWindowsAsTheyClose)
{
    AnimationPause pause;
    TStoHtmlHelpViewer aide(&pause);
    QDialog exterieure;
    exterieure.setObjectName(QStringLiteral("Exterieure"));
    QWidget *parentApresInterieure = nullptr;
    bool bloquee = true;
    QTimer::singleShot(0, [&] {
        auto *interieure = new QDialog(&exterieure);
        QTimer::singleShot(0, [&, interieure] {
            aide.AfficheSommaire();
            EXPECT_EQ(aide.fenetre()->parentWidget(), interieure);
            interieure->reject();
        });
        interieure->exec();
        delete interieure;
        parentApresInterieure = aide.fenetre() ? aide.fenetre()->parentWidget() : nullptr;
        // Still clickable through the window system while the outer one is open.
        FenetreAide *fenetre = aide.fenetre();
        if (fenetre && QTest::qWaitForWindowExposed(fenetre)) {
            fenetre->montre(QStringLiteral("creer.htm"));
            const QPoint ici = fenetre->SommaireBtn->mapTo(fenetre, fenetre->SommaireBtn->rect().center());
            QTest::mouseClick(fenetre->windowHandle(), Qt::LeftButton, {}, ici);
            bloquee = aide.pageAffichee() != QStringLiteral("index.htm");
        }
        exterieure.reject();
    });
    exterieure.exec();
    EXPECT_EQ(parentApresInterieure, &exterieure);
    EXPECT_FALSE(bloquee);
    ASSERT_TRUE(aide.fenetre());
    EXPECT_EQ(aide.fenetre()->parentWidget(), nullptr);
    EXPECT_TRUE(aide.fenetre()->isVisible());
}

// The text tool: a help window opened before the tool stays usable while the
// tool is open; a right click or F1 on the tool's controls shows the tool's
// page, in that window, and the tool stays the window that holds the user.
TEST(Aide, HelpFromTheTextToolAndAHelpWindowAlreadyOpen)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"}) {
        QImage image(240, 320, QImage::Format_RGB32);
        image.fill(qRgb(30, 60, 200));
        ASSERT_TRUE(image.save(f.dossiers.DossierAppli + QLatin1String(nom), "PNG"));
    }
    TOrvandel &w = f.ouvre();
    auto *aide = dynamic_cast<TStoHtmlHelpViewer *>(w.aide());
    ASSERT_TRUE(aide);
    QTest::mouseClick(f.trouve<QToolButton>("AideTBtn"), Qt::LeftButton);
    ASSERT_EQ(aide->pageAffichee(), QStringLiteral("index.htm"));
    FenetreAide *fenetre = aide->fenetre();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fenetre));

    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("ImgTabS"));
    auto *bouton = f.trouve<QToolButton>("AddTextSBtn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bouton->isVisible(); }, 2000));
    bool vu = false;
    QString apresClic, apresClicDroit, apresF1;
    fenetretest::surFenetreModale([&](QWidget *outil) {
        vu = true;
        // The help window already open goes with the tool, and takes clicks.
        EXPECT_EQ(fenetre->parentWidget(), outil);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fenetre));
        fenetre->montre(QStringLiteral("creer.htm"));
        const QPoint sommaire = fenetre->SommaireBtn->mapTo(fenetre, fenetre->SommaireBtn->rect().center());
        QTest::mouseClick(fenetre->windowHandle(), Qt::LeftButton, {}, sommaire);
        apresClic = aide->pageAffichee();
        // A right click on a control of the tool, as a user makes it.
        auto *curseur = outil->findChild<QWidget *>(QStringLiteral("Transp1TB"));
        ASSERT_TRUE(curseur);
        QTest::mouseClick(outil->windowHandle(), Qt::RightButton, {}, curseur->mapTo(outil, QPoint(4, 4)));
        apresClicDroit = aide->pageAffichee();
        // F1 in the text field.
        fenetre->montre(QStringLiteral("index.htm"));
        auto *edit = outil->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        outil->activateWindow();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        apresF1 = aide->pageAffichee();
        EXPECT_EQ(QApplication::activeModalWidget(), outil);
        f.prompts.answer(Prompts::Answer::Yes);
        static_cast<QDialog *>(outil)->reject();
    });
    QTest::mouseClick(bouton, Qt::LeftButton);
    ASSERT_TRUE(vu);
    EXPECT_EQ(apresClic, QStringLiteral("index.htm"));
    EXPECT_EQ(idDeclare(apresClicDroit), AideTexteSurImg);
    EXPECT_EQ(idDeclare(apresF1), AideTexteSurImg);
    EXPECT_EQ(titre(apresF1), QStringLiteral("Add text on images"));
    // The tool closed, the help window stands alone, still open.
    ASSERT_TRUE(aide->fenetre());
    EXPECT_EQ(aide->fenetre()->parentWidget(), nullptr);
    EXPECT_TRUE(aide->fenetre()->isVisible());
    EXPECT_FALSE(w.contexte().animation.isPaused());
    f.ferme();
}
