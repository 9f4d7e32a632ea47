// Device registry operations against the simulated device: the values as
// stored in its registry file, the colour report, saving and restoring the
// colours, theme keys and roles, hostile values, and no device at all.

#include "device/etat_pda.h"
#include "device/fonctions_rapi_registre.h"
#include "tests/support/devsim_support.h"

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

using namespace devsimtest;

namespace {

const char16_t *const kToday = u"Software\\Microsoft\\Today";
const char16_t *const kCouleurs = u"SOFTWARE\\Microsoft\\Color";

class RegistreCE : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = nouvelAppareil(c);
        ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 9)), 0);
        ASSERT_TRUE(lien.ConnecteCE(5000));
    }
    void TearDown() override
    {
        EXPECT_EQ(c.OvdSimOpenHandleCount(), 0); // every key opened was closed
        if (c.OvdSimSessionCount() > 0)
            lien.DeconnecteCE();
    }

    // The registry file as the device keeps it: per key, its value lines.
    QMap<QString, QStringList> registre()
    {
        EXPECT_EQ(c.OvdSimFlush(), 0);
        const QString texte = QString::fromUtf8(testenv::readFile(QString::fromLocal8Bit(dir) + "/registry.reg"));
        QMap<QString, QStringList> cles;
        QString cle;
        for (const QString &l : texte.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (l.startsWith(QLatin1Char('[')))
                cles[cle = l] = {};
            else if (!l.startsWith(QLatin1Char(';')))
                cles[cle] << l;
        }
        return cles;
    }
    // The value lines of one key, in any order.
    QStringList valeurs(const QString &cle)
    {
        QStringList l = registre().value(QLatin1Char('[') + cle + QLatin1Char(']'));
        l.sort();
        return l;
    }
    QMap<QString, QStringList> registreTrie()
    {
        auto r = registre();
        for (auto &l : r)
            l.sort();
        return r;
    }

    // Test set-up of device values, straight through the wrappers.
    void fixe(CEHKEY racine, const char16_t *cle, const char16_t *nom, DWORD type, const QByteArray &octets)
    {
        CEHKEY k = 0;
        ASSERT_EQ(lien.CeRegOpenKeyEx(racine, cle, 0, 0, &k), 0);
        EXPECT_EQ(lien.CeRegSetValueEx(k, nom, 0, type, reinterpret_cast<const BYTE *>(octets.constData()),
                                       DWORD(octets.size())),
                  0);
        EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    }
    void supprime(CEHKEY racine, const char16_t *cle, const char16_t *nom)
    {
        CEHKEY k = 0;
        ASSERT_EQ(lien.CeRegOpenKeyEx(racine, cle, 0, 0, &k), 0);
        EXPECT_EQ(lien.CeRegDeleteValue(k, nom), 0);
        EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    }

    Controle c;
    QByteArray dir;
    LienRapi lien{cheminSimulateur()};
};

QByteArray dword(uint32_t v)
{
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(b, 4);
}

const QString kCleCouleurs = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color");
const QString kCleToday = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Today");

} // namespace

