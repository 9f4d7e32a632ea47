#pragma once

#include <QString>

namespace testenv {

// A folder whose file system is full. A small tmpfs is mounted on it when
// this process may mount (root); otherwise every write(), pwrite() and
// writev() of this process to a file under the folder fails with ENOSPC
// while the disk is full, which is what a full disk does to a program.
//
// Files put in the folder before remplit() are kept; after remplit() no byte
// more (or only `reste` bytes more) can be written there until libere().
class DisquePlein
{
public:
    explicit DisquePlein(const QString &dossier);
    ~DisquePlein();
    DisquePlein(const DisquePlein &) = delete;
    DisquePlein &operator=(const DisquePlein &) = delete;

    // False when neither can be had (no right to mount, under a sanitizer):
    // the test should then skip.
    bool pret() const { return m_pret; }
    bool tmpfs() const { return m_tmpfs; }
    QString dossier() const { return m_dossier; }

    // Leaves `reste` bytes of room (a multiple of 4096 on a tmpfs).
    void remplit(qint64 reste = 0);
    void libere();

private:
    QString m_dossier;
    QString m_remplissage;
    bool m_pret = false;
    bool m_tmpfs = false;
};

} // namespace testenv
