#include "device/infos_pda.h"

#include "device/app_inst.h"
#include "device/etat_pda.h"
#include "device/texte_ce.h"
#include "device/tsk_reg_today.h"
#include "device/valeurs_echec.h"
#include "resources/strings.h"
#include "theme/animation_pause.h"
#include "theme/prompts.h"
#include "ui/bulle_immediate.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kIdIn = 65302;

QLabel *nouveauChamp(QWidget *parent, const char *nom)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(nom));
    l->setTextFormat(Qt::PlainText); // the device's own strings, never markup
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QPushButton *nouveauBouton(QWidget *parent, const char *nom, const QString &texte)
{
    auto *b = new QPushButton(texte, parent);
    b->setObjectName(QLatin1String(nom));
    b->setAutoDefault(false);
    return b;
}

// The swatch index under a point: the cell inset by one pixel.
int swatchEn(const QPoint &p, int nb)
{
    for (int k = 0; k < nb; ++k)
        if (CelluleNuancier(k).adjusted(1, 1, -1, -1).contains(p))
            return k;
    return -1;
}

// The tree's root node text is navy.
class DelegueArbre : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *o, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(o, index);
        if (!index.parent().isValid())
            o->palette.setColor(QPalette::Text, QColor(0, 0, 128));
    }
};

} // namespace

QString TexteFenetreCE(const QString &titre, const QString &classe, uint32_t style, uint32_t ex)
{
    QString drapeaux = QStringLiteral(" [");
    if (style & 0x10000000u)
        drapeaux += QLatin1String(" Visible");
    if (style & 0x00C00000u)
        drapeaux += QLatin1String(" Caption");
    if (style & 0x80000000u)
        drapeaux += QLatin1String(" Popup");
    if (style & 0x00080000u)
        drapeaux += QLatin1String(" SysMenu");
    if (ex & 0x8u)
        drapeaux += QLatin1String(" TopMost");
    if (ex & 0x80u)
        drapeaux += QLatin1String(" ToolWindow");
    if (ex & 0x08000000u)
        drapeaux += QLatin1String(" Inactive");
    if (ex & 0x20000000u)
        drapeaux += QLatin1String(" AboveStartup");
    drapeaux += QLatin1Char(']');
    if (drapeaux == QLatin1String(" []"))
        drapeaux.clear();
    return (titre.isEmpty() ? QStringLiteral("''") : titre) + QLatin1String("  (") + classe + drapeaux
           + QLatin1Char(')');
}

