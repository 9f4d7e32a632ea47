#include "app/cadre_appareil.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int kCote = 16; // case edge beside the screen
constexpr int kHaut = 40; // above the screen: the speaker, the hot zones' brackets
constexpr int kBas = 58;  // below the screen: the navigation pad
} // namespace

CadreAppareil::CadreAppareil(QWidget *ecran, QWidget *parent) : QWidget(parent), m_ecran(ecran)
{
    setObjectName(QStringLiteral("CadreAppareil"));
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(kCote, kHaut, kCote, kBas);
    l->addWidget(ecran);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CadreAppareil::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF corps = QRectF(rect()).adjusted(1, 1, -1, -1);
    QLinearGradient g(corps.topLeft(), corps.topRight());
    g.setColorAt(0, QColor(0x2B, 0x2F, 0x36));
    g.setColorAt(0.5, QColor(0x4A, 0x50, 0x5A));
    g.setColorAt(1, QColor(0x24, 0x27, 0x2D));
    p.setPen(QPen(QColor(0x15, 0x17, 0x1A), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(corps, 22, 22);

    // The screen's recess.
    const QRectF ecran = QRectF(m_ecran->geometry()).adjusted(-3, -3, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0E, 0x0F, 0x11));
    p.drawRoundedRect(ecran, 4, 4);

    // The speaker slot.
    p.setBrush(QColor(0x18, 0x1A, 0x1E));
    p.drawRoundedRect(QRectF(width() / 2.0 - 28, 8, 56, 6), 3, 3);

    // The navigation pad and two application buttons.
    const double cy = height() - kBas / 2.0 + 2;
    QRadialGradient pad(QPointF(width() / 2.0 - 4, cy - 6), 24);
    pad.setColorAt(0, QColor(0x8D, 0x95, 0xA1));
    pad.setColorAt(1, QColor(0x3A, 0x3F, 0x47));
    p.setBrush(pad);
    p.setPen(QPen(QColor(0x15, 0x17, 0x1A), 1));
    p.drawEllipse(QPointF(width() / 2.0, cy), 19, 19);
    p.setBrush(QColor(0x33, 0x37, 0x3E));
    for (double x : {width() / 2.0 - 72, width() / 2.0 + 52})
        p.drawRoundedRect(QRectF(x, cy - 7, 20, 14), 6, 6);
}
