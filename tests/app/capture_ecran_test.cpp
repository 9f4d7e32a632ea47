#include "app/capture_ecran.h"

#include "tests/support/fenetre_principale.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tools/exif_photo.h"
#include "tools/histo_teinte.h"
#include "tools/teintes_images.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString dossierCaptures()
{
    const QString d = testenv::tempDir() + "/captures/";
    QDir().mkpath(d);
    return d;
}

// A main window painted in one colour, with a button and a text field, and a
// second window (a tool window) that asks for captures too.
struct Banc
{
    ScriptedPrompts prompts;
    QWidget principale;
    QPushButton *bouton = nullptr;
    QLineEdit *edition = nullptr;
    QSpinBox *nombre = nullptr;
    QWidget outil;
    QPushButton *boutonOutil = nullptr;
    QString dossier = dossierCaptures();
    std::unique_ptr<CaptureEcran> capture;

    Banc()
    {
        principale.setObjectName("Orvandel");
        principale.setAutoFillBackground(true);
        QPalette pal = principale.palette();
        pal.setColor(QPalette::Window, QColor(200, 30, 40));
        principale.setPalette(pal);
        auto *l = new QVBoxLayout(&principale);
        bouton = new QPushButton("Go", &principale);
        edition = new QLineEdit(&principale);
        nombre = new QSpinBox(&principale);
        l->addWidget(bouton);
        l->addWidget(edition);
        l->addWidget(nombre);
        l->addStretch();
        principale.resize(320, 240);
        principale.show();

        outil.setObjectName("HueCalc");
        boutonOutil = new QPushButton("Ok", &outil);
        outil.resize(150, 90);
        outil.show();

        capture = std::make_unique<CaptureEcran>(&principale, dossier, &prompts);
        capture->installe(&principale);
        capture->installe(&outil);
    }
    QStringList fichiers() const { return QDir(dossier).entryList(QDir::Files, QDir::Name); }
};

// The bit count of a BMP file's information header.
int bitsBmp(const QByteArray &octets)
{
    if (octets.size() < 30 || !octets.startsWith("BM"))
        return -1;
    return quint8(octets[28]) | quint8(octets[29]) << 8;
}

} // namespace

TEST(CaptureEcran, FileNames)
{
    EXPECT_EQ(NomFichierCapture("/t/", 1, "Orvandel", false), "/t/CaptureOVD01 (Orvandel).bmp");
    EXPECT_EQ(NomFichierCapture("/t/", 2, "Orvandel", true), "/t/CaptureOVD02 (Orvandel).jpg");
    EXPECT_EQ(NomFichierCapture("/t/", 99, "THueCalc", true), "/t/CaptureOVD99 (THueCalc).jpg");
    EXPECT_EQ(NomFichierCapture("/t/", 100, "PreviewHP", false), "/t/CaptureOVD100 (PreviewHP).bmp");
}

