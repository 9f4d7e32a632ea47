// The remaining commands of the main window: the save folder, the help
// contents, quitting, the colour-slot selection and the theme name's keys.
#include "app/orvandel_main_window.h"

#include "ui/fonctions_indep.h"
#include "ui/options.h"
#include "app/boutons_commandes.h"
#include "app/commandes_paquet.h"
#include "app/panneau_couleur.h"
#include "theme/controle_noms.h"
#include "theme/prompts.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <functional>

using commandes::bouton;

namespace {

// The characters a theme name refuses: those a file name may not hold, and
// ' + , ; = [ ] ^.
bool caractereRefuse(QChar c)
{
    static const QString refuses = QStringLiteral("\"'*+,/:;<=>?[\\]^|");
    return refuses.contains(c);
}

// Calls `action` each time the watched widget changes size.
class SuiviTaille : public QObject
{
public:
    SuiviTaille(QWidget *surveille, std::function<void()> action)
        : QObject(surveille), m_action(std::move(action))
    {
        surveille->installEventFilter(this);
    }
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            m_action();
        return QObject::eventFilter(objet, e);
    }

private:
    std::function<void()> m_action;
};

} // namespace

void TOrvandel::construitCommandesOutils(QToolBar *barre)
{
    QToolButton *image = bouton(barre, "ImageTBtn", QStringLiteral("Images"),
                                QStringLiteral("Choose/Modify the Images (Today and Start)"));
    connect(image, &QToolButton::clicked, this, &TOrvandel::ImagesBtnClick);
    QToolButton *dossier = bouton(barre, "ChangeDirTBtn", QStringLiteral("Save Dir"),
                                  QStringLiteral("Change Save Dir on the PC"));
    connect(dossier, &QToolButton::clicked, this, &TOrvandel::RepBtnClick);
    barre->addSeparator();
    QToolButton *aide = bouton(barre, "AideTBtn", QStringLiteral("Help"), QStringLiteral("Help"));
    connect(aide, &QToolButton::clicked, this, &TOrvandel::InfosSBtnClick);
    QToolButton *site = bouton(barre, "BlancTBtn", QStringLiteral("Zantiq"), QStringLiteral("Web Site Zantiq"));
    connect(site, &QToolButton::clicked, this, &TOrvandel::BlancTBtnClick);
    QToolButton *apropos = bouton(barre, "AproposBtn", QStringLiteral("About"), QStringLiteral("About"));
    apropos->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    apropos->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(apropos, &QToolButton::clicked, this, &TOrvandel::AproposBtnClick);
    QToolButton *quitter = bouton(barre, "QuitterTBtn", QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quitter, &QToolButton::clicked, this, &TOrvandel::close);
}

// ---------------------------------------------------------------------------
// The save folder.

QWidget *TOrvandel::construitDossierTsk(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneDossierTsk"));
    auto *ligne = new QHBoxLayout(zone);
    ligne->setContentsMargins(0, 0, 0, 0);
    auto *label27 = new QLabel(QStringLiteral("Dir where to Save Theme (TSK)"), zone);
    label27->setObjectName(QStringLiteral("Label27"));
    m_dossierEdit = new QLineEdit(zone);
    m_dossierEdit->setObjectName(QStringLiteral("DossierEdit"));
    m_dossierEdit->setReadOnly(true);
    // The path is shortened to the field's width: whole when it fits, again
    // each time the window is resized.
    new SuiviTaille(m_dossierEdit, [this] { m_dossierEdit->setText(AffDossier(m_ctx.dossiers.DossierTsk)); });
    auto *changeDir = new QPushButton(QStringLiteral("..."), zone);
    changeDir->setObjectName(QStringLiteral("ChangeDirBtn"));
    changeDir->setToolTip(QStringLiteral("Change Save Dir on the PC"));
    connect(changeDir, &QPushButton::clicked, this, &TOrvandel::RepBtnClick);
    ligne->addWidget(label27);
    ligne->addWidget(m_dossierEdit, 1);
    ligne->addWidget(changeDir);
    return zone;
}

