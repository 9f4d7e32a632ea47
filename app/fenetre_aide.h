#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The help window: one page of the program's help at a time, with its links,
// back and forward, and the contents.
class FenetreAide : public QWidget
{
    Q_OBJECT
public:
    // racine: where the pages are ("qrc:/aide/").
    explicit FenetreAide(const QUrl &racine, QWidget *parent = nullptr);

    // Shows the page (a file name under the root), brings the window forward.
    void montre(const QString &page);
    // The page shown, as a file name under the root.
    QString page() const;

    QTextBrowser *AideTexte;
    QToolButton *PrecedentBtn;
    QToolButton *SuivantBtn;
    QToolButton *SommaireBtn;

private:
    QUrl m_racine;
};
