#pragma once

#include <QFrame>
#include <QString>

// The list-view modes of the picture-open dialogs.
enum class TViewStyleGDI { vsIconGDI, vsSmallIconGDI, vsListGDI, vsReportGDI, vsThumbGDI, vsMosaicGDI };

// A panel with a centred caption whose painting never raises: when drawing it
// throws, the caption becomes "Image non valide" and painting carries on.
// Shared by both picture dialogs as the frame of their thumbnail.
class TSilentPaintPanel : public QFrame
{
    Q_OBJECT
public:
    explicit TSilentPaintPanel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    static QString texteImageNonValide() { return QStringLiteral("Image non valide"); }

protected:
    void paintEvent(QPaintEvent *event) override;
    // The panel's own painting: its frame and its caption.
    virtual void peintureHeritee(QPaintEvent *event);

private:
    QString m_caption;
};
