#include "theme/setup_ce_reader.h"

#include "theme/byte_io.h"
#include "theme/cp1252.h"

namespace {

const std::array<const char *, 10> NomsBase{
    "stwater",          "tdywater",         "stwater_240_320", "stwater_320_240",
    "tdywater_240_320", "tdywater_320_240", "stwater_480_640", "stwater_640_480",
    "tdywater_480_640", "tdywater_640_480"};

// Text up to the first NUL, Windows-1252.
QString texteZ(const QByteArray &b)
{
    const qsizetype nul = b.indexOf('\0');
    return cp1252::decode(nul < 0 ? QByteArrayView(b) : QByteArrayView(b).first(nul));
}

} // namespace

int ClasseImageTheme(const QString &installName, const QString &memberName, MembresImages &emplacements)
{
    const qsizetype point = installName.lastIndexOf(QLatin1Char('.'));
    if (point < 0)
        return 0;
    const QString ext = installName.mid(point);
    if (ext != QLatin1String(".bmp") && ext != QLatin1String(".gif") && ext != QLatin1String(".jpg")
        && ext != QLatin1String(".png"))
        return 0;
    const QString base = installName.left(installName.indexOf(ext));
    for (int k = 0; k < 10; ++k) {
        if (base == QLatin1String(NomsBase[k])) {
            emplacements[k] = memberName;
            return 1 << k;
        }
    }
    return 0;
}

std::array<int, 4> slotsImages(int groupe)
{
    switch (groupe) {
    case 0: case 1: return {1, 0, -1, -1};
    case 2: case 3: return {4, 2, 5, 3};
    case 4: case 5: return {8, 6, 9, 7};
    default: return {-1, -1, -1, -1};
    }
}

int GroupeFormatDeSomme(int sommeBits)
{
    using namespace SetupCE;
    switch (sommeBits) {
    case SommeTodayStart: return 0;
    case SommeStart: return 1;
    case SommePaire240: return 2;
    case SommePaire240Start: return 3;
    case SommePaire480: return 4;
    case SommePaire480Start: return 5;
    default: return GroupeNonTheme;
    }
}

namespace SetupCE {

bool enteteAcceptee(QByteArrayView bytes)
{
    if (bytes.size() < TailleEntete || bytes.size() > TailleMax)
        return false;
    ByteReader r(bytes);
    const auto longueur = r.u32At(OffLongueur);
    if (!longueur || qsizetype(*longueur) != bytes.size())
        return false;
    const QByteArrayView sig = bytes.first(4);
    return sig == QByteArrayView("MSCE") || sig == QByteArrayView("CE4+");
}

QString extensionMembre(int idFichier)
{
    return QLatin1Char('.') + QString::asprintf("%.3d", idFichier);
}

QString membrePourExtension(const QStringList &membres, const QString &extension)
{
    for (const QString &m : membres) {
        const qsizetype point = m.lastIndexOf(QLatin1Char('.'));
        if (point >= 0 && m.mid(point) == extension)
            return m;
    }
    return {};
}

} // namespace SetupCE

ResultatSetupCE LitFichierSetupCE(QByteArrayView bytes, const QStringList &members)
{
    using namespace SetupCE;
    ResultatSetupCE res;
    if (!enteteAcceptee(bytes))
        return res;

    ByteReader r(bytes);
    const uint16_t nb = r.u16At(OffNbFichiers).value_or(0);
    const uint32_t offset = r.u32At(OffTableFichiers).value_or(0);
    int somme = 0;
    bool doublon = false;
    MembresImages membres;
    if (nb > 0) {
        // Each record needs at least its head: a count that cannot fit is refused before reading.
        if (!r.seek(qsizetype(offset)) || qsizetype(nb) * TailleTeteFichier > r.remaining())
            return res;
        for (int i = 0; i < nb; ++i) {
            const auto id = r.u16();
            r.skip(2 + 2 + 4); // directory id, running number, flags
            const auto longueur = r.u16();
            if (!id || !longueur)
                return res;
            const auto nom = r.bytes(*longueur);
            if (!nom)
                return res;
            const QString install = texteZ(*nom).toLower();
            QString membre;
            if (members.isEmpty()) {
                membre = QLatin1String(MembreInconnu);
            } else {
                membre = membrePourExtension(members, extensionMembre(*id));
                if (membre.isEmpty()) {
                    res.etat = ResultatSetupCE::Etat::MembreManquant;
                    return res;
                }
            }
            const int bit = ClasseImageTheme(install, membre, membres);
            if (bit & somme)
                doublon = true;
            somme += bit;
        }
    }
    res.membres = membres;
    res.groupeFormat = doublon ? GroupeNonTheme : GroupeFormatDeSomme(somme);
    res.etat = res.groupeFormat == GroupeNonTheme ? ResultatSetupCE::Etat::NonTheme : ResultatSetupCE::Etat::Reconnu;
    return res;
}
