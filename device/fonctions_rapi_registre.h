#pragma once

// Device registry operations: the Today settings and theme keys, the colour
// values, the shell and system colour tables, install roles. Keys are only
// ever opened, never created: a write whose key does not exist does
// nothing. Every key opened is closed before returning. Values are read in
// two steps (type and size, then the data), their size capped, and accepted
// only in the type stated; without a library, a session, the key or the
// value, a read reports nothing read and leaves the caller's variable as it
// was. Nothing raises or shows a message.

#include "device/lien_rapi.h"
#include "theme/couleur.h"
#include "theme/package_reader.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

class EtatPDA;

// A value larger than this is not read: far above any value a theme uses,
// and a device cannot make the program allocate more.
inline constexpr DWORD kTailleMaxValeurCE = 64 * 1024;

inline constexpr int kNbSHColor = 41;
inline constexpr int kNbSysColor = 29;
// The string "Colors" heading the colour values of the report.
inline constexpr int kIdChaineCouleurs = 65300;

// Colour tables: entry k is colour k as the little-endian 32-bit value of
// its bytes R, G, B, 0 (0x00BBGGRR); none for an entry the device's table
// is too short to hold.
using TableSHColor = std::array<std::optional<uint32_t>, kNbSHColor>;
using TableSysColor = std::array<std::optional<uint32_t>, kNbSysColor>;

// "RR,GG,BB,00" from a 0x00BBGGRR value.
QString CouleurEnTexte(uint32_t valeur);

// One value of a device key, accepted only in the given type; none without
// the key or the value, or when it cannot be read.
std::optional<QByteArray> LitValeurCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom,
                                      DWORD type);
std::optional<QString> LitChaineCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom);
std::optional<uint32_t> LitDwordCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom);
// The UTF-16 text stored in a value from byte offset debut, up to its first
// NUL and never past the value's end; empty when debut is past the end.
QString TexteValeurCE(const QByteArray &octets, int debut = 0);

// "Skin" of the Today key; empty when absent or not a string.
QString LitSkinToday(LienRapi &rapi);
// valeur := -1, then "UseStartImage" when it is a DWORD.
bool LitUseStartImage(LienRapi &rapi, int &valeur);
// "ANGLE" of the rotation key; angle unchanged when not read.
bool LitRotationCE(LienRapi &rapi, int &angle);

// "SHColor" (courant) or "DefSHColor"; "SysColor" or "DefSysColor". True
// when the binary value was read; only whole entries are taken.
bool LitSHColor(LienRapi &rapi, TableSHColor &table, bool courant);
bool LitSysColor(LienRapi &rapi, TableSysColor &table, bool courant);
// The 41 entries of "SHColor" as colour texts, an empty text for an entry
// the table does not hold; none when it was not read.
std::optional<QStringList> LitSHColorTexte(LienRapi &rapi);

// The package reader's source of the device's colours: the "SHColor" texts
// while a device is connected, nothing otherwise. Pass it as
// ContexteLecture::couleursAppareil.
TableCouleursAppareil TableCouleursDe(EtatPDA &etat);

// The Today sub-keys whose extension is ".tsk" (any case; a key named ".tsk"
// alone is one), in the device's order: exactly the keys SupprimeCleToday
// accepts. True when the Today key could be examined.
bool ListeClesTsk(LienRapi &rapi, QStringList &liste);
// entete + cle + "\r\n\r\n" + the value names of that theme key joined by
// "\r\n"; empty when the key has no value or cannot be opened.
QString ListeValeursCleToday(LienRapi &rapi, const QString &cle, const QString &entete);

int LitRoleAppInstall(LienRapi &rapi, const QString &application); // -1: none
int LitPolitique1001(LienRapi &rapi);                              // -1: none
bool EcritRoleAppInstall(LienRapi &rapi, const QString &application, int role);
// Deletes the theme key (with its contents) of the Today key; refused for a
// name that is empty, holds "\" or does not end in ".tsk". True only when
// the device removed the key.
bool SupprimeCleToday(LienRapi &rapi, const QString &cle);

// The desktop's thumbnail handler of theme packages: a Linux desktop has
// none, so this is always false with an empty path.
bool MiniaturesTskInstallees(QString &chemin);

// ---------------------------------------------------------------------------
// The device's colour values, saved before a live preview and written back.

struct ValeurCouleurCE
{
    enum Etat { Absente, Lue, Illisible };
    Etat etat = Absente;
    DWORD type = 0;
    QByteArray octets; // the value as stored, written back unchanged

    // A colour value: a DWORD or a binary value.
    bool present() const { return etat == Lue && (type == OVD_REG_DWORD || type == OVD_REG_BINARY); }
    bool estDword() const { return type == OVD_REG_DWORD; }
    // Its first 4 bytes as a little-endian number, zeros past a short value.
    uint32_t valeur() const;
};

struct EtatCouleursCE
{
    // Set only when the colour key was read, in connection numero.
    bool valide = false;
    int numeroSession = -1;
    std::array<ValeurCouleurCE, JeuCouleurs::NbCouleurs> valeurs;
    // BaseHue and DPI as stored: a value the program did not write (any
    // type, or a DWORD such as 0xFFFFFFFF that reads as -1) is written back
    // as it was, never taken for an absent one.
    ValeurCouleurCE baseHue;
    ValeurCouleurCE dpi;
};

// Reads DPI and UseStartImage (Today key), BaseHue and the 22 colour values
// (colour key) into etat; -1 for what is absent. With rapport, builds the
// colour report (appended to the text given when neither DPI nor
// UseStartImage is known). True when BaseHue or one colour was read.
bool LitCouleursCE(LienRapi &rapi, EtatCouleursCE &etat, int &baseHue, int &dpi, int &useStartImage,
                   QString *rapport = nullptr);

// Writes BaseHue, then (tout) the included colours as binary R, G, B, 0, and
// sets DPI (or deletes it when -1). True only when every write succeeded.
bool EcritCouleursCE(LienRapi &rapi, int baseHue, int dpi,
                     const std::array<TColor, JeuCouleurs::NbCouleurs> &couleurs,
                     const std::array<bool, JeuCouleurs::NbCouleurs> &inclus, bool tout);

// Writes back what LitCouleursCE saved in this same connection: each colour
// value as it was (an absent one deleted again); BaseHue and DPI as they
// were when the caller gives back the values it read (an absent one deleted
// again), else the value given (deleted when -1). Does nothing and returns false without such a
// saved state. True only when every write and delete succeeded.
bool RestaureCouleursCE(LienRapi &rapi, const EtatCouleursCE &etat, int baseHue, int dpi);
