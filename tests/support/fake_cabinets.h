#pragma once

#include "theme/package_reader.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// A "cabinet" kept as a folder: a manifest of member names (any text, hostile
// names included) and one file per member. Lets tests build packages whose
// member names no real cabinet writer would accept.
class DossierCabinet : public LecteurCabinet
{
public:
    static void ecrire(const QString &chemin, const std::vector<std::pair<QString, QByteArray>> &membres);
    std::optional<QStringList> lister(const QString &cabinet) override;
    bool extraire(const QString &cabinet, const QString &membre, const QString &destination) override;
    QStringList extraits; // member names asked for, in order
};

// Real cabinets through the cabextract tool.
class CabextractCabinet : public LecteurCabinet
{
public:
    static bool disponible();
    std::optional<QStringList> lister(const QString &cabinet) override;
    bool extraire(const QString &cabinet, const QString &membre, const QString &destination) override;
};
