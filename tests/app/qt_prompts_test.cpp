// The program's own dialogs: a short message still leaves room for the whole
// title; the colour-set open dialog's size; a question's default button and
// Escape give the answer that changes nothing.

#include "app/qt_prompts.h"
#include "tests/support/fenetre_principale.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using fenetretest::surFenetreModale;

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

TEST(QtPrompts, TheFolderBrowserHasItsOwnTitleAndShowsThePromptInside)
{
    QtPrompts prompts;
    const QString dossier = testenv::tempDir() + QStringLiteral("/choisi");
    ASSERT_TRUE(QDir().mkpath(dossier));
    const QString invite = QStringLiteral("Validate Save Dir for \"TODAY\":");
    QString titre, texte;
    bool inviteVisible = false, auDessus = false;
    surFenetreModale([&](QWidget *d) {
        titre = d->windowTitle();
        if (auto *l = d->findChild<QLabel *>(QStringLiteral("InviteLbl"))) {
            texte = l->text();
            inviteVisible = l->isVisible();
            // Above the folder list, not lost under the buttons.
            auto *liste = d->findChild<QWidget *>(QStringLiteral("listView"));
            auDessus = liste && l->mapTo(d, QPoint()).y() < liste->mapTo(d, QPoint()).y();
        }
        static_cast<QFileDialog *>(d)->selectFile(dossier);
        QMetaObject::invokeMethod(d, "accept");
    });
    const std::optional<QString> choisi = prompts.chooseFolder(invite, testenv::tempDir());
    EXPECT_EQ(titre, QStringLiteral("Choose Dir for Theme"));
    EXPECT_EQ(texte, invite);
    EXPECT_TRUE(inviteVisible);
    EXPECT_TRUE(auDessus);
    ASSERT_TRUE(choisi.has_value());
    EXPECT_EQ(QDir(*choisi).canonicalPath(), QDir(dossier).canonicalPath());

    // Cancelled: nothing chosen.
    surFenetreModale([](QWidget *d) { static_cast<QDialog *>(d)->reject(); });
    EXPECT_FALSE(prompts.chooseFolder(invite, testenv::tempDir()).has_value());
}

TEST(QtPrompts, ASaveDialogSaysWhyANameTooLongForAFileCannotBeSaved)
{
    QtPrompts prompts;
    const QString long300 = QString(300, QLatin1Char('n')) + QStringLiteral(" coul.ini");
    bool raisonVue = false, sauverGrise = false, raisonPartie = false, sauverRendu = false;
    QString raison;
    surFenetreModale([&](QWidget *d) {
        auto *champ = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *lbl = d->findChild<QLabel *>(QStringLiteral("NomTropLongLbl"));
        auto *boutons = d->findChild<QDialogButtonBox *>();
        if (!champ || !lbl || !boutons) {
            ADD_FAILURE() << "not the program's save dialog";
            static_cast<QDialog *>(d)->reject();
            return;
        }
        QPushButton *sauver = boutons->button(QDialogButtonBox::Save);
        raisonVue = lbl->isVisible();
        raison = lbl->text();
        sauverGrise = sauver && !sauver->isEnabled();
        // A name that fits: the line goes and Save comes back.
        champ->setText(QStringLiteral("Court coul.ini"));
        raisonPartie = !lbl->isVisible();
        sauverRendu = sauver && sauver->isEnabled();
        QMetaObject::invokeMethod(d, "accept");
    });
    const auto choisi = prompts.saveFile(
        {QStringLiteral("Save"), testenv::tempDir(), long300, QStringLiteral("ini"), QStringLiteral("Colors File (*.ini)|*.ini")});
    EXPECT_TRUE(raisonVue);
    EXPECT_TRUE(sauverGrise);
    EXPECT_EQ(raison, TexteNomTropLong(long300.size(), LongueurMaxNomFichier(testenv::tempDir())));
    EXPECT_TRUE(raison.contains(QStringLiteral("309")));
    EXPECT_TRUE(raisonPartie);
    EXPECT_TRUE(sauverRendu);
    ASSERT_TRUE(choisi.has_value());
    EXPECT_EQ(QFileInfo(*choisi).fileName(), QStringLiteral("Court coul.ini"));
}

// Every question confirms a step that may drop work: Enter (on the button
// that has the focus, or on the keypad) and Escape give the answer that
// changes nothing, and the other buttons still answer as they say.
TEST(QtPrompts, EnterAndEscapeGiveTheAnswerThatChangesNothing)
{
    using B = Prompts::Buttons;
    using A = Prompts::Answer;
    struct Cas
    {
        B boutons;
        A sure;
        QMessageBox::StandardButton boutonSur;
        std::vector<std::pair<QMessageBox::StandardButton, A>> autres;
    };
    const Cas cas[] = {
        {B::OkCancel, A::Cancel, QMessageBox::Cancel, {{QMessageBox::Ok, A::Ok}}},
        {B::YesNo, A::No, QMessageBox::No, {{QMessageBox::Yes, A::Yes}}},
        {B::YesNoCancel, A::Cancel, QMessageBox::Cancel, {{QMessageBox::Yes, A::Yes}, {QMessageBox::No, A::No}}},
        {B::Ok, A::Ok, QMessageBox::Ok, {}},
    };
    QtPrompts prompts;
    for (const Cas &c : cas) {
        EXPECT_EQ(Prompts::safeAnswer(c.boutons), c.sure);
        for (const Qt::Key touche : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SCOPED_TRACE(testing::Message() << int(c.boutons) << " key " << std::hex << touche);
            surFenetreModale([&](QWidget *d) {
                auto *box = qobject_cast<QMessageBox *>(d);
                ASSERT_TRUE(box);
                QAbstractButton *sur = box->button(c.boutonSur);
                ASSERT_TRUE(sur);
                EXPECT_EQ(box->defaultButton(), sur);
                EXPECT_EQ(box->escapeButton(), sur);
                // Enter lands on the button that has the focus.
                EXPECT_EQ(box->focusWidget(), sur);
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, touche);
            });
            EXPECT_EQ(prompts.question(QStringLiteral("Drop it?"), {}, c.boutons, Prompts::Icon::Warning), c.sure);
        }
        for (const auto &[bouton, reponse] : c.autres) {
            surFenetreModale([bouton](QWidget *d) {
                auto *box = qobject_cast<QMessageBox *>(d);
                ASSERT_TRUE(box && box->button(bouton));
                box->button(bouton)->click();
            });
            EXPECT_EQ(prompts.question(QStringLiteral("Drop it?"), {}, c.boutons, Prompts::Icon::Warning), reponse);
        }
    }
}
