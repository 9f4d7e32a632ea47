// The window's own menu: about, the site window, the version line, the
// language line and quitting. Linux window managers keep the menu of a
// window's title bar to themselves, so the items open from the program's
// icon at the start of the tool bar and from the tool bar's context menu.
#include "app/orvandel_main_window.h"

#include "ui/info_version.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

void TOrvandel::InitMenuSys(QToolBar *barre)
{
    m_menuSysteme = new QMenu(this);
    m_menuSysteme->setObjectName(QStringLiteral("MenuSysteme"));
    auto ajoute = [this](const QString &texte, int commande) {
        QAction *a = m_menuSysteme->addAction(texte);
        a->setObjectName(QStringLiteral("MenuSysteme%1").arg(commande));
        connect(a, &QAction::triggered, this, [this, commande] { WMSysCommand(commande); });
        return a;
    };
    ajoute(QStringLiteral("A Propos"), CommandeAPropos);
    m_menuSysteme->addSeparator();
    ajoute(QStringLiteral("Orvandel - Zantiq"), CommandeSite);
    ajoute(QStringLiteral("Version Orvandel : ") + LigneVersionProgramme(), CommandeVersion);
    ajoute(QStringLiteral("English Version"), CommandeLangue);
    m_menuSysteme->addSeparator();
    QAction *quitter = m_menuSysteme->addAction(QStringLiteral("&Quit Orvandel"));
    quitter->setObjectName(QStringLiteral("MenuSystemeQuitter"));
    quitter->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    quitter->setShortcutContext(Qt::WindowShortcut);
    addAction(quitter);
    connect(quitter, &QAction::triggered, this, &TOrvandel::close);

    // The program's icon opens the menu, as the icon of a title bar does.
    auto *icone = new QToolButton(barre);
    icone->setObjectName(QStringLiteral("MenuSystemeBtn"));
    icone->setIcon(windowIcon());
    icone->setIconSize(QSize(24, 24));
    icone->setAutoRaise(true);
    icone->setPopupMode(QToolButton::InstantPopup);
    icone->setMenu(m_menuSysteme);
    icone->setToolTip(QStringLiteral("Orvandel"));
    barre->insertWidget(barre->actions().value(0), icone);

    // A right click on the tool bar's free area opens it too.
    barre->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(barre, &QToolBar::customContextMenuRequested, this,
            [this, barre](const QPoint &p) { m_menuSysteme->popup(barre->mapToGlobal(p)); });
}

void TOrvandel::WMSysCommand(int commande)
{
    switch (commande) {
    case CommandeAPropos:
    case CommandeVersion:
    case CommandeLangue: AproposBtnClick(); break;
    case CommandeSite: BlancTBtnClick(); break;
    default: break;
    }
}
