#pragma once

#include <QColor>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;

// Where the text comes from: drFromLeft moves it leftwards (it enters at the
// right edge), drFromRight rightwards, drFromTop downwards and drFromBottom
// upwards, as the original control names them.
enum TDirection { drFromLeft, drFromRight, drFromTop, drFromBottom };

// A word-wrapped text that scrolls inside the control, one step per Delay
// milliseconds on a UI-thread timer; the timer runs only while the control
// is active and shown. The user can drag the text with the mouse.
class TScrollText : public QWidget
{
    Q_OBJECT
public:
    explicit TScrollText(QWidget *parent = nullptr);

    void setTextAlignment(Qt::Alignment alignement);
    Qt::Alignment TextAlignment() const;
    // Joins the lines into the text, sizes it and calls Reset.
    void setItems(const QStringList &lignes);
    QStringList Items() const { return m_items; }
    void setActive(bool actif);
    bool Active() const { return m_actif; }
    void setDelay(int ms);
    int Delay() const { return m_timer.interval(); }
    void setScrollPixels(int pixels);
    int ScrollPixels() const { return m_scrollPixels; }
    void setScrollDirection(TDirection direction);
    TDirection ScrollDirection() const { return m_direction; }
    void setBackgroundColor(const QColor &couleur);
    QColor BackgroundColor() const { return m_fond; }

    // When active: slows down by one pixel a step to a stop.
    void Pause();
    // When not active: starts again from step 0 and speeds up to ScrollPixels.
    void Unpause();
    // Puts the text just outside the control on the side it comes from.
    void Reset();

    // The text's place and the step last taken.
    QPoint positionTexte() const;
    QSize tailleTexte() const;
    int pasCourant() const { return m_pas; }
    // The timer is running.
    bool defilementEnCours() const { return m_timer.isActive(); }

signals:
    // After every timed step.
    void avance();
    // Active changed.
    void activeChanged(bool actif);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void changeEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    enum EtatPause { Defile = 0, Ralentit = 1, Accelere = 2 };

    void pas();
    void majTimer();
    void disposeTexte();
    bool horizontal() const { return m_direction == drFromLeft || m_direction == drFromRight; }

    QLabel *m_label;
    QTimer m_timer;
    QStringList m_items;
    bool m_actif = false;
    int m_scrollPixels = 1;
    TDirection m_direction = drFromBottom;
    QColor m_fond;
    int m_pas = 1;
    EtatPause m_etat = Defile;
    bool m_glisse = false;
    int m_dernierPointeur = 0;
};
