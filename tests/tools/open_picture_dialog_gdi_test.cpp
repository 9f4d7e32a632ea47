#include "tools/open_picture_dialog_gdi.h"
#include "tools/open_picture_dialog_gdi_infos.h"
#include "tools/encodeurs_image.h"
#include "tools/exif_photo.h"
#include "ui/fonctions_indep.h"

#include "tests/support/gif_test_writer.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/metafichiers_test.h"
#include "tests/support/test_env.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QPointer>
#include <QImageReader>
#include <QTimer>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <QAbstractProxyModel>

#include <gtest/gtest.h>

extern "C" {
#include <libexif/exif-data.h>
}

// Waits on the event loop until a condition holds (no fixed sleeps).
#define ATTEND(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond
#define ATTEND_EGAL(a, b)                                                                                          \
    do {                                                                                                           \
        (void)QTest::qWaitFor([&] { return (a) == (b); }, 5000);                                                 \
        ASSERT_EQ(a, b);                                                                                           \
    } while (0)

namespace {

// An open dialog titled "Open" that starts in `dossier`.
Prompts::FileDialog optionsOuverture(const QString &dossier)
{
    Prompts::FileDialog o;
    o.title = QStringLiteral("Open");
    o.initialDir = dossier;
    return o;
}

// Selects a file as a user does: a click in the list for an existing entry,
// the name typed in the file-name box for anything else.
void choisitDans(QFileDialog *dialogue, const QString &fichier)
{
    QListView *liste = dialogue->findChild<QListView *>(QStringLiteral("listView"));
    ASSERT_NE(liste, nullptr);
    if (QFileInfo::exists(fichier)) {
        // The list shows the file system through the dialog's sorting model.
        auto *proxy = qobject_cast<QAbstractProxyModel *>(liste->model());
        auto *modele = qobject_cast<QFileSystemModel *>(proxy ? proxy->sourceModel() : liste->model());
        ASSERT_NE(modele, nullptr);
        QModelIndex index;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                index = modele->index(fichier);
                if (proxy)
                    index = proxy->mapFromSource(index);
                return index.isValid() && index.parent() == liste->rootIndex();
            },
            5000))
            << fichier.toStdString();
        liste->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        liste->selectionModel()->clearSelection();
        dialogue->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(fichier).fileName());
    }
}

const QRgb Rouge = qRgb(220, 20, 10);
const QRgb Bleu = qRgb(10, 20, 220);

QString dossierImages()
{
    const QString d = testenv::tempDir() + QStringLiteral("/images");
    QDir().mkpath(d);
    return d;
}

QString ecritPng(const QString &nom, int w, int h, QRgb couleur)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(couleur);
    const QString f = dossierImages() + QLatin1Char('/') + nom;
    EXPECT_TRUE(img.save(f, "PNG"));
    return f;
}

// Two frames of 20 x 10, red then blue, each 10 hundredths of a second.
QString ecritGifAnime(const QString &nom, int delaiCs = 10)
{
    const std::vector<QRgb> palette = {Rouge, Bleu};
    const QByteArray octets = gifecrit::ecrit(
        20, 10, palette, {gifecrit::uni(20, 10, 0, 0, 0, 0, 1, 1, delaiCs), gifecrit::uni(20, 10, 1, 1, 0, 0, 1, 1, delaiCs)});
    const QString f = dossierImages() + QLatin1Char('/') + nom;
    testenv::writeFile(f, octets);
    return f;
}

// A baseline TIFF (uncompressed RGB, one strip a page) with one page per
// colour, every page w x h.
QString ecritTiffPages(const QString &nom, int w, int h, const QList<QRgb> &pages)
{
    QByteArray o("II*\0", 4);
    const auto mot = [](QByteArray &b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto dmot = [&](QByteArray &b, quint32 v) {
        mot(b, quint16(v & 0xFFFF));
        mot(b, quint16(v >> 16));
    };
    dmot(o, 8);
    const int entrees = 10;
    const quint32 tailleIfd = 2 + entrees * 12 + 4;
    const quint32 pixels = quint32(w * h * 3);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const quint32 debut = quint32(o.size());
        const quint32 bits = debut + tailleIfd;
        const quint32 donnees = bits + 6;
        const quint32 suivant = i + 1 < pages.size() ? donnees + pixels : 0;
        mot(o, entrees);
        const auto entree = [&](quint16 tag, quint16 type, quint32 n, quint32 valeur) {
            mot(o, tag);
            mot(o, type);
            dmot(o, n);
            if (type == 3 && n == 1) {
                mot(o, quint16(valeur));
                mot(o, 0);
            } else {
                dmot(o, valeur);
            }
        };
        entree(256, 3, 1, quint32(w));          // width
        entree(257, 3, 1, quint32(h));          // length
        entree(258, 3, 3, bits);                // 8, 8, 8 bits
        entree(259, 3, 1, 1);                   // no compression
        entree(262, 3, 1, 2);                   // RGB
        entree(273, 4, 1, donnees);             // strip offset
        entree(277, 3, 1, 3);                   // samples per pixel
        entree(278, 3, 1, quint32(h));          // rows per strip
        entree(279, 4, 1, pixels);              // strip bytes
        entree(284, 3, 1, 1);                   // chunky
        dmot(o, suivant);
        for (int k = 0; k < 3; ++k)
            mot(o, 8);
        for (int k = 0; k < w * h; ++k)
            o.append(char(qRed(pages[i]))).append(char(qGreen(pages[i]))).append(char(qBlue(pages[i])));
    }
    const QString f = dossierImages() + QLatin1Char('/') + nom;
    testenv::writeFile(f, o);
    return f;
}