void TOrvandel::crochetAffDossier()
{
    m_dossierEdit->setText(AffDossier(m_ctx.dossiers.DossierTsk));
}

QString TOrvandel::AffDossier(const QString &chemin)
{
    m_dossierEdit->setToolTip(chemin);
    return m_dossierEdit->fontMetrics().elidedText(chemin, Qt::ElideMiddle, qMax(0, m_dossierEdit->width() - 10));
}

void TOrvandel::RepBtnClick()
{
    if (!m_ctx.prompts)
        return;
    AnimationPauseGuard pause(&m_ctx.animation);
    QString choisi = ChoisirDossier(*m_ctx.prompts, QStringLiteral("Validate Save Dir for \"TODAY\":"),
                                    m_ctx.dossiers.DossierTsk);
    if (choisi.isEmpty())
        return;
    // The options file could not keep it: the folder stays as it was.
    if (!DossierSurUneLigne(choisi)) {
        m_ctx.prompts->message(MessageDossierSurPlusieursLignes(choisi), QString(), Prompts::Icon::Warning);
        return;
    }
    if (!choisi.endsWith(QLatin1Char('/')))
        choisi += QLatin1Char('/');
    m_ctx.dossiers.DossierTsk = choisi;
    m_dossierEdit->setText(AffDossier(choisi));
    MajEtatCreation(); // the create command's hint names the folder
}

// ---------------------------------------------------------------------------
// The theme name.

bool TOrvandel::ThemeEditKeyPress(QKeyEvent *touche)
{
    const QString texte = touche->text();
    if (texte.size() != 1 || !caractereRefuse(texte.front()))
        return false;
    if (m_ctx.prompts)
        m_ctx.prompts->beep();
    return true; // the key is dropped
}

namespace {

// The name is kept whatever it holds; one that the package's files cannot
// hold, under the package option chosen, says so as it is typed (red text,
// the reason as the box's hint), not only when the package is created.
void marqueNomHorsPaquet(QLineEdit *champ, const QString &refus)
{
    champ->setToolTip(refus.isEmpty() ? QString() : refus + QStringLiteral("\nThe theme keeps this name."));
    if (refus.isEmpty()) {
        champ->setPalette(QPalette()); // the window's colours again
        return;
    }
    QPalette p = champ->palette();
    p.setColor(QPalette::Text, QColor(0xC0, 0x00, 0x00));
    champ->setPalette(p);
}

} // namespace

void TOrvandel::MajMarquesNoms()
{
    const ControleNoms::Refus refus =
        RefusNomsTheme(m_themeEdit->text(), m_themeAppEdt->text(), CleThemeEcrite(m_ctx.document),
                       OptionSetupPackage(m_ctx.options.TskInfXmlRG));
    marqueNomHorsPaquet(m_themeEdit, refus.theme);
    marqueNomHorsPaquet(m_themeAppEdt, refus.interne);
}

void TOrvandel::ThemeAppEdtChange()
{
    MajMarquesNoms(); // the theme name stands in for an empty internal name
}

void TOrvandel::ThemeEditChange()
{
    const QString nom = m_themeEdit->text();
    MajMarquesNoms();
    m_sauveInf->setToolTip(QStringLiteral("Save File ") + QStringLiteral("\r\n") + QStringLiteral(" - ") + nom
                           + QStringLiteral(".inf") + QStringLiteral("\r\n") + QStringLiteral(" - ") + nom
                           + QStringLiteral(".xml"));
}

// ---------------------------------------------------------------------------
// The colour slots shown.

void TOrvandel::SelDeSelALLClick(bool tous)
{
    for (QCheckBox *c : m_inclus)
        c->setChecked(tous); // each change runs CBPanelCoulClick through the document
}

void TOrvandel::CBPanelCoulClick(int i)
{
    const bool coche = m_inclus[i]->isChecked();
    m_panneaux[i]->setVisible(coche);
    m_libelles[i]->setEnabled(coche);
}
