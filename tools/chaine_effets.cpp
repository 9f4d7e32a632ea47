#include "tools/chaine_effets.h"

#include "theme/arrondi.h"
#include "tools/bandes_contexte.h"
#include "tools/matrice_filtre.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// Reflects an index into 0..n−1 without repeating the edge (−1 → 1, n → n−2),
// held inside the picture when the margin is wider than it.
int reflete(int i, int n)
{
    if (i < 0)
        i = -i;
    if (i >= n)
        i = 2 * (n - 1) - i;
    return std::clamp(i, 0, n - 1);
}

// Runs a window filter with a mirrored margin of n div 2, so that the
// picture's border is processed too: strip by strip, each strip a margined
// picture of its own, of which the rows and columns inside the margin are
// kept. `filtre(bande, premiere)` gets the strip and the row of the whole
// margined picture its first row stands for.
template<typename Filtre>
void avecMarge(QImage &image, int n, Filtre &&filtre)
{
    const int m = n / 2;
    const size_t octetsLigne = size_t(image.width()) * 4;
    uchar *pixels = image.bits();
    const qsizetype pas = image.bytesPerLine();
    ParBandesAvecContexte(image, m, BordBande::Miroir, [&](QImage &bande, int premiere, int y0, int y1) {
        filtre(bande, premiere);
        for (int y = y0; y < y1; ++y)
            std::memcpy(pixels + y * pas, bande.constScanLine(y - y0 + m) + 4 * m, octetsLigne);
    });
}

// Own rendering of the image-attribute steps (the platform's colour matrix,
// gamma and output channel) as per-channel tables, then the grey.
// Lighten: the matrix's translation t is added as Round(t·255).
TableOctets tableEclaircit(int clair)
{
    const double t = (9 - clair) * 0.05;
    const int ajout = arrondi(t * 255);
    TableOctets table;
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = uchar(std::clamp(v + ajout, 0, 255));
    return table;
}

// Negative (255 − v), then the gamma curve 255·(v/255)^γ; the grey output
// channel then makes every channel 255 − K = max(R, G, B).
TableOctets tableAttributs(bool negatif, double gamma)
{
    TableOctets table;
    for (int v = 0; v < 256; ++v) {
        const int n = negatif ? 255 - v : v;
        table[size_t(v)] = uchar(std::clamp(arrondi(255.0 * std::pow(n / 255.0, gamma)), 0, 255));
    }
    return table;
}

TableOctets tableCanal(int pourCent)
{
    TableOctets table;
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = uchar(std::clamp(v * pourCent / 100, 0, 255));
    return table;
}

// The steps that look at one pixel at a time (lighten, image attributes,
// sepia, HSV, channels, contrast), gathered while the chain is read and run
// together in one pass over the pixels when a step that reads neighbours
// comes, or at the end. Any run of them in the chain's order has the shape
//   tables → [grey max] → [sepia] → [HSV] → tables
// where successive tables are composed into one per channel. Each step gives
// the same bytes as when run alone, so the pass gives the same picture as
// the steps one after the other. When the picture still shares its pixels
// with the chain's source, the pass reads the source and writes a new
// picture: the chain then holds at most the source and its result.
class PassePixels
{
public:
    PassePixels(QImage &image, int fils) : m_image(image), m_fils(fils) { reinitialise(); }

    // Tables for B, G and R.
    void tables(const TableOctets &b, const TableOctets &g, const TableOctets &r)
    {
        const bool apres = m_max || m_sepia || m_tsv;
        auto &t = apres ? m_apres : m_avant;
        const TableOctets *nouvelles[3] = {&b, &g, &r};
        for (int c = 0; c < 3; ++c)
            for (auto &v : t[size_t(c)])
                v = (*nouvelles[c])[v];
        (apres ? m_apresActif : m_avantActif) = true;
    }

    void grisMax()
    {
        if (m_max || m_sepia || m_tsv || m_apresActif)
            execute();
        m_max = true;
    }

    void sepia(int profondeur)
    {
        if (m_sepia || m_tsv || m_apresActif)
            execute();
        m_sepia = true;
        m_profondeur = profondeur;
    }

    void tsv(int dh, int ds, int dv)
    {
        if (m_tsv || m_apresActif)
            execute();
        m_tsv = true;
        m_dh = (dh % 360 + 360) % 360;
        m_ds = ds;
        m_dv = dv;
    }

