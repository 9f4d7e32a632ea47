#include "tools/geometrie_choix_images.h"

#include "tools/bandes_lignes.h"

#include "ui/fonctions_indep.h"
#include "theme/arrondi.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <array>
#include <cmath>
#include <vector>

QString ItemInterpolation(int mode)
{
    static const std::array<const char *, NombreModesInterpolation> items{
        "Default",  "Low Quality",   "High Quality",       "Bilinear",
        "Bicubic",  "Neighbourhood", "High Qual Bilinear", "High Qual Bicubic"};
    if (mode < 0 || mode >= NombreModesInterpolation)
        return {};
    return QString::fromLatin1(items[size_t(mode)]);
}

QSize TailleCibleChoix(const FormatImages &format, bool today, bool paysage, bool useStartImage)
{
    switch (format.FormatTheme) {
    case 4:
        return paysage ? QSize(320, 214) : QSize(240, 294);
    case 5:
        return paysage ? QSize(640, 428) : QSize(480, 588);
    default:
        break;
    }
    const auto &t = format.TailleImages;
    if (today || useStartImage)
        return QSize(t[0], t[1]);
    return QSize(t[2], t[3]);
}

QString NomImageTravail(int formatTheme, bool today, bool paysage)
{
    QString nom = today ? QStringLiteral("tdywater") : QStringLiteral("stwater");
    if (formatTheme == 4)
        nom += paysage ? QStringLiteral("_320_240") : QStringLiteral("_240_320");
    else if (formatTheme == 5)
        nom += paysage ? QStringLiteral("_640_480") : QStringLiteral("_480_640");
    return nom + QStringLiteral(".gif");
}

QRect AjusteDansVue(int w, int h, int W, int H)
{
    w = std::max(w, 1);
    h = std::max(h, 1);
    int lw = 0, lh = 0;
    if (w < W || h < H) {
        if (w < W && h < H) {
            const double f = std::min(double(W) / w, double(H) / h);
            lw = arrondi(w * f);
            lh = arrondi(h * f);
        } else if (w < W) {
            lh = H;
            lw = arrondi(double(H) / h * w);
        } else {
            lw = W;
            lh = arrondi(double(W) / w * h);
        }
        lw = std::clamp(lw, 1, W);
        lh = std::clamp(lh, 1, H);
        return QRect((W - lw) / 2, (H - lh) / 2, lw, lh);
    }
    QRect r = RectProportionnel(w, h, W, H);
    r.setWidth(std::max(r.width(), 1));
    r.setHeight(std::max(r.height(), 1));
    return r;
}

CadreRecadrage CalculeCadre(QSize cible, QSize affichee)
{
    CadreRecadrage c;
    const int tw = std::max(cible.width(), 1), th = std::max(cible.height(), 1);
    const int w = std::max(affichee.width(), 1), h = std::max(affichee.height(), 1);
    if (double(tw) / th >= double(w) / h) {
        c.fw = w;
        c.s = double(c.fw) / tw;
        c.fh = std::clamp(arrondi(th * c.s), 1, h);
    } else {
        c.fh = h;
        c.s = double(c.fh) / th;
        c.fw = std::clamp(arrondi(tw * c.s), 1, w);
    }
    return c;
}

QPoint CadreCentreSur(QPoint point, QSize cadre, const QRect &image)
{
    int left = point.x() - cadre.width() / 2;
    int top = point.y() - cadre.height() / 2;
    const int droite = image.left() + image.width();
    const int bas = image.top() + image.height();
    if (left + cadre.width() > droite)
        left = droite - cadre.width();
    if (left < image.left())
        left = image.left();
    if (top + cadre.height() > bas)
        top = bas - cadre.height();
    if (top < image.top())
        top = image.top();
    return {left, top};
}

QString TexteLimiteCadre(int valeur, int borne)
{
    return QString::asprintf("%.3d - %.3d", valeur, borne);
}

int TypeRotationPour(int quartsDeTour, bool miroir, bool bascule)
{
    const int v = (quartsDeTour & 3) + (bascule ? 8 : 0) + (miroir ? 4 : 0);
    switch (v) {
    case 1: case 15: return 1;
    case 2: case 12: return 2;
    case 3: case 13: return 3;
    case 4: case 10: return 4;
    case 5: case 11: return 5;
    case 6: case 8: return 6;
    case 7: case 9: return 7;
    default: return 0;
    }
}

