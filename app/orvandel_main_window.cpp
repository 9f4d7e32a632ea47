#include "app/orvandel_main_window.h"

#include "app/anime_thread.h"
#include "apercu/calque_crochets.h"
#include "apercu/fond_fenetre.h"
#include "apercu/vue_apercu_ecran.h"
#include "ui/charge_image_res.h"
#include "ui/fonctions_indep.h"
#include "app/aide_html.h"
#include "app/capture_ecran.h"
#include "app/style_barre_outils.h"
#include "device/etat_pda.h"
#include "theme/animation_pause.h"
#include "theme/fichier_couleurs.h"
#include "theme/image_et_copie.h"
#include "theme/images_travail.h"
#include "theme/prompts.h"
#include "tools/teintes_images.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

TColor depuisQt(const QColor &c)
{
    return TColor::fromQRgb(c.rgb());
}

} // namespace

TOrvandel::TOrvandel(const DossiersProgramme &dossiers, Prompts *prompts, QWidget *parent)
    : QMainWindow(parent), m_ctx(dossiers, prompts)
{
    setObjectName(QStringLiteral("Orvandel"));
    setWindowTitle(QStringLiteral("Orvandel"));
    setWindowIcon(QIcon(QPixmap::fromImage(LitImageFichier(QStringLiteral(":/art/orvandel.png")))));
    // A working picture and its plain copy whose save was cut short are made
    // one again before anything reads them.
    AcheveCopiesInterrompues(m_ctx.dossiers.DossierAppli, m_ctx.prompts);
    m_ctx.teintes = std::make_shared<TeintesImages>();
    // Shift + P / Shift + J in this window capture its screen area.
    m_ctx.capture = new CaptureEcran(this, m_ctx.dossiers.DossierTempWin, m_ctx.prompts, this);
    m_ctx.capture->installe(this);
    construitFenetre();
    lieDocument();
    FormCreate();
    m_apercu->reprendDessins();
}

TOrvandel::~TOrvandel() = default;

void TOrvandel::construitFenetre()
{
    InstalleStyleBarreOutils();
    auto *barre = new QToolBar(this);
    barre->setObjectName(QStringLiteral("ToolBar1"));
    barre->setMovable(false);
    barre->setIconSize(QSize(42, 42));
    addToolBar(barre);

    m_sauveCoul = new QToolButton(barre);
    m_sauveCoul->setObjectName(QStringLiteral("SauveCoulTbtn"));
    m_sauveCoul->setIcon(IconeRes(QStringLiteral("coulout.png")));
    m_sauveCoul->setToolTip(QStringLiteral("Save current Colors"));
    barre->addWidget(m_sauveCoul);
    connect(m_sauveCoul, &QToolButton::clicked, this, &TOrvandel::SauveCoulTbtnClick);

    m_chargeCoul = new QToolButton(barre);
    m_chargeCoul->setObjectName(QStringLiteral("ChargeCoulTBtn"));
    m_chargeCoul->setIcon(IconeRes(QStringLiteral("coulin.png")));
    m_chargeCoul->setToolTip(QStringLiteral("Load saved Colors"));
    barre->addWidget(m_chargeCoul);
    connect(m_chargeCoul, &QToolButton::clicked, this, &TOrvandel::ChargeCoulBtnClick);
    construitCommandes(barre);
    construitCommandesOutils(barre);
    barre->addSeparator();
    barre->addWidget(construitEtatAppareil(barre));
    InitMenuSys(barre);

    // The pages on the left, the device screen and the pictures on the right.
    auto *centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("Centre"));
    auto *ligne = new QHBoxLayout(centre);
    // The product name and version are lettered on the background below the
    // pages and the preview.
    {
        const QMargins m = ligne->contentsMargins();
        ligne->setContentsMargins(m.left(), m.top(), m.right(), HauteurBandeLettrage);
    }

    // Pages in tab order.
    m_pages = new QTabWidget(centre);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(construitPageOptions(), QStringLiteral("Options"));
    m_pages->addTab(construitPageImages(), QStringLiteral("Images"));
    m_pages->addTab(construitPageCouleurs(), QStringLiteral("Colors"));
    m_pages->addTab(construitPageWM5(), QStringLiteral("WM5"));
    m_pages->addTab(construitPageAppareil(), QStringLiteral("ActiveSync"));
    m_pages->addTab(construitPageInf(), QStringLiteral("INF"));
    m_pages->setTabVisible(m_pages->indexOf(m_pageInf), false);
    ligne->addWidget(m_pages, 1);
    ligne->addWidget(construitApercu(centre));
    setCentralWidget(centre);
    new CalqueCrochets(centre, m_apercu);
    construitOnglets();
    construitBarreEtat();
    installeAideContexte();
    m_themeEdit->installEventFilter(this);
    connect(m_themeEdit, &QLineEdit::textChanged, this, &TOrvandel::ThemeEditChange);
    connect(m_themeAppEdt, &QLineEdit::textChanged, this, &TOrvandel::ThemeAppEdtChange);
    ThemeEditChange();
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int) {
        if (m_pages->currentWidget() == m_pageOptions)
            OptionsTabSShow();
    });
}

