// The options reader on arbitrary bytes: every index it keeps lies in its
// range, every colour holds only colour bits, every folder is non-empty.
#include "ui/options.h"

#include "fuzz/fichier_temporaire.h"

#include <QDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString chemin = fuzz::ecritEntree(data, size, QStringLiteral("OptionsOVD.ini"));
    OptionsOVD o;
    FormatImages format;
    DossiersProgramme dossiers;
    dossiers.DossierAppli = QDir::tempPath() + QLatin1Char('/');
    LitOptions(chemin, o, format, dossiers);
    if (o.Skin < 0 || o.Skin > 4 || o.GradientRG < 0 || o.GradientRG > 2 || o.InterpolImg < 0
        || o.InterpolImg > 7 || o.TypeImgSauver < 0 || o.TypeImgSauver > 4 || o.TskInfXmlRG < 0
        || o.TskInfXmlRG > 2)
        __builtin_trap();
    for (TColor c : {o.CouleurFormInfG, o.CouleurFormSupD, o.CouleurFond})
        if (c.value() > 0xFFFFFFu)
            __builtin_trap();
    if (dossiers.DossierTsk.isEmpty() || dossiers.DossierImg.isEmpty() || dossiers.DossierLitTSK.isEmpty()
        || dossiers.DossierSauveCapt.isEmpty())
        __builtin_trap();
    return 0;
}
