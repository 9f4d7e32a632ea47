#include "device/arbre_ce.h"

#include "ui/fonctions_indep.h"
#include "ui/charge_image_res.h"
#include "ui/texte_brut.h"
#include "ui/utiles_indep.h"
#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/animation_pause.h"
#include "theme/cabinet_paquet.h"
#include "theme/fichier_ordinaire.h"
#include "theme/limite_pixels.h"
#include "theme/member_name.h"
#include "theme/prompts.h"
#include "theme/setup_ce_reader.h"
#include "theme/setup_xml_reader.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr QSize kTailleApercu(120, 160);

bool estDossier(const QTreeWidgetItem *n)
{
    return n->data(0, kRoleImageCE).toInt() == ImageDossierCE;
}

// Alphabetic order at every level, without regard to case.
void trieNoeuds(QTreeWidgetItem *parent)
{
    QList<QTreeWidgetItem *> enfants = parent->takeChildren();
    std::stable_sort(enfants.begin(), enfants.end(), [](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive) < 0;
    });
    parent->addChildren(enfants);
    for (QTreeWidgetItem *e : enfants)
        trieNoeuds(e);
}

// The node colours: grey for what cannot be chosen in this mode, else blue
// (yellow when selected); the hovered node navy, bold and underlined.
class DessinNoeudCE : public QStyledItemDelegate
{
public:
    DessinNoeudCE(const TArbreCE *arbre, QTreeWidget *vue) : QStyledItemDelegate(vue), m_arbre(arbre), m_vue(vue) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QTreeWidgetItem *n = m_vue->itemFromIndex(index);
        if (!n)
            return;
        const bool survole = m_arbre->noeudSurvole() == QPersistentModelIndex(index);
        QColor texte(0, 0, 192);
        QColor choisi(255, 255, 0);
        if (!m_arbre->acceptable(n)) {
            texte = choisi = QColor(128, 128, 128);
        } else if (survole) {
            texte = QColor(0, 0, 128);
        }
        option->palette.setColor(QPalette::Text, texte);
        option->palette.setColor(QPalette::HighlightedText, choisi);
        if (survole) {
            option->font.setBold(true);
            option->font.setUnderline(true);
        }
    }

private:
    const TArbreCE *m_arbre;
    QTreeWidget *m_vue;
};

// The tool bar's buttons as the browser draws them: a hot button on the
// shared rounded background, then its 42 x 42 picture at (4, 3); the
// validate button, when disabled, its grey picture and the "not allowed"
// sign at (30, 28). The picture names sit in the button's "image" and
// "imageGrise" properties.
class StyleBarreArbre : public QProxyStyle
{
public:
    StyleBarreArbre(const ContexteArbreCE &ctx) : m_ctx(ctx) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override
    {
        const QString image = widget ? widget->property("image").toString() : QString();
        if (control != CC_ToolButton || !option || image.isEmpty() || option->rect.isEmpty()) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const bool actif = option->state & State_Enabled;
        const bool chaud = actif && (option->state & (State_MouseOver | State_Sunken | State_On));
        QImage canevas(option->rect.size(), QImage::Format_ARGB32);
        canevas.fill(Qt::transparent);
        if (chaud) {
            const bool uniforme = !m_ctx.apparence || m_ctx.apparence->uniforme;
            const CouleursDerivees derivees = m_ctx.apparence ? m_ctx.apparence->derivees : CouleursDerivees{};
            DessineBoutonArrondi(canevas, canevas.rect(), JeuBoutonSysteme(m_ctx.systeme), JeuBoutonDerive(derivees),
                                 uniforme);
        }
        QPainter p(&canevas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QString grise = widget->property("imageGrise").toString();
        const QImage dessin = ChargeImageRes(actif || grise.isEmpty() ? image : grise);
        p.drawImage(QRect(4, 3, 42, 42), dessin);
        if (!actif && !grise.isEmpty())
            p.drawImage(QRect(30, 28, 16, 16), ChargeImageRes(QStringLiteral("interdit.png")));
        p.end();
        painter->drawImage(option->rect.topLeft(), canevas);
    }

private:
    ContexteArbreCE m_ctx;
};

} // namespace