TEST_F(RegistreCE, LecturesDesValeursDuPeripherique)
{
    const auto avant = registre();
    EXPECT_EQ(LitSkinToday(lien), QStringLiteral("\\Windows\\Blue.tsk"));
    int v = 7;
    EXPECT_TRUE(LitUseStartImage(lien, v));
    EXPECT_EQ(v, 0);
    int angle = 5;
    EXPECT_TRUE(LitRotationCE(lien, angle));
    EXPECT_EQ(angle, 0);

    TableSHColor sh;
    ASSERT_TRUE(LitSHColor(lien, sh, true));
    EXPECT_EQ(sh[5], 0x00E3972Eu); // bytes 2E, 97, E3, 00: red in the low byte
    TableSHColor defSh;
    ASSERT_TRUE(LitSHColor(lien, defSh, false));
    EXPECT_EQ(defSh[5], 0x00993300u);
    EXPECT_EQ(defSh[6], sh[6]);
    TableSysColor sys, defSys;
    ASSERT_TRUE(LitSysColor(lien, sys, true));
    ASSERT_TRUE(LitSysColor(lien, defSys, false));
    EXPECT_EQ(sys[13], 0x00E3972Eu);
    EXPECT_EQ(defSys[13], 0x006A240Au);
    EXPECT_EQ(sys[28], 0x00C0C0C0u);

    const auto textes = LitSHColorTexte(lien);
    ASSERT_TRUE(textes);
    ASSERT_EQ(textes->size(), 41);
    EXPECT_EQ(textes->at(5), QStringLiteral("2E,97,E3,00"));
    EXPECT_EQ(textes->at(8), QStringLiteral("12,57,B1,00"));

    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("Notes")), 24);
    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("solitaire")), 8);
    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("Absente")), -1);
    EXPECT_EQ(LitRoleAppInstall(lien, QString()), -1);
    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("..\\..\\Ident")), -1);
    EXPECT_EQ(LitPolitique1001(lien), 2);
    QString chemin = QStringLiteral("x");
    EXPECT_FALSE(MiniaturesTskInstallees(chemin));
    EXPECT_TRUE(chemin.isEmpty());

    // Reads open keys, never create them, and change nothing.
    EXPECT_TRUE(ListeValeursCleToday(lien, QStringLiteral("Absente.tsk"), QStringLiteral("h")).isEmpty());
    EXPECT_EQ(registre(), avant);
}

TEST_F(RegistreCE, TypeAttenduSinonRien)
{
    fixe(OVD_HKEY_LOCAL_MACHINE, u"Security\\AppInstall\\Solitaire", u"Role", OVD_REG_BINARY, dword(8));
    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("Solitaire")), -1);
    fixe(OVD_HKEY_CURRENT_USER, kToday, u"UseStartImage", OVD_REG_BINARY, dword(1));
    int v = 7;
    EXPECT_FALSE(LitUseStartImage(lien, v));
    EXPECT_EQ(v, -1);
    fixe(OVD_HKEY_CURRENT_USER, kToday, u"Skin", OVD_REG_BINARY, QByteArray("\\\0W\0", 4));
    EXPECT_TRUE(LitSkinToday(lien).isEmpty());
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"SHColor", OVD_REG_DWORD, dword(1));
    TableSHColor sh;
    sh.fill(42u);
    EXPECT_FALSE(LitSHColor(lien, sh, true));
    EXPECT_EQ(sh[0], 42u); // the caller's table as it was
    EXPECT_FALSE(LitSHColorTexte(lien));
    supprime(OVD_HKEY_LOCAL_MACHINE, u"Security\\Policies\\Policies", u"00001001");
    EXPECT_EQ(LitPolitique1001(lien), -1);
    supprime(OVD_HKEY_LOCAL_MACHINE, u"System\\GDI\\ROTATION", u"ANGLE");
    int angle = 90;
    EXPECT_FALSE(LitRotationCE(lien, angle));
    EXPECT_EQ(angle, 90);
}

