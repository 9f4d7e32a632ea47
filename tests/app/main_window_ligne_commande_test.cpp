// A package given on the command line: read when the window is first shown,
// and the pictures' sizes compared once, by the first idle pass, on the
// window as drawn; the options page is left in front.

#include "tests/support/devsim_support.h"
#include "tests/support/fenetre_principale.h"

#include <QFile>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

using fenetretest::Fenetre;

namespace {

// Notes, at each message, whether the window was on the screen and which
// page was in front.
struct PromptsTemoins : ScriptedPrompts
{
    std::function<QString()> etat;
    QStringList vus;
    void message(const QString &text, const QString &caption, Icon icon) override
    {
        vus << text + QLatin1String(" | ") + (etat ? etat() : QString());
        ScriptedPrompts::message(text, caption, icon);
    }
};

// The simulated device's current theme: small pictures, no format of ours.
QString paquetBleu()
{
    const QString copie = testenv::tempDir() + QStringLiteral("/Blue.tsk");
    QFile::remove(copie);
    EXPECT_TRUE(QFile::copy(devsimtest::dossierBin() + QStringLiteral("/devsim-packages/Windows/Blue.tsk"), copie));
    return copie;
}

} // namespace

TEST(MainWindowLigneCommande, APackageOfOtherSizesIsSaidOnceOnTheDrawnWindowAndTheOptionsStayInFront)
{
    Fenetre f; // the start-up: work folders, the single-instance lock
    const QString paquet = paquetBleu();
    PromptsTemoins prompts;
    auto w = std::make_unique<TOrvandel>(f.dossiers, &prompts);
    auto *pages = w->findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    ASSERT_TRUE(pages);
    prompts.etat = [&] {
        const bool vue = w->windowHandle() && w->windowHandle()->isExposed();
        return QString(vue ? QStringLiteral("drawn ") : QStringLiteral("not drawn ")) + pages->currentWidget()->objectName();
    };
    w->setControleTailles(true);
    w->setLigneCommande({paquet});
    w->show();

    // Read while the window was first shown: the colours page in front, and
    // nothing said yet.
    EXPECT_EQ(w->contexte().document.nomTheme(), QStringLiteral("Blue"));
    EXPECT_TRUE(w->ongletInfVisible());
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();

    // The first idle pass, once the window is on the screen, says it once and
    // brings the options page.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->verifFormatEnAttente(); }, 5000));
    QTest::qWait(300); // more idle passes
    EXPECT_EQ(prompts.vus, QStringList{QStringLiteral("Adapt Theme format if needed ! | drawn CoulTabS")});
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("OptionsTabS"));

    // A package read afterwards compares again, once.
    w->LitTsk(paquet);
    EXPECT_EQ(prompts.messages,
              (QStringList{QStringLiteral("Adapt Theme format if needed !"), QStringLiteral("Adapt Theme format if needed !")}));
    w->close();
}
