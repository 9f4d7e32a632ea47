#include "theme/cle_theme_canonique.h"

#include "theme/ligne_valeur_registre.h"
#include "theme/theme_document.h"

#include <QByteArray>

QString ligneCleThemeCanonique(const QString &ligne)
{
    const auto l = LigneValeurRegistre::lire(ligne);
    if (!l || l->type != LigneValeurRegistre::TypeDword || !ListeTDThemeCles.contains(l->nom)
        || l->nom == QLatin1String("UseDefaultTitleColor"))
        return ligne;
    const auto v = l->valeurDword();
    if (!v)
        return ligne;
    QByteArray octets;
    for (int i = 0; i < 4; ++i)
        octets.append(char((*v >> (8 * i)) & 0xFF));
    return LigneValeurRegistre::binaire(l->nom, octets).ecrire();
}
