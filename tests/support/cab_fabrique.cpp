#include "tests/support/cab_fabrique.h"

#include "theme/byte_io.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

namespace cabtest {
namespace {

constexpr int kTailleEntete = 36;
constexpr int kTailleDossier = 8;
constexpr int kTailleFichier = 16;
constexpr int kTailleBloc = 32768;

quint32 somme(const QByteArray &donnees, quint32 depart)
{
    quint32 s = depart;
    const auto *p = reinterpret_cast<const uchar *>(donnees.constData());
    const qsizetype n = donnees.size();
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4)
        s ^= quint32(p[i]) | quint32(p[i + 1]) << 8 | quint32(p[i + 2]) << 16 | quint32(p[i + 3]) << 24;
    quint32 reste = 0;
    switch (n - i) {
    case 3: reste |= quint32(p[i++]) << 16; [[fallthrough]];
    case 2: reste |= quint32(p[i++]) << 8; [[fallthrough]];
    case 1: reste |= quint32(p[i]);
    }
    return s ^ reste;
}

} // namespace

QByteArray fabriqueCab(const std::vector<MembreBrut> &membres, bool sommes)
{
    QByteArray donnees;
    qsizetype tailleNoms = 0;
    for (const MembreBrut &m : membres) {
        donnees += m.donnees;
        tailleNoms += m.nom.size() + 1;
    }
    const int nbBlocs = int((donnees.size() + kTailleBloc - 1) / kTailleBloc);
    const quint32 debutDonnees = quint32(kTailleEntete + kTailleDossier + membres.size() * kTailleFichier + tailleNoms);

    ByteWriter w;
    w.bytes("MSCF");
    w.u32(0);
    w.u32(0); // cabinet size, patched below
    w.u32(0);
    w.u32(kTailleEntete + kTailleDossier); // first CFFILE
    w.u32(0);
    w.u8(3);
    w.u8(1);
    w.u16(1); // folders
    w.u16(quint16(membres.size()));
    w.u16(0); // flags
    w.u16(12345);
    w.u16(0);
    // CFFOLDER
    w.u32(debutDonnees);
    w.u16(quint16(nbBlocs));
    w.u16(0); // no compression
    quint32 decalage = 0;
    for (const MembreBrut &m : membres) {
        w.u32(m.tailleDeclaree >= 0 ? quint32(m.tailleDeclaree) : quint32(m.donnees.size()));
        w.u32(decalage);
        w.u16(m.dossier);
        w.u16(m.date);
        w.u16(m.heure);
        w.u16(m.attributs);
        w.bytes(m.nom);
        w.u8(0);
        decalage += quint32(m.donnees.size());
    }
    for (int b = 0; b < nbBlocs; ++b) {
        const QByteArray bloc = donnees.mid(qsizetype(b) * kTailleBloc, kTailleBloc);
        ByteWriter entete;
        entete.u16(quint16(bloc.size()));
        entete.u16(quint16(bloc.size()));
        const quint32 s = sommes ? somme(entete.data(), somme(bloc, 0)) : 0;
        w.u32(s);
        w.bytes(entete.data());
        w.bytes(bloc);
    }
    w.patchU32(8, quint32(w.size()));
    return w.take();
}

std::vector<LigneListe> listeCabextract(const QString &cab, bool *ok)
{
    QProcess p;
    p.start(QStringLiteral("cabextract"), {QStringLiteral("-l"), cab});
    const bool fini = p.waitForFinished(60000);
    if (ok)
        *ok = fini && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    std::vector<LigneListe> lignes;
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d+) \\| (\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d) \\| (.*)$"));
    const QStringList sortie = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &l : sortie) {
        const auto m = re.match(l);
        if (m.hasMatch())
            lignes.push_back({m.captured(1).toLongLong(),
                              QDateTime::fromString(m.captured(2), QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                              m.captured(3)});
    }
    return lignes;
}

int extraitCabextract(const QString &cab, const QString &dossier)
{
    QDir().mkpath(dossier);
    QProcess p;
    p.start(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), dossier, cab});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

QStringList arborescence(const QString &dossier)
{
    QStringList liste;
    QDirIterator it(dossier, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(dossier);
    while (it.hasNext())
        liste << base.relativeFilePath(it.next());
    liste.sort();
    return liste;
}

} // namespace cabtest
