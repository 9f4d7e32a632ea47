#include "resources/ressources.h"

#include <QtGlobal>

void initialiseRessources()
{
    Q_INIT_RESOURCE(artwork);
}
