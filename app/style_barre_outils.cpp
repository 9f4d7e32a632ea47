#include "app/style_barre_outils.h"

#include "ui/charge_image_res.h"

#include <QApplication>
#include <qdrawutil.h>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// The Fusion group box: a frame picture drawn as a nine-patch below the title.
constexpr int kMargeHautGroupe = 3;

} // namespace

StyleBarreOutils::StyleBarreOutils(QStyle *base) : QProxyStyle(base)
{
    if (baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
        m_cadreGroupe = QPixmap::fromImage(
            LitImageFichier(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png")));
}

void StyleBarreOutils::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    if (element != PE_FrameGroupBox || m_cadreGroupe.isNull() || !option) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    int haut = kMargeHautGroupe;
    const auto *groupe = qobject_cast<const QGroupBox *>(widget);
    if (!groupe || groupe->isCheckable() || !groupe->title().isEmpty())
        haut += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
    qDrawBorderPixmap(painter, option->rect.adjusted(0, haut, 0, 0), QMargins(6, 6, 6, 6), m_cadreGroupe);
}

QIcon StyleBarreOutils::standardIcon(StandardPixmap icone, const QStyleOption *option, const QWidget *widget) const
{
    if (icone != SP_ToolBarHorizontalExtensionButton && icone != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icone, option, widget);
    const bool droiteAGauche = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
    const QString dossier = QStringLiteral(":/qt-project.org/styles/commonstyle/images/");
    QStringList fichiers;
    if (icone == SP_ToolBarVerticalExtensionButton)
        fichiers = {QStringLiteral("toolbar-ext-v-5.png"), QStringLiteral("toolbar-ext-v-10.png"),
                    QStringLiteral("toolbar-ext-v-20.png")};
    else if (droiteAGauche)
        fichiers = {QStringLiteral("toolbar-ext-h-rtl-8.png"), QStringLiteral("toolbar-ext-h-rtl-16.png"),
                    QStringLiteral("toolbar-ext-h-rtl-32.png")};
    else
        fichiers = {QStringLiteral("toolbar-ext-h-8.png"), QStringLiteral("toolbar-ext-h-16.png"),
                    QStringLiteral("toolbar-ext-h-32.png")};
    QIcon resultat;
    for (const QString &f : fichiers) {
        const QImage image = LitImageFichier(dossier + f);
        if (image.isNull()) // pictures not where this Qt keeps them: the base style's own
            return QProxyStyle::standardIcon(icone, option, widget);
        resultat.addPixmap(QPixmap::fromImage(image));
    }
    return resultat;
}

void InstalleStyleBarreOutils()
{
    if (qobject_cast<StyleBarreOutils *>(QApplication::style()))
        return;
    QStyle *base = QStyleFactory::create(QApplication::style()->name());
    if (!base)
        return;
    QApplication::setStyle(new StyleBarreOutils(base));
}
