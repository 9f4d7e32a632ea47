#pragma once

// Shared by the image chooser's test programs: a chooser over a test program
// folder with scripted prompts, and test pictures.

#include "tools/choix_images.h"

#include "ui/app_context.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace choixtest {

inline ::testing::AssertionResult memeImage(const QImage &a0, const QImage &b0)
{
    const QImage a = a0.convertToFormat(QImage::Format_ARGB32), b = b0.convertToFormat(QImage::Format_ARGB32);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ: " << a.width() << "x" << a.height() << " vs "
                                             << b.width() << "x" << b.height();
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") " << std::hex
                                                     << a.pixel(x, y) << " != " << b.pixel(x, y);
    return ::testing::AssertionSuccess();
}

// A smooth picture with noise, every pixel different from its neighbours.
inline QImage photo(int w, int h, unsigned graine = 7)
{
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 gen(graine);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255 / w + int(gen() % 24)) % 256, (y * 255 / h) % 256,
                                    (90 + int(gen() % 80)) % 256));
    return img;
}

inline QString ecritPhoto(const QString &nom, const QImage &image)
{
    const QString chemin = testenv::tempDir() + QLatin1Char('/') + nom;
    EXPECT_TRUE(image.save(chemin, "PNG"));
    return chemin;
}

struct Choix
{
    ScriptedPrompts prompts;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TChoixImages> w;
    QList<int> aides;

    explicit Choix(int format)
    {
        DossiersProgramme d;
        d.DossierAppli = testenv::programDir() + QLatin1Char('/');
        d.DossierTravail = testenv::tempDir() + QLatin1Char('/');
        d.DossierImg = testenv::tempDir() + QLatin1Char('/');
        ctx = std::make_unique<AppContext>(d, &prompts);
        ctx->document.setFormatTheme(format);
        w = std::make_unique<TChoixImages>(*ctx, [this](int id) { aides << id; });
        w->setGraineExplosion(1);
    }
    // Shows the window; with no working picture the open dialog answers `fichier`.
    void montre()
    {
        w->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->ImageChargee(); }, 5000));
    }
    template<typename T>
    T *trouve(const char *nom)
    {
        T *t = w->findChild<T *>(QString::fromLatin1(nom));
        EXPECT_NE(t, nullptr) << nom;
        return t;
    }
    QButtonGroup *groupe(const char *nomBoite)
    {
        return trouve<QWidget>(nomBoite)->findChild<QButtonGroup *>();
    }
    // Check boxes and radio buttons take clicks on their indicator and text only.
    void clique(QAbstractButton *b)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return b->isVisible() && b->width() > 0; }, 5000));
        const bool indicateur = qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b);
        QTest::mouseClick(b, Qt::LeftButton, {}, indicateur ? QPoint(6, b->height() / 2) : b->rect().center());
    }
    QString appli(const QString &nom) const { return ctx->dossiers.DossierAppli + nom; }
};

} // namespace choixtest
