#pragma once

#include "theme/couleur.h"
#include "theme/prompts.h"
#include "tools/anime_thread_dlg.h"
#include "tools/silent_paint_panel.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class CacheImagesDossier;
class ProxyTriImages;
class QFileDialog;
class QFrame;
class QLabel;
class QListView;
class QSlider;
class QToolButton;
class QTreeView;

// The picture-open dialog: Qt's own (non-native) file dialog with a picture
// panel on its right. The panel shows the selected file's thumbnail (multi-
// frame pictures animated), its size and frame count, its EXIF date taken and
// camera model, a selection counter, the list-view command buttons, a JPEG
// quality track bar and a full-size preview window.
class TOpenPictureDialogGDI : public QDialog
{
    Q_OBJECT
public:
    explicit TOpenPictureDialogGDI(QWidget *parent = nullptr);
    ~TOpenPictureDialogGDI() override;

    static QString FiltreParDefaut();
    // Size of the thumbnail frame and the extra height the
    // dialog takes at its first folder change.
    static constexpr int LargeurVignette = 157;
    static constexpr int HauteurVignette = 170;
    static constexpr int HauteurSupplementaire = 130;

    // Title, starting folder, proposed name and filter (Windows form; empty =
    // FiltreParDefaut()).
    void setOptions(const Prompts::FileDialog &options);
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter);

    bool DateSiExiste = false;
    bool NombreSelection = false;
    bool SelAllBtn = false, InvSelBtn = false, PhotoPriseLeBtn = false, APNModBtn = false, NomBtn = false,
         DimBtn = false, TailleFicBtn = false, ModifFicBtn = false, GroupeFicBtn = false, TypeFicBtn = false;
    bool BkgImage = false;
    TViewStyleGDI View = TViewStyleGDI::vsIconGDI;
    // The tiled list background; empty means the stone tile ":/art/pierre.png".
    QImage BmpBkg;

    // The file chosen when the dialog was accepted.
    QString fileName() const { return m_choisi; }
    // The embedded file dialog (for tests and callers that need more of it).
    QFileDialog *dialogueFichiers() const { return m_fichiers; }
    // The animation of the thumbnail and of the preview window (null when none).
    TAnimeThreadDlg *animeVignette() const { return m_animeVignette; }
    TAnimeThreadDlg *animePreview() const { return m_animePreview; }
    bool erreurGdi() const { return m_erreurGdi; }
    // The model between the file system and the views (order, grouping,
    // thumbnails) and the facts and thumbnails it reads in the background.
    ProxyTriImages *proxyTri() const { return m_proxy; }
    CacheImagesDossier *cacheImages() const { return m_cache; }
    // The list-view command of each button Tag (1..10).
    enum class CommandeVue { ToutSelectionner, InverserSelection, TriDatePrise, TriApn, TriNom, TriDimensions,
                             TriTaille, TriModification, Groupage, TriType };
    static CommandeVue CommandePourTag(int tag);
    void executeCommande(CommandeVue commande);

public slots:
    void PreviewClick();
    void BoutonVueClick();
    void TrackBarChange(int position);

signals:
    // A new file was loaded for the thumbnail (not sent for the same file again).
    void imageChargee(const QString &fichier);

protected:
    virtual void DoShow();
    virtual void DoFolderChange();
    virtual void DoSelectionChange();
    virtual void DoClose();

    void showEvent(QShowEvent *event) override;
    void done(int resultat) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    QListView *vueListe() const;
    QTreeView *vueDetails() const;
    QString fichierCourant() const;
    void afficheVignette(const QImage &image, int largeur, int hauteur);
    void arreteAnime(QPointer<TAnimeThreadDlg> &anime);
    TColor couleurPanneau() const;

    QString m_filter;
    QString m_dernierFichier;
    QString m_choisi;
    bool m_agrandi = false;
    bool m_erreurGdi = false;
    int m_colonneTri = -1;
    QPointer<TAnimeThreadDlg> m_animeVignette;
    QPointer<TAnimeThreadDlg> m_animePreview;

    QFileDialog *m_fichiers = nullptr;
    CacheImagesDossier *m_cache = nullptr;
    ProxyTriImages *m_proxy = nullptr;
    QFrame *m_picturePanel = nullptr;
    QLabel *m_pictureLabel = nullptr;
    QToolButton *m_previewButton = nullptr;
    QList<QToolButton *> m_boutons; // Tag 1..10
    QFrame *m_panel = nullptr;
    QLabel *m_ftbLabel = nullptr;
    QSlider *m_trackBar = nullptr;
    QLabel *m_labelDate = nullptr;
    QLabel *m_apn = nullptr;
    QLabel *m_selNb = nullptr;
    TSilentPaintPanel *m_paintPanel = nullptr;
    QLabel *m_paintBox = nullptr;
};

// The list-view mode of Qt's file dialog for a view style and, unless `fond`
// is null, its tiled background: what both picture dialogs apply at each
// folder change.
void AppliqueVueFichiers(QFileDialog *fichiers, TViewStyleGDI vue, const QImage &fond);

// After a folder change both picture dialogs select the first file the list
// shows, so that it is previewed at once: as soon as the folder is read and
// sorted, unless a file has been selected or a name typed by then. Nothing is
// selected in a folder without files.
void SelectionnePremierFichier(QFileDialog *fichiers);
// Whether that selection is still to come (the folder not read yet).
bool PremierFichierEnAttente(const QFileDialog *fichiers);

// The file list both picture dialogs embed: Qt's own (never the desktop's)
// file dialog as a plain widget, opening one existing file.
QFileDialog *CreeDialogueFichiersIntegre(QWidget *parent);

// Lays the embedded file list beside the picture panel and binds it: Open
// keeps the chosen name in *choisi and accepts the dialog, Cancel rejects it;
// a new folder calls dossier, a new selection (current file, typed name, list
// selection) calls selection.
void MonteDialogueFichiers(QDialog *dialogue, QFileDialog *fichiers, QWidget *panneau, QString *choisi,
                           const std::function<void()> &selection, const std::function<void()> &dossier);

// The full-size preview window of both picture dialogs ("PreviewForm",
// "Prévisualiser"): a tool window that deletes itself when closed, sized to a
// picture of the given size (at most 3/4 of the screen) and centred on the
// screen, with a framed label "PreviewImage" that has `filtre` as event
// filter (a click closes).
struct FormePreview
{
    QDialog *form = nullptr;
    QLabel *image = nullptr;
    QColor fond; // the panel's colour, behind the picture
};
FormePreview CreeFormePreview(QWidget *parent, QObject *filtre, QSize taillePicture);

// Draws a picture fitted (never enlarged) and centred into the label.
void AfficheImageAjustee(QLabel *cible, const QImage &image, const QColor &fond);

// "Open a picture with preview" as the image chooser asks for it: the date
// taken, grouping and type buttons, the tiled background, thumbnail view.
std::optional<QString> OuvreImageAvecApercu(QWidget *parent, const Prompts::FileDialog &options);
