// Packages written by the create command and opened again by the read
// command, through the real cabinet component: what went in comes out.
#include "theme/package_reader.h"
#include "theme/package_writer.h"

#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/cabinet_paquet.h"
#include "theme/images_package.h"
#include "theme/inf_builder.h"
#include "theme/inf_rebuilder.h"
#include "theme/member_name.h"
#include "theme/nom_interne_theme.h"
#include "theme/setup_ce_writer.h"
#include "theme/setup_xml_reader.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"
#include "theme/valeurs_cles_theme.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString NomTheme = QStringLiteral("Th\u00e8me \u00e9t\u00e9 Fran\u00e7ais");
const QString NomAppli = QStringLiteral("A\u00e9rogare \u00dc\u00f1");

// The theme's own values as the document holds them, and what a read gives
// back: the listed names only, each with the type its record carries. The
// setup file keeps colours binary (a DWORD under a colour key name goes out
// as the binary value of the same bytes); the setup XML carries every value
// as an integer, read back as a DWORD.
const QStringList ClesEcrites{
    "Color_Highlight\tC0FFEE00\t\t1",
    "Unlisted\t00000001\t\t65537",                      // not a theme key: never written
    "UseDefaultTitleColor\t00000001\t\t65537",
    "Color_CommandBarText_Highlight\t00A1B2C3\t\t65537", // a DWORD under a colour key name
    "Color34\t0102FE00\t\t1",
};
const QStringList ClesLuesSetupCE{
    "Color_Highlight\tC0FFEE00\t\t1",
    "UseDefaultTitleColor\t00000001\t\t65537",
    "Color_CommandBarText_Highlight\tC3B2A100\t\t1",
    "Color34\t0102FE00\t\t1",
};
const QStringList ClesLuesXml{
    "Color_Highlight\t00EEFFC0\t\t65537",
    "UseDefaultTitleColor\t00000001\t\t65537",
    "Color_CommandBarText_Highlight\t00A1B2C3\t\t65537",
    "Color34\t00FE0201\t\t65537",
};

// A theme with distinctive values: every colour has red != blue, a slot left
// out carries a colour that must not come back, BaseHue alternates between a
// coloured HueK (> 255) and a negative value, DPI is present for some cases
// only (so the theme key is sometimes the second hive of the setup file).
void themeDistinctif(ThemeDocument &doc, int format, bool startSeul, int cas)
{
    doc.setNomTheme(NomTheme);
    doc.setNomInterne(NomAppli);
    doc.setFormatTheme(format);
    for (int i : {0, 3, 13, 21}) {
        doc.setInclus(i, true);
        doc.setCouleur(i, TColor::fromRgb(0x10 + i, 0x40 + cas, 0xA0 + i));
    }
    doc.setCouleur(5, TColor::fromRgb(0x01, 0x02, 0x03)); // not included
    ParametresWM5 p;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(0xC1, 0x22, 0x07);
    p.BaseHueDefini = true;
    p.ValBaseHue = cas % 2 ? -3 : 456;
    p.DPIDefini = cas % 3 != 0;
    p.ValDPI = p.DPIDefini ? 131 : 0;
    p.UseStartImageDefini = startSeul;
    p.ValUseStartImage = startSeul ? 1 : 0;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme(ClesEcrites);
}

QByteArray octetsImage(const QString &nom)
{
    QByteArray b = "GIF89a" + nom.toLatin1();
    for (int i = 0; i < 256; ++i)
        b.append(char(i ^ nom.size()));
    return b;
}

struct Cas
{
    int format;
    bool startSeul;
    OptionSetupPackage option;
};

QList<Cas> tousLesCas()
{
    QList<Cas> cas;
    for (int format = 0; format < FormatImages::NbFormats; ++format)
        for (bool startSeul : {false, true})
            for (OptionSetupPackage o : {OptionSetupPackage::Inf, OptionSetupPackage::Xml, OptionSetupPackage::InfXml})
                cas.push_back({format, startSeul, o});
    return cas;
}

int groupeAttendu(int format, bool startSeul)
{
    const int base = format == 4 ? 2 : format == 5 ? 4 : 0;
    return base + (startSeul ? 1 : 0);
}

} // namespace

