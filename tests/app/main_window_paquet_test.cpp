// Packages from the main window: the create command with the package option,
// the read command into a fresh window, the command line, a dropped file, the
// INF window and the theme keys editor.

#include "app/memo_inf.h"
#include "app/options_form.h"
#include "app/panneau_couleur.h"
#include "tests/support/fenetre_principale.h"
#include "theme/cp1252.h"
#include "theme/ini_file.h"
#include "theme/setup_xml_reader.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

const char *const kImagesFormat4[] = {"tdywater_240_320.gif", "tdywater_320_240.gif", "stwater_240_320.gif",
                                      "stwater_320_240.gif"};

QByteArray image(const char *nom)
{
    return QByteArray("GIF89a picture ") + nom;
}

// Member names as cabextract lists them, in cabinet order.
QStringList membres(const QString &cab)
{
    QProcess p;
    p.start(QStringLiteral("cabextract"), {QStringLiteral("-l"), cab});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QStringList noms;
    for (const QString &ligne : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n')) {
        const QStringList champs = ligne.split(QStringLiteral(" | "));
        if (champs.size() == 3 && !champs[0].contains(QStringLiteral("File size")))
            noms << champs[2].trimmed();
    }
    return noms;
}

// A format-4 theme named "Sky Blue" made through the window: two slot
// colours, a theme key and colour 34 through the keys editor, the "+ Inf +
// Xml" option; built with CreerTBtn. Returns the package's path.
QString creePaquet(Fenetre &f)
{
    for (const char *nom : kImagesFormat4)
        testenv::writeFile(f.dossiers.DossierAppli + nom, image(nom));
    TOrvandel &w = f.ouvre();
    w.contexte().document.setFormatTheme(4);
    auto *theme = f.trouve<QLineEdit>("ThemeEdit");
    theme->setFocus();
    theme->selectAll();
    QTest::keyClicks(theme, QStringLiteral("Sky Blue"));

    f.prompts.color(TColor::fromRgb(0x12, 0x34, 0x56));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel3"), Qt::LeftButton);
    QTest::mouseClick(f.trouve<QCheckBox>("CB3"), Qt::LeftButton);
    f.prompts.color(TColor::fromRgb(0xAB, 0xCD, 0xEF));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel20"), Qt::LeftButton);
    QTest::mouseClick(f.trouve<QCheckBox>("CB20"), Qt::LeftButton);

    // The keys editor: Color_Highlight takes the dropper colour (the last
    // colour chosen), colour 34 is switched on.
    surFenetreModale([](QWidget *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Theme specific keys"));
        d->findChild<QCheckBox *>("CheckBox2")->click();
        auto *panneau = d->findChild<QFrame *>("CHPl");
        QTest::mouseClick(panneau, Qt::LeftButton, Qt::ControlModifier, panneau->rect().center());
        d->findChild<QCheckBox *>("CheckBox17")->click();
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("CTBtn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.clesTheme(), QStringList{QStringLiteral("Color_Highlight\tABCDEF00\t\t1")});
    EXPECT_TRUE(w.contexte().document.parametres().Coul34Definie);
    EXPECT_TRUE(w.contexte().indicateurWM5);

    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG2"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(w.contexte().options.TskInfXmlRG, 2);
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    return f.dossiers.DossierAppli + QStringLiteral("Sky Blue.tsk");
}

// Types text as a keyboard of its script does: one key event per character.
void tape(QLineEdit *champ, const QString &texte)
{
    champ->setFocus();
    champ->selectAll();
    if (texte.isEmpty())
        QTest::keyClick(champ, Qt::Key_Backspace);
    for (QChar c : texte)
        QTest::sendKeyEvent(QTest::Click, champ, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The theme's own keys, as the keys editor sets them.
void clesTheme(ThemeDocument &doc, const QStringList &lignes)
{
    doc.setClesTheme(lignes);
    ParametresWM5 p = doc.parametres();
    p.ClesThemeDefinies = !lignes.isEmpty();
    doc.setParametres(p);
}

// The first field of an INF line "cle = ..." as an INF reader takes it:
// between double quotes read whole ("" is one quote); outside them a ";"
// starts a comment and a "," ends the field; "%%" is "%".
QString valeurInf(const QByteArray &octets, const QString &cle)
{
    for (const QString &ligne : cp1252::decode(octets).split(QStringLiteral("\r\n"))) {
        if (ligne.section(QLatin1Char('='), 0, 0).trimmed() != cle)
            continue;
        const QString reste = ligne.section(QLatin1Char('='), 1);
        QString valeur;
        bool guillemets = false;
        for (qsizetype i = 0; i < reste.size(); ++i) {
            const QChar c = reste.at(i);
            if (c == QLatin1Char('"') && guillemets && reste.mid(i + 1, 1) == QStringLiteral("\""))
                valeur += reste.at(++i);
            else if (c == QLatin1Char('"'))
                guillemets = !guillemets;
            else if (!guillemets && (c == QLatin1Char(';') || c == QLatin1Char(',')))
                break;
            else
                valeur += c;
        }
        return valeur.trimmed().replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return QStringLiteral("(no line)");
}

// Starts afresh: no working pictures, colour file or options left behind.
void oublie(Fenetre &f)
{
    f.ferme();
    for (const char *nom : kImagesFormat4)
        QFile::remove(f.dossiers.DossierAppli + nom);
    QFile::remove(f.dossiers.FichierCouleurs);
    QFile::remove(f.dossiers.DossierAppli + "OptionsOVD.ini");
    f.demarre();
}

// The theme of creePaquet, as a fresh window shows it after reading it.
void verifieTheme(Fenetre &f)
{
    TOrvandel &w = *f.w;
    const ThemeDocument &doc = w.contexte().document;
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Sky Blue"));
    EXPECT_EQ(f.trouve<QLineEdit>("ThemeEdit")->text(), QStringLiteral("Sky Blue"));
    EXPECT_EQ(doc.slot(2).couleur, TColor::fromRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(doc.slot(19).couleur, TColor::fromRgb(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(f.trouve<PanneauCouleur>("Panel3")->couleur(), TColor::fromRgb(0x12, 0x34, 0x56));
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(f.trouve<QCheckBox>(QStringLiteral("CB%1").arg(i + 1))->isChecked(), i == 2 || i == 19) << i;
    EXPECT_EQ(doc.clesTheme(), QStringList{QStringLiteral("Color_Highlight\tABCDEF00\t\t1")});
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_TRUE(w.contexte().indicateurWM5);
    // The format follows the pictures, and so do the labels and the size options window.
    EXPECT_EQ(doc.format().FormatTheme, 4);
    EXPECT_EQ(f.trouve<QLabel>("FmtActuelLbl")->text(), QStringLiteral("QVGA P + L (240x294, 320x214)"));
    EXPECT_EQ(f.trouve<QLabel>("ActualFmtLbl")->text(), QStringLiteral("QVGA P + L (240x294, 320x214)"));
    EXPECT_EQ(w.optionsForm()->indexSauve(), 4);
    for (const char *nom : kImagesFormat4)
        EXPECT_EQ(testenv::readFile(f.dossiers.DossierAppli + nom), image(nom)) << nom;
    // The INF window holds the rebuilt INF text, and its button shows.
    const QString inf = w.memoInf()->Memo1->toPlainText();
    EXPECT_TRUE(inf.startsWith(QStringLiteral("[Version]"))) << inf.toStdString();
    EXPECT_TRUE(inf.contains(QStringLiteral("reg_path01 = Software\\Microsoft\\Today\\Sky Blue.tsk\n")));
    EXPECT_TRUE(inf.contains(QStringLiteral("HKCU,%reg_path01%,Color_Highlight,0x00000001,AB,CD,EF,00")));
    EXPECT_TRUE(inf.contains(QStringLiteral("\"tdywater_320_240.gif\" = 1")));
    EXPECT_TRUE(w.memoInf()->MemoFic->toPlainText().startsWith(QStringLiteral("File(s) :")));
    QCoreApplication::processEvents(); // the tool bar lays its buttons out
    EXPECT_FALSE(f.trouve<QToolButton>("InfSBtn")->isHidden());
    EXPECT_FALSE(w.contexte().animation.isPaused());
}

} // namespace

TEST(MainWindowPaquet, CreateWritesThePackageWithTheChosenSetupDocuments)
{
    Fenetre f;
    const QString paquet = creePaquet(f);
    ASSERT_TRUE(QFile::exists(paquet)) << f.prompts.messages.join('\n').toStdString();
    EXPECT_EQ(membres(paquet), (QStringList{"Skyblu~1.000", "_setup.xml", "TDYWAT~1.001", "TDYWAT~2.002",
                                            "STWATE~1.003", "STWATE~2.004"}));
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    // The working colour file is the theme's.
    EXPECT_TRUE(testenv::readFile(f.dossiers.FichierCouleurs).contains("NomFic = Sky Blue"));

    // Again: the existing package is replaced only after a Yes.
    f.prompts.answer(Prompts::Answer::No);
    QFile::remove(f.dossiers.DossierAppli + "stwater_320_240.gif");
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    EXPECT_EQ(f.prompts.questions, QStringList{QStringLiteral("Overwrite original (or existing) ?")});
    EXPECT_TRUE(QFile::exists(paquet));

    // With "+ Xml" the package holds no CE setup file.
    testenv::writeFile(f.dossiers.DossierAppli + "stwater_320_240.gif", image("stwater_320_240.gif"));
    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG1"), Qt::LeftButton, {}, QPoint(5, 5));
    f.prompts.answer(Prompts::Answer::Yes);
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    EXPECT_EQ(membres(paquet), (QStringList{"_setup.xml", "TDYWAT~1.001", "TDYWAT~2.002", "STWATE~1.003",
                                            "STWATE~2.004"}));

    // The option is kept in the options file.
    f.ferme();
    EXPECT_EQ(IniFile(f.dossiers.DossierAppli + "OptionsOVD.ini").readInteger("Options", "TskInfXmlRG", -1), 1);
    f.demarre();
    f.ouvre();
    EXPECT_TRUE(f.trouve<QRadioButton>("TskInfXmlRG1")->isChecked());
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowPaquet, SaveInstallationFilesWritesTheInfAndTheXml)
{
    Fenetre f;
    // The command needs the pictures of the format, as the create command.
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, image(nom));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(f.trouve<QToolButton>("SauveInfTBtn")->isEnabled());
    w.contexte().document.setNomTheme(QStringLiteral("Night"));
    const QString inf = testenv::tempDir() + "/Night.inf", xml = testenv::tempDir() + "/Night.xml";
    f.prompts.saveFileName(inf);
    f.prompts.saveFileName(xml);
    QTest::mouseClick(f.trouve<QToolButton>("SauveInfTBtn"), Qt::LeftButton);
    EXPECT_TRUE(testenv::readFile(inf).startsWith("[Version]\r\n"));
    EXPECT_TRUE(testenv::readFile(xml).startsWith("<wap-provisioningdoc"));
    EXPECT_TRUE(f.prompts.exhausted());
    EXPECT_FALSE(w.contexte().animation.isPaused());
}

TEST(MainWindowPaquet, ReadCommandRestoresThePackageInAFreshWindow)
{
    Fenetre f;
    const QString cree = creePaquet(f);
    ASSERT_TRUE(QFile::exists(cree));
    const QString paquet = testenv::tempDir() + "/kept/Sky Blue.tsk";
    QDir().mkpath(testenv::tempDir() + "/kept");
    ASSERT_TRUE(QFile::copy(cree, paquet));
    oublie(f);

    TOrvandel &w = f.ouvre();
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.trouve<QToolButton>("InfSBtn")->isHidden());
    f.prompts.openPackageName(paquet);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    verifieTheme(f);
    EXPECT_EQ(QDir::cleanPath(w.contexte().dossiers.DossierLitTSK), QDir::cleanPath(testenv::tempDir() + "/kept"));

    // The INF window opens from its button, the animation paused meanwhile.
    bool enPause = false;
    surFenetreModale([&](QWidget *d) {
        enPause = w.contexte().animation.isPaused();
        EXPECT_EQ(d, w.memoInf());
        d->findChild<QPushButton *>("QuitterBtn")->click();
    });
    QTest::mouseClick(f.trouve<QToolButton>("InfSBtn"), Qt::LeftButton);
    EXPECT_TRUE(enPause);
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // A package that is not a theme leaves the theme as it was; the window
    // says why in the reader's words.
    const QString faux = testenv::tempDir() + "/bad.tsk";
    testenv::writeFile(faux, "MSCF not really");
    f.prompts.openPackageName(faux);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Extracting Files Error (Cab error)")});
    EXPECT_FALSE(w.contexte().animation.isPaused());
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Sky Blue"));
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 4);
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowPaquet, APackageOnTheCommandLineOpensAtFirstShow)
{
    Fenetre f;
    const QString cree = creePaquet(f);
    const QString paquet = testenv::tempDir() + "/Sky Blue.tsk";
    ASSERT_TRUE(QFile::copy(cree, paquet));
    oublie(f);

    TOrvandel &w = f.ouvre({paquet});
    verifieTheme(f);
    EXPECT_EQ(QDir::cleanPath(w.contexte().dossiers.DossierLitTSK), QDir::cleanPath(testenv::tempDir()));
    // Shown again: not read again.
    w.contexte().document.setNomTheme(QStringLiteral("Changed"));
    w.hide();
    w.show();
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Changed"));
}

TEST(MainWindowPaquet, ADroppedPackageOpensAndOtherDropsDoNot)
{
    Fenetre f;
    const QString cree = creePaquet(f);
    const QString paquet = testenv::tempDir() + "/Sky Blue.TSK";
    ASSERT_TRUE(QFile::copy(cree, paquet));
    oublie(f);
    TOrvandel &w = f.ouvre();
    EXPECT_TRUE(w.acceptDrops());

    auto depose = [&w](const QStringList &fichiers) {
        QMimeData donnees;
        QList<QUrl> urls;
        for (const QString &n : fichiers)
            urls << QUrl::fromLocalFile(n);
        donnees.setUrls(urls);
        // As a drag does it: entering first names the target of the drop.
        QDragEnterEvent entree(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &entree);
        EXPECT_TRUE(entree.isAccepted());
        QDropEvent ev(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &ev);
    };
    depose({paquet, paquet});
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Only one File !")});
    const QString texte = testenv::tempDir() + "/notes.txt";
    testenv::writeFile(texte, "text");
    depose({texte});
    EXPECT_EQ(f.prompts.messages.size(), 1);
    EXPECT_NE(w.contexte().document.nomTheme(), QStringLiteral("Sky Blue"));

    depose({paquet});
    EXPECT_EQ(f.prompts.messages.size(), 1);
    verifieTheme(f);
}

// A "%" in the theme name opens a string reference in the INF dialect: the
// theme's own key is written with it doubled, as AppName is.
TEST(MainWindowPaquet, APercentInTheNameIsEscapedOnTheThemeKeyLine)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, image(nom));
    TOrvandel &w = f.ouvre();
    auto *theme = f.trouve<QLineEdit>("ThemeEdit");
    theme->setFocus();
    theme->selectAll();
    QTest::keyClicks(theme, QStringLiteral("100% Nuit"));
    ASSERT_EQ(w.contexte().document.nomTheme(), QStringLiteral("100% Nuit"));
    w.contexte().document.setClesTheme({QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")});
    const QString inf = testenv::tempDir() + "/Nuit.inf";
    f.prompts.saveFileName(inf);
    f.prompts.saveFileName(std::nullopt);
    QTest::mouseClick(f.trouve<QToolButton>("SauveInfTBtn"), Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    const QByteArray texte = testenv::readFile(inf);
    EXPECT_TRUE(texte.contains("\r\nAppName =\"100%% Nuit\"\r\n")) << texte.toStdString();
    EXPECT_TRUE(texte.contains("\r\nreg_path02 = Software\\Microsoft\\Today\\100%% Nuit.tsk\r\n")) << texte.toStdString();
    EXPECT_TRUE(texte.contains("\r\nHKCU,%reg_path02%,UseDefaultTitleColor,0x00010001,1\r\n"));
    EXPECT_TRUE(f.prompts.exhausted());
}

// A name in a script Windows-1252 lacks: packages with a CE setup file refuse
// it, naming the character by its code point and the way out; the "+ Xml"
// package holds it (its CE setup file stays in the work folder, "?" in place
// of the letters), and a fresh window reads it back under the exact name.
TEST(MainWindowPaquet, ANameInAnyScriptIsBuiltAsAnXmlPackageAndReadBackExact)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, image(nom));
    TOrvandel &w = f.ouvre();
    const QString nom = QStringLiteral("Тема Зима");
    tape(f.trouve<QLineEdit>("ThemeEdit"), nom);
    const QStringList cles{QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")};
    clesTheme(w.contexte().document, cles);
    auto *creer = f.trouve<QToolButton>("CreerTBtn");
    ASSERT_TRUE(creer->isEnabled());
    const QString paquet = w.contexte().dossiers.DossierTsk + nom + QStringLiteral(".tsk");

    for (const char *option : {"TskInfXmlRG0", "TskInfXmlRG2"}) {
        QTest::mouseClick(f.trouve<QRadioButton>(option), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(creer, Qt::LeftButton);
        ASSERT_EQ(f.prompts.messages.size(), 1) << option;
        const QString refus = f.prompts.messages.takeFirst();
        EXPECT_TRUE(refus.startsWith(QStringLiteral("The theme name cannot contain the character \"Т\" (U+0422)")))
            << refus.toStdString();
        EXPECT_TRUE(refus.contains(QStringLiteral("The \"+ Xml\" package holds any name"))) << refus.toStdString();
        EXPECT_FALSE(QFile::exists(paquet));
    }

    QTest::mouseClick(f.trouve<QRadioButton>("TskInfXmlRG1"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(creer, Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_EQ(membres(paquet), (QStringList{"_setup.xml", "tdywater.001", "0stwater.002"}));
    const QByteArray ce = testenv::readFile(w.contexte().dossiers.DossierThemeTmp + QStringLiteral("/ТемаЗи~1.000"));
    EXPECT_EQ(ce.mid(100, 10), QByteArray("???? ????\0", 10));

    const QString garde = testenv::tempDir() + QStringLiteral("/") + nom + QStringLiteral(".tsk");
    ASSERT_TRUE(QFile::copy(paquet, garde));
    f.ferme();
    for (const char *image : {"tdywater.gif", "stwater.gif"})
        QFile::remove(f.dossiers.DossierAppli + image);
    QFile::remove(f.dossiers.FichierCouleurs);
    f.demarre();
    TOrvandel &relu = f.ouvre();
    f.prompts.openPackageName(garde);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_EQ(f.trouve<QLineEdit>("ThemeEdit")->text(), nom);
    EXPECT_EQ(f.trouve<QLineEdit>("ThemeAppEdt")->text(), nom); // from the XML's AppName
    EXPECT_TRUE(f.trouve<QLineEdit>("ThemeEdit")->toolTip().isEmpty());
    EXPECT_EQ(relu.contexte().document.clesTheme(), cles);
    EXPECT_EQ(testenv::readFile(f.dossiers.DossierAppli + "stwater.gif"), image("stwater.gif"));
}

// The installation files are checked each for what it carries: "Тема" beside
// an internal name is in neither, so both are saved; once the theme's own
// keys name it, the INF text (Windows-1252) cannot hold it and only the XML
// document is offered. A ";" or "," that a package's file name brings into
// the theme name is read whole from the INF's key line.
TEST(MainWindowPaquet, TheInstallationFilesHoldWhatEachCan)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, image(nom));
    TOrvandel &w = f.ouvre();
    tape(f.trouve<QLineEdit>("ThemeEdit"), QStringLiteral("Тема"));
    tape(f.trouve<QLineEdit>("ThemeAppEdt"), QStringLiteral("Zima"));
    const QString inf = testenv::tempDir() + "/a.inf", xml = testenv::tempDir() + "/a.xml";
    f.prompts.saveFileName(inf);
    f.prompts.saveFileName(xml);
    QTest::mouseClick(f.trouve<QToolButton>("SauveInfTBtn"), Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_EQ(f.prompts.fileDialogs.value(1).fileName, QStringLiteral("Тема.xml"));
    EXPECT_EQ(valeurInf(testenv::readFile(inf), "AppName"), QStringLiteral("Zima"));

    clesTheme(w.contexte().document, {QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")});
    f.prompts.saveFileName(xml);
    QTest::mouseClick(f.trouve<QToolButton>("SauveInfTBtn"), Qt::LeftButton);
    ASSERT_EQ(f.prompts.messages.size(), 1);
    const QString refus = f.prompts.messages.takeFirst();
    EXPECT_TRUE(refus.startsWith(QStringLiteral("The theme name cannot contain the character \"Т\" (U+0422) in the INF file")))
        << refus.toStdString();
    EXPECT_TRUE(refus.endsWith(QStringLiteral("Only the XML file is offered: it holds these names.")));
    EXPECT_EQ(f.prompts.fileDialogs.value(2).defaultSuffix, QStringLiteral("xml"));
    EXPECT_EQ(LireXmlSetup(testenv::readFile(xml)).value().NomSousCleTheme, QStringLiteral("Тема.tsk"));

    // Built under one name, read under a file name holding ";" or ",".
    tape(f.trouve<QLineEdit>("ThemeEdit"), QStringLiteral("semi"));
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    for (const QString &nom : {QStringLiteral("semi;colon"), QStringLiteral("comma, 50%")}) {
        const QString paquet = testenv::tempDir() + QLatin1Char('/') + nom + QStringLiteral(".tsk");
        ASSERT_TRUE(QFile::copy(w.contexte().dossiers.DossierTsk + QStringLiteral("semi.tsk"), paquet));
        f.prompts.openPackageName(paquet);
        QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
        ASSERT_EQ(w.contexte().document.nomTheme(), nom);
        f.prompts.saveFileName(inf);
        f.prompts.saveFileName(std::nullopt);
        QTest::mouseClick(f.trouve<QToolButton>("SauveInfTBtn"), Qt::LeftButton);
        EXPECT_EQ(valeurInf(testenv::readFile(inf), "reg_path02"),
                  QStringLiteral("Software\\Microsoft\\Today\\") + nom + QStringLiteral(".tsk"));
    }
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_TRUE(f.prompts.exhausted());
}
