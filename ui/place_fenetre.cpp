#include "ui/place_fenetre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QPoint PositionDansZone(QPoint voulu, QSize taille, const QRect &zone)
{
    if (!zone.isValid())
        return voulu;
    const int x = std::max(zone.left(), std::min(voulu.x(), zone.left() + zone.width() - taille.width()));
    const int y = std::max(zone.top(), std::min(voulu.y(), zone.top() + zone.height() - taille.height()));
    return {x, y};
}

void PlaceFenetreDansEcran(QWidget *fenetre, QPoint voulu, const QWidget *reference)
{
    if (!fenetre)
        return;
    const QWidget *source = reference ? reference->window() : fenetre;
    QScreen *ecran = nullptr;
    if (source->isVisible())
        ecran = QGuiApplication::screenAt(source->frameGeometry().center());
    if (!ecran)
        ecran = source->screen();
    if (!ecran)
        ecran = QGuiApplication::primaryScreen();
    if (!ecran) {
        fenetre->move(voulu);
        return;
    }
    // The frame round the client area (title bar, borders): known once the
    // window is shown; before, taken to be the reference window's.
    const auto bordsDe = [](const QWidget *w) { return w->frameGeometry().size() - w->geometry().size(); };
    QSize bords(0, 0);
    if (fenetre->isVisible())
        bords = bordsDe(fenetre);
    else if (source != fenetre && source->isVisible())
        bords = bordsDe(source);
    fenetre->move(PositionDansZone(voulu, fenetre->size() + bords, ecran->availableGeometry()));
}
