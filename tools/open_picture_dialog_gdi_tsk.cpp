#include "tools/open_picture_dialog_gdi_tsk.h"

#include "ui/fonctions_indep.h"
#include "ui/utiles_indep.h"
#include "theme/cabinet_paquet.h"
#include "tools/open_picture_dialog_gdi.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// The thumbnails' frame, $FF0000 as a colour reference: blue.
const QColor CouleurCadre(0, 0, 255);

QLabel *creeLabel(QWidget *parent, const char *nom)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(nom));
    QFont f = l->font();
    f.setFamilies({QStringLiteral("Tahoma"), f.family()});
    l->setFont(f);
    l->setWordWrap(true);
    l->setMaximumWidth(TOpenPictureDialogGDITSK::LargeurVignette);
    return l;
}

QLabel *creeBoite(QWidget *parent, const char *nom, const QString &hint)
{
    auto *b = new QLabel(parent);
    b->setObjectName(QString::fromLatin1(nom));
    b->setAlignment(Qt::AlignCenter);
    b->setToolTip(hint);
    b->setFixedSize(TOpenPictureDialogGDITSK::LargeurVignette - 4, TOpenPictureDialogGDITSK::HauteurVignette - 4);
    return b;
}

QString taille(const ImageApercuTsk &im)
{
    return QStringLiteral(" (%1x%2)").arg(im.taille.width()).arg(im.taille.height());
}

// "GIF (8 bpp)"
QString typeImage(const ImageApercuTsk &im)
{
    InfosImage infos;
    infos.valide = true;
    infos.format = im.format;
    infos.bitsParPixel = im.bits;
    return NomFormatImageFr(im.format) + QStringLiteral(" (") + BitsParPixel(infos) + QStringLiteral(" bpp)");
}

} // namespace

TOpenPictureDialogGDITSK::TOpenPictureDialogGDITSK(Prompts *prompts, QWidget *parent, LecteurCabinet *cabinet)
    : QDialog(parent), m_prompts(prompts)
{
    if (!cabinet) {
        auto propre = std::make_unique<CabinetPaquet>();
        propre->tailleMaxMembre = Paquet::TailleImageMax;
        m_cabinetPropre = std::move(propre);
        cabinet = m_cabinetPropre.get();
    }
    m_cabinet = cabinet;
    setObjectName(QStringLiteral("OpenPictureDialogGDITSK"));
    setSizeGripEnabled(true);

    m_fichiers = CreeDialogueFichiersIntegre(this);
    setFilter(FiltreParDefaut());

    // ---- The picture panel ----
    m_picturePanel = new QFrame(this);
    m_picturePanel->setObjectName(QStringLiteral("PicturePanel"));
    m_picturePanel->setFixedWidth(LargeurVignette + 12);
    auto *colonne = new QVBoxLayout(m_picturePanel);
    colonne->setContentsMargins(6, 6, 6, 6);
    colonne->setSpacing(2);

    auto *haut = new QHBoxLayout;
    m_pictureLabel = creeLabel(m_picturePanel, "PictureLabel");
    m_pictureLabel->setText(QStringLiteral("Image :"));
    m_previewButton = new QToolButton(m_picturePanel);
    m_previewButton->setObjectName(QStringLiteral("PreviewButton"));
    m_previewButton->setFixedSize(23, 22);
    m_previewButton->setIcon(QIcon(QStringLiteral(":/art/previewtsk.png")));
    m_previewButton->setToolTip(QStringLiteral("Prévisualiser"));
    m_previewButton->setAutoRaise(true);
    m_previewButton->setEnabled(false);
    connect(m_previewButton, &QToolButton::clicked, this, &TOpenPictureDialogGDITSK::PreviewClick);
    haut->addStretch(1);
    haut->addWidget(m_previewButton);
    colonne->addLayout(haut);

    const auto creePanneau = [&](const char *nom, QLabel *&portrait, const char *nomP, QLabel *&paysage,
                                 const char *nomL, const QString &hint) {
        auto *p = new TSilentPaintPanel(m_picturePanel);
        p->setObjectName(QString::fromLatin1(nom));
        p->setFixedSize(LargeurVignette, HauteurVignette);
        p->setCaption(QStringLiteral("(vide)"));
        auto *dans = new QVBoxLayout(p);
        dans->setContentsMargins(2, 2, 2, 2);
        portrait = creeBoite(p, nomP, hint);
        paysage = creeBoite(p, nomL, hint);
        paysage->setVisible(false);
        dans->addWidget(portrait);
        dans->addWidget(paysage);
        portrait->installEventFilter(this);
        paysage->installEventFilter(this);
        colonne->addWidget(p);
        return p;
    };
    m_paintPanel = creePanneau("PaintPanel", m_paintBox, "PaintBox", m_paintBoxL, "PaintBoxL",
                               QStringLiteral("Aujourd'hui"));
    m_paintPanelST = creePanneau("PaintPanelST", m_paintBoxST, "PaintBoxST", m_paintBoxSTL, "PaintBoxSTL",
                                 QStringLiteral("Démarrer"));

    colonne->addWidget(m_pictureLabel);
    m_appNameLabel = creeLabel(m_picturePanel, "AppNameLabel");
    m_typeImgLabel = creeLabel(m_picturePanel, "TypeImgLabel");
    colonne->addWidget(m_appNameLabel);
    colonne->addWidget(m_typeImgLabel);
    auto *ligneNb = new QHBoxLayout;
    m_nbImgLabel = creeLabel(m_picturePanel, "NbImgLabel");
    m_pouLCB = new QCheckBox(QStringLiteral("L"), m_picturePanel);
    m_pouLCB->setObjectName(QStringLiteral("PouLCB"));
    m_pouLCB->setToolTip(QStringLiteral("P / L"));
    m_pouLCB->setVisible(false);
    connect(m_pouLCB, &QCheckBox::clicked, this, &TOpenPictureDialogGDITSK::PouLCBClick);
    ligneNb->addWidget(m_nbImgLabel, 1);
    ligneNb->addWidget(m_pouLCB);
    ligneNb->addSpacing(20);
    colonne->addLayout(ligneNb);
    m_landImgLabel = creeLabel(m_picturePanel, "LandImgLabel");
    m_typeImgLandLabel = creeLabel(m_picturePanel, "TypeImgLandLabel");
    colonne->addWidget(m_landImgLabel);
    colonne->addWidget(m_typeImgLandLabel);
    colonne->addStretch(1);

    MonteDialogueFichiers(this, m_fichiers, m_picturePanel, &m_choisi, [this] { DoSelectionChange(); },
                          [this] { DoFolderChange(); });
}