TArbreCE::TArbreCE(EtatPDA &etat, const ContexteArbreCE &ctx, QWidget *parent)
    : QDialog(parent), m_etat(etat), m_ctx(ctx)
{
    setObjectName(QStringLiteral("ArbreCE"));
    setWindowIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("tskarbre.png")))));

    // The tree's pictures: folder, package, current skin.
    for (const QImage &image : ChargeBitmapDansListe(QStringLiteral(":/art/unelignearbreun.png")))
        m_images << QIcon(QPixmap::fromImage(image));
    if (!m_ctx.glypheSkin.isNull() && m_images.size() > ImageSkinCE)
        m_images[ImageSkinCE] = m_ctx.glypheSkin;

    // The cool bar carries the tool bar on the shared tile (none in the
    // uniform look); the buttons are drawn by the browser.
    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    ToolBar1 = new QToolBar(CoolBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(42, 42));
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; }"));
    auto *style = new StyleBarreArbre(m_ctx);
    style->setParent(this); // outlives the buttons it draws
    const auto bouton = [&](const char *nom, const QString &bulle, const QString &image,
                            const QString &imageGrise = QString()) {
        auto *b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(nom));
        b->setToolTip(bulle);
        b->setProperty("image", image);
        b->setProperty("imageGrise", imageGrise);
        b->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(image))));
        b->setFixedSize(50, 48);
        b->setAutoRaise(true);
        b->setStyle(style);
        ToolBar1->addWidget(b);
        return b;
    };
    ExpColTBtn = bouton("ExpColTBtn", QStringLiteral("Extend or Contract tree"), QStringLiteral("arbreexp.png"));
    ExpColTBtn->setCheckable(true);
    ValiderTBtn = bouton("ValiderTBtn", QStringLiteral("Validate if item chosen"), QStringLiteral("arbreval.png"),
                         QStringLiteral("arbrevalgris.png"));
    ToolButton1 = bouton("ToolButton1", QStringLiteral("Quit without validate"), QStringLiteral("arbrequit.png"));
    auto *ligneCool = new QHBoxLayout(CoolBar1);
    ligneCool->setContentsMargins(2, 2, 2, 2);
    ligneCool->addWidget(ToolBar1);
    ligneCool->addStretch();

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setMouseTracking(true);
    TreeView1->setItemDelegate(new DessinNoeudCE(this, TreeView1));
    TreeView1->viewport()->installEventFilter(this);
    TreeView1->setMinimumSize(300, 360);
    TreeView1->setExpandsOnDoubleClick(false);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    const auto libelle = [this](const char *nom, const QString &texte = QString()) {
        auto *l = new QLabel(texte, Panel1);
        l->setObjectName(QLatin1String(nom));
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    Image1 = libelle("Image1");
    Image2 = libelle("Image2");
    for (QLabel *image : {Image1, Image2}) {
        image->setFixedSize(kTailleApercu);
        QSizePolicy sp = image->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        image->setSizePolicy(sp);
    }
    DeuxImgCB = new QCheckBox(QStringLiteral("Today Image          and        Start"), Panel1);
    DeuxImgCB->setObjectName(QStringLiteral("DeuxImgCB"));
    LargTLbl = libelle("LargTLbl");
    HautTLbl = libelle("HautTLbl");
    TypeTlbl = libelle("TypeTlbl");
    LargDLbl = libelle("LargDLbl");
    HautDLbl = libelle("HautDLbl");
    TypeDLbl = libelle("TypeDLbl");
    LandDefLbl = libelle("LandDefLbl", QStringLiteral("L"));
    auto *apercu = new QGridLayout(Panel1);
    apercu->addWidget(DeuxImgCB, 0, 0, 1, 3);
    apercu->addWidget(LandDefLbl, 0, 3);
    apercu->addWidget(Image1, 1, 1);
    apercu->addWidget(Image2, 1, 2);
    apercu->addWidget(libelle("Label1", QStringLiteral("Width  :")), 2, 0);
    apercu->addWidget(LargTLbl, 2, 1);
    apercu->addWidget(LargDLbl, 2, 2);
    apercu->addWidget(libelle("Label2", QStringLiteral("Height")), 3, 0);
    apercu->addWidget(HautTLbl, 3, 1);
    apercu->addWidget(HautDLbl, 3, 2);
    apercu->addWidget(libelle("Label3", QStringLiteral("Type :")), 4, 0);
    apercu->addWidget(TypeTlbl, 4, 1);
    apercu->addWidget(TypeDLbl, 4, 2);
    apercu->setRowStretch(5, 1);

    StatusBar1 = new QWidget(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    auto *barreEtat = new QHBoxLayout(StatusBar1);
    barreEtat->setContentsMargins(2, 2, 2, 2);
    for (int k = 0; k < 3; ++k) {
        m_panneaux[k] = new QLabel(StatusBar1);
        m_panneaux[k]->setObjectName(QStringLiteral("Panneau%1").arg(k));
        m_panneaux[k]->setTextFormat(Qt::PlainText);
        m_panneaux[k]->setFrameShape(QFrame::Panel);
        m_panneaux[k]->setFrameShadow(QFrame::Sunken);
        m_panneaux[k]->setMinimumWidth(k == 0 ? 260 : 110);
        barreEtat->addWidget(m_panneaux[k], k == 0 ? 1 : 0);
    }

    auto *milieu = new QHBoxLayout;
    milieu->addWidget(TreeView1, 1);
    milieu->addWidget(Panel1);
    auto *tout = new QVBoxLayout(this);
    tout->addWidget(CoolBar1);
    tout->addLayout(milieu, 1);
    tout->addWidget(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TArbreCE::ConstruireArbreBtnClick);

    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *n) { TreeView1Click(n); });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, &TArbreCE::TreeView1DblClick);
    connect(ExpColTBtn, &QToolButton::clicked, this, &TArbreCE::ExpColTBtnClick);
    connect(DeuxImgCB, &QCheckBox::clicked, this, &TArbreCE::DeuxImgCBClick);
    connect(ValiderTBtn, &QToolButton::clicked, this, [this] { QuitterBtnClick(true); });
    connect(ToolButton1, &QToolButton::clicked, this, [this] { QuitterBtnClick(false); });
}

