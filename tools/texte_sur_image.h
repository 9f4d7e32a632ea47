#pragma once

#include <functional>

#include "theme/couleur.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <span>

struct AppContext;
class Prompts;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QTimer;
class QToolButton;
class QVBoxLayout;

// ---- The lettering ----------------------------------------------------------

// The options of the text tool that live from one opening of the window to the
// next. The caller (the main window) owns them.
struct OptionsTexteSurImg
{
    QString police = QStringLiteral("Tahoma");
    int taille = 14; // points, at most 72
    int style = 0;   // 1 bold, 2 italic, 4 underline, 8 strikeout
    TColor couleurLettre = TColor::fromValue(0xFF0000);
    TColor couleurOmbre = TColor::fromValue(0x000000);
    TColor couleurFond1 = TColor::fromValue(0xFFFFFF);
    TColor couleurFond2 = TColor::fromValue(0xFFFFFF);
    int justification = 0; // 0 left, 1 centre, 2 right
    int ecriture = 0;      // 0 none, 1 turned 90 degrees, 2 180, 3 270
    int modeDegrade = 0;   // 0 letters with shadow, 1..4 gradients
    bool fond = false;
    int formeFond = 0;   // 0 rectangle, 1 ellipse, 2 rounded
    int degradeFond = 0; // 0..4
    int typeDistorsion = 0;
    int dx = 0; // -5..5: the shadow's shift (mode 0) or the gradient's centre (mode 4)
    int dy = 0;
    bool gamma = false;
    // The window's switches that keep their state for the whole run.
    int alphaLettre = 255;
    int alphaOmbre = 64;
    bool contour = false;
    int qualiteJpeg = 100;
    // The save format (an item of "Save as : "): until chosen in this
    // window (-1), the image chooser's current choice.
    int typeSauver = -1;

    bool vertical() const { return ecriture == 1 || ecriture == 3; }
};

// Everything one lettering of a picture takes: the text, the options, the
// states of the window's switches and where the text band sits, in picture
// pixels.
struct ParamsTexte
{
    QString texte;
    OptionsTexteSurImg options;
    int alphaLettre = 255;
    int alphaOmbre = 64;
    int alphaFond = 64;
    bool contour = false;
    bool reflet = false;
    bool fondu = false;
    bool fonduTout = false;
    bool distord = false;
    // Length of the visible area along the writing (its width for horizontal
    // writing, its height for vertical writing): the text is justified in it.
    int longueur = 0;
    // The band: its first row (horizontal writing) or column (vertical).
    int position = 0;
};

// The text bitmap before it is turned (W x H as measured); transparent for an
// empty text.
QImage ImageTexteNonTournee(const ParamsTexte &p);
// The size the text needs (path mode with the outline).
QSize MesureTexteSurImg(const QString &texte, const OptionsTexteSurImg &o, bool contour);
// The text bitmap turned to its writing direction.
QImage ImageTexteTournee(const ParamsTexte &p);
// Where the turned text bitmap goes on the picture.
QPoint PositionTexte(const ParamsTexte &p, QSize tailleTexte);
// Draws a straight-alpha picture over another at a point; with gamma the
// blend is done in linear light (gamma 2.2).
void ComposeImage(QImage &cible, const QImage &source, QPoint position, bool gamma);

// The picture with the text lettered on it at 1:1: what the window saves and
// what its preview shows scaled down. The result is a 32-bit copy.
QImage apply(const QImage &image, const ParamsTexte &p);

// ---- Geometry of the display ------------------------------------------------

// The picture shown on a display image: the visible part of the picture is
// fitted into the display (never enlarged), against its left edge.
struct GeometrieAffichage
{
    QSize visible;     // the visible area, in picture pixels (clamped to the picture)
    QRect ajuste;      // where it lies on the display
    double ratio = 1;  // display pixels per picture pixel
    int hauteurBande = 0; // strip height hs + 2, in picture pixels
};

