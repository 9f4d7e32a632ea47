#pragma once

#include "device/fonctions_rapi_registre.h"
#include "device/identite_ce.h"
#include "tools/restauration_pda.h"
#include "theme/couleur.h"
#include "theme/theme_document.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSet>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>

class AnimationPause;
class EtatPDA;
class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QToolButton;
class QWidget;
struct ImageGardee;
struct TeintesImages;

// What the hue calculator reads from the rest of the program when it opens.
struct SourcesHueCalc
{
    const TeintesImages *teintes = nullptr; // the hue analysis of the working pictures
    int format = 0;                         // FormatTheme: landscape pictures in 4 and 5
    QString dossierAppli;                   // the working pictures
    QString dossierTravail;                 // the device pictures saved during a live preview
    QImage ecran;                           // the device-screen preview's Today screen (Image1)
    QImage image12;                         // the "WM5" marker
    QImage miniatureTD;                     // the Today thumbnail when shown, else null
    QImage miniatureST;                     // the Start thumbnail when shown, else null
    EtatPDA *pda = nullptr;                 // null: no device link
    QRect fenetrePrincipale;                // places the window beside the main window
};

// What "Validate" changes: the WM5 values and, when asked, the dropper colour.
struct ResultatHueCalc
{
    ParametresWM5 parametres;
    std::optional<TColor> pipette;

    bool operator==(const ResultatHueCalc &) const = default;
};

// "BaseHue for Windows Mobile 5": the user points at the coloured (upper) or
// grey (lower) hue strip and sees the hue on a wheel and on a simulated device
// screen; with a Windows Mobile 5 device connected, "PDA Interaction" shows
// every pick on the real device and "Restore" puts the device back after.
// The theme changes only through the valide signal, emitted when the window
// is closed by "Validate".
class THueCalc : public QDialog
{
    Q_OBJECT
public:
    static constexpr int PasLuma = 90;

    THueCalc(const ThemeDocument &doc, const SourcesHueCalc &sources, Prompts &prompts,
             QWidget *parent = nullptr);
    ~THueCalc() override;

    // The window's one pick operation as every other control calls it: hue
    // teinte on the strip whose top is y (the last pick is not moved).
    void choisitTeinte(int teinte, int y);
    // Moves the last pick there and picks it (histogram window, OK buttons).
    void placeEtChoisit(int teinte, int y);

    int hueK() const { return m_hueK; }
    int derniereTeinte() const { return m_derniereTeinte; }
    int dernierY() const { return m_dernierY; }
    int angle() const { return m_angle; }
    bool choisi() const { return m_choisi; }
    TColor couleurChoisie() const { return m_choisie; }
    TColor couleurCompagne() const { return m_compagne; }
    QImage barreHaut() const { return m_barreHaut; }
    QImage barreBas() const { return m_barreBas; }
    QImage ecran() const { return m_ecran; }
    QLabel *echellesImg() const { return EchellesImg; }
    // True when the live preview's first read of the device succeeded.
    bool lectureAppareil() const { return m_lectureCE; }
    // True while "PDA Interaction" is ticked and its device is the one
    // connected: picks reach the device and it can be put back.
    bool apercuJoignable() const { return m_apercuJoignable; }

    // The result Validate would hand over now.
    ResultatHueCalc resultat() const;

    // The device was connected or disconnected while the window is open:
    // the live-preview panel follows. A live preview keeps its restore point
    // whatever the connection does, and goes on only on its own device.
    void ConnexionChangee();

    void done(int r) override;

signals:
    void valide(const ResultatHueCalc &resultat);
    void couleurChoisieChangee(TColor c);
    // Shift+P / Shift+J: capture under this window's name.
    void demandeCapture(QWidget *fenetre, bool jpeg);

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    enum class Emetteur { Echelles, LumSE };
    enum class Sauvegarde { Aucune, Sauvee, AbsenteSurAppareil, Echec };

    void construitEchelles();
    void construitSuggestions();
    void construitCles();
    void construitVoirSurPDA();
    void MajPanneauPDA();
    bool appareilWM5() const;
    int sessionCourante() const;
    bool appareilDeLApercu();
    bool fermeSansAppareil();
    bool ecritPointRestauration();
    void signaleEtatGarde(const QList<ImageGardee> &images, bool registre, const QStringList &aSupprimer,
                          bool joignable);
    void construitBoutons();
    void construitBarreEtat();
    void prepareEcritureAppareil();
    void FormShow();
    void EchellesImgMouseMove(Emetteur emetteur, bool ctrlSeul, int x, int y);
    void EchellesImgClick(QPoint p);
    void FormMouseWheel(QPoint p, int delta, Qt::KeyboardModifiers modificateurs);
    void SatLumChange();
    void OKTDBtnClick(int emplacement);
    void HistoTDSBtnClick(int tag);
    void RVBversTeinteClick();
    void ActifSurPDACbClick();
    void activePDA();
    void desactivePDA();
    void ecritAppareil();
    void ecritAppareilMaintenant();
    void construitEcran();
    void construitBarres();
    int nombreImagesHisto() const;

