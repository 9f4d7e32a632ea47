#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// A Windows profile (INI) file: section and key names match without regard
// to case, values are the raw text after "=" to the end of the line (commas
// and semicolons kept, surrounding blanks and one pair of quotes removed),
// the first occurrence of a key wins, and every line the program does not
// change is written back as it was, with CR LF line ends.
//
// A file is read as UTF-8 when the whole file is valid UTF-8, else as
// Windows-1252 (detectEncoding), and that one decoding holds for every line
// of it. Files are written in Windows-1252 when every character fits and
// those bytes read back as the same text, else in UTF-8, so files written by
// the Windows tools read back and no path is ever lost.
class IniFile
{
public:
    enum class Encoding { Utf8, Windows1252 };

    IniFile() = default;
    // The largest file read by name: an INI file of this program holds a few
    // kilobytes; anything far larger is no such file and is not read whole.
    static constexpr qint64 TailleMax = 4 * 1024 * 1024;

    // Reads path; a missing or unreadable file, or one larger than TailleMax,
    // gives an empty document.
    explicit IniFile(const QString &path);

    static IniFile fromBytes(const QByteArray &bytes);
    // The bytes read as a file of that encoding would be (a line of a file
    // whose encoding is known).
    static IniFile fromBytes(const QByteArray &bytes, Encoding encoding);
    QByteArray toBytes() const;

    // How a file of these bytes is read: UTF-8 when they are valid UTF-8,
    // else Windows-1252. A valid file stays valid when whole lines of ASCII
    // are added to it, and each of its lines is valid alone.
    static Encoding detectEncoding(QByteArrayView bytes);
    static QString decode(QByteArrayView bytes, Encoding encoding);
    // The encoding the document was read with.
    Encoding encoding() const { return m_encoding; }

    // Writes the document to path atomically (a temporary file renamed into
    // place). On failure returns false and leaves errorString() set.
    bool save(const QString &path);
    QString errorString() const { return m_error; }

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    // Key names of a section in file order (lines without "=" and comment lines are not keys).
    QStringList keys(const QString &section) const;
    // Every key of a section with its value, in file order, in one pass over
    // the file (a key that comes twice is there twice; readString gives the
    // first). For a section of many keys: each readString scans the section.
    QList<std::pair<QString, QString>> entries(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    // Decimal, "$" or "0x" hexadecimal; def when missing or not a number.
    int readInteger(const QString &section, const QString &key, int def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    void eraseSection(const QString &section);
    void deleteKey(const QString &section, const QString &key);

    // Parses the text of an integer the way the profile readers do.
    static std::optional<int> parseInteger(const QString &text);

private:
    // Index of the section header line, or -1.
    int findSection(const QString &section) const;
    // Index of the key's line within the section starting at header, or -1.
    int findKey(int header, const QString &key) const;
    // One past the last line belonging to the section starting at header.
    int sectionEnd(int header) const;
    static bool sectionName(const QString &line, QString *name);
    static bool keyLine(const QString &line, QString *key, QString *value);

    QStringList m_lines;
    QString m_error;
    Encoding m_encoding = Encoding::Utf8;
};
