// The package-aware open dialog: packages written by the create command's
// builder, selected in the dialog as a user does, previewed from a scratch
// folder that never outlives the selection.
#include "tools/open_picture_dialog_gdi.h"
#include "tools/open_picture_dialog_gdi_tsk.h"

#include "tests/support/cab_fabrique.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/cabinet_paquet.h"
#include "theme/images_package.h"
#include "theme/package_reader.h"
#include "theme/package_writer.h"
#include "theme/theme_document.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#define ATTEND(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond

namespace {

// An open dialog titled "Open" that starts in `dossier`.
Prompts::FileDialog optionsOuverture(const QString &dossier)
{
    Prompts::FileDialog o;
    o.title = QStringLiteral("Open");
    o.initialDir = dossier;
    return o;
}

const QString NomAppli = QStringLiteral("Appli \u00e9t\u00e9");

QString dossierPaquets()
{
    const QString d = testenv::tempDir() + QStringLiteral("/paquets");
    QDir().mkpath(d);
    return d;
}

QString dossierTravail()
{
    const QString d = testenv::tempDir() + QStringLiteral("/ThemeTmp");
    QDir().mkpath(d);
    return d;
}

// A picture of four coloured quadrants, distinct for each seed, red and blue
// always different.
QImage quadrants(QSize taille, int graine)
{
    QImage img(taille, QImage::Format_RGB32);
    const int w = taille.width() / 2, h = taille.height() / 2;
    const QRgb c[4] = {qRgb(200, 10 + graine * 20, 30), qRgb(20, 180, 10 + graine * 30),
                       qRgb(40 + graine * 25, 30, 220), qRgb(250, 240, 5 + graine * 10)};
    for (int q = 0; q < 4; ++q)
        for (int y = (q / 2) * h; y < (q / 2 ? taille.height() : h); ++y)
            for (int x = (q % 2) * w; x < (q % 2 ? taille.width() : w); ++x)
                img.setPixel(x, y, c[q]);
    return img;
}

struct ImageSource
{
    QImage image;
    const char *format; // how the working picture is stored
};

// The four pictures a package may hold, by position: Today portrait, Start
// portrait, Today landscape, Start landscape.
const std::array<QSize, 4> Tailles = {QSize(60, 80), QSize(48, 64), QSize(80, 60), QSize(64, 48)};

int position(const QString &nomImage)
{
    const bool today = nomImage.startsWith(QLatin1String("tdy"));
    const bool paysage = nomImage.contains(QLatin1String("_320_240")) || nomImage.contains(QLatin1String("_640_480"));
    return (paysage ? 2 : 0) + (today ? 0 : 1);
}

// A package built by the create command's builder for a format and picture
// set; the working pictures are PNG except the Start portrait (a BMP with a
// palette of four colours, which Qt stores at 4 bits per pixel).
QString paquet(const QString &nom, int format, bool startSeul, OptionSetupPackage option,
               std::array<QImage, 4> *sources = nullptr)
{
    ScriptedPrompts prompts;
    AnimationPause pause;
    ThemeDocument doc;
    doc.setNomTheme(nom);
    doc.setNomInterne(NomAppli);
    doc.setFormatTheme(format);
    ParametresWM5 p;
    p.UseStartImageDefini = startSeul;
    p.ValUseStartImage = startSeul ? 1 : 0;
    doc.setParametres(p);
    ContextePackage ctx;
    ctx.prompts = &prompts;
    ctx.pause = &pause;
    ctx.dossierAppli = testenv::programDir() + QStringLiteral("/ecrit-") + nom;
    ctx.dossierTravail = testenv::tempDir() + QStringLiteral("/genere-") + nom;
    ctx.option = option;
    QDir().mkpath(ctx.dossierAppli);
    for (const ImagePackage &im : ImagesPackage(format, startSeul)) {
        const int k = position(im.nomImage);
        QImage img = quadrants(Tailles[size_t(k)], k);
        const char *fmt = "PNG";
        if (k == 1) {
            img = img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
            fmt = "BMP";
        }
        EXPECT_TRUE(img.save(ctx.dossierAppli + QLatin1Char('/') + im.nomImage, fmt));
        if (sources)
            (*sources)[size_t(k)] = img.convertToFormat(QImage::Format_RGB32);
    }
    EXPECT_TRUE(GenereTsk(doc, ctx, nom, NomAppli)) << prompts.messages.join('|').toStdString();
    const QString cible = dossierPaquets() + QLatin1Char('/') + nom + QStringLiteral(".tsk");
    QFile::remove(cible);
    EXPECT_TRUE(QFile::rename(ctx.dossierTravail + QLatin1Char('/') + nom + QStringLiteral(".tsk"), cible));
    return cible;
}

// Counts the cabinet reads the dialog makes.
class CabinetCompte : public LecteurCabinet
{
public:
    std::optional<QStringList> lister(const QString &cabinet) override
    {
        ++listes;
        return reel.lister(cabinet);
    }
    bool extraire(const QString &cabinet, const QString &membre, const QString &destination) override
    {
        ++extractions;
        dossiers << QFileInfo(destination).absolutePath();
        return reel.extraire(cabinet, membre, destination);
    }
    CabinetPaquet reel;
    int listes = 0, extractions = 0;
    QStringList dossiers;
};

struct Dialogue
{
    ScriptedPrompts prompts;
    CabinetCompte cabinet;
    TOpenPictureDialogGDITSK dlg{&prompts, nullptr, &cabinet};

