// The device browser against the simulated device: building the tree,
// choosing in both modes, the package preview, and importing a package.
#include "device/arbre_ce.h"
#include "device/fonctions_rapi_fichiers.h"
#include "device/fonctions_rapi_registre.h"
#include "device/lit_tsk_pda.h"
#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/pixels.h"
#include "theme/cabinet_paquet.h"
#include "ui/apparence_fenetre.h"
#include "ui/charge_image_res.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

using namespace fenetrestest;

namespace {

class ArbreCE : public AppareilConnecte
{
protected:
    // A browser shown in the mode given, its tree built.
    std::unique_ptr<TArbreCE> ouvre(bool modeDossier)
    {
        etat.ModeDossierPDA = modeDossier;
        auto f = std::make_unique<TArbreCE>(etat, arbre);
        f->show();
        f->ConstruireArbreBtnClick();
        vue = f->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        valider = f->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"));
        return f;
    }
    void clique(const QString &chemin)
    {
        QTreeWidgetItem *n = noeud(vue, chemin);
        ASSERT_TRUE(n) << chemin.toStdString();
        vue->scrollToItem(n);
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(n).center());
    }
    QTreeWidget *vue = nullptr;
    QToolButton *valider = nullptr;
};

} // namespace

TEST_F(ArbreCE, ModeDossierChoisitLesDossiersSeulement)
{
    paquetSurAppareil(QStringLiteral("Windows/Blue.tsk"), 0, false, OptionSetupPackage::Inf);
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/zeta.TSK")), "x");
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/Alpha.tsk")), "x");
    auto f = ouvre(true);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Copy TSK to the Pocket PC"));
    QTreeWidgetItem *racine = vue->topLevelItem(0);
    ASSERT_TRUE(racine);
    EXPECT_EQ(racine->text(0), QStringLiteral("\\"));
    EXPECT_TRUE(racine->isExpanded());
    // Sorted without regard to case; the current skin has its own picture.
    QTreeWidgetItem *themes = noeud(vue, QStringLiteral("\\Storage Card\\Themes"));
    ASSERT_TRUE(themes);
    QStringList noms;
    for (int i = 0; i < themes->childCount(); ++i)
        noms << themes->child(i)->text(0);
    EXPECT_EQ(noms, (QStringList{"Alpha.tsk", "Green.tsk", "zeta.TSK"})); // Green: the device's own
    EXPECT_EQ(noeud(vue, QStringLiteral("\\Windows\\Blue.tsk"))->data(0, kRoleImageCE).toInt(), int(ImageSkinCE));

    // A package cannot be chosen in folder mode.
    clique(QStringLiteral("\\Storage Card"));
    EXPECT_EQ(etat.CheminPDA, QStringLiteral("\\Storage Card"));
    EXPECT_TRUE(valider->isEnabled());
    clique(QStringLiteral("\\Windows\\Blue.tsk"));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_TRUE(etat.CheminPDA.isEmpty());
    EXPECT_FALSE(valider->isEnabled());
    // The root, and a folder whose name ends in ".tsk", are folders.
    clique(QStringLiteral("\\"));
    EXPECT_EQ(etat.CheminPDA, QStringLiteral("\\"));
    clique(QStringLiteral("\\Storage Card\\Odd.tsk"));
    EXPECT_EQ(etat.CheminPDA, QStringLiteral("\\Storage Card\\Odd.tsk"));
    EXPECT_TRUE(valider->isEnabled());
    EXPECT_FALSE(f->findChild<QWidget *>(QStringLiteral("Panel1"))->isVisible());
    // The hovered package's hint: its path and size.
    QTreeWidgetItem *bleu = noeud(vue, QStringLiteral("\\Windows\\Blue.tsk"));
    QMouseEvent survol(QEvent::MouseMove, QPointF(vue->visualItemRect(bleu).center()), QPointF(), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(vue->viewport(), &survol);
    EXPECT_TRUE(bleu->toolTip(0).startsWith(QStringLiteral("'\\Windows\\Blue.tsk'\r\n\r\nDate of ")));
    EXPECT_TRUE(bleu->toolTip(0).contains(QStringLiteral("bytes")));

    // Quitting leaves no path, even after a valid click.
    f->findChild<QToolButton *>(QStringLiteral("ToolButton1"))->click();
    EXPECT_TRUE(etat.CheminPDA.isEmpty());
    auto g = ouvre(true);
    clique(QStringLiteral("\\Storage Card"));
    g->close();
    EXPECT_TRUE(etat.CheminPDA.isEmpty());
}

TEST_F(ArbreCE, DoubleClicSurUnDossierValideEtFerme)
{
    surModale<TArbreCE>([this](TArbreCE *f) {
        // The window builds its tree by itself once on screen.
        vue = f->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        ASSERT_TRUE(QTest::qWaitFor([this] { return vue->topLevelItemCount() == 1; }));
        QTreeWidgetItem *n = noeud(vue, QStringLiteral("\\My Documents"));
        ASSERT_TRUE(n);
        const QPoint p = vue->visualItemRect(n).center();
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, p);
    });
    EXPECT_EQ(OuvreArbreCE(etat, arbre, true), QStringLiteral("\\My Documents"));
    EXPECT_TRUE(etat.ModeDossierPDA);
}

