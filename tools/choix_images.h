#pragma once

#include "tools/chaine_effets.h"
#include "tools/encodeurs_image.h"
#include "tools/geometrie_choix_images.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

struct AppContext;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;
class TImageMouse;
class TPanneauCouleurChoix;

// The chooser's view: the fitted picture over the background colour, with the
// crop frame painted as a dotted overlay.
class TVueChoixImages : public QWidget
{
    Q_OBJECT
public:
    explicit TVueChoixImages(QWidget *parent = nullptr);
    void setAffichage(const QImage &image, const QRect &focus);
    const QImage &affichage() const { return m_affichage; }

signals:
    void souris(QPoint pos, bool enfonce, bool relache);
    void molette(QPoint pos, int delta, Qt::KeyboardModifiers modifs, bool *pris);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // The view is drawn at a whole scale when the window gives it room; the
    // picture keeps its 408 x 306 coordinates.
    double echelle() const;
    QPoint versVue(QPointF p) const;
    QImage m_affichage;
    QRect m_focus;
};

// The chooser's tool bar, with the orientation and the kind written on it.
class TBarreChoix : public QWidget
{
    Q_OBJECT
public:
    explicit TBarreChoix(QWidget *parent = nullptr);
    void setLegendes(const QString &orientation, const QString &type);
    // The second, shifted copy of the captions (the active caption colour).
    void setCouleurOmbre(TColor c) { m_ombre = c; update(); }
    QString legendeOrientation() const { return m_orientation; }
    QString legendeType() const { return m_type; }
    // Where the two captions are written, from the bar's left.
    static constexpr int XOrientation = 420;
    static constexpr int XType = 530;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_orientation;
    QString m_type;
    TColor m_ombre = TColor::fromValue(0x6A240A);
};

// The image chooser: opens a picture, turns it, places a crop frame with the
// target's aspect, filters it through the effect chain and saves it as the
// working picture of the theme format. The live preview runs the chain on the
// fitted copy after a short pause in the changes; the save builds the final
// picture from the full source through the same chain.
class TChoixImages : public QDialog
{
    Q_OBJECT
public:
    // aide: the main window's context help by id (may be empty).
    TChoixImages(AppContext &ctx, std::function<void(int)> aide = {}, QWidget *parent = nullptr);
    ~TChoixImages() override;

    // Pause between the last change and the preview's recompute.
    static constexpr int DelaiApercuMs = 60;

    void MajBoutonsImagesEnCours();
    // Loads a picture as if chosen in the open dialog (false when unreadable).
    bool chargeFichier(const QString &fichier, bool resetEffets = true);

    // The effect settings; changing them reschedules the preview.
    const OptionsEffets &optionsEffets() const { return m_effets; }
    void setOptionsEffets(const OptionsEffets &o);
    // Fixed explosion seed (tests and reproducible results); clock-seeded when absent.
    void setGraineExplosion(std::optional<uint64_t> graine) { m_graine = graine; }
    // The main window's dropper colour (Shift + click on a colour panel).
    void setCouleurPipette(TColor c) { m_couleurPipette = c; }
    // The context the chain runs with for the preview.
    ContexteChaine contexteApercu() const;

    QString FichierSource() const { return m_fichierSource; }
    bool ImageChargee() const { return m_imageChargee; }
    bool ModeToday() const { return m_modeToday; }
    QSize TailleCible() const { return m_tailleCible; }
    QRect RectImage() const { return m_rectImage; }
    QRect RectCadre() const { return QRect(m_coinCadre, QSize(m_cadre.fw, m_cadre.fh)); }
    QRect RectFocus() const;
    int TypeRotation() const { return m_typeRotation; }
    const QImage &BmpApercu() const { return m_bmpApercu; }
    // The preview with the chain applied, as the view shows it.
    const QImage &apercuFiltre() const { return m_apercuFiltre; }
    // How many times the chain ran for the preview.
    int nombreCalculsApercu() const { return m_calculsApercu; }
    // A change waits for the preview to be computed again.
    bool apercuEnAttente() const;
    // Whether a working picture was saved since the window was made.
    bool imageEnregistree() const { return m_enregistre; }
    // The final picture as the save and the evaluation build it.
    QImage ConstruitImageFinale() const;
    ParametresFinale parametresFinale() const;

