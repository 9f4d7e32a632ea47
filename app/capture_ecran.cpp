#include "app/capture_ecran.h"

#include "theme/ecriture_atomique.h"

#include "theme/prompts.h"
#include "tools/encodeurs_image.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QBuffer>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

namespace {

// A widget where Shift + a letter types a capital letter.
bool saisieTexte(const QWidget *w)
{
    if (const auto *e = qobject_cast<const QLineEdit *>(w))
        return !e->isReadOnly();
    if (const auto *t = qobject_cast<const QTextEdit *>(w))
        return !t->isReadOnly();
    if (const auto *t = qobject_cast<const QPlainTextEdit *>(w))
        return !t->isReadOnly();
    if (const auto *c = qobject_cast<const QComboBox *>(w))
        return c->isEditable();
    return qobject_cast<const QAbstractSpinBox *>(w) != nullptr;
}

bool ecranLisible()
{
    const QString plateforme = QGuiApplication::platformName();
    return plateforme != QLatin1String("offscreen") && plateforme != QLatin1String("minimal")
           && !plateforme.startsWith(QLatin1String("wayland"));
}

} // namespace

QString NomFichierCapture(const QString &dossier, int compteur, const QString &nomFenetre, bool jpeg)
{
    return dossier + QStringLiteral("CaptureOVD") + QStringLiteral("%1").arg(compteur, 2, 10, QLatin1Char('0'))
           + QStringLiteral(" (") + nomFenetre + (jpeg ? QStringLiteral(").jpg") : QStringLiteral(").bmp"));
}

QImage ImageZoneFenetre(QWidget *fenetre)
{
    if (!fenetre)
        return {};
    QWidget *w = fenetre->window();
    if (ecranLisible() && w->isVisible()) {
        if (QScreen *ecran = w->screen()) {
            // Everything on the screen over the outer rectangle, covering windows included.
            const QRect zone = w->frameGeometry().translated(-ecran->geometry().topLeft());
            const QPixmap pixels = ecran->grabWindow(0, zone.x(), zone.y(), zone.width(), zone.height());
            if (!pixels.isNull())
                return pixels.toImage();
        }
    }
    return w->grab().toImage();
}

bool EcritCapture(const QImage &image, const QString &fichier, bool jpeg, QString *erreur)
{
    const auto echec = [erreur](const QString &texte) {
        if (erreur)
            *erreur = texte;
        return false;
    };
    if (image.isNull())
        return echec(QStringLiteral("Nothing to capture."));
    // A 24-bit picture, as the screen shows it.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray octets;
    if (jpeg) {
        // The program's JPEG writer: quality 100, with the DateTime and
        // Software tags every JPEG of the program carries.
        StatutImage statut = StatutImage::Ok;
        const auto encode = EncodeImageFormat(rgb, 100, TypeSauver::Jpeg, QDateTime::currentDateTime(), &statut);
        if (!encode)
            return echec(TexteStatutImage(statut));
        octets = *encode;
    } else {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QImageWriter writer(&tampon, QByteArrayLiteral("bmp"));
        if (!writer.write(rgb))
            return echec(writer.errorString());
    }
    QString raison;
    if (!EcritFichierAtomique(fichier, octets, &raison))
        return echec(raison);
    return true;
}

CaptureEcran::CaptureEcran(QWidget *fenetrePrincipale, const QString &dossier, Prompts *prompts, QObject *parent)
    : QObject(parent), m_principale(fenetrePrincipale), m_dossier(dossier), m_prompts(prompts)
{
    // The keys are seen before the widget that has the focus gets them.
    qApp->installEventFilter(this);
}

CaptureEcran::~CaptureEcran() = default;

QString CaptureEcran::CaptureMainForm(QWidget *demandeur, bool AsJpeg)
{
    const QString fichier =
        NomFichierCapture(m_dossier, m_compteur, demandeur ? demandeur->objectName() : QString(), AsJpeg);
    QString erreur;
    if (!m_principale || !EcritCapture(ImageZoneFenetre(m_principale), fichier, AsJpeg, &erreur)) {
        if (m_prompts)
            m_prompts->message(QStringLiteral("Cannot save the screen capture \"%1\".\n%2")
                                   .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), erreur),
                               {}, Prompts::Icon::Error);
        return {};
    }
    ++m_compteur;
    emit captureEcrite(fichier);
    return fichier;
}

void CaptureEcran::installe(QWidget *fenetre)
{
    if (!fenetre || m_fenetres.contains(fenetre))
        return;
    m_fenetres.insert(fenetre);
    connect(fenetre, &QObject::destroyed, this,
            [this](QObject *o) { m_fenetres.remove(static_cast<QWidget *>(o)); });
}

bool CaptureEcran::eventFilter(QObject *objet, QEvent *evenement)
{
    if (evenement->type() != QEvent::KeyPress || !objet->isWidgetType())
        return false;
    auto *cible = static_cast<QWidget *>(objet);
    QWidget *fenetre = cible->window();
    if (!m_fenetres.contains(fenetre))
        return false;
    const auto *touche = static_cast<QKeyEvent *>(evenement);
    const Qt::KeyboardModifiers autres = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!(touche->modifiers() & Qt::ShiftModifier) || (touche->modifiers() & autres))
        return false;
    if (touche->key() != Qt::Key_P && touche->key() != Qt::Key_J)
        return false;
    // A capital letter typed into a text field (or passed on by it) is text.
    const QWidget *focus = fenetre->focusWidget();
    if (saisieTexte(cible) || (focus && saisieTexte(focus) && (focus == cible || cible->isAncestorOf(focus))))
        return false;
    CaptureMainForm(fenetre, touche->key() == Qt::Key_J);
    return true;
}
