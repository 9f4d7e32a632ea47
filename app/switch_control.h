#pragma once

#include <QPixmap>
#include <QWidget>

class QShortcut;

enum TTextPos { tpNone, tpLeft, tpRight, tpAbove, tpBelow };
enum TBorderStyle { bsNone, bsSingle };

// A two-state switch drawn with one picture per state. A left press focuses
// it and toggles it; so does ToggleKey (space), which it swallows. Changing
// StateOn repaints and emits OnOn or OnOff. When disabled it shows an
// embossed grey copy of the picture.
class TSwitch : public QWidget
{
    Q_OBJECT
public:
    explicit TSwitch(QWidget *parent = nullptr);

    bool StateOn() const { return m_on; }
    void setStateOn(bool on);
    // A null picture brings back the default one.
    void setGlyphOff(const QPixmap &image);
    void setGlyphOn(const QPixmap &image);
    QPixmap GlyphOff() const { return m_glyphes[0]; }
    QPixmap GlyphOn() const { return m_glyphes[1]; }
    // The grey copy shown when disabled, in the current palette's colours.
    QPixmap glypheDesactive(bool on) const;
    void setBorderStyle(TBorderStyle style);
    TBorderStyle BorderStyle() const { return m_bordure; }
    void setShowFocus(bool montre);
    bool ShowFocus() const { return m_montreFocus; }
    void setToggleKey(int touche) { m_touche = touche; }
    int ToggleKey() const { return m_touche; }
    void setTextPosition(TTextPos position);
    TTextPos TextPosition() const { return m_positionTexte; }
    // The caption; "&" marks its accelerator (Alt + the letter focuses the switch).
    void setCaption(const QString &texte);
    QString Caption() const { return m_caption; }

    // Where the picture of the current state is drawn.
    QRect rectangleImage() const;

    // The embossed grey copy of a picture: its mask in the highlight colour
    // offset by (1, 1), then in the shadow colour.
    static QPixmap CopieDesactivee(const QPixmap &image, const QPalette &palette);

signals:
    void OnOn();
    void OnOff();
    // A left click (press and release on the control).
    void clicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void fixeGlyphe(int i, const QPixmap &image);

    bool m_on = false;
    QPixmap m_glyphes[2];
    mutable QPixmap m_desactives[2];
    mutable QRgb m_couleursDesactives[2][2] = {};
    TBorderStyle m_bordure = bsNone;
    bool m_montreFocus = true;
    int m_touche = Qt::Key_Space;
    TTextPos m_positionTexte = tpNone;
    QString m_caption;
    QShortcut *m_raccourci = nullptr;
    bool m_presse = false;
};
