#include "tools/open_picture_dialog_gdi.h"

#include "theme/fichier_ordinaire.h"
#include "theme/limite_pixels.h"
#include "ui/fonctions_indep.h"
#include "ui/place_fenetre.h"
#include "ui/utiles_indep.h"
#include "tools/anime_thread_dlg.h"
#include "tools/charger_bitmap_metafichier.h"
#include "tools/open_picture_dialog_gdi_infos.h"
#include "tools/exif_photo.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Qt's default limit (128 MiB) refuses photos above about 33 megapixels.
constexpr int LimiteAllocationMio = 1024;
constexpr TColor CouleurPanelQualite = TColor::fromValue(0xF0CAA6);
// The thumbnail's frame, $FF0000 as a colour reference: blue.
constexpr TColor CouleurCadreVignette = TColor::fromValue(0xFF0000);

struct Bouton
{
    const char *nom;
    const char *glyphe;
    const char *hint;
};
// Tag 1..10, in order.
const Bouton Boutons[10] = {
    {"SelectAll", "selimg", "Tout Sélectionner"},
    {"InvSel", "invsel", "Inverser la Sélection"},
    {"PhotoPriseLe", "prisle", "Photo Prise Le"},
    {"APN", "apn", "Tri sur APN"},
    {"Nom", "nom", "Tri sur Nom"},
    {"Dim", "dim", "Tri sur Dimensions Image"},
    {"TailleFic", "taille", "Tri sur Taille Fichier Image"},
    {"ModifFic", "modif", "Tri sur Fichier Modifié le"},
    {"GroupeFic", "groupe", "Groupage"},
    {"TypeFic", "type", "Tri sur Type Fichier"},
};