TEST_F(RegistreCE, ValeursHostiles)
{
    // A shell table of 40 entries: the 41st is absent, nothing read past the end.
    QByteArray court;
    for (int k = 0; k < 40; ++k)
        court += dword(0x00010203u * uint32_t(k));
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"SHColor", OVD_REG_BINARY, court + QByteArray(3, '\x7F'));
    TableSHColor sh;
    ASSERT_TRUE(LitSHColor(lien, sh, true));
    EXPECT_EQ(sh[39], 0x00010203u * 39);
    EXPECT_FALSE(sh[40]);
    const auto textes = LitSHColorTexte(lien);
    ASSERT_TRUE(textes);
    ASSERT_EQ(textes->size(), 41);
    EXPECT_EQ(textes->at(1), QStringLiteral("03,02,01,00"));
    EXPECT_TRUE(textes->at(40).isEmpty()); // the package reader falls back to its default there
    fixe(OVD_HKEY_LOCAL_MACHINE, u"SYSTEM\\GWE", u"SysColor", OVD_REG_BINARY, QByteArray());
    TableSysColor sys;
    sys.fill(1u);
    EXPECT_TRUE(LitSysColor(lien, sys, true));
    EXPECT_FALSE(sys[0]);

    // An odd-length "Skin" with no NUL.
    fixe(OVD_HKEY_CURRENT_USER, kToday, u"Skin", OVD_REG_SZ, QByteArray("\\\0W\0i\0n\0x", 9));
    EXPECT_EQ(LitSkinToday(lien), QStringLiteral("\\Win"));
    // A string that goes on after its NUL.
    fixe(OVD_HKEY_CURRENT_USER, kToday, u"Skin", OVD_REG_SZ, QByteArray("A\0\0\0B\0", 6));
    EXPECT_EQ(LitSkinToday(lien), QStringLiteral("A"));
    // A value far too large is not read.
    fixe(OVD_HKEY_CURRENT_USER, kToday, u"Skin", OVD_REG_SZ, QByteArray(100000, 'A'));
    EXPECT_TRUE(LitSkinToday(lien).isEmpty());

    // A 2-byte binary colour: shown zero-filled, and kept as it is.
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"5", OVD_REG_BINARY, QByteArray("\xAB\xCD", 2));
    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    QString rapport;
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport));
    EXPECT_TRUE(rapport.contains(QStringLiteral("\r\n05\t AB,CD,00,00\tREG_BINARY\t"))) << rapport.toStdString();
    EXPECT_EQ(etat.valeurs[0].octets, QByteArray("\xAB\xCD", 2));
}

TEST_F(RegistreCE, RapportDesCouleursExact)
{
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"9", OVD_REG_DWORD, dword(0x00FFFFFF));
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"4", OVD_REG_BINARY, QByteArray("\xFF\xFF\xFF\x00", 4));
    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    QString rapport = QStringLiteral("replaced");
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport));
    EXPECT_EQ(hue, 0x1A0);
    EXPECT_EQ(dpi, 96);
    EXPECT_EQ(usi, 0);
    const QString nom5 = JeuCouleurs::NomCouleur(0);
    EXPECT_EQ(nom5, QStringLiteral("Navigation Bar, Color 1"));
    const QString debut = QStringLiteral("HKCU\\SOFTWARE\\Microsoft\\Today\r\n\r\n"
                                         "DPI : 60h (96d)\r\nUseStartImage : 0\r\n\r\n"
                                         "HKLM\\SOFTWARE\\Microsoft\\Color :\r\n\r\n"
                                         "Basehue : 000001A0h (1A0h mod 200h)\r\n\r\n"
                                         "Colors :\r\n05\t 2E,97,E3,00\tREG_BINARY\t")
                          + nom5 + QStringLiteral("\r\n08\t 12,57,B1,00\tREG_BINARY\t") + JeuCouleurs::NomCouleur(1)
                          + QStringLiteral("\r\n09\t 00FFFFFF\tREG_DWORD\t") + JeuCouleurs::NomCouleur(2)
                          + QStringLiteral("\r\n04\t FF,FF,FF,00\tREG_BINARY\t") + JeuCouleurs::NomCouleur(3);
    EXPECT_TRUE(rapport.startsWith(debut)) << rapport.toStdString();
    EXPECT_TRUE(rapport.contains(QStringLiteral("\r\n25\t 00B15712\tREG_DWORD\t") + JeuCouleurs::NomCouleur(13)));
    EXPECT_EQ(rapport.count(QStringLiteral("\r\n")), 5 + 2 + 2 + 21); // slot 40 is absent
    EXPECT_FALSE(rapport.contains(QStringLiteral("\r\n40\t")));

    // BaseHue 0x2A0; no BaseHue at all; neither DPI nor UseStartImage.
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"BaseHue", OVD_REG_DWORD, dword(0x2A0));
    rapport.clear();
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport));
    EXPECT_TRUE(rapport.contains(QStringLiteral("Basehue : 000002A0h (0A0h mod 200h)\r\n\r\n")));
    supprime(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"BaseHue");
    supprime(OVD_HKEY_CURRENT_USER, kToday, u"DPI");
    supprime(OVD_HKEY_CURRENT_USER, kToday, u"UseStartImage");
    rapport = QStringLiteral("Device\r\n");
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport)); // the colours alone count
    EXPECT_EQ(hue, -1);
    EXPECT_EQ(dpi, -1);
    EXPECT_EQ(usi, -1);
    EXPECT_TRUE(rapport.startsWith(QStringLiteral("Device\r\nHKLM\\SOFTWARE\\Microsoft\\Color :\r\n\r\nColors :\r\n05\t")))
        << rapport.toStdString();
    EXPECT_FALSE(rapport.contains(QStringLiteral("Basehue")));
}