TEST_F(ArbreCE, ApercuDesPaquetsSelonLeurJeuDImages)
{
    paquetSurAppareil(QStringLiteral("Storage Card/Themes/Deux.tsk"), 0, false, OptionSetupPackage::InfXml);
    paquetSurAppareil(QStringLiteral("Storage Card/Themes/Start.tsk"), 0, true, OptionSetupPackage::Inf);
    paquetSurAppareil(QStringLiteral("Storage Card/Themes/Paysage.tsk"), 4, false, OptionSetupPackage::Xml);
    auto f = ouvre(false);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Import TSK from Pocket PC"));
    const auto texte = [&](const char *nom) { return f->findChild<QLabel *>(QLatin1String(nom))->text(); };
    const auto image = [&](const char *nom) { return !f->findChild<QLabel *>(QLatin1String(nom))->pixmap().isNull(); };
    auto *landDef = f->findChild<QLabel *>(QStringLiteral("LandDefLbl"));

    // Both setup documents: read through the CE setup file.
    clique(QStringLiteral("\\Storage Card\\Themes\\Deux.tsk"));
    EXPECT_EQ(etat.CheminPDA, QStringLiteral("\\Storage Card\\Themes\\Deux.tsk"));
    EXPECT_TRUE(f->findChild<QWidget *>(QStringLiteral("Panel1"))->isVisible());
    EXPECT_TRUE(image("Image1"));
    EXPECT_EQ(texte("LargTLbl"), QStringLiteral("24"));
    EXPECT_EQ(texte("HautTLbl"), QStringLiteral("32"));
    EXPECT_TRUE(texte("TypeTlbl").endsWith(QStringLiteral(" bpp)")));
    EXPECT_EQ(texte("LargDLbl"), QStringLiteral("30"));
    EXPECT_EQ(texte("HautDLbl"), QStringLiteral("40"));
    EXPECT_FALSE(landDef->isVisible());
    EXPECT_FALSE(f->findChild<QLabel *>(QStringLiteral("Image2"))->isVisible());
    f->findChild<QCheckBox *>(QStringLiteral("DeuxImgCB"))->click();
    EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("Image2"))->isVisible());

    // Start only: the Today picture and its labels are cleared.
    clique(QStringLiteral("\\Storage Card\\Themes\\Start.tsk"));
    EXPECT_FALSE(image("Image1"));
    EXPECT_TRUE(texte("LargTLbl").isEmpty());
    EXPECT_TRUE(texte("TypeTlbl").isEmpty());
    EXPECT_TRUE(image("Image2"));
    EXPECT_EQ(texte("LargDLbl"), QStringLiteral("30"));

    // The landscape pair, through the setup XML.
    clique(QStringLiteral("\\Storage Card\\Themes\\Paysage.tsk"));
    EXPECT_TRUE(landDef->isVisible());
    EXPECT_TRUE(image("Image1"));
    EXPECT_EQ(texte("LargTLbl"), QStringLiteral("24"));

    // A folder is not a package here.
    clique(QStringLiteral("\\Storage Card\\Odd.tsk"));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_TRUE(etat.CheminPDA.isEmpty());
    EXPECT_FALSE(valider->isEnabled());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_F(ArbreCE, PaquetHostileNeMontreRienEtNEcritRienAilleurs)
{
    // Members that name other folders, and a setup file that is garbage.
    const QByteArray cab = cabtest::fabriqueCab({{"..\\evil.gif", gif(8, 8, qRgb(1, 2, 3))},
                                                 {"../../evil.gif", "x"},
                                                 {"x.000", QByteArray(300, 'M')}});
    testenv::writeFile(fs(QStringLiteral("Temp/Hostile.tsk")), cab);
    testenv::writeFile(fs(QStringLiteral("Temp/Vide.tsk")), QByteArray());
    const QStringList avant = cabtest::arborescence(testenv::tempDir());
    auto f = ouvre(false);
    for (const char *p : {"\\Temp\\Hostile.tsk", "\\Temp\\Vide.tsk"}) {
        clique(QLatin1String(p));
        EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
        EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("Image2"))->pixmap().isNull());
        EXPECT_TRUE(valider->isEnabled());
    }
    EXPECT_EQ(cabtest::arborescence(testenv::tempDir()), avant);
}

