// The theme being edited survives a restart: everything set through the
// window's own controls (name, ticked slots and their colours, colour 34,
// UseStartImage, BaseHue, DPI, a theme key) is there again after a plain
// close and a new start, and the working file written by Create alone holds
// it too (a start after a crash that followed Create). Names in any script
// come back whole, whether typed, taken from a package's file name or from
// the character references of a setup XML; a working file that cannot be
// written lets the user keep the program open, and Enter or Escape on the
// question does.

#include "tests/support/cab_fabrique.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/setup_ce_builder.h"

#include "app/panneau_couleur.h"
#include "app/qt_prompts.h"
#include "theme/fichier_couleurs.h"
#include "theme/cp1252.h"
#include "tools/td_theme_cles.h"
#include "tools/hue_calc.h"

#include <QCheckBox>
#include <QDir>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

struct EtatVu
{
    QString nom;
    std::array<bool, JeuCouleurs::NbCouleurs> coches{};
    std::array<QRgb, JeuCouleurs::NbCouleurs> couleurs{};
    bool usi = false;
    ParametresWM5 parametres;
    QStringList clesTheme;
    QString nomInterne;
    bool operator==(const EtatVu &) const = default;
};

// What the window shows, read from its controls, plus the values the
// controls stand for.
EtatVu etatVu(Fenetre &f)
{
    EtatVu e;
    e.nom = f.trouve<QLineEdit>("ThemeEdit")->text();
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        e.coches[i] = f.trouve<QCheckBox>(QStringLiteral("CB%1").arg(i + 1))->isChecked();
        e.couleurs[i] = f.trouve<PanneauCouleur>(QStringLiteral("Panel%1").arg(i + 1))->couleur().toQRgb();
    }
    e.usi = f.trouve<QCheckBox>("USIcb")->isChecked();
    e.parametres = f.w->contexte().document.parametres();
    e.clesTheme = f.w->contexte().document.clesTheme();
    e.nomInterne = f.trouve<QLineEdit>("ThemeAppEdt")->text();
    return e;
}

