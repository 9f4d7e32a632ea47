#include "tools/texte_sur_image.h"

#include "ui/app_context.h"
#include "theme/image_et_copie.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/instantane_dossier.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tools/charger_bitmap.h"
#include "tools/drapeaux_fichier_image.h"
#include "tools/encodeurs_image.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <memory>

namespace {

const QRgb Gris = qRgb(0x80, 0x90, 0xA0);
const TColor Rouge = TColor::fromRgb(220, 20, 10);
const TColor Bleu = TColor::fromRgb(10, 30, 230);

QString cheminImage(const QString &nom)
{
    return testenv::programDir() + QLatin1Char('/') + nom;
}

// A working picture: a plain grey photo stored as PNG under the ".gif" name.
QImage ecritImage(const QString &nom, QSize taille)
{
    QImage im(taille, QImage::Format_ARGB32);
    im.fill(Gris);
    EXPECT_TRUE(im.save(cheminImage(nom), "PNG"));
    return ChargerBitmap32GDIP(cheminImage(nom)).value_or(QImage());
}

struct Fenetre
{
    ScriptedPrompts prompts;
    DossiersProgramme dossiers;
    std::unique_ptr<AppContext> ctx;
    OptionsTexteSurImg options;
    std::unique_ptr<TTexteSurImg> f;

