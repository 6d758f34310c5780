#include "Report.h"

#include "TextMetrics.h"
#include "core/DataSet.h"
#include "core/Errors.h"
#include "core/Field.h"
#include "core/Messages.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace report {

QString SysData::text(const Report &report, int pageNumber) const
{
    switch (data) {
    case Data::ReportTitle:
        return prefix + report.title;
    case Data::PageNumber:
        return prefix + QString::number(pageNumber);
    case Data::PageOfPages:
        return report.pageCount() > 1 ? QString(prefix).arg(pageNumber).arg(report.pageCount()) : QString();
    }
    return prefix;
}

QString DBText::text(const Report &, int) const
{
    if (!dataSet || !dataSet->isActive() || dataSet->isEmpty())
        return QString();
    return dataSet->fieldByName(fieldName).text();
}

Band::Band(Report &report, QString name, BandType type, double height)
    : height(height), m_report(report), m_name(std::move(name)), m_type(type)
{
}

Label &Band::addLabel(const QString &name, double left, double top, double width, double height, const QString &caption)
{
    auto &label = add<Label>(name);
    label.setGeometry(left, top, width, height);
    label.caption = caption;
    return label;
}

Memo &Band::addMemo(const QString &name, double left, double top, double width, double height)
{
    auto &memo = add<Memo>(name);
    memo.setGeometry(left, top, width, height);
    return memo;
}

Shape &Band::addShape(const QString &name, Shape::Type type, double left, double top, double width, double height)
{
    auto &shape = add<Shape>(name, type);
    shape.setGeometry(left, top, width, height);
    return shape;
}

Report::Report() : font(reportFont(QStringLiteral("Arial"), 10)) {}

Report::~Report() = default;

Band &Report::addBand(const QString &name, BandType type, double height)
{
    m_bands.push_back(std::make_unique<Band>(*this, name, type, height));
    return *m_bands.back();
}

Band &Report::addChildBand(const QString &name, Band &parent, double height)
{
    Band &band = addBand(name, BandType::Child, height);
    band.m_parent = &parent;
    parent.m_child = &band;
    return band;
}

Band *Report::findBand(const QString &name) const
{
    for (const auto &band : m_bands)
        if (band->name() == name)
            return band.get();
    return nullptr;
}

Element *Report::findElement(const QString &name) const
{
    // Elements are only ever added, at the end of their band, and keep their names: the index takes in
    // the elements added since the last look-up. Of two with one name, the one printed first wins.
    m_indexedPerBand.resize(m_bands.size(), 0);
    for (size_t b = 0; b < m_bands.size(); ++b) {
        const auto &elements = m_bands[b]->elements();
        for (size_t k = m_indexedPerBand[b]; k < elements.size(); ++k) {
            const IndexedElement entry{elements[k].get(), b};
            const auto it = m_elementIndex.find(elements[k]->name());
            if (it == m_elementIndex.end())
                m_elementIndex.insert(elements[k]->name(), entry);
            else if (b < it->band)
                *it = entry;
        }
        m_indexedPerBand[b] = elements.size();
    }
    const auto it = m_elementIndex.constFind(name);
    return it == m_elementIndex.cend() ? nullptr : it->element;
}

void Report::throwNoElement(const QString &name)
{
    throw Error(QStringLiteral("Report element '%1' not found").arg(name));
}

std::vector<Element *> Report::allElements() const
{
    std::vector<Element *> all;
    for (const auto &band : m_bands)
        for (const auto &element : band->elements())
            all.push_back(element.get());
    return all;
}