// A JPEG with the EXIF date taken (0x9003) and camera model (0x0110).
QString ecritPhotoExif(const QString &nom, const QByteArray &datePrise, const QByteArray &modele, QSize dimensions = {64, 48})
{
    ExifData *exif = exif_data_new();
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    ExifMem *mem = exif_mem_new_default();
    const auto ajoute = [&](ExifIfd ifd, ExifTag tag, const QByteArray &texte) {
        ExifEntry *e = exif_entry_new_mem(mem);
        const auto n = unsigned(texte.size() + 1);
        e->data = static_cast<unsigned char *>(exif_mem_alloc(mem, n));
        memcpy(e->data, texte.constData(), n);
        e->size = n;
        e->components = n;
        e->format = EXIF_FORMAT_ASCII;
        e->tag = tag;
        exif_content_add_entry(exif->ifd[ifd], e);
        exif_entry_unref(e);
    };
    ajoute(EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, datePrise);
    ajoute(EXIF_IFD_0, EXIF_TAG_MODEL, modele);
    unsigned char *donnees = nullptr;
    unsigned int taille = 0;
    exif_data_save_data(exif, &donnees, &taille);
    const QByteArray bloc(reinterpret_cast<const char *>(donnees), int(taille));
    free(donnees);
    exif_mem_unref(mem);
    exif_data_unref(exif);

    QImage img(dimensions, QImage::Format_RGB32);
    img.fill(Rouge);
    const auto jpeg = CompresseJpeg(img, 90, bloc);
    EXPECT_TRUE(jpeg);
    const QString f = dossierImages() + QLatin1Char('/') + nom;
    testenv::writeFile(f, jpeg.value_or(QByteArray()));
    return f;
}

template<typename T>
T *enfant(QObject &parent, const char *nom)
{
    T *o = parent.findChild<T *>(QString::fromLatin1(nom));
    EXPECT_NE(o, nullptr) << nom;
    return o;
}

struct Dialogue
{
    TOpenPictureDialogGDI dlg;
    explicit Dialogue(bool date = false)
    {
        dlg.DateSiExiste = date;
        dlg.setOptions(optionsOuverture(dossierImages()));
        dlg.show();
        // The folder read, its first picture is selected: the test's own
        // choices come after.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !PremierFichierEnAttente(dlg.dialogueFichiers()); }, 5000));
    }
    void choisit(const QString &fichier) { choisitDans(dlg.dialogueFichiers(), fichier); }
    QLabel *label(const char *nom) { return enfant<QLabel>(dlg, nom); }
    QString caption() { return enfant<TSilentPaintPanel>(dlg, "PaintPanel")->caption(); }
    QImage vignette()
    {
        const QPixmap p = label("PaintBox")->pixmap();
        return p.toImage().convertToFormat(QImage::Format_RGB32);
    }
    bool apercuActif() { return enfant<QToolButton>(dlg, "PreviewButton")->isEnabled(); }
    QListView *liste() { return dlg.dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView")); }
    // The entries of the shown folder, in the order the list shows them.
    QStringList ordre()
    {
        QStringList noms;
        QAbstractItemModel *m = liste()->model();
        for (int i = 0; i < m->rowCount(liste()->rootIndex()); ++i)
            noms << m->index(i, 0, liste()->rootIndex()).data().toString();
        return noms;
    }
    QModelIndex entree(const QString &nom)
    {
        QAbstractItemModel *m = liste()->model();
        for (int i = 0; i < m->rowCount(liste()->rootIndex()); ++i)
            if (m->index(i, 0, liste()->rootIndex()).data().toString() == nom)
                return m->index(i, 0, liste()->rootIndex());
        return {};
    }
};

} // namespace

