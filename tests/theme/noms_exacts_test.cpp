// Every name the program takes (typed, read from a colour file, read from a
// package) comes back exact after the working colour file is written at the
// close and read at the next start, whatever the two names do to the way
// the file as a whole is decoded. Files written by other programs and by
// our earlier versions still read as they did.

#include "tests/support/fake_cabinets.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/cp1252.h"
#include "theme/fichier_couleurs.h"
#include "theme/ini_file.h"
#include "theme/package_reader.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

namespace {

QString fichierTravail() { return testenv::programDir() + QStringLiteral("/orvandelCoul.inf"); }

// A name as a failure message shows it: every character outside printable
// ASCII as \uXXXX.
std::string visible(const QString &nom)
{
    std::string s;
    for (QChar c : nom) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            s += char(c.unicode());
        else
            s += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toStdString();
    }
    return '"' + s + '"';
}

struct Noms
{
    QString theme, interne;
};

// The close writes the working file, the next start reads it: the names
// the start finds. Without `parFichiers`, the same bytes go from the writer
// to the reader without the disk.
Noms apresRedemarrage(const ThemeDocument &doc, bool parFichiers = true)
{
    ThemeDocument relu;
    relu.setNomTheme(QStringLiteral("avant"));
    relu.setNomInterne(QStringLiteral("avant"));
    if (!parFichiers) {
        const auto octets = TexteThemeTravail(doc);
        const auto lu = octets ? LitJeuCouleurs(*octets, relu, true) : std::nullopt;
        EXPECT_TRUE(lu);
        return lu ? Noms{lu->nomTheme, lu->nomInterne} : Noms{};
    }
    QString erreur;
    EXPECT_TRUE(SauveThemeTravail(doc, fichierTravail(), &erreur)) << erreur.toStdString();
    const ResultatChargeCouleurs r = ChargeCouleurs(relu, fichierTravail(), true);
    EXPECT_TRUE(r.ok) << r.erreur.toStdString();
    return {relu.nomTheme(), relu.nomInterne()};
}

// The pieces generated names are made of: ASCII with the characters the
// INI lines give a meaning to, Latin-1 and Windows-1252 letters, the
// controls Windows-1252 gives the five bytes it leaves undefined, characters
// the code page lacks (one outside the basic plane), UTF-8 read as
// Windows-1252 ("Ã©" is "é", "Ð¢" is "Т"), control characters and blanks
// that the INI reading trims.
const QString kMorceaux[] = {
    QStringLiteral("a"), QStringLiteral("Soir"), QStringLiteral("7"), QStringLiteral(" "), QStringLiteral("  "),
    QStringLiteral("\""), QStringLiteral("'"), QStringLiteral("%"), QStringLiteral("%20"), QStringLiteral("="),
    QStringLiteral(";"), QStringLiteral("["), QStringLiteral("]"), QStringLiteral("[WM5]"), QStringLiteral("#"),
    QStringLiteral("\\"), QStringLiteral("é"), QStringLiteral("É"), QStringLiteral("ß"), QStringLiteral("ÿ"),
    QStringLiteral("\u00A0"), QStringLiteral("©"), QStringLiteral("€"), QStringLiteral("’"), QStringLiteral("…"),
    QStringLiteral("Œ"), QStringLiteral("Ÿ"), QStringLiteral("\u0081"), QStringLiteral("\u008D"),
    QStringLiteral("\u009D"), QStringLiteral("\u0085"), QStringLiteral("Т"), QStringLiteral("日本"),
    QStringLiteral("\U0001F319"), QStringLiteral("\uFFFD"), QStringLiteral("\uFEFF"), QStringLiteral("\u2028"),
    QStringLiteral("Ã©"), QStringLiteral("Ã‰"), QStringLiteral("â‚¬"), QStringLiteral("Ð¢"), QStringLiteral("ðŸŒ™"),
    QStringLiteral("Ã"), QStringLiteral("Â"), QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("\n"),
    QString(QChar(0)), QStringLiteral("\u0001"), QStringLiteral("\u001F"), QStringLiteral("\u007F"),
};

QString nomGenere(std::mt19937 &g, int longueurMax = 6)
{
    QString nom;
    const int n = int(g() % unsigned(longueurMax + 1));
    for (int i = 0; i < n; ++i)
        nom += kMorceaux[g() % std::size(kMorceaux)];
    switch (g() % 8) {
    case 0: return QLatin1Char('"') + nom + QLatin1Char('"');
    case 1: return QLatin1Char(' ') + nom;
    case 2: return nom + QLatin1Char('\t');
    default: return nom;
    }
}

} // namespace

