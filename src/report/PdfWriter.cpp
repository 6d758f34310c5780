#include "PdfWriter.h"

#include "TextMetrics.h"
#include "core/Clock.h"

#include <QGlyphRun>
#include <QHash>
#include <QIODevice>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <hb-subset.h>
#include <iterator>
#include <libdeflate.h>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace report {

namespace {

constexpr double pointsPerMm = 72.0 / 25.4;
// Fonts sized in pixels count the pixels of the 1,200 dpi device the layout measures them on.
constexpr double pointsPerLayoutPixel = 72.0 / referenceDpi;

// ---------------------------------------------------------------------------------------------------------
// Output buffer with the few number formats PDF needs.

class Out {
public:
    std::string data;

    template <size_t N> Out &operator<<(const char (&text)[N])
    {
        data.append(text, N - 1);
        return *this;
    }
    Out &operator<<(const QByteArray &bytes)
    {
        data.append(bytes.constData(), size_t(bytes.size()));
        return *this;
    }
    Out &operator<<(char c)
    {
        data.push_back(c);
        return *this;
    }
    Out &operator<<(qint64 n)
    {
        char buf[24];
        char *end = buf + sizeof buf;
        char *p = end;
        const bool negative = n < 0;
        quint64 u = negative ? quint64(-(n + 1)) + 1 : quint64(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (negative)
            *--p = '-';
        data.append(p, size_t(end - p));
        return *this;
    }
    Out &operator<<(int n) { return *this << qint64(n); }
    // A real with at most three decimals and no trailing zeros.
    Out &num(double v)
    {
        char buf[32];
        char *const end = buf + sizeof buf;
        char *p = end;
        const qint64 thousandths = qint64(v * 1000.0 + (v < 0 ? -0.5 : 0.5));
        quint64 whole = thousandths < 0 ? quint64(-thousandths) : quint64(thousandths);
        unsigned fraction = unsigned(whole % 1000);
        whole /= 1000;
        if (fraction) {
            int digits = 3;
            for (; fraction % 10 == 0; --digits)
                fraction /= 10;
            for (; digits > 0; --digits, fraction /= 10)
                *--p = char('0' + fraction % 10);
            *--p = '.';
        }
        do {
            *--p = char('0' + whole % 10);
            whole /= 10;
        } while (whole);
        if (thousandths < 0)
            *--p = '-';
        data.append(p, size_t(end - p));
        return *this;
    }
    // A glyph id inside a literal string: two bytes, escaped where the string syntax needs it.
    void glyph16(quint16 v)
    {
        for (const char c : {char(v >> 8), char(v & 0xff)}) {
            if (c == '(' || c == ')' || c == '\\') {
                data.push_back('\\');
                data.push_back(c);
            } else if (c == '\r') {
                data.append("\\r", 2);
            } else {
                data.push_back(c);
            }
        }
    }
    void hex16(quint16 v)
    {
        static const char digits[] = "0123456789ABCDEF";
        const char buf[4] = {digits[v >> 12], digits[(v >> 8) & 15], digits[(v >> 4) & 15], digits[v & 15]};
        data.append(buf, 4);
    }
    qint64 size() const { return qint64(data.size()); }
};

// How many glyphs a document may carry beyond those it uses, to share a font subset made before.
constexpr size_t spareGlyphs = 32;

// Page streams are compressed fast (they are new in every document); fonts and character maps, which
// later documents reuse, as tightly as is reasonable.
enum class Packing { Fast = 1, Tight = 9 };

// Compressors are set up once per thread: that costs more than compressing a page.
QByteArray deflate(std::string_view raw, Packing packing)
{
    struct Compressors {
        libdeflate_compressor *fast = libdeflate_alloc_compressor(int(Packing::Fast));
        libdeflate_compressor *tight = libdeflate_alloc_compressor(int(Packing::Tight));
        ~Compressors()
        {
            libdeflate_free_compressor(fast);
            libdeflate_free_compressor(tight);
        }
    };
    static thread_local Compressors compressors;
    libdeflate_compressor *compressor = packing == Packing::Fast ? compressors.fast : compressors.tight;
    if (!compressor)
        return QByteArray();
    QByteArray packed(qsizetype(libdeflate_zlib_compress_bound(compressor, raw.size())), Qt::Uninitialized);
    const size_t size =
        libdeflate_zlib_compress(compressor, raw.data(), raw.size(), packed.data(), size_t(packed.size()));
    packed.truncate(qsizetype(size)); // empty when it failed
    return packed;
}

// ---------------------------------------------------------------------------------------------------------
// Big-endian access to font tables.

quint16 u16(const QByteArray &t, qsizetype at)
{
    if (at < 0 || at + 2 > t.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(t.constData()) + at;
    return quint16((p[0] << 8) | p[1]);
}

qint16 s16(const QByteArray &t, qsizetype at)
{
    return qint16(u16(t, at));
}

quint32 u32(const QByteArray &t, qsizetype at)
{
    return (quint32(u16(t, at)) << 16) | u16(t, at + 2);
}

void put16(QByteArray &t, qsizetype at, quint16 v)
{
    if (at + 2 <= t.size()) {
        t[at] = char(v >> 8);
        t[at + 1] = char(v & 0xff);
    }
}

void put32(QByteArray &t, qsizetype at, quint32 v)
{
    put16(t, at, quint16(v >> 16));
    put16(t, at + 2, quint16(v & 0xffff));
}

void append16(QByteArray &t, quint16 v)
{
    t.append(char(v >> 8));
    t.append(char(v & 0xff));
}

void append32(QByteArray &t, quint32 v)
{
    append16(t, quint16(v >> 16));
    append16(t, quint16(v & 0xffff));
}

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

struct SfntTable {
    const char *tag;
    const QByteArray *data;
};

// A font file of `tables`, given in tag order; the head table's checksum adjustment is set.
QByteArray sfnt(quint32 version, const std::vector<SfntTable> &tables)
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
    for (const SfntTable &t : tables) {
        file.append(t.tag, 4);
        append32(file, tableChecksum(*t.data));
        append32(file, offset);
        append32(file, quint32(t.data->size()));
        offset += quint32((t.data->size() + 3) & ~qsizetype(3));
    }
    qsizetype headAt = -1;
    for (const SfntTable &t : tables) {
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

// ---------------------------------------------------------------------------------------------------------
// One typeface, read from its font file once.

struct Subset {
    std::vector<quint16> glyphs; // sorted, without components
    QByteArray tag;              // six capitals naming the subset
    QByteArray fontFile;         // deflated
    qint64 fontFileLength = 0;
    QByteArray widths;    // the /W array
    QByteArray toUnicode; // deflated CMap
};

class Face {
public:
    explicit Face(const QRawFont &raw);

    // Whether the face can be embedded: TrueType outlines, or compact ones the subsetter takes.
    bool isValid() const { return m_outlines != Outlines::None; }
    // Compact outlines, embedded in an OpenType file rather than as TrueType.
    bool isCompact() const { return m_outlines == Outlines::Compact; }
    quint16 glyph(char32_t c);
    double width1000(quint16 g) const { return g < m_advances.size() ? m_advances[g] * 1000.0 / m_unitsPerEm : 0.0; }
    // Adjustment between two glyphs in font units (negative: closer).
    int kerning(quint16 left, quint16 right) const
    {
        // Most glyphs take part in no pair; two flags spare the look-up for them.
        if (left >= m_kerns.size() || right >= m_kerns.size() || !(m_kerns[left] & 1) || !(m_kerns[right] & 2))
            return 0;
        return m_kerning.value((quint32(left) << 16) | right, 0);
    }
    double thousandthsPerUnit() const { return 1000.0 / m_unitsPerEm; }
    std::shared_ptr<const Subset> subset(std::vector<quint16> glyphs);
    const QByteArray &postScriptName() const { return m_psName; }
    void writeDescriptor(Out &out, const QByteArray &name, int fontFileObject) const;

private:
    void addComponents(quint16 g, std::vector<bool> &used) const;
    QByteArray fontFile(const std::vector<bool> &used, int count) const;
    QByteArray openTypeFile(const std::vector<bool> &used) const;
    QByteArray widthsArray(const std::vector<quint16> &glyphs) const;
    std::string toUnicodeMap(const std::vector<quint16> &glyphs) const;

    enum class Outlines { None, TrueType, Compact };
    QRawFont m_raw;
    Outlines m_outlines = Outlines::None;
    QByteArray m_head, m_hhea, m_hmtx, m_maxp, m_glyf, m_cvt, m_fpgm, m_prep;
    std::vector<quint32> m_loca;
    std::vector<quint16> m_advances;
    int m_glyphCount = 0, m_hMetrics = 0;
    double m_unitsPerEm = 1000;
    int m_ascent = 0, m_descent = 0, m_capHeight = 0;
    std::array<int, 4> m_bbox{};
    double m_italicAngle = 0;
    bool m_fixedPitch = false;
    QByteArray m_psName;
    QHash<quint32, qint16> m_kerning;
    std::vector<quint8> m_kerns; // by glyph: 1 when it starts a kerning pair, 2 when it ends one
    std::vector<qint32> m_bmp;   // character → glyph; -1: not asked yet
    QHash<char32_t, quint16> m_astral;
    std::vector<char32_t> m_unicode;                      // glyph → the character it was first used for
    std::vector<std::shared_ptr<const Subset>> m_subsets; // most recent first
};

QByteArray readPostScriptName(const QByteArray &name, const QRawFont &raw)
{
    const quint16 count = u16(name, 2);
    const quint16 strings = u16(name, 4);
    QByteArray found;
    for (int i = 0; i < count && found.isEmpty(); ++i) {
        const qsizetype r = 6 + 12 * i;
        const quint16 platform = u16(name, r), id = u16(name, r + 6), length = u16(name, r + 8),
                      offset = u16(name, r + 10);
        if (id != 6 || strings + offset + length > name.size())
            continue;
        const QByteArray bytes = name.mid(strings + offset, length);
        if (platform == 1) {
            found = bytes;
        } else if (platform == 3 || platform == 0) {
            for (qsizetype k = 0; k + 1 < bytes.size(); k += 2)
                if (bytes[k] == 0)
                    found.append(bytes[k + 1]);
        }
    }
    if (found.isEmpty()) {
        found = raw.familyName().toLatin1();
        if (raw.weight() >= QFont::Bold)
            found += "-Bold";
        if (raw.style() != QFont::StyleNormal)
            found += "-Italic";
    }
    // Only characters a PDF name carries without escapes.
    QByteArray clean;
    for (char c : found)
        if (c > ' ' && c < 127 && !std::strchr("()<>[]{}/%#", c))
            clean.append(c);
    return clean.isEmpty() ? QByteArray("Font") : clean;
}

Face::Face(const QRawFont &raw) : m_raw(raw)
{
    if (!raw.isValid())
        return;
    m_head = raw.fontTable("head");
    m_hhea = raw.fontTable("hhea");
    m_hmtx = raw.fontTable("hmtx");
    m_maxp = raw.fontTable("maxp");
    m_glyf = raw.fontTable("glyf");
    const QByteArray loca = raw.fontTable("loca");
    if (m_head.size() < 54 || m_hhea.size() < 36 || m_maxp.size() < 6 || m_hmtx.isEmpty())
        return;
    m_unitsPerEm = std::max(16, int(u16(m_head, 18)));
    m_bbox = {s16(m_head, 36), s16(m_head, 38), s16(m_head, 40), s16(m_head, 42)};
    m_glyphCount = u16(m_maxp, 4);
    if (m_glyphCount == 0)
        return;
    if (!m_glyf.isEmpty() && !loca.isEmpty()) {
        m_cvt = raw.fontTable("cvt ");
        m_fpgm = raw.fontTable("fpgm");
        m_prep = raw.fontTable("prep");
        const bool longLoca = s16(m_head, 50) != 0;
        m_loca.resize(size_t(m_glyphCount) + 1);
        for (int g = 0; g <= m_glyphCount; ++g)
            m_loca[size_t(g)] = longLoca ? u32(loca, 4 * g) : 2 * quint32(u16(loca, 2 * g));
        for (quint32 &offset : m_loca)
            offset = std::min(offset, quint32(m_glyf.size()));
    } else if (raw.fontTable("CFF ").isEmpty()) {
        return; // bitmaps only, or outlines no PDF reader takes: its glyphs are drawn as shapes
    }

    m_ascent = s16(m_hhea, 4);
    m_descent = s16(m_hhea, 6);
    m_hMetrics = std::clamp(int(u16(m_hhea, 34)), 1, std::max(1, m_glyphCount));
    m_advances.resize(size_t(m_glyphCount));
    for (int g = 0; g < m_glyphCount; ++g)
        m_advances[size_t(g)] = u16(m_hmtx, 4 * std::min(g, m_hMetrics - 1));

    const QByteArray os2 = raw.fontTable("OS/2");
    m_capHeight = u16(os2, 0) >= 2 && os2.size() >= 90 ? s16(os2, 88) : m_ascent;
    const QByteArray post = raw.fontTable("post");
    m_italicAngle = qint32(u32(post, 4)) / 65536.0;
    m_fixedPitch = u32(post, 12) != 0;
    m_psName = readPostScriptName(raw.fontTable("name"), raw);

    m_kerns.assign(size_t(m_glyphCount), 0);
    // Pairs of the classic kerning table, which the text shaper applies when the layout measures.
    const QByteArray kern = raw.fontTable("kern");
    if (u16(kern, 0) == 0) {
        qsizetype at = 4;
        for (int t = 0, tables = u16(kern, 2); t < tables && at + 6 <= kern.size(); ++t) {
            const quint16 length = u16(kern, at + 2), coverage = u16(kern, at + 4);
            // Format 0, horizontal, not cross-stream and not minimum values.
            if ((coverage >> 8) == 0 && (coverage & 0x7) == 0x1) {
                const quint16 pairs = u16(kern, at + 6);
                for (int p = 0; p < pairs; ++p) {
                    const qsizetype e = at + 14 + 6 * p;
                    if (e + 6 > kern.size())
                        break;
                    const quint16 left = u16(kern, e), right = u16(kern, e + 2);
                    if (left >= m_glyphCount || right >= m_glyphCount)
                        continue;
                    m_kerning.insert(u32(kern, e), s16(kern, e + 4));
                    m_kerns[left] |= 1;
                    m_kerns[right] |= 2;
                }
            }
            at += std::max<quint16>(length, 6);
        }
    }
    m_bmp.assign(0x10000, -1);
    m_unicode.assign(size_t(m_glyphCount), 0);
    m_outlines = m_glyf.isEmpty() ? Outlines::Compact : Outlines::TrueType;
}

quint16 Face::glyph(char32_t c)
{
    qint32 *slot = c < 0x10000 ? &m_bmp[c] : nullptr;
    if (slot && *slot >= 0)
        return quint16(*slot);
    if (!slot)
        if (const auto it = m_astral.constFind(c); it != m_astral.cend())
            return *it;
    const char32_t chars[] = {c};
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString::fromUcs4(chars, 1));
    quint16 g = glyphs.isEmpty() || glyphs.front() >= quint32(m_glyphCount) ? 0 : quint16(glyphs.front());
    if (g && m_unicode[g] == 0)
        m_unicode[g] = c;
    if (slot)
        *slot = g;
    else
        m_astral.insert(c, g);
    return g;
}

void Face::addComponents(quint16 g, std::vector<bool> &used) const
{
    if (g >= m_glyphCount || m_outlines != Outlines::TrueType)
        return;
    const qsizetype start = m_loca[g], end = m_loca[size_t(g) + 1];
    if (end - start < 10 || s16(m_glyf, start) >= 0)
        return;
    qsizetype at = start + 10;
    quint16 flags;
    do {
        if (at + 4 > end)
            return;
        flags = u16(m_glyf, at);
        const quint16 component = u16(m_glyf, at + 2);
        at += 4 + ((flags & 0x0001) ? 4 : 2);
        if (flags & 0x0008)
            at += 2;
        else if (flags & 0x0040)
            at += 4;
        else if (flags & 0x0080)
            at += 8;
        if (component < m_glyphCount && !used[component]) {
            used[component] = true;
            addComponents(component, used);
        }
    } while (flags & 0x0020);
}

// A TrueType file holding the glyphs marked in `used`, at their own glyph ids; the first `count` slots.
QByteArray Face::fontFile(const std::vector<bool> &used, int count) const
{
    QByteArray glyf, loca;
    loca.reserve(4 * (count + 1));
    for (int g = 0; g < count; ++g) {
        append32(loca, quint32(glyf.size()));
        // Offsets out of order in a damaged font leave the glyph empty.
        if (used[size_t(g)] && m_loca[size_t(g) + 1] > m_loca[size_t(g)]) {
            glyf.append(m_glyf.constData() + m_loca[size_t(g)], qsizetype(m_loca[size_t(g) + 1] - m_loca[size_t(g)]));
            while (glyf.size() % 4)
                glyf.append('\0');
        }
    }
    append32(loca, quint32(glyf.size()));

    QByteArray head = m_head.left(54);
    put32(head, 8, 0);  // checksum adjustment, set below
    put16(head, 50, 1); // long offsets in loca
    QByteArray maxp = m_maxp;
    put16(maxp, 4, quint16(count));
    QByteArray hhea = m_hhea;
    const int metrics = std::min(m_hMetrics, count);
    put16(hhea, 34, quint16(metrics));
    QByteArray hmtx = m_hmtx.left(4 * metrics);
    for (int g = metrics; g < count; ++g)
        append16(hmtx, u16(m_hmtx, 4 * m_hMetrics + 2 * (g - m_hMetrics)));

    std::vector<SfntTable> tables; // in tag order
    if (!m_cvt.isEmpty())
        tables.push_back({"cvt ", &m_cvt});
    if (!m_fpgm.isEmpty())
        tables.push_back({"fpgm", &m_fpgm});
    tables.push_back({"glyf", &glyf});
    tables.push_back({"head", &head});
    tables.push_back({"hhea", &hhea});
    tables.push_back({"hmtx", &hmtx});
    tables.push_back({"loca", &loca});
    tables.push_back({"maxp", &maxp});
    if (!m_prep.isEmpty())
        tables.push_back({"prep", &m_prep});
    return sfnt(0x00010000, tables);
}

// A font file of the face's own tables, with outlines in the compact format, cut down by HarfBuzz's
// subsetter to the glyphs in `used`, at their own glyph ids. Empty when the subsetter fails.
QByteArray Face::openTypeFile(const std::vector<bool> &used) const
{
    static const char *const tags[] = {"CFF ", "GDEF", "GPOS", "GSUB", "OS/2", "cmap",
                                       "head", "hhea", "hmtx", "maxp", "name", "post"};
    std::vector<QByteArray> data;
    data.reserve(std::size(tags));
    std::vector<SfntTable> tables;
    for (const char *tag : tags) {
        data.push_back(m_raw.fontTable(tag));
        if (!data.back().isEmpty())
            tables.push_back({tag, &data.back()});
    }
    const QByteArray whole = sfnt(0x4F54544F, tables); // 'OTTO'
    hb_blob_t *blob =
        hb_blob_create(whole.constData(), unsigned(whole.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t *face = hb_face_create(blob, 0);
    QByteArray file;
    if (hb_subset_input_t *input = hb_subset_input_create_or_fail()) {
        hb_set_t *glyphs = hb_subset_input_glyph_set(input);
        for (size_t g = 0; g < used.size(); ++g)
            if (used[g])
                hb_set_add(glyphs, hb_codepoint_t(g));
        // Glyph ids stay as they are: the page's text refers to them.
        hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
        if (hb_face_t *subset = hb_subset_or_fail(face, input)) {
            hb_blob_t *result = hb_face_reference_blob(subset);
            unsigned length = 0;
            const char *bytes = hb_blob_get_data(result, &length);
            file = QByteArray(bytes, qsizetype(length));
            hb_blob_destroy(result);
            hb_face_destroy(subset);
        }
        hb_subset_input_destroy(input);
    }
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return file;
}

QByteArray Face::widthsArray(const std::vector<quint16> &glyphs) const
{
    Out out;
    out << '[';
    for (size_t i = 0; i < glyphs.size();) {
        size_t j = i + 1;
        while (j < glyphs.size() && glyphs[j] == glyphs[j - 1] + 1)
            ++j;
        out << int(glyphs[i]) << " [";
        for (size_t k = i; k < j; ++k) {
            if (k > i)
                out << ' ';
            out.num(width1000(glyphs[k]));
        }
        out << "] ";
        i = j;
    }
    out << ']';
    return QByteArray::fromStdString(out.data);
}

std::string Face::toUnicodeMap(const std::vector<quint16> &glyphs) const
{
    std::vector<quint16> mapped;
    for (quint16 g : glyphs)
        if (m_unicode[g])
            mapped.push_back(g);
    Out out;
    out << "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
           "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (size_t i = 0; i < mapped.size(); i += 100) {
        const size_t end = std::min(mapped.size(), i + 100);
        out << int(end - i) << " beginbfchar\n";
        for (size_t k = i; k < end; ++k) {
            out << '<';
            out.hex16(mapped[k]);
            out << "> <";
            const char32_t c = m_unicode[mapped[k]];
            if (c < 0x10000) {
                out.hex16(quint16(c));
            } else {
                out.hex16(quint16(0xD800 + ((c - 0x10000) >> 10)));
                out.hex16(quint16(0xDC00 + ((c - 0x10000) & 0x3FF)));
            }
            out << ">\n";
        }
        out << "endbfchar\n";
    }
    out << "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out.data;
}

std::shared_ptr<const Subset> Face::subset(std::vector<quint16> glyphs)
{
    std::sort(glyphs.begin(), glyphs.end());
    glyphs.erase(std::unique(glyphs.begin(), glyphs.end()), glyphs.end());
    // Invoices differ in a few letters of names and descriptions. A recent subset that holds all of a
    // document's glyphs and not many more serves it too; a new one takes in the glyphs of the latest, so
    // that the subsets soon hold the letters in common use and documents rarely need one of their own.
    const auto fits = [&](const std::vector<quint16> &held) { return held.size() <= glyphs.size() + spareGlyphs; };
    for (size_t i = 0; i < m_subsets.size(); ++i) {
        const std::vector<quint16> &held = m_subsets[i]->glyphs;
        if (fits(held) && std::includes(held.begin(), held.end(), glyphs.begin(), glyphs.end())) {
            std::rotate(m_subsets.begin(), m_subsets.begin() + qsizetype(i), m_subsets.begin() + qsizetype(i) + 1);
            return m_subsets.front();
        }
    }
    if (!m_subsets.empty()) {
        std::vector<quint16> both;
        const std::vector<quint16> &latest = m_subsets.front()->glyphs;
        std::set_union(glyphs.begin(), glyphs.end(), latest.begin(), latest.end(), std::back_inserter(both));
        if (fits(both))
            glyphs = std::move(both);
    }

    auto subset = std::make_shared<Subset>();
    subset->glyphs = glyphs;
    std::vector<bool> used(size_t(m_glyphCount), false);
    used[0] = true; // .notdef
    for (quint16 g : glyphs) {
        used[g] = true;
        addComponents(g, used);
    }
    int count = 1;
    for (int g = m_glyphCount - 1; g > 0; --g)
        if (used[size_t(g)]) {
            count = g + 1;
            break;
        }
    const QByteArray file = isCompact() ? openTypeFile(used) : fontFile(used, count);
    if (file.isEmpty())
        return subset; // the document fails, and the next one tries again
    subset->fontFileLength = file.size();
    subset->fontFile = deflate(std::string_view(file.constData(), size_t(file.size())), Packing::Tight);
    subset->widths = widthsArray(glyphs);
    subset->toUnicode = deflate(toUnicodeMap(glyphs), Packing::Tight);
    quint32 hash = 2166136261u;
    for (quint16 g : glyphs)
        hash = (hash ^ g) * 16777619u;
    for (int i = 0; i < 6; ++i) {
        subset->tag.append(char('A' + hash % 26));
        hash /= 26;
    }

    if (subset->fontFile.isEmpty() || subset->toUnicode.isEmpty())
        return subset; // not compressed: the document fails, and the next one tries again
    constexpr size_t kept = 8;
    if (m_subsets.size() >= kept)
        m_subsets.pop_back();
    m_subsets.insert(m_subsets.begin(), subset);
    return subset;
}

void Face::writeDescriptor(Out &out, const QByteArray &name, int fontFileObject) const
{
    const auto em = [&](double units) { return units * 1000.0 / m_unitsPerEm; };
    int flags = 32; // non-symbolic
    if (m_fixedPitch)
        flags |= 1;
    if (m_italicAngle != 0)
        flags |= 64;
    out << "<< /Type /FontDescriptor /FontName /" << name << " /Flags " << flags << " /FontBBox [";
    out.num(em(m_bbox[0])) << ' ';
    out.num(em(m_bbox[1])) << ' ';
    out.num(em(m_bbox[2])) << ' ';
    out.num(em(m_bbox[3])) << "] /ItalicAngle ";
    out.num(m_italicAngle) << " /Ascent ";
    out.num(em(m_ascent)) << " /Descent ";
    out.num(em(m_descent)) << " /CapHeight ";
    out.num(em(m_capHeight)) << " /StemV 80 ";
    if (m_outlines == Outlines::Compact)
        out << "/FontFile3 ";
    else
        out << "/FontFile2 ";
    out << fontFileObject << " 0 R >>";
}

// The faces met so far, by the fonts that resolve to them. Documents may be written on several threads.
std::mutex facesMutex;

struct FontEntry {
    QFont font;
    Face *face;
};

// The face of a resolved font, read once per process.
Face *faceForRaw(const QRawFont &raw)
{
    struct Recent {
        QRawFont raw;
        Face *face;
    };
    static std::vector<Recent> recent; // the same few fonts come back run after run
    for (const Recent &r : recent)
        if (r.raw == raw)
            return r.face;
    static std::vector<std::pair<QString, std::unique_ptr<Face>>> faces;
    const QString key = raw.familyName() + QLatin1Char('|') + raw.styleName() + QLatin1Char('|') +
                        QString::number(raw.weight()) + QLatin1Char('|') + QString::number(int(raw.style()));
    Face *face = nullptr;
    for (const auto &[k, f] : faces)
        if (k == key)
            face = f.get();
    if (!face) {
        faces.emplace_back(key, std::make_unique<Face>(raw));
        face = faces.back().second.get();
    }
    if (recent.size() >= 32)
        recent.erase(recent.begin());
    recent.push_back({raw, face});
    return face;
}

Face *faceFor(const QFont &font)
{
    static std::vector<FontEntry> fonts;
    for (const FontEntry &e : fonts) // copies of one font first: the usual case, and quick to tell
        if (e.font.isCopyOf(font))
            return e.face;
    for (const FontEntry &e : fonts)
        if (e.font == font)
            return e.face;
    Face *face = faceForRaw(QRawFont::fromFont(font));
    // A face that cannot be embedded (bitmaps, Type 1 outlines) prints its text in the program's
    // sans-serif face, so that the text stays text.
    if (!face->isValid() && font.family() != QLatin1String("Liberation Sans")) {
        QFont sans = font;
        sans.setFamily(QStringLiteral("Liberation Sans"));
        face = faceFor(sans);
    }
    fonts.push_back({font, face});
    return face;
}

// Whether a character needs the text shaper: marks that combine, scripts written right to left or
// joined, and everything beyond the alphabets and symbols whose glyphs simply follow one another.
bool needsShaper(char32_t c)
{
    if (c < 0x300)
        return false;
    if (c < 0x370)
        return true; // combining marks
    if (c < 0x590)
        return false; // Greek, Cyrillic, Armenian
    if (c >= 0x1E00 && c < 0x2000)
        return false;              // Latin and Greek extended
    if (c >= 0x2000 && c < 0x2C00) // punctuation, currency, arrows, mathematical signs, symbols
        return (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
               (c >= 0x20D0 && c <= 0x20FF);
    return true;
}

double emPoints(const QFont &font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() * pointsPerLayoutPixel;
}

// ---------------------------------------------------------------------------------------------------------
// One document.

void writeTextString(Out &out, const QString &text);

struct UsedFont {
    Face *face;
    std::vector<bool> seen; // by glyph id
    std::vector<quint16> glyphs;
    void use(quint16 g)
    {
        if (g >= seen.size())
            seen.resize(size_t(g) + 1, false);
        if (!seen[g]) {
            seen[g] = true;
            glyphs.push_back(g);
        }
    }
};

class Document {
public:
    // Written into `device` as it goes when given one, else kept in memory for takeData().
    explicit Document(QIODevice *device) : m_device(device) {}
    void start(const QString &title);
    void addPage(const Page &page);
    void finish();
    QByteArray takeData() { return QByteArray::fromStdString(std::move(m_out.data)); }
    // What went wrong, empty when nothing did.
    const QString &error() const { return m_error; }

private:
    // A new object number; its offset is recorded when the object is written.
    int reserve()
    {
        m_offsets.push_back(-1);
        return int(m_offsets.size());
    }
    void begin(int object)
    {
        m_offsets[size_t(object) - 1] = m_written + m_out.size();
        m_out << object << " 0 obj\n";
    }
    void end() { m_out << "\nendobj\n"; }
    void stream(int object, const QByteArray &packed, const QByteArray &extra = QByteArray())
    {
        if (packed.isEmpty() && m_error.isEmpty())
            m_error = QStringLiteral("out of memory");
        begin(object);
        m_out << "<< /Length " << qint64(packed.size()) << " /Filter /FlateDecode" << extra << " >>\nstream\n"
              << packed << "\nendstream";
        end();
    }
    // Hands what was made so far to the device.
    void flush();
    const std::string &content(const Page &page);
    void text(const DrawItem &item);
    bool simpleLine(Face *face, const QString &line);
    void shapedLine(const DrawItem &item, Face *face, const QString &line, double left, double baseline);
    void beginText();
    void endText();
    void selectFont(int index, double size);
    void moveText(double left, double baseline);
    int fontIndex(Face *face);
    void setFill(const QColor &c);
    void setStroke(const QColor &c);
    void setLineWidth(double w);
    static void colour(Out &out, const QColor &c);

    QIODevice *m_device;
    Out m_out;
    qint64 m_written = 0; // bytes handed to the device before m_out
    QString m_error;
    int m_catalog = 0, m_pageTree = 0, m_resources = 0, m_info = 0;
    std::vector<qint64> m_offsets;
    std::vector<int> m_pageObjects;
    std::vector<UsedFont> m_fonts;
    bool m_openType = false; // a font with outlines in the compact format: PDF 1.6
    // Graphics state of the page being written.
    Out m_page;
    QRgb m_fill = 0, m_stroke = 0;
    double m_lineWidth = 1;
    double m_pageHeight = 0; // points
    bool m_inText = false;
    double m_textX = 0, m_textY = 0; // start of the current line, in points
    int m_font = -1;
    double m_fontSize = 0;
    std::vector<quint16> m_glyphs; // of the line being written
};

void Document::flush()
{
    if (!m_device || m_out.data.empty())
        return;
    if (m_error.isEmpty())
        m_error = writeFully(*m_device, m_out.data.data(), qint64(m_out.data.size()));
    m_written += m_out.size();
    m_out.data.clear();
}

int Document::fontIndex(Face *face)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].face == face)
            return int(i);
    m_fonts.push_back({face, {}, {}});
    return int(m_fonts.size()) - 1;
}

void Document::colour(Out &out, const QColor &c)
{
    out.num(c.redF()) << ' ';
    out.num(c.greenF()) << ' ';
    out.num(c.blueF());
}

void Document::setFill(const QColor &c)
{
    if (c.rgb() == m_fill)
        return;
    m_fill = c.rgb();
    colour(m_page, c);
    m_page << " rg\n";
}

void Document::setStroke(const QColor &c)
{
    if (c.rgb() == m_stroke)
        return;
    m_stroke = c.rgb();
    colour(m_page, c);
    m_page << " RG\n";
}

void Document::setLineWidth(double w)
{
    if (w == m_lineWidth)
        return;
    m_lineWidth = w;
    m_page.num(w) << " w\n";
}

// Offsets are written to a thousandth of a point; they add up exactly when rounded first.
double thousandths(double v)
{
    return double(std::llround(v * 1000.0)) / 1000.0;
}

void Document::beginText()
{
    if (m_inText)
        return;
    m_page << "BT\n";
    m_inText = true;
    m_textX = m_textY = 0; // the font stays set between text objects
}

void Document::endText()
{
    if (m_inText)
        m_page << "ET\n";
    m_inText = false;
}

void Document::selectFont(int index, double size)
{
    if (index == m_font && size == m_fontSize)
        return;
    m_page << "/F" << index << ' ';
    m_page.num(size) << " Tf\n";
    m_font = index;
    m_fontSize = size;
}

// Moves to the start of a line, relative to the previous line's start (points from the paper's bottom left).
void Document::moveText(double left, double baseline)
{
    const double dx = thousandths(left - m_textX);
    const double dy = thousandths(baseline - m_textY);
    m_page.num(dx) << ' ';
    m_page.num(dy) << " Td\n";
    m_textX += dx;
    m_textY += dy;
}

// The glyphs of a line whose characters the face has and which follow one another without shaping, into
// m_glyphs; false when the line needs the shaper.
bool Document::simpleLine(Face *face, const QString &line)
{
    m_glyphs.clear();
    if (!face->isValid())
        return false;
    const QChar *chars = line.constData();
    for (qsizetype k = 0, n = line.size(); k < n; ++k) {
        const char16_t c = chars[k].unicode();
        if (QChar::isSurrogate(c) || needsShaper(c))
            return false;
        const quint16 g = face->glyph(c);
        if (g == 0 && c > ' ')
            return false; // taken from another face, as on screen
        m_glyphs.push_back(g);
    }
    return true;
}

void Document::text(const DrawItem &item)
{
    if (item.textColor.alpha() == 0)
        return;
    Face *face = faceFor(item.font);
    const double size = emPoints(item.font);
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        const QString &line = item.lines[i];
        if (line.isEmpty())
            continue;
        const double left = item.lineLefts[size_t(i)] * pointsPerMm;
        const double baseline =
            m_pageHeight - (item.rect.top() + double(i) * item.lineHeight + item.ascent) * pointsPerMm;
        if (!simpleLine(face, line)) {
            shapedLine(item, face, line, left, baseline);
            continue;
        }
        beginText();
        const int index = fontIndex(face);
        selectFont(index, size);
        setFill(item.textColor);
        moveText(left, baseline);
        m_page << "[(";
        UsedFont &used = m_fonts[size_t(index)];
        quint16 previous = 0;
        for (size_t k = 0; k < m_glyphs.size(); ++k) {
            const quint16 g = m_glyphs[k];
            if (k > 0)
                if (const int kern = face->kerning(previous, g)) {
                    m_page << ") ";
                    m_page.num(-kern * face->thousandthsPerUnit()) << " (";
                }
            m_page.glyph16(g);
            used.use(g);
            previous = g;
        }
        m_page << ")] TJ\n";
    }
}

// A line laid out by Qt's text shaper, as the printer and the preview draw it: glyphs joined and ordered
// for their script, taken from the system's fallback fonts where the item's font lacks them. Each glyph
// is placed where the shaper put it; the line's characters ride along for search and copy.
void Document::shapedLine(const DrawItem &item, Face *itemFace, const QString &line, double left, double baseline)
{
    QTextLayout layout(line, item.font, &referenceDevice());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight); // as the page painter draws
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine laid = layout.createLine();
    if (!laid.isValid()) {
        layout.endLayout();
        return;
    }
    laid.setNumColumns(int(line.size()));
    layout.endLayout();
    const double ascent = laid.ascent();

