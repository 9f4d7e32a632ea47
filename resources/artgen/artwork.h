#pragma once

#include <QString>

#include <functional>
#include <vector>

// One embedded picture: its file name under ":/art/" and the code that draws it.
struct ArtworkItem
{
    QString fileName;
    std::function<bool(const QString &path)> write;
};

std::vector<ArtworkItem> artworkItems();
