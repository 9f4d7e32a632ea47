#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Writes a file so that nothing but a complete new file ever takes the place
// of the old one: the bytes go to a temporary file beside it, written without
// a buffer so that every write is checked where it happens (a buffered
// QSaveFile of Qt 6.4 loses the error of the flush inside commit() and renames
// an empty file over the old one), the size on disk is checked, the data is
// synced, and only then is the temporary file renamed into place.
//
// On any failure the temporary file is removed, the old file is left
// byte-identical, and raison() says what failed ("No space left on device").
// Makes the renames and removals made in `dossier` durable, as far as its
// file system allows (some refuse to sync a folder: nothing is reported).
void SynchroniseDossier(const QString &dossier);

class EcritureAtomique
{
public:
    explicit EcritureAtomique(const QString &chemin);
    ~EcritureAtomique(); // a write never validated is abandoned
    EcritureAtomique(const EcritureAtomique &) = delete;
    EcritureAtomique &operator=(const EcritureAtomique &) = delete;

    bool ouvre();
    bool ecrit(const char *donnees, qint64 taille);
    bool ecrit(const QByteArray &octets) { return ecrit(octets.constData(), octets.size()); }
    // Checks the size written, syncs and renames into place.
    bool valide();
    // Drops what was written; the old file stays as it was.
    void abandonne();

    QString chemin() const { return m_chemin; }
    QString raison() const { return m_raison; }

private:
    bool echoue(const QString &raison);

    QString m_chemin;
    QSaveFile m_fichier;
    qint64 m_ecrits = 0;
    bool m_echec = false;
    QString m_raison;
};

// Writes octets to chemin in one atomic step (see EcritureAtomique). False,
// with *raison set to what failed, when the file could not be written; the
// old file is then unchanged and no temporary file is left.
bool EcritFichierAtomique(const QString &chemin, const QByteArray &octets, QString *raison = nullptr);

// Copies source over cible the same way, a block at a time (nothing but the
// block is held in memory). False, with *raison set, when the source cannot
// be read or the copy cannot be written; cible is then unchanged.
bool CopieFichierAtomique(const QString &source, const QString &cible, QString *raison = nullptr);
