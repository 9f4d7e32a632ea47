// The program's own dialogs: the colour-set open dialog's size; the sounds
// are loaded once and asked for without waiting.

#include "app/qt_prompts.h"
#include "tests/support/fenetre_principale.h"

#include <QFileDialog>

using fenetretest::surFenetreModale;

TEST(QtPrompts, TheColourSetOpenDialogIsRoomierThanTheOthers)
{
    QtPrompts prompts;
    QSize couleurs, autre;
    surFenetreModale([&](QWidget *d) {
        couleurs = d->size();
        static_cast<QDialog *>(d)->reject();
    });
    EXPECT_FALSE(prompts.openFile({QStringLiteral("Load"), testenv::tempDir(), {}, QStringLiteral("ini"),
                                   QStringLiteral("Colors File (*.ini)|*.ini")}));
    EXPECT_EQ(couleurs, QSize(732, 549));

    surFenetreModale([&](QWidget *d) {
        autre = d->size();
        static_cast<QDialog *>(d)->reject();
    });
    EXPECT_FALSE(prompts.openFile({QStringLiteral("Load"), testenv::tempDir(), {}, QStringLiteral("tsk"),
                                   QStringLiteral("Theme (*.tsk)|*.tsk")}));
    EXPECT_NE(autre, QSize(732, 549));
    EXPECT_TRUE(autre.isValid());
}
