#pragma once

#include "ui/app_context.h"
#include "app/etat_commandes.h"
#include "tools/texte_sur_image.h"

#include <QMainWindow>

#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

struct InfosLecture;
struct LectureCE;
struct ResultatChargeCouleurs;
class EtatPDA;
class LecteurCabinet;
class AideHtml;
struct ContexteArbreCE;
struct ContexteLecture;
struct ContextePackage;
class Miniatures;
class PanneauCouleur;
class VueApercuEcran;
class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class TAnimeThread;
class TBtnAnimeThread;
class TDccMan;
class TMemoInf;
class TOptionsForm;
class FiltreBulles;
class StyleOnglets;

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

    // The program's arguments (without the program itself): the first one is
    // opened as a package when the window is first shown.
    void setLigneCommande(const QStringList &arguments) { m_ligneCommande = arguments; }

    // The device link (library, watcher, connection); null before FormCreate.
    const EtatPDA *etatPDA() const { return m_pda.get(); }
    // The dots animation of the colours page (null before the end of the
    // creation and after the close) and the connection icon's animation
    // (null while no device is connected).
    TAnimeThread *animationPoints() const { return m_animePoints.get(); }
    const TBtnAnimeThread *animationBouton() const { return m_animeBouton.get(); }
    // The INF window and the size options window, made when first needed
    // (the INF window only with prompts: null without).
    TMemoInf *memoInf();
    TOptionsForm *optionsForm();
    // The device-screen preview and the thumbnails of the working pictures.
    VueApercuEcran *apercu() const { return m_apercu; }
    Miniatures *miniatures() const { return m_miniatures; }

    // The connection state text of the state label for a watcher status and
    // status text ("Missing" for -1).
    static QString TexteEtatAS(int status, const QString &texte);
    // The state icon (a tile of the state strip) for a watcher status; the
    // statuses that have none keep the current one.
    static int IconeEtatPour(int status, int icone);
    int iconeEtatAS() const { return m_iconeEtatAS; }

    // The measured sizes of "tdywater.gif" and "stwater.gif" (-1 when missing).
    const TaillesImagesMesurees &taillesImages() const { return m_taillesImg; }
    // The first idle pass after the window is shown compares the pictures'
    // sizes with the format; so does every package read after it. On by
    // default; tests of other concerns turn it off.
    void setControleTailles(bool actif) { m_controleTailles = actif; }
    bool verifFormatEnAttente() const { return m_verifFormatEnAttente; }

    // The help viewer (the built-in help pages from the start); without one
    // every help request does nothing.
    void setAide(std::unique_ptr<AideHtml> aide);
    AideHtml *aide() const { return m_aide.get(); }
    void AfficheAideContexte(int id);

    // Shows the save folder path shortened to fit DossierEdit; its hint
    // becomes the full path.
    QString AffDossier(const QString &chemin);
    // Opens a package that lies on the device (copied to the work folder,
    // read, the copy removed).
    void LitTskPDA(const QString &cheminPDA);
    void MajEtatCreation();
    // The create command's hint: the package it writes (save folder, theme
    // name).
    void MajBulleCreer();
    void MajBoutonsAS();

    // Hints and hint sounds (HintSP, SonSP pressed: off), kept in the options.
    void AppliqueBulles();
    // The hint event: the "TOE" sound unless one played in the last 500 ms.
    void JoueSonClic();
    bool bullesVisibles() const;
    // Whether entering a control with a hint plays the hint sound now.
    bool sonDesBulles() const;
    // The window's own menu (about, site, version, language, quit), opened
    // from the program's icon on the tool bar and the tool bar's context menu.
    QMenu *menuSysteme() const { return m_menuSysteme; }
    enum CommandeSysteme { CommandeAPropos = 1000, CommandeVersion = 1001, CommandeLangue = 1002, CommandeSite = 1003 };
    void WMSysCommand(int commande);

    // The hint of a page tab by its index.
    static QString BulleOnglet(int index);
    int dernierOngletSurvole() const { return m_dernierOngletSurvole; }
    // The setup-text page's tab is shown (after a read with a setup text).
    bool ongletInfVisible() const;
    // Tests fix the sound's clock (milliseconds).
    void setHorlogeSons(std::function<qint64()> horloge) { m_horlogeSons = std::move(horloge); }

