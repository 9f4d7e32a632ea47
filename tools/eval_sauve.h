#pragma once

#include "tools/encodeurs_image.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

class QLabel;

// One trial of the evaluation: the encoding and its JPEG quality.
struct EssaiEvalSauve
{
    TypeSauver type;
    int qualite;
};
inline constexpr int NombreEssaisEval = 6;
// Slot 1..6 in order: JPEG 100, PNG, BMP, GIF optimised, GIF half tones, JPEG 50.
inline constexpr std::array<EssaiEvalSauve, NombreEssaisEval> EssaisEvalSauve{{
    {TypeSauver::Jpeg, 100},
    {TypeSauver::PngOptimise, 100},
    {TypeSauver::BmpOptimise, 100},
    {TypeSauver::GifOptimise, 100},
    {TypeSauver::GifDemiTons, 100},
    {TypeSauver::Jpeg, 50},
}};

// The evaluation's temporary file, the same for every trial.
inline constexpr char NomFichierEvalSauve[] = "EvalSauve.jpg";
inline constexpr int LargeurEval = 240;
inline constexpr int HauteurEval = 287;

// The round 1:1 detail of a picture's centre: 100 x 100, opaque inside a disc
// and transparent around it, ringed in yellow and white. A picture smaller
// than the detail gives its overlap, the rest transparent.
QImage DetailRond(const QImage &image);

// What one trial gave.
struct ResultatEssai
{
    bool reussi = false;
    QImage vignette; // 240 x 287: the reloaded file fitted, its detail and "Zoom"
    qint64 octets = 0;
    qint64 millisecondes = 0;
    QString texte; // "<size> (Build in N ms)"
};

// Saves the picture once per trial to `fichierTemp`, times the save, reloads
// it and draws its thumbnail. The temporary file is gone afterwards.
using SauveurEval = std::function<StatutImage(const QImage &, const QString &, int, TypeSauver)>;
std::array<ResultatEssai, NombreEssaisEval> EvalueSauvegardes(const QImage &finale, const QString &fichierTemp,
                                                             const SauveurEval &sauve = {});

// The evaluation window: the six results side by side. Esc or a click
// anywhere closes it.
class TEvalSauve : public QDialog
{
    Q_OBJECT
public:
    explicit TEvalSauve(QWidget *parent = nullptr);

    void remplit(const std::array<ResultatEssai, NombreEssaisEval> &resultats);
    void vide();

    // Showing it places it centred on the main window (the outermost window
    // above it) and first draws the window's rectangle growing from the
    // chooser's (its parent's) rectangle to its own.
    void setVisible(bool visible) override;
    static constexpr int DureeAnimationMs = 180;
    // The rectangles of the last opening animation (empty when there was none).
    QRect animationDepart() const { return m_animationDepart; }
    QRect animationFin() const { return m_animationFin; }

    // Slot 1..6.
    QLabel *image(int slot) const { return m_images.at(size_t(slot - 1)); }
    QLabel *titre(int slot) const { return m_titres.at(size_t(slot - 1)); }
    QLabel *resultat(int slot) const { return m_resultats.at(size_t(slot - 1)); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *objet, QEvent *event) override;

signals:
    void animationTerminee();

private:
    void placeSurPrincipale();
    void animeOuverture();

    QRect m_animationDepart, m_animationFin;
    std::array<QLabel *, NombreEssaisEval> m_images{};
    std::array<QLabel *, NombreEssaisEval> m_titres{};
    std::array<QLabel *, NombreEssaisEval> m_resultats{};
};
