#pragma once

#include "theme/format_images.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class ThemeDocument;

// The size options window: the theme format among the nine, and the four
// picture sizes of "Customized". Each click on a format applies its sizes to
// the document at once (FormatTheme itself is left to the caller, see
// ChangementFormat); Validate keeps them, Cancel, Escape and the close button
// put back everything the clicks changed.
class TOptionsForm : public QDialog
{
    Q_OBJECT
public:
    explicit TOptionsForm(ThemeDocument &doc, QWidget *parent = nullptr);

    // The format chosen when the window last closed: the validated one, or the
    // one it was shown with after a cancel.
    int indexSauve() const { return m_indexSauve; }
    int itemIndex() const;

    // Selects a format as the package reader does: its sizes are applied,
    // FormatTheme is set and the window will show it next time.
    void choisitFormat(int format);

    QButtonGroup *FormatImgRG = nullptr; // ids 0..8, the nine formats
    QGroupBox *FormatImgGB = nullptr;
    QSpinBox *LTDse = nullptr; // Today width
    QSpinBox *HTDse = nullptr; // Today height
    QSpinBox *LSTse = nullptr; // Start width
    QSpinBox *HSTse = nullptr; // Start height
    QLabel *AlerteLbl = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label6 = nullptr;
    QPushButton *ValiderBtn = nullptr;
    QPushButton *AnnulerBtn = nullptr;

public slots:
    void FormatImgRGClick();
    void ValiderBtnClick();
    void AnnulerBtnClick();
    // Escape and the close button act as Cancel.
    void reject() override;
    void done(int r) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void selectionneSansClic(int index);
    void ActiveTaillesPerso();
    void AfficheTailles();
    std::array<int, 4> valeursSpin() const;

    ThemeDocument &m_doc;
    FormatImages m_sauve; // the whole format as the window was shown
    int m_indexSauve = 3;
    bool m_clicLie = true;
};
