// Names of the program folder that hold no plain file (a named pipe under a
// working picture's name, the colour file's, the options file's): the main
// window starts, draws, changes format, measures and previews as if the file
// were missing, and never opens the pipe. The pipes are watched: a reader
// that opened one is counted and set free, so these tests cannot hang.

#include "app/options_form.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/tube_surveille.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;
using testenv::TubeSurveille;

namespace {

// A 4 x 6 picture, stored as PNG under a ".gif" name as users do.
QByteArray petiteImage()
{
    QImage image(4, 6, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 90));
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    image.save(&tampon, "PNG");
    return octets;
}

void changeFormat(Fenetre &f, int format)
{
    surFenetreModale([format](QWidget *fen) {
        auto *o = qobject_cast<TOptionsForm *>(fen);
        ASSERT_TRUE(o);
        QAbstractButton *b = o->FormatImgRG->button(format);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
        fen->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
}

struct Tubes
{
    std::vector<std::unique_ptr<TubeSurveille>> liste;
    void ajoute(const QString &chemin)
    {
        liste.push_back(std::make_unique<TubeSurveille>(chemin));
        ASSERT_TRUE(liste.back()->cree()) << chemin.toStdString();
    }
    // How many times the program held one of them open.
    int lecteurs() const
    {
        int n = 0;
        for (const auto &t : liste)
            n += t->lecteurs();
        return n;
    }
};

} // namespace

TEST(FichiersNonOrdinaires, PipesUnderTheProgramFilesAreMissingFilesAtStartAndAtAFormatChange)
{
    Fenetre f;
    const QString d = f.dossiers.DossierAppli;
    Tubes tubes;
    for (const char *nom : {"tdywater.gif", "stwater_240_320.gif", "tdywater_240_320.gif", "tdywater_320_240.gif",
                            "OptionsOVD.ini"})
        tubes.ajoute(d + QLatin1String(nom));
    tubes.ajoute(f.dossiers.FichierCouleurs);
    testenv::writeFile(d + "stwater.gif", petiteImage());

    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(!w.verifFormatEnAttente());
    QCoreApplication::processEvents();
    EXPECT_EQ(tubes.lecteurs(), 0);
    // The pipe is a missing Today picture; the Start picture is measured.
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (---x--- - 4x6)"));
    EXPECT_FALSE(f.trouve<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_TRUE(f.trouve<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_FALSE(f.trouve<QWidget>("MinTD")->isVisible());
    EXPECT_TRUE(f.trouve<QWidget>("MinST")->isVisible());

    // To the 240 x 320 pair: both portrait names hold pipes, so the plain
    // pictures count as having no portrait to take.
    changeFormat(f, 4);
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(tubes.lecteurs(), 0);
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (---x--- - ---x---)"));
    // The user's Start picture was put aside, not lost.
    EXPECT_EQ(testenv::readFile(d + "stwater_garde.gif"), petiteImage());

    // And back: the picture put aside returns; the pipe under the Today name
    // is no picture of the user's and gives way to nothing.
    changeFormat(f, 2);
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(tubes.lecteurs(), 0);
    EXPECT_EQ(testenv::readFile(d + "stwater.gif"), petiteImage());
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (---x--- - 4x6)"));

    // Measuring the package names the picture it cannot read.
    f.trouve<QPushButton>("TailleTskBtn")->click();
    ASSERT_EQ(f.prompts.messages.size(), 1);
    EXPECT_TRUE(f.prompts.messages[0].contains(QStringLiteral("tdywater.gif")))
        << f.prompts.messages[0].toStdString();
    EXPECT_EQ(tubes.lecteurs(), 0);

    // The close writes the options and colour files in place of their pipes.
    f.ferme();
    EXPECT_EQ(tubes.lecteurs(), 0);
    EXPECT_TRUE(QFileInfo(d + "OptionsOVD.ini").isFile());
    EXPECT_TRUE(QFileInfo(f.dossiers.FichierCouleurs).isFile());
    EXPECT_TRUE(f.prompts.exhausted());
}
