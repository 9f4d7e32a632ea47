// The device-screen preview on the main window: the Today screen with its hot
// zones, the 48 x 48 detail, the dropper, the thumbnails of the working
// pictures with their dominant colours, and the format texts of the status bar.
#include "app/orvandel_main_window.h"

#include "apercu/fenetre_preview.h"
#include "apercu/miniatures.h"
#include "apercu/textes_statut.h"
#include "apercu/vue_apercu_ecran.h"
#include "ui/charge_image_res.h"
#include "app/cadre_appareil.h"
#include "app/panneau_couleur.h"
#include "theme/fichier_ordinaire.h"
#include "tools/charger_bitmap.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A working picture's size, read from its header; invalid when it is missing,
// unreadable or no plain file (a pipe under the name is never waited on).
// The format its suffix names is tried first: only a picture that is not in
// that format has every image plugin asked.
QSize tailleImage(const QString &chemin)
{
    QFile fichier;
    if (!OuvreFichierOrdinaire(fichier, chemin))
        return {};
    if (const QByteArray format = QFileInfo(chemin).suffix().toLower().toLatin1(); !format.isEmpty()) {
        QImageReader parSuffixe(&fichier, format);
        parSuffixe.setAutoDetectImageFormat(false);
        if (parSuffixe.canRead())
            return parSuffixe.size();
    }
    if (!fichier.seek(0))
        return {};
    QImageReader lecteur(&fichier);
    return lecteur.canRead() ? lecteur.size() : QSize();
}

QString bulleMiniature(QSize taille)
{
    if (!taille.isValid())
        return {};
    return QStringLiteral("(Img : %1 - %2)").arg(taille.width()).arg(taille.height()) + QStringLiteral("\r\n")
           + QStringLiteral("Click here to see real Image Preview");
}

} // namespace

QWidget *TOrvandel::construitApercu(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneApercu"));
    auto *grille = new QGridLayout(zone);
    grille->setContentsMargins(6, 0, 0, 0);

    auto *titre = new QLabel(QStringLiteral("Screen Colors \"TODAY\""), zone);
    titre->setObjectName(QStringLiteral("Label23"));
    QFont gras = titre->font();
    gras.setBold(true);
    titre->setFont(gras);
    grille->addWidget(titre, 0, 0, Qt::AlignHCenter);

    m_apercu = new VueApercuEcran(m_ctx.document, m_ctx.dossiers.DossierAppli);
    // The start-up changes the document many times: the preview is drawn
    // once, when the window is made (see the constructor).
    m_apercu->suspendDessins();
    m_apercu->installEventFilter(this);
    grille->addWidget(new CadreAppareil(m_apercu, zone), 1, 0, 3, 1, Qt::AlignTop);

    // The thumbnails of the working pictures and their dominant colours.
    auto *images = new QGroupBox(QStringLiteral("Images"), zone);
    images->setObjectName(QStringLiteral("GroupeMiniatures"));
    auto *colImages = new QVBoxLayout(images);
    m_miniatures = new Miniatures(m_ctx.document, m_ctx.dossiers.DossierAppli, *m_ctx.teintes, images);
    auto *label25 = new QLabel(QStringLiteral("Click here for Preview"), images);
    label25->setObjectName(QStringLiteral("Label25"));
    colImages->addWidget(label25);
    colImages->addWidget(m_miniatures);
    colImages->addStretch(1);
    for (int i = 0; i < 4; ++i) {
        const QString suffixe = i < 2 ? QStringLiteral(" (P)") : QStringLiteral(" (L)");
        m_miniatures->panneau(i)->setToolTip(
            (i % 2 == 0 ? QStringLiteral("Click here to put Today dominant color in the Dropper")
                        : QStringLiteral("Click here to put StartImage dominant color in the Dropper"))
            + suffixe);
        m_miniatures->panneau(i)->setCursor(Qt::PointingHandCursor);
        m_miniatures->miniature(i)->setCursor(Qt::PointingHandCursor);
    }
    connect(m_miniatures, &Miniatures::miniatureCliquee, this, &TOrvandel::PreviewClick);
    connect(m_miniatures, &Miniatures::panneauClique, this,
            [this](int, TColor couleur) { m_pipette->setCouleur(couleur); }); // PanelTDClick
    grille->addWidget(images, 1, 1);

    // The detail of the Today screen and the dropper.
    auto *outils = new QGroupBox(QStringLiteral("Dropper"), zone);
    outils->setObjectName(QStringLiteral("GroupePipette"));
    auto *ligne = new QHBoxLayout(outils);
    m_image9 = new QLabel(outils);
    m_image9->setObjectName(QStringLiteral("Image9"));
    m_image9->setFixedSize(48, 48);
    m_image9->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_image9->setLineWidth(0);
    m_pipetteSBtn = new QToolButton(outils);
    m_pipetteSBtn->setObjectName(QStringLiteral("PipetteSBtn"));
    m_pipetteSBtn->setCheckable(true);
    m_pipetteSBtn->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("pipette.png")))));
    m_pipetteSBtn->setIconSize(QSize(24, 24));
    m_pipetteSBtn->setToolTip(QStringLiteral("Choose color in Image"));
    m_pipette->setParent(outils);
    m_pipette->setFixedSize(32, 32);
    ligne->addWidget(m_image9);
    ligne->addWidget(m_pipetteSBtn);
    ligne->addWidget(m_pipette);
    ligne->addStretch(1);
    grille->addWidget(outils, 2, 1);
    grille->setRowStretch(3, 1);
    grille->setColumnStretch(2, 1);

    connect(m_apercu, &VueApercuEcran::detailChange, m_image9,
            [this](const QImage &detail) { m_image9->setPixmap(QPixmap::fromImage(detail)); });
    return zone;
}

