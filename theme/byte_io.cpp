#include "theme/byte_io.h"

#include <QtGlobal>

bool ByteReader::seek(qsizetype pos)
{
    if (pos < 0 || pos > m_data.size()) {
        m_failed = true;
        return false;
    }
    m_pos = pos;
    return true;
}

bool ByteReader::skip(qsizetype n)
{
    if (!fits(m_pos, n)) {
        m_failed = true;
        return false;
    }
    m_pos += n;
    return true;
}

std::optional<uint32_t> ByteReader::readLE(int width)
{
    if (!fits(m_pos, width)) {
        m_failed = true;
        return std::nullopt;
    }
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(m_data[m_pos + i]);
    m_pos += width;
    return v;
}

std::optional<uint8_t> ByteReader::u8()
{
    auto v = readLE(1);
    return v ? std::optional<uint8_t>(uint8_t(*v)) : std::nullopt;
}

std::optional<uint16_t> ByteReader::u16()
{
    auto v = readLE(2);
    return v ? std::optional<uint16_t>(uint16_t(*v)) : std::nullopt;
}

std::optional<uint32_t> ByteReader::u32()
{
    return readLE(4);
}

std::optional<int32_t> ByteReader::i32()
{
    auto v = readLE(4);
    return v ? std::optional<int32_t>(int32_t(*v)) : std::nullopt;
}

std::optional<QByteArray> ByteReader::bytes(qsizetype n)
{
    if (!fits(m_pos, n)) {
        m_failed = true;
        return std::nullopt;
    }
    QByteArray out(m_data.data() + m_pos, n);
    m_pos += n;
    return out;
}

std::optional<uint16_t> ByteReader::u16At(qsizetype offset) const
{
    if (!fits(offset, 2))
        return std::nullopt;
    return uint16_t(uint8_t(m_data[offset]) | uint8_t(m_data[offset + 1]) << 8);
}

std::optional<uint32_t> ByteReader::u32At(qsizetype offset) const
{
    if (!fits(offset, 4))
        return std::nullopt;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uint8_t(m_data[offset + i]);
    return v;
}

std::optional<QByteArray> ByteReader::bytesAt(qsizetype offset, qsizetype n) const
{
    if (!fits(offset, n))
        return std::nullopt;
    return QByteArray(m_data.data() + offset, n);
}

void ByteWriter::u16(uint16_t v)
{
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
}

void ByteWriter::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        u8(uint8_t(v >> (8 * i)));
}

void ByteWriter::patchU16(qsizetype offset, uint16_t v)
{
    Q_ASSERT(offset >= 0 && offset + 2 <= m_data.size());
    m_data[offset] = char(v);
    m_data[offset + 1] = char(v >> 8);
}

void ByteWriter::patchU32(qsizetype offset, uint32_t v)
{
    Q_ASSERT(offset >= 0 && offset + 4 <= m_data.size());
    for (int i = 0; i < 4; ++i)
        m_data[offset + i] = char(v >> (8 * i));
}
