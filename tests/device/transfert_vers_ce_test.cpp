// The send-to-device window against the simulated device: the folder chosen
// in the device browser, the package built and copied, overwriting, failures.
#include "device/transfert_vers_ce.h"
#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/cab_fabrique.h"
#include "theme/controle_noms.h"
#include "device/fonctions_rapi_fichiers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace fenetrestest;

namespace {

class TransfertCE : public AppareilConnecte
{
protected:
    void SetUp() override
    {
        AppareilConnecte::SetUp();
        theme(doc, 0, false);
        fenetre = std::make_unique<TTransfertVersCE>(etat, doc, arbre, paquet());
        fenetre->show();
        edit = [this](const char *nom) { return fenetre->findChild<QLineEdit *>(QLatin1String(nom)); };
        transfert = fenetre->findChild<QPushButton *>(QStringLiteral("TranfertBtn"));
    }
    // Chooses a device folder through the browser (empty: quit it).
    void choisit(const QString &dossier)
    {
        surModale<TArbreCE>([dossier](TArbreCE *f) {
            f->ConstruireArbreBtnClick();
            auto *vue = f->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
            if (dossier.isEmpty()) {
                f->close();
                return;
            }
            QTreeWidgetItem *n = noeud(vue, dossier);
            ASSERT_TRUE(n);
            QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(n).center());
            f->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"))->click();
        });
        fenetre->findChild<QPushButton *>(QStringLiteral("DossierCEBtn"))->click();
    }

    ThemeDocument doc;
    std::unique_ptr<TTransfertVersCE> fenetre;
    std::function<QLineEdit *(const char *)> edit;
    QPushButton *transfert = nullptr;
};

} // namespace

TEST_F(TransfertCE, LePaquetArriveDansLeDossierChoisi)
{
    EXPECT_EQ(fenetre->windowTitle(), QStringLiteral("File TSK transfer to CE"));
    EXPECT_FALSE(transfert->isEnabled());
    choisit(QStringLiteral("\\Storage Card"));
    EXPECT_EQ(edit("DirEdt")->text(), QStringLiteral("\\Storage Card"));
    EXPECT_FALSE(transfert->isEnabled()); // no name yet
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    EXPECT_EQ(edit("NomCompletEdt")->text(), QStringLiteral("\\Storage Card\\Blue.tsk"));
    ASSERT_TRUE(transfert->isEnabled());
    QTest::keyClick(edit("ThemeNomEdt"), Qt::Key_Return);
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(prompts.questions.isEmpty());

    // An independent reader finds the package's members in the device file.
    bool ok = false;
    const auto liste = cabtest::listeCabextract(fs(QStringLiteral("Storage Card/Blue.tsk")), &ok);
    ASSERT_TRUE(ok);
    // The setup file, then the Today and Start pictures, paired by extension.
    QStringList extensions;
    for (const auto &l : liste)
        extensions << l.nom.right(4);
    extensions.sort();
    EXPECT_EQ(extensions, (QStringList{".000", ".001", ".002"}));
    const QString extrait = testenv::tempDir() + QStringLiteral("/extrait");
    ASSERT_EQ(cabtest::extraitCabextract(fs(QStringLiteral("Storage Card/Blue.tsk")), extrait), 0);
    int images = 0;
    for (const QString &f : cabtest::arborescence(extrait)) {
        const QByteArray octets = testenv::readFile(extrait + QLatin1Char('/') + f);
        if (f.endsWith(QLatin1String(".001"))) {
            EXPECT_EQ(octets, gif(24, 32, qRgb(200, 0, 0)));
            ++images;
        } else if (f.endsWith(QLatin1String(".002"))) {
            EXPECT_EQ(octets, gif(30, 40, qRgb(0, 0, 200)));
            ++images;
        }
    }
    EXPECT_EQ(images, 2);
}

