#include "tools/restauration_pda.h"

#include "device/fonctions_rapi_fichiers.h"
#include "device/texte_ce.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"
#include "tools/sauvegarde_pda.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

constexpr const char16_t *kCheminsCE[kNbImagesPDA] = {u"\\Windows\\tdywater.gif", u"\\Windows\\stwater.gif"};
constexpr const char *kNomsImages[kNbImagesPDA] = {"tdywater.gif", "stwater.gif"};
// Folders looked at under DeviceBackup, at most.
constexpr int kNbMaxDossiers = 256;
const QString kTitre = QStringLiteral("BaseHue for Windows Mobile 5");

// "type:hex bytes" for a value as stored, "-" for one the device did not have.
QByteArray texteValeur(const ValeurCouleurCE &v)
{
    if (v.etat != ValeurCouleurCE::Lue)
        return "-";
    return QByteArray::number(uint(v.type)) + ':' + v.octets.toHex();
}

std::optional<ValeurCouleurCE> valeurDeTexte(const QByteArray &t)
{
    if (t == "-")
        return ValeurCouleurCE{ValeurCouleurCE::Absente, 0, {}};
    const qsizetype deuxPoints = t.indexOf(':');
    if (deuxPoints < 1 || deuxPoints > 10)
        return std::nullopt;
    bool ok = false;
    const qulonglong type = t.left(deuxPoints).toULongLong(&ok, 10);
    if (!ok || type > 0xFFFFFFFFull
        || !std::all_of(t.begin(), t.begin() + deuxPoints, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const QByteArray hexa = t.mid(deuxPoints + 1);
    if (hexa.size() % 2 != 0 || hexa.size() / 2 > qsizetype(kTailleMaxValeurCE)
        || !std::all_of(hexa.begin(), hexa.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           }))
        return std::nullopt;
    return ValeurCouleurCE{ValeurCouleurCE::Lue, DWORD(type), QByteArray::fromHex(hexa)};
}

std::optional<uint32_t> entierDeTexte(const QByteArray &t, int base)
{
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok, base);
    if (!ok || v > 0xFFFFFFFFull || t.isEmpty() || t.startsWith('-') || t.startsWith('+'))
        return std::nullopt;
    return uint32_t(v);
}

// The number of a DWORD stored as 4 bytes; -1 for anything else: the device
// library writes such a value back exactly as it was stored when given that.
int nombreDword(const ValeurCouleurCE &v)
{
    return v.etat == ValeurCouleurCE::Lue && v.type == OVD_REG_DWORD && v.octets.size() == 4 ? int(v.valeur()) : -1;
}

QString dossierSauvegardes(const QString &dossierAppli)
{
    return QDir(dossierAppli).filePath(QLatin1String(kDossierSauvegardesPDA));
}

} // namespace

QString CheminImageCE(int k)
{
    return QString::fromUtf16(kCheminsCE[k]);
}

QString NomImagePDA(int k)
{
    return QLatin1String(kNomsImages[k]);
}

QByteArray EmpreinteFichier(const QString &chemin)
{
    return EmpreinteFichierOrdinaire(chemin, kTailleMaxImagePDA).value_or(QByteArray());
}

QByteArray TextePointRestauration(const PointRestaurationPDA &p)
{
    QByteArray t;
    t += "; Orvandel: what a device held before a live preview of the hue calculator.\r\n";
    t += "; It is offered back when that device is connected again. Delete this folder to forget it.\r\n";
    t += "[Restore]\r\nFormat=1\r\n";
    t += "Created=" + p.cree.toLatin1() + "\r\n";
    t += "DeviceName=" + QUrl::toPercentEncoding(p.identite.nom) + "\r\n";
    t += "DevicePartnership=" + QByteArray::number(p.identite.idPartenariat, 16).rightJustified(8, '0') + "\r\n";
    t += "DeviceVersion=" + QByteArray::number(p.identite.majeure) + '.' + QByteArray::number(p.identite.mineure)
         + '.' + QByteArray::number(p.identite.build) + "\r\n";
    t += "\r\n[Color]\r\nBaseHue=" + texteValeur(p.etat.baseHue) + "\r\n";
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        t += QByteArray::number(JeuCouleurs::NumerosCouleurs[i]) + '=' + texteValeur(p.etat.valeurs[i]) + "\r\n";
    t += "\r\n[Today]\r\nDPI=" + texteValeur(p.etat.dpi) + "\r\n";
    t += "\r\n[Pictures]\r\n";
    for (int k = 0; k < kNbImagesPDA; ++k) {
        t += kNomsImages[k];
        switch (p.images[k]) {
        case PointRestaurationPDA::Image::Intacte: t += "=untouched\r\n"; break;
        case PointRestaurationPDA::Image::Absente: t += "=absent\r\n"; break;
        case PointRestaurationPDA::Image::Gardee: t += "=kept:" + p.empreintes[k].toHex() + "\r\n"; break;
        }
    }
    return t;
}