    // Runs what was gathered.
    void execute()
    {
        if (!m_avantActif && !m_max && !m_sepia && !m_tsv && !m_apresActif)
            return;
        if (m_sepia)
            prepareSepia();
        if (m_image.isDetached()) {
            uchar *pixels = m_image.bits();
            lance(pixels, m_image.bytesPerLine(), pixels, m_image.bytesPerLine());
        } else {
            const QImage source = m_image; // keeps the pixels while they are read
            QImage resultat(source.size(), QImage::Format_ARGB32);
            if (!resultat.isNull()) {
                lance(source.constBits(), source.bytesPerLine(), resultat.bits(), resultat.bytesPerLine());
                m_image = std::move(resultat);
            }
        }
        reinitialise();
    }

private:
    void reinitialise()
    {
        for (auto *t : {&m_avant, &m_apres})
            for (auto &c : *t)
                for (int v = 0; v < 256; ++v)
                    c[size_t(v)] = uchar(v);
        m_avantActif = m_apresActif = m_max = m_sepia = m_tsv = false;
    }

    void lance(const uchar *lecture, qsizetype pasLecture, uchar *ecriture, qsizetype pasEcriture)
    {
        if (m_max)
            m_sepia ? boucle<true, true, false>(lecture, pasLecture, ecriture, pasEcriture)
                    : (m_tsv ? boucle<true, false, true>(lecture, pasLecture, ecriture, pasEcriture)
                             : boucle<true, false, false>(lecture, pasLecture, ecriture, pasEcriture));
        else
            m_sepia ? boucle<false, true, false>(lecture, pasLecture, ecriture, pasEcriture)
                    : (m_tsv ? boucle<false, false, true>(lecture, pasLecture, ecriture, pasEcriture)
                             : boucle<false, false, false>(lecture, pasLecture, ecriture, pasEcriture));
    }

    // After the sepia a pixel depends on its luminance alone: the rest of
    // the pass is one table of 256 colours.
    void prepareSepia()
    {
        for (int y = 0; y < 256; ++y) {
            int b = y, g = std::min(y + m_profondeur, 255), r = std::min(y + 2 * m_profondeur, 255);
            if (m_tsv) {
                const RGBEntiers c = AjustePixelTSV(r, g, b, m_dh, m_ds, m_dv);
                r = c.r, g = c.g, b = c.b;
            }
            m_couleurs[size_t(y)] = uint32_t(m_apres[0][size_t(b)]) | uint32_t(m_apres[1][size_t(g)]) << 8
                                    | uint32_t(m_apres[2][size_t(r)]) << 16;
        }
    }

    template<bool MAX, bool SEPIA, bool TSV>
    void boucle(const uchar *lecture, qsizetype pasLecture, uchar *ecriture, qsizetype pasEcriture)
    {
        const int w = m_image.width(), h = m_image.height();
        // Before the sepia, the luminance's weights are folded into the
        // tables: 77·T(r) + 150·T(g) + 29·T(b), the same sum.
        std::array<std::array<uint16_t, 256>, 3> pondere{};
        if constexpr (SEPIA && !MAX) {
            static constexpr uint16_t poids[3] = {29, 150, 77};
            for (size_t c = 0; c < 3; ++c)
                for (size_t v = 0; v < 256; ++v)
                    pondere[c][v] = uint16_t(poids[c] * m_avant[c][v]);
        }
        const int dh = m_dh, ds = m_ds, dv = m_dv;
        ParBandesDeLignes(h, qsizetype(w) * h, m_fils, [&, w](int y0, int y1) {
            // Local copies: the stores below could otherwise alias them.
            const uchar *av0 = m_avant[0].data(), *av1 = m_avant[1].data(), *av2 = m_avant[2].data();
            const uchar *ap0 = m_apres[0].data(), *ap1 = m_apres[1].data(), *ap2 = m_apres[2].data();
            const uint16_t *pb = pondere[0].data(), *pg = pondere[1].data(), *pr = pondere[2].data();
            const uint32_t *couleurs = m_couleurs.data();
            for (int y = y0; y < y1; ++y) {
                const auto *__restrict s = reinterpret_cast<const uint32_t *>(lecture + y * pasLecture);
                auto *__restrict d = reinterpret_cast<uint32_t *>(ecriture + y * pasEcriture);
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = s[x];
                    if constexpr (SEPIA && !MAX) {
                        const uint32_t l = (uint32_t(pb[p & 0xFF]) + pg[(p >> 8) & 0xFF] + pr[(p >> 16) & 0xFF]) >> 8;
                        d[x] = couleurs[l] | (p & 0xFF000000u);
                        continue;
                    }
                    int b = av0[p & 0xFF];
                    int g = av1[(p >> 8) & 0xFF];
                    int r = av2[(p >> 16) & 0xFF];
                    if constexpr (MAX)
                        b = g = r = std::max(b, std::max(g, r));
                    if constexpr (SEPIA) {
                        d[x] = couleurs[size_t(Luminance77(r, g, b))] | (p & 0xFF000000u);
                        continue;
                    }
                    if constexpr (TSV) {
                        const RGBEntiers c = AjustePixelTSV(r, g, b, dh, ds, dv);
                        r = c.r, g = c.g, b = c.b;
                    }
                    d[x] = uint32_t(ap0[b]) | uint32_t(ap1[g]) << 8 | uint32_t(ap2[r]) << 16 | (p & 0xFF000000u);
                }
            }
        });
    }

    QImage &m_image;
    int m_fils;
    std::array<TableOctets, 3> m_avant{}, m_apres{};
    bool m_avantActif = false, m_apresActif = false;
    bool m_max = false, m_sepia = false, m_tsv = false;
    int m_profondeur = 0;
    int m_dh = 0, m_ds = 0, m_dv = 0;
    std::array<uint32_t, 256> m_couleurs{};
};