    // The words of the line and where they lie, left to right on the line whatever their script: each
    // word is written as one marked span carrying its characters, so that a search or copy finds them.
    struct Word {
        qsizetype start, end;
        double left, right;
    };
    std::vector<Word> words;
    for (qsizetype start = 0; start < line.size();) {
        qsizetype end = line.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = line.size();
        if (end > start) {
            Word word{start, end, 1e300, -1e300};
            for (qsizetype k = start; k <= end; ++k) {
                const double x = laid.cursorToX(int(k));
                word.left = std::min(word.left, x);
                word.right = std::max(word.right, x);
            }
            words.push_back(word);
        }
        start = end + 1;
    }

    // A glyph belongs to the word its middle lies in.
    const auto wordAt = [&](double middle) {
        for (size_t w = 0; w < words.size(); ++w)
            if (middle >= words[w].left && middle <= words[w].right)
                return int(w);
        return -1;
    };

    struct Placed {
        Face *face;
        double size;
        quint16 glyph;
        double x, up; // points from the line's start on its baseline
        int word;     // -1: between words
        bool hidden;  // stands in for a glyph drawn as a shape, so that its word can be found
    };
    std::vector<Placed> placed;
    struct Shape {
        QRawFont raw;
        quint32 glyph;
        QPointF at; // points from the line's start on its baseline, upwards
    };
    std::vector<Shape> shapes; // glyphs of faces that cannot be embedded
    // An invisible glyph of the item's face under each of them carries its word for search and copy.
    Face *stand = itemFace;
    const quint16 standGlyph = stand->isValid() ? stand->glyph(U'x') : 0;
    if (!standGlyph)
        stand = nullptr;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const qsizetype count = std::min(glyphs.size(), positions.size());
        Face *face = faceForRaw(raw);
        const double size = raw.pixelSize() * pointsPerLayoutPixel;
        for (qsizetype k = 0; k < count; ++k) {
            const double x = positions[k].x() * pointsPerLayoutPixel;
            const double up = thousandths((ascent - positions[k].y()) * pointsPerLayoutPixel);
            if (!face->isValid() || size <= 0 || glyphs[k] > 0xFFFF) {
                shapes.push_back({raw, glyphs[k], QPointF(x, up)});
                const double middle = positions[k].x() + raw.boundingRect(glyphs[k]).center().x();
                if (stand && size > 0)
                    placed.push_back({stand, size, standGlyph, x, up, wordAt(middle), true});
                continue;
            }
            const quint16 g = quint16(glyphs[k]);
            const double middle = positions[k].x() + face->width1000(g) * raw.pixelSize() / 2000.0;
            placed.push_back({face, size, g, x, up, wordAt(middle), false});
        }
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) { return a.word < b.word; });

    beginText();
    setFill(item.textColor);
    moveText(left, baseline);
    // The pen's place on the line in points; glyphs are placed by shifting it from where the last glyph's
    // advance left it, in thousandths of the size.
    double pen = 0, rise = 0;
    int word = -1;
    bool inArray = false, inSpan = false, hidden = false;
    const auto closeArray = [&] {
        if (inArray)
            m_page << ")] TJ\n";
        inArray = false;
    };
    for (const Placed &p : placed) {
        if (p.word < 0 && p.glyph == 0)
            continue;
        if (p.word != word || !inSpan) {
            closeArray();
            if (inSpan)
                m_page << "EMC\n";
            inSpan = false;
            word = p.word;
            if (word >= 0) {
                const Word &w = words[size_t(word)];
                m_page << "/Span << /ActualText ";
                writeTextString(m_page, line.mid(w.start, w.end - w.start));
                m_page << " >> BDC\n";
                inSpan = true;
            }
        }
        const int index = fontIndex(p.face);
        if (index != m_font || p.size != m_fontSize) {
            closeArray();
            selectFont(index, p.size);
        }
        if (p.up != rise) {
            closeArray();
            m_page.num(p.up) << " Ts\n";
            rise = p.up;
        }
        if (p.hidden != hidden) {
            closeArray();
            m_page << (p.hidden ? "3 Tr\n" : "0 Tr\n");
            hidden = p.hidden;
        }
        if (!inArray) {
            m_page << "[(";
            inArray = true;
        }
        if (const double shift = thousandths((pen - p.x) * 1000.0 / p.size); shift != 0) {
            m_page << ") ";
            m_page.num(shift) << " (";
            pen -= shift * p.size / 1000.0;
        }
        m_page.glyph16(p.glyph);
        m_fonts[size_t(index)].use(p.glyph);
        pen += p.face->width1000(p.glyph) * p.size / 1000.0;
    }
    closeArray();
    if (inSpan)
        m_page << "EMC\n";
    if (rise != 0)
        m_page << "0 Ts\n";
    if (hidden)
        m_page << "0 Tr\n";

    if (shapes.empty())
        return;
    // Glyphs of Type 1 faces, drawn as their outlines.
    endText();
    for (const Shape &shape : shapes) {
        const QPainterPath path = shape.raw.pathForGlyph(shape.glyph);
        if (path.isEmpty())
            continue; // a bitmap (colour emoji): Qt paints no glyph run of it to take a picture from
        const auto point = [&](const QPainterPath::Element &e) {
            m_page.num(left + shape.at.x() + e.x * pointsPerLayoutPixel) << ' ';
            m_page.num(baseline + shape.at.y() - e.y * pointsPerLayoutPixel) << ' ';
        };
        for (int e = 0; e < path.elementCount(); ++e) {
            const QPainterPath::Element element = path.elementAt(e);
            if (element.isMoveTo()) {
                point(element);
                m_page << "m\n";
            } else if (element.isLineTo()) {
                point(element);
                m_page << "l\n";
            } else if (element.isCurveTo() && e + 2 < path.elementCount()) {
                point(element);
                point(path.elementAt(e + 1));
                point(path.elementAt(e + 2));
                m_page << "c\n";
                e += 2;
            }
        }
        if (path.fillRule() == Qt::OddEvenFill)
            m_page << "f*\n";
        else
            m_page << "f\n";
    }
}

