// The theme format from the main window: the options button, the size
// options window, the labels, the options file across a restart, and the
// dots animation around it.

#include "app/anime_thread.h"
#include "app/options_form.h"
#include "tests/support/fenetre_principale.h"
#include "theme/ini_file.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

QString cle(const QString &fichier, const char *nom)
{
    return IniFile(fichier).readString(QStringLiteral("Options"), QLatin1String(nom), QStringLiteral("?"));
}

void choisit(QWidget *fenetre, int format)
{
    auto *f = qobject_cast<TOptionsForm *>(fenetre);
    ASSERT_TRUE(f);
    QAbstractButton *b = f->FormatImgRG->button(format);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
}

void tape(QSpinBox *s, int v)
{
    s->setFocus();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(s, QString::number(v));
}

} // namespace

TEST(MainWindowFormat, OptionsButtonChangesTheFormatTheLabelsAndTheOptionsFile)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", "today");
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", "start");
    testenv::writeFile(f.dossiers.DossierAppli + "stwater_240_320.gif", "portrait start");
    TOrvandel &w = f.ouvre();
    auto *fmt = f.trouve<QLabel>("FmtActuelLbl");
    auto *actual = f.trouve<QLabel>("ActualFmtLbl");
    EXPECT_EQ(fmt->text(), QStringLiteral("VGA (TD 640x588, ST 399x586)"));
    EXPECT_EQ(actual->text(), fmt->text());

    bool enPause = false;
    surFenetreModale([&](QWidget *d) {
        // The dots wait while the window is open.
        enPause = w.contexte().animation.isPaused() && !w.animationPoints()->enCours();
        choisit(d, 4);
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
    EXPECT_TRUE(enPause);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    EXPECT_TRUE(w.animationPoints()->enCours());

    EXPECT_EQ(w.contexte().document.format().FormatTheme, 4);
    EXPECT_EQ(w.contexte().document.format().TailleImages, (std::array<int, 8>{240, 294, 240, 294, 240, 268, 320, 188}));
    EXPECT_EQ(fmt->text(), QStringLiteral("QVGA P + L (240x294, 320x214)"));
    EXPECT_EQ(actual->text(), fmt->text());
    // The plain pictures follow the new format's portrait pair.
    EXPECT_FALSE(QFile::exists(f.dossiers.DossierAppli + "tdywater.gif"));
    EXPECT_EQ(testenv::readFile(f.dossiers.DossierAppli + "stwater.gif"), "portrait start");

    // Cancel after clicking elsewhere changes nothing.
    surFenetreModale([&](QWidget *d) {
        choisit(d, 8);
        d->findChild<QPushButton *>("AnnulerBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 4);
    EXPECT_EQ(fmt->text(), QStringLiteral("QVGA P + L (240x294, 320x214)"));

    f.ferme();
    const QString options = f.dossiers.DossierAppli + "OptionsOVD.ini";
    EXPECT_EQ(cle(options, "DefautFmtTsk"), QStringLiteral("4"));
    EXPECT_EQ(cle(options, "seLTD"), QStringLiteral("240"));
    EXPECT_EQ(cle(options, "seHST"), QStringLiteral("294"));
    EXPECT_TRUE(f.prompts.exhausted());
}

// The user's own Today and Start pictures survive a move to a portrait +
// landscape format and come back when the theme returns to one picture per
// screen; a picture made meanwhile under the plain name is kept, and so is
// the one put aside.
TEST(MainWindowFormat, AFormatChangeKeepsTheUsersPictures)
{
    Fenetre f;
    const QString d = f.dossiers.DossierAppli;
    testenv::writeFile(d + "tdywater.gif", "my today");
    testenv::writeFile(d + "stwater.gif", "my start");
    testenv::writeFile(d + "stwater_480_640.gif", "portrait start");
    TOrvandel &w = f.ouvre();
    const auto change = [&](int format) {
        surFenetreModale([&](QWidget *fen) {
            choisit(fen, format);
            fen->findChild<QPushButton *>("ValiderBtn")->click();
        });
        QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
        ASSERT_EQ(w.contexte().document.format().FormatTheme, format);
    };

    change(5);
    // The format's own pictures hold the plain names, the user's are kept aside.
    EXPECT_FALSE(QFile::exists(d + "tdywater.gif"));
    EXPECT_EQ(testenv::readFile(d + "stwater.gif"), "portrait start");
    EXPECT_EQ(testenv::readFile(d + "tdywater_garde.gif"), "my today");
    EXPECT_EQ(testenv::readFile(d + "stwater_garde.gif"), "my start");

    change(3);
    EXPECT_EQ(testenv::readFile(d + "tdywater.gif"), "my today");
    EXPECT_EQ(testenv::readFile(d + "stwater.gif"), "my start");
    EXPECT_FALSE(QFile::exists(d + "tdywater_garde.gif"));
    EXPECT_FALSE(QFile::exists(d + "stwater_garde.gif"));
    EXPECT_EQ(testenv::readFile(d + "stwater_480_640.gif"), "portrait start");

    // Into format 4 and back, with a new Start picture made in between: the
    // new one stays under the plain name, the older one stays aside.
    change(4);
    EXPECT_EQ(testenv::readFile(d + "stwater_garde.gif"), "my start");
    testenv::writeFile(d + "stwater.gif", "newer start");
    change(3);
    EXPECT_EQ(testenv::readFile(d + "tdywater.gif"), "my today");
    EXPECT_EQ(testenv::readFile(d + "stwater.gif"), "newer start");
    EXPECT_EQ(testenv::readFile(d + "stwater_garde.gif"), "my start");

    // A second move keeps both the newer picture and the one put aside before.
    change(5);
    EXPECT_EQ(testenv::readFile(d + "stwater_garde.gif"), "newer start");
    EXPECT_EQ(testenv::readFile(d + "stwater_garde2.gif"), "my start");
    EXPECT_EQ(testenv::readFile(d + "stwater.gif"), "portrait start");
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    f.ferme();
}

TEST(MainWindowFormat, CustomizedSizesSurviveARestart)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    surFenetreModale([&](QWidget *d) {
        choisit(d, 6);
        tape(d->findChild<QSpinBox *>("LTDse"), 300);
        tape(d->findChild<QSpinBox *>("HTDse"), 400);
        tape(d->findChild<QSpinBox *>("LSTse"), 200);
        tape(d->findChild<QSpinBox *>("HSTse"), 400);
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
    const std::array<int, 8> attendu{300, 400, 200, 400, 300, 381, 640, 376};
    EXPECT_EQ(w.contexte().document.format().TailleImages, attendu);
    EXPECT_EQ(f.trouve<QLabel>("FmtActuelLbl")->text(), QStringLiteral("Customized"));
    f.ferme();

    f.demarre();
    TOrvandel &w2 = f.ouvre();
    EXPECT_EQ(w2.contexte().document.format().FormatTheme, 6);
    EXPECT_EQ(w2.contexte().document.format().TailleImages, attendu);
    EXPECT_EQ(w2.contexte().document.format().TaillesPerso, (std::array<int, 4>{300, 400, 200, 400}));
    EXPECT_EQ(f.trouve<QLabel>("FmtActuelLbl")->text(), QStringLiteral("Customized"));
    // The size options window opens on it.
    surFenetreModale([&](QWidget *d) {
        auto *o = qobject_cast<TOptionsForm *>(d);
        EXPECT_EQ(o->itemIndex(), 6);
        EXPECT_EQ(o->LTDse->value(), 300);
        EXPECT_EQ(o->HSTse->value(), 400);
        o->AnnulerBtn->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
    EXPECT_EQ(w2.contexte().document.format().TailleImages, attendu);
}

TEST(MainWindowFormat, TheDotsPlayInTheColourOfSlot22AndStopFirstAtTheClose)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    TAnimeThread *points = w.animationPoints();
    ASSERT_TRUE(points);
    ASSERT_TRUE(points->pret());
    EXPECT_EQ(points->nombreImages(), 8);
    EXPECT_TRUE(points->enCours());

    const TColor rouge = TColor::fromRgb(0xFF, 0x00, 0x00);
    w.contexte().document.setCouleur(21, rouge);
    points->imageSuivante();
    auto *image8 = f.trouve<QLabel>("Image8");
    const QImage vue = image8->pixmap().toImage();
    ASSERT_FALSE(vue.isNull());
    int rouges = 0, fond = 0;
    const QRgb couleurFond = w.palette().color(QPalette::Window).rgb();
    for (int y = 0; y < vue.height(); ++y)
        for (int x = 0; x < vue.width(); ++x) {
            const QRgb p = vue.pixel(x, y) | 0xFF000000u;
            rouges += p == qRgb(0xFF, 0, 0);
            fond += p == (couleurFond | 0xFF000000u);
        }
    EXPECT_GT(rouges, 0);
    EXPECT_EQ(rouges + fond, vue.width() * vue.height()); // two colours only

    f.ferme();
    EXPECT_FALSE(f.w);
}
