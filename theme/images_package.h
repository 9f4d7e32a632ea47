#pragma once

#include <QString>

#include <vector>

// One picture of the theme being written: the working picture in the program
// folder (also the name the device installs it under), its package member
// name and its file id in the CE setup file (the member's extension is that
// id on three digits).
struct ImagePackage
{
    QString nomImage;  // "tdywater_240_320.gif"
    QString nomMembre; // "TDYWAT~1.001"
    int idFichier = 0;
    bool today = false;

    bool operator==(const ImagePackage &) const = default;
};

// The pictures of the theme being written, in package member order (Today
// before Start, portrait before landscape): Start only whenever
// UseStartImage is set, else Today and Start; formats 4 and 5 carry the
// portrait and landscape pair, every other format the single pictures.
std::vector<ImagePackage> ImagesPackage(int formatTheme, bool startSeul);