// Sets the whole theme through the controls a user would use.
// Types text as a keyboard of its script does: one key event per character,
// carrying the character (a surrogate pair stays one character).
void tape(QLineEdit *champ, const QString &texte)
{
    champ->setFocus();
    champ->selectAll();
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const qsizetype n = texte.at(i).isHighSurrogate() && i + 1 < texte.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, champ, Qt::Key_unknown, texte.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

void editeTheme(Fenetre &f, const QString &nomTheme = QStringLiteral("Soir"))
{
    tape(f.trouve<QLineEdit>("ThemeEdit"), nomTheme);
    const int numeros[] = {3, 7, 20};
    const QRgb couleurs[] = {qRgb(0x11, 0x22, 0x33), qRgb(0xA0, 0x0B, 0xC0), qRgb(0xFE, 0x01, 0x7F)};
    for (int k = 0; k < 3; ++k) {
        f.trouve<QCheckBox>(QStringLiteral("CB%1").arg(numeros[k]))->click();
        f.prompts.color(TColor::fromQRgb(couleurs[k]));
        QTest::mouseClick(f.trouve<PanneauCouleur>(QStringLiteral("Panel%1").arg(numeros[k])), Qt::LeftButton);
    }
    f.trouve<QCheckBox>("USIcb")->click();

    // BaseHue and DPI from the hue calculator.
    surFenetreModale([](QWidget *d) {
        auto *h = qobject_cast<THueCalc *>(d);
        ASSERT_TRUE(h);
        h->placeEtChoisit(120, 35);
        h->findChild<QCheckBox *>("BaseHueCB")->setChecked(true);
        h->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(0);
        h->findChild<QCheckBox *>("DPICb")->setChecked(true);
        h->findChild<QPushButton *>("ValiderBtn")->click();
    });
    f.trouve<QPushButton>("WM5Btn")->click();

    // A theme key and colour 34 from the theme keys editor.
    surFenetreModale([&f](QWidget *d) {
        ASSERT_TRUE(qobject_cast<TTDThemeCles *>(d));
        d->findChild<QCheckBox *>("CheckBox2")->click();
        f.prompts.color(TColor::fromRgb(0x2E, 0x97, 0xE3));
        QTest::mouseClick(d->findChild<QFrame *>("CHPl"), Qt::LeftButton);
        d->findChild<QCheckBox *>("CheckBox17")->click();
        f.prompts.color(TColor::fromRgb(0xC1, 0x22, 0x07));
        QTest::mouseClick(d->findChild<QFrame *>("Col34Pl"), Qt::LeftButton);
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    f.trouve<QPushButton>("CTBtn")->click();
}

} // namespace

TEST(ThemeRedemarrage, APlainCloseAndANewStartBringTheThemeBack)
{
    Fenetre f;
    f.ouvre();
    const EtatVu depart = etatVu(f);
    editeTheme(f);
    const EtatVu edite = etatVu(f);
    ASSERT_TRUE(f.prompts.exhausted());
    // Every part was really changed by the controls.
    ASSERT_EQ(edite.nom, QStringLiteral("Soir"));
    ASSERT_TRUE(edite.coches[2] && edite.coches[6] && edite.coches[19]);
    ASSERT_EQ(edite.couleurs[6], qRgb(0xA0, 0x0B, 0xC0));
    ASSERT_TRUE(edite.usi);
    const ParametresWM5 &p = edite.parametres;
    ASSERT_TRUE(p.BaseHueDefini && p.DPIDefini && p.Coul34Definie && p.UseStartImageDefini && p.ClesThemeDefinies);
    ASSERT_EQ(p.ValDPI, 48);
    ASSERT_EQ(edite.clesTheme, QStringList{"Color_Highlight\t2E97E300\t\t1"});
    ASSERT_FALSE(edite == depart);

    f.ferme();
    f.demarre();
    f.ouvre();
    const EtatVu apres = etatVu(f);
    EXPECT_EQ(apres.nom, edite.nom);
    EXPECT_EQ(apres.coches, edite.coches);
    EXPECT_EQ(apres.couleurs, edite.couleurs);
    EXPECT_EQ(apres.usi, edite.usi);
    EXPECT_EQ(apres.parametres, edite.parametres);
    EXPECT_EQ(apres.clesTheme, edite.clesTheme);
    // The marker of a WM5 theme shows again.
    EXPECT_FALSE(f.trouve<QWidget>("Image12")->isHidden());
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    f.ferme();
}

TEST(ThemeRedemarrage, TheWorkingFileWrittenByCreateHoldsTheWholeTheme)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", "GIF89a today");
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", "GIF89a start");
    TOrvandel &w = f.ouvre();
    editeTheme(f);
    f.trouve<QToolButton>("CreerTBtn")->click();
    ASSERT_TRUE(QFile::exists(w.contexte().dossiers.DossierTsk + "Soir.tsk")) << f.prompts.messages.join('|').toStdString();

    // A start that finds only what Create wrote (as after a crash).
    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, f.dossiers.FichierCouleurs, true).ok);
    const ThemeDocument &doc = w.contexte().document;
    EXPECT_EQ(relu.nomTheme(), doc.nomTheme());
    EXPECT_TRUE(relu.jeuCouleurs() == doc.jeuCouleurs());
    EXPECT_EQ(relu.parametres(), doc.parametres());
    EXPECT_EQ(relu.clesTheme(), doc.clesTheme());
    f.ferme();
}

