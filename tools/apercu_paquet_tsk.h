#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <array>

class LecteurCabinet;

// One theme picture of a package, decoded for the preview.
struct ImageApercuTsk
{
    QString membre;    // its member name; empty when the package names none
    QImage image;      // null when it could not be extracted or decoded
    QSize taille;      // the picture's own size
    QByteArray format; // Qt's format name ("gif", "jpeg"...)
    int bits = 0;      // bits per pixel as stored; 0 when unknown

    bool nomme() const { return !membre.isEmpty(); }
    bool present() const { return !image.isNull(); }
};

// What the package-aware dialog shows of a package.
struct ApercuTsk
{
    enum class Etat {
        Charge,           // at least one portrait picture is shown
        ErreurChargement, // no setup document, not a theme, no portrait picture readable
        ErreurExtraction, // a member the preview needs could not be extracted
    };
    enum Position { TodayPortrait, StartPortrait, TodayPaysage, StartPaysage };

    Etat etat = Etat::ErreurChargement;
    bool lectureSetupCE = false; // read through the CE setup file (else the setup XML)
    bool membreManquant = false; // the setup file names a member the cabinet lacks
    QString nomApplication;      // between double quotes
    int groupeFormat = 6;
    int nombreImages = 0;        // pictures the setup document names
    std::array<ImageApercuTsk, 4> images;

    bool paysage() const { return images[TodayPaysage].nomme() || images[StartPaysage].nomme(); }
};

// Reads the theme pictures of a package for its preview: lists the cabinet
// (every member must be a plain file name, unique without regard to case),
// reads the CE setup file (the last member containing ".000", preferred) or
// the setup XML (the last containing ".xml"), and decodes the Today and Start
// pictures, portrait and landscape. Members are extracted one at a time
// under names of our own into `dossierApercu`, which is created empty and
// removed before returning, on every path.
ApercuTsk LitApercuTsk(const QString &paquet, LecteurCabinet &cabinet, const QString &dossierApercu);

// The application name of a CE setup file, between double quotes: the 16-bit
// offset at byte 84 and length at byte 86 of the header, the text up to its
// first NUL. An offset and length that do not lie within the file after the
// header give "" (two double quotes).
QString NomApplication000(QByteArrayView setup);
