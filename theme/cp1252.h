#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Windows-1252, the code page of the files the device and the Windows tools
// write (CE setup file strings, INF text, colour-set files). Qt has no codec
// for it.
namespace cp1252 {

// The bytes of text, or nothing when a character has no Windows-1252 byte:
// text is never silently replaced.
std::optional<QByteArray> encode(const QString &text);
bool canEncode(const QString &text);

// The text as a Windows-1252 file holds it: every character it has no byte
// for (a surrogate pair counting as one) becomes "?", as Windows writes it.
QString representable(const QString &text);
// The bytes of representable(text).
QByteArray encodeLossy(const QString &text);

// Every byte decodes; the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) decode to the C1 control of the same value, as Windows does.
QString decode(QByteArrayView bytes);

// The first character that cannot be encoded, for messages; empty when none.
QString firstUnencodable(const QString &text);

} // namespace cp1252
