// ovd-metafichier: draws one Windows metafile for the program, in a process
// of its own with a memory cap and a time limit set by the program, so that
// a damaged or hostile file can neither crash, hang nor exhaust it.
//
//   ovd-metafichier emf|wmf [BOX_WIDTH BOX_HEIGHT] < file > drawing
//
// EMF: libemf2svg turns it into SVG text (the program draws it with Qt SVG).
// WMF: libwmf draws it with its raster device at its own size, or fitted
// into the box when the box is given and smaller. The output is one line
// "width height pixelWidth pixelHeight length" (the picture's own size in
// 96-dpi pixels; pixel sizes 0 for SVG) followed by `length` bytes: the SVG
// text, or the pixels as 0xAARRGGBB words (AA from 0, opaque, to 127).

#include "tools/metafichier/limites_convertisseur.h"
#include "tools/metafichier/taille_emf.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace convertisseur;

constexpr std::uint32_t CleWmfPlacable = 0x9AC6CDD7;

struct Resultat
{
    double largeur = 0, hauteur = 0;
    int largeurPixels = 0, hauteurPixels = 0;
    const char *donnees = nullptr;
    std::size_t longueur = 0;
    bool memoire = false; // the reader ran out of memory
};

bool convertitEmf(std::vector<char> &octets, Resultat &r)
{
    if (!emf::TailleEmf(reinterpret_cast<const unsigned char *>(octets.data()), octets.size(), r.largeur, r.hauteur))
        return false;
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char *svg = nullptr;
    std::size_t longueur = 0;
    if (emf2svg(octets.data(), octets.size(), &svg, &longueur, &options) == 0 || !svg || longueur == 0)
        return false;
    r.donnees = svg; // freed at exit
    r.longueur = longueur;
    return true;
}

// libwmf's SVG output rounds every colour to an SVG colour name: WMF is drawn
// by its raster device instead, straight at the size asked for.
bool convertitWmf(std::vector<char> &octets, int boiteL, int boiteH, Resultat &r)
{
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    if (wmf_api_create(&api, WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL, &options) != wmf_E_None) {
        if (api) {
            r.memoire = api->err == wmf_E_InsMem;
            wmf_api_destroy(api);
        }
        return false;
    }
    bool ok = wmf_mem_open(api, reinterpret_cast<unsigned char *>(octets.data()), long(octets.size())) == wmf_E_None;
    wmfD_Rect cadre{};
    if (ok)
        ok = wmf_scan(api, 0, &cadre) == wmf_E_None;
    unsigned int largeur = 0, hauteur = 0;
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
            largeur = unsigned(std::lround(l * 96.0 / pouces));
            hauteur = unsigned(std::lround(h * 96.0 / pouces));
        } else {
            ok = wmf_display_size(api, &largeur, &hauteur, 96, 96) == wmf_E_None;
        }
    }
    ok = ok && largeur > 0 && hauteur > 0 && largeur <= unsigned(CoteMax) && hauteur <= unsigned(CoteMax);
    if (ok) {
        int cibleL = int(largeur), cibleH = int(hauteur);
        if (boiteL > 0 && boiteH > 0 && (cibleL > boiteL || cibleH > boiteH)) {
            // Fitted into the box, the aspect kept.
            const double k = std::min(double(boiteL) / cibleL, double(boiteH) / cibleH);
            cibleL = std::max(1, int(cibleL * k));
            cibleH = std::max(1, int(cibleH * k));
        }
        wmf_gd_t *donnees = WMF_GD_GetData(api);
        donnees->type = wmf_gd_image;
        donnees->bbox = cadre;
        donnees->width = unsigned(cibleL);
        donnees->height = unsigned(cibleH);
        ok = wmf_play(api, 0, &cadre) == wmf_E_None && donnees->gd_image;
        const int *pixels = ok ? wmf_gd_image_pixels(donnees->gd_image) : nullptr;
        ok = ok && pixels;
        if (ok) {
            // The drawing stays where the device made it until the process ends.
            r.donnees = reinterpret_cast<const char *>(pixels);
            r.longueur = std::size_t(cibleL) * std::size_t(cibleH) * 4;
        }
        r.largeur = largeur;
        r.hauteur = hauteur;
        r.largeurPixels = cibleL;
        r.hauteurPixels = cibleH;
    }
    if (!ok)
        r.memoire = api->err == wmf_E_InsMem;
    return ok;
}

bool ecritTout(int fd, const char *donnees, std::size_t n)
{
    while (n > 0) {
        const ssize_t e = ::write(fd, donnees, n);
        if (e < 0 && errno == EINTR)
            continue;
        if (e <= 0)
            return false;
        donnees += e;
        n -= std::size_t(e);
    }
    return true;
}

// The whole of standard input, at most EntreeMax bytes.
bool litEntree(std::vector<char> &octets)
{
    char tampon[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, tampon, sizeof tampon);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return !octets.empty();
        if (std::int64_t(octets.size()) + n > EntreeMax)
            return false;
        octets.insert(octets.end(), tampon, tampon + n);
    }
}

[[noreturn]] void plusDeMemoire()
{
    ::_exit(SortieMemoire);
}

} // namespace

int main(int argc, char **argv)
{
    // The cap first, before anything of the file is read.
    const rlimit limite{rlim_t(MemoireMax), rlim_t(MemoireMax)};
    if (::setrlimit(RLIMIT_AS, &limite) != 0)
        return SortieUsage;
    std::set_new_handler(plusDeMemoire);
    if (argc != 2 && argc != 4)
        return SortieUsage;
    const std::string type = argv[1];
    if (type != "emf" && type != "wmf")
        return SortieUsage;
    int boiteL = 0, boiteH = 0;
    if (argc == 4) {
        boiteL = std::atoi(argv[2]);
        boiteH = std::atoi(argv[3]);
    }
    // The libraries talk about what they skip: the drawing keeps standard
    // output's pipe to itself, their words go where standard error goes.
    const int sortie = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (sortie < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return SortieEcriture;
    std::vector<char> octets;
    try {
        if (!litEntree(octets))
            return SortieUsage;
    } catch (const std::bad_alloc &) {
        return SortieMemoire;
    }
    Resultat r;
    // The readers report an allocation refused under the cap as any other
    // failure; the C library's error number tells it apart.
    errno = 0;
    const bool ok = type == "emf" ? convertitEmf(octets, r) : convertitWmf(octets, boiteL, boiteH, r);
    if (!ok)
        return r.memoire || errno == ENOMEM ? SortieMemoire : SortieIllisible;
    // Whole numbers only: the locale may write decimals with a comma.
    char entete[128];
    const int n = std::snprintf(entete, sizeof entete, "%ld %ld %d %d %zu\n", std::lround(r.largeur),
                                std::lround(r.hauteur), r.largeurPixels, r.hauteurPixels, r.longueur);
    if (n <= 0 || !ecritTout(sortie, entete, std::size_t(n)) || !ecritTout(sortie, r.donnees, r.longueur))
        return SortieEcriture;
    // The libraries' memory goes with the process.
    ::_exit(0);
}