namespace {

// A cabinet the way another program builds it, written at chemin.
void ecritPaquet(const QString &chemin, const std::vector<std::pair<QByteArray, QByteArray>> &membres)
{
    std::vector<cabtest::MembreBrut> m;
    for (const auto &[nom, donnees] : membres) {
        cabtest::MembreBrut b;
        b.nom = nom;
        b.donnees = donnees;
        m.push_back(b);
    }
    testenv::writeFile(chemin, cabtest::fabriqueCab(m));
}

// Reads a package through the read command of the tool bar.
void litParLaBarre(Fenetre &f, const QString &paquet)
{
    f.prompts.openPackageName(paquet);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
}

// Closes, starts again, and compares what the window shows with `avant`.
void fermeEtRedemarre(Fenetre &f, const EtatVu &avant)
{
    f.ferme();
    EXPECT_TRUE(f.prompts.questions.isEmpty()) << f.prompts.questions.join('|').toStdString();
    f.demarre();
    f.ouvre();
    const EtatVu apres = etatVu(f);
    EXPECT_EQ(apres.nom, avant.nom);
    EXPECT_EQ(apres.nomInterne, avant.nomInterne);
    EXPECT_EQ(apres.coches, avant.coches);
    EXPECT_EQ(apres.couleurs, avant.couleurs);
    EXPECT_EQ(apres.usi, avant.usi);
    EXPECT_EQ(apres.parametres, avant.parametres);
    EXPECT_EQ(apres.clesTheme, avant.clesTheme);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    f.ferme();
}

} // namespace

TEST(ThemeRedemarrage, TypedNamesInAnyScriptComeBackWholeAfterARestart)
{
    Fenetre f;
    const QString noms[] = {QStringLiteral("Тема"), QStringLiteral("日本 100% 夜"),
                            QStringLiteral("Ночь \U0001F319 \u00E9t\u00E9 ")};
    for (const QString &nom : noms) {
        SCOPED_TRACE(nom.toStdString());
        QFile::remove(f.dossiers.FichierCouleurs); // each name from the default theme
        f.ouvre();
        editeTheme(f, nom);
        tape(f.trouve<QLineEdit>("ThemeAppEdt"), QStringLiteral("内部 Имя"));
        const EtatVu edite = etatVu(f);
        ASSERT_EQ(edite.nom, nom);
        ASSERT_EQ(edite.nomInterne, QStringLiteral("内部 Имя"));
        fermeEtRedemarre(f, edite);

        // Other programs read the Windows-1252 lines: each character the code
        // page lacks is a "?" there, the others keep their bytes.
        const QByteArray octets = testenv::readFile(f.dossiers.FichierCouleurs);
        EXPECT_TRUE(octets.startsWith("[CouleursTSK]   ; ?? ???\r\ncoul05 = ")) << octets.left(40).toStdString();
        EXPECT_TRUE(octets.contains("\r\nNomFic = " + cp1252::encodeLossy(nom) + "\r\nNomInterne = ?? ???\r\n"));
        EXPECT_FALSE(octets.contains(nom.toUtf8()));
        f.demarre();
    }
}

TEST(ThemeRedemarrage, APackageNamedInAnotherScriptKeepsItsNameAcrossARestart)
{
    auto setup = SetupCeBuilder::theme("Nihon.tsk");
    setup.appli = "Interne";
    setup.fichier(1, "tdywater.gif");
    setup.fichier(2, "stwater.gif");
    setup.cleBinaire(1, "5", QByteArray("\x11\x22\x33\x00", 4));
    setup.cleBinaire(1, "40", QByteArray("\x44\x55\x66\x00", 4));
    setup.cleBinaire(1, "34", QByteArray("\x2E\x97\xE3\x00", 4));
    setup.cleDword(1, "BaseHue", 260);
    setup.cleDword(2, "DPI", 192);
    setup.cleDword(2, "UseStartImage", 1);
    setup.cleBinaire(3, "Color_Highlight", QByteArray("\x0A\x0B\x0C\x00", 4));
    const QString paquet = testenv::tempDir() + QStringLiteral("/paquets/日本.tsk");
    ecritPaquet(paquet, {{"NIHON~1.000", setup.build()}, {"tdywater.001", "GIF89a today"}, {"0stwater.002", "GIF89a start"}});

    Fenetre f;
    f.ouvre();
    litParLaBarre(f, paquet);
    // Read and kept; the user hears now that no package can be made under it.
    ASSERT_EQ(f.prompts.messages.size(), 1) << f.prompts.messages.join('|').toStdString();
    EXPECT_TRUE(f.prompts.messages[0].startsWith(QStringLiteral("The theme name cannot contain the character \"日\"")))
        << f.prompts.messages[0].toStdString();
    f.prompts.messages.clear();
    const EtatVu lu = etatVu(f);
    ASSERT_EQ(lu.nom, QStringLiteral("日本"));
    ASSERT_EQ(lu.nomInterne, QStringLiteral("Interne"));
    ASSERT_TRUE(lu.coches[0] && lu.coches[21]);
    ASSERT_EQ(lu.couleurs[0], qRgb(0x11, 0x22, 0x33));
    const ParametresWM5 &p = lu.parametres;
    ASSERT_TRUE(p.BaseHueDefini && p.DPIDefini && p.UseStartImageDefini && p.Coul34Definie && p.ClesThemeDefinies);

    // The file the read wrote holds the name already (a start after a crash).
    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, f.dossiers.FichierCouleurs, true).ok);
    EXPECT_EQ(relu.nomTheme(), QStringLiteral("日本"));
    EXPECT_TRUE(testenv::readFile(f.dossiers.FichierCouleurs).contains("\r\nNomFic = ??\r\n"));

    fermeEtRedemarre(f, lu);
}

