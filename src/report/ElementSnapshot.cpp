#include "ElementSnapshot.h"

#include "TextMetrics.h"
#include "core/Errors.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace report {

namespace {

DrawItem lineItem(double x1, double y1, double x2, double y2, const QColor &color, double widthMm)
{
    DrawItem item;
    item.kind = DrawItem::Kind::Line;
    item.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    item.outline = true;
    item.penColor = color;
    item.penWidth = widthMm;
    return item;
}

void addFrame(std::vector<DrawItem> &items, const QRectF &r, int sides)
{
    const double w = mmPerPixel;
    if (sides & SideTop)
        items.push_back(lineItem(r.left(), r.top(), r.right(), r.top(), Qt::black, w));
    if (sides & SideBottom)
        items.push_back(lineItem(r.left(), r.bottom(), r.right(), r.bottom(), Qt::black, w));
    if (sides & SideLeft)
        items.push_back(lineItem(r.left(), r.top(), r.left(), r.bottom(), Qt::black, w));
    if (sides & SideRight)
        items.push_back(lineItem(r.right(), r.top(), r.right(), r.bottom(), Qt::black, w));
}

const QFont &elementFont(const Report &report, const Band &band, const TextElement &element)
{
    return element.font ? *element.font : band.font ? *band.font : report.font;
}

// Without wrapping every line must fit the width; with it, the wrapped lines the height.
bool fitsBox(const TextElement &element, const QStringList &paragraphs, const TextMetrics &metrics)
{
    if (!element.wordWrap) {
        for (const QString &p : paragraphs)
            if (metrics.width(p) > element.width)
                return false;
        return true;
    }
    if (element.autoStretch)
        return true;
    QStringList wrapped;
    std::vector<double> widths;
    for (const QString &p : paragraphs)
        metrics.wrap(p, element.width, wrapped, widths);
    return double(wrapped.size()) * metrics.lineHeight() <= element.height + 0.01;
}

// The metrics of the largest size, down from the element's font, in which its text fits its box. What the
// smallest size cannot hold throws Error when it must fit; a line without wrapping is then `cut` off.
const TextMetrics &shrunkMetrics(const TextElement &element, const QFont &font, const QString &text,
                                 const QStringList &paragraphs, bool &cut)
{
    const TextMetrics &base = TextMetrics::forReportFont(font);
    if (fitsBox(element, paragraphs, base))
        return base;
    // Sizes go down in quarter points, so that a list meets only a few of them.
    constexpr double smallest = 6.0;
    double size = font.pointSizeF() - 0.25;
    if (!element.wordWrap) { // the width tells roughly where to start
        double widest = 0;
        for (const QString &p : paragraphs)
            widest = std::max(widest, base.width(p));
        size = std::min(size, std::floor(font.pointSizeF() * element.width / widest * 4.0) / 4.0);
    }
    QFont smaller = font;
    for (;; size -= 0.25) {
        smaller.setPointSizeF(std::max(smallest, size));
        const TextMetrics &fitted = TextMetrics::forReportFont(smaller);
        if (fitsBox(element, paragraphs, fitted))
            return fitted;
        if (size <= smallest) {
            if (element.mustFit)
                throw Error(QCoreApplication::translate("Report", "\"%1\" does not fit its field on the page, even "
                                                                  "in the smallest legible size")
                                .arg(text));
            cut = !element.wordWrap; // what 6 pt cannot hold
            return fitted;
        }
    }
}

// The lines of a text element with their widths, and the box they stand in across.
struct TextLines {
    QStringList lines;
    std::vector<double> widths;
    double left = 0, width = 0;
};

TextLines setLines(const TextElement &element, const QStringList &paragraphs, const TextMetrics &metrics, bool cut)
{
    TextLines text;
    text.left = element.left;
    text.width = element.width;
    text.lines.reserve(paragraphs.size());
    text.widths.reserve(size_t(paragraphs.size()));
    if (element.autoSize) {
        double widest = 0;
        for (const QString &p : paragraphs) {
            text.lines << p;
            text.widths.push_back(metrics.width(p));
            widest = std::max(widest, text.widths.back());
        }
        if (element.alignment == Alignment::Right)
            text.left += text.width - widest;
        else if (element.alignment == Alignment::Center)
            text.left += (text.width - widest) / 2;
        text.width = widest;
    } else if (cut) {
        for (const QString &p : paragraphs) {
            text.lines << metrics.cut(p, text.width);
            text.widths.push_back(metrics.width(text.lines.back()));
        }
    } else {
        for (const QString &p : paragraphs)
            metrics.wrap(p, element.wordWrap ? text.width : -1, text.lines, text.widths);
    }
    return text;
}

// The element's height: a stretching element grows to its lines; a fixed-size one shows the lines that fit
// (at least the first), the last line staying when it is kept.
double fitLines(const TextElement &element, const TextMetrics &metrics, TextLines &text)
{
    if (element.autoStretch)
        return std::max(element.height, double(text.lines.size()) * metrics.lineHeight());
    const int fit = std::max(1, int((element.height + 0.01) / metrics.lineHeight()));
    while (text.lines.size() > fit) {
        const qsizetype drop =
            element.keepLastLine && text.lines.size() > 1 ? text.lines.size() - 2 : text.lines.size() - 1;
        text.lines.removeAt(drop);
        text.widths.erase(text.widths.begin() + drop);
    }
    return element.height;
}

DrawItem textItem(const TextElement &element, const TextMetrics &metrics, TextLines &&text, const QRectF &box)
{
    DrawItem item;
    item.kind = DrawItem::Kind::Text;
    item.rect = box;
    item.font = metrics.font();
    item.textColor = element.textColor;
    item.ascent = metrics.ascent();
    item.lineHeight = metrics.lineHeight();
    item.lines = std::move(text.lines);
    item.lineLefts.reserve(text.widths.size());
    for (double w : text.widths) {
        switch (element.alignment) {
        case Alignment::Left:
            item.lineLefts.push_back(text.left);
            break;
        case Alignment::Right:
            item.lineLefts.push_back(text.left + text.width - w);
            break;
        case Alignment::Center:
            item.lineLefts.push_back(text.left + (text.width - w) / 2);
            break;
        }
    }
    return item;
}

// Splits the lines of a text item at a cut: those above stay, those below go on moved up.
void cutText(const DrawItem &item, double cut, std::vector<DrawItem> &above, std::vector<DrawItem> &below)
{
    const LineRun run{item.rect.top(), item.lineHeight, item.lines.size()};
    const qsizetype first = run.firstBelow(cut);
    const auto lefts = item.lineLefts.begin();
    if (first > 0) {
        DrawItem part = item;
        part.lines = item.lines.mid(0, first);
        part.lineLefts.assign(lefts, lefts + first);
        part.rect.setHeight(double(first) * item.lineHeight);
        above.push_back(std::move(part));
    }
    if (first < run.count) {
        DrawItem part = item;
        part.lines = item.lines.mid(first);
        part.lineLefts.assign(lefts + first, lefts + run.count);
        part.rect = QRectF(item.rect.left(), std::max(0.0, run.lineTop(first) - cut), item.rect.width(),
                           double(run.count - first) * item.lineHeight);
        below.push_back(std::move(part));
    }
}

} // namespace