// Straight-alpha "source over" of one pixel, the source's alpha first scaled
// by the opacity (0..255). Opacity 0 leaves the destination, 255 with an
// opaque source replaces it.
inline void superpose(uchar *d, const uchar *s, int opacite)
{
    const int a = s[3] * opacite / 255;
    const int da = d[3];
    const int couverture = a * 255 + da * (255 - a); // result alpha × 255
    if (couverture == 0) {
        d[0] = d[1] = d[2] = d[3] = 0;
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const int num = s[c] * a * 255 + d[c] * da * (255 - a);
        d[c] = uchar((num + couverture / 2) / couverture);
    }
    d[3] = uchar((couverture + 127) / 255);
}

QColor couleurAlpha(TColor c, int alpha)
{
    return QColor::fromRgba(c.toQRgb(std::clamp(alpha, 0, 255)));
}

// The background of the transparency step: colour 1, a linear gradient or a
// gradient from a centre point to an ellipse around the picture.
QImage fondTransparence(QSize taille, const OptionsEffets &o, QPointF centre)
{
    const TColor c1 = o.InvCoulCB ? o.Panel13 : o.Panel26;
    const TColor c2 = o.InvCoulCB ? o.Panel26 : o.Panel13;
    const int w = taille.width(), h = taille.height();
    QImage fond(taille, QImage::Format_ARGB32);
    fond.fill(o.TypeGradient == 0 || o.TypeGradient == 4 ? c1.toQRgb() : o.Panel26.toQRgb());
    if (o.TypeGradient < 1 || o.TypeGradient > 4)
        return fond;
    QPainter p(&fond);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    if (o.TypeGradient <= 3) {
        QPointF debut(0, 0), fin(w, h);
        if (o.TypeGradient == 2)
            fin = QPointF(0, h);
        else if (o.TypeGradient == 3) {
            debut = QPointF(w, 0);
            fin = QPointF(0, h);
        }
        QLinearGradient g(debut, fin);
        g.setColorAt(0, c1.toQRgb());
        g.setColorAt(1, c2.toQRgb());
        p.fillRect(QRect(0, 0, w, h), g);
        return fond;
    }
    // Centred gradient. The platform's path gradient goes linearly from the
    // centre point to the ellipse along each ray; a radial gradient whose
    // focal point is the centre, scaled to the ellipse, does the same.
    TColor entourage = o.InvCoulCB ? o.Panel13 : o.Panel26;
    TColor milieu = o.InvCoulCB ? o.Panel26 : o.Panel13;
    const int alphaEntourage = o.InvCoulCB ? o.TranspCoul2TB : o.TranspCoul1TB;
    const int alphaMilieu = o.InvCoulCB ? o.TranspCoul1TB : o.TranspCoul2TB;
    if (o.ImgTranspCB) {
        entourage = TColor::fromValue(0xFF0000);
        milieu = TColor::fromValue(0x00FFFF);
    }
    const double facteur = std::sqrt(2.0) * (o.RayonTB / 8.0 + 1);
    const double rx = w * facteur / 2, ry = h * facteur / 2;
    if (rx <= 0 || ry <= 0)
        return fond;
    const QPointF milieuFond(w / 2.0, h / 2.0);
    const double echelle = ry / rx;
    p.translate(milieuFond);
    p.scale(1.0, echelle);
    const QPointF focal((centre.x() - milieuFond.x()), (centre.y() - milieuFond.y()) / echelle);
    QRadialGradient g(QPointF(0, 0), rx, focal);
    g.setColorAt(0, couleurAlpha(milieu, alphaMilieu));
    g.setColorAt(1, couleurAlpha(entourage, alphaEntourage));
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), rx, rx);
    return fond;
}

