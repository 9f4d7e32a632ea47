#pragma once

// The device browser: a modal window showing the connected device's folders
// and theme packages as one tree. In folder mode the user picks a folder (the
// send-to-device window); in package mode a package, whose Today and Start
// pictures are previewed when it is clicked. The chosen device path is left
// in EtatPDA::CheminPDA, empty unless the user validated a choice.

#include "ui/apparence_fenetre.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPersistentModelIndex>
#include <QString>

class AnimationPause;
class EtatPDA;
class Prompts;
class QCheckBox;
class QToolBar;
class QLabel;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

struct ContexteArbreCE
{
    Prompts *prompts = nullptr;
    AnimationPause *pause = nullptr; // may be null
    QString dossierTravail;          // the work folder "ThemeTmp" (no trailing "/")
    // The main window's package button glyph, shown for the device's current
    // skin; null: the browser's own picture.
    QIcon glypheSkin;
    // The main window's look: the cool-bar tile (none in the uniform look)
    // and the colours of the rounded hot buttons. Null: the plain look.
    const ApparenceFenetre *apparence = nullptr;
    CouleursSystemeFenetre systeme{};
};

class TArbreCE : public QDialog
{
    Q_OBJECT
public:
    TArbreCE(EtatPDA &etat, const ContexteArbreCE &ctx, QWidget *parent = nullptr);

    // The device path of a node: "\" for the root, else the texts of its
    // ancestors below the root and its own, each preceded by "\".
    static QString CheminNoeud(const QTreeWidgetItem *noeud);
    // Whether the node can be chosen in the current mode: a folder in folder
    // mode, a package in package mode (by the node's kind, so a folder named
    // "x.tsk" stays a folder).
    bool acceptable(const QTreeWidgetItem *noeud) const;
    QPersistentModelIndex noeudSurvole() const { return m_survol; }

    // Builds the tree now (the window does it itself 100 ms after showing).
    void ConstruireArbreBtnClick();

    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void FormShow();
    void TreeView1Click(QTreeWidgetItem *noeud);
    void TreeView1MouseMove(const QPoint &position);
    void TreeView1DblClick();
    void ExpColTBtnClick();
    void DeuxImgCBClick();
    void QuitterBtnClick(bool valider);
    void ApercuTskCE(const QString &cheminCE);
    void videApercu(QLabel *image, QLabel *type, QLabel *hauteur, QLabel *largeur);
    bool AfficheImageApercu(const QString &fichier, QLabel *image, QLabel *type, QLabel *hauteur,
                            QLabel *largeur, int cadre);

    EtatPDA &m_etat;
    ContexteArbreCE m_ctx;
    QList<QIcon> m_images;
    QPersistentModelIndex m_survol;
    bool m_apercuEnCours = false;
    bool m_valide = false;

    QWidget *CoolBar1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QTreeWidget *TreeView1 = nullptr;
    QWidget *StatusBar1 = nullptr;
    QLabel *m_panneaux[3] = {};
    QToolButton *ExpColTBtn = nullptr;
    QToolButton *ValiderTBtn = nullptr;
    QToolButton *ToolButton1 = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QCheckBox *DeuxImgCB = nullptr;
    QLabel *LargTLbl = nullptr, *HautTLbl = nullptr, *TypeTlbl = nullptr;
    QLabel *LargDLbl = nullptr, *HautDLbl = nullptr, *TypeDLbl = nullptr;
    QLabel *LandDefLbl = nullptr;
    QTimer *Timer1 = nullptr;
};

// Shows the browser modally in the given mode (true: pick a folder) and
// returns the chosen device path, empty when the user quit without
// validating. The mode and the path are also left in etat.
QString OuvreArbreCE(EtatPDA &etat, const ContexteArbreCE &ctx, bool modeDossier, QWidget *parent = nullptr);
