#include "tools/rgb_vers_teinte.h"

#include "theme/prompts.h"
#include "tools/hls.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

namespace {

QSpinBox *spinCanal(QWidget *parent, const char *nom, int y)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(nom));
    s->setRange(0, 255);
    s->setGeometry(32, y, 64, 24);
    return s;
}

QLabel *libelle(QWidget *parent, const char *nom, const QString &texte, const QRect &r)
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QLatin1String(nom));
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(r);
    return l;
}

} // namespace

TRGBversTeinte::TRGBversTeinte(Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts)
{
    // FormCreate
    setWindowTitle(QStringLiteral("RGB to Hue"));
    setFixedSize(250, 270);

    libelle(this, "Label1", QStringLiteral("R"), QRect(12, 36, 16, 20));
    libelle(this, "Label2", QStringLiteral("G"), QRect(12, 72, 16, 20));
    libelle(this, "Label3", QStringLiteral("B"), QRect(12, 108, 16, 20));
    RSE = spinCanal(this, "RSE", 34);
    VSE = spinCanal(this, "VSE", 70);
    BSE = spinCanal(this, "BSE", 106);

    TeinteAngleLbl = libelle(this, "TeinteAngleLbl", {}, QRect(12, 148, 226, 18));
    TeinteValLbl = libelle(this, "TeinteValLbl", {}, QRect(12, 168, 226, 18));
    SaturationLbl = libelle(this, "SaturationLbl", {}, QRect(12, 188, 226, 18));
    LuminanceLbl = libelle(this, "LuminanceLbl", {}, QRect(12, 208, 226, 18));

    ChoixCoulBtn = new QPushButton(QStringLiteral("Choose a color"), this);
    ChoixCoulBtn->setObjectName(QStringLiteral("ChoixCoulBtn"));
    ChoixCoulBtn->setGeometry(12, 234, 130, 28);
    QuitterBtn = new QPushButton(QStringLiteral("Quit"), this);
    QuitterBtn->setObjectName(QStringLiteral("QuitterBtn"));
    QuitterBtn->setGeometry(156, 234, 82, 28);

    for (QSpinBox *s : {RSE, VSE, BSE})
        connect(s, &QSpinBox::textChanged, this, &TRGBversTeinte::RVBSEChange);
    connect(ChoixCoulBtn, &QPushButton::clicked, this, &TRGBversTeinte::ChoixCoulBtnClick);
    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::close);
}

void TRGBversTeinte::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TRGBversTeinte::FormShow()
{
    // Blocked while loading, so the labels are computed once from all three.
    for (QSpinBox *s : {RSE, VSE, BSE})
        s->blockSignals(true);
    RSE->setValue(m_couleur.red());
    VSE->setValue(m_couleur.green());
    BSE->setValue(m_couleur.blue());
    for (QSpinBox *s : {RSE, VSE, BSE})
        s->blockSignals(false);
    RVBSEChange();
}

void TRGBversTeinte::RVBSEChange()
{
    // A spin edit being retyped may be empty for a moment: nothing to show then.
    if (RSE->cleanText().isEmpty() || VSE->cleanText().isEmpty() || BSE->cleanText().isEmpty())
        return;
    const CouleurHLS hls = ColorRGBToHLS(TColor::fromRgb(RSE->value(), VSE->value(), BSE->value()));
    TeinteAngleLbl->setText(QString::asprintf("Angle = %.3d", AngleTeinte(hls.teinte)) + QChar(0x00B0));
    TeinteValLbl->setText(QString::asprintf("Hue (0-240) = %.3d", int(hls.teinte)));
    SaturationLbl->setText(QString::asprintf("Saturation (0-240) = %.3d", int(hls.saturation)));
    LuminanceLbl->setText(QString::asprintf("Luminance (0-240) = %.3d", int(hls.luminance)));
    update();
}

void TRGBversTeinte::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    p.fillRect(rectApercu(), QColor::fromRgb(RSE->value(), VSE->value(), BSE->value()));
}

void TRGBversTeinte::ChoixCoulBtnClick()
{
    if (const auto c = m_prompts.chooseColor(m_couleur)) {
        m_couleur = *c;
        FormShow();
    }
}