const std::string &Document::content(const Page &page)
{
    m_page.data.clear(); // keeps its capacity from page to page
    m_fill = m_stroke = qRgb(0, 0, 0);
    m_lineWidth = 1;
    m_inText = false;
    m_font = -1;
    m_fontSize = 0;
    const double height = page.paper.height() * pointsPerMm;
    m_pageHeight = height;
    const auto x = [](double mm) { return mm * pointsPerMm; };
    const auto y = [height](double mm) { return height - mm * pointsPerMm; };
    m_page << "0 J 0 j\n";

    for (const PlacedBand &band : page.bands) {
        for (const DrawItem &item : band.items) {
            switch (item.kind) {
            case DrawItem::Kind::Rect: {
                // A fully transparent brush or pen paints nothing, as on screen.
                const bool fill = item.filled && item.brushColor.alpha() != 0;
                const bool outline = item.outline && item.penColor.alpha() != 0;
                if (!outline && (!fill || item.rect.isEmpty()))
                    break;
                endText();
                if (fill)
                    setFill(item.brushColor);
                if (outline) {
                    setStroke(item.penColor);
                    setLineWidth(x(item.penWidth));
                }
                m_page.num(x(item.rect.left())) << ' ';
                m_page.num(y(item.rect.bottom())) << ' ';
                m_page.num(x(item.rect.width())) << ' ';
                m_page.num(item.rect.height() * pointsPerMm);
                if (!outline)
                    m_page << " re f\n";
                else if (fill)
                    m_page << " re B\n";
                else
                    m_page << " re S\n";
                break;
            }
            case DrawItem::Kind::Line:
                if (item.penColor.alpha() == 0)
                    break;
                endText();
                setStroke(item.penColor);
                setLineWidth(x(item.penWidth));
                m_page.num(x(item.rect.left())) << ' ';
                m_page.num(y(item.rect.top())) << " m ";
                m_page.num(x(item.rect.right())) << ' ';
                m_page.num(y(item.rect.bottom())) << " l S\n";
                break;
            case DrawItem::Kind::Text:
                text(item);
                break;
            }
        }
    }
    endText();
    return m_page.data;
}

