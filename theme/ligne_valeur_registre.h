#pragma once

#include <QString>

#include <optional>

// One registry value held as a text line, as ClesTheme and the read-side
// value lists keep them: name TAB text TAB TAB type. The type is the decimal
// registry record flags with bit 1 cleared: 0 string, 1 binary, 65536
// multi-string, 65537 DWORD. A DWORD's text is its 8 hexadecimal digits, most
// significant first; binary data is two digits per byte in stored order (a
// colour reads RRGGBB00).
struct LigneValeurRegistre
{
    static constexpr int TypeChaine = 0;
    static constexpr int TypeBinaire = 1;
    static constexpr int TypeMultiChaine = 65536;
    static constexpr int TypeDword = 65537;

    QString nom;
    QString texte;
    int type = TypeBinaire;

    // Splits at the first TAB (the name) and the first TAB TAB (the text lies
    // between them); the type is what follows the TAB TAB. Empty when the line
    // has no TAB TAB or its type is not a number.
    static std::optional<LigneValeurRegistre> lire(const QString &ligne);
    QString ecrire() const;

    static LigneValeurRegistre dword(const QString &nom, uint32_t valeur);
    static LigneValeurRegistre binaire(const QString &nom, const QByteArray &octets);

    // The DWORD value of the text (8 hex digits); empty when not hexadecimal.
    std::optional<uint32_t> valeurDword() const;
    // The bytes of a binary text; empty when its length is odd or a digit is not hexadecimal.
    std::optional<QByteArray> octets() const;

    bool operator==(const LigneValeurRegistre &) const = default;
};
