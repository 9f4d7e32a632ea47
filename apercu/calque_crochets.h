#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// The bracket diagram above the three hot zones of the device-screen
// preview's navigation bar. It lies over whatever is drawn there (the
// device's case), so it is a small child of the window's central area,
// raised above its siblings, letting the mouse through, and it follows the
// preview wherever the layout puts it: its origin is the navigation bar's
// top-left corner, 20 pixels higher.
class CalqueCrochets : public QWidget
{
    Q_OBJECT
public:
    // zone: the area it is drawn in; apercu: the preview panel, inside zone.
    CalqueCrochets(QWidget *zone, QWidget *apercu);

    // The diagram's origin in the zone's coordinates.
    QPoint origine() const;
    // The diagram's pen: light, to read on the dark case.
    static QColor couleurCrayon() { return QColor(0xD8, 0xDE, 0xE6); }
    static constexpr QSize Taille{207, 13};

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void place();

    QPointer<QWidget> m_apercu;
};
