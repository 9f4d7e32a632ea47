#include "app/rect_proportionnel.h"

#include "theme/arrondi.h"

QRect RectProportionnel(int w, int h, int W, int H)
{
    int largeur = w;
    int hauteur = h;
    if (!(w <= W && h <= H)) {
        if (w < 1 || h < 1) {
            largeur = W;
            hauteur = H;
        } else {
            const double r = double(w) / double(h);
            if (h < w) {
                largeur = W;
                hauteur = arrondi(W / r);
                if (hauteur > H) {
                    hauteur = H;
                    largeur = arrondi(H * r);
                }
            } else {
                hauteur = H;
                largeur = arrondi(H * r);
                if (largeur > W) {
                    largeur = W;
                    hauteur = arrondi(W / r);
                }
            }
        }
    }
    return QRect((W - largeur) / 2, (H - hauteur) / 2, largeur, hauteur);
}