TInfosPDA::TInfosPDA(EtatPDA &etat, const ContexteInfosPDA &ctx, QWidget *parent)
    : QDialog(parent), m_etat(etat), m_ctx(ctx)
{
    setObjectName(QStringLiteral("InfosPDA"));
    setWindowTitle(QStringLiteral("General Informations"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    construitPagePartenaire();
    construitPageAppareil();
    construitPageDossiers();
    construitPageProprietaire();
    construitPageCouleurs();
    construitBoutons();
    connecteCommandes();
}

QWidget *TInfosPDA::nouvellePage(const char *nom, const QString &titre)
{
    auto *p = new QWidget;
    p->setObjectName(QLatin1String(nom));
    PageControl1->addTab(p, titre);
    return p;
}

// The partnership: connection, partner and synchronisation.
void TInfosPDA::construitPagePartenaire()
{
    QWidget *p1 = nouvellePage("TabSheet1", QStringLiteral("Partner ActiveSync PC"));
    GroupBox1 = new QGroupBox(QStringLiteral("Connexion ActiveSync "), p1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *f1 = new QFormLayout(GroupBox1);
    f1->addRow(QStringLiteral("Connected"), ConnectLbl = nouveauChamp(GroupBox1, "ConnectLbl"));
    f1->addRow(QStringLiteral("Partner"), PartnerLbl = nouveauChamp(GroupBox1, "PartnerLbl"));
    f1->addRow(QStringLiteral("Registered Profiles"), ProfilsLbl = nouveauChamp(GroupBox1, "ProfilsLbl"));
    auto *sync = new QGroupBox(QStringLiteral(" Synchronization "), p1);
    auto *fs = new QFormLayout(sync);
    fs->addRow(QStringLiteral("Synchronization Folder"), SyncDosLbl = nouveauChamp(sync, "SyncDosLbl"));
    fs->addRow(QStringLiteral("Synchronization File"), SyncFicLbl = nouveauChamp(sync, "SyncFicLbl"));
    auto *v1 = new QVBoxLayout(p1);
    v1->addWidget(GroupBox1);
    v1->addWidget(sync);
    v1->addStretch();
}

// The device: version, memory, power, its main windows.
void TInfosPDA::construitPageAppareil()
{
    QWidget *p2 = nouvellePage("TabSheet2", QStringLiteral("Infos PDA"));
    auto *f2 = new QFormLayout;
    f2->addRow(QStringLiteral("Version CE"), VersionLbl = nouveauChamp(p2, "VersionLbl"));
    f2->addRow(QStringLiteral("Processor"), ProcesseurLbl = nouveauChamp(p2, "ProcesseurLbl"));
    f2->addRow(QStringLiteral("Current TSK"), TskLbl = nouveauChamp(p2, "TskLbl"));
    auto *tsk = new QHBoxLayout;
    tsk->addWidget(NbTskRegLbl = nouveauChamp(p2, "NbTskRegLbl"));
    tsk->addWidget(VoirTskReg = nouveauBouton(p2, "VoirTskReg", QStringLiteral("Show")));
    tsk->addStretch();
    f2->addRow(QString(), tsk);
    auto *memoire = new QGroupBox(QStringLiteral(" Memory "), p2);
    auto *fm = new QFormLayout(memoire);
    fm->addRow(QStringLiteral("Memory"), MemPCLbl = nouveauChamp(memoire, "MemPCLbl"));
    fm->addRow(QStringLiteral("Program"), MemProgLbl = nouveauChamp(memoire, "MemProgLbl"));
    fm->addRow(QStringLiteral("Storage"), MemStockLbl = nouveauChamp(memoire, "MemStockLbl"));
    auto *alim = new QGroupBox(QStringLiteral(" Alimentation "), p2);
    auto *fa = new QFormLayout(alim);
    fa->addRow(QStringLiteral("Alimentation"), AlimLbl = nouveauChamp(alim, "AlimLbl"));
    fa->addRow(QStringLiteral("Main Battery"), BatPrincLbl = nouveauChamp(alim, "BatPrincLbl"));
    fa->addRow(QStringLiteral("Save Battery"), BatSauveLbl = nouveauChamp(alim, "BatSauveLbl"));
    QGroupBox *fenetres = construitGroupeFenetres(p2);
    auto *hb = new QHBoxLayout;
    hb->addWidget(VoirCoulTskBtn = nouveauBouton(p2, "VoirCoulTskBtn", chaineRes(kIdChaineCouleurs)));
    hb->addWidget(AppInstallBtn = nouveauBouton(p2, "AppInstallBtn", QStringLiteral("AppInstall")));
    hb->addStretch();
    auto *v2 = new QVBoxLayout(p2);
    v2->addLayout(f2);
    v2->addWidget(memoire);
    v2->addWidget(alim);
    v2->addWidget(fenetres, 1);
    v2->addLayout(hb);
}

// The device's main windows, as a tree filled on demand.
QGroupBox *TInfosPDA::construitGroupeFenetres(QWidget *page)
{
    auto *fenetres = new QGroupBox(QStringLiteral("Main Windows"), page);
    auto *vf = new QVBoxLayout(fenetres);
    auto *hf = new QHBoxLayout;
    hf->addWidget(AffFenBtn = nouveauBouton(fenetres, "AffFenBtn", QStringLiteral("Show Main Windows")));
    ChildCB = new QCheckBox(QStringLiteral("+ Windows Child"), fenetres);
    ChildCB->setObjectName(QStringLiteral("ChildCB"));
    hf->addWidget(ChildCB);
    hf->addStretch();
    vf->addLayout(hf);
    TreeView1 = new QTreeWidget(fenetres);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setItemDelegate(new DelegueArbre(TreeView1));
    TreeView1->setMouseTracking(true);
    TreeView1->viewport()->installEventFilter(this);
    vf->addWidget(TreeView1);
    return fenetres;
}

void TInfosPDA::construitPageDossiers()
{
    QWidget *p3 = nouvellePage("TabSheet3", QStringLiteral("Special Folders"));
    auto *f3 = new QFormLayout(p3);
    f3->addRow(QStringLiteral("NoSubFolderIn"), DosSyncLbl = nouveauChamp(p3, "DosSyncLbl"));
    f3->addRow(QStringLiteral("Desktop"), DesktopLbl = nouveauChamp(p3, "DesktopLbl"));
    f3->addRow(QStringLiteral("Personal"), PersonnelLbl = nouveauChamp(p3, "PersonnelLbl"));
    f3->addRow(QStringLiteral("Installed Programs"), ProgFilesLbl = nouveauChamp(p3, "ProgFilesLbl"));
    f3->addRow(QStringLiteral("Windows"), WindowsLbl = nouveauChamp(p3, "WindowsLbl"));
    f3->addRow(QStringLiteral("Start Programs"), ProgDemLbl = nouveauChamp(p3, "ProgDemLbl"));
    f3->addRow(QStringLiteral("StartMenu"), DemLbl = nouveauChamp(p3, "DemLbl"));
    f3->addRow(QStringLiteral("Startup"), DemarrageLbl = nouveauChamp(p3, "DemarrageLbl"));
    f3->addRow(QStringLiteral("Favorites"), FavorisLbl = nouveauChamp(p3, "FavorisLbl"));
    f3->addRow(QStringLiteral("Fonts"), FontesLbl = nouveauChamp(p3, "FontesLbl"));
    f3->addRow(QStringLiteral("Recent"), RecentLbl = nouveauChamp(p3, "RecentLbl"));
    f3->addRow(QStringLiteral("BitBucket"), CorbeilleLbl = nouveauChamp(p3, "CorbeilleLbl"));
    f3->addRow(QStringLiteral("Temp"), TemporaireLbl = nouveauChamp(p3, "TemporaireLbl"));
}

void TInfosPDA::construitPageProprietaire()
{
    QWidget *p4 = nouvellePage("TabSheet4", QStringLiteral("Owner Informations"));
    auto *proprio = new QGroupBox(QStringLiteral("Owner"), p4);
    auto *f4 = new QFormLayout(proprio);
    f4->addRow(QStringLiteral("Name"), NomLbl = nouveauChamp(proprio, "NomLbl"));
    f4->addRow(QStringLiteral("Company"), CompagnieLbl = nouveauChamp(proprio, "CompagnieLbl"));
    f4->addRow(QStringLiteral("Address"), AdresseLbl = nouveauChamp(proprio, "AdresseLbl"));
    f4->addRow(QStringLiteral("Phone"), TelLbl = nouveauChamp(proprio, "TelLbl"));
    f4->addRow(QStringLiteral("Email"), EmailLbl = nouveauChamp(proprio, "EmailLbl"));
    auto *v4 = new QVBoxLayout(p4);
    v4->addWidget(proprio);
    v4->addStretch();
}

// Colour tables: the four images share one place, one shown at a time.
void TInfosPDA::construitPageCouleurs()
{
    QWidget *p5 = nouvellePage("TabSheet5", QStringLiteral("System Colors"));
    auto *panel = new QWidget(p5);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedSize(kTailleNuancier);
    const auto image = [this, panel](const char *nom) {
        auto *l = new QLabel(panel);
        l->setObjectName(QLatin1String(nom));
        l->setGeometry(QRect(QPoint(0, 0), kTailleNuancier));
        l->setMouseTracking(true);
        l->installEventFilter(this);
        return l;
    };
    ImageCoulSH = image("ImageCoulSH");
    ImageCoulDefSH = image("ImageCoulDefSH");
    ImageCoulSys = image("ImageCoulSys");
    ImageCoulDefSys = image("ImageCoulDefSys");
    auto *rg = new QGroupBox(QStringLiteral("System Colors"), p5);
    rg->setObjectName(QStringLiteral("ColSysRG"));
    auto *vrg = new QVBoxLayout(rg);
    ColSysRG = new QButtonGroup(this);
    const char *items[] = {"HKLM\\SOFTWARE\\Microsoft\\Color\\SHColor", "HKLM\\SOFTWARE\\Microsoft\\Color\\DefSHColor",
                           "HKLM\\SYSTEM\\GWE\\SysColor", "HKLM\\SYSTEM\\GWE\\DefSysColor"};
    for (int i = 0; i < 4; ++i) {
        auto *r = new QRadioButton(QLatin1String(items[i]), rg);
        r->setObjectName(QStringLiteral("ColSysRG%1").arg(i));
        ColSysRG->addButton(r, i);
        vrg->addWidget(r);
    }
    ColSysRG->button(0)->setChecked(true);
    SauveCoulBtn = nouveauBouton(p5, "SauveCoulBtn", QStringLiteral("Save"));
    SauveCoulBtn->setToolTip(QStringLiteral("Save INF Colors file"));
    auto *h5 = new QHBoxLayout;
    h5->addWidget(rg);
    h5->addWidget(SauveCoulBtn, 0, Qt::AlignBottom);
    h5->addStretch();
    auto *v5 = new QVBoxLayout(p5);
    v5->addWidget(panel);
    v5->addLayout(h5);
    v5->addStretch();
}

void TInfosPDA::construitBoutons()
{
    QuitterBtn = nouveauBouton(this, "QuitterBtn", QStringLiteral("Quit"));
    OptionsAS = nouveauBouton(this, "OptionsAS", QStringLiteral("ActiveSync Options"));
    ActualiserBtn = nouveauBouton(this, "ActualiserBtn", QStringLiteral("Refresh"));
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OptionsAS);
    boutons->addWidget(ActualiserBtn);
    boutons->addStretch();
    boutons->addWidget(QuitterBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addWidget(PageControl1, 1);
    tout->addLayout(boutons);
}

void TInfosPDA::connecteCommandes()
{
    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ActualiserBtn, &QPushButton::clicked, this, [this] { FormShow(true); });
    connect(OptionsAS, &QPushButton::clicked, this, &TInfosPDA::OptionsASClick);
    connect(AffFenBtn, &QPushButton::clicked, this, &TInfosPDA::AffFenBtnClick);
    connect(ChildCB, &QCheckBox::toggled, this, &TInfosPDA::AffFenBtnClick);
    connect(VoirTskReg, &QPushButton::clicked, this, &TInfosPDA::VoirTskRegClick);
    connect(AppInstallBtn, &QPushButton::clicked, this, &TInfosPDA::AppInstallBtnClick);
    connect(VoirCoulTskBtn, &QPushButton::clicked, this, &TInfosPDA::VoirCoulTskBtnClick);
    connect(SauveCoulBtn, &QPushButton::clicked, this, &TInfosPDA::SauveCoulBtnClick);
    connect(ColSysRG, &QButtonGroup::idClicked, this, &TInfosPDA::ColSysRGClick);
}

void TInfosPDA::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // The page tabs share one width, that of the longest caption: every
    // caption shows whole.
    QTabBar *onglets = PageControl1->tabBar();
    onglets->setUsesScrollButtons(false);
    onglets->setElideMode(Qt::ElideNone);
    int largeur = 40;
    for (int i = 0; i < PageControl1->count(); ++i)
        largeur = qMax(largeur, onglets->fontMetrics().horizontalAdvance(PageControl1->tabText(i)) + 24);
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: %1px; }").arg(largeur));
    FormShow(false);
    // The texts just read decide the size the window opens at.
    if (QSize voulue = sizeHint(); voulue.width() > width() || voulue.height() > height())
        resize(size().expandedTo(voulue));
}