// The background when it is one colour: no picture is drawn for it.
std::optional<QRgb> fondUni(const OptionsEffets &o)
{
    if (o.TypeGradient >= 1 && o.TypeGradient <= 4)
        return std::nullopt;
    const TColor c1 = o.InvCoulCB ? o.Panel13 : o.Panel26;
    return (o.TypeGradient == 0 ? c1 : o.Panel26).toQRgb();
}

// The picture over its background, in place. Without the image-transparency
// box the background is laid over the picture at the opacity; with it the
// picture, its alpha taken from the background's luminance, is laid over
// colour 1. Each pixel reads only its own place in the background.
void etapeTransparence(QImage &image, const OptionsEffets &o, QPointF centre, int fils)
{
    const std::optional<QRgb> uni = fondUni(o);
    QImage fond;
    if (!uni)
        fond = fondTransparence(image.size(), o, centre);
    const int opacite = (std::clamp(o.TranspTB, 0, 100) * 255 + 50) / 100;
    const bool dessusImage = o.ImgTranspCB;
    const QRgb c1 = (o.InvCoulCB ? o.Panel13 : o.Panel26).toQRgb();
    const int w = image.width();
    uchar *base = image.bits();
    const qsizetype pas = image.bytesPerLine();
    ParBandesDeLignes(image.height(), qsizetype(w) * image.height(), fils, [&](int y0, int y1) {
        std::vector<QRgb> ligneUnie(uni ? size_t(w) : 0, uni ? *uni : 0);
        for (int y = y0; y < y1; ++y) {
            uchar *d = base + y * pas;
            const uchar *f = uni ? reinterpret_cast<const uchar *>(ligneUnie.data()) : fond.constScanLine(y);
            for (int x = 0; x < w; ++x, d += 4, f += 4) {
                if (!dessusImage) {
                    superpose(d, f, opacite);
                    continue;
                }
                uchar dessus[4] = {d[0], d[1], d[2], uchar(Luminance77(f[2], f[1], f[0]))};
                std::memcpy(d, &c1, 4);
                superpose(d, dessus, opacite);
            }
        }
    });
}

} // namespace

int FacteurPicker(int largeurVue, int largeurPicker)
{
    return largeurPicker > 1 ? largeurVue * 10 / (largeurPicker - 1) : 10;
}

QPoint CentreVersImage(QPoint picker, int facteurPicker, QPoint coinImage, int largeurTravail,
                       int largeurAffichee)
{
    if (largeurAffichee <= 0)
        return {};
    const double echelle = double(largeurTravail) / largeurAffichee;
    const double vx = picker.x() * facteurPicker / 10.0;
    const double vy = picker.y() * facteurPicker / 10.0;
    return {arrondi((vx - coinImage.x()) * echelle), arrondi((vy - coinImage.y()) * echelle)};
}

ValeursZoom ZoomApercu(const OptionsEffets &o, int largeurTravail, int largeurAffichee)
{
    const double s = largeurAffichee > 0 ? double(largeurTravail) / largeurAffichee : 1.0;
    return {o.RNetTB, arrondi(o.FlouIntTB * s + 0.5), arrondi(o.FlouExtTB * s + 0.5)};
}

ValeursZoom ZoomFinal(const OptionsEffets &o, int largeurSource, double largeurCadreSource,
                      int largeurCible, int largeurAffichee)
{
    ValeursZoom v;
    v.pourcentNet = largeurCadreSource > 0 ? arrondi(double(o.RNetTB) * largeurSource / largeurCadreSource + 0.5)
                                           : o.RNetTB;
    const double s = largeurAffichee > 0 ? double(largeurCible) / largeurAffichee : 1.0;
    v.avant = arrondi(o.FlouIntTB * s + 0.5);
    v.apres = arrondi(o.FlouExtTB * s + 0.5);
    return v;
}

bool ChaineLente(const OptionsEffets &o)
{
    return o.FRCB || o.ZoomCB;
}

