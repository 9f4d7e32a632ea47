#pragma once

#include "theme/prompts.h"
#include "tools/apercu_paquet_tsk.h"
#include "tools/silent_paint_panel.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>

class LecteurCabinet;
class QCheckBox;
class QFileDialog;
class QFrame;
class QLabel;
class QToolButton;

// The read-package command's open dialog: Qt's own (non-native) file dialog
// with a panel on its right that previews the theme pictures inside the
// selected package: Today and Start, portrait or (with the "L" box)
// landscape, their sizes, formats and bit depths, the package's application
// name and picture count, and any of them full size on a click.
class TOpenPictureDialogGDITSK : public QDialog
{
    Q_OBJECT
public:
    // `prompts` shows the dialog's messages (may be null); `cabinet` reads the
    // packages (null: the cabinet component).
    explicit TOpenPictureDialogGDITSK(Prompts *prompts = nullptr, QWidget *parent = nullptr,
                                      LecteurCabinet *cabinet = nullptr);
    ~TOpenPictureDialogGDITSK() override;

    static QString FiltreParDefaut() { return QStringLiteral("TSK (*.tsk)|*.tsk"); }
    // The size of each preview frame and the extra height the dialog takes at
    // its first folder change.
    static constexpr int LargeurVignette = 157;
    static constexpr int HauteurVignette = 124;
    static constexpr int HauteurSupplementaire = 130;

    // Title, starting folder, proposed name and filter (Windows form; empty =
    // FiltreParDefaut()).
    void setOptions(const Prompts::FileDialog &options);
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter);

    // The folder under which each read makes, and removes, a scratch folder of
    // its own. Ends with "/"; an empty value leaves it unchanged.
    QString DirExtract() const { return m_dirExtract; }
    void setDirExtract(const QString &dossier);

    bool BkgImage = false;
    TViewStyleGDI View = TViewStyleGDI::vsIconGDI;
    // The tiled list background; empty means ":/art/pierretsk.png".
    QImage BmpBkg;

    // The file chosen when the dialog was accepted.
    QString fileName() const { return m_choisi; }
    QFileDialog *dialogueFichiers() const { return m_fichiers; }
    // Whether the current file is a package, and what was read of it.
    bool estPaquet() const { return m_paquet; }
    const ApercuTsk &apercu() const { return m_apercu; }

public slots:
    void PreviewClick();
    void PouLCBClick();

signals:
    // A package was read for the preview (not sent for the same file again).
    void paquetLu(const QString &fichier);

protected:
    virtual void DoShow();
    virtual void DoFolderChange();
    virtual void DoSelectionChange();
    virtual void DoClose();

    void showEvent(QShowEvent *event) override;
    void done(int resultat) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void changeSelection();
    void afficheApercu();
    void videApercu(const QString &legende);
    void AffVignetteTsk(const ImageApercuTsk &image, QLabel *cible, QLabel *label, bool ajoute);
    void ouvreApercu(ApercuTsk::Position position);
    QString fichierCourant() const;
    QColor couleurPanneau() const;

    Prompts *m_prompts;
    std::unique_ptr<LecteurCabinet> m_cabinetPropre;
    LecteurCabinet *m_cabinet;
    QString m_filter;
    QString m_dirExtract;
    QString m_dernierFichier;
    QString m_choisi;
    bool m_agrandi = false;
    bool m_paquet = false;
    bool m_occupe = false;
    bool m_relance = false;
    ApercuTsk m_apercu;

    QFileDialog *m_fichiers = nullptr;
    QFrame *m_picturePanel = nullptr;
    QLabel *m_pictureLabel = nullptr;
    QLabel *m_appNameLabel = nullptr;
    QLabel *m_typeImgLabel = nullptr;
    QLabel *m_typeImgLandLabel = nullptr;
    QLabel *m_nbImgLabel = nullptr;
    QLabel *m_landImgLabel = nullptr;
    QCheckBox *m_pouLCB = nullptr;
    QToolButton *m_previewButton = nullptr;
    TSilentPaintPanel *m_paintPanel = nullptr;
    TSilentPaintPanel *m_paintPanelST = nullptr;
    QLabel *m_paintBox = nullptr;
    QLabel *m_paintBoxL = nullptr;
    QLabel *m_paintBoxST = nullptr;
    QLabel *m_paintBoxSTL = nullptr;
};

// "Open a package with preview" as the read command asks for it: the tiled
// background, scratch folders under dirExtract.
std::optional<QString> OuvrePaquetAvecApercu(QWidget *parent, const Prompts::FileDialog &options,
                                             const QString &dirExtract, Prompts *prompts);
