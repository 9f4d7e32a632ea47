#include "tools/silent_paint_panel.h"

#include <QPainter>

TSilentPaintPanel::TSilentPaintPanel(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(true);
}

void TSilentPaintPanel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TSilentPaintPanel::paintEvent(QPaintEvent *event)
{
    try {
        peintureHeritee(event);
    } catch (...) {
        // A picture that cannot be drawn must not take the dialog down.
        // One more paint shows the new caption; a panel that keeps failing
        // is not repainted in a loop.
        if (m_caption != texteImageNonValide()) {
            m_caption = texteImageNonValide();
            update();
        }
    }
}

void TSilentPaintPanel::peintureHeritee(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    p.drawText(contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, m_caption);
}