    Dialogue()
    {
        dlg.setDirExtract(dossierTravail());
        dlg.setOptions(optionsOuverture(dossierPaquets()));
        dlg.show();
        // The folder read, its first package is selected: the test's own
        // choices come after.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !PremierFichierEnAttente(dlg.dialogueFichiers()); }, 5000));
    }

    // Selects a file as a user does: a click in the list for an existing
    // entry, the name typed in the file-name box for anything else.
    void choisit(const QString &fichier)
    {
        QListView *liste = dlg.dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView"));
        ASSERT_NE(liste, nullptr);
        if (QFileInfo::exists(fichier)) {
            auto *modele = qobject_cast<QFileSystemModel *>(liste->model());
            ASSERT_NE(modele, nullptr);
            QModelIndex index;
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    index = modele->index(fichier);
                    return index.isValid() && index.parent() == liste->rootIndex();
                },
                5000))
                << fichier.toStdString();
            liste->selectionModel()->setCurrentIndex(index,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        } else {
            liste->selectionModel()->clearSelection();
            dlg.dialogueFichiers()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QFileInfo(fichier).fileName());
        }
    }
    QString texte(const char *nom)
    {
        auto *l = dlg.findChild<QLabel *>(QString::fromLatin1(nom));
        EXPECT_NE(l, nullptr) << nom;
        return l ? l->text() : QString();
    }
    QString legende(const char *nom) { return dlg.findChild<TSilentPaintPanel *>(QString::fromLatin1(nom))->caption(); }
    QLabel *boite(const char *nom) { return dlg.findChild<QLabel *>(QString::fromLatin1(nom)); }
    QImage vignette(const char *nom) { return boite(nom)->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
    QCheckBox *pouL() { return dlg.findChild<QCheckBox *>(QStringLiteral("PouLCB")); }
    bool apercuActif() { return dlg.findChild<QToolButton *>(QStringLiteral("PreviewButton"))->isEnabled(); }
    bool brouillonVide() { return QDir(dossierTravail()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
};

// The thumbnail shows the source: inside its blue frame, the centre of each
// quadrant has the source quadrant's colour.
void verifieVignette(const QImage &vue, const QImage &source)
{
    ASSERT_FALSE(vue.isNull());
    ASSERT_EQ(vue.size(), source.size()) << "small pictures are not enlarged";
    EXPECT_EQ(vue.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(vue.pixel(vue.width() - 1, vue.height() - 1), qRgb(0, 0, 255));
    const int w = source.width(), h = source.height();
    for (const QPoint p : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                           QPoint(3 * w / 4, 3 * h / 4)})
        EXPECT_EQ(vue.pixel(p), source.pixel(p)) << p.x() << "," << p.y();
}

// The full-size preview of a picture: the source, pixel for pixel.
void verifieApercuPleineTaille(Dialogue &d, const QImage &source, const std::function<void()> &ouvre)
{
    ouvre();
    QPointer<QDialog> form = d.dlg.findChild<QDialog *>(QStringLiteral("PreviewForm"));
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Prévisualiser"));
    QLabel *image = form->findChild<QLabel *>(QStringLiteral("PreviewImage"));
    ASSERT_NE(image, nullptr);
    const QImage vue = image->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect r((vue.width() - source.width()) / 2, (vue.height() - source.height()) / 2, source.width(),
                  source.height());
    EXPECT_EQ(vue.copy(r), source);
    QTest::mouseClick(image, Qt::LeftButton);
    ATTEND(form.isNull());
}

} // namespace

TEST(OpenPictureDialogGdiTsk, SinglePicturePairShowsBothPortraitsAndTheApplicationName)
{
    std::array<QImage, 4> sources;
    const QString tsk = paquet(QStringLiteral("Simple"), 0, false, OptionSetupPackage::Inf, &sources);
    Dialogue d;
    QSignalSpy lus(&d.dlg, &TOpenPictureDialogGDITSK::paquetLu);
    EXPECT_EQ(d.dlg.Filter(), TOpenPictureDialogGDITSK::FiltreParDefaut());

    d.choisit(tsk);
    ATTEND(d.apercuActif());
    EXPECT_TRUE(d.dlg.estPaquet());
    EXPECT_TRUE(d.dlg.apercu().lectureSetupCE);
    EXPECT_EQ(d.texte("PictureLabel"), QStringLiteral(" (60x80)  -   (48x64)"));
    EXPECT_EQ(d.texte("TypeImgLabel"), QStringLiteral("PNG (24 bpp) - Bitmap (4 bpp)"));
    EXPECT_EQ(d.texte("AppNameLabel"), QLatin1Char('"') + NomAppli + QLatin1Char('"'));
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("2 img(s)"));
    EXPECT_EQ(d.texte("LandImgLabel"), QString());
    EXPECT_FALSE(d.pouL()->isVisible());
    EXPECT_EQ(d.legende("PaintPanel"), QString());
    EXPECT_EQ(d.legende("PaintPanelST"), QString());
    // Each thumbnail fits its picture (smaller than the box) inside a blue
    // frame; the picture is drawn inside the frame, so compare quadrants.
    verifieVignette(d.vignette("PaintBox"), sources[0]);
    verifieVignette(d.vignette("PaintBoxST"), sources[1]);
    EXPECT_TRUE(d.prompts.messages.isEmpty()) << d.prompts.messages.join('|').toStdString();

    // Nothing of the package stays on disk; the scratch folder was under the work folder.
    EXPECT_TRUE(d.brouillonVide());
    ASSERT_FALSE(d.cabinet.dossiers.isEmpty());
    for (const QString &dossier : d.cabinet.dossiers)
        EXPECT_TRUE(dossier.startsWith(dossierTravail() + QStringLiteral("/apercuTsk-"))) << dossier.toStdString();

    // Full size: the preview button shows the Today picture, a click on the
    // Start thumbnail the Start picture, both at 1:1.
    verifieApercuPleineTaille(d, sources[0], [&] {
        QTest::mouseClick(d.dlg.findChild<QToolButton *>(QStringLiteral("PreviewButton")), Qt::LeftButton);
    });
    verifieApercuPleineTaille(d, sources[1], [&] { QTest::mouseClick(d.boite("PaintBoxST"), Qt::LeftButton); });

    // The same package again is not read again; another file and back is.
    const int listes = d.cabinet.listes, extractions = d.cabinet.extractions;
    EXPECT_EQ(listes, 1);
    EXPECT_EQ(extractions, 3); // the setup file and two pictures
    d.choisit(tsk);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.cabinet.listes, listes);
    // Read once, for the selection the dialog made when it opened.
    EXPECT_EQ(lus.count(), 0);
    d.choisit(dossierPaquets() + QStringLiteral("/absent.tsk"));
    ATTEND(!d.apercuActif());
    EXPECT_EQ(d.legende("PaintPanel"), QStringLiteral("(vide)"));
    EXPECT_EQ(d.texte("PictureLabel"), QStringLiteral("Image :"));
    d.choisit(tsk);
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.cabinet.listes, listes + 1);
    EXPECT_TRUE(d.brouillonVide());
}

