// The device's Today theme keys and installed applications windows, against
// the simulated device's registry.
#include "device/app_inst.h"
#include "device/fonctions_rapi_registre.h"
#include "device/tsk_reg_today.h"
#include "tests/device/fenetres_appareil_support.h"
#include "device/texte_ce.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

using namespace fenetrestest;

namespace {

QStringList lignes(QListWidget *l)
{
    QStringList t;
    for (int i = 0; i < l->count(); ++i)
        t << l->item(i)->text();
    return t;
}

class FenetresRegistreCE : public AppareilConnecte
{
protected:
    void fixePolitique(std::optional<DWORD> valeur)
    {
        CEHKEY k = 0;
        ASSERT_EQ(etat.Rapi.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Security\\Policies\\Policies", 0, 0, &k), 0);
        if (valeur)
            EXPECT_EQ(etat.Rapi.CeRegSetValueEx(k, u"00001001", 0, OVD_REG_DWORD,
                                                reinterpret_cast<const BYTE *>(&*valeur), 4), 0);
        else
            EXPECT_EQ(etat.Rapi.CeRegDeleteValue(k, u"00001001"), 0);
        etat.Rapi.CeRegCloseKey(k);
    }
};

} // namespace

TEST_F(FenetresRegistreCE, LaBulleDUneCleResteTantQueLePointeurRestePose)
{
    TTskRegTodayF f(etat, prompts, ClesTskTriees(etat), {});
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto *liste = f.findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
    const QString attendue = QStringLiteral("Keys defined for the Theme Blue.tsk\r\n\r\nUseDefaultTitleColor\r\n"
                                            "Color_Highlight\r\nColor_HighlightText");
    // The pointer comes to rest on the first row: the hint shows at once...
    QTest::mouseMove(liste->viewport(), liste->visualItemRect(liste->item(0)).center());
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000));
    EXPECT_EQ(QToolTip::text(), attendue);
    // ...and is still there once the hint delay has long passed.
    QTest::qWait(2000);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), attendue);
    // Off the rows, it goes.
    QTest::mouseMove(liste->viewport(), QPoint(liste->viewport()->width() / 2, liste->viewport()->height() - 2));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    QToolTip::hideText();
}

