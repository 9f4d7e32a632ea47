#include "theme/image_et_copie.h"

#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/limites_paquet.h"
#include "theme/prompts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

const QString kTodaySimple = QStringLiteral("tdywater.gif");
const QString kStartSimple = QStringLiteral("stwater.gif");
const QLatin1String kSuffixeNote(".intention");

// A note holds two short lines; anything longer is not one of ours.
constexpr qint64 TailleNoteMax = 256;

QByteArray empreinte(const QByteArray &octets)
{
    return QCryptographicHash::hash(octets, QCryptographicHash::Sha256).toHex();
}

// The digest of a plain file no larger than a package's picture; nothing
// when there is no such file under the name or it cannot be read.
std::optional<QByteArray> empreinteFichier(const QString &chemin)
{
    const auto e = EmpreinteFichierOrdinaire(chemin, Paquet::TailleImageMax);
    return e ? std::optional<QByteArray>(e->toHex()) : std::nullopt;
}

QString natif(const QString &chemin)
{
    return QDir::toNativeSeparators(QDir::cleanPath(chemin));
}

struct Note
{
    QString nomImage;
    QByteArray empreinte;
};

std::optional<Note> litNote(const QString &chemin, const QString &nomCopie)
{
    const auto octets = LitFichierOrdinaire(chemin, TailleNoteMax);
    if (!octets)
        return std::nullopt;
    const QList<QByteArray> lignes = octets->split('\n');
    if (lignes.size() != 3 || !lignes[2].isEmpty())
        return std::nullopt;
    Note n{QString::fromLatin1(lignes[0]), lignes[1]};
    if (!EstPaireImageCopie(n.nomImage, nomCopie) || n.empreinte.size() != 64)
        return std::nullopt;
    for (const char c : n.empreinte)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
    return n;
}

} // namespace

QString NomNoteCopie(const QString &nomCopie)
{
    return QLatin1Char('.') + nomCopie + kSuffixeNote;
}

bool EstPaireImageCopie(const QString &nomImage, const QString &nomCopie)
{
    if (nomCopie == kTodaySimple)
        return nomImage == QLatin1String("tdywater_240_320.gif") || nomImage == QLatin1String("tdywater_480_640.gif")
               || nomImage == kStartSimple;
    if (nomCopie == kStartSimple)
        return nomImage == QLatin1String("stwater_240_320.gif") || nomImage == QLatin1String("stwater_480_640.gif");
    return false;
}

ResultatImageEtCopie EcritImageEtCopie(const QString &dossier, const QString &nomImage, const QByteArray &octets,
                                       const QString &nomCopie, QString *raison,
                                       const std::function<void()> &entreLesDeux)
{
    const QDir d(dossier);
    const QString image = d.filePath(nomImage);
    if (nomCopie.isEmpty())
        return EcritFichierAtomique(image, octets, raison) ? ResultatImageEtCopie::Ok
                                                            : ResultatImageEtCopie::ImageNonEcrite;
    if (!EstPaireImageCopie(nomImage, nomCopie)) {
        if (raison)
            *raison = QStringLiteral("%1 is no copy of %2").arg(nomCopie, nomImage);
        return ResultatImageEtCopie::ImageNonEcrite;
    }

    // The note is on disk before the picture changes.
    const QString note = d.filePath(NomNoteCopie(nomCopie));
    if (!EcritFichierAtomique(note, nomImage.toLatin1() + '\n' + empreinte(octets) + '\n', raison))
        return ResultatImageEtCopie::ImageNonEcrite;
    if (!EcritFichierAtomique(image, octets, raison)) {
        QFile::remove(note);
        return ResultatImageEtCopie::ImageNonEcrite;
    }
    if (entreLesDeux)
        entreLesDeux();
    // A copy that fails keeps its note: the next start writes it.
    if (!EcritFichierAtomique(d.filePath(nomCopie), octets, raison))
        return ResultatImageEtCopie::CopieNonEcrite;
    QFile::remove(note);
    return ResultatImageEtCopie::Ok;
}

void AcheveCopiesInterrompues(const QString &dossier, Prompts *prompts)
{
    const QDir d(dossier);
    for (const QString &nomCopie : {kTodaySimple, kStartSimple}) {
        const QString note = d.filePath(NomNoteCopie(nomCopie));
        // Only a plain file under the note's name can be ours.
        if (!EstFichierOrdinaire(note))
            continue;
        const auto n = litNote(note, nomCopie);
        if (!n) {
            QFile::remove(note);
            continue;
        }
        const QString image = d.filePath(n->nomImage);
        const QString copie = d.filePath(nomCopie);
        // Before the picture took its new bytes nothing had changed.
        if (empreinteFichier(image) == n->empreinte && empreinteFichier(copie) != n->empreinte) {
            if (QString raison; !CopieFichierAtomique(image, copie, &raison)) {
                if (prompts)
                    prompts->message(
                        QStringLiteral("Cannot copy %1 to %2: %3").arg(natif(image), natif(copie), raison), {},
                        Prompts::Icon::Error);
                continue;
            }
        }
        QFile::remove(note);
    }
}