TEST(ThemeRedemarrage, AnXmlPackageWhoseAppNameHoldsCharacterReferences)
{
    const QByteArray xml =
        "<wap-provisioningdoc><characteristic type=\"Install\">"
        "<parm name=\"AppName\" value=\"&#x422;&#x435;&#x43C;&#x430; &#26085;&#26412; &amp; &#x1F319;\"/>"
        "</characteristic><characteristic type=\"FileOperation\"><characteristic type=\"%CE2%\" translation=\"install\">"
        "<characteristic type=\"tdywater.gif\" translation=\"install\"><characteristic type=\"Extract\">"
        "<parm name=\"Source\" value=\"t.001\"/></characteristic></characteristic>"
        "<characteristic type=\"stwater.gif\" translation=\"install\"><characteristic type=\"Extract\">"
        "<parm name=\"Source\" value=\"s.002\"/></characteristic></characteristic>"
        "</characteristic></characteristic><characteristic type=\"Registry\">"
        "<characteristic type=\"HKLM\\Software\\Microsoft\\Color\"><parm name=\"5\" value=\"197121\" datatype=\"integer\"/>"
        "<parm name=\"BaseHue\" value=\"120\" datatype=\"integer\"/></characteristic>"
        "<characteristic type=\"HKCU\\Software\\Microsoft\\Today\"><parm name=\"DPI\" value=\"96\" datatype=\"integer\"/>"
        "</characteristic></characteristic></wap-provisioningdoc>";
    const QString paquet = testenv::tempDir() + QStringLiteral("/paquets/Ночь.tsk");
    ecritPaquet(paquet, {{"_setup.xml", xml}, {"t.001", "GIF89a today"}, {"s.002", "GIF89a start"}});

    Fenetre f;
    f.ouvre();
    litParLaBarre(f, paquet);
    ASSERT_EQ(f.prompts.messages.size(), 1) << f.prompts.messages.join('|').toStdString();
    f.prompts.messages.clear();
    const EtatVu lu = etatVu(f);
    ASSERT_EQ(lu.nom, QStringLiteral("Ночь"));
    ASSERT_EQ(lu.nomInterne, QStringLiteral("Тема 日本 & \U0001F319"));
    ASSERT_TRUE(lu.coches[0]);
    ASSERT_TRUE(lu.parametres.BaseHueDefini && lu.parametres.DPIDefini);
    fermeEtRedemarre(f, lu);
}

