#pragma once

// What a process killed at a given moment leaves in a folder: a test takes
// the folder's files at that moment (from a hook the program runs there),
// lets the program go on, then puts the folder back as the kill would have
// left it before starting the program again. Or the work really runs in a
// child process that kills itself at that moment.

#include "tests/support/test_env.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace testenv {

// The plain files of a folder, hidden ones included, by name.
using Instantane = std::map<QString, QByteArray>;

inline Instantane prendInstantane(const QString &dossier)
{
    Instantane i;
    const QDir d(dossier);
    for (const QString &nom : d.entryList(QDir::Files | QDir::Hidden))
        i[nom] = readFile(d.filePath(nom));
    return i;
}

// The folder holds exactly the files of `i` again (sub-folders are left).
inline void remetInstantane(const QString &dossier, const Instantane &i)
{
    const QDir d(dossier);
    for (const QString &nom : d.entryList(QDir::Files | QDir::Hidden))
        if (!i.count(nom))
            QFile::remove(d.filePath(nom));
    for (const auto &[nom, octets] : i)
        writeFile(d.filePath(nom), octets);
}

// Runs `travail` in a child process, which is expected to kill itself with
// SIGKILL on the way. True when it did; a child still running after 20
// seconds is killed and counts as a failure, so the test cannot hang.
inline bool executeJusquAuKill(const std::function<void()> &travail)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        travail();
        ::_exit(0);
    }
    int statut = 0;
    const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (::waitpid(pid, &statut, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > fin) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &statut, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL;
}

} // namespace testenv
