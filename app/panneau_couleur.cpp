#include "app/panneau_couleur.h"

#include <QMouseEvent>

PanneauCouleur::PanneauCouleur(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(42, 18);
    setCouleur(m_couleur);
}

void PanneauCouleur::setCouleur(TColor c)
{
    m_couleur = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(c.toQRgb()));
    setPalette(pal);
}

void PanneauCouleur::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
