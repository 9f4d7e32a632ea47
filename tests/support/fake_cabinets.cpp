#include "tests/support/fake_cabinets.h"

#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>

void DossierCabinet::ecrire(const QString &chemin, const std::vector<std::pair<QString, QByteArray>> &membres)
{
    QByteArray manifeste;
    for (size_t i = 0; i < membres.size(); ++i) {
        manifeste += membres[i].first.toUtf8() + '\n';
        testenv::writeFile(chemin + "/m" + QString::number(i), membres[i].second);
    }
    testenv::writeFile(chemin + "/manifest", manifeste);
}

std::optional<QStringList> DossierCabinet::lister(const QString &cabinet)
{
    QFile f(cabinet + "/manifest");
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool DossierCabinet::extraire(const QString &cabinet, const QString &membre, const QString &destination)
{
    extraits << membre;
    const auto noms = lister(cabinet);
    const qsizetype i = noms ? noms->indexOf(membre) : -1;
    if (i < 0)
        return false;
    QFile::remove(destination);
    return QFile::copy(cabinet + "/m" + QString::number(i), destination);
}

bool CabextractCabinet::disponible()
{
    return QProcess::execute("cabextract", {"--version"}) == 0;
}

std::optional<QStringList> CabextractCabinet::lister(const QString &cabinet)
{
    QProcess p;
    p.start("cabextract", {"-q", "-l", cabinet});
    if (!p.waitForFinished() || p.exitCode() != 0)
        return std::nullopt;
    QStringList noms;
    for (const QString &l : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        const QStringList c = l.split(" | ");
        if (c.size() == 3 && !c[0].contains("File size"))
            noms << c[2].trimmed();
    }
    return noms;
}

bool CabextractCabinet::extraire(const QString &cabinet, const QString &membre, const QString &destination)
{
    QProcess p;
    p.start("cabextract", {"-q", "-p", "-F", membre, cabinet});
    if (!p.waitForFinished() || p.exitCode() != 0)
        return false;
    QFile f(destination);
    return f.open(QIODevice::WriteOnly) && f.write(p.readAllStandardOutput()) >= 0;
}