std::optional<PointRestaurationPDA> LitTextePointRestauration(const QByteArray &texte, QString *raison)
{
    const auto echec = [raison](const QString &r) -> std::optional<PointRestaurationPDA> {
        if (raison)
            *raison = r;
        return std::nullopt;
    };
    if (texte.size() > kTailleMaxPointPDA)
        return echec(QStringLiteral("the record is too large"));
    // Every key the record must hold, by section.
    QSet<QByteArray> attendues;
    for (const char *k : {"Format", "Created", "DeviceName", "DevicePartnership", "DeviceVersion"})
        attendues.insert(QByteArray("Restore/") + k);
    attendues.insert("Color/BaseHue");
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        attendues.insert("Color/" + QByteArray::number(JeuCouleurs::NumerosCouleurs[i]));
    attendues.insert("Today/DPI");
    for (const char *n : kNomsImages)
        attendues.insert(QByteArray("Pictures/") + n);

    QMap<QByteArray, QByteArray> valeurs;
    QByteArray section;
    int numero = 0;
    for (QByteArray ligne : texte.split('\n')) {
        ++numero;
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        if (ligne.isEmpty() || ligne.startsWith(';'))
            continue;
        if (ligne.startsWith('[') && ligne.endsWith(']')) {
            section = ligne.mid(1, ligne.size() - 2);
            continue;
        }
        const qsizetype egal = ligne.indexOf('=');
        const QByteArray cle = section + '/' + (egal < 0 ? ligne : ligne.left(egal));
        if (egal < 0 || !attendues.contains(cle))
            return echec(QStringLiteral("line %1 is not part of a restore point").arg(numero));
        if (valeurs.contains(cle))
            return echec(QStringLiteral("line %1 repeats a value").arg(numero));
        valeurs.insert(cle, ligne.mid(egal + 1));
    }
    for (const QByteArray &cle : attendues)
        if (!valeurs.contains(cle))
            return echec(QStringLiteral("%1 is missing").arg(QString::fromLatin1(cle)));
    if (valeurs.value("Restore/Format") != "1")
        return echec(QStringLiteral("its format is unknown"));

    PointRestaurationPDA p;
    // Shown in a question: printable characters only.
    QByteArray cree = valeurs.value("Restore/Created").left(64);
    cree.removeIf([](char c) { return c < 0x20 || c > 0x7E; });
    p.cree = QString::fromLatin1(cree);
    p.identite.lue = true;
    p.identite.nom = QUrl::fromPercentEncoding(valeurs.value("Restore/DeviceName"));
    const std::optional<uint32_t> partenariat = entierDeTexte(valeurs.value("Restore/DevicePartnership"), 16);
    const QList<QByteArray> version = valeurs.value("Restore/DeviceVersion").split('.');
    if (!partenariat || version.size() != 3)
        return echec(QStringLiteral("the device it belongs to is unreadable"));
    p.identite.idPartenariat = *partenariat;
    uint32_t *champs[3] = {&p.identite.majeure, &p.identite.mineure, &p.identite.build};
    for (int k = 0; k < 3; ++k) {
        const std::optional<uint32_t> v = entierDeTexte(version[k], 10);
        if (!v)
            return echec(QStringLiteral("the device it belongs to is unreadable"));
        *champs[k] = *v;
    }

    const auto valeur = [&](const QByteArray &cle, ValeurCouleurCE &v) {
        const std::optional<ValeurCouleurCE> lu = valeurDeTexte(valeurs.value(cle));
        if (lu)
            v = *lu;
        return lu.has_value();
    };
    bool ok = valeur("Color/BaseHue", p.etat.baseHue) && valeur("Today/DPI", p.etat.dpi);
    for (int i = 0; ok && i < JeuCouleurs::NbCouleurs; ++i)
        ok = valeur("Color/" + QByteArray::number(JeuCouleurs::NumerosCouleurs[i]), p.etat.valeurs[i]);
    if (!ok)
        return echec(QStringLiteral("a registry value is malformed"));
    p.etat.valide = true;

    for (int k = 0; k < kNbImagesPDA; ++k) {
        const QByteArray v = valeurs.value(QByteArray("Pictures/") + kNomsImages[k]);
        if (v == "untouched") {
            p.images[k] = PointRestaurationPDA::Image::Intacte;
        } else if (v == "absent") {
            p.images[k] = PointRestaurationPDA::Image::Absente;
        } else if (v.startsWith("kept:") && v.size() == 5 + 64
                   && std::all_of(v.begin() + 5, v.end(),
                                  [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
            p.images[k] = PointRestaurationPDA::Image::Gardee;
            p.empreintes[k] = QByteArray::fromHex(v.mid(5));
        } else {
            return echec(QStringLiteral("the state of %1 is malformed").arg(QLatin1String(kNomsImages[k])));
        }
    }
    return p;
}

bool EcritPointRestauration(const QString &dossierAppli, PointRestaurationPDA &p,
                            const std::array<QString, kNbImagesPDA> &copies, QString *raison)
{
    p.cree = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QList<ImageGardee> images;
    QStringList aSupprimer;
    for (int k = 0; k < kNbImagesPDA; ++k) {
        if (p.images[k] == PointRestaurationPDA::Image::Gardee)
            images.append({NomImagePDA(k), copies[k]});
        else if (p.images[k] == PointRestaurationPDA::Image::Absente)
            aSupprimer << CheminImageCE(k);
    }
    // The pictures and "Restore.reg" first, the record last: a folder
    // without its record is never taken for a restore point.
    const QString dossier = GardeEtatPDA(dossierAppli, images, &p.etat, aSupprimer, raison);
    if (dossier.isEmpty())
        return false;
    const auto echec = [&](const QString &r) {
        QDir(dossier).removeRecursively();
        if (raison)
            *raison = r;
        return false;
    };
    for (int k = 0; k < kNbImagesPDA; ++k) {
        p.empreintes[k].clear();
        if (p.images[k] != PointRestaurationPDA::Image::Gardee)
            continue;
        p.empreintes[k] = EmpreinteFichier(QDir(dossier).filePath(NomImagePDA(k)));
        if (p.empreintes[k].isEmpty())
            return echec(QStringLiteral("the device's %1 could not be read back").arg(NomImagePDA(k)));
    }
    QString erreur;
    if (!EcritFichierAtomique(QDir(dossier).filePath(QLatin1String(kFichierPointPDA)), TextePointRestauration(p),
                              &erreur))
        return echec(erreur);
    p.dossier = dossier;
    return true;
}

std::optional<PointRestaurationPDA> LitPointRestauration(const QString &dossier, QString *raison)
{
    const std::optional<QByteArray> texte
        = LitFichierOrdinaire(QDir(dossier).filePath(QLatin1String(kFichierPointPDA)), kTailleMaxPointPDA);
    if (!texte) {
        if (raison)
            *raison = QStringLiteral("%1 cannot be read").arg(QLatin1String(kFichierPointPDA));
        return std::nullopt;
    }
    std::optional<PointRestaurationPDA> p = LitTextePointRestauration(*texte, raison);
    if (!p)
        return std::nullopt;
    for (int k = 0; k < kNbImagesPDA; ++k) {
        if (p->images[k] == PointRestaurationPDA::Image::Gardee
            && EmpreinteFichier(QDir(dossier).filePath(NomImagePDA(k))) != p->empreintes[k]) {
            if (raison)
                *raison = QStringLiteral("its copy of %1 is missing or damaged").arg(NomImagePDA(k));
            return std::nullopt;
        }
    }
    p->dossier = dossier;
    return p;
}

PointsEnAttente PointsRestaurationEnAttente(const QString &dossierAppli)
{
    PointsEnAttente r;
    const QDir parent(dossierSauvegardes(dossierAppli));
    // Folder names begin with their time: in name order, oldest first.
    const QStringList noms = parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (qsizetype i = 0; i < noms.size() && i < kNbMaxDossiers; ++i) {
        const QString dossier = parent.filePath(noms[i]);
        const QString record = QDir(dossier).filePath(QLatin1String(kFichierPointPDA));
        // A folder without a record holds what the user was given to keep.
        if (!QFileInfo::exists(record) && !QFileInfo(record).isSymLink())
            continue;
        QString raison;
        if (std::optional<PointRestaurationPDA> p = LitPointRestauration(dossier, &raison))
            r.points.append(*p);
        else
            r.illisibles.append({dossier, raison});
    }
    return r;
}

std::optional<PointRestaurationPDA> PointRestaurationDe(const QString &dossierAppli, const IdentiteCE &identite)
{
    if (!identite.lue)
        return std::nullopt;
    for (const PointRestaurationPDA &p : PointsRestaurationEnAttente(dossierAppli).points)
        if (p.identite == identite)
            return p;
    return std::nullopt;
}

EtatARestaurer EtatPourRestauration(const EtatCouleursCE &etat, int session)
{
    EtatARestaurer r;
    r.etat = etat;
    r.etat.numeroSession = session;
    r.baseHue = nombreDword(etat.baseHue);
    r.dpi = nombreDword(etat.dpi);
    return r;
}

bool AppliquePointRestauration(LienRapi &rapi, const PointRestaurationPDA &p)
{
    if (!p.identite.lue || !p.etat.valide || LitIdentiteCE(rapi) != p.identite)
        return false;
    // Every kept picture is checked before anything is written.
    for (int k = 0; k < kNbImagesPDA; ++k)
        if (p.images[k] == PointRestaurationPDA::Image::Gardee
            && EmpreinteFichier(QDir(p.dossier).filePath(NomImagePDA(k))) != p.empreintes[k])
            return false;
    bool ok = true;
    for (int k = 0; k < kNbImagesPDA; ++k) {
        const QString cheminCE = CheminImageCE(k);
        switch (p.images[k]) {
        case PointRestaurationPDA::Image::Intacte: break;
        case PointRestaurationPDA::Image::Gardee:
            ok = CopieVersCE(rapi, cheminCE, QDir(p.dossier).filePath(NomImagePDA(k))) && ok;
            break;
        case PointRestaurationPDA::Image::Absente:
            ok = (!ExisteFichierCE(rapi, cheminCE) || rapi.CeDeleteFile(versCE(cheminCE))) && ok;
            break;
        }
    }
    const EtatARestaurer e = EtatPourRestauration(p.etat, rapi.numeroSession());
    return RestaureCouleursCE(rapi, e.etat, e.baseHue, e.dpi) && ok;
}

bool SupprimePointRestauration(const PointRestaurationPDA &p)
{
    if (p.dossier.isEmpty())
        return false;
    // The record first: a folder left half deleted is no restore point.
    QDir dossier(p.dossier);
    if (!QFile::remove(dossier.filePath(QLatin1String(kFichierPointPDA))))
        return false;
    dossier.removeRecursively();
    QDir parent = QFileInfo(p.dossier).dir();
    parent.rmdir(parent.absolutePath()); // only when empty
    return true;
}

bool ProposeRestaurationPDA(const QString &dossierAppli, LienRapi &rapi, Prompts &prompts)
{
    const PointsEnAttente attente = PointsRestaurationEnAttente(dossierAppli);
    for (const auto &[dossier, raison] : attente.illisibles)
        prompts.message(QStringLiteral("A restore point of a device cannot be read (%1):\n%2\n\nNothing of it was "
                                       "written to the device. Delete that folder once you no longer need it.")
                            .arg(raison, QDir::toNativeSeparators(dossier)),
                        kTitre, Prompts::Icon::Warning);
    if (attente.points.isEmpty())
        return false;
    const IdentiteCE identite = LitIdentiteCE(rapi);
    const PointRestaurationPDA *point = nullptr;
    for (const PointRestaurationPDA &p : attente.points)
        if (identite.lue && p.identite == identite) {
            point = &p;
            break;
        }
    if (!point)
        return false;
    const Prompts::Answer r = prompts.question(
        QStringLiteral("The device connected still shows the live preview of the hue calculator begun on %1: the "
                       "program ended before it could put the device back.\n\nPut the device back as it was before "
                       "the preview?\n(Yes: it is put back. No: it keeps the preview, and what it held before is "
                       "forgotten. Cancel: nothing changes, and you are asked again.)")
            .arg(point->cree),
        kTitre, Prompts::Buttons::YesNoCancel, Prompts::Icon::Warning);
    if (r == Prompts::Answer::No) {
        SupprimePointRestauration(*point);
        return false;
    }
    if (r != Prompts::Answer::Yes)
        return true;
    if (AppliquePointRestauration(rapi, *point) && SupprimePointRestauration(*point)) {
        prompts.message(QStringLiteral("The device was put back as it was before the preview."), kTitre,
                        Prompts::Icon::Information);
        return false;
    }
    prompts.message(QStringLiteral("The device could not be put back entirely. What it held before the preview "
                                   "stays kept in:\n%1\n\nIt is offered again at the device's next connection.")
                        .arg(QDir::toNativeSeparators(point->dossier)),
                    kTitre, Prompts::Icon::Warning);
    return true;
}
