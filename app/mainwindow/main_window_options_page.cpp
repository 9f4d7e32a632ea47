// The options page: theme names, the erase-at-the-end box and the area of the
// theme-format controls.
#include "app/mainwindow/orvandel_main_window.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

QWidget *TOrvandel::construitPageOptions()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("OptionsTabS"));
    auto *colonne = new QVBoxLayout(page);

    auto *noms = new QFormLayout;
    auto *label26 = new QLabel(QStringLiteral("New Theme Name"), page);
    label26->setObjectName(QStringLiteral("Label26"));
    m_themeEdit = new QLineEdit(page);
    m_themeEdit->setObjectName(QStringLiteral("ThemeEdit"));
    noms->addRow(label26, m_themeEdit);
    auto *label28 = new QLabel(QStringLiteral("Internal Theme Name"), page);
    label28->setObjectName(QStringLiteral("Label28"));
    m_themeAppEdt = new QLineEdit(page);
    m_themeAppEdt->setObjectName(QStringLiteral("ThemeAppEdt"));
    noms->addRow(label28, m_themeAppEdt);
    colonne->addLayout(noms);

    // OptionsBtn and the format labels are placed here by the format options.
    m_zoneOptionsFormat = new QWidget(page);
    m_zoneOptionsFormat->setObjectName(QStringLiteral("ZoneOptionsFormat"));
    new QHBoxLayout(m_zoneOptionsFormat);
    colonne->addWidget(m_zoneOptionsFormat);

    auto *ligne = new QHBoxLayout;
    m_effacer = new QCheckBox(page);
    m_effacer->setObjectName(QStringLiteral("EffacerCB"));
    auto *label29 = new QLabel(QStringLiteral("Erase tdywater(s), stwater(s) when leave"), page);
    label29->setObjectName(QStringLiteral("Label29"));
    label29->setBuddy(m_effacer);
    ligne->addWidget(m_effacer);
    ligne->addWidget(label29, 1);
    colonne->addLayout(ligne);
    colonne->addStretch(1);

    connect(m_effacer, &QCheckBox::toggled, this, [this](bool on) { m_ctx.EffacerImagesEnQuittant = on; });
    return page;
}