// The visible area (from the theme's preview sizes, clamped to the picture),
// its place on a display of the given size and the strip height.
GeometrieAffichage CalculeGeometrie(QSize image, QSize display, bool paysage, const std::array<int, 8> &tailles,
                                    int hauteurBande);
// The band at opening: across the middle of the display (horizontal writing)
// or of the visible width (vertical writing).
QRect BandeInitiale(const GeometrieAffichage &g, QSize display, bool vertical);
// The band's first row / column in picture pixels.
int PositionBande(const GeometrieAffichage &g, const QRect &bande, bool vertical);

// ---- The window -------------------------------------------------------------

// The help topic of the window and its controls.
inline constexpr int AideTexteSurImg = 1036;

// "Add text on images": one line of text lettered onto one of the theme's
// working pictures, previewed on a scaled copy and saved over the picture.
class TTexteSurImg : public QDialog
{
    Q_OBJECT
public:
    TTexteSurImg(AppContext &ctx, OptionsTexteSurImg &options, TColor couleurPipette, QWidget *parent = nullptr);
    ~TTexteSurImg() override;

    // The working picture file of a slot (0 Today portrait, 1 Today landscape,
    // 2 Start portrait, 3 Start landscape); empty when the theme has none.
    QString fichierImage(int index) const { return m_fichiers.at(index); }
    static std::array<QString, 4> NomsFichiers(int format, bool useStartImage);

    int indexCourant() const { return m_index; }
    // The lettering as it stands: what a save would apply.
    ParamsTexte params() const;
    const QImage &imagePleine() const { return m_pleine; }
    QRect bande() const { return m_bande; }
    const GeometrieAffichage &geometrie() const { return m_geo; }
    // True once a picture has been saved during this opening.
    bool imageSauvee() const { return m_sauvee; }
    // The main window's context help by id: a right click or F1 on the
    // window's controls asks it for the window's topic.
    void setAide(std::function<void(int)> aide) { m_aide = std::move(aide); }
    // The background the window paints in the default look (null in the
    // uniform one, and before the first paint).
    const QImage &fondPeint() const { return m_fond; }

signals:
    // A working picture was written: the main window refreshes its thumbnails and preview.
    void imagesEnregistrees();
    // The preview was drawn again.
    void apercuRendu();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;

private:
    void construit();
    QToolButton *nouveauBouton(const char *nom, const QString &image, const QString &hint, bool basculant);
    QLabel *nouvelleImage(const char *nom, const QString &image);
    void placeBandeau();
    void fixeAlphas(int lettre, int ombre);
    QLabel *nouveauLibelle(const char *nom, const QString &texte = {});
    QSlider *nouvelleGlissiere(const char *nom, int valeur, const QString &hint);
    QHBoxLayout *rangeeExclusive(std::span<QToolButton *> boutons, const char *prefixe, const char *suffixe,
                                 const QStringList &images, const QStringList &hints,
                                 const std::function<void(int)> &action);
    QVBoxLayout *construitColonneImage();
    QHBoxLayout *construitMiniatures();
    QVBoxLayout *construitColonneTexte();
    void construitPolice(QVBoxLayout *droite);
    void construitCouleurs(QVBoxLayout *droite);
    void construitJustificationEtDegrades(QVBoxLayout *droite);
    void construitEffets(QVBoxLayout *droite);
    void construitFormesFond(QVBoxLayout *droite);
    void construitDecalage(QVBoxLayout *droite);
    void construitSauvegarde(QVBoxLayout *droite);
    void FormShow();
    void MiniaturesClick(int index);
    void PanelMiniaturesClick(int index);
    void ChargeImageTexte();
    void PlaceBandeTexte();
    void Edit1Change();
    void Changement();
    void planifieRendu();
    void rendu();
    // Shows the band's outline over the last lettered display.
    void afficheBande();
    void DessineExemple();
    void AffNomFonte();
    void MajCouleurContraste();
    void CentreDecalage();
    void fixeDecalage(QPoint point);
    void dessineDecalage();
    void majDecLbl();
    void couleurPanneau(int quel);
    void peintPanneaux();
    void InvBtnClick();
    void InvFondSBClick();
    void BrossesClick(int mode);
    void EcritureClick(int direction);
    void FormeFondSBClick(int forme, bool enfonce);
    void FondGradientClick(int mode);
    void PerspectiveSBClick();
    void ReflectSBClick();
    void OutlineSBClick();
    void FonteSBtnClick();
    void SauverBtnClick();
    void deplaceBande(int coordonnee, bool centre);
    void chargeMiniatures();
    QLabel *affichage() const;
    void afficheAide();