QToolButton *creeBouton(QWidget *parent, const QString &nom, const QString &glyphe, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(nom);
    b->setFixedSize(23, 22);
    b->setIcon(QIcon(QStringLiteral(":/art/%1.png").arg(glyphe)));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

// The picture of a file as the dialog shows it: icons through the icon
// reader, everything else through the image readers (by content).
struct ImageChargee
{
    QImage image;
    QSize taille;      // the file's own size
    int images = 0;    // frames
    QByteArray format; // Qt's format name
    int bits = 0;
};

std::optional<ImageChargee> chargeImage(const QString &fichier, TColor fond, QSize boite)
{
    ImageChargee c;
    if (QFileInfo(fichier).suffix().toLower() == QLatin1String("ico")) {
        c.image = IconeVersBitmap(fichier, fond);
        c.taille = c.image.size();
        c.images = 1;
        c.format = "ico";
        c.bits = 32;
        return c.image.isNull() ? std::nullopt : std::optional(c);
    }
    // A plain file only: a pipe under the name is no picture.
    QFile source;
    if (!OuvreFichierOrdinaire(source, fichier))
        return std::nullopt;
    {
        const TypeMetafichier type = DetecteMetafichier(source.peek(88));
        if (type != TypeMetafichier::Aucun) {
            // Drawn over the panel's colour at the size the box shows it at;
            // without a box only measured, for the caller to draw it at its size.
            c.taille = MesureMetafichier(fichier);
            if (!c.taille.isValid() || c.taille.isEmpty())
                return std::nullopt;
            if (boite.isValid()) {
                auto image = DessineMetafichier(fichier, TailleDessinMetafichier(c.taille, boite), fond.toQRgb());
                if (!image)
                    return std::nullopt;
                c.image = std::move(*image);
            }
            c.images = 1;
            c.format = type == TypeMetafichier::Emf ? "emf" : "wmf";
            c.bits = 32;
            return c;
        }
    }
    if (QImageReader::allocationLimit() < LimiteAllocationMio)
        QImageReader::setAllocationLimit(LimiteAllocationMio);
    QImageReader lecteur(&source);
    lecteur.setDecideFormatFromContent(true);
    // The page count first: the TIFF reader counts from its first page only
    // before it has been asked anything else (a size asked first leaves the
    // count at 1, and a multi-page file would never play).
    c.images = qMax(1, lecteur.imageCount());
    c.taille = lecteur.size();
    c.format = lecteur.format();
    // A large photo is decoded at the box's size when the reader can.
    if (boite.isValid() && c.taille.isValid() && lecteur.supportsOption(QImageIOHandler::ScaledSize)
        && (c.taille.width() > boite.width() || c.taille.height() > boite.height())) {
        const QRect r = RectProportionnel(c.taille.width(), c.taille.height(), boite.width(), boite.height());
        lecteur.setScaledSize(r.size().expandedTo(QSize(1, 1)));
    } else if (ImageTropGrande(c.taille)) {
        return std::nullopt; // a picture bomb is not decoded whole for a preview
    }
    c.image = lecteur.read();
    if (c.image.isNull())
        return std::nullopt;
    if (!c.taille.isValid())
        c.taille = c.image.size();
    const InfosImage infos = LitInfosImage(fichier);
    c.bits = infos.bitsParPixel;
    return c;
}

// Selects the first file of a file dialog's list once its folder is read and
// sorted.
class PremierFichier : public QObject
{
public:
    // Once the folder is read, the wait for the list's sort, at most.
    static constexpr int AttenteTriMs = 100;

    explicit PremierFichier(QFileDialog *fichiers) : QObject(fichiers), m_fichiers(fichiers)
    {
        setObjectName(QStringLiteral("PremierFichier"));
        m_minuterie.setSingleShot(true);
        connect(&m_minuterie, &QTimer::timeout, this, [this] { essaie(); });
        if (auto *modele = fichiers->findChild<QFileSystemModel *>())
            connect(modele, &QFileSystemModel::directoryLoaded, this, [this](const QString &dossier) {
                if (m_arme && QFileInfo(dossier) == QFileInfo(m_dossier)) {
                    // The model sorts what it has read a little later.
                    m_lu = true;
                    m_minuterie.start(AttenteTriMs);
                }
            });
    }

    bool enAttente() const { return m_arme; }

    void arme()
    {
        m_dossier = m_fichiers->directory().absolutePath();
        m_arme = true;
        m_lu = false;
        QListView *liste = m_fichiers->findChild<QListView *>(QStringLiteral("listView"));
        if (liste && liste->model() != m_modele) {
            disconnect(m_tri);
            m_modele = liste->model();
            if (m_modele)
                m_tri = connect(m_modele, &QAbstractItemModel::layoutChanged, this, [this] {
                    if (m_arme && m_lu)
                        m_minuterie.start(0);
                });
        }
        // A folder read before shows its files, sorted, at once.
        m_minuterie.start(0);
    }

private:
    void essaie()
    {
        if (!m_arme)
            return;
        QListView *liste = m_fichiers->findChild<QListView *>(QStringLiteral("listView"));
        if (!liste || !liste->model() || !liste->selectionModel()
            || QFileInfo(m_fichiers->directory().absolutePath()) != QFileInfo(m_dossier)) {
            m_arme = false;
            return;
        }
        // A name the user typed stands (the name an earlier selection left in
        // the box does not: the file dialog keeps it across folders).
        const auto *saisie = m_fichiers->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        // Only a selection in this folder stands: a folder typed in the name
        // box and entered leaves selected, in the folder it was typed from,
        // the entry the box completed to.
        const QModelIndex racine = liste->rootIndex();
        QItemSelectionModel *selection = liste->selectionModel();
        const QModelIndexList choisies = selection->selectedRows();
        const bool choixIci = std::any_of(choisies.begin(), choisies.end(),
                                          [&racine](const QModelIndex &i) { return i.parent() == racine; });
        if (!choisies.isEmpty() && !choixIci)
            selection->clearSelection();
        // ".." entered in the box takes the dialog up and stays there: no
        // file name either.
        const bool nomTape = saisie && saisie->isModified() && !saisie->text().isEmpty()
                             && saisie->text() != QLatin1String("..");
        if (choixIci || nomTape) {
            m_arme = false;
            return;
        }
        const QAbstractItemModel *modele = liste->model();
        for (int i = 0; i < modele->rowCount(racine); ++i) {
            const QModelIndex index = modele->index(i, 0, racine);
            if (!(modele->flags(index) & Qt::ItemIsEnabled))
                continue;
            if (!QFileInfo(index.data(QFileSystemModel::FilePathRole).toString()).isFile())
                continue;
            m_arme = false;
            liste->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                                | QItemSelectionModel::Rows);
            liste->scrollTo(index);
            return;
        }
        // Read whole without a file: nothing to select.
        if (m_lu)
            m_arme = false;
    }

    QFileDialog *m_fichiers;
    QTimer m_minuterie;
    QString m_dossier;
    bool m_arme = false;
    bool m_lu = false;
    QAbstractItemModel *m_modele = nullptr;
    QMetaObject::Connection m_tri;
};

} // namespace