    const ThemeDocument &m_doc;
    const SourcesHueCalc m_sources;
    Prompts &m_prompts;
    const ParametresWM5 m_parametres;

    // Pick state, reset on every show.
    int m_derniereTeinte = 0;
    int m_dernierY = 66;
    int m_hueK = 0;
    int m_angle = 0;
    TColor m_choisie;
    TColor m_compagne;
    bool m_choisi = false;
    bool m_valide = false;
    bool m_occupe = false;
    bool m_boutonBas = false;
    bool m_ferme = false;

    // The live preview: what the device held when the window opened, and the
    // device pictures saved while it runs.
    EtatCouleursCE m_etatCE;
    int m_baseHueCE = -1;
    int m_dpiCE = -1;
    int m_useStartImageCE = -1;
    bool m_lectureCE = false;
    IdentiteCE m_identiteCE; // the device those values were read from
    int m_sessionVue = -1;   // the connection last seen (-1: none)
    bool m_apercuJoignable = false;
    std::array<Sauvegarde, 2> m_sauvegardes{};
    std::array<bool, 2> m_poussees{};
    // The restore point on disk while the preview runs (written before its
    // first device write), and the copies of the device's own pictures that
    // the restore puts back.
    std::optional<PointRestaurationPDA> m_point;
    std::array<QString, 2> m_copies{};
    // What the live preview left on the device: the digests of the pictures
    // pushed and every BaseHue sent, by which a device plugged back in is
    // known to still show the preview.
    std::array<QByteArray, 2> m_empreintes{};
    QSet<int> m_baseHuesEcrites;
    // Device writes are coalesced: the first pick writes at once, the
    // following ones at most every IntervalleEcritureCE, the last one always.
    QTimer m_minuterieCE;
    bool m_ecritureEnAttente = false;

    QImage m_roueCouleur;
    QImage m_roueGris;
    QImage m_echelles;
    QImage m_ecran;
    QImage m_barreHaut;
    QImage m_barreBas;
    std::array<QImage, 4> m_icones; // 139, 206, 140, 300

    QLabel *EchellesImg = nullptr;
    QSpinBox *SatSE = nullptr;
    QSpinBox *LumSE = nullptr;
    QLabel *BaseHueLbl = nullptr;
    QPushButton *RVBversTeinte = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QCheckBox *DPICb = nullptr;
    QCheckBox *BaseHueCB = nullptr;
    QLabel *BHExisteLbl = nullptr;
    QLabel *DPIExisteLbl = nullptr;
    QPushButton *ValiderBtn = nullptr;
    QPushButton *AnnulerBtn = nullptr;
    QLabel *MaxHueLblTD = nullptr;
    QLabel *MaxHueLblST = nullptr;
    QToolButton *OKTDBtn = nullptr;
    QToolButton *OKSTBtn = nullptr;
    QCheckBox *PipetteCB = nullptr;
    QToolButton *HistoTDSBtn = nullptr;
    QToolButton *HistoSTSBtn = nullptr;
    QToolButton *HistoTDSTSBtn = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    std::array<QLabel *, 7> m_panneaux{};
    QWidget *VoirSurPDAPnl = nullptr;
    QCheckBox *ActifSurPDACb = nullptr;
    QCheckBox *RestaurerCB = nullptr;
};

inline constexpr int IntervalleEcritureCE = 100; // ms

// The controller of a validated result: the WM5 values go into the document
// (signalled only when they differ).
void AppliqueHueCalc(ThemeDocument &doc, const ResultatHueCalc &resultat);

// The main window's hue command: opens the calculator modally (the animation
// paused meanwhile) and applies its result when validated. The dropper colour
// asked for, if any, comes back in *pipette. capture, when given, takes the
// screen captures asked for in the calculator and its histogram window.
// Returns QDialog::Accepted on "Validate".
int OuvreHueCalc(ThemeDocument &doc, Prompts &prompts, const SourcesHueCalc &sources,
                 AnimationPause *animation = nullptr, QWidget *parent = nullptr,
                 std::optional<TColor> *pipette = nullptr,
                 const std::function<void(QWidget *fenetre, bool jpeg)> &capture = {});
