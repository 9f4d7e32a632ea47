#include "app/zantiq_form.h"

#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "theme/animation_pause.h"

#include <QCursor>
#include <QDate>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kLargeur = 577;
constexpr int kHauteur = 290;
const QRect kImage1(315, 12, 236, 268);

// The maker's addresses.
const char *const kAccueil = "https://zantiq.example/";
const char *const kTelechargement = "https://zantiq.example/download/";
const char *const kKelm = "https://zantiq.example/kelm/";
const char *const kWebmaster = "mailto:webmaster@zantiq.example";
const char *const kTutoriel = "https://zantiq.example/orvandel/tutorial-en.html";
const char *const kNomWebmaster = "Harnel";
const char *const kLigneFabricant = "Kelm ";

const char *const kFichiers[5] = {"Orvandel.zip", "OrvandelEnglish.zip", "OrvandelItalian.zip",
                                  "OrvandelEspagnol.zip", "OrvandelGerman.zip"};
const char *const kDrapeaux[5] = {"drapeau_fr.png", "drapeau_en.png", "drapeau_it.png", "drapeau_es.png",
                                  "drapeau_de.png"};

void ouvre(const QUrl &adresse)
{
    // A link that cannot be opened is ignored.
    QDesktopServices::openUrl(adresse);
}

TColor c(uint32_t bbggrr)
{
    return TColor::fromValue(bbggrr);
}

QLabel *lien(const QString &texte, QWidget *parent)
{
    auto *l = new QLabel(texte, parent);
    QFont f = PoliceImage(QStringLiteral("Tahoma"), 9);
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    l->adjustSize();
    return l;
}

} // namespace

const QRect TZantiqForm::RectKelm(QPoint(495, 265), QPoint(560, 280));
const QRect TZantiqForm::RectWebmaster(QPoint(432, 2), QPoint(568, 20));
const QRect TZantiqForm::RectTuto(QPoint(24, 265), QPoint(124, 280));

QString TZantiqForm::fichierTelechargement(int langue)
{
    return (langue >= 0 && langue < 5) ? QString::fromLatin1(kFichiers[langue]) : QString();
}

QUrl TZantiqForm::adresseAccueil()
{
    return QUrl(QString::fromLatin1(kAccueil));
}

QUrl TZantiqForm::adresseTelechargement(int langue)
{
    return QUrl(QString::fromLatin1(kTelechargement) + fichierTelechargement(langue));
}

QUrl TZantiqForm::adresseKelm()
{
    return QUrl(QString::fromLatin1(kKelm));
}

QUrl TZantiqForm::adresseWebmaster()
{
    return QUrl(QString::fromLatin1(kWebmaster));
}

QUrl TZantiqForm::adresseTutoriel()
{
    return QUrl(QString::fromLatin1(kTutoriel));
}

TZantiqForm::TZantiqForm(QWidget *parent) : QDialog(parent)
{
    // FormCreate
    setObjectName(QStringLiteral("ZantiqForm"));
    setWindowTitle(QStringLiteral("Orvandel - Zantiq"));
    setFixedSize(kLargeur, kHauteur);
    setAttribute(Qt::WA_OpaquePaintEvent); // the background is the picture
    setMouseTracking(true);

    AccueilLbl = lien(QString::fromLatin1(kAccueil), this);
    AccueilLbl->setObjectName(QStringLiteral("AccueilLbl"));
    AccueilLbl->move(40, 152);
    DownloadLbl = lien(QString::fromLatin1(kTelechargement), this);
    DownloadLbl->setObjectName(QStringLiteral("DownloadLbl"));
    DownloadLbl->move(40, 221);
    for (QLabel *l : {AccueilLbl, DownloadLbl})
        l->installEventFilter(this);

    for (int i = 0; i < 5; ++i) {
        auto *d = new QLabel(this);
        d->setObjectName(QStringLiteral("Drapeau%1").arg(i));
        d->setProperty("Tag", i);
        d->setPixmap(QPixmap(QStringLiteral(":/art/") + QString::fromLatin1(kDrapeaux[i])));
        d->setGeometry(380 + i * 32, 160, 24, 16);
        d->setCursor(Qt::PointingHandCursor);
        d->setToolTip(adresseTelechargement(i).toString());
        d->installEventFilter(this);
        Drapeaux << d;
    }

    Timer1.setInterval(30);
    connect(&Timer1, &QTimer::timeout, this, &TZantiqForm::Timer1Timer);
    construitFond();
}

