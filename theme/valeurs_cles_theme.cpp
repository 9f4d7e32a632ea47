#include "theme/valeurs_cles_theme.h"

#include "theme/ligne_valeur_registre.h"
#include "theme/theme_document.h"

#include <cctype>

std::vector<ValeurCleTheme> ValeursClesTheme(const QStringList &clesTheme)
{
    static const QString useDefaultTitleColor = QStringLiteral("UseDefaultTitleColor");
    std::vector<ValeurCleTheme> valeurs;
    for (const QString &texte : clesTheme) {
        const auto ligne = LigneValeurRegistre::lire(texte);
        if (!ligne || !ListeTDThemeCles.contains(ligne->nom))
            continue;
        if (ligne->type == LigneValeurRegistre::TypeBinaire) {
            const auto octets = ligne->octets();
            if (!octets || octets->size() != 4)
                continue;
            const auto b = [&octets](int i) { return uint32_t(uint8_t(octets->at(i))); };
            valeurs.push_back({ligne->nom, b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24,
                               ValeurCleTheme::FlagsBinaire});
        } else if (ligne->type == LigneValeurRegistre::TypeDword) {
            const auto v = ligne->valeurDword();
            if (!v)
                continue;
            valeurs.push_back({ligne->nom, *v,
                               ligne->nom == useDefaultTitleColor ? ValeurCleTheme::FlagsDword
                                                                  : ValeurCleTheme::FlagsBinaire});
        }
    }
    return valeurs;
}

QString ErreurConversionClesTheme(const QStringList &clesTheme)
{
    for (const QString &texte : clesTheme) {
        const qsizetype tab = texte.indexOf(QLatin1Char('\t'));
        if (tab < 0 || !ListeTDThemeCles.contains(texte.left(tab)))
            continue;
        const qsizetype fin = texte.indexOf(QLatin1String("\t\t"), tab + 1);
        const QString hex = texte.mid(tab + 1, fin < 0 ? -1 : fin - tab - 1);
        bool hexa = !hex.isEmpty();
        for (QChar c : hex)
            hexa = hexa && c.unicode() < 128 && std::isxdigit(c.toLatin1());
        if (!hexa)
            return QStringLiteral("'$%1' is not a valid integer value").arg(hex);
    }
    return {};
}
