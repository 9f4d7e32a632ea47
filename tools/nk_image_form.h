#pragma once

#include "theme/couleur.h"

#include <QImage>
#include <QLabel>
#include <QRegion>

// When and from where the image control takes its transparent colour and
// shapes its window again.
enum class TAutoRender { arNone, arColor, arTopLeft, arTopRight, arBottomLeft, arBottomRight, arCenter };

// The region of a picture's pixels that are not transparent: one rectangle
// per run of kept pixels in each row. A pixel is transparent when its red,
// green and blue each lie within `tolerance` of the transparent colour's
// (ranges clamped to 0..255). Empty for an all-transparent or null picture.
QRegion CreateRegionFromBitmap(const QImage &image, TColor transparente, int tolerance);

// An image control that cuts its window to the picture's non-transparent
// pixels: the window loses its frame, takes the picture's size and keeps only
// the picture's outline. With MoveForm a press anywhere on the picture drags
// the window and is not passed on; a double click is (sourisEnfoncee with
// doubleClic set), so the window's hot spots act on double clicks.
class TNKImageForm : public QLabel
{
    Q_OBJECT
public:
    explicit TNKImageForm(QWidget *parent = nullptr);

    TColor TransparentColor() const { return m_transparente; }
    void setTransparentColor(TColor c) { m_transparente = c; }
    int Tolerance() const { return m_tolerance; }
    void setTolerance(int t) { m_tolerance = t; }
    bool MoveForm() const { return m_moveForm; }
    void setMoveForm(bool v) { m_moveForm = v; }
    bool SolidControls() const { return m_solidControls; }
    void setSolidControls(bool v) { m_solidControls = v; }
    TAutoRender AutoRender() const { return m_autoRender; }
    void setAutoRender(TAutoRender a) { m_autoRender = a; }

    // The picture; with an AutoRender other than arNone the window is shaped again.
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

    // Shapes the window from the picture with the transparent colour.
    void RenderForm();
    // The region last given to the window (empty: the window keeps its rectangle).
    const QRegion &region() const { return m_region; }

signals:
    void sourisEnfoncee(QPoint position, Qt::MouseButton bouton, bool doubleClic);
    void sourisDeplacee(QPoint position);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void autoRender();
    QWidget *fenetre() const;

    TColor m_transparente; // black until the picture gives its own
    int m_tolerance = 0;
    bool m_moveForm = false;
    bool m_solidControls = false;
    TAutoRender m_autoRender = TAutoRender::arNone;
    QImage m_image;
    QRegion m_region;
};