    explicit Fenetre(int format = 3)
    {
        dossiers.DossierAppli = testenv::programDir() + QLatin1Char('/');
        ctx = std::make_unique<AppContext>(dossiers, &prompts);
        ctx->document.setFormatTheme(format);
    }
    ~Fenetre()
    {
        if (f && f->isVisible()) {
            prompts.answer(Prompts::Answer::Yes);
            f->close();
        }
    }
    void ouvre()
    {
        f = std::make_unique<TTexteSurImg>(*ctx, options, TColor::fromRgb(1, 2, 3));
        QSignalSpy rendu(f.get(), &TTexteSurImg::apercuRendu);
        f->show();
        ASSERT_TRUE(rendu.wait(5000));
    }
    template <typename T> T *w(const char *nom) { return f->findChild<T *>(QLatin1String(nom)); }
    void clic(const char *nom, Qt::KeyboardModifiers m = {})
    {
        QWidget *x = w<QWidget>(nom);
        ASSERT_NE(x, nullptr) << nom;
        QTest::mouseClick(x, Qt::LeftButton, m, QPoint(3, 3));
    }
    void tape(const QString &texte)
    {
        QLineEdit *e = w<QLineEdit>("Edit1");
        e->setFocus();
        QTest::keyClicks(e, texte);
    }
    void roulette(QWidget *cible, int crans, Qt::KeyboardModifiers m = {})
    {
        const QPointF pos(cible->width() / 2, cible->height() / 2);
        for (int i = 0; i < std::abs(crans); ++i) {
            QWheelEvent ev(pos, cible->mapToGlobal(pos), QPoint(), QPoint(0, crans > 0 ? 120 : -120), Qt::NoButton, m,
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(cible, &ev);
        }
    }
};

// The pixels the lettering changed, as a bounding box.
QRect zoneChangee(const QImage &avant, const QImage &apres)
{
    QRect r;
    for (int y = 0; y < avant.height(); ++y)
        for (int x = 0; x < avant.width(); ++x)
            if (avant.pixel(x, y) != apres.pixel(x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

QRect zoneCouleur(const QImage &im, TColor c)
{
    QRect r;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if ((im.pixel(x, y) & 0xFFFFFF) == (c.toQRgb() & 0xFFFFFF))
                r |= QRect(x, y, 1, 1);
    return r;
}

ParamsTexte params(const QString &texte, int longueur, int position)
{
    ParamsTexte p;
    p.texte = texte;
    p.options.couleurLettre = Rouge;
    p.options.couleurOmbre = Bleu;
    p.options.taille = 20;
    p.alphaOmbre = 255;
    p.longueur = longueur;
    p.position = position;
    return p;
}

QImage grise(QSize s)
{
    QImage im(s, QImage::Format_ARGB32);
    im.fill(Gris);
    return im;
}

} // namespace

// ---- The lettering itself --------------------------------------------------------

TEST(TexteSurImage, LettersInTheirColourWithTheShadowBelowRight)
{
    const QImage fond = grise(QSize(300, 80));
    ParamsTexte p = params(QStringLiteral("HWM"), 300, 20);
    const QImage t = apply(fond, p);
    const QRect lettres = zoneCouleur(t, Rouge), ombre = zoneCouleur(t, Bleu);
    ASSERT_FALSE(lettres.isEmpty());
    ASSERT_FALSE(ombre.isEmpty());
    // The shadow copies lie 1 to 2 pixels down and right of the letters.
    EXPECT_GE(ombre.left(), lettres.left());
    EXPECT_GE(ombre.right(), lettres.right() + 1);
    EXPECT_GE(ombre.bottom(), lettres.bottom() + 1);
    EXPECT_LE(ombre.bottom(), lettres.bottom() + 2);
    // Everything the text touched is inside the band.
    const QRect z = zoneChangee(fond, t);
    EXPECT_GE(z.top(), 20);
    EXPECT_LT(z.bottom(), 20 + MesureTexteSurImg(p.texte, p.options, false).height());

    // The offset moves the shadow, not the letters.
    p.options.dx = 4;
    p.options.dy = 3;
    const QImage d = apply(fond, p);
    EXPECT_EQ(zoneCouleur(d, Rouge), lettres);
    const QRect decalee = zoneCouleur(d, Bleu);
    EXPECT_GE(decalee.left(), lettres.left() + 4);
    EXPECT_GE(decalee.top(), lettres.top() + 3);
    EXPECT_LE(ombre.left(), lettres.left() + 2);

    // The outline: letters drawn as strokes, so a bold letter's middle keeps the picture.
    p.options.dx = p.options.dy = 0;
    p.contour = true;
    p.alphaOmbre = 0;
    p.texte = QStringLiteral("O");
    p.options.taille = 60;
    p.options.style = 1;
    const QImage o = apply(fond, p);
    const QRect anneau = zoneChangee(fond, o);
    ASSERT_FALSE(anneau.isEmpty());
    EXPECT_EQ(o.pixel(anneau.center()), Gris);
    EXPECT_FALSE(zoneCouleur(o, Rouge).isEmpty());
}

TEST(TexteSurImage, JustificationAndWritingDirectionPlaceTheText)
{
    const QImage fond = grise(QSize(400, 300));
    ParamsTexte p = params(QStringLiteral("Abc"), 400, 50);
    p.alphaOmbre = 0;
    const int w = MesureTexteSurImg(p.texte, p.options, false).width();

    p.options.justification = 0;
    const QRect gauche = zoneChangee(fond, apply(fond, p));
    EXPECT_LT(gauche.left(), 5);
    p.options.justification = 2;
    const QRect droite = zoneChangee(fond, apply(fond, p));
    EXPECT_GT(droite.right(), 400 - 8);
    EXPECT_EQ(droite.left() - gauche.left(), 400 - w);
    p.options.justification = 1;
    const QRect centre = zoneChangee(fond, apply(fond, p));
    EXPECT_NEAR(centre.left() - gauche.left(), (400 - w) / 2.0, 1.0);

    // Turned by 90 degrees: the text runs down the column of the band, from the top.
    p.options.justification = 0;
    p.options.ecriture = 1;
    p.longueur = 300;
    p.position = 120;
    const QSize t = MesureTexteSurImg(p.texte, p.options, false);
    const QRect vertical = zoneChangee(fond, apply(fond, p));
    EXPECT_GE(vertical.left(), 120);
    EXPECT_LT(vertical.right(), 120 + t.height());
    EXPECT_LT(vertical.top(), 5);
    EXPECT_GT(vertical.height(), vertical.width());
    // Right justified at 270 degrees: the text ends at the bottom of the visible length.
    p.options.ecriture = 3;
    p.options.justification = 2;
    EXPECT_EQ(zoneChangee(fond, apply(fond, p)).top() >= 300 - t.width(), true);

    // An empty text changes nothing.
    p.texte.clear();
    EXPECT_EQ(apply(fond, p), fond);
}

TEST(TexteSurImage, BandGeometryFitsTheVisibleArea)
{
    // Format 3 previews 480 x 536 of a 640 x 588 Today picture on the 240 x 320 display.
    const std::array<int, 8> tailles{640, 588, 399, 586, 480, 536, 640, 376};
    const GeometrieAffichage g = CalculeGeometrie(QSize(640, 588), QSize(240, 320), false, tailles, 30);
    EXPECT_EQ(g.visible, QSize(480, 536));
    EXPECT_EQ(g.ajuste, QRect(0, 26, 240, 268));
    EXPECT_DOUBLE_EQ(g.ratio, 0.5);
    const QRect h = BandeInitiale(g, QSize(240, 320), false);
    EXPECT_EQ(h, QRect(0, 152, 240, 15));
    EXPECT_EQ(PositionBande(g, h, false), 252);
    const QRect v = BandeInitiale(g, QSize(240, 320), true);
    EXPECT_EQ(v, QRect(112, 26, 15, 268));
    EXPECT_EQ(PositionBande(g, v, true), 224);
    // A picture smaller than the area: both sides clamped, never enlarged.
    const GeometrieAffichage p = CalculeGeometrie(QSize(200, 100), QSize(240, 320), false, tailles, 30);
    EXPECT_EQ(p.visible, QSize(200, 100));
    EXPECT_DOUBLE_EQ(p.ratio, 1.0);
}

// ---- The window --------------------------------------------------------------------

TEST(TexteSurImageFenetre, TypedTextAndSettingsReachTheSavedPicture)
{
    const QImage original = ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    ecritImage(QStringLiteral("stwater.gif"), QSize(399, 586));
    Fenetre t;
    t.ouvre();
    EXPECT_EQ(t.f->windowTitle(), QStringLiteral("Add text on images"));
    EXPECT_EQ(t.w<QLabel>("NomFicLbl")->text(), QStringLiteral("tdywater.gif"));
    EXPECT_EQ(t.w<QLabel>("TypeImgLbl")->text(), QStringLiteral("PNG (640 x 588)"));

    QFont police(QStringLiteral("Tahoma"));
    police.setPointSize(22);
    police.setBold(true);
    t.prompts.font(police);
    t.clic("FonteSBtn");
    EXPECT_EQ(t.w<QLabel>("FonteNomLbl")->text(), QStringLiteral("Tahoma (22)"));
    t.prompts.color(Rouge);
    t.clic("LettrePnl");
    t.clic("OmbrePnl", Qt::ShiftModifier); // the dropper colour
    t.clic("CJSBtn");
    t.roulette(t.w<QLabel>("Image1"), -2, Qt::ShiftModifier); // 10 display pixels down
    t.tape(QStringLiteral("Orvandel"));
    EXPECT_EQ(t.prompts.beeps, 0);

    const ParamsTexte p = t.f->params();
    EXPECT_EQ(p.texte, QStringLiteral("Orvandel"));
    EXPECT_EQ(p.options.taille, 22);
    EXPECT_EQ(p.options.style, 1);
    EXPECT_EQ(p.options.couleurLettre, Rouge);
    EXPECT_EQ(p.options.couleurOmbre, TColor::fromRgb(1, 2, 3));
    EXPECT_EQ(p.options.justification, 1);
    EXPECT_EQ(p.longueur, 480);
    EXPECT_EQ(p.position, PositionBande(t.f->geometrie(), BandeInitiale(t.f->geometrie(), QSize(240, 320), false),
                                        false) + 20);

    // Lossless comparison through a palette PNG: the file must decode to exactly
    // what the encoder makes of the direct lettering.
    t.w<QRadioButton>("TypeSauverRG1")->setChecked(true);
    const QImage attendu = apply(original, p);
    const auto octets = EncodeImageFormat(attendu, 100, TypeSauver::PngOptimise, QDateTime::currentDateTime());
    ASSERT_TRUE(octets.has_value());
    QSignalSpy enregistrees(t.f.get(), &TTexteSurImg::imagesEnregistrees);
    t.prompts.answer(Prompts::Answer::Yes);
    t.clic("SauverSBtn");
    EXPECT_EQ(t.prompts.questions, QStringList{QStringLiteral("Overwrite original file (or existing) ?")});
    EXPECT_EQ(enregistrees.count(), 1);
    EXPECT_TRUE(t.f->imageSauvee());
    EXPECT_TRUE(t.prompts.messages.isEmpty());
    EXPECT_EQ(testenv::readFile(cheminImage(QStringLiteral("tdywater.gif"))), *octets);
    // The letters are there, centred, inside the band.
    const QRect z = zoneChangee(original, attendu);
    ASSERT_FALSE(z.isEmpty());
    EXPECT_GE(z.top(), p.position - 1);
    EXPECT_NEAR(z.center().x(), 240, 12);
}

TEST(TexteSurImageFenetre, JpegSaveMatchesTheDirectLettering)
{
    const QImage original = ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    Fenetre t;
    t.ouvre();
    t.clic("Grad4SBtn");
    t.clic("Ec1SBtn");
    t.tape(QStringLiteral("Vertical"));
    t.w<QRadioButton>("TypeSauverRG0")->setChecked(true);
    const ParamsTexte p = t.f->params();
    EXPECT_EQ(p.options.modeDegrade, 4);
    EXPECT_TRUE(p.options.vertical());
    EXPECT_EQ(p.longueur, 536);
    const QImage attendu = apply(original, p);
    const QByteArray jpeg = *EncodeImageFormat(attendu, 100, TypeSauver::Jpeg, QDateTime::currentDateTime());
    t.prompts.answer(Prompts::Answer::Yes);
    t.clic("SauverSBtn");
    // The EXIF date may differ by a second: compare what the files decode to.
    QImage decode;
    ASSERT_TRUE(decode.loadFromData(jpeg));
    const QImage sauvee = ChargerBitmap32GDIP(cheminImage(QStringLiteral("tdywater.gif"))).value();
    EXPECT_EQ(sauvee, decode.convertToFormat(QImage::Format_ARGB32));
    EXPECT_NE(sauvee, original);
}

TEST(TexteSurImageFenetre, CancelLeavesTheWorkingPictureUntouched)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    const QByteArray avant = testenv::readFile(cheminImage(QStringLiteral("tdywater.gif")));
    Fenetre t;
    t.ouvre();
    t.tape(QStringLiteral("Never"));
    t.prompts.answer(Prompts::Answer::No);
    t.clic("SauverSBtn");
    EXPECT_EQ(testenv::readFile(cheminImage(QStringLiteral("tdywater.gif"))), avant);
    // Quitting asks; No keeps the window, Yes closes it without writing.
    t.prompts.answer(Prompts::Answer::No);
    t.clic("QuitterSBtn");
    EXPECT_TRUE(t.f->isVisible());
    t.prompts.answer(Prompts::Answer::Yes);
    t.clic("QuitterSBtn");
    EXPECT_FALSE(t.f->isVisible());
    EXPECT_EQ(t.prompts.questions.count(QStringLiteral("Quit without saving ?")), 2);
    EXPECT_FALSE(t.f->imageSauvee());
    EXPECT_EQ(testenv::readFile(cheminImage(QStringLiteral("tdywater.gif"))), avant);
    EXPECT_EQ(QDir(testenv::programDir()).entryList(QDir::Files), QStringList{QStringLiteral("tdywater.gif")});
}

TEST(TexteSurImageFenetre, MissingPictureIsReportedAndNothingIsWritten)
{
    ecritImage(QStringLiteral("stwater.gif"), QSize(399, 586));
    Fenetre t;
    t.ouvre();
    ASSERT_EQ(t.prompts.messages.size(), 1);
    EXPECT_TRUE(t.prompts.messages[0].contains(QStringLiteral("tdywater.gif")));
    EXPECT_TRUE(t.prompts.messages[0].contains(texteErreurImage(ErreurImage::Introuvable)));
    EXPECT_FALSE(t.w<QToolButton>("SauverSBtn")->isEnabled());
    EXPECT_FALSE(t.w<QLabel>("MinTD")->isVisible());
    t.tape(QStringLiteral("x"));
    t.clic("SauverSBtn");
    EXPECT_FALSE(QFileInfo::exists(cheminImage(QStringLiteral("tdywater.gif"))));
    // The Start picture still works.
    t.clic("MinST");
    EXPECT_EQ(t.f->indexCourant(), 2);
    EXPECT_TRUE(t.w<QToolButton>("SauverSBtn")->isEnabled());
}

TEST(TexteSurImageFenetre, TextTooLongIsTrimmedWithABeep)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(120, 588));
    Fenetre t;
    t.ouvre();
    t.tape(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    QLineEdit *e = t.w<QLineEdit>("Edit1");
    EXPECT_GT(t.prompts.beeps, 0);
    EXPECT_LT(e->text().size(), 28);
    EXPECT_FALSE(e->text().isEmpty());
    EXPECT_LE(MesureTexteSurImg(e->text(), t.options, false).width(), 119);
    EXPECT_EQ(e->cursorPosition(), e->text().size());
}

TEST(TexteSurImageFenetre, OffsetSnapsAndGradientModesSetTheirOptions)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    Fenetre t;
    t.ouvre();
    QLabel *s = t.w<QLabel>("ShiftImg");
    QTest::mousePress(s, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(t.w<QLabel>("XYLbl")->text(), QStringLiteral("5 x 5"));
    QTest::mousePress(s, Qt::LeftButton, {}, QPoint(1, 2));
    EXPECT_EQ(t.w<QLabel>("XYLbl")->text(), QStringLiteral("-5 x -5"));
    QTest::mousePress(s, Qt::LeftButton, {}, QPoint(17, 8));
    EXPECT_EQ(t.w<QLabel>("XYLbl")->text(), QStringLiteral("0 x -3"));

    t.clic("Grad2SBtn");
    EXPECT_FALSE(t.w<QToolButton>("OutlineSB")->isVisible());
    EXPECT_EQ(t.w<QSlider>("Transp1TB")->value(), 255);
    EXPECT_EQ(t.w<QSlider>("Transp2TB")->value(), 255);
    EXPECT_EQ(t.w<QLabel>("DecLbl")->text(), QStringLiteral("Décalage not available here"));
    EXPECT_EQ(t.w<QLabel>("XYLbl")->text(), QStringLiteral("0 x 0"));
    t.clic("Grad4SBtn");
    EXPECT_EQ(t.w<QLabel>("DecLbl")->text(), QStringLiteral("Shift Gradient Center"));
    t.clic("Grad0SBtn");
    EXPECT_TRUE(t.w<QToolButton>("OutlineSB")->isVisible());
    EXPECT_EQ(t.w<QSlider>("Transp2TB")->value(), 64);
    EXPECT_EQ(t.w<QLabel>("DecLbl")->text(), QStringLiteral("Shift Letter - Shadow"));
}

TEST(TexteSurImageFenetre, TodayOfTheTwoOrientationFormatIsCopiedToThePlainName)
{
    ecritImage(QStringLiteral("tdywater_240_320.gif"), QSize(240, 320));
    ecritImage(QStringLiteral("tdywater_320_240.gif"), QSize(320, 240));
    Fenetre t(4);
    t.ouvre();
    EXPECT_EQ(t.f->fichierImage(0), cheminImage(QStringLiteral("tdywater_240_320.gif")));
    t.tape(QStringLiteral("Hi"));
    t.prompts.answer(Prompts::Answer::Yes);
    t.clic("SauverSBtn");
    EXPECT_TRUE(t.prompts.messages.isEmpty());
    EXPECT_EQ(testenv::readFile(cheminImage(QStringLiteral("tdywater.gif"))),
              testenv::readFile(cheminImage(QStringLiteral("tdywater_240_320.gif"))));
    // Selecting the landscape picture shows it on the landscape display.
    t.clic("MinTDL");
    EXPECT_EQ(t.f->indexCourant(), 1);
    EXPECT_TRUE(t.w<QLabel>("Image2")->isVisible());
    EXPECT_FALSE(t.w<QLabel>("Image1")->isVisible());
}

// A save cut between the portrait picture and its plain copy (the program
// killed there) is finished at the next start: both hold the lettered
// picture. The landscape picture has no copy and is written alone.
TEST(TexteSurImageFenetre, ASaveCutBetweenThePictureAndItsCopyIsFinishedAtTheNextStart)
{
    for (const int index : {0, 2}) {
        SCOPED_TRACE(index);
        const QString image = index == 0 ? QStringLiteral("tdywater_480_640.gif") : QStringLiteral("stwater_480_640.gif");
        const QString copie = index == 0 ? QStringLiteral("tdywater.gif") : QStringLiteral("stwater.gif");
        ecritImage(QStringLiteral("tdywater_480_640.gif"), QSize(480, 640));
        ecritImage(QStringLiteral("stwater_480_640.gif"), QSize(480, 640));
        ecritImage(QStringLiteral("tdywater_640_480.gif"), QSize(640, 480));
        const QByteArray ancien = testenv::readFile(cheminImage(image));
        testenv::writeFile(cheminImage(copie), ancien);
        Fenetre t(5);
        t.ouvre();
        if (index == 2)
            t.clic("MinST");
        ASSERT_EQ(t.f->indexCourant(), index);
        std::optional<testenv::Instantane> coupure;
        t.ctx->entreImageEtCopie = [&] { coupure = testenv::prendInstantane(testenv::programDir()); };
        t.tape(QStringLiteral("Hi"));
        t.prompts.answer(Prompts::Answer::Yes);
        t.clic("SauverSBtn");
        EXPECT_TRUE(t.prompts.messages.isEmpty());
        ASSERT_TRUE(coupure);
        const QByteArray lettree = testenv::readFile(cheminImage(image));
        ASSERT_NE(lettree, ancien);
        EXPECT_EQ(testenv::readFile(cheminImage(copie)), lettree);
        EXPECT_FALSE(QFileInfo::exists(cheminImage(NomNoteCopie(copie))));

        testenv::remetInstantane(testenv::programDir(), *coupure);
        EXPECT_EQ(testenv::readFile(cheminImage(copie)), ancien);
        AcheveCopiesInterrompues(testenv::programDir(), &t.prompts);
        EXPECT_EQ(testenv::readFile(cheminImage(image)), lettree);
        EXPECT_EQ(testenv::readFile(cheminImage(copie)), lettree);
        EXPECT_FALSE(QFileInfo::exists(cheminImage(NomNoteCopie(copie))));

        // The landscape Today picture: no copy, no note, no cut.
        coupure.reset();
        const QByteArray copieAvant = testenv::readFile(cheminImage(QStringLiteral("tdywater.gif")));
        t.clic("MinTDL");
        ASSERT_EQ(t.f->indexCourant(), 1);
        t.tape(QStringLiteral("Ho"));
        t.prompts.answer(Prompts::Answer::Yes);
        t.clic("SauverSBtn");
        EXPECT_FALSE(coupure);
        EXPECT_EQ(testenv::readFile(cheminImage(QStringLiteral("tdywater.gif"))), copieAvant);
        for (const QString &nom : QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden))
            EXPECT_FALSE(nom.startsWith(QLatin1Char('.'))) << nom.toStdString();
        EXPECT_TRUE(t.prompts.messages.isEmpty());
    }
}

// While the band is dragged its outline follows the pointer; the text itself
// is rendered again only when the button is released.
TEST(TexteSurImageFenetre, BandOutlineFollowsTheDrag)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    Fenetre t;
    t.ouvre();
    QLabel *vue = t.w<QLabel>("Image1");
    const QRect depart = t.f->bande();
    ASSERT_FALSE(depart.isEmpty());
    const auto affiche = [&] { return vue->pixmap().toImage().convertToFormat(QImage::Format_RGB32); };
    const QImage avant = affiche();
    const auto souris = [&](QEvent::Type type, QPoint p, Qt::MouseButtons boutons) {
        QMouseEvent e(type, QPointF(p), vue->mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      boutons, Qt::NoModifier);
        QApplication::sendEvent(vue, &e);
    };
    QSignalSpy rendu(t.f.get(), &TTexteSurImg::apercuRendu);
    souris(QEvent::MouseButtonPress, depart.center(), Qt::LeftButton);
    souris(QEvent::MouseMove, depart.center() + QPoint(0, -30), Qt::LeftButton);
    const QRect pendant = t.f->bande();
    ASSERT_NEAR(pendant.top(), depart.top() - 30, 1);
    // Shown at once, before any render: the outline left its old top row and
    // is drawn along its new one.
    const QImage vu = affiche();
    const auto ligneChangee = [&](int y) {
        int n = 0;
        for (int x = pendant.left() + 2; x < pendant.right() - 2; ++x)
            n += vu.pixel(x, y) != avant.pixel(x, y);
        return n;
    };
    EXPECT_GT(ligneChangee(pendant.top()), pendant.width() / 4);
    EXPECT_GT(ligneChangee(depart.top()), pendant.width() / 4);
    EXPECT_EQ(rendu.count(), 0);
    souris(QEvent::MouseButtonRelease, depart.center() + QPoint(0, -30), Qt::NoButton);
    ASSERT_TRUE(rendu.wait(5000));
    EXPECT_EQ(t.f->bande(), pendant);
}

