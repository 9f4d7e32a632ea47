#pragma once

#include "theme/couleur.h"
#include "tools/teinte_dominante.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPoint>

struct TeintesImages;
class QCheckBox;
class QLabel;
class QStatusBar;

// Drawing constants of the hue histograms: the origin (x0, y0) of the curves,
// the height of a full bin and the size of the rendering.
namespace GeometrieHisto {
constexpr int X0 = 15;
constexpr int Y0 = 210;
constexpr int HauteurCourbe = 200;
constexpr int Largeur = 286;
constexpr int Hauteur = 270;
} // namespace GeometrieHisto

// The closed outline of one histogram: 242 points, (x0, y0), one point per
// bin at x0 + bin + 1, then (x0 + 241, y0). Linear: a bin rises by
// count * 200 / peak (integer); logarithmic: by ln(count) * 200 / ln(peak),
// rounded half to even. The products are 64-bit, so a 12-megapixel bin does
// not overflow. A peak that cannot scale (0 or less, or 1 on the logarithmic
// scale) gives a flat curve, with counted bins at full height on the
// logarithmic scale when the peak is 1; a count above the peak is capped.
QList<QPoint> PointsCourbeHisto(const HistogrammeTeintes &bins, int32_t pic, bool logarithmique);

// The picture-existence test of the landscape slots: formats 4 and 5 carry a
// landscape Today and Start picture; their working files are named
// "tdywater_320_240.gif" / "stwater_320_240.gif" (format 4) and
// "..._640_480.gif" (format 5). Empty name for any other format.
QString NomImagePaysage(bool today, int format);

// The histogram window. Hovering the histogram makes the hue calculator
// follow (upper strip; lower strip with a key or button held), a click picks,
// a double-click keeps the pick and closes; any other close sends the
// calculator's position at opening back. It never touches the calculator
// itself: it emits the positions to pick.
class THistoTeinte : public QDialog
{
    Q_OBJECT
public:
    enum Mode { ModeToday = 0, ModeStart = 1, ModeTodayStart = 2 };

    // format and dossierAppli decide whether the landscape slots are drawn;
    // image12 is the main window's marker picture drawn at the top right.
    THistoTeinte(const TeintesImages &teintes, int mode, int format, const QString &dossierAppli,
                 const QImage &image12, QWidget *parent = nullptr);

    // The calculator's state when the window opens: its last pick (restored
    // on a close other than a double-click), its luminance and saturation
    // and its chosen colour.
    void setCalculateur(int derniereTeinte, int dernierY, int luminance, int saturation, TColor choisie);

    int mode() const { return m_mode; }
    bool valide() const { return m_valide; }
    int teinteSurvolee() const { return m_teinteSurvolee; }
    // The slots whose curves were drawn, in drawing order.
    QList<int> emplacementsDessines() const { return m_dessines; }
    QImage rendu(bool logarithmique) const { return logarithmique ? m_log : m_lineaire; }
    QLabel *imageHisto() const { return ImageHisto; }

public slots:
    // The calculator's chosen colour after a pick: the swatch follows.
    void setCouleurChoisie(TColor c);

signals:
    // Intent: the calculator takes this hue on the strip whose top is y.
    void choix(int teinte, int y);
    // Shift+P / Shift+J: capture under this window's name.
    void demandeCapture(QWidget *fenetre, bool jpeg);

protected:
    void showEvent(QShowEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

public:
    void done(int r) override;

private:
    void FormShow();
    QImage construitRendu(bool logarithmique);
    void ImageHistoMouseMove(int x, Qt::MouseButtons boutons, Qt::KeyboardModifiers modificateurs);
    void ImageHistoClick();
    void ImageHistoDblClick();
    void EchelleCBClick();
    bool paysagePresent(bool today) const;

    const TeintesImages &m_teintes;
    const int m_mode;
    const int m_format;
    const QString m_dossier;
    const QImage m_image12;

    QImage m_lineaire;
    QImage m_log;
    QList<int> m_dessines;
    int m_teinteSurvolee = -1;
    int m_teinteSauvee = 0;
    int m_ySauve = 0;
    int m_luminance = 120;
    int m_saturation = 160;
    TColor m_choisie;
    bool m_valide = false;
    bool m_ferme = false;
    int m_basX = 0;
    Qt::KeyboardModifiers m_basModificateurs;

    QLabel *ImageHisto = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *m_panneau0 = nullptr;
    QLabel *m_panneau1 = nullptr;
    QLabel *TeinteEval = nullptr;
    QLabel *TeinteEval2 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *EchelleCB = nullptr;
};
