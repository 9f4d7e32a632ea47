#include "apercu/fenetre_preview.h"

#include "apercu/miniatures.h"
#include "ui/fonctions_indep.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

QString FichierPreview(int emplacement, int format, const QString &dossierAppli)
{
    if (emplacement < 0 || emplacement > 3)
        return {};
    // The other picture of the same orientation: Today <-> Start.
    const int autre = emplacement ^ 1;
    for (int e : {emplacement, autre}) {
        const QString nom = NomImageMiniature(e, format);
        if (nom.isEmpty())
            continue;
        const QString chemin = QDir(dossierAppli).filePath(nom);
        if (QFileInfo(chemin).isFile())
            return chemin;
    }
    return {};
}

namespace {
constexpr int kBord = 5;   // the panel's border around the picture
constexpr int kMarge = 10; // room around the picture
} // namespace

FenetrePreview::FenetrePreview(const QImage &image, QWidget *parent) : QDialog(parent), m_image(image)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Preview"));
    setWindowFlag(Qt::Tool);
    auto *panneau = new QFrame(this);
    panneau->setObjectName(QStringLiteral("Panel"));
    panneau->setFrameStyle(QFrame::Box | QFrame::Plain);
    panneau->setAutoFillBackground(true);
    panneau->setBackgroundRole(QPalette::Base);
    auto *dedans = new QVBoxLayout(panneau);
    dedans->setContentsMargins(kBord, kBord, kBord, kBord);
    m_vue = new QLabel(panneau);
    m_vue->setObjectName(QStringLiteral("Image"));
    m_vue->setAlignment(Qt::AlignCenter);
    m_vue->setCursor(Qt::PointingHandCursor);
    m_vue->setMinimumSize(1, 1);
    m_vue->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_vue->installEventFilter(this);
    dedans->addWidget(m_vue);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(panneau);

    // The picture and its margins, at most three quarters of the screen.
    const QScreen *ecran = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize maxi = ecran ? ecran->availableGeometry().size() * 3 / 4 : QSize(1024, 768);
    const int cadre = 2 * (kBord + panneau->frameWidth());
    resize(std::min(maxi.width(), m_image.width() + cadre + kMarge),
           std::min(maxi.height(), m_image.height() + cadre + kMarge));
    if (ecran)
        move(ecran->availableGeometry().center() - rect().center());
    ajuste();
}

void FenetrePreview::ajuste()
{
    const QSize zone = m_vue->contentsRect().size();
    if (m_image.isNull() || zone.isEmpty()) {
        m_affichee = {};
        m_vue->clear();
        return;
    }
    const QRect r = RectProportionnel(m_image.width(), m_image.height(), zone.width(), zone.height());
    m_affichee = r.size() == m_image.size()
                     ? m_image
                     : m_image.scaled(r.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_vue->setPixmap(QPixmap::fromImage(m_affichee));
}

bool FenetrePreview::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == m_vue && e->type() == QEvent::Resize)
        ajuste();
    if (objet == m_vue && e->type() == QEvent::MouseButtonRelease)
        accept();
    return QDialog::eventFilter(objet, e);
}
