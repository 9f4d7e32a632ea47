#pragma once

#include "theme/couleur.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;

// Plays the frames of a multi-frame picture (animated GIF, multi-page TIFF)
// on an image control of the picture-open dialog: each frame fitted into the
// control's size (taken at creation) over the background colour. GIF frames
// keep their own delays (a GIF without a frame-delay table plays nothing);
// other pictures change every 750 ms. The frames are decoded and fitted on a
// worker thread (a large animation never holds the dialog up); they are
// shown by a timer of the UI thread. The dialog names it ("AnimeVignette",
// "AnimePreview"), starts it (playing begins as soon as the frames are
// ready), and stops it before it starts another or closes; a stopped
// animator's late frames are dropped.
class TAnimeThreadDlg : public QObject
{
    Q_OBJECT
public:
    static constexpr int DelaiNonGifMs = 750;
    // A GIF frame delay of 0 would make the frame loop spin; such a frame is
    // shown for this long instead, as web browsers do.
    static constexpr int DelaiNulMs = 100;

    TAnimeThreadDlg(QLabel *cible, TColor fond, const QString &fichier, QObject *parent = nullptr);
    ~TAnimeThreadDlg() override;

    // Starts playing (the thread's Start), now or once the frames are ready;
    // nothing when there is nothing to play.
    void demarre();
    // Stops for good (the thread's Terminate).
    void arreter();

    bool pret() const { return !m_images.isEmpty(); }
    // The worker has finished (with or without frames).
    bool chargementTermine() const { return m_termine; }
    int nombreImages() const { return int(m_images.size()); }
    int imageCourante() const { return m_courante; }
    bool enCours() const { return m_timer.isActive(); }
    QList<int> delais() const { return m_delais; }
    QImage imageAffichee() const { return m_affichee; }

public slots:
    // Draws the next frame and waits for the one after (what the timer does).
    void imageSuivante();

signals:
    void imageDessinee(int index);
    void chargementFini();

private:
    struct Images
    {
        QList<QImage> images;
        QList<int> delais;
    };
    static Images charge(const QString &fichier, int W, int H, TColor fond);
    void recoit(const Images &images);

    QPointer<QLabel> m_cible;
    TColor m_fond;
    QTimer m_timer;
    QList<QImage> m_images; // target-sized work bitmaps, already drawn
    QList<int> m_delais;
    QImage m_affichee;
    int m_courante = -1;
    bool m_arrete = false;
    bool m_demande = false;
    bool m_termine = false;
};