TEST_F(ArbreCE, UneImageTropGrandePourEtreDecodeeNeSAffichePas)
{
    // A Today picture of a few kilobytes that claims 144 million pixels.
    ThemeDocument doc;
    theme(doc, 0, false);
    testenv::writeFile(testenv::programDir() + QStringLiteral("/tdywater.gif"), testenv::pngNoirGeant(12000, 12000));
    ASSERT_TRUE(GenereTsk(doc, paquet(), QStringLiteral("build"), QStringLiteral("build")));
    ASSERT_TRUE(QFile::rename(travail + QStringLiteral("/build.tsk"), fs(QStringLiteral("Temp/Geant.tsk"))));
    auto f = ouvre(false);
    clique(QStringLiteral("\\Temp\\Geant.tsk"));
    EXPECT_EQ(etat.CheminPDA, QStringLiteral("\\Temp\\Geant.tsk"));
    EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("LargTLbl"))->text().isEmpty());
    // The Start picture beside it still shows.
    EXPECT_FALSE(f->findChild<QLabel *>(QStringLiteral("Image2"))->pixmap().isNull());
    EXPECT_EQ(f->findChild<QLabel *>(QStringLiteral("LargDLbl"))->text(), QStringLiteral("30"));
}

TEST_F(ArbreCE, ImporterUnPaquetDeLAppareil)
{
    paquetSurAppareil(QStringLiteral("Storage Card/Themes/Ocean.tsk"), 0, false, OptionSetupPackage::Inf);
    ThemeDocument doc;
    CabinetPaquet cabinet;
    const QString lu = testenv::programDir() + QStringLiteral("/lu");
    QDir().mkpath(lu);
    const ContexteLecture ctx{lu, lu + QStringLiteral("/orvandelCoul.inf"), travail, prompts, cabinet, &pause, {}};

    surModale<TArbreCE>([this](TArbreCE *f) {
        f->ConstruireArbreBtnClick();
        vue = f->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        clique(QStringLiteral("\\Storage Card\\Themes\\Ocean.tsk"));
        f->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"))->click();
    });
    const auto infos = ImporteTskCE(etat, arbre, doc, ctx);
    ASSERT_TRUE(infos) << prompts.messages.join('|').toStdString();
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Ocean"));
    EXPECT_TRUE(doc.slot(3).inclus);
    EXPECT_EQ(doc.slot(3).couleur, TColor::fromRgb(0x12, 0x34, 0xAB));
    EXPECT_EQ(testenv::readFile(lu + QStringLiteral("/tdywater.gif")), gif(24, 32, qRgb(200, 0, 0)));

    // Quitting the browser: "No Tsk chosen !", and the theme stays.
    surModale<TArbreCE>([](TArbreCE *f) { f->findChild<QToolButton *>(QStringLiteral("ToolButton1"))->click(); });
    EXPECT_FALSE(ImporteTskCE(etat, arbre, doc, ctx));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("No Tsk chosen !")});
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Ocean"));
    // A path that is missing on the device, or that names no file, reads
    // nothing, and the user is told why.
    EXPECT_FALSE(LitTskPDA(etat, QStringLiteral("\\Temp\\absent.tsk"), doc, ctx));
    EXPECT_FALSE(LitTskPDA(etat, QStringLiteral("\\Temp\\.."), doc, ctx));
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_EQ(prompts.messages[1], QStringLiteral("\\Temp\\absent.tsk is not on the Pocket PC !"));
    EXPECT_EQ(prompts.messages[2],
              QStringLiteral("\"\\Temp\\..\" is no file name that can be copied from the Pocket PC !"));
    // A package the device holds but will not give (held open without
    // sharing by another program) is named as such.
    const CEHANDLE tenu = etat.Rapi.CeCreateFile(u"\\Storage Card\\Themes\\Ocean.tsk", OVD_GENERIC_READ, 0,
                                                 nullptr, OVD_OPEN_EXISTING, OVD_FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(tenu, OVD_INVALID_HANDLE);
    EXPECT_FALSE(LitTskPDA(etat, QStringLiteral("\\Storage Card\\Themes\\Ocean.tsk"), doc, ctx));
    EXPECT_TRUE(etat.Rapi.CeCloseHandle(tenu));
    EXPECT_EQ(prompts.messages.last(),
              QStringLiteral("Cannot copy \\Storage Card\\Themes\\Ocean.tsk from the Pocket PC !"));
    // A file that is no cabinet is copied, refused by the reader in its own
    // words, and the theme stays.
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/Casse.tsk")), "not a cabinet");
    const qsizetype avant = prompts.messages.size();
    EXPECT_FALSE(LitTskPDA(etat, QStringLiteral("\\Storage Card\\Themes\\Casse.tsk"), doc, ctx));
    EXPECT_EQ(prompts.messages.mid(avant), QStringList{QStringLiteral("Extracting Files Error (Cab error)")});
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Ocean"));
    EXPECT_FALSE(pause.isPaused());
}

