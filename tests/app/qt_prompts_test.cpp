// The program's message boxes: a short text still leaves room for the
// whole title.

#include "app/qt_prompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Runs the box that the next message shows and returns its width and the
// width its title needs.
std::pair<int, int> largeurs(const std::function<void()> &montre)
{
    std::pair<int, int> r{0, 0};
    QTimer::singleShot(0, [&r] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box";
            return;
        }
        QFont gras = box->font();
        gras.setBold(true);
        r = {box->width(), QFontMetrics(gras).horizontalAdvance(box->windowTitle())};
        box->done(QMessageBox::Ok);
    });
    montre();
    return r;
}

} // namespace

TEST(QtPromptsTitre, UnTexteCourtNeCoupePasLeTitre)
{
    QApplication::setApplicationName(QStringLiteral("Orvandel"));
    QtPrompts prompts;
    for (const QString &titre : {QString(), QStringLiteral("Orvandel ActiveSync"),
                                 QStringLiteral("A rather long caption for such a short message")}) {
        const auto [boite, titreLargeur] = largeurs([&] { prompts.message(QStringLiteral("No Tsk chosen !"), titre, Prompts::Icon::None); });
        EXPECT_GE(boite, titreLargeur + 100) << titre.toStdString();
        const auto [boiteQ, titreQ] = largeurs(
            [&] { prompts.question(QStringLiteral("Ok ?"), titre, Prompts::Buttons::YesNo, Prompts::Icon::Question); });
        EXPECT_GE(boiteQ, titreQ + 100) << titre.toStdString();
    }
}
