#include "app/identite_application.h"

#include <QApplication>

void IdentiteApplication()
{
    QApplication::setApplicationName(QStringLiteral("Orvandel"));
}
