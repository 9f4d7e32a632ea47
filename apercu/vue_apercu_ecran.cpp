#include "apercu/vue_apercu_ecran.h"

#include "theme/theme_document.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
const QString kToday = QStringLiteral("tdywater.gif");
const QString kStart = QStringLiteral("stwater.gif");
} // namespace

VueApercuEcran::VueApercuEcran(ThemeDocument &document, const QString &dossierAppli, QWidget *parent)
    : QWidget(parent),
      m_document(document),
      m_dossier(dossierAppli),
      m_ressources(RessourcesApercu::charge()),
      m_today(QDir(dossierAppli).filePath(kToday)),
      m_start(QDir(dossierAppli).filePath(kStart)),
      m_horloge([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("ApercuEcran"));
    setFixedSize(GeometrieApercu::Panneau);
    setMouseTracking(true);
    connect(&m_document, &ThemeDocument::slotChanged, this, &VueApercuEcran::AffImage);
    connect(&m_document, &ThemeDocument::parametresChanged, this, &VueApercuEcran::AffImage);
    connect(&m_document, &ThemeDocument::formatChanged, this, &VueApercuEcran::AffImage);
    connect(&m_surveillance, &QFileSystemWatcher::directoryChanged, this, &VueApercuEcran::AffImage);
    connect(&m_surveillance, &QFileSystemWatcher::fileChanged, this, &VueApercuEcran::imagesChangees);
    // Drawn at the first paint or the first reading of its pictures.
}

void VueApercuEcran::setHorloge(std::function<QDateTime()> horloge)
{
    m_horloge = std::move(horloge);
    AffImage();
}

void VueApercuEcran::surveilleFichiers()
{
    if (m_dossier.isEmpty() || !QDir(m_dossier).exists())
        return;
    QStringList chemins{m_dossier};
    for (const ImageTravail *i : {&m_today, &m_start})
        if (QFileInfo::exists(i->chemin()))
            chemins << i->chemin();
    const QStringList deja = m_surveillance.directories() + m_surveillance.files();
    for (const QString &c : chemins)
        if (!deja.contains(c))
            m_surveillance.addPath(c);
}

void VueApercuEcran::imagesChangees()
{
    m_today.invalide();
    m_start.invalide();
    AffImage();
}

void VueApercuEcran::AffImage()
{
    m_aDessiner = true;
    if (m_suspensions > 0)
        return;
    dessine();
    update();
    annonce();
}

void VueApercuEcran::reprendDessins()
{
    if (m_suspensions == 0 || --m_suspensions > 0)
        return;
    if (m_aDessiner)
        AffImage();
    else
        annonce(); // drawn meanwhile for a reader: the detail still goes out
}

void VueApercuEcran::assureDessin() const
{
    // The pictures are a cache of the document's state: filling it does not
    // change what the panel is. It is announced with the next drawing asked
    // for, or when the drawings are let through.
    if (m_aDessiner) {
        auto *soi = const_cast<VueApercuEcran *>(this);
        soi->dessine();
        soi->update();
    }
}

void VueApercuEcran::annonce()
{
    if (!m_annonceDue)
        return;
    m_annonceDue = false;
    emit detailChange(m_images.detail);
    emit apercuRedessine();
}

