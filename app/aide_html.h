#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class AnimationPause;
class QProcess;

// The help the windows ask for: a topic by context id, the contents, a topic
// page or a keyword. Each request may do nothing (no viewer, no help file).
class AideHtml
{
public:
    virtual ~AideHtml() = default;
    virtual void AfficheContexte(int idContexte) = 0;
    virtual void AfficheSommaire() = 0;
    virtual void AfficheSujet(const QString &sujet) = 0;
    virtual void AfficheMotCle(const QString &motCle) = 0;
    // Closes the help windows opened so far.
    virtual void SoftShutDown() = 0;
};

// Compiled HTML Help (".chm") through an installed viewer: xchm, else
// kchmviewer, found on PATH at each request. Without a viewer or without the
// help file every request does nothing. Each request pauses the colours page
// animation while it runs.
class TStoHtmlHelpViewer : public QObject, public AideHtml
{
    Q_OBJECT
public:
    // The name the help file is known by.
    static constexpr const char *NomFichierAide = "OrvandelEn.chm";

    // fichierAide: a bare file name is looked for in dossierProgramme.
    TStoHtmlHelpViewer(const QString &fichierAide, const QString &dossierProgramme, AnimationPause *pause,
                       QObject *parent = nullptr);
    ~TStoHtmlHelpViewer() override;

    QString fichierAide() const { return m_fichier; }
    // The viewer a request would start now, empty when there is none.
    QString visionneuse() const;

    void AfficheContexte(int idContexte) override;
    void AfficheSommaire() override;
    void AfficheSujet(const QString &sujet) override;
    void AfficheMotCle(const QString &motCle) override;
    void SoftShutDown() override;

    // The viewers started and still running.
    int visionneusesOuvertes() const { return int(m_processus.size()); }

    // The file's extension (from the last ".") is ".chm", in any case.
    static bool EstFichierChm(const QString &fichier);
    // The help file's full path: a bare name goes into the program folder.
    static QString CheminFichierAide(const QString &fichier, const QString &dossierProgramme);
    // The arguments that show a context id (or the contents, for -1) in a
    // viewer. Neither viewer takes a topic page or a keyword on its command
    // line: those requests show the contents.
    static QStringList ArgumentsVisionneuse(const QString &visionneuse, const QString &fichier, int idContexte);

private:
    void lance(int idContexte);

    QString m_fichier;
    AnimationPause *m_pause;
    QList<QProcess *> m_processus;
};
