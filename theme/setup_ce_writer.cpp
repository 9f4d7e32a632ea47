#include "theme/setup_ce_writer.h"

#include "theme/byte_io.h"
#include "theme/controle_noms.h"
#include "theme/cp1252.h"
#include "theme/images_package.h"
#include "theme/theme_document.h"
#include "theme/valeurs_cles_theme.h"

#include <QDir>
#include "theme/ecriture_atomique.h"

namespace {

constexpr uint16_t NbDossiers = 2;
constexpr uint16_t DossierWindows = 2; // directory record of "%CE2%"
constexpr uint16_t RacineHKLM = 3;
constexpr uint16_t RacineHKCU = 2;
constexpr uint16_t RucheCouleurs = 1; // HKLM\Software\Microsoft\Color
constexpr uint16_t RucheToday = 2;    // HKCU\Software\Microsoft\Today
constexpr uint16_t RucheTheme = 3;    // HKCU\Software\Microsoft\Today\<theme>.tsk
const QByteArray Fournisseur("Pelorin", 8);                     // with its zero byte
const QByteArray PlateformesExclues("HPC\0JUPITER\0\0", 13);

// One section of records, counted as it is built.
struct Section
{
    ByteWriter octets;
    uint16_t nombre = 0;
};

void ajouteChaine(Section &s, uint16_t id, const QByteArray &texte)
{
    s.octets.u16(id);
    s.octets.u16(uint16_t(texte.size() + 1));
    s.octets.bytes(texte);
    s.octets.u8(0);
    ++s.nombre;
}

void ajouteRuche(Section &s, uint16_t id, uint16_t racine, std::initializer_list<uint16_t> chaines)
{
    s.octets.u16(id);
    s.octets.u16(racine);
    s.octets.u16(0);
    s.octets.u16(uint16_t((chaines.size() + 1) * 2));
    for (uint16_t c : chaines)
        s.octets.u16(c);
    s.octets.u16(0);
    ++s.nombre;
}

void ajouteCle(Section &s, uint16_t ruche, uint32_t flags, const QByteArray &nom, uint32_t valeur)
{
    s.octets.u16(uint16_t(s.nombre + 1));
    s.octets.u16(ruche);
    s.octets.u16(0);
    s.octets.u32(flags);
    s.octets.u16(uint16_t(nom.size() + 1 + 4));
    s.octets.bytes(nom);
    s.octets.u8(0);
    s.octets.u32(valeur);
    ++s.nombre;
}

// The file records: the portrait and landscape sets list Start before Today.
void ajouteFichiers(Section &s, int formatTheme, bool startSeul)
{
    const std::vector<ImagePackage> images = ImagesPackage(formatTheme, startSeul);
    std::vector<ImagePackage> ordre;
    for (const ImagePackage &im : images)
        if (!im.today)
            ordre.push_back(im);
    for (const ImagePackage &im : images)
        if (im.today)
            ordre.push_back(im);
    if (!FormatImages::deuxOrientations(formatTheme))
        ordre = images;
    for (const ImagePackage &im : ordre) {
        const QByteArray nom = im.nomImage.toLatin1();
        s.octets.u16(uint16_t(im.idFichier));
        s.octets.u16(DossierWindows);
        s.octets.u16(uint16_t(s.nombre + 1));
        s.octets.u32(SetupCE::FlagsFichier);
        s.octets.u16(uint16_t(nom.size() + 1));
        s.octets.bytes(nom);
        s.octets.u8(0);
        ++s.nombre;
    }
}

// The bytes of a name as near as the file allows: "?" for a character
// Windows-1252 lacks and for a control character, which would end the string.
QByteArray approche(const QString &nom)
{
    QByteArray octets = cp1252::encodeLossy(nom);
    for (char &c : octets)
        if (uchar(c) < 0x20)
            c = '?';
    return octets;
}

void signale(QString *erreur, const QString &texte)
{
    if (erreur)
        *erreur = texte;
}

} // namespace

