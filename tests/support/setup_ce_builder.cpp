#include "tests/support/setup_ce_builder.h"

#include "theme/byte_io.h"

SetupCeBuilder SetupCeBuilder::theme(const QByteArray &nomCle)
{
    SetupCeBuilder b;
    b.chaines = {{1, "%CE2%"}, {2, "%CE2%"}, {3, "Software"}, {4, "Microsoft"}, {5, "Color"}, {6, "Today"}, {7, nomCle}};
    b.reps = {{2, {2}}, {1, {1}}};
    b.ruches = {{1, 3, {3, 4, 5}}, {2, 2, {3, 4, 6}}, {3, 2, {3, 4, 6, 7}}};
    return b;
}

void SetupCeBuilder::cleDword(uint16_t ruche, const QByteArray &nom, uint32_t v)
{
    QByteArray d(4, '\0');
    for (int i = 0; i < 4; ++i)
        d[i] = char((v >> (8 * i)) & 0xFF);
    cles.push_back({ruche, 0x10001, nom, d});
}

QByteArray SetupCeBuilder::build() const
{
    ByteWriter corps; // everything after the header
    const int base = 100;
    const int offAppli = base + int(corps.size());
    if (!appli.isNull()) { corps.bytes(appli); corps.u8(0); }
    const int lenAppli = appli.isNull() ? 0 : int(appli.size()) + 1;
    const int offFourn = base + int(corps.size());
    corps.bytes(fournisseur); corps.u8(0);
    const int offPlat = base + int(corps.size());
    corps.bytes(plateformes);

    const int offChaines = base + int(corps.size());
    for (const auto &c : chaines) { corps.u16(c.id); corps.u16(uint16_t(c.texte.size() + 1)); corps.bytes(c.texte); corps.u8(0); }
    const int offReps = base + int(corps.size());
    for (const auto &d : reps) {
        corps.u16(d.id); corps.u16(uint16_t(2 * d.ids.size() + 2));
        for (auto i : d.ids) corps.u16(i);
        corps.u16(0);
    }
    const int offFichiers = base + int(corps.size());
    uint16_t numero = 0;
    for (const auto &f : fichiers) {
        corps.u16(f.id); corps.u16(f.rep); corps.u16(++numero); corps.u32(f.drapeaux);
        corps.u16(uint16_t(f.nom.size() + 1)); corps.bytes(f.nom); corps.u8(0);
    }
    const int offRuches = base + int(corps.size());
    for (const auto &h : ruches) {
        corps.u16(h.id); corps.u16(h.racine); corps.u16(0); corps.u16(uint16_t(2 * h.ids.size() + 2));
        for (auto i : h.ids) corps.u16(i);
        corps.u16(0);
    }
    const int offCles = base + int(corps.size());
    uint16_t idCle = 0;
    for (const auto &k : cles) {
        corps.u16(++idCle); corps.u16(k.ruche); corps.u16(0); corps.u32(k.drapeaux);
        corps.u16(uint16_t(k.nom.size() + 1 + k.donnees.size())); corps.bytes(k.nom); corps.u8(0); corps.bytes(k.donnees);
    }
    const int offLiens = base + int(corps.size());
    uint16_t idLien = 0;
    for (const auto &l : liens) {
        corps.u16(++idLien); corps.u16(l.rep); corps.u16(l.dossierCE); corps.u16(l.cible); corps.u16(l.typeCible);
        corps.u16(uint16_t(2 * l.ids.size() + 2));
        for (auto i : l.ids) corps.u16(i);
        corps.u16(0);
    }

    ByteWriter w;
    w.bytes(signature.left(4));
    w.u32(0);
    w.u32(uint32_t(100 + corps.size()));
    w.u32(0); w.u32(1);
    w.u32(processeur); w.u32(vMinMaj); w.u32(vMinMin); w.u32(vMaxMaj); w.u32(vMaxMin); w.u32(buildMin); w.u32(buildMax);
    w.u16(uint16_t(chaines.size())); w.u16(uint16_t(reps.size())); w.u16(uint16_t(fichiers.size()));
    w.u16(uint16_t(ruches.size())); w.u16(uint16_t(cles.size())); w.u16(uint16_t(liens.size()));
    w.u32(offChaines); w.u32(offReps); w.u32(offFichiers); w.u32(offRuches); w.u32(offCles); w.u32(offLiens);
    w.u16(uint16_t(offAppli)); w.u16(uint16_t(lenAppli));
    w.u16(uint16_t(offFourn)); w.u16(uint16_t(fournisseur.size() + 1));
    w.u16(uint16_t(offPlat)); w.u16(uint16_t(plateformes.size()));
    w.u32(0);
    w.bytes(corps.data());
    return w.take();
}

void patch16(QByteArray &b, int offset, uint16_t v)
{
    b[offset] = char(v & 0xFF);
    b[offset + 1] = char(v >> 8);
}

void patch32(QByteArray &b, int offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}