TEST(OpenPictureDialogGdi, SelectionShowsTheFittedThumbnailAndDescription)
{
    const QString petit = ecritPng("petit.png", 40, 30, Rouge);
    const QString grand = ecritPng("grand.png", 600, 300, Bleu);
    Dialogue d;
    QSignalSpy charges(&d.dlg, &TOpenPictureDialogGDI::imageChargee);

    d.choisit(petit);
    ATTEND_EGAL(d.label("PictureLabel")->text(), QStringLiteral(" (40x30) (1 img)"));
    EXPECT_EQ(d.label("PictureLabel")->toolTip(), QStringLiteral("PNG (24 bpp)"));
    // Not enlarged: the picture at 1:1 in a 1-pixel blue frame.
    QImage v = d.vignette();
    ASSERT_EQ(v.size(), QSize(42, 32));
    EXPECT_EQ(v.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(v.pixel(41, 31), qRgb(0, 0, 255));
    EXPECT_EQ(v.pixel(20, 15), Rouge);
    EXPECT_TRUE(d.apercuActif());
    EXPECT_EQ(d.caption(), QString());
    EXPECT_EQ(charges.count(), 1);

    // The same file again is not loaded again.
    d.choisit(petit);
    QCoreApplication::processEvents();
    EXPECT_EQ(charges.count(), 1);

    // A large picture is fitted into the box, proportions kept.
    d.choisit(grand);
    ATTEND_EGAL(d.label("PictureLabel")->text(), QStringLiteral(" (600x300) (1 img)"));
    v = d.vignette();
    const int boite = TOpenPictureDialogGDI::LargeurVignette - 4 - 2;
    EXPECT_EQ(v.width(), boite + 2);
    EXPECT_NEAR(v.height(), boite / 2.0 + 2, 1.0);
    EXPECT_EQ(v.pixel(v.width() / 2, v.height() / 2), Bleu);
    EXPECT_EQ(charges.count(), 2);
}

TEST(OpenPictureDialogGdi, BrokenMissingAndFolderShowNoPicture)
{
    const QString bon = ecritPng("bon.png", 10, 10, Rouge);
    const QString casse = dossierImages() + QStringLiteral("/casse.jpg");
    testenv::writeFile(casse, QByteArray("\xFF\xD8\xFF\xE0 definitely not a picture", 30));
    QDir().mkpath(dossierImages() + QStringLiteral("/dossier.png"));
    Dialogue d;

    d.choisit(bon);
    ATTEND(d.apercuActif());

    d.choisit(casse);
    ATTEND_EGAL(d.caption(), QStringLiteral("GDI Erreur"));
    EXPECT_TRUE(d.dlg.erreurGdi());
    EXPECT_EQ(d.label("PictureLabel")->text(), QStringLiteral("Image :"));
    EXPECT_FALSE(d.apercuActif());
    EXPECT_TRUE(d.label("PaintBox")->pixmap().isNull());
    // Painting the broken state is harmless.
    EXPECT_FALSE(d.dlg.grab().isNull());

    d.choisit(bon);
    ATTEND(d.apercuActif());
    d.choisit(dossierImages() + QStringLiteral("/absent.png"));
    ATTEND_EGAL(d.caption(), QStringLiteral("(vide)"));
    EXPECT_FALSE(d.dlg.erreurGdi());
    EXPECT_FALSE(d.apercuActif());

    d.choisit(bon);
    ATTEND(d.apercuActif());
    d.choisit(dossierImages() + QStringLiteral("/dossier.png"));
    ATTEND_EGAL(d.caption(), QStringLiteral("(vide)"));
}

TEST(OpenPictureDialogGdi, AnimatedGifPlaysItsFramesInTheThumbnail)
{
    const QString gif = ecritGifAnime("anime.gif");
    const QString fixe = ecritPng("fixe.png", 8, 8, Rouge);
    Dialogue d;
    d.choisit(gif);
    ATTEND(d.dlg.animeVignette() != nullptr);
    TAnimeThreadDlg *anime = d.dlg.animeVignette();
    ATTEND(anime->imageCourante() == 0);
    EXPECT_EQ(anime->objectName(), QStringLiteral("AnimeVignette"));
    EXPECT_EQ(d.label("PictureLabel")->text(), QStringLiteral(" (20x10) (2 img)"));
    ASSERT_EQ(anime->nombreImages(), 2);
    EXPECT_EQ(anime->delais(), (QList<int>{100, 100}));
    EXPECT_EQ(anime->imageCourante(), 0);

    const QPoint centre(d.label("PaintBox")->width() / 2, d.label("PaintBox")->height() / 2);
    EXPECT_EQ(d.vignette().pixel(centre), Rouge);
    QSignalSpy images(anime, &TAnimeThreadDlg::imageDessinee);
    ASSERT_TRUE(images.wait(5000));
    EXPECT_EQ(images.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(d.vignette().pixel(centre), Bleu);
    ASSERT_TRUE(images.count() > 0 || images.wait(5000));
    EXPECT_EQ(images.takeFirst().at(0).toInt(), 0); // wraps
    EXPECT_EQ(d.vignette().pixel(centre), Rouge);

    // Another file stops it.
    const QPointer<TAnimeThreadDlg> ancien(anime);
    d.choisit(fixe);
    ATTEND(ancien.isNull());
    EXPECT_EQ(d.dlg.animeVignette(), nullptr);
}

TEST(OpenPictureDialogGdi, FrameDelaysOfTheAnimation)
{
    QLabel cible;
    cible.resize(40, 40);
    TAnimeThreadDlg zero(&cible, TColor::fromRgb(1, 2, 3), ecritGifAnime("zero.gif", 0));
    // The frames are decoded on a worker: nothing is ready when the
    // constructor returns, the UI thread only receives them.
    EXPECT_FALSE(zero.chargementTermine());
    ATTEND(zero.chargementTermine());
    EXPECT_EQ(zero.delais(), (QList<int>{TAnimeThreadDlg::DelaiNulMs, TAnimeThreadDlg::DelaiNulMs}));
    TAnimeThreadDlg lent(&cible, TColor::fromRgb(1, 2, 3), ecritGifAnime("lent.gif", 25));
    ATTEND(lent.chargementTermine());
    EXPECT_EQ(lent.delais(), (QList<int>{250, 250}));

    // A GIF without frame delays, and a broken file, play nothing.
    const std::vector<QRgb> palette = {Rouge, Bleu};
    auto sans = gifecrit::uni(20, 10, 0, 1, 0, 0, 4, 4, 0);
    sans.controle = false;
    const QString fixe = dossierImages() + QStringLiteral("/sans.gif");
    testenv::writeFile(fixe, gifecrit::ecrit(20, 10, palette, {sans, sans}));
    TAnimeThreadDlg rien(&cible, TColor::fromRgb(1, 2, 3), fixe);
    ATTEND(rien.chargementTermine());
    EXPECT_FALSE(rien.pret());
    const QString casse = dossierImages() + QStringLiteral("/casse.gif");
    testenv::writeFile(casse, "GIF89a\x10");
    TAnimeThreadDlg casseAnime(&cible, TColor::fromRgb(1, 2, 3), casse);
    casseAnime.demarre();
    ATTEND(casseAnime.chargementTermine());
    EXPECT_FALSE(casseAnime.pret());
    EXPECT_FALSE(casseAnime.enCours());
}

TEST(OpenPictureDialogGdi, SelectionCounterAndListCommands)
{
    for (int i = 0; i < 5; ++i)
        ecritPng(QStringLiteral("f%1.png").arg(i), 4, 4, Rouge);
    TOpenPictureDialogGDI dlg;
    dlg.NombreSelection = true;
    dlg.SelAllBtn = dlg.InvSelBtn = dlg.TypeFicBtn = true;
    dlg.setOptions(optionsOuverture(dossierImages()));
    dlg.show();
    QListView *liste = dlg.dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView"));
    ASSERT_NE(liste, nullptr);
    ATTEND_EGAL(liste->model()->rowCount(liste->rootIndex()), 5);

    const auto selectionne = [&](std::initializer_list<int> lignes) {
        liste->selectionModel()->clearSelection();
        for (int l : lignes)
            liste->selectionModel()->select(liste->model()->index(l, 0, liste->rootIndex()),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    QLabel *compteur = dlg.findChild<QLabel *>(QStringLiteral("FSelNb"));
    selectionne({1, 3});
    ATTEND_EGAL(compteur->text(), QStringLiteral("2 sélectionnés / 5"));
    selectionne({2});
    ATTEND_EGAL(compteur->text(), QStringLiteral("1 sélectionné / 5"));

    // The visible buttons are the ones asked for.
    EXPECT_TRUE(dlg.findChild<QToolButton *>(QStringLiteral("SelectAll"))->isVisible());
    EXPECT_TRUE(dlg.findChild<QToolButton *>(QStringLiteral("TypeFic"))->isVisible());
    EXPECT_FALSE(dlg.findChild<QToolButton *>(QStringLiteral("Nom"))->isVisible());
    EXPECT_EQ(dlg.findChild<QToolButton *>(QStringLiteral("InvSel"))->toolTip(), QStringLiteral("Inverser la Sélection"));

    QTest::mouseClick(dlg.findChild<QToolButton *>(QStringLiteral("SelectAll")), Qt::LeftButton);
    ATTEND_EGAL(compteur->text(), QStringLiteral("5 sélectionnés / 5"));
    selectionne({0, 4});
    QTest::mouseClick(dlg.findChild<QToolButton *>(QStringLiteral("InvSel")), Qt::LeftButton);
    ATTEND_EGAL(compteur->text(), QStringLiteral("3 sélectionnés / 5"));

    EXPECT_EQ(TOpenPictureDialogGDI::CommandePourTag(0), TOpenPictureDialogGDI::CommandeVue::ToutSelectionner);
    EXPECT_EQ(TOpenPictureDialogGDI::CommandePourTag(11), TOpenPictureDialogGDI::CommandeVue::ToutSelectionner);
    EXPECT_EQ(TOpenPictureDialogGDI::CommandePourTag(10), TOpenPictureDialogGDI::CommandeVue::TriType);
}

TEST(OpenPictureDialogGdi, ExifDateTakenAndCameraModel)
{
    const QLocale anglais(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(TexteDateExif("2006:07:14 09:05:33", anglais), QStringLiteral("Friday 14 Jul 2006 09:05"));
    EXPECT_EQ(TexteDateExif("2024:02:03 23:59:00", anglais), QStringLiteral("Saturday 3 Feb 2024 23:59"));
    EXPECT_EQ(TexteDateExif("0000:00:00 00:00:00", anglais), QString());
    EXPECT_EQ(TexteDateExif("2006:13:14 09:05:33", anglais), QString());
    EXPECT_EQ(TexteDateExif("2006:07:14", anglais), QString());
    EXPECT_EQ(TexteDateExif("2006:07:14 25:05:33", anglais), QString());

    const QString photo = ecritPhotoExif("photo.jpg", "2006:07:14 09:05:33", "Camera X100");
    EXPECT_EQ(DateExif(photo, anglais), QStringLiteral("Friday 14 Jul 2006 09:05"));
    EXPECT_EQ(ModeleExif(photo), QString::fromLatin1("Camera X100"));
    const QString sans = ecritPng("sans.png", 4, 4, Bleu);
    EXPECT_EQ(DateExif(sans, anglais), QString());
    EXPECT_EQ(ModeleExif(sans), QString());

    QLocale::setDefault(anglais);
    Dialogue d(true);
    d.choisit(photo);
    ATTEND_EGAL(d.label("FLabelDate")->text(), QStringLiteral("Friday 14 Jul 2006 09:05"));
    EXPECT_EQ(d.label("FAPN")->text(), QString::fromLatin1("Camera X100"));
    d.choisit(sans);
    ATTEND_EGAL(d.label("FLabelDate")->text(), QString());
    EXPECT_EQ(d.label("FAPN")->text(), QString());
}

TEST(OpenPictureDialogGdi, PreviewWindowOpensAndClosesWithEscape)
{
    const QString img = ecritPng("apercu.png", 120, 60, Bleu);
    Dialogue d;
    d.choisit(img);
    ATTEND(d.apercuActif());
    QTest::mouseClick(enfant<QToolButton>(d.dlg, "PreviewButton"), Qt::LeftButton);
    QPointer<QDialog> form = d.dlg.findChild<QDialog *>(QStringLiteral("PreviewForm"));
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Prévisualiser"));
    QLabel *image = form->findChild<QLabel *>(QStringLiteral("PreviewImage"));
    ASSERT_NE(image, nullptr);
    const QImage vue = image->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(vue.isNull());
    EXPECT_EQ(vue.pixel(vue.width() / 2, vue.height() / 2), Bleu);
    QTest::keyClick(form, Qt::Key_Escape);
    ATTEND(form.isNull());

    // A click on the picture closes it too; an animated picture plays in it.
    const QString gif = ecritGifAnime("anime.gif");
    d.choisit(gif);
    ATTEND(d.dlg.animeVignette() != nullptr);
    d.dlg.PreviewClick();
    form = d.dlg.findChild<QDialog *>(QStringLiteral("PreviewForm"));
    ASSERT_FALSE(form.isNull());
    ASSERT_NE(d.dlg.animePreview(), nullptr);
    EXPECT_EQ(d.dlg.animePreview()->objectName(), QStringLiteral("AnimePreview"));
    QTest::mouseClick(form->findChild<QLabel *>(QStringLiteral("PreviewImage")), Qt::LeftButton);
    ATTEND(form.isNull());
    EXPECT_EQ(d.dlg.animePreview(), nullptr);
}

TEST(OpenPictureDialogGdi, QualityTrackBarGrowthAndAccept)
{
    const QString img = ecritPng("choisi.png", 12, 12, Rouge);
    TOpenPictureDialogGDI dlg;
    dlg.setOptions(optionsOuverture(dossierImages()));
    EXPECT_EQ(dlg.Filter(), TOpenPictureDialogGDI::FiltreParDefaut());
    dlg.resize(700, 400);
    dlg.show();
    // The first folder change grows the dialog once.
    EXPECT_EQ(dlg.height(), 400 + TOpenPictureDialogGDI::HauteurSupplementaire);
    dlg.dialogueFichiers()->setDirectory(testenv::tempDir());
    dlg.dialogueFichiers()->setDirectory(dossierImages());
    EXPECT_EQ(dlg.height(), 400 + TOpenPictureDialogGDI::HauteurSupplementaire);

    dlg.findChild<QSlider *>(QStringLiteral("TrackBar"))->setValue(42);
    EXPECT_EQ(dlg.findChild<QLabel *>(QStringLiteral("FTBLabel"))->text(), QStringLiteral("Qual: 42"));

    choisitDans(dlg.dialogueFichiers(), img);
    ATTEND(dlg.findChild<QToolButton *>(QStringLiteral("PreviewButton"))->isEnabled());
    auto *boutons = dlg.dialogueFichiers()->findChild<QDialogButtonBox *>();
    ASSERT_NE(boutons, nullptr);
    QPushButton *ouvrir = boutons->button(QDialogButtonBox::Open);
    ASSERT_NE(ouvrir, nullptr);
    QTest::mouseClick(ouvrir, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.fileName(), img);
}

namespace {
class PanneauQuiEchoue : public TSilentPaintPanel
{
protected:
    void peintureHeritee(QPaintEvent *) override { throw std::runtime_error("drawing failed"); }
};
} // namespace

TEST(OpenPictureDialogGdi, SilentPanelReportsAFailedPaint)
{
    PanneauQuiEchoue panneau;
    panneau.resize(50, 50);
    panneau.setCaption(QStringLiteral("(vide)"));
    panneau.grab();
    EXPECT_EQ(panneau.caption(), QStringLiteral("Image non valide"));
    panneau.grab(); // failing again is harmless
    EXPECT_EQ(panneau.caption(), QStringLiteral("Image non valide"));
}

TEST(OpenPictureDialogGdi, PromptsOpenAPictureFromTheScript)
{
    ScriptedPrompts prompts;
    prompts.openPictureName(QStringLiteral("/tmp/x.png"));
    Prompts::FileDialog options;
    options.title = QStringLiteral("Choose");
    options.initialDir = QStringLiteral("/tmp");
    EXPECT_EQ(prompts.openPicture(options), std::optional<QString>(QStringLiteral("/tmp/x.png")));
    ASSERT_EQ(prompts.fileDialogs.size(), 1);
    EXPECT_EQ(prompts.fileDialogs.first().title, QStringLiteral("Choose"));
    EXPECT_TRUE(prompts.exhausted());
}

TEST(OpenPictureDialogGdi, APictureBombShowsAnErrorInsteadOfBeingDecoded)
{
    // A GIF header claiming 16000 x 16000 pixels (a GIF cannot be decoded at a smaller size).
    auto mot = [](QByteArray &g, int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    QByteArray gif("GIF89a");
    mot(gif, 16000);
    mot(gif, 16000);
    gif.append(QByteArray("\x80\0\0\0\0\0\xff\xff\xff\x2c\0\0\0\0", 14));
    mot(gif, 16000);
    mot(gif, 16000);
    gif.append(QByteArray("\0\x02\x02\x4c\x01\0\x3b", 7));
    const QString bombe = dossierImages() + QStringLiteral("/bombe.gif");
    testenv::writeFile(bombe, gif);
    const QString bon = ecritPng("bon.png", 10, 10, Rouge);
    Dialogue d;
    d.choisit(bon);
    ATTEND(d.apercuActif());
    d.choisit(bombe);
    ATTEND_EGAL(d.caption(), QStringLiteral("GDI Erreur"));
    EXPECT_FALSE(d.apercuActif());
}

// Photos whose name, date taken, camera and size orders all differ; a PNG
// without EXIF and a folder.
TEST(OpenPictureDialogGdi, SortsByDateTakenCameraAndPictureSizeAndGroups)
{
    ecritPhotoExif("a.jpg", "2010:05:01 10:00:00", "Zeta Z1", {80, 60});
    ecritPhotoExif("b.jpg", "2003:01:20 08:30:00", "Alpha 2", {40, 30});
    ecritPhotoExif("c.jpg", "2007:11:11 23:59:59", "Mid 10", {120, 90});
    ecritPhotoExif("e.jpg", "2010:05:01 18:00:00", "Alpha 10", {20, 15});
    ecritPng("d.png", 10, 10, Bleu);
    QDir().mkpath(dossierImages() + QStringLiteral("/sous"));

    Dialogue d;
    d.dlg.PhotoPriseLeBtn = d.dlg.APNModBtn = d.dlg.DimBtn = d.dlg.GroupeFicBtn = d.dlg.NomBtn = true;
    ATTEND(d.ordre().size() == 6);
    d.choisit(dossierImages() + QStringLiteral("/d.png"));
    const auto clique = [&](const char *nom) {
        auto *b = enfant<QToolButton>(d.dlg, nom);
        ASSERT_TRUE(b->isVisible() && b->isEnabled()) << nom;
        QTest::mouseClick(b, Qt::LeftButton);
    };

    // The facts are read in the background; the order settles once they are in.
    clique("PhotoPriseLe");
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "b.jpg", "c.jpg", "a.jpg", "e.jpg", "d.png"}));
    clique("PhotoPriseLe"); // again: newest first, folders and the unknown still where they were
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "e.jpg", "a.jpg", "c.jpg", "b.jpg", "d.png"}));
    clique("APN"); // natural order of the names: "Alpha 2" before "Alpha 10"
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "b.jpg", "e.jpg", "c.jpg", "a.jpg", "d.png"}));
    clique("Dim"); // by pixel count, from the headers
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "d.png", "e.jpg", "b.jpg", "a.jpg", "c.jpg"}));
    clique("Nom");
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "a.jpg", "b.jpg", "c.jpg", "d.png", "e.jpg"}));

    // Grouping by day taken: the two pictures of 1 May 2010 share a group
    // and its shade; the groups around them are shaded otherwise.
    clique("PhotoPriseLe");
    clique("GroupeFic");
    EXPECT_TRUE(enfant<QToolButton>(d.dlg, "GroupeFic")->isChecked());
    ATTEND_EGAL(d.ordre(), (QStringList{"sous", "b.jpg", "c.jpg", "a.jpg", "e.jpg", "d.png"}));
    EXPECT_EQ(d.entree("a.jpg").data(Qt::ToolTipRole).toString(), QStringLiteral("2010-05-01"));
    EXPECT_EQ(d.entree("e.jpg").data(Qt::ToolTipRole).toString(), QStringLiteral("2010-05-01"));
    EXPECT_EQ(d.entree("c.jpg").data(Qt::ToolTipRole).toString(), QStringLiteral("2007-11-11"));
    EXPECT_EQ(d.entree("a.jpg").data(Qt::BackgroundRole), d.entree("e.jpg").data(Qt::BackgroundRole));
    EXPECT_NE(d.entree("a.jpg").data(Qt::BackgroundRole), d.entree("c.jpg").data(Qt::BackgroundRole));
    EXPECT_NE(d.entree("b.jpg").data(Qt::BackgroundRole), d.entree("c.jpg").data(Qt::BackgroundRole));
    clique("GroupeFic");
    EXPECT_FALSE(d.entree("a.jpg").data(Qt::BackgroundRole).isValid());
}