QImage TourneImage(const QImage &image, int typeRotation)
{
    typeRotation &= 7;
    QImage r = image;
    if (typeRotation % 4 != 0)
        r = r.transformed(QTransform().rotate(90.0 * (typeRotation % 4)));
    if (typeRotation >= 4)
        r = r.mirrored(true, false);
    return r;
}

namespace {

// One output sample of a separable filter: the first source index and its weights.
struct Echantillon
{
    int debut = 0;
    std::vector<float> poids;
};

float noyauTriangle(float x)
{
    x = std::fabs(x);
    return x < 1.0f ? 1.0f - x : 0.0f;
}

// Keys' cubic with a = −0.5.
float noyauCubique(float x)
{
    constexpr float a = -0.5f;
    x = std::fabs(x);
    if (x < 1.0f)
        return ((a + 2.0f) * x - (a + 3.0f)) * x * x + 1.0f;
    if (x < 2.0f)
        return ((a * x - 5.0f * a) * x + 8.0f * a) * x - 4.0f * a;
    return 0.0f;
}

// Weights mapping n source samples from `debut` to m outputs. When reducing
// with `prefiltre`, the kernel is widened by the scale (an area prefilter).
std::vector<Echantillon> poidsAxe(int debut, int n, int m, float (*noyau)(float), float rayon, bool prefiltre)
{
    std::vector<Echantillon> axe(static_cast<size_t>(m));
    const double echelle = double(n) / m;
    const double etire = (prefiltre && echelle > 1.0) ? echelle : 1.0;
    const double support = rayon * etire;
    for (int i = 0; i < m; ++i) {
        const double centre = (i + 0.5) * echelle - 0.5;
        int a = int(std::floor(centre - support)) + 1;
        int b = int(std::floor(centre + support));
        a = std::max(a, 0);
        b = std::min(b, n - 1);
        if (b < a)
            a = b = std::clamp(int(std::lround(centre)), 0, n - 1);
        Echantillon &e = axe[size_t(i)];
        e.debut = debut + a;
        e.poids.resize(size_t(b - a + 1));
        float somme = 0.0f;
        for (int k = a; k <= b; ++k) {
            const float p = noyau(float((k - centre) / etire));
            e.poids[size_t(k - a)] = p;
            somme += p;
        }
        if (somme == 0.0f) {
            std::fill(e.poids.begin(), e.poids.end(), 0.0f);
            e.poids[size_t(std::clamp(int(std::lround(centre)) - a, 0, b - a))] = 1.0f;
        } else {
            for (float &p : e.poids)
                p /= somme;
        }
    }
    return axe;
}

inline uchar sature(float v)
{
    return uchar(std::clamp(int(v + 0.5f), 0, 255));
}

QImage separable(const QImage &src, const QRect &r, QSize dst, float (*noyau)(float), float rayon,
                 bool prefiltre)
{
    const auto ax = poidsAxe(r.x(), r.width(), dst.width(), noyau, rayon, prefiltre);
    const auto ay = poidsAxe(r.y(), r.height(), dst.height(), noyau, rayon, prefiltre);
    const int dw = dst.width();
    const size_t largeurLigne = size_t(dw) * 4;
    // The horizontal pass of a source row, into floats. The row's bytes are
    // made floats once (exactly) before the weighted sums read them.
    const int x0 = ax.front().debut;
    const int x1 = ax.back().debut + int(ax.back().poids.size());
    const auto horizontale = [&](int y, float *sortie, std::vector<float> &flottants) {
        const uchar *octets = src.constScanLine(y) + x0 * 4;
        flottants.resize(size_t(x1 - x0) * 4);
        for (size_t i = 0; i < flottants.size(); ++i)
            flottants[i] = float(octets[i]);
        for (int x = 0; x < dw; ++x) {
            const Echantillon &e = ax[size_t(x)];
            float c[4] = {0, 0, 0, 0};
            const float *p = flottants.data() + size_t(e.debut - x0) * 4;
            for (size_t k = 0; k < e.poids.size(); ++k, p += 4) {
                const float wk = e.poids[k];
                c[0] += wk * p[0];
                c[1] += wk * p[1];
                c[2] += wk * p[2];
                c[3] += wk * p[3];
            }
            std::copy(c, c + 4, sortie + x * 4);
        }
    };
    // Each output row reads a window of consecutive source rows, and the
    // windows move down: the horizontal rows are kept in a ring as long as
    // the widest window, not for the whole source. Runs of output rows go to
    // threads, each with its own ring; the sums are the same as in one pass.
    size_t fenetre = 1;
    for (const Echantillon &e : ay)
        fenetre = std::max(fenetre, e.poids.size());
    QImage out(dst, QImage::Format_ARGB32);
    uchar *const bits = out.bits();
    const qsizetype pas = out.bytesPerLine();
    // Rows are handed out in small runs to whichever thread is free, so a
    // thread the system keeps waiting does not hold the others up.
    const qsizetype travail = qsizetype(r.height()) * dw * qsizetype(std::max<size_t>(1, ax.front().poids.size()));
    constexpr int LIGNES_PAR_LOT = 8;
    const int lots = (dst.height() + LIGNES_PAR_LOT - 1) / LIGNES_PAR_LOT;
    std::atomic<int> prochain{0};
    ParBandesDeLignes(lots, travail, FILS_AUTO, [&](int, int) {
        std::vector<float> anneau(fenetre * largeurLigne);
        std::vector<int> ligneDansCase(fenetre, -1);
        std::vector<float> acc(largeurLigne);
        std::vector<float> flottants;
        for (int lot = prochain++; lot < lots; lot = prochain++) {
            const int y0 = lot * LIGNES_PAR_LOT, y1 = std::min(dst.height(), y0 + LIGNES_PAR_LOT);
            for (int y = y0; y < y1; ++y) {
                const Echantillon &e = ay[size_t(y)];
                std::fill(acc.begin(), acc.end(), 0.0f);
                for (size_t k = 0; k < e.poids.size(); ++k) {
                    const int source = e.debut + int(k);
                    const size_t c = size_t(source) % fenetre;
                    float *ligne = &anneau[c * largeurLigne];
                    if (ligneDansCase[c] != source) {
                        horizontale(source, ligne, flottants);
                        ligneDansCase[c] = source;
                    }
                    const float wk = e.poids[k];
                    for (size_t i = 0; i < largeurLigne; ++i)
                        acc[i] += wk * ligne[i];
                }
                uchar *d = bits + qsizetype(y) * pas;
                for (size_t i = 0; i < largeurLigne; ++i)
                    d[i] = sature(acc[i]);
            }
        }
    });
    return out;
}

QImage voisinage(const QImage &src, const QRect &r, QSize dst)
{
    QImage out(dst, QImage::Format_ARGB32);
    std::vector<int> xs(size_t(dst.width()));
    for (int x = 0; x < dst.width(); ++x)
        xs[size_t(x)] = r.x() + std::min(r.width() - 1, int((x + 0.5) * r.width() / dst.width()));
    for (int y = 0; y < dst.height(); ++y) {
        const int sy = r.y() + std::min(r.height() - 1, int((y + 0.5) * r.height() / dst.height()));
        const auto *s = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        auto *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < dst.width(); ++x)
            d[x] = s[xs[size_t(x)]];
    }
    return out;
}

} // namespace