void SelectionnePremierFichier(QFileDialog *fichiers)
{
    if (!fichiers)
        return;
    auto *premier = fichiers->findChild<PremierFichier *>(QStringLiteral("PremierFichier"), Qt::FindDirectChildrenOnly);
    if (!premier)
        premier = new PremierFichier(fichiers);
    premier->arme();
}

bool PremierFichierEnAttente(const QFileDialog *fichiers)
{
    const auto *premier = fichiers ? fichiers->findChild<PremierFichier *>(QStringLiteral("PremierFichier"),
                                                                            Qt::FindDirectChildrenOnly)
                                   : nullptr;
    return premier && premier->enAttente();
}

// ---------------------------------------------------------------------------

QString TOpenPictureDialogGDI::FiltreParDefaut()
{
    return QStringLiteral(
        "Tous (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.tif;*.png;*.gif)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.tif;"
        "*.png;*.gif|Fichier image JPEG (*.jpg)|*.jpg|Fichier image JPEG (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
        "Icônes (*.ico)|*.ico|Métafichiers évolués (*.emf)|*.emf|Métafichiers (*.wmf)|*.wmf|TIFF (*.tif)|*.tif|"
        "PNG (*.png)|*.png|GIF (*.gif)|*.gif");
}

TOpenPictureDialogGDI::CommandeVue TOpenPictureDialogGDI::CommandePourTag(int tag)
{
    if (tag < 2 || tag > 10)
        return CommandeVue::ToutSelectionner;
    return CommandeVue(tag - 1);
}

