#pragma once

class QPoint;
class QWidget;

// Shows a control's hint at once at a screen position (a hint that follows
// the mouse from row to row or swatch to swatch, with no delay). It goes the
// road of a hint that comes due: a hint event sent to the control, which
// shows its hint (its tool tip, or a tab's). Whatever stops the program's
// hints on the way (the "Stop Hints" setting filters those events in the
// whole program) stops this one too.
void MontreBulleImmediate(QWidget *controle, const QPoint &global);
