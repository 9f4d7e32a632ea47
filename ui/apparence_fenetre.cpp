#include "ui/apparence_fenetre.h"

#include "ui/charge_image_res.h"
#include "ui/polices.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace {

// Picture names by tag: enabled, then disabled ("" draws no picture).
struct ImagesTag
{
    const char *objet;
    const char *actif;
    const char *inactif;
};
constexpr ImagesTag kTags[TagBoutonOutilMax + 1] = {
    {"LireTskTBtn", "liretsk.png", ""},
    {"LireTskCETBtn", "liretskpda.png", "liretskpdagris.png"},
    {"TransfertTskTBtn", "ecriretskpda.png", "ecriretskpdagris.png"},
    {"CreerTBtn", "ecriretsk.png", "ecriretskgris.png"},
    {"ImageTBtn", "monalisa.png", ""},
    {"ChangeDirTBtn", "changedir.png", ""},
    {"SauveCoulTbtn", "coulout.png", ""},
    {"ChargeCoulTBtn", "coulin.png", ""},
    {"SauveInfTBtn", "infxml.png", "infxmlgris.png"},
    {"AideTBtn", "aide.png", ""},
    {"WinVerTBtn", "infosas.png", "infosasgris.png"},
    {"BlancTBtn", "zantiq.png", ""},
    {"QuitterTBtn", "fermer.png", ""},
};
const QString kInterdit = QStringLiteral("interdit.png");

// One band of the tile: the colour at a rising or falling opacity from
// (0, y1) to (0, y2), repeated beyond those points.
void bande(QPainter &p, const QRect &zone, TColor c, int y1, int alpha1, int y2, int alpha2)
{
    QLinearGradient g(0, y1, 0, y2);
    g.setSpread(QGradient::RepeatSpread);
    g.setColorAt(0, QColor::fromRgba(c.toQRgb(alpha1)));
    g.setColorAt(1, QColor::fromRgba(c.toQRgb(alpha2)));
    p.fillRect(zone, g);
}

// The tile behind a bar. A bar filled automatically from its palette gets
// the tile under whatever it paints itself (a picture brush is tiled by the
// fill), so its own painting must run. Only a plain tool bar paints nothing
// but the style's panel, which the styles draw from the window brush's plain
// colour, which a picture brush lacks (it reads as black): for that bar alone
// the tile is painted in place of its painting, its buttons and separators
// being widgets that paint themselves.
class FondTuile : public QObject
{
public:
    explicit FondTuile(QWidget *barre) : QObject(barre)
    {
        setObjectName(QStringLiteral("FondCoolBar"));
        barre->installEventFilter(this);
    }
    bool actif = false;

protected:
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        if (!actif || e->type() != QEvent::Paint || objet->metaObject() != &QToolBar::staticMetaObject)
            return false;
        auto *barre = static_cast<QWidget *>(objet);
        QPainter p(barre);
        p.fillRect(barre->rect(), barre->palette().brush(QPalette::Window));
        return true;
    }
};

} // namespace

QImage DessineDegrade(TColor couleur, int largeur, int hauteur)
{
    if (largeur < 1 || hauteur < 1)
        return {};
    const int w = largeur * 4 / 3, h = hauteur * 4 / 3;
    QImage travail(w, h, QImage::Format_ARGB32);
    travail.fill(qRgb(220, 220, 220));
    const int m = (h - 3) / 2;
    {
        QPainter p(&travail);
        bande(p, QRect(0, 0, w, m), couleur, 0, 50, m, 160);
        bande(p, QRect(0, m, w, m), couleur, -2, 190, m, 210);
        bande(p, QRect(0, h - 5, w, 5), couleur, -1, 210, 5, 50);
    }
    QImage tuile(largeur, hauteur, QImage::Format_ARGB32);
    tuile.fill(Qt::transparent);
    QPainter p(&tuile);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(0, 0, largeur, hauteur), travail);
    return tuile;
}

JeuBouton JeuBoutonSysteme(const CouleursSystemeFenetre &systeme)
{
    return {systeme[SurbrillanceMenu], systeme[SurbrillanceBouton], systeme[TexteLegendeInactive]};
}

JeuBouton JeuBoutonDerive(const CouleursDerivees &derivees)
{
    return {derivees.c0, derivees.c1, derivees.c2};
}

int TagBoutonOutil(const QString &nomObjet)
{
    for (int tag = 0; tag <= TagBoutonOutilMax; ++tag)
        if (nomObjet == QLatin1String(kTags[tag].objet))
            return tag;
    return -1;
}

QString ImageBoutonOutil(int tag, bool actif)
{
    if (tag < 0 || tag > TagBoutonOutilMax)
        return {};
    return QLatin1String(actif ? kTags[tag].actif : kTags[tag].inactif);
}

