#pragma once

// The device information window: on five pages what can be learnt about the
// connected device and its desktop partnership (partnership, system, special
// folders, owner, colour tables), the device's window tree, its theme keys
// and applications (opening their windows), the device colour values and the
// device colour report. Everything is read again at each showing and refresh.

#include "device/fonctions_rapi_infos.h"
#include "device/rapport_couleurs_ce.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <optional>

class AnimationPause;
class EtatPDA;
class Prompts;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

struct ContexteInfosPDA
{
    Prompts *prompts = nullptr;      // required
    AnimationPause *pause = nullptr; // may be null
    QString dossierAppli;            // where the colour report goes
    // The captions of the main window's colour labels.
    LibellesCouleurs libelles = LibellesCouleursDefaut();
};

// The device's window walk stops at this depth and this many windows, and
// never enters a window twice, whatever the device answers.
inline constexpr int kProfondeurMaxFenetresCE = 32;
inline constexpr int kMaxFenetresCE = 5000;

// The text of one window node: title ("''" when empty), two blanks, and in
// brackets its class and its style flags.
QString TexteFenetreCE(const QString &titre, const QString &classe, uint32_t style, uint32_t styleEtendu);

class TInfosPDA : public QDialog
{
    Q_OBJECT
public:
    TInfosPDA(EtatPDA &etat, const ContexteInfosPDA &ctx, QWidget *parent = nullptr);

    // Reads everything again; the first page is shown unless it is the
    // refresh button's doing.
    void FormShow(bool depuisActualiser = false);
    void OptionsASClick();
    const QStringList &clesTsk() const { return m_clesTsk; }
    const TablesCouleursCE &tables() const { return m_tables; }
    int swatchSurvole() const { return m_survol; }

    void AffFenBtnClick();
    void VoirCoulTskBtnClick();
    void SauveCoulBtnClick();
    void VoirTskRegClick();
    void AppInstallBtnClick();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    QWidget *nouvellePage(const char *nom, const QString &titre);
    void construitPagePartenaire();
    void construitPageAppareil();
    QGroupBox *construitGroupeFenetres(QWidget *page);
    void construitPageDossiers();
    void construitPageProprietaire();
    void construitPageCouleurs();
    void construitBoutons();
    void connecteCommandes();
    void ColSysRGClick();
    void survole(QLabel *image, const QPoint &position, const QPoint &global);
    void AjouteFenetresCE(uint32_t fenetre, int niveau, QTreeWidgetItem *parent, QList<uint32_t> &vues,
                          int &nb);

    EtatPDA &m_etat;
    ContexteInfosPDA m_ctx;
    QStringList m_clesTsk;
    TablesCouleursCE m_tables;
    int m_survol = -1;
    bool m_showFait = false;

    QTabWidget *PageControl1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *ConnectLbl = nullptr, *PartnerLbl = nullptr, *ProfilsLbl = nullptr, *SyncDosLbl = nullptr,
           *SyncFicLbl = nullptr;
    QLabel *VersionLbl = nullptr, *ProcesseurLbl = nullptr, *TskLbl = nullptr, *NbTskRegLbl = nullptr;
    QLabel *MemPCLbl = nullptr, *MemProgLbl = nullptr, *MemStockLbl = nullptr;
    QLabel *AlimLbl = nullptr, *BatPrincLbl = nullptr, *BatSauveLbl = nullptr;
    QLabel *DosSyncLbl = nullptr, *DesktopLbl = nullptr, *PersonnelLbl = nullptr, *ProgFilesLbl = nullptr,
           *WindowsLbl = nullptr, *ProgDemLbl = nullptr, *DemLbl = nullptr, *DemarrageLbl = nullptr,
           *FavorisLbl = nullptr, *FontesLbl = nullptr, *RecentLbl = nullptr, *CorbeilleLbl = nullptr,
           *TemporaireLbl = nullptr;
    QLabel *NomLbl = nullptr, *CompagnieLbl = nullptr, *AdresseLbl = nullptr, *TelLbl = nullptr,
           *EmailLbl = nullptr;
    QLabel *ImageCoulSH = nullptr, *ImageCoulDefSH = nullptr, *ImageCoulSys = nullptr, *ImageCoulDefSys = nullptr;
    QButtonGroup *ColSysRG = nullptr;
    QPushButton *VoirTskReg = nullptr, *AffFenBtn = nullptr, *VoirCoulTskBtn = nullptr, *AppInstallBtn = nullptr,
                *SauveCoulBtn = nullptr, *QuitterBtn = nullptr, *OptionsAS = nullptr, *ActualiserBtn = nullptr;
    QCheckBox *ChildCB = nullptr;
    QTreeWidget *TreeView1 = nullptr;
};

// Opens the window for the main window's information command: only with the
// device library present and a device connected ("Not connected !"
// otherwise). The animation is paused while it is open.
int OuvreInfosPDA(EtatPDA &etat, const ContexteInfosPDA &ctx, QWidget *parent = nullptr);