void TInfosPDA::FormShow(bool depuisActualiser)
{
    LienRapi &rapi = m_etat.Rapi;
    m_clesTsk = ClesTskTriees(m_etat);
    const bool cles = !m_clesTsk.isEmpty();
    NbTskRegLbl->setVisible(cles);
    VoirTskReg->setVisible(cles);
    NbTskRegLbl->setText(QStringLiteral("%1 TSK ").arg(m_clesTsk.size()) + chaineRes(kIdIn)
                         + QStringLiteral(" HKCU\\Software\\Microsoft\\Today"));

    InfosPDA infos;
    InfosSystemeCEs systeme;
    QString charge, programme, stockage, principale, sauvegarde, source;
    if (m_etat.PDAConnecte) {
        LitInfosPDA(rapi, infos);
        InfosSystemeCE(rapi, systeme);
        MemoireCE(rapi, charge, programme, stockage);
        EtatBatterieCE(rapi, principale, sauvegarde, source);
    }
    ConnectLbl->setText(infos.DeviceType + QLatin1Char(' ') + infos.OemInfo);
    QString partenaire = infos.NomAppareil;
    if (!infos.DescAppareil.isEmpty())
        partenaire += QLatin1String(" (") + infos.DescAppareil + QLatin1Char(')');
    if (!infos.NomPC.isEmpty())
        partenaire += QLatin1String(" ( PC : ") + infos.NomPC + QLatin1Char(')');
    PartnerLbl->setText(partenaire);
    ProfilsLbl->setText(infos.Partenariats);
    SyncDosLbl->setText(infos.DataFolder);
    SyncFicLbl->setText(infos.DataFile);
    VersionLbl->setText(systeme.Version);
    ProcesseurLbl->setText(infos.Processeur);
    TskLbl->setText(m_etat.PDAConnecte ? LitSkinToday(rapi) : QString());
    MemPCLbl->setText(charge);
    MemProgLbl->setText(programme);
    MemStockLbl->setText(stockage);
    AlimLbl->setText(source);
    BatPrincLbl->setText(principale);
    BatSauveLbl->setText(sauvegarde);
    DosSyncLbl->setText(infos.NoSubFolderIn);
    DesktopLbl->setText(systeme.Bureau);
    PersonnelLbl->setText(systeme.Personnel);
    ProgFilesLbl->setText(systeme.ProgFiles);
    WindowsLbl->setText(systeme.Windows);
    ProgDemLbl->setText(systeme.Programmes);
    DemLbl->setText(systeme.MenuDemarrer);
    DemarrageLbl->setText(systeme.Demarrage);
    FavorisLbl->setText(systeme.Favoris);
    FontesLbl->setText(systeme.Fontes);
    RecentLbl->setText(systeme.Recents);
    CorbeilleLbl->setText(systeme.Corbeille);
    TemporaireLbl->setText(systeme.Temporaire);
    NomLbl->setText(infos.Nom);
    CompagnieLbl->setText(infos.Compagnie);
    AdresseLbl->setText(infos.Adresse);
    TelLbl->setText(infos.Telephone);
    EmailLbl->setText(infos.Email);

    if (!depuisActualiser)
        PageControl1->setCurrentIndex(0);
    TreeView1->clear();
    {
        const QSignalBlocker bloque(ChildCB);
        ChildCB->setChecked(false);
    }
    // The manager's version would follow the caption; its file is only known
    // through the desktop's Windows registry.
    GroupBox1->setTitle(QStringLiteral("Connexion ActiveSync "));

    m_tables = m_etat.PDAConnecte ? LitTablesCouleursCE(rapi) : TablesCouleursCE{};
    const auto montre = [](QLabel *image, const auto &table) {
        if (table)
            image->setPixmap(QPixmap::fromImage(DessineCouleurs(*table)));
        else
            image->clear();
    };
    montre(ImageCoulSys, m_tables.sys);
    montre(ImageCoulDefSys, m_tables.defSys);
    montre(ImageCoulSH, m_tables.sh);
    montre(ImageCoulDefSH, m_tables.defSh);
    ColSysRGClick();
    m_survol = -1;

    AppInstallBtn->setVisible(m_etat.PDAConnecte && VersionMajeureCE(rapi) >= 5);
}

