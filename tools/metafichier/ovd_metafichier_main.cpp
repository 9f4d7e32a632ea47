// ovd-metafichier: draws one Windows metafile for the program, in a process
// of its own with a memory cap and a time limit set by the program, so that
// a damaged or hostile file can neither crash, hang nor exhaust it.
//
//   ovd-metafichier emf|wmf WIDTH HEIGHT AARRGGBB < file > drawing
//
// The picture is drawn whole at exactly WIDTH x HEIGHT over the colour
// AARRGGBB (0 0 only measures it) and handed back as pixels of that size
// after a fixed header (tools/metafichier/limites_convertisseur.h), so what
// the program receives never depends on what the file holds.

#include "tools/metafichier/dessin_metafichier.h"
#include "tools/metafichier/limites_convertisseur.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are written as the host's 32-bit words");

namespace {

using namespace convertisseur;

bool ecritTout(int fd, const void *donnees, std::size_t n)
{
    const auto *o = static_cast<const char *>(donnees);
    while (n > 0) {
        const ssize_t e = ::write(fd, o, n);
        if (e < 0 && errno == EINTR)
            continue;
        if (e <= 0)
            return false;
        o += e;
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

// A whole decimal number of at most 5 digits.
bool litEntier(const char *texte, int &valeur)
{
    const std::size_t n = std::strlen(texte);
    if (n == 0 || n > 5)
        return false;
    valeur = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (texte[i] < '0' || texte[i] > '9')
            return false;
        valeur = valeur * 10 + (texte[i] - '0');
    }
    return true;
}

bool litCouleur(const char *texte, std::uint32_t &couleur)
{
    if (std::strlen(texte) != 8)
        return false;
    couleur = 0;
    for (int i = 0; i < 8; ++i) {
        const char c = texte[i];
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                      : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (v < 0)
            return false;
        couleur = couleur << 4 | std::uint32_t(v);
    }
    return true;
}

[[noreturn]] void plusDeMemoire()
{
    ::_exit(SortieMemoire);
}

// Qt reports a refused allocation by throwing through code built without
// exceptions, which ends here.
[[noreturn]] void fin()
{
    if (const std::exception_ptr e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::bad_alloc &) {
            ::_exit(SortieMemoire);
        } catch (...) {
        }
    }
    std::abort();
}

// A side of the own size as the header carries it, rounded as the program's
// header reader rounds it.
std::uint32_t cote(double v)
{
    if (!(v >= 0.5))
        return 0;
    return v < 4294967295.0 ? std::uint32_t(std::lround(v)) : 0xFFFFFFFFu;
}

} // namespace

namespace convertisseur {

bool TaillePropreValide(double largeur, double hauteur)
{
    return largeur >= 0.5 && hauteur >= 0.5 && largeur < CoteMax + 0.5 && hauteur < CoteMax + 0.5;
}

} // namespace convertisseur

int main(int argc, char **argv)
{
    // The cap first, before anything of the file is read.
    const rlimit limite{rlim_t(MemoireMax), rlim_t(MemoireMax)};
    if (::setrlimit(RLIMIT_AS, &limite) != 0)
        return SortieUsage;
    // One heap: each further arena would reserve 64 MB of the address space.
    mallopt(M_ARENA_MAX, 1);
    std::set_new_handler(plusDeMemoire);
    std::set_terminate(fin);
    if (argc != 5)
        return SortieUsage;
    const std::string type = argv[1];
    Demande demande;
    if ((type != "emf" && type != "wmf") || !litEntier(argv[2], demande.largeur)
        || !litEntier(argv[3], demande.hauteur) || !litCouleur(argv[4], demande.fond)
        || !DessinPermis(demande.largeur, demande.hauteur))
        return SortieUsage;
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
    const bool ok = type == "emf" ? DessineEmf(octets, demande, r) : DessineWmf(octets, demande, r);
    if (!ok)
        return r.memoire || errno == ENOMEM ? SortieMemoire : SortieIllisible;
    Entete e;
    e.largeur = cote(r.largeur);
    e.hauteur = cote(r.hauteur);
    if (r.pixels) {
        e.largeurDessin = std::uint32_t(demande.largeur);
        e.hauteurDessin = std::uint32_t(demande.hauteur);
    }
    unsigned char entete[TailleEntete];
    EcritEntete(e, entete);
    if (!ecritTout(sortie, entete, sizeof entete)
        || (r.pixels && !ecritTout(sortie, r.pixels, std::size_t(demande.largeur) * std::size_t(demande.hauteur) * 4)))
        return SortieEcriture;
    // The libraries' memory goes with the process.
    ::_exit(0);
}
