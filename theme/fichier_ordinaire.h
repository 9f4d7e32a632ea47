#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Every file the program reads by name (the working pictures, the colour and
// options files, a file the user chose, what a package brought) is read only
// when it is a plain file. A named pipe, a socket or a device under such a
// name would make the reader wait for ever or never reach the end; it counts
// as a missing file. A symbolic link to a plain file is that file.
//
// Opening never waits: the name is checked before it is opened, and it is
// opened without waiting and checked again once open, so a pipe put in its
// place in between is refused too.

// When a file is refused, errno tells why (EINVAL: it is no plain file).
bool EstFichierOrdinaire(const QString &chemin);

// A read-only descriptor of the plain file chemin (close-on-exec, reads
// blocking as usual); -1 when it is none or cannot be opened.
int OuvreDescripteurOrdinaire(const QString &chemin);

// Opens f for reading on the plain file chemin; false, f closed, otherwise.
// f keeps no file name (QFile forgets it when given a descriptor).
bool OuvreFichierOrdinaire(QFile &f, const QString &chemin);

// The whole plain file, at most `maximum` bytes; nothing when it is none,
// cannot be read (errno as above, EIO when it changed while read), or is
// larger (errno EFBIG).
std::optional<QByteArray> LitFichierOrdinaire(const QString &chemin, qint64 maximum);

// The SHA-256 digest of the plain file chemin, read a block at a time, of at
// most `maximum` bytes; nothing when it is none, cannot be read or is larger
// (errno EFBIG).
std::optional<QByteArray> EmpreinteFichierOrdinaire(const QString &chemin, qint64 maximum);
