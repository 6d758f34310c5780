#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>

#include <array>
#include <memory>
#include <vector>

namespace report {

class PdfBuffer;

// One typeface, read from its font file once: its glyphs, widths and kerning as the PDF text needs them,
// and subsets of it to embed. The glyph look-ups are inline: they run for every character of a page.
class FontFace {
public:
    // A compressed font file of some of the face's glyphs, with what the PDF font objects carry of it.
    struct Subset {
        std::vector<quint16> glyphs; // sorted, without components
        QByteArray tag;              // six capitals naming the subset
        QByteArray fontFile;         // deflated
        qint64 fontFileLength = 0;
        QByteArray widths;    // the /W array
        QByteArray toUnicode; // deflated CMap
    };

    explicit FontFace(const QRawFont &raw);

    // Whether the face can be embedded: TrueType outlines, or compact ones the subsetter takes.
    bool isValid() const { return m_outlines != Outlines::None; }
    // Compact outlines, embedded in an OpenType file rather than as TrueType.
    bool isCompact() const { return m_outlines == Outlines::Compact; }
    // The glyph of a character, 0 when the face has none. Only for a valid face.
    quint16 glyph(char32_t c)
    {
        if (c < 0x10000 && m_bmp[c] >= 0)
            return quint16(m_bmp[c]);
        return lookUpGlyph(c);
    }
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
    // A subset holding `glyphs`: a recent one when it does not carry many more, else a new one. Its font
    // file or character map is empty when it could not be made; the next call tries again.
    std::shared_ptr<const Subset> subset(std::vector<quint16> glyphs);
    const QByteArray &postScriptName() const { return m_psName; }
    void writeDescriptor(PdfBuffer &out, const QByteArray &name, int fontFileObject) const;

private:
    void readKerning();
    quint16 lookUpGlyph(char32_t c);
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

} // namespace report
