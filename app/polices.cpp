#include "app/polices.h"

#include <QFile>
#include <QFontDatabase>

void EnregistrePolices()
{
    for (const char *f : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QLatin1String(f)))
            QFontDatabase::addApplicationFont(QLatin1String(f));
}