TOpenPictureDialogGDI::TOpenPictureDialogGDI(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OpenPictureDialogGDI"));
    setSizeGripEnabled(true);

    m_fichiers = CreeDialogueFichiersIntegre(this);
    setFilter(FiltreParDefaut());

    // ---- The picture panel ----
    m_picturePanel = new QFrame(this);
    m_picturePanel->setObjectName(QStringLiteral("PicturePanel"));
    m_picturePanel->setFixedWidth(LargeurVignette + 12);
    auto *colonne = new QVBoxLayout(m_picturePanel);
    colonne->setContentsMargins(6, 6, 6, 6);

    auto *haut = new QHBoxLayout;
    m_pictureLabel = new QLabel(QStringLiteral("Image :"), m_picturePanel);
    m_pictureLabel->setObjectName(QStringLiteral("PictureLabel"));
    m_previewButton = creeBouton(m_picturePanel, QStringLiteral("PreviewButton"), QStringLiteral("previewglyph2"),
                                 QStringLiteral("Prévisualiser"));
    m_previewButton->setEnabled(false);
    connect(m_previewButton, &QToolButton::clicked, this, &TOpenPictureDialogGDI::PreviewClick);
    haut->addWidget(m_pictureLabel, 1);
    haut->addWidget(m_previewButton);
    colonne->addLayout(haut);

    m_paintPanel = new TSilentPaintPanel(m_picturePanel);
    m_paintPanel->setObjectName(QStringLiteral("PaintPanel"));
    m_paintPanel->setFixedSize(LargeurVignette, HauteurVignette);
    m_paintPanel->setCaption(QStringLiteral("(vide)"));
    auto *dansPanneau = new QVBoxLayout(m_paintPanel);
    dansPanneau->setContentsMargins(2, 2, 2, 2);
    m_paintBox = new QLabel(m_paintPanel);
    m_paintBox->setObjectName(QStringLiteral("PaintBox"));
    m_paintBox->setAlignment(Qt::AlignCenter);
    m_paintBox->setFixedSize(LargeurVignette - 4, HauteurVignette - 4);
    m_paintBox->installEventFilter(this);
    dansPanneau->addWidget(m_paintBox);
    colonne->addWidget(m_paintPanel);

    QPalette bleu;
    bleu.setColor(QPalette::WindowText, QColor(0, 0, 255)); // $FF0000
    const auto creeLabelBleu = [&](const char *nom) {
        auto *l = new QLabel(m_picturePanel);
        l->setObjectName(QString::fromLatin1(nom));
        l->setFixedSize(LargeurVignette, 23);
        l->setAlignment(Qt::AlignCenter);
        l->setPalette(bleu);
        return l;
    };
    m_labelDate = creeLabelBleu("FLabelDate");
    m_apn = creeLabelBleu("FAPN");
    colonne->addWidget(m_labelDate);
    colonne->addWidget(m_apn);

    // Two rows, right-aligned: Tag 1..7 right to left, then 8..10 right to
    // left from under "PhotoPriseLe".
    auto *grille = new QGridLayout;
    grille->setSpacing(0);
    for (int i = 0; i < 10; ++i) {
        auto *b = creeBouton(m_picturePanel, QString::fromLatin1(Boutons[i].nom),
                             QString::fromLatin1(Boutons[i].glyphe), QString::fromUtf8(Boutons[i].hint));
        b->setProperty("Tag", i + 1);
        b->setVisible(false);
        connect(b, &QToolButton::clicked, this, &TOpenPictureDialogGDI::BoutonVueClick);
        m_boutons << b;
        if (i < 7)
            grille->addWidget(b, 0, 6 - i);
        else
            grille->addWidget(b, 1, 4 - (i - 7));
    }
    m_boutons[8]->setCheckable(true); // grouping stays on until clicked again
    grille->setColumnStretch(7, 0);
    colonne->addLayout(grille);

    m_panel = new QFrame(m_picturePanel);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setFixedHeight(28);
    m_panel->setAutoFillBackground(true);
    QPalette pal = m_panel->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(CouleurPanelQualite.toQRgb()));
    m_panel->setPalette(pal);
    // The label keeps the room its widest text needs; the bar takes the rest.
    auto *rangeeQualite = new QHBoxLayout(m_panel);
    rangeeQualite->setContentsMargins(1, 2, 4, 2);
    rangeeQualite->setSpacing(4);
    m_ftbLabel = new QLabel(QStringLiteral("Qual: 100"), m_panel);
    m_ftbLabel->setObjectName(QStringLiteral("FTBLabel"));
    m_ftbLabel->setMinimumWidth(m_ftbLabel->fontMetrics().horizontalAdvance(QStringLiteral("Qual: 100")) + 2);
    m_trackBar = new QSlider(Qt::Horizontal, m_panel);
    m_trackBar->setObjectName(QStringLiteral("TrackBar"));
    m_trackBar->setFixedHeight(23);
    m_trackBar->setRange(0, 100);
    m_trackBar->setValue(100);
    rangeeQualite->addWidget(m_ftbLabel);
    rangeeQualite->addWidget(m_trackBar, 1);
    connect(m_trackBar, &QSlider::valueChanged, this, &TOpenPictureDialogGDI::TrackBarChange);
    colonne->addSpacing(6);
    colonne->addWidget(m_panel);

    m_selNb = creeLabelBleu("FSelNb");
    m_selNb->setVisible(false);
    colonne->addSpacing(15);
    colonne->addWidget(m_selNb);
    colonne->addStretch(1);

    // Sorting and grouping by what the pictures hold, and their thumbnails,
    // through a model between the file system and the views (before the
    // views' selection is bound: a new model brings a new selection model).
    m_cache = new CacheImagesDossier(this);
    m_proxy = new ProxyTriImages(m_cache, this);
    m_fichiers->setProxyModel(m_proxy);
    // A click on a column title of the details view sorts by that column again.
    if (QTreeView *details = vueDetails())
        connect(details->header(), &QHeaderView::sectionClicked, this, [this] {
            m_colonneTri = -1;
            m_proxy->setCleEtTrie(ProxyTriImages::Cle::Colonne);
        });

    MonteDialogueFichiers(this, m_fichiers, m_picturePanel, &m_choisi, [this] { DoSelectionChange(); },
                          [this] { DoFolderChange(); });
}

TOpenPictureDialogGDI::~TOpenPictureDialogGDI()
{
    arreteAnime(m_animeVignette);
    arreteAnime(m_animePreview);
}

void TOpenPictureDialogGDI::setFilter(const QString &filter)
{
    m_filter = filter;
    m_fichiers->setNameFilters(filtreVersQt(filter));
}

void TOpenPictureDialogGDI::setOptions(const Prompts::FileDialog &options)
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

QListView *TOpenPictureDialogGDI::vueListe() const
{
    return m_fichiers->findChild<QListView *>(QStringLiteral("listView"));
}

QTreeView *TOpenPictureDialogGDI::vueDetails() const
{
    return m_fichiers->findChild<QTreeView *>(QStringLiteral("treeView"));
}

