#pragma once

#include "FontFace.h"
#include "PdfBuffer.h"
#include "TextMetrics.h"

#include <QColor>

#include <string>
#include <vector>

namespace report {

struct DrawItem;
struct Page;

constexpr double pointsPerMm = 72.0 / 25.4;
// Fonts sized in pixels count the pixels of the 1,200 dpi device the layout measures them on.
constexpr double pointsPerLayoutPixel = 72.0 / referenceDpi;

// The content streams of a document's pages, one page at a time, with their graphics state: shapes as
// paths, texts as glyphs of the faces in fonts(), which collects the glyphs every page uses. A line its
// face cannot show by itself goes to ShapedLine, which writes through the text operators here.
class PageContent {
public:
    // A font of the document: its face and the glyphs the pages used of it so far.
    struct UsedFont {
        FontFace *face;
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

    // The content stream of `page`, valid until the next page.
    const std::string &write(const Page &page);
    // The fonts the pages used, in the order of their resource names /F0, /F1, ...
    const std::vector<UsedFont> &fonts() const { return m_fonts; }

    PdfBuffer &out() { return m_page; }
    void beginText();
    void endText();
    void setFill(const QColor &c);
    // Index of the face's font (its resource name), added when new.
    int fontIndex(FontFace *face)
    {
        for (size_t i = 0; i < m_fonts.size(); ++i)
            if (m_fonts[i].face == face)
                return int(i);
        m_fonts.push_back({face, {}, {}});
        return int(m_fonts.size()) - 1;
    }
    bool isFont(int index, double size) const { return index == m_font && size == m_fontSize; }
    void selectFont(int index, double size);
    void useGlyph(int index, quint16 g) { m_fonts[size_t(index)].use(g); }
    // Moves to the start of a line, relative to the previous line's start (points from the paper's bottom left).
    void moveText(double left, double baseline);

private:
    void rectangle(const DrawItem &item);
    void line(const DrawItem &item);
    void text(const DrawItem &item);
    bool simpleLine(FontFace *face, const QString &line);
    void setStroke(const QColor &c);
    void setLineWidth(double w);
    void colour(const QColor &c);
    double x(double mm) const { return mm * pointsPerMm; }
    double y(double mm) const { return m_pageHeight - mm * pointsPerMm; }

    std::vector<UsedFont> m_fonts;
    // Graphics state of the page being written.
    PdfBuffer m_page;
    QRgb m_fill = 0, m_stroke = 0;
    double m_lineWidth = 1;
    double m_pageHeight = 0; // points
    bool m_inText = false;
    double m_textX = 0, m_textY = 0; // start of the current line, in points
    int m_font = -1;
    double m_fontSize = 0;
    std::vector<quint16> m_glyphs; // of the line being written
};

} // namespace report
