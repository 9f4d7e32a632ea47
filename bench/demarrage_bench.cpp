// Start-up time: from the start of a process to the first painted main
// window, ours against a bare Qt Widgets window built the same way (the same
// program, offscreen, a QMainWindow of the same size shown at once). Each run
// is a whole process; the runs go in interleaved pairs, the order alternating
// from pair to pair, and the table gives the median times and the median of
// the pair ratios (ours / bare), by the wall clock and in processor time (the
// steadier figure on a busy machine).
//
// With --saved-colours the program folder holds a working colour set unlike
// the defaults, as the last close of a user who changed colours left it: the
// start-up then loads it into the document, slot by slot.
//
//   demarrage_bench [--pairs N] [--saved-colours]
#include "app/console_prompts.h"
#include "app/orvandel_main_window.h"
#include "resources/ressources.h"
#include "theme/fichier_couleurs.h"
#include "theme/theme_document.h"
#include "ui/dossiers_programme.h"
#include "ui/polices.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Signals on `fd` once the window has been painted for the first time (its
// size), then ends the process at once: what is measured ends there.
class GuetPeinture : public QObject
{
public:
    GuetPeinture(QWidget *fenetre, int fd) : m_fenetre(fenetre), m_fd(fd) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        if (!m_vu && e->type() == QEvent::Paint && objet->isWidgetType()
            && static_cast<QWidget *>(objet)->window() == m_fenetre) {
            m_vu = true;
            // The whole window is painted in one go: this runs after it.
            QTimer::singleShot(0, this, [this] {
                const std::string t = std::to_string(m_fenetre->width()) + " " + std::to_string(m_fenetre->height());
                if (::write(m_fd, t.c_str(), t.size()) < 0)
                    ::_exit(3);
                ::close(m_fd);
                ::_exit(0);
            });
        }
        return false;
    }

private:
    QWidget *m_fenetre;
    int m_fd;
    bool m_vu = false;
};

int lanceOrvandel(int argc, char **argv, int fd)
{
    QApplication app(argc, argv);
    initialiseRessources();
    QApplication::setApplicationName(QStringLiteral("Orvandel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orvandel"));
    EnregistrePolices();
    ConsolePrompts prompts;
    DossiersProgramme dossiers;
    const Demarrage demarrage = InitialisationUnite(dossiers, prompts);
    if (demarrage.codeSortie != 0)
        return demarrage.codeSortie;
    dossiers.DossierAppli = DossierAppliPour(QCoreApplication::applicationDirPath());
    dossiers.FichierCouleurs = FichierCouleursPour(dossiers.DossierAppli, QCoreApplication::applicationFilePath());
    TOrvandel fenetre(dossiers, &prompts);
    GuetPeinture guet(&fenetre, fd);
    fenetre.show();
    return app.exec();
}

int lanceNue(int argc, char **argv, int fd, int largeur, int hauteur)
{
    QApplication app(argc, argv);
    QMainWindow fenetre;
    fenetre.setCentralWidget(new QLabel(QStringLiteral("Orvandel")));
    fenetre.resize(largeur, hauteur);
    GuetPeinture guet(&fenetre, fd);
    fenetre.show();
    return app.exec();
}

struct Mesure
{
    double secondes = 0;    // wall clock, start to first paint
    double secondesCpu = 0; // processor time of the process (user and system)
    int largeur = 0, hauteur = 0;
    bool ok = false;
};

