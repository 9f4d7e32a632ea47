// The theme format on the main window: the options button that opens the size
// options window, the format labels, and what a change of format redraws.
#include "app/orvandel_main_window.h"

#include "app/changement_format.h"
#include "app/options_form.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>

void TOrvandel::construitZoneFormat()
{
    QLayout *zone = m_zoneOptionsFormat->layout();
    m_optionsBtn = new QPushButton(QStringLiteral("Options"), m_zoneOptionsFormat);
    m_optionsBtn->setObjectName(QStringLiteral("OptionsBtn"));
    m_optionsBtn->setToolTip(QStringLiteral("Change Image Sizes"));
    m_fmtActuelLbl = new QLabel(m_zoneOptionsFormat);
    m_fmtActuelLbl->setObjectName(QStringLiteral("FmtActuelLbl"));
    zone->addWidget(m_optionsBtn);
    zone->addWidget(m_fmtActuelLbl);
    connect(m_optionsBtn, &QPushButton::clicked, this, &TOrvandel::OptionsBtnClick);
}

TOptionsForm *TOrvandel::optionsForm()
{
    // Made when first opened (or when a package brings another format), then
    // kept as long as the main window.
    if (!m_optionsForm)
        m_optionsForm = new TOptionsForm(m_ctx.document, this);
    return m_optionsForm;
}

void TOrvandel::OptionsBtnClick()
{
    const auto &t = m_ctx.document.format().TailleImages;
    const std::array<int, 4> avant{t[0], t[1], t[2], t[3]};
    {
        AnimationPauseGuard pause(&m_ctx.animation);
        optionsForm()->exec();
    }
    if (ChangementFormat(m_ctx.document, m_ctx.dossiers.DossierAppli, avant, optionsForm()->indexSauve(),
                         m_ctx.prompts))
        apresChangementImages();
}

void TOrvandel::OptionsTabSShow()
{
    const QString nom = NomFormatTheme(m_ctx.document.format().FormatTheme);
    if (!nom.isEmpty())
        m_fmtActuelLbl->setText(nom);
    m_actualFmtLbl->setText(m_fmtActuelLbl->text());
}

void TOrvandel::apresChangementImages()
{
    crochetBarreEtat();
    m_ctx.MajMiniatures = true;
    crochetAffImage();
    m_ctx.MajMiniatures = false;
    OptionsTabSShow();
    TempsLibre();
}
