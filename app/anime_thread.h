#pragma once

#include "theme/couleur.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class AnimationPause;

// Shows a picture on a label (its pixmap) or a button (its icon); any other
// widget is left alone.
void afficheImageSur(QWidget *cible, const QImage &image);

// Plays a picture file frame by frame on a target widget, every frame made
// into two colours: the pixels of exactly RGB(0, 0, 128) ($800000) take the
// colour given by `couleur` (read at every frame), all others the background
// colour. GIF frames keep their own delays; other pictures change every
// 750 ms. It runs on a timer of the UI thread and stops while `pause` is
// paused.
class TAnimeThread : public QObject
{
    Q_OBJECT
public:
    using SourceCouleur = std::function<TColor()>;

    static constexpr int DelaiNonGifMs = 750;
    // A GIF frame delay of 0 asks for no pause at all; it is shown for this
    // long instead, as web browsers do, rather than spin.
    static constexpr int DelaiNulMs = 100;
    static constexpr QRgb CouleurCle = 0xFF000080; // $800000: blue 128

    // The target's size at creation is the size of every frame drawn.
    TAnimeThread(QWidget *cible, const QString &fichier, TColor fond, SourceCouleur couleur,
                 AnimationPause *pause = nullptr, QObject *parent = nullptr);
    ~TAnimeThread() override;

    // False for a file that cannot be read and for a GIF without frame
    // delays: nothing is ever drawn then.
    bool pret() const { return m_pret; }
    int nombreImages() const { return int(m_images.size()); }
    // The frame shown last (-1 before the first) and the wait after it.
    int imageCourante() const { return m_courante; }
    int intervalleMs() const { return m_timer.interval(); }
    bool enCours() const { return m_timer.isActive(); }
    QImage imageAffichee() const { return m_affichee; }
    QRect rectangleAjuste() const { return m_ajuste; }

    // Stops for good (the thread's Terminate).
    void arreter();

public slots:
    // Draws the next frame and waits for the one after (what the timer does).
    void imageSuivante();

signals:
    void imageDessinee(int index);

private:
    void changePause(bool enPause);
    void charge(const QString &fichier);
    QImage recolore(const QImage &image) const;

    QPointer<QWidget> m_cible;
    TColor m_fond;
    SourceCouleur m_couleur;
    QPointer<AnimationPause> m_pause;
    QTimer m_timer;
    QList<QImage> m_images; // W x H each, the picture already in its fit rectangle
    QList<int> m_delais;    // wait after each frame, ms
    QRect m_ajuste;
    QImage m_affichee;
    int m_prochaine = 0;
    int m_courante = -1;
    bool m_pret = false;
    bool m_arrete = false;
};

// Cycles pictures premier..dernier of a list on a target widget, one every
// `intervalleMs`, each drawn on a clear frame, so that what lies behind the
// target shows through the picture's clear parts (the device connection
// icon on the tool bar).
class TBtnAnimeThread : public QObject
{
    Q_OBJECT
public:
    TBtnAnimeThread(QWidget *cible, const QList<QImage> &liste, int premier, int dernier, int intervalleMs,
                    QObject *parent = nullptr);
    ~TBtnAnimeThread() override;

    int imageCourante() const { return m_courante; }
    int intervalleMs() const { return m_timer.interval(); }
    bool enCours() const { return m_timer.isActive(); }
    QImage imageAffichee() const { return m_affichee; }
    void arreter();

public slots:
    void imageSuivante();

signals:
    void imageDessinee(int index);

private:
    QPointer<QWidget> m_cible;
    QList<QImage> m_liste;
    int m_premier, m_dernier;
    int m_courante;
    QImage m_travail;
    QImage m_affichee;
    QTimer m_timer;
};
