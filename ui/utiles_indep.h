#pragma once

#include "theme/couleur.h"

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

// Drawing and text routines shared by every window. Each is a free function
// over 32-bit pictures (QImage::Format_ARGB32, bytes B, G, R, A, straight
// alpha); colours are theme colours with an explicit alpha. Text sizes are in
// points at 96 dpi (see app/polices.h). Rectangles given as QRect follow the
// Windows habit: right() + 1 and bottom() + 1 are the excluded edges.

// Font style bits.
enum StylePolice { StyleGras = 1, StyleItalique = 2, StyleSouligne = 4, StyleBarre = 8 };

// Pen, surround (fill) and centre colour of one look of a tab or button.
struct JeuBouton
{
    TColor crayon;
    TColor remplissage;
    TColor centre;
};

// ---- Path gradients ------------------------------------------------------
// Qt has no path-gradient brush: this fills a path with colours that run from
// the surround colour on the path's outline to the centre colour at the centre
// point, along straight rays from the centre. position 0 is the outline, 1 the
// centre; the blend maps a position to the share of the centre colour.
using FonctionMelange = std::function<double(double)>;
double MelangeLineaire(double position);
// A bell that is 0 on the outline and at the centre and reaches `echelle` at
// `foyer` (a sigma bell: smooth normal-curve flanks).
double MelangeCloche(double position, double foyer, double echelle);

struct DegradeChemin
{
    QPointF centre;
    QRgb couleurContour = 0; // ARGB
    QRgb couleurCentre = 0;  // ARGB
    FonctionMelange melange = MelangeLineaire;
    bool correctionGamma = false; // blend in linear light (gamma 2.2)
};
// The colour the gradient gives at a point of the path (points outside the
// path take the outline colour).
QRgb CouleurDegradeChemin(const QPainterPath &chemin, const DegradeChemin &d, QPointF point);
// Fills the path on the picture with the gradient (anti-aliased edge).
void RemplitDegradeChemin(QImage &image, const QPainterPath &chemin, const DegradeChemin &d);

// ---- Shapes --------------------------------------------------------------
// A tab: the rectangle shrunk by one pixel on each side, filled with a path
// gradient from set A or B (or plain fill colour A without gradient), outlined
// with the chosen pen colour.
void DessineOngletDegrade(QImage &canevas, const QRect &rect, const JeuBouton &a, const JeuBouton &b,
                          bool jeuA, bool degrade);
// A rounded button (corner 12) filled like the tab, always with the gradient.
void DessineBoutonArrondi(QImage &canevas, const QRect &rect, const JeuBouton &a, const JeuBouton &b, bool jeuA);
// A closed rounded rectangle; the arcs' box is r x r (corners of radius r / 2).
QPainterPath CheminRectArrondi(double x, double y, double w, double h, double r);

// ---- Picture effects for text bitmaps ------------------------------------
// Fades the alpha of the rows between the first and the last non-empty row:
// rising, 0 at the first row and full at the last; otherwise the reverse.
// Returns true, also when there is nothing to fade.
bool FonduReflet(QImage &image, bool montant);
// The picture slanted by `decalage` pixels (top moved right when penchDroite),
// shifted left by half of it, within a picture of the same size.
QImage InclineImage(const QImage &source, bool penchDroite, int decalage);
// The picture squeezed into a trapezoid, widened downwards or upwards.
QImage PerspectiveImage(const QImage &source, bool elargitHaut);

// ---- Text ------------------------------------------------------------------
// (x, y) is the top-left of the text's cell.
void DessineTexteContour(QImage &image, const QString &texte, const QString &police, double taille, int style,
                         int alpha, TColor couleur, double x, double y, bool vertical);
void DessineTexteSimple(QImage &image, const QString &texte, const QString &police, double taille, int style,
                        int alpha, TColor couleur, double x, double y, bool vertical);
