#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Crafts CE setup files (".000") for tests: every table laid out as the
// device reads it, counts and offsets computed, and fields that a test may
// then spoil on purpose through patch().
struct SetupCeBuilder
{
    struct Chaine { uint16_t id; QByteArray texte; };
    struct Rep { uint16_t id; std::vector<uint16_t> ids; }; // ids without the closing 0
    struct Fichier { uint16_t id; uint16_t rep; uint32_t drapeaux; QByteArray nom; };
    struct Ruche { uint16_t id; uint16_t racine; std::vector<uint16_t> ids; };
    struct Cle { uint16_t ruche; uint32_t drapeaux; QByteArray nom; QByteArray donnees; };
    struct Lien { uint16_t rep; uint16_t dossierCE; uint16_t cible; uint16_t typeCible; std::vector<uint16_t> ids; };

    QByteArray signature = "MSCE";
    QByteArray appli = "MonTheme";
    QByteArray fournisseur = "Pelorin";
    QByteArray plateformes = QByteArray("HPC\0JUPITER\0\0", 13);
    uint32_t processeur = 2577, vMinMaj = 3, vMinMin = 0, vMaxMaj = 100, vMaxMin = 0, buildMin = 0, buildMax = 0;
    std::vector<Chaine> chaines;
    std::vector<Rep> reps;
    std::vector<Fichier> fichiers;
    std::vector<Ruche> ruches;
    std::vector<Cle> cles;
    std::vector<Lien> liens;

    // The tables a theme package carries: strings %CE2%, %CE2%, Software,
    // Microsoft, Color, Today, theme.tsk; directories 2 and 1; hives Color
    // (HKLM), Today and the theme key (HKCU); no files or keys yet.
    static SetupCeBuilder theme(const QByteArray &nomCle = "MonTheme.tsk");
    void fichier(uint16_t id, const QByteArray &nom) { fichiers.push_back({id, 2, 0x40000000, nom}); }
    void cleBinaire(uint16_t ruche, const QByteArray &nom, const QByteArray &octets)
    {
        cles.push_back({ruche, 1, nom, octets});
    }
    void cleDword(uint16_t ruche, const QByteArray &nom, uint32_t v);

    QByteArray build() const;
};

// Overwrites a little-endian field of bytes already built.
void patch16(QByteArray &b, int offset, uint16_t v);
void patch32(QByteArray &b, int offset, uint32_t v);
