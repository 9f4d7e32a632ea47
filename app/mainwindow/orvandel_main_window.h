#pragma once

#include "app/app_context.h"

#include <QMainWindow>

#include <array>

struct ResultatChargeCouleurs;
class PanneauCouleur;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;

// The main window. Its constructor is the program's window creation
// (FormCreate), its close the shut-down (FormCloseQuery). It owns the run's
// AppContext; each concern lives in its own file (main_window_*.cpp).
class TOrvandel : public QMainWindow
{
    Q_OBJECT
public:
    // dossiers: the program folder, the working colour file and the work
    // folders made by the start-up; prompts: every modal interaction.
    TOrvandel(const DossiersProgramme &dossiers, Prompts *prompts, QWidget *parent = nullptr);
    ~TOrvandel() override;

    AppContext &contexte() { return m_ctx; }

    // The area of the options page where the theme-format controls go (the
    // options button OptionsBtn and the format labels). Empty until they are built.
    QWidget *zoneOptionsFormat() const { return m_zoneOptionsFormat; }

public slots:
    void SauveCoulTbtnClick();
    void ChargeCoulBtnClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Construction, one file per concern.
    void construitFenetre();
    QWidget *construitPageOptions();
    QWidget *construitPageCouleurs();
    void lieDocument();
    void afficheSlot(int i);
    void afficheNoms();
    void PanelClick(int i);
    // The colour set has been loaded: report a failure, redraw what shows it.
    void apresChargeCouleurs(const ResultatChargeCouleurs &r);

    void FormCreate();
    void FormCloseQuery();

    // Start-up and shut-down steps whose owners are not built yet. Each does
    // nothing until its owner fills it (main_window_crochets.cpp).
    void crochetApparence();          // window look, cool bar, background
    void crochetLieSkin();            // bind the skin choice after the options
    void crochetAppliqueBulles();     // hints and hint sounds from the options
    void crochetAffDossier();         // the save folder's text
    void crochetInitBulles();         // captions and hints of the other pages
    void crochetMajEtatCreation();    // create-light and tick pictures
    void crochetAccepteFichiers();    // dropped files
    void crochetImages();             // image lists, glyphs, button pictures, preview images
    void crochetLienAppareil();       // device watcher, or the "Missing" state
    void crochetDialoguesEtAide();    // package-open dialog folders, help file
    void crochetBarreEtat();          // picture and theme format in the status bar
    void crochetAffImage();           // thumbnails and device-screen preview
    void crochetTempsLibre();         // the idle handler
    void crochetDemarreAnimation();   // the dots animation, started last
    void crochetArreteAnimation();    // stopped first at shut-down
    void crochetFermeAide();          // the help viewer
    void crochetLibereAppareil();     // device watcher, connection, library

    AppContext m_ctx;
    bool m_fermee = false;

    QTabWidget *m_pages = nullptr;
    QToolButton *m_sauveCoul = nullptr;
    QToolButton *m_chargeCoul = nullptr;
    QLineEdit *m_themeEdit = nullptr;
    QLineEdit *m_themeAppEdt = nullptr;
    QCheckBox *m_effacer = nullptr;
    QWidget *m_zoneOptionsFormat = nullptr;
    std::array<PanneauCouleur *, JeuCouleurs::NbCouleurs> m_panneaux{};
    std::array<QCheckBox *, JeuCouleurs::NbCouleurs> m_inclus{};
    std::array<QLabel *, JeuCouleurs::NbCouleurs> m_libelles{};
};
