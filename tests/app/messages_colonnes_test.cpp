// Messages whose lines hold TAB-separated columns show them in line: the
// size estimate's colons and the colour report's value, type and name
// columns start at the same place on every line, whatever the font.

#include "app/estimation_taille.h"
#include "app/qt_prompts.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// The left edge of every laid-out block whose text starts with `debut`.
QList<qreal> bords(const QString &html, const QString &debut)
{
    QTextDocument d;
    d.setHtml(html);
    d.setTextWidth(2000);
    QList<qreal> x;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(debut))
            x << d.documentLayout()->blockBoundingRect(b).left();
    return x;
}

QString texteBrut(const QString &html)
{
    QTextDocument d;
    d.setHtml(html);
    return d.toPlainText();
}

} // namespace

TEST(MessagesColonnes, TheSizeEstimateColumnsLineUp)
{
    EstimationTsk e;
    e.membres = 3;
    e.enteteCab = 143;
    e.inf = 1234;
    e.images = 30000;
    e.total = e.enteteCab + e.inf + e.images;
    const QString message = MessageEstimationTsk(e);
    ASSERT_TRUE(message.contains(QLatin1Char('\t')));
    const QString html = TexteEnColonnes(message);
    const QList<qreal> x = bords(html, QStringLiteral(":"));
    ASSERT_EQ(x.size(), 3) << html.toStdString();
    EXPECT_EQ(x[0], x[1]);
    EXPECT_EQ(x[1], x[2]);
    // The words are all there, in order, and escaped.
    const QString brut = texteBrut(html);
    for (const char *mot : {"TSK Size", "Cab Header", "143 bytes", "Inf", "1234 bytes", "Img(s)", "30000 bytes"})
        EXPECT_TRUE(brut.contains(QLatin1String(mot))) << mot;
    EXPECT_LT(brut.indexOf("Cab Header"), brut.indexOf("Img(s)"));
}

TEST(MessagesColonnes, ReportLinesKeepTheirColumnsAndPlainLinesSpanThem)
{
    const QString rapport = QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Color :\r\n\r\nColors <&> :"
                                           "\r\n05\t 2E,97,E3,00\tREG_BINARY\tNavigation Bar, Color 1"
                                           "\r\n40\t 00EBB24A\tREG_DWORD\tTap-and-hold dots");
    const QString html = TexteEnColonnes(rapport);
    EXPECT_EQ(bords(html, QStringLiteral("REG_")).size(), 2);
    const QList<qreal> types = bords(html, QStringLiteral("REG_"));
    EXPECT_EQ(types[0], types[1]);
    const QList<qreal> noms = bords(html, QStringLiteral("Navigation"));
    ASSERT_EQ(noms.size(), 1);
    EXPECT_EQ(noms[0], bords(html, QStringLiteral("Tap-and-hold"))[0]);
    const QString brut = texteBrut(html);
    EXPECT_TRUE(brut.contains("Colors <&> :"));
    EXPECT_FALSE(brut.contains(QLatin1Char('\t')));
    EXPECT_FALSE(brut.contains(QLatin1Char('\r')));
    // A text without TAB is left alone (plain text, no markup).
    EXPECT_EQ(TexteEnColonnes(QStringLiteral("Not connected !")), QStringLiteral("Not connected !"));
    EXPECT_EQ(TexteEnColonnes(QStringLiteral("a <b> c")), QStringLiteral("a <b> c"));
}

// The program's message window shows such a text whole: the label is as wide
// and as high as its columns; a text without columns keeps the standard box.
TEST(MessagesColonnes, TheMessageWindowShowsTheColumnsWhole)
{
    QtPrompts p;
    bool vu = false;
    QTimer::singleShot(0, [&] {
        (void)QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
        QWidget *f = QApplication::activeModalWidget();
        ASSERT_TRUE(f);
        auto *l = f->findChild<QLabel *>("TexteLbl");
        ASSERT_TRUE(l);
        vu = true;
        EXPECT_EQ(l->textFormat(), Qt::RichText);
        EXPECT_GE(l->width(), l->sizeHint().width());
        EXPECT_GE(l->height(), l->sizeHint().height());
        EXPECT_TRUE(f->rect().contains(QRect(l->mapTo(f, QPoint()), l->size())));
        f->close();
    });
    p.message(QStringLiteral("TSK Size : 5 bytes\r\nCab Header\t: 1 bytes\r\nInf\t\t: 2 bytes\r\nImg(s)\t\t: 2 bytes"), {},
              Prompts::Icon::None);
    EXPECT_TRUE(vu);
}