TEST(ThemeRedemarrage, TheColourSetSavesAndLoadsForANameInAnotherScript)
{
    Fenetre f;
    f.ouvre();
    tape(f.trouve<QLineEdit>("ThemeEdit"), QStringLiteral("Тема"));
    f.prompts.color(TColor::fromRgb(0x12, 0x34, 0x56));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel1"), Qt::LeftButton);

    const QString copie = testenv::tempDir() + QStringLiteral("/Тема coul.ini");
    f.prompts.saveFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>("SauveCoulTbtn"), Qt::LeftButton);
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    ASSERT_EQ(f.prompts.fileDialogs.size(), 1);
    EXPECT_EQ(f.prompts.fileDialogs.last().fileName, QStringLiteral("Тема coul.ini"));
    const QByteArray octets = testenv::readFile(copie);
    EXPECT_TRUE(octets.startsWith("[CouleursTSK]   ; ????\r\ncoul05 = 12,34,56,00;  Navigation Bar, Color 1\r\n"))
        << octets.left(80).toStdString();
    EXPECT_FALSE(octets.contains("[NomTheme]"));

    // Loaded back over another colour, the set comes back; the name stays.
    f.prompts.color(TColor::fromRgb(0x65, 0x43, 0x21));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel1"), Qt::LeftButton);
    f.prompts.openFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>("ChargeCoulTBtn"), Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    EXPECT_EQ(f.trouve<PanneauCouleur>("Panel1")->couleur().toQRgb(), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(f.trouve<QLineEdit>("ThemeEdit")->text(), QStringLiteral("Тема"));
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}

// A colour set loaded from the tool bar is in the working file at once with
// the rest of the theme: a start after a crash that follows the load (no
// close) finds the names, the WM5 values, the ticks and the theme key.
TEST(ThemeRedemarrage, ALoadedColourSetIsOnDiskWithTheWholeThemeWithoutAClose)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    editeTheme(f);
    tape(f.trouve<QLineEdit>("ThemeAppEdt"), QStringLiteral("SoirApp"));
    const QString copie = testenv::tempDir() + QStringLiteral("/Soir coul.ini");
    f.prompts.saveFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>("SauveCoulTbtn"), Qt::LeftButton);
    f.prompts.color(TColor::fromRgb(0x01, 0x01, 0x01));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel3"), Qt::LeftButton);
    f.prompts.openFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>("ChargeCoulTBtn"), Qt::LeftButton);
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    ASSERT_EQ(f.trouve<PanneauCouleur>("Panel3")->couleur().toQRgb(), qRgb(0x11, 0x22, 0x33));

    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, f.dossiers.FichierCouleurs, true).ok);
    const ThemeDocument &doc = w.contexte().document;
    EXPECT_EQ(relu.nomTheme(), QStringLiteral("Soir"));
    EXPECT_EQ(relu.nomInterne(), QStringLiteral("SoirApp"));
    EXPECT_TRUE(relu.jeuCouleurs() == doc.jeuCouleurs());
    EXPECT_TRUE(relu.slot(2).inclus && relu.slot(6).inclus && relu.slot(19).inclus);
    EXPECT_EQ(relu.parametres(), doc.parametres());
    EXPECT_TRUE(relu.parametres().BaseHueDefini && relu.parametres().UseStartImageDefini);
    EXPECT_EQ(relu.clesTheme(), doc.clesTheme());
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}

TEST(ThemeRedemarrage, AWorkingFileThatCannotBeWrittenLetsTheUserKeepTheProgramOpen)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    editeTheme(f, QStringLiteral("Тема"));
    const EtatVu edite = etatVu(f);
    // A folder stands where the working file goes: no file can take its place.
    QFile::remove(f.dossiers.FichierCouleurs);
    ASSERT_TRUE(QDir().mkpath(f.dossiers.FichierCouleurs));

    f.prompts.answer(Prompts::Answer::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(f.prompts.questions.size(), 1);
    EXPECT_TRUE(f.prompts.questions[0].startsWith(QStringLiteral("Cannot write the colors file ")))
        << f.prompts.questions[0].toStdString();
    EXPECT_TRUE(f.prompts.questions[0].endsWith(QStringLiteral("Close anyway?")));
    // Still running as before: the dots animation, the theme as edited.
    EXPECT_NE(w.animationPoints(), nullptr);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    EXPECT_TRUE(etatVu(f) == edite);

    // Once the way is free, the close keeps the theme.
    ASSERT_TRUE(QDir(f.dossiers.FichierCouleurs).removeRecursively());
    f.prompts.questions.clear();
    fermeEtRedemarre(f, edite);

    // Answered "close anyway", the program closes without the file.
    f.demarre();
    TOrvandel &w2 = f.ouvre();
    QFile::remove(f.dossiers.FichierCouleurs);
    ASSERT_TRUE(QDir().mkpath(f.dossiers.FichierCouleurs));
    f.prompts.answer(Prompts::Answer::Ok);
    EXPECT_TRUE(w2.close());
    EXPECT_EQ(w2.animationPoints(), nullptr);
    EXPECT_EQ(f.prompts.questions.size(), 1);
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}