TEST_F(RegistreCE, SauvegardeEcritureRestaurationAllerRetour)
{
    // A device without BaseHue and without colour 40, with one colour kept as
    // a DWORD (25), one binary with a non-zero fourth byte and one short.
    supprime(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"BaseHue");
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"36", OVD_REG_BINARY, QByteArray("\x01\x02\x03\x04", 4));
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"37", OVD_REG_BINARY, QByteArray("\x05", 1));
    const auto avant = registreTrie();

    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi));
    EXPECT_TRUE(etat.valide);
    EXPECT_EQ(hue, -1);
    EXPECT_EQ(dpi, 96);

    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs;
    std::array<bool, JeuCouleurs::NbCouleurs> inclus{};
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        couleurs[i] = TColor::fromRgb(0x10 + i, 0x80, 0xF0 - i);
        inclus[i] = i % 3 != 1 || i == 21 || i == 13; // a mix, with 40 and 25 in it
    }
    ASSERT_TRUE(EcritCouleursCE(lien, 0x1C0, -1, couleurs, inclus, true));
    const QStringList ecrites = valeurs(kCleCouleurs);
    EXPECT_TRUE(ecrites.contains(QStringLiteral("\"BaseHue\"=dword:000001c0")));
    EXPECT_TRUE(ecrites.contains(QStringLiteral("\"5\"=hex:10,80,f0,00"))); // R, G, B, 0
    EXPECT_TRUE(ecrites.contains(QStringLiteral("\"25\"=hex:1d,80,e3,00"))); // now binary
    EXPECT_TRUE(ecrites.contains(QStringLiteral("\"40\"=hex:25,80,db,00")));
    EXPECT_TRUE(ecrites.contains(QStringLiteral("\"8\"=hex:12,57,b1,00"))); // not included: unchanged
    EXPECT_FALSE(valeurs(kCleToday).join(QLatin1Char('\n')).contains(QStringLiteral("\"DPI\"")));

    ASSERT_TRUE(RestaureCouleursCE(lien, etat, hue, dpi));
    EXPECT_EQ(registreTrie(), avant);
    EXPECT_TRUE(valeurs(kCleCouleurs).contains(QStringLiteral("\"25\"=dword:00b15712")));
}

TEST_F(RegistreCE, RestaurationSansEtatValideNeFaitRien)
{
    const auto avant = registre();
    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs{};
    std::array<bool, JeuCouleurs::NbCouleurs> inclus{};
    EXPECT_FALSE(RestaureCouleursCE(lien, EtatCouleursCE{}, -1, -1)); // never read
    EXPECT_EQ(registre(), avant);

    // A state read in an earlier connection.
    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi));
    lien.DeconnecteCE();
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_FALSE(RestaureCouleursCE(lien, etat, hue, dpi));
    EXPECT_EQ(registre(), avant);

    // A state whose colour key could not be read.
    CEHKEY k = 0;
    ASSERT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft", 0, 0, &k), 0);
    ASSERT_EQ(lien.CeRegDeleteKey(k, u"Color"), 0);
    ASSERT_EQ(lien.CeRegCloseKey(k), 0);
    const auto sansCouleurs = registre();
    EXPECT_FALSE(LitCouleursCE(lien, etat, hue, dpi, usi));
    EXPECT_FALSE(etat.valide);
    EXPECT_FALSE(RestaureCouleursCE(lien, etat, hue, dpi));
    // Writing with no colour key: false, DPI still handled, no key created.
    EXPECT_FALSE(EcritCouleursCE(lien, 0x1A0, 120, couleurs, inclus, true));
    auto attendu = sansCouleurs;
    attendu[QLatin1Char('[') + kCleToday + QLatin1Char(']')].replaceInStrings(QStringLiteral("\"DPI\"=dword:00000060"),
                                                                              QStringLiteral("\"DPI\"=dword:00000078"));
    EXPECT_EQ(registre(), attendu);
}