// The names of the report: a theme name with a character Windows-1252 lacks
// and UTF-8 read as Windows-1252, beside an internal name in Windows-1252.
// The "é" of the internal name makes the file Windows-1252 as a whole; the
// theme name's line alone would read as UTF-8 ("Café ?").
TEST(NomsExacts, AMojibakeNameBesideAWindows1252NameComesBackExact)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("CafÃ© Т"));
    doc.setNomInterne(QStringLiteral("Café"));
    const Noms n = apresRedemarrage(doc);
    EXPECT_EQ(n.theme, doc.nomTheme()) << visible(n.theme);
    EXPECT_EQ(n.interne, doc.nomInterne()) << visible(n.interne);
    // Other programs read the Windows-1252 lines as they always did.
    const QByteArray octets = testenv::readFile(fichierTravail());
    EXPECT_TRUE(octets.contains("\r\nNomFic = Caf\xC3\xA9 ?\r\nNomInterne = Caf\xE9\r\n")) << octets.toStdString();
    EXPECT_EQ(IniFile::detectEncoding(octets), IniFile::Encoding::Windows1252);

    // Alone, the mojibake name makes the whole file valid UTF-8: the line
    // reads "Café" there, so the exact name is kept beside it.
    doc.setNomTheme(QStringLiteral("CafÃ©"));
    doc.setNomInterne(QString());
    const Noms seul = apresRedemarrage(doc);
    EXPECT_EQ(seul.theme, doc.nomTheme()) << visible(seul.theme);
    EXPECT_EQ(seul.interne, QString());
    const QByteArray utf8 = testenv::readFile(fichierTravail());
    EXPECT_EQ(IniFile::detectEncoding(utf8), IniFile::Encoding::Utf8);
    EXPECT_TRUE(utf8.contains("\r\nNomFicExact = Caf%C3%83%C2%A9\r\n")) << utf8.toStdString();
}

// The input that broke the colour-set fuzz target's property: a name line
// holding bytes that are valid UTF-8 alone (DF 94), in a file that other
// bytes (C9 74) make Windows-1252 as a whole.
TEST(NomsExacts, TheFuzzInputKeepsItsNamesAcrossTheNextStart)
{
    const QByteArray entree = QByteArray::fromHex(
        "5b436f7573656c7572d4d4d4d4d4d4d4d4d4d4575757575757570a5b4e6f6d5468656d655d2020203b200d0a4e6f6d4669633d2c46"
        "6e6e7375df9444600030290d0a0d0a636f756c3338203d20442c2031290d0a203d2032452c39372c4533626c65750d0a4e6f6d496e"
        "7465726e65203d20c974e920626c65750d0a");
    testenv::writeFile(fichierTravail(), entree);
    ThemeDocument doc;
    ASSERT_TRUE(ChargeCouleurs(doc, fichierTravail(), true).ok);
    // Read as the Windows-1252 file it is, the NUL standing in the name.
    EXPECT_EQ(doc.nomTheme(), QStringLiteral(",Fnnsuß”D`") + QChar(0) + QStringLiteral("0)"));
    EXPECT_EQ(doc.nomInterne(), QStringLiteral("Été bleu"));
    const Noms n = apresRedemarrage(doc);
    EXPECT_EQ(n.theme, doc.nomTheme()) << visible(n.theme);
    EXPECT_EQ(n.interne, doc.nomInterne()) << visible(n.interne);
}

// Names typed in the name boxes: generated mixes of everything above, two at
// a time so that one name decides the decoding of the file the other is read
// from.
TEST(NomsExacts, GeneratedNamesComeBackExactAfterARestart)
{
    std::mt19937 g(29);
    int utf8 = 0, windows1252 = 0, exacts = 0;
    for (int i = 0; i < 1000; ++i) {
        ThemeDocument doc;
        doc.setNomTheme(nomGenere(g));
        doc.setNomInterne(i % 7 == 0 ? QString() : nomGenere(g));
        const Noms n = apresRedemarrage(doc, i % 25 == 0);
        EXPECT_EQ(n.theme, doc.nomTheme()) << i << ' ' << visible(doc.nomTheme()) << " came back as " << visible(n.theme);
        EXPECT_EQ(n.interne, doc.nomInterne())
            << i << ' ' << visible(doc.nomInterne()) << " came back as " << visible(n.interne);
        const QByteArray octets = TexteThemeTravail(doc).value_or(QByteArray());
        (IniFile::detectEncoding(octets) == IniFile::Encoding::Utf8 ? utf8 : windows1252)++;
        exacts += octets.contains("Exact = ");
        if (::testing::Test::HasFailure())
            break;
    }
    // The generator reached both decodings and names the lines cannot hold.
    EXPECT_GT(utf8, 40);
    EXPECT_GT(windows1252, 40);
    EXPECT_GT(exacts, 150);
}