TEST_F(ArbreCE, SansConnexionLArbreResteVide)
{
    etat.Rapi.DeconnecteCE();
    etat.PDAConnecte = false;
    auto f = ouvre(true);
    EXPECT_EQ(vue->topLevelItemCount(), 0);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Not connected ! Verify Connections.")});
    ThemeDocument doc;
    CabinetPaquet cabinet;
    const ContexteLecture ctx{testenv::programDir(), testenv::programDir() + QStringLiteral("/c.inf"), travail,
                              prompts, cabinet, &pause, {}};
    EXPECT_FALSE(LitTskPDA(etat, QStringLiteral("\\Windows\\Blue.tsk"), doc, ctx));
    EXPECT_EQ(prompts.messages.last(), QStringLiteral("Not connected !"));
    EXPECT_FALSE(ImporteTskCE(etat, arbre, doc, ctx)); // the command does nothing
    EXPECT_EQ(prompts.messages.size(), 2);
}

TEST_F(ArbreCE, UnAppareilNeufSeLitEtSeParcourtTelQuel)
{
    // The current theme of a new device opens, and its colours are the ones
    // the device shows: reading the registry and reading the package agree.
    ThemeDocument doc;
    CabinetPaquet cabinet;
    const QString lu = testenv::programDir() + QStringLiteral("/lu");
    QDir().mkpath(lu);
    const ContexteLecture ctx{lu, lu + QStringLiteral("/orvandelCoul.inf"), travail, prompts, cabinet, &pause, {}};
    ASSERT_TRUE(LitTskActuelPDA(etat, doc, ctx)) << prompts.messages.join('|').toStdString();
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Blue"));
    EXPECT_TRUE(doc.parametres().BaseHueDefini);
    EXPECT_EQ(doc.parametres().ValBaseHue, 0x1A0);
    TableSHColor table{};
    ASSERT_TRUE(LitSHColor(etat.Rapi, table, true));
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        if (JeuCouleurs::NumerosCouleurs[i] == 40) {
            EXPECT_FALSE(doc.slot(i).inclus); // the one colour the device lacks
            continue;
        }
        EXPECT_TRUE(doc.slot(i).inclus) << i;
        // The device's shell table holds R, G, B, 0 at the slot's number.
        const uint32_t v = table[size_t(JeuCouleurs::NumerosCouleurs[i])].value_or(0);
        EXPECT_EQ(doc.slot(i).couleur, TColor::fromRgb(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF)))
            << i;
    }
    EXPECT_TRUE(QFile::exists(lu + QStringLiteral("/tdywater.gif")));

    // The browser shows every package of the device, the skin with the
    // current-theme glyph; each one previews.
    arbre.glypheSkin = QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("tskact.png"))));
    auto f = ouvre(false);
    EXPECT_EQ(noeud(vue, QStringLiteral("\\Windows\\Blue.tsk"))->data(0, kRoleImageCE).toInt(), int(ImageSkinCE));
    EXPECT_EQ(noeud(vue, QStringLiteral("\\Windows\\Blue.tsk"))->icon(0).cacheKey(), arbre.glypheSkin.cacheKey());
    const auto texte = [&](const char *nom) { return f->findChild<QLabel *>(QLatin1String(nom))->text(); };
    clique(QStringLiteral("\\Storage Card\\Themes\\Green.tsk")); // setup XML only
    EXPECT_EQ(texte("LargTLbl"), QStringLiteral("240")); // the "Standard" format's Today picture
    EXPECT_EQ(texte("HautTLbl"), QStringLiteral("293"));
    clique(QStringLiteral("\\My Documents\\Sunset.tsk")); // Start only, portrait and landscape
    EXPECT_TRUE(texte("LargTLbl").isEmpty());
    EXPECT_EQ(texte("LargDLbl"), QStringLiteral("240"));
    EXPECT_EQ(texte("HautDLbl"), QStringLiteral("294"));
    EXPECT_TRUE(f->findChild<QLabel *>(QStringLiteral("LandDefLbl"))->isVisible());
    f->close();

    // Importing the XML-only package through the browser.
    surModale<TArbreCE>([this](TArbreCE *g) {
        g->ConstruireArbreBtnClick();
        vue = g->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        clique(QStringLiteral("\\Storage Card\\Themes\\Green.tsk"));
        g->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"))->click();
    });
    ASSERT_TRUE(ImporteTskCE(etat, arbre, doc, ctx));
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Green"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_F(ArbreCE, BarreDOutilsAuxCouleursDeLaFenetrePrincipale)
{
    ApparenceFenetre apparence;
    apparence.uniforme = false;
    apparence.derivees = {TColor::fromRgb(0x10, 0x20, 0x90), TColor::fromRgb(0xE0, 0xE8, 0xFF),
                          TColor::fromRgb(0x60, 0x70, 0xC0)};
    apparence.BmpDegrade = DessineDegrade(apparence.derivees.c0, 42, 48);
    arbre.apparence = &apparence;
    auto f = ouvre(true);
    f->resize(f->sizeHint());
    EXPECT_FALSE(f->windowIcon().isNull());
    auto *cool = f->findChild<QWidget *>(QStringLiteral("CoolBar1"));
    ASSERT_TRUE(cool);
    // The tile is behind the buttons: the bar's background is not plain.
    const QImage fond = cool->grab().toImage();
    EXPECT_NE(fond.pixel(fond.width() - 3, 3), fond.pixel(fond.width() - 3, fond.height() - 4));

    // The validate button: grey with the "not allowed" sign while nothing is
    // chosen, green once a folder is; hot, on the rounded background.
    auto *quitter = f->findChild<QToolButton *>(QStringLiteral("ToolButton1"));
    const QImage grise = valider->grab().toImage();
    clique(QStringLiteral("\\Storage Card"));
    ASSERT_TRUE(valider->isEnabled());
    const QImage verte = valider->grab().toImage();
    EXPECT_NE(grise, verte);
    const QRgb signe = grise.pixel(30 + 8, 28 + 2); // the sign's red ring
    EXPECT_GT(qRed(signe), 150);
    EXPECT_LT(qGreen(signe), 100);
    const QImage froid = quitter->grab().toImage();
    QStyleOptionToolButton opt;
    opt.initFrom(quitter);
    opt.state |= QStyle::State_MouseOver;
    opt.rect = quitter->rect();
    QImage chaud(quitter->size(), QImage::Format_ARGB32);
    chaud.fill(Qt::transparent);
    {
        QPainter p(&chaud);
        quitter->style()->drawComplexControl(QStyle::CC_ToolButton, &opt, &p, quitter);
    }
    // A corner stays clear (rounded), the middle of the edge is coloured.
    EXPECT_EQ(qAlpha(chaud.pixel(1, 1)), 0);
    EXPECT_GT(qAlpha(chaud.pixel(chaud.width() / 2, 2)), 0);
    EXPECT_NE(froid.pixel(chaud.width() / 2, 2), chaud.pixel(chaud.width() / 2, 2));
}