QString TArbreCE::CheminNoeud(const QTreeWidgetItem *noeud)
{
    if (!noeud)
        return QString();
    QStringList parties;
    for (const QTreeWidgetItem *n = noeud; n && n->parent(); n = n->parent())
        parties.prepend(n->text(0));
    return QLatin1Char('\\') + parties.join(QLatin1Char('\\'));
}

bool TArbreCE::acceptable(const QTreeWidgetItem *noeud) const
{
    return noeud && estDossier(noeud) == m_etat.ModeDossierPDA;
}

void TArbreCE::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TArbreCE::FormShow()
{
    Timer1->stop();
    if (m_ctx.apparence)
        MajFondCoolBar(CoolBar1, m_ctx.apparence->BmpDegrade, m_ctx.apparence->uniforme);
    else
        MajFondCoolBar(CoolBar1, QImage(), true);
    m_apercuEnCours = false;
    m_valide = false;
    m_survol = QPersistentModelIndex();
    Panel1->hide();
    Image2->hide();
    videApercu(Image1, TypeTlbl, HautTLbl, LargTLbl);
    videApercu(Image2, TypeDLbl, HautDLbl, LargDLbl);
    LandDefLbl->hide();
    DeuxImgCB->setChecked(false);
    TreeView1->clear();
    for (QLabel *p : m_panneaux)
        p->clear();
    m_etat.CheminPDA.clear();
    setWindowTitle(m_etat.ModeDossierPDA ? QStringLiteral("Copy TSK to the Pocket PC")
                                         : QStringLiteral("Import TSK from Pocket PC"));
    ExpColTBtn->setChecked(false);
    ValiderTBtn->setEnabled(false);
    Timer1->start();
}