TEST(OpenPictureDialogGdiTsk, BothOrientationsSwapWithTheLandscapeBox)
{
    std::array<QImage, 4> sources;
    const QString tsk = paquet(QStringLiteral("Deux"), 4, false, OptionSetupPackage::InfXml, &sources);
    Dialogue d;
    d.choisit(tsk);
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("4 img(s) - P+L -"));
    EXPECT_EQ(d.texte("LandImgLabel"), QStringLiteral("L :  (80x60)  -   (64x48)"));
    EXPECT_EQ(d.texte("TypeImgLandLabel"), QStringLiteral("PNG (24 bpp) - PNG (24 bpp)"));
    EXPECT_EQ(d.texte("PictureLabel"), QStringLiteral(" (60x80)  -   (48x64)"));
    // Both a setup file and a setup XML: read through the setup file.
    EXPECT_TRUE(d.dlg.apercu().lectureSetupCE);
    ASSERT_TRUE(d.pouL()->isVisible());
    EXPECT_TRUE(d.boite("PaintBox")->isVisible());
    EXPECT_FALSE(d.boite("PaintBoxL")->isVisible());

    QTest::mouseClick(d.pouL(), Qt::LeftButton);
    EXPECT_TRUE(d.pouL()->isChecked());
    EXPECT_FALSE(d.boite("PaintBox")->isVisible());
    EXPECT_FALSE(d.boite("PaintBoxST")->isVisible());
    EXPECT_TRUE(d.boite("PaintBoxL")->isVisible());
    EXPECT_TRUE(d.boite("PaintBoxSTL")->isVisible());
    verifieVignette(d.vignette("PaintBoxL"), sources[2]);
    verifieVignette(d.vignette("PaintBoxSTL"), sources[3]);
    verifieApercuPleineTaille(d, sources[3], [&] { QTest::mouseClick(d.boite("PaintBoxSTL"), Qt::LeftButton); });

    QTest::mouseClick(d.pouL(), Qt::LeftButton);
    EXPECT_TRUE(d.boite("PaintBox")->isVisible());
    EXPECT_FALSE(d.boite("PaintBoxL")->isVisible());
    verifieVignette(d.vignette("PaintBox"), sources[0]);

    // A single-size package next: the box is hidden, unchecked, portrait shown.
    QTest::mouseClick(d.pouL(), Qt::LeftButton);
    const QString simple = paquet(QStringLiteral("Simple"), 1, false, OptionSetupPackage::Inf);
    d.choisit(simple);
    ATTEND(d.texte("NbImgLabel") == QStringLiteral("2 img(s)"));
    EXPECT_FALSE(d.pouL()->isVisible());
    EXPECT_FALSE(d.pouL()->isChecked());
    EXPECT_TRUE(d.boite("PaintBox")->isVisible());
    EXPECT_EQ(d.texte("LandImgLabel"), QString());
    EXPECT_TRUE(d.brouillonVide());
}