TEST(OpenPictureDialogGdi, ThumbnailViewShowsThePicturesThemselves)
{
    ecritPng("rouge.png", 300, 150, Rouge);
    testenv::writeFile(dossierImages() + QStringLiteral("/dessin.emf"), metafichiers::emf(100, 50, 0x00DC140A));
    testenv::writeFile(dossierImages() + QStringLiteral("/casse.png"), "not a picture");
    TOpenPictureDialogGDI dlg;
    dlg.View = TViewStyleGDI::vsThumbGDI;
    dlg.setOptions(optionsOuverture(dossierImages()));
    dlg.show();
    QListView *liste = dlg.dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView"));
    ASSERT_NE(liste, nullptr);
    const auto icone = [&](const QString &nom) -> QImage {
        QAbstractItemModel *m = liste->model();
        for (int i = 0; i < m->rowCount(liste->rootIndex()); ++i) {
            const QModelIndex idx = m->index(i, 0, liste->rootIndex());
            if (idx.data().toString() == nom)
                return idx.data(Qt::DecorationRole).value<QIcon>().pixmap(liste->iconSize()).toImage().convertToFormat(QImage::Format_RGB32);
        }
        return {};
    };
    // Scaled at decode time to the view's icon size, centred: the middle
    // holds the picture's colour, the band above the wide picture is empty.
    const QSize cote = liste->iconSize();
    ASSERT_EQ(cote, QSize(96, 96));
    ATTEND(!icone(QStringLiteral("rouge.png")).isNull() && icone(QStringLiteral("rouge.png")).pixel(48, 48) == Rouge);
    EXPECT_NE(icone(QStringLiteral("rouge.png")).pixel(48, 5), Rouge);
    // A metafile too (its brush is R 0x0A, G 0x14, B 0xDC on a white page).
    ATTEND(!icone(QStringLiteral("dessin.emf")).isNull()
           && icone(QStringLiteral("dessin.emf")).pixel(20, 48) == qRgb(0x0A, 0x14, 0xDC));
    EXPECT_EQ(icone(QStringLiteral("dessin.emf")).pixel(80, 48), qRgb(255, 255, 255));
    // A broken file keeps the file system's own icon, and nothing waits.
    ATTEND(dlg.cacheImages()->enAttente() == 0);
    const QImage casse = icone(QStringLiteral("casse.png"));
    EXPECT_NE(casse.pixel(48, 48), Rouge);
}