void writeTextString(Out &out, const QString &text)
{
    out << "<FEFF";
    for (QChar c : text)
        out.hex16(c.unicode());
    out << '>';
}

void Document::start(const QString &title)
{
    m_out.data.reserve(64 * 1024);
    m_page.data.reserve(16 * 1024);
    m_out << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    m_catalog = reserve();
    m_pageTree = reserve();
    m_resources = reserve();
    m_info = reserve();
    begin(m_info);
    m_out << "<< /Title ";
    writeTextString(m_out, title);
    // The moment of writing, in the program's local time as its clock gives it.
    const QDateTime now = Clock::now();
    m_out << " /CreationDate (D:" << now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() << ")";
#ifdef TESSUND_VERSION
    m_out << " /Creator (Tessund " TESSUND_VERSION ") /Producer (Tessund " TESSUND_VERSION ") >>";
#else
    m_out << " /Creator (Tessund) /Producer (Tessund) >>";
#endif
    end();
}

void Document::addPage(const Page &page)
{
    const int contents = reserve(), object = reserve();
    stream(contents, deflate(content(page), Packing::Fast));
    begin(object);
    m_out << "<< /Type /Page /Parent " << m_pageTree << " 0 R /MediaBox [0 0 ";
    m_out.num(page.paper.width() * pointsPerMm) << ' ';
    m_out.num(page.paper.height() * pointsPerMm)
        << "] /Resources " << m_resources << " 0 R /Contents " << contents << " 0 R >>";
    end();
    m_pageObjects.push_back(object);
    if (m_out.data.size() >= 256 * 1024)
        flush();
}

