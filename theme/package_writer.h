#pragma once

#include "theme/controle_noms.h"

#include <QString>
#include <QStringList>

#include <functional>

class AnimationPause;
class Prompts;
class ThemeDocument;

// Builds a cabinet from files stored uncompressed, in the given order, each
// under its own file name. On failure returns false with *erreur set to the
// text to show, and leaves no file at cheminCab.
class ConstructeurCabinet
{
public:
    virtual ~ConstructeurCabinet() = default;
    virtual bool construit(const QString &cheminCab, const QStringList &fichiers, QString *erreur) = 0;
};

// The cabinet component, building uncompressed: a missing cabinet library
// gives "Error while compressing", a failure of the library its own text.
class CabinetTCABFile : public ConstructeurCabinet
{
public:
    explicit CabinetTCABFile(Prompts *prompts = nullptr) : m_prompts(prompts) {}
    bool construit(const QString &cheminCab, const QStringList &fichiers, QString *erreur) override;

private:
    Prompts *m_prompts;
};

// The package option TskInfXmlRG: which setup documents a package holds.
enum class OptionSetupPackage { Inf = 0, Xml = 1, InfXml = 2 };

// What a package of the option carries: its file (named after the theme)
// and its setup documents.
unsigned DocumentsPaquet(OptionSetupPackage option);

// The theme's own device key is written: the package's setup documents name
// it after the theme.
bool CleThemeEcrite(const ThemeDocument &doc);

// Why no package of the option can be built under these names (nomInterne
// empty: the theme name stands in for it); empty when one can. An empty theme
// name is refused too.
ControleNoms::Refus RefusNomsPaquet(const QString &nomTheme, const QString &nomInterne, bool cleTheme,
                                    OptionSetupPackage option);

// What building a package needs besides the theme document.
struct ContextePackage
{
    Prompts *prompts = nullptr;
    AnimationPause *pause = nullptr; // may be null
    QString dossierAppli;            // the working pictures
    QString dossierTravail;          // the work folder "ThemeTmp"
    OptionSetupPackage option = OptionSetupPackage::Inf;
    // Saves the colour set with names to the working colour file; false with
    // the message set when it cannot. May be empty (nothing to save).
    std::function<bool(QString *erreur)> sauveCouleurs;
    // The cabinet builder; null means the cabinet component (CabinetTCABFile).
    ConstructeurCabinet *cabinet = nullptr;
};

// Builds dossierTravail + nomTheme + ".tsk": the CE setup file and/or
// "_setup.xml" as the option says, then the working pictures of the current
// format and picture set under their member names. Names the package cannot
// hold are refused (RefusNomsPaquet); the CE setup file that a "+ Xml"
// package leaves in the work folder holds them as Windows-1252 can, "?" for
// a character it lacks. Shows its own messages;
// true when the package was built. The animation is paused throughout; the
// member copies and the packaged setup documents are removed on every path,
// and a failed build leaves no package in the work folder.
bool GenereTsk(const ThemeDocument &doc, const ContextePackage &ctx, const QString &nomTheme,
               const QString &nomApplication);
