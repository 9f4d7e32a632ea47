#pragma once

#include "theme/package_reader.h"
#include "theme/package_writer.h"

#include <QString>

#include <optional>

class AnimationPause;
class Prompts;
class ThemeDocument;

// The package commands of the tool bar: create, read, and save the
// installation files.

// Why no package of the option can be created under the theme's names, by
// name box (a character the CE setup file's character set lacks, a theme name
// that names no file...); empty when one can. An empty theme name is asked
// for only when the package is created.
ControleNoms::Refus RefusNomsTheme(const QString &nomTheme, const QString &nomInterne, bool cleTheme,
                                   OptionSetupPackage option);

// The create command: builds the package of the theme and moves it into
// dossierTsk (the save folder) as theme name + ".tsk", after asking before an
// existing package is replaced. The package there is replaced atomically and
// only by a complete build; a failed move is reported. True when the package
// stands in the save folder.
bool GenereBtnClick(const ThemeDocument &doc, const ContextePackage &ctx, const QString &dossierTsk);

// Asks for a package through the package dialog, starting in
// dossierOuverture, which then follows the chosen file's folder. Nothing when
// the user cancels. The read command (TOrvandel::LireFichierBtnClick) asks
// here, then reads the package as every other road does (TOrvandel::LitTsk).
std::optional<QString> ChoisitPaquet(Prompts &prompts, AnimationPause *pause, QString &dossierOuverture);

// The save-installation-files command: proposes theme name + ".inf" in the
// program folder and saves the INF text there, then proposes theme name +
// ".xml" and saves the setup XML document. Cancelling a dialog skips only its
// file; a file that cannot be written is reported and ends the command. The
// application name is the internal name, or the theme name when it is empty.
// Each file is checked for the names it carries (the INF text in
// Windows-1252, the XML document any character): before any dialog, one
// message says which file cannot hold them and why, and only the others are
// offered. A theme name that names no file proposes no file name.
void SauveInfBtnClick(const ThemeDocument &doc, Prompts &prompts, const QString &dossierAppli,
                      AnimationPause *pause = nullptr);
