#include "tools/eval_sauve.h"

#include "ui/fonctions_indep.h"
#include "ui/place_fenetre.h"
#include "tools/charger_bitmap.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QRegion>

#include <algorithm>

namespace {

constexpr int TailleDetail = 100;

struct PlaceSlot
{
    QPoint image;
    const char *nomTitre;
    const char *titre;
};

// Slot 1..6: the picture's top-left corner, the title label and its text.
constexpr std::array<PlaceSlot, NombreEssaisEval> PlacesSlots{{
    {{8, 8}, "Label7", "JPEG (24 bpp - quality 100%)"},
    {{504, 8}, "Label9", "PNG (8 bpp - Optimized)"},
    {{8, 336}, "Label10", "Bmp (8 bpp - Optimized)"},
    {{256, 336}, "Label11", "Gif (8 bpp - Optimized)"},
    {{504, 336}, "Label12", "Gif (Half tones)"},
    {{256, 8}, "Label8", "JPEG (24 bpp - quality 50%)"},
}};

// The labels under a picture reach to the next column (8 pixels further)
// less a gap, or to the window's edge: a size text such as
// "274 Kb (280076 bytes) (Build in 106 ms)" is wider than the picture.
constexpr int LargeurEtiquette = LargeurEval + 6;

// Removes the temporary file whatever happens.
struct EffaceFichier
{
    QString chemin;
    ~EffaceFichier() { QFile::remove(chemin); }
};

QImage vignetteEssai(const QImage &g)
{
    QImage r(LargeurEval, HauteurEval, QImage::Format_ARGB32);
    r.fill(Qt::white);
    QPainter p(&r);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(RectProportionnel(g.width(), g.height(), LargeurEval, HauteurEval), g);
    p.drawImage(QRect(1, 1, TailleDetail, TailleDetail), DetailRond(g));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    p.setFont(tahoma);
    p.setPen(QColor(0, 0, 255)); // the colour reference $FF0000
    p.drawText(QRect(0, 0, LargeurEval, 20), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Zoom"));
    return r;
}

} // namespace

QImage DetailRond(const QImage &image)
{
    QImage masque(TailleDetail, TailleDetail, QImage::Format_ARGB32);
    masque.fill(Qt::transparent);
    {
        QPainter p(&masque);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1, 1, 97, 97));
    }
    // The centre 100 x 100 at 1:1; only the overlap of a smaller picture.
    QImage d(TailleDetail, TailleDetail, QImage::Format_ARGB32);
    d.fill(Qt::transparent);
    const QImage g = image.convertToFormat(QImage::Format_ARGB32);
    const int sx = (g.width() - TailleDetail) / 2;
    const int sy = (g.height() - TailleDetail) / 2;
    for (int y = 0; y < TailleDetail; ++y) {
        const int yy = sy + y;
        if (yy < 0 || yy >= g.height())
            continue;
        const auto *s = reinterpret_cast<const QRgb *>(g.constScanLine(yy));
        auto *o = reinterpret_cast<QRgb *>(d.scanLine(y));
        const auto *m = reinterpret_cast<const QRgb *>(masque.constScanLine(y));
        for (int x = 0; x < TailleDetail; ++x) {
            const int xx = sx + x;
            if (xx < 0 || xx >= g.width())
                continue;
            // The mask read as RGB: its transparent part reads 0.
            const QRgb mk = m[x];
            const int a = qAlpha(mk) == 0 ? 0 : (qRed(mk) + qGreen(mk) + qBlue(mk)) / 3 * qAlpha(mk) / 255;
            o[x] = qRgba(qRed(s[xx]), qGreen(s[xx]), qBlue(s[xx]), a);
        }
    }
    QPainter p(&d);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 0), 2.0));
    p.drawEllipse(QRectF(0, 0, 98, 98));
    p.setPen(QPen(Qt::white, 1.0));
    p.drawEllipse(QRectF(0, 0, 99, 99));
    return d;
}

std::array<ResultatEssai, NombreEssaisEval> EvalueSauvegardes(const QImage &finale, const QString &fichierTemp,
                                                             const SauveurEval &sauve)
{
    std::array<ResultatEssai, NombreEssaisEval> resultats;
    EffaceFichier efface{fichierTemp};
    for (int i = 0; i < NombreEssaisEval; ++i) {
        const EssaiEvalSauve essai = EssaisEvalSauve[size_t(i)];
        QElapsedTimer chrono;
        chrono.start();
        const StatutImage statut = sauve ? sauve(finale, fichierTemp, essai.qualite, essai.type)
                                         : SauveImageFormat(finale, fichierTemp, essai.qualite, essai.type);
        const qint64 ms = chrono.elapsed();
        if (statut != StatutImage::Ok)
            continue;
        const auto g = ChargerBitmap32GDIP(fichierTemp);
        const auto taille = TailleFichierTexte(fichierTemp);
        if (!g || !taille)
            continue;
        ResultatEssai &r = resultats[size_t(i)];
        r.reussi = true;
        r.millisecondes = ms;
        r.octets = QFile(fichierTemp).size();
        r.vignette = vignetteEssai(*g);
        r.texte = QStringLiteral("%1 (Build in %2 ms)").arg(*taille).arg(ms);
    }
    return resultats;
}