QImage Reechantillonne(const QImage &image, const QRect &srcRect, QSize dst, ModeInterpolation mode)
{
    const QRect r = srcRect.intersected(image.rect());
    if (r.isEmpty() || dst.isEmpty())
        return {};
    const QImage src = image.format() == QImage::Format_ARGB32 ? image
                                                                 : image.convertToFormat(QImage::Format_ARGB32);
    if (r.size() == dst)
        return src.copy(r);
    switch (mode) {
    case ModeInterpolation::Voisinage:
        return voisinage(src, r, dst);
    case ModeInterpolation::Defaut:
    case ModeInterpolation::BasseQualite:
    case ModeInterpolation::Bilineaire:
        return separable(src, r, dst, noyauTriangle, 1.0f, false);
    case ModeInterpolation::HauteQualite:
    case ModeInterpolation::HauteQualiteBilineaire:
        return separable(src, r, dst, noyauTriangle, 1.0f, true);
    case ModeInterpolation::Bicubique:
        return separable(src, r, dst, noyauCubique, 2.0f, false);
    case ModeInterpolation::HauteQualiteBicubique:
        return separable(src, r, dst, noyauCubique, 2.0f, true);
    }
    return {};
}

QRect RectSourceFinale(QSize source, const ParametresFinale &p)
{
    if (source == p.cible)
        return QRect(QPoint(0, 0), source);
    const double es = double(source.width()) / std::max(p.rectImage.width(), 1);
    QRect r(arrondi((p.coinCadre.x() - p.rectImage.left()) * es), arrondi((p.coinCadre.y() - p.rectImage.top()) * es),
            arrondi(es * p.s * p.cible.width()), arrondi(es * p.s * p.cible.height()));
    // Rounding may reach one pixel past the source.
    r.setWidth(std::clamp(r.width(), 1, source.width()));
    r.setHeight(std::clamp(r.height(), 1, source.height()));
    r.moveLeft(std::clamp(r.left(), 0, source.width() - r.width()));
    r.moveTop(std::clamp(r.top(), 0, source.height() - r.height()));
    return r;
}

