// The theme parameters page: UseStartImage, the hue calculator, the theme
// keys editor and the "WM5 compatible Theme" marker.
#include "app/orvandel_main_window.h"

#include "ui/charge_image_res.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QWidget *TOrvandel::construitPageWM5()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("WM5TabS"));
    auto *grille = new QGridLayout(page);

    m_usi = new QCheckBox(QStringLiteral("UseStartImage (Start Image Only)"), page);
    m_usi->setObjectName(QStringLiteral("USIcb"));
    grille->addWidget(m_usi, 0, 0, 1, 2);
    connect(m_usi, &QCheckBox::clicked, this, &TOrvandel::USIcbClick);

    m_wm5Btn = new QPushButton(QStringLiteral("WM5"), page);
    m_wm5Btn->setObjectName(QStringLiteral("WM5Btn"));
    m_wm5Btn->setToolTip(QStringLiteral("Create parameters for WM5 compatible Theme"));
    connect(m_wm5Btn, &QPushButton::clicked, this, &TOrvandel::WM5BtnClick);
    m_image12 = new QLabel(page);
    m_image12->setObjectName(QStringLiteral("Image12"));
    m_image12->setToolTip(QStringLiteral("WM5 compatible Theme"));
    m_image12->setPixmap(QPixmap::fromImage(ChargeImageRes(QStringLiteral("wm5.png"))));
    m_image12->hide();
    grille->addWidget(m_wm5Btn, 1, 0);
    grille->addWidget(m_image12, 1, 1, Qt::AlignLeft);

    auto *clesSpec = new QLabel(QStringLiteral("See or change specific keys for the theme"), page);
    clesSpec->setObjectName(QStringLiteral("ClesSpecLbl"));
    m_ctBtn->setParent(page);
    grille->addWidget(m_ctBtn, 2, 0);
    grille->addWidget(clesSpec, 2, 1);
    grille->setColumnStretch(1, 1);
    grille->setRowStretch(3, 1);

    // The box follows the theme (a package read, a colour set loaded).
    connect(&m_ctx.document, &ThemeDocument::parametresChanged, this, &TOrvandel::afficheUseStartImage);
    afficheUseStartImage();
    return page;
}

void TOrvandel::afficheUseStartImage()
{
    const QSignalBlocker bloque(m_usi);
    m_usi->setChecked(m_ctx.document.parametres().UseStartImageDefini);
}

void TOrvandel::USIcbClick()
{
    ParametresWM5 p = m_ctx.document.parametres();
    p.UseStartImageDefini = m_usi->isChecked();
    p.ValUseStartImage = p.UseStartImageDefini ? 1 : 0;
    m_ctx.document.setParametres(p); // the preview redraws the Today screen
    TempsLibre();
}