void VueApercuEcran::dessine()
{
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        m_couleursTheme[i] = m_document.slot(i).couleur;
        m_couleursIncluses[i] = m_document.slot(i).inclus;
    }
    m_today.actualise();
    m_start.actualise();
    surveilleFichiers();

    const FormatImages &format = m_document.format();
    const bool avecStart = m_document.parametres().UseStartImageDefini;
    const ImageTravail &fond = avecStart ? m_start : m_today;
    const QSize visible = TailleVisible(format);
    if (m_fondToday.isNull() || m_cleFondToday != fond.version() || m_fondTodayStart != avecStart ||
        m_visibleFondToday != visible) {
        m_fondToday = FondToday(fond.image(), format);
        m_cleFondToday = fond.version();
        m_fondTodayStart = avecStart;
        m_visibleFondToday = visible;
    }

    const QDateTime maintenant = m_horloge();
    const CouleursApercu &c = m_couleursTheme;
    m_images = ImagesApercu{};
    m_images.ecranToday = DessineEcranToday(m_fondToday, c, m_ressources, maintenant.date());
    m_images.detail = DetailEcran(m_images.ecranToday);
    m_images.barreHaut = DessineBarre(GeometrieApercu::BarreNavigation.size(), c[0], c[1], c[2], true, m_ressources,
                                      maintenant.time());
    m_images.barreBas = DessineBarre(GeometrieApercu::BarreMenu.size(), c[5], c[5], c[2], false, m_ressources,
                                     maintenant.time());
    switch (m_surimpression) {
    case Surimpression::MessageNormal:
        m_images.surimpression = DessineNotification(false, c, m_ressources, maintenant);
        m_images.positionSurimpression = GeometrieApercu::MessageNormal.topLeft();
        break;
    case Surimpression::MessageCritique:
        m_images.surimpression = DessineNotification(true, c, m_ressources, maintenant);
        m_images.positionSurimpression = GeometrieApercu::MessageCritique.topLeft();
        m_images.rangeeIcones = DessineRangeeIcones(c, m_ressources);
        break;
    case Surimpression::MenuDemarrer: {
        const GeometrieMenu g = CalculeGeometrieMenu(format);
        const QSize taille(g.largeurMenu, g.hauteurMenu);
        if (m_cleFondMenu != m_start.version() || m_sourceFondMenu != g.source || m_tailleFondMenu != taille) {
            m_fondMenu = FondMenuDemarrer(m_start.image(), g);
            m_cleFondMenu = m_start.version();
            m_sourceFondMenu = g.source;
            m_tailleFondMenu = taille;
        }
        m_images.surimpression = DessineMenuDemarrer(m_fondMenu, g, c, m_ressources);
        m_images.positionSurimpression = GeometrieApercu::MenuDemarrer;
        break;
    }
    case Surimpression::Aucune:
        break;
    }
    m_panneau = ComposeApercu(m_images);
    m_aDessiner = false;
    m_annonceDue = true;
    ++m_dessins;
}

void VueApercuEcran::basculeZone(int zone)
{
    const Surimpression voulue = zone == 1   ? Surimpression::MessageNormal
                                 : zone == 2 ? Surimpression::MessageCritique
                                 : zone == 3 ? Surimpression::MenuDemarrer
                                             : Surimpression::Aucune;
    if (voulue == Surimpression::Aucune)
        return;
    m_surimpression = m_surimpression == voulue ? Surimpression::Aucune : voulue;
    AffImage();
}

void VueApercuEcran::masqueMenuDemarrer()
{
    if (m_surimpression != Surimpression::MenuDemarrer)
        return;
    m_surimpression = Surimpression::Aucune;
    AffImage();
}

int VueApercuEcran::zoneSous(QPointF position) const
{
    const QPoint p = position.toPoint();
    if (!GeometrieApercu::BarreNavigation.contains(p))
        return 0;
    const QPoint local = p - GeometrieApercu::BarreNavigation.topLeft();
    return ZoneMessage(local.x(), local.y());
}

void VueApercuEcran::paintEvent(QPaintEvent *)
{
    if (m_aDessiner)
        dessine();
    if (m_suspensions == 0)
        annonce();
    QPainter p(this);
    p.drawImage(0, 0, m_panneau);
}

void VueApercuEcran::mousePressEvent(QMouseEvent *e)
{
    basculeZone(zoneSous(e->position()));
}

void VueApercuEcran::mouseMoveEvent(QMouseEvent *e)
{
    const int zone = zoneSous(e->position());
    if (zone != 0) {
        setCursor(Qt::PointingHandCursor);
        setToolTip(IndiceZone(zone));
    } else {
        unsetCursor();
        setToolTip(QString());
        QToolTip::hideText();
    }
}

void VueApercuEcran::leaveEvent(QEvent *)
{
    unsetCursor();
}
