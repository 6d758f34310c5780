#pragma once

#include <QColor>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

#include <vector>

namespace report {

class FontFace;
class PageContent;
class PdfBuffer;
struct DrawItem;

// A line laid out by Qt's text shaper, as the printer and the preview draw it: glyphs joined and ordered
// for their script, taken from the system's fallback fonts where the item's font lacks them. Each glyph
// is placed where the shaper put it; the line's characters ride along for search and copy, one marked
// span per word. Glyphs of faces that cannot be embedded are drawn as their outlines.
class ShapedLine {
public:
    // Lays out `line` (one line of the item's text; it must outlive this) in the item's font.
    ShapedLine(const DrawItem &item, FontFace *itemFace, const QString &line);
    // Writes the line starting at `left` on `baseline`, points from the paper's bottom left.
    void write(PageContent &content, double left, double baseline) const;

private:
    // A word of the line and where it lies, left to right on the line whatever its script.
    struct Word {
        qsizetype start, end;
        double left, right;
    };
    struct Placed {
        FontFace *face;
        double size;
        quint16 glyph;
        double x, up; // points from the line's start on its baseline
        int word;     // -1: between words
        bool hidden;  // stands in for a glyph drawn as a shape, so that its word can be found
    };
    // A glyph of a face that cannot be embedded.
    struct Shape {
        QRawFont raw;
        quint32 glyph;
        QPointF at; // points from the line's start on its baseline, upwards
    };
    class Writer;

    void findWords(const QTextLine &laid);
    int wordAt(double middle) const;
    void placeGlyphs(double ascent, FontFace *itemFace);
    void writeShapes(PdfBuffer &out, double left, double baseline) const;

    const QString &m_line;
    QColor m_color;
    QTextLayout m_layout;
    bool m_laidOut = false;
    std::vector<Word> m_words;
    std::vector<Placed> m_placed; // by word
    std::vector<Shape> m_shapes;
};

} // namespace report