double snapshotText(const Report &report, const Band &band, const TextElement &element, int pageNumber,
                    std::vector<DrawItem> &items)
{
    const QString text = element.text(report, pageNumber);
    const QFont &font = elementFont(report, band, element);
    const TextMetrics &base = TextMetrics::forReportFont(font);
    const QStringList paragraphs = splitLines(text);
    bool cut = element.cutOff;
    const TextMetrics &metrics = element.shrinkToFit && !element.autoSize && font.pointSizeF() > 0
                                     ? shrunkMetrics(element, font, text, paragraphs, cut)
                                     : base;
    // A smaller size keeps the baseline of the size it stands in for.
    const double sink = base.ascent() - metrics.ascent();

    TextLines lines = setLines(element, paragraphs, metrics, cut);
    const double height = fitLines(element, metrics, lines);
    const QRectF box(lines.left, element.top + sink, lines.width, height);
    if (!element.transparent && lines.width > 0) {
        DrawItem background;
        background.kind = DrawItem::Kind::Rect;
        background.rect = box;
        background.filled = true;
        background.brushColor = element.color;
        items.push_back(background);
    }
    if (!lines.lines.isEmpty() && !(lines.lines.size() == 1 && lines.lines.front().isEmpty()))
        items.push_back(textItem(element, metrics, std::move(lines), box));
    addFrame(items, box, element.frameSides);
    return std::max(0.0, height - element.height);
}

