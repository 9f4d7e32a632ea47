#include "app/style_onglets.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionTab>
#include <QTabBar>

namespace {

const TColor kRouge = TColor::fromValue(0x0000FF);
const TColor kMarron = TColor::fromValue(0x000080);

QColor qt(TColor c)
{
    return QColor::fromRgb(c.toQRgb());
}

int indexOnglet(const QStyleOption *option, const QWidget *widget)
{
    const auto *barre = qobject_cast<const QTabBar *>(widget);
    return barre ? barre->tabAt(option->rect.center()) : -1;
}

} // namespace

StyleOnglets::StyleOnglets() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
    setObjectName(QStringLiteral("StyleOnglets"));
}

void StyleOnglets::fixeCouleurs(const CouleursSystemeFenetre &systeme, const CouleursDerivees &derivees,
                                bool uniforme)
{
    m_systeme = systeme;
    m_derivees = derivees;
    m_uniforme = uniforme;
}

JeuBouton StyleOnglets::jeuA(bool selectionne) const
{
    return {selectionne ? kRouge : m_systeme[SurbrillanceMenu], m_systeme[SurbrillanceBouton],
            m_systeme[TexteLegendeInactive]};
}

JeuBouton StyleOnglets::jeuB() const
{
    return {m_derivees.c0, m_derivees.c1, m_derivees.c2};
}

void StyleOnglets::drawControl(ControlElement element, const QStyleOption *option, QPainter *p,
                               const QWidget *widget) const
{
    const auto *onglet = qstyleoption_cast<const QStyleOptionTab *>(option);
    if (!onglet || (element != CE_TabBarTabShape && element != CE_TabBarTabLabel)) {
        QProxyStyle::drawControl(element, option, p, widget);
        return;
    }
    const bool selectionne = option->state & State_Selected;
    if (element == CE_TabBarTabShape) {
        // The selected tab a pixel taller and narrower; the others lower.
        const QRect r = selectionne ? option->rect.adjusted(1, 0, -1, 1) : option->rect.adjusted(1, 2, -1, 1);
        if (r.width() <= 0 || r.height() <= 0)
            return;
        QImage toile(r.size(), QImage::Format_ARGB32_Premultiplied);
        toile.fill(selectionne ? Qt::transparent : qt(m_systeme[TexteLegendeInactive]));
        DessineOngletDegrade(toile, QRect(QPoint(0, 0), r.size()), jeuA(selectionne), jeuB(), m_uniforme,
                             selectionne);
        p->drawImage(r.topLeft(), toile);
        return;
    }
    const int index = indexOnglet(option, widget);
    const QImage image = imageOnglet && index >= 0 ? imageOnglet(index) : QImage();
    if (!image.isNull()) {
        const int x = option->rect.left() + (option->rect.width() - image.width()) / 2;
        const int y = option->rect.top() + (selectionne ? 3 : 1);
        p->drawImage(QPoint(x, y), image);
        return;
    }
    p->save();
    QFont police = p->font();
    if (selectionne) {
        police.setUnderline(true);
        p->setPen(qt(kMarron));
    } else {
        p->setPen(option->palette.color(QPalette::WindowText));
    }
    p->setFont(police);
    p->drawText(option->rect.adjusted(0, selectionne ? 0 : 2, 0, 0), Qt::AlignCenter, onglet->text);
    p->restore();
}

QSize StyleOnglets::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &taille,
                                     const QWidget *widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, taille, widget);
    if (type != CT_TabBarTab)
        return s;
    // A tab with a picture has no caption of its own.
    const auto *onglet = qstyleoption_cast<const QStyleOptionTab *>(option);
    if (onglet && onglet->text.trimmed().isEmpty())
        s.setWidth(TailleImage.width() + 14);
    return s.expandedTo(QSize(TailleImage.width() + 14, TailleImage.height() + 8));
}