// Every picture set, format and package option: the package built by the
// create command's builder, read back into a fresh document and program
// folder, gives back the theme.
TEST(PackageRoundTrip, EverySetFormatAndOptionReadsBackTheTheme)
{
    int n = 0;
    for (const Cas &c : tousLesCas()) {
        ++n;
        SCOPED_TRACE(QStringLiteral("format %1 start only %2 option %3")
                         .arg(c.format).arg(c.startSeul).arg(int(c.option)).toStdString());
        ScriptedPrompts prompts;
        AnimationPause pause;

        ThemeDocument ecrit;
        themeDistinctif(ecrit, c.format, c.startSeul, n);
        ContextePackage w;
        w.prompts = &prompts;
        w.pause = &pause;
        w.dossierAppli = testenv::programDir() + QStringLiteral("/ecrit%1").arg(n);
        w.dossierTravail = testenv::tempDir() + QStringLiteral("/ThemeTmp%1").arg(n);
        w.option = c.option;
        const std::vector<ImagePackage> images = ImagesPackage(c.format, c.startSeul);
        for (const ImagePackage &im : images)
            testenv::writeFile(w.dossierAppli + "/" + im.nomImage, octetsImage(im.nomImage));
        ASSERT_TRUE(GenereTsk(ecrit, w, ecrit.nomTheme(), ecrit.nomInterneEffectif()))
            << prompts.messages.join("|").toStdString();
        const QString paquet = w.dossierTravail + "/" + NomTheme + ".tsk";
        ASSERT_TRUE(QFileInfo(paquet).isFile());

        // A fresh document whose format must follow the pictures.
        ThemeDocument lu;
        const int formatAvant = FormatImages::deuxOrientations(c.format) ? 0 : QList<int>{4, 5, 8}.at(n % 3);
        lu.setFormatTheme(formatAvant);
        CabinetPaquet cabinet;
        const QString dossierLu = testenv::programDir() + QStringLiteral("/lu%1").arg(n);
        ContexteLecture r{dossierLu, dossierLu + "/orvandelCoul.inf",
                          testenv::tempDir() + QStringLiteral("/lecture%1").arg(n), prompts, cabinet, &pause, {}};
        const auto infos = LitTsk(paquet, lu, r);
        ASSERT_TRUE(infos) << prompts.messages.join("|").toStdString();
        EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join("|").toStdString();
        EXPECT_FALSE(pause.isPaused());
        EXPECT_FALSE(QFileInfo::exists(r.dossierTravail + "/tempTsk"));
        EXPECT_TRUE(infos->infOuXml);

        // Names: the theme from the file name, the internal name from the setup document.
        EXPECT_EQ(lu.nomTheme(), NomTheme);
        EXPECT_EQ(lu.nomInterne(), NomAppli);

        // Colours: the included slots with their colours, the others left out.
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(lu.slot(i).inclus, ecrit.slot(i).inclus);
            EXPECT_EQ(lu.slot(i).couleur, ecrit.slot(i).inclus ? ecrit.slot(i).couleur : JeuCouleurs::couleurDefaut(i));
        }

        // WM5 values. The setup XML carries no BaseHue: a "+ Xml" package loses it.
        ParametresWM5 attendus = ecrit.parametres();
        if (c.option == OptionSetupPackage::Xml) {
            attendus.BaseHueDefini = false;
            attendus.ValBaseHue = 0;
        }
        EXPECT_EQ(lu.parametres(), attendus);
        EXPECT_EQ(lu.parametres().ValBaseHue, attendus.ValBaseHue);
        EXPECT_EQ(lu.parametres().Coul34, attendus.Coul34);
        EXPECT_EQ(lu.clesTheme(), c.option == OptionSetupPackage::Xml ? ClesLuesXml : ClesLuesSetupCE);
        // Whatever the type, the device gets the same four bytes for each value.
        const auto valeurs = [](const std::vector<ValeurCleTheme> &v) {
            QList<QPair<QString, uint32_t>> l;
            for (const ValeurCleTheme &x : v)
                l << qMakePair(x.nom, x.valeur);
            return l;
        };
        EXPECT_EQ(valeurs(ValeursClesTheme(lu.clesTheme())), valeurs(ValeursClesTheme(ecrit.clesTheme())));

        // Picture set and format.
        const int groupe = groupeAttendu(c.format, c.startSeul);
        EXPECT_EQ(lu.groupeFormat(), groupe);
        const int formatApres = FormatImages::deuxOrientations(c.format) ? c.format
                                : formatAvant == 4                      ? 2
                                : formatAvant == 5                      ? 3
                                                                        : formatAvant;
        EXPECT_EQ(lu.format().FormatTheme, formatApres);

        // Working pictures, byte for byte: each picture under its own name,
        // the single-size names from the portraits, no Today picture left
        // from a Start-only package.
        const QDir dl(dossierLu);
        for (const ImagePackage &im : images)
            EXPECT_EQ(testenv::readFile(dl.filePath(im.nomImage)), octetsImage(im.nomImage)) << im.nomImage.toStdString();
        if (FormatImages::deuxOrientations(c.format)) {
            const QString p = c.format == 4 ? "_240_320" : "_480_640";
            EXPECT_EQ(testenv::readFile(dl.filePath("stwater.gif")), octetsImage("stwater" + p + ".gif"));
            if (c.startSeul) {
                EXPECT_FALSE(dl.exists("tdywater.gif"));
                EXPECT_FALSE(dl.exists("tdywater" + p + ".gif"));
            } else {
                EXPECT_EQ(testenv::readFile(dl.filePath("tdywater.gif")), octetsImage("tdywater" + p + ".gif"));
            }
        } else if (c.startSeul) {
            EXPECT_FALSE(dl.exists("tdywater.gif"));
        }
        EXPECT_TRUE(dl.exists("orvandelCoul.inf"));

        // What the INF window shows: the road taken.
        if (c.option == OptionSetupPackage::Xml) {
            EXPECT_TRUE(infos->statut1.isEmpty());
            EXPECT_TRUE(infos->texteFic.contains("XML :"));
        } else {
            EXPECT_EQ(infos->statut1, cleNomMembre(NomInterneTheme(NomTheme) + "~1.000"));
            EXPECT_FALSE(infos->texteFic.contains("XML :"));
        }
    }
}