    // Commands (tool buttons).
    void OuvrirBtnClick();
    void TodayEnCoursClick();
    void StartEnCoursClick();
    bool SauverBtnClick();
    void EvalTBtnClick();
    // Reset of the six effect pages (every reset button), and the full
    // reset (pages, hue, channels, contrast and the picture's turn).
    void InitialiserBtnClick();
    void resetComplet();

signals:
    void apercuRecalcule();
    // A working picture was written (its full path).
    void imageSauvee(const QString &fichier);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    using Condition = std::function<bool(const OptionsEffets &)>;
    // One effect control and its field of the options.
    struct LienEffet
    {
        QWidget *controle = nullptr;
        std::function<void(OptionsEffets &)> lit;
        std::function<void(const OptionsEffets &)> ecrit;
    };

    void construitInterface();
    QWidget *construitBarreOutils();
    QGridLayout *construitInfos();
    QVBoxLayout *construitColonne();
    QHBoxLayout *construitLigneType();
    QWidget *construitPanneauRotation();
    QWidget *construitInterpolation();
    QWidget *construitSauvegardeOuAide();
    QWidget *construitPanneauSauvegarde();
    QWidget *construitAideCentre();
    QWidget *construitEffets();
    QWidget *construitPageEffets();
    QWidget *construitPageTransparence();
    QWidget *construitPageMotif();
    QWidget *construitPageTramage();
    QWidget *construitPageFlouRadial();
    QWidget *construitPageZoom();
    QWidget *construitCurseursCouleur();
    QCheckBox *caseEffet(QWidget *parent, const char *nom, const QString &texte, bool OptionsEffets::*champ,
                         Condition relance = {});
    QSlider *curseurEffet(QWidget *parent, const char *nom, int min, int max, int OptionsEffets::*champ,
                          Condition relance = {});
    QLabel *libelleEffet(QWidget *parent, const char *nom, QSlider *curseur, std::function<QString(int)> texte);
    QButtonGroup *radiosEffet(QWidget *boite, const QStringList &items, int colonnes, int OptionsEffets::*champ,
                              Condition relance);
    TPanneauCouleurChoix *couleurEffet(QWidget *parent, const char *nom, const QString &quoi,
                                       TColor OptionsEffets::*champ, Condition relance);
    QPushButton *boutonReset(QWidget *parent, const char *nom);
    QHBoxLayout *ligneReset(QWidget *parent, const char *nom);
    TImageMouse *picker(QWidget *parent, const char *nom, int tag, QPoint OptionsEffets::*champ,
                        const QString &aide);
    void effetChange(const Condition &relance);
    void majLibelles();
    void majVisibilites();
    void gradientChoisi(int type);
    void imgTranspClick();
    void centresAuMilieu();
    void majMiniatures();
    void aidePicker(bool entre, const QString &texte);
    // The pickers' help fits the column's width: its height is that of the
    // longest help wrapped at that width, whichever help shows.
    void majHauteurAide();
    QStringList m_textesAide;
    void majBarre();
    void choixInterpolation(int id);
    void fixeTailleCible(bool today, bool recharger);
    void preCharge();
    // Frames the picture again when the target's size has changed since it
    // was framed (an orientation or kind changed without a new picture).
    void cadreSuitCible();
    void recharge(bool resetEffets);
    bool chargeSource();
    void ajuste();
    void majLabelsCadre();
    void majVue();
    void planifieApercu();
    void recalculeApercu();
    void rotationChange();
    void sourisVue(QPoint pos, bool enfonce, bool relache);
    void moletteVue(QPoint pos, int delta, Qt::KeyboardModifiers modifs, bool *pris);
    void choisitFond();
    void majControlesEffets();
    bool paysage() const;
    QString dossierAppli() const;

