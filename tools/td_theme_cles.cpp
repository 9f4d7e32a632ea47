#include "tools/td_theme_cles.h"

#include "theme/prompts.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The colour panels, in the order of the key list (key 1 is CHPl).
constexpr std::array<const char *, NbClesThemeTD> NomsPanneaux{
    nullptr,   "CHPl",    "CHTPl",   "CSBFPl",  "CMTPl",   "CSFPl",
    "CSFCPl",  "CCFPl",   "CTFPl",   "CTFCPl",  "CTFDPl",  "CTFDHPl",
    "CCBPl",   "CCBTPl",  "CCBSHPl", "CCBTHPl", "Col34Pl"};

void peint(QFrame *panneau, TColor c)
{
    QPalette pal = panneau->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(c.toQRgb()));
    panneau->setPalette(pal);
}

void gardeLaPlace(QWidget *w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

} // namespace

TTDThemeCles::TTDThemeCles(const ParametresWM5 &parametres, const QStringList &clesTheme,
                           Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_parametres(parametres), m_clesTheme(clesTheme), m_prompts(prompts)
{
    setObjectName(QStringLiteral("TDThemeCles"));
    setWindowTitle(QStringLiteral("Theme Keys"));

    auto *grille = new QGridLayout;
    ActiverLbl = new QLabel(QStringLiteral("Activate"), this);
    ActiverLbl->setObjectName(QStringLiteral("ActiverLbl"));
    grille->addWidget(ActiverLbl, 0, 0);

    for (int k = 0; k < NbClesThemeTD; ++k) {
        auto *c = new QCheckBox(this);
        c->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        c->setProperty("Tag", k);
        if (k >= 1 && k < CleCouleur34)
            c->setText(ListeTDThemeCles.at(k));
        else if (k == CleCouleur34)
            c->setText(QStringLiteral("34"));
        m_cases[k] = c;
        connect(c, &QCheckBox::clicked, this, [this, k] { CheckBoxClick(k); });
        grille->addWidget(c, k + 1, 0);
        if (k == CleUseDefaultTitleColor) {
            UDTCcb = new QCheckBox(QStringLiteral("UseDefaultTitleColor"), this);
            UDTCcb->setObjectName(QStringLiteral("UDTCcb"));
            gardeLaPlace(UDTCcb);
            connect(UDTCcb, &QCheckBox::clicked, this, [this](bool coche) {
                m_etat[CleUseDefaultTitleColor].udtc = coche;
                m_etat[CleUseDefaultTitleColor].modifiee = true;
            });
            grille->addWidget(UDTCcb, 1, 1, 1, 2);
            continue;
        }
        auto *p = new QFrame(this);
        p->setObjectName(QLatin1String(NomsPanneaux[k]));
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Sunken);
        p->setAutoFillBackground(true);
        p->setFixedSize(48, 18);
        p->setCursor(Qt::PointingHandCursor);
        p->installEventFilter(this);
        gardeLaPlace(p);
        m_panneaux[k] = p;
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("Label%1").arg(k));
        l->setTextFormat(Qt::PlainText);
        l->setMinimumWidth(90);
        gardeLaPlace(l);
        m_libelles[k] = l;
        grille->addWidget(p, k + 1, 1);
        grille->addWidget(l, k + 1, 2);
    }

    InfoLbl = new QLabel(
        QStringLiteral("NB : Click + CTRL pressed put the Dropper Color in the selected item"), this);
    InfoLbl->setObjectName(QStringLiteral("InfoLbl"));
    InfoLbl->setWordWrap(true);
    ValiderBtn = new QPushButton(QStringLiteral("Validate"), this);
    ValiderBtn->setObjectName(QStringLiteral("ValiderBtn"));
    AnnulerBtn = new QPushButton(QStringLiteral("Cancel"), this);
    AnnulerBtn->setObjectName(QStringLiteral("AnnulerBtn"));
    connect(ValiderBtn, &QPushButton::clicked, this, &TTDThemeCles::ValiderBtnClick);
    connect(AnnulerBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(ValiderBtn);
    boutons->addWidget(AnnulerBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addLayout(grille);
    tout->addWidget(InfoLbl);
    tout->addLayout(boutons);
}

void TTDThemeCles::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TTDThemeCles::FormShow()
{
    m_etat = LitClesThemeTD(m_parametres, m_clesTheme);
    UDTCcb->setChecked(m_etat[CleUseDefaultTitleColor].udtc);
    UDTCcb->setVisible(m_etat[CleUseDefaultTitleColor].active);
    for (int k = 0; k < NbClesThemeTD; ++k) {
        m_cases[k]->setChecked(m_etat[k].active);
        if (k != CleUseDefaultTitleColor)
            affichePanneau(k);
    }
}

void TTDThemeCles::affichePanneau(int k)
{
    const CleThemeTD &c = m_etat[k];
    peint(m_panneaux[k], c.couleur);
    m_panneaux[k]->setVisible(c.active);
    m_libelles[k]->setText(c.active ? c.libelle : QString());
    m_libelles[k]->setVisible(c.active);
}

void TTDThemeCles::CheckBoxClick(int tag)
{
    CleThemeTD &c = m_etat[tag];
    c.active = m_cases[tag]->isChecked();
    c.modifiee = true;
    if (tag == CleUseDefaultTitleColor) {
        UDTCcb->setVisible(c.active);
        return;
    }
    c.libelle = TexteHexaCouleur(c.couleur);
    affichePanneau(tag);
}

bool TTDThemeCles::eventFilter(QObject *objet, QEvent *e)
{
    const auto it = std::find(m_panneaux.begin(), m_panneaux.end(), objet);
    if (it == m_panneaux.end() || !*it)
        return QDialog::eventFilter(objet, e);
    if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(objet, e);
    const int k = int(it - m_panneaux.begin());
    const auto *souris = static_cast<QMouseEvent *>(e);
    if (e->type() == QEvent::MouseButtonPress && souris->button() == Qt::LeftButton) {
        PanelMouseDown(k, souris->modifiers());
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease && souris->button() == Qt::LeftButton) {
        // A click is a press and a release over the same panel.
        if ((*it)->rect().contains(souris->position().toPoint()))
            PanelClick(k);
        return true;
    }
    return QDialog::eventFilter(objet, e);
}

void TTDThemeCles::PanelMouseDown(int, Qt::KeyboardModifiers modificateurs)
{
    m_modificateurs = modificateurs;
}

void TTDThemeCles::PanelClick(int k)
{
    CleThemeTD &c = m_etat[k];
    if (m_modificateurs.testFlag(Qt::ControlModifier)) {
        c.couleur = m_pipette;
    } else {
        const auto choisie = m_prompts.chooseColor(c.couleur);
        if (!choisie)
            return;
        c.couleur = *choisie;
    }
    c.modifiee = true;
    c.libelle = TexteHexaCouleur(c.couleur);
    peint(m_panneaux[k], c.couleur);
    m_libelles[k]->setText(c.libelle);
    m_libelles[k]->setVisible(true);
}

void TTDThemeCles::ValiderBtnClick()
{
    emit valide(EcritClesThemeTD(m_etat));
    accept();
}

int OuvreTDThemeCles(ThemeDocument &doc, Prompts &prompts, TColor couleurPipette, QWidget *parent,
                     const QString &titre)
{
    TTDThemeCles fenetre(doc.parametres(), doc.clesTheme(), prompts, parent);
    if (!titre.isEmpty())
        fenetre.setWindowTitle(titre);
    fenetre.setCouleurPipette(couleurPipette);
    QObject::connect(&fenetre, &TTDThemeCles::valide, &doc,
                     [&doc](const ResultatClesThemeTD &r) { AppliqueClesThemeTD(doc, r); });
    return fenetre.exec();
}