TEST(OpenPictureDialogGdi, MetafilesShowTheirSizeAndDrawing)
{
    testenv::writeFile(dossierImages() + QStringLiteral("/dessin.wmf"), metafichiers::wmf(120, 60, 0x00DC140A));
    Dialogue d;
    d.choisit(dossierImages() + QStringLiteral("/dessin.wmf"));
    ATTEND_EGAL(d.label("PictureLabel")->text(), QStringLiteral(" (120x60) (1 img)"));
    EXPECT_EQ(d.caption(), QString());
    const QImage v = d.vignette();
    // Drawn at the box's size over the panel's colour, in the blue frame:
    // left quarter in the brush colour, right quarter the panel's.
    const QRgb panneau = enfant<TSilentPaintPanel>(d.dlg, "PaintPanel")->palette().color(QPalette::Window).rgb();
    EXPECT_EQ(v.size(), QSize(122, 62));
    EXPECT_EQ(v.pixel(v.width() / 4, v.height() / 2), qRgb(0x0A, 0x14, 0xDC));
    EXPECT_EQ(v.pixel(3 * v.width() / 4, v.height() / 2), panneau);

    // A large one in the preview window: drawn at the size it is shown at,
    // over the window's colour.
    testenv::writeFile(dossierImages() + QStringLiteral("/grand.emf"), metafichiers::emf(3000, 1500, 0x00DC140A));
    d.choisit(dossierImages() + QStringLiteral("/grand.emf"));
    ATTEND_EGAL(d.label("PictureLabel")->text(), QStringLiteral(" (3000x1500) (1 img)"));
    ATTEND(d.apercuActif());
    d.dlg.PreviewClick();
    QPointer<QDialog> form = d.dlg.findChild<QDialog *>(QStringLiteral("PreviewForm"));
    ASSERT_FALSE(form.isNull());
    QLabel *image = form->findChild<QLabel *>(QStringLiteral("PreviewImage"));
    ASSERT_NE(image, nullptr);
    const QImage vue = image->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(vue.size(), image->size());
    const QRect r = RectProportionnel(3000, 1500, vue.width(), vue.height());
    const QRgb fenetre = form->findChild<QFrame *>(QStringLiteral("Panel"))->palette().color(QPalette::Window).rgb();
    EXPECT_EQ(vue.pixel(r.left() + r.width() / 4, r.center().y()), qRgb(0x0A, 0x14, 0xDC));
    EXPECT_EQ(vue.pixel(r.left() + 3 * r.width() / 4, r.center().y()), fenetre);
    QTest::keyClick(form, Qt::Key_Escape);
    ATTEND(form.isNull());

    // A truncated metafile is a picture that cannot be read, not a crash.
    testenv::writeFile(dossierImages() + QStringLiteral("/coupe.emf"), metafichiers::emf(100, 50, 0xFF).left(60));
    d.choisit(dossierImages() + QStringLiteral("/coupe.emf"));
    ATTEND_EGAL(d.caption(), QStringLiteral("GDI Erreur"));
    EXPECT_FALSE(d.apercuActif());
}