TEST(OpenPictureDialogGdiTsk, StartOnlyPackageReadThroughItsSetupXml)
{
    std::array<QImage, 4> sources;
    const QString tsk = paquet(QStringLiteral("Start"), 5, true, OptionSetupPackage::Xml, &sources);
    Dialogue d;
    d.choisit(tsk);
    ATTEND(d.apercuActif());
    EXPECT_FALSE(d.dlg.apercu().lectureSetupCE);
    EXPECT_EQ(d.legende("PaintPanel"), QStringLiteral("\"TODAY\" absent"));
    EXPECT_EQ(d.legende("PaintPanelST"), QString());
    EXPECT_EQ(d.texte("PictureLabel"), QStringLiteral("(0x0)  -   (48x64)"));
    EXPECT_EQ(d.texte("TypeImgLabel"), QStringLiteral("absent - Bitmap (4 bpp)"));
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("2 img(s) - P+L -"));
    EXPECT_EQ(d.texte("LandImgLabel"), QStringLiteral("L :   -   (64x48)"));
    EXPECT_EQ(d.texte("AppNameLabel"), QLatin1Char('"') + NomAppli + QLatin1Char('"'));
    EXPECT_TRUE(d.boite("PaintBox")->pixmap().isNull());
    verifieVignette(d.vignette("PaintBoxST"), sources[1]);
    // The preview button falls back on the Start picture.
    verifieApercuPleineTaille(d, sources[1], [&] { d.dlg.PreviewClick(); });
    EXPECT_TRUE(d.brouillonVide());
}