void snapshotShape(const Shape &shape, std::vector<DrawItem> &items)
{
    const QRectF r = shape.rect();
    const double pen = shape.penWidth * mmPerPixel;
    switch (shape.type) {
    case Shape::Type::Rectangle: {
        DrawItem item;
        item.kind = DrawItem::Kind::Rect;
        item.rect = r;
        item.outline = shape.outline && shape.penWidth > 0;
        item.penColor = shape.penColor;
        item.penWidth = pen;
        item.filled = shape.filled;
        item.brushColor = shape.brushColor;
        items.push_back(item);
        break;
    }
    case Shape::Type::VerticalLine:
        items.push_back(lineItem(r.center().x(), r.top(), r.center().x(), r.bottom(), shape.penColor, pen));
        break;
    case Shape::Type::HorizontalLine:
        items.push_back(lineItem(r.left(), r.center().y(), r.right(), r.center().y(), shape.penColor, pen));
        break;
    }
    addFrame(items, r, shape.frameSides);
}

std::optional<PlacedBand> snapshotBand(const Report &report, Band &band, double width, int pageNumber)
{
    if (!band.enabled)
        return std::nullopt;
    bool print = true;
    if (band.beforePrint)
        band.beforePrint(band, print);
    if (!print)
        return std::nullopt;
    PlacedBand placed;
    placed.name = band.name();
    placed.color = band.color;
    // Most elements give a background and a text, or a shape.
    placed.items.reserve(2 * band.elements().size() + 2);
    double growth = 0;
    for (const auto &element : band.elements()) {
        if (!element->enabled)
            continue;
        if (element->kind() == Element::Kind::Shape)
            snapshotShape(static_cast<const Shape &>(*element), placed.items);
        else
            growth = std::max(growth, snapshotText(report, band, static_cast<const TextElement &>(*element), pageNumber,
                                                   placed.items));
    }
    placed.rect = QRectF(0, 0, width, band.height + growth);
    if (band.frameSides & SideTop)
        placed.items.push_back(lineItem(0, 0, width, 0, Qt::black, mmPerPixel));
    if (band.frameSides & SideBottom)
        placed.items.push_back(lineItem(0, placed.rect.height(), width, placed.rect.height(), Qt::black, mmPerPixel));
    return placed;
}

FlowBand flowBand(const PlacedBand &band)
{
    FlowBand flow;
    flow.height = band.rect.height();
    for (const DrawItem &item : band.items)
        if (item.kind == DrawItem::Kind::Text)
            flow.lines.push_back({item.rect.top(), item.lineHeight, item.lines.size()});
    return flow;
}

PlacedBand cutBand(PlacedBand &band, double cut)
{
    PlacedBand rest;
    rest.name = band.name;
    rest.color = band.color;
    rest.rect = QRectF(0, 0, band.rect.width(), band.rect.height() - cut);
    std::vector<DrawItem> kept;
    for (DrawItem &item : band.items) {
        if (item.kind == DrawItem::Kind::Text) {
            cutText(item, cut, kept, rest.items);
        } else if (item.rect.top() >= cut) {
            item.rect.translate(0, -cut);
            rest.items.push_back(item);
        } else {
            // A shape across the cut: its part above stays, its part below goes on.
            if (item.rect.bottom() > cut && item.kind == DrawItem::Kind::Rect) {
                DrawItem lower = item;
                lower.rect = QRectF(item.rect.left(), 0, item.rect.width(), item.rect.bottom() - cut);
                rest.items.push_back(lower);
                item.rect.setBottom(cut);
            }
            kept.push_back(item);
        }
    }
    band.items = std::move(kept);
    band.rect.setHeight(cut);
    return rest;
}

void moveBand(PlacedBand &band, double left, double top)
{
    band.rect.moveTo(left, top);
    for (DrawItem &item : band.items) {
        item.rect.translate(left, top);
        for (double &x : item.lineLefts)
            x += left;
    }
}

} // namespace report
