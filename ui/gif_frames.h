#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// The frames of a GIF file as a player shows them: each frame composed onto
// the logical screen (earlier frames and their disposal taken into account)
// as a full ARGB32 image, with its delay.
struct ImagesGif
{
    int largeur = 0;
    int hauteur = 0;
    QList<QImage> images;   // Format_ARGB32, largeur x hauteur each
    QList<int> delaisMs;    // one per image: the frame's delay x 10 ms (0 when none)
    // At least one frame carries a graphic control extension: the file has a
    // frame-delay table. A GIF without one is a still picture.
    bool aDelais = false;
};

enum class ErreurGif {
    Aucune,
    PasUnGif,       // no "GIF87a"/"GIF89a" header or unreadable screen descriptor
    Tronque,        // the data ends inside a record
    Defectueux,     // a record giflib rejects (bad code size, wrong record type...)
    SansPalette,    // a frame with neither a local nor a global colour table
    TropGrand,      // beyond the limits below
    AucuneImage,    // a valid file with no frame
};

QString texteErreurGif(ErreurGif e);

// Limits against hostile files: a logical screen side, the pixels of one
// frame, the pixels of every composed frame together (4 bytes each) and the
// number of frames.
namespace LimitesGif {
constexpr int CoteMax = 8192;
constexpr qint64 PixelsImageMax = qint64(16) << 20;
constexpr qint64 PixelsTotalMax = qint64(32) << 20; // 128 MB of composed frames
constexpr int ImagesMax = 4096;
} // namespace LimitesGif

// Decodes every frame of a GIF. A failure gives nothing and the reason in
// *erreur (when given). A file that simply stops after a complete frame (no
// trailer) keeps the frames read so far.
std::optional<ImagesGif> decodeImagesGif(const QByteArray &octets, ErreurGif *erreur = nullptr);

// True when the bytes start with a GIF signature.
bool estGif(const QByteArray &octets);

// The frames of a picture file to play, each with its display time: a GIF's
// own delays (a delay of 0 shown for delaiNulMs, since it would otherwise
// spin), any other multi-picture file one picture every delaiNonGifMs.
// Nothing when the file is unreadable, larger than 64 MB, has no picture, or
// is a GIF without a delay table (a still picture, not animated).
struct ImagesAnimees
{
    QList<QImage> images;
    QList<int> delaisMs;
};
std::optional<ImagesAnimees> ChargeImagesAnimees(const QString &fichier, int delaiNulMs, int delaiNonGifMs);
