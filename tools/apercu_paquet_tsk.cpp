#include "tools/apercu_paquet_tsk.h"

#include "ui/fonctions_indep.h"
#include "theme/byte_io.h"
#include "theme/cp1252.h"
#include "theme/fichier_ordinaire.h"
#include "theme/member_name.h"
#include "theme/package_reader.h"
#include "theme/setup_ce_reader.h"
#include "theme/setup_xml_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

namespace {

bool decodeImage(const QString &fichier, ImageApercuTsk &im)
{
    QFile source;
    if (!OuvreFichierOrdinaire(source, fichier))
        return false;
    QImageReader lecteur(&source);
    lecteur.setDecideFormatFromContent(true);
    const QSize annoncee = lecteur.size();
    if (annoncee.isValid() && qint64(annoncee.width()) * annoncee.height() > PixelsImageMax)
        return false;
    const QByteArray format = lecteur.format();
    QImage image = lecteur.read();
    if (image.isNull() || qint64(image.width()) * image.height() > PixelsImageMax)
        return false;
    im.image = std::move(image);
    im.taille = annoncee.isValid() ? annoncee : im.image.size();
    im.format = format == "jpg" ? QByteArray("jpeg") : format;
    im.bits = LitInfosImage(fichier).bitsParPixel;
    return true;
}

} // namespace

QString NomApplication000(QByteArrayView setup)
{
    const ByteReader r(setup);
    const auto offset = r.u16At(SetupCE::OffNomApplication);
    const auto longueur = r.u16At(SetupCE::OffNomApplication + 2);
    QString nom;
    if (offset && longueur && *offset >= SetupCE::TailleEntete) {
        if (const auto octets = r.bytesAt(*offset, *longueur)) {
            const qsizetype nul = octets->indexOf('\0');
            nom = cp1252::decode(nul < 0 ? QByteArrayView(*octets) : QByteArrayView(*octets).first(nul));
        }
    }
    return QLatin1Char('"') + nom + QLatin1Char('"');
}

ApercuTsk LitApercuTsk(const QString &paquet, LecteurCabinet &cabinet, const QString &dossierApercu)
{
    ApercuTsk a;
    QDir().mkpath(dossierApercu);
    // A folder of our own for this one read; its destructor removes it and
    // everything extracted into it, whatever the road out.
    const QTemporaryDir brouillon(dossierApercu + QStringLiteral("/apercuTsk-XXXXXX"));
    if (!brouillon.isValid()) {
        a.etat = ApercuTsk::Etat::ErreurExtraction;
        return a;
    }

    const auto liste = cabinet.lister(paquet);
    if (!liste)
        return a;
    QStringList cles;
    QString membreSetup, membreXml;
    for (const QString &m : *liste) {
        const QString cle = cleNomMembre(m);
        // A member that could not be stored under its own name is not a theme's.
        if (!estNomMembreSur(m) || cles.contains(cle))
            return a;
        cles << cle;
        if (cle.contains(QLatin1String(".000")))
            membreSetup = m;
        if (cle.contains(QLatin1String(".xml")))
            membreXml = m;
    }
    const auto membreDuCabinet = [&](const QString &nom) -> QString {
        const qsizetype i = cles.indexOf(cleNomMembre(nom));
        return estNomMembreSur(nom) && i >= 0 ? liste->at(i) : QString();
    };
    // Each extracted member takes a name of ours, never one from the package.
    const auto extrait = [&](const QString &membre, const QString &nom, qint64 max) -> QString {
        const QString dest = brouillon.filePath(nom);
        if (!cabinet.extraire(paquet, membre, dest) || !QFileInfo(dest).isFile() || QFileInfo(dest).size() > max) {
            QFile::remove(dest);
            return {};
        }
        return dest;
    };
    const auto litSetup = [&](const QString &membre, const QString &nom) -> std::optional<QByteArray> {
        const QString fichier = extrait(membre, nom, Paquet::TailleSetupMax);
        QFile f;
        if (!OuvreFichierOrdinaire(f, fichier))
            return std::nullopt;
        const QByteArray octets = f.readAll();
        f.close();
        QFile::remove(fichier);
        return octets;
    };

    MembresImages membres;
    if (!membreSetup.isEmpty()) {
        const auto setup = litSetup(membreSetup, QStringLiteral("setup.000"));
        if (!setup) {
            a.etat = ApercuTsk::Etat::ErreurExtraction;
            return a;
        }
        const ResultatSetupCE r = LitFichierSetupCE(*setup, cles);
        a.lectureSetupCE = true;
        a.membreManquant = r.etat == ResultatSetupCE::Etat::MembreManquant;
        if (!r.accepte())
            return a;
        a.groupeFormat = r.groupeFormat;
        membres = r.membres;
        a.nomApplication = NomApplication000(*setup);
    } else if (!membreXml.isEmpty()) {
        const auto xml = litSetup(membreXml, QStringLiteral("setup.xml"));
        if (!xml) {
            a.etat = ApercuTsk::Etat::ErreurExtraction;
            return a;
        }
        const auto r = LireXmlSetup(*xml);
        if (!r)
            return a;
        a.groupeFormat = r->groupeFormat;
        membres = r->membres;
        a.nomApplication = QLatin1Char('"') + r->NomInterneLu + QLatin1Char('"');
    } else {
        return a;
    }

    const std::array<int, 4> choix = slotsImages(a.groupeFormat);
    for (int k = 0; k < 4; ++k) {
        if (choix[k] < 0 || membres[size_t(choix[k])].isEmpty())
            continue;
        // A picture the package does not hold: not a theme this dialog can show.
        const QString membre = membreDuCabinet(membres[size_t(choix[k])]);
        if (membre.isEmpty()) {
            a.membreManquant = true;
            return a;
        }
        a.images[size_t(k)].membre = membre;
        ++a.nombreImages;
    }
    if (!a.images[ApercuTsk::TodayPortrait].nomme() && !a.images[ApercuTsk::StartPortrait].nomme())
        return a;

    bool extractionRatee = false;
    for (int k = 0; k < 4; ++k) {
        ImageApercuTsk &im = a.images[size_t(k)];
        if (!im.nomme())
            continue;
        const QString fichier = extrait(im.membre, QStringLiteral("image%1").arg(k), Paquet::TailleImageMax);
        if (fichier.isEmpty()) {
            extractionRatee = true;
            continue;
        }
        if (!decodeImage(fichier, im))
            im.image = QImage();
        QFile::remove(fichier);
    }
    if (a.images[ApercuTsk::TodayPortrait].present() || a.images[ApercuTsk::StartPortrait].present())
        a.etat = ApercuTsk::Etat::Charge;
    else
        a.etat = extractionRatee ? ApercuTsk::Etat::ErreurExtraction : ApercuTsk::Etat::ErreurChargement;
    return a;
}
