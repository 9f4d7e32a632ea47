#include "resources/artgen/art_outils.h"
#include "resources/artgen/art_commun.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <functional>

namespace {

using Dessin = std::function<void(QPainter &)>;

const QColor Bleu(0x1E, 0x5F, 0xC8);
const QColor BleuClair(0x9C, 0xC8, 0xF4);
const QColor Rouge(0xD0, 0x30, 0x28);
const QColor Gris(0x80, 0x80, 0x80);
const QColor Encre(0x30, 0x30, 0x30);

ArtworkItem image(const char *nom, int largeur, int hauteur, Dessin dessin)
{
    return {QString::fromLatin1(nom) + QStringLiteral(".png"), [=](const QString &path) {
                QImage img(largeur, hauteur, QImage::Format_ARGB32);
                img.fill(Qt::transparent);
                QPainter p(&img);
                p.setRenderHint(QPainter::Antialiasing);
                dessin(p);
                p.end();
                return img.save(path, "PNG");
            }};
}

ArtworkItem bouton(const char *nom, Dessin dessin)
{
    return image(nom, 24, 24, std::move(dessin));
}

// A bold letter as a path, its cell's top-left corner at (x, y).
QPainterPath lettre(const QString &t, double x, double y, int taille)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(taille);
    f.setBold(true);
    QPainterPath chemin;
    chemin.addText(0, 0, f, t);
    const QRectF b = chemin.boundingRect();
    return QTransform::fromTranslate(x - b.left(), y - b.top()).map(chemin);
}

// The letter "A" centred in the 24 x 24 button.
QPainterPath lettreA(int taille = 18)
{
    QPainterPath a = lettre(QStringLiteral("A"), 0, 0, taille);
    const QRectF b = a.boundingRect();
    return QTransform::fromTranslate((24 - b.width()) / 2, (24 - b.height()) / 2).map(a);
}

// Justified lines of text: alignement 0 left, 1 centre, 2 right.
Dessin justifie(int alignement)
{
    return [alignement](QPainter &p) {
        p.setPen(QPen(Encre, 2, Qt::SolidLine, Qt::FlatCap));
        const int longueurs[5] = {18, 12, 16, 10, 18};
        for (int i = 0; i < 5; ++i) {
            const int l = longueurs[i];
            const int x = alignement == 0 ? 3 : alignement == 1 ? (24 - l) / 2 : 21 - l;
            p.drawLine(QPointF(x, 4 + i * 4), QPointF(x + l, 4 + i * 4));
        }
    };
}

// "ab" written in a direction (0, 90, 180 or 270 degrees) with its arrow.
Dessin ecriture(int quart)
{
    return [quart](QPainter &p) {
        p.translate(12, 12);
        p.rotate(90.0 * quart);
        p.translate(-12, -12);
        p.fillPath(lettre(QStringLiteral("ab"), 3, 4, 13), Bleu);
        p.setPen(QPen(Rouge, 1.6));
        p.drawLine(QPointF(3, 19), QPointF(20, 19));
        p.drawLine(QPointF(20, 19), QPointF(16.5, 16));
        p.drawLine(QPointF(20, 19), QPointF(16.5, 22));
    };
}

// "A" filled with a gradient (mode 1..4) or blue with its soft shadow (mode 0).
Dessin degrade(int mode)
{
    return [mode](QPainter &p) {
        const QPainterPath a = lettreA(20);
        if (mode == 0) {
            p.fillPath(QTransform::fromTranslate(2, 2).map(a), QColor(0, 0, 0, 90));
            p.fillPath(a, Bleu);
            return;
        }
        QBrush b;
        if (mode == 4) {
            QRadialGradient g(12, 12, 11);
            g.setColorAt(0, Qt::yellow);
            g.setColorAt(1, Rouge);
            b = QBrush(g);
        } else {
            const QPointF de = mode == 1 ? QPointF(2, 2) : mode == 2 ? QPointF(12, 2) : QPointF(2, 22);
            const QPointF a2 = mode == 1 ? QPointF(22, 22) : mode == 2 ? QPointF(12, 22) : QPointF(22, 2);
            QLinearGradient g(de, a2);
            g.setColorAt(0, Qt::yellow);
            g.setColorAt(1, Rouge);
            b = QBrush(g);
        }
        p.fillPath(a, b);
        p.setPen(QPen(Encre, 0.6));
        p.drawPath(a);
    };
}

