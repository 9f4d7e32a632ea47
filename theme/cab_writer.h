#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Cabinet writing: the published cabinet format, stored, MSZIP or LZX, streamed
// from the source files into the cabinet with a fixed amount of memory
// whatever their size. Only the cabinet component uses it.
namespace cabecriture {

// One source file and how it is stored. `taille` and `mtimeNs` are the file's
// size and modification time when the list was made: a source found
// different when it is read (grown, shrunk, rewritten) fails the build, so
// that no cabinet ever has headers that disagree with its data.
struct Source
{
    QString chemin;
    QByteArray nom;       // stored name, "\" separators (Windows-1252 or UTF-8, see attributs)
    qint64 taille = 0;
    qint64 mtimeNs = 0;   // nanoseconds since the epoch
    quint16 dateDos = 0;  // DOS date and time as stored
    quint16 heureDos = 0;
    quint16 attributs = 0;
};

// Error codes, numbered like the platform's cabinet-building interface.
enum CodeErreur {
    ErrAucune = 0,
    ErrOuvertureSource = 1,
    ErrLectureSource = 2,
    ErrMemoire = 3,
    ErrFichierTemporaire = 4,
    ErrTypeCompression = 5,
    ErrCreationCabinet = 6,
    ErrAbandon = 7,
    ErrCompression = 8,
    ErrInconnue = 9,
};

struct Resultat
{
    int code = ErrAucune;
    QString detail; // the system's message, or what went wrong
    bool systeme = false; // detail is the system's message for a failed call
};

struct Parametres
{
    int compression = 0;          // 0 none, 1 MSZIP, 3 + 256 * window bits (15 to 21) LZX;
                                  // anything else is refused with ErrTypeCompression
    quint16 idEnsemble = 0;       // the cabinet's set id
    qint64 seuilDossier = 900000; // a new folder starts at the next member once a folder holds this many bytes
};

// Largest source the format can hold in one folder.
constexpr qint64 kTailleMaxSource = qint64(65535) * 32768;

// Writes the sources in order into the open, empty file `fd` (positioned
// anywhere: it is written by offset). `progression(octets)` follows each
// finished member with the source bytes stored so far.
Resultat ecritCabinet(int fd, const std::vector<Source> &sources, const Parametres &parametres,
                      const std::function<void(qint64)> &progression);

// The block checksum of the format, over `data` then continuing from `graine`.
quint32 somme(const unsigned char *data, size_t octets, quint32 graine);

} // namespace cabecriture