TOpenPictureDialogGDITSK::~TOpenPictureDialogGDITSK() = default;

void TOpenPictureDialogGDITSK::setFilter(const QString &filter)
{
    m_filter = filter;
    m_fichiers->setNameFilters(filtreVersQt(filter));
}

void TOpenPictureDialogGDITSK::setDirExtract(const QString &dossier)
{
    if (dossier.isEmpty())
        return;
    m_dirExtract = dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

void TOpenPictureDialogGDITSK::setOptions(const Prompts::FileDialog &options)
{
    setWindowTitle(options.title);
    setFilter(options.filter.isEmpty() ? FiltreParDefaut() : options.filter);
    if (!options.initialDir.isEmpty())
        m_fichiers->setDirectory(options.initialDir);
    if (!options.fileName.isEmpty())
        m_fichiers->selectFile(options.fileName);
    if (!options.defaultSuffix.isEmpty())
        m_fichiers->setDefaultSuffix(options.defaultSuffix);
}

QString TOpenPictureDialogGDITSK::fichierCourant() const
{
    return m_fichiers->selectedFiles().value(0);
}

QColor TOpenPictureDialogGDITSK::couleurPanneau() const
{
    return m_paintPanel->palette().color(QPalette::Window);
}

// ---- Hooks -----------------------------------------------------------------

void TOpenPictureDialogGDITSK::showEvent(QShowEvent *event)
{
    DoShow();
    QDialog::showEvent(event);
}

void TOpenPictureDialogGDITSK::DoShow()
{
    m_fichiers->setVisible(true);
    for (QLabel *b : {m_paintBox, m_paintBoxL, m_paintBoxST, m_paintBoxSTL})
        b->clear();
    m_dernierFichier.clear();
    m_paintPanel->setCaption(QStringLiteral("(vide)"));
    m_paintPanelST->setCaption(QStringLiteral("(vide)"));
    DoFolderChange();
}

void TOpenPictureDialogGDITSK::DoFolderChange()
{
    if (!m_agrandi && isVisible()) {
        m_agrandi = true;
        resize(width(), height() + HauteurSupplementaire);
    }
    AppliqueVueFichiers(m_fichiers, View,
                        BkgImage ? (BmpBkg.isNull() ? QImage(QStringLiteral(":/art/pierretsk.png")) : BmpBkg) : QImage());
    // The first package selected, and so previewed.
    SelectionnePremierFichier(m_fichiers);
}

void TOpenPictureDialogGDITSK::DoSelectionChange()
{
    // A selection change that arrives while a message of the previous one is
    // open is handled once that one is done.
    if (m_occupe) {
        m_relance = true;
        return;
    }
    m_occupe = true;
    do {
        m_relance = false;
        changeSelection();
    } while (m_relance);
    m_occupe = false;
}

void TOpenPictureDialogGDITSK::changeSelection()
{
    // 1: the same file is not read again; what it showed stays.
    const QString fichier = fichierCourant();
    if (fichier == m_dernierFichier)
        return;
    m_dernierFichier = fichier;

    // 2-3.
    const QFileInfo info(fichier);
    const bool qualifie = !fichier.isEmpty() && info.suffix().toUpper() != QLatin1String("LNK") && info.isFile();
    m_nbImgLabel->clear();
    m_landImgLabel->clear();
    m_typeImgLandLabel->clear();
    m_pouLCB->setChecked(false);
    m_pouLCB->setVisible(false);
    PouLCBClick();
    m_apercu = ApercuTsk();
    m_paquet = qualifie && info.suffix().toUpper() == QLatin1String("TSK");
    if (!qualifie || !m_paquet) {
        videApercu(QStringLiteral("(vide)"));
        return;
    }

    // 4: the package, read in a scratch folder of its own.
    const QString dossier = m_dirExtract.isEmpty() ? QDir::tempPath() : m_dirExtract;
    m_apercu = LitApercuTsk(fichier, *m_cabinet, QDir::cleanPath(dossier));
    emit paquetLu(fichier);

    // 5: messages. A name being typed is not interrupted by a box at every
    // keystroke: the failure is written on the preview panels instead.
    if (m_apercu.etat != ApercuTsk::Etat::Charge) {
        const bool extraction = m_apercu.etat == ApercuTsk::Etat::ErreurExtraction;
        const auto *saisie = m_fichiers->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (saisie && saisie->hasFocus() && saisie->isModified()) {
            videApercu(extraction ? QStringLiteral("Erreur extraction") : QStringLiteral("Erreur chargement"));
            return;
        }
        videApercu(extraction ? QStringLiteral("Erreur extraction") : QStringLiteral("GDI Erreur"));
        if (m_prompts) {
            if (m_apercu.lectureSetupCE && m_apercu.membreManquant)
                m_prompts->message(QStringLiteral("Erreur"));
            m_prompts->message(extraction ? QStringLiteral("Erreur extraction") : QStringLiteral("Erreur chargement"));
        }
        return;
    }
    afficheApercu();
}

void TOpenPictureDialogGDITSK::videApercu(const QString &legende)
{
    m_pictureLabel->setText(QStringLiteral("Image :"));
    m_previewButton->setEnabled(false);
    for (QLabel *b : {m_paintBox, m_paintBoxL, m_paintBoxST, m_paintBoxSTL})
        b->clear();
    m_appNameLabel->clear();
    m_typeImgLabel->clear();
    m_paintPanel->setCaption(legende);
    m_paintPanelST->setCaption(legende);
}

void TOpenPictureDialogGDITSK::afficheApercu()
{
    const auto &im = m_apercu.images;
    const bool paysage = m_apercu.paysage();

    // Landscape: sizes and types after "L : ".
    QString suffixe;
    if (paysage) {
        m_landImgLabel->setText(QStringLiteral("L : "));
        suffixe = QStringLiteral(" - P+L -");
    }
    const ImageApercuTsk &tdl = im[ApercuTsk::TodayPaysage];
    if (tdl.present()) {
        AffVignetteTsk(tdl, m_paintBoxL, nullptr, false);
        m_landImgLabel->setText(m_landImgLabel->text() + taille(tdl));
        m_typeImgLandLabel->setText(typeImage(tdl));
    } else {
        m_paintBoxL->clear();
    }
    const ImageApercuTsk &stl = im[ApercuTsk::StartPaysage];
    if (stl.present()) {
        AffVignetteTsk(stl, m_paintBoxSTL, m_landImgLabel, true);
        m_typeImgLandLabel->setText(m_typeImgLandLabel->text() + QStringLiteral(" - ") + typeImage(stl));
    } else {
        m_paintBoxSTL->clear();
    }
    m_nbImgLabel->setText(QStringLiteral("%1 img(s)%2").arg(m_apercu.nombreImages).arg(suffixe));

    // Portrait.
    const ImageApercuTsk &td = im[ApercuTsk::TodayPortrait];
    if (td.present()) {
        AffVignetteTsk(td, m_paintBox, m_pictureLabel, false);
        m_typeImgLabel->setText(typeImage(td));
        m_paintPanel->setCaption(QString());
    } else {
        m_paintBox->clear();
        m_pictureLabel->setText(QStringLiteral("(0x0)"));
        m_typeImgLabel->setText(QStringLiteral("absent"));
        m_paintPanel->setCaption(QStringLiteral("\"TODAY\" absent"));
    }
    const ImageApercuTsk &st = im[ApercuTsk::StartPortrait];
    if (st.present()) {
        AffVignetteTsk(st, m_paintBoxST, m_pictureLabel, true);
        m_typeImgLabel->setText(m_typeImgLabel->text() + QStringLiteral(" - ") + typeImage(st));
        m_paintPanelST->setCaption(QString());
    } else {
        m_paintBoxST->clear();
        m_pictureLabel->setText(m_pictureLabel->text() + QStringLiteral("- (0x0)"));
        m_typeImgLabel->setText(m_typeImgLabel->text() + QStringLiteral(" - absent"));
        m_paintPanelST->setCaption(QStringLiteral("\"START\" absent"));
    }
    m_appNameLabel->setText(m_apercu.nomApplication);
    m_previewButton->setEnabled(true);
    m_pouLCB->setVisible(paysage);
}

void TOpenPictureDialogGDITSK::AffVignetteTsk(const ImageApercuTsk &image, QLabel *cible, QLabel *label,
                                              bool ajoute)
{
    // Fitted into the box (never enlarged), drawn inside a 1-pixel blue frame.
    const QRect r = RectProportionnel(image.taille.width(), image.taille.height(), cible->width(), cible->height());
    QImage travail(qMax(r.width(), 3), qMax(r.height(), 3), QImage::Format_ARGB32);
    travail.fill(couleurPanneau());
    QPainter p(&travail);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(1, 1, travail.width() - 2, travail.height() - 2), image.image);
    p.setPen(CouleurCadre);
    p.drawRect(0, 0, travail.width() - 1, travail.height() - 1);
    p.end();
    cible->setPixmap(QPixmap::fromImage(travail));
    if (label)
        label->setText(ajoute ? label->text() + QStringLiteral("  -  ") + taille(image) : taille(image));
}