TEST_F(FenetresRegistreCE, ClesTskListeesSurvoleesEtEffaceesSurConfirmation)
{
    int rafraichissements = 0;
    TTskRegTodayF f(etat, prompts, ClesTskTriees(etat), [&] {
        ++rafraichissements;
        return ClesTskTriees(etat);
    });
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("TSK in HKCU\\Software\\Microsoft\\Today"));
    auto *liste = f.findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
    auto *effacer = f.findChild<QPushButton *>(QStringLiteral("DelKeysBtn"));
    // Only the theme keys, not "Items" or "Other".
    EXPECT_EQ(lignes(liste), (QStringList{"Blue.tsk", "Green.TSK"}));
    EXPECT_FALSE(effacer->isVisible());

    // The hint of a hovered key lists its values.
    QMouseEvent survol(QEvent::MouseMove, QPointF(liste->visualItemRect(liste->item(0)).center()), QPointF(),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(liste->viewport(), &survol);
    EXPECT_EQ(liste->toolTip(), QStringLiteral("Keys defined for the Theme Blue.tsk\r\n\r\nUseDefaultTitleColor\r\n"
                                               "Color_Highlight\r\nColor_HighlightText"));

    liste->item(0)->setCheckState(Qt::Checked);
    liste->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(effacer->isVisible());
    prompts.answer(Prompts::Answer::No);
    effacer->click();
    EXPECT_EQ(prompts.questions.last(), QStringLiteral("Are you sure that you want to erase these Keys and their Contents ?"));
    QStringList cles;
    ListeClesTsk(etat.Rapi, cles);
    EXPECT_EQ(cles.size(), 2);
    EXPECT_EQ(rafraichissements, 0);

    prompts.answer(Prompts::Answer::Yes);
    effacer->click();
    EXPECT_EQ(rafraichissements, 1);
    EXPECT_TRUE(lignes(liste).isEmpty());
    EXPECT_FALSE(effacer->isVisible());
    ASSERT_TRUE(ListeClesTsk(etat.Rapi, cles));
    EXPECT_TRUE(cles.isEmpty());
    // The contents went with the key; the other Today keys stay.
    CEHKEY k = 0;
    EXPECT_NE(etat.Rapi.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today\\Blue.tsk", 0, 0, &k), 0);
    EXPECT_EQ(etat.Rapi.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today\\Items", 0, 0, &k), 0);
    etat.Rapi.CeRegCloseKey(k);
    EXPECT_EQ(LitSkinToday(etat.Rapi), QStringLiteral("\\Windows\\Blue.tsk"));

    // With no key left the window is not opened.
    EXPECT_EQ(OuvreTskRegToday(etat, prompts), int(QDialog::Rejected));
}

TEST_F(FenetresRegistreCE, ApplicationsEtRolesSelonLaPolitique)
{
    TAppInstF f(etat, prompts);
    f.ChargeAppInstall();
    // Listing order; "Install" and the uninstall data have no install key.
    EXPECT_EQ(f.noms(), (QStringList{"Notes", "Sample Tool", "Solitaire"}));
    EXPECT_EQ(f.roles(), (QStringList{"24", "16", "8"}));
    f.show();
    auto *liste = f.findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
    const auto texte = [&](const char *nom) { return f.findChild<QLabel *>(QLatin1String(nom))->text(); };
    EXPECT_EQ(f.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText(),
              QStringLiteral("Notes\nSample Tool\nSolitaire"));
    // Role 24 is in the memo only.
    EXPECT_EQ(lignes(liste), (QStringList{"Sample Tool (Role = 16)", "Solitaire (Role = 8)"}));
    // The device's policy 2 forbids writing.
    EXPECT_FALSE(liste->isEnabled());
    EXPECT_EQ(texte("EnTete"), QStringLiteral("Not allowed to overwrite these keys !"));
    EXPECT_EQ(texte("InfosLbl"),
              QStringLiteral("(Change HKLM\\Security\\Policies\\Policies\\00001001 = 1 instead of 2  RAPI Policy )"));
    fixePolitique(std::nullopt);
    f.hide();
    f.show();
    EXPECT_TRUE(texte("InfosLbl").contains(QStringLiteral("instead of -1  RAPI")));

    fixePolitique(1);
    f.hide();
    f.show();
    EXPECT_TRUE(liste->isEnabled());
    EXPECT_EQ(texte("EnTete"), QStringLiteral("Check Applications to let visible to Uninstaller"));
    EXPECT_TRUE(texte("InfosLbl").isEmpty());
    auto *modifier = f.findChild<QPushButton *>(QStringLiteral("ModifKeysBtn"));
    EXPECT_FALSE(modifier->isVisible());
    liste->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(modifier->isVisible());
    prompts.answer(Prompts::Answer::Yes);
    modifier->click();
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("Are you sure that you want to modify these Keys ?")});
    EXPECT_EQ(LitRoleAppInstall(etat.Rapi, QStringLiteral("Solitaire")), 24);
    EXPECT_EQ(LitRoleAppInstall(etat.Rapi, QStringLiteral("Sample Tool")), 16);
    EXPECT_EQ(lignes(liste), QStringList{"Sample Tool (Role = 16)"});
    EXPECT_FALSE(modifier->isVisible());

    // A device whose application folder is gone: nothing from before stays.
    ASSERT_TRUE(QDir(fs(QStringLiteral("Windows/AppMgr"))).removeRecursively());
    f.ChargeAppInstall();
    EXPECT_TRUE(f.noms().isEmpty());
    EXPECT_EQ(OuvreAppInst(etat, prompts), int(QDialog::Rejected));
}

