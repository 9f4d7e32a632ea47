#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Windows placed beside the main window by a formula (the hue calculator,
// the save evaluation, the device-skin preview...) are kept inside the
// screen's available area, so that no part of them, title bar included, lies
// off the screen or under a panel.

// The top-left corner nearest to `voulu` at which a window of `taille` lies
// inside `zone`; a window larger than the zone is put at its top or left edge.
QPoint PositionDansZone(QPoint voulu, QSize taille, const QRect &zone);

// Moves the window (its frame's top-left corner) to `voulu`, kept inside the
// available area of the screen that holds `reference` (the window's own
// screen when none). The frame's extra width and height are the window's own
// once it has been shown; before, those of the reference window.
void PlaceFenetreDansEcran(QWidget *fenetre, QPoint voulu, const QWidget *reference = nullptr);