TEST(OpenPictureDialogGdi, QualityLabelIsNotUnderItsTrackBar)
{
    Dialogue d;
    QLabel *label = d.label("FTBLabel");
    auto *barre = enfant<QSlider>(d.dlg, "TrackBar");
    for (int q : {100, 5}) {
        barre->setValue(q);
        QApplication::processEvents();
        const int texte = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(label->x() + texte, barre->x()) << q;
        EXPECT_GE(label->width(), texte) << q;
    }
}

// A two-page TIFF: both pages counted and played, a page every 750 ms; the
// reader agrees on the file (an independent check of the test's writer).
TEST(OpenPictureDialogGdi, TwoPageTiffShowsItsPagesAndPlaysThem)
{
    const QString tiff = ecritTiffPages(QStringLiteral("pages.tif"), 24, 12, {Rouge, Bleu});
    {
        QImageReader lecteur(tiff);
        ASSERT_EQ(lecteur.format(), QByteArray("tiff")) << "no TIFF reader installed";
        ASSERT_EQ(lecteur.imageCount(), 2);
        EXPECT_EQ(lecteur.read().pixel(3, 3), Rouge);
        ASSERT_TRUE(lecteur.jumpToImage(1));
        EXPECT_EQ(lecteur.read().pixel(3, 3), Bleu);
    }
    Dialogue d;
    d.choisit(tiff);
    ATTEND(d.dlg.animeVignette() != nullptr);
    EXPECT_EQ(d.label("PictureLabel")->text(), QStringLiteral(" (24x12) (2 img)"));
    TAnimeThreadDlg *anime = d.dlg.animeVignette();
    ATTEND(anime->imageCourante() == 0);
    ASSERT_EQ(anime->nombreImages(), 2);
    EXPECT_EQ(anime->delais(), (QList<int>{750, 750}));
    const QPoint centre(d.label("PaintBox")->width() / 2, d.label("PaintBox")->height() / 2);
    EXPECT_EQ(d.vignette().pixel(centre), Rouge);
    QSignalSpy images(anime, &TAnimeThreadDlg::imageDessinee);
    ASSERT_TRUE(images.wait(5000));
    EXPECT_EQ(images.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(d.vignette().pixel(centre), Bleu);

    // A one-page TIFF is a still picture.
    const QString une = ecritTiffPages(QStringLiteral("une.tif"), 24, 12, {Bleu});
    d.choisit(une);
    ATTEND_EGAL(d.label("PictureLabel")->text(), QStringLiteral(" (24x12) (1 img)"));
    EXPECT_EQ(d.dlg.animeVignette(), nullptr);
}

// The list's background picture follows the main window's look.
TEST(OpenPictureDialogGdi, BackgroundPictureOnlyInTheDefaultLook)
{
    ecritPng("fond.png", 4, 4, Rouge);
    for (const bool uniforme : {false, true}) {
        QWidget principale;
        principale.setProperty("apparenceUniforme", uniforme);
        QDialog fille(&principale); // the chooser opens it over itself
        bool vu = false, fond = false, texture = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TOpenPictureDialogGDI *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            vu = true;
            fond = dlg->BkgImage;
            QListView *liste = dlg->dialogueFichiers()->findChild<QListView *>(QStringLiteral("listView"));
            (void)QTest::qWaitFor([&] { return liste->palette().brush(QPalette::Base).style() == Qt::TexturePattern; }, 1000);
            texture = liste->palette().brush(QPalette::Base).style() == Qt::TexturePattern;
            dlg->reject();
        });
        EXPECT_FALSE(OuvreImageAvecApercu(&fille, optionsOuverture(dossierImages())));
        ASSERT_TRUE(vu) << uniforme;
        EXPECT_EQ(fond, !uniforme);
        EXPECT_EQ(texture, !uniforme);
    }
}

