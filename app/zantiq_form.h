#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QRect>
#include <QTimer>
#include <QUrl>

class AnimationPause;
class QLabel;

// The maker's site window: a decorative gradient with a faint watermark and
// links to the maker's pages, opened in the desktop's browser. It fades in
// when shown; Escape closes it.
class TZantiqForm : public QDialog
{
    Q_OBJECT
public:
    explicit TZantiqForm(QWidget *parent = nullptr);

    // The addresses the links open.
    static QUrl adresseAccueil();
    static QUrl adresseTelechargement(int langue); // 0 French .. 4 German
    static QUrl adresseKelm();
    static QUrl adresseWebmaster();
    static QUrl adresseTutoriel();
    // Download file names by flag Tag.
    static QString fichierTelechargement(int langue);

    // The fade-in: the window's alpha (0..255) and whether it still grows.
    int alpha() const { return m_alpha; }
    bool fonduEnCours() const { return Timer1.isActive(); }
    const QImage &fond() const { return m_fond; }

    // Link rectangles, in client coordinates.
    static const QRect RectKelm;
    static const QRect RectWebmaster;
    static const QRect RectTuto;

    QLabel *AccueilLbl;
    QLabel *DownloadLbl;
    QList<QLabel *> Drapeaux; // Tag 0..4 in their "Tag" property
    QTimer Timer1;

    void AccueilLblClick();
    void DownloadLblClick();
    void HarnelLblClick();
    void KelmLblClick();
    void TutoLblClick();
    void FlagClick(int tag);
    // A click at that client position.
    void FormClick(const QPoint &position);

protected:
    void showEvent(QShowEvent *e) override;     // FormShow
    void paintEvent(QPaintEvent *e) override;   // FormPaint
    void keyPressEvent(QKeyEvent *e) override;  // FormKeyPress
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Timer1Timer();
    void construitFond();

    QImage m_fond;
    int m_alpha = 255;
};

// Shows the site window modally (the colours page animation pauses meanwhile).
void OuvreZantiqForm(QWidget *parent, AnimationPause *pause);
