#include "PageStore.h"

#include "core/Errors.h"

#include <cstring>
#include <libdeflate.h>

namespace report {

namespace {

// Geometry is kept as whole ten-thousandths of a millimetre: exact enough for any output, and compact.
constexpr double unitsPerMm = 10000.0;

class Writer {
public:
    std::string data;
    template <class T> void put(T v) { data.append(reinterpret_cast<const char *>(&v), sizeof v); }
    void mm(double v) { put(qint32(std::lround(v * unitsPerMm))); }
    void rect(const QRectF &r)
    {
        mm(r.left());
        mm(r.top());
        mm(r.width());
        mm(r.height());
    }
    void colour(const QColor &c) { put(quint32(c.rgba())); }
    void text(const QString &s)
    {
        put(quint32(s.size()));
        data.append(reinterpret_cast<const char *>(s.utf16()), size_t(s.size()) * 2);
    }
};

class Reader {
public:
    explicit Reader(const std::string &data) : p(data.data()), end(data.data() + data.size()) {}
    template <class T> T get()
    {
        T v{};
        if (size_t(end - p) < sizeof v)
            throw Error(QStringLiteral("A stored preview page is damaged"));
        std::memcpy(&v, p, sizeof v);
        p += sizeof v;
        return v;
    }
    double mm() { return get<qint32>() / unitsPerMm; }
    QRectF rect()
    {
        const double l = mm(), t = mm(), w = mm(), h = mm();
        return QRectF(l, t, w, h);
    }
    QColor colour() { return QColor::fromRgba(get<quint32>()); }
    QString text()
    {
        const quint32 n = get<quint32>();
        if (size_t(end - p) / 2 < n)
            throw Error(QStringLiteral("A stored preview page is damaged"));
        QString s(qsizetype(n), Qt::Uninitialized);
        std::memcpy(s.data(), p, size_t(n) * 2);
        p += size_t(n) * 2;
        return s;
    }

private:
    const char *p;
    const char *end;
};

template <class T> quint32 intern(std::vector<T> &table, const T &value)
{
    for (size_t i = table.size(); i-- > 0;)
        if (table[i] == value)
            return quint32(i);
    table.push_back(value);
    return quint32(table.size() - 1);
}

struct Codecs {
    libdeflate_compressor *compressor = libdeflate_alloc_compressor(1);
    libdeflate_decompressor *decompressor = libdeflate_alloc_decompressor();
    ~Codecs()
    {
        libdeflate_free_compressor(compressor);
        libdeflate_free_decompressor(decompressor);
    }
};

Codecs &codecs()
{
    static thread_local Codecs c;
    return c;
}

} // namespace

void PageStore::addPage(Page &&page)
{
    Writer w;
    w.data.reserve(32 * 1024);
    w.mm(page.paper.width());
    w.mm(page.paper.height());
    w.put(quint32(page.bands.size()));
    for (const PlacedBand &band : page.bands) {
        w.put(intern(m_names, band.name));
        w.rect(band.rect);
        w.colour(band.color);
        w.put(quint32(band.items.size()));
        for (const DrawItem &item : band.items) {
            w.put(quint8(item.kind));
            w.rect(item.rect);
            if (item.kind == DrawItem::Kind::Text) {
                w.put(intern(m_fonts, item.font));
                w.colour(item.textColor);
                w.mm(item.ascent);
                w.mm(item.lineHeight);
                w.put(quint32(item.lines.size()));
                for (qsizetype i = 0; i < item.lines.size(); ++i) {
                    w.mm(item.lineLefts[size_t(i)]);
                    w.text(item.lines[i]);
                }
            } else {
                w.put(quint8(item.outline | (item.filled << 1)));
                w.colour(item.penColor);
                w.mm(item.penWidth);
                w.colour(item.brushColor);
            }
        }
    }
    // The record: its unpacked size, then the packed bytes.
    libdeflate_compressor *compressor = codecs().compressor;
    if (!compressor)
        throw Error(QStringLiteral("Out of memory"));
    const size_t bound = libdeflate_deflate_compress_bound(compressor, w.data.size());
    QByteArray record(qsizetype(sizeof(quint32) + bound), Qt::Uninitialized);
    const quint32 raw = quint32(w.data.size());
    std::memcpy(record.data(), &raw, sizeof raw);
    const size_t packed =
        libdeflate_deflate_compress(compressor, w.data.data(), w.data.size(), record.data() + sizeof raw, bound);
    if (packed == 0)
        throw Error(QStringLiteral("Out of memory"));
    record.truncate(qsizetype(sizeof raw) + qsizetype(packed));
    record.squeeze();
    m_size += record.size();
    m_records.push_back(std::move(record));
}

Page PageStore::page(int index) const
{
    const QByteArray &record = m_records.at(size_t(index));
    quint32 raw = 0;
    std::memcpy(&raw, record.constData(), sizeof raw);
    std::string data(raw, '\0');
    size_t got = 0;
    if (libdeflate_deflate_decompress(codecs().decompressor, record.constData() + sizeof raw,
                                      size_t(record.size()) - sizeof raw, data.data(), raw,
                                      &got) != LIBDEFLATE_SUCCESS ||
        got != raw)
        throw Error(QStringLiteral("A stored preview page is damaged"));

    Reader r(data);
    Page page;
    const double width = r.mm();
    page.paper = QSizeF(width, r.mm());
    page.bands.resize(r.get<quint32>());
    for (PlacedBand &band : page.bands) {
        band.name = m_names.at(r.get<quint32>());
        band.rect = r.rect();
        band.color = r.colour();
        band.items.resize(r.get<quint32>());
        for (DrawItem &item : band.items) {
            item.kind = DrawItem::Kind(r.get<quint8>());
            item.rect = r.rect();
            if (item.kind == DrawItem::Kind::Text) {
                item.font = m_fonts.at(r.get<quint32>());
                item.textColor = r.colour();
                item.ascent = r.mm();
                item.lineHeight = r.mm();
                const quint32 lines = r.get<quint32>();
                item.lineLefts.reserve(lines);
                for (quint32 i = 0; i < lines; ++i) {
                    item.lineLefts.push_back(r.mm());
                    item.lines << r.text();
                }
            } else {
                const quint8 flags = r.get<quint8>();
                item.outline = flags & 1;
                item.filled = flags & 2;
                item.penColor = r.colour();
                item.penWidth = r.mm();
                item.brushColor = r.colour();
            }
        }
    }
    return page;
}

} // namespace report
