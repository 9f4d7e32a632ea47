#include "resources/artgen/artwork.h"
#include "resources/artgen/art_apercu.h"
#include "resources/artgen/art_apparence.h"
#include "resources/artgen/art_apropos.h"
#include "resources/artgen/art_appareil.h"
#include "resources/artgen/art_arbre.h"
#include "resources/artgen/art_boutons.h"
#include "resources/artgen/art_demarrage.h"
#include "resources/artgen/art_dialogue.h"
#include "resources/artgen/art_etat.h"
#include "resources/artgen/art_fenetre.h"
#include "resources/artgen/art_outils.h"
#include "resources/artgen/art_skins.h"

#include <QImage>
#include <QPainter>

namespace {

bool writeAppIcon(const QString &path)
{
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x12, 0x57, 0xB1));
    p.setPen(QPen(QColor(0x2E, 0x97, 0xE3), 3));
    p.drawRoundedRect(QRectF(10, 4, 44, 56), 6, 6);
    p.setBrush(QColor(0xB8, 0xE8, 0xFF));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(15, 10, 34, 40));
    p.end();
    return img.save(path, "PNG");
}

} // namespace

std::vector<ArtworkItem> artworkItems()
{
    std::vector<ArtworkItem> items = {
        {QStringLiteral("orvandel.png"), writeAppIcon},
        {QStringLiteral("points.gif"), writePointsGif},
        {QStringLiteral("coulin.png"), writeCoulIn},
        {QStringLiteral("coulout.png"), writeCoulOut},
        {QStringLiteral("liretsk.png"), writeLireTsk},
        {QStringLiteral("ecriretsk.png"), writeEcrireTsk},
        {QStringLiteral("infxml.png"), writeInfXml},
        {QStringLiteral("inftextico.png"), writeInfTextIco},
        {QStringLiteral("pipette.png"), writePipette},
        artApercu("133.bmp"),
        artApercu("135.bmp"),
        artApercu("136.bmp"),
        artApercu("137.bmp"),
        artApercu("139.bmp"),
        artApercu("140.bmp"),
        artApercu("153.bmp"),
        artApercu("154.bmp"),
        artApercu("158.bmp"),
        artApercu("159.bmp"),
        artApercu("161.bmp"),
        artApercu("162.bmp"),
        artApercu("163.bmp"),
        artApercu("164.bmp"),
        artApercu("177.bmp"),
        artApercu("194.bmp"),
        artApercu("199.bmp"),
        artApercu("200.bmp"),
        artApercu("201.bmp"),
        artApercu("206.bmp"),
        artApercu("300.bmp"),
        artApercu("NLMESS.bmp"),
        artApercu("CRITMESS.bmp"),
        {QStringLiteral("as16img.png"), writeAs16Img},
        {QStringLiteral("feurouge.png"), writeFeuRouge},
        {QStringLiteral("feuvert.png"), writeFeuVert},
        {QStringLiteral("coche.png"), writeCoche},
        {QStringLiteral("cochenon.png"), writeCocheNon},
        {QStringLiteral("wm5.png"), writeWm5},
        {QStringLiteral("uneligneimg.png"), writeUneLigneImg},
        {QStringLiteral("switch_off.png"), writeSwitchOff},
        {QStringLiteral("switch_on.png"), writeSwitchOn},
        {QStringLiteral("logo_zantiq.png"), writeLogoZantiq},
        {QStringLiteral("filigrane_zantiq.jpg"), writeFiligraneZantiq},
        {QStringLiteral("drapeau_fr.png"), writeDrapeauFr},
        {QStringLiteral("drapeau_en.png"), writeDrapeauEn},
        {QStringLiteral("drapeau_it.png"), writeDrapeauIt},
        {QStringLiteral("drapeau_es.png"), writeDrapeauEs},
        {QStringLiteral("drapeau_de.png"), writeDrapeauDe},
        {QStringLiteral("unelignearbreun.png"), writeUneLigneArbre},
        {QStringLiteral("arbreexp.png"), writeArbreExp},
        {QStringLiteral("arbreval.png"), writeArbreVal},
        {QStringLiteral("arbrevalgris.png"), writeArbreValGris},
        {QStringLiteral("arbrequit.png"), writeArbreQuit},
        {QStringLiteral("interdit.png"), writeInterdit},
        {QStringLiteral("tskarbre.png"), writeTskArbre},
        {QStringLiteral("tskas.png"), writeTskAs},
        {QStringLiteral("tskact.png"), writeTskAct},
        {QStringLiteral("tskimg.png"), writeTskImg},
    };
    for (ArtworkItem &item : artDialogueOuverture())
        items.push_back(std::move(item));
    for (ArtworkItem &item : artSkins())
        items.push_back(std::move(item));
    for (ArtworkItem &item : artApparence())
        items.push_back(std::move(item));
    for (ArtworkItem &item : artFenetrePrincipale())
        items.push_back(std::move(item));
    for (ArtworkItem &item : artOutils())
        items.push_back(std::move(item));
    return items;
}