void TInfosPDA::ColSysRGClick()
{
    const int choix = ColSysRG->checkedId();
    ImageCoulSH->setVisible(choix == 0 && m_tables.sh.has_value());
    ImageCoulDefSH->setVisible(choix == 1 && m_tables.defSh.has_value());
    ImageCoulSys->setVisible(choix == 2 && m_tables.sys.has_value());
    ImageCoulDefSys->setVisible(choix == 3 && m_tables.defSys.has_value());
}

bool TInfosPDA::eventFilter(QObject *objet, QEvent *e)
{
    if (e->type() == QEvent::MouseMove) {
        auto *m = static_cast<QMouseEvent *>(e);
        if (objet == TreeView1->viewport())
            TreeView1->setFocus();
        else if (auto *image = qobject_cast<QLabel *>(objet))
            survole(image, m->position().toPoint(), m->globalPosition().toPoint());
    }
    return QDialog::eventFilter(objet, e);
}

void TInfosPDA::survole(QLabel *image, const QPoint &position, const QPoint &global)
{
    const bool shell = image == ImageCoulSH || image == ImageCoulDefSH;
    const int k = swatchEn(position, shell ? kNbSHColor : kNbSysColor);
    std::optional<uint32_t> valeur;
    if (k >= 0) {
        if (image == ImageCoulSH && m_tables.sh)
            valeur = (*m_tables.sh)[size_t(k)];
        else if (image == ImageCoulDefSH && m_tables.defSh)
            valeur = (*m_tables.defSh)[size_t(k)];
        else if (image == ImageCoulSys && m_tables.sys)
            valeur = (*m_tables.sys)[size_t(k)];
        else if (image == ImageCoulDefSys && m_tables.defSys)
            valeur = (*m_tables.defSys)[size_t(k)];
    }
    if (k < 0 || !valeur) {
        QToolTip::hideText();
        image->setToolTip(QString());
        m_survol = -1;
        return;
    }
    if (k == m_survol)
        return;
    QToolTip::hideText();
    m_survol = k;
    const int r = int(*valeur & 0xFF), v = int((*valeur >> 8) & 0xFF), b = int((*valeur >> 16) & 0xFF);
    QString texte;
    if (shell) {
        QString nom = LibelleNumeroCouleur(k, m_ctx.libelles);
        if (nom.isEmpty())
            nom = QString::number(k) + QLatin1String(" : ???");
        texte = nom + QString::asprintf("\r\nR : %.3d\r\nV : %.3d\r\nB : %.3d", r, v, b);
    } else {
        texte = QString::asprintf("Couleur %.2d\r\n", k) + NomCouleurSysteme(k) + QLatin1String("\r\n")
                + DescriptionCouleurSysteme(k) + QString::asprintf("\r\nR : %.3d\r\nV : %.3d\r\nB : %.3d", r, v, b);
    }
    image->setToolTip(texte);
    MontreBulleImmediate(image, global);
}