// Packages that are not themes, damaged or hostile: a message, nothing shown,
// nothing written anywhere outside the scratch folder, which is gone.
TEST(OpenPictureDialogGdiTsk, HostileDamagedAndForeignPackagesShowNothing)
{
    const QString bon = paquet(QStringLiteral("Bon"), 0, false, OptionSetupPackage::Inf);
    const QByteArray octetsBons = testenv::readFile(bon);
    const QByteArray png = [] {
        QByteArray b;
        QBuffer tampon(&b);
        tampon.open(QIODevice::WriteOnly);
        quadrants(QSize(8, 8), 0).save(&tampon, "PNG");
        return b;
    }();
    struct Cas
    {
        const char *nom;
        QByteArray octets;
        QString message;
        QString legende;
    };
    const QString chargement = QStringLiteral("Erreur chargement");
    const std::vector<Cas> cas = {
        // Traversal names for the setup file and a picture.
        {"traversee",
         cabtest::fabriqueCab({{"..\\..\\evil.000", octetsBons.left(200)}, {"../evil.gif", png}, {"ok.gif", png}}),
         chargement, QStringLiteral("GDI Erreur")},
        {"absolu", cabtest::fabriqueCab({{"/tmp/evil.xml", "<wap-provisioningdoc/>"}}), chargement,
         QStringLiteral("GDI Erreur")},
        // A well-formed cabinet without any setup document.
        {"etranger", cabtest::fabriqueCab({{"readme.txt", "hello"}, {"photo.png", png}}), chargement,
         QStringLiteral("GDI Erreur")},
        // A setup XML that is no theme.
        {"xmlvide", cabtest::fabriqueCab({{"_setup.xml", "<wap-provisioningdoc></wap-provisioningdoc>"}}), chargement,
         QStringLiteral("GDI Erreur")},
        {"pas-un-cab", QByteArray("MSCF but nothing else"), chargement, QStringLiteral("GDI Erreur")},
        {"tronque-entete", octetsBons.left(40), chargement, QStringLiteral("GDI Erreur")},
        // The header and file table are whole, the data is cut short.
        {"tronque-donnees", octetsBons.left(octetsBons.size() - 300), QStringLiteral("Erreur extraction"),
         QStringLiteral("Erreur extraction")},
    };
    for (const Cas &c : cas)
        testenv::writeFile(dossierPaquets() + QLatin1Char('/') + QLatin1String(c.nom) + QStringLiteral(".tsk"),
                           c.octets);

    Dialogue d;
    d.choisit(bon);
    ATTEND(d.apercuActif());
    const QStringList avant = cabtest::arborescence(testenv::rootDir());
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        d.prompts.messages.clear();
        d.choisit(dossierPaquets() + QLatin1Char('/') + QLatin1String(c.nom) + QStringLiteral(".tsk"));
        ATTEND(!d.apercuActif());
        EXPECT_EQ(d.prompts.messages, QStringList{c.message});
        EXPECT_EQ(d.legende("PaintPanel"), c.legende);
        EXPECT_EQ(d.legende("PaintPanelST"), c.legende);
        EXPECT_EQ(d.texte("PictureLabel"), QStringLiteral("Image :"));
        EXPECT_EQ(d.texte("AppNameLabel"), QString());
        EXPECT_TRUE(d.boite("PaintBox")->pixmap().isNull());
        EXPECT_FALSE(d.pouL()->isVisible());
        EXPECT_TRUE(d.brouillonVide());
        EXPECT_EQ(cabtest::arborescence(testenv::rootDir()), avant);
        // The good package reads again after each one.
        d.choisit(bon);
        ATTEND(d.apercuActif());
    }
    // No file named evil anywhere.
    for (const QString &f : cabtest::arborescence(testenv::rootDir()))
        EXPECT_FALSE(f.contains(QLatin1String("evil"))) << f.toStdString();
}

TEST(OpenPictureDialogGdiTsk, OtherFilesShowAnEmptyPreviewWithoutMessage)
{
    const QString tsk = paquet(QStringLiteral("Bon"), 0, false, OptionSetupPackage::Inf);
    const QString image = dossierPaquets() + QStringLiteral("/image.png");
    quadrants(QSize(20, 20), 1).save(image, "PNG");
    QDir().mkpath(dossierPaquets() + QStringLiteral("/dossier.tsk"));
    Dialogue d;
    d.dlg.setFilter(QStringLiteral("Tous (*.*)|*.*"));
    for (const QString &autre : {image, dossierPaquets() + QStringLiteral("/dossier.tsk")}) {
        d.choisit(tsk);
        ATTEND(d.apercuActif());
        d.choisit(autre);
        ATTEND(!d.apercuActif());
        EXPECT_FALSE(d.dlg.estPaquet());
        EXPECT_EQ(d.legende("PaintPanel"), QStringLiteral("(vide)"));
        EXPECT_EQ(d.legende("PaintPanelST"), QStringLiteral("(vide)"));
    }
    EXPECT_TRUE(d.prompts.messages.isEmpty());
    EXPECT_EQ(d.cabinet.listes, 2);
}

