#pragma once

#include <QWidget>

// The body of a Pocket PC drawn round the device-screen preview: a dark,
// rounded case with a speaker slot above the screen and a navigation pad
// below it. The preview is its only child, placed in the screen opening.
class CadreAppareil : public QWidget
{
    Q_OBJECT
public:
    explicit CadreAppareil(QWidget *ecran, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QWidget *m_ecran;
};