void TOpenPictureDialogGDITSK::PouLCBClick()
{
    const bool l = m_pouLCB->isChecked();
    m_paintBoxL->setVisible(l);
    m_paintBoxSTL->setVisible(l);
    m_paintBox->setVisible(!l);
    m_paintBoxST->setVisible(!l);
}

void TOpenPictureDialogGDITSK::done(int resultat)
{
    DoClose();
    if (resultat == QDialog::Accepted && m_choisi.isEmpty())
        m_choisi = m_fichiers->selectedFiles().value(0);
    QDialog::done(resultat);
}

void TOpenPictureDialogGDITSK::DoClose()
{
    QToolTip::hideText();
    // The decoded pictures are not kept once the dialog is closed.
    m_apercu = ApercuTsk();
    m_dernierFichier.clear();
}

// ---- The full-size preview ------------------------------------------------------

bool TOpenPictureDialogGDITSK::eventFilter(QObject *objet, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const std::pair<QObject *, ApercuTsk::Position> boites[] = {
            {m_paintBox, ApercuTsk::TodayPortrait},
            {m_paintBoxST, ApercuTsk::StartPortrait},
            {m_paintBoxL, ApercuTsk::TodayPaysage},
            {m_paintBoxSTL, ApercuTsk::StartPaysage},
        };
        for (const auto &[boite, position] : boites)
            if (objet == boite) {
                if (m_apercu.images[position].present())
                    ouvreApercu(position);
                return true;
            }
        if (objet->objectName() == QLatin1String("PreviewImage")) {
            if (auto *form = qobject_cast<QWidget *>(objet)->window())
                form->close();
            return true;
        }
    }
    return QDialog::eventFilter(objet, event);
}