namespace {

// Runs `action` on the question box once it is shown and its own event
// loop runs. The box must come within a few seconds.
std::unique_ptr<QTimer> surQuestion(std::function<void(QMessageBox *)> action)
{
    auto minuterie = std::make_unique<QTimer>();
    QTimer *t = minuterie.get();
    const int niveau = QThread::currentThread()->loopLevel();
    QObject::connect(t, &QTimer::timeout, t, [t, action, niveau, essais = 0]() mutable {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->isVisible() && QThread::currentThread()->loopLevel() > niveau) {
            t->stop();
            action(box);
            if (box->isVisible()) {
                ADD_FAILURE() << "the question was left open";
                box->reject();
            }
        } else if (++essais > 500) {
            t->stop();
            ADD_FAILURE() << "no question";
        }
    });
    t->start(10);
    return minuterie;
}

} // namespace

// Enter or Escape on "Close anyway?" keeps the program open with the theme
// as edited: the program's own question box has Cancel as its default and
// Escape button.
TEST(ThemeRedemarrage, EnterOrEscapeOnTheCloseQuestionKeepsTheProgramOpen)
{
    Fenetre f;
    QtPrompts qt;
    f.w = std::make_unique<TOrvandel>(f.dossiers, &qt);
    f.w->setControleTailles(false);
    f.w->show();
    TOrvandel &w = *f.w;
    tape(f.trouve<QLineEdit>("ThemeEdit"), QStringLiteral("Тема"));
    QFile::remove(f.dossiers.FichierCouleurs);
    ASSERT_TRUE(QDir().mkpath(f.dossiers.FichierCouleurs));

    for (const Qt::Key touche : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(touche == Qt::Key_Return ? "Enter" : "Escape");
        QString texte;
        const auto question = surQuestion([&](QMessageBox *box) {
            texte = box->text();
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
            EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Cancel));
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, touche);
        });
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(texte.endsWith(QStringLiteral("Close anyway?"))) << texte.toStdString();
        EXPECT_TRUE(w.isVisible());
        EXPECT_NE(w.animationPoints(), nullptr);
        EXPECT_EQ(f.trouve<QLineEdit>("ThemeEdit")->text(), QStringLiteral("Тема"));
    }

    // Once the way is free, the close keeps the theme and asks nothing.
    ASSERT_TRUE(QDir(f.dossiers.FichierCouleurs).removeRecursively());
    EXPECT_TRUE(w.close());
    f.w.reset();
    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, f.dossiers.FichierCouleurs, true).ok);
    EXPECT_EQ(relu.nomTheme(), QStringLiteral("Тема"));

    // Through the scripted prompts, Enter is the default answer as well.
    f.demarre();
    TOrvandel &w2 = f.ouvre();
    QFile::remove(f.dossiers.FichierCouleurs);
    ASSERT_TRUE(QDir().mkpath(f.dossiers.FichierCouleurs));
    f.prompts.answerDefault();
    EXPECT_FALSE(w2.close());
    EXPECT_TRUE(w2.isVisible());
    EXPECT_EQ(f.prompts.questions.size(), 1);
    ASSERT_TRUE(QDir(f.dossiers.FichierCouleurs).removeRecursively());
    f.ferme();
}

namespace {

// Pixels of the red that marks a name no package can hold.
int pixelsRouges(QWidget *w)
{
    const QImage image = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 120 && c.green() < 70 && c.blue() < 70;
        }
    return n;
}

} // namespace

