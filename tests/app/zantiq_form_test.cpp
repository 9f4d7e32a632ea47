#include "app/zantiq_form.h"
#include "tests/support/attente.h"
#include "tests/support/pixels.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Takes the addresses the program asks the desktop to open.
class Adresses : public QObject
{
    Q_OBJECT
public:
    Adresses()
    {
        for (const char *s : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(s), this, "ouvre");
    }
    ~Adresses() override
    {
        for (const char *s : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(s));
    }
    QList<QUrl> ouvertes;

public slots:
    void ouvre(const QUrl &u) { ouvertes << u; }
};

} // namespace

// ---- Site window -----------------------------------------------------------------

TEST(ZantiqForm, FadesInToFullOpacityIn24Ticks)
{
    TZantiqForm f;
    int ticks = 0;
    QObject::connect(&f.Timer1, &QTimer::timeout, [&] { ++ticks; });
    f.show();
    EXPECT_EQ(f.alpha(), 0);
    EXPECT_TRUE(f.fonduEnCours());
    ASSERT_TRUE(testenv::attendCondition([&] { return !f.fonduEnCours(); }, 10000));
    EXPECT_EQ(ticks, 24);
    EXPECT_EQ(f.alpha(), 240);
    EXPECT_DOUBLE_EQ(f.windowOpacity(), 1.0);
    // The background: the gradient runs from $F7DFD6 at the top to $B85621 at 110.
    EXPECT_TRUE(testenv::proche(f.fond().pixel(5, 0), qRgb(0xD6, 0xDF, 0xF7), 3));
    EXPECT_TRUE(testenv::proche(f.fond().pixel(5, 109), qRgb(0x21, 0x56, 0xB8), 3));
    EXPECT_TRUE(testenv::proche(f.fond().pixel(5, 112), qRgb(0x21, 0x56, 0xB8), 3));
    EXPECT_TRUE(testenv::proche(f.fond().pixel(5, f.height() - 1), qRgb(0xD6, 0xDF, 0xF7), 3));
}

TEST(ZantiqForm, LinksOpenTheirAddresses)
{
    Adresses adresses;
    TZantiqForm f;
    f.show();
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(500, 270));
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(440, 10));
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(30, 270));
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(200, 60)); // outside every link
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(561, 270)); // just past the maker's page
    QTest::mouseClick(f.AccueilLbl, Qt::LeftButton);
    QTest::mouseClick(f.DownloadLbl, Qt::LeftButton);
    for (QLabel *d : f.Drapeaux)
        QTest::mouseClick(d, Qt::LeftButton);
    QCoreApplication::processEvents();
    const QList<QUrl> attendues{TZantiqForm::adresseKelm(),
                                TZantiqForm::adresseWebmaster(),
                                TZantiqForm::adresseTutoriel(),
                                TZantiqForm::adresseAccueil(),
                                TZantiqForm::adresseTelechargement(-1),
                                TZantiqForm::adresseTelechargement(0),
                                TZantiqForm::adresseTelechargement(1),
                                TZantiqForm::adresseTelechargement(2),
                                TZantiqForm::adresseTelechargement(3),
                                TZantiqForm::adresseTelechargement(4)};
    EXPECT_EQ(adresses.ouvertes, attendues);
    const QStringList fichiers{QStringLiteral("Orvandel.zip"), QStringLiteral("OrvandelEnglish.zip"),
                               QStringLiteral("OrvandelItalian.zip"), QStringLiteral("OrvandelEspagnol.zip"),
                               QStringLiteral("OrvandelGerman.zip")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(adresses.ouvertes.at(5 + i).toString().endsWith(QLatin1Char('/') + fichiers.at(i)));
        EXPECT_EQ(f.Drapeaux.at(i)->toolTip(), adresses.ouvertes.at(5 + i).toString());
    }
    EXPECT_EQ(adresses.ouvertes.at(1).scheme(), QStringLiteral("mailto"));

    QTest::mouseMove(&f, QPoint(500, 270));
    EXPECT_EQ(f.toolTip(), QStringLiteral("Kelm page (Zantiq)"));
    EXPECT_EQ(f.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&f, QPoint(200, 60));
    EXPECT_EQ(f.toolTip(), QString());
    EXPECT_EQ(f.cursor().shape(), Qt::ArrowCursor);
}

TEST(ZantiqForm, EscapeClosesAndTheModalWindowPausesTheAnimation)
{
    AnimationPause pause;
    bool enPause = false;
    QTimer::singleShot(0, [&] {
        auto *f = qobject_cast<TZantiqForm *>(QApplication::activeModalWidget());
        ASSERT_TRUE(f);
        enPause = pause.isPaused();
        QTest::keyClick(f, Qt::Key_Escape);
    });
    OuvreZantiqForm(nullptr, &pause);
    EXPECT_TRUE(enPause);
    EXPECT_FALSE(pause.isPaused());
}

#include "zantiq_form_test.moc"
