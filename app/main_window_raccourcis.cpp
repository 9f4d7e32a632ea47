// The small pictures of the options page: the pictures page's shortcut
// (ImgMulti), the program's logo (Image10, its help on any click) and the
// thumbnail-extension marker (ImgOV, hidden: no desktop here has such an
// extension for theme packages); and the texts set when the window is made.
#include "app/orvandel_main_window.h"

#include "ui/charge_image_res.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTabWidget>
#include <QToolButton>

QWidget *TOrvandel::construitRaccourcis(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneRaccourcis"));
    auto *ligne = new QHBoxLayout(zone);
    ligne->setContentsMargins(0, 0, 0, 0);

    auto *imgMulti = new QToolButton(zone);
    imgMulti->setObjectName(QStringLiteral("ImgMulti"));
    imgMulti->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("multimg.png")))));
    imgMulti->setIconSize(QSize(42, 42));
    imgMulti->setAutoRaise(true);
    imgMulti->setToolTip(QStringLiteral("Choose/Modify the Images (Today and Start)"));
    connect(imgMulti, &QToolButton::clicked, this, &TOrvandel::ImgMultiClick);

    auto *imgOV = new QLabel(zone);
    imgOV->setObjectName(QStringLiteral("ImgOV"));
    imgOV->hide();

    auto *image10 = new QLabel(zone);
    image10->setObjectName(QStringLiteral("Image10"));
    image10->setPixmap(QIcon(QPixmap::fromImage(LitImageFichier(QStringLiteral(":/art/orvandel.png")))).pixmap(42, 42));
    image10->setToolTip(QStringLiteral("Orvandel"));

    ligne->addWidget(imgMulti);
    ligne->addWidget(imgOV);
    ligne->addWidget(image10);
    return zone;
}

void TOrvandel::ImgMultiClick()
{
    m_pages->setCurrentWidget(m_pageImages);
}

void TOrvandel::crochetInitBulles()
{
    setWindowTitle(QStringLiteral("Orvandel (Options WM5)"));
    // The name a new theme starts with (a colour set read next may bring its own).
    m_ctx.document.setNomTheme(QStringLiteral("Theme"));
}
