#pragma once

#include "theme/package_reader.h"

// The package reader's access to real cabinets, through TCABFile.
class CabinetPaquet : public LecteurCabinet
{
public:
    std::optional<QStringList> lister(const QString &cabinet) override;
    bool extraire(const QString &cabinet, const QString &membre, const QString &destination) override;
};