// After a save the picture is reloaded with the text in it: the text box is
// empty, so nothing is lettered twice, and quitting asks nothing.
TEST(TexteSurImageFenetre, AfterASaveNothingIsLetteredTwiceAndQuitStillAsks)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    Fenetre t;
    t.ouvre();
    t.tape(QStringLiteral("Une fois"));
    t.w<QRadioButton>("TypeSauverRG1")->setChecked(true);
    t.prompts.answer(Prompts::Answer::Yes);
    QSignalSpy rendu(t.f.get(), &TTexteSurImg::apercuRendu);
    t.clic("SauverSBtn");
    EXPECT_TRUE(t.f->imageSauvee());
    ASSERT_TRUE(rendu.count() > 0 || rendu.wait(5000));
    EXPECT_EQ(t.w<QLineEdit>("Edit1")->text(), QString());
    EXPECT_EQ(t.f->params().texte, QString());
    const QImage apres = t.w<QLabel>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);

    // What a fresh window shows of the saved picture: the same display.
    Fenetre autre;
    autre.ouvre();
    EXPECT_EQ(autre.w<QLabel>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32), apres);

    // Quitting asks even with nothing typed, every time.
    t.prompts.answer(Prompts::Answer::Yes);
    t.clic("QuitterSBtn");
    EXPECT_FALSE(t.f->isVisible());
    EXPECT_EQ(t.prompts.questions, (QStringList{QStringLiteral("Overwrite original file (or existing) ?"),
                                                QStringLiteral("Quit without saving ?")}));
}

