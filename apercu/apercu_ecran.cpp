#include "apercu/apercu_ecran.h"

#include "ui/charge_image_res.h"
#include "ui/fonctions_indep.h"
#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "resources/strings.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>

namespace {

// The preview's canvases write in this font, 14 pixels a cell, with no
// text background.
const QString kPolice = QStringLiteral("Courrier New");
constexpr int kHauteurCellule = 14;
constexpr int kIdAdresseProprietaire = 65154;

QFont police(bool gras)
{
    return PoliceHauteurCellule(kPolice, kHauteurCellule, gras ? 1 : 0);
}

void icone(QPainter &p, const RessourcesApercu &res, int id, int x, int y)
{
    const QImage i = res.icone(id);
    if (!i.isNull())
        p.drawImage(QPoint(x, y), i);
}

QString texteDate(const QDate &date)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(date, QStringLiteral("yyyy MMMM dddd dd"));
}

// Times are 24-hour "HH:mm", whatever the locale.
QString texteHeure(const QTime &heure)
{
    return heure.toString(QStringLiteral("HH:mm"));
}

QImage copieOpaque(const QImage &source, QSize taille)
{
    if (!source.isNull())
        return source.convertToFormat(QImage::Format_ARGB32);
    QImage vide = NouvelleImage32(taille.width(), taille.height());
    vide.fill(Qt::white);
    return vide;
}

} // namespace

int ZoneMessage(int x, int y)
{
    struct Zone
    {
        int gauche, haut, droite, bas;
    };
    static constexpr Zone kZones[3] = {{180, 6, 204, 18}, {140, 6, 154, 18}, {1, 6, 82, 18}};
    for (int i = 0; i < 3; ++i) {
        const Zone &z = kZones[i];
        if (x >= z.gauche && x < z.droite && y >= z.haut && y < z.bas)
            return i + 1;
    }
    return 0;
}

QString IndiceZone(int zone)
{
    switch (zone) {
    case 1: return QStringLiteral("Show Normal Message");
    case 2: return QStringLiteral("Show Important Message");
    case 3: return QStringLiteral("Show Startup Image");
    default: return {};
    }
}

RessourcesApercu RessourcesApercu::charge()
{
    RessourcesApercu r;
    for (int id : {133, 135, 136, 137, 139, 140, 153, 154, 158, 159, 161, 162, 163, 164, 177, 194, 199, 200, 201,
                   206, 300})
        r.icones.insert(id, AvecCouleurTransparente(ChargeImageRes(QString::number(id) + QStringLiteral(".bmp"))));
    // Kept opaque: the key is taken out after the drawing.
    r.messageNormal = ChargeImageRes(QStringLiteral("NLMESS.bmp"));
    r.messageCritique = ChargeImageRes(QStringLiteral("CRITMESS.bmp"));
    return r;
}

QSize TailleVisible(const FormatImages &format)
{
    const int w = format.TailleImages[4], h = format.TailleImages[5];
    if (w < 1 || h < 1)
        return {};
    return {w, h};
}

