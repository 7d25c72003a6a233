#pragma once

#include <QByteArray>
#include <QString>

// A fixed-capacity little-endian image under construction. Every put checks
// its bounds: nothing is ever written past a field or past the buffer; a put
// that does not fit is dropped and remembered as an overflow.
class ImageBuffer
{
public:
    explicit ImageBuffer(qsizetype capacity) : m_bytes(capacity, '\0') {}

    qsizetype capacity() const { return m_bytes.size(); }
    bool overflowed() const { return m_overflow; }
    const QByteArray& bytes() const { return m_bytes; }
    QByteArray left(qsizetype n) const { return m_bytes.left(n); }

    void putU8(qsizetype at, quint32 v) { putLE(at, v, 1); }
    void putU16(qsizetype at, quint32 v) { putLE(at, v, 2); }
    void putU32(qsizetype at, quint32 v) { putLE(at, v, 4); }
    void putBytes(qsizetype at, const QByteArray& b)
    {
        if (!fits(at, b.size()))
            return;
        for (qsizetype i = 0; i < b.size(); ++i)
            m_bytes[at + i] = b[i];
    }
    // A text, one byte per character (its low 8 bits), cut at the field's size.
    void putText(qsizetype at, const QString& text, qsizetype fieldSize)
    {
        const qsizetype n = qMin(text.size(), fieldSize);
        for (qsizetype i = 0; i < n; ++i)
            putU8(at + i, text.at(i).unicode() & 0xFF);
    }
    quint8 u8(qsizetype at) const { return at >= 0 && at < m_bytes.size() ? quint8(m_bytes[at]) : 0; }

private:
    bool fits(qsizetype at, qsizetype n)
    {
        if (at < 0 || n < 0 || at > m_bytes.size() - n) {
            m_overflow = true;
            return false;
        }
        return true;
    }
    void putLE(qsizetype at, quint32 v, int n)
    {
        if (!fits(at, n))
            return;
        for (int i = 0; i < n; ++i)
            m_bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    }

    QByteArray m_bytes;
    bool m_overflow = false;
};
