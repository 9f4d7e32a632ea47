#include "tools/cles_theme_lignes.h"

#include "theme/ligne_valeur_registre.h"

namespace {

bool estHexa(const QString &t)
{
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

TColor couleurDeValeur(uint32_t v)
{
    return TColor::fromRgb(int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF));
}

// The key names are matched without regard to case, as the theme's lists do.
int indexCle(const QString &nom)
{
    for (int k = 0; k < ListeTDThemeCles.size(); ++k)
        if (ListeTDThemeCles.at(k).compare(nom, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

} // namespace

QString TexteHexaCouleur(TColor c)
{
    return QString::asprintf("0x%02X%02X%02X00", c.red(), c.green(), c.blue());
}

CouleurCleLue CouleurValeurCle(const QString &texte, int type)
{
    const bool huitChiffres = texte.size() == 8 && estHexa(texte);
    if (type == LigneValeurRegistre::TypeBinaire && estHexa(texte) && texte.size() <= 8)
        return {couleurDeValeur(texte.toUInt(nullptr, 16)), huitChiffres};
    if (type == LigneValeurRegistre::TypeMultiChaine && huitChiffres) {
        const QString inverse = texte.mid(6, 2) + texte.mid(4, 2) + texte.mid(2, 2) + texte.mid(0, 2);
        return {couleurDeValeur(inverse.toUInt(nullptr, 16)), true};
    }
    return {TColor(), false};
}

EtatClesThemeTD LitClesThemeTD(const ParametresWM5 &p, const QStringList &clesTheme)
{
    EtatClesThemeTD etat;
    if (p.Coul34Definie) {
        CleThemeTD &c = etat[CleCouleur34];
        c.active = true;
        c.couleur = p.Coul34;
        c.libelle = TexteHexaCouleur(p.Coul34);
    }
    if (!p.ClesThemeDefinies)
        return etat;
    for (const QString &ligne : clesTheme) {
        const auto lue = LigneValeurRegistre::lire(ligne);
        if (!lue)
            continue;
        const int k = indexCle(lue->nom);
        if (k < 0)
            continue;
        CleThemeTD &c = etat[k];
        if (k == CleUseDefaultTitleColor) {
            c.active = true;
            const auto v = lue->type == LigneValeurRegistre::TypeDword ? lue->valeurDword()
                                                                      : std::nullopt;
            c.udtc = v && *v == 1;
            c.ligneConservee = v ? std::nullopt : std::optional<QString>(ligne);
            continue;
        }
        const CouleurCleLue cl = CouleurValeurCle(lue->texte, lue->type);
        if (k == CleCouleur34 && !cl.canonique) {
            // Colour 34 is edited through Coul34: a line that cannot be read
            // as a colour stays as it is and does not touch that box.
            c.ligneConservee = ligne;
            continue;
        }
        c.active = true;
        c.couleur = cl.couleur;
        c.libelle = QStringLiteral("0x") + lue->texte;
        c.ligneConservee = cl.canonique ? std::nullopt : std::optional<QString>(ligne);
    }
    return etat;
}

ResultatClesThemeTD EcritClesThemeTD(const EtatClesThemeTD &etat)
{
    ResultatClesThemeTD r;
    const auto conservee = [](const CleThemeTD &c) {
        return c.active && !c.modifiee && c.ligneConservee.has_value();
    };
    const CleThemeTD &udtc = etat[CleUseDefaultTitleColor];
    if (conservee(udtc))
        r.ClesTheme << *udtc.ligneConservee;
    else if (udtc.active && udtc.udtc)
        r.ClesTheme << LigneValeurRegistre::dword(ListeTDThemeCles.at(CleUseDefaultTitleColor), 1).ecrire();
    for (int k = 1; k < CleCouleur34; ++k) {
        const CleThemeTD &c = etat[k];
        if (conservee(c)) {
            r.ClesTheme << *c.ligneConservee;
        } else if (c.active) {
            QByteArray octets;
            octets.append(char(c.couleur.red()))
                .append(char(c.couleur.green()))
                .append(char(c.couleur.blue()))
                .append('\0');
            r.ClesTheme << LigneValeurRegistre::binaire(ListeTDThemeCles.at(k), octets).ecrire();
        }
    }
    const CleThemeTD &c34 = etat[CleCouleur34];
    if (c34.ligneConservee)
        r.ClesTheme << *c34.ligneConservee;
    r.ClesThemeDefinies = !r.ClesTheme.isEmpty();
    r.Coul34Definie = c34.active;
    r.Coul34 = c34.couleur;
    return r;
}

void AppliqueClesThemeTD(ThemeDocument &doc, const ResultatClesThemeTD &r)
{
    ParametresWM5 p = doc.parametres();
    p.ClesThemeDefinies = r.ClesThemeDefinies;
    p.Coul34Definie = r.Coul34Definie;
    if (r.Coul34Definie)
        p.Coul34 = r.Coul34;
    doc.setClesTheme(r.ClesTheme);
    doc.setParametres(p);
}
