#pragma once

#include <QString>

// The temporary files the cabinet component writes next to their final name
// (".orvandel-cab-<random>.tmp"). Each is held under an exclusive advisory
// lock while it is written, so that one left behind by a killed process can be
// told from one still being written by a live one: the lock dies with its
// process.
namespace cabtemp {

class Temporaire
{
public:
    Temporaire() = default;
    ~Temporaire(); // closes and removes the file unless it was kept
    Temporaire(const Temporaire &) = delete;
    Temporaire &operator=(const Temporaire &) = delete;

    // Creates and locks a new temporary in `dossier`. False (with `erreur`)
    // when it cannot be created.
    bool cree(const QString &dossier, QString &erreur);

    int fd() const { return m_fd; }
    const QString &chemin() const { return m_chemin; }

    // Renames the file over `cible` and closes it; false (with `erreur`) when
    // the close or the rename fails, the temporary then being removed.
    bool remplace(const QString &cible, QString &erreur);
    // Closes and removes the file.
    void abandonne();

private:
    int m_fd = -1;
    QString m_chemin;
};

// Removes from `dossier` the temporaries that no live process holds. Returns
// how many were removed.
int balaie(const QString &dossier);

} // namespace cabtemp
