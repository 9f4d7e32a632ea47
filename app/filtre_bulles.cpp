#include "app/filtre_bulles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QToolTip>
#include <QWidget>

FiltreBulles::FiltreBulles(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("FiltreBulles"));
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

FiltreBulles::~FiltreBulles()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool FiltreBulles::eventFilter(QObject *objet, QEvent *e)
{
    switch (e->type()) {
    case QEvent::ToolTip:
        if (!m_visibles) {
            QToolTip::hideText();
            e->ignore();
            return true;
        }
        break;
    case QEvent::Enter:
        if (surBulle && objet->isWidgetType() && !static_cast<QWidget *>(objet)->toolTip().isEmpty())
            surBulle();
        break;
    default:
        break;
    }
    return false;
}
