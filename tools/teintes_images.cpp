#include "tools/teintes_images.h"

bool TeintesImages::analyse(int emplacement, const QImage &image)
{
    if (emplacement < 0 || emplacement >= NOMBRE_EMPLACEMENTS)
        return false;
    TeinteImage[emplacement] = 0;
    MaxBrutImage[emplacement] = 0;
    PicImage[emplacement] = 0;

    const std::optional<AnalyseTeintes> a = TeinteDominante(image);
    if (!a)
        return false;
    HistoImages[emplacement] = a->histogramme;
    TeinteImage[emplacement] = a->teinteDominante;
    MaxBrutImage[emplacement] = a->maxBrut;
    PicImage[emplacement] = a->picBrut;
    return true;
}
