#include "app/anime_thread.h"

#include "ui/fonctions_indep.h"
#include "ui/gif_frames.h"
#include "theme/animation_pause.h"

#include <QAbstractButton>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

void afficheImageSur(QWidget *cible, const QImage &image)
{
    if (auto *label = qobject_cast<QLabel *>(cible)) {
        label->setPixmap(QPixmap::fromImage(image));
    } else if (auto *bouton = qobject_cast<QAbstractButton *>(cible)) {
        bouton->setIconSize(image.size());
        bouton->setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

// ---------------------------------------------------------------------------

TAnimeThread::TAnimeThread(QWidget *cible, const QString &fichier, TColor fond, SourceCouleur couleur,
                           AnimationPause *pause, QObject *parent)
    : QObject(parent), m_cible(cible), m_fond(fond), m_couleur(std::move(couleur)), m_pause(pause)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TAnimeThread::imageSuivante);
    if (m_pause)
        connect(m_pause, &AnimationPause::pausedChanged, this, &TAnimeThread::changePause);

    charge(fichier);
    if (!m_pret) {
        if (auto *label = qobject_cast<QLabel *>(m_cible.data()))
            label->clear();
        return;
    }
    if (!m_pause || !m_pause->isPaused())
        imageSuivante();
}

TAnimeThread::~TAnimeThread() = default;

void TAnimeThread::charge(const QString &fichier)
{
    if (!m_cible)
        return;
    const int W = m_cible->width(), H = m_cible->height();
    if (W < 1 || H < 1)
        return;

    const auto animees = ChargeImagesAnimees(fichier, DelaiNulMs, DelaiNonGifMs);
    if (!animees)
        return;
    const QList<QImage> &brutes = animees->images;
    m_delais = animees->delaisMs;

    // Every frame is placed once in its fit rectangle on a W x H picture.
    // Nearest-neighbour scaling keeps the key colour exact.
    m_ajuste = RectProportionnel(brutes.first().width(), brutes.first().height(), W, H);
    for (const QImage &brute : std::as_const(brutes)) {
        QImage cadre(W, H, QImage::Format_ARGB32);
        cadre.fill(0);
        QPainter p(&cadre);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(m_ajuste.topLeft(),
                    brute.convertToFormat(QImage::Format_ARGB32)
                        .scaled(m_ajuste.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.end();
        m_images.append(cadre);
    }
    m_delais.resize(m_images.size());
    m_pret = true;
}

QImage TAnimeThread::recolore(const QImage &image) const
{
    const QRgb fond = m_fond.toQRgb();
    const QRgb trait = m_couleur ? m_couleur().toQRgb() : fond;
    QImage res(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        auto *dst = reinterpret_cast<QRgb *>(res.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            dst[x] = src[x] == CouleurCle ? trait : fond;
    }
    return res;
}

void TAnimeThread::imageSuivante()
{
    if (!m_pret || m_arrete || (m_pause && m_pause->isPaused()))
        return;
    m_courante = m_prochaine;
    m_affichee = recolore(m_images.at(m_courante));
    afficheImageSur(m_cible, m_affichee);
    m_prochaine = (m_courante + 1) % int(m_images.size());
    m_timer.start(m_delais.at(m_courante));
    emit imageDessinee(m_courante);
}

void TAnimeThread::changePause(bool enPause)
{
    if (!m_pret || m_arrete)
        return;
    if (enPause) {
        m_timer.stop();
    } else if (m_courante < 0) {
        imageSuivante();
    } else {
        // The frame on screen gets its whole delay again.
        m_timer.start(m_delais.at(m_courante));
    }
}

void TAnimeThread::arreter()
{
    m_arrete = true;
    m_timer.stop();
}

// ---------------------------------------------------------------------------

TBtnAnimeThread::TBtnAnimeThread(QWidget *cible, const QList<QImage> &liste, int premier, int dernier,
                                 int intervalleMs, QObject *parent)
    : QObject(parent), m_cible(cible), m_liste(liste), m_premier(premier), m_dernier(dernier),
      m_courante(premier - 1)
{
    QSize taille;
    if (qobject_cast<QLabel *>(cible))
        taille = cible->size();
    else if (!liste.isEmpty())
        taille = liste.first().size();
    m_travail = QImage(taille.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);

    m_timer.setInterval(intervalleMs > 0 ? intervalleMs : TAnimeThread::DelaiNulMs);
    connect(&m_timer, &QTimer::timeout, this, &TBtnAnimeThread::imageSuivante);
    if (m_dernier < m_premier)
        return; // nothing to cycle
    imageSuivante();
    m_timer.start();
}

TBtnAnimeThread::~TBtnAnimeThread() = default;

void TBtnAnimeThread::imageSuivante()
{
    if (m_dernier < m_premier)
        return;
    if (++m_courante > m_dernier)
        m_courante = m_premier;
    // A clear frame: the picture lies over whatever is behind the target (a
    // tool bar's tile), as a still icon on it does.
    m_travail.fill(Qt::transparent);
    if (m_courante >= 0 && m_courante < m_liste.size()) {
        QPainter p(&m_travail);
        p.drawImage(0, 0, m_liste.at(m_courante));
    }
    m_affichee = m_travail.copy();
    afficheImageSur(m_cible, m_affichee);
    emit imageDessinee(m_courante);
}

void TBtnAnimeThread::arreter()
{
    m_timer.stop();
}
