// The writer and the readers take the setup file's layout from one header:
// write a file, then read every header field back through that header's
// offsets, and check the readers see what was written.
#include "theme/setup_ce_format.h"

#include "theme/byte_io.h"
#include "theme/inf_rebuilder.h"
#include "theme/setup_ce_reader.h"
#include "theme/setup_ce_writer.h"
#include "theme/theme_document.h"

#include <gtest/gtest.h>

namespace {

using namespace SetupCE;

struct Cas
{
    int format;
    bool startSeul;
    int fichiersAttendus;
    int groupeAttendu;
};

class FormatSetupCE : public ::testing::TestWithParam<Cas>
{};

TEST_P(FormatSetupCE, EveryHeaderFieldReadsBackWhereTheLayoutSaysAndTheReadersAgree)
{
    const Cas c = GetParam();
    ThemeDocument doc;
    doc.setFormatTheme(c.format);
    doc.setInclus(2, true);
    ParametresWM5 p;
    p.UseStartImageDefini = c.startSeul;
    p.ValUseStartImage = 1;
    doc.setParametres(p);
    const QString application = QStringLiteral("Appli");
    const auto octets = ConstruitFichier000(doc, application, QStringLiteral("Bleu"));
    ASSERT_TRUE(octets);
    const QByteArray &b = *octets;
    ByteReader r(b);

    EXPECT_EQ(b.mid(OffSignature, 4), QByteArray("MSCE"));
    EXPECT_EQ(r.u32At(OffLongueur), uint32_t(b.size()));
    EXPECT_EQ(r.u32At(OffProcesseur), TypeProcesseur);
    EXPECT_EQ(r.u32At(OffVersionMinMaj), 3u);
    EXPECT_EQ(r.u32At(OffVersionMinMin), 0u);
    EXPECT_EQ(r.u32At(OffVersionMaxMaj), 100u);
    EXPECT_EQ(r.u32At(OffVersionMaxMin), 0u);
    EXPECT_EQ(r.u32At(OffBuildMin), 0u);
    EXPECT_EQ(r.u32At(OffBuildMax), 0u);

    // The tables follow one another in header order, after the three texts,
    // and the last one ends the file.
    const auto texte = [&](qsizetype pos) {
        const uint16_t o = *r.u16At(pos), l = *r.u16At(pos + 2);
        return std::pair<qsizetype, QByteArray>(o, b.mid(o, l));
    };
    const auto [posAppli, appli] = texte(OffNomApplication);
    const auto [posFournisseur, fournisseur] = texte(OffFournisseur);
    const auto [posPlateformes, plateformes] = texte(OffPlateformes);
    EXPECT_EQ(posAppli, TailleEntete);
    EXPECT_EQ(appli, application.toLatin1() + '\0');
    EXPECT_EQ(posFournisseur, posAppli + appli.size());
    EXPECT_EQ(posPlateformes, posFournisseur + fournisseur.size());
    qsizetype fin = posPlateformes + plateformes.size();
    for (int t = 0; t < NbTables; ++t) {
        const uint32_t off = *r.u32At(posOffset(Table(t)));
        EXPECT_EQ(off, uint32_t(fin)) << "table " << t;
        EXPECT_LE(off, uint32_t(b.size()));
        fin = qsizetype(off) + (t + 1 < NbTables ? *r.u32At(posOffset(Table(t + 1))) - off : 0);
    }
    EXPECT_EQ(*r.u16At(posNombre(Raccourcis)), 0);
    EXPECT_EQ(*r.u32At(posOffset(Raccourcis)), uint32_t(b.size()));
    EXPECT_EQ(OffNbFichiers, posNombre(Fichiers));
    EXPECT_EQ(OffTableFichiers, posOffset(Fichiers));
    EXPECT_EQ(*r.u16At(OffNbFichiers), c.fichiersAttendus);
    // Each file record's head is TailleTeteFichier bytes, its flags FlagsFichier.
    qsizetype pos = *r.u32At(OffTableFichiers);
    for (int i = 0; i < c.fichiersAttendus; ++i) {
        EXPECT_EQ(r.u32At(pos + 6), FlagsFichier);
        pos += TailleTeteFichier + *r.u16At(pos + 10);
    }
    EXPECT_EQ(pos, qsizetype(*r.u32At(posOffset(Ruches))));

    // The readers find the same facts.
    QStringList membres;
    for (int i = 1; i <= c.fichiersAttendus; ++i)
        membres << QStringLiteral("appli.%1").arg(i, 3, 10, QLatin1Char('0'));
    const ResultatSetupCE lu = LitFichierSetupCE(b, membres);
    EXPECT_EQ(lu.groupeFormat, c.groupeAttendu);
    const auto inf = ReconstruireInf(b, LectureSetup{}, ParametresWM5{});
    ASSERT_TRUE(inf);
    EXPECT_EQ(inf->lecture.NomInterneLu, application);
    EXPECT_EQ(inf->lecture.ListeFichiers.size(), c.fichiersAttendus);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatSetupCE,
                         ::testing::Values(Cas{3, false, 2, 0}, Cas{3, true, 1, 1}, Cas{4, false, 4, 2},
                                           Cas{4, true, 2, 3}, Cas{5, false, 4, 4}, Cas{5, true, 2, 5}));

TEST(FormatSetupCE, PictureSetSumsGiveTheirCodesAndEveryOtherSumIsNotATheme)
{
    EXPECT_EQ(GroupeFormatDeSomme(SommeTodayStart), 0);
    EXPECT_EQ(GroupeFormatDeSomme(SommeStart), 1);
    EXPECT_EQ(GroupeFormatDeSomme(SommePaire240), 2);
    EXPECT_EQ(GroupeFormatDeSomme(SommePaire240Start), 3);
    EXPECT_EQ(GroupeFormatDeSomme(SommePaire480), 4);
    EXPECT_EQ(GroupeFormatDeSomme(SommePaire480Start), 5);
    // The sums are those of the slots slotsImages names for each code.
    for (int groupe = 0; groupe < 6; ++groupe) {
        // Even codes hold Today and Start; odd codes the Start pictures only
        // (the second and fourth of each set).
        const std::array<int, 4> emplacements = slotsImages(groupe);
        int somme = 0;
        for (int i = 0; i < 4; ++i)
            if (emplacements[i] >= 0 && (groupe % 2 == 0 || i % 2 == 1))
                somme |= 1 << emplacements[i];
        EXPECT_EQ(GroupeFormatDeSomme(somme), groupe) << groupe;
    }
    for (int somme = 0; somme < 1024; ++somme)
        if (somme != SommeTodayStart && somme != SommeStart && somme != SommePaire240 && somme != SommePaire240Start
            && somme != SommePaire480 && somme != SommePaire480Start) {
            ASSERT_EQ(GroupeFormatDeSomme(somme), GroupeNonTheme) << somme;
        }
}

} // namespace
