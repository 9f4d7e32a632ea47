#include "resources/artgen/art_commun.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ArtCommun {

void fleche(QPainter &p, double x, double y, bool versBas, QColor c, double longueur, double tete,
            double demiLargeur)
{
    const double s = versBas ? 1 : -1;
    QPainterPath a;
    a.moveTo(x - 2.5, y - s * longueur);
    a.lineTo(x - 2.5, y - s * tete);
    a.lineTo(x - demiLargeur, y - s * tete);
    a.lineTo(x, y);
    a.lineTo(x + demiLargeur, y - s * tete);
    a.lineTo(x + 2.5, y - s * tete);
    a.lineTo(x + 2.5, y - s * longueur);
    a.closeSubpath();
    p.setPen(QPen(Trait, 1.2));
    p.setBrush(c);
    p.drawPath(a);
}

void paquet(QPainter &p, QRectF r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xF1, 0xC2, 0x7A));
    g.setColorAt(1, QColor(0xC8, 0x8A, 0x3A));
    p.setPen(QPen(Trait, 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x20), 1.2));
    p.drawLine(QPointF(r.left() + 2, r.top() + r.height() * 0.35), QPointF(r.right() - 2, r.top() + r.height() * 0.35));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2E, 0x97, 0xE3));
    p.drawRect(QRectF(r.center().x() - 3, r.top() + 1, 6, r.height() - 2));
}

void texte(QPainter &p, QRectF r, const QString &t, int taille, QColor c)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(taille);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, t);
}

} // namespace ArtCommun
