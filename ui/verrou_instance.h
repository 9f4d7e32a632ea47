#pragma once

#include <QString>

#include <memory>

// A single-instance guard: an exclusive flock() on a lock file, held for as
// long as the object lives (the file is then removed). The file itself holds
// nothing; only the lock on it counts, so a file that nobody holds is the
// leftover of a run that ended without removing it (killed, a power cut),
// whatever it contains, and is taken over.
//
// Taking the guard never waits: the existing file is opened only when it is a
// plain file, without waiting. A name that is no plain file (a named pipe, a
// socket, a symbolic link) is nothing an instance made: it is no guard of a
// running instance and is removed to make room for the lock. A folder under
// the name is never removed; the guard then cannot be had.
class VerrouInstance
{
public:
    enum class Etat
    {
        Tenu,         // held by this object
        PrisAilleurs, // held by a running instance (or another object of this one)
        Impossible,   // no lock can be made there (a read-only folder without a lock file...)
    };

    // Takes the guard `chemin`; nothing when it is not held (*etat says why,
    // *raison what failed when it is Impossible).
    static std::unique_ptr<VerrouInstance> prends(const QString &chemin, Etat *etat = nullptr, QString *raison = nullptr);

    ~VerrouInstance();
    VerrouInstance(const VerrouInstance &) = delete;
    VerrouInstance &operator=(const VerrouInstance &) = delete;

    QString chemin() const { return m_chemin; }

private:
    VerrouInstance(const QString &chemin, int fd) : m_chemin(chemin), m_fd(fd) {}

    QString m_chemin;
    int m_fd = -1;
};
