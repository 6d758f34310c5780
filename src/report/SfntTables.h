#pragma once

#include <QByteArray>

#include <vector>

// The tables of TrueType and OpenType font files: big-endian access within a table, and a font file put
// together from tables. Reads out of range give 0 and writes out of range do nothing, as damaged fonts
// are met.
namespace report::sfnt {

inline quint16 u16(const QByteArray &t, qsizetype at)
{
    if (at < 0 || at + 2 > t.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(t.constData()) + at;
    return quint16((p[0] << 8) | p[1]);
}

inline qint16 s16(const QByteArray &t, qsizetype at)
{
    return qint16(u16(t, at));
}

inline quint32 u32(const QByteArray &t, qsizetype at)
{
    return (quint32(u16(t, at)) << 16) | u16(t, at + 2);
}

inline void put16(QByteArray &t, qsizetype at, quint16 v)
{
    if (at + 2 <= t.size()) {
        t[at] = char(v >> 8);
        t[at + 1] = char(v & 0xff);
    }
}

inline void put32(QByteArray &t, qsizetype at, quint32 v)
{
    put16(t, at, quint16(v >> 16));
    put16(t, at + 2, quint16(v & 0xffff));
}

inline void append16(QByteArray &t, quint16 v)
{
    t.append(char(v >> 8));
    t.append(char(v & 0xff));
}

inline void append32(QByteArray &t, quint32 v)
{
    append16(t, quint16(v >> 16));
    append16(t, quint16(v & 0xffff));
}

struct Table {
    const char *tag;
    const QByteArray *data;
};

// A font file of `tables`, given in tag order; the head table's checksum adjustment is set.
QByteArray fontFile(quint32 version, const std::vector<Table> &tables);

} // namespace report::sfnt