namespace {

// Positions are kept in whole units of 0.1 mm, as the placement rule counts them.
int tenths(double mm)
{
    return int(std::lround(mm * 10.0));
}

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

// Returns how much the element grew beyond its stored height.
double snapshotText(const Report &report, const Band &band, const TextElement &element, int pageNumber,
                    std::vector<DrawItem> &items)
{
    const QString text = element.text(report, pageNumber);
    const QFont &font = element.font ? *element.font : band.font ? *band.font : report.font;
    const TextMetrics &base = TextMetrics::forReportFont(font);
    const TextMetrics *fitted = &base;
    const QStringList paragraphs = splitLines(text);
    bool cut = element.cutOff;
    if (element.shrinkToFit && !element.autoSize && font.pointSizeF() > 0) {
        // Without wrapping every line must fit the width; with it, the wrapped lines the height.
        const auto fits = [&](const TextMetrics &m) {
            if (!element.wordWrap) {
                for (const QString &p : paragraphs)
                    if (m.width(p) > element.width)
                        return false;
                return true;
            }
            if (element.autoStretch)
                return true;
            QStringList wrapped;
            std::vector<double> widths;
            for (const QString &p : paragraphs)
                m.wrap(p, element.width, wrapped, widths);
            return double(wrapped.size()) * m.lineHeight() <= element.height + 0.01;
        };
        if (!fits(*fitted)) {
            // Sizes go down in quarter points, so that a list meets only a few of them.
            constexpr double smallest = 6.0;
            double size = font.pointSizeF() - 0.25;
            if (!element.wordWrap) { // the width tells roughly where to start
                double widest = 0;
                for (const QString &p : paragraphs)
                    widest = std::max(widest, fitted->width(p));
                size = std::min(size, std::floor(font.pointSizeF() * element.width / widest * 4.0) / 4.0);
            }
            QFont smaller = font;
            for (;; size -= 0.25) {
                smaller.setPointSizeF(std::max(smallest, size));
                fitted = &TextMetrics::forReportFont(smaller);
                if (fits(*fitted))
                    break;
                if (size <= smallest) {
                    if (element.mustFit)
                        throw Error(QCoreApplication::translate(
                                        "Report", "\"%1\" does not fit its field on the page, even in the "
                                                  "smallest legible size")
                                        .arg(text));
                    cut = !element.wordWrap; // what 6 pt cannot hold
                    break;
                }
            }
        }
    }
    const TextMetrics &metrics = *fitted;
    // A smaller size keeps the baseline of the size it stands in for.
    const double sink = base.ascent() - metrics.ascent();

    double left = element.left;
    double width = element.width;
    QStringList lines;
    std::vector<double> widths;
    lines.reserve(paragraphs.size());
    widths.reserve(size_t(paragraphs.size()));
    if (element.autoSize) {
        double widest = 0;
        for (const QString &p : paragraphs) {
            lines << p;
            widths.push_back(metrics.width(p));
            widest = std::max(widest, widths.back());
        }
        if (element.alignment == Alignment::Right)
            left += width - widest;
        else if (element.alignment == Alignment::Center)
            left += (width - widest) / 2;
        width = widest;
    } else if (cut) {
        for (const QString &p : paragraphs) {
            lines << metrics.cut(p, width);
            widths.push_back(metrics.width(lines.back()));
        }
    } else {
        for (const QString &p : paragraphs)
            metrics.wrap(p, element.wordWrap ? width : -1, lines, widths);
    }

    double height = element.height;
    if (element.autoStretch)
        height = std::max(height, double(lines.size()) * metrics.lineHeight());
    else {
        // A fixed-size element shows the lines that fit (at least the first); the last line stays when
        // it is kept.
        const int fit = std::max(1, int((height + 0.01) / metrics.lineHeight()));
        while (lines.size() > fit) {
            const qsizetype drop = element.keepLastLine && lines.size() > 1 ? lines.size() - 2 : lines.size() - 1;
            lines.removeAt(drop);
            widths.erase(widths.begin() + drop);
        }
    }

    const QRectF box(left, element.top + sink, width, height);
    if (!element.transparent && width > 0) {
        DrawItem bg;
        bg.kind = DrawItem::Kind::Rect;
        bg.rect = box;
        bg.filled = true;
        bg.brushColor = element.color;
        items.push_back(bg);
    }
    if (!lines.isEmpty() && !(lines.size() == 1 && lines.front().isEmpty())) {
        DrawItem item;
        item.kind = DrawItem::Kind::Text;
        item.rect = box;
        item.font = metrics.font();
        item.textColor = element.textColor;
        item.ascent = metrics.ascent();
        item.lineHeight = metrics.lineHeight();
        item.lines = lines;
        item.lineLefts.reserve(widths.size());
        for (double w : widths) {
            switch (element.alignment) {
            case Alignment::Left:
                item.lineLefts.push_back(left);
                break;
            case Alignment::Right:
                item.lineLefts.push_back(left + width - w);
                break;
            case Alignment::Center:
                item.lineLefts.push_back(left + (width - w) / 2);
                break;
            }
        }
        items.push_back(std::move(item));
    }
    addFrame(items, box, element.frameSides);
    return std::max(0.0, height - element.height);
}

class Layout {
public:
    Layout(Report &report, PageSink &sink, const Progress &progress) : r(report), sink(sink), progress(progress)
    {
        for (const auto &band : r.bands()) {
            switch (band->type()) {
            case BandType::PageHeader:
                pageHeaders.push_back(band.get());
                break;
            case BandType::ColumnHeader:
                columnHeaders.push_back(band.get());
                break;
            case BandType::Detail:
                details.push_back(band.get());
                break;
            case BandType::SubDetail:
                subDetails.push_back(band.get());
                break;
            case BandType::Summary:
                summaries.push_back(band.get());
                break;
            case BandType::PageFooter:
                footers.push_back(band.get());
                break;
            case BandType::Child:
                break;
            }
        }
        double footerHeight = 0;
        for (Band *footer : footers)
            for (Band *b = footer; b; b = b->child())
                footerHeight += b->height;
        footerTop = r.paperSize.height() - r.margins.bottom() - footerHeight;
        const double usable = r.paperSize.width() - r.margins.left() - r.margins.right();
        const int columns = std::max(1, r.columns);
        columnWidth = (usable - (columns - 1) * r.columnSpace) / columns;
    }