void TOrvandel::FormCreate()
{
    const QPalette pal = palette();
    m_ctx.CouleursSysteme = {depuisQt(pal.color(QPalette::Active, QPalette::Highlight)),
                             depuisQt(pal.color(QPalette::Inactive, QPalette::HighlightedText)),
                             depuisQt(pal.color(QPalette::Light)),
                             depuisQt(pal.color(QPalette::Active, QPalette::Highlight))};
    // The lower form colour's default, which the options may replace.
    m_ctx.options.CouleurFormInfG = m_ctx.CouleursSysteme[0];

    FormatImages format = m_ctx.document.format();
    LitOptions(FichierOptions(m_ctx.dossiers), m_ctx.options, format, m_ctx.dossiers);
    m_ctx.document.setFormat(format);
    afficheOptionsPaquet();
    crochetAppliqueBulles();

    crochetApparence();
    crochetLieSkin();
    crochetAffDossier();
    crochetInitBulles();
    m_ctx.document.setFormatTheme(format.FormatTheme);
    OptionsTabSShow();
    crochetMajEtatCreation();

    // The slot names come from the string table through the document.
    ParametresWM5 p = m_ctx.document.parametres();
    p.BaseHueDefini = p.DPIDefini = p.Coul34Definie = p.UseStartImageDefini = p.ClesThemeDefinies = false;
    m_ctx.document.setParametres(p);

    crochetAccepteFichiers();
    crochetImages();
    crochetLienAppareil();
    crochetDialoguesEtAide();
    crochetBarreEtat();

    apresChargeCouleurs(ChargeCouleurs(m_ctx.document, m_ctx.dossiers.FichierCouleurs, true));

    crochetTempsLibre();
    crochetDemarreAnimation();
}

void TOrvandel::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TOrvandel::gardeThemePourDemarrage()
{
    QString erreur;
    if (m_ctx.dossiers.FichierCouleurs.isEmpty()
        || SauveThemeTravail(m_ctx.document, m_ctx.dossiers.FichierCouleurs, &erreur) || !m_ctx.prompts)
        return true;
    AnimationPauseGuard pause(&m_ctx.animation);
    return m_ctx.prompts->question(erreur + QStringLiteral("\n\nThe theme being edited will not be there at the next "
                                                            "start.\nClose anyway?"),
                                   {}, Prompts::Buttons::OkCancel, Prompts::Icon::Warning)
           == Prompts::Answer::Ok;
}

bool TOrvandel::FormCloseQuery()
{
    if (m_fermee)
        return true;
    // The theme being edited, for the next start (the working pictures stay
    // too), first: the user may still keep the program open to save it.
    if (!gardeThemePourDemarrage())
        return false;
    m_fermee = true;

    crochetArreteAnimation();
    crochetFermeAide();
    crochetLibereAppareil();

    // The pictures a format change put aside go with the working pictures, so
    // that none of them comes back into a later theme.
    if (m_ctx.EffacerImagesEnQuittant) {
        const QDir dossier(m_ctx.dossiers.DossierAppli);
        for (const QString &nom : NomsImagesTravail())
            QFile::remove(dossier.filePath(nom));
        for (const QString &chemin : CopiesMisesDeCote(dossier))
            QFile::remove(chemin);
    }

    if (!m_ctx.dossiers.DossierThemeTmp.isEmpty())
        SupprimeDossier(m_ctx.dossiers.DossierThemeTmp);

    QString erreur;
    if (!SauveOptions(FichierOptions(m_ctx.dossiers), m_ctx.options, m_ctx.document.format(), m_ctx.dossiers,
                      &erreur)
        && m_ctx.prompts)
        m_ctx.prompts->message(erreur, {}, Prompts::Icon::Error);
    return true;
}
