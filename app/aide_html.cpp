#include "app/aide_html.h"

#include "theme/animation_pause.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int kSansContexte = -1;

} // namespace

TStoHtmlHelpViewer::TStoHtmlHelpViewer(const QString &fichierAide, const QString &dossierProgramme,
                                       AnimationPause *pause, QObject *parent)
    : QObject(parent), m_fichier(CheminFichierAide(fichierAide, dossierProgramme)), m_pause(pause)
{
}

TStoHtmlHelpViewer::~TStoHtmlHelpViewer()
{
    SoftShutDown();
}

bool TStoHtmlHelpViewer::EstFichierChm(const QString &fichier)
{
    const int point = fichier.lastIndexOf(QLatin1Char('.'));
    return point >= 0 && fichier.mid(point).compare(QLatin1String(".chm"), Qt::CaseInsensitive) == 0;
}

QString TStoHtmlHelpViewer::CheminFichierAide(const QString &fichier, const QString &dossierProgramme)
{
    if (fichier.isEmpty() || fichier.contains(QLatin1Char('/')))
        return fichier;
    return QDir(dossierProgramme).filePath(fichier);
}

QStringList TStoHtmlHelpViewer::ArgumentsVisionneuse(const QString &visionneuse, const QString &fichier,
                                                     int idContexte)
{
    // xchm opens a context id of the file's map; kchmviewer only the file.
    if (idContexte != kSansContexte && QFileInfo(visionneuse).fileName() == QLatin1String("xchm"))
        return {QStringLiteral("--contextid=%1").arg(idContexte), fichier};
    return {fichier};
}

QString TStoHtmlHelpViewer::visionneuse() const
{
    for (const char *nom : {"xchm", "kchmviewer"}) {
        const QString chemin = QStandardPaths::findExecutable(QString::fromLatin1(nom));
        if (!chemin.isEmpty())
            return chemin;
    }
    return {};
}

void TStoHtmlHelpViewer::lance(int idContexte)
{
    AnimationPauseGuard garde(m_pause);
    if (!EstFichierChm(m_fichier) || !QFileInfo(m_fichier).isFile())
        return;
    const QString programme = visionneuse();
    if (programme.isEmpty())
        return;
    auto *p = new QProcess(this);
    p->setProgram(programme);
    p->setArguments(ArgumentsVisionneuse(programme, m_fichier, idContexte));
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    connect(p, &QProcess::finished, this, [this, p] {
        m_processus.removeOne(p);
        p->deleteLater();
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            m_processus.removeOne(p);
            p->deleteLater();
        }
    });
    m_processus << p;
    p->start();
}

void TStoHtmlHelpViewer::AfficheContexte(int idContexte)
{
    lance(idContexte);
}

void TStoHtmlHelpViewer::AfficheSommaire()
{
    lance(kSansContexte);
}

void TStoHtmlHelpViewer::AfficheSujet(const QString &)
{
    lance(kSansContexte);
}

void TStoHtmlHelpViewer::AfficheMotCle(const QString &)
{
    lance(kSansContexte);
}

void TStoHtmlHelpViewer::SoftShutDown()
{
    const QList<QProcess *> ouverts = m_processus;
    m_processus.clear();
    for (QProcess *p : ouverts) {
        p->disconnect(this);
        p->terminate();
        if (!p->waitForFinished(2000)) {
            p->kill();
            p->waitForFinished(1000);
        }
        delete p;
    }
}
