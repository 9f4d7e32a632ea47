#pragma once

#include "tools/chaine_effets.h"
#include "tools/encodeurs_image.h"
#include "tools/geometrie_choix_images.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

struct AppContext;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

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
    QImage m_affichage;
    QRect m_focus;
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

signals:
    void apercuRecalcule();
    // A working picture was written (its full path).
    void imageSauvee(const QString &fichier);

protected:
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void construitInterface();
    QWidget *construitEffets();
    void fixeTailleCible(bool today, bool recharger);
    void preCharge();
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
    void majEffetsDepuisControles();
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
    QPoint m_coinCadre;
    int m_decalageAffiche = 0;
    int m_calculsApercu = 0;
    bool m_majControles = false;

    QTimer *m_minuterie = nullptr;
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
    // A few effects on the first page.
    QCheckBox *m_grisCB = nullptr, *m_negCB = nullptr, *m_sepiaCB = nullptr;
    QSlider *m_clairTB = nullptr, *m_gammaTB = nullptr, *m_contrasteTB = nullptr;
};

// Shows the image chooser modally over the main window. True when a working
// picture was saved: the caller then refreshes its thumbnails and preview.
bool OuvreChoixImages(AppContext &ctx, std::function<void(int)> aide, QWidget *parent);