TEST(TexteSurImageFenetre, HelpTellsTheWheelSteps)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    Fenetre t;
    t.ouvre();
    EXPECT_TRUE(t.w<QLabel>("AideLbl")->text().contains(QStringLiteral("wheel + CTRL  (15 pixels)")));
    const QRect avant = t.f->bande();
    t.roulette(t.w<QLabel>("Image1"), -1, Qt::ControlModifier);
    EXPECT_EQ(t.f->bande().top(), avant.top() + 15);
}

// The main window's caller learns of each save while the tool is still open.
TEST(TexteSurImageFenetre, EachSaveIsAnnouncedWhileTheToolIsOpen)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(640, 588));
    ScriptedPrompts prompts;
    DossiersProgramme d;
    d.DossierAppli = testenv::programDir() + QLatin1Char('/');
    AppContext ctx(d, &prompts);
    OptionsTexteSurImg options;
    int annonces = 0;
    bool ouverteALAnnonce = false;
    QTimer pilote;
    QObject::connect(&pilote, &QTimer::timeout, [&] {
        auto *f = qobject_cast<TTexteSurImg *>(QApplication::activeModalWidget());
        if (!f || !f->isVisible())
            return;
        pilote.stop();
        auto *edit = f->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Deux"));
        for (int i = 0; i < 2; ++i) {
            prompts.answer(Prompts::Answer::Yes);
            QTest::mouseClick(f->findChild<QToolButton *>(QStringLiteral("SauverSBtn")), Qt::LeftButton, {}, QPoint(3, 3));
        }
        prompts.answer(Prompts::Answer::Yes); // quit without saving again
        QTest::mouseClick(f->findChild<QToolButton *>(QStringLiteral("QuitterSBtn")), Qt::LeftButton, {}, QPoint(3, 3));
    });
    pilote.start(20);
    const bool sauvee = OuvreTexteSurImg(ctx, options, TColor::fromRgb(1, 2, 3), nullptr, [&] {
        ++annonces;
        ouverteALAnnonce = qobject_cast<TTexteSurImg *>(QApplication::activeModalWidget()) != nullptr;
    });
    EXPECT_TRUE(sauvee);
    EXPECT_EQ(annonces, 2);
    EXPECT_TRUE(ouverteALAnnonce);
}