void Document::finish()
{
    // A document without pages is one blank A4 sheet, which every reader opens.
    if (m_pageObjects.empty())
        addPage(Page{QSizeF(210, 297), {}});
    begin(m_pageTree);
    m_out << "<< /Type /Pages /Count " << int(m_pageObjects.size()) << " /Kids [";
    for (int object : m_pageObjects)
        m_out << object << " 0 R ";
    m_out << "] >>";
    end();

    std::vector<int> fontObjects;
    for (const UsedFont &used : m_fonts) {
        const std::shared_ptr<const Subset> kept = used.face->subset(used.glyphs);
        const Subset &subset = *kept;
        const QByteArray name = subset.tag + '+' + used.face->postScriptName();
        const int type0 = reserve(), cid = reserve(), descriptor = reserve(), file = reserve(), cmap = reserve();
        fontObjects.push_back(type0);
        begin(type0);
        m_out << "<< /Type /Font /Subtype /Type0 /BaseFont /" << name << " /Encoding /Identity-H /DescendantFonts ["
              << cid << " 0 R] /ToUnicode " << cmap << " 0 R >>";
        end();
        begin(cid);
        // Compact outlines are addressed by their glyph ids directly.
        if (used.face->isCompact())
            m_out << "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /" << name;
        else
            m_out << "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" << name << " /CIDToGIDMap /Identity";
        m_out << " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor "
              << descriptor << " 0 R /DW 0 /W " << subset.widths << " >>";
        end();
        begin(descriptor);
        used.face->writeDescriptor(m_out, name, file);
        end();
        if (used.face->isCompact()) {
            m_openType = true;
            stream(file, subset.fontFile, " /Subtype /OpenType");
        } else {
            stream(file, subset.fontFile, " /Length1 " + QByteArray::number(subset.fontFileLength));
        }
        stream(cmap, subset.toUnicode);
    }
    begin(m_resources);
    m_out << "<< /ProcSet [/PDF /Text] /Font <<";
    for (size_t i = 0; i < fontObjects.size(); ++i)
        m_out << " /F" << int(i) << ' ' << fontObjects[i] << " 0 R";
    m_out << " >> >>";
    end();
    begin(m_catalog);
    m_out << "<< /Type /Catalog /Pages " << m_pageTree << " 0 R";
    if (m_openType)
        m_out << " /Version /1.6"; // fonts with compact outlines in OpenType files
    m_out << " >>";
    end();

    const qint64 xref = m_written + m_out.size();
    m_out << "xref\n0 " << int(m_offsets.size() + 1) << "\n0000000000 65535 f \n";
    for (qint64 offset : m_offsets) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(offset));
        m_out.data.append(entry, 20);
    }
    m_out << "trailer\n<< /Size " << int(m_offsets.size() + 1) << " /Root " << m_catalog << " 0 R /Info " << m_info
          << " 0 R >>\nstartxref\n"
          << xref << "\n%%EOF\n";
    flush();
}

} // namespace

