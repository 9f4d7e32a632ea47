#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// Helpers shared by the cabinet tests: a cabinet writer made by hand from the
// published format (so hostile headers can be crafted byte by byte), and the
// `cabextract` tool as an independent reader.
namespace cabtest {

struct MembreBrut
{
    QByteArray nom;
    QByteArray donnees;
    quint16 attributs = 0x20;
    quint16 date = (29 << 9) | (4 << 5) | 29; // 29.04.2009
    quint16 heure = (14 << 11) | (46 << 5) | 11; // 14:46:22
    quint16 dossier = 0;
    qint64 tailleDeclaree = -1; // the stored size when not the data's
};

// An uncompressed cabinet of one folder; block checksums left at 0 unless
// `sommes` is set.
QByteArray fabriqueCab(const std::vector<MembreBrut> &membres, bool sommes = false);

// Offsets in the cabinets fabriqueCab writes.
constexpr int kOffsetNbFichiers = 28;

struct LigneListe
{
    qint64 taille;
    QDateTime date;
    QString nom;
    bool operator==(const LigneListe &) const = default;
};

// `cabextract -l`; nothing when the tool fails.
std::vector<LigneListe> listeCabextract(const QString &cab, bool *ok = nullptr);
// `cabextract -d dossier`; its exit status.
int extraitCabextract(const QString &cab, const QString &dossier);

// Every file under a folder, relative paths with "/" (hidden ones included), sorted.
QStringList arborescence(const QString &dossier);

} // namespace cabtest
