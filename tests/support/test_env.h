#pragma once

#include <QString>

// Every test case gets its own folders under a fresh temporary tree: a
// program folder and a TMPDIR, so tests never share files, whether ctest runs
// each case alone (also under -j) or a test binary runs whole.
namespace testenv {

QString rootDir();    // the whole tree of the running test case
QString programDir(); // stands for the program folder
QString tempDir();    // the TMPDIR of the running test case
QString cheminTemp(const QString &nom); // a file of that name in tempDir()
QString testDataDir(); // files written by other tools (../shared/testdata)
QString buildDir();    // the build tree: the program is buildDir() + "/bin/orvandel"

// Writes bytes to a file, creating its folder; fails the test on error.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Makes a folder refuse new and deleted entries for this process while the
// object lives: a read-only mode for an ordinary user, the immutable
// attribute for root (who ignores modes). actif() is false when the file
// system offers neither; the test should then skip.
class DossierVerrouille
{
public:
    explicit DossierVerrouille(const QString &dossier);
    ~DossierVerrouille();
    DossierVerrouille(const DossierVerrouille &) = delete;
    DossierVerrouille &operator=(const DossierVerrouille &) = delete;
    bool actif() const { return m_actif; }
    void libere();

private:
    QString m_dossier;
    bool m_actif = false;
    bool m_immuable = false;
    unsigned m_mode = 0;
};

} // namespace testenv
