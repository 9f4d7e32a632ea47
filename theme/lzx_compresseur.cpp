#include "theme/lzx_compresseur.h"

#include <algorithm>
#include <cstring>
#include <queue>

namespace cabecriture {
namespace {

constexpr std::uint32_t kNul = 0xFFFFFFFFu;
constexpr int kLongueurMin = 2;
constexpr int kLongueurMax = 257;
constexpr int kLongueursPrincipales = 7; // lengths 2 to 8 go in the main symbol, longer ones in the length tree
constexpr int kArbreLongueurs = 249;
constexpr int kArbrePre = 20;
constexpr int kLongueurCodeMax = 16;
constexpr int kLongueurCodePreMax = 15;
constexpr std::uint16_t kSansLongueur = 0xFFFF;
constexpr int kLongueurSuffisante = 64; // a match this long ends the search
constexpr int kLongueurBonne = 24;      // a match this long shortens the rest of the search
constexpr int kLongueurParesseuse = 32; // a match this long is taken without looking one byte further
constexpr int kLitterauxAvantSaut = 64;
constexpr int kBlocVerbatim = 1;
constexpr int kBlocAligne = 2;
constexpr int kArbreAligne = 8;
constexpr int kLongueurCodeAligneMax = 7;
constexpr int kBlocNonCompresse = 3;
// The scratch output of a verbatim block: every symbol at most 16 bits plus
// 17 extra bits, and the trees.
constexpr int kTailleBrouillon = CompresseurLzx::kTrame * 5 + 8192;

constexpr int kEmplacementsMax = 50;

struct Tables
{
    std::uint32_t base[kEmplacementsMax + 1];
    std::uint8_t extra[kEmplacementsMax + 1];
    constexpr Tables() : base(), extra()
    {
        std::uint32_t b = 0;
        for (int i = 0; i <= kEmplacementsMax; ++i) {
            extra[i] = std::uint8_t(i < 4 ? 0 : std::min((i - 2) / 2, 17));
            base[i] = b;
            b += 1u << extra[i];
        }
    }
};
constexpr Tables kTables;

int emplacement(std::uint32_t decalage)
{
    if (decalage < 4)
        return int(decalage);
    if (decalage >= (1u << 18))
        return 36 + int((decalage - (1u << 18)) >> 17);
    const int haut = 31 - __builtin_clz(decalage);
    return 2 * haut + int((decalage >> (haut - 1)) & 1);
}

// The chains link positions whose next four bytes hash alike.
std::uint32_t hache(const unsigned char *p, int bitsHachage)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return (v * 0x9E3779B1u) >> (32 - bitsHachage);
}

int longueurCommune(const unsigned char *a, const unsigned char *b, int max)
{
    int n = 0;
    while (n + 8 <= max) {
        std::uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            return n + (__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < max && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

void CompresseurLzx::longueursHuffman(const std::vector<std::uint32_t> &frequences, int limite,
                                      std::uint8_t *longueurs)
{
    const int n = int(frequences.size());
    std::vector<std::uint32_t> f(frequences);
    for (;;) {
        struct Noeud
        {
            std::uint64_t poids;
            int index;
        };
        auto plusLourd = [](const Noeud &a, const Noeud &b) {
            return a.poids > b.poids || (a.poids == b.poids && a.index > b.index);
        };
        std::priority_queue<Noeud, std::vector<Noeud>, decltype(plusLourd)> file(plusLourd);
        std::vector<int> parent(size_t(2 * n), -1);
        for (int i = 0; i < n; ++i) {
            if (f[size_t(i)] > 0)
                file.push({f[size_t(i)], i});
        }
        int suivant = n;
        while (file.size() > 1) {
            const Noeud a = file.top();
            file.pop();
            const Noeud b = file.top();
            file.pop();
            parent[size_t(a.index)] = suivant;
            parent[size_t(b.index)] = suivant;
            file.push({a.poids + b.poids, suivant});
            ++suivant;
        }
        int plusLong = 0;
        std::vector<int> profondeur(size_t(suivant), 0);
        for (int i = suivant - 1; i >= 0; --i) {
            if (parent[size_t(i)] >= 0)
                profondeur[size_t(i)] = profondeur[size_t(parent[size_t(i)])] + 1;
        }
        for (int i = 0; i < n; ++i) {
            longueurs[i] = std::uint8_t(f[size_t(i)] > 0 ? profondeur[size_t(i)] : 0);
            plusLong = std::max(plusLong, int(longueurs[i]));
        }
        if (plusLong <= limite)
            return;
        // Too deep: flatten the frequencies and build again.
        for (auto &x : f) {
            if (x > 0)
                x = (x >> 1) | 1;
        }
    }
}

namespace {

// Canonical codes: shorter first, then by symbol.
void codesCanoniques(const std::uint8_t *longueurs, int n, std::uint16_t *codes)
{
    int nombre[kLongueurCodeMax + 2] = {};
    for (int i = 0; i < n; ++i)
        ++nombre[longueurs[i]];
    nombre[0] = 0;
    std::uint32_t prochain[kLongueurCodeMax + 2] = {};
    std::uint32_t code = 0;
    for (int l = 1; l <= kLongueurCodeMax; ++l) {
        code = (code + std::uint32_t(nombre[l - 1])) << 1;
        prochain[l] = code;
    }
    for (int i = 0; i < n; ++i) {
        if (longueurs[i] > 0)
            codes[i] = std::uint16_t(prochain[longueurs[i]]++);
        else
            codes[i] = 0;
    }
}

// Gives a tree at least two used symbols, so that its code is complete.
void completeArbre(std::vector<std::uint32_t> &frequences)
{
    int utilises = 0;
    for (auto x : frequences)
        utilises += x > 0;
    for (size_t i = 0; utilises < 2 && i < frequences.size(); ++i) {
        if (frequences[i] == 0) {
            frequences[i] = 1;
            ++utilises;
        }
    }
}

// Bits in 16-bit little-endian words, most significant bit first.
class Bits
{
public:
    explicit Bits(unsigned char *sortie) : m_sortie(sortie) {}
    void met(std::uint32_t valeur, int nb)
    {
        m_acc = (m_acc << nb) | valeur;
        m_nb += nb;
        while (m_nb >= 16) {
            m_nb -= 16;
            const unsigned mot = unsigned(m_acc >> m_nb) & 0xFFFF;
            m_sortie[m_n++] = static_cast<unsigned char>(mot);
            m_sortie[m_n++] = static_cast<unsigned char>(mot >> 8);
        }
    }
    // Pads with zero bits to the next 16-bit boundary.
    void aligne()
    {
        if (m_nb > 0)
            met(0, 16 - m_nb);
    }
    // 1 to 16 bits of padding, as an uncompressed block's header wants.
    void aligneAuMoinsUn() { met(0, 16 - m_nb); }
    void octets(const unsigned char *p, int n)
    {
        std::memcpy(m_sortie + m_n, p, size_t(n));
        m_n += n;
    }
    int taille() const { return m_n; }

private:
    unsigned char *m_sortie;
    std::uint64_t m_acc = 0;
    int m_nb = 0;
    int m_n = 0;
};

struct SymbolePre
{
    std::uint8_t symbole;
    std::uint8_t nbExtra;
    std::uint8_t extra;
};

// The lengths of one run of a tree, coded against the previous block's
// lengths of the same run: 0 to 16 give the change modulo 17, 17 and 18 a
// run of zeros, 19 a run of four or five equal lengths.
void codeSection(const std::uint8_t *nouv, const std::uint8_t *anc, int n, std::vector<SymbolePre> &sortie)
{
    auto delta = [&](int i) { return std::uint8_t((anc[i] - nouv[i] + 17) % 17); };
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && nouv[i + run] == nouv[i])
            ++run;
        if (nouv[i] == 0 && run >= 4) {
            while (run >= 20) {
                const int r = std::min(run, 51);
                sortie.push_back({18, 5, std::uint8_t(r - 20)});
                i += r;
                run -= r;
            }
            if (run >= 4) {
                sortie.push_back({17, 4, std::uint8_t(run - 4)});
                i += run;
                run = 0;
            }
            for (; run > 0; --run, ++i)
                sortie.push_back({delta(i), 0, 0});
            continue;
        }
        if (run >= 4) {
            const int r = std::min(run, 5);
            sortie.push_back({19, 1, std::uint8_t(r - 4)});
            sortie.push_back({delta(i), 0, 0});
            i += r;
            continue;
        }
        sortie.push_back({delta(i), 0, 0});
        ++i;
    }
}

void ecritSection(Bits &bits, const std::uint8_t *nouv, const std::uint8_t *anc, int n)
{
    std::vector<SymbolePre> symboles;
    symboles.reserve(size_t(n));
    codeSection(nouv, anc, n, symboles);
    std::vector<std::uint32_t> frequences(kArbrePre, 0);
    for (const SymbolePre &s : symboles)
        ++frequences[s.symbole];
    completeArbre(frequences);
    std::uint8_t longueurs[kArbrePre];
    std::uint16_t codes[kArbrePre];
    CompresseurLzx::longueursHuffman(frequences, kLongueurCodePreMax, longueurs);
    codesCanoniques(longueurs, kArbrePre, codes);
    for (int i = 0; i < kArbrePre; ++i)
        bits.met(longueurs[i], 4);
    for (const SymbolePre &s : symboles) {
        bits.met(codes[s.symbole], longueurs[s.symbole]);
        if (s.nbExtra)
            bits.met(s.extra, s.nbExtra);
    }
}

} // namespace

int CompresseurLzx::nombreEmplacements(int bitsFenetre)
{
    static constexpr int kNombre[] = {30, 32, 34, 36, 38, 42, 50};
    return kNombre[std::clamp(bitsFenetre, kBitsMin, kBitsMax) - kBitsMin];
}

CompresseurLzx::CompresseurLzx(int bitsFenetre)
    : m_bits(std::clamp(bitsFenetre, kBitsMin, kBitsMax))
    , m_tailleFenetre(1u << m_bits)
    , m_distanceMax(m_tailleFenetre - 3)
    , m_emplacements(nombreEmplacements(m_bits))
    , m_tailleArbrePrincipal(256 + 8 * m_emplacements)
    // A larger window is asked for a smaller result: the chains are searched deeper.
    , m_profondeur(14 + 2 * (m_bits - kBitsMin))
    , m_capaciteTampon(2 * m_tailleFenetre + kTrame)
    , m_fenetre(new unsigned char[m_capaciteTampon + 8])
    // About four positions of a window per hash value, so that chains of
    // bytes that never repeat stay short.
    , m_bitsHachage(std::max(16, m_bits - 2))
    , m_tete(new std::uint32_t[size_t(1) << m_bitsHachage])
    , m_precedent(new std::uint32_t[m_tailleFenetre])
    , m_brouillon(new unsigned char[size_t(kTailleBrouillon) * 2 * kTramesParBloc])
{
    m_jetons.reserve(size_t(kTrame) * kTramesParBloc);
    reinitialise();
}

CompresseurLzx::~CompresseurLzx() = default;

void CompresseurLzx::reinitialise()
{
    m_base = 0;
    m_fin = 0;
    m_inseres = 0;
    std::fill_n(m_tete.get(), size_t(1) << m_bitsHachage, kNul);
    m_r[0] = m_r[1] = m_r[2] = 1;
    m_premiereTrame = true;
    m_sansCorrespondance = 0;
    m_longueursPrincipal.assign(size_t(m_tailleArbrePrincipal), 0);
    m_longueursLongueur.assign(kArbreLongueurs, 0);
}

void CompresseurLzx::insereJusqua(std::uint32_t limite)
{
    while (m_inseres < limite && m_inseres + 3 < m_fin) {
        const std::uint32_t h = hache(octet(m_inseres), m_bitsHachage);
        m_precedent[m_inseres & (m_tailleFenetre - 1)] = m_tete[h];
        m_tete[h] = m_inseres;
        ++m_inseres;
    }
}

// Roughly the bits a match saves over literals of 8 bits.
int CompresseurLzx::gain(int longueur, std::uint32_t decalage) const
{
    if (decalage < 3)
        return 8 * longueur - 6;
    return 8 * longueur - 10 - kTables.extra[emplacement(decalage)];
}

CompresseurLzx::Correspondance CompresseurLzx::cherche(std::uint32_t p, int maxLongueur) const
{
    Correspondance meilleure;
    if (maxLongueur < kLongueurMin)
        return meilleure;
    const unsigned char *ici = octet(p);
    // The repeated offsets first: they cost no extra bits.
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t d = m_r[k];
        if (d > p || d > m_distanceMax)
            continue;
        const int l = longueurCommune(ici, ici - d, maxLongueur);
        if (l >= kLongueurMin) {
            const int g = gain(l, std::uint32_t(k));
            if (g > meilleure.gain)
                meilleure = {l, std::uint32_t(k), g};
        }
    }
    if (maxLongueur < 4 || meilleure.longueur >= kLongueurSuffisante)
        return meilleure;
    std::uint32_t c = m_tete[hache(ici, m_bitsHachage)];
    int profondeur = m_profondeur;
    int longueurVue = std::max(meilleure.longueur, 2);
    while (c < p && p - c <= m_distanceMax && profondeur-- > 0) {
        const unsigned char *la = octet(c);
        if (la[longueurVue] == ici[longueurVue] && la[0] == ici[0]) {
            const int l = longueurCommune(ici, la, maxLongueur);
            if (l > longueurVue || (l >= 3 && l == longueurVue && meilleure.longueur < 3)) {
                const std::uint32_t decalage = p - c + 2;
                const int g = gain(l, decalage);
                if (g > meilleure.gain) {
                    if (l >= kLongueurBonne && meilleure.longueur < kLongueurBonne)
                        profondeur >>= 2;
                    meilleure = {l, decalage, g};
                    longueurVue = l;
                    if (l >= kLongueurSuffisante || l >= maxLongueur)
                        break;
                }
            }
        }
        c = m_precedent[c & (m_tailleFenetre - 1)];
    }
    return meilleure;
}

void CompresseurLzx::ajouteLitteral(std::uint32_t p)
{
    m_jetons.push_back({*octet(p), kSansLongueur, 0, 0});
}

void CompresseurLzx::ajouteCorrespondance(const Correspondance &c)
{
    const int l = c.longueur - kLongueurMin;
    const int tete = std::min(l, kLongueursPrincipales);
    const int e = emplacement(c.decalage);
    Jeton j;
    j.principal = std::uint16_t(256 + e * 8 + tete);
    j.longueur = tete == kLongueursPrincipales ? std::uint16_t(l - kLongueursPrincipales) : kSansLongueur;
    j.nbExtra = kTables.extra[e];
    j.extra = c.decalage - kTables.base[e];
    m_jetons.push_back(j);
    // The repeated offsets move as the decoder moves them.
    if (c.decalage >= 3) {
        m_r[2] = m_r[1];
        m_r[1] = m_r[0];
        m_r[0] = c.decalage - 2;
    } else if (c.decalage == 1) {
        std::swap(m_r[0], m_r[1]);
    } else if (c.decalage == 2) {
        std::swap(m_r[0], m_r[2]);
    }
}

void CompresseurLzx::analyseTrame(const unsigned char *donnees, int taille)
{
    // Room for the frame, keeping a whole window behind it.
    if (m_fin - m_base + std::uint32_t(taille) > m_capaciteTampon) {
        const std::uint32_t decale = m_fin - m_base - m_tailleFenetre;
        std::memmove(m_fenetre.get(), m_fenetre.get() + decale, m_tailleFenetre);
        m_base += decale;
    }
    std::memcpy(m_fenetre.get() + (m_fin - m_base), donnees, size_t(taille));
    std::memset(m_fenetre.get() + (m_fin - m_base) + taille, 0, 8);
    const std::uint32_t debut = m_fin;
    m_fin += std::uint32_t(taille);

    std::uint32_t p = debut;
    Correspondance attente;
    bool enAttente = false;
    while (p < m_fin) {
        const int reste = int(std::min<std::uint32_t>(kLongueurMax, m_fin - p));
        insereJusqua(p);
        // Past a long run without matches (pictures already compressed,
        // random bytes) only one position in four is searched.
        if (!enAttente && m_sansCorrespondance >= kLitterauxAvantSaut && (m_sansCorrespondance & 3) != 0) {
            ++m_sansCorrespondance;
            ajouteLitteral(p);
            ++p;
            continue;
        }
        Correspondance m = enAttente ? attente : cherche(p, reste);
        enAttente = false;
        if (m.longueur < kLongueurMin || m.gain <= 0) {
            ++m_sansCorrespondance;
            ajouteLitteral(p);
            ++p;
            continue;
        }
        m_sansCorrespondance = 0;
        if (m.longueur < kLongueurParesseuse && p + 1 < m_fin) {
            insereJusqua(p + 1);
            const Correspondance suivante = cherche(p + 1, int(std::min<std::uint32_t>(kLongueurMax, m_fin - p - 1)));
            if (suivante.longueur >= kLongueurMin && suivante.gain > m.gain + 2) {
                ajouteLitteral(p);
                ++p;
                attente = suivante;
                enAttente = true;
                continue;
            }
        }
        ajouteCorrespondance(m);
        p += std::uint32_t(m.longueur);
    }
}

int CompresseurLzx::compresseTrame(const unsigned char *donnees, int taille, unsigned char *sortie)
{
    int longueur = 0;
    compresseTrames(&donnees, &taille, 1, &sortie, &longueur);
    return longueur;
}

void CompresseurLzx::compresseTrames(const unsigned char *const donnees[], const int tailles[], int n,
                                     unsigned char *const sorties[], int longueurs[])
{
    n = std::clamp(n, 0, kTramesParBloc);
    if (n == 0)
        return;
    m_jetons.clear();
    int finJetons[kTramesParBloc];
    std::uint32_t rFin[kTramesParBloc][3];
    for (int k = 0; k < n; ++k) {
        analyseTrame(donnees[k], tailles[k]);
        finJetons[k] = int(m_jetons.size());
        std::copy(m_r, m_r + 3, rFin[k]);
    }

    // Each frame in a block of its own, verbatim or uncompressed, whichever is smaller.
    std::vector<std::uint8_t> seulP = m_longueursPrincipal, seulL = m_longueursLongueur;
    int finsSeul[kTramesParBloc];
    int totalSeul = 0;
    unsigned char *seul = m_brouillon.get();
    for (int k = 0; k < n; ++k) {
        const int premier = k == 0 ? 0 : finJetons[k - 1];
        std::vector<std::uint8_t> lP, lL;
        int fin = 0;
        unsigned char *ici = seul + totalSeul;
        const int v = ecritBloc(premier, &finJetons[k], &tailles[k], 1, seulP, seulL, lP, lL, ici, &fin,
                                m_premiereTrame && k == 0);
        const int u = tailles[k] + (tailles[k] & 1) + 18;
        if (v <= u) {
            seulP = std::move(lP);
            seulL = std::move(lL);
        } else {
            // The decoder takes its repeated offsets from this block's header:
            // those the following frames were parsed with.
            fin = ecritNonCompresse(ici, donnees[k], tailles[k], rFin[k], m_premiereTrame && k == 0);
        }
        totalSeul += fin;
        finsSeul[k] = totalSeul;
    }

    // All the frames in one block: one set of trees.
    bool ensemble = false;
    std::vector<std::uint8_t> blocP, blocL;
    int finsBloc[kTramesParBloc];
    unsigned char *bloc = m_brouillon.get() + kTailleBrouillon * kTramesParBloc;
    if (n > 1) {
        ecritBloc(0, finJetons, tailles, n, m_longueursPrincipal, m_longueursLongueur, blocP, blocL, bloc, finsBloc,
                  m_premiereTrame);
        ensemble = finsBloc[n - 1] < totalSeul;
        for (int k = 0; k < n && ensemble; ++k)
            ensemble = finsBloc[k] - (k ? finsBloc[k - 1] : 0) <= kMaxTrameCompressee;
    }
    const unsigned char *choix = ensemble ? bloc : seul;
    const int *fins = ensemble ? finsBloc : finsSeul;
    for (int k = 0; k < n; ++k) {
        const int debut = k ? fins[k - 1] : 0;
        longueurs[k] = fins[k] - debut;
        std::memcpy(sorties[k], choix + debut, size_t(longueurs[k]));
    }
    m_longueursPrincipal = ensemble ? std::move(blocP) : std::move(seulP);
    m_longueursLongueur = ensemble ? std::move(blocL) : std::move(seulL);
    m_premiereTrame = false;
}

int CompresseurLzx::ecritBloc(int premier, const int finJetons[], const int tailles[], int n,
                              const std::vector<std::uint8_t> &ancP, const std::vector<std::uint8_t> &ancL,
                              std::vector<std::uint8_t> &lP, std::vector<std::uint8_t> &lL, unsigned char *sortie,
                              int fins[], bool entete)
{
    const int dernier = finJetons[n - 1];
    std::vector<std::uint32_t> fPrincipal(size_t(m_tailleArbrePrincipal), 0);
    std::vector<std::uint32_t> fLongueur(kArbreLongueurs, 0);
    std::vector<std::uint32_t> fAligne(kArbreAligne, 0);
    for (int t = premier; t < dernier; ++t) {
        const Jeton &j = m_jetons[size_t(t)];
        ++fPrincipal[j.principal];
        if (j.longueur != kSansLongueur)
            ++fLongueur[j.longueur];
        if (j.nbExtra >= 3)
            ++fAligne[j.extra & 7];
    }
    // An aligned-offset block codes the low three bits of the longer offsets
    // with a tree of their own: worth its 24 bits when those bits repeat.
    completeArbre(fAligne);
    std::uint8_t lA[kArbreAligne];
    std::uint16_t cA[kArbreAligne];
    longueursHuffman(fAligne, kLongueurCodeAligneMax, lA);
    codesCanoniques(lA, kArbreAligne, cA);
    long gainAligne = -3 * kArbreAligne;
    for (int i = 0; i < kArbreAligne; ++i) {
        if (fAligne[size_t(i)] > 0)
            gainAligne += long(fAligne[size_t(i)]) * (3 - lA[i]);
    }
    const bool aligne = gainAligne > 0;
    completeArbre(fPrincipal);
    completeArbre(fLongueur);
    lP.assign(size_t(m_tailleArbrePrincipal), 0);
    lL.assign(kArbreLongueurs, 0);
    std::vector<std::uint16_t> cPrincipal(static_cast<size_t>(m_tailleArbrePrincipal));
    std::vector<std::uint16_t> cLongueur(kArbreLongueurs);
    longueursHuffman(fPrincipal, kLongueurCodeMax, lP.data());
    longueursHuffman(fLongueur, kLongueurCodeMax, lL.data());
    codesCanoniques(lP.data(), m_tailleArbrePrincipal, cPrincipal.data());
    codesCanoniques(lL.data(), kArbreLongueurs, cLongueur.data());

    int taille = 0;
    for (int k = 0; k < n; ++k)
        taille += tailles[k];
    Bits bits(sortie);
    if (entete)
        bits.met(0, 1); // no E8 translation
    bits.met(aligne ? kBlocAligne : kBlocVerbatim, 3);
    bits.met(std::uint32_t(taille), 24);
    if (aligne) {
        for (int i = 0; i < kArbreAligne; ++i)
            bits.met(lA[i], 3);
    }
    ecritSection(bits, lP.data(), ancP.data(), 256);
    ecritSection(bits, lP.data() + 256, ancP.data() + 256, m_tailleArbrePrincipal - 256);
    ecritSection(bits, lL.data(), ancL.data(), kArbreLongueurs);
    int t = premier;
    for (int k = 0; k < n; ++k) {
        for (; t < finJetons[k]; ++t) {
            const Jeton &j = m_jetons[size_t(t)];
            bits.met(cPrincipal[j.principal], lP[j.principal]);
            if (j.longueur != kSansLongueur)
                bits.met(cLongueur[j.longueur], lL[j.longueur]);
            if (aligne && j.nbExtra >= 3) {
                bits.met(j.extra >> 3, j.nbExtra - 3);
                bits.met(cA[j.extra & 7], lA[j.extra & 7]);
            } else if (j.nbExtra) {
                bits.met(j.extra, j.nbExtra);
            }
        }
        // Every frame ends on a 16-bit boundary.
        bits.aligne();
        fins[k] = bits.taille();
    }
    return bits.taille();
}

int CompresseurLzx::ecritNonCompresse(unsigned char *sortie, const unsigned char *donnees, int taille,
                                      const std::uint32_t r[3], bool entete)
{
    Bits bits(sortie);
    if (entete)
        bits.met(0, 1);
    bits.met(kBlocNonCompresse, 3);
    bits.met(std::uint32_t(taille), 24);
    bits.aligneAuMoinsUn();
    for (int k = 0; k < 3; ++k) {
        const unsigned char le[4] = {static_cast<unsigned char>(r[k]), static_cast<unsigned char>(r[k] >> 8),
                                     static_cast<unsigned char>(r[k] >> 16), static_cast<unsigned char>(r[k] >> 24)};
        bits.octets(le, 4);
    }
    bits.octets(donnees, taille);
    if (taille & 1) {
        const unsigned char zero = 0;
        bits.octets(&zero, 1);
    }
    return bits.taille();
}

} // namespace cabecriture
