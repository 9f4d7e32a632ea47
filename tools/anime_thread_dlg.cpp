#include "tools/anime_thread_dlg.h"

#include "ui/fonctions_indep.h"
#include "ui/gif_frames.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

TAnimeThreadDlg::TAnimeThreadDlg(QLabel *cible, TColor fond, const QString &fichier, QObject *parent)
    : QObject(parent), m_cible(cible), m_fond(fond)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TAnimeThreadDlg::imageSuivante);
    if (cible)
        charge(fichier, cible->width(), cible->height());
}

TAnimeThreadDlg::~TAnimeThreadDlg() = default;

void TAnimeThreadDlg::charge(const QString &fichier, int W, int H)
{
    if (W < 1 || H < 1)
        return;
    const auto animees = ChargeImagesAnimees(fichier, DelaiNulMs, DelaiNonGifMs);
    if (!animees)
        return;
    const QList<QImage> &brutes = animees->images;
    const QList<int> &delais = animees->delaisMs;

    // Each frame fitted into the target over the background colour, once.
    const QColor fond = QColor::fromRgb(m_fond.toQRgb());
    for (const QImage &brute : std::as_const(brutes)) {
        const QRect r = RectProportionnel(brute.width(), brute.height(), W, H);
        QImage travail(W, H, QImage::Format_ARGB32);
        travail.fill(fond);
        QPainter p(&travail);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, brute);
        p.end();
        m_images.append(travail);
    }
    m_delais = delais.mid(0, m_images.size());
}

void TAnimeThreadDlg::demarre()
{
    if (!m_arrete && pret() && m_courante < 0)
        imageSuivante();
}

void TAnimeThreadDlg::arreter()
{
    m_arrete = true;
    m_timer.stop();
}

void TAnimeThreadDlg::imageSuivante()
{
    if (m_arrete || !pret() || !m_cible)
        return;
    m_courante = (m_courante + 1) % int(m_images.size());
    m_affichee = m_images.at(m_courante);
    m_cible->setPixmap(QPixmap::fromImage(m_affichee));
    if (m_images.size() > 1)
        m_timer.start(m_delais.at(m_courante));
    emit imageDessinee(m_courante);
}
