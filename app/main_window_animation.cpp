// The tap-and-hold dots on the colours page: started last at creation, in the
// colour of slot 22 on the window's colour, stopped first at the close.
#include "app/orvandel_main_window.h"

#include "app/anime_thread.h"

#include <QLabel>

void TOrvandel::crochetDemarreAnimation()
{
    const TColor fond = TColor::fromQRgb(palette().color(QPalette::Window).rgb());
    m_animePoints = std::make_unique<TAnimeThread>(
        m_image8, m_ctx.dossiers.DossierTravail + QStringLiteral("Points.gif"), fond,
        [this] { return m_ctx.document.slot(JeuCouleurs::NbCouleurs - 1).couleur; }, &m_ctx.animation);
}

void TOrvandel::crochetArreteAnimation()
{
    if (m_animePoints) {
        m_animePoints->arreter();
        m_animePoints.reset();
    }
}
