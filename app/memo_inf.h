#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class Prompts;
class QFont;
class QLabel;

class QPlainTextEdit;
class QPushButton;
class QStatusBar;
struct InfosLecture;

// The fixed-pitch type the setup texts are shown in.
QFont PoliceLectureSetup();
// Gives a box that type and tab stops every eight characters, the layout the
// information lines are written for (an eight-digit value fills one stop, so
// the legend's four TABs stand over the types).
void PrepareTexteLecture(QPlainTextEdit *texte);
// The information lines as shown: in each run of lines with columns (empty
// lines do not end a run), a first column longer than a tab stop is padded
// with blanks before its TAB, so that every line of the run starts its second
// column at the same tab stop and the columns after it line up.
QString TexteInfosEnColonnes(const QStringList &lignes);

// The INF window: the INF text rebuilt from the package last read, beside
// the information on its files, values and strings; saves the INF text.
class TMemoInf : public QDialog
{
    Q_OBJECT
public:
    // nomTheme gives the current theme name (the proposed file name).
    TMemoInf(Prompts &prompts, QString dossierAppli, std::function<QString()> nomTheme, QWidget *parent = nullptr);

    void afficher(const InfosLecture &infos);

    QPlainTextEdit *Memo1;
    QPlainTextEdit *MemoFic;
    QStatusBar *StatusBar1;
    QPushButton *QuitterBtn;
    QPushButton *SauveInfBtn;

public slots:
    void SauveInfBtnClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Prompts &m_prompts;
    QString m_dossierAppli;
    std::function<QString()> m_nomTheme;
    QLabel *m_panneaux[2];
};