// A trapezoid with two text lines, the narrow side by kind.
Dessin perspective(int sorte)
{
    return [sorte](QPainter &p) {
        QPolygonF t;
        switch (sorte) {
        case 0: t << QPointF(7, 4) << QPointF(17, 4) << QPointF(22, 20) << QPointF(2, 20); break; // narrow top
        case 1: t << QPointF(2, 4) << QPointF(22, 4) << QPointF(17, 20) << QPointF(7, 20); break; // narrow bottom
        case 2: t << QPointF(2, 8) << QPointF(22, 3) << QPointF(22, 21) << QPointF(2, 16); break; // narrow left
        default: t << QPointF(2, 3) << QPointF(22, 8) << QPointF(22, 16) << QPointF(2, 21); break; // narrow right
        }
        p.setPen(QPen(Encre, 1.2));
        p.setBrush(BleuClair);
        p.drawPolygon(t);
        p.setPen(QPen(Bleu, 1.5));
        const QPointF m1 = (t[0] + t[3]) / 2, m2 = (t[1] + t[2]) / 2;
        p.drawLine((t[0] * 2 + t[3]) / 3 + QPointF(2, 0), (t[1] * 2 + t[2]) / 3 - QPointF(2, 0));
        p.drawLine(m1 + QPointF(2, 3), m2 + QPointF(-2, 3));
    };
}

// Two squares of colour swapped by a pair of arrows.
Dessin permute(QColor c1, QColor c2)
{
    return [c1, c2](QPainter &p) {
        p.setPen(QPen(Encre, 1));
        p.setBrush(c1);
        p.drawRect(QRectF(2.5, 2.5, 9, 9));
        p.setBrush(c2);
        p.drawRect(QRectF(12.5, 12.5, 9, 9));
        p.setPen(QPen(Encre, 1.4));
        p.drawLine(QPointF(15, 4), QPointF(20, 4));
        p.drawLine(QPointF(20, 4), QPointF(20, 9));
        p.drawLine(QPointF(20, 9), QPointF(18, 7));
        p.drawLine(QPointF(20, 9), QPointF(22, 7));
        p.drawLine(QPointF(9, 20), QPointF(4, 20));
        p.drawLine(QPointF(4, 20), QPointF(4, 15));
        p.drawLine(QPointF(4, 15), QPointF(2, 17));
        p.drawLine(QPointF(4, 15), QPointF(6, 17));
    };
}

// A background shape: 0 rectangle, 1 ellipse, 2 rounded rectangle.
Dessin forme(int f)
{
    return [f](QPainter &p) {
        QLinearGradient g(0, 4, 0, 20);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, BleuClair);
        p.setPen(QPen(Encre, 1.2));
        p.setBrush(g);
        const QRectF r(2.5, 5.5, 19, 13);
        if (f == 0)
            p.drawRect(r);
        else if (f == 1)
            p.drawEllipse(r);
        else
            p.drawRoundedRect(r, 5, 5);
        p.fillPath(lettre(QStringLiteral("A"), 8, 7, 10), Bleu);
    };
}

