#include "apercu/fond_fenetre.h"

#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "tools/hls.h"

#include <QEvent>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

const QString kPoliceFond = QStringLiteral("Times New Roman");
const QString kNomProduit = QStringLiteral("Orvandel");

QColor argb(TColor c, int alpha)
{
    return QColor::fromRgba(c.toQRgb(alpha));
}

void triangle(QPainter &p, QPointF a, QPointF b, QPointF c)
{
    QPainterPath chemin;
    chemin.moveTo(a);
    chemin.lineTo(b);
    chemin.lineTo(c);
    chemin.closeSubpath();
    p.drawPath(chemin);
}

} // namespace

TColor CouleurOmbre(TColor couleur, int pas)
{
    const CouleurHLS hls = ColorRGBToHLS(couleur);
    return ColorHLSToRGB(hls.teinte, std::max(0, int(hls.luminance) - pas), hls.saturation);
}

QPainterPath CourbeCardinaleFermee(const QVector<QPointF> &points, double tension)
{
    QPainterPath chemin;
    const qsizetype n = points.size();
    if (n == 0)
        return chemin;
    chemin.moveTo(points[0]);
    const double k = tension / 3.0;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF &avant = points[(i + n - 1) % n];
        const QPointF &p0 = points[i];
        const QPointF &p1 = points[(i + 1) % n];
        const QPointF &apres = points[(i + 2) % n];
        chemin.cubicTo(p0 + (p1 - avant) * k, p1 - (apres - p0) * k, p1);
    }
    chemin.closeSubpath();
    return chemin;
}

QImage DessineFond(const ParamsFond &pa)
{
    const int W = pa.taille.width(), H = pa.taille.height(), S = pa.hauteurBarreEtat;
    if (W < 1 || H < 1)
        return {};
    QImage image = NouvelleImage32(W, H);
    const TColor L = pa.inferieure, U = pa.superieure;
    {
        QPainter p(&image);
        // The background: from U at A to L at B. The direction is kept in its
        // range, so the picture is always filled.
        QPointF a(0, 0), b(0, H);
        switch (std::clamp(pa.direction, 0, 2)) {
        case 0: a = QPointF(W, 0); b = QPointF(0, H); break;
        case 1: b = QPointF(W, H); break;
        default: break;
        }
        QLinearGradient fond(a, b);
        fond.setColorAt(0, argb(U, 255));
        fond.setColorAt(1, argb(L, 255));
        p.fillRect(QRect(0, 0, W, H), fond);

        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);

        // The soft curve.
        const QVector<QPointF> points = {QPointF(W, H - S + 3), QPointF(W / 2 + 5, 6 * H / 8), QPointF(3 * W / 4, 0),
                                         QPointF(W, 0), QPointF(5 * W / 8, 6 * H / 8)};
        QLinearGradient voile(QPointF(W, H), QPointF(W / 2, 0));
        voile.setSpread(QGradient::RepeatSpread);
        voile.setColorAt(0, argb(L, 16));
        voile.setColorAt(1, argb(CouleurOmbre(L), 16));
        p.setBrush(voile);
        p.drawPath(CourbeCardinaleFermee(points));

        // The rays from the top-right corner.
        p.setBrush(argb(L, 16));
        const QPointF coin(W, 0);
        triangle(p, coin, QPointF(0, H - S + 3), QPointF(W / 8, H - S + 3));
        triangle(p, coin, QPointF(0, H / 4), QPointF(0, 3 * H / 8));
        triangle(p, coin, QPointF(0, H / 2), QPointF(0, 5 * H / 8));
        triangle(p, coin, QPointF(0, 3 * H / 4), QPointF(0, 7 * H / 8));
        const QRect &r = pa.boutonApercu;
        if (!r.isEmpty())
            triangle(p, coin, QPointF(r.left(), r.top()), QPointF(r.left() + r.width(), r.top() + r.height()));
    }

    // The lettering.
    if (!pa.lettrage) {
        image.reinterpretAsFormat(QImage::Format_RGB32);
        return image;
    }
    const int style = StyleGras | StyleItalique;
    DessineTexteOmbre(image, kNomProduit, kPoliceFond, 22, W / 2, H - S - 26, -2, -2, L, U, style, 48, 32);
    // Measured in the style it is drawn in, so the version starts after the
    // name instead of over its last letter.
    const int w = MesureTexte(kNomProduit, kPoliceFond, 22, style).width();
    DessineTexteOmbre(image, pa.version, kPoliceFond, 14, W / 2 + w, H - S - 17, -2, -2, L, U, style, 48, 32);
    // Every pixel is opaque (the gradient covers the whole picture): the same
    // bytes read as RGB32 are copied to the screen without conversion.
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

