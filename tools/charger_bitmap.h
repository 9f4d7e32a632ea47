#pragma once

#include <QImage>
#include <QString>

#include <optional>

enum class ErreurImage {
    Introuvable,   // no such file, or it cannot be opened
    FormatInconnu, // no reader recognises the content
    Illisible,     // a reader recognised it but decoding failed (damaged, too large)
    TropGrande,    // more pixels than PixelsImageMax: refused before decoding
};

QString texteErreurImage(ErreurImage erreur);

// Loads any picture file, palette-indexed or not, as a 32-bit picture
// (QImage::Format_ARGB32, bytes B, G, R, A) of the file's own size. The
// format is decided by the content, not the name (the working pictures are
// all named ".gif" whatever their encoding). The picture is drawn over an
// opaque black bitmap, so the result is opaque: transparent pixels come out
// black and partly transparent ones are blended with black. Metafiles (EMF,
// WMF), which have no background of their own, are drawn on white at their
// own size (reduced to the metafile drawing limits, 4096 a side). A caller
// that draws a metafile at another size or over another colour asks for it
// (DessineMetafichier, tools/charger_bitmap_metafichier.h). Empty on failure, with the reason in *erreur when given. A
// picture of more than PixelsImageMax pixels is refused from its header,
// before any decoding.
std::optional<QImage> ChargerBitmap32GDIP(const QString &chemin, ErreurImage *erreur = nullptr);

// The same picture with its transparency kept: Format_ARGB32 with the file's
// own alpha (opaque for a picture without transparency; a metafile is drawn
// on a transparent page), for a caller that lays it over a background colour
// of its choosing.
std::optional<QImage> ChargerImage32(const QString &chemin, ErreurImage *erreur = nullptr);
