#include "theme/controle_noms.h"

#include "theme/cp1252.h"
#include "theme/member_name.h"

namespace {

const QString QuoiTheme = QStringLiteral("theme name");
const QString QuoiInterne = QStringLiteral("internal name");
const QString QuoiApplication = QStringLiteral("application name");

bool estControle(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

QString controle(const QString &nom, const QString &quoi)
{
    for (QChar c : nom)
        if (estControle(c))
            return QStringLiteral("The %1 cannot contain a control character.").arg(quoi);
    return {};
}

QString longueur(const QString &nom, const QString &quoi)
{
    if (nom.size() > ControleNoms::LongueurMax)
        return QStringLiteral("The %1 is too long: %2 characters at most.").arg(quoi).arg(ControleNoms::LongueurMax);
    return {};
}

// The first character XML cannot hold even as a reference (a surrogate
// without its partner, U+FFFE, U+FFFF); empty when none. Control characters
// are refused before.
QString horsXml(const QString &nom)
{
    for (qsizetype i = 0; i < nom.size(); ++i) {
        const QChar c = nom.at(i);
        if (c.isHighSurrogate() && i + 1 < nom.size() && nom.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            return QString(c);
    }
    return {};
}

// Where a name in Windows-1252 fails: the CE setup file of a package, the CE
// setup file alone, or the INF text.
QString ouCp1252(unsigned documents)
{
    using namespace ControleNoms;
    if (documents & FichierCE)
        return (documents & FichierPaquet)
                   ? QStringLiteral("in a package with a CE setup file (\"+ Inf\", \"+ Inf + Xml\")")
                   : QStringLiteral("in the CE setup file");
    return QStringLiteral("in the INF file");
}

// Why a name fails in the documents that carry it as text.
enum class Cause { Aucune, Autre, Cp1252, LongueurCE };

struct Echec
{
    QString texte;
    Cause cause = Cause::Aucune;
};

// The name in every document that carries it as text: control characters,
// XML, Windows-1252, the setup file's length.
Echec texteSetup(const QString &nom, const QString &quoi, unsigned documents)
{
    using namespace ControleNoms;
    if (QString r = controle(nom, quoi); !r.isEmpty())
        return {r, Cause::Autre};
    if (documents & DocumentXml)
        if (const QString c = horsXml(nom); !c.isEmpty())
            return {QStringLiteral("The %1 cannot contain the character %2: the setup XML document has no place "
                                   "for it.")
                        .arg(quoi, pointDeCode(c)),
                    Cause::Autre};
    if (documents & (FichierCE | TexteInf))
        if (const QString c = cp1252::firstUnencodable(nom); !c.isEmpty())
            return {QStringLiteral("The %1 cannot contain the character \"%2\" (%3) %4, written in Windows-1252.")
                        .arg(quoi, c, pointDeCode(c), ouCp1252(documents)),
                    Cause::Cp1252};
    if (documents & FichierCE)
        if (QString r = longueur(nom, quoi); !r.isEmpty())
            return {r, Cause::LongueurCE};
    return {};
}

} // namespace

namespace ControleNoms {

QString Refus::texte() const
{
    if (theme.isEmpty() || interne.isEmpty())
        return theme + interne;
    return theme + QLatin1Char('\n') + interne;
}

QString pointDeCode(const QString &texte)
{
    if (texte.isEmpty())
        return {};
    char32_t code = texte.at(0).unicode();
    if (texte.size() > 1 && texte.at(0).isHighSurrogate() && texte.at(1).isLowSurrogate())
        code = QChar::surrogateToUcs4(texte.at(0), texte.at(1));
    return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}

QString nomFichierTheme(const QString &nom)
{
    if (nom.isEmpty())
        return QStringLiteral("Need a name for the Theme !");
    static const QString interdits = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : nom)
        if (interdits.contains(c))
            return QStringLiteral("The theme name cannot contain \"%1\": it names files (\\ / : * ? \" < > | "
                                  "are not allowed).")
                .arg(c);
    if (QString r = controle(nom, QuoiTheme); !r.isEmpty())
        return r;
    if (QString r = longueur(nom, QuoiTheme); !r.isEmpty())
        return r;
    if (nom.endsWith(QLatin1Char(' ')) || nom.endsWith(QLatin1Char('.')))
        return QStringLiteral("The theme name cannot end with a blank or a dot.");
    if (!estNomMembreSur(nom + QStringLiteral(".tsk")))
        return QStringLiteral("The theme name \"%1\" is reserved by Windows for a device.").arg(nom);
    return {};
}

QString nomTheme(const QString &nom)
{
    if (QString r = nomFichierTheme(nom); !r.isEmpty())
        return r;
    return texteSetup(nom, QuoiTheme, FichierCE).texte;
}

QString nomApplication(const QString &nom)
{
    return texteSetup(nom, QuoiApplication, FichierCE).texte;
}

Refus verifie(const Noms &noms, unsigned documents)
{
    Refus r;
    const unsigned textes = documents & (FichierCE | TexteInf | DocumentXml);
    const bool paquetCE = (documents & FichierPaquet) && (documents & FichierCE);
    // The way out when only the CE setup file cannot hold a name.
    const auto issues = [&](QString &texte, Cause cause, bool interneLibere) {
        if (paquetCE && (cause == Cause::Cp1252 || cause == Cause::LongueurCE))
            texte += QStringLiteral("\nThe \"+ Xml\" package holds any name (Options page, \"TSK\").");
        if (interneLibere && cause == Cause::Cp1252)
            texte += QStringLiteral("\nOr give an Internal Theme Name that Windows-1252 holds.");
    };

    // The package file is named after the theme.
    if (documents & FichierPaquet)
        r.theme = nomFichierTheme(noms.theme);

    // The theme's own key, named after the package file.
    if (r.theme.isEmpty() && noms.cleTheme && textes) {
        r.theme = nomFichierTheme(noms.theme);
        if (r.theme.isEmpty()) {
            Echec e = texteSetup(noms.theme, QuoiTheme, documents);
            if (!e.texte.isEmpty()) {
                e.texte += QStringLiteral("\nThe theme's own registry keys are named after it.");
                issues(e.texte, e.cause, false);
            }
            r.theme = e.texte;
        }
    }

    // The application name: the internal name, or the theme name in its place.
    const bool remplace = noms.interne.isEmpty();
    QString &application = remplace ? r.theme : r.interne;
    if (application.isEmpty() && textes) {
        if (remplace && noms.theme.isEmpty()) {
            application = QStringLiteral("Need a name for the Theme !");
        } else {
            Echec e = texteSetup(noms.application(), remplace ? QuoiTheme : QuoiInterne, documents);
            if (!e.texte.isEmpty())
                issues(e.texte, e.cause, remplace && !noms.cleTheme);
            application = e.texte;
        }
    }
    return r;
}

} // namespace ControleNoms
