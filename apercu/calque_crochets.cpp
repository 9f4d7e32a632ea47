#include "apercu/calque_crochets.h"

#include "apercu/apercu_ecran.h"
#include "apercu/fond_fenetre.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kAuDessusBarre = 20; // the diagram's top above the navigation bar
} // namespace

CalqueCrochets::CalqueCrochets(QWidget *zone, QWidget *apercu) : QWidget(zone), m_apercu(apercu)
{
    setObjectName(QStringLiteral("Crochets"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    resize(Taille);
    // Any move of the preview or of a widget between it and the zone moves it.
    for (QWidget *w = apercu; w && w != zone; w = w->parentWidget())
        w->installEventFilter(this);
    zone->installEventFilter(this);
    place();
}

QPoint CalqueCrochets::origine() const
{
    if (!m_apercu || !parentWidget())
        return {};
    return m_apercu->mapTo(parentWidget(), GeometrieApercu::BarreNavigation.topLeft()) - QPoint(0, kAuDessusBarre);
}

void CalqueCrochets::place()
{
    move(origine());
    raise();
}

bool CalqueCrochets::eventFilter(QObject *objet, QEvent *e)
{
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::LayoutRequest:
        place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(objet, e);
}

void CalqueCrochets::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(couleurCrayon(), 1));
    DessineCrochets(p, 0, 0);
}