TColor TOpenPictureDialogGDI::couleurPanneau() const
{
    return TColor::fromQRgb(m_paintPanel->palette().color(QPalette::Window).rgb());
}

QString TOpenPictureDialogGDI::fichierCourant() const
{
    return m_fichiers->selectedFiles().value(0);
}

void TOpenPictureDialogGDI::arreteAnime(QPointer<TAnimeThreadDlg> &anime)
{
    if (anime) {
        anime->arreter();
        anime->deleteLater();
    }
    anime = nullptr;
}

// ---- Hooks -----------------------------------------------------------------

void TOpenPictureDialogGDI::showEvent(QShowEvent *event)
{
    DoShow();
    QDialog::showEvent(event);
}

void TOpenPictureDialogGDI::DoShow()
{
    m_fichiers->setVisible(true);
    m_paintBox->clear();
    m_dernierFichier.clear();
    m_paintPanel->setCaption(QStringLiteral("(vide)"));
    DoFolderChange();
}

void TOpenPictureDialogGDI::DoFolderChange()
{
    QListView *liste = vueListe();
    QTreeView *details = vueDetails();
    if (!liste || !details)
        return;
    if (!m_agrandi && isVisible()) {
        m_agrandi = true;
        resize(width(), height() + HauteurSupplementaire);
    }
    AppliqueVueFichiers(m_fichiers, View, BkgImage ? (BmpBkg.isNull() ? QImage(QStringLiteral(":/art/pierre.png")) : BmpBkg)
                                                    : QImage());
    // The thumbnail and mosaic views show the pictures themselves.
    const bool vignettes = View == TViewStyleGDI::vsThumbGDI || View == TViewStyleGDI::vsMosaicGDI;
    if (vignettes)
        m_cache->setCoteVignette(liste->iconSize());
    m_proxy->setVignettes(vignettes);
    // The first file selected, and so previewed.
    SelectionnePremierFichier(m_fichiers);
}

void TOpenPictureDialogGDI::DoSelectionChange()
{
    // 1-3: counter and buttons.
    if (NombreSelection) {
        m_selNb->setVisible(true);
        QListView *liste = vueListe();
        if (liste && liste->model() && liste->selectionModel()) {
            const int choisis = int(liste->selectionModel()->selectedRows().size());
            const int total = liste->model()->rowCount(liste->rootIndex());
            m_selNb->setText(QStringLiteral("%1 sélectionné%2 / %3")
                                 .arg(choisis)
                                 .arg(choisis >= 2 ? QStringLiteral("s") : QString())
                                 .arg(total));
        } else {
            m_selNb->clear();
        }
    } else {
        m_selNb->setVisible(false);
    }
    const bool visibles[10] = {SelAllBtn, InvSelBtn,   PhotoPriseLeBtn, APNModBtn,    NomBtn,
                               DimBtn,    TailleFicBtn, ModifFicBtn,    GroupeFicBtn, TypeFicBtn};
    for (int i = 0; i < 10; ++i)
        if (visibles[i])
            m_boutons[i]->setVisible(true);

    // 4: the same file is not loaded again.
    const QString fichier = fichierCourant();
    if (fichier == m_dernierFichier)
        return;
    arreteAnime(m_animeVignette);
    m_erreurGdi = false;
    m_dernierFichier = fichier;
    const bool qualifie = !fichier.isEmpty() && QFileInfo(fichier).isFile();

    // 5: load.
    std::optional<ImageChargee> c;
    if (qualifie)
        c = chargeImage(fichier, couleurPanneau(), m_paintBox->size() - QSize(2, 2));
    if (qualifie)
        emit imageChargee(fichier);

    if (c) {
        // 6: loaded.
        if (DateSiExiste) {
            m_labelDate->setText(DateExif(fichier));
            m_apn->setText(ModeleExif(fichier));
        } else {
            m_labelDate->clear();
        }
        m_pictureLabel->setText(
            QStringLiteral(" (%1x%2) (%3 img)").arg(c->taille.width()).arg(c->taille.height()).arg(c->images));
        InfosImage infos;
        infos.format = c->format;
        infos.bitsParPixel = c->bits;
        infos.valide = true;
        const QString bits = BitsParPixel(infos);
        m_pictureLabel->setToolTip(NomFormatImageFr(c->format)
                                   + (bits.isEmpty() ? QString() : QStringLiteral(" (%1 bpp)").arg(bits)));
        if (c->images < 2) {
            afficheVignette(c->image, c->taille.width(), c->taille.height());
        } else {
            QPixmap vide(m_paintBox->size());
            vide.fill(QColor::fromRgb(couleurPanneau().toQRgb()));
            m_paintBox->setPixmap(vide);
            m_animeVignette = new TAnimeThreadDlg(m_paintBox, couleurPanneau(), fichier, this);
            m_animeVignette->setObjectName(QStringLiteral("AnimeVignette"));
            m_animeVignette->demarre();
        }
        m_previewButton->setEnabled(true);
        m_paintPanel->setCaption(QString());
    } else {
        // 7: not loaded.
        m_pictureLabel->setText(QStringLiteral("Image :"));
        m_pictureLabel->setToolTip(QString());
        m_previewButton->setEnabled(false);
        m_paintBox->clear();
        m_labelDate->clear();
        m_apn->clear();
        if (!qualifie) {
            m_paintPanel->setCaption(QStringLiteral("(vide)"));
        } else {
            m_erreurGdi = true;
            m_paintPanel->setCaption(QStringLiteral("GDI Erreur"));
        }
    }
}

