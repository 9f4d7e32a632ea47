#include "app/options_form.h"

#include "theme/theme_document.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *nouveauSpin(const char *nom, QWidget *parent)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(nom));
    s->setRange(5, 999);
    s->setValue(5);
    return s;
}

QLabel *nouveauLabel(const char *nom, const QString &texte, QWidget *parent)
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QLatin1String(nom));
    return l;
}

} // namespace

TOptionsForm::TOptionsForm(ThemeDocument &doc, QWidget *parent) : QDialog(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Size Images Options"));

    FormatImgGB = new QGroupBox(QStringLiteral("Theme Format"), this);
    FormatImgGB->setObjectName(QStringLiteral("FormatImgRG"));
    FormatImgRG = new QButtonGroup(this);
    auto *colonne = new QVBoxLayout(FormatImgGB);
    for (int i = 0; i < FormatImages::NbFormats; ++i) {
        auto *b = new QRadioButton(NomFormatTheme(i), FormatImgGB);
        b->setObjectName(QStringLiteral("FormatImgRG%1").arg(i));
        FormatImgRG->addButton(b, i);
        colonne->addWidget(b);
    }

    LTDse = nouveauSpin("LTDse", this);
    HTDse = nouveauSpin("HTDse", this);
    LSTse = nouveauSpin("LSTse", this);
    HSTse = nouveauSpin("HSTse", this);
    Label1 = nouveauLabel("Label1", QStringLiteral("\"TODAY\" Width"), this);
    Label2 = nouveauLabel("Label2", QStringLiteral("\"TODAY\" Height"), this);
    Label3 = nouveauLabel("Label3", QStringLiteral("\"Start\" Width"), this);
    Label4 = nouveauLabel("Label4", QStringLiteral("\"Start\" Height"), this);
    Label6 = nouveauLabel("Label6", QStringLiteral("(Including 19 pixels more than visualisation)"), this);
    AlerteLbl = nouveauLabel("AlerteLbl",
                             QStringLiteral("Beware of this. The program may don't play well if you change this"),
                             this);
    AlerteLbl->setWordWrap(true);
    AnnulerBtn = new QPushButton(QStringLiteral("Cancel"), this);
    AnnulerBtn->setObjectName(QStringLiteral("AnnulerBtn"));
    AnnulerBtn->setAutoDefault(false);
    ValiderBtn = new QPushButton(QStringLiteral("Validate"), this);
    ValiderBtn->setObjectName(QStringLiteral("ValiderBtn"));
    ValiderBtn->setAutoDefault(false);

    auto *tailles = new QGridLayout;
    tailles->addWidget(Label1, 0, 0);
    tailles->addWidget(LTDse, 0, 1);
    tailles->addWidget(Label2, 1, 0);
    tailles->addWidget(HTDse, 1, 1);
    tailles->addWidget(Label6, 2, 0, 1, 2);
    tailles->addWidget(Label3, 3, 0);
    tailles->addWidget(LSTse, 3, 1);
    tailles->addWidget(Label4, 4, 0);
    tailles->addWidget(HSTse, 4, 1);
    tailles->addWidget(AlerteLbl, 5, 0, 1, 2);
    tailles->setRowStretch(6, 1);

    auto *haut = new QHBoxLayout;
    haut->addWidget(FormatImgGB);
    haut->addLayout(tailles);
    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(ValiderBtn);
    boutons->addWidget(AnnulerBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addLayout(haut);
    tout->addLayout(boutons);

    const int format = m_doc.format().FormatTheme;
    selectionneSansClic(format);
    m_indexSauve = format;

    // The format's click follows every change of the selection, by mouse or
    // keyboard, except while Cancel puts the old one back.
    connect(FormatImgRG, &QButtonGroup::idToggled, this, [this](int, bool coche) {
        if (coche && m_clicLie)
            FormatImgRGClick();
    });
    connect(ValiderBtn, &QPushButton::clicked, this, &TOptionsForm::ValiderBtnClick);
    connect(AnnulerBtn, &QPushButton::clicked, this, &TOptionsForm::AnnulerBtnClick);
}

int TOptionsForm::itemIndex() const
{
    return FormatImgRG->checkedId();
}

void TOptionsForm::selectionneSansClic(int index)
{
    const bool lie = m_clicLie;
    m_clicLie = false;
    if (auto *b = FormatImgRG->button(index))
        b->setChecked(true);
    m_clicLie = lie;
}

std::array<int, 4> TOptionsForm::valeursSpin() const
{
    return {LTDse->value(), HTDse->value(), LSTse->value(), HSTse->value()};
}

void TOptionsForm::AfficheTailles()
{
    const auto &t = m_doc.format().TailleImages;
    LTDse->setValue(t[0]);
    HTDse->setValue(t[1]);
    LSTse->setValue(t[2]);
    HSTse->setValue(t[3]);
}

void TOptionsForm::ActiveTaillesPerso()
{
    const bool perso = itemIndex() == FormatImages::FormatPerso;
    for (QSpinBox *s : {LTDse, HTDse, LSTse, HSTse})
        s->setEnabled(perso);
    AlerteLbl->setVisible(perso);
    AfficheTailles();
}

void TOptionsForm::showEvent(QShowEvent *e)
{
    // Each showing starts from the document's current format and sizes.
    m_sauve = m_doc.format();
    selectionneSansClic(m_sauve.FormatTheme);
    m_indexSauve = itemIndex();
    ActiveTaillesPerso();
    QDialog::showEvent(e);
}

void TOptionsForm::FormatImgRGClick()
{
    const int index = itemIndex();
    FormatImages f = m_doc.format();
    if (index == FormatImages::FormatPerso)
        f.TaillesPerso = valeursSpin();
    FixeTailles(f, index);
    m_doc.setFormat(f);
    ActiveTaillesPerso();
}

void TOptionsForm::ValiderBtnClick()
{
    if (itemIndex() == FormatImages::FormatPerso)
        FormatImgRGClick();
    FormatImages f = m_doc.format();
    const auto spins = valeursSpin();
    std::copy(spins.begin(), spins.end(), f.TailleImages.begin());
    m_doc.setFormat(f);
    m_indexSauve = itemIndex();
    accept();
}

void TOptionsForm::AnnulerBtnClick()
{
    selectionneSansClic(m_indexSauve);
    // Everything the clicks changed goes back: the eight sizes and the custom
    // sizes as well as the index. FormatTheme was never changed here.
    FormatImages f = m_doc.format();
    f.TailleImages = m_sauve.TailleImages;
    f.TaillesPerso = m_sauve.TaillesPerso;
    m_doc.setFormat(f);
    QDialog::reject();
}

void TOptionsForm::reject()
{
    AnnulerBtnClick();
}

void TOptionsForm::done(int r)
{
    // The next showing starts on Validate.
    ValiderBtn->setFocus();
    QDialog::done(r);
}

void TOptionsForm::choisitFormat(int format)
{
    if (format < 0 || format >= FormatImages::NbFormats)
        return;
    // The custom sizes come from TaillesPerso here, not from the spin edits
    // the user has not seen.
    m_doc.setFormatTheme(format);
    selectionneSansClic(format);
    m_indexSauve = format;
}