void TInfosPDA::AffFenBtnClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TreeView1->setUpdatesEnabled(false);
    TreeView1->clear();
    auto *racine = new QTreeWidgetItem(TreeView1, {QStringLiteral("Root Window")});
    QList<uint32_t> vues;
    int nb = 0;
    if (m_etat.PDAConnecte)
        AjouteFenetresCE(0, 0, racine, vues, nb);
    TreeView1->expandAll();
    TreeView1->setUpdatesEnabled(true);
    TreeView1->scrollToItem(racine);
    QApplication::restoreOverrideCursor();
}

void TInfosPDA::AjouteFenetresCE(uint32_t fenetre, int niveau, QTreeWidgetItem *parent, QList<uint32_t> &vues,
                                 int &nb)
{
    // The device's answers are not trusted: no window is entered twice, the
    // walk stops at a depth and a count, and the failure value is "none".
    if (niveau >= kProfondeurMaxFenetresCE)
        return;
    LienRapi &rapi = m_etat.Rapi;
    const CEHWND enfant = rapi.CeGetWindow(fenetre, 5);
    if (!estFenetreCE(enfant) || enfant == fenetre)
        return;
    for (CEHWND w = rapi.CeGetWindow(enfant, 0); estFenetreCE(w) && nb < kMaxFenetresCE; w = rapi.CeGetWindow(w, 2)) {
        if (vues.contains(w))
            break;
        vues.append(w);
        ++nb;
        std::array<WCHAR, 256> classe{}, titre{};
        const int lc = rapi.CeGetClassName(w, classe.data(), 255);
        const int lt = rapi.CeGetWindowText(w, titre.data(), 255);
        const uint32_t style = uint32_t(rapi.CeGetWindowLong(w, -16));
        const uint32_t ex = uint32_t(rapi.CeGetWindowLong(w, -20));
        const QString nomClasse = lc > 0 && lc != 0xFFFF ? depuisCE(classe.data(), 255) : QString();
        const QString texteTitre = lt > 0 && lt != 0xFFFF ? depuisCE(titre.data(), 255) : QString();
        auto *noeud = new QTreeWidgetItem(parent, {TexteFenetreCE(texteTitre, nomClasse, style, ex)});
        if (ChildCB->isChecked())
            AjouteFenetresCE(w, niveau + 1, noeud, vues, nb);
    }
}