TEST_F(TransfertCE, RacineNomInterneEtNomsRefuses)
{
    choisit(QStringLiteral("\\"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    EXPECT_EQ(edit("NomCompletEdt")->text(), QStringLiteral("\\Blue.tsk"));
    // Names that would leave the work folder or name no device file.
    for (const QString &nom : {QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("x.")}) {
        edit("ThemeNomEdt")->setText(nom);
        EXPECT_FALSE(transfert->isEnabled()) << nom.toStdString();
    }
    edit("ThemeNomEdt")->setText(QStringLiteral("Blue"));
    edit("AppNameEdt")->setText(QStringLiteral("Interne"));
    transfert->click();
    EXPECT_TRUE(QFile::exists(fs(QStringLiteral("Blue.tsk"))));
    EXPECT_TRUE(cabtest::listeCabextract(fs(QStringLiteral("Blue.tsk"))).size() == 3);
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + QStringLiteral("/x")));
}

TEST_F(TransfertCE, RemplacerSeulementSurAccordEtJamaisParUnEchec)
{
    testenv::writeFile(fs(QStringLiteral("Temp/Blue.tsk")), "original");
    choisit(QStringLiteral("\\Temp"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    prompts.answer(Prompts::Answer::No);
    transfert->click();
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("Overwrite original file (or existing) ?")});
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/Blue.tsk"))), QByteArray("original"));

    // A theme whose pictures are missing cannot be built: the device file stays.
    QFile::remove(testenv::programDir() + QStringLiteral("/tdywater.gif"));
    fenetre->show();
    choisit(QStringLiteral("\\Temp"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    prompts.answer(Prompts::Answer::Yes);
    transfert->click();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.messages.last(), QStringLiteral("Transfer Error"));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/Blue.tsk"))), QByteArray("original"));

    // Yes with a complete theme replaces it.
    theme(doc, 0, false);
    fenetre->show();
    choisit(QStringLiteral("\\Temp"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    prompts.answer(Prompts::Answer::Yes);
    transfert->click();
    EXPECT_EQ(cabtest::listeCabextract(fs(QStringLiteral("Temp/Blue.tsk"))).size(), 3u);
}

TEST_F(TransfertCE, CopieEnEchecEtNavigateurAbandonne)
{
    // A device too full for the package: "Transfer Error", no partial file.
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Faults", "WriteFailsAfter", "100"), 0);
    etat.Rapi.DeconnecteCE();
    ASSERT_TRUE(etat.Rapi.ConnecteCE(5000));
    choisit(QStringLiteral("\\My Documents"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    transfert->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Transfer Error")});
    EXPECT_FALSE(QFile::exists(fs(QStringLiteral("My Documents/Blue.tsk"))));

    // Quitting the browser clears the name and keeps the transfer off.
    fenetre->show();
    choisit(QStringLiteral("\\Temp"));
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    ASSERT_TRUE(transfert->isEnabled());
    choisit(QString());
    EXPECT_TRUE(edit("DirEdt")->text().isEmpty());
    EXPECT_TRUE(edit("ThemeNomEdt")->text().isEmpty());
    EXPECT_TRUE(edit("NomCompletEdt")->text().isEmpty());
    EXPECT_FALSE(transfert->isEnabled());
    QTest::keyClicks(edit("ThemeNomEdt"), QStringLiteral("Blue"));
    EXPECT_FALSE(transfert->isEnabled());
}

TEST_F(TransfertCE, SansConnexionNiBibliotheque)
{
    etat.PDAConnecte = false;
    fenetre->findChild<QPushButton *>(QStringLiteral("DossierCEBtn"))->click();
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Not connected")});
    EXPECT_EQ(OuvreTransfertVersCE(etat, doc, arbre, paquet()), int(QDialog::Rejected));
    EXPECT_EQ(prompts.messages.size(), 2);

    EtatPDA sans(testenv::tempDir() + QStringLiteral("/absente.so"));
    sans.demarre();
    EXPECT_FALSE(sans.RapiPresent);
    EXPECT_EQ(OuvreTransfertVersCE(sans, doc, arbre, paquet()), int(QDialog::Rejected));
    EXPECT_EQ(prompts.messages.last(), QStringLiteral("Not connected"));
}

TEST_F(TransfertCE, LaRaisonDuTransfertRefuseEstAffichee)
{
    auto *raison = fenetre->findChild<QLabel *>(QStringLiteral("RaisonLbl"));
    ASSERT_TRUE(raison);
    const QRect place = raison->geometry();
    EXPECT_EQ(raison->text(), QStringLiteral("1) Choose the folder on the Pocket PC."));
    choisit(QStringLiteral("\\Storage Card"));
    EXPECT_EQ(raison->text(), QStringLiteral("2) Give the Theme a name."));
    // Each refused name says why, as the name check words it.
    edit("ThemeNomEdt")->setText(QStringLiteral("a/b"));
    EXPECT_FALSE(transfert->isEnabled());
    EXPECT_EQ(raison->text(), QStringLiteral("Theme Name : ") + ControleNoms::nomTheme(QStringLiteral("a/b")));
    EXPECT_FALSE(ControleNoms::nomTheme(QStringLiteral("a/b")).isEmpty());
    edit("ThemeNomEdt")->setText(QStringLiteral("Blue"));
    edit("AppNameEdt")->setText(QStringLiteral("Int\terne"));
    EXPECT_FALSE(transfert->isEnabled());
    EXPECT_EQ(raison->text(), QStringLiteral("Internal name : The internal name cannot contain a control character."));
    edit("AppNameEdt")->setText(QStringLiteral("Interne"));
    EXPECT_TRUE(transfert->isEnabled());
    EXPECT_TRUE(raison->text().isEmpty());
    // The reason's room stays: nothing below it moves.
    EXPECT_EQ(raison->geometry(), place);
    EXPECT_FALSE(fenetre->windowIcon().isNull());
}

// A theme name in another script: with the CE setup file in the package the
// window says which character, by its code point, and that "+ Xml" holds any
// name; with "+ Xml" the package reaches the device under the exact name.
TEST_F(TransfertCE, UnNomDeToutEcritPartDansLePaquetXml)
{
    const QString nom = QStringLiteral("Тема Зима");
    auto *raison = fenetre->findChild<QLabel *>(QStringLiteral("RaisonLbl"));
    const QRect place = raison->geometry();
    choisit(QStringLiteral("\\Storage Card"));
    edit("ThemeNomEdt")->setText(nom);
    EXPECT_FALSE(transfert->isEnabled());
    EXPECT_TRUE(raison->text().startsWith(
        QStringLiteral("Theme Name : The theme name cannot contain the character \"Т\" (U+0422)")))
        << raison->text().toStdString();
    EXPECT_TRUE(raison->text().contains(QStringLiteral("The \"+ Xml\" package holds any name")));
    EXPECT_EQ(raison->geometry(), place);
    fenetre->close();

    fenetre = std::make_unique<TTransfertVersCE>(etat, doc, arbre, paquet(OptionSetupPackage::Xml));
    fenetre->show();
    transfert = fenetre->findChild<QPushButton *>(QStringLiteral("TranfertBtn"));
    choisit(QStringLiteral("\\Storage Card"));
    edit("ThemeNomEdt")->setText(nom);
    ASSERT_TRUE(transfert->isEnabled());
    transfert->click();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(ExisteFichierCE(etat.Rapi, QStringLiteral("\\Storage Card\\") + nom + QStringLiteral(".tsk")));
    QStringList noms;
    for (const auto &l : cabtest::listeCabextract(fs(QStringLiteral("Storage Card/") + nom + QStringLiteral(".tsk"))))
        noms << l.nom;
    EXPECT_EQ(noms, (QStringList{"_setup.xml", "tdywater.001", "0stwater.002"}));
}