    int run()
    {
        if (r.beforePrint)
            r.beforePrint();
        bool any = false;
        if (r.dataSet) {
            if (r.dataSet->isActive() && !r.dataSet->isEmpty()) {
                for (r.dataSet->first(); !r.dataSet->eof(); r.dataSet->next()) {
                    if (!any)
                        startReport();
                    any = true;
                    noteUnreadable(*r.dataSet);
                    detailRow();
                }
            }
        } else if (r.needData) {
            while (r.needData()) {
                if (!any)
                    startReport();
                any = true;
                detailRow();
            }
        }
        if (!any) {
            if (!r.printIfEmpty)
                return 0;
            startReport();
        }
        for (Band *summary : summaries)
            placeChain(*summary, false);
        finishPage(true);
        return pageNumber;
    }

    // Stored values that the row's fields cannot read print empty; they are told when the layout is done.
    QStringList unreadable;

private:
    void noteUnreadable(const db::DataSet &ds)
    {
        const QList<db::UnreadableValue> values = ds.unreadableValues();
        if (values.isEmpty())
            return;
        // The row is named by its first field, the key of every list (INV_ID, CUST_ID, ITEM_NO).
        const db::Field &key = *ds.fields().front();
        for (const db::UnreadableValue &v : values)
            unreadable << QCoreApplication::translate("Report", "%1 %2: %3 \"%4\"")
                              .arg(key.name(), key.text(), v.field, v.stored);
    }

    void startReport()
    {
        if (pageNumber == 0)
            newPage();
    }

    void newPage()
    {
        if (pageNumber > 0)
            finishPage(false);
        page = Page{r.paperSize, {}};
        ++pageNumber;
        y = tenths(r.margins.top());
        column = 0;
        if (pageNumber > 1 || r.firstPageHeader)
            for (Band *header : pageHeaders)
                placeChain(*header, true);
        columnTop = y;
        for (Band *header : columnHeaders)
            placeChain(*header, false);
    }

    void nextColumnOrPage()
    {
        if (column + 1 < std::max(1, r.columns)) {
            ++column;
            y = columnTop;
            for (Band *header : columnHeaders)
                placeChain(*header, false);
        } else {
            newPage();
        }
    }

    // Places the page footer and hands the page on.
    void finishPage(bool last)
    {
        if (!last || r.lastPageFooter) {
            double top = footerTop;
            for (Band *footer : footers) {
                for (Band *b = footer; b; b = b->child()) {
                    if (auto placed = snapshot(*b, fullWidth(b))) {
                        placed->rect.moveTo(r.margins.left(), top);
                        offsetItems(*placed, top, r.margins.left());
                        page.bands.push_back(std::move(*placed));
                    }
                    top += b->height;
                }
            }
        }
        sink.addPage(std::move(page));
        page = Page{};
        if (progress) {
            const bool byRows = r.dataSet && r.dataSet->isActive();
            const qint64 total = byRows ? r.dataSet->recordCount() : 0;
            const qint64 done = last ? total : byRows ? std::max(0, r.dataSet->recNo()) : 0;
            if (!progress(done, total))
                throw Cancelled();
        }
    }

    static bool fullWidth(const Band *b)
    {
        while (b->parent())
            b = b->parent();
        return b->type() == BandType::PageHeader || b->type() == BandType::PageFooter || b->type() == BandType::Summary;
    }