TEST(OpenPictureDialogGdiTsk, AcceptingReturnsThePackageAndLeavesNothingBehind)
{
    const QString tsk = paquet(QStringLiteral("Choisi"), 4, false, OptionSetupPackage::Inf);
    Dialogue d;
    d.dlg.setDirExtract(QString()); // an empty value changes nothing
    EXPECT_EQ(d.dlg.DirExtract(), dossierTravail() + QLatin1Char('/'));
    d.dlg.resize(700, 400);
    d.dlg.dialogueFichiers()->setDirectory(testenv::tempDir());
    d.dlg.dialogueFichiers()->setDirectory(dossierPaquets());
    d.choisit(tsk);
    ATTEND(d.apercuActif());
    QPushButton *ouvrir = d.dlg.dialogueFichiers()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
    ASSERT_NE(ouvrir, nullptr);
    QTest::mouseClick(ouvrir, Qt::LeftButton);
    EXPECT_EQ(d.dlg.result(), QDialog::Accepted);
    EXPECT_EQ(d.dlg.fileName(), tsk);
    EXPECT_TRUE(d.brouillonVide());
    // The decoded pictures are let go with the dialog's close.
    EXPECT_FALSE(d.dlg.apercu().images[0].present());
}

TEST(OpenPictureDialogGdiTsk, ApplicationNameOfASetupFileIsBounded)
{
    QByteArray setup(120, '\0');
    setup.replace(100, 6, "Nom\0xy", 6);
    const auto pose = [&](quint16 offset, quint16 longueur) {
        QByteArray s = setup;
        s[84] = char(offset & 0xFF);
        s[85] = char(offset >> 8);
        s[86] = char(longueur & 0xFF);
        s[87] = char(longueur >> 8);
        return NomApplication000(s);
    };
    EXPECT_EQ(pose(100, 6), QStringLiteral("\"Nom\""));      // up to the NUL
    EXPECT_EQ(pose(100, 2), QStringLiteral("\"No\""));       // the stored length
    EXPECT_EQ(pose(100, 21), QStringLiteral("\"\""));        // one past the end
    EXPECT_EQ(pose(0xFFFF, 0xFFFF), QStringLiteral("\"\"")); // far beyond
    EXPECT_EQ(pose(20, 4), QStringLiteral("\"\""));          // inside the header
    EXPECT_EQ(NomApplication000(QByteArray(50, 'x')), QStringLiteral("\"\""));
    // Windows-1252 text.
    setup.replace(100, 4, "\xE9t\xE9\0", 4);
    EXPECT_EQ(pose(100, 4), QStringLiteral("\"\u00e9t\u00e9\""));
}

// Typing the name of a broken package raises no box: the failure shows on the
// preview panels, every keystroke reaches the name box, and a package chosen
// in the list afterwards still reports its failure.
TEST(OpenPictureDialogGdiTsk, TypingTheNameOfABrokenPackageRaisesNoBox)
{
    testenv::writeFile(dossierPaquets() + QStringLiteral("/casse.tsk"), QByteArray("MSCF but nothing else"));
    testenv::writeFile(dossierPaquets() + QStringLiteral("/casse.tsk2"), QByteArray("MSCF but nothing else"));
    Dialogue d;
    d.dlg.setFilter(QStringLiteral("Tous (*.*)|*.*"));
    auto *saisie = d.dlg.dialogueFichiers()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(saisie, nullptr);
    ATTEND(QFileInfo(d.dlg.dialogueFichiers()->directory().absolutePath()) == QFileInfo(dossierPaquets()));
    // The folder read, its first package is selected and reported.
    ATTEND(d.prompts.messages == QStringList{QStringLiteral("Erreur chargement")});
    EXPECT_EQ(QFileInfo(d.dlg.dialogueFichiers()->selectedFiles().value(0)).fileName(), QStringLiteral("casse.tsk"));
    d.prompts.messages.clear();
    d.dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d.dlg));
    saisie->setFocus();
    ATTEND(saisie->hasFocus());
    saisie->clear();
    const QString tape = dossierPaquets() + QStringLiteral("/casse.tsk2");
    QTest::keyClicks(saisie, tape);
    EXPECT_EQ(saisie->text(), tape);
    EXPECT_TRUE(d.prompts.messages.isEmpty()) << d.prompts.messages.join('|').toStdString();
    EXPECT_GT(d.cabinet.listes, 0); // "casse.tsk" was read on the way
    // Back to the name that is a package: shown on the panels, no box.
    QTest::keyClick(saisie, Qt::Key_Backspace);
    ATTEND(d.legende("PaintPanel") == QStringLiteral("Erreur chargement"));
    EXPECT_EQ(d.legende("PaintPanelST"), QStringLiteral("Erreur chargement"));
    EXPECT_FALSE(d.apercuActif());
    EXPECT_TRUE(d.prompts.messages.isEmpty());

    // Chosen in the list, the same package shows its box as before.
    d.dlg.dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView"))->setFocus();
    d.choisit(dossierPaquets() + QStringLiteral("/casse.tsk2"));
    d.choisit(dossierPaquets() + QStringLiteral("/casse.tsk"));
    ATTEND(d.prompts.messages == QStringList{QStringLiteral("Erreur chargement")});
    EXPECT_EQ(d.legende("PaintPanel"), QStringLiteral("GDI Erreur"));
}

