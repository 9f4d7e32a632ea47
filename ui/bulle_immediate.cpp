#include "ui/bulle_immediate.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QWidget>

void MontreBulleImmediate(QWidget *controle, const QPoint &global)
{
    if (!controle)
        return;
    QHelpEvent demande(QEvent::ToolTip, controle->mapFromGlobal(global), global);
    QCoreApplication::sendEvent(controle, &demande);
}
