#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

// The working picture a thumbnail's full-size preview shows: the thumbnail's
// own picture (0 Today portrait, 1 Start portrait, 2 Today landscape,
// 3 Start landscape) when it exists in the program folder, else the other
// picture of the same orientation; empty when neither exists (landscape
// pictures exist only in formats 4 and 5).
QString FichierPreview(int emplacement, int format, const QString &dossierAppli);

// The full-size preview of a working picture ("PreviewForm"): the picture
// fitted into a window at most three quarters of the screen, never enlarged.
// Esc or a click on the picture closes it.
class FenetrePreview : public QDialog
{
    Q_OBJECT
public:
    FenetrePreview(const QImage &image, QWidget *parent = nullptr);

    // The picture as shown (fitted to the window's picture area).
    QImage imageAffichee() const { return m_affichee; }

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void ajuste();

    QImage m_image;
    QImage m_affichee;
    QLabel *m_vue = nullptr;
};