QImage MargeMiroir(const QImage &source, int m)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    if (image.isNull() || m <= 0)
        return image;
    QImage grande(w + 2 * m, h + 2 * m, QImage::Format_ARGB32);
    for (int y = 0; y < h + 2 * m; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(reflete(y - m, h)));
        QRgb *dst = reinterpret_cast<QRgb *>(grande.scanLine(y));
        for (int x = 0; x < w + 2 * m; ++x)
            dst[x] = src[reflete(x - m, w)];
    }
    return grande;
}

QImage AppliqueChaine(const QImage &source, const OptionsEffets &o, const ContexteChaine &ctx)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return image;
    const int fils = ctx.fils;
    const int w = image.width();
    const int largeurAffichee = ctx.imageDansVue.width() > 0 ? ctx.imageDansVue.width() : w;
    const auto centre = [&](QPoint picker) {
        return CentreVersImage(picker, ctx.facteurPicker, ctx.imageDansVue.topLeft(), w, largeurAffichee);
    };

    // 1, 2: window filters on a mirrored margin.
    if (o.ExploseCB) {
        const int n = o.fenetreExplosion();
        const uint64_t graine = ctx.graineExplosion
                                    ? *ctx.graineExplosion
                                    : uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
        avecMarge(image, n, [&](QImage &i, int premiere) { ExplosionBande(i, n, graine, premiere, fils); });
    }
    if (o.KuwaharaCB) {
        const int n = o.fenetreKuwahara();
        avecMarge(image, n, [&](QImage &i, int) { FiltreKuwahara(i, n, fils); });
    }
    // 3, 4: image attributes, and the other one-pixel steps, run by passes.
    PassePixels passe(image, fils);
    if (o.ClairTB < 9) {
        const TableOctets t = tableEclaircit(o.ClairTB);
        passe.tables(t, t, t);
    }
    if (o.NegCB || o.GrisCB || o.GammaTB != 10) {
        const TableOctets t = tableAttributs(o.NegCB, o.GammaTB * 0.1);
        passe.tables(t, t, t);
        if (o.GrisCB)
            passe.grisMax();
    }
    // 5 to 14: pixel filters, in place.
    if (o.MasqueFlouCB) {
        passe.execute();
        Accentuation(image, 3, 2, fils);
    }
    if (o.TraitsCB) {
        passe.execute();
        const TColor noir = TColor::fromRgb(0, 0, 0);
        if (o.ImgPlusCB)
            ContoursCouleur(image, 5 * o.TraitsTB, noir, o.MedAvantCB, fils);
        else
            DetectionContours(image, 5 * o.TraitsTB, noir, o.MedAvantCB, fils);
    }
    if (o.SepiaCB)
        passe.sepia(40);
    if (o.FRCB) {
        passe.execute();
        const QPoint c = centre(o.CenterFlouRImg);
        FlouRadial(image, o.RayonFRTB, c.x(), c.y(), fils);
    }
    if (o.ZoomCB) {
        passe.execute();
        const QPoint c = centre(o.CenterZoomImg);
        const ValeursZoom z = ctx.zoomFinal ? *ctx.zoomFinal : ZoomApercu(o, w, largeurAffichee);
        FlouZoom(image, c.x(), c.y(), z.pourcentNet, z.avant, z.apres, float(o.SharpTB) / 100.0f, fils);
    }
    if (o.TeinteTb != 0 || o.SaturationTb != 0 || o.LuminanceTb != 0)
        passe.tsv(o.TeinteTb, o.SaturationTb, o.LuminanceTb);
    if (o.RTB != 100 || o.GTB != 100 || o.BTB != 100)
        passe.tables(tableCanal(o.BTB), tableCanal(o.GTB), tableCanal(o.RTB));
    if (o.ContrasteTB != 0) {
        TableOctets t;
        TableContraste(t, o.ContrasteTB);
        passe.tables(t, t, t);
    }
    passe.execute();
    if (o.TramageCB) {
        switch (o.OptComp) {
        case 1: TramageOrdonne2x2(image, true, fils); break;
        case 2: TramageOrdonne3x3(image, true, fils); break;
        default: TramageFloydSteinberg(image, true); break;
        }
        Bicolore(image, o.Panel15, o.Panel12, fils);
    }
    if (o.AppliquerCB)
        Motif(image, o.DiamTb, o.Panel11.toQRgb(255), o.FormeMotifGrp, fils);
    // 15: transparency and background.
    if (o.TranspCB)
        etapeTransparence(image, o, centre(o.CenterImg), fils);
    return image;
}
