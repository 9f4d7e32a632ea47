// The application style's pictures read by name: the same icons, frames and
// tool bars as the Fusion style draws itself.

#include "app/style_barre_outils.h"

#include <QApplication>
#include <QGroupBox>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage imageIcone(const QIcon &icone, QSize taille)
{
    return icone.pixmap(taille).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// Every overflow arrow (both tool bar directions, left-to-right and
// right-to-left) has the Fusion arrow's sizes and pixels at each size asked.
TEST(StyleBarreOutils, OverflowArrowsAreTheBaseStylesArrows)
{
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    ASSERT_TRUE(fusion);
    StyleBarreOutils style(QStyleFactory::create(QStringLiteral("Fusion")));
    for (auto icone : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        for (Qt::LayoutDirection sens : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = sens;
            const QIcon attendue = fusion->standardIcon(icone, &option);
            const QIcon obtenue = style.standardIcon(icone, &option);
            ASSERT_FALSE(attendue.isNull());
            EXPECT_EQ(obtenue.availableSizes(), attendue.availableSizes()) << icone << " " << sens;
            for (QSize taille : {QSize(8, 5), QSize(16, 10), QSize(32, 20), QSize(5, 8), QSize(20, 32), QSize(12, 12),
                                 QSize(42, 42)})
                EXPECT_EQ(imageIcone(obtenue, taille), imageIcone(attendue, taille))
                    << icone << " " << sens << " " << taille.width() << "x" << taille.height();
        }
    }
    // Other icons are the base style's.
    EXPECT_EQ(imageIcone(style.standardIcon(QStyle::SP_DialogOkButton), QSize(16, 16)),
              imageIcone(fusion->standardIcon(QStyle::SP_DialogOkButton), QSize(16, 16)));
}

// Group boxes, titled or not, checkable or not, empty or tall, draw the same
// pixels under both styles.
TEST(StyleBarreOutils, GroupBoxFramesMatchTheBaseStyle)
{
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    StyleBarreOutils style(QStyleFactory::create(QStringLiteral("Fusion")));
    struct Cas
    {
        const char *titre;
        bool cochable;
        QSize taille;
    };
    for (const Cas &c : {Cas{"", false, {120, 60}}, Cas{"Colors", false, {150, 80}}, Cas{"", true, {90, 50}},
                         Cas{"Device", true, {200, 140}}, Cas{"Tiny", false, {12, 12}}}) {
        QImage images[2];
        for (int i = 0; i < 2; ++i) {
            QGroupBox groupe(QString::fromLatin1(c.titre));
            groupe.setCheckable(c.cochable);
            groupe.setStyle(i == 0 ? fusion.get() : static_cast<QStyle *>(&style));
            groupe.resize(c.taille);
            images[i] = groupe.grab().toImage();
        }
        EXPECT_EQ(images[1], images[0]) << c.titre << " " << c.cochable;
    }
}

// A tool bar too narrow for its buttons shows its overflow button: the same
// once the application runs on the style (installed once, whatever the calls).
TEST(StyleBarreOutils, InstalledStyleKeepsTheToolBarsLook)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    auto barre = [] {
        auto b = std::make_unique<QToolBar>();
        for (int i = 0; i < 12; ++i)
            b->addAction(QStringLiteral("Action %1").arg(i));
        b->resize(160, 40);
        b->show();
        QApplication::processEvents();
        return b;
    };
    auto avant = barre();
    const QImage attendue = avant->grab().toImage();
    const auto *extension = avant->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_TRUE(extension);
    EXPECT_TRUE(extension->isVisible());
    avant.reset();

    InstalleStyleBarreOutils();
    QStyle *installe = QApplication::style();
    EXPECT_TRUE(qobject_cast<StyleBarreOutils *>(installe));
    InstalleStyleBarreOutils();
    EXPECT_EQ(QApplication::style(), installe);
    auto apres = barre();
    EXPECT_EQ(apres->grab().toImage(), attendue);
}