// A background gradient: 0 horizontal, 1 vertical, 2 forward diagonal,
// 3 backward diagonal, 4 centred.
Dessin degradeFond(int mode)
{
    return [mode](QPainter &p) {
        const QRectF r(2.5, 2.5, 19, 19);
        QBrush b;
        if (mode == 4) {
            QRadialGradient g(12, 12, 11);
            g.setColorAt(0, Qt::white);
            g.setColorAt(1, Bleu);
            b = QBrush(g);
        } else {
            const QPointF de[4] = {{2, 12}, {12, 2}, {2, 2}, {22, 2}};
            const QPointF a[4] = {{22, 12}, {12, 22}, {22, 22}, {2, 22}};
            QLinearGradient g(de[mode], a[mode]);
            g.setColorAt(0, Qt::white);
            g.setColorAt(1, Bleu);
            b = QBrush(g);
        }
        p.setPen(QPen(Encre, 1));
        p.setBrush(b);
        p.drawRect(r);
    };
}

// A tiny hue histogram over the hue scale, with the screen it is taken from:
// Today's (a page of lines), Start's (the four-colour flag) or both.
Dessin histogramme(bool today, bool start)
{
    return [today, start](QPainter &p) {
        const int hauteurs[8] = {4, 9, 14, 8, 5, 11, 16, 7};
        for (int i = 0; i < 8; ++i) {
            p.fillRect(QRectF(1 + i * 3, 20 - hauteurs[i], 2.4, hauteurs[i]), QColor::fromHsv(i * 40, 200, 230));
        }
        p.setPen(QPen(Encre, 1));
        p.drawLine(QPointF(0.5, 20.5), QPointF(25, 20.5));
        double x = 26;
        if (today) {
            p.setPen(QPen(Encre, 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(x + 0.5, 1.5, 8, 10));
            p.setPen(QPen(Bleu, 1));
            for (int k = 0; k < 3; ++k)
                p.drawLine(QPointF(x + 2, 4 + k * 2.5), QPointF(x + 7, 4 + k * 2.5));
        }
        if (start) {
            const double y = today ? 12.5 : 1.5;
            p.fillRect(QRectF(x + 1, y, 3.5, 3.5), QColor(0xE0, 0x40, 0x30));
            p.fillRect(QRectF(x + 5, y, 3.5, 3.5), QColor(0x40, 0xB0, 0x40));
            p.fillRect(QRectF(x + 1, y + 4, 3.5, 3.5), QColor(0x30, 0x70, 0xE0));
            p.fillRect(QRectF(x + 5, y + 4, 3.5, 3.5), QColor(0xF0, 0xC0, 0x20));
        }
    };
}

} // namespace

