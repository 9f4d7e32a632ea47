#include "tests/support/gif_test_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gif_lib.h>

#include <stdexcept>

namespace gifecrit {

namespace {

int ecrire(GifFileType *gif, const GifByteType *octets, int n)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(octets), n);
    return n;
}

void verifie(bool ok, const char *quoi)
{
    if (!ok)
        throw std::runtime_error(quoi);
}

} // namespace

QByteArray ecrit(int largeur, int hauteur, const std::vector<QRgb> &palette, const std::vector<Cadre> &cadres)
{
    QByteArray sortie;
    int err = 0;
    GifFileType *gif = EGifOpen(&sortie, ecrire, &err);
    verifie(gif, "EGifOpen");
    std::vector<GifColorType> couleurs;
    for (QRgb c : palette)
        couleurs.push_back(GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))});
    ColorMapObject *map = GifMakeMapObject(int(couleurs.size()), couleurs.data());
    verifie(map, "GifMakeMapObject");
    EGifSetGifVersion(gif, true);
    verifie(EGifPutScreenDesc(gif, largeur, hauteur, 8, 0, map) == GIF_OK, "EGifPutScreenDesc");
    GifFreeMapObject(map);
    for (const Cadre &c : cadres) {
        if (c.controle) {
            GraphicsControlBlock gcb{};
            gcb.DisposalMode = c.disposition;
            gcb.DelayTime = c.delaiCs;
            gcb.TransparentColor = c.transparente;
            GifByteType ext[4];
            const size_t n = EGifGCBToExtension(&gcb, ext);
            verifie(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_OK, "EGifPutExtension");
        }
        verifie(EGifPutImageDesc(gif, c.gauche, c.haut, c.largeur, c.hauteur, c.entrelace, nullptr) == GIF_OK,
                "EGifPutImageDesc");
        std::vector<int> ordre;
        if (c.entrelace) {
            const int debut[] = {0, 4, 2, 1}, pas[] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = debut[p]; y < c.hauteur; y += pas[p])
                    ordre.push_back(y);
        } else {
            for (int y = 0; y < c.hauteur; ++y)
                ordre.push_back(y);
        }
        for (int y : ordre) {
            std::vector<GifPixelType> ligne(c.index.begin() + y * c.largeur, c.index.begin() + (y + 1) * c.largeur);
            verifie(EGifPutLine(gif, ligne.data(), c.largeur) == GIF_OK, "EGifPutLine");
        }
    }
    verifie(EGifCloseFile(gif, &err) == GIF_OK, "EGifCloseFile");
    return sortie;
}

Cadre uni(int largeur, int hauteur, unsigned char fond, unsigned char bloc, int bx, int by, int bl, int bh,
          int delaiCs)
{
    Cadre c;
    c.largeur = largeur;
    c.hauteur = hauteur;
    c.delaiCs = delaiCs;
    c.index.assign(size_t(largeur) * size_t(hauteur), fond);
    for (int y = by; y < by + bh; ++y)
        for (int x = bx; x < bx + bl; ++x)
            c.index[size_t(y) * size_t(largeur) + size_t(x)] = bloc;
    return c;
}

void ecritFichier(const QString &chemin, int largeur, int hauteur, QRgb fond, QRgb bloc, int bx)
{
    const Cadre c = uni(largeur, hauteur, 0, 1, bx, 0, largeur - bx, hauteur, 0);
    const QByteArray octets = ecrit(largeur, hauteur, {fond, bloc}, {c});
    // Plain file writing: the fuzz seeds use this writer outside the tests.
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    verifie(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(octets) == octets.size(),
            "writing the GIF file");
}

void ecritFichier(const QString &chemin, int largeur, int hauteur, QRgb couleur)
{
    ecritFichier(chemin, largeur, hauteur, couleur, couleur, 0);
}

} // namespace gifecrit