// Gradient modes: 1 diagonal, 2 top to bottom, 3 bottom-left to top-right,
// 4 from colour 1 on the outline of (x, y, largeur, hauteur) to colour 2 at a
// centre placed by centreX / centreY in -5..5; any other mode fills with colour 1.
void DessineTexteDegrade(QImage &image, int largeur, int hauteur, const QString &texte, const QString &police,
                         double taille, int style, int alpha1, int alpha2, TColor couleur1, TColor couleur2,
                         double x, double y, int centreX, int centreY, bool vertical, int modeDegrade);

struct FondTexte
{
    TColor couleur1;
    TColor couleur2;
    int modeDegrade = 0; // 0..3 linear (horizontal, vertical, diagonals), 4 from the centre
    int coin = 12;       // corner of the rounded shape
    int forme = 0;       // 0 rectangle, 1 ellipse, 2 rounded rectangle
    bool fonduTout = false;
    int alpha = 255;
};
// Puts a gradient shape behind the text of a text bitmap; the background's
// alpha applies to the background alone, or with fonduTout to both.
void AppliqueFondDegrade(QImage &image, const FondTexte &fond);

// Everything the two text-bitmap makers take.
struct ParamsTexteImage
{
    QString texte;
    QString police = QStringLiteral("Tahoma");
    double taille = 12;
    int style = 0;
    int x = 0;
    int y = 0;
    bool vertical = false;
    // colour 1 / colour 2 of the gradient maker
    TColor couleurTexte;
    TColor couleurOmbre;
    int alphaTexte = 255;
    int alphaOmbre = 255;
    int ombreDx = 0; // shadow offset (outlined/solid maker)
    int ombreDy = 0;
    bool contour = false;
    int centreX = 0; // gradient centre (gradient maker)
    int centreY = 0;
    int modeDegrade = 1;
    bool fond = false;
    FondTexte fondTexte;
    bool distord = false;
    int typeDistorsion = 0; // 0, 1 trapezoid (1 widens upwards), 2, 3 slant (3 leans right)
    bool reflet = false;
    bool fondu = false;
};
// Outlined or solid text with a soft shadow of eight copies.
QImage CreeImageTexteContour(int largeur, int hauteur, const ParamsTexteImage &p);
// Gradient-filled text.
QImage CreeImageTexte(int largeur, int hauteur, const ParamsTexteImage &p);

// The size of the bitmap a text needs (room for descenders and capitals).
QSize TailleTexteImage(const QString &texte, const QString &police, double taille, int style, bool modeChemin);
// The measured size of a text.
QSize MesureTexte(const QString &texte, const QString &police, double taille, int style);
// The text in colour 1, then again in colour 2 shifted by (dx, dy).
void DessineTexteOmbre(QImage &image, const QString &texte, const QString &police, double taille, double x, double y,
                       double dx, double dy, TColor couleur1, TColor couleur2, int style, int alpha1, int alpha2);

// ---- Picture descriptions -------------------------------------------------
// Image flags as the descriptions read them.
enum DrapeauImage : unsigned {
    DrapeauScalable = 0x1,
    DrapeauAlpha = 0x2,
    DrapeauTranslucide = 0x4,
    DrapeauPartiellementScalable = 0x8,
    DrapeauRGB = 0x10,
    DrapeauCMYK = 0x20,
    DrapeauGris = 0x40,
    DrapeauYCBCR = 0x80,
    DrapeauYCCK = 0x100,
};
// The French name of a file format as Qt's readers name it ("png", "jpeg"...);
// an empty format is a picture made in memory; unknown formats give "".
QString NomFormatImageFr(const QByteArray &formatQt);
QString DrapeauxImage(unsigned drapeaux);
QString EspaceCouleurImage(unsigned drapeaux);
// The flags of a picture: alpha when it has an alpha channel, translucent when
// a pixel's alpha is neither 0 nor 255, and its colour space.
unsigned DrapeauxDeImage(const QImage &image);

// Text whose cell's top-left corner is at (x, y), as a canvas writes it.
void EcritTexteHautGauche(QPainter &p, int x, int y, const QString &texte);