void TInfosPDA::VoirCoulTskBtnClick()
{
    LienRapi &rapi = m_etat.Rapi;
    QString rapport;
    EtatCouleursCE etat;
    int baseHue = -1, dpi = -1, useStartImage = -1;
    LitCouleursCE(rapi, etat, baseHue, dpi, useStartImage, &rapport);
    int angle = 0;
    if (LitRotationCE(rapi, angle))
        rapport = QStringLiteral("%1\r\n\r\nHKLM\\System\\GDI\\ROTATION\r\n\r\nRotation : %2°").arg(rapport).arg(angle);
    rapport = QStringLiteral("%1\r\n\r\n%2 x %3").arg(rapport).arg(rapi.CeGetSystemMetrics(0)).arg(rapi.CeGetSystemMetrics(1));
    m_ctx.prompts->message(TskLbl->text() + QLatin1String("\r\n\r\n") + rapport);
}

void TInfosPDA::SauveCoulBtnClick()
{
    const QString skin = m_etat.PDAConnecte ? LitSkinToday(m_etat.Rapi) : QString();
    QString erreur;
    if (!SauveRapportCouleurs(m_ctx.dossierAppli, skin, m_tables, m_ctx.libelles, &erreur))
        m_ctx.prompts->message(erreur, QString(), Prompts::Icon::Error);
}

