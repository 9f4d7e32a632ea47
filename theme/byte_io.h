#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// Little-endian reading of untrusted bytes. Every read is checked against what
// is left; a read that does not fit fails, leaves the position unchanged and
// marks the reader failed, so a parser can check once at the end.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    qsizetype size() const { return m_data.size(); }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool failed() const { return m_failed; }

    bool seek(qsizetype pos);
    bool skip(qsizetype n);

    std::optional<uint8_t> u8();
    std::optional<uint16_t> u16();
    std::optional<uint32_t> u32();
    std::optional<int32_t> i32();
    // n bytes from the current position; fails when fewer are left or n < 0.
    std::optional<QByteArray> bytes(qsizetype n);

    // The same reads at an absolute offset, without moving.
    std::optional<uint16_t> u16At(qsizetype offset) const;
    std::optional<uint32_t> u32At(qsizetype offset) const;
    std::optional<QByteArray> bytesAt(qsizetype offset, qsizetype n) const;

private:
    bool fits(qsizetype offset, qsizetype n) const
    {
        return offset >= 0 && n >= 0 && offset <= m_data.size() && n <= m_data.size() - offset;
    }
    std::optional<uint32_t> readLE(int width);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// Little-endian writing into a growing buffer.
class ByteWriter
{
public:
    void u8(uint8_t v) { m_data.append(char(v)); }
    void u16(uint16_t v);
    void u32(uint32_t v);
    void bytes(QByteArrayView b) { m_data.append(b.data(), b.size()); }
    void zeros(qsizetype n) { m_data.append(n, '\0'); }
    // Overwrites 2 or 4 bytes already written (for counts and offsets known later).
    void patchU16(qsizetype offset, uint16_t v);
    void patchU32(qsizetype offset, uint32_t v);

    qsizetype size() const { return m_data.size(); }
    const QByteArray &data() const { return m_data; }
    QByteArray take() { return std::move(m_data); }

private:
    QByteArray m_data;
};
