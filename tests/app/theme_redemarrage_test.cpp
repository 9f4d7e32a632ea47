// The theme being edited survives a restart: everything set through the
// window's own controls (name, ticked slots and their colours, colour 34,
// UseStartImage, BaseHue, DPI, a theme key) is there again after a plain
// close and a new start, and the working file written by Create alone holds
// it too (a start after a crash that followed Create).

#include "tests/support/fenetre_principale.h"

#include "app/panneau_couleur.h"
#include "theme/fichier_couleurs.h"
#include "tools/td_theme_cles.h"
#include "tools/hue_calc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
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
    return e;
}

// Sets the whole theme through the controls a user would use.
void editeTheme(Fenetre &f)
{
    QLineEdit *nom = f.trouve<QLineEdit>("ThemeEdit");
    nom->setFocus();
    nom->selectAll();
    QTest::keyClicks(nom, QStringLiteral("Soir"));
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
