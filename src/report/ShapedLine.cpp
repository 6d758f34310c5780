#include "ShapedLine.h"

#include "FontRegistry.h"
#include "PageContent.h"
#include "Report.h"

#include <QGlyphRun>
#include <QPainterPath>

#include <algorithm>

namespace report {

// The text state while the glyphs are written. The pen's place on the line is in points; glyphs are
// placed by shifting it from where the last glyph's advance left it, in thousandths of the size.
class ShapedLine::Writer {
public:
    Writer(const ShapedLine &line, PageContent &content) : m_line(line), m_content(content), m_out(content.out()) {}
    void glyph(const Placed &p);
    void finish();

private:
    void closeArray();
    void startWord(int word);
    void setState(const Placed &p, int index);

    const ShapedLine &m_line;
    PageContent &m_content;
    PdfBuffer &m_out;
    double m_pen = 0, m_rise = 0;
    int m_word = -1;
    bool m_inArray = false, m_inSpan = false, m_hidden = false;
};

void ShapedLine::Writer::closeArray()
{
    if (m_inArray)
        m_out << ")] TJ\n";
    m_inArray = false;
}

// Each word is one marked span carrying its characters, so that a search or copy finds them.
void ShapedLine::Writer::startWord(int word)
{
    closeArray();
    if (m_inSpan)
        m_out << "EMC\n";
    m_inSpan = false;
    m_word = word;
    if (word >= 0) {
        const Word &w = m_line.m_words[size_t(word)];
        m_out << "/Span << /ActualText ";
        m_out.textString(m_line.m_line.mid(w.start, w.end - w.start));
        m_out << " >> BDC\n";
        m_inSpan = true;
    }
}

// Font, rise and rendering mode of the glyph; each change ends the glyph array.
void ShapedLine::Writer::setState(const Placed &p, int index)
{
    if (!m_content.isFont(index, p.size)) {
        closeArray();
        m_content.selectFont(index, p.size);
    }
    if (p.up != m_rise) {
        closeArray();
        m_out.num(p.up) << " Ts\n";
        m_rise = p.up;
    }
    if (p.hidden != m_hidden) {
        closeArray();
        m_out << (p.hidden ? "3 Tr\n" : "0 Tr\n");
        m_hidden = p.hidden;
    }
}

void ShapedLine::Writer::glyph(const Placed &p)
{
    if (p.word < 0 && p.glyph == 0)
        return;
    if (p.word != m_word || !m_inSpan)
        startWord(p.word);
    const int index = m_content.fontIndex(p.face);
    setState(p, index);
    if (!m_inArray) {
        m_out << "[(";
        m_inArray = true;
    }
    if (const double shift = thousandths((m_pen - p.x) * 1000.0 / p.size); shift != 0) {
        m_out << ") ";
        m_out.num(shift) << " (";
        m_pen -= shift * p.size / 1000.0;
    }
    m_out.glyph16(p.glyph);
    m_content.useGlyph(index, p.glyph);
    m_pen += p.face->width1000(p.glyph) * p.size / 1000.0;
}

// Ends the last word and sets the rise and rendering mode back for the next line.
void ShapedLine::Writer::finish()
{
    closeArray();
    if (m_inSpan)
        m_out << "EMC\n";
    if (m_rise != 0)
        m_out << "0 Ts\n";
    if (m_hidden)
        m_out << "0 Tr\n";
}

ShapedLine::ShapedLine(const DrawItem &item, FontFace *itemFace, const QString &line)
    : m_line(line), m_color(item.textColor), m_layout(line, item.font, &referenceDevice())
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight); // as the page painter draws
    m_layout.setTextOption(option);
    m_layout.beginLayout();
    QTextLine laid = m_layout.createLine();
    if (!laid.isValid()) {
        m_layout.endLayout();
        return;
    }
    laid.setNumColumns(int(line.size()));
    m_layout.endLayout();
    m_laidOut = true;
    findWords(laid);
    placeGlyphs(laid.ascent(), itemFace);
}

