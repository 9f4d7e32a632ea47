#include "tools/td_theme_cles.h"
#include "tests/support/scripted_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const char *const Panneaux[] = {"CHPl",   "CHTPl",   "CSBFPl", "CMTPl",  "CSFPl",   "CSFCPl",
                                "CCFPl",  "CTFPl",   "CTFCPl", "CTFDPl", "CTFDHPl", "CCBPl",
                                "CCBTPl", "CCBSHPl", "CCBTHPl", "Col34Pl"};

QString ligne(const char *nom, const char *valeur, int type)
{
    return QStringLiteral("%1\t%2\t\t%3").arg(QLatin1String(nom), QLatin1String(valeur)).arg(type);
}

// A theme as a package reader leaves it: a DWORD UseDefaultTitleColor, binary
// colours, a byte-reversed multi-string colour, a name the editor does not
// know, and colour 34.
void remplit(ThemeDocument &doc)
{
    ParametresWM5 p;
    p.BaseHueDefini = true;
    p.ValBaseHue = 0x1C8;
    p.ClesThemeDefinies = true;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(46, 151, 227);
    doc.setParametres(p);
    doc.setClesTheme({ligne("UseDefaultTitleColor", "00000001", 65537),
                      ligne("Color_Highlight", "FF800000", 1),
                      ligne("Color_MenuText", "00FF0000", 65536),
                      ligne("Color_NotAKey", "11223300", 1),
                      ligne("Color_CommandBar", "0a0B0c00", 1)});
}

struct Editeur
{
    ScriptedPrompts prompts;
    TTDThemeCles f;

    explicit Editeur(const ThemeDocument &doc)
        : f(doc.parametres(), doc.clesTheme(), prompts)
    {
        f.show();
    }
    QCheckBox *caseN(int n) { return f.findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(n)); }
    QCheckBox *udtc() { return f.findChild<QCheckBox *>(QStringLiteral("UDTCcb")); }
    QFrame *panneau(int k) { return f.findChild<QFrame *>(QLatin1String(Panneaux[k - 1])); }
    QLabel *label(int k) { return f.findChild<QLabel *>(QStringLiteral("Label%1").arg(k)); }
    QPushButton *bouton(const char *nom) { return f.findChild<QPushButton *>(QLatin1String(nom)); }
    QRgb couleur(int k) { return panneau(k)->palette().color(QPalette::Window).rgb(); }
    void clique(QWidget *w, Qt::KeyboardModifiers m = {})
    {
        ASSERT_NE(w, nullptr);
        // A check box answers on its indicator and caption, at its left.
        const QPoint ou = qobject_cast<QCheckBox *>(w) ? QPoint(6, w->height() / 2) : w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, m, ou);
    }

    // Panel k's box, panel and label as the user sees them.
    void verifie(int k, bool actif, QRgb c = 0, const QString &texte = {})
    {
        SCOPED_TRACE(Panneaux[k - 1]);
        EXPECT_EQ(caseN(k + 1)->isChecked(), actif);
        EXPECT_EQ(panneau(k)->isVisible(), actif);
        EXPECT_EQ(label(k)->isVisible(), actif);
        if (actif) {
            EXPECT_EQ(couleur(k), c);
            EXPECT_EQ(label(k)->text(), texte);
        } else {
            EXPECT_TRUE(label(k)->text().isEmpty());
        }
    }
};

// Everything "Validate" may touch, to compare before and after.
struct Instantane
{
    ParametresWM5 p;
    QStringList cles;
    explicit Instantane(const ThemeDocument &d) : p(d.parametres()), cles(d.clesTheme()) {}
    bool operator==(const Instantane &) const = default;
};

} // namespace

