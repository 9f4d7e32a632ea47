#pragma once

#include "theme/couleur.h"

#include <QDialog>

class Prompts;
class QLabel;
class QPushButton;
class QSpinBox;

// "RGB to Hue": a colour given as red, green and blue, shown on the program's
// HLS scale with its angle on the chromatic wheel, beside a swatch of it. The
// hue calculator opens it modally with its chosen colour.
class TRGBversTeinte : public QDialog
{
    Q_OBJECT
public:
    explicit TRGBversTeinte(Prompts &prompts, QWidget *parent = nullptr);

    // The starting colour; set before showing. The colour dialog updates it.
    void setCouleur(TColor c) { m_couleur = c; }
    TColor couleur() const { return m_couleur; }

    // Where the swatch of the current red, green and blue is painted.
    static QRect rectApercu() { return QRect(126, 32, 105, 105); }

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void FormShow();
    void RVBSEChange();
    void ChoixCoulBtnClick();

    Prompts &m_prompts;
    TColor m_couleur;
    QSpinBox *RSE = nullptr;
    QSpinBox *VSE = nullptr;
    QSpinBox *BSE = nullptr;
    QLabel *TeinteAngleLbl = nullptr;
    QLabel *TeinteValLbl = nullptr;
    QLabel *SaturationLbl = nullptr;
    QLabel *LuminanceLbl = nullptr;
    QPushButton *ChoixCoulBtn = nullptr;
    QPushButton *QuitterBtn = nullptr;
};
