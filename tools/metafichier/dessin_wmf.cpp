// WMF: libwmf plays the records into its raster device, at the size asked
// for. Two of the device's callbacks are wrapped: the page is filled with the
// background colour asked for instead of white, and a full ellipse is drawn
// as a polygon (the device draws it as a chord from 0 to 360 degrees, which
// gd fills as an empty shape, so filled ellipses came out hollow).
//
// libwmf's SVG output rounds every colour to an SVG colour name: the raster
// device is the faithful one.

#include "tools/metafichier/dessin_metafichier.h"
#include "tools/metafichier/limites_convertisseur.h"

#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace convertisseur {

namespace {

// What the wrapped callbacks need, hung on the player's user data.
struct Enveloppe
{
    void (*debutPage)(wmfAPI *) = nullptr;
    void (*polygone)(wmfAPI *, wmfPolyLine_t *) = nullptr;
    std::uint32_t fond = 0xFFFFFFFF;
};

Enveloppe *enveloppe(wmfAPI *api)
{
    return static_cast<Enveloppe *>(api->user_data);
}

// gd's true-colour pixel: alpha from 0 (opaque) to 127 (transparent).
int couleurGd(std::uint32_t argb)
{
    const int a = int(argb >> 24);
    const int alphaGd = 127 - (a * 127 + 127) / 255;
    return int((std::uint32_t(alphaGd) << 24) | (argb & 0xFFFFFF));
}

std::uint32_t couleurArgb(int gd)
{
    const auto v = std::uint32_t(gd);
    const int alphaGd = std::min(int((v >> 24) & 0x7F), 127);
    const auto a = std::uint32_t(255 - (alphaGd * 255 + 63) / 127);
    return (a << 24) | (v & 0xFFFFFF);
}

void debutPage(wmfAPI *api)
{
    Enveloppe *e = enveloppe(api);
    e->debutPage(api);
    if (api->err != wmf_E_None)
        return;
    // The device has just made its page (gdImageCreateTrueColor of the size
    // asked for) and painted it white. Its private data begins with the page.
    wmf_gd_t *donnees = WMF_GD_GetData(api);
    void *page = donnees->gd_data ? *static_cast<void **>(donnees->gd_data) : nullptr;
    int *pixels = page ? wmf_gd_image_pixels(page) : nullptr;
    if (!pixels) {
        api->err = wmf_E_DeviceError;
        return;
    }
    std::fill_n(pixels, std::size_t(donnees->width) * donnees->height, couleurGd(e->fond));
}

void ellipse(wmfAPI *api, wmfDrawArc_t *arc)
{
    const double cx = (double(arc->TL.x) + arc->BR.x) / 2, cy = (double(arc->TL.y) + arc->BR.y) / 2;
    const double rx = std::abs(double(arc->BR.x) - arc->TL.x) / 2, ry = std::abs(double(arc->BR.y) - arc->TL.y) / 2;
    // About one point every two pixels of the outline, in the drawing's pixels.
    const wmf_gd_t *donnees = WMF_GD_GetData(api);
    const double echelleX = donnees->width / std::max(1e-6, double(donnees->bbox.BR.x) - donnees->bbox.TL.x);
    const double echelleY = donnees->height / std::max(1e-6, double(donnees->bbox.BR.y) - donnees->bbox.TL.y);
    const double rayon = std::max(rx * std::abs(echelleX), ry * std::abs(echelleY));
    const int n = std::clamp(int(std::ceil(M_PI * rayon)), 16, 2048);
    std::vector<wmfD_Coord> points(std::size_t(n) + 1);
    for (int i = 0; i < n; ++i) {
        const double t = 2 * M_PI * i / n;
        points[std::size_t(i)].x = float(cx + rx * std::cos(t));
        points[std::size_t(i)].y = float(cy + ry * std::sin(t));
    }
    points[std::size_t(n)] = points[0];
    wmfPolyLine_t poly{};
    poly.dc = arc->dc;
    poly.pt = points.data();
    poly.count = static_cast<U16>(n + 1);
    enveloppe(api)->polygone(api, &poly);
}

bool echecMemoire(wmfAPI *api)
{
    return api->err == wmf_E_InsMem;
}

} // namespace

bool DessineWmf(std::vector<char> &octets, const Demande &d, Resultat &r)
{
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    if (wmf_api_create(&api, WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL, &options) != wmf_E_None) {
        if (api) {
            r.memoire = echecMemoire(api);
            wmf_api_destroy(api);
        }
        return false;
    }
    // The API stays alive until the process ends: the drawing is in it.
    bool ok = wmf_mem_open(api, reinterpret_cast<unsigned char *>(octets.data()), long(octets.size())) == wmf_E_None;
    wmfD_Rect cadre{};
    if (ok)
        ok = wmf_scan(api, 0, &cadre) == wmf_E_None;
    if (ok) {
        if (api->File && api->File->placeable && api->File->pmh && api->File->pmh->Inch > 0) {
            // The placeable header gives the picture's frame: draw all of it,
            // not only the part the records touch.
            const wmfPlaceableMetaHeader *p = api->File->pmh;
            const double pouces = double(p->Inch);
            const double l = double(std::abs(int(p->Right) - int(p->Left)));
            const double h = double(std::abs(int(p->Bottom) - int(p->Top)));
            cadre.TL.x = 0;
            cadre.TL.y = 0;
            cadre.BR.x = float(l * 72.0 / pouces);
            cadre.BR.y = float(h * 72.0 / pouces);
            r.largeur = double(std::lround(l * 96.0 / pouces));
            r.hauteur = double(std::lround(h * 96.0 / pouces));
        } else {
            unsigned int largeur = 0, hauteur = 0;
            ok = wmf_display_size(api, &largeur, &hauteur, 96, 96) == wmf_E_None;
            r.largeur = largeur;
            r.hauteur = hauteur;
        }
    }
    ok = ok && r.largeur >= 1 && r.hauteur >= 1 && cadre.BR.x > cadre.TL.x && cadre.BR.y > cadre.TL.y;
    if (!ok) {
        r.memoire = echecMemoire(api);
        return false;
    }
    if (d.largeur == 0 || !TaillePropreValide(r.largeur, r.hauteur))
        return true; // measured only

    auto *fonctions = static_cast<wmfFunctionReference *>(api->function_reference);
    auto *e = new Enveloppe;
    e->debutPage = fonctions->device_begin;
    e->polygone = fonctions->draw_polygon;
    e->fond = d.fond;
    api->user_data = e;
    fonctions->device_begin = debutPage;
    fonctions->draw_ellipse = ellipse;

    wmf_gd_t *donnees = WMF_GD_GetData(api);
    donnees->type = wmf_gd_image;
    donnees->bbox = cadre;
    donnees->width = unsigned(d.largeur);
    donnees->height = unsigned(d.hauteur);
    ok = wmf_play(api, 0, &cadre) == wmf_E_None && donnees->gd_image;
    int *pixels = ok ? wmf_gd_image_pixels(donnees->gd_image) : nullptr;
    if (!pixels) {
        r.memoire = echecMemoire(api);
        return false;
    }
    // In place: gd's pixels become 0xAARRGGBB words of the same size.
    auto *argb = reinterpret_cast<std::uint32_t *>(pixels);
    const std::size_t n = std::size_t(d.largeur) * std::size_t(d.hauteur);
    for (std::size_t i = 0; i < n; ++i)
        argb[i] = couleurArgb(pixels[i]);
    r.pixels = argb;
    return true;
}

} // namespace convertisseur