TEST(CaptureEcran, ShiftPWritesBmpThenShiftJWritesJpeg)
{
    Banc b;
    EXPECT_EQ(b.capture->CompteurCapture(), 1);
    b.bouton->setFocus();
    QTest::keyClick(b.bouton, Qt::Key_P, Qt::ShiftModifier);
    const QString bmp = b.dossier + "CaptureOVD01 (Orvandel).bmp";
    ASSERT_TRUE(QFile::exists(bmp)) << b.fichiers().join(", ").toStdString();
    EXPECT_EQ(bitsBmp(testenv::readFile(bmp)), 24);
    QImageReader lecteurBmp(bmp, "bmp");
    const QImage imageBmp = lecteurBmp.read();
    ASSERT_FALSE(imageBmp.isNull()) << lecteurBmp.errorString().toStdString();
    // Without a readable screen the window draws itself: its own area, no frame.
    EXPECT_EQ(imageBmp.size(), QSize(320, 240));
    // The window's own colour, away from the controls.
    EXPECT_EQ(imageBmp.pixelColor(160, 230), QColor(200, 30, 40));
    EXPECT_EQ(b.capture->CompteurCapture(), 2);

    QTest::keyClick(b.bouton, Qt::Key_J, Qt::ShiftModifier);
    const QString jpg = b.dossier + "CaptureOVD02 (Orvandel).jpg";
    ASSERT_TRUE(QFile::exists(jpg));
    QImageReader lecteurJpg(jpg);
    EXPECT_EQ(lecteurJpg.format(), "jpeg");
    const QImage imageJpg = lecteurJpg.read();
    ASSERT_FALSE(imageJpg.isNull());
    EXPECT_EQ(imageJpg.size(), QSize(320, 240));
    const QColor c = imageJpg.pixelColor(160, 230);
    EXPECT_NEAR(c.red(), 200, 3);
    EXPECT_NEAR(c.green(), 30, 3);
    EXPECT_NEAR(c.blue(), 40, 3);
    // Like every JPEG of the program: the Software and DateTime tags.
    EXPECT_EQ(TagExifTexte(jpg, 305), QByteArray("Orvandel"));
    const auto date = TagExifTexte(jpg, 306);
    ASSERT_TRUE(date);
    const QDateTime moment = QDateTime::fromString(QString::fromLatin1(*date), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    ASSERT_TRUE(moment.isValid()) << date->toStdString();
    EXPECT_LE(std::abs(moment.secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_FALSE(TagExifTexte(bmp, 305));
    EXPECT_EQ(b.fichiers().size(), 2);
    EXPECT_TRUE(b.prompts.messages.isEmpty());
}

TEST(CaptureEcran, OtherWindowNamesTheFileWithTheMainWindowsPixels)
{
    Banc b;
    QTest::keyClick(b.boutonOutil, Qt::Key_J, Qt::ShiftModifier);
    QTest::keyClick(&b.outil, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_EQ(b.fichiers(), QStringList({"CaptureOVD01 (HueCalc).jpg", "CaptureOVD02 (HueCalc).bmp"}));
    const QImage image(b.dossier + "CaptureOVD02 (HueCalc).bmp");
    EXPECT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(image.pixelColor(160, 230), QColor(200, 30, 40));
}

TEST(CaptureEcran, OtherKeysAndTypedCapitalsCaptureNothing)
{
    Banc b;
    b.edition->setFocus();
    QTest::keyClick(b.edition, Qt::Key_P, Qt::ShiftModifier);
    QTest::keyClick(b.edition, Qt::Key_J, Qt::ShiftModifier);
    EXPECT_EQ(b.edition->text().toUpper(), "PJ");
    b.nombre->setFocus();
    QTest::keyClick(b.nombre, Qt::Key_P, Qt::ShiftModifier);
    b.bouton->setFocus();
    QTest::keyClick(b.bouton, Qt::Key_P);
    QTest::keyClick(b.bouton, Qt::Key_J);
    QTest::keyClick(b.bouton, Qt::Key_P, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(b.bouton, Qt::Key_Q, Qt::ShiftModifier);
    // A window that did not install the keys.
    QWidget autre;
    autre.setObjectName("Autre");
    autre.show();
    QTest::keyClick(&autre, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_TRUE(b.fichiers().isEmpty()) << b.fichiers().join(", ").toStdString();
    EXPECT_EQ(b.capture->CompteurCapture(), 1);

    // A read-only field takes no text: the keys capture there.
    b.edition->setReadOnly(true);
    b.edition->setFocus();
    QTest::keyClick(b.edition, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_EQ(b.fichiers(), QStringList({"CaptureOVD01 (Orvandel).bmp"}));
}

TEST(CaptureEcran, ClosedWindowIsForgotten)
{
    Banc b;
    auto *fenetre = new QWidget;
    fenetre->setObjectName("PreviewHP");
    fenetre->show();
    b.capture->installe(fenetre);
    QTest::keyClick(fenetre, Qt::Key_P, Qt::ShiftModifier);
    delete fenetre;
    // Another window at the same place in memory does not inherit the keys.
    auto *suivante = new QWidget;
    suivante->show();
    QTest::keyClick(suivante, Qt::Key_P, Qt::ShiftModifier);
    delete suivante;
    EXPECT_EQ(b.fichiers(), QStringList({"CaptureOVD01 (PreviewHP).bmp"}));
}

TEST(CaptureEcran, ExistingFileReplacedAndCounterGoesPast99)
{
    Banc b;
    b.principale.resize(40, 30);
    testenv::writeFile(b.dossier + "CaptureOVD01 (Orvandel).bmp", "old bytes");
    EXPECT_FALSE(b.capture->CaptureMainForm(&b.principale, false).isEmpty());
    EXPECT_FALSE(QImage(b.dossier + "CaptureOVD01 (Orvandel).bmp").isNull());
    for (int i = 2; i <= 99; ++i)
        ASSERT_FALSE(b.capture->CaptureMainForm(&b.principale, false).isEmpty());
    EXPECT_EQ(b.capture->CaptureMainForm(&b.outil, true), b.dossier + "CaptureOVD100 (HueCalc).jpg");
    EXPECT_EQ(b.capture->CompteurCapture(), 101);
    EXPECT_EQ(b.fichiers().size(), 100);
}

TEST(CaptureEcran, UnwritableFolderIsReportedAndTheCounterStays)
{
    Banc b;
    {
        testenv::DossierVerrouille verrou(b.dossier);
        if (!verrou.actif())
            GTEST_SKIP() << "cannot make a folder read-only here";
        QTest::keyClick(b.bouton, Qt::Key_P, Qt::ShiftModifier);
    }
    ASSERT_EQ(b.prompts.messages.size(), 1);
    EXPECT_TRUE(b.prompts.messages[0].contains("CaptureOVD01 (Orvandel).bmp")) << b.prompts.messages[0].toStdString();
    EXPECT_EQ(b.capture->CompteurCapture(), 1);
    EXPECT_TRUE(b.fichiers().isEmpty());

    // Once the folder can be written again the same number is used.
    QTest::keyClick(b.bouton, Qt::Key_J, Qt::ShiftModifier);
    EXPECT_EQ(b.fichiers(), QStringList({"CaptureOVD01 (Orvandel).jpg"}));
}

TEST(CaptureEcran, MissingFolderIsReported)
{
    ScriptedPrompts prompts;
    QWidget w;
    w.setObjectName("Orvandel");
    w.resize(50, 40);
    w.show();
    CaptureEcran capture(&w, testenv::tempDir() + "/nowhere/", &prompts);
    EXPECT_TRUE(capture.CaptureMainForm(&w, true).isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("CaptureOVD01 (Orvandel).jpg"));
    EXPECT_EQ(capture.CompteurCapture(), 1);
}

// The real main window: captures under its name, none while typing the theme name.
TEST(CaptureEcran, RealMainWindow)
{
    fenetretest::Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString dossier = w.contexte().dossiers.DossierTempWin;
    ASSERT_TRUE(dossier.endsWith('/'));
    CaptureEcran capture(&w, dossier, &f.prompts);
    capture.installe(&w);

    auto *nom = f.trouve<QLineEdit>("ThemeEdit");
    ASSERT_TRUE(nom);
    nom->setFocus();
    const int longueur = nom->text().length();
    QTest::keyClick(nom, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_EQ(nom->text().length(), longueur + 1) << nom->text().toStdString();
    EXPECT_FALSE(QFile::exists(dossier + "CaptureOVD01 (Orvandel).bmp"));

    nom->clearFocus();
    QTest::keyClick(&w, Qt::Key_P, Qt::ShiftModifier);
    const QImage image(dossier + "CaptureOVD01 (Orvandel).bmp");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), w.size());
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    f.ferme();
}

// A tool window that asks through its own key handler: its request names the
// file after it, the pixels still come from the main window.
TEST(CaptureEcran, ToolWindowRequestThroughItsSignal)
{
    Banc b;
    TeintesImages teintes;
    THistoTeinte histo(teintes, THistoTeinte::ModeToday, 0, testenv::programDir(), QImage());
    QObject::connect(&histo, &THistoTeinte::demandeCapture, b.capture.get(), &CaptureEcran::CaptureMainForm);
    histo.show();
    QTest::keyClick(&histo, Qt::Key_J, Qt::ShiftModifier);
    EXPECT_EQ(b.fichiers(), QStringList({"CaptureOVD01 (HistoTeinte).jpg"}));
    EXPECT_EQ(QImage(b.dossier + "CaptureOVD01 (HistoTeinte).jpg").size(), QSize(320, 240));
}