    void detailRow()
    {
        for (Band *detail : details)
            placeChain(*detail, false);
        for (Band *sub : subDetails) {
            db::DataSet *ds = sub->dataSet;
            if (ds && ds->isActive() && !ds->isEmpty()) {
                for (ds->first(); !ds->eof(); ds->next()) {
                    noteUnreadable(*ds);
                    placeChain(*sub, false);
                }
            } else {
                placeChain(*sub, false);
            }
        }
    }

    void placeChain(Band &band, bool onFreshPage)
    {
        if (!band.keepTogether) {
            for (Band *b = &band; b; b = b->child())
                if (auto placed = snapshot(*b, fullWidth(b)))
                    put(std::move(*placed), fullWidth(b), onFreshPage);
            return;
        }
        std::vector<std::pair<PlacedBand, bool>> chain;
        int height = 0;
        for (Band *b = &band; b; b = b->child())
            if (auto placed = snapshot(*b, fullWidth(b))) {
                height += tenths(placed->rect.height());
                chain.emplace_back(std::move(*placed), fullWidth(b));
            }
        if (!onFreshPage && !fits(height))
            nextColumnOrPage();
        for (auto &[placed, wide] : chain)
            put(std::move(placed), wide, onFreshPage);
    }

    bool fits(int height) const
    {
        const int spaceLeft = int(std::lround(footerTop * 10.0 - y));
        return spaceLeft >= height || atColumnTop();
    }

    // Puts a band at the current position, or on the next column or page when it does not fit.
    void put(PlacedBand &&placed, bool wide, bool onFreshPage)
    {
        if (!onFreshPage && !fits(tenths(placed.rect.height())))
            nextColumnOrPage();
        // A band taller than the space of a whole column goes on column by column, split between its
        // lines of text.
        while (!onFreshPage && tenths(placed.rect.height()) > spaceLeft()) {
            std::optional<PlacedBand> rest = split(placed, spaceLeft() / 10.0);
            if (!rest)
                break;
            place(std::move(placed), wide);
            nextColumnOrPage();
            placed = std::move(*rest);
        }
        place(std::move(placed), wide);
    }

    int spaceLeft() const { return int(std::lround(footerTop * 10.0 - y)); }

    void place(PlacedBand &&placed, bool wide)
    {
        const double top = y / 10.0;
        const double left = r.margins.left() + (wide ? 0 : column * (columnWidth + r.columnSpace));
        placed.rect.moveTo(left, top);
        offsetItems(placed, top, left);
        y += tenths(placed.rect.height());
        page.bands.push_back(std::move(placed));
    }

