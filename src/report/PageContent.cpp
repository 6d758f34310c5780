#include "PageContent.h"

#include "FontRegistry.h"
#include "Report.h"
#include "ShapedLine.h"

namespace report {

namespace {

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

} // namespace

const std::string &PageContent::write(const Page &page)
{
    m_page.data.clear(); // keeps its capacity from page to page
    m_fill = m_stroke = qRgb(0, 0, 0);
    m_lineWidth = 1;
    m_inText = false;
    m_font = -1;
    m_fontSize = 0;
    m_pageHeight = page.paper.height() * pointsPerMm;
    m_page << "0 J 0 j\n";

    for (const PlacedBand &band : page.bands) {
        for (const DrawItem &item : band.items) {
            switch (item.kind) {
            case DrawItem::Kind::Rect:
                rectangle(item);
                break;
            case DrawItem::Kind::Line:
                line(item);
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

void PageContent::rectangle(const DrawItem &item)
{
    // A fully transparent brush or pen paints nothing, as on screen.
    const bool fill = item.filled && item.brushColor.alpha() != 0;
    const bool outline = item.outline && item.penColor.alpha() != 0;
    if (!outline && (!fill || item.rect.isEmpty()))
        return;
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
}

void PageContent::line(const DrawItem &item)
{
    if (item.penColor.alpha() == 0)
        return;
    endText();
    setStroke(item.penColor);
    setLineWidth(x(item.penWidth));
    m_page.num(x(item.rect.left())) << ' ';
    m_page.num(y(item.rect.top())) << " m ";
    m_page.num(x(item.rect.right())) << ' ';
    m_page.num(y(item.rect.bottom())) << " l S\n";
}

// The glyphs of a line whose characters the face has and which follow one another without shaping, into
// m_glyphs; false when the line needs the shaper.
bool PageContent::simpleLine(FontFace *face, const QString &line)
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

void PageContent::text(const DrawItem &item)
{
    if (item.textColor.alpha() == 0)
        return;
    FontFace *face = FontRegistry::faceFor(item.font);
    const double size = emPoints(item.font);
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        const QString &line = item.lines[i];
        if (line.isEmpty())
            continue;
        const double left = item.lineLefts[size_t(i)] * pointsPerMm;
        const double baseline =
            m_pageHeight - (item.rect.top() + double(i) * item.lineHeight + item.ascent) * pointsPerMm;
        if (!simpleLine(face, line)) {
            ShapedLine(item, face, line).write(*this, left, baseline);
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

void PageContent::colour(const QColor &c)
{
    m_page.num(c.redF()) << ' ';
    m_page.num(c.greenF()) << ' ';
    m_page.num(c.blueF());
}

void PageContent::setFill(const QColor &c)
{
    if (c.rgb() == m_fill)
        return;
    m_fill = c.rgb();
    colour(c);
    m_page << " rg\n";
}

void PageContent::setStroke(const QColor &c)
{
    if (c.rgb() == m_stroke)
        return;
    m_stroke = c.rgb();
    colour(c);
    m_page << " RG\n";
}

void PageContent::setLineWidth(double w)
{
    if (w == m_lineWidth)
        return;
    m_lineWidth = w;
    m_page.num(w) << " w\n";
}

void PageContent::beginText()
{
    if (m_inText)
        return;
    m_page << "BT\n";
    m_inText = true;
    m_textX = m_textY = 0; // the font stays set between text objects
}

void PageContent::endText()
{
    if (m_inText)
        m_page << "ET\n";
    m_inText = false;
}

void PageContent::selectFont(int index, double size)
{
    if (isFont(index, size))
        return;
    m_page << "/F" << index << ' ';
    m_page.num(size) << " Tf\n";
    m_font = index;
    m_fontSize = size;
}

void PageContent::moveText(double left, double baseline)
{
    const double dx = thousandths(left - m_textX);
    const double dy = thousandths(baseline - m_textY);
    m_page.num(dx) << ' ';
    m_page.num(dy) << " Td\n";
    m_textX += dx;
    m_textY += dy;
}

} // namespace report
