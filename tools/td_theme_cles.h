#pragma once

#include "tools/cles_theme_lignes.h"

#include <QDialog>

#include <array>

class Prompts;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The editor of the theme's own registry values (ClesTheme) and of colour 34.
// It works on a copy: "Validate" emits the result and closes; "Cancel" or
// closing the window changes nothing. A Ctrl+click on a colour panel takes
// the main window's dropper colour.
class TTDThemeCles : public QDialog
{
    Q_OBJECT
public:
    TTDThemeCles(const ParametresWM5 &parametres, const QStringList &clesTheme, Prompts &prompts,
                 QWidget *parent = nullptr);

    // The main window's dropper colour, taken on a Ctrl+click.
    void setCouleurPipette(TColor c) { m_pipette = c; }

signals:
    void valide(const ResultatClesThemeTD &resultat);

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void FormShow();
    void CheckBoxClick(int tag);
    void PanelMouseDown(int k, Qt::KeyboardModifiers modificateurs);
    void PanelClick(int k);
    void ValiderBtnClick();
    void affichePanneau(int k);

    const ParametresWM5 m_parametres;
    const QStringList m_clesTheme;
    Prompts &m_prompts;
    TColor m_pipette;
    EtatClesThemeTD m_etat;
    Qt::KeyboardModifiers m_modificateurs;

    QCheckBox *UDTCcb = nullptr;
    std::array<QCheckBox *, NbClesThemeTD> m_cases{};       // CheckBox1..17, by Tag
    std::array<QFrame *, NbClesThemeTD> m_panneaux{};       // index 1..16: CHPl..Col34Pl
    std::array<QLabel *, NbClesThemeTD> m_libelles{};       // index 1..16: Label1..16
    QLabel *ActiverLbl = nullptr;
    QLabel *InfoLbl = nullptr;
    QPushButton *ValiderBtn = nullptr;
    QPushButton *AnnulerBtn = nullptr;
};

// The main window's command: opens the editor modally on the document and
// applies its result when validated. Returns QDialog::Accepted on "Validate".
// A non-empty titre replaces the window's title.
int OuvreTDThemeCles(ThemeDocument &doc, Prompts &prompts, TColor couleurPipette,
                     QWidget *parent = nullptr, const QString &titre = QString());