QMap<QString, QImage> ChargeImagesBoutons()
{
    QMap<QString, QImage> images;
    auto charge = [&images](const QString &nom) {
        if (!nom.isEmpty() && !images.contains(nom))
            images.insert(nom, ChargeImageRes(nom));
    };
    for (const ImagesTag &t : kTags) {
        charge(QLatin1String(t.actif));
        charge(QLatin1String(t.inactif));
    }
    charge(kInterdit);
    return images;
}

bool DessineBoutonOutil(QImage &canevas, int tag, bool actif, bool survol, const JeuBouton &a, const JeuBouton &b,
                        bool uniforme, const QMap<QString, QImage> &images)
{
    if (tag < 0 || tag > TagBoutonOutilMax || canevas.isNull())
        return false;
    if (survol)
        DessineBoutonArrondi(canevas, canevas.rect(), a, b, uniforme);
    QPainter p(&canevas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage image = images.value(ImageBoutonOutil(tag, actif));
    if (!image.isNull())
        p.drawImage(QRect(4, 3, 42, 42), image, QRect(0, 0, 42, 42));
    if (!actif) {
        const QImage interdit = images.value(kInterdit);
        if (!interdit.isNull())
            p.drawImage(QRect(30, 28, 16, 16), interdit, QRect(0, 0, 16, 16));
    }
    return true;
}

StyleBoutonsOutils::StyleBoutonsOutils()
{
    setObjectName(QStringLiteral("StyleBoutonsOutils"));
}

void StyleBoutonsOutils::chargeImage(const QString &nom) const
{
    // Each picture is decoded the first time a button shows it, then kept.
    if (!nom.isEmpty() && !m_images.contains(nom))
        m_images.insert(nom, ChargeImageRes(nom));
}

void StyleBoutonsOutils::fixeJeux(const JeuBouton &a, const JeuBouton &b, bool uniforme)
{
    m_a = a;
    m_b = b;
    m_uniforme = uniforme;
}

void StyleBoutonsOutils::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                            QPainter *painter, const QWidget *widget) const
{
    if (control == CC_ToolButton && widget && option) {
        bool ok = false;
        const int tag = widget->property("tag").toInt(&ok);
        if (ok && tag >= 0 && tag <= TagBoutonOutilMax && option->rect.width() > 0 && option->rect.height() > 0) {
            const bool actif = option->state & State_Enabled;
            const bool survol = actif && (option->state & State_MouseOver);
            chargeImage(ImageBoutonOutil(tag, actif));
            if (!actif)
                chargeImage(kInterdit);
            QImage canevas(option->rect.size(), QImage::Format_ARGB32);
            canevas.fill(Qt::transparent);
            DessineBoutonOutil(canevas, tag, actif, survol, m_a, m_b, m_uniforme, m_images);
            painter->drawImage(option->rect.topLeft(), canevas);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QPalette PaletteCoolBar(const QPalette &base, const QImage &tuile, bool uniforme)
{
    QPalette pal = base;
    if (!uniforme && !tuile.isNull())
        pal.setBrush(QPalette::Window, QBrush(tuile));
    return pal;
}

void MajFondCoolBar(QWidget *barre, const QImage &tuile, bool uniforme)
{
    if (!barre)
        return;
    // Back to the palette the bar would have without the tile, then the tile.
    barre->setPalette(QPalette());
    barre->setPalette(PaletteCoolBar(barre->palette(), tuile, uniforme));
    const bool avecTuile = !uniforme && !tuile.isNull();
    barre->setAutoFillBackground(avecTuile);
    auto *fond = barre->findChild<FondTuile *>(QStringLiteral("FondCoolBar"), Qt::FindDirectChildrenOnly);
    if (!fond && avecTuile)
        fond = new FondTuile(barre);
    if (fond)
        fond->actif = avecTuile;
    barre->update();
}

TColor CouleurEtiquetteRelief(const CouleursSystemeFenetre &systeme, bool creationActive)
{
    return creationActive ? systeme[TexteLegendeInactive] : TColor::fromValue(0x0000FF);
}

QImage DessineEtiquetteRelief(const QString &texte, TColor fond, TColor couleurTexte)
{
    const QString police = QStringLiteral("Tahoma");
    const QSize mesure = MesureTexte(texte, police, 12, 0);
    QImage image = NouvelleImage32(mesure.width() + 3, mesure.height() + 3);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor::fromRgb(fond.toQRgb()));
        p.setBrush(QColor::fromRgb(fond.toQRgb()));
        p.drawRoundedRect(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1), 2.5, 2.5);
    }
    DessineTexteOmbre(image, texte, police, 12, 1, 2, -1, -1, TColor::fromValue(0xFFFFFF), couleurTexte, 0, 255, 192);
    return image;
}
