#include "SfntTables.h"

#include <cstring>

namespace report::sfnt {

namespace {

quint32 tableChecksum(const QByteArray &t)
{
    quint32 sum = 0;
    const qsizetype whole = t.size() & ~qsizetype(3);
    for (qsizetype i = 0; i < whole; i += 4)
        sum += u32(t, i);
    if (whole < t.size()) {
        quint32 last = 0;
        for (qsizetype i = whole; i < whole + 4; ++i)
            last = (last << 8) | (i < t.size() ? uchar(t[i]) : 0);
        sum += last;
    }
    return sum;
}

} // namespace

QByteArray fontFile(quint32 version, const std::vector<Table> &tables)
{
    const int n = int(tables.size());
    int selector = 0;
    while ((2 << selector) <= n)
        ++selector;
    QByteArray file;
    append32(file, version);
    append16(file, quint16(n));
    append16(file, quint16(16 << selector));
    append16(file, quint16(selector));
    append16(file, quint16(n * 16 - (16 << selector)));
    quint32 offset = quint32(12 + 16 * n);
    for (const Table &t : tables) {
        file.append(t.tag, 4);
        append32(file, tableChecksum(*t.data));
        append32(file, offset);
        append32(file, quint32(t.data->size()));
        offset += quint32((t.data->size() + 3) & ~qsizetype(3));
    }
    qsizetype headAt = -1;
    for (const Table &t : tables) {
        if (std::strcmp(t.tag, "head") == 0)
            headAt = file.size();
        file.append(*t.data);
        while (file.size() % 4)
            file.append('\0');
    }
    if (headAt >= 0 && headAt + 12 <= file.size()) {
        put32(file, headAt + 8, 0);
        put32(file, headAt + 8, 0xB1B0AFBA - tableChecksum(file));
    }
    return file;
}

} // namespace report::sfnt
