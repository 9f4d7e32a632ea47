#include "tools/anime_thread_dlg.h"

#include "ui/fonctions_indep.h"
#include "ui/gif_frames.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
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
    const int W = cible ? cible->width() : 0, H = cible ? cible->height() : 0;
    // The worker owns nothing of ours: it hands its frames over through a
    // queued call that Qt drops when this object is gone.
    auto *travailleur = QThread::create([fichier, W, H, fond, moi = QPointer<TAnimeThreadDlg>(this)] {
        Images images = charge(fichier, W, H, fond);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [moi, images = std::move(images)] {
                if (moi)
                    moi->recoit(images);
            },
            Qt::QueuedConnection);
    });
    travailleur->setObjectName(QStringLiteral("AnimeThreadDlg"));
    connect(travailleur, &QThread::finished, travailleur, &QObject::deleteLater);
    travailleur->start(QThread::LowPriority);
}

TAnimeThreadDlg::~TAnimeThreadDlg() = default;

TAnimeThreadDlg::Images TAnimeThreadDlg::charge(const QString &fichier, int W, int H, TColor fond)
{
    Images r;
    if (W < 1 || H < 1)
        return r;
    const auto animees = ChargeImagesAnimees(fichier, DelaiNulMs, DelaiNonGifMs);
    if (!animees)
        return r;
    // Each frame fitted into the target over the background colour, once.
    const QColor couleur = QColor::fromRgb(fond.toQRgb());
    for (const QImage &brute : std::as_const(animees->images)) {
        const QRect rect = RectProportionnel(brute.width(), brute.height(), W, H);
        QImage travail(W, H, QImage::Format_ARGB32);
        travail.fill(couleur);
        QPainter p(&travail);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect, brute);
        p.end();
        r.images.append(travail);
    }
    r.delais = animees->delaisMs.mid(0, r.images.size());
    return r;
}

void TAnimeThreadDlg::recoit(const Images &images)
{
    m_termine = true;
    if (!m_arrete) {
        m_images = images.images;
        m_delais = images.delais;
    }
    emit chargementFini();
    if (m_demande)
        demarre();
}

void TAnimeThreadDlg::demarre()
{
    m_demande = true;
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
