#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Cabinet building over libgcab. Only the cabinet component uses it; nothing
// else in the program sees libgcab.
namespace cabgcab {

struct MembreAEcrire
{
    QByteArray nom;      // stored name, UTF-8, "\" separators
    QByteArray donnees;  // the member's bytes
    quint16 dateDos = 0; // DOS date and time as stored
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
    QString detail; // the library's own message, for the log
};

// Writes the members in order, as one folder, into a new file at `chemin`
// (which must not exist yet). `compression` is the folder's compression code:
// 0 none, 1 MSZIP; anything else is refused with ErrTypeCompression.
// `avantMembre(i)` is called before member i is compressed. `idEnsemble` is
// stored as the cabinet's set id. On failure the file at `chemin` is removed.
Resultat ecritCabinet(const QString &chemin, int compression, const std::vector<MembreAEcrire> &membres,
                      quint16 idEnsemble, const std::function<void(int)> &avantMembre);

} // namespace cabgcab