TEST_F(RegistreCE, ValeurIllisibleEmpecheLaRestauration)
{
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"6", OVD_REG_BINARY, QByteArray(100000, '\x11'));
    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    EXPECT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi));
    EXPECT_FALSE(etat.valide);
    const auto avant = registre();
    EXPECT_FALSE(RestaureCouleursCE(lien, etat, hue, dpi));
    EXPECT_EQ(registre(), avant);
}

TEST_F(RegistreCE, EcritureSansToutNiDpi)
{
    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs;
    couleurs.fill(TColor::fromRgb(1, 2, 3));
    std::array<bool, JeuCouleurs::NbCouleurs> inclus;
    inclus.fill(true);
    auto attendu = registreTrie();
    ASSERT_TRUE(EcritCouleursCE(lien, 0x2A0, -1, couleurs, inclus, false));
    QStringList &c = attendu[QLatin1Char('[') + kCleCouleurs + QLatin1Char(']')];
    c.replaceInStrings(QStringLiteral("\"BaseHue\"=dword:000001a0"), QStringLiteral("\"BaseHue\"=dword:000002a0"));
    attendu[QLatin1Char('[') + kCleToday + QLatin1Char(']')].removeAll(QStringLiteral("\"DPI\"=dword:00000060"));
    EXPECT_EQ(registreTrie(), attendu);
    // DPI absent already: deleting it again is no failure.
    EXPECT_TRUE(EcritCouleursCE(lien, 0x2A0, -1, couleurs, inclus, false));
    EXPECT_TRUE(EcritCouleursCE(lien, 0x2A0, 0x80, couleurs, inclus, false));
    EXPECT_TRUE(valeurs(kCleToday).contains(QStringLiteral("\"DPI\"=dword:00000080")));
}

