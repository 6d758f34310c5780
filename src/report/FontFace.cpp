#include "FontFace.h"

#include "PdfBuffer.h"
#include "SfntTables.h"

#include <algorithm>
#include <cstring>
#include <hb-subset.h>
#include <iterator>
#include <string_view>

namespace report {

using sfnt::append16;
using sfnt::append32;
using sfnt::put16;
using sfnt::put32;
using sfnt::s16;
using sfnt::u16;
using sfnt::u32;

namespace {

// How many glyphs a document may carry beyond those it uses, to share a font subset made before.
constexpr size_t spareGlyphs = 32;

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

} // namespace

FontFace::FontFace(const QRawFont &raw) : m_raw(raw)
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

    readKerning();
    m_bmp.assign(0x10000, -1);
    m_unicode.assign(size_t(m_glyphCount), 0);
    m_outlines = m_glyf.isEmpty() ? Outlines::Compact : Outlines::TrueType;
}

// Pairs of the classic kerning table, which the text shaper applies when the layout measures.
void FontFace::readKerning()
{
    m_kerns.assign(size_t(m_glyphCount), 0);
    const QByteArray kern = m_raw.fontTable("kern");
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
}

// A character not asked for before, or one beyond the basic plane.
quint16 FontFace::lookUpGlyph(char32_t c)
{
    if (c >= 0x10000)
        if (const auto it = m_astral.constFind(c); it != m_astral.cend())
            return *it;
    const char32_t chars[] = {c};
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(QString::fromUcs4(chars, 1));
    quint16 g = glyphs.isEmpty() || glyphs.front() >= quint32(m_glyphCount) ? 0 : quint16(glyphs.front());
    if (g && m_unicode[g] == 0)
        m_unicode[g] = c;
    if (c < 0x10000)
        m_bmp[c] = g;
    else
        m_astral.insert(c, g);
    return g;
}

void FontFace::addComponents(quint16 g, std::vector<bool> &used) const
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
QByteArray FontFace::fontFile(const std::vector<bool> &used, int count) const
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

    std::vector<sfnt::Table> tables; // in tag order
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
    return sfnt::fontFile(0x00010000, tables);
}

// A font file of the face's own tables, with outlines in the compact format, cut down by HarfBuzz's
// subsetter to the glyphs in `used`, at their own glyph ids. Empty when the subsetter fails.
QByteArray FontFace::openTypeFile(const std::vector<bool> &used) const
{
    static const char *const tags[] = {"CFF ", "GDEF", "GPOS", "GSUB", "OS/2", "cmap",
                                       "head", "hhea", "hmtx", "maxp", "name", "post"};
    std::vector<QByteArray> data;
    data.reserve(std::size(tags));
    std::vector<sfnt::Table> tables;
    for (const char *tag : tags) {
        data.push_back(m_raw.fontTable(tag));
        if (!data.back().isEmpty())
            tables.push_back({tag, &data.back()});
    }
    const QByteArray whole = sfnt::fontFile(0x4F54544F, tables); // 'OTTO'
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

QByteArray FontFace::widthsArray(const std::vector<quint16> &glyphs) const
{
    PdfBuffer out;
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

std::string FontFace::toUnicodeMap(const std::vector<quint16> &glyphs) const
{
    std::vector<quint16> mapped;
    for (quint16 g : glyphs)
        if (m_unicode[g])
            mapped.push_back(g);
    PdfBuffer out;
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

std::shared_ptr<const FontFace::Subset> FontFace::subset(std::vector<quint16> glyphs)
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

void FontFace::writeDescriptor(PdfBuffer &out, const QByteArray &name, int fontFileObject) const
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

} // namespace report
