#include "theme/ligne_valeur_registre.h"

#include <QByteArray>

#include <cctype>

std::optional<LigneValeurRegistre> LigneValeurRegistre::lire(const QString &ligne)
{
    const int tab = ligne.indexOf(QLatin1Char('\t'));
    const int tabTab = ligne.indexOf(QLatin1String("\t\t"));
    if (tab < 0 || tabTab < 0)
        return std::nullopt;
    bool ok = false;
    const int type = ligne.mid(tabTab + 2).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    LigneValeurRegistre l;
    l.nom = ligne.left(tab);
    l.texte = tabTab > tab ? ligne.mid(tab + 1, tabTab - tab - 1) : QString();
    l.type = type;
    return l;
}

QString LigneValeurRegistre::ecrire() const
{
    return nom + QLatin1Char('\t') + texte + QLatin1String("\t\t") + QString::number(type);
}

LigneValeurRegistre LigneValeurRegistre::dword(const QString &nom, uint32_t valeur)
{
    return {nom, QStringLiteral("%1").arg(valeur, 8, 16, QLatin1Char('0')).toUpper(), TypeDword};
}

LigneValeurRegistre LigneValeurRegistre::binaire(const QString &nom, const QByteArray &octets)
{
    return {nom, QString::fromLatin1(octets.toHex().toUpper()), TypeBinaire};
}

static bool toutHexa(const QString &t)
{
    for (QChar c : t)
        if (!isxdigit(c.toLatin1()))
            return false;
    return true;
}

std::optional<uint32_t> LigneValeurRegistre::valeurDword() const
{
    if (texte.isEmpty() || texte.size() > 8 || !toutHexa(texte))
        return std::nullopt;
    return texte.toUInt(nullptr, 16);
}

std::optional<QByteArray> LigneValeurRegistre::octets() const
{
    if (texte.size() % 2 != 0 || !toutHexa(texte))
        return std::nullopt;
    return QByteArray::fromHex(texte.toLatin1());
}