std::vector<ArtworkItem> artOutils()
{
    std::vector<ArtworkItem> items;
    items.push_back(image("HA", 36, 22, histogramme(true, false)));
    items.push_back(image("HD", 36, 22, histogramme(false, true)));
    items.push_back(image("HAD", 36, 22, histogramme(true, true)));

    items.push_back(bouton("JUSTIFYL", justifie(0)));
    items.push_back(bouton("JUSTIFYC", justifie(1)));
    items.push_back(bouton("JUSTIFYR", justifie(2)));
    for (int i = 0; i < 4; ++i)
        items.push_back(bouton(qPrintable(QStringLiteral("EC%1").arg(i)), ecriture(i)));
    for (int i = 0; i < 5; ++i)
        items.push_back(bouton(qPrintable(QStringLiteral("GR%1").arg(i)), degrade(i)));
    for (int i = 0; i < 4; ++i)
        items.push_back(bouton(qPrintable(QStringLiteral("PERSP%1").arg(i + 1)), perspective(i)));
    const char *fonds[5] = {"FH", "FV", "FF", "FB", "FC"};
    for (int i = 0; i < 5; ++i)
        items.push_back(bouton(fonds[i], degradeFond(i)));
    items.push_back(bouton("FCARRE", forme(0)));
    items.push_back(bouton("FCERCLE", forme(1)));
    items.push_back(bouton("FROUND", forme(2)));
    items.push_back(bouton("INVLETOMB", permute(Bleu, Gris)));
    items.push_back(bouton("INVFOND", permute(Qt::white, BleuClair)));

    items.push_back(bouton("FONTE", [](QPainter &p) {
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(17);
        f.setBold(true);
        QPainterPath a;
        a.addText(1, 18, f, QStringLiteral("A"));
        p.fillPath(a, Encre);
        f.setPixelSize(12);
        QPainterPath b;
        b.addText(13, 20, f, QStringLiteral("a"));
        p.fillPath(b, Bleu);
    }));
    items.push_back(bouton("LETTREIMG", [](QPainter &p) { p.fillPath(lettreA(), Bleu); }));
    items.push_back(bouton("OMBREIMG", [](QPainter &p) {
        const QPainterPath a = lettreA();
        p.fillPath(QTransform::fromTranslate(2, 2).map(a), QColor(0x40, 0x40, 0x40, 150));
        p.setPen(QPen(Gris, 0.8));
        p.drawPath(a);
    }));
    items.push_back(bouton("DECIMG", [](QPainter &p) {
        p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
        p.drawLine(QPointF(2, 2), QPointF(22, 22));
        p.drawLine(QPointF(2, 22), QPointF(22, 2));
        p.setPen(QPen(Rouge, 1.6));
        p.drawLine(QPointF(15, 8), QPointF(15, 18));
        p.drawLine(QPointF(10, 13), QPointF(20, 13));
        p.setPen(QPen(Encre, 1.2));
        p.drawRect(QRectF(1.5, 1.5, 21, 21));
    }));
    items.push_back(bouton("SAUVEIMG", [](QPainter &p) {
        p.setPen(QPen(Encre, 1));
        p.setBrush(Bleu);
        p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 2.5, 11, 7));
        p.setBrush(QColor(0xD0, 0xD0, 0xD0));
        p.drawRect(QRectF(5.5, 13.5, 13, 8));
        p.fillRect(QRectF(13, 4, 3, 4), Encre);
    }));
    items.push_back(bouton("QUITTEIMG", [](QPainter &p) {
        p.setPen(QPen(Encre, 1.2));
        p.setBrush(QColor(0xB0, 0x80, 0x50));
        p.drawRect(QRectF(3.5, 2.5, 11, 19));
        p.setBrush(Qt::NoBrush);
        ArtCommun::fleche(p, 22, 12, true, Rouge, 10, 5, 5);
    }));
    items.push_back(bouton("MIROIRX", [](QPainter &p) {
        const QPainterPath a = lettre(QStringLiteral("A"), 6, 1, 12);
        p.fillPath(a, Bleu);
        QPainterPath reflet = QTransform(1, 0, 0, -1, 0, 26).map(a);
        QLinearGradient g(0, 13, 0, 24);
        g.setColorAt(0, QColor(0x1E, 0x5F, 0xC8, 150));
        g.setColorAt(1, QColor(0x1E, 0x5F, 0xC8, 0));
        p.fillPath(reflet, g);
        p.setPen(QPen(Gris, 1, Qt::DashLine));
        p.drawLine(QPointF(2, 13), QPointF(22, 13));
    }));
    items.push_back(bouton("PERSPECTIVE", perspective(0)));
    items.push_back(bouton("TRANSPLF", [](QPainter &p) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                if ((x + y) % 2)
                    p.fillRect(QRectF(2 + x * 5, 2 + y * 5, 5, 5), QColor(0xC8, 0xC8, 0xC8));
        p.setPen(QPen(Encre, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 21, 21));
        p.fillPath(lettreA(16), QColor(0x1E, 0x5F, 0xC8, 130));
    }));
    items.push_back(bouton("ATTENUE", [](QPainter &p) {
        QLinearGradient g(0, 3, 0, 21);
        g.setColorAt(0, Bleu);
        g.setColorAt(1, QColor(0x1E, 0x5F, 0xC8, 20));
        p.fillPath(lettreA(), g);
    }));
    items.push_back(bouton("OUTLINE", [](QPainter &p) {
        p.setPen(QPen(Bleu, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(lettreA(20));
    }));
    return items;
}
