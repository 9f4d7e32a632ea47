#pragma once

// What the tests of the device windows share: a connected simulated device,
// packages built by the package writer from a small theme, and the driving
// of modal windows.

#include "device/arbre_ce.h"
#include "device/etat_pda.h"
#include "device/transfert_vers_ce.h"
#include "tests/support/devsim_support.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/scripted_prompts.h"
#include "theme/animation_pause.h"
#include "theme/images_package.h"
#include "theme/package_writer.h"
#include "theme/theme_document.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

namespace fenetrestest {

// A picture of the given size, a real GIF.
inline QByteArray gif(int l, int h, QRgb couleur)
{
    return gifecrit::ecrit(l, h, {couleur, qRgb(255, 255, 255)}, {gifecrit::uni(l, h, 0, 1, 1, 1, 2, 2, 0)});
}

// Runs action on the modal window of type T that the next exec() shows, once
// it is on screen; closes it if the action left it open.
// A window may take a moment to come (an opening animation runs its own
// loop first): it is looked for every 10 ms for five seconds.
template <class T>
void surModale(std::function<void(T *)> action, int essais = 500)
{
    QTimer::singleShot(essais == 500 ? 0 : 10, [action, essais] {
        auto *f = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!f) {
            if (essais > 0)
                surModale<T>(action, essais - 1);
            else
                ADD_FAILURE() << "no modal window";
            return;
        }
        action(f);
        if (f->isVisible()) {
            ADD_FAILURE() << "the modal window was left open";
            f->reject();
        }
    });
}

// A hint as the user reads it: the characters Qt draws for it (rich text
// turned back into its characters), line ends as "\n".
inline QString texteAffiche(const QString &bulle)
{
    QString t = bulle;
    if (Qt::mightBeRichText(bulle)) {
        QTextDocument d;
        d.setHtml(bulle);
        t = d.toPlainText();
    }
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QChar::LineSeparator, QLatin1Char('\n'));
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return t;
}

// The node of the device path in a built tree.
inline QTreeWidgetItem *noeud(QTreeWidget *arbre, const QString &chemin)
{
    QTreeWidgetItem *n = arbre->topLevelItem(0);
    for (const QString &partie : chemin.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        QTreeWidgetItem *suivant = nullptr;
        for (int i = 0; n && i < n->childCount(); ++i)
            if (n->child(i)->text(0) == partie)
                suivant = n->child(i);
        n = suivant;
    }
    return n;
}

// Answers the send window that the next exec() shows: the device folder
// chosen in its browser, the name typed in "Theme Name on CE", then the
// transfer started.
inline void envoieDansDossier(const QString &dossier, const QString &nom)
{
    surModale<TTransfertVersCE>([dossier, nom](TTransfertVersCE *t) {
        surModale<TArbreCE>([dossier](TArbreCE *a) {
            a->ConstruireArbreBtnClick();
            auto *vue = a->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
            QTreeWidgetItem *n = noeud(vue, dossier);
            ASSERT_TRUE(n) << dossier.toStdString();
            QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(n).center());
            a->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"))->click();
        });
        t->findChild<QPushButton *>(QStringLiteral("DossierCEBtn"))->click();
        auto *champ = t->findChild<QLineEdit *>(QStringLiteral("ThemeNomEdt"));
        champ->clear();
        QTest::keyClicks(champ, nom);
        t->findChild<QPushButton *>(QStringLiteral("TranfertBtn"))->click();
    });
}

class AppareilConnecte : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = devsimtest::nouvelAppareil(c);
        ASSERT_EQ(c.OvdSimPlug(dir.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
        etat.RapiPresent = etat.Rapi.LoadRapi();
        ASSERT_TRUE(etat.Rapi.ConnecteCE(5000));
        etat.PDAConnecte = true;
        travail = testenv::tempDir() + QStringLiteral("/ThemeTmp");
        QDir().mkpath(travail);
        arbre = ContexteArbreCE{&prompts, &pause, travail, {}};
    }
    void TearDown() override
    {
        EXPECT_FALSE(pause.isPaused());
        EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
        // A test that let the program think it was disconnected leaves the
        // session to close here, so the next device can be attached.
        if (c.OvdSimSessionCount() > 0)
            etat.Rapi.DeconnecteCE();
        // No package, copy or extracted member is left in the work folder
        // (the package writer keeps the setup document a package leaves out).
        EXPECT_EQ(QDir(travail).entryList({"*.tsk", "*.gif", "apercu*", "tempTsk"},
                                          QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList());
    }
    QString fs(const QString &rel) const { return QString::fromLocal8Bit(dir) + QStringLiteral("/fs/") + rel; }

    // A small theme whose working pictures are in the program folder.
    void theme(ThemeDocument &doc, int format, bool startSeul)
    {
        doc.setNomTheme(QStringLiteral("Essai"));
        doc.setFormatTheme(format);
        doc.setInclus(3, true);
        doc.setCouleur(3, TColor::fromRgb(0x12, 0x34, 0xAB));
        ParametresWM5 p = doc.parametres();
        p.UseStartImageDefini = startSeul;
        p.ValUseStartImage = startSeul ? 1 : 0;
        doc.setParametres(p);
        for (const ImagePackage &im : ImagesPackage(format, startSeul))
            testenv::writeFile(testenv::programDir() + QLatin1Char('/') + im.nomImage,
                               im.today ? gif(24, 32, qRgb(200, 0, 0)) : gif(30, 40, qRgb(0, 0, 200)));
    }
    ContextePackage paquet(OptionSetupPackage option = OptionSetupPackage::Inf)
    {
        ContextePackage p;
        p.prompts = &prompts;
        p.pause = &pause;
        p.dossierAppli = testenv::programDir();
        p.dossierTravail = travail;
        p.option = option;
        return p;
    }
    // Builds a package of a small theme and puts it on the device.
    void paquetSurAppareil(const QString &rel, int format, bool startSeul, OptionSetupPackage option)
    {
        ThemeDocument doc;
        theme(doc, format, startSeul);
        ASSERT_TRUE(GenereTsk(doc, paquet(option), QStringLiteral("build"), QStringLiteral("build")));
        QFile::remove(fs(rel));
        ASSERT_TRUE(QFile::rename(travail + QStringLiteral("/build.tsk"), fs(rel)));
    }

    devsimtest::Controle c;
    QByteArray dir;
    EtatPDA etat{devsimtest::cheminSimulateur()};
    ScriptedPrompts prompts;
    AnimationPause pause;
    QString travail;
    ContexteArbreCE arbre;
};

} // namespace fenetrestest