void TOrvandel::construitBarreEtat()
{
    QStatusBar *barre = statusBar();
    barre->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        m_statut[i] = new QLabel(barre);
        m_statut[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        m_statut[i]->setMinimumWidth(240);
        barre->addWidget(m_statut[i]);
    }
    // The owner-drawn panel: the reminder in red, always there.
    m_alerteFormat = new QLabel(QStringLiteral("Adapt Theme format if needed !"), barre);
    m_alerteFormat->setObjectName(QStringLiteral("StatusBar1Panel2"));
    QPalette pal = m_alerteFormat->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    m_alerteFormat->setPalette(pal);
    barre->addWidget(m_alerteFormat, 1);
}

void TOrvandel::crochetBarreEtat()
{
    const QDir dossier(m_ctx.dossiers.DossierAppli);
    const int format = m_ctx.document.format().FormatTheme;
    std::array<QSize, 4> tailles;
    for (int i = 0; i < 4; ++i) {
        const QString nom = NomImageMiniature(i, format);
        tailles[i] = nom.isEmpty() ? QSize() : tailleImage(dossier.filePath(nom));
        m_miniatures->miniature(i)->setToolTip(bulleMiniature(tailles[i]));
    }
    m_statut[0]->setText(TexteFormatImages(tailles[0], tailles[1]));
    // Today height and width, Start height and width.
    m_taillesImg = {tailles[0].isValid() ? tailles[0].height() : -1, tailles[0].isValid() ? tailles[0].width() : -1,
                    tailles[1].isValid() ? tailles[1].height() : -1, tailles[1].isValid() ? tailles[1].width() : -1};
    // A format the text does not know leaves the panel as it was.
    if (const QString theme = TexteFormatTheme(m_ctx.document.format()); !theme.isEmpty())
        m_statut[1]->setText(theme);
}

void TOrvandel::crochetAffImage()
{
    if (m_ctx.MajMiniatures)
        m_miniatures->AffMiniatures();
    m_apercu->AffImage();
}

void TOrvandel::imagesEnregistrees()
{
    m_apercu->imagesChangees();
    m_miniatures->imagesChangees();
    crochetBarreEtat();
    TempsLibre();
}

void TOrvandel::PreviewClick(int emplacement)
{
    const QString fichier =
        FichierPreview(emplacement, m_ctx.document.format().FormatTheme, m_ctx.dossiers.DossierAppli);
    // Read as every working picture is: one past the pixel limit is refused
    // from its header, as its thumbnail is, and shows nothing.
    const QImage image = ChargerImage32(fichier).value_or(QImage());
    if (image.isNull())
        return;
    FenetrePreview fenetre(image, this);
    AnimationPauseGuard pause(&m_ctx.animation);
    fenetre.exec();
}

namespace {
// The help topics of the Today screen and of the Start menu shown over it.
constexpr int kAideEcranToday = 4;
constexpr int kAideMenuDemarrer = 7;
} // namespace

bool TOrvandel::pipetteSurApercu(QPointF position, bool gauche)
{
    const QPoint p = position.toPoint();
    const ImagesApercu &images = m_apercu->images();
    const bool menu = m_apercu->surimpression() == Surimpression::MenuDemarrer;
    const QRect rectMenu(images.positionSurimpression, images.surimpression.size());
    const bool dansMenu = menu && rectMenu.contains(p);
    if (!dansMenu && !GeometrieApercu::EcranToday.contains(p))
        return false;
    const bool pipette = gauche && m_pipetteSBtn->isChecked();
    if (pipette) {
        // The pixel of the picture under the mouse: the Start menu's when it
        // is shown there, else the Today screen's.
        const QImage &source = dansMenu ? images.surimpression : images.ecranToday;
        const QPoint local = p - (dansMenu ? rectMenu.topLeft() : GeometrieApercu::EcranToday.topLeft());
        if (source.rect().contains(local))
            m_pipette->setCouleur(TColor::fromQRgb(source.pixel(local)));
    }
    // A press on the Today screen itself closes the Start menu.
    if (menu && !dansMenu)
        m_apercu->basculeZone(3);
    // Otherwise a press shows the help of what was pressed.
    if (!pipette)
        AfficheAideContexte(dansMenu ? kAideMenuDemarrer : kAideEcranToday);
    return true;
}

bool TOrvandel::eventFilter(QObject *objet, QEvent *e)
{
    if (filtreAide(objet, e))
        return true;
    if (PageControl1MouseMove(objet, e))
        return true;
    if (objet == m_themeEdit && e->type() == QEvent::KeyPress && ThemeEditKeyPress(static_cast<QKeyEvent *>(e)))
        return true;
    if (objet == m_apercu && e->type() == QEvent::MouseButtonPress) {
        auto *souris = static_cast<QMouseEvent *>(e);
        if (pipetteSurApercu(souris->position(), souris->button() == Qt::LeftButton))
            return true;
    }
    return QMainWindow::eventFilter(objet, e);
}
