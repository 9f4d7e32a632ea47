// The clamp that keeps a window placed by a formula inside the screen's
// available area.

#include "ui/place_fenetre.h"

#include <gtest/gtest.h>

TEST(PlaceFenetre, APositionIsMovedTheLeastThatBringsTheWindowInside)
{
    // An area under a 30-pixel top panel.
    const QRect zone(0, 30, 1280, 994);
    const QSize taille(517, 674);
    // Inside already: unchanged, edges included.
    EXPECT_EQ(PositionDansZone(QPoint(100, 200), taille, zone), QPoint(100, 200));
    EXPECT_EQ(PositionDansZone(QPoint(0, 30), taille, zone), QPoint(0, 30));
    EXPECT_EQ(PositionDansZone(QPoint(1280 - 517, 1024 - 674), taille, zone), QPoint(763, 350));
    // Above the top (a main window at the top edge, a taller window centred on it).
    EXPECT_EQ(PositionDansZone(QPoint(90, -66), taille, zone), QPoint(90, 30));
    // Off the left, the right and the bottom, one pixel or far.
    EXPECT_EQ(PositionDansZone(QPoint(-2, 100), taille, zone), QPoint(0, 100));
    EXPECT_EQ(PositionDansZone(QPoint(764, 100), taille, zone), QPoint(763, 100));
    EXPECT_EQ(PositionDansZone(QPoint(5000, 5000), taille, zone), QPoint(763, 350));
    // An area that does not start at the origin (a second screen on the left).
    EXPECT_EQ(PositionDansZone(QPoint(-1500, -10), taille, QRect(-1024, 0, 1024, 768)), QPoint(-1024, 0));
    // A window larger than the area keeps its top-left corner on the screen.
    EXPECT_EQ(PositionDansZone(QPoint(-40, -40), QSize(900, 900), QRect(0, 0, 800, 600)), QPoint(0, 0));
    EXPECT_EQ(PositionDansZone(QPoint(300, 300), QSize(900, 900), QRect(0, 0, 800, 600)), QPoint(0, 0));
    // No area known: the position as asked.
    EXPECT_EQ(PositionDansZone(QPoint(-5, -6), taille, QRect()), QPoint(-5, -6));
}