std::optional<QByteArray> ConstruitFichier000(const ThemeDocument &doc, const QString &nomApplication,
                                              const QString &nomTheme, QString *erreur, NomsSetupCE noms)
{
    const ParametresWM5 &p = doc.parametres();
    const bool today = p.DPIDefini || p.UseStartImageDefini;
    const bool valeursTheme = p.ClesThemeDefinies;

    QByteArray application;
    QByteArray cleTheme;
    if (noms == NomsSetupCE::Exacts) {
        QString message = ControleNoms::nomApplication(nomApplication);
        if (message.isEmpty() && valeursTheme)
            message = ControleNoms::nomTheme(nomTheme);
        if (!message.isEmpty()) {
            signale(erreur, message);
            return std::nullopt;
        }
        application = cp1252::encode(nomApplication).value();
        if (valeursTheme)
            cleTheme = cp1252::encode(nomTheme + QStringLiteral(".tsk")).value();
    } else {
        application = approche(nomApplication).left(ControleNoms::LongueurMax);
        cleTheme = approche(nomTheme + QStringLiteral(".tsk"));
    }

    Section chaines;
    ajouteChaine(chaines, 1, "%CE2%");
    ajouteChaine(chaines, 2, "%CE2%");
    ajouteChaine(chaines, 3, "Software");
    ajouteChaine(chaines, 4, "Microsoft");
    ajouteChaine(chaines, 5, "Color");
    if (today || valeursTheme)
        ajouteChaine(chaines, 6, "Today");
    if (valeursTheme)
        ajouteChaine(chaines, 7, cleTheme);

    ByteWriter dossiers;
    for (uint16_t id : {uint16_t(2), uint16_t(1)}) {
        dossiers.u16(id);
        dossiers.u16(4);
        dossiers.u16(id); // directory n is string n
        dossiers.u16(0);
    }

    Section fichiers;
    ajouteFichiers(fichiers, doc.format().FormatTheme, p.UseStartImageDefini);

    Section ruches;
    ajouteRuche(ruches, RucheCouleurs, RacineHKLM, {3, 4, 5});
    if (today)
        ajouteRuche(ruches, RucheToday, RacineHKCU, {3, 4, 6});
    if (valeursTheme)
        ajouteRuche(ruches, RucheTheme, RacineHKCU, {3, 4, 6, 7});

    Section cles;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        if (doc.slot(i).inclus)
            ajouteCle(cles, RucheCouleurs, ValeurCleTheme::FlagsBinaire,
                      QByteArray::number(JeuCouleurs::NumerosCouleurs[i]), doc.slot(i).couleur.value());
    if (p.Coul34Definie)
        ajouteCle(cles, RucheCouleurs, ValeurCleTheme::FlagsBinaire, "34", p.Coul34.value());
    if (p.BaseHueDefini)
        ajouteCle(cles, RucheCouleurs, ValeurCleTheme::FlagsDword, "BaseHue", uint32_t(p.ValBaseHue));
    if (p.DPIDefini)
        ajouteCle(cles, RucheToday, ValeurCleTheme::FlagsDword, "DPI", uint32_t(p.ValDPI));
    if (p.UseStartImageDefini)
        ajouteCle(cles, RucheToday, ValeurCleTheme::FlagsDword, "UseStartImage", uint32_t(p.ValUseStartImage));
    if (valeursTheme)
        for (const ValeurCleTheme &v : ValeursClesTheme(doc.clesTheme()))
            ajouteCle(cles, RucheTheme, v.flagsCE, v.nom.toLatin1(), v.valeur);

    const uint32_t longueurApplication = uint32_t(application.size() + 1);
    const uint32_t posChaines = SetupCE::TailleEntete + longueurApplication + Fournisseur.size()
                                + PlateformesExclues.size();
    const uint32_t posDossiers = posChaines + uint32_t(chaines.octets.size());
    const uint32_t posFichiers = posDossiers + uint32_t(dossiers.size());
    const uint32_t posRuches = posFichiers + uint32_t(fichiers.octets.size());
    const uint32_t posCles = posRuches + uint32_t(ruches.octets.size());
    const uint32_t longueur = posCles + uint32_t(cles.octets.size());

    using namespace SetupCE;
    ByteWriter f;
    Q_ASSERT(f.size() == OffSignature);
    f.bytes("MSCE");
    f.u32(0);
    Q_ASSERT(f.size() == OffLongueur);
    f.u32(longueur);
    f.u32(0);
    f.u32(1);
    Q_ASSERT(f.size() == OffProcesseur);
    f.u32(TypeProcesseur);
    Q_ASSERT(f.size() == OffVersionMinMaj);
    f.u32(3);   // minimum CE version 3.0
    f.u32(0);
    f.u32(100); // maximum CE version 100.0
    f.u32(0);
    Q_ASSERT(f.size() == OffBuildMin);
    f.u32(0);   // minimum and maximum build
    f.u32(0);
    Q_ASSERT(f.size() == posNombre(Chaines));
    f.u16(chaines.nombre);
    f.u16(NbDossiers);
    f.u16(fichiers.nombre);
    f.u16(ruches.nombre);
    f.u16(cles.nombre);
    f.u16(0); // no links
    Q_ASSERT(f.size() == posOffset(Chaines));
    f.u32(posChaines);
    f.u32(posDossiers);
    f.u32(posFichiers);
    f.u32(posRuches);
    f.u32(posCles);
    f.u32(longueur); // the (empty) link records end the file
    Q_ASSERT(f.size() == OffNomApplication);
    f.u16(TailleEntete);
    f.u16(uint16_t(longueurApplication));
    Q_ASSERT(f.size() == OffFournisseur);
    f.u16(uint16_t(TailleEntete + longueurApplication));
    f.u16(uint16_t(Fournisseur.size()));
    Q_ASSERT(f.size() == OffPlateformes);
    f.u16(uint16_t(TailleEntete + longueurApplication + Fournisseur.size()));
    f.u16(uint16_t(PlateformesExclues.size()));
    f.u32(0);
    Q_ASSERT(f.size() == TailleEntete);
    f.bytes(application);
    f.u8(0);
    f.bytes(Fournisseur);
    f.bytes(PlateformesExclues);
    f.bytes(chaines.octets.data());
    f.bytes(dossiers.data());
    f.bytes(fichiers.octets.data());
    f.bytes(ruches.octets.data());
    f.bytes(cles.octets.data());
    Q_ASSERT(f.size() == qsizetype(longueur));
    return f.take();
}

bool EcritFichier000(const ThemeDocument &doc, const QString &nomApplication, const QString &nomBase,
                     const QString &nomTheme, const QString &dossier, QString *erreur, NomsSetupCE noms)
{
    const auto octets = ConstruitFichier000(doc, nomApplication, nomTheme, erreur, noms);
    if (!octets)
        return false;
    const QString chemin = QDir(dossier).filePath(nomBase + QStringLiteral("~1.000"));
    QString raison;
    if (!EcritFichierAtomique(chemin, *octets, &raison)) {
        signale(erreur, QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(chemin)), raison));
        return false;
    }
    return true;
}