void TOpenPictureDialogGDITSK::PreviewClick()
{
    ouvreApercu(m_apercu.images[ApercuTsk::TodayPortrait].present() ? ApercuTsk::TodayPortrait
                                                                     : ApercuTsk::StartPortrait);
}

void TOpenPictureDialogGDITSK::ouvreApercu(ApercuTsk::Position position)
{
    // The picture read with the selection: the package is not opened again.
    const ImageApercuTsk &im = m_apercu.images[position];
    if (!im.present() || im.taille.width() <= 0)
        return;
    const FormePreview f = CreeFormePreview(this, this, im.taille);
    AfficheImageAjustee(f.image, im.image, f.fond);
    f.form->open();
}

// ---------------------------------------------------------------------------

std::optional<QString> OuvrePaquetAvecApercu(QWidget *parent, const Prompts::FileDialog &options,
                                             const QString &dirExtract, Prompts *prompts)
{
    TOpenPictureDialogGDITSK dialogue(prompts, parent);
    dialogue.setDirExtract(dirExtract);
    dialogue.BkgImage = !(parent && parent->window()->property("apparenceUniforme").toBool());
    dialogue.setOptions(options);
    if (dialogue.exec() != QDialog::Accepted || dialogue.fileName().isEmpty())
        return std::nullopt;
    return dialogue.fileName();
}