// Names read from a colour file another program wrote: generated bytes on the
// name lines, the file valid UTF-8 or not. What the start read comes back
// exact at the start after.
TEST(NomsExacts, NamesReadFromAnyColourFileComeBackExact)
{
    const QByteArray morceaux[] = {"a", " ", "\"", "=", ";", "%", "[", "\xE9", "\xC9t", "\xC3\xA9", "\xD0\xA2",
                                   "\xF0\x9F\x8C\x99", "\xDF\x94", "\xC3", "\x81", "\x85", "\xA0", "\x80", "\xEF\xBB\xBF",
                                   QByteArray(1, '\0'), "\x01", "\t", "\xED\xA0\x80", "\xC0\xAF"};
    std::mt19937 g(1252);
    const auto genere = [&] {
        QByteArray b;
        for (unsigned k = g() % 6; k > 0; --k)
            b += morceaux[g() % std::size(morceaux)];
        return b;
    };
    for (int i = 0; i < 600; ++i) {
        QByteArray fichier = "[CouleursTSK]   ; x\r\ncoul05 = 01,02,03,00\r\n[NomTheme]   ; \r\nNomFic = " + genere()
                             + "\r\nNomInterne = " + genere() + "\r\n";
        if (i % 3 == 0)
            fichier += "[EtatTheme]   ; \r\nNomInterneSaisi = " + genere() + "\r\n";
        ThemeDocument doc;
        if (i % 25 == 0) {
            testenv::writeFile(fichierTravail(), fichier);
            ASSERT_TRUE(ChargeCouleurs(doc, fichierTravail(), true).ok);
        } else {
            const auto lu = LitJeuCouleurs(fichier, doc, true);
            ASSERT_TRUE(lu);
            doc.setNomTheme(lu->nomTheme);
            doc.setNomInterne(lu->nomInterne);
        }
        const Noms n = apresRedemarrage(doc, i % 25 == 0);
        EXPECT_EQ(n.theme, doc.nomTheme()) << i << ' ' << fichier.toHex().toStdString();
        EXPECT_EQ(n.interne, doc.nomInterne()) << i << ' ' << fichier.toHex().toStdString();
        if (::testing::Test::HasFailure())
            break;
    }
}

// What stored files rely on. A colour file other programs wrote in
// Windows-1252 reads as Windows-1252; one that is valid UTF-8 as UTF-8 (our
// earlier versions wrote the file after a package read in UTF-8 when a name
// needed it); the exact names our previous version wrote for the names of the
// report (judged line by line) are taken.
TEST(NomsExacts, StoredFilesReadAsBefore)
{
    const auto noms = [](const QByteArray &octets) {
        testenv::writeFile(fichierTravail(), octets);
        ThemeDocument doc;
        EXPECT_TRUE(ChargeCouleurs(doc, fichierTravail(), true).ok);
        return Noms{doc.nomTheme(), doc.nomInterne()};
    };
    const QByteArray tete = "[CouleursTSK]   ; x\r\ncoul05 = 01,02,03,00\r\n[NomTheme]   ; \r\n";
    Noms n = noms(tete + "NomFic = Th\xE8me \x80\r\nNomInterne = Caf\xC3\xA9\r\n");
    EXPECT_EQ(n.theme, QStringLiteral("Thème €"));
    EXPECT_EQ(n.interne, QStringLiteral("CafÃ©"));
    n = noms(tete + "NomFic = \xD0\xA2\xD0\xB5\xD0\xBC\xD0\xB0\r\nNomInterne = Caf\xC3\xA9\r\n");
    EXPECT_EQ(n.theme, QStringLiteral("Тема"));
    EXPECT_EQ(n.interne, QStringLiteral("Café"));
    n = noms(tete + "NomFic = Caf\xC3\xA9 ?\r\nNomInterne = Caf\xE9\r\n[EtatTheme]   ; \r\nNomInterneSaisi = Caf\xE9\r\n"
                    "NomFicExact = Caf%C3%83%C2%A9%20%D0%A2\r\n");
    EXPECT_EQ(n.theme, QStringLiteral("CafÃ© Т"));
    EXPECT_EQ(n.interne, QStringLiteral("Café"));
    // An exact name whose line another program changed is not taken.
    n = noms(tete + "NomFic = Caf\xC3\xA9\r\nNomInterne = Caf\xE9\r\n[EtatTheme]   ; \r\n"
                    "NomFicExact = Caf%C3%83%C2%A9%20%D0%A2\r\n");
    EXPECT_EQ(n.theme, QStringLiteral("CafÃ©"));
}

