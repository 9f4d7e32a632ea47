// The device information window and the device colour report, against the
// simulated device.
#include "device/fonctions_rapi_infos.h"
#include "device/infos_pda.h"
#include "device/rapport_couleurs_ce.h"
#include "device/tsk_reg_today.h"
#include "tests/device/fenetres_appareil_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtEndian>

using namespace fenetrestest;

namespace {

class InfosAppareil : public AppareilConnecte
{
protected:
    ContexteInfosPDA contexte()
    {
        ContexteInfosPDA ctx;
        ctx.prompts = &prompts;
        ctx.pause = &pause;
        ctx.dossierAppli = testenv::programDir() + QLatin1Char('/');
        ctx.libelles[0] = QStringLiteral("05 Ma couleur"); // slot 0 is colour number 5
        return ctx;
    }
    // The device.ini options apply from the next connection.
    void reconnecte(std::initializer_list<std::array<const char *, 3>> options)
    {
        etat.Rapi.DeconnecteCE();
        for (const auto &o : options)
            ASSERT_EQ(c.OvdSimSetOption(dir.constData(), o[0], o[1], o[2]), 0);
        ASSERT_TRUE(etat.Rapi.ConnecteCE(5000));
    }
    void fixe(CEHKEY racine, const char16_t *cle, const char16_t *nom, DWORD type, const QByteArray &octets)
    {
        CEHKEY k = 0;
        ASSERT_EQ(etat.Rapi.CeRegOpenKeyEx(racine, cle, 0, 0, &k), 0);
        EXPECT_EQ(etat.Rapi.CeRegSetValueEx(k, nom, 0, type, reinterpret_cast<const BYTE *>(octets.constData()),
                                            DWORD(octets.size())),
                  0);
        etat.Rapi.CeRegCloseKey(k);
    }
    void efface(CEHKEY racine, const char16_t *cle, const char16_t *nom)
    {
        CEHKEY k = 0;
        ASSERT_EQ(etat.Rapi.CeRegOpenKeyEx(racine, cle, 0, 0, &k), 0);
        EXPECT_EQ(etat.Rapi.CeRegDeleteValue(k, nom), 0);
        etat.Rapi.CeRegCloseKey(k);
    }
    static QString texte(QWidget &f, const char *nom) { return f.findChild<QLabel *>(QLatin1String(nom))->text(); }
    QString rapport(const QString &nom)
    {
        return QString::fromLatin1(testenv::readFile(testenv::programDir() + QLatin1Char('/') + nom));
    }
};

QStringList noeuds(QTreeWidgetItem *n)
{
    QStringList t;
    for (int i = 0; i < n->childCount(); ++i)
        t << n->child(i)->text(0);
    return t;
}

} // namespace

