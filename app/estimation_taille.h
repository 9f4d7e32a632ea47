#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Prompts;
class ThemeDocument;
struct AppContext;

// The package size estimate: how large the .tsk file of the theme will be,
// from the sizes of its working pictures, a fixed cabinet overhead per member
// and the setup text worked out from the theme's settings. It counts one setup
// member whatever the package option says; it is an estimate, not the size
// the cabinet will have.
struct EstimationTsk
{
    int membres = 0;       // M: the pictures and one setup member
    qint64 images = 0;     // the pictures' bytes
    qint64 inf = 0;        // S: the setup text
    qint64 enteteCab = 0;  // H = M x 33 + 44
    qint64 total = 0;      // T = pictures + S + H

    bool operator==(const EstimationTsk &) const = default;
};

// The working pictures the estimate reads, for the theme format and picture
// set (Start only when UseStartImage is set): the pictures the package holds.
QStringList ImagesEstimation(int formatTheme, bool startSeul);

// The setup text estimate S of the document. Counted in 64 bits: a long
// theme-value list cannot wrap it round to a small number.
qint64 TailleFichiersTsk(const ThemeDocument &doc);

// The estimate from the document and the total size of its pictures.
EstimationTsk EstimeTailleTsk(const ThemeDocument &doc, qint64 tailleImages);

// The estimate's message, lines separated by CR LF.
QString MessageEstimationTsk(const EstimationTsk &e);

// The size of a file in bytes; nothing, with *erreur set, when it cannot be
// opened for reading.
std::optional<qint64> TailleFichier(const QString &fichier, QString *erreur = nullptr);

// The size button's command: reads the sizes of the document's pictures in
// dossierAppli and shows the estimate. A picture that cannot be opened is
// reported and no estimate is shown. Returns the estimate shown.
std::optional<EstimationTsk> TailleTskBtnClick(const ThemeDocument &doc, const QString &dossierAppli,
                                               Prompts &prompts);

// The same for the run's theme, with the animation paused while the message
// is up: what the size button (TailleTskBtn) calls.
std::optional<EstimationTsk> OuvreEstimationTaille(AppContext &ctx);
