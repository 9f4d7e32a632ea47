#pragma once

// Drives the real main window in a test: the start-up's work folder, the
// program folder of the test, scripted answers, and a helper that answers a
// modal window from inside its exec().

#include "ui/dossiers_programme.h"
#include "app/orvandel_main_window.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QLockFile>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace fenetretest {

struct Fenetre
{
    ScriptedPrompts prompts;
    DossiersProgramme dossiers;
    Demarrage demarrage;
    std::unique_ptr<TOrvandel> w;
    // Compare the working pictures' sizes with the format at the first idle
    // pass and after a package read (off unless a test is about it).
    bool controleTailles = false;

    Fenetre() { demarre(); }

    // The start-up before the window (again after a close: the work folder
    // is made anew and the single-instance lock taken again).
    void demarre()
    {
        demarrage = {};
        dossiers = {};
        dossiers.DossierAppli = testenv::programDir() + QLatin1Char('/');
        demarrage = InitialisationUnite(dossiers, prompts);
        EXPECT_EQ(demarrage.codeSortie, 0);
        dossiers.FichierCouleurs = FichierCouleursPour(dossiers.DossierAppli, QStringLiteral("/opt/orvandel"));
    }
    TOrvandel &ouvre(const QStringList &ligneCommande = {})
    {
        w = std::make_unique<TOrvandel>(dossiers, &prompts);
        w->setControleTailles(controleTailles);
        w->setLigneCommande(ligneCommande);
        w->show();
        return *w;
    }
    // Closes the window (the shut-down) and frees it.
    void ferme()
    {
        if (w)
            w->close();
        w.reset();
    }
    template<typename T>
    T *trouve(const QString &nom)
    {
        return w->findChild<T *>(nom);
    }
};

// Runs `action` on the modal window that the next exec() shows.
inline void surFenetreModale(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget *f = QApplication::activeModalWidget();
        if (!f) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        action(f);
        // Never leave a test hanging in exec().
        if (auto *d = qobject_cast<QDialog *>(f); d && d->isVisible()) {
            ADD_FAILURE() << "the modal window was left open";
            d->reject();
        }
    });
}

} // namespace fenetretest