void TOpenPictureDialogGDI::afficheVignette(const QImage &image, int largeur, int hauteur)
{
    // Fitted into the box less its frame, never enlarged, with a 1-pixel blue frame.
    const QRect r = RectProportionnel(largeur, hauteur, m_paintBox->width() - 2, m_paintBox->height() - 2);
    QImage travail(r.width() + 2, r.height() + 2, QImage::Format_ARGB32);
    travail.fill(QColor::fromRgb(couleurPanneau().toQRgb()));
    QPainter p(&travail);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(1, 1, travail.width() - 2, travail.height() - 2), image);
    p.setPen(QColor::fromRgb(CouleurCadreVignette.toQRgb()));
    p.drawRect(0, 0, travail.width() - 1, travail.height() - 1);
    p.end();
    m_paintBox->setPixmap(QPixmap::fromImage(travail));
}

void TOpenPictureDialogGDI::done(int resultat)
{
    DoClose();
    if (resultat == QDialog::Accepted && m_choisi.isEmpty())
        m_choisi = m_fichiers->selectedFiles().value(0);
    QDialog::done(resultat);
}

void TOpenPictureDialogGDI::DoClose()
{
    QToolTip::hideText();
    arreteAnime(m_animeVignette);
    arreteAnime(m_animePreview);
}

// ---- Commands -------------------------------------------------------------------

void TOpenPictureDialogGDI::TrackBarChange(int position)
{
    m_ftbLabel->setText(QStringLiteral("Qual: %1").arg(position));
}

void TOpenPictureDialogGDI::BoutonVueClick()
{
    const int tag = sender() ? sender()->property("Tag").toInt() : 1;
    executeCommande(CommandePourTag(tag));
}