void TArbreCE::ConstruireArbreBtnClick()
{
    Timer1->stop();
    AnimationPauseGuard pause(m_ctx.pause);
    if (!m_etat.PDAConnecte) {
        if (m_ctx.prompts)
            m_ctx.prompts->message(QStringLiteral("Not connected ! Verify Connections."));
        return;
    }
    const QString titre = windowTitle();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto retablit = qScopeGuard([&] {
        QApplication::restoreOverrideCursor();
        setWindowTitle(titre);
    });
    setWindowTitle(QStringLiteral("Wait ..."));

    // The tree stays still while it fills; the status bar counts.
    TreeView1->setUpdatesEnabled(false);
    TreeView1->clear();
    m_survol = QPersistentModelIndex();
    auto *racine = new QTreeWidgetItem(TreeView1, QStringList(QStringLiteral("\\")));
    racine->setData(0, kRoleImageCE, int(ImageDossierCE));
    if (!m_images.isEmpty())
        racine->setIcon(0, m_images.at(ImageDossierCE));
    const QString skin = LitSkinToday(m_etat.Rapi);
    const QString fichierSkin = skin.mid(skin.lastIndexOf(QLatin1Char('\\')) + 1);
    int nbDossiers = 0, nbFichiers = 0, nbPaquets = 0;
    const PanneauxArbreCE panneaux{m_panneaux[0], m_panneaux[1], m_panneaux[2], StatusBar1};
    RemplitArbreCE(m_etat.Rapi, QStringLiteral("\\"), racine, nbDossiers, fichierSkin, panneaux, nbFichiers,
                   nbPaquets, m_images);

    setWindowTitle(QStringLiteral("Alphabetic sort"));
    trieNoeuds(racine);
    racine->setExpanded(true);
    TreeView1->setUpdatesEnabled(true);
    TreeView1->setFocus();
    m_panneaux[0]->setText(m_etat.ModeDossierPDA ? QStringLiteral("Select Dir where to copy TSK")
                                                 : QStringLiteral("Select TSK to import from Pocket PC"));
}

void TArbreCE::TreeView1Click(QTreeWidgetItem *noeud)
{
    if (!noeud) {
        Panel1->hide();
        ValiderTBtn->setEnabled(false);
        return;
    }
    if (!acceptable(noeud)) {
        m_panneaux[0]->clear();
        m_etat.CheminPDA.clear();
        Panel1->hide();
        ValiderTBtn->setEnabled(false);
        if (m_ctx.prompts)
            m_ctx.prompts->beep();
        return;
    }
    m_etat.CheminPDA = CheminNoeud(noeud);
    if (!m_etat.ModeDossierPDA && !m_apercuEnCours)
        ApercuTskCE(m_etat.CheminPDA);
    Panel1->setVisible(!m_etat.ModeDossierPDA);
    ValiderTBtn->setEnabled(true);
    const QFontMetrics fm(m_panneaux[0]->font());
    m_panneaux[0]->setText(fm.elidedText(m_etat.CheminPDA, Qt::ElideMiddle, qMax(0, m_panneaux[0]->width() - 10)));
}

