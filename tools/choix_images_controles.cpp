#include "tools/choix_images_controles.h"

#include "ui/bulle_immediate.h"

#include <QEnterEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

QPoint PointPicker(QPoint p, int w, int h)
{
    const int x = std::clamp(p.x(), 0, std::max(w - 1, 0));
    const int y = std::clamp(p.y(), 0, std::max(h - 1, 0));
    return {x & ~1, y & ~1};
}

QPoint MoletteCentre(QPoint centre, int delta, Qt::KeyboardModifiers modifs, int w, int h)
{
    if (delta == 0)
        return centre;
    const int pas = (modifs & Qt::ControlModifier) ? 4 : 2;
    const int d = delta < 0 ? -pas : pas;
    if (modifs & Qt::ShiftModifier)
        centre.ry() += d;
    else
        centre.rx() += d;
    return PointPicker(centre, w, h);
}

// ---- centre picker ----------------------------------------------------------

TImageMouse::TImageMouse(int tag, QWidget *parent) : QWidget(parent), m_tag(tag)
{
    setFixedSize(LargeurPicker, HauteurPicker);
    setCursor(Qt::CrossCursor);
    m_centre = PointPicker(QPoint(LargeurPicker / 2, HauteurPicker / 2));
    redessine();
}

void TImageMouse::setCentre(QPoint c)
{
    m_centre = PointPicker(c);
    redessine();
}

void TImageMouse::setMiniature(const QImage &apercu, const QRect &dansVue, int facteurPicker)
{
    m_miniature = QImage(LargeurPicker, HauteurPicker, QImage::Format_ARGB32);
    m_miniature.fill(Qt::transparent);
    if (!apercu.isNull() && facteurPicker > 0) {
        const double k = 10.0 / facteurPicker;
        QPainter p(&m_miniature);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setOpacity(0.7);
        p.drawImage(QRectF(dansVue.x() * k, dansVue.y() * k, dansVue.width() * k, dansVue.height() * k), apercu);
    }
    redessine();
}

void TImageMouse::redessine()
{
    m_dessin = QImage(LargeurPicker, HauteurPicker, QImage::Format_ARGB32);
    m_dessin.fill(qRgb(0, 255, 255));
    QPainter p(&m_dessin);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawLine(0, 0, LargeurPicker - 1, HauteurPicker - 1);
    p.drawLine(LargeurPicker - 1, 0, 0, HauteurPicker - 1);
    if (!m_miniature.isNull())
        p.drawImage(0, 0, m_miniature);
    const int x = m_centre.x(), y = m_centre.y();
    p.setPen(QColor(255, 0, 0));
    p.drawLine(x, y - 4, x, y + 5);
    p.drawLine(x - 4, y, x + 5, y);
    p.drawLine(x + 3, y - 1, x + 3, y + 2);
    p.drawLine(x - 1, y - 3, x + 2, y - 3);
    p.drawLine(x - 3, y - 1, x - 3, y + 2);
    p.drawLine(x - 1, y + 3, x + 2, y + 3);
    p.end();
    update();
}

void TImageMouse::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_dessin);
}

void TImageMouse::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_glisse = true;
    setCentre(event->position().toPoint());
    emit centreChange(m_centre, false);
}

void TImageMouse::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_glisse)
        return;
    const QPoint c = PointPicker(event->position().toPoint());
    if (c == m_centre)
        return;
    setCentre(c);
    emit centreChange(m_centre, false);
}

void TImageMouse::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_glisse)
        return QWidget::mouseReleaseEvent(event);
    m_glisse = false;
    setCentre(event->position().toPoint());
    emit centreChange(m_centre, true);
}

void TImageMouse::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (!isVisible() || delta == 0)
        return event->ignore();
    setCentre(MoletteCentre(m_centre, delta, event->modifiers()));
    emit centreChange(m_centre, true);
    event->accept();
}

void TImageMouse::enterEvent(QEnterEvent *)
{
    emit survol(true);
}

void TImageMouse::leaveEvent(QEvent *)
{
    emit survol(false);
}

// ---- colour swatch ----------------------------------------------------------

TPanneauCouleurChoix::TPanneauCouleurChoix(QWidget *parent) : QPushButton(parent)
{
    setFixedSize(36, 20);
    setCursor(Qt::PointingHandCursor);
    // Enter in the window must not open the colour dialog.
    setAutoDefault(false);
}

void TPanneauCouleurChoix::setCouleur(TColor c)
{
    m_couleur = c;
    update();
}

void TPanneauCouleurChoix::mousePressEvent(QMouseEvent *event)
{
    m_shift = event->modifiers() & Qt::ShiftModifier;
    QPushButton::mousePressEvent(event);
}

void TPanneauCouleurChoix::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(m_couleur.toQRgb()));
    p.setPen(isDown() ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- tabs -------------------------------------------------------------------

TOngletsEffets::TOngletsEffets(QWidget *parent) : QTabBar(parent)
{
    setMouseTracking(true);
    setDrawBase(true);
    setExpanding(true);
}

void TOngletsEffets::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        const QString texte = opt.text;
        opt.text.clear();
        opt.palette.setColor(QPalette::Button, palette().color(QPalette::Window));
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        QFont f = font();
        const bool actif = i == currentIndex();
        f.setUnderline(actif);
        p.setFont(f);
        // The active tab in maroon (colour reference $000080).
        p.setPen(actif ? QColor(0x80, 0x00, 0x00) : palette().color(QPalette::WindowText));
        p.drawText(opt.rect, Qt::AlignCenter, texte);
    }
}

void TOngletsEffets::mouseMoveEvent(QMouseEvent *event)
{
    const int i = tabAt(event->position().toPoint());
    if (i >= 0 && !tabToolTip(i).isEmpty())
        MontreBulleImmediate(this, event->globalPosition().toPoint());
    else
        QToolTip::hideText();
    QTabBar::mouseMoveEvent(event);
}

void TOngletsEffets::leaveEvent(QEvent *event)
{
    QToolTip::hideText();
    QTabBar::leaveEvent(event);
}

// ---- gradient glyphs ----------------------------------------------------------

QImage GlypheGradient(int type, int taille)
{
    QImage g(taille, taille, QImage::Format_ARGB32);
    g.fill(Qt::transparent);
    QPainter p(&g);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1.5, 1.5, taille - 3, taille - 3);
    const QColor a(Qt::white), b(0x20, 0x40, 0xA0);
    QBrush brosse(b);
    switch (type) {
    case 1: {
        QLinearGradient l(r.topLeft(), r.bottomRight());
        l.setColorAt(0, a);
        l.setColorAt(1, b);
        brosse = QBrush(l);
        break;
    }
    case 2: {
        QLinearGradient l(r.topLeft(), r.bottomLeft());
        l.setColorAt(0, a);
        l.setColorAt(1, b);
        brosse = QBrush(l);
        break;
    }
    case 3: {
        QLinearGradient l(r.topRight(), r.bottomLeft());
        l.setColorAt(0, a);
        l.setColorAt(1, b);
        brosse = QBrush(l);
        break;
    }
    case 4: {
        QRadialGradient rg(r.center(), r.width() / 1.4);
        rg.setColorAt(0, b);
        rg.setColorAt(1, a);
        brosse = QBrush(rg);
        break;
    }
    default:
        break;
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(brosse);
    p.drawRect(r);
    return g;
}
