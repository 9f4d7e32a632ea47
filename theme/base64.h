#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Base64 (RFC 4648 alphabet, "=" padding) as the setup XML documents carry
// binary registry values.
class TBase64
{
public:
    // Result codes of Decode: 0 done, 2 a character outside the alphabet,
    // 3 a length that is not a multiple of 4, 4 padding before the end,
    // 5 a lone "=" in third place.
    enum : uint8_t { Ok = 0, CaractereInvalide = 2, LongueurInvalide = 3, RemplissageAvantFin = 4,
                     RemplissageIncomplet = 5 };

    // With the filter on (the default), every character that is neither in
    // the alphabet nor "=" is dropped first (line breaks, blanks).
    bool FiltreActif = true;

    // On a non-zero result, output holds the bytes decoded before the fault.
    uint8_t Decode(const QString &input, QByteArray &output) const;

private:
    static std::optional<int> ValeurCaractere(QChar c);
    static QString FiltreCaracteres(const QString &text);
};

// Decodes with the filter on; returns true when decoding FAILED (output then
// holds the bytes decoded before the fault).
bool DecoderBase64(const QString &input, QByteArray &output);
