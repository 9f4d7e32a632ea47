#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

// Drawing pieces shared by the tool-button pictures.
namespace ArtCommun {

// The outline colour of every button picture.
inline const QColor Trait(0x40, 0x40, 0x40);

// A fat arrow pointing down (into) or up (out of), tip at (x, y): the shaft
// is `longueur` long, the head `tete` long and `demiLargeur` wide each side.
void fleche(QPainter &p, double x, double y, bool versBas, QColor c, double longueur = 14, double tete = 7,
            double demiLargeur = 7.5);

// A parcel (a .tsk package): a card box with its lid line and blue tape.
void paquet(QPainter &p, QRectF r);

// Bold centred text of a pixel size.
void texte(QPainter &p, QRectF r, const QString &t, int taille, QColor c);

} // namespace ArtCommun