// A name the package's files cannot hold is kept, and says so as it is
// typed: red text and the reason as the box's hint; a name they hold shows
// as before. What is held follows the package option, the internal name and
// the theme's own keys, live. The mark comes back with the name after a
// restart.
TEST(ThemeRedemarrage, ANameNoPackageCanHoldSaysSoAsItIsTyped)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *nom = f.trouve<QLineEdit>("ThemeEdit");
    auto *interne = f.trouve<QLineEdit>("ThemeAppEdt");
    tape(nom, QStringLiteral("Soir"));
    tape(interne, QStringLiteral("Interne"));
    EXPECT_TRUE(nom->toolTip().isEmpty());
    EXPECT_EQ(pixelsRouges(nom), 0);
    EXPECT_EQ(pixelsRouges(interne), 0);

    // "+ Inf": the CE setup file carries the internal name, not the theme name.
    ASSERT_EQ(w.contexte().options.TskInfXmlRG, 0);
    tape(nom, QStringLiteral("Тема"));
    tape(interne, QStringLiteral("Имя"));
    EXPECT_TRUE(nom->toolTip().isEmpty()) << nom->toolTip().toStdString();
    EXPECT_EQ(pixelsRouges(nom), 0);
    EXPECT_TRUE(interne->toolTip().startsWith(
        QStringLiteral("The internal name cannot contain the character \"И\" (U+0418) in a package with a CE setup file")))
        << interne->toolTip().toStdString();
    EXPECT_TRUE(interne->toolTip().contains(QStringLiteral("The \"+ Xml\" package holds any name")));
    EXPECT_GT(pixelsRouges(interne), 5);

    // Without an internal name the theme name stands in for it.
    interne->setFocus();
    interne->selectAll();
    QTest::keyClick(interne, Qt::Key_Backspace);
    EXPECT_TRUE(interne->toolTip().isEmpty());
    EXPECT_EQ(pixelsRouges(interne), 0);
    EXPECT_TRUE(nom->toolTip().startsWith(QStringLiteral("The theme name cannot contain the character \"Т\" (U+0422)")))
        << nom->toolTip().toStdString();
    EXPECT_TRUE(nom->toolTip().contains(QStringLiteral("Or give an Internal Theme Name")));
    EXPECT_GT(pixelsRouges(nom), 5);

    // "+ Xml" holds any name; "+ Inf + Xml" does not. The mark follows the option.
    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG1"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(nom->toolTip().isEmpty());
    EXPECT_EQ(pixelsRouges(nom), 0);
    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG2"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_GT(pixelsRouges(nom), 5);

    // With an internal name, the theme's own keys bring the theme name into the setup file.
    tape(interne, QStringLiteral("Interne"));
    EXPECT_EQ(pixelsRouges(nom), 0);
    w.contexte().document.setClesTheme({QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")});
    EXPECT_TRUE(nom->toolTip().contains(QStringLiteral("registry keys are named after it"))) << nom->toolTip().toStdString();
    EXPECT_GT(pixelsRouges(nom), 5);
    w.contexte().document.setClesTheme({});
    EXPECT_EQ(pixelsRouges(nom), 0);
    interne->setFocus();
    interne->selectAll();
    QTest::keyClick(interne, Qt::Key_Backspace);
    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG0"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_GT(pixelsRouges(nom), 5);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();

    f.ferme();
    f.demarre();
    f.ouvre();
    nom = f.trouve<QLineEdit>("ThemeEdit");
    EXPECT_EQ(nom->text(), QStringLiteral("Тема"));
    EXPECT_FALSE(nom->toolTip().isEmpty());
    EXPECT_GT(pixelsRouges(nom), 5);
    // The same in the uniform look.
    f.trouve<QCheckBox>("FicheUnieCB")->click();
    ASSERT_TRUE(f.w->contexte().options.CoulFormUni);
    EXPECT_GT(pixelsRouges(nom), 5);
    // Back to a name a package holds: the window's own colours again.
    tape(nom, QStringLiteral("Nuit"));
    EXPECT_TRUE(nom->toolTip().isEmpty());
    EXPECT_EQ(pixelsRouges(nom), 0);
    f.trouve<QCheckBox>("FicheUnieCB")->click();
    EXPECT_EQ(pixelsRouges(nom), 0);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    f.ferme();
}