TEST(TDThemeCles, ControlsCarryTheirTextsAndTags)
{
    ThemeDocument doc;
    Editeur e(doc);
    EXPECT_EQ(e.f.findChild<QLabel *>("ActiverLbl")->text(), QStringLiteral("Activate"));
    EXPECT_EQ(e.bouton("ValiderBtn")->text(), QStringLiteral("Validate"));
    EXPECT_EQ(e.bouton("AnnulerBtn")->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(e.f.findChild<QLabel *>("InfoLbl")->text(),
              QStringLiteral("NB : Click + CTRL pressed put the Dropper Color in the selected item"));
    EXPECT_EQ(e.udtc()->text(), QStringLiteral("UseDefaultTitleColor"));
    for (int n = 1; n <= 17; ++n)
        EXPECT_EQ(e.caseN(n)->property("Tag").toInt(), n - 1);
    for (int n = 2; n <= 16; ++n)
        EXPECT_EQ(e.caseN(n)->text(), ListeTDThemeCles.at(n - 1));
    // The panels stand in the key order, one row each, below one another.
    for (int k = 2; k <= 16; ++k)
        EXPECT_GT(e.panneau(k)->geometry().top(), e.panneau(k - 1)->geometry().top());
}

TEST(TDThemeCles, FormShowReadsTheThemeLinesAndColour34)
{
    ThemeDocument doc;
    remplit(doc);
    Editeur e(doc);
    EXPECT_TRUE(e.caseN(1)->isChecked());
    EXPECT_TRUE(e.udtc()->isVisible());
    EXPECT_TRUE(e.udtc()->isChecked());
    e.verifie(1, true, qRgb(0xFF, 0x80, 0x00), QStringLiteral("0xFF800000"));
    // Type 65536 reads its byte pairs reversed: $0000FF00, so blue; the label keeps the text.
    e.verifie(4, true, qRgb(0, 0, 255), QStringLiteral("0x00FF0000"));
    e.verifie(12, true, qRgb(0x0A, 0x0B, 0x0C), QStringLiteral("0x0a0B0c00"));
    e.verifie(16, true, qRgb(46, 151, 227), QStringLiteral("0x2E97E300"));
    for (int k : {2, 3, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15})
        e.verifie(k, false);
}

TEST(TDThemeCles, NothingDefinedShowsNothing)
{
    ThemeDocument doc;
    // Lines present but not in use: the editor shows none of them.
    doc.setClesTheme({ligne("Color_Highlight", "FF800000", 1)});
    Editeur e(doc);
    EXPECT_FALSE(e.caseN(1)->isChecked());
    EXPECT_FALSE(e.udtc()->isVisible());
    for (int k = 1; k <= 16; ++k)
        e.verifie(k, false);
}

TEST(TDThemeCles, ValidateWithoutEditsRewritesTheKnownLines)
{
    ThemeDocument doc;
    remplit(doc);
    {
        Editeur e(doc);
        QSignalSpy spy(&e.f, &TTDThemeCles::valide);
        QObject::connect(&e.f, &TTDThemeCles::valide, &doc,
                         [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });
        e.clique(e.bouton("ValiderBtn"));
        EXPECT_EQ(spy.count(), 1);
        EXPECT_FALSE(e.f.isVisible());
        EXPECT_EQ(e.f.result(), QDialog::Accepted);
    }
    EXPECT_EQ(doc.clesTheme(), (QStringList{"UseDefaultTitleColor\t00000001\t\t65537",
                                            "Color_Highlight\tFF800000\t\t1",
                                            "Color_MenuText\t0000FF00\t\t1",
                                            "Color_CommandBar\t0A0B0C00\t\t1"}));
    EXPECT_TRUE(doc.parametres().ClesThemeDefinies);
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_EQ(doc.parametres().Coul34, TColor::fromRgb(46, 151, 227));
    EXPECT_TRUE(doc.parametres().BaseHueDefini); // untouched
    EXPECT_EQ(doc.parametres().ValBaseHue, 0x1C8);
}

TEST(TDThemeCles, EditsThenValidateWriteExactlyTheBoxesAndColours)
{
    ThemeDocument doc;
    remplit(doc);
    Editeur e(doc);
    e.f.setCouleurPipette(TColor::fromRgb(0x12, 0x34, 0x56));
    QObject::connect(&e.f, &TTDThemeCles::valide, &doc,
                     [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });

    // A new key: its panel appears black, then takes the dialog's colour.
    e.clique(e.caseN(3));
    e.verifie(2, true, qRgb(0, 0, 0), QStringLiteral("0x00000000"));
    e.prompts.color(TColor::fromRgb(1, 2, 3));
    e.clique(e.panneau(2));
    e.verifie(2, true, qRgb(1, 2, 3), QStringLiteral("0x01020300"));
    // A cancelled dialog keeps the colour.
    e.prompts.color(std::nullopt);
    e.clique(e.panneau(2));
    e.verifie(2, true, qRgb(1, 2, 3), QStringLiteral("0x01020300"));
    // Ctrl+click takes the dropper colour, without any dialog.
    e.clique(e.panneau(12), Qt::ControlModifier);
    e.verifie(12, true, qRgb(0x12, 0x34, 0x56), QStringLiteral("0x12345600"));
    // A box unchecked and checked again shows the panel's colour in upper case.
    e.clique(e.caseN(5));
    e.verifie(4, false);
    e.clique(e.caseN(5));
    e.verifie(4, true, qRgb(0, 0, 255), QStringLiteral("0x0000FF00"));
    // Dropping a key and colour 34's new colour.
    e.clique(e.caseN(2));
    e.verifie(1, false);
    e.prompts.color(TColor::fromRgb(0xAB, 0xCD, 0xEF));
    e.clique(e.panneau(16));
    e.clique(e.caseN(16));
    EXPECT_TRUE(e.prompts.exhausted());

    e.clique(e.bouton("ValiderBtn"));
    EXPECT_EQ(doc.clesTheme(), (QStringList{"UseDefaultTitleColor\t00000001\t\t65537",
                                            "Color_HighlightText\t01020300\t\t1",
                                            "Color_MenuText\t0000FF00\t\t1",
                                            "Color_CommandBar\t12345600\t\t1",
                                            "Color_CommandBarText_Highlight\t00000000\t\t1"}));
    EXPECT_TRUE(doc.parametres().ClesThemeDefinies);
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_EQ(doc.parametres().Coul34, TColor::fromRgb(0xAB, 0xCD, 0xEF));

    // Reopened, the editor shows exactly what was written.
    Editeur r(doc);
    EXPECT_TRUE(r.udtc()->isChecked());
    r.verifie(1, false);
    r.verifie(2, true, qRgb(1, 2, 3), QStringLiteral("0x01020300"));
    r.verifie(4, true, qRgb(0, 0, 255), QStringLiteral("0x0000FF00"));
    r.verifie(12, true, qRgb(0x12, 0x34, 0x56), QStringLiteral("0x12345600"));
    r.verifie(15, true, qRgb(0, 0, 0), QStringLiteral("0x00000000"));
    r.verifie(16, true, qRgb(0xAB, 0xCD, 0xEF), QStringLiteral("0xABCDEF00"));
    for (int k : {3, 5, 6, 7, 8, 9, 10, 11, 13, 14})
        r.verifie(k, false);
}

TEST(TDThemeCles, CancelAndCloseLeaveTheDocumentAsItWas)
{
    for (int voie = 0; voie < 3; ++voie) {
        SCOPED_TRACE(voie);
        ThemeDocument doc;
        remplit(doc);
        const Instantane avant(doc);
        QSignalSpy parametres(&doc, &ThemeDocument::parametresChanged);
        QSignalSpy cles(&doc, &ThemeDocument::clesThemeChanged);
        Editeur e(doc);
        QObject::connect(&e.f, &TTDThemeCles::valide, &doc,
                         [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });
        e.clique(e.caseN(1));
        e.clique(e.caseN(2));
        e.clique(e.caseN(17));
        e.clique(e.panneau(4), Qt::ControlModifier);
        if (voie == 0)
            e.clique(e.bouton("AnnulerBtn"));
        else if (voie == 1)
            e.f.close();
        else
            QTest::keyClick(&e.f, Qt::Key_Escape);
        EXPECT_FALSE(e.f.isVisible());
        EXPECT_EQ(e.f.result(), QDialog::Rejected);
        EXPECT_TRUE(Instantane(doc) == avant);
        EXPECT_EQ(doc.clesTheme(), avant.cles);
        EXPECT_EQ(parametres.count(), 0);
        EXPECT_EQ(cles.count(), 0);
    }
}

TEST(TDThemeCles, ValidateWithNothingCheckedClearsTheFlags)
{
    ThemeDocument doc;
    remplit(doc);
    Editeur e(doc);
    QObject::connect(&e.f, &TTDThemeCles::valide, &doc,
                     [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });
    for (int n : {1, 2, 5, 13, 17})
        e.clique(e.caseN(n));
    for (int n = 1; n <= 17; ++n)
        ASSERT_FALSE(e.caseN(n)->isChecked()) << n;
    e.clique(e.bouton("ValiderBtn"));
    EXPECT_TRUE(doc.clesTheme().isEmpty());
    EXPECT_FALSE(doc.parametres().ClesThemeDefinies);
    EXPECT_FALSE(doc.parametres().Coul34Definie);
    EXPECT_TRUE(doc.parametres().BaseHueDefini);
}

TEST(TDThemeCles, UseDefaultTitleColorNeedsBothBoxes)
{
    ThemeDocument doc;
    Editeur e(doc);
    ResultatClesThemeTD dernier;
    QObject::connect(&e.f, &TTDThemeCles::valide, [&](const ResultatClesThemeTD &r) { dernier = r; });
    EXPECT_FALSE(e.udtc()->isVisible());
    e.clique(e.caseN(1));
    ASSERT_TRUE(e.udtc()->isVisible());
    e.clique(e.udtc());
    ASSERT_TRUE(e.udtc()->isChecked());
    e.clique(e.caseN(1)); // the box is hidden again, still checked
    EXPECT_FALSE(e.udtc()->isVisible());
    e.clique(e.bouton("ValiderBtn"));
    EXPECT_TRUE(dernier.ClesTheme.isEmpty());
    EXPECT_FALSE(dernier.ClesThemeDefinies);

    Editeur e2(doc);
    QObject::connect(&e2.f, &TTDThemeCles::valide, [&](const ResultatClesThemeTD &r) { dernier = r; });
    e2.clique(e2.caseN(1));
    e2.clique(e2.udtc());
    e2.clique(e2.bouton("ValiderBtn"));
    EXPECT_EQ(dernier.ClesTheme, QStringList{"UseDefaultTitleColor\t00000001\t\t65537"});
    EXPECT_TRUE(dernier.ClesThemeDefinies);
}

TEST(TDThemeCles, OddLinesAreShownSafelyAndKeptUnlessEdited)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    const QStringList lignes{
        "no tab at all",
        "Color_Highlight\tFF0000",                      // no TAB TAB
        "Color_HighlightText\tZZ112200\t\t1",           // not hexadecimal
        "usedefaulttitlecolor\t01000000\t\t1",          // binary, other case
        "Color_SoftkeyFlat\t00FF0000\t\t65537",         // a DWORD colour
        "Color_MenuText\tFF00\t\t1",                    // too short
        "color_captionflat\t11223300\t\t1",             // other case, sound value
        "Color34\t<b>x</b>\t\t1",                       // colour 34 as an odd theme line
        "Color_TitleFlat\t112233\t\tnot a number",
    };
    doc.setClesTheme(lignes);
    Editeur e(doc);
    EXPECT_TRUE(e.caseN(1)->isChecked());
    EXPECT_TRUE(e.udtc()->isVisible());
    EXPECT_FALSE(e.udtc()->isChecked());
    e.verifie(1, false);
    e.verifie(2, true, qRgb(0, 0, 0), QStringLiteral("0xZZ112200"));
    e.verifie(4, true, qRgb(0, 0, 0xFF), QStringLiteral("0xFF00"));
    e.verifie(5, true, qRgb(0, 0, 0), QStringLiteral("0x00FF0000"));
    e.verifie(7, true, qRgb(0x11, 0x22, 0x33), QStringLiteral("0x11223300"));
    e.verifie(8, false);
    e.verifie(16, false);
    EXPECT_EQ(e.label(2)->textFormat(), Qt::PlainText);

    ResultatClesThemeTD r;
    QObject::connect(&e.f, &TTDThemeCles::valide, [&](const ResultatClesThemeTD &x) { r = x; });
    // Only the too-short value is edited; the other odd lines go back as they were.
    e.prompts.color(TColor::fromRgb(9, 8, 7));
    e.clique(e.panneau(4));
    e.clique(e.bouton("ValiderBtn"));
    EXPECT_EQ(r.ClesTheme, (QStringList{"usedefaulttitlecolor\t01000000\t\t1",
                                        "Color_HighlightText\tZZ112200\t\t1",
                                        "Color_MenuText\t09080700\t\t1",
                                        "Color_SoftkeyFlat\t00FF0000\t\t65537",
                                        "Color_CaptionFlat\t11223300\t\t1",
                                        "Color34\t<b>x</b>\t\t1"}));
    EXPECT_TRUE(r.ClesThemeDefinies);
    EXPECT_FALSE(r.Coul34Definie);
}