TEST_F(InfosAppareil, LesPagesMontrentLAppareilTelQuIlEstFormate)
{
    TInfosPDA f(etat, contexte());
    f.show();
    const auto t = [&f](const char *nom) { return texte(f, nom); };
    EXPECT_EQ(t("ConnectLbl"), QStringLiteral("PocketPC Orvandel Simulated PDA"));
    EXPECT_EQ(t("PartnerLbl"), QStringLiteral("PocketPC (Pocket PC) ( PC : DESKTOP)"));
    EXPECT_EQ(t("ProfilsLbl"), QStringLiteral("Partner(s) registered on PC : 2 (Current Key : 1A2B3C4Dh)"));
    EXPECT_EQ(t("SyncDosLbl"), QStringLiteral("C:\\Users\\Camille\\Documents\\Pocket_PC My Documents"));
    EXPECT_EQ(t("SyncFicLbl"), QStringLiteral("C:\\Users\\Camille\\AppData\\Roaming\\ActiveSync\\Profiles\\P1\\repl.dat"));
    EXPECT_EQ(f.findChild<QGroupBox *>(QStringLiteral("GroupBox1"))->title(), QStringLiteral("Connexion ActiveSync "));

    EXPECT_EQ(t("VersionLbl"), QStringLiteral("5.1.1700 (VER_PLATFORM_WIN32_CE)"));
    EXPECT_EQ(t("ProcesseurLbl"), QStringLiteral("STRONGARM (ARM_V4I)"));
    EXPECT_EQ(t("TskLbl"), QStringLiteral("\\Windows\\Blue.tsk"));
    EXPECT_EQ(t("NbTskRegLbl"), QStringLiteral("2 TSK in HKCU\\Software\\Microsoft\\Today"));
    EXPECT_EQ(f.clesTsk(), (QStringList{"Blue.tsk", "Green.TSK"}));
    // 48 Mb of memory and 32 Mb of store.
    EXPECT_EQ(t("MemPCLbl"), QStringLiteral("42 % Physical Memory used (Total : 80.0 Mb)"));
    EXPECT_EQ(t("MemProgLbl"), QStringLiteral("Total : 50331648 bytes - 48.0 Mb - Free 29360128 bytes - 28.0 Mb -"));
    EXPECT_EQ(t("MemStockLbl"), QStringLiteral("Total : 33554432 bytes - 32.0 Mb - Free 20971520 bytes - 20.0 Mb -"));
    EXPECT_EQ(t("AlimLbl"), QStringLiteral("Primary supply"));
    EXPECT_EQ(t("BatPrincLbl"), QStringLiteral("87 %"));
    EXPECT_EQ(t("BatSauveLbl"), QStringLiteral("------"));
    EXPECT_FALSE(f.findChild<QPushButton *>(QStringLiteral("AppInstallBtn"))->isHidden());

    EXPECT_EQ(t("DosSyncLbl"), QStringLiteral("1"));
    EXPECT_EQ(t("DesktopLbl"), QStringLiteral("\\Windows\\Desktop"));
    EXPECT_EQ(t("PersonnelLbl"), QStringLiteral("\\My Documents"));
    EXPECT_EQ(t("ProgFilesLbl"), QStringLiteral("\\Program Files"));
    EXPECT_EQ(t("ProgDemLbl"), QStringLiteral("\\Windows\\Start Menu\\Programs"));
    EXPECT_EQ(t("DemLbl"), QStringLiteral("\\Windows\\Start Menu"));
    EXPECT_EQ(t("DemarrageLbl"), QStringLiteral("\\Windows\\StartUp"));
    EXPECT_EQ(t("FavorisLbl"), QStringLiteral("\\Windows\\Favorites"));
    EXPECT_EQ(t("FontesLbl"), QStringLiteral("\\Windows\\Fonts"));
    EXPECT_EQ(t("RecentLbl"), QStringLiteral("\\Windows\\Recent"));
    EXPECT_EQ(t("CorbeilleLbl"), QStringLiteral("\\Windows\\Recycle Bin"));
    EXPECT_EQ(t("WindowsLbl"), QStringLiteral("\\Windows"));
    EXPECT_EQ(t("TemporaireLbl"), QStringLiteral("\\Temp\\"));

    EXPECT_EQ(t("NomLbl"), QStringLiteral("Camille Durand"));
    EXPECT_EQ(t("CompagnieLbl"), QStringLiteral("Atelier Orvandel"));
    EXPECT_EQ(t("AdresseLbl"), QStringLiteral("12 rue des Lilas\r\n75011 Paris"));
    EXPECT_EQ(t("TelLbl"), QStringLiteral("+33 1 23 45 67 89"));
    EXPECT_EQ(t("EmailLbl"), QStringLiteral("camille.durand@example.org"));

    // A refresh reads the device again and keeps the page; an older OS has
    // no AppInstall, a backup battery shows its percent.
    auto *pages = f.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(3);
    reconnecte({{"Version", "Major", "4"}, {"Power", "Backup", "40"}, {"Power", "AC", "0"}, {"Cpu", "InstructionSet", "0x1234"}});
    f.findChild<QPushButton *>(QStringLiteral("ActualiserBtn"))->click();
    EXPECT_EQ(pages->currentIndex(), 3);
    EXPECT_EQ(t("VersionLbl"), QStringLiteral("4.1.1700 (VER_PLATFORM_WIN32_CE)"));
    EXPECT_EQ(t("BatSauveLbl"), QStringLiteral("40 %"));
    EXPECT_EQ(t("AlimLbl"), QStringLiteral("Battery princ."));
    EXPECT_EQ(t("ProcesseurLbl"), QStringLiteral("STRONGARM (Unknown)"));
    EXPECT_TRUE(f.findChild<QPushButton *>(QStringLiteral("AppInstallBtn"))->isHidden());
    // A plain showing goes back to the first page.
    f.hide();
    f.show();
    EXPECT_EQ(pages->currentIndex(), 0);
}

