#include "theme/ini_file.h"

#include "theme/cp1252.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"

#include <QFile>
#include <QStringDecoder>

#include <cctype>
#include <climits>

IniFile::IniFile(const QString &path)
{
    if (const auto octets = LitFichierOrdinaire(path, TailleMax))
        *this = fromBytes(*octets);
}

IniFile::Encoding IniFile::detectEncoding(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? Encoding::Windows1252 : Encoding::Utf8;
}

QString IniFile::decode(QByteArrayView bytes, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? QString::fromUtf8(bytes) : cp1252::decode(bytes);
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    return fromBytes(bytes, detectEncoding(bytes));
}

IniFile IniFile::fromBytes(const QByteArray &bytes, Encoding encoding)
{
    IniFile ini;
    ini.m_encoding = encoding;
    QString text = decode(bytes, encoding);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ini.m_lines = text.split(QLatin1Char('\n'));
    if (!ini.m_lines.isEmpty() && ini.m_lines.last().isEmpty())
        ini.m_lines.removeLast();
    return ini;
}

QByteArray IniFile::toBytes() const
{
    QString text;
    for (const QString &line : m_lines)
        text += line + QLatin1String("\r\n");
    // Windows-1252 bytes that happen to be valid UTF-8 ("Ã©") would read
    // back as other text ("é"): such a file is written in UTF-8.
    if (auto bytes = cp1252::encode(text); bytes && decode(*bytes, detectEncoding(*bytes)) == text)
        return *bytes;
    return text.toUtf8();
}

bool IniFile::save(const QString &path)
{
    if (!EcritFichierAtomique(path, toBytes(), &m_error))
        return false;
    m_error.clear();
    return true;
}

bool IniFile::sectionName(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool IniFile::keyLine(const QString &line, QString *key, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('[')))
        return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value) {
        QString v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\''))
            && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return !key->isEmpty();
}

int IniFile::findSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (sectionName(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    QString name;
    int i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines[i], &name))
        ++i;
    return i;
}

int IniFile::findKey(int header, const QString &key) const
{
    QString k;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (keyLine(m_lines[i], &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(section) >= 0;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const int h = findSection(section);
    return h >= 0 && findKey(h, key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList out;
    QString name;
    for (const QString &line : m_lines)
        if (sectionName(line, &name))
            out << name;
    return out;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    QString k;
    const int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i)
        if (keyLine(m_lines[i], &k, nullptr))
            out << k;
    return out;
}

QList<std::pair<QString, QString>> IniFile::entries(const QString &section) const
{
    QList<std::pair<QString, QString>> out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    QString k, v, name;
    for (int i = h + 1; i < m_lines.size() && !sectionName(m_lines[i], &name); ++i)
        if (keyLine(m_lines[i], &k, &v))
            out.append({k, v});
    return out;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int h = findSection(section);
    if (h < 0)
        return def;
    const int i = findKey(h, key);
    if (i < 0)
        return def;
    QString k, v;
    keyLine(m_lines[i], &k, &v);
    return v;
}

std::optional<int> IniFile::parseInteger(const QString &text)
{
    QString t = text.trimmed();
    bool neg = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        neg = t.front() == QLatin1Char('-');
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (base == 10 ? !c.isDigit() : !isxdigit(c.toLatin1()))
            return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong s = neg ? -v : v;
    // Hexadecimal texts name the 32 bits ($FFFFFFFF is -1); decimal must fit.
    if (base == 16 && v <= 0xFFFFFFFFLL)
        return int(uint32_t(s));
    if (s < INT_MIN || s > INT_MAX)
        return std::nullopt;
    return int(s);
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    return parseInteger(readString(section, key)).value_or(def);
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QLatin1Char('=') + value;
    int h = findSection(section);
    if (h < 0) {
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    const int i = findKey(h, key);
    if (i >= 0) {
        m_lines[i] = line;
        return;
    }
    // After the section's last non-blank line, like the Windows writer.
    int end = sectionEnd(h);
    while (end - 1 > h && m_lines[end - 1].trimmed().isEmpty())
        --end;
    m_lines.insert(end, line);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::eraseSection(const QString &section)
{
    const int h = findSection(section);
    if (h >= 0)
        m_lines.erase(m_lines.begin() + h, m_lines.begin() + sectionEnd(h));
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    const int h = findSection(section);
    if (h < 0)
        return;
    const int i = findKey(h, key);
    if (i >= 0)
        m_lines.removeAt(i);
}
