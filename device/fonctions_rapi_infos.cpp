#include "device/fonctions_rapi_infos.h"

#include "device/fonctions_rapi_fichiers.h"
#include "device/fonctions_rapi_registre.h"
#include "device/texte_ce.h"
#include "device/valeurs_echec.h"
#include "resources/strings.h"

#include <array>
#include <utility>

namespace {

constexpr DWORD kLongueurTexteCE = 259;
constexpr int kIdInconnu = 65301;

// A partnership string of an open service; empty when it cannot be read.
QString chaineService(LienRapi &rapi, HCESVC service, const QString &nom)
{
    std::array<WCHAR, kLongueurTexteCE + 1> tampon{};
    if (rapi.CeSvcGetString(service, versCE(nom), tampon.data(), kLongueurTexteCE) != 0)
        return QString();
    return depuisCE(tampon.data(), kLongueurTexteCE);
}

// A path query's result: the length written without its NUL. 0, the failure
// value and a length the buffer cannot hold all mean nothing was written.
QString cheminRendu(DWORD longueur, const std::array<WCHAR, kLongueurTexteCE + 1> &tampon)
{
    if (longueur == 0 || longueur == 0xFFFFu || longueur >= kLongueurTexteCE)
        return QString();
    return depuisCE(tampon.data(), kLongueurTexteCE);
}

QString pourcent(BYTE valeur)
{
    return QString::number(valeur) + QLatin1String(" %");
}

} // namespace

ProprietaireCE LitProprietaireCE(const QByteArray &o)
{
    // Each field ends at the next one's offset (and the last at the record's
    // end): a field that lacks its NUL never runs into its neighbour.
    const auto champ = [&o](int debut, int fin) { return TexteValeurCE(o.left(fin), debut); };
    return {champ(0, 72), champ(72, 144), champ(144, 516), champ(516, 566), champ(566, int(o.size()))};
}

