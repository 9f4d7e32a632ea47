#include "apercu/miniatures.h"

#include "ui/fonctions_indep.h"
#include "theme/theme_document.h"
#include "tools/hls.h"
#include "tools/teintes_images.h"

#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

QImage DessineMiniature(const QImage &image, QSize taille, QColor fond)
{
    QImage sortie(taille, QImage::Format_ARGB32);
    sortie.fill(fond);
    if (image.isNull())
        return sortie;
    const QRect cadre = RectProportionnel(image.width(), image.height(), taille.width(), taille.height());
    QPainter p(&sortie);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(cadre.topLeft(), image.size() == cadre.size()
                                     ? image
                                     : image.scaled(cadre.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return sortie;
}

QString NomImageMiniature(int emplacement, int format)
{
    switch (emplacement) {
    case TeintesImages::TodayPortrait: return QStringLiteral("tdywater.gif");
    case TeintesImages::StartPortrait: return QStringLiteral("stwater.gif");
    case TeintesImages::TodayPaysage:
    case TeintesImages::StartPaysage: {
        if (!FormatImages::deuxOrientations(format))
            return {};
        const QString base = emplacement == TeintesImages::TodayPaysage ? QStringLiteral("tdywater")
                                                                          : QStringLiteral("stwater");
        return base + (format == 4 ? QStringLiteral("_320_240.gif") : QStringLiteral("_640_480.gif"));
    }
    default: return {};
    }
}

Miniatures::Miniatures(ThemeDocument &document, const QString &dossierAppli, TeintesImages &teintes, QWidget *parent)
    : QWidget(parent), m_document(document), m_dossier(dossierAppli), m_teintes(teintes)
{
    static const char *const kNomsMin[4] = {"MinTD", "MinST", "MinTDL", "MinSTL"};
    static const char *const kNomsPanneaux[4] = {"PanelTD", "PanelST", "PanelTDL", "PanelSTL"};
    auto *grille = new QGridLayout(this);
    grille->setContentsMargins(0, 0, 0, 0);
    grille->setSpacing(4);
    for (int i = 0; i < 4; ++i) {
        const QSize taille = i < 2 ? TaillePortrait : TaillePaysage;
        m_miniatures[i] = new QLabel(this);
        m_miniatures[i]->setObjectName(QString::fromLatin1(kNomsMin[i]));
        m_miniatures[i]->setFixedSize(taille);
        m_miniatures[i]->installEventFilter(this);
        m_panneaux[i] = new QFrame(this);
        m_panneaux[i]->setObjectName(QString::fromLatin1(kNomsPanneaux[i]));
        m_panneaux[i]->setFixedSize(taille.width(), 8);
        m_panneaux[i]->setAutoFillBackground(true);
        m_panneaux[i]->installEventFilter(this);
        m_panneaux[i]->hide();
        m_miniatures[i]->hide();
        grille->addWidget(m_miniatures[i], (i / 2) * 2, i % 2);
        grille->addWidget(m_panneaux[i], (i / 2) * 2 + 1, i % 2);
    }
    connect(&m_document, &ThemeDocument::formatChanged, this, &Miniatures::AffMiniatures);
    connect(&m_surveillance, &QFileSystemWatcher::directoryChanged, this, &Miniatures::AffMiniatures);
    connect(&m_surveillance, &QFileSystemWatcher::fileChanged, this, &Miniatures::imagesChangees);
    if (!m_dossier.isEmpty() && QDir(m_dossier).exists())
        m_surveillance.addPath(m_dossier);
    AffMiniatures();
}

void Miniatures::AffMiniature(int i)
{
    const QString nom = NomImageMiniature(i, m_document.format().FormatTheme);
    ImageTravail &fichier = m_fichiers[i];
    fichier.setChemin(nom.isEmpty() ? QString() : QDir(m_dossier).filePath(nom));
    fichier.actualise();
    if (!fichier.chemin().isEmpty() && QFileInfo::exists(fichier.chemin()) &&
        !m_surveillance.files().contains(fichier.chemin()))
        m_surveillance.addPath(fichier.chemin());
    const QImage &image = fichier.image();
    QLabel *min = m_miniatures[i];
    if (image.isNull()) {
        // A missing picture hides its thumbnail; its swatch stays as it was.
        min->hide();
        m_images[i] = QImage();
        return;
    }
    if (m_versionsAnalysees[i] != fichier.version()) {
        m_teintes.analyse(i, image);
        m_couleurs[i] = CouleurDominante(m_teintes.TeinteImage[i], m_teintes.PicImage[i]);
        m_images[i] = DessineMiniature(image, min->size(), palette().color(QPalette::Window));
        m_versionsAnalysees[i] = fichier.version();
    }
    QFrame *panneau = m_panneaux[i];
    if (m_couleurs[i]) {
        QPalette pal = panneau->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(m_couleurs[i]->toQRgb()));
        panneau->setPalette(pal);
        panneau->show();
    } else {
        panneau->hide();
    }
    min->setPixmap(QPixmap::fromImage(m_images[i]));
    appliqueVisibilite(i);
}

void Miniatures::setPermises(const std::array<bool, 4> &permises)
{
    if (permises == m_permises)
        return;
    m_permises = permises;
    for (int i = 0; i < 4; ++i)
        appliqueVisibilite(i);
}

void Miniatures::appliqueVisibilite(int i)
{
    const bool nom = !NomImageMiniature(i, m_document.format().FormatTheme).isEmpty();
    const bool visible = m_permises[i] && nom && !m_images[i].isNull();
    m_miniatures[i]->setVisible(visible);
    m_panneaux[i]->setVisible(visible && m_couleurs[i].has_value());
}

void Miniatures::AffMiniaturesPortrait(bool today)
{
    AffMiniature(today ? TeintesImages::TodayPortrait : TeintesImages::StartPortrait);
}

void Miniatures::AffMiniaturesPaysage(bool today)
{
    if (!FormatImages::deuxOrientations(m_document.format().FormatTheme)) {
        for (int i : {int(TeintesImages::TodayPaysage), int(TeintesImages::StartPaysage)}) {
            m_miniatures[i]->hide();
            m_panneaux[i]->hide();
        }
        return;
    }
    AffMiniature(today ? TeintesImages::TodayPaysage : TeintesImages::StartPaysage);
}

void Miniatures::AffMiniatures()
{
    AffMiniaturesPortrait(false);
    AffMiniaturesPortrait(true);
    AffMiniaturesPaysage(false);
    AffMiniaturesPaysage(true);
}

void Miniatures::imagesChangees()
{
    for (ImageTravail &f : m_fichiers)
        f.invalide();
    AffMiniatures();
}

bool Miniatures::eventFilter(QObject *objet, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 4; ++i) {
            if (objet == m_miniatures[i])
                emit miniatureCliquee(i);
            else if (objet == m_panneaux[i] && m_couleurs[i])
                emit panneauClique(i, *m_couleurs[i]);
        }
    }
    return QWidget::eventFilter(objet, e);
}
