#pragma once

// A named pipe standing where the program expects a file, watched so that a
// test can never hang on it: a thread keeps trying to open the pipe's write
// end without waiting, which succeeds only while someone holds its read end
// open. Each success is counted (a reader was there: the program opened the
// pipe) and the write end is closed at once, so a reader stuck in open() or
// read() gets an end of file and goes on. Hanging is impossible; the count
// tells whether the program would have hung.

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testenv {

class TubeSurveille
{
public:
    explicit TubeSurveille(const QString &chemin) : m_chemin(QFile::encodeName(chemin))
    {
        m_cree = ::mkfifo(m_chemin.constData(), 0600) == 0;
        if (m_cree)
            m_veilleur = std::thread([this] { veille(); });
    }
    ~TubeSurveille() { arrete(); }
    TubeSurveille(const TubeSurveille &) = delete;
    TubeSurveille &operator=(const TubeSurveille &) = delete;

    bool cree() const { return m_cree; }
    // How many times a reader was found holding the pipe open.
    int lecteurs() const { return m_lecteurs.load(); }
    void arrete()
    {
        m_fin = true;
        if (m_veilleur.joinable())
            m_veilleur.join();
    }

private:
    void veille()
    {
        while (!m_fin) {
            // Once the program has put a file of its own under the name, the
            // pipe is gone and nothing is watched any more.
            struct stat st {};
            if (::lstat(m_chemin.constData(), &st) == 0 && S_ISFIFO(st.st_mode)) {
                const int fd = ::open(m_chemin.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode))
                        ++m_lecteurs;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    QByteArray m_chemin;
    bool m_cree = false;
    std::atomic<bool> m_fin{false};
    std::atomic<int> m_lecteurs{0};
    std::thread m_veilleur;
};

} // namespace testenv
