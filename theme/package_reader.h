#pragma once

#include "theme/limites_paquet.h"
#include "theme/theme_document.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

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
    Prompts &prompts; // for the commands around the read: the reader shows nothing
    LecteurCabinet &cabinet;
    AnimationPause *pause = nullptr;
    TableCouleursAppareil couleursAppareil; // may be empty: no device
    // Called between the steps that put the working files in place, numbered
    // from 1 (tests stop the read there); may be empty.
    std::function<void(int etape)> etapeInstallation = {};
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

// Cleans up after a read killed half-way in the program folder: first puts
// the old theme back when the read's journal is still there (see
// journal_lecture.h; `fichierCouleurs` is the working colour file), then
// removes the hidden ".<name>.lecture" copies and the temporary files of
// their writes, and the ".<name>.ancien" old files unless a journal that
// could not be carried out may still need them. False when old files could
// not all be put back (the journal stays for the next time).
bool BalaieFichiersLecture(const QString &dossierAppli, const QString &fichierCouleurs);

// Why a package was not read.
enum class ErreurLecture {
    CabinetIllisible,  // the cabinet cannot be listed
    MembreRefuse,      // a member name that is no plain file name, or one twice
    SansDocumentSetup, // neither a CE setup file nor a setup XML
    ExtractionSetup,   // the setup document cannot be taken out of the cabinet
    MembreManquant,    // the CE setup file names a member the cabinet lacks
    SetupNonReconnu,   // the setup document is not a theme's
    ImageHorsPaquet,   // a picture the setup document names is no member
    ExtractionImage,   // a picture cannot be taken out of the cabinet
    ImageTropGrande,   // a picture whose header announces too many pixels
    SansImagePortrait, // neither the Today nor the Start portrait picture
    InfNonReconnue,    // the INF text cannot be rebuilt from the setup file
    Installation,      // the working files could not all be put in place
};

// A read that stopped: why, and for a picture too large or an installation
// that failed, the text that says which file.
struct EchecLecture
{
    ErreurLecture erreur;
    QString detail;
};

// The messages that tell the user why the package was not read, one box each
// in order; none when the read stops without a word (a cabinet with no setup
// document, a package with no portrait picture).
QStringList TexteErreurLecture(const EchecLecture &echec);

// What a read gives: what the INF window shows, or why the package was not
// read; and a warning when the scratch folder could not be removed.
struct ResultatLecture
{
    std::variant<InfosLecture, EchecLecture> issue;
    QString avertissement;

    explicit operator bool() const { return std::holds_alternative<InfosLecture>(issue); }
    const InfosLecture &operator*() const { return std::get<InfosLecture>(issue); }
    const InfosLecture *operator->() const { return &std::get<InfosLecture>(issue); }
    const EchecLecture *echec() const { return std::get_if<EchecLecture>(&issue); }
    std::optional<InfosLecture> infos() const { return *this ? std::optional(**this) : std::nullopt; }
};

// Every message a read leaves for the user, in order: those of its failure,
// then the warning.
QStringList TextesLecture(const ResultatLecture &resultat);

// Opens a theme package and makes it the theme being edited: pictures,
// colours, WM5 values, theme keys, names, format. The read is a transaction:
// nothing in the document, the working pictures or the colour file changes
// unless the whole package was read. The working pictures the package does
// not provide (the size variants of another picture set, the pictures a
// format change put aside) are deleted in the same transaction. Shows no
// message: the caller turns the result into them (TextesLecture). The
// scratch folder is removed on every path.
ResultatLecture LitTsk(const QString &fichier, ThemeDocument &doc, const ContexteLecture &ctx);