TEST_F(InfosAppareil, PartenaireInviteEtProprietaireTronque)
{
    // Without a description or a current partner PC, the device name alone.
    efface(OVD_HKEY_LOCAL_MACHINE, u"Ident", u"Desc");
    efface(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows CE Services\\Partners", u"PCur");
    // An owner record that stops inside the company field, with no NUL.
    QByteArray proprio;
    for (QChar ch : QStringLiteral("Nom sans fin qui remplit tout le champ du nom, jusqu'au bout!!"))
        proprio += char(ch.unicode()), proprio += '\0';
    proprio = proprio.left(72) + QByteArray("A\0t\0e\0l\0i\0e\0r\0X", 15);
    fixe(OVD_HKEY_CURRENT_USER, u"ControlPanel\\Owner", u"Owner", OVD_REG_BINARY, proprio);
    InfosPDA infos;
    LitInfosPDA(etat.Rapi, infos);
    EXPECT_EQ(infos.NomAppareil, QStringLiteral("PocketPC"));
    EXPECT_TRUE(infos.DescAppareil.isEmpty());
    EXPECT_TRUE(infos.NomPC.isEmpty());
    EXPECT_EQ(infos.Nom, QStringLiteral("Nom sans fin qui remplit tout le champ du nom, jusqu'au bout!!").left(36));
    EXPECT_EQ(infos.Compagnie, QStringLiteral("Atelier")); // the odd last byte is dropped
    EXPECT_TRUE(infos.Adresse.isEmpty());
    EXPECT_TRUE(infos.Telephone.isEmpty());
    EXPECT_TRUE(infos.Email.isEmpty());
    TInfosPDA f(etat, contexte());
    f.show();
    EXPECT_EQ(texte(f, "PartnerLbl"), QStringLiteral("PocketPC"));

    // A guest connection: no partnership data at all.
    reconnecte({{"Partnership", "DeviceId", "0xFFFFFFFF"}});
    LitInfosPDA(etat.Rapi, infos);
    EXPECT_EQ(infos.DeviceType, QStringLiteral("Guest"));
    EXPECT_TRUE(infos.OemInfo.isEmpty());
    EXPECT_TRUE(infos.Processeur.isEmpty());
    EXPECT_TRUE(infos.Partenariats.isEmpty());
    EXPECT_TRUE(infos.DataFile.isEmpty());
    EXPECT_EQ(infos.NomAppareil, QStringLiteral("PocketPC")); // the device's own values stay
    // No device id: the same, and not "Guest".
    reconnecte({{"Partnership", "DeviceId", "0"}});
    LitInfosPDA(etat.Rapi, infos);
    EXPECT_TRUE(infos.DeviceType.isEmpty());
    EXPECT_TRUE(infos.Partenariats.isEmpty());
}

TEST(NomsProcesseur, TablesDesTypesEtDesJeux)
{
    EXPECT_EQ(NomTypeProcesseur(2577), QStringLiteral("STRONGARM"));
    EXPECT_EQ(NomTypeProcesseur(10005), QStringLiteral("HITACHI_SH4"));
    EXPECT_EQ(NomTypeProcesseur(70001), QStringLiteral("ARM_7TDMI"));
    EXPECT_EQ(NomTypeProcesseur(2578), QStringLiteral("Unknown"));
    EXPECT_EQ(NomJeuInstructions(0x05030001), QStringLiteral("ARM_V4TFP"));
    EXPECT_EQ(NomJeuInstructions(0x04010001), QStringLiteral("HITACHI_SH3DSP"));
    EXPECT_EQ(NomJeuInstructions(0), QStringLiteral("Unknown"));
    const ProprietaireCE vide = LitProprietaireCE(QByteArray());
    EXPECT_TRUE(vide.Nom.isEmpty() && vide.Email.isEmpty());
}

TEST_F(InfosAppareil, ArbreDesFenetresAvecEtSansEnfants)
{
    TInfosPDA f(etat, contexte());
    f.show();
    auto *arbre = f.findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
    EXPECT_EQ(arbre->topLevelItemCount(), 0);
    f.findChild<QPushButton *>(QStringLiteral("AffFenBtn"))->click();
    ASSERT_EQ(arbre->topLevelItemCount(), 1);
    QTreeWidgetItem *racine = arbre->topLevelItem(0);
    EXPECT_EQ(racine->text(0), QStringLiteral("Root Window"));
    EXPECT_EQ(noeuds(racine), (QStringList{"Desktop  (DesktopExplorerWindow [ Visible])",
                                           "''  (HHTaskBar [ Visible Popup TopMost])",
                                           "Start  (MSStartMenu [ Caption Popup AboveStartup])"}));
    EXPECT_EQ(racine->child(0)->childCount(), 0);
    // Ticking the box walks the children as well.
    f.findChild<QCheckBox *>(QStringLiteral("ChildCB"))->click();
    racine = arbre->topLevelItem(0);
    EXPECT_EQ(noeuds(racine->child(0)), (QStringList{"Today  (DesktopListView [ Visible])",
                                                     "''  (static [ Visible ToolWindow])"}));
    EXPECT_TRUE(racine->child(0)->isExpanded());
    // A refresh clears the tree and unticks the box.
    f.FormShow(true);
    EXPECT_EQ(arbre->topLevelItemCount(), 0);
    EXPECT_FALSE(f.findChild<QCheckBox *>(QStringLiteral("ChildCB"))->isChecked());

    EXPECT_EQ(TexteFenetreCE(QString(), QStringLiteral("c"), 0x00080000, 0x08000000),
              QStringLiteral("''  (c [ SysMenu Inactive])"));
    EXPECT_EQ(TexteFenetreCE(QStringLiteral("t"), QStringLiteral("c"), 0, 0), QStringLiteral("t  (c)"));
}

TEST_F(InfosAppareil, CouleursDuRegistreEtInfoBullesDesNuances)
{
    TInfosPDA f(etat, contexte());
    f.show();
    prompts.messages.clear();
    f.findChild<QPushButton *>(QStringLiteral("VoirCoulTskBtn"))->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString m = prompts.messages.first();
    EXPECT_TRUE(m.startsWith(QStringLiteral("\\Windows\\Blue.tsk\r\n\r\nHKCU\\SOFTWARE\\Microsoft\\Today\r\n\r\nDPI : ")))
        << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("\r\n05\t 2E,97,E3,00\tREG_BINARY\t"))) << m.toStdString();
    EXPECT_TRUE(m.endsWith(QStringLiteral("\r\n\r\nHKLM\\System\\GDI\\ROTATION\r\n\r\nRotation : 0°\r\n\r\n240 x 320")))
        << m.toStdString();

    // Only the chosen table's image shows.
    auto *sh = f.findChild<QLabel *>(QStringLiteral("ImageCoulSH"));
    auto *sys = f.findChild<QLabel *>(QStringLiteral("ImageCoulSys"));
    f.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(4);
    EXPECT_TRUE(sh->isVisible());
    EXPECT_FALSE(sys->isVisible());
    f.findChild<QRadioButton *>(QStringLiteral("ColSysRG2"))->click();
    EXPECT_FALSE(sh->isVisible());
    EXPECT_TRUE(sys->isVisible());

    const auto survol = [](QLabel *image, QPoint p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), image->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(image, &e);
    };
    survol(sh, CelluleNuancier(5).center());
    EXPECT_EQ(sh->toolTip(), QStringLiteral("05 Ma couleur\r\nR : 046\r\nV : 151\r\nB : 227"));
    EXPECT_EQ(f.swatchSurvole(), 5);
    survol(sh, CelluleNuancier(0).center());
    EXPECT_EQ(sh->toolTip(), QStringLiteral("0 : ???\r\nR : 032\r\nV : 096\r\nB : 160"));
    // The one-pixel edge between two swatches is no swatch.
    survol(sh, CelluleNuancier(1).topLeft());
    EXPECT_TRUE(sh->toolTip().isEmpty());
    EXPECT_EQ(f.swatchSurvole(), -1);
    survol(sys, CelluleNuancier(13).center());
    EXPECT_EQ(sys->toolTip(), QStringLiteral("Couleur 13\r\nCOLOR_HIGHLIGHT\r\nColor of an item selected in a control."
                                             "\r\nR : 046\r\nV : 151\r\nB : 227"));
    // Past the 29 system colours.
    survol(sys, CelluleNuancier(29).center());
    EXPECT_TRUE(sys->toolTip().isEmpty());
}