TEST_F(FenetresRegistreCE, SansConnexionLesFenetresRefusent)
{
    etat.PDAConnecte = false;
    EXPECT_EQ(OuvreTskRegToday(etat, prompts), int(QDialog::Rejected));
    EXPECT_EQ(OuvreAppInst(etat, prompts), int(QDialog::Rejected));
    EXPECT_EQ(prompts.messages, (QStringList{"Not connected", "Not connected"}));
    // Without the library nothing is read either.
    EtatPDA sans(testenv::tempDir() + QStringLiteral("/absente.so"));
    sans.demarre();
    TAppInstF f(sans, prompts);
    f.ChargeAppInstall();
    EXPECT_TRUE(f.noms().isEmpty());
    EXPECT_TRUE(ClesTskTriees(sans).isEmpty());
}

TEST_F(FenetresRegistreCE, CleNommeeTskSeuleEtNomsABalisesEtEffacementsRefusesSignales)
{
    // A key named ".tsk" alone, and one whose name and value read like markup.
    CEHKEY today = 0, k = 0;
    ASSERT_EQ(etat.Rapi.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today", 0, 0, &today), 0);
    ASSERT_EQ(etat.Rapi.CeRegCreateKeyEx(today, u".tsk", 0, nullptr, 0, 0, nullptr, &k, nullptr), 0);
    etat.Rapi.CeRegCloseKey(k);
    ASSERT_EQ(etat.Rapi.CeRegCreateKeyEx(today, u"<u>Under&amp;line.tsk", 0, nullptr, 0, 0, nullptr, &k, nullptr), 0);
    const DWORD un = 1;
    ASSERT_EQ(etat.Rapi.CeRegSetValueEx(k, u"<b>Gras</b>", 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>(&un), 4),
              0);
    etat.Rapi.CeRegCloseKey(k);
    etat.Rapi.CeRegCloseKey(today);

    TTskRegTodayF f(etat, prompts, ClesTskTriees(etat), [&] { return ClesTskTriees(etat); });
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto *liste = f.findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
    auto *effacer = f.findChild<QPushButton *>(QStringLiteral("DelKeysBtn"));
    EXPECT_EQ(lignes(liste), (QStringList{".tsk", "<u>Under&amp;line.tsk", "Blue.tsk", "Green.TSK"}));

    // The hint of the markup key shows its very characters.
    QTest::mouseMove(liste->viewport(), liste->visualItemRect(liste->item(1)).center());
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_EQ(texteAffiche(QToolTip::text()),
              QStringLiteral("Keys defined for the Theme <u>Under&amp;line.tsk\n\n<b>Gras</b>"));
    QToolTip::hideText();

    // ".tsk" is listed, so it can be erased: it goes, and nothing is said.
    liste->item(0)->setCheckState(Qt::Checked);
    prompts.answer(Prompts::Answer::Yes);
    effacer->click();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(lignes(liste), (QStringList{"<u>Under&amp;line.tsk", "Blue.tsk", "Green.TSK"}));
    QStringList cles;
    ASSERT_TRUE(ListeClesTsk(etat.Rapi, cles));
    EXPECT_FALSE(cles.contains(QStringLiteral(".tsk")));

    // The device pulled out: every ticked erase is refused, and said so.
    liste->item(0)->setCheckState(Qt::Checked);
    liste->item(1)->setCheckState(Qt::Checked);
    ASSERT_GE(c.OvdSimUnplug(dir.constData()), 0);
    prompts.answer(Prompts::Answer::Yes);
    effacer->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0],
              QStringLiteral("These Keys could not be erased :\r\n\r\n<u>Under&amp;line.tsk\r\nBlue.tsk"));
    // Back in: they are all still there.
    ASSERT_GE(c.OvdSimPlug(dir.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
    ASSERT_TRUE(ListeClesTsk(etat.Rapi, cles));
    EXPECT_TRUE(cles.contains(QStringLiteral("<u>Under&amp;line.tsk")) && cles.contains(QStringLiteral("Blue.tsk")));
    EXPECT_TRUE(prompts.exhausted());
}