TEST_F(ArbreCE, LesNomsDeLAppareilSeMontrentTelsQuelsDansLesBulles)
{
    // Names that read like markup ("&lt;u&gt;" draws "<u>" when taken for
    // rich text, "&amp;" draws "&"): the hint shows their very characters.
    const QString paquet = QStringLiteral("&lt;u&gt;Under&amp;line.tsk");
    const QString dossier = QStringLiteral("&lt;b&gt;Gras &amp; co");
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/") + paquet), "x");
    ASSERT_TRUE(QDir().mkpath(fs(QStringLiteral("Storage Card/") + dossier)));
    auto f = ouvre(false);
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    f->findChild<QToolButton *>(QStringLiteral("ExpColTBtn"))->click(); // the whole tree shown
    for (const QString &chemin : {QStringLiteral("\\Storage Card\\Themes\\") + paquet,
                                  QStringLiteral("\\Storage Card\\") + dossier}) {
        SCOPED_TRACE(chemin.toStdString());
        QTreeWidgetItem *n = noeud(vue, chemin);
        ASSERT_TRUE(n);
        EXPECT_EQ(n->text(0), chemin.mid(chemin.lastIndexOf(QLatin1Char('\\')) + 1));
        vue->scrollToItem(n);
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
        QTest::mouseMove(vue->viewport(), vue->visualItemRect(n).center());
        ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
        const QString vu = texteAffiche(QToolTip::text());
        EXPECT_TRUE(vu.startsWith(QLatin1Char('\'') + chemin + QLatin1Char('\''))) << vu.toStdString();
        if (chemin.endsWith(QLatin1String(".tsk"))) {
            EXPECT_TRUE(vu.contains(QStringLiteral("\n\nDate of ")) && vu.contains(QStringLiteral("Size : 1 bytes")))
                << vu.toStdString();
        }
    }
    QToolTip::hideText();
}
