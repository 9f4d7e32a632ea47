// The program entry.
//
// Environment:
//   ORVANDEL_PROGRAM_DIR  the program folder (options file, working colour file,
//                         working pictures); default: the executable's folder
//                         when writable, else the per-user data folder.
//   ORVANDEL_BATCH=1      no modal dialog: messages go to standard error and
//                         every question or dialog is cancelled (tests).
//   TMPDIR                where the private work folder orvandel-<uid> lives.
//   ORVANDEL_RAPI         the device library (default: the simulator beside
//                         the executable); without it the state reads "Missing".
#include "app/console_prompts.h"
#include "app/identite_application.h"
#include "ui/dossiers_programme.h"
#include "app/orvandel_main_window.h"
#include "ui/polices.h"
#include "app/qt_prompts.h"
#include "resources/ressources.h"
#include "tools/open_picture_dialog_gdi.h"
#include "tools/open_picture_dialog_gdi_tsk.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    initialiseRessources();
    IdentiteApplication();
    EnregistrePolices();

    QtPrompts *promptsQt = nullptr;
    std::unique_ptr<Prompts> prompts;
    if (qEnvironmentVariableIntValue("ORVANDEL_BATCH") == 1) {
        prompts = std::make_unique<ConsolePrompts>();
    } else {
        auto p = std::make_unique<QtPrompts>();
        p->setPictureDialog(OuvreImageAvecApercu);
        promptsQt = p.get();
        prompts = std::move(p);
    }

    // Single instance (per program folder and per work folder) and work
    // folder, before any window.
    DossiersProgramme dossiers;
    dossiers.DossierAppli = DossierAppliPour(QCoreApplication::applicationDirPath());
    dossiers.FichierCouleurs = FichierCouleursPour(dossiers.DossierAppli, QCoreApplication::applicationFilePath());
    const Demarrage demarrage = InitialisationUnite(dossiers, *prompts);
    if (demarrage.codeSortie != 0)
        return demarrage.codeSortie;

    // The read command's dialog previews packages in scratch folders under the work folder.
    if (promptsQt) {
        const QString travail = dossiers.DossierThemeTmp;
        promptsQt->setPackageDialog([travail, promptsQt](QWidget *parent, const Prompts::FileDialog &options) {
            return OuvrePaquetAvecApercu(parent, options, travail, promptsQt);
        });
    }

    // The window's creation binds the device library (RapiPresent) and, when
    // it is there, starts watching the connection.
    TOrvandel fenetre(dossiers, prompts.get());
    // The first argument is opened as a package when the window first shows.
    fenetre.setLigneCommande(QCoreApplication::arguments().mid(1));
    if (promptsQt)
        promptsQt->setParent(&fenetre);
    fenetre.show();
    return app.exec();
}
