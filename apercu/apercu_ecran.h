#pragma once

#include "theme/couleur.h"
#include "theme/format_images.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>

class QPainter;

// The device-screen preview: the Today screen with its navigation and menu
// bars, drawn from the 22 colour slots over the working picture, and the
// three pictures shown over it on demand (normal and critical notification,
// Start menu). Pure drawing: pictures in, pictures out.

// Colour of slot n (1..22) at index n - 1.
using CouleursApercu = std::array<TColor, 22>;

// What is shown over the Today screen; at most one at a time.
enum class Surimpression { Aucune, MessageNormal, MessageCritique, MenuDemarrer };

// Places of the preview's pictures in the preview panel.
namespace GeometrieApercu {
constexpr QRect BarreNavigation{8, 2, 240, 26};    // Image2
constexpr QRect EcranToday{8, 28, 240, 268};       // Image1
constexpr QRect BarreMenu{8, 296, 240, 26};        // Image3
constexpr QRect MessageNormal{16, 26, 221, 129};   // Image4
constexpr QRect MessageCritique{26, 51, 221, 129}; // Image5
constexpr QPoint MenuDemarrer{8, 28};              // Image6 (sized to its picture)
constexpr QRect RangeeIcones{8, 28, 240, 24};      // Image7
constexpr QSize Panneau{256, 324};
constexpr QRect ZoneDetail{96, 110, 48, 48}; // of the Today screen
constexpr QSize Detail{48, 48};              // Image9
} // namespace GeometrieApercu

// The hot zones of the navigation bar, in its own coordinates: 1 normal
// notification, 2 critical notification, 3 Start menu, 0 none. A zone holds
// its left and top edges, not its right and bottom ones.
int ZoneMessage(int x, int y);
// The hint of a zone; empty for 0.
QString IndiceZone(int zone);

// The embedded pictures the preview draws, each with its key colour already
// transparent: icons by id, and the two notification pictures.
struct RessourcesApercu
{
    QHash<int, QImage> icones;
    QImage messageNormal;
    QImage messageCritique;

    static RessourcesApercu charge();
    QImage icone(int id) const { return icones.value(id); }
};

// The visible w x h area of the current format ([4] x [5]); empty when a
// custom format leaves no visible area.
QSize TailleVisible(const FormatImages &format);
// The top-left visible part of the working picture fitted into the Today
// screen (never enlarged, centred) over a white screen. This is the slow step
// with a large picture: callers keep the result while picture and format stay.
QImage FondToday(const QImage &image, const FormatImages &format);
// The Today screen: the background above with its rows of icons, texts and
// lines in the slot colours (the lines run across the background's width).
QImage DessineEcranToday(const QImage &fond, const CouleursApercu &couleurs, const RessourcesApercu &res,
                         const QDate &date);
// The 48 x 48 detail of the Today screen.
QImage DetailEcran(const QImage &ecranToday);
// A bar: the horizontal gradient c1 to c2 with its icons and texts; the top
// (navigation) bar shows "Start" and the 24-hour time in c3. The icons and
// the time keep their places from the bar's right end.
QImage DessineBarre(QSize taille, TColor c1, TColor c2, TColor c3, bool haut, const RessourcesApercu &res,
                    const QTime &heure);
// The icons and texts of a bar alone, drawn over whatever background the
// painter already holds.
void DessineDecorBarre(QPainter &p, QSize taille, TColor c3, bool haut, const RessourcesApercu &res,
                       const QTime &heure);

// The Start menu's size and where its picture comes from.
struct GeometrieMenu
{
    int largeurMenu = 0; // mw
    int hauteurMenu = 0; // m
    QRect source;        // part of the Start picture drawn into (1, 1, mw, m)
    QSize visible;       // w x h of the format (the outline)
    bool valide() const { return largeurMenu > 0 && hauteurMenu > 0; }
};
GeometrieMenu CalculeGeometrieMenu(const FormatImages &format);
// The Start picture part scaled to the menu (mw x m); slow with a large picture.
QImage FondMenuDemarrer(const QImage &start, const GeometrieMenu &g);
// The whole Start menu picture ((mw + 2) x (m + 2)); null when the format
// leaves no room.
QImage DessineMenuDemarrer(const QImage &fond, const GeometrieMenu &g, const CouleursApercu &couleurs,
                           const RessourcesApercu &res);

// The normal (slots 10, 11 title gradient, slot 16 title) or critical (slots
// 14, 15, slot 17) notification, transparent round its balloon.
QImage DessineNotification(bool critique, const CouleursApercu &couleurs, const RessourcesApercu &res,
                           const QDateTime &maintenant);
// The icon row shown with the critical notification, on slot 7.
QImage DessineRangeeIcones(const CouleursApercu &couleurs, const RessourcesApercu &res);

// Everything of one drawing of the preview panel.
struct ImagesApercu
{
    QImage ecranToday; // Image1
    QImage barreHaut;  // Image2
    QImage barreBas;   // Image3
    QImage detail;     // Image9
    QImage surimpression; // the notification or the Start menu shown, if any
    QPoint positionSurimpression;
    QImage rangeeIcones; // with the critical notification
};
// The panel as one picture (transparent where nothing is drawn).
QImage ComposeApercu(const ImagesApercu &images);