void LitInfosPDA(LienRapi &rapi, InfosPDA &infos)
{
    infos = InfosPDA{};
    // A missing partnership library reads as "no device id".
    const DWORD id = IdAppareilCE(rapi);
    if (id == 0xFFFFFFFFu) {
        infos.DeviceType = QStringLiteral("Guest");
    } else if (id != 0) {
        HCESVC service = 0;
        if (rapi.CeSvcOpen(3, id, 0, &service) == 0) {
            infos.OemInfo = chaineService(rapi, service, QStringLiteral("OemInfo"));
            infos.DeviceType = chaineService(rapi, service, QStringLiteral("DeviceType"));
            infos.NoSubFolderIn = chaineService(rapi, service, QStringLiteral("NoSubFolderIn"));
            infos.DataFolder = chaineService(rapi, service, QStringLiteral("DataFolder"));
            DWORD type = 0;
            if (rapi.CeSvcGetDword(service, u"ProcessorType", &type) == 0)
                infos.Processeur = NomProcesseur(rapi, type);
            rapi.CeSvcClose(service);
        }
        service = 0;
        if (rapi.CeSvcOpen(13, id, 0, &service) == 0) {
            infos.DataFile = chaineService(rapi, service, QStringLiteral("Data File"));
            rapi.CeSvcClose(service);
        }
        HCESVC profils = 0;
        const int nb = CompteProfilsCE(rapi, profils);
        infos.Partenariats = QStringLiteral("Partner(s) registered on PC : %1 (Current Key : %2h)")
                                 .arg(nb)
                                 .arg(QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')).toUpper());
    }

    if (const auto o = LitValeurCE(rapi, OVD_HKEY_CURRENT_USER, QStringLiteral("ControlPanel\\Owner"),
                                   QStringLiteral("Owner"), OVD_REG_BINARY)) {
        const ProprietaireCE p = LitProprietaireCE(*o);
        infos.Nom = p.Nom;
        infos.Compagnie = p.Compagnie;
        infos.Adresse = p.Adresse;
        infos.Telephone = p.Telephone;
        infos.Email = p.Email;
    }
    const QString ident = QStringLiteral("Ident");
    infos.NomAppareil = LitChaineCE(rapi, OVD_HKEY_LOCAL_MACHINE, ident, QStringLiteral("Name")).value_or(QString());
    infos.DescAppareil = LitChaineCE(rapi, OVD_HKEY_LOCAL_MACHINE, ident, QStringLiteral("Desc")).value_or(QString());
    const QString partners = QStringLiteral("SOFTWARE\\Microsoft\\Windows CE Services\\Partners");
    if (const auto pCur = LitDwordCE(rapi, OVD_HKEY_LOCAL_MACHINE, partners, QStringLiteral("PCur")))
        infos.NomPC = LitChaineCE(rapi, OVD_HKEY_LOCAL_MACHINE, partners + QStringLiteral("\\P") + QString::number(*pCur),
                                  QStringLiteral("PName"))
                          .value_or(QString());
    // The ActiveSync manager is found through the desktop's Windows registry
    // ("App Paths\WCESMGR.EXE"); a Linux desktop has none, so its path stays
    // empty.
    infos.CheminGestionnaireAS.clear();
}

QString NomTypeProcesseur(DWORD type)
{
    static const std::pair<DWORD, const char *> kNoms[] = {
        {386, "INTEL_386"},       {486, "INTEL_486"},     {586, "INTEL_PENTIUM"},  {686, "INTEL_PENTIUMII"},
        {4000, "MIPS_R4000"},     {5000, "MIPS_R5000"},   {21064, "ALPHA_21064"},  {403, "PPC_403"},
        {601, "PPC_601"},         {603, "PPC_603"},       {604, "PPC_604"},        {620, "PPC_620"},
        {10003, "HITACHI_SH3"},   {10004, "HITACHI_SH3E"}, {10005, "HITACHI_SH4"}, {821, "MOTOROLA_821"},
        {103, "SHx_SH3"},         {104, "SHx_SH4"},       {105, "SHx_SH3DSP"},     {2577, "STRONGARM"},
        {1824, "ARM720"},         {2080, "ARM820"},       {2336, "ARM920"},        {70001, "ARM_7TDMI"},
    };
    for (const auto &[code, nom] : kNoms)
        if (code == type)
            return QLatin1String(nom);
    return chaineRes(kIdInconnu);
}

QString NomJeuInstructions(DWORD jeu)
{
    static const std::pair<DWORD, const char *> kJeux[] = {
        {0x00010001, "X86_32BIT"},      {0x01010000, "MIPS_MIPS16"},   {0x01020000, "MIPS_MIPSII"},
        {0x01020001, "MIPS_MIPSIIFP"},  {0x01030000, "MIPS_MIPSIV"},   {0x01030001, "MIPS_MIPSIVFP"},
        {0x04010000, "HITACHI_SH3"},    {0x04010001, "HITACHI_SH3DSP"}, {0x04020001, "HITACHI_SH4"},
        {0x05010000, "ARM_V4"},         {0x05010001, "ARM_V4FP"},      {0x05020000, "ARM_V4I"},
        {0x05020001, "ARM_V4IFP"},      {0x05030000, "ARM_V4T"},       {0x05030001, "ARM_V4TFP"},
    };
    for (const auto &[code, nom] : kJeux)
        if (code == jeu)
            return QLatin1String(nom);
    return QStringLiteral("Unknown");
}

QString NomProcesseur(LienRapi &rapi, DWORD typeProcesseur)
{
    const QString nom = NomTypeProcesseur(typeProcesseur);
    DWORD jeu = 0;
    if (rapi.CeQueryInstructionSet(0, &jeu))
        return nom + QLatin1String(" (") + NomJeuInstructions(jeu) + QLatin1Char(')');
    return nom;
}

QString DossierSpecialCE(LienRapi &rapi, int idDossier)
{
    std::array<WCHAR, kLongueurTexteCE + 1> tampon{};
    return cheminRendu(rapi.CeGetSpecialFolderPath(idDossier, kLongueurTexteCE, tampon.data()), tampon);
}

void InfosSystemeCE(LienRapi &rapi, InfosSystemeCEs &infos)
{
    infos = InfosSystemeCEs{};
    infos.Bureau = DossierSpecialCE(rapi, 0);
    infos.Personnel = DossierSpecialCE(rapi, 5);
    infos.ProgFiles = DossierSpecialCE(rapi, 38);
    infos.Programmes = DossierSpecialCE(rapi, 2);
    infos.MenuDemarrer = DossierSpecialCE(rapi, 11);
    infos.Demarrage = DossierSpecialCE(rapi, 7);
    infos.Favoris = DossierSpecialCE(rapi, 6);
    infos.Fontes = DossierSpecialCE(rapi, 20);
    infos.Recents = DossierSpecialCE(rapi, 8);
    infos.Corbeille = DossierSpecialCE(rapi, 10);
    infos.Windows = DossierSpecialCE(rapi, 36);
    std::array<WCHAR, kLongueurTexteCE + 1> tampon{};
    infos.Temporaire = cheminRendu(rapi.CeGetTempPath(kLongueurTexteCE, tampon.data()), tampon);

    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    if (rapi.CeGetVersionEx(&v))
        infos.Version = QStringLiteral("%1.%2.%3 (%4)")
                            .arg(v.dwMajorVersion)
                            .arg(v.dwMinorVersion)
                            .arg(v.dwBuildNumber)
                            .arg(v.dwPlatformId == 3 ? QStringLiteral("VER_PLATFORM_WIN32_CE") : QString());
}

int VersionMajeureCE(LienRapi &rapi)
{
    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    if (!rapi.CeGetVersionEx(&v) || v.dwMajorVersion > 1000)
        return 0;
    return int(v.dwMajorVersion);
}

void EtatBatterieCE(LienRapi &rapi, QString &principale, QString &sauvegarde, QString &source)
{
    SYSTEM_POWER_STATUS_EX s{};
    if (!rapi.CeGetSystemPowerStatusEx(&s, 1))
        return;
    principale = pourcent(s.BatteryLifePercent);
    sauvegarde = s.BackupBatteryLifePercent == 255 ? QStringLiteral("------") : pourcent(s.BackupBatteryLifePercent);
    switch (s.ACLineStatus) {
    case 0: source = QStringLiteral("Battery princ."); break;
    case 1: source = QStringLiteral("Primary supply"); break;
    case 2: source = QStringLiteral("Battery save."); break;
    case 255: source = QStringLiteral("Unknown"); break;
    default: break; // any other state leaves the text as it was
    }
}

void MemoireCE(LienRapi &rapi, QString &charge, QString &programme, QString &stockage)
{
    CEMEMORYSTATUS m{};
    m.dwLength = sizeof m;
    rapi.CeGlobalMemoryStatus(&m);
    STORE_INFORMATION s{};
    const bool stockageLu = rapi.CeGetStoreInformation(&s);
    // The memory query has no result: a device that answered has memory.
    const bool memoireLue = m.dwTotalPhys != 0;
    const auto ligne = [](quint64 total, quint64 libre) {
        return QStringLiteral("Total : %1 bytes - %2 - Free %3 bytes - %4 -")
            .arg(total)
            .arg(TailleTexte(qint64(total)))
            .arg(libre)
            .arg(TailleTexte(qint64(libre)));
    };
    // The sum of the two sizes can pass 4 GB: added in 64 bits.
    if (memoireLue) {
        charge = QStringLiteral("%1 % Physical Memory used (Total : %2)")
                 .arg(m.dwMemoryLoad)
                 .arg(TailleTexte(qint64(m.dwTotalPhys) + qint64(s.dwStoreSize)));
        programme = ligne(m.dwTotalPhys, m.dwAvailPhys);
    }
    if (stockageLu)
        stockage = ligne(s.dwStoreSize, s.dwFreeSize);
}
