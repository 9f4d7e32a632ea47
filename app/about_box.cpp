#include "app/about_box.h"

#include "ui/polices.h"
#include "app/scroll_text.h"
#include "app/switch_control.h"
#include "theme/animation_pause.h"
#include "theme/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The maker's rights when the version information has none.
const char *const kDroitsFabricant = "Copyright \u00A9 Zantiq - Tous droits réservés";

} // namespace

TAboutBox::TAboutBox(Prompts &prompts, QWidget *parent, const QString &cheminProgramme)
    : QDialog(parent), m_prompts(prompts)
{
    // FormCreate
    const QString chemin = cheminProgramme.isEmpty() ? QCoreApplication::applicationFilePath() : cheminProgramme;
    const QFileInfo fi(chemin);
    m_nomProgramme = fi.fileName();
    InfoFic1 = InfoVersionProgramme();
    m_fichier = LitDonneesFichier(chemin);
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos de : ") + fi.completeBaseName());

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(QIcon(QStringLiteral(":/art/orvandel.png")).pixmap(48, 48));
    if (m_fichier.existe)
        ProgramIcon->setToolTip(QStringList{QStringLiteral("Création : ") + m_fichier.Creation,
                                            QStringLiteral("Dernier accès : ") + m_fichier.LastAccess,
                                            QStringLiteral("Modification : ") + m_fichier.LastWrite,
                                            QStringLiteral("Taille : ") + m_fichier.Taille,
                                            QStringLiteral("Attributs : ") + m_fichier.AttributsFichier}
                                    .join(QLatin1Char('\n')));
    Logo = new QLabel(this);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setPixmap(QPixmap(QStringLiteral(":/art/logo_zantiq.png")));
    ProductName = new QLabel(InfoFic1.valeur(LibelleCleVersion(QStringLiteral("ProductName"), false)), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setFont(PoliceImage(QStringLiteral("Tahoma"), 16, 1));
    ProductName->setAlignment(Qt::AlignCenter);

    ScrollText1 = new TScrollText(this);
    ScrollText1->setObjectName(QStringLiteral("ScrollText1"));
    ScrollText1->setFixedSize(260, 150);
    QStringList lignes{m_nomProgramme, QString(), QStringLiteral("Version : "),
                       QStringList{InfoFic1.Majeure, InfoFic1.Mineure, InfoFic1.Release, InfoFic1.Build}.join(
                           QLatin1Char('.'))};
    for (int i = 0; i + 1 < InfoFic1.Infos.size(); i += 2)
        lignes << InfoFic1.Infos.at(i) + QStringLiteral(" : ") << InfoFic1.Infos.at(i + 1);
    lignes << QStringLiteral("Conçu pour : ") << InfoFic1.Os;
    lignes << QStringLiteral("Type fichier : ") << InfoFic1.FileType;
    ScrollText1->setItems(lignes);

    VersionOslbl = new QLabel(TexteVersionWindows(), this);
    VersionOslbl->setObjectName(QStringLiteral("VersionOslbl"));
    VersionOslbl->setWordWrap(true);

    Switch1 = new TSwitch(this);
    Switch1->setObjectName(QStringLiteral("Switch1"));
    Switch1->setFixedSize(50, 60);
    Switch1->setToolTip(QStringLiteral("Close"));
    connect(Switch1, &TSwitch::clicked, this, &TAboutBox::Switch1Click);

    Plus = new QPushButton(QStringLiteral("Plus..."), this);
    Plus->setObjectName(QStringLiteral("Plus"));
    Plus->setAutoDefault(false);
    connect(Plus, &QPushButton::clicked, this, &TAboutBox::PlusClick);

    auto *haut = new QHBoxLayout;
    haut->addWidget(ProgramIcon);
    haut->addWidget(ProductName, 1);
    haut->addWidget(Logo);
    auto *bas = new QHBoxLayout;
    bas->addWidget(VersionOslbl, 1);
    bas->addWidget(Plus, 0, Qt::AlignBottom);
    bas->addWidget(Switch1);
    auto *l = new QVBoxLayout(this);
    l->addLayout(haut);
    l->addWidget(ScrollText1, 0, Qt::AlignHCenter);
    l->addLayout(bas);
    l->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::showEvent(QShowEvent *e)
{
    // FormShow: the text scrolls, centred, Tahoma black on the button face.
    ScrollText1->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ScrollText1->setDelay(30);
    ScrollText1->setFont(PoliceImage(QStringLiteral("Tahoma"), 8));
    ScrollText1->setBackgroundColor(palette().color(QPalette::Button));
    QPalette p = ScrollText1->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    ScrollText1->setPalette(p);
    ScrollText1->setActive(true);
    QDialog::showEvent(e);
}

void TAboutBox::Switch1Click()
{
    // Closes half a second after the click, leaving the switch time to be seen.
    if (m_fermeture)
        return;
    m_fermeture = true;
    QTimer::singleShot(500, this, &QDialog::accept);
}

void TAboutBox::done(int r)
{
    ScrollText1->setActive(false);
    Switch1->setStateOn(true);
    QDialog::done(r);
}

QString TAboutBox::titrePlus() const
{
    QString droits = InfoFic1.valeur(LibelleCleVersion(QStringLiteral("LegalCopyright"), false));
    if (droits.isEmpty())
        droits = QString::fromUtf8(kDroitsFabricant);
    return m_nomProgramme + QStringLiteral(" ® ") + droits;
}

QString TAboutBox::textePlus() const
{
    const QString description = InfoFic1.valeur(LibelleCleVersion(QStringLiteral("FileDescription"), false));
    return description.isEmpty() ? QStringLiteral("Pas de Description") : description;
}

void TAboutBox::PlusClick()
{
    m_prompts.message(textePlus(), titrePlus(), Prompts::Icon::Information);
}

void OuvreAboutBox(QWidget *parent, Prompts &prompts, AnimationPause *pause)
{
    AnimationPauseGuard garde(pause);
    TAboutBox boite(prompts, parent);
    boite.exec();
}