    AppContext &m_ctx;
    std::function<void(int)> m_aide;
    QImage m_fond;
    OptionsTexteSurImg &m_opt;
    Prompts &m_prompts;
    TColor m_pipette;
    std::array<QString, 4> m_fichiers;
    int m_index = -1;
    bool m_maj = false; // Shift held
    bool m_tire = false;
    bool m_sauvee = false;
    bool m_imageLue = false;
    bool m_questionFaite = false;
    QImage m_pleine;
    QImage m_affichage; // the display copy without the text
    QImage m_ecranLettre; // the display with the text, without the band's outline
    GeometrieAffichage m_geo;
    QRect m_bande;
    QPoint m_marque{15, 15};
    QTimer *m_minuterie = nullptr;

    QLineEdit *Edit1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *TexteImg = nullptr;
    QFrame *m_panneauTexte = nullptr; // holds the strip, centred
    QSize m_tailleFixe;
    QLabel *ExempleImg = nullptr;
    QLabel *ShiftImg = nullptr;
    QLabel *XYLbl = nullptr;
    QLabel *DecLbl = nullptr;
    QLabel *FonteNomLbl = nullptr;
    QLabel *NomFicLbl = nullptr;
    QLabel *TypeImgLbl = nullptr;
    QLabel *PixelsCarLbl = nullptr;
    QLabel *EspaceCouleurLbl = nullptr;
    std::array<QLabel *, 4> m_miniatures{};  // MinTD, MinTDL, MinST, MinSTL by tag
    std::array<QFrame *, 4> m_panneauxMin{}; // PanelTD, PanelTDL, PanelST, PanelSTL
    std::array<QFrame *, 4> m_panneauxCouleur{}; // LettrePnl, OmbrePnl, FondPnl, FondPnl2
    QSlider *Transp1TB = nullptr;
    QSlider *Transp2TB = nullptr;
    QSlider *FondTB = nullptr;
    QSlider *QualJpgTB = nullptr;
    std::array<QRadioButton *, 5> m_typesSauver{};
    std::array<QToolButton *, 3> m_justif{};
    std::array<QToolButton *, 4> m_ecriture{};
    std::array<QToolButton *, 5> m_degrades{};
    std::array<QToolButton *, 3> m_formes{};
    std::array<QToolButton *, 5> m_degradesFond{};
    std::array<QToolButton *, 4> m_persp{};
    QToolButton *PerspectiveSB = nullptr;
    QToolButton *ReflectSB = nullptr;
    QToolButton *AttenueSBtn = nullptr;
    QToolButton *TranspLFSB = nullptr;
    QToolButton *OutlineSB = nullptr;
    QToolButton *FonteSBtn = nullptr;
    QToolButton *InvSBtn = nullptr;
    QToolButton *InvFondSB = nullptr;
    QToolButton *SauverSBtn = nullptr;
    QToolButton *QuitterSBtn = nullptr;
    QCheckBox *GammaCorrCB = nullptr;
};

// The main window's "add text" command: opens the window modally (the
// colours page animation paused meanwhile); `enregistre` runs after each
// save, while the window is still open, so the caller refreshes its
// thumbnails and preview at once; `aide` shows a help topic by id. Returns
// true when at least one working picture was saved.
bool OuvreTexteSurImg(AppContext &ctx, OptionsTexteSurImg &options, TColor couleurPipette, QWidget *parent = nullptr,
                      const std::function<void()> &enregistre = {}, const std::function<void(int)> &aide = {});