namespace {

// The INF text that ReconstruireInf gives for our own setup file, derived
// from the INF text GenereInf builds for the same theme. Both are the CAB
// wizard's dialect; each difference below is what the two sides are built to
// write, and none changes what a device would install, except the last:
//  1. [CEStrings]: the builder writes AppName ="x", the rebuild Appname = "x".
//  2. Install names: the builder quotes every one, the rebuild only those
//     that are not 8.3 names ("tdywater.gif" stays bare).
//  3. File order: the builder lists Today before Start; the setup file, and
//     so the rebuild, lists the Start pair first in formats 4 and 5.
//  4. [Strings]: the rebuild numbers the setup file's hives by position
//     (the colour key is always written, the Today key only with DPI or
//     UseStartImage), so the theme key is reg_path01 when the Today key is
//     missing; the builder names its keys 00, 01, 02 by condition.
//  5. [ClesRegistre]: the builder pads slot numbers to two columns and adds
//     comments (slot names, "; WM5"); the rebuild has neither.
//  6. With no registry value the rebuild has no AddReg line and no
//     [ClesRegistre] section.
//  7. The theme's colour keys: the builder writes every theme value as a
//     DWORD, the setup file and the rebuild keep the colours binary
//     (RR,GG,BB,00). Same four bytes on the device, another value type.
QStringList commeReconstruit(QStringList l, const ThemeDocument &doc)
{
    const ParametresWM5 &p = doc.parametres();
    const std::vector<ValeurCleTheme> theme = p.ClesThemeDefinies ? ValeursClesTheme(doc.clesTheme())
                                                                  : std::vector<ValeurCleTheme>{};
    const bool valeurs = doc.nombreInclus() > 0 || p.Coul34Definie || p.BaseHueDefini || p.DPIDefini
                         || p.UseStartImageDefini || !theme.empty();
    // 1
    for (QString &ligne : l)
        if (ligne.startsWith("AppName =\""))
            ligne = "Appname = \"" + ligne.mid(10);
    // 2 and 3
    const QRegularExpression nom8_3(R"(^"([^". ]{1,8}\.[^". ]{1,3})\")");
    for (const QString section : {"[SourceDisksFiles]", "[CopierVersDir00]  ; (%CE2% : \\Windows)"}) {
        const qsizetype debut = l.indexOf(section) + 1;
        qsizetype fin = debut;
        while (!l[fin].isEmpty())
            ++fin;
        QStringList noms = l.mid(debut, fin - debut), today, start;
        for (QString &n : noms) {
            n.replace(nom8_3, "\\1");
            (n.contains("tdywater") ? today : start) << n;
        }
        if (FormatImages::deuxOrientations(doc.format().FormatTheme))
            noms = start + today;
        for (qsizetype k = 0; k < noms.size(); ++k)
            l[debut + k] = noms[k];
    }
    // 6
    if (!valeurs)
        l.removeAll("AddReg = ClesRegistre");
    // 4
    QStringList chemins{"reg_path00 = Software\\Microsoft\\Color"};
    if (p.DPIDefini || p.UseStartImageDefini)
        chemins << "reg_path01 = Software\\Microsoft\\Today";
    const QString cleTheme = "reg_path" + QString::number(chemins.size()).rightJustified(2, '0');
    if (p.ClesThemeDefinies)
        chemins << cleTheme + " = Software\\Microsoft\\Today\\" + NomTheme + ".tsk";
    const qsizetype strings = l.indexOf("[Strings]") + 1;
    while (l[strings].startsWith("reg_path"))
        l.removeAt(strings);
    for (qsizetype k = 0; k < chemins.size(); ++k)
        l.insert(strings + k, chemins[k]);
    // 5 and 7
    const QRegularExpression commentaire(R"( +;.*$)"), slot(R"(^(HKLM,%reg_path00%,) (\d,))");
    for (QString &ligne : l) {
        if (!ligne.startsWith("HK"))
            continue;
        ligne.remove(commentaire);
        ligne.replace(slot, "\\1\\2");
        if (!ligne.startsWith("HKCU,%reg_path02%,"))
            continue;
        ligne.replace("%reg_path02%", "%" + cleTheme + "%");
        for (const ValeurCleTheme &v : theme) {
            if (v.flagsCE != ValeurCleTheme::FlagsBinaire
                || ligne != "HKCU,%" + cleTheme + "%," + v.nom + ",0x00010001," + QString::number(int32_t(v.valeur)))
                continue;
            QStringList octets;
            for (int k = 0; k < 4; ++k)
                octets << QStringLiteral("%1").arg((v.valeur >> (8 * k)) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
            ligne = "HKCU,%" + cleTheme + "%," + v.nom + ",0x00000001," + octets.join(',');
        }
    }
    // The empty line and the rebuild's [ClesRegistre] stand only with values.
    if (!valeurs) {
        EXPECT_EQ(l.takeLast(), "[ClesRegistre]");
        EXPECT_EQ(l.takeLast(), "");
    }
    return l;
}

void expectLignes(const QStringList &reel, const QStringList &attendu)
{
    for (qsizetype i = 0; i < std::min(reel.size(), attendu.size()); ++i)
        EXPECT_EQ(reel[i].toStdString(), attendu[i].toStdString()) << "line " << i + 1;
    EXPECT_EQ(reel.size(), attendu.size());
}

} // namespace

// The INF rebuilt from the setup file we write agrees with the INF the
// builder makes for the same theme, up to the listed differences: for every
// picture set and format, for a full theme, an empty one and one whose only
// value is BaseHue, with an internal name that INF strings must escape.
TEST(PackageRoundTrip, RebuiltInfMatchesTheBuiltInf)
{
    for (int format = 0; format < FormatImages::NbFormats; ++format) {
        for (bool startSeul : {false, true}) {
            for (int variante = 0; variante < 4; ++variante) {
                SCOPED_TRACE(QStringLiteral("format %1 start only %2 variant %3")
                                 .arg(format).arg(startSeul).arg(variante).toStdString());
                ThemeDocument doc;
                QString appli = NomAppli;
                if (variante == 0) {
                    themeDistinctif(doc, format, startSeul, format);
                } else {
                    doc.setFormatTheme(format);
                    ParametresWM5 p;
                    p.UseStartImageDefini = startSeul;
                    p.ValUseStartImage = startSeul ? 1 : 0;
                    p.BaseHueDefini = variante == 2;
                    p.ValBaseHue = p.BaseHueDefini ? 0x1C8 : 0;
                    doc.setParametres(p);
                    if (variante == 3) {
                        appli = QStringLiteral("Say \"100%\" \u00e9");
                        doc.setInclus(1, true);
                        doc.setCouleur(1, TColor::fromRgb(0xE0, 0x10, 0x0F));
                    }
                }
                QStringList construit;
                GenereInf(&construit, doc, NomTheme, appli);
                LectureSetup lecture;
                for (const ImagePackage &im : ImagesPackage(format, startSeul))
                    lecture.ListeFichiersCab << cleNomMembre(im.nomMembre);
                const auto setup = ConstruitFichier000(doc, appli, NomTheme);
                ASSERT_TRUE(setup);
                const auto r = ReconstruireInf(*setup, lecture, {});
                ASSERT_TRUE(r);
                expectLignes(r->lecture.TexteInfOrig, commeReconstruit(construit, doc));
                // And the values the rebuild reads are the theme's.
                EXPECT_EQ(r->parametres, doc.parametres());
                EXPECT_EQ(r->lecture.NomInterneLu, appli);
            }
        }
    }
}

// The XML road alone: names that XML reserves and characters outside ASCII
// travel as entity and character references (&amp; &#233;) and come back as
// they were; the Install counts agree with what the document holds.
TEST(PackageRoundTrip, XmlRoadCarriesReservedAndAccentedNames)
{
    const QString theme = QStringLiteral("Black & White \u00e9t\u00e9");
    const QString appli = QStringLiteral("A & B <x> \"q\" \u00e9\u00ff");
    for (OptionSetupPackage option : {OptionSetupPackage::Xml, OptionSetupPackage::Inf}) {
        SCOPED_TRACE(int(option));
        ScriptedPrompts prompts;
        ThemeDocument ecrit;
        themeDistinctif(ecrit, 5, false, 2);
        ecrit.setNomTheme(theme);
        ecrit.setNomInterne(appli);
        ContextePackage w;
        w.prompts = &prompts;
        w.dossierAppli = testenv::programDir() + QStringLiteral("/ecrit%1").arg(int(option));
        w.dossierTravail = testenv::tempDir() + QStringLiteral("/ThemeTmp%1").arg(int(option));
        w.option = option;
        for (const ImagePackage &im : ImagesPackage(5, false))
            testenv::writeFile(w.dossierAppli + "/" + im.nomImage, octetsImage(im.nomImage));
        ASSERT_TRUE(GenereTsk(ecrit, w, theme, appli)) << prompts.messages.join("|").toStdString();

        // The document as written, read on its own.
        QStringList xml;
        GenereSetupXml(&xml, ecrit, theme, appli);
        const QByteArray octets = xml.join("\r\n").toLatin1();
        EXPECT_TRUE(octets.contains("value=\"A &amp; B &lt;x&gt; &quot;q&quot; &#233;&#255;\""));
        EXPECT_TRUE(octets.contains("Today\\Black &amp; White &#233;t&#233;.tsk\""));
        const auto lu = LireXmlSetup(octets);
        ASSERT_TRUE(lu);
        EXPECT_EQ(lu->NomInterneLu, appli);
        EXPECT_EQ(lu->NomSousCleTheme, theme + ".tsk");
        EXPECT_EQ(lu->NumFiles, 4);
        EXPECT_EQ(lu->NumRegKeys, 3);
        EXPECT_EQ(lu->NumRegVals, lu->ValeursCouleurs.size() + lu->ValeursToday.size() + lu->ClesTheme.size());
        EXPECT_EQ(lu->groupeFormat, 4);

        CabinetPaquet cabinet;
        ThemeDocument doc;
        const QString dossierLu = testenv::programDir() + QStringLiteral("/lu%1").arg(int(option));
        ContexteLecture r{dossierLu, dossierLu + "/orvandelCoul.inf",
                          testenv::tempDir() + QStringLiteral("/lecture%1").arg(int(option)), prompts, cabinet,
                          nullptr, {}};
        const auto infos = LitTsk(w.dossierTravail + "/" + theme + ".tsk", doc, r);
        ASSERT_TRUE(infos) << prompts.messages.join("|").toStdString();
        EXPECT_EQ(doc.nomTheme(), theme);
        EXPECT_EQ(doc.nomInterne(), appli);
        EXPECT_EQ(doc.clesTheme(), option == OptionSetupPackage::Xml ? ClesLuesXml : ClesLuesSetupCE);
        EXPECT_EQ(doc.groupeFormat(), 4);
        EXPECT_EQ(doc.format().FormatTheme, 5);
        EXPECT_EQ(doc.parametres().Coul34, ecrit.parametres().Coul34);
        EXPECT_EQ(doc.parametres().BaseHueDefini, option != OptionSetupPackage::Xml);
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
            EXPECT_EQ(doc.slot(i).inclus, ecrit.slot(i).inclus) << i;
        EXPECT_EQ(testenv::readFile(dossierLu + "/stwater_640_480.gif"), octetsImage("stwater_640_480.gif"));
        // The working colour file names the theme and the internal name.
        const QString couleurs = QString::fromLatin1(testenv::readFile(dossierLu + "/orvandelCoul.inf"));
        EXPECT_TRUE(couleurs.contains("NomInterne = " + appli)) << couleurs.toStdString();
    }
}
