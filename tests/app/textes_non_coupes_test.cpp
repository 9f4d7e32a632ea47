// Every window of the program, opened through the buttons a user presses and
// left at its default size, shows each of its texts whole: no label, button,
// check box, radio button, group title or tab is narrower (or lower) than its
// text, and no text lies outside the part of the window that is painted. The
// device windows are opened against a connected simulated device.
//
// With ORVANDEL_CAPTURES set to a folder, each window is also saved there as
// a PNG, one per page of each tab control, for a person to look at.

#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/fenetre_principale.h"

#include "app/about_box.h"
#include "app/memo_inf.h"
#include "app/options_form.h"
#include "app/zantiq_form.h"
#include "apercu/preview_hp.h"
#include "device/app_inst.h"
#include "device/infos_pda.h"
#include "device/transfert_vers_ce.h"
#include "device/tsk_reg_today.h"
#include "tools/choix_images.h"
#include "tools/td_theme_cles.h"
#include "tools/open_picture_dialog_gdi.h"
#include "tools/open_picture_dialog_gdi_tsk.h"
#include "tools/eval_sauve.h"
#include "tools/histo_teinte.h"
#include "tools/hue_calc.h"
#include "tools/rgb_vers_teinte.h"
#include "tools/texte_sur_image.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>

#include <set>

using fenetretest::Fenetre;
using fenetrestest::surModale;