void TOpenPictureDialogGDI::executeCommande(CommandeVue commande)
{
    QListView *liste = vueListe();
    QTreeView *details = vueDetails();
    if (!liste || !details || !liste->model())
        return;
    const auto toutes = [liste] {
        const QModelIndex racine = liste->rootIndex();
        const int n = liste->model()->rowCount(racine);
        return n ? QItemSelection(liste->model()->index(0, 0, racine), liste->model()->index(n - 1, 0, racine))
                 : QItemSelection();
    };
    const auto trie = [this, details, commande](int colonne, ProxyTriImages::Cle cle) {
        // The same command again reverses the order.
        const Qt::SortOrder ordre = m_colonneTri == int(commande) && m_proxy->sortOrder() == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        m_colonneTri = int(commande);
        m_proxy->setCle(cle);
        details->sortByColumn(colonne, ordre);
    };
    using Cle = ProxyTriImages::Cle;
    switch (commande) {
    case CommandeVue::ToutSelectionner:
        liste->selectionModel()->select(toutes(), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        break;
    case CommandeVue::InverserSelection:
        liste->selectionModel()->select(toutes(), QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        break;
    case CommandeVue::TriNom: trie(0, Cle::Colonne); break;
    case CommandeVue::TriTaille: trie(1, Cle::Colonne); break;
    case CommandeVue::TriType: trie(2, Cle::Colonne); break;
    case CommandeVue::TriModification: trie(3, Cle::Colonne); break;
    case CommandeVue::TriDatePrise: trie(0, Cle::DatePrise); break;
    case CommandeVue::TriApn: trie(0, Cle::Apn); break;
    case CommandeVue::TriDimensions: trie(0, Cle::Dimensions); break;
    case CommandeVue::Groupage:
        m_proxy->setGroupage(!m_proxy->groupage());
        m_boutons[8]->setChecked(m_proxy->groupage());
        break;
    }
}

bool TOpenPictureDialogGDI::eventFilter(QObject *objet, QEvent *event)
{
    if (objet == m_paintBox && event->type() == QEvent::MouseButtonRelease && m_previewButton->isEnabled()) {
        PreviewClick();
        return true;
    }
    if (objet->objectName() == QLatin1String("PreviewImage") && event->type() == QEvent::MouseButtonRelease) {
        if (auto *form = qobject_cast<QWidget *>(objet)->window())
            form->close();
        return true;
    }
    return QDialog::eventFilter(objet, event);
}

void TOpenPictureDialogGDI::PreviewClick()
{
    const QString fichier = fichierCourant();
    const QColor base = palette().color(QPalette::Base);
    const auto c = chargeImage(fichier, TColor::fromQRgb(base.rgb()), QSize());
    if (!c || c->taille.width() <= 0)
        return;
    const FormePreview f = CreeFormePreview(this, this, c->taille);
    connect(f.form, &QDialog::finished, this, [this] { arreteAnime(m_animePreview); });
    if (c->images < 2) {
        QImage image = c->image;
        if (image.isNull()) // a metafile, drawn at the size it is shown at
            image = DessineMetafichier(fichier, TailleDessinMetafichier(c->taille, f.image->size()), f.fond.rgba())
                        .value_or(QImage());
        AfficheImageAjustee(f.image, image, f.fond);
    } else {
        arreteAnime(m_animePreview);
        m_animePreview = new TAnimeThreadDlg(f.image, TColor::fromQRgb(f.fond.rgb()), fichier, this);
        m_animePreview->setObjectName(QStringLiteral("AnimePreview"));
        m_animePreview->demarre();
    }
    // Modal to this dialog without blocking here.
    f.form->open();
}

QFileDialog *CreeDialogueFichiersIntegre(QWidget *parent)
{
    auto *fichiers = new QFileDialog(parent);
    fichiers->setOption(QFileDialog::DontUseNativeDialog, true);
    fichiers->setWindowFlags(Qt::Widget);
    fichiers->setFileMode(QFileDialog::ExistingFile);
    fichiers->setAcceptMode(QFileDialog::AcceptOpen);
    return fichiers;
}

void MonteDialogueFichiers(QDialog *dialogue, QFileDialog *fichiers, QWidget *panneau, QString *choisi,
                           const std::function<void()> &selection, const std::function<void()> &dossier)
{
    auto *rangee = new QHBoxLayout(dialogue);
    rangee->setContentsMargins(0, 0, 0, 0);
    rangee->addWidget(fichiers, 1);
    rangee->addWidget(panneau);

    QObject::connect(fichiers, &QFileDialog::accepted, dialogue, [dialogue, fichiers, choisi] {
        *choisi = fichiers->selectedFiles().value(0);
        dialogue->accept();
    });
    QObject::connect(fichiers, &QFileDialog::rejected, dialogue, &QDialog::reject);
    QObject::connect(fichiers, &QFileDialog::currentChanged, dialogue, selection);
    QObject::connect(fichiers, &QFileDialog::directoryEntered, dialogue, dossier);
    if (auto *modele = fichiers->findChild<QFileSystemModel *>())
        QObject::connect(modele, &QFileSystemModel::rootPathChanged, dialogue, dossier);
    if (auto *edition = fichiers->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        QObject::connect(edition, &QLineEdit::textChanged, dialogue, selection);
    if (auto *liste = fichiers->findChild<QListView *>(QStringLiteral("listView")); liste && liste->selectionModel())
        QObject::connect(liste->selectionModel(), &QItemSelectionModel::selectionChanged, dialogue, selection);
}

FormePreview CreeFormePreview(QWidget *parent, QObject *filtre, QSize taillePicture)
{
    auto *form = new QDialog(parent, Qt::Tool);
    form->setObjectName(QStringLiteral("PreviewForm"));
    form->setWindowTitle(QStringLiteral("Prévisualiser"));
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setSizeGripEnabled(true);
    auto *disposition = new QVBoxLayout(form);
    disposition->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(form);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    panel->setPalette(pal);
    auto *dansPanel = new QVBoxLayout(panel);
    dansPanel->setContentsMargins(5, 5, 5, 5);
    auto *image = new QLabel(panel);
    image->setObjectName(QStringLiteral("PreviewImage"));
    image->setAlignment(Qt::AlignCenter);
    image->setCursor(Qt::PointingHandCursor);
    image->installEventFilter(filtre);
    dansPanel->addWidget(image);
    disposition->addWidget(panel);

    const QScreen *ecran = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect zone = ecran ? ecran->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize moniteur = zone.size();
    const int marge = 2 * (5 + 1) + 10;
    const QSize client(qMin(moniteur.width() * 3 / 4, taillePicture.width() + marge),
                       qMin(moniteur.height() * 3 / 4, taillePicture.height() + marge));
    form->resize(client);
    image->setFixedSize(client - QSize(marge - 10, marge - 10));
    // Centred on the screen, not on the dialog (a window moved before it is
    // shown keeps its place).
    const QWidget *reference = parent ? parent->window() : nullptr;
    const QSize bords = reference && reference->isVisible()
                            ? reference->frameGeometry().size() - reference->geometry().size()
                            : QSize(0, 0);
    const QSize exterieur = client + bords;
    PlaceFenetreDansEcran(form, zone.topLeft() + QPoint((zone.width() - exterieur.width()) / 2,
                                                        (zone.height() - exterieur.height()) / 2),
                          reference);
    return {form, image, pal.color(QPalette::Window)};
}

void AfficheImageAjustee(QLabel *cible, const QImage &image, const QColor &fond)
{
    const QRect r = RectProportionnel(image.width(), image.height(), cible->width(), cible->height());
    QImage travail(cible->size(), QImage::Format_ARGB32);
    travail.fill(fond);
    QPainter p(&travail);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, image);
    p.end();
    cible->setPixmap(QPixmap::fromImage(travail));
}

void AppliqueVueFichiers(QFileDialog *fichiers, TViewStyleGDI vue, const QImage &fond)
{
    QListView *liste = fichiers->findChild<QListView *>(QStringLiteral("listView"));
    QTreeView *details = fichiers->findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!liste || !details)
        return;
    if (vue == TViewStyleGDI::vsReportGDI) {
        fichiers->setViewMode(QFileDialog::Detail);
    } else {
        fichiers->setViewMode(QFileDialog::List);
        int cote = 16;
        QListView::ViewMode mode = QListView::ListMode;
        switch (vue) {
        case TViewStyleGDI::vsIconGDI: cote = 32; mode = QListView::IconMode; break;
        case TViewStyleGDI::vsThumbGDI: cote = 96; mode = QListView::IconMode; break;
        case TViewStyleGDI::vsMosaicGDI: cote = 48; mode = QListView::IconMode; break;
        default: break;
        }
        liste->setViewMode(mode);
        liste->setIconSize(QSize(cote, cote));
        liste->setWrapping(true);
        liste->setResizeMode(QListView::Adjust);
    }
    if (!fond.isNull()) {
        for (QAbstractItemView *v : {static_cast<QAbstractItemView *>(liste), static_cast<QAbstractItemView *>(details)}) {
            QPalette pal = v->palette();
            pal.setBrush(QPalette::Base, QBrush(QPixmap::fromImage(fond)));
            v->setPalette(pal);
        }
    }
}

// ---------------------------------------------------------------------------

std::optional<QString> OuvreImageAvecApercu(QWidget *parent, const Prompts::FileDialog &options)
{
    TOpenPictureDialogGDI dialogue(parent);
    dialogue.DateSiExiste = true;
    dialogue.GroupeFicBtn = true;
    dialogue.TypeFicBtn = true;
    // The list's background picture belongs to the default look only.
    bool uniforme = false;
    for (QWidget *w = parent ? parent->window() : nullptr; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        const QVariant v = w->property("apparenceUniforme");
        if (v.isValid()) {
            uniforme = v.toBool();
            break;
        }
    }
    dialogue.BkgImage = !uniforme;
    dialogue.View = TViewStyleGDI::vsThumbGDI;
    dialogue.setOptions(options);
    if (dialogue.exec() != QDialog::Accepted || dialogue.fileName().isEmpty())
        return std::nullopt;
    return dialogue.fileName();
}
