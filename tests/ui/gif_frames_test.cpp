#include "ui/gif_frames.h"
#include "tests/support/gif_test_writer.h"

#include <gif_lib.h>

#include <gtest/gtest.h>

using gifecrit::Cadre;

namespace {

const std::vector<QRgb> kPalette{qRgb(255, 255, 255), qRgb(0, 0, 128), qRgb(200, 10, 30), qRgb(0, 90, 0)};

QRgb px(const QImage &i, int x, int y) { return i.pixel(x, y); }

} // namespace

TEST(GifFrames, DelaysAndFramesComeFromTheFile)
{
    const QByteArray gif = gifecrit::ecrit(8, 6, kPalette,
                                           {gifecrit::uni(8, 6, 0, 1, 0, 0, 2, 2, 5),
                                            gifecrit::uni(8, 6, 0, 2, 6, 4, 2, 2, 20)});
    ErreurGif e = ErreurGif::Defectueux;
    const auto r = decodeImagesGif(gif, &e);
    ASSERT_TRUE(r);
    EXPECT_EQ(e, ErreurGif::Aucune);
    EXPECT_TRUE(r->aDelais);
    EXPECT_EQ(r->largeur, 8);
    EXPECT_EQ(r->hauteur, 6);
    EXPECT_EQ(r->delaisMs, (QList<int>{50, 200}));
    ASSERT_EQ(r->images.size(), 2);
    for (const QImage &i : r->images) {
        EXPECT_EQ(i.size(), QSize(8, 6));
        EXPECT_EQ(i.format(), QImage::Format_ARGB32);
    }
    EXPECT_EQ(px(r->images[0], 1, 1), qRgb(0, 0, 128));
    EXPECT_EQ(px(r->images[0], 7, 5), qRgb(255, 255, 255));
    EXPECT_EQ(px(r->images[1], 1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(px(r->images[1], 7, 5), qRgb(200, 10, 30));
}

TEST(GifFrames, StillPicturesAndOneFrame)
{
    // No graphic control extension anywhere: no delay table.
    Cadre c = gifecrit::uni(4, 4, 0, 1, 1, 1, 2, 2, 0);
    c.controle = false;
    auto r = decodeImagesGif(gifecrit::ecrit(4, 4, kPalette, {c, c}));
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->aDelais);
    EXPECT_EQ(r->delaisMs, (QList<int>{0, 0}));

    r = decodeImagesGif(gifecrit::ecrit(4, 4, kPalette, {gifecrit::uni(4, 4, 0, 1, 1, 1, 2, 2, 7)}));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->aDelais);
    EXPECT_EQ(r->images.size(), 1);
    EXPECT_EQ(r->delaisMs, (QList<int>{70}));
}

TEST(GifFrames, PartialFramesAreComposedWithTheirDisposal)
{
    Cadre fond = gifecrit::uni(6, 6, 0, 3, 0, 0, 6, 6, 1); // all green
    // A 2x2 red patch at (1,1) restored to what was under it afterwards.
    Cadre precedent = gifecrit::uni(2, 2, 2, 2, 0, 0, 0, 0, 1);
    precedent.gauche = 1;
    precedent.haut = 1;
    precedent.disposition = DISPOSE_PREVIOUS;
    // A 2x2 patch at (3,3), half transparent (index 0 transparent), cleared afterwards.
    Cadre efface;
    efface.gauche = 3;
    efface.haut = 3;
    efface.largeur = 2;
    efface.hauteur = 2;
    efface.index = {1, 0, 0, 1};
    efface.transparente = 0;
    efface.disposition = DISPOSE_BACKGROUND;
    efface.delaiCs = 1;
    Cadre fin = gifecrit::uni(1, 1, 2, 2, 0, 0, 0, 0, 1);

    const auto r = decodeImagesGif(gifecrit::ecrit(6, 6, kPalette, {fond, precedent, efface, fin}));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->images.size(), 4);
    const QRgb vert = qRgb(0, 90, 0), rouge = qRgb(200, 10, 30), bleu = qRgb(0, 0, 128);
    EXPECT_EQ(px(r->images[1], 1, 1), rouge);
    EXPECT_EQ(px(r->images[1], 0, 0), vert);
    // Frame 2: the red patch is gone again; the transparent pixels show green.
    EXPECT_EQ(px(r->images[2], 1, 1), vert);
    EXPECT_EQ(px(r->images[2], 3, 3), bleu);
    EXPECT_EQ(px(r->images[2], 4, 3), vert);
    // Frame 3: the patch at (3,3) was cleared to transparent.
    EXPECT_EQ(r->images[3].pixel(3, 3), 0u);
    EXPECT_EQ(r->images[3].pixel(4, 3), 0u);
    EXPECT_EQ(px(r->images[3], 0, 0), rouge);
    EXPECT_EQ(px(r->images[3], 5, 5), vert);
}

