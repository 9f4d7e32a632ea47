#pragma once

#include "theme/couleur.h"
#include "theme/format_images.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The theme's Windows Mobile 5 values: each a present flag and a value. A
// writer emits a value only when its flag is set.
struct ParametresWM5
{
    bool BaseHueDefini = false;
    int32_t ValBaseHue = 0;
    bool DPIDefini = false;
    int32_t ValDPI = 0;
    bool UseStartImageDefini = false;
    int32_t ValUseStartImage = 0;
    bool Coul34Definie = false;
    TColor Coul34;
    // The theme carries its own registry values (ClesTheme is in use).
    bool ClesThemeDefinies = false;

    bool operator==(const ParametresWM5 &) const = default;
};

// What the setup readers fill and the INF window, the information page and
// the writers read.
struct LectureSetup
{
    QStringList ListeFichiersCab; // the package's member names, lower-cased
    QStringList ListeEnrFichiers; // one copy line per file record
    QStringList TexteInfOrig;     // the rebuilt INF text, a line per item
    QStringList ListeFichiers;    // "%.3d" id TAB member name TAB install name
    QStringList ValeursCouleurs;  // colour key values: name TAB text TAB TAB type
    QStringList ValeursToday;     // Today key values: name TAB text
    // The theme's own registry values, as theme registry value lines:
    // name TAB hexadecimal text TAB TAB type ("65537" DWORD, "1" binary).
    QStringList ClesTheme;
    QStringList ChainesSetup; // every setup string, in file order

    QString NomInterneLu;
    QString NomCleTheme;
    QString ChainesCleCouleurs;
    QString ChainesCleToday;
    QString ChainesCleTheme;

    bool operator==(const LectureSetup &) const = default;
};

// The 22 colour slots: fixed per slot the device registry colour number, the
// default colour text and the string id of its name.
namespace JeuCouleurs {
constexpr int NbCouleurs = 22;
constexpr std::array<int, NbCouleurs> NumerosCouleurs{5, 8, 9, 4, 6, 7, 10, 11, 12, 13, 14,
                                                       15, 16, 25, 26, 27, 28, 36, 37, 38, 39, 40};
extern const std::array<const char *, NbCouleurs> CouleursDefaut;
extern const std::array<int, NbCouleurs> IdsNomsCouleurs;

TColor couleurDefaut(int slot);
QString NomCouleur(int slot); // from the string table
// The caption of a slot: "%2.2d" of its number, a blank and its name.
QString libelleDefaut(int slot);
} // namespace JeuCouleurs

// The 17 names of the theme's own registry values, in fixed order: the only
// ones the package writers and the INF text carry.
extern const QStringList ListeTDThemeCles;

struct SlotCouleur
{
    TColor couleur;
    bool inclus = false;
    QString libelle; // the label caption: two-digit number, a blank, the name

    bool operator==(const SlotCouleur &) const = default;
};

// The one theme open at a time. A plain model: windows show it and controllers
// change it; every change is signalled.
class ThemeDocument : public QObject
{
    Q_OBJECT
public:
    explicit ThemeDocument(QObject *parent = nullptr);

    QString nomTheme() const { return m_nomTheme; }
    void setNomTheme(const QString &nom);
    QString nomInterne() const { return m_nomInterne; }
    void setNomInterne(const QString &nom);
    // The application name written into setup files: the internal name, or the
    // theme name when it is empty.
    QString nomInterneEffectif() const { return m_nomInterne.isEmpty() ? m_nomTheme : m_nomInterne; }

    const SlotCouleur &slot(int i) const { return m_slots.at(i); }
    const std::array<SlotCouleur, JeuCouleurs::NbCouleurs> &jeuCouleurs() const { return m_slots; }
    void setCouleur(int i, TColor c);
    void setInclus(int i, bool inclus);
    void setLibelle(int i, const QString &libelle);
    void setJeuCouleurs(const std::array<SlotCouleur, JeuCouleurs::NbCouleurs> &nouveaux);
    int nombreInclus() const;

    const ParametresWM5 &parametres() const { return m_wm5; }
    void setParametres(const ParametresWM5 &p);

    const LectureSetup &lectureSetup() const { return m_lecture; }
    void setLectureSetup(const LectureSetup &l);
    const QStringList &clesTheme() const { return m_lecture.ClesTheme; }
    void setClesTheme(const QStringList &lignes);

    const FormatImages &format() const { return m_format; }
    // Sets the format and its sizes (FixeTailles); outside 0..8 nothing changes.
    void setFormatTheme(int format);
    void setFormat(const FormatImages &f);

    // The picture-set code of the package last read: 0..5, 6 when none was recognised.
    int groupeFormat() const { return m_groupeFormat; }
    void setGroupeFormat(int g) { m_groupeFormat = g; }
    // Package member names by theme picture slot 0..9 (filled by the readers).
    const std::array<QString, 10> &membresImages() const { return m_membres; }
    void setMembresImages(const std::array<QString, 10> &m) { m_membres = m; }

signals:
    void nomsChanged();
    void slotChanged(int slot);
    void parametresChanged();
    void clesThemeChanged();
    void formatChanged();

private:
    QString m_nomTheme;
    QString m_nomInterne;
    std::array<SlotCouleur, JeuCouleurs::NbCouleurs> m_slots;
    ParametresWM5 m_wm5;
    LectureSetup m_lecture;
    FormatImages m_format;
    int m_groupeFormat = 6;
    std::array<QString, 10> m_membres;
};
