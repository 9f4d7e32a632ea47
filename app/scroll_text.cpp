#include "app/scroll_text.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

TScrollText::TScrollText(QWidget *parent) : QWidget(parent), m_label(new QLabel(this))
{
    resize(200, 150);
    m_label->setWordWrap(true);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fond = palette().color(QPalette::Window);
    setAutoFillBackground(true);
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &TScrollText::pas);
    disposeTexte();
    Reset();
}

void TScrollText::setTextAlignment(Qt::Alignment alignement)
{
    m_label->setAlignment(alignement);
}

Qt::Alignment TScrollText::TextAlignment() const
{
    return m_label->alignment();
}

void TScrollText::setItems(const QStringList &lignes)
{
    m_items = lignes;
    m_label->setText(lignes.join(QLatin1Char('\n')));
    disposeTexte();
    Reset();
}

void TScrollText::setActive(bool actif)
{
    if (actif == m_actif)
        return;
    m_actif = actif;
    majTimer();
    emit activeChanged(actif);
}

void TScrollText::setDelay(int ms)
{
    m_timer.setInterval(qMax(1, ms));
}

void TScrollText::setScrollPixels(int pixels)
{
    m_scrollPixels = qMax(1, pixels);
    if (m_etat == Defile)
        m_pas = m_scrollPixels;
}

void TScrollText::setScrollDirection(TDirection direction)
{
    if (direction == m_direction)
        return;
    m_direction = direction;
    Reset();
}

void TScrollText::setBackgroundColor(const QColor &couleur)
{
    m_fond = couleur;
    QPalette p = palette();
    p.setColor(QPalette::Window, couleur);
    setPalette(p);
}

void TScrollText::Pause()
{
    if (m_actif)
        m_etat = Ralentit;
}

void TScrollText::Unpause()
{
    if (m_actif)
        return;
    m_etat = Accelere;
    m_pas = 0;
    setActive(true);
}

void TScrollText::Reset()
{
    switch (m_direction) {
    case drFromLeft:
        m_label->move(width(), 0);
        break;
    case drFromRight:
        m_label->move(-m_label->width(), 0);
        break;
    case drFromTop:
        m_label->move(0, -m_label->height());
        break;
    case drFromBottom:
        m_label->move(0, height());
        break;
    }
}

QPoint TScrollText::positionTexte() const
{
    return m_label->pos();
}

QSize TScrollText::tailleTexte() const
{
    return m_label->size();
}

void TScrollText::pas()
{
    if (m_etat == Ralentit) {
        if (--m_pas < 1) {
            m_pas = 0;
            m_etat = Defile;
            setActive(false);
            return;
        }
    } else if (m_etat == Accelere) {
        if (++m_pas >= m_scrollPixels) {
            m_pas = m_scrollPixels;
            m_etat = Defile;
        }
    } else {
        m_pas = m_scrollPixels;
    }

    QPoint p = m_label->pos();
    switch (m_direction) {
    case drFromLeft:
        p.rx() -= m_pas;
        if (p.x() + m_label->width() < 0)
            p.setX(width());
        break;
    case drFromRight:
        p.rx() += m_pas;
        if (p.x() > width())
            p.setX(-width());
        break;
    case drFromTop:
        p.ry() += m_pas;
        if (p.y() > height())
            p.setY(-m_label->height());
        break;
    case drFromBottom:
        p.ry() -= m_pas;
        if (p.y() + m_label->height() < 0)
            p.setY(height());
        break;
    }
    m_label->move(p);
    emit avance();
}

void TScrollText::majTimer()
{
    if (m_actif && isVisible() && !m_glisse)
        m_timer.start();
    else
        m_timer.stop();
}

void TScrollText::disposeTexte()
{
    const int h = qMax(m_label->heightForWidth(width()), height());
    m_label->resize(width(), h);
}

void TScrollText::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    disposeTexte();
}

void TScrollText::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    majTimer();
}

void TScrollText::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    majTimer();
}

void TScrollText::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        m_label->setFont(font());
        disposeTexte();
    }
}

void TScrollText::mousePressEvent(QMouseEvent *e)
{
    if (!m_label->geometry().contains(e->position().toPoint()))
        return;
    m_glisse = true;
    m_dernierPointeur = horizontal() ? e->position().toPoint().x() : e->position().toPoint().y();
    majTimer();
}

void TScrollText::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_glisse)
        return;
    const int pointeur = horizontal() ? e->position().toPoint().x() : e->position().toPoint().y();
    const int delta = pointeur - m_dernierPointeur;
    m_dernierPointeur = pointeur;
    const int taille = horizontal() ? width() : height();
    const int tailleTexte = horizontal() ? m_label->width() : m_label->height();
    int pos = (horizontal() ? m_label->x() : m_label->y()) + delta;
    if (pos + tailleTexte < 0)
        pos = taille;
    else if (pos > taille)
        pos = -tailleTexte;
    m_label->move(horizontal() ? QPoint(pos, m_label->y()) : QPoint(m_label->x(), pos));
}

void TScrollText::mouseReleaseEvent(QMouseEvent *)
{
    if (!m_glisse)
        return;
    m_glisse = false;
    majTimer();
}
