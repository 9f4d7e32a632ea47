// The options page: theme names, the theme-format controls, the package
// option and the erase-at-the-end box.
#include "app/orvandel_main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

QWidget *TOrvandel::construitPageOptions()
{
    auto *page = new QWidget;
    m_pageOptions = page;
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
    colonne->addWidget(construitDossierTsk(page));

    // OptionsBtn and the format labels are placed here by the format options.
    m_zoneOptionsFormat = new QWidget(page);
    m_zoneOptionsFormat->setObjectName(QStringLiteral("ZoneOptionsFormat"));
    new QHBoxLayout(m_zoneOptionsFormat);
    colonne->addWidget(m_zoneOptionsFormat);
    construitZoneFormat();
    colonne->addWidget(construitOptionsPaquet(page));

    auto *ligne = new QHBoxLayout;
    m_effacer = new QCheckBox(page);
    m_effacer->setObjectName(QStringLiteral("EffacerCB"));
    auto *label29 = new QLabel(QStringLiteral("Erase tdywater(s), stwater(s) when leave"), page);
    label29->setObjectName(QStringLiteral("Label29"));
    label29->setBuddy(m_effacer);
    ligne->addWidget(m_effacer);
    ligne->addWidget(label29, 1);
    colonne->addLayout(ligne);
    colonne->addWidget(construitBulles(page));
    colonne->addWidget(construitApparence(page));
    colonne->addStretch(1);

    connect(m_effacer, &QCheckBox::toggled, this, [this](bool on) { m_ctx.EffacerImagesEnQuittant = on; });
    return page;
}

QWidget *TOrvandel::construitOptionsPaquet(QWidget *parent)
{
    // Which setup documents a package holds (kept in the options file).
    auto *groupe = new QGroupBox(QStringLiteral("TSK"), parent);
    groupe->setObjectName(QStringLiteral("TskInfXmlRG"));
    const QString regle = QString(36, QLatin1Char('-'));
    const QString blancs(11, QLatin1Char(' '));
    groupe->setToolTip(QStringList{regle + QStringLiteral(" !!! ") + regle, QString(),
                                   blancs + QStringLiteral("1) INF : -> WM2002, WM2003, WM5, > WM5 ..."),
                                   blancs + QStringLiteral("2) XML : -> WM5, + ..."),
                                   blancs + QStringLiteral("3) INF + XML : -> WM2002, WM2003, WM5, > WM5 ..."),
                                   QString(), regle + QStringLiteral(" !!! ") + regle}
                           .join(QStringLiteral("\r\n")));
    auto *ligne = new QHBoxLayout(groupe);
    m_tskInfXml = new QButtonGroup(groupe);
    const char *const items[] = {"+ Inf", "+ Xml", "+ Inf + Xml"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QRadioButton(QLatin1String(items[i]), groupe);
        b->setObjectName(QStringLiteral("TskInfXmlRG%1").arg(i));
        m_tskInfXml->addButton(b, i);
        ligne->addWidget(b);
    }
    ligne->addStretch(1);
    connect(m_tskInfXml, &QButtonGroup::idClicked, this, [this](int id) {
        m_ctx.options.TskInfXmlRG = id;
        MajMarquesNoms(); // what the package holds decides which names it refuses
    });
    return groupe;
}

void TOrvandel::afficheOptionsPaquet()
{
    if (QAbstractButton *b = m_tskInfXml->button(m_ctx.options.TskInfXmlRG))
        b->setChecked(true);
    MajMarquesNoms();
}