TEvalSauve::TEvalSauve(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EvalSauve"));
    setWindowFlags(Qt::Tool);
    setWindowTitle(QStringLiteral("Quality Evaluation of Images"));
    resize(760, 698);
    for (int i = 0; i < NombreEssaisEval; ++i) {
        const PlaceSlot &place = PlacesSlots[size_t(i)];
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setGeometry(QRect(place.image, QSize(LargeurEval, HauteurEval)));
        const int yTitre = place.image.y() == 8 ? 296 : 624;
        const int yResultat = place.image.y() == 8 ? 312 : 642;
        auto *titre = new QLabel(QString::fromLatin1(place.titre), this);
        titre->setObjectName(QString::fromLatin1(place.nomTitre));
        titre->setGeometry(place.image.x(), yTitre, LargeurEtiquette, 16);
        titre->setStyleSheet(QStringLiteral("color: navy;"));
        auto *resultat = new QLabel(this);
        resultat->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        resultat->setGeometry(place.image.x(), yResultat, LargeurEtiquette, 16);
        for (QLabel *l : {image, titre, resultat})
            l->installEventFilter(this);
        m_images[size_t(i)] = image;
        m_titres[size_t(i)] = titre;
        m_resultats[size_t(i)] = resultat;
    }
}

void TEvalSauve::setVisible(bool visible)
{
    if (visible && !isVisible() && parentWidget()) {
        placeSurPrincipale();
        animeOuverture();
    }
    QDialog::setVisible(visible);
}

void TEvalSauve::placeSurPrincipale()
{
    QWidget *principale = parentWidget()->window();
    while (principale->parentWidget())
        principale = principale->parentWidget()->window();
    const QRect cadre = principale->frameGeometry();
    QRect ici(QPoint(0, 0), size());
    ici.moveCenter(cadre.center());
    PlaceFenetreDansEcran(this, ici.topLeft(), principale);
}

void TEvalSauve::animeOuverture()
{
    // A hollow frame that moves and grows from one rectangle to the other.
    const QRect depart = parentWidget()->window()->frameGeometry();
    const QRect fin(pos(), size());
    m_animationDepart = depart;
    m_animationFin = fin;
    QWidget cadre(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    cadre.setObjectName(QStringLiteral("AnimationEvalSauve"));
    cadre.setAttribute(Qt::WA_TransparentForMouseEvents);
    cadre.setGeometry(depart);
    cadre.setStyleSheet(QStringLiteral("background: transparent; border: 2px solid #000080;"));
    const auto majMasque = [&cadre] {
        const QRect r = cadre.rect();
        cadre.setMask(QRegion(r).subtracted(QRegion(r.adjusted(3, 3, -3, -3))));
    };
    majMasque();
    cadre.show();
    QPropertyAnimation animation(&cadre, "geometry");
    animation.setDuration(DureeAnimationMs);
    animation.setStartValue(depart);
    animation.setEndValue(fin);
    animation.setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(&animation, &QPropertyAnimation::valueChanged, &cadre, majMasque);
    QEventLoop boucle;
    QObject::connect(&animation, &QPropertyAnimation::finished, &boucle, &QEventLoop::quit);
    animation.start();
    boucle.exec(QEventLoop::ExcludeUserInputEvents);
    cadre.hide();
    emit animationTerminee();
}

void TEvalSauve::remplit(const std::array<ResultatEssai, NombreEssaisEval> &resultats)
{
    for (int i = 0; i < NombreEssaisEval; ++i) {
        const ResultatEssai &r = resultats[size_t(i)];
        // A failed trial shows nothing rather than an earlier result.
        m_images[size_t(i)]->setPixmap(r.reussi ? QPixmap::fromImage(r.vignette) : QPixmap());
        m_resultats[size_t(i)]->setText(r.reussi ? r.texte : QString());
    }
}

void TEvalSauve::vide()
{
    for (QLabel *l : m_images)
        l->clear();
}

void TEvalSauve::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    reject();
}

bool TEvalSauve::eventFilter(QObject *objet, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        reject();
        return true;
    }
    return QDialog::eventFilter(objet, event);
}