// ---- What the window shows of a picture, and how it keeps its state ---------

// The picture information comes from the file as stored: a GIF reads "Alpha
// pixels" only when it has a transparent colour, a JPEG reads its YCbCr (or
// grey) colour space, a PNG's alpha channel is seen, translucency too; an
// unreadable file has no flags.
TEST(TexteSurImageFenetre, PictureInformationComesFromTheFileAsStored)
{
    const QString gif = cheminImage(QStringLiteral("opaque.gif"));
    gifecrit::ecritFichier(gif, 40, 30, qRgb(200, 100, 50), qRgb(20, 40, 60), 20);
    EXPECT_EQ(DrapeauxFichierImage(gif), unsigned(DrapeauRGB));
    const QString gifTransparent = cheminImage(QStringLiteral("transparent.gif"));
    gifecrit::Cadre c = gifecrit::uni(16, 16, 0, 1, 4, 4, 8, 8, 0);
    c.transparente = 0;
    testenv::writeFile(gifTransparent, gifecrit::ecrit(16, 16, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, {c}));
    EXPECT_EQ(DrapeauxFichierImage(gifTransparent), unsigned(DrapeauRGB | DrapeauAlpha));

    QImage photo(48, 32, QImage::Format_RGB32);
    photo.fill(qRgb(30, 160, 90));
    const QString jpeg = cheminImage(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(photo.save(jpeg, "JPEG"));
    EXPECT_EQ(DrapeauxFichierImage(jpeg), unsigned(DrapeauYCBCR));
    const QString jpegGris = cheminImage(QStringLiteral("gris.jpg"));
    ASSERT_TRUE(photo.convertToFormat(QImage::Format_Grayscale8).save(jpegGris, "JPEG"));
    EXPECT_EQ(DrapeauxFichierImage(jpegGris), unsigned(DrapeauGris));

    QImage voile(8, 8, QImage::Format_ARGB32);
    voile.fill(qRgba(10, 20, 30, 128));
    const QString png = cheminImage(QStringLiteral("voile.png"));
    ASSERT_TRUE(voile.save(png, "PNG"));
    EXPECT_EQ(DrapeauxFichierImage(png), unsigned(DrapeauRGB | DrapeauAlpha | DrapeauTranslucide));

    const QString tronque = cheminImage(QStringLiteral("tronque.jpg"));
    testenv::writeFile(tronque, QByteArray("\xFF\xD8\xFF", 3));
    EXPECT_EQ(DrapeauxFichierImage(tronque), 0u);
    EXPECT_EQ(DrapeauxFichierImage(cheminImage(QStringLiteral("absent.gif"))), 0u);

    // What the window shows: the Today picture a GIF without transparency,
    // the Start picture a JPEG (both under their working names).
    gifecrit::ecritFichier(cheminImage(QStringLiteral("tdywater.gif")), 240, 320, qRgb(200, 100, 50));
    QImage start(240, 320, QImage::Format_RGB32);
    start.fill(qRgb(30, 160, 90));
    ASSERT_TRUE(start.save(cheminImage(QStringLiteral("stwater.gif")), "JPEG"));
    Fenetre t;
    t.ouvre();
    EXPECT_EQ(t.w<QLabel>("TypeImgLbl")->text(), QStringLiteral("GIF (240 x 320)"));
    EXPECT_EQ(t.w<QLabel>("PixelsCarLbl")->text(), QString());
    EXPECT_EQ(t.w<QLabel>("EspaceCouleurLbl")->text(), QStringLiteral("RGB"));
    t.clic("MinST");
    EXPECT_EQ(t.w<QLabel>("TypeImgLbl")->text(), QStringLiteral("JPEG (240 x 320)"));
    EXPECT_EQ(t.w<QLabel>("PixelsCarLbl")->text(), QString());
    EXPECT_EQ(t.w<QLabel>("EspaceCouleurLbl")->text(), QStringLiteral("YCBCR"));
}

// The letter and shadow alphas, the outline and the JPEG quality are where
// the user left them when the window opens again; the window keeps its size
// whatever the writing direction or the picture (the strip stays centred in
// its panel of fixed size).
TEST(TexteSurImageFenetre, StatesLastTheRunAndTheWindowKeepsItsSize)
{
    ecritImage(QStringLiteral("tdywater_240_320.gif"), QSize(240, 320));
    ecritImage(QStringLiteral("tdywater_320_240.gif"), QSize(320, 240));
    ecritImage(QStringLiteral("stwater_240_320.gif"), QSize(240, 320));
    Fenetre t(4);
    t.ouvre();
    const QSize taille = t.f->size();
    auto *panneau = t.w<QFrame>("TextePnl");
    ASSERT_TRUE(panneau);
    const QRect placePanneau = panneau->geometry();
    const auto bandeauCentre = [&] {
        const QRect b = t.w<QLabel>("TexteImg")->geometry();
        if (b.width() < panneau->width()) {
            EXPECT_LE(std::abs(b.center().x() - panneau->rect().center().x()), 1);
        }
        if (b.height() < panneau->height()) {
            EXPECT_LE(std::abs(b.center().y() - panneau->rect().center().y()), 1);
        }
    };
    t.tape(QStringLiteral("Taille"));
    for (const char *bouton : {"Ec1SBtn", "Ec2SBtn", "Ec3SBtn", "MinTDL", "Ec0SBtn", "MinST", "MinTD"}) {
        QSignalSpy rendu(t.f.get(), &TTexteSurImg::apercuRendu);
        t.clic(bouton);
        ASSERT_TRUE(rendu.count() > 0 || rendu.wait(5000)) << bouton;
        QApplication::processEvents();
        EXPECT_EQ(t.f->size(), taille) << bouton;
        EXPECT_EQ(panneau->geometry(), placePanneau) << bouton;
        bandeauCentre();
    }

    t.w<QSlider>("Transp1TB")->setValue(200);
    t.w<QSlider>("Transp2TB")->setValue(90);
    t.w<QSlider>("QualJpgTB")->setValue(70);
    t.clic("OutlineSB");
    EXPECT_TRUE(t.f->params().contour);
    t.prompts.answer(Prompts::Answer::Yes);
    t.f->close();
    ASSERT_FALSE(t.f->isVisible());
    t.f.reset();
    t.ouvre();
    EXPECT_EQ(t.w<QSlider>("Transp1TB")->value(), 200);
    EXPECT_EQ(t.w<QSlider>("Transp2TB")->value(), 90);
    EXPECT_EQ(t.w<QSlider>("QualJpgTB")->value(), 70);
    EXPECT_TRUE(t.w<QToolButton>("OutlineSB")->isChecked());
    EXPECT_TRUE(t.f->params().contour);
    EXPECT_EQ(t.f->params().alphaLettre, 200);
    EXPECT_EQ(t.f->size(), taille);
    // A gradient mode sets both alphas to 255, and that too lasts.
    t.clic("Grad2SBtn");
    t.prompts.answer(Prompts::Answer::Yes);
    t.f->close();
    t.f.reset();
    t.ouvre();
    EXPECT_EQ(t.w<QSlider>("Transp2TB")->value(), 255);
    EXPECT_FALSE(t.w<QToolButton>("OutlineSB")->isVisible());
}

// The buttons show the artwork's pictures, not captions (only "Save" has
// both), and the window shows the main window's background picture in the
// normal look, not in the uniform one.
TEST(TexteSurImageFenetre, ButtonsShowTheirPicturesOverTheWindowBackground)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(240, 320));
    for (const bool uniforme : {false, true}) {
        Fenetre t;
        QImage fond(2000, 2000, QImage::Format_ARGB32);
        fond.fill(qRgb(250, 0, 250));
        t.ctx->apparence.BmpFond = fond;
        t.ctx->apparence.uniforme = uniforme;
        t.ouvre();
        {
            QSignalSpy rendu(t.f.get(), &TTexteSurImg::apercuRendu);
            t.tape(QStringLiteral("Orvandel"));
            ASSERT_TRUE(rendu.count() > 0 || rendu.wait(5000));
        }
        const QImage vue = t.f->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // For a person to look at, when asked.
        if (const QByteArray dossier = qgetenv("ORVANDEL_CAPTURES"); !dossier.isEmpty())
            vue.save(QString::fromLocal8Bit(dossier)
                     + (uniforme ? QStringLiteral("/TexteSurImg-uniform.png") : QStringLiteral("/TexteSurImg-tiled.png")));
        // A corner of the window that no control covers.
        EXPECT_EQ(vue.pixel(1, vue.height() - 2) == qRgb(250, 0, 250), !uniforme) << uniforme;

        QList<QImage> vues;
        for (const char *nom : {"GJSBtn", "CJSBtn", "DJSBtn", "Ec0SBtn", "Ec1SBtn", "Ec2SBtn", "Ec3SBtn", "Grad0SBtn",
                                "Grad1SBtn", "Grad2SBtn", "Grad3SBtn", "Grad4SBtn", "FonteSBtn", "InvSBtn", "InvFondSB",
                                "OutlineSB", "ReflectSB", "PerspectiveSB", "FCarreSB", "FCercleSB", "FRoundSb",
                                "TranspLFSB", "FHSB", "FVSB", "FFSB", "FBSB", "FCSB", "SauverSBtn", "QuitterSBtn"}) {
            auto *b = t.w<QToolButton>(nom);
            ASSERT_TRUE(b) << nom;
            EXPECT_FALSE(b->icon().isNull()) << nom;
            EXPECT_EQ(b->text().isEmpty(), QLatin1String(nom) != QLatin1String("SauverSBtn")) << nom;
            // The picture is drawn: the button shows colours that a plain
            // button face does not have.
            const QImage g = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QSet<QRgb> couleurs;
            for (int y = 0; y < g.height(); ++y)
                for (int x = 0; x < g.width(); ++x)
                    couleurs.insert(g.pixel(x, y));
            EXPECT_GT(couleurs.size(), 8) << nom;
            vues << g;
        }
        // No two of the justification or gradient buttons look alike.
        for (int i = 0; i < 12; ++i)
            for (int j = i + 1; j < 12; ++j)
                EXPECT_NE(vues[i], vues[j]) << i << " " << j;
        for (const char *nom : {"LettreImg", "OmbreImg", "DecImg"})
            EXPECT_FALSE(t.w<QLabel>(nom)->pixmap().isNull()) << nom;
    }
}
