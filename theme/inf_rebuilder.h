#pragma once

#include "theme/theme_document.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The Windows CE folder macros of INF texts and setup strings, in table order.
struct MacroRepertoireCE
{
    const char *macro;
    const char *dossier;
};
extern const std::array<MacroRepertoireCE, 17> MacrosRepertoiresCE;

// Replaces every occurrence of each macro by its device folder, rows in table order.
QString expanserMacrosCE(QString texte);

// Makes one setup string fit for an INF value: literal "%" doubled (the
// macros and "%InstallDir%" kept), double quotes tripled, the whole quoted
// when it holds a "," or ends in "\".
void EchapperValeurInf(QString &value);
// The same for every item of a quoted, comma-separated list.
void EchapperListeInf(QString &value);

struct ResultatReconstruction
{
    // The lists and strings of the read side, as they stand after the rebuild.
    LectureSetup lecture;
    ParametresWM5 parametres;
};

// Limits of the CE setup file as the device reads it.
// Reads every table of a CE setup file and rebuilds the CAB-wizard INF text
// from which it was made. Starts from the lists, strings and theme values
// given (what a key absent from the file leaves as it was), clears and fills
// TexteInfOrig, ListeFichiers, ValeursCouleurs, ValeursToday, ClesTheme and
// ChainesSetup, appends the copy lines to ListeEnrFichiers, pairs files with
// ListeFichiersCab, and sets BaseHue, DPI, UseStartImage, colour 34 and the
// theme-keys flag from the registry records. A header that is not accepted,
// or any table, record or text that does not fit the file, gives nothing.
std::optional<ResultatReconstruction> ReconstruireInf(QByteArrayView bytes, const LectureSetup &lecture,
                                                      const ParametresWM5 &parametres);
