// The page tabs: painted in the window's colours with their pictures (the
// theme-parameters tab shows whether the theme is WM5 compatible), and a hint
// per tab shown as soon as the mouse reaches it.
#include "app/orvandel_main_window.h"

#include "app/style_onglets.h"
#include "ui/charge_image_res.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>

#include <array>

QString TOrvandel::BulleOnglet(int index)
{
    switch (index) {
    case 0: return QStringLiteral("Options");
    case 1: return QStringLiteral("Choose/Modify the Images (Today and Start)");
    case 2: return QStringLiteral("Screen Colors \"TODAY\"");
    case 3: return QStringLiteral("Create parameters for WM5 compatible Theme");
    case 4: return QStringLiteral("ActiveSync");
    case 5: return QStringLiteral("View and/or save original Theme installation file");
    default: return {};
    }
}

void TOrvandel::construitOnglets()
{
    // The pictures stand for the captions, except on the options tab.
    const QString legendes[] = {QStringLiteral("Options"), QString(), QStringLiteral("  "), QString(), QString(),
                                QString()};
    for (int i = 0; i < m_pages->count() && i < 6; ++i)
        m_pages->setTabText(i, legendes[i]);

    const std::array<QImage, 7> images = {
        QImage(),
        ChargeImageRes(QStringLiteral("onglet_imgmulti.png")),
        ChargeImageRes(QStringLiteral("onglet_couleurs.png")),
        ChargeImageRes(QStringLiteral("onglet_wm5cles.png")),
        ChargeImageRes(QStringLiteral("onglet_astextico.png")),
        ChargeImageRes(QStringLiteral("onglet_inftextico.png")),
        ChargeImageRes(QStringLiteral("onglet_wm5clesnot.png")),
    };
    m_styleOnglets = new StyleOnglets;
    m_styleOnglets->setParent(this);
    m_styleOnglets->imageOnglet = [this, images](int index) {
        switch (index) {
        case 3: return m_image12 && !m_image12->isHidden() ? images[3] : images[6];
        case 5: return ongletInfVisible() ? images[5] : QImage();
        case 1:
        case 2:
        case 4: return images[index];
        default: return QImage();
        }
    };
    m_pages->tabBar()->setStyle(m_styleOnglets);
    m_pages->tabBar()->setMouseTracking(true);
    m_pages->tabBar()->installEventFilter(this);
    MajOnglets();
}

void TOrvandel::MajOnglets()
{
    if (!m_styleOnglets)
        return;
    m_styleOnglets->fixeCouleurs(m_ctx.CouleursSysteme, m_ctx.apparence.derivees, m_ctx.options.CoulFormUni);
    // The tab sizes follow the captions and pictures.
    m_pages->tabBar()->updateGeometry();
    m_pages->tabBar()->update();
}

void TOrvandel::MajMarqueurWM5()
{
    m_image12->setVisible(m_ctx.indicateurWM5);
    m_pages->tabBar()->update();
}

bool TOrvandel::PageControl1MouseMove(QObject *objet, QEvent *e)
{
    QTabBar *barre = m_pages->tabBar();
    if (objet != barre)
        return false;
    if (e->type() == QEvent::Leave) {
        m_dernierOngletSurvole = -1;
        return false;
    }
    if (e->type() != QEvent::MouseMove)
        return false;
    const auto *souris = static_cast<QMouseEvent *>(e);
    const QPoint pos = souris->position().toPoint();
    const int onglet = barre->tabAt(pos);
    if (pos.y() >= barre->height() - 4 || onglet < 0) {
        m_dernierOngletSurvole = -1;
        QToolTip::hideText();
        return false;
    }
    if (onglet != m_dernierOngletSurvole) {
        m_dernierOngletSurvole = onglet;
        QToolTip::hideText();
        if (bullesVisibles())
            QToolTip::showText(souris->globalPosition().toPoint(), BulleOnglet(onglet), barre);
    }
    return false;
}
