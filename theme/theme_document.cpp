#include "theme/theme_document.h"

#include "resources/strings.h"

namespace JeuCouleurs {

const std::array<const char *, NbCouleurs> CouleursDefaut{
    "2E,97,E3,00", "12,57,B1,00", "FF,FF,FF,00", "FF,FF,FF,00", "10,51,99,00", "B8,E8,FF,00",
    "1B,85,D2,00", "1B,85,D2,00", "1B,85,D2,00", "12,57,B1,00", "2E,97,E3,00", "FF,FF,FF,00",
    "C4,E7,FF,00", "12,57,B1,00", "2E,97,E3,00", "FF,FF,FF,00", "FF,FF,FF,00", "FE,FE,FF,00",
    "DE,EC,F5,00", "2E,97,E3,00", "FF,FF,FF,00", "4A,B2,EB,00"};

const std::array<int, NbCouleurs> IdsNomsCouleurs{
    65194, 65195, 65196, 65197, 65198, 65199, 65168, 65169, 65170, 65171, 65172,
    65173, 65174, 65175, 65176, 65177, 65178, 65179, 65180, 65181, 65182, 65183};

TColor couleurDefaut(int slot)
{
    return TexteVersCouleur(QString::fromLatin1(CouleursDefaut.at(slot))).value();
}

QString NomCouleur(int slot)
{
    return chaineRes(IdsNomsCouleurs.at(slot));
}

QString libelleDefaut(int slot)
{
    return QStringLiteral("%1 %2").arg(NumerosCouleurs.at(slot), 2, 10, QLatin1Char('0')).arg(NomCouleur(slot));
}

} // namespace JeuCouleurs

const QStringList ListeTDThemeCles{
    QStringLiteral("UseDefaultTitleColor"),
    QStringLiteral("Color_Highlight"),
    QStringLiteral("Color_HighlightText"),
    QStringLiteral("Color_SoftkeyBtnFace"),
    QStringLiteral("Color_MenuText"),
    QStringLiteral("Color_SoftkeyFlat"),
    QStringLiteral("Color_SoftkeyFlatCenter"),
    QStringLiteral("Color_CaptionFlat"),
    QStringLiteral("Color_TitleFlat"),
    QStringLiteral("Color_TitleFlatCenter"),
    QStringLiteral("Color_TitleFlatDoneBtn"),
    QStringLiteral("Color_TitleFlatDoneBtn_Highlight"),
    QStringLiteral("Color_CommandBar"),
    QStringLiteral("Color_CommandBarText"),
    QStringLiteral("Color_CommandBarSip_Highlight"),
    QStringLiteral("Color_CommandBarText_Highlight"),
    QStringLiteral("Color34"),
};

ThemeDocument::ThemeDocument(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        m_slots[i].couleur = JeuCouleurs::couleurDefaut(i);
        m_slots[i].libelle = JeuCouleurs::libelleDefaut(i);
    }
    FixeTailles(m_format, m_format.FormatTheme);
}

void ThemeDocument::setNomTheme(const QString &nom)
{
    if (nom == m_nomTheme)
        return;
    m_nomTheme = nom;
    emit nomsChanged();
}

void ThemeDocument::setNomInterne(const QString &nom)
{
    if (nom == m_nomInterne)
        return;
    m_nomInterne = nom;
    emit nomsChanged();
}

void ThemeDocument::setCouleur(int i, TColor c)
{
    if (m_slots.at(i).couleur == c)
        return;
    m_slots[i].couleur = c;
    emit slotChanged(i);
}

void ThemeDocument::setInclus(int i, bool inclus)
{
    if (m_slots.at(i).inclus == inclus)
        return;
    m_slots[i].inclus = inclus;
    emit slotChanged(i);
}

void ThemeDocument::setLibelle(int i, const QString &libelle)
{
    if (m_slots.at(i).libelle == libelle)
        return;
    m_slots[i].libelle = libelle;
    emit slotChanged(i);
}

void ThemeDocument::setJeuCouleurs(const std::array<SlotCouleur, JeuCouleurs::NbCouleurs> &nouveaux)
{
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        if (m_slots[i] == nouveaux[i])
            continue;
        m_slots[i] = nouveaux[i];
        emit slotChanged(i);
    }
}

int ThemeDocument::nombreInclus() const
{
    int n = 0;
    for (const SlotCouleur &s : m_slots)
        n += s.inclus ? 1 : 0;
    return n;
}

void ThemeDocument::setParametres(const ParametresWM5 &p)
{
    if (p == m_wm5)
        return;
    m_wm5 = p;
    emit parametresChanged();
}

void ThemeDocument::setLectureSetup(const LectureSetup &l)
{
    const bool cles = l.ClesTheme != m_lecture.ClesTheme;
    m_lecture = l;
    if (cles)
        emit clesThemeChanged();
}

void ThemeDocument::setClesTheme(const QStringList &lignes)
{
    if (lignes == m_lecture.ClesTheme)
        return;
    m_lecture.ClesTheme = lignes;
    emit clesThemeChanged();
}

void ThemeDocument::setFormatTheme(int format)
{
    if (format < 0 || format >= FormatImages::NbFormats)
        return;
    FormatImages f = m_format;
    f.FormatTheme = format;
    FixeTailles(f, format);
    setFormat(f);
}

void ThemeDocument::setFormat(const FormatImages &f)
{
    if (f.FormatTheme == m_format.FormatTheme && f.TailleImages == m_format.TailleImages
        && f.TaillesPerso == m_format.TaillesPerso)
        return;
    m_format = f;
    emit formatChanged();
}