QRect CadreDansVue(const ParametresFinale &p)
{
    return QRect(p.coinCadre, QSize(std::max(1, arrondi(p.s * p.cible.width())),
                                    std::max(1, arrondi(p.s * p.cible.height()))));
}

ContexteChaine ContexteFinale(QSize source, const ParametresFinale &p)
{
    ContexteChaine ctx;
    ctx.facteurPicker = p.facteurPicker;
    ctx.graineExplosion = p.graineExplosion;
    if (source == p.cible) {
        // The whole source is saved: the centres are measured as on the preview.
        ctx.imageDansVue = p.rectImage;
        return ctx;
    }
    // The saved picture is what the frame holds: a centre chosen on the view
    // is measured from the frame, so that it falls where the preview shows it.
    const QRect cadre = CadreDansVue(p);
    ctx.imageDansVue = cadre;
    if (p.effets.ZoomCB)
        ctx.zoomFinal = ZoomFinal(p.effets, source.width(), RectSourceFinale(source, p).width(), p.cible.width(),
                                  cadre.width());
    return ctx;
}

QImage SurFond(const QImage &image, TColor fond)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image;
    const QImage argb = image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < argb.height() && opaque; ++y) {
        const auto *ligne = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(ligne[x]) != 255) {
                opaque = false;
                break;
            }
    }
    if (opaque)
        return argb;
    QImage resultat(argb.size(), QImage::Format_ARGB32);
    resultat.fill(fond.toQRgb());
    QPainter peintre(&resultat);
    peintre.drawImage(0, 0, argb);
    return resultat;
}

QImage ConstruitImageFinale(const QImage &sourceTournee, const ParametresFinale &p)
{
    if (sourceTournee.isNull() || p.cible.isEmpty())
        return {};
    QImage finale(p.cible, QImage::Format_ARGB32);
    finale.fill(p.fond.toQRgb());
    const QRect rs = RectSourceFinale(sourceTournee.size(), p);
    {
        QPainter peintre(&finale);
        peintre.drawImage(0, 0, Reechantillonne(SurFond(sourceTournee, p.fond), rs, p.cible, p.interpolation));
    }
    return AppliqueChaine(finale, p.effets, ContexteFinale(sourceTournee.size(), p));
}

QImage ConstruitApercu(const QImage &sourceTournee, QSize affichee, ModeInterpolation mode, TColor fond)
{
    QImage apercu(affichee, QImage::Format_ARGB32);
    apercu.fill(fond.toQRgb());
    if (!sourceTournee.isNull()) {
        QPainter peintre(&apercu);
        peintre.drawImage(0, 0, Reechantillonne(SurFond(sourceTournee, fond), sourceTournee.rect(), affichee, mode));
    }
    return apercu;
}
