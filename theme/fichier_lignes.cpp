#include "theme/fichier_lignes.h"

#include "theme/cp1252.h"
#include "theme/ecriture_atomique.h"

#include <QDir>

bool EcritLignesCRLF(const QString &chemin, const QStringList &lignes, QString *erreur)
{
    QByteArray octets;
    for (const QString &ligne : lignes) {
        const auto encodee = cp1252::encode(ligne);
        if (!encodee) {
            if (erreur)
                *erreur = QStringLiteral("Cannot write %1: the character \"%2\" has no place in Windows-1252.")
                              .arg(QDir::toNativeSeparators(QDir::cleanPath(chemin)), cp1252::firstUnencodable(ligne));
            return false;
        }
        octets += *encodee;
        octets += "\r\n";
    }
    QString raison;
    if (!EcritFichierAtomique(chemin, octets, &raison)) {
        if (erreur)
            *erreur = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(chemin)), raison);
        return false;
    }
    return true;
}
