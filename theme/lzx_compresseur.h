#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// LZX compression as cabinets carry it: one stream per folder, cut into
// frames of 32768 uncompressed bytes (the folder's last frame may be
// shorter), each frame compressed into one data block that ends on a
// 16-bit boundary. Matches come from hash chains with one step of lazy
// evaluation and the three repeated offsets; a frame that would not shrink
// is stored as an uncompressed block. The memory used is fixed by the
// window size, whatever the stream's length.
namespace cabecriture {

class CompresseurLzx
{
public:
    static constexpr int kTrame = 32768;
    // Most bytes one frame can take once compressed (the format's limit).
    static constexpr int kMaxTrameCompressee = kTrame + 6144;
    static constexpr int kBitsMin = 15;
    static constexpr int kBitsMax = 21;
    // Most frames compressed together (one block, one set of trees).
    static constexpr int kTramesParBloc = 4;

    // `bitsFenetre`: 15 to 21, the window being 2^bits bytes.
    explicit CompresseurLzx(int bitsFenetre);
    ~CompresseurLzx();
    CompresseurLzx(const CompresseurLzx &) = delete;
    CompresseurLzx &operator=(const CompresseurLzx &) = delete;

    // Starts a new stream (a new folder).
    void reinitialise();

    // Compresses the next frame of the stream: `taille` bytes, 1 to 32768,
    // less than 32768 only for the stream's last frame. Writes at most
    // kMaxTrameCompressee bytes to `sortie` and returns how many.
    int compresseTrame(const unsigned char *donnees, int taille, unsigned char *sortie);

    // The next `n` frames (1 to kTramesParBloc) of the stream, compressed
    // together: in one block when its one set of trees makes them smaller,
    // else each in its own block. Frame k goes to `sorties[k]` (room for
    // kMaxTrameCompressee bytes), its length to `longueurs[k]`.
    void compresseTrames(const unsigned char *const donnees[], const int tailles[], int n,
                         unsigned char *const sorties[], int longueurs[]);

    // Huffman code lengths no longer than `limite` for `frequences`; every
    // symbol with a frequency gets a length. With at least two such symbols
    // the code is complete, as the decoders require.
    static void longueursHuffman(const std::vector<std::uint32_t> &frequences, int limite, std::uint8_t *longueurs);

    // Number of position slots for a window of 2^bits bytes.
    static int nombreEmplacements(int bitsFenetre);

private:
    struct Jeton
    {
        std::uint16_t principal;  // main tree symbol
        std::uint16_t longueur;   // length tree symbol, or kSansLongueur
        std::uint32_t extra;      // the offset's extra bits
        std::uint8_t nbExtra;
    };
    struct Correspondance
    {
        int longueur = 0;
        std::uint32_t decalage = 0; // formatted offset: 0 to 2 repeated, else distance + 2
        int gain = 0;
    };

    void insereJusqua(std::uint32_t limite);
    Correspondance cherche(std::uint32_t p, int maxLongueur) const;
    int gain(int longueur, std::uint32_t decalage) const;
    void ajouteLitteral(std::uint32_t p);
    void ajouteCorrespondance(const Correspondance &c);
    void analyseTrame(const unsigned char *donnees, int taille);
    int ecritBloc(int premier, const int finJetons[], const int tailles[], int n, const std::vector<std::uint8_t> &ancP,
                  const std::vector<std::uint8_t> &ancL, std::vector<std::uint8_t> &lP, std::vector<std::uint8_t> &lL,
                  unsigned char *sortie, int fins[], bool entete);
    int ecritNonCompresse(unsigned char *sortie, const unsigned char *donnees, int taille, const std::uint32_t r[3],
                          bool entete);
    const unsigned char *octet(std::uint32_t p) const { return m_fenetre.get() + (p - m_base); }

    int m_bits;
    std::uint32_t m_tailleFenetre;
    std::uint32_t m_distanceMax;
    int m_emplacements;
    int m_tailleArbrePrincipal;
    int m_profondeur; // candidates tried per position
    std::uint32_t m_capaciteTampon;
    std::unique_ptr<unsigned char[]> m_fenetre; // the stream's bytes from m_base to m_fin
    std::uint32_t m_base = 0;
    std::uint32_t m_fin = 0;
    std::uint32_t m_inseres = 0; // next position to enter the hash chains
    int m_bitsHachage;
    std::unique_ptr<std::uint32_t[]> m_tete;
    std::unique_ptr<std::uint32_t[]> m_precedent;
    std::uint32_t m_r[3] = {1, 1, 1};
    bool m_premiereTrame = true;
    int m_sansCorrespondance = 0; // positions in a row where no match was found
    std::vector<Jeton> m_jetons;
    std::vector<std::uint8_t> m_longueursPrincipal; // the previous block's lengths
    std::vector<std::uint8_t> m_longueursLongueur;
    std::unique_ptr<unsigned char[]> m_brouillon;
};

} // namespace cabecriture
