#pragma once

#include <QDialog>

#include <functional>

class Prompts;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
struct InfosLecture;

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