void TArbreCE::TreeView1MouseMove(const QPoint &position)
{
    QTreeWidgetItem *n = TreeView1->itemAt(position);
    if (!n) {
        if (m_survol.isValid()) {
            QToolTip::hideText();
            m_survol = QPersistentModelIndex();
            TreeView1->viewport()->update();
        }
        TreeView1->setToolTip(QString());
        return;
    }
    const QPersistentModelIndex index(TreeView1->indexFromItem(n));
    if (index == m_survol)
        return;
    QToolTip::hideText();
    const QString chemin = CheminNoeud(n);
    QString bulle = QLatin1Char('\'') + chemin + QLatin1Char('\'');
    if (!estDossier(n))
        bulle += InfosFichierCE(m_etat.Rapi, chemin);
    // Device names are shown as they are, never read as markup.
    n->setToolTip(0, BulleTexteBrut(bulle));
    m_survol = index;
    TreeView1->viewport()->update();
}

bool TArbreCE::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == TreeView1->viewport()) {
        if (e->type() == QEvent::MouseMove)
            TreeView1MouseMove(static_cast<QMouseEvent *>(e)->position().toPoint());
        else if (e->type() == QEvent::Leave)
            TreeView1MouseMove(QPoint(-1, -1));
    }
    return QDialog::eventFilter(objet, e);
}

void TArbreCE::TreeView1DblClick()
{
    if (ValiderTBtn->isEnabled())
        ValiderTBtn->click();
}

void TArbreCE::ExpColTBtnClick()
{
    QTreeWidgetItem *racine = TreeView1->topLevelItem(0);
    TreeView1->setUpdatesEnabled(false);
    if (ExpColTBtn->isChecked()) {
        TreeView1->expandAll();
    } else {
        TreeView1->collapseAll();
        if (racine)
            racine->setExpanded(true);
    }
    TreeView1->setUpdatesEnabled(true);
    if (racine)
        TreeView1->scrollToItem(racine);
    TreeView1->setFocus();
}

void TArbreCE::DeuxImgCBClick()
{
    Image2->setVisible(DeuxImgCB->isChecked());
    TreeView1->setFocus();
}

void TArbreCE::QuitterBtnClick(bool valider)
{
    m_valide = valider;
    if (valider)
        accept();
    else
        reject();
}

void TArbreCE::done(int r)
{
    // Every way of closing (quit button, close box, Escape) ends here.
    Timer1->stop();
    if (!m_valide)
        m_etat.CheminPDA.clear();
    QDialog::done(m_valide ? QDialog::Accepted : r);
}

void TArbreCE::videApercu(QLabel *image, QLabel *type, QLabel *hauteur, QLabel *largeur)
{
    image->clear();
    type->clear();
    hauteur->clear();
    largeur->clear();
}