TEST(TDThemeCles, EditingAKeptLineRewritesIt)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme({"Color_SoftkeyFlat\t00FF0000\t\t65537", "UseDefaultTitleColor\t1\t\t0"});
    Editeur e(doc);
    e.f.setCouleurPipette(TColor::fromRgb(0x80, 0x40, 0x20));
    ResultatClesThemeTD r;
    QObject::connect(&e.f, &TTDThemeCles::valide, [&](const ResultatClesThemeTD &x) { r = x; });
    e.clique(e.panneau(5), Qt::ControlModifier);
    e.clique(e.udtc());
    e.clique(e.bouton("ValiderBtn"));
    EXPECT_EQ(r.ClesTheme, (QStringList{"UseDefaultTitleColor\t00000001\t\t65537",
                                        "Color_SoftkeyFlat\t80402000\t\t1"}));
}

TEST(TDThemeCles, Colour34LineBecomesColour34)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    p.Coul34 = TColor::fromRgb(1, 1, 1);
    doc.setParametres(p);
    doc.setClesTheme({"Color34\t2E97E300\t\t1"});
    Editeur e(doc);
    e.verifie(16, true, qRgb(46, 151, 227), QStringLiteral("0x2E97E300"));
    QObject::connect(&e.f, &TTDThemeCles::valide, &doc,
                     [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });
    e.clique(e.bouton("ValiderBtn"));
    EXPECT_TRUE(doc.clesTheme().isEmpty());
    EXPECT_FALSE(doc.parametres().ClesThemeDefinies);
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_EQ(doc.parametres().Coul34, TColor::fromRgb(46, 151, 227));
}