// The read command's dialog opens on its folder with the first package
// selected and previewed (the preview window's place is the routine both
// dialogs share).
TEST(OpenPictureDialogGdiTsk, FirstPackageSelectedAndPreviewed)
{
    std::array<QImage, 4> sources;
    const QString premier = paquet(QStringLiteral("Alpha"), 0, false, OptionSetupPackage::Inf, &sources);
    paquet(QStringLiteral("Beta"), 0, true, OptionSetupPackage::Xml);
    Dialogue d;
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.dlg.dialogueFichiers()->selectedFiles(), QStringList{premier});
    EXPECT_EQ(d.texte("AppNameLabel"), QLatin1Char('"') + NomAppli + QLatin1Char('"'));
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("2 img(s)"));
    EXPECT_EQ(d.legende("PaintPanel"), QString());
    verifieVignette(d.vignette("PaintBox"), sources[0]);
    verifieVignette(d.vignette("PaintBoxST"), sources[1]);
    EXPECT_TRUE(d.prompts.messages.isEmpty()) << d.prompts.messages.join('|').toStdString();
    EXPECT_TRUE(d.brouillonVide());
}

// A folder typed in the file-name box, then Enter, ends as any other folder
// change: its first package selected and previewed.
TEST(OpenPictureDialogGdiTsk, AFolderTypedInTheNameBoxShowsItsFirstPackage)
{
    std::array<QImage, 4> alpha, beta;
    const QString premier = paquet(QStringLiteral("Alpha"), 0, false, OptionSetupPackage::Inf, &alpha);
    const QString plus = dossierPaquets() + QStringLiteral("/plus");
    QDir().mkpath(plus);
    ASSERT_TRUE(QFile::rename(paquet(QStringLiteral("Beta"), 0, true, OptionSetupPackage::Xml, &beta),
                              plus + QStringLiteral("/Beta.tsk")));
    Dialogue d;
    ATTEND(d.apercuActif());
    auto *saisie = d.dlg.dialogueFichiers()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(saisie, nullptr);
    const auto tapeEtEntree = [&](const QString &texte) {
        saisie->setFocus();
        saisie->selectAll();
        QTest::keyClick(saisie, Qt::Key_Backspace);
        QTest::keyClicks(saisie, texte);
        QTest::keyClick(saisie, Qt::Key_Return);
    };

    tapeEtEntree(QStringLiteral("plus"));
    ATTEND(d.dlg.dialogueFichiers()->selectedFiles() == QStringList{plus + QStringLiteral("/Beta.tsk")});
    ATTEND(d.apercuActif());
    EXPECT_TRUE(d.dlg.isVisible());
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("1 img(s)"));
    verifieVignette(d.vignette("PaintBoxST"), beta[1]);

    tapeEtEntree(dossierPaquets());
    ATTEND(d.dlg.dialogueFichiers()->selectedFiles() == QStringList{premier});
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.texte("NbImgLabel"), QStringLiteral("2 img(s)"));
    verifieVignette(d.vignette("PaintBox"), alpha[0]);
    verifieVignette(d.vignette("PaintBoxST"), alpha[1]);
    EXPECT_TRUE(d.prompts.messages.isEmpty()) << d.prompts.messages.join('|').toStdString();
}
