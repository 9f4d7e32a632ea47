#pragma once

#include "tools/charger_bitmap.h"
#include "tools/metafichier/limites_convertisseur.h"

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

#include <optional>

// Windows metafiles (EMF and WMF), read and drawn by the field's libraries in
// the program's converter, ovd-metafichier, started afresh for each file with
// a memory cap and a time limit, so that a damaged or hostile file can neither
// crash, hang nor exhaust the program. The converter draws the picture at the
// size the caller asks for, over the colour it gives, and hands back pixels of
// that size only: whatever the file holds, the program receives the picture
// it asked for and nothing more.
enum class TypeMetafichier { Aucun, Emf, Wmf };

// The kind of metafile the first bytes announce (EMF header record with its
// " EMF" signature; placeable or plain WMF header).
TypeMetafichier DetecteMetafichier(const QByteArray &debut);
// The kind of metafile a file holds, from its first bytes.
TypeMetafichier TypeFichierMetafichier(const QString &chemin);

// Largest metafile read; largest side of a picture's own size; largest
// drawing (see tools/metafichier/limites_convertisseur.h for the reasons).
constexpr qint64 TailleMaxMetafichier = convertisseur::EntreeMax;
constexpr int CoteMaxMetafichier = convertisseur::CoteMax;
constexpr int CoteMaxDessinMetafichier = convertisseur::CoteDessinMax;
constexpr qint64 PixelsMaxDessinMetafichier = convertisseur::PixelsDessinMax;

// The converter program: beside the running program, else in the build tree
// the program was built in; empty when there is none.
QString CheminConvertisseurMetafichier();

// What the converter made of a metafile.
struct MetafichierDessine
{
    QSize taille; // the picture's own size in pixels (96 dpi)
    QImage pixels; // Format_ARGB32 of the size asked for; null when only measured
};

// The bytes of a metafile drawn whole at exactly `dessin` over `fond` (an
// alpha of 0 leaves the background transparent); an empty `dessin` only
// measures it. A size beyond the drawing limits is refused.
std::optional<MetafichierDessine> ConvertitMetafichier(const QByteArray &octets, TypeMetafichier type, QSize dessin,
                                                      QRgb fond, QString *message = nullptr);

// A metafile file drawn whole at exactly `taille` over `fond`, Format_ARGB32.
// Its own size in *taillePropre when given.
std::optional<QImage> DessineMetafichier(const QString &chemin, QSize taille, QRgb fond, ErreurImage *erreur = nullptr,
                                         QString *message = nullptr, QSize *taillePropre = nullptr);

// The size a metafile of `taille` is drawn at when it is shown whole: its own
// size, reduced into `boite` when that is valid and smaller (aspect kept, as
// RectProportionnel does), and always within the drawing limits.
QSize TailleDessinMetafichier(QSize taille, QSize boite = {});

// A metafile file drawn at TailleDessinMetafichier(its own size, boite) over
// `fond`: two runs of the converter for a plain WMF, whose size is only in
// its records; one for the others.
std::optional<QImage> ChargeMetafichier(const QString &chemin, QSize boite, QRgb fond, ErreurImage *erreur = nullptr,
                                        QString *message = nullptr);

// The size of a metafile file, read from its header only (invalid when it is
// not a readable metafile or, for a plain WMF, not in its header).
QSize TailleMetafichier(const QString &chemin);
// The same, and for a plain WMF measured by the converter.
QSize MesureMetafichier(const QString &chemin);