void DessineCrochets(QPainter &p, int x, int y)
{
    auto ligne = [&p, x, y](std::initializer_list<QPoint> points) {
        QVector<QPoint> v;
        for (const QPoint &pt : points)
            v << QPoint(x + pt.x(), y + pt.y());
        p.drawPolyline(v.constData(), int(v.size()));
    };
    ligne({{10, 12}, {10, 8}, {70, 8}, {70, 12}});
    ligne({{136, 12}, {136, 8}, {156, 8}, {156, 12}});
    ligne({{178, 12}, {178, 8}, {206, 8}, {206, 12}});
    ligne({{40, 8}, {40, 0}, {192, 0}, {192, 8}});
    ligne({{146, 8}, {146, 0}});
}

PeintreFond::PeintreFond(QWidget *cible) : QObject(cible), m_cible(cible)
{
    setObjectName(QStringLiteral("PeintreFond"));
    cible->installEventFilter(this);
}

void PeintreFond::fixe(const ParamsFond &params, bool uniforme)
{
    m_params = params;
    m_uniforme = uniforme;
    // A widget not shown yet has no final size: its picture is drawn at its
    // first paint, once the layout has placed it.
    m_aRedessiner = true;
    if (m_cible->isVisible())
        redessine();
    m_cible->update();
}

int PeintreFond::hauteurBarre() const
{
    return hauteurBarreEtat ? hauteurBarreEtat() : m_params.hauteurBarreEtat;
}

QSize PeintreFond::tailleVoulue() const
{
    return QSize(m_cible->width(), m_cible->height() + hauteurBarre());
}

void PeintreFond::redessine()
{
    ParamsFond p = m_params;
    p.hauteurBarreEtat = hauteurBarre();
    p.taille = tailleVoulue();
    // The fifth ray ends on the preview button, wherever the layout put it.
    if (const auto *apercu = m_cible->findChild<QWidget *>(QStringLiteral("PreviewSBtn"))) {
        // Its page may not be shown, and a page not shown is laid out only
        // when asked: lay out its folders now, from the top down, so that the
        // ray meets the button where it will be.
        QList<QWidget *> parents;
        for (QWidget *w = apercu->parentWidget(); w && w != m_cible; w = w->parentWidget())
            parents.prepend(w);
        for (QWidget *w : parents)
            if (QLayout *l = w->layout())
                l->activate();
        p.boutonApercu = QRect(apercu->mapTo(m_cible, QPoint(0, 0)), apercu->size());
    }
    m_image = DessineFond(p);
    m_aRedessiner = false;
    ++m_dessins;
    if (apresDessin)
        apresDessin(m_image);
}

bool PeintreFond::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet != m_cible || evenement->type() != QEvent::Paint)
        return QObject::eventFilter(objet, evenement);
    QPainter p(m_cible);
    if (m_uniforme) {
        p.setPen(QColor::fromRgb(TColor::fromValue(0xC0DCC0).toQRgb()));
        const QString texte = QStringLiteral("Orvandel ") + m_params.version;
        p.drawText(QPoint(m_cible->width() / 2, m_cible->height() - 48 + p.fontMetrics().ascent()), texte);
    } else {
        // Not drawn yet, or the layout has resized the area since.
        if (m_aRedessiner || m_image.size() != tailleVoulue())
            redessine();
        p.drawImage(0, 0, m_image);
    }
    return false; // the widget paints itself on top
}
