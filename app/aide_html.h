#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class AnimationPause;
class FenetreAide;
class QWidget;

// The help the windows ask for: a topic by context id, the contents, a topic
// page or a keyword. Each request may do nothing (no help to show).
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

// The program's help: HTML pages built into the program, one per context id
// and subject, shown in a help window of its own (no outside viewer needed).
// Each page names its context id and its keywords in its head:
//   <meta name="helpid" content="1008">
//   <meta name="keywords" content="create, package">
// "index.htm" is the contents. Each request pauses the colours page's
// animation while the window is brought up.
class TStoHtmlHelpViewer : public QObject, public AideHtml
{
    Q_OBJECT
public:
    static constexpr const char *NomVisionneuse = "StoHtmlHelp";

    // racine: the folder of the pages (the built-in ones by default).
    explicit TStoHtmlHelpViewer(AnimationPause *pause, const QString &racine = QStringLiteral(":/aide"),
                                QObject *parent = nullptr);
    ~TStoHtmlHelpViewer() override;

    void AfficheContexte(int idContexte) override;
    void AfficheSommaire() override;
    void AfficheSujet(const QString &sujet) override;
    void AfficheMotCle(const QString &motCle) override;
    void SoftShutDown() override;

    // The page of a context id, of a keyword request; empty when none has it.
    QString pageContexte(int idContexte) const { return m_contextes.value(idContexte); }
    QString pageMotCle(const QString &demande) const;
    QList<int> contextes() const { return m_contextes.keys(); }
    // The help window (null before the first request and after a shut-down).
    FenetreAide *fenetre() const { return m_fenetre.get(); }
    // The page the window shows; empty when it is closed.
    QString pageAffichee() const;

    // A topic's page: ".htm" appended unless it ends in ".htm" or ".html"
    // (in any case).
    static QString NomSujet(const QString &sujet);
    // A keyword request "viewer: word" gives "word" (the text after the first
    // ":", trimmed); a request without ":" is the keyword itself.
    static QString MotCle(const QString &demande);

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void montre(const QString &page);
    void suitFenetreModale();
    void rattache(QWidget *parent);

    QString m_racine;
    AnimationPause *m_pause;
    QHash<int, QString> m_contextes;
    QList<QPair<QString, QStringList>> m_motsCles; // page, its keywords
    std::unique_ptr<FenetreAide> m_fenetre;
};