public slots:
    void SauveCoulTbtnClick();
    void ChargeCoulBtnClick();
    void OptionsBtnClick();
    void OptionsTabSShow();
    void GenereBtnClick();
    void SauveInfBtnClick();
    void LireFichierBtnClick();
    void InfSBtnClick();
    void CTBtnClick();
    // Opens a package as the theme being edited (read command, command line,
    // dropped file).
    void LitTsk(const QString &fichier);
    // A picture tool has saved a working picture: decode the pictures again,
    // redraw the preview and the thumbnails, measure them for the status bar.
    void imagesEnregistrees();
    // The idle pass: the working pictures present and what they allow.
    void TempsLibre();
    void RepBtnClick();
    void InfosSBtnClick();
    void SelDeSelALLClick(bool tous);
    void USIcbClick();
    void WinVerTBtnClick();
    void TskActSBtnClick();
    void LireTskCETBtnClick();
    void TransfertTskTBtnClick();
    void ImagesBtnClick();
    void WM5BtnClick();
    void TailleTskBtnClick();
    void PreviewSBtnClick();
    void AddTextSBtnClick();
    void BlancTBtnClick();
    void AproposBtnClick();
    // The window's look: a form colour panel clicked (the colour dialog, or
    // the dropper's colour while it is down), the gradient direction, the
    // colour swap, the uniform look, the device skin.
    void CoulFormPnlClick(PanneauCouleur *panneau);
    void GradientRGClick();
    void InvCoulCBClick();
    void FicheUnieCBClick();
    void SkinRGClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Construction, one file per concern.
    void construitFenetre();
    QWidget *construitPageOptions();
    QWidget *construitPageCouleurs();
    void construitCommandes(QToolBar *barre);
    QWidget *construitEtatAppareil(QWidget *parent);
    QWidget *construitOptionsPaquet(QWidget *parent);
    QWidget *construitApparence(QWidget *parent);
    void afficheApparence();
    void construitEtiquettesRelief();
    // The embossed format labels: red while the create command is disabled.
    void MajEtiquettesRelief();
    void construitZoneFormat();
    QWidget *construitApercu(QWidget *parent);
    void construitBarreEtat();
    QWidget *construitPageImages();
    QWidget *construitPageWM5();
    QWidget *construitPageAppareil();
    QWidget *construitDossierTsk(QWidget *parent);
    void construitCommandesAppareil(QToolBar *barre);
    void construitCommandesOutils(QToolBar *barre);
    ContexteLecture contexteLecture(LecteurCabinet &cabinet);
    ContextePackage contextePaquet();
    ContexteArbreCE contexteArbre();
    void VerifFichiersImages();
    void verifieTaillesImages();
    void afficheUseStartImage();
    void AffEtatAS();
    void CBPanelCoulClick(int i);
    bool ThemeEditKeyPress(QKeyEvent *touche);
    void ThemeEditChange();
    void ThemeAppEdtChange();
    // A name that no package of the chosen option can hold is shown in red,
    // the reason in its hint: after each change of a name, of the option or of
    // the theme's own keys.
    void MajMarquesNoms();
    void installeAideContexte();
    bool filtreAide(QObject *objet, QEvent *e);
    // A thumbnail was clicked: the picture at full size.
    void PreviewClick(int emplacement);
    // A press on the Today screen or the Start menu over it: with the left
    // button while the dropper is down it picks the colour, otherwise it
    // shows their help; a press on the Today screen closes the menu.
    bool pipetteSurApercu(QPointF position, bool gauche);
    void afficheOptionsPaquet();
    void lieDocument();
    void afficheSlot(int i);
    void afficheNoms();
    void PanelClick(int i);
    bool eventFilter(QObject *objet, QEvent *e) override;
    void InitMenuSys(QToolBar *barre);
    QWidget *construitBulles(QWidget *parent);
    QWidget *construitRaccourcis(QWidget *parent);
    // The pictures shortcut: the pictures page.
    void ImgMultiClick();
    QWidget *construitPageInf();
    void construitOnglets();
    // The tabs take the window's colours again.
    void MajOnglets();
    // Image12 and the theme-parameters tab follow the WM5 indicator.
    void MajMarqueurWM5();
    bool PageControl1MouseMove(QObject *objet, QEvent *e);
    // The setup-text page after a read (null: the read failed).
    void afficheLectureInf(const InfosLecture *infos);
    void HintSPClick();
    // The colour set has been loaded: report a failure, redraw what shows it.
    void apresChargeCouleurs(const ResultatChargeCouleurs &r);
    // A package has been read: the INF window, the format, the redraws.
    void apresLecture(const std::optional<InfosLecture> &infos, int formatAvant);
    // The same after a read from the device, when the reader ran.
    void apresLectureCE(const LectureCE &lecture, int formatAvant);
    // The format, the pictures or the thumbnails changed: status texts, preview.
    void apresChangementImages();
    void FormShow();
    // The connection watcher's change event.
    void ChangeActif(TDccMan *sender);
    // A device just connected: a live preview of the hue calculator that the
    // program never put back is offered back (tools/restauration_pda), by the
    // idle pass once no other window waits for an answer.
    void ProposeRestaurationAppareil();
    void afficheEtatAS(const QString &texte);

    void FormCreate();
    // False when the user keeps the program open (the theme could not be
    // kept for the next start and the user cancelled the close).
    bool FormCloseQuery();
    // Writes the working colour file for the next start; when it cannot be
    // written, asks whether to close anyway. False: the close is cancelled.
    bool gardeThemePourDemarrage();

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
    void crochetDialoguesEtAide();    // the help viewer
    void crochetBarreEtat();          // picture and theme format in the status bar
    void crochetAffImage();           // thumbnails and device-screen preview
    void crochetTempsLibre();         // the idle handler
    void crochetDemarreAnimation();   // the dots animation, started last
    void crochetArreteAnimation();    // stopped first at shut-down
    void crochetFermeAide();          // the help viewer
    void crochetLibereAppareil();     // device watcher, connection, library

    AppContext m_ctx;
    bool m_fermee = false;
    bool m_montree = false;      // FormShow has run
    bool m_dansFormShow = false;
    QStringList m_ligneCommande;

    QTabWidget *m_pages = nullptr;
    QToolButton *m_sauveCoul = nullptr;
    QToolButton *m_chargeCoul = nullptr;
    QLineEdit *m_themeEdit = nullptr;
    QLineEdit *m_themeAppEdt = nullptr;
    QCheckBox *m_effacer = nullptr;
    QWidget *m_zoneOptionsFormat = nullptr;
    QWidget *m_pageOptions = nullptr;
    QWidget *m_pageCouleurs = nullptr;
    QPushButton *m_optionsBtn = nullptr;
    QLabel *m_fmtActuelLbl = nullptr;
    QLabel *m_actualFmtLbl = nullptr;
    QButtonGroup *m_tskInfXml = nullptr;
    QToolButton *m_lireTsk = nullptr;
    QToolButton *m_creer = nullptr;
    QToolButton *m_sauveInf = nullptr;
    QToolButton *m_infS = nullptr;
    QPushButton *m_ctBtn = nullptr;
    PanneauCouleur *m_pipette = nullptr; // Panel26, the dropper colour
    QToolButton *m_pipetteSBtn = nullptr; // the dropper, a latching button
    VueApercuEcran *m_apercu = nullptr;
    Miniatures *m_miniatures = nullptr;
    QLabel *m_image9 = nullptr; // the 48 x 48 detail
    std::array<QLabel *, 2> m_statut{}; // status bar panels 0 and 1
    QLabel *m_image8 = nullptr;          // the dots
    QLabel *m_image11 = nullptr;         // the connection icon
    QLabel *m_etatASLbl = nullptr;
    TOptionsForm *m_optionsForm = nullptr;
    TMemoInf *m_memoInf = nullptr;
    std::unique_ptr<EtatPDA> m_pda;
    std::unique_ptr<TAnimeThread> m_animePoints;
    std::unique_ptr<TBtnAnimeThread> m_animeBouton;
    bool m_restaurationEnCours = false; // the device restore question is open
    bool m_restaurationAProposer = false; // a device connected since the last offer
    // The idle pass and the pictures page.
    QTimer *m_minuterieTempsLibre = nullptr;
    std::array<bool, NbImagesTravail> m_presents{};
    std::array<QCheckBox *, NbImagesTravail> m_checkImages{};
    std::array<QLabel *, NbImagesTravail> m_ficLbl{};
    QWidget *m_pageImages = nullptr;
    QCheckBox *m_tdyDispo = nullptr;
    QCheckBox *m_stDispo = nullptr;
    QLabel *m_feuImg = nullptr;
    QLabel *m_cocheImg = nullptr;
    QToolButton *m_addText = nullptr;
    QPushButton *m_tailleTsk = nullptr;
    // The text tool's settings, kept from one opening to the next.
    OptionsTexteSurImg m_optionsTexte;
    QLabel *m_alerteFormat = nullptr; // the status bar's "Adapt Theme format if needed !"
    bool m_verifFormatEnAttente = true;
    bool m_controleTailles = true;
    TaillesImagesMesurees m_taillesImg{-1, -1, -1, -1};
    // The theme parameters page.
    QCheckBox *m_usi = nullptr;
    QPushButton *m_wm5Btn = nullptr;
    QLabel *m_image12 = nullptr;
    // The device commands.
    QToolButton *m_lireCE = nullptr;
    QToolButton *m_transfert = nullptr;
    QToolButton *m_winVer = nullptr;
    QToolButton *m_tskActSBtn = nullptr;
    QLabel *m_taskActLbl = nullptr;
    QToolButton *m_infPDASBtn = nullptr;
    int m_iconeEtatAS = 11;
    // The strip of state icons, decoded at its first use.
    const QImage &bandeEtats();
    QImage m_bandeEtats;
    // The save folder, help.
    QLineEdit *m_dossierEdit = nullptr;
    std::unique_ptr<AideHtml> m_aide;
    bool m_aideContexteActive = true;
    // The look controls of the options page.
    PanneauCouleur *m_coulFormPnl = nullptr;
    PanneauCouleur *m_coulFormSupDPnl = nullptr;
    QButtonGroup *m_gradientRG = nullptr;
    QCheckBox *m_invCoulCB = nullptr;
    QCheckBox *m_ficheUnieCB = nullptr;
    QButtonGroup *m_skinRG = nullptr;
    std::array<QLabel *, 2> m_etiquettesRelief{}; // PaintPanel1, PaintPanel2
    // The setup-text page.
    QWidget *m_pageInf = nullptr;
    QPlainTextEdit *m_infTexte = nullptr;
    QPlainTextEdit *m_infFichiers = nullptr;
    QMenu *m_menuSysteme = nullptr;
    // The page tabs.
    StyleOnglets *m_styleOnglets = nullptr;
    int m_dernierOngletSurvole = -1;
    // Hints and their sound.
    QToolButton *m_hintSP = nullptr;
    QToolButton *m_sonSP = nullptr;
    FiltreBulles *m_filtreBulles = nullptr;
    std::function<qint64()> m_horlogeSons;
    std::optional<qint64> m_dernierSon;
    std::array<PanneauCouleur *, JeuCouleurs::NbCouleurs> m_panneaux{};
    std::array<QCheckBox *, JeuCouleurs::NbCouleurs> m_inclus{};
    std::array<QLabel *, JeuCouleurs::NbCouleurs> m_libelles{};
};