void ShapedLine::findWords(const QTextLine &laid)
{
    for (qsizetype start = 0; start < m_line.size();) {
        qsizetype end = m_line.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = m_line.size();
        if (end > start) {
            Word word{start, end, 1e300, -1e300};
            for (qsizetype k = start; k <= end; ++k) {
                const double x = laid.cursorToX(int(k));
                word.left = std::min(word.left, x);
                word.right = std::max(word.right, x);
            }
            m_words.push_back(word);
        }
        start = end + 1;
    }
}

// A glyph belongs to the word its middle lies in.
int ShapedLine::wordAt(double middle) const
{
    for (size_t w = 0; w < m_words.size(); ++w)
        if (middle >= m_words[w].left && middle <= m_words[w].right)
            return int(w);
    return -1;
}

// The glyphs of the layout's runs in points from the line's start, word by word. An invisible glyph of
// the item's face under each glyph drawn as a shape carries its word for search and copy.
void ShapedLine::placeGlyphs(double ascent, FontFace *itemFace)
{
    FontFace *stand = itemFace;
    const quint16 standGlyph = stand->isValid() ? stand->glyph(U'x') : 0;
    if (!standGlyph)
        stand = nullptr;
    for (const QGlyphRun &run : m_layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const qsizetype count = std::min(glyphs.size(), positions.size());
        FontFace *face = FontRegistry::faceForRaw(raw);
        const double size = raw.pixelSize() * pointsPerLayoutPixel;
        for (qsizetype k = 0; k < count; ++k) {
            const double x = positions[k].x() * pointsPerLayoutPixel;
            const double up = thousandths((ascent - positions[k].y()) * pointsPerLayoutPixel);
            if (!face->isValid() || size <= 0 || glyphs[k] > 0xFFFF) {
                m_shapes.push_back({raw, glyphs[k], QPointF(x, up)});
                const double middle = positions[k].x() + raw.boundingRect(glyphs[k]).center().x();
                if (stand && size > 0)
                    m_placed.push_back({stand, size, standGlyph, x, up, wordAt(middle), true});
                continue;
            }
            const quint16 g = quint16(glyphs[k]);
            const double middle = positions[k].x() + face->width1000(g) * raw.pixelSize() / 2000.0;
            m_placed.push_back({face, size, g, x, up, wordAt(middle), false});
        }
    }
    std::stable_sort(m_placed.begin(), m_placed.end(),
                     [](const Placed &a, const Placed &b) { return a.word < b.word; });
}

void ShapedLine::write(PageContent &content, double left, double baseline) const
{
    if (!m_laidOut)
        return;
    content.beginText();
    content.setFill(m_color);
    content.moveText(left, baseline);
    Writer writer(*this, content);
    for (const Placed &p : m_placed)
        writer.glyph(p);
    writer.finish();
    if (m_shapes.empty())
        return;
    content.endText();
    writeShapes(content.out(), left, baseline);
}

// Glyphs of Type 1 faces, drawn as their outlines.
void ShapedLine::writeShapes(PdfBuffer &out, double left, double baseline) const
{
    for (const Shape &shape : m_shapes) {
        const QPainterPath path = shape.raw.pathForGlyph(shape.glyph);
        if (path.isEmpty())
            continue; // a bitmap (colour emoji): Qt paints no glyph run of it to take a picture from
        const auto point = [&](const QPainterPath::Element &e) {
            out.num(left + shape.at.x() + e.x * pointsPerLayoutPixel) << ' ';
            out.num(baseline + shape.at.y() - e.y * pointsPerLayoutPixel) << ' ';
        };
        for (int e = 0; e < path.elementCount(); ++e) {
            const QPainterPath::Element element = path.elementAt(e);
            if (element.isMoveTo()) {
                point(element);
                out << "m\n";
            } else if (element.isLineTo()) {
                point(element);
                out << "l\n";
            } else if (element.isCurveTo() && e + 2 < path.elementCount()) {
                point(element);
                point(path.elementAt(e + 1));
                point(path.elementAt(e + 2));
                out << "c\n";
                e += 2;
            }
        }
        if (path.fillRule() == Qt::OddEvenFill)
            out << "f*\n";
        else
            out << "f\n";
    }
}

} // namespace report
