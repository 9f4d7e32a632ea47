#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;

// Cabinet reading over libmspack. Only the cabinet component uses it; nothing
// else in the program sees libmspack. The library never opens a file by a
// name taken from the cabinet: its only input is the cabinet given to
// `ouvre`, and its only output the device given to `extrait`.
namespace cabmspack {

enum class Erreur {
    Aucune,
    Ouverture,     // the cabinet file cannot be opened
    PasUnCabinet,  // no "MSCF" signature
    Format,        // inconsistent headers or data
    Lecture,       // the cabinet ends too early or cannot be read
    Somme,         // a data block fails its checksum
    Decompression, // compressed data is corrupt, or the member lies beyond its folder
    Ecriture,      // the output refused bytes
    Memoire,
    Autre,
};

struct MembreLu
{
    QByteArray nomBrut;  // as stored
    QString nom;         // decoded: UTF-8 when flagged so, else Windows-1252
    bool nomLisible = true; // false when flagged UTF-8 but not valid UTF-8 (nom is then a lossy decoding)
    quint32 taille = 0;  // uncompressed size
    quint16 attributs = 0;
    int annee = 1980, mois = 0, jour = 0, heure = 0, minute = 0, seconde = 0;
};

class LecteurCab
{
public:
    LecteurCab();
    ~LecteurCab();
    LecteurCab(const LecteurCab &) = delete;
    LecteurCab &operator=(const LecteurCab &) = delete;

    // Reads the headers and the member list.
    Erreur ouvre(const QString &chemin);
    const std::vector<MembreLu> &membres() const { return m_membres; }

    // Decompresses member `index` into `sortie` (open for writing).
    // `progression(octetsEcrits)` follows each write.
    Erreur extrait(int index, QIODevice &sortie, const std::function<void(qint64)> &progression);

    // The output's error text after Erreur::Ecriture.
    QString erreurSortie() const;

    struct Etat;

private:
    std::unique_ptr<Etat> m_etat;
    std::vector<MembreLu> m_membres;
};

} // namespace cabmspack