// The folder shown, its first file is selected and previewed (folders before
// it are passed over); a folder without files shows "(vide)". The full-size
// preview opens in the middle of the screen, wherever the dialog stands.
TEST(OpenPictureDialogGdi, FirstFileSelectedAndPreviewCentredOnTheScreen)
{
    QDir().mkpath(dossierImages() + QStringLiteral("/a-dossier"));
    QDir().mkpath(testenv::tempDir() + QStringLiteral("/sans-images"));
    ecritPng("b.png", 30, 20, Bleu);
    ecritPng("a.png", 40, 30, Rouge);
    Dialogue d;
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.ordre().value(0), QStringLiteral("a-dossier"));
    EXPECT_EQ(d.dlg.dialogueFichiers()->selectedFiles(), QStringList{dossierImages() + QStringLiteral("/a.png")});
    EXPECT_EQ(d.label("PictureLabel")->text(), QStringLiteral(" (40x30) (1 img)"));
    EXPECT_EQ(d.caption(), QString());
    const QImage v = d.vignette();
    ASSERT_EQ(v.size(), QSize(42, 32));
    EXPECT_EQ(v.pixel(20, 15), Rouge);
    // What the panel shows on the screen.
    const QImage vue = d.label("PaintBox")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(vue.pixel(vue.width() / 2, vue.height() / 2), Rouge);

    // The preview window: centred on the screen, not on the dialog.
    const QRect ecran = d.dlg.screen()->availableGeometry();
    d.dlg.move(ecran.topLeft());
    QTest::mouseClick(enfant<QToolButton>(d.dlg, "PreviewButton"), Qt::LeftButton);
    QPointer<QDialog> form = d.dlg.findChild<QDialog *>(QStringLiteral("PreviewForm"));
    ASSERT_FALSE(form.isNull());
    ASSERT_TRUE(form->isVisible());
    EXPECT_LE((form->frameGeometry().center() - ecran.center()).manhattanLength(), 4)
        << form->frameGeometry().center().x() << "," << form->frameGeometry().center().y();
    EXPECT_GT((form->frameGeometry().center() - d.dlg.frameGeometry().center()).manhattanLength(), 50);
    QTest::keyClick(form, Qt::Key_Escape);
    ATTEND(form.isNull());

    // Another folder, without any file: nothing selected, nothing shown.
    d.dlg.dialogueFichiers()->setDirectory(testenv::tempDir() + QStringLiteral("/sans-images"));
    ATTEND(!PremierFichierEnAttente(d.dlg.dialogueFichiers()));
    ATTEND_EGAL(d.caption(), QStringLiteral("(vide)"));
    EXPECT_FALSE(d.liste()->selectionModel()->hasSelection());
    EXPECT_FALSE(d.apercuActif());
    // Back in the first folder: its first file again.
    d.dlg.dialogueFichiers()->setDirectory(dossierImages());
    ATTEND(d.apercuActif());
    EXPECT_EQ(d.label("PictureLabel")->text(), QStringLiteral(" (40x30) (1 img)"));
}

