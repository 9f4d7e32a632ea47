#pragma once

#include "app/info_fichier.h"
#include "ui/info_version.h"

#include <QDialog>

class AnimationPause;
class Prompts;
class QLabel;
class QPushButton;
class TScrollText;
class TSwitch;

// The about box: the program's name, its version information scrolling in
// TScrollText, the desktop system's version, a switch that closes the box
// and "Plus" for more about the program.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    // cheminProgramme: the program's own file (the running executable when empty).
    explicit TAboutBox(Prompts &prompts, QWidget *parent = nullptr, const QString &cheminProgramme = {});

    // The title and the text "Plus" shows.
    QString titrePlus() const;
    QString textePlus() const;
    // The program file's own data (shown as the hint of its icon).
    const DonneesFichier &donneesFichier() const { return m_fichier; }

    QLabel *ProgramIcon;
    QLabel *Logo;
    QLabel *ProductName;
    TScrollText *ScrollText1;
    QLabel *VersionOslbl;
    TSwitch *Switch1;
    QPushButton *Plus;

public slots:
    void done(int r) override; // FormCloseQuery: every way of closing passes here

protected:
    void showEvent(QShowEvent *e) override; // FormShow

private:
    void Switch1Click();
    void PlusClick();

    Prompts &m_prompts;
    InfoVersion InfoFic1;
    DonneesFichier m_fichier;
    QString m_nomProgramme;
    bool m_fermeture = false;
};

// Shows a new about box modally (the colours page animation pauses meanwhile).
void OuvreAboutBox(QWidget *parent, Prompts &prompts, AnimationPause *pause);