QImage FondToday(const QImage &image, const FormatImages &format)
{
    const QRect ecran(QPoint(0, 0), GeometrieApercu::EcranToday.size());
    QImage fond = NouvelleImage32(ecran.width(), ecran.height());
    fond.fill(Qt::white);
    const QSize visible = TailleVisible(format);
    if (image.isNull() || visible.isEmpty())
        return fond;
    // The top-left w x h part at 1:1; what the picture lacks stays empty.
    const QImage partie = image.copy(QRect(QPoint(0, 0), visible)).convertToFormat(QImage::Format_ARGB32);
    const QRect cadre = RectProportionnel(visible.width(), visible.height(), ecran.width(), ecran.height());
    if (cadre.isEmpty())
        return fond;
    QPainter p(&fond);
    p.drawImage(cadre.topLeft(), partie.size() == cadre.size()
                                     ? partie
                                     : partie.scaled(cadre.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return fond;
}

QImage DessineEcranToday(const QImage &fond, const CouleursApercu &c, const RessourcesApercu &res, const QDate &date)
{
    QImage ecran = copieOpaque(fond, GeometrieApercu::EcranToday.size());
    Fixe96Dpi(ecran);
    QPainter p(&ecran);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor texte = c[3].toQColor();
    const QColor trait = c[4].toQColor();
    const int droite = ecran.width() - 1;
    auto ligne = [&](int y) {
        p.setPen(trait);
        p.drawLine(0, y, droite, y);
        p.setPen(texte);
    };
    p.setPen(texte);
    icone(p, res, 135, 4, 3);
    p.setFont(police(true));
    EcritTexteHautGauche(p, 30, 4, texteDate(date));
    ligne(20);
    icone(p, res, 137, 4, 23);
    EcritTexteHautGauche(p, 30, 23, QStringLiteral("Owner Microsoft"));
    p.setFont(police(false));
    EcritTexteHautGauche(p, 30, 38, chaineRes(kIdAdresseProprietaire));
    ligne(56);
    icone(p, res, 154, 4, 60);
    p.setFont(police(true));
    EcritTexteHautGauche(p, 30, 60, QStringLiteral("My wife Anniversary"));
    ligne(76);
    icone(p, res, 136, 4, 80);
    EcritTexteHautGauche(p, 30, 80, QStringLiteral("No message"));
    ligne(96);
    icone(p, res, 133, 4, 100);
    EcritTexteHautGauche(p, 30, 100, QStringLiteral("No Job"));
    return ecran;
}

QImage DetailEcran(const QImage &ecranToday)
{
    if (ecranToday.isNull())
        return {};
    return ecranToday.copy(GeometrieApercu::ZoneDetail)
        .scaled(GeometrieApercu::Detail, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void DessineDecorBarre(QPainter &p, QSize taille, TColor c3, bool haut, const RessourcesApercu &res,
                       const QTime &heure)
{
    const int w = taille.width();
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    if (haut) {
        icone(p, res, 139, 4, 4);
        icone(p, res, 206, w - 100, 6);
        icone(p, res, 140, w - 80, 6);
        p.setPen(c3.toQColor());
        p.drawLine(28, 0, 28, 26);
        p.setFont(police(true));
        EcritTexteHautGauche(p, 30, 6, QStringLiteral("Start"));
        EcritTexteHautGauche(p, w - 60, 6, texteHeure(heure));
    } else {
        icone(p, res, 300, w - 20, 6);
        p.setPen(Qt::black);
        p.setFont(police(false));
        EcritTexteHautGauche(p, 2, 6, QStringLiteral("New"));
    }
    p.restore();
}

QImage DessineBarre(QSize taille, TColor c1, TColor c2, TColor c3, bool haut, const RessourcesApercu &res,
                    const QTime &heure)
{
    QImage barre = NouvelleImage32(taille.width(), taille.height());
    if (barre.isNull())
        return barre;
    QPainter p(&barre);
    QLinearGradient g(0, 0, taille.width(), 0);
    g.setColorAt(0, c1.toQColor());
    g.setColorAt(1, c2.toQColor());
    p.fillRect(barre.rect(), g);
    DessineDecorBarre(p, taille, c3, haut, res, heure);
    return barre;
}

GeometrieMenu CalculeGeometrieMenu(const FormatImages &format)
{
    GeometrieMenu g;
    const QSize visible = TailleVisible(format);
    if (visible.isEmpty())
        return g;
    const int w = visible.width(), h = visible.height();
    const QSize ecran = GeometrieApercu::EcranToday.size();
    const QRect cadre = RectProportionnel(w, h, ecran.width(), ecran.height());
    const int fw = cadre.width(), fh = cadre.height();
    if (fw < 1 || fh < 1)
        return g;
    const int hauteurStart = format.TailleImages[3];
    g.largeurMenu = fw * 150 / 240;
    int m = int(qint64(hauteurStart) * fh / h);
    int sh = hauteurStart;
    if (m > fh + FormatImages::DecalageHauteur) {
        m = fh + FormatImages::DecalageHauteur;
        sh = int(qint64(m) * h / fh);
    }
    g.hauteurMenu = m;
    g.source = QRect(0, 0, w * 150 / 240, sh);
    g.visible = visible;
    if (!g.valide() || g.source.isEmpty())
        return GeometrieMenu{};
    return g;
}

QImage FondMenuDemarrer(const QImage &start, const GeometrieMenu &g)
{
    if (!g.valide() || start.isNull())
        return {};
    return start.copy(g.source)
        .convertToFormat(QImage::Format_ARGB32)
        .scaled(g.largeurMenu, g.hauteurMenu, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage DessineMenuDemarrer(const QImage &fond, const GeometrieMenu &g, const CouleursApercu &c,
                           const RessourcesApercu &res)
{
    if (!g.valide())
        return {};
    QImage menu = NouvelleImage32(g.largeurMenu + 2, g.hauteurMenu + 2);
    QPainter p(&menu);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!fond.isNull())
        p.drawImage(QPoint(1, 1), fond);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(menu.rect().adjusted(0, 0, -1, -1));
    const int w = g.visible.width(), h = g.visible.height();
    p.drawPolyline(QPolygon({QPoint(0, 0), QPoint(w - 1, 0), QPoint(w - 1, h - 1), QPoint(0, h - 1), QPoint(0, 0)}));

    const int rangee[7][2] = {{153, 45}, {154, 65}, {137, 85}, {136, 105}, {158, 125}, {159, 145}, {133, 165}};
    for (int i = 0; i < 7; ++i) {
        icone(p, res, rangee[i][0], 5 + 20 * i, 4);
        icone(p, res, rangee[i][0], 5, rangee[i][1]);
    }
    p.setFont(police(true));
    auto trait = [&](int y) {
        p.setPen(Qt::black);
        p.drawLine(1, y, 174, y);
        p.setPen(c[20].toQColor());
    };
    trait(23);
    icone(p, res, 161, 5, 25);
    const struct { int y; const char *texte; } entrees[] = {
        {25, "Today"}, {45, "ActiveSync"}, {65, "Calendar"}, {85, "Contacts"},
        {105, "Receipt Box"}, {125, "Internet Explorer"}, {145, "Notes"}, {165, "Jobs"},
    };
    for (const auto &e : entrees)
        EcritTexteHautGauche(p, 31, e.y, QString::fromLatin1(e.texte));
    trait(185);
    icone(p, res, 163, 5, 187);
    EcritTexteHautGauche(p, 31, 187, QStringLiteral("Programs"));
    icone(p, res, 162, 5, 207);
    EcritTexteHautGauche(p, 31, 207, QStringLiteral("Parameters"));
    trait(227);
    icone(p, res, 164, 5, 229);
    EcritTexteHautGauche(p, 31, 229, QStringLiteral("Help"));
    return menu;
}

QImage DessineNotification(bool critique, const CouleursApercu &c, const RessourcesApercu &res,
                           const QDateTime &maintenant)
{
    QImage bmp = copieOpaque(critique ? res.messageCritique : res.messageNormal, GeometrieApercu::MessageNormal.size());
    Fixe96Dpi(bmp);
    const QPolygon titre = critique
        ? QPolygon({{2, 40}, {2, 18}, {3, 18}, {3, 17}, {4, 17}, {4, 16}, {6, 16}, {5, 16}, {6, 15}, {103, 15},
                    {128, 2}, {129, 2}, {129, 14}, {217, 14}, {217, 15}, {219, 15}, {219, 40}})
        : QPolygon({{2, 40}, {2, 18}, {3, 18}, {3, 17}, {4, 17}, {4, 16}, {6, 16}, {5, 16}, {6, 15}, {164, 15},
                    {188, 3}, {188, 4}, {188, 14}, {217, 14}, {217, 15}, {219, 15}, {219, 40}});
    {
        QPainter p(&bmp);
        p.setRenderHint(QPainter::TextAntialiasing);
        QLinearGradient g(2, 18, 218, 18);
        g.setColorAt(0, (critique ? c[13] : c[9]).toQColor());
        g.setColorAt(1, (critique ? c[14] : c[10]).toQColor());
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(titre);

        p.setFont(police(false));
        p.setPen(Qt::black);
        const QFontMetrics fm(p.font(), &bmp);
        const QString date = texteDate(maintenant.date());
        const QString heure = texteHeure(maintenant.time());
        EcritTexteHautGauche(p, bmp.width() - (fm.horizontalAdvance(date) + 5), 40, date);
        EcritTexteHautGauche(p, bmp.width() - (fm.horizontalAdvance(heure) + 5), 55, heure);
        if (critique)
            EcritTexteHautGauche(p, 11, 80, QStringLiteral("Battery is very low !"));
        else
            EcritTexteHautGauche(p, 11, 102, QStringLiteral("No Meeting"));
        p.setFont(police(true));
        p.setPen((critique ? c[16] : c[15]).toQColor());
        EcritTexteHautGauche(p, 8, 20, critique ? QStringLiteral("Warning ! Save Datas") : QStringLiteral("Hour of next Meeting"));
    }
    return AvecCouleurTransparente(bmp);
}

QImage DessineRangeeIcones(const CouleursApercu &c, const RessourcesApercu &res)
{
    QImage rangee = NouvelleImage32(GeometrieApercu::RangeeIcones.width(), GeometrieApercu::RangeeIcones.height());
    rangee.fill(c[6].toQColor());
    QPainter p(&rangee);
    const int ids[5] = {201, 200, 199, 177, 194};
    for (int i = 0; i < 5; ++i)
        icone(p, res, ids[i], 80 + 20 * i, 4);
    return rangee;
}

QImage ComposeApercu(const ImagesApercu &im)
{
    using namespace GeometrieApercu;
    QImage panneau = NouvelleImage32(Panneau.width(), Panneau.height());
    QPainter p(&panneau);
    p.drawImage(BarreNavigation.topLeft(), im.barreHaut);
    p.drawImage(EcranToday.topLeft(), im.ecranToday);
    p.drawImage(BarreMenu.topLeft(), im.barreBas);
    if (!im.rangeeIcones.isNull())
        p.drawImage(RangeeIcones.topLeft(), im.rangeeIcones);
    if (!im.surimpression.isNull())
        p.drawImage(im.positionSurimpression, im.surimpression);
    return panneau;
}