void TArbreCE::ApercuTskCE(const QString &cheminCE)
{
    m_apercuEnCours = true;
    LandDefLbl->hide();
    const QString copie = m_ctx.dossierTravail + QStringLiteral("/QUASPO.tsk");
    // The copy and everything taken out of it go on every path.
    const auto fin = qScopeGuard([&] {
        QFile::remove(copie);
        m_apercuEnCours = false;
    });
    std::array<QString, 2> fichiers; // Today, Start
    QTemporaryDir extraits(m_ctx.dossierTravail + QStringLiteral("/apercu-XXXXXX"));

    if (extraits.isValid() && CopieDepuisCE(m_etat.Rapi, cheminCE, copie)) {
        // The package comes from the device: only plain member names are
        // used, and each is extracted under a name of our own.
        CabinetPaquet cabinet;
        QHash<QString, QString> membres; // lower-cased name -> name in the cabinet
        QStringList cles;
        QString setup, xml;
        for (const QString &m : cabinet.lister(copie).value_or(QStringList())) {
            if (!estNomMembreSur(m))
                continue;
            const QString cle = cleNomMembre(m);
            membres.insert(cle, m);
            cles << cle;
            if (cle.contains(QLatin1String(".000")))
                setup = cle;
            else if (cle.contains(QLatin1String(".xml")))
                xml = cle;
        }
        const auto extrait = [&](const QString &cle, const QString &nom, qint64 max) -> QString {
            const QString dest = extraits.filePath(nom);
            if (!membres.contains(cle) || !cabinet.extraire(copie, membres.value(cle), dest)
                || !QFileInfo(dest).isFile() || QFileInfo(dest).size() > max)
                return QString();
            return dest;
        };
        const auto litMembre = [&](const QString &cle) -> QByteArray {
            return LitFichierOrdinaire(extrait(cle, QStringLiteral("setup"), SetupCE::TailleMax), SetupCE::TailleMax)
                .value_or(QByteArray());
        };
        int groupe = 6;
        MembresImages images;
        if (!setup.isEmpty()) {
            const ResultatSetupCE r = LitFichierSetupCE(litMembre(setup), cles);
            if (r.accepte()) {
                groupe = r.groupeFormat;
                images = r.membres;
            }
        } else if (!xml.isEmpty()) {
            if (const auto r = LireXmlSetup(litMembre(xml))) {
                groupe = r->groupeFormat;
                images = r->membres;
            }
        }
        int today = -1, start = -1;
        switch (groupe) {
        case 0: case 1: today = 1; start = 0; break;
        case 2: case 3: today = 4; start = 2; break;
        case 4: case 5: today = 8; start = 6; break;
        default: break;
        }
        if (groupe >= 2 && groupe <= 5)
            LandDefLbl->show();
        const auto image = [&](int slot, const QString &nom) {
            if (slot < 0 || images[slot].isEmpty() || !estNomMembreSur(images[slot]))
                return QString();
            return extrait(cleNomMembre(images[slot]), nom, Paquet::TailleImageMax);
        };
        fichiers = {image(today, QStringLiteral("today")), image(start, QStringLiteral("start"))};
    }

    if (fichiers[0].isEmpty() || !AfficheImageApercu(fichiers[0], Image1, TypeTlbl, HautTLbl, LargTLbl, 0))
        videApercu(Image1, TypeTlbl, HautTLbl, LargTLbl);
    if (fichiers[1].isEmpty() || !AfficheImageApercu(fichiers[1], Image2, TypeDLbl, HautDLbl, LargDLbl, 1))
        videApercu(Image2, TypeDLbl, HautDLbl, LargDLbl);
}

bool TArbreCE::AfficheImageApercu(const QString &fichier, QLabel *image, QLabel *type, QLabel *hauteur,
                                  QLabel *largeur, int cadre)
{
    const InfosImage infos = LitInfosImage(fichier);
    QImage source;
    if (QFile f; OuvreFichierOrdinaire(f, fichier)) {
        QImageReader lecteur(&f);
        // A picture past the program's pixel limit is not decoded.
        if (!ImageTropGrande(lecteur.size()))
            source = lecteur.read();
    }
    QFile::remove(fichier);
    if (source.isNull())
        return false;
    largeur->setText(QString::number(source.width()));
    hauteur->setText(QString::number(source.height()));
    type->setText(NomFormatImageFr(infos.format) + QStringLiteral(" (") + BitsParPixel(infos)
                  + QStringLiteral(" bpp)"));
    const QSize taille = image->size();
    const QRect r = RectProportionnel(source.width(), source.height(), taille.width() - cadre,
                                      taille.height() - cadre)
                        .translated(cadre, cadre);
    QImage bmp(taille, QImage::Format_ARGB32);
    bmp.fill(Qt::transparent);
    QPainter p(&bmp);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, source);
    if (cadre) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, taille.width() - 1, taille.height() - 1);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.end();
    image->setPixmap(QPixmap::fromImage(bmp));
    return true;
}

QString OuvreArbreCE(EtatPDA &etat, const ContexteArbreCE &ctx, bool modeDossier, QWidget *parent)
{
    AnimationPauseGuard pause(ctx.pause);
    etat.ModeDossierPDA = modeDossier;
    TArbreCE fenetre(etat, ctx, parent);
    fenetre.exec();
    return etat.CheminPDA;
}
