#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <optional>

// The EXIF facts the picture-open dialog shows under its thumbnail.

// The raw ASCII value of a tag of a picture file's EXIF block (any IFD),
// without its terminating zero; nothing when the file has no such tag.
std::optional<QByteArray> TagExifTexte(const QString &fichier, int tag);

// An EXIF date "yyyy:mm:dd hh:nn:ss" as "Friday 14 Jul 2006 09:05": the
// locale's long day name, the day without a leading zero, the locale's short
// month name, the year and the hours and minutes. Empty when the text is not a
// valid date (short, "0000:00:00 00:00:00"...).
QString TexteDateExif(const QByteArray &dateExif, const QLocale &locale = QLocale());

// Date taken (tag 0x9003) of a picture file, as TexteDateExif gives it; empty when none.
QString DateExif(const QString &fichier, const QLocale &locale = QLocale());
// Camera model (tag 0x0110) up to its terminating zero; empty when none.
QString ModeleExif(const QString &fichier);