void TInfosPDA::VoirTskRegClick()
{
    if (m_clesTsk.isEmpty())
        return;
    AnimationPauseGuard pause(m_ctx.pause);
    // The list just read opens the window; after keys were erased this
    // window reads everything again and hands the new list over.
    bool premier = true;
    OuvreTskRegToday(m_etat, *m_ctx.prompts, this, [this, &premier] {
        if (!premier)
            FormShow(false); // read again, from the first page, as a new showing
        premier = false;
        return m_clesTsk;
    });
}

void TInfosPDA::OptionsASClick()
{
    // ActiveSync's own settings window when the connection manager has one;
    // otherwise the user is told, rather than the button doing nothing.
    const HRESULT r = m_etat.DccMan ? m_etat.DccMan->ShowCommSettings() : OVD_E_FAIL;
    if (r == 0 || !m_ctx.prompts)
        return;
    AnimationPauseGuard pause(m_ctx.pause);
    m_ctx.prompts->message(r == OVD_E_NOTIMPL
                               ? QStringLiteral("The simulated device has no ActiveSync connection settings "
                                                "window:\r\nits connection is set with the ovd-devsim tool.")
                               : QStringLiteral("No ActiveSync connection manager !"),
                           QStringLiteral("ActiveSync Options"), Prompts::Icon::Information);
}

void TInfosPDA::AppInstallBtnClick()
{
    AnimationPauseGuard pause(m_ctx.pause);
    OuvreAppInst(m_etat, *m_ctx.prompts, this);
}

int OuvreInfosPDA(EtatPDA &etat, const ContexteInfosPDA &ctx, QWidget *parent)
{
    if (!ctx.prompts)
        return QDialog::Rejected;
    if (!etat.RapiPresent || !etat.PDAConnecte) {
        ctx.prompts->message(QStringLiteral("Not connected !"));
        return QDialog::Rejected;
    }
    AnimationPauseGuard pause(ctx.pause);
    TInfosPDA fenetre(etat, ctx, parent);
    return fenetre.exec();
}
