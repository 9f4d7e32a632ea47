#include "tools/sauvegarde_pda.h"

#include "theme/ecriture_atomique.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

QByteArray octetsHexa(const QByteArray &octets)
{
    QByteArray t;
    for (qsizetype i = 0; i < octets.size(); ++i) {
        if (i > 0)
            t += ',';
        t += QByteArray::number(uchar(octets[i]), 16).rightJustified(2, '0');
    }
    return t;
}

// One line of a value as stored, or its deletion; nothing for a value the
// device would not give.
QByteArray ligneValeur(const QString &nom, const ValeurCouleurCE &v)
{
    const QByteArray debut = '"' + nom.toLatin1() + "\"=";
    switch (v.etat) {
    case ValeurCouleurCE::Absente: return debut + "-\r\n";
    case ValeurCouleurCE::Illisible: return {};
    case ValeurCouleurCE::Lue: break;
    }
    if (v.type == OVD_REG_DWORD && v.octets.size() == 4)
        return debut + "dword:" + QByteArray::number(v.valeur(), 16).rightJustified(8, '0') + "\r\n";
    if (v.type == OVD_REG_BINARY)
        return debut + "hex:" + octetsHexa(v.octets) + "\r\n";
    return debut + "hex(" + QByteArray::number(uint(v.type), 16) + "):" + octetsHexa(v.octets) + "\r\n";
}

} // namespace

QByteArray TexteRegRestauration(const EtatCouleursCE &etat, const QStringList &aSupprimer)
{
    QByteArray t = "REGEDIT4\r\n\r\n";
    t += "; The device's values before the live preview of the hue calculator.\r\n";
    for (const QString &f : aSupprimer)
        t += "; " + f.toLatin1() + " was added by the preview: delete it.\r\n";
    t += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color]\r\n";
    t += ligneValeur(QStringLiteral("BaseHue"), etat.baseHue);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        t += ligneValeur(QString::number(JeuCouleurs::NumerosCouleurs[i]), etat.valeurs[i]);
    t += "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Today]\r\n";
    t += ligneValeur(QStringLiteral("DPI"), etat.dpi);
    return t;
}

QString GardeEtatPDA(const QString &dossierAppli, const QList<ImageGardee> &images, const EtatCouleursCE *etat,
                     const QStringList &aSupprimer, QString *raison)
{
    const QDir parent(QDir(dossierAppli).filePath(QLatin1String(kDossierSauvegardesPDA)));
    const QString base = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString dossier = parent.filePath(base);
    for (int n = 2; QFileInfo::exists(dossier) || QFileInfo(dossier).isSymLink(); ++n)
        dossier = parent.filePath(base + QStringLiteral(" (%1)").arg(n));
    QString erreur;
    const auto echec = [&](const QString &texte) {
        QDir(dossier).removeRecursively();
        if (raison)
            *raison = texte;
        return QString();
    };
    if (!QDir().mkpath(dossier))
        return echec(QStringLiteral("Cannot create the folder %1.").arg(dossier));
    for (const ImageGardee &im : images) {
        if (!CopieFichierAtomique(im.copie, QDir(dossier).filePath(im.nom), &erreur))
            return echec(erreur);
    }
    if (etat && !EcritFichierAtomique(QDir(dossier).filePath(QLatin1String(kFichierRegPDA)),
                                      TexteRegRestauration(*etat, aSupprimer), &erreur))
        return echec(erreur);
    return dossier;
}