TEST(GifFrames, InterlacedAndOffScreenFrames)
{
    Cadre c;
    c.largeur = 3;
    c.hauteur = 10;
    c.entrelace = true;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 3; ++x)
            c.index.push_back(y % 4);
    // A frame that sticks out of the logical screen is clipped to it.
    Cadre dehors = gifecrit::uni(4, 4, 2, 2, 0, 0, 0, 0, 1);
    dehors.gauche = 2;
    dehors.haut = 8;
    const auto r = decodeImagesGif(gifecrit::ecrit(4, 10, kPalette, {c, dehors}));
    ASSERT_TRUE(r);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(px(r->images[0], 1, y), kPalette[size_t(y % 4)]) << y;
    EXPECT_EQ(px(r->images[1], 3, 9), qRgb(200, 10, 30));
    EXPECT_EQ(px(r->images[1], 1, 9), kPalette[1]);
}

TEST(GifFrames, DamagedFilesFailCleanly)
{
    const QByteArray bon = gifecrit::ecrit(16, 16, kPalette,
                                           {gifecrit::uni(16, 16, 0, 1, 0, 0, 8, 8, 5),
                                            gifecrit::uni(16, 16, 0, 2, 8, 8, 8, 8, 5)});
    ErreurGif e{};
    // Cut inside the second frame's pixel data.
    EXPECT_FALSE(decodeImagesGif(bon.left(bon.size() - 6), &e));
    EXPECT_EQ(e, ErreurGif::Tronque);
    // Cut inside the header and the colour table.
    EXPECT_FALSE(decodeImagesGif(bon.left(8), &e));
    EXPECT_FALSE(decodeImagesGif(bon.left(20), &e));
    EXPECT_EQ(e, ErreurGif::Tronque);
    // Only the trailer missing: the complete frames are kept.
    const auto sansFin = decodeImagesGif(bon.left(bon.size() - 1), &e);
    ASSERT_TRUE(sansFin);
    EXPECT_EQ(sansFin->images.size(), 2);

    EXPECT_FALSE(decodeImagesGif(QByteArray("\x89PNG\r\n\x1a\n", 8), &e));
    EXPECT_EQ(e, ErreurGif::PasUnGif);
    EXPECT_FALSE(decodeImagesGif({}, &e));
    EXPECT_EQ(e, ErreurGif::PasUnGif);

    // A header and a trailer, no frame.
    QByteArray vide = bon.left(13 + 3 * 4);
    vide.append(';');
    EXPECT_FALSE(decodeImagesGif(vide, &e));
    EXPECT_EQ(e, ErreurGif::AucuneImage);

    // A logical screen of 65535 x 65535 is refused before anything is allocated.
    QByteArray enorme = bon;
    enorme[6] = enorme[7] = enorme[8] = enorme[9] = char(0xFF);
    EXPECT_FALSE(decodeImagesGif(enorme, &e));
    EXPECT_EQ(e, ErreurGif::TropGrand);

    // An unknown record byte where a record should start.
    QByteArray tordu = bon;
    tordu[13 + 12] = 'Z';
    EXPECT_FALSE(decodeImagesGif(tordu, &e));
    EXPECT_EQ(e, ErreurGif::Defectueux);
}

TEST(GifFrames, EveryPrefixOfAFileIsHandled)
{
    const QByteArray bon = gifecrit::ecrit(9, 7, kPalette,
                                           {gifecrit::uni(9, 7, 0, 1, 0, 0, 3, 3, 5),
                                            gifecrit::uni(9, 7, 3, 2, 4, 4, 3, 3, 5)});
    for (qsizetype n = 0; n < bon.size(); ++n) {
        ErreurGif e{};
        const auto r = decodeImagesGif(bon.left(n), &e);
        if (r)
            EXPECT_EQ(e, ErreurGif::Aucune);
        else
            EXPECT_NE(e, ErreurGif::Aucune) << n;
    }
}