TEST(TDThemeCles, ColourValueTexts)
{
    EXPECT_EQ(TexteHexaCouleur(TColor::fromRgb(0x2E, 0x97, 0xE3)), QStringLiteral("0x2E97E300"));
    const auto c1 = CouleurValeurCle(QStringLiteral("2e97e3ff"), 1);
    EXPECT_EQ(c1.couleur, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_TRUE(c1.canonique);
    const auto c2 = CouleurValeurCle(QStringLiteral("00E3972E"), 65536);
    EXPECT_EQ(c2.couleur, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_TRUE(c2.canonique);
    EXPECT_FALSE(CouleurValeurCle(QStringLiteral("E3972E"), 65536).canonique);
    EXPECT_EQ(CouleurValeurCle(QStringLiteral("2E97E300"), 65537).couleur, TColor());
    EXPECT_EQ(CouleurValeurCle(QStringLiteral("2E97E30011"), 1).couleur, TColor());
    EXPECT_EQ(CouleurValeurCle(QStringLiteral("-1"), 1).couleur, TColor());
    EXPECT_EQ(CouleurValeurCle(QString(), 1).couleur, TColor());
}

TEST(TDThemeCles, TheCommandAppliesOnlyAValidatedResult)
{
    ThemeDocument doc;
    remplit(doc);
    ScriptedPrompts prompts;

    // Cancelled: the document stays as it was.
    const Instantane avant(doc);
    QTimer::singleShot(0, [] {
        auto *f = QApplication::activeModalWidget();
        ASSERT_NE(f, nullptr);
        f->findChild<QCheckBox *>("CheckBox2")->click();
        f->findChild<QPushButton *>("AnnulerBtn")->click();
    });
    EXPECT_EQ(OuvreTDThemeCles(doc, prompts, TColor(), nullptr), QDialog::Rejected);
    EXPECT_TRUE(Instantane(doc) == avant);

    // Validated: the dropper colour taken by Ctrl+click reaches the document.
    QTimer::singleShot(0, [] {
        auto *f = QApplication::activeModalWidget();
        ASSERT_NE(f, nullptr);
        auto *panneau = f->findChild<QFrame *>("CHPl");
        QTest::mouseClick(panneau, Qt::LeftButton, Qt::ControlModifier, panneau->rect().center());
        f->findChild<QPushButton *>("ValiderBtn")->click();
    });
    EXPECT_EQ(OuvreTDThemeCles(doc, prompts, TColor::fromRgb(0xC0, 0xFF, 0xEE), nullptr),
              QDialog::Accepted);
    EXPECT_EQ(doc.clesTheme().value(1), QStringLiteral("Color_Highlight\tC0FFEE00\t\t1"));
}

TEST(TDThemeCles, EventsOtherThanMouseButtonsLeaveThePanelsAlone)
{
    ThemeDocument doc;
    remplit(doc);
    Editeur e(doc);
    e.clique(e.caseN(3)); // panel 2 shown, black
    const QRgb avant = e.couleur(2);
    // Each event on the heap at its own size: read as a mouse event, the
    // smaller ones would be read past their end.
    for (int k = 1; k <= 16; ++k) {
        QWidget *p = e.panneau(k);
        ASSERT_NE(p, nullptr);
        std::vector<std::unique_ptr<QEvent>> evenements;
        evenements.push_back(std::make_unique<QEvent>(QEvent::Leave));
        evenements.push_back(std::make_unique<QEvent>(QEvent::ToolTip));
        evenements.push_back(std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
        evenements.push_back(std::make_unique<QResizeEvent>(p->size(), p->size()));
        for (auto &ev : evenements)
            QCoreApplication::sendEvent(p, ev.get());
    }
    EXPECT_EQ(e.couleur(2), avant);
    EXPECT_TRUE(e.prompts.exhausted());
    // Mouse buttons still choose a colour.
    e.prompts.color(TColor::fromRgb(7, 8, 9));
    e.clique(e.panneau(2));
    EXPECT_EQ(e.couleur(2), qRgb(7, 8, 9));
}