TEST_F(RegistreCE, ClesDesThemes)
{
    CEHKEY today = 0, k = 0;
    ASSERT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, kToday, 0, 0, &today), 0);
    const std::u16string long200 = std::u16string(196, u'L') + u".tsk";
    ASSERT_EQ(lien.CeRegCreateKeyEx(today, long200.c_str(), 0, nullptr, 0, 0, nullptr, &k, nullptr), 0);
    ASSERT_EQ(lien.CeRegCloseKey(k), 0);
    ASSERT_EQ(lien.CeRegCreateKeyEx(today, u"Pas.tsk.bak", 0, nullptr, 0, 0, nullptr, &k, nullptr), 0);
    const std::u16string nomLong = std::u16string(300, u'V');
    ASSERT_EQ(lien.CeRegSetValueEx(k, nomLong.c_str(), 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>("\1\0\0\0"), 4), 0);
    ASSERT_EQ(lien.CeRegSetValueEx(k, u"Apres", 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>("\1\0\0\0"), 4), 0);
    ASSERT_EQ(lien.CeRegCloseKey(k), 0);
    ASSERT_EQ(lien.CeRegCloseKey(today), 0);

    QStringList l{QStringLiteral("old")};
    ASSERT_TRUE(ListeClesTsk(lien, l));
    EXPECT_EQ(l, (QStringList{QStringLiteral("Blue.tsk"), QStringLiteral("Green.TSK"),
                              QString::fromStdU16String(long200)}));

    const QString entete = QStringLiteral("Keys defined for the Theme ");
    EXPECT_EQ(ListeValeursCleToday(lien, QStringLiteral("blue.TSK"), entete),
              QStringLiteral("Keys defined for the Theme blue.TSK\r\n\r\n"
                             "UseDefaultTitleColor\r\nColor_Highlight\r\nColor_HighlightText"));
    EXPECT_TRUE(ListeValeursCleToday(lien, QStringLiteral("Green.TSK"), entete).isEmpty()); // heading included
    EXPECT_EQ(ListeValeursCleToday(lien, QStringLiteral("Pas.tsk.bak"), entete),
              entete + QStringLiteral("Pas.tsk.bak\r\n\r\n") + QString::fromStdU16String(nomLong)
                  + QStringLiteral("\r\nApres"));
    EXPECT_TRUE(ListeValeursCleToday(lien, QString(), entete).isEmpty()); // not the Today key's own values
    EXPECT_TRUE(ListeValeursCleToday(lien, QStringLiteral("Items\\Calendar"), entete).isEmpty());

    // Deleting: only a theme key, with its contents.
    const auto avant = registre();
    for (const QString &refuse : {QString(), QStringLiteral("Items"), QStringLiteral(".tsk"),
                                  QStringLiteral("Items\\x.tsk"), QStringLiteral("Absent.tsk")})
        EXPECT_FALSE(SupprimeCleToday(lien, refuse)) << refuse.toStdString();
    EXPECT_EQ(registre(), avant);
    EXPECT_TRUE(SupprimeCleToday(lien, QStringLiteral("BLUE.tsk")));
    ASSERT_TRUE(ListeClesTsk(lien, l));
    EXPECT_EQ(l.size(), 2);
    EXPECT_FALSE(registre().contains(QStringLiteral("[") + kCleToday + QStringLiteral("\\Blue.tsk]")));
    EXPECT_TRUE(registre().contains(QStringLiteral("[") + kCleToday + QStringLiteral("]")));
}

TEST_F(RegistreCE, RolesEcritsDansLesClesExistantesSeulement)
{
    const auto avant = registre();
    EXPECT_FALSE(EcritRoleAppInstall(lien, QStringLiteral("Nouvelle"), 24));
    EXPECT_FALSE(EcritRoleAppInstall(lien, QString(), 24));
    EXPECT_FALSE(EcritRoleAppInstall(lien, QStringLiteral("..\\..\\Ident"), 24));
    EXPECT_EQ(registre(), avant);
    EXPECT_TRUE(EcritRoleAppInstall(lien, QStringLiteral("Sample Tool"), 24));
    EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("Sample Tool")), 24);
    EXPECT_EQ(valeurs(QStringLiteral("HKEY_LOCAL_MACHINE\\Security\\AppInstall\\Sample Tool")),
              QStringList{QStringLiteral("\"Role\"=dword:00000018")});
}

TEST_F(RegistreCE, TableDesCouleursPourLeLecteurDePaquets)
{
    lien.DeconnecteCE();
    EtatPDA etat(cheminSimulateur());
    etat.demarre();
    ASSERT_TRUE(etat.RapiPresent);
    const TableCouleursAppareil table = TableCouleursDe(etat);
    EXPECT_FALSE(table()); // no connection: nothing asked of the device
    EXPECT_EQ(c.OvdSimCallCount("CeRegOpenKeyEx"), 0);
    ASSERT_TRUE(etat.Rapi.ConnecteCE(5000));
    etat.PDAConnecte = true;
    const auto textes = table();
    ASSERT_TRUE(textes);
    EXPECT_EQ(textes->size(), 41);
    EXPECT_EQ(textes->at(5), QStringLiteral("2E,97,E3,00"));
    etat.arrete();
}