    // Cuts a band (its items relative to its top) at the top of its first line of text that ends below
    // `space`: `band` keeps what lies above, the returned rest what lies below, moved up. Nothing when no
    // line of text can be kept.
    static std::optional<PlacedBand> split(PlacedBand &band, double space)
    {
        double cut = space;
        for (const DrawItem &item : band.items)
            if (item.kind == DrawItem::Kind::Text)
                for (qsizetype i = 0; i < item.lines.size(); ++i) {
                    const double lineTop = item.rect.top() + double(i) * item.lineHeight;
                    if (lineTop + item.lineHeight > space + 0.001)
                        cut = std::min(cut, lineTop);
                }
        if (cut <= 0.001)
            return std::nullopt;
        PlacedBand rest;
        rest.name = band.name;
        rest.color = band.color;
        rest.rect = QRectF(0, 0, band.rect.width(), band.rect.height() - cut);
        std::vector<DrawItem> kept;
        for (DrawItem &item : band.items) {
            if (item.kind == DrawItem::Kind::Text) {
                DrawItem below = item;
                below.lines.clear();
                below.lineLefts.clear();
                DrawItem above = item;
                above.lines.clear();
                above.lineLefts.clear();
                for (qsizetype i = 0; i < item.lines.size(); ++i) {
                    const double lineTop = item.rect.top() + double(i) * item.lineHeight;
                    DrawItem &part = lineTop < cut - 0.001 ? above : below;
                    part.lines << item.lines[i];
                    part.lineLefts.push_back(item.lineLefts[size_t(i)]);
                }
                if (!above.lines.isEmpty()) {
                    above.rect.setHeight(double(above.lines.size()) * item.lineHeight);
                    kept.push_back(std::move(above));
                }
                if (!below.lines.isEmpty()) {
                    const double firstTop =
                        item.rect.top() + double(item.lines.size() - below.lines.size()) * item.lineHeight;
                    below.rect = QRectF(item.rect.left(), std::max(0.0, firstTop - cut), item.rect.width(),
                                        double(below.lines.size()) * item.lineHeight);
                    rest.items.push_back(std::move(below));
                }
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

    bool atColumnTop() const
    {
        // A band taller than a whole empty column goes where it is rather than starting page after page.
        int top = columnTop;
        for (Band *header : columnHeaders)
            for (Band *b = header; b; b = b->child())
                top += tenths(b->height);
        return y <= top;
    }

    static void offsetItems(PlacedBand &placed, double top, double left)
    {
        for (DrawItem &item : placed.items) {
            item.rect.translate(left, top);
            for (double &x : item.lineLefts)
                x += left;
        }
    }

    std::optional<PlacedBand> snapshot(Band &band, bool wide)
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
        const double width = wide ? r.paperSize.width() - r.margins.left() - r.margins.right() : columnWidth;
        double growth = 0;
        for (const auto &element : band.elements()) {
            if (!element->enabled)
                continue;
            if (element->kind() == Element::Kind::Shape)
                snapshotShape(static_cast<const Shape &>(*element), placed.items);
            else
                growth = std::max(growth, snapshotText(r, band, static_cast<const TextElement &>(*element), pageNumber,
                                                       placed.items));
        }
        placed.rect = QRectF(0, 0, width, band.height + growth);
        if (band.frameSides & SideTop)
            placed.items.push_back(lineItem(0, 0, width, 0, Qt::black, mmPerPixel));
        if (band.frameSides & SideBottom)
            placed.items.push_back(
                lineItem(0, placed.rect.height(), width, placed.rect.height(), Qt::black, mmPerPixel));
        return placed;
    }

    Report &r;
    PageSink &sink;
    const Progress &progress;
    std::vector<Band *> pageHeaders, columnHeaders, details, subDetails, summaries, footers;
    Page page;
    int pageNumber = 0; // of the page being laid out, 1-based
    double footerTop = 0;
    double columnWidth = 0;
    int y = 0;
    int columnTop = 0;
    int column = 0;
};

// Stored values a layout printed empty, told once it is done (the first ten, and how many more).
void tellUnreadable(const QStringList &unreadable)
{
    if (unreadable.isEmpty())
        return;
    constexpr int shown = 10;
    QStringList told = unreadable.mid(0, shown);
    if (unreadable.size() > shown)
        told << QCoreApplication::translate("Report", "and %1 more").arg(unreadable.size() - shown);
    messageDialog(MsgType::Warning,
                  QCoreApplication::translate("Report", "Stored values that cannot be read are printed empty: %1")
                      .arg(told.join(QLatin1String("; "))));
}

} // namespace

int Report::generate(PageSink &sink, const Progress &progress)
{
    // "Page 1 of 2" needs the number of pages before the first is done. A first pass keeps its pages:
    // a document of one page (where the text stays empty) is done with it, a longer one is laid out again.
    m_pageCount = 0;
    const auto all = allElements();
    const bool counted = std::any_of(all.begin(), all.end(), [](const Element *e) {
        return e->enabled && e->kind() == Element::Kind::SysData &&
               static_cast<const SysData *>(e)->data == SysData::Data::PageOfPages;
    });
    if (counted) {
        struct Keep : PageSink {
            std::vector<Page> pages;
            void addPage(Page &&page) override { pages.push_back(std::move(page)); }
        } first;
        const Progress unreported; // the layout keeps a reference: it must outlive the layout
        Layout once(*this, first, unreported);
        once.run();
        if (first.pages.size() <= 1) {
            for (Page &page : first.pages) {
                sink.addPage(std::move(page));
                if (progress && !progress(1, 1))
                    throw Cancelled();
            }
            tellUnreadable(once.unreadable);
            return int(first.pages.size());
        }
        m_pageCount = int(first.pages.size());
    }
    Layout layout(*this, sink, progress);
    const int pages = layout.run();
    m_pageCount = 0;
    tellUnreadable(layout.unreadable);
    return pages;
}

std::vector<Page> Report::generate()
{
    struct Collect : PageSink {
        std::vector<Page> pages;
        void addPage(Page &&page) override { pages.push_back(std::move(page)); }
    } collect;
    generate(collect);
    return std::move(collect.pages);
}

} // namespace report