Mesure lance(const std::vector<std::string> &arguments)
{
    int tube[2];
    if (::pipe(tube) != 0)
        return {};
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const auto debut = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(tube[0]);
        const int nul = ::open("/dev/null", O_WRONLY);
        if (nul >= 0)
            ::dup2(nul, 2);
        ::setenv("ORVANDEL_BENCH_FD", std::to_string(tube[1]).c_str(), 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(tube[1]);
    Mesure m;
    char texte[64] = {};
    const ssize_t n = ::read(tube[0], texte, sizeof texte - 1);
    m.secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    ::close(tube[0]);
    int statut = 0;
    struct rusage ru {};
    ::wait4(pid, &statut, 0, &ru);
    m.secondesCpu = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec)
                    + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    m.ok = n > 0 && std::sscanf(texte, "%d %d", &m.largeur, &m.hauteur) == 2;
    if (!(WIFEXITED(statut) && WEXITSTATUS(statut) == 0))
        m.ok = false;
    return m;
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "--orvandel") == 0 || std::strcmp(argv[1], "--nue") == 0)) {
        const int fd = std::atoi(qgetenv("ORVANDEL_BENCH_FD").constData());
        if (std::strcmp(argv[1], "--orvandel") == 0)
            return lanceOrvandel(argc, argv, fd);
        return argc == 4 ? lanceNue(argc, argv, fd, std::atoi(argv[2]), std::atoi(argv[3])) : 2;
    }
    int paires = 15;
    bool couleursSauvees = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pairs") == 0 && i + 1 < argc)
            paires = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--saved-colours") == 0)
            couleursSauvees = true;
        else {
            std::fprintf(stderr, "usage: demarrage_bench [--pairs N] [--saved-colours]\n");
            return 2;
        }
    }

    char soi[4096];
    const ssize_t n = ::readlink("/proc/self/exe", soi, sizeof soi - 1);
    if (n <= 0)
        return 2;
    soi[n] = 0;
    // Our runs keep their program folder (the options file written at the
    // first close is read by the next start) and their work folder apart
    // from any real one.
    QTemporaryDir tmp;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("ORVANDEL_PROGRAM_DIR", qPrintable(tmp.path() + "/programme"), 1);
    ::setenv("TMPDIR", qPrintable(tmp.path()), 1);
    ::setenv("ORVANDEL_BATCH", "1", 1);
    QDir().mkpath(tmp.path() + "/programme");
    if (couleursSauvees) {
        ThemeDocument theme;
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
            theme.setCouleur(i, TColor::fromRgb(11 * i + 3, 250 - 9 * i, (37 * i) % 256));
        const QString fichier = FichierCouleursPour(tmp.path() + "/programme/", QString::fromLocal8Bit(soi));
        if (!SauveCouleurs(theme, fichier, true)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(fichier));
            return 1;
        }
    }

    // A first run of each, untimed: the window's size, and warm caches.
    const Mesure essai = lance({soi, "--orvandel"});
    if (!essai.ok) {
        std::fprintf(stderr, "the main window did not start\n");
        return 1;
    }
    const std::vector<std::string> nue{soi, "--nue", std::to_string(essai.largeur), std::to_string(essai.hauteur)};
    lance(nue);

    std::vector<double> nous, eux, ratios, nousCpu, euxCpu, ratiosCpu;
    for (int p = 0; p < paires; ++p) {
        Mesure a, b;
        if (p % 2 == 0) {
            a = lance({soi, "--orvandel"});
            b = lance(nue);
        } else {
            b = lance(nue);
            a = lance({soi, "--orvandel"});
        }
        if (!a.ok || !b.ok) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        nous.push_back(a.secondes);
        eux.push_back(b.secondes);
        ratios.push_back(a.secondes / b.secondes);
        nousCpu.push_back(a.secondesCpu);
        euxCpu.push_back(b.secondesCpu);
        ratiosCpu.push_back(a.secondesCpu / b.secondesCpu);
    }
    std::printf("Start to first painted main window (%d x %d, offscreen%s), %d interleaved pairs:\n", essai.largeur,
                essai.hauteur, couleursSauvees ? ", saved colours" : "", paires);
    std::printf("  wall clock:     main window %6.1f ms   bare Qt window %6.1f ms   ratio %.2f (median of the pairs)\n",
                1000 * mediane(nous), 1000 * mediane(eux), mediane(ratios));
    std::printf("  processor time: main window %6.1f ms   bare Qt window %6.1f ms   ratio %.2f\n",
                1000 * mediane(nousCpu), 1000 * mediane(euxCpu), mediane(ratiosCpu));
    return 0;
}