TEST(RegistreCESansAppareil, ValeursDEchecSansException)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c); // never plugged: no session
    const QByteArray avant = testenv::readFile(QString::fromLocal8Bit(dir) + "/registry.reg");
    for (const QString &bib : {cheminSimulateur(), QStringLiteral("/nonexistent/librapi.so")}) {
        SCOPED_TRACE(bib.toStdString());
        LienRapi lien(bib);
        EXPECT_TRUE(LitSkinToday(lien).isEmpty());
        int v = 3;
        EXPECT_FALSE(LitUseStartImage(lien, v));
        EXPECT_EQ(v, -1);
        int angle = 90;
        EXPECT_FALSE(LitRotationCE(lien, angle));
        EXPECT_EQ(angle, 90);
        TableSHColor sh;
        TableSysColor sys;
        EXPECT_FALSE(LitSHColor(lien, sh, true));
        EXPECT_FALSE(LitSysColor(lien, sys, false));
        EXPECT_FALSE(LitSHColorTexte(lien));
        QStringList l{QStringLiteral("x")};
        EXPECT_FALSE(ListeClesTsk(lien, l));
        EXPECT_TRUE(l.isEmpty());
        EXPECT_TRUE(ListeValeursCleToday(lien, QStringLiteral("Blue.tsk"), QStringLiteral("h")).isEmpty());
        EXPECT_EQ(LitRoleAppInstall(lien, QStringLiteral("Notes")), -1);
        EXPECT_EQ(LitPolitique1001(lien), -1);
        EXPECT_FALSE(EcritRoleAppInstall(lien, QStringLiteral("Notes"), 1));
        EXPECT_FALSE(SupprimeCleToday(lien, QStringLiteral("Blue.tsk")));
        EtatCouleursCE etat;
        int hue = 0, dpi = 0, usi = 0;
        QString rapport;
        EXPECT_FALSE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport));
        EXPECT_EQ(hue, -1);
        EXPECT_EQ(dpi, -1);
        EXPECT_FALSE(etat.valide);
        EXPECT_FALSE(EcritCouleursCE(lien, 0x1A0, 96, {}, {}, true));
        EXPECT_FALSE(RestaureCouleursCE(lien, etat, hue, dpi));
    }
    EXPECT_EQ(testenv::readFile(QString::fromLocal8Bit(dir) + "/registry.reg"), avant);
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(RegistreCE, ValeursNonEcritesParLeProgrammeSurviventALaRestauration)
{
    // BaseHue FFFFFFFF reads as -1, like an absent one; a DPI stored as a
    // string is no DWORD. Neither may be deleted when the device is put back.
    fixe(OVD_HKEY_LOCAL_MACHINE, kCouleurs, u"BaseHue", OVD_REG_DWORD, dword(0xFFFFFFFFu));
    fixe(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today", u"DPI", OVD_REG_SZ, QByteArray("9\0\0\0", 4));
    const auto avant = registreTrie();

    EtatCouleursCE etat;
    int hue = 0, dpi = 0, usi = 0;
    QString rapport;
    ASSERT_TRUE(LitCouleursCE(lien, etat, hue, dpi, usi, &rapport));
    EXPECT_EQ(hue, -1);
    EXPECT_EQ(dpi, -1);
    // The report shows the device's value, not an absent one.
    EXPECT_TRUE(rapport.contains(QStringLiteral("Basehue : FFFFFFFFh (1FFh mod 200h)"))) << rapport.toStdString();

    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs{};
    std::array<bool, JeuCouleurs::NbCouleurs> inclus{};
    ASSERT_TRUE(EcritCouleursCE(lien, 0x0A0, 120, couleurs, inclus, false));
    EXPECT_TRUE(valeurs(kCleCouleurs).contains(QStringLiteral("\"BaseHue\"=dword:000000a0")));

    // Given back what was read: everything as it was, byte for byte.
    ASSERT_TRUE(RestaureCouleursCE(lien, etat, hue, dpi));
    EXPECT_EQ(registreTrie(), avant);
    EXPECT_TRUE(valeurs(kCleCouleurs).contains(QStringLiteral("\"BaseHue\"=dword:ffffffff")));

    // Given other values, those are written.
    ASSERT_TRUE(RestaureCouleursCE(lien, etat, 0x1A0, 150));
    EXPECT_TRUE(valeurs(kCleCouleurs).contains(QStringLiteral("\"BaseHue\"=dword:000001a0")));
    EXPECT_TRUE(valeurs(kCleToday).contains(QStringLiteral("\"DPI\"=dword:00000096")));
}