void TZantiqForm::construitFond()
{
    const int W = kLargeur, H = kHauteur;
    m_fond = NouvelleImage32(W, H);
    {
        QPainter p(&m_fond);
        auto degrade = [&p](const QRectF &r, QPointF de, QPointF a, TColor c1, TColor c2) {
            QLinearGradient g(de, a);
            g.setColorAt(0, QColor::fromRgba(c1.toQRgb()));
            g.setColorAt(1, QColor::fromRgba(c2.toQRgb()));
            p.fillRect(r, g);
        };
        const TColor clair = c(0xF7DFD6), fonce = c(0xB85621), blanc = c(0xFFFFFF);
        degrade(QRectF(0, 0, W, 110), {0, 0}, {0, 110}, clair, fonce);
        degrade(QRectF(0, 110, W / 2, 2), {-1, 0}, {W / 2.0, 0}, fonce, blanc);
        degrade(QRectF(W / 2 + 1, 110, W / 2, 2), {W / 2.0, 0}, {double(W), 0}, blanc, fonce);
        degrade(QRectF(0, 112, W, H - 112), {0, 112}, {0, double(H)}, fonce, clair);

        // The faint watermark.
        QImage calque = NouvelleImage32(W, H);
        {
            QPainter pc(&calque);
            pc.setRenderHint(QPainter::SmoothPixmapTransform);
            pc.drawImage(kImage1, QImage(QStringLiteral(":/art/filigrane_zantiq.jpg")));
        }
        p.setOpacity(0.08);
        p.drawImage(0, 0, calque);
    }

    const QString tahoma = QStringLiteral("Tahoma");
    const TColor noir = c(0), blanc = c(0xFFFFFF), gris = c(0x808080), jaune = c(0x00FFFF);
    DessineTexteOmbre(m_fond, QStringLiteral("Home :"), tahoma, 14, 24, 128, -1, -1, noir, blanc, 0, 255, 192);
    DessineTexteOmbre(m_fond, QStringLiteral("Orvandel :"), tahoma, 14, 24, 197, -1, -1, noir, blanc, 0, 255, 192);
    DessineTexteOmbre(m_fond, QStringLiteral("Download Zip"), tahoma, 14, 372, 128, -1, -1, noir, blanc, 0, 255, 192);
    // The top line and its shadow (one pixel up and left) whole inside the window.
    DessineTexteOmbre(m_fond, QStringLiteral("Webmaster : "), tahoma, 14, 316, 1, -1, -1, noir, blanc, 0, 255, 192);
    DessineTexteOmbre(m_fond, QString::fromLatin1(kNomWebmaster), tahoma, 14, 432, 1, -1, -1, gris, blanc,
                      StyleSouligne, 255, 255);
    DessineTexteOmbre(m_fond, QString::fromLatin1(kLigneFabricant) + QString::number(QDate::currentDate().year()),
                      tahoma, 10, 495, 265, -1, -1, gris, jaune, StyleItalique, 255, 255);
    DessineTexteOmbre(m_fond, QStringLiteral("English Tutorial"), tahoma, 10, 24, 265, -1, -1, gris, jaune,
                      StyleItalique, 255, 255);

    QPainter p(&m_fond);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(kImage1.adjusted(-1, -1, 0, 0));
}

void TZantiqForm::showEvent(QShowEvent *e)
{
    m_alpha = 0;
    setWindowOpacity(0.0);
    Timer1.start();
    QDialog::showEvent(e);
}

void TZantiqForm::Timer1Timer()
{
    m_alpha = (m_alpha + 10) % 256;
    setWindowOpacity(m_alpha / 255.0);
    if (m_alpha == 240) {
        Timer1.stop();
        setWindowOpacity(1.0); // fully opaque from now on
    }
}

void TZantiqForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_fond);
}

void TZantiqForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TZantiqForm::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    if (RectKelm.contains(pos)) {
        setToolTip(QStringLiteral("Kelm page (Zantiq)"));
        setCursor(Qt::PointingHandCursor);
    } else if (RectWebmaster.contains(pos) || RectTuto.contains(pos)) {
        setCursor(Qt::PointingHandCursor);
    } else {
        QToolTip::hideText();
        setToolTip(QString());
        unsetCursor();
    }
    QDialog::mouseMoveEvent(e);
}

void TZantiqForm::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        FormClick(e->position().toPoint());
    QDialog::mouseReleaseEvent(e);
}

void TZantiqForm::FormClick(const QPoint &position)
{
    if (RectKelm.contains(position))
        KelmLblClick();
    else if (RectWebmaster.contains(position))
        HarnelLblClick();
    else if (RectTuto.contains(position))
        TutoLblClick();
}

bool TZantiqForm::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        if (o == AccueilLbl) {
            AccueilLblClick();
            return true;
        }
        if (o == DownloadLbl) {
            DownloadLblClick();
            return true;
        }
        if (auto *d = qobject_cast<QLabel *>(o); d && Drapeaux.contains(d)) {
            FlagClick(d->property("Tag").toInt());
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TZantiqForm::AccueilLblClick()
{
    ouvre(adresseAccueil());
}

void TZantiqForm::DownloadLblClick()
{
    ouvre(QUrl(QString::fromLatin1(kTelechargement)));
}

void TZantiqForm::HarnelLblClick()
{
    ouvre(adresseWebmaster());
}

void TZantiqForm::KelmLblClick()
{
    ouvre(adresseKelm());
}

void TZantiqForm::TutoLblClick()
{
    ouvre(adresseTutoriel());
}

void TZantiqForm::FlagClick(int tag)
{
    ouvre(adresseTelechargement(tag));
}

void OuvreZantiqForm(QWidget *parent, AnimationPause *pause)
{
    AnimationPauseGuard garde(pause);
    TZantiqForm fenetre(parent);
    fenetre.exec();
}