// Names from a package: the theme name from the package's file name, the
// internal name from its setup XML (character references can carry any
// character XML allows), the names of the report first. The file the read
// writes, and the one the close writes after it, give them back exact.
TEST(NomsExacts, NamesReadFromAPackageComeBackExact)
{
    ScriptedPrompts prompts;
    DossierCabinet cabinet;
    AnimationPause pause;
    const ContexteLecture ctx{testenv::programDir(), fichierTravail(), testenv::tempDir() + "/ThemeTmp", prompts,
                              cabinet, &pause, {}};
    const auto referencesXml = [](const QString &texte) {
        QString r;
        for (char32_t c : texte.toUcs4())
            r += QStringLiteral("&#x%1;").arg(quint32(c), 0, 16);
        return r;
    };
    std::mt19937 g(1109);
    int lus = 0;
    for (int i = 0; i < 25; ++i) {
        // A file name holds no "/" nor NUL; XML holds no other control than
        // TAB, CR and LF.
        QString nomFichier = i == 0 ? QStringLiteral("CafÃ© Т") : nomGenere(g, 4);
        nomFichier.remove(QLatin1Char('/')).remove(QChar(0));
        QString interne = i == 0 ? QStringLiteral("Café") : nomGenere(g, 4);
        for (QChar &c : interne)
            if ((c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c.unicode() == 0xFFFE)
                c = QLatin1Char('x');
        const QByteArray xml =
            ("<wap-provisioningdoc><characteristic type=\"Install\"><parm name=\"AppName\" value=\"" + referencesXml(interne)
             + "\"/></characteristic><characteristic type=\"FileOperation\"><characteristic type=\"%CE2%\" "
               "translation=\"install\"><characteristic type=\"tdywater.gif\" translation=\"install\"><characteristic "
               "type=\"Extract\"><parm name=\"Source\" value=\"t.001\"/></characteristic></characteristic>"
               "<characteristic type=\"stwater.gif\" translation=\"install\"><characteristic type=\"Extract\">"
               "<parm name=\"Source\" value=\"s.002\"/></characteristic></characteristic>"
               "</characteristic></characteristic><characteristic type=\"Registry\"><characteristic "
               "type=\"HKLM\\Software\\Microsoft\\Color\"><parm name=\"5\" value=\"197121\" datatype=\"integer\"/>"
               "</characteristic></characteristic></wap-provisioningdoc>")
                .toUtf8();
        const QString paquet = testenv::tempDir() + QStringLiteral("/paquets/%1/").arg(i) + nomFichier + ".tsk";
        DossierCabinet::ecrire(paquet, {{"_setup.xml", xml}, {"t.001", "GIF89a today"}, {"s.002", "GIF89a start"}});
        ThemeDocument doc;
        const ResultatLecture r = LitTsk(paquet, doc, ctx);
        ASSERT_TRUE(r) << i << ' ' << (r.echec() ? int(r.echec()->erreur) : -1) << ' '
                       << TextesLecture(r).join('|').toStdString();
        ++lus;
        EXPECT_EQ(doc.nomTheme(), QFileInfo(paquet).completeBaseName());

        // A start right after the read (the program was killed)...
        ThemeDocument relu;
        ASSERT_TRUE(ChargeCouleurs(relu, fichierTravail(), true).ok);
        EXPECT_EQ(relu.nomTheme(), doc.nomTheme()) << i << ' ' << visible(doc.nomTheme()) << " came back as "
                                                   << visible(relu.nomTheme());
        EXPECT_EQ(relu.nomInterne(), doc.nomInterne()) << i << ' ' << visible(doc.nomInterne()) << " came back as "
                                                       << visible(relu.nomInterne());
        // ...and after the close.
        const Noms n = apresRedemarrage(doc);
        EXPECT_EQ(n.theme, doc.nomTheme()) << i << ' ' << visible(doc.nomTheme());
        EXPECT_EQ(n.interne, doc.nomInterne()) << i << ' ' << visible(doc.nomInterne());
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(lus, 25);
}