namespace {

// The text as drawn: a mnemonic "&" is not shown, "&&" shows one.
QString sansMnemonique(QString t)
{
    t.replace(QLatin1String("&&"), QString(QChar(0x1)));
    t.remove(QLatin1Char('&'));
    t.replace(QChar(0x1), QLatin1Char('&'));
    return t;
}

QSize tailleTexte(const QFontMetrics &fm, const QString &texte)
{
    const QStringList lignes = texte.split(QLatin1Char('\n'));
    int l = 0;
    for (const QString &ligne : lignes)
        l = std::max(l, fm.horizontalAdvance(ligne));
    return {l, int(lignes.size()) * fm.height()};
}

QString nomDe(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// Collects what does not fit in one window.
class Verification
{
public:
    explicit Verification(QString fenetre) : m_fenetre(std::move(fenetre)) {}

    void verifie(QWidget *racine)
    {
        QList<QWidget *> tous = racine->findChildren<QWidget *>();
        tous.prepend(racine);
        for (QWidget *w : tous)
            if (w->isVisibleTo(racine->window()) && w->isVisible())
                verifieWidget(w);
    }

    // Every page of every tab control, each in turn.
    void parcours(QWidget *racine, const QString &page = {})
    {
        verifie(racine);
        capture(racine->window(), page);
        for (QTabWidget *t : racine->findChildren<QTabWidget *>()) {
            if (!t->isVisible())
                continue;
            const int courant = t->currentIndex();
            for (int i = 0; i < t->count(); ++i) {
                if (i == courant || !t->isTabEnabled(i))
                    continue;
                t->setCurrentIndex(i);
                QApplication::processEvents();
                parcours(t->widget(i), nomDe(t->widget(i)));
            }
            t->setCurrentIndex(courant);
            QApplication::processEvents();
        }
    }

    const std::set<std::string> &fautes() const { return m_fautes; }

private:
    void faute(const QWidget *w, const QString &texte, int besoin, int place, const char *sens = "wide")
    {
        m_fautes.insert(QStringLiteral("%1/%2: \"%3\" needs %4 px %5, has %6")
                            .arg(m_fenetre, nomDe(w), texte.left(60))
                            .arg(besoin)
                            .arg(QLatin1String(sens))
                            .arg(place)
                            .toStdString());
    }

    // The text's rectangle must lie in the painted part of the widget (not
    // cut by a parent's edge).
    void verifieVisible(QWidget *w, const QRect &zone, const QString &texte)
    {
        const QRegion visible = w->visibleRegion();
        const QRect r = zone.intersected(w->rect());
        if (!r.isEmpty() && visible.intersected(r) != QRegion(r))
            faute(w, texte, r.width(), visible.intersected(r).boundingRect().width(), "wide in view");
    }

    void verifieWidget(QWidget *w)
    {
        if (auto *l = qobject_cast<QLabel *>(w))
            verifieLabel(l);
        else if (auto *b = qobject_cast<QPushButton *>(w))
            verifieBouton(b, QStyle::SE_PushButtonContents);
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            verifieBouton(c, QStyle::SE_CheckBoxContents);
        else if (auto *r = qobject_cast<QRadioButton *>(w))
            verifieBouton(r, QStyle::SE_RadioButtonContents);
        else if (auto *t = qobject_cast<QToolButton *>(w))
            verifieOutil(t);
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            verifieGroupe(g);
        else if (auto *o = qobject_cast<QTabBar *>(w))
            verifieOnglets(o);
    }

    void verifieLabel(QLabel *l)
    {
        if (l->text().isEmpty() || !l->pixmap().isNull())
            return;
        const QRect contenu = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        QSize besoin;
        const bool riche = l->textFormat() == Qt::RichText
                           || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
        if (l->wordWrap()) {
            besoin = {std::min(contenu.width(), l->sizeHint().width()), l->heightForWidth(l->width())};
            if (besoin.height() > l->height() + 1)
                faute(l, l->text(), besoin.height(), l->height(), "high");
            return;
        }
        if (riche) {
            QTextDocument d;
            d.setDefaultFont(l->font());
            d.setDocumentMargin(0);
            d.setHtml(l->text());
            besoin = d.size().toSize();
            besoin.setWidth(int(std::ceil(d.idealWidth())));
        } else {
            besoin = tailleTexte(l->fontMetrics(), sansMnemonique(l->text()));
        }
        const QString texte = riche ? QTextDocumentFragment::fromHtml(l->text()).toPlainText() : l->text();
        if (besoin.width() > contenu.width())
            faute(l, texte, besoin.width(), contenu.width());
        else if (besoin.height() > contenu.height() + 2)
            faute(l, texte, besoin.height(), contenu.height(), "high");
        else
            verifieVisible(l, QStyle::alignedRect(l->layoutDirection(), l->alignment(), besoin, contenu), texte);
    }

    void verifieBouton(QAbstractButton *b, QStyle::SubElement element)
    {
        const QString texte = sansMnemonique(b->text());
        if (texte.isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        const QRect contenu = b->style()->subElementRect(element, &opt, b);
        int besoin = tailleTexte(b->fontMetrics(), texte).width();
        if (!b->icon().isNull() && element == QStyle::SE_PushButtonContents)
            besoin += b->iconSize().width() + 4;
        if (besoin > contenu.width())
            faute(b, texte, besoin, contenu.width());
        else
            verifieVisible(b, contenu, texte);
    }

    void verifieOutil(QToolButton *t)
    {
        // The tool bar's picture buttons draw their own picture, no text.
        if (t->style() != QApplication::style())
            return;
        if (t->text().isEmpty() || t->toolButtonStyle() == Qt::ToolButtonIconOnly
            || (t->toolButtonStyle() == Qt::ToolButtonFollowStyle && !t->icon().isNull()))
            return;
        const QSize besoin = t->sizeHint();
        if (besoin.width() > t->width())
            faute(t, t->text(), besoin.width(), t->width());
        else if (besoin.height() > t->height() + 2)
            faute(t, t->text(), besoin.height(), t->height(), "high");
        else
            verifieVisible(t, t->rect(), t->text());
    }

    void verifieGroupe(QGroupBox *g)
    {
        const QString texte = sansMnemonique(g->title());
        if (texte.isEmpty())
            return;
        const int besoin = g->fontMetrics().horizontalAdvance(texte) + 16
                           + (g->isCheckable() ? g->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 4 : 0);
        if (besoin > g->width())
            faute(g, texte, besoin, g->width());
    }

    void verifieOnglets(QTabBar *o)
    {
        const int marge = o->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, o);
        for (int i = 0; i < o->count(); ++i) {
            const QString texte = sansMnemonique(o->tabText(i));
            if (texte.isEmpty())
                continue;
            const QRect r = o->tabRect(i);
            int besoin = o->fontMetrics().horizontalAdvance(texte) + marge;
            if (!o->tabIcon(i).isNull())
                besoin += o->iconSize().width() + 4;
            if (besoin > r.width())
                faute(o, texte, besoin, r.width());
            else if (!o->rect().contains(r))
                faute(o, texte, r.right(), o->width(), "wide in view");
        }
    }

    void capture(QWidget *fenetre, const QString &page)
    {
        const QString dossier = qEnvironmentVariable("ORVANDEL_CAPTURES");
        if (dossier.isEmpty())
            return;
        QDir().mkpath(dossier);
        QString nom = m_fenetre;
        if (!page.isEmpty())
            nom += QLatin1Char('-') + page;
        fenetre->grab().save(dossier + QLatin1Char('/') + nom + QStringLiteral(".png"));
    }

    QString m_fenetre;
    std::set<std::string> m_fautes;
};

// Checks a window now, on screen at its default size.
void controle(QWidget *f, const QString &nom, std::set<std::string> &fautes)
{
    QApplication::processEvents();
    Verification c(nom);
    c.parcours(f);
    fautes.insert(c.fautes().begin(), c.fautes().end());
}

// Runs the check on the modal window of type T that the next exec() shows,
// then closes it; `ensuite` opens the windows that one leads to.
template <class T>
void controleModale(const QString &nom, std::set<std::string> &fautes, bool &vu,
                    std::function<void(T *)> ensuite = {})
{
    surModale<T>([&fautes, &vu, nom, ensuite](T *f) {
        vu = true;
        controle(f, nom, fautes);
        if (ensuite)
            ensuite(f);
        f->reject();
    });
}

template <class B = QAbstractButton>
void clique(QWidget *dans, const char *nom)
{
    auto *b = dans->findChild<B *>(QLatin1String(nom));
    ASSERT_TRUE(b) << nom;
    b->click();
}

std::string liste(const std::set<std::string> &fautes)
{
    std::string s;
    for (const std::string &f : fautes)
        s += "\n  " + f;
    return s;
}

} // namespace

TEST(TextesNonCoupes, EveryWindowShowsItsTextsWholeAtItsDefaultSize)
{
    using namespace devsimtest;
    devsimtest::Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    // Pictures for the thumbnails, the preview and the tools that read them.
    const QByteArray image = fenetrestest::gif(640, 588, qRgb(30, 120, 200));
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", image);
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", fenetrestest::gif(399, 586, qRgb(200, 60, 30)));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    QApplication::processEvents();

    std::set<std::string> fautes;
    controle(&w, QStringLiteral("Orvandel"), fautes);

    // The main window's own windows, through their buttons.
    auto ouvre = [&](const char *bouton, auto prepare) {
        bool vu = false;
        prepare(vu);
        clique(&w, bouton);
        EXPECT_TRUE(vu) << bouton;
    };
    ouvre("OptionsBtn", [&](bool &vu) { controleModale<TOptionsForm>("OptionsForm", fautes, vu); });
    // The INF window shows the package last read: build one and read it.
    f.trouve<QCheckBox>("CB1")->click(); // a colour in the package: the legend shows
    auto *nom = f.trouve<QLineEdit>("ThemeEdit");
    nom->setFocus();
    nom->selectAll();
    QTest::keyClicks(nom, QStringLiteral("Essai"));
    clique(&w, "CreerTBtn");
    w.LitTsk(w.contexte().dossiers.DossierTsk + "Essai.tsk");
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    ouvre("InfSBtn", [&](bool &vu) {
        controleModale<TMemoInf>("MemoInf", fautes, vu, [](TMemoInf *m) {
            // The file and colour columns, legend included, fit the pane.
            auto *fic = m->findChild<QPlainTextEdit *>("MemoFic");
            EXPECT_TRUE(fic->toPlainText().contains("REG_BINARY"));
            EXPECT_EQ(fic->horizontalScrollBar()->maximum(), 0);
        });
    });
    ouvre("BlancTBtn", [&](bool &vu) { controleModale<TZantiqForm>("ZantiqForm", fautes, vu); });
    ouvre("AproposBtn", [&](bool &vu) { controleModale<TAboutBox>("AboutBox", fautes, vu); });
    ouvre("CTBtn", [&](bool &vu) { controleModale<TTDThemeCles>("TDThemeCles", fautes, vu); });
    ouvre("PreviewSBtn", [&](bool &vu) { controleModale<TPreviewHP>("PreviewHP", fautes, vu); });
    f.prompts.answer(Prompts::Answer::Yes); // quit the text tool without saving
    ouvre("AddTextSBtn", [&](bool &vu) { controleModale<TTexteSurImg>("TexteSurImg", fautes, vu); });
    bool histo = false, rvb = false, eval = false, tskReg = false, appInst = false;
    ouvre("WM5Btn", [&](bool &vu) {
        controleModale<THueCalc>("HueCalc", fautes, vu, [&](THueCalc *h) {
            controleModale<THistoTeinte>("HistoTeinte", fautes, histo);
            clique(h, "HistoTDSTSBtn");
            controleModale<TRGBversTeinte>("RGBversTeinte", fautes, rvb);
            clique(h, "RVBversTeinte");
        });
    });
    f.prompts.openPictureName(f.dossiers.DossierAppli + "tdywater.gif");
    ouvre("ImgChoix", [&](bool &vu) {
        controleModale<TChoixImages>("ChoixImages", fautes, vu, [&](TChoixImages *ch) {
            (void)QTest::qWaitFor([&] { return ch->ImageChargee(); }, 5000);
            controleModale<TEvalSauve>("EvalSauve", fautes, eval);
            clique(ch, "EvalTBtn");
        });
    });
    ouvre("LireTskCETBtn", [&](bool &vu) { controleModale<TArbreCE>("ArbreCE", fautes, vu); });
    ouvre("TransfertTskTBtn", [&](bool &vu) { controleModale<TTransfertVersCE>("TransfertVersCE", fautes, vu); });
    ouvre("WinVerTBtn", [&](bool &vu) {
        controleModale<TInfosPDA>("InfosPDA", fautes, vu, [&](TInfosPDA *i) {
            controleModale<TTskRegTodayF>("TskRegTodayF", fautes, tskReg);
            clique(i, "VoirTskReg");
            controleModale<TAppInstF>("AppInstF", fautes, appInst);
            clique(i, "AppInstallBtn");
        });
    });
    EXPECT_TRUE(histo && rvb && eval && tskReg && appInst);

    // The picture dialogs, as the prompts of the program open them.
    {
        TOpenPictureDialogGDI d(&w);
        d.show();
        controle(&d, QStringLiteral("OpenPictureDialogGDI"), fautes);
    }
    {
        TOpenPictureDialogGDITSK d(&f.prompts, &w);
        d.show();
        controle(&d, QStringLiteral("OpenPictureDialogGDITSK"), fautes);
    }

    EXPECT_TRUE(fautes.empty()) << liste(fautes);
    f.ferme();
}
