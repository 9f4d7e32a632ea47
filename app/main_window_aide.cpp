// Help on the main window: the help viewer made at start and closed at
// shut-down; a right-button press or a context-menu request on a control
// shows the control's help topic, and no menu appears.
#include "app/orvandel_main_window.h"

#include "app/aide_html.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

struct AideControle
{
    const char *nom;
    int id;
    bool toutBouton; // any mouse button shows the help, not only the right one
};

// The help topic of each control, by its name.
constexpr AideControle kAides[] = {
    {"LireTskTBtn", 1015, false},   {"LireTskCETBtn", 1016, false}, {"TransfertTskTBtn", 1007, false},
    {"CreerTBtn", 1008, false},     {"ImageTBtn", 1033, false},     {"ImgChoix", 1033, false},
    {"ChangeDirTBtn", 1002, false}, {"ChangeDirBtn", 1002, false},  {"SauveCoulTbtn", 1003, false},
    {"ChargeCoulTBtn", 1003, false}, {"SauveInfTBtn", 1023, false}, {"WinVerTBtn", 1012, false},
    {"BlancTBtn", 1005, false},     {"OptionsBtn", 1035, false},    {"WM5Btn", 1030, false},
    {"Image12", 1030, true},        {"CTBtn", 1004, false},         {"InfSBtn", 1013, false},
    {"PreviewSBtn", 1020, false},   {"TskActSBtn", 1028, false},    {"PipetteSBtn", 1019, false},
    {"Panel26", 1019, false},       {"HintSP", 1025, false},        {"SonSP", 1025, false},
    {"PanelTD", 1017, false},       {"PanelST", 1017, false},       {"PanelTDL", 1017, false},
    {"PanelSTL", 1017, false},      {"MinTD", 1017, false},         {"MinST", 1017, false},
    {"MinTDL", 1017, false},        {"MinSTL", 1017, false},        {"Image8", 1026, true},
    {"Image10", 1034, true},        {"Image11", 1009, true},        {"EtatASLbl", 1009, false},
    {"ImgOV", 1027, true},          {"ThemeEdit", 1002, false},     {"DossierEdit", 1002, false},
    {"ThemeAppEdt", 1002, false},   {"StatusBar1", 1010, false},    {"Panel23", 1024, false},
};

constexpr char kProprieteAide[] = "helpId";
constexpr char kProprieteToutBouton[] = "helpToutBouton";

} // namespace

void TOrvandel::installeAideContexte()
{
    for (const AideControle &a : kAides) {
        const QString nom = QLatin1String(a.nom);
        for (QWidget *w : findChildren<QWidget *>(nom)) {
            w->setProperty(kProprieteAide, a.id);
            w->setProperty(kProprieteToutBouton, a.toutBouton);
            w->setContextMenuPolicy(Qt::DefaultContextMenu);
            w->installEventFilter(this);
        }
    }
}

bool TOrvandel::filtreAide(QObject *objet, QEvent *e)
{
    const QVariant id = objet->property(kProprieteAide);
    if (!id.isValid())
        return false;
    if (e->type() == QEvent::ContextMenu) {
        // A right-button press has already shown the help; the menu key or
        // another request shows it now. No menu appears either way.
        if (static_cast<QContextMenuEvent *>(e)->reason() != QContextMenuEvent::Mouse)
            AfficheAideContexte(id.toInt());
        e->accept();
        return true;
    }
    if (e->type() == QEvent::MouseButtonPress) {
        const auto *souris = static_cast<QMouseEvent *>(e);
        if (souris->button() == Qt::RightButton || objet->property(kProprieteToutBouton).toBool()) {
            AfficheAideContexte(id.toInt());
            return true;
        }
    }
    return false;
}

void TOrvandel::AfficheAideContexte(int id)
{
    if (m_aideContexteActive && m_aide) {
        AnimationPauseGuard pause(&m_ctx.animation);
        m_aide->AfficheContexte(id);
    }
    m_aideContexteActive = true;
}

void TOrvandel::InfosSBtnClick()
{
    if (!m_aide)
        return;
    AnimationPauseGuard pause(&m_ctx.animation);
    m_aide->AfficheSommaire();
}

void TOrvandel::setAide(std::unique_ptr<AideHtml> aide)
{
    m_aide = std::move(aide);
}

void TOrvandel::crochetDialoguesEtAide()
{
    // The help pages are built into the program.
    m_aide = std::make_unique<TStoHtmlHelpViewer>(&m_ctx.animation);
}

void TOrvandel::crochetFermeAide()
{
    // The help windows opened during the run close with the program.
    if (m_aide)
        m_aide->SoftShutDown();
}
