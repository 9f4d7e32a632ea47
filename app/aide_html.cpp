#include "app/aide_html.h"

#include "app/fenetre_aide.h"
#include "theme/animation_pause.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kSommaire = QStringLiteral("index.htm");

// The pattern of a <meta name="..."> of a page's head, its content captured
// (made once for all the pages: compiling a pattern costs more than a match).
QRegularExpression motifMeta(const QString &nom)
{
    return QRegularExpression(QStringLiteral("<meta\\s+name=\"%1\"\\s+content=\"([^\"]*)\"")
                                  .arg(QRegularExpression::escape(nom)),
                              QRegularExpression::CaseInsensitiveOption);
}

QString meta(const QString &page, const QRegularExpression &motif)
{
    return motif.match(page).captured(1);
}

QUrl urlRacine(const QString &racine)
{
    QString r = racine.endsWith(QLatin1Char('/')) ? racine : racine + QLatin1Char('/');
    if (r.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + r);
    return QUrl::fromLocalFile(r);
}

} // namespace

TStoHtmlHelpViewer::TStoHtmlHelpViewer(AnimationPause *pause, const QString &racine, QObject *parent)
    : QObject(parent), m_racine(racine), m_pause(pause)
{
    setObjectName(QString::fromLatin1(NomVisionneuse));
    const QDir dossier(racine);
    const QRegularExpression motifId = motifMeta(QStringLiteral("helpid"));
    const QRegularExpression motifMots = motifMeta(QStringLiteral("keywords"));
    for (const QString &nom : dossier.entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name)) {
        QFile f(dossier.filePath(nom));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString texte = QString::fromUtf8(f.read(4096)); // the head is at the start
        bool ok = false;
        const int id = meta(texte, motifId).toInt(&ok);
        if (ok && !m_contextes.contains(id))
            m_contextes.insert(id, nom);
        QStringList mots;
        for (const QString &m : meta(texte, motifMots).split(QLatin1Char(',')))
            if (!m.trimmed().isEmpty())
                mots << m.trimmed();
        m_motsCles.append({nom, mots});
    }
}

TStoHtmlHelpViewer::~TStoHtmlHelpViewer()
{
    SoftShutDown();
}

QString TStoHtmlHelpViewer::NomSujet(const QString &sujet)
{
    const QString s = sujet.trimmed();
    if (s.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) || s.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        return s;
    return s + QStringLiteral(".htm");
}

QString TStoHtmlHelpViewer::MotCle(const QString &demande)
{
    const int deuxPoints = demande.indexOf(QLatin1Char(':'));
    return (deuxPoints < 0 ? demande : demande.mid(deuxPoints + 1)).trimmed();
}

QString TStoHtmlHelpViewer::pageMotCle(const QString &demande) const
{
    const QString mot = MotCle(demande);
    if (mot.isEmpty())
        return {};
    for (const auto &[page, mots] : m_motsCles)
        if (mots.contains(mot, Qt::CaseInsensitive))
            return page;
    // Otherwise the first page whose keywords hold the word.
    for (const auto &[page, mots] : m_motsCles)
        for (const QString &m : mots)
            if (m.contains(mot, Qt::CaseInsensitive))
                return page;
    return {};
}

QString TStoHtmlHelpViewer::pageAffichee() const
{
    return m_fenetre && m_fenetre->isVisible() ? m_fenetre->page() : QString();
}

void TStoHtmlHelpViewer::montre(const QString &page)
{
    AnimationPauseGuard garde(m_pause);
    if (!QFile::exists(QDir(m_racine).filePath(page)))
        return;
    if (!m_fenetre) {
        m_fenetre = std::make_unique<FenetreAide>(urlRacine(m_racine));
        // Should a window holding it be deleted with it, it is not deleted twice.
        connect(m_fenetre.get(), &QObject::destroyed, this, [this] { (void)m_fenetre.release(); });
        // A modal window opened while the help is on the screen takes the
        // help window along, so that it stays usable (eventFilter).
        qApp->installEventFilter(this);
    }
    suitFenetreModale();
    m_fenetre->montre(page);
}

void TStoHtmlHelpViewer::suitFenetreModale()
{
    // A modal window blocks every window but its own children: while one is
    // open, the help window becomes its child so that it can be read and
    // clicked without closing the window that asked for it.
    QWidget *modale = QApplication::activeModalWidget();
    if (modale == m_fenetre.get())
        modale = nullptr;
    if (m_fenetre->parentWidget() == modale)
        return;
    rattache(modale);
}

void TStoHtmlHelpViewer::rattache(QWidget *parent)
{
    const bool visible = m_fenetre->isVisible();
    const QRect place = m_fenetre->geometry();
    if (QWidget *ancien = m_fenetre->parentWidget())
        ancien->removeEventFilter(this);
    m_fenetre->setParent(parent, m_fenetre->windowFlags() | Qt::Window);
    if (parent)
        parent->installEventFilter(this);
    // A window on the screen stays where the user has it.
    if (visible) {
        m_fenetre->setGeometry(place);
        m_fenetre->show();
    }
}

bool TStoHtmlHelpViewer::eventFilter(QObject *objet, QEvent *e)
{
    // A modal window comes up while the help window is open (a tool opened
    // from the main window, a question): the help window becomes its child,
    // which the modal window does not block.
    if (e->type() == QEvent::Show && m_fenetre && m_fenetre->isVisible() && objet->isWidgetType()) {
        auto *w = static_cast<QWidget *>(objet);
        bool dansAide = false;
        for (QWidget *p = w; p && !dansAide; p = p->parentWidget())
            dansAide = p == m_fenetre.get();
        if (!dansAide && w->isWindow() && w->isModal() && m_fenetre->parentWidget() != w)
            rattache(w);
        return false;
    }
    // The modal window closes (or goes): the help window stays, with the
    // modal window under it that is still open (the one that opened it), or
    // on its own.
    if (m_fenetre && objet == m_fenetre->parentWidget()
        && (e->type() == QEvent::Hide || e->type() == QEvent::DeferredDelete)) {
        QWidget *suivante = nullptr;
        for (QWidget *w = m_fenetre->parentWidget()->parentWidget(); w && !suivante; w = w->parentWidget())
            if (w->isWindow() && w->isModal() && w->isVisible())
                suivante = w;
        rattache(suivante);
    }
    return QObject::eventFilter(objet, e);
}

void TStoHtmlHelpViewer::AfficheContexte(int idContexte)
{
    // An id without a page of its own shows the contents.
    const QString page = pageContexte(idContexte);
    montre(page.isEmpty() ? kSommaire : page);
}

void TStoHtmlHelpViewer::AfficheSommaire()
{
    montre(kSommaire);
}

void TStoHtmlHelpViewer::AfficheSujet(const QString &sujet)
{
    const QString page = NomSujet(sujet);
    // Only pages of the help itself: no folder part.
    if (page.contains(QLatin1Char('/')) || page.contains(QLatin1Char('\\')) || !QFile::exists(QDir(m_racine).filePath(page)))
        montre(kSommaire);
    else
        montre(page);
}

void TStoHtmlHelpViewer::AfficheMotCle(const QString &motCle)
{
    const QString page = pageMotCle(motCle);
    montre(page.isEmpty() ? kSommaire : page);
}

void TStoHtmlHelpViewer::SoftShutDown()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_fenetre && m_fenetre->parentWidget())
        m_fenetre->parentWidget()->removeEventFilter(this);
    m_fenetre.reset();
}