TEST_F(InfosAppareil, RapportDeCouleursTexteExactEtNuanciers)
{
    TInfosPDA f(etat, contexte());
    f.show();
    f.findChild<QPushButton *>(QStringLiteral("SauveCoulBtn"))->click();
    EXPECT_TRUE(prompts.messages.isEmpty());
    const QStringList lignes = rapport(QStringLiteral("Blue SysCouleurs.inf")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lignes.size(), 4 + 3 + 29 + 29 + 41 + 41 + 1); // the last line ends too
    EXPECT_EQ(lignes.last(), QString());
    EXPECT_EQ(lignes[0], QStringLiteral("HKLM\\SYSTEM\\GWE\\SysColor :"));
    EXPECT_EQ(lignes[1], QStringLiteral("00, R : 192, G : 192, B : 192, (C0, C0, C0, 00), COLOR_SCROLLBAR"));
    EXPECT_EQ(lignes[14], QStringLiteral("13, R : 046, G : 151, B : 227, (2E, 97, E3, 00), COLOR_HIGHLIGHT"));
    EXPECT_EQ(lignes[29], QStringLiteral("28, R : 192, G : 192, B : 192, (C0, C0, C0, 00), COLOR_GRADIENTINACTIVECAPTION"));
    EXPECT_EQ(lignes[30], QStringLiteral(" "));
    EXPECT_EQ(lignes[31], QStringLiteral("HKLM\\SYSTEM\\GWE\\DefSysColor :"));
    EXPECT_EQ(lignes[45], QStringLiteral("13, R : 010, G : 036, B : 106, (0A, 24, 6A, 00), COLOR_HIGHLIGHT"));
    EXPECT_EQ(lignes[61], QStringLiteral(" "));
    EXPECT_EQ(lignes[62], QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Color\\SHColor :"));
    EXPECT_EQ(lignes[63], QStringLiteral("00, R : 032, G : 096, B : 160, (20, 60, A0, 00), ???"));
    EXPECT_EQ(lignes[68], QStringLiteral("05, R : 046, G : 151, B : 227, (2E, 97, E3, 00), 05 Ma couleur"));
    EXPECT_EQ(lignes[71], QStringLiteral("08, R : 018, G : 087, B : 177, (12, 57, B1, 00), ")
                              + JeuCouleurs::libelleDefaut(1));
    EXPECT_EQ(lignes[104], QStringLiteral(" "));
    EXPECT_EQ(lignes[105], QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Color\\DefSHColor :"));
    EXPECT_EQ(lignes[111], QStringLiteral("05, R : 000, G : 051, B : 153, (00, 33, 99, 00), 05 Ma couleur"));

    // The four swatch bitmaps: each entry's colour in its cell, nothing past
    // the table.
    const auto image = [](const char *nom) {
        return QImage(testenv::programDir() + QStringLiteral("/Blue ") + QLatin1String(nom));
    };
    const QImage coulSys = image("CoulSys.bmp"), coulDefSys = image("CoulDefSys.bmp"), coulSH = image("CoulSH.bmp"),
                 coulDefSH = image("CoulDefSH.bmp");
    for (const QImage *i : {&coulSys, &coulDefSys, &coulSH, &coulDefSH})
        EXPECT_EQ(i->size(), QSize(420, 220));
    EXPECT_EQ(coulSys.pixel(CelluleNuancier(13).center()), qRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(coulSys.pixel(CelluleNuancier(13).topLeft()), qRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(coulSys.pixel(CelluleNuancier(13).bottomRight()), qRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(coulSys.pixel(CelluleNuancier(29).center()), qRgb(255, 255, 255));
    EXPECT_EQ(coulDefSys.pixel(CelluleNuancier(13).center()), qRgb(0x0A, 0x24, 0x6A));
    EXPECT_EQ(coulSH.pixel(CelluleNuancier(5).center()), qRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(coulSH.pixel(CelluleNuancier(40).center()), qRgb(0x20 + 200, 0x60 + 120, 0xA0 + 40));
    EXPECT_EQ(coulDefSH.pixel(CelluleNuancier(5).center()), qRgb(0x00, 0x33, 0x99));
    EXPECT_EQ(coulSH.pixel(CelluleNuancier(41).center()), qRgb(255, 255, 255));

    // Each is a BMP of 32 bits per pixel: the headers, and every pixel read
    // from the file's own rows (bottom up, blue green red and a zero byte)
    // equal to the picture drawn for the window.
    const std::pair<const char *, QImage> attendus[] = {
        {"CoulSys.bmp", DessineCouleurs(*LitTablesCouleursCE(etat.Rapi).sys)},
        {"CoulSH.bmp", DessineCouleurs(*LitTablesCouleursCE(etat.Rapi).sh)}};
    for (const auto &[nom, dessin] : attendus) {
        const QByteArray b = testenv::readFile(testenv::programDir() + QStringLiteral("/Blue ") + QLatin1String(nom));
        const auto u32 = [&b](int i) { return qFromLittleEndian<quint32>(b.constData() + i); };
        const auto u16 = [&b](int i) { return qFromLittleEndian<quint16>(b.constData() + i); };
        ASSERT_EQ(b.size(), 54 + 420 * 220 * 4) << nom;
        EXPECT_EQ(b.left(2), QByteArray("BM"));
        EXPECT_EQ(u32(2), quint32(b.size()));
        EXPECT_EQ(u32(10), 54u);  // the pixels' offset
        EXPECT_EQ(u32(14), 40u);  // the information header's size
        EXPECT_EQ(u32(18), 420u);
        EXPECT_EQ(u32(22), 220u); // positive: bottom up
        EXPECT_EQ(u16(26), 1);
        EXPECT_EQ(u16(28), 32);   // bits per pixel
        EXPECT_EQ(u32(30), 0u);   // not compressed
        EXPECT_EQ(u32(34), 420u * 220u * 4u);
        const QImage d = dessin.convertToFormat(QImage::Format_RGB32);
        int differents = 0;
        for (int y = 0; y < 220; ++y)
            for (int x = 0; x < 420; ++x) {
                const char *px = b.constData() + 54 + ((219 - y) * 420 + x) * 4;
                const QRgb v = d.pixel(x, y);
                differents += uchar(px[0]) != qBlue(v) || uchar(px[1]) != qGreen(v) || uchar(px[2]) != qRed(v)
                              || px[3] != 0;
            }
        EXPECT_EQ(differents, 0) << nom;
    }
}

TEST_F(InfosAppareil, RapportNommeDApresLeSkinSansSortirDuDossier)
{
    EXPECT_EQ(NomRapportCouleurs(QStringLiteral("\\Windows\\Blue.tsk")), QStringLiteral("Blue"));
    EXPECT_EQ(NomRapportCouleurs(QStringLiteral("\\Storage Card\\a.b.tsk")), QStringLiteral("a.b"));
    EXPECT_EQ(NomRapportCouleurs(QString()), QStringLiteral("Defaut"));
    EXPECT_EQ(NomRapportCouleurs(QStringLiteral("\\Windows\\..")), QStringLiteral("Defaut"));
    EXPECT_EQ(NomRapportCouleurs(QStringLiteral("\\Windows\\.tsk")), QStringLiteral("Defaut"));

    // A table the device lacks: its heading without rows and no bitmap.
    efface(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Color", u"DefSHColor");
    efface(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today", u"Skin");
    TInfosPDA f(etat, contexte());
    f.show();
    auto *sauve = f.findChild<QPushButton *>(QStringLiteral("SauveCoulBtn"));
    sauve->click();
    const QString t = rapport(QStringLiteral("Defaut SysCouleurs.inf"));
    EXPECT_TRUE(t.endsWith(QStringLiteral(" \r\nHKLM\\SOFTWARE\\Microsoft\\Color\\DefSHColor :\r\n")));
    EXPECT_TRUE(QFile::exists(testenv::programDir() + QStringLiteral("/Defaut CoulSH.bmp")));
    EXPECT_FALSE(QFile::exists(testenv::programDir() + QStringLiteral("/Defaut CoulDefSH.bmp")));

    // A hostile skin name writes inside the program folder only.
    QByteArray skin;
    for (QChar ch : QStringLiteral("\\x\\..\\/../evil.tsk"))
        skin += char(ch.unicode()), skin += '\0';
    skin += QByteArray(2, '\0');
    fixe(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today", u"Skin", OVD_REG_SZ, skin);
    const QStringList avant = QDir(testenv::tempDir()).entryList(QDir::Files);
    sauve->click();
    EXPECT_TRUE(QFile::exists(testenv::programDir() + QStringLiteral("/evil SysCouleurs.inf")));
    EXPECT_EQ(QDir(testenv::tempDir()).entryList(QDir::Files), avant);

    // A folder that cannot be written: the error is shown, nothing is left.
    ContexteInfosPDA ctx = contexte();
    ctx.dossierAppli = testenv::tempDir() + QStringLiteral("/absent/");
    TInfosPDA g(etat, ctx);
    g.show();
    g.findChild<QPushButton *>(QStringLiteral("SauveCoulBtn"))->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages.first().startsWith(QStringLiteral("Cannot create file \""))) << prompts.messages.first().toStdString();
    EXPECT_FALSE(QDir(testenv::tempDir() + QStringLiteral("/absent")).exists());
}

TEST_F(InfosAppareil, RafraichiApresEffacementDUneCleToday)
{
    TInfosPDA f(etat, contexte());
    f.show();
    auto *nb = f.findChild<QLabel *>(QStringLiteral("NbTskRegLbl"));
    auto *voir = f.findChild<QPushButton *>(QStringLiteral("VoirTskReg"));
    EXPECT_EQ(nb->text(), QStringLiteral("2 TSK in HKCU\\Software\\Microsoft\\Today"));
    // The keys are reached from the device page, which stays in front.
    auto *pages = f.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(1);
    bool vu = false;
    surModale<TTskRegTodayF>([&](TTskRegTodayF *d) {
        vu = true;
        EXPECT_TRUE(pause.isPaused());
        auto *liste = d->findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
        ASSERT_EQ(liste->count(), 2);
        liste->item(0)->setCheckState(Qt::Checked); // Blue.tsk
        prompts.answer(Prompts::Answer::Yes);
        d->findChild<QPushButton *>(QStringLiteral("DelKeysBtn"))->click();
        // The information window read the device again.
        EXPECT_EQ(nb->text(), QStringLiteral("1 TSK in HKCU\\Software\\Microsoft\\Today"));
        EXPECT_EQ(f.clesTsk(), QStringList{QStringLiteral("Green.TSK")});
        // Shown again as at a new showing: from the first page.
        EXPECT_EQ(pages->currentIndex(), 0);
        pages->setCurrentIndex(1);
        EXPECT_EQ(liste->count(), 1);
        liste->item(0)->setCheckState(Qt::Checked);
        prompts.answer(Prompts::Answer::Yes);
        d->findChild<QPushButton *>(QStringLiteral("DelKeysBtn"))->click();
        EXPECT_TRUE(f.clesTsk().isEmpty());
        EXPECT_EQ(pages->currentIndex(), 0);
        EXPECT_TRUE(nb->isHidden());
        EXPECT_TRUE(voir->isHidden());
        d->reject();
    });
    voir->click();
    EXPECT_TRUE(vu);
    EXPECT_TRUE(prompts.exhausted());
}

TEST_F(InfosAppareil, RefuseeSansConnexionNiBibliotheque)
{
    etat.PDAConnecte = false;
    EXPECT_EQ(OuvreInfosPDA(etat, contexte()), int(QDialog::Rejected));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Not connected !")});
    EXPECT_FALSE(pause.isPaused());

    // No device library: refused as well, and the gathering finds nothing
    // (the partnership count stops although every call "fails" oddly).
    EtatPDA sans(testenv::tempDir() + QStringLiteral("/absente.so"), testenv::tempDir() + QStringLiteral("/absente.so"));
    sans.RapiPresent = sans.Rapi.LoadRapi();
    ASSERT_FALSE(sans.RapiPresent);
    sans.PDAConnecte = true;
    EXPECT_EQ(OuvreInfosPDA(sans, contexte()), int(QDialog::Rejected));
    EXPECT_EQ(prompts.messages.size(), 2);
    TInfosPDA f(sans, contexte());
    f.show();
    for (const char *nom : {"ConnectLbl", "PartnerLbl", "ProfilsLbl", "VersionLbl", "ProcesseurLbl", "TskLbl",
                            "MemPCLbl", "BatPrincLbl", "DesktopLbl", "TemporaireLbl", "NomLbl"})
        EXPECT_TRUE(texte(f, nom).trimmed().isEmpty()) << nom;
    EXPECT_TRUE(f.findChild<QPushButton *>(QStringLiteral("AppInstallBtn"))->isHidden());
    f.findChild<QPushButton *>(QStringLiteral("AffFenBtn"))->click();
    EXPECT_EQ(f.findChild<QTreeWidget *>(QStringLiteral("TreeView1"))->topLevelItem(0)->childCount(), 0);
    EXPECT_FALSE(f.tables().sys || f.tables().sh);

    // A library without the window walk: the tree holds the root alone.
    devsimtest::Controle cp(devsimtest::cheminSimulateurPartiel());
    const QByteArray d2 = devsimtest::nouvelAppareil(cp, QStringLiteral("partiel"));
    ASSERT_EQ(cp.OvdSimPlug(d2.constData(), devsimtest::ip(10, 0, 0, 3)), 0);
    EtatPDA partiel(devsimtest::cheminSimulateurPartiel());
    partiel.RapiPresent = partiel.Rapi.LoadRapi();
    ASSERT_TRUE(partiel.Rapi.ConnecteCE(5000));
    partiel.PDAConnecte = true;
    TInfosPDA g(partiel, contexte());
    g.show();
    g.findChild<QPushButton *>(QStringLiteral("AffFenBtn"))->click();
    EXPECT_EQ(g.findChild<QTreeWidget *>(QStringLiteral("TreeView1"))->topLevelItem(0)->childCount(), 0);
    partiel.Rapi.DeconnecteCE();
}

TEST_F(InfosAppareil, OptionsActiveSyncDitPourquoiRienNeSOuvre)
{
    TInfosPDA f(etat, contexte());
    f.show();
    auto *options = f.findChild<QPushButton *>(QStringLiteral("OptionsAS"));
    ASSERT_TRUE(options);
    // Without a connection manager, and with the simulator's, which has no
    // settings window: the user is told each time.
    options->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], QStringLiteral("No ActiveSync connection manager !"));
    etat.DccMan = std::make_unique<TDccMan>(etat.Rapi);
    ASSERT_TRUE(etat.DccMan->managerCree());
    options->click();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].startsWith(
        QStringLiteral("The simulated device has no ActiveSync connection settings window")));
    EXPECT_FALSE(pause.isPaused());
}
