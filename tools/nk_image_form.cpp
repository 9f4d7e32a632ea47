#include "tools/nk_image_form.h"

#include <QMouseEvent>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

// Rectangles are gathered in batches and each batch is added to the region at
// once: adding rows one by one makes every union walk the whole region so far.
constexpr std::size_t kRectanglesParLot = 2000;

struct Plage
{
    int min, max;
    bool contient(int v) const { return v >= min && v <= max; }
};

Plage plage(int centre, int tolerance)
{
    return {std::clamp(centre - tolerance, 0, 255), std::clamp(centre + tolerance, 0, 255)};
}

} // namespace

QRegion CreateRegionFromBitmap(const QImage &image, TColor transparente, int tolerance)
{
    if (image.isNull())
        return {};
    const QImage px = image.convertToFormat(QImage::Format_RGB32);
    const Plage r = plage(transparente.red(), tolerance);
    const Plage g = plage(transparente.green(), tolerance);
    const Plage b = plage(transparente.blue(), tolerance);
    const auto transparent = [&](QRgb c) { return r.contient(qRed(c)) && g.contient(qGreen(c)) && b.contient(qBlue(c)); };

    QRegion resultat;
    std::vector<QRect> lot;
    lot.reserve(kRectanglesParLot);
    const auto vide = [&] {
        if (lot.empty())
            return;
        // One row's runs are sorted left to right and rows come top to bottom,
        // the banded order setRects expects.
        QRegion partie;
        partie.setRects(lot.data(), int(lot.size()));
        resultat += partie;
        lot.clear();
    };
    const int w = px.width();
    for (int y = 0; y < px.height(); ++y) {
        const QRgb *ligne = reinterpret_cast<const QRgb *>(px.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && transparent(ligne[x]))
                ++x;
            const int debut = x;
            while (x < w && !transparent(ligne[x]))
                ++x;
            if (x > debut) {
                lot.emplace_back(debut, y, x - debut, 1);
                if (lot.size() == kRectanglesParLot)
                    vide();
            }
        }
    }
    vide();
    return resultat;
}

TNKImageForm::TNKImageForm(QWidget *parent)
    : QLabel(parent), m_transparente(TColor::fromRgb(0, 0, 0))
{
    setObjectName(QStringLiteral("NKImageForm"));
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QWidget *TNKImageForm::fenetre() const
{
    return parentWidget();
}

void TNKImageForm::setImage(const QImage &image)
{
    m_image = image;
    setPixmap(QPixmap::fromImage(image));
    resize(image.size());
    autoRender();
}

void TNKImageForm::autoRender()
{
    if (m_image.isNull())
        return;
    const int w = m_image.width(), h = m_image.height();
    QPoint coin;
    switch (m_autoRender) {
    case TAutoRender::arNone: return;
    case TAutoRender::arColor: RenderForm(); return;
    case TAutoRender::arTopLeft: coin = {0, 0}; break;
    case TAutoRender::arTopRight: coin = {w - 1, 0}; break;
    case TAutoRender::arBottomLeft: coin = {0, h - 1}; break;
    case TAutoRender::arBottomRight: coin = {w - 1, h - 1}; break;
    case TAutoRender::arCenter: coin = {w / 2, h / 2}; break;
    }
    m_transparente = TColor::fromQRgb(m_image.pixel(coin));
    RenderForm();
}

void TNKImageForm::RenderForm()
{
    QWidget *parent = fenetre();
    if (!parent)
        return;
    if (!(parent->windowFlags() & Qt::FramelessWindowHint)) {
        const bool visible = parent->isVisible();
        parent->setWindowFlag(Qt::FramelessWindowHint, true);
        if (visible)
            parent->show();
    }
    const QPoint decalage = pos();
    if (!decalage.isNull())
        for (QWidget *w : parent->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            w->move(w->pos() - decalage);

    QRegion region = m_image.isNull() ? QRegion(rect()) : CreateRegionFromBitmap(m_image, m_transparente, m_tolerance);
    if (m_solidControls && !region.isEmpty())
        for (QWidget *w : parent->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            if (w != this)
                region += w->geometry();
    m_region = region;
    // An empty region clears the mask: the window keeps its rectangle.
    parent->clearMask();
    if (!region.isEmpty())
        parent->setMask(region);
    parent->resize(width(), height());
}

void TNKImageForm::mousePressEvent(QMouseEvent *e)
{
    QWidget *parent = fenetre();
    if (m_moveForm && parent && e->button() == Qt::LeftButton) {
        // The window follows the mouse until the button is released; the
        // press itself is not passed on.
        if (QWindow *w = parent->window()->windowHandle())
            w->startSystemMove();
        e->accept();
        return;
    }
    emit sourisEnfoncee(e->position().toPoint(), e->button(), false);
}

void TNKImageForm::mouseDoubleClickEvent(QMouseEvent *e)
{
    emit sourisEnfoncee(e->position().toPoint(), e->button(), true);
}

void TNKImageForm::mouseMoveEvent(QMouseEvent *e)
{
    emit sourisDeplacee(e->position().toPoint());
    QLabel::mouseMoveEvent(e);
}