QString writeFully(QIODevice &device, const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 written = device.write(data + done, size - done);
        if (written <= 0) {
            const int error = errno;
            const QString reason = device.errorString();
            if (error != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
                return QString::fromLocal8Bit(std::strerror(error));
            return reason;
        }
        done += written;
    }
    return QString();
}

QByteArray pdfDocument(const std::vector<Page> &pages, const QString &title)
{
    const std::lock_guard lock(facesMutex);
    Document document(nullptr);
    document.start(title);
    for (const Page &page : pages)
        document.addPage(page);
    document.finish();
    return document.error().isEmpty() ? document.takeData() : QByteArray();
}

struct PdfStream::Private {
    explicit Private(QIODevice &device) : document(&device) {}
    Document document;
};

PdfStream::PdfStream(QIODevice &device, const QString &title) : d(std::make_unique<Private>(device))
{
    const std::lock_guard lock(facesMutex);
    d->document.start(title);
}

PdfStream::~PdfStream() = default;

void PdfStream::addPage(const Page &page)
{
    const std::lock_guard lock(facesMutex);
    d->document.addPage(page);
}

QString PdfStream::finish()
{
    const std::lock_guard lock(facesMutex);
    d->document.finish();
    return d->document.error();
}

QString PdfStream::error() const
{
    return d->document.error();
}

} // namespace report