    AppContext &m_ctx;
    std::function<void(int)> m_aide;

    QString m_fichierSource;
    bool m_imageChargee = false;
    bool m_modeToday = true;
    bool m_boutonEnfonce = false;
    bool m_enregistre = false;
    QSize m_tailleCible{1, 1};
    int m_quartsDeTour = 0;
    int m_typeRotation = 0;
    OptionsEffets m_effets;
    std::optional<uint64_t> m_graine;
    TColor m_couleurPipette;
    bool m_shift = false;

    // The decoded source and its turned copy (kept while the file and the turn stay).
    QImage m_source;
    QString m_sourceChargee;
    QImage m_sourceTournee;
    int m_rotationTournee = -1;
    // A large JPEG is first shown from a reduced decoding (m_sourceReduite,
    // standing for the source of size m_tailleComplete); the full picture is
    // decoded right after that first preview (completeSource) or when needed.
    QImage m_sourceReduite;
    QSize m_tailleComplete;
    bool m_reduitPermis = false;
    void completeSource(bool rafraichir = true);
    QSize tailleSourceTournee() const;

    QImage m_bmpApercu;
    QImage m_apercuFiltre;
    QRect m_rectImage;
    CadreRecadrage m_cadre;
    QSize m_cadreCible; // the target the frame was made for
    QPoint m_coinCadre;
    int m_decalageAffiche = 0;
    int m_calculsApercu = 0;
    bool m_majControles = false;

    QTimer *m_minuterie = nullptr;
    TBarreChoix *m_barre = nullptr;
    TVueChoixImages *m_image1 = nullptr;
    QButtonGroup *m_typeImgRG = nullptr;
    QCheckBox *m_landscapeCB = nullptr;
    QButtonGroup *m_interpolRG = nullptr;
    QButtonGroup *m_typeSauverRG = nullptr;
    QSlider *m_qualJpgTB = nullptr;
    QToolButton *m_rotHSBtn = nullptr;
    QToolButton *m_rotAHSBtn = nullptr;
    QCheckBox *m_miroirCB = nullptr;
    QCheckBox *m_basculeCB = nullptr;
    QPushButton *m_panel7 = nullptr;
    QLabel *m_largLbl = nullptr, *m_hautLbl = nullptr, *m_affLargLbl = nullptr, *m_affHautLbl = nullptr;
    QLabel *m_leftLbl = nullptr, *m_topLbl = nullptr, *m_rightLbl = nullptr, *m_bottomLbl = nullptr;
    QToolButton *m_ouvrirTBtn = nullptr, *m_todayEnCoursTBtn = nullptr, *m_startEnCoursTBtn = nullptr,
                *m_sauverTBtn = nullptr, *m_evalTBtn = nullptr, *m_quitterTBtn = nullptr;
    // The effect controls, each bound to its field of m_effets.
    std::vector<LienEffet> m_liens;
    struct LienLibelle
    {
        QLabel *libelle;
        QSlider *curseur;
        std::function<QString(int)> texte;
    };
    std::vector<LienLibelle> m_libelles;
    QTabWidget *m_pageControl1 = nullptr;
    QWidget *m_zoneEffets = nullptr;
    QStackedWidget *m_sauvegardeOuAide = nullptr;
    QWidget *m_panel5 = nullptr;
    QWidget *m_aideCImgPnl = nullptr;
    QLabel *m_aideGradLbl = nullptr;
    QWidget *m_gradientPnl = nullptr;
    QWidget *m_panel17 = nullptr;
    QWidget *m_fondPnl = nullptr;
    QButtonGroup *m_gradients = nullptr;
    std::vector<TImageMouse *> m_pickers;
};

// Shows the image chooser modally over the main window. True when a working
// picture was saved: the caller then refreshes its thumbnails and preview.
// couleurPipette: the main window's dropper colour.
bool OuvreChoixImages(AppContext &ctx, std::function<void(int)> aide, QWidget *parent,
                      TColor couleurPipette = TColor());
