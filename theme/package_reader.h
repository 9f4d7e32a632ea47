#pragma once

#include "theme/limites_paquet.h"
#include "theme/theme_document.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class AnimationPause;
class Prompts;

// The cabinet as the package reader needs it: list the members, extract one
// into a file whose name the caller chooses (no name from the archive ever
// reaches the file system).
class LecteurCabinet
{
public:
    virtual ~LecteurCabinet() = default;
    // Member names in cabinet order; empty when the file cannot be listed.
    virtual std::optional<QStringList> lister(const QString &cabinet) = 0;
    virtual bool extraire(const QString &cabinet, const QString &membre, const QString &destination) = 0;
};

// The device's "SHColor" table as 41 colour texts indexed by colour number;
// empty when no device answers.
using TableCouleursAppareil = std::function<std::optional<QStringList>()>;

struct ContexteLecture
{
    QString dossierAppli;    // the working pictures
    QString fichierCouleurs; // the working colour file
    QString dossierTravail;  // "ThemeTmp", private to this user
    Prompts &prompts;
    LecteurCabinet &cabinet;
    AnimationPause *pause = nullptr;
    TableCouleursAppareil couleursAppareil; // may be empty: no device
};

// What the INF window shows after a read.
struct InfosLecture
{
    bool infOuXml = false; // the INF window and page have something to show
    QStringList texteInf;  // Memo1
    QStringList texteFic;  // MemoFic
    QString statut0, statut1;
};

// The working colour file written after a package is read, and the slots it
// defines (colour text and include flag per slot, in slot order).
struct CouleursTsk
{
    QStringList lignes;
    std::array<SlotCouleur, JeuCouleurs::NbCouleurs> jeu;
};
CouleursTsk EcritCouleursTsk(const LectureSetup &lecture, const ParametresWM5 &p, const QString &nomTheme,
                             const std::optional<QStringList> &couleursAppareil);

// Removes the files a read killed half-way left in the program folder (the
// hidden ".<name>.lecture" copies, the temporary files of their writes, and
// the ".<name>.ancien" old files).
void BalaieFichiersLecture(const QString &dossierAppli);

// Opens a theme package and makes it the theme being edited: pictures,
// colours, WM5 values, theme keys, names, format. The read is a transaction:
// nothing in the document, the working pictures or the colour file changes
// unless the whole package was read. Returns what the INF window shows when
// the package was read; the scratch folder is removed on every path.
std::optional<InfosLecture> LitTsk(const QString &fichier, ThemeDocument &doc, const ContexteLecture &ctx);
