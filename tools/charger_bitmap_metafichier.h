#pragma once

#include "tools/charger_bitmap.h"
#include "tools/metafichier/limites_convertisseur.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Windows metafiles (EMF and WMF), read by the field's libraries in the
// program's converter, ovd-metafichier, started afresh for each file with a
// memory cap and a time limit, so that a damaged or hostile file can neither
// crash, hang nor exhaust the program: libemf2svg turns EMF into SVG (drawn
// here by Qt SVG), libwmf draws WMF with its raster device.
enum class TypeMetafichier { Aucun, Emf, Wmf };

// The kind of metafile the first bytes announce (EMF header record with its
// " EMF" signature; placeable or plain WMF header).
TypeMetafichier DetecteMetafichier(const QByteArray &debut);

// Largest metafile read, and largest side of the drawn picture.
constexpr qint64 TailleMaxMetafichier = convertisseur::EntreeMax;
constexpr int CoteMaxMetafichier = convertisseur::CoteMax;

// The converter program: beside the running program, else in the build tree
// the program was built in; empty when there is none.
QString CheminConvertisseurMetafichier();

// What the libraries made of a metafile: SVG text (EMF) or pixels already
// drawn (WMF, at its size or fitted into the box asked for).
struct MetafichierDessine
{
    QSize taille; // the picture's own size in pixels (96 dpi)
    QByteArray svg; // one SVG unit = one pixel, from (0, 0)
    QImage pixels;
};

std::optional<MetafichierDessine> ConvertitMetafichier(const QByteArray &octets, TypeMetafichier type,
                                                      QSize boite = {}, QString *message = nullptr);

// A metafile file drawn at its own size (or fitted into `boite` when it is
// valid and smaller), opaque over white, Format_ARGB32.
std::optional<QImage> ChargeMetafichier(const QString &chemin, QSize boite = {}, ErreurImage *erreur = nullptr,
                                        QString *message = nullptr);

// The size of a metafile file, read from its header only (invalid when it is
// not a readable metafile).
QSize TailleMetafichier(const QString &chemin);
