#pragma once

#include "theme/package_reader.h"

// The package reader's access to real cabinets, through TCABFile.
class CabinetPaquet : public LecteurCabinet
{
public:
    // A member larger than this is not extracted (0: the component's own limit).
    qint64 tailleMaxMembre = 0;

    std::optional<QStringList> lister(const QString &cabinet) override;
    bool extraire(const QString &cabinet, const QString &membre, const QString &destination) override;
};
