#pragma once

#include <QPixmap>
#include <QProxyStyle>

// The application's style with the pictures the Fusion style draws from
// files (the tool bar's overflow arrows, the group box frame) read as PNG
// pictures by name. The base style reads them through the generic image
// reader, which loads and asks every image plugin installed: at start-up
// that costs more than the rest of the window. Everything else, the
// pictures' pixels and sizes included, is the base style's.
class StyleBarreOutils : public QProxyStyle
{
    Q_OBJECT
public:
    explicit StyleBarreOutils(QStyle *base);

    QIcon standardIcon(StandardPixmap icone, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    QPixmap m_cadreGroupe;
};

// Makes the application's style a StyleBarreOutils over the style in use
// (once; later calls do nothing). Before the first tool bar is built.
void InstalleStyleBarreOutils();