// A folder typed in the file-name box, then Enter, opens that folder and ends
// as every other folder change does: its first file selected and previewed.
// The folder's name alone (from the folder shown) or its whole path.
TEST(OpenPictureDialogGdi, AFolderTypedInTheNameBoxShowsItsFirstFile)
{
    ecritPng("a.png", 40, 30, Rouge);
    const QString autres = dossierImages() + QStringLiteral("/autres");
    QDir().mkpath(autres);
    QImage bleue(24, 16, QImage::Format_RGB32);
    bleue.fill(Bleu);
    ASSERT_TRUE(bleue.save(autres + QStringLiteral("/c.png"), "PNG"));
    ASSERT_TRUE(bleue.copy(0, 0, 10, 10).save(autres + QStringLiteral("/d.png"), "PNG"));
    Dialogue d;
    ATTEND(d.apercuActif());
    QLineEdit *saisie = d.dlg.dialogueFichiers()->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(saisie, nullptr);

    const auto tapeEtEntree = [&](const QString &texte) {
        saisie->setFocus();
        saisie->selectAll();
        QTest::keyClick(saisie, Qt::Key_Backspace);
        QTest::keyClicks(saisie, texte);
        QTest::keyClick(saisie, Qt::Key_Return);
    };
    const auto montre = [&](const QString &dossier, const QString &premier, QSize taille, QRgb couleur) {
        ATTEND_EGAL(QFileInfo(d.dlg.dialogueFichiers()->directory().absolutePath()), QFileInfo(dossier));
        ATTEND_EGAL(d.dlg.dialogueFichiers()->selectedFiles().join(QLatin1Char('|')).toStdString(),
                    (dossier + QLatin1Char('/') + premier).toStdString());
        ATTEND(d.apercuActif());
        EXPECT_TRUE(d.dlg.isVisible()); // Enter on a folder does not end the dialog
        EXPECT_EQ(d.liste()->selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(d.label("PictureLabel")->text(),
                  QStringLiteral(" (%1x%2) (1 img)").arg(taille.width()).arg(taille.height()));
        EXPECT_EQ(d.caption(), QString());
        // What the panel shows on the screen.
        const QImage vue = d.label("PaintBox")->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(vue.pixel(vue.width() / 2, vue.height() / 2), couleur);
    };

    tapeEtEntree(QStringLiteral("autres"));
    montre(autres, QStringLiteral("c.png"), {24, 16}, Bleu);
    // Up by "..".
    tapeEtEntree(QStringLiteral(".."));
    montre(dossierImages(), QStringLiteral("a.png"), {40, 30}, Rouge);
    tapeEtEntree(QStringLiteral("autres"));
    montre(autres, QStringLiteral("c.png"), {24, 16}, Bleu);
    // Back by the whole path, with its trailing "/".
    tapeEtEntree(dossierImages() + QLatin1Char('/'));
    montre(dossierImages(), QStringLiteral("a.png"), {40, 30}, Rouge);
}
