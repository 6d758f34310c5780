#include "ElementSnapshot.h"
#include "PageFlow.h"
#include "Report.h"
#include "core/DataSet.h"
#include "core/Field.h"
#include "core/Messages.h"

#include <QCoreApplication>

#include <algorithm>

namespace report {

namespace {

// The report's bands by their part of the page; child bands follow their parents.
struct BandsByType {
    explicit BandsByType(const Report &report)
    {
        for (const auto &band : report.bands()) {
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
    }

    // The footer bands with their children, as they stand at the foot of the page.
    std::vector<Band *> footerChains() const
    {
        std::vector<Band *> all;
        for (Band *footer : footers)
            for (Band *b = footer; b; b = b->child())
                all.push_back(b);
        return all;
    }

    std::vector<Band *> pageHeaders, columnHeaders, details, subDetails, summaries, footers;
};

std::vector<double> storedHeights(const std::vector<Band *> &chains)
{
    std::vector<double> heights;
    for (Band *band : chains)
        for (Band *b = band; b; b = b->child())
            heights.push_back(b->height);
    return heights;
}

PageFlow::Space pageSpace(const Report &r, const BandsByType &bands)
{
    PageFlow::Space space;
    space.top = r.margins.top();
    space.bottom = r.paperSize.height() - r.margins.bottom();
    space.left = r.margins.left();
    space.width = r.paperSize.width() - r.margins.left() - r.margins.right();
    space.columns = r.columns;
    space.columnSpace = r.columnSpace;
    space.footers = storedHeights(bands.footers);
    space.columnHeaders = storedHeights(bands.columnHeaders);
    return space;
}

// One layout pass: runs the report's events and rows, snapshots each band as it comes, has the page flow
// place it, and hands each page to the sink once it is full.
class Layout : private PageFlow::Pages {
public:
    Layout(Report &report, PageSink &sink, const Progress &progress)
        : r(report), sink(sink), progress(progress), bands(report), footerBands(bands.footerChains()),
          flow(pageSpace(report, bands), *this)
    {
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
        for (Band *summary : bands.summaries)
            placeChain(*summary, false);
        finishPage(true);
        return flow.page();
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
        if (flow.page() == 0)
            flow.newPage();
    }

    void endPage() override { finishPage(false); }

    void startPage(int number) override
    {
        page = Page{r.paperSize, {}};
        if (number > 1 || r.firstPageHeader)
            for (Band *header : bands.pageHeaders)
                placeChain(*header, true);
    }

    void startColumn() override
    {
        for (Band *header : bands.columnHeaders)
            placeChain(*header, false);
    }

    // Places the page footer and hands the page on.
    void finishPage(bool last)
    {
        if (!last || r.lastPageFooter) {
            const std::vector<double> tops = flow.footerTops();
            for (size_t i = 0; i < footerBands.size(); ++i)
                if (auto placed = snapshot(*footerBands[i])) {
                    moveBand(*placed, r.margins.left(), tops[i]);
                    page.bands.push_back(std::move(*placed));
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
        for (Band *detail : bands.details)
            placeChain(*detail, false);
        for (Band *sub : bands.subDetails) {
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
                if (auto placed = snapshot(*b))
                    put(std::move(*placed), fullWidth(b), onFreshPage);
            return;
        }
        std::vector<std::pair<PlacedBand, bool>> chain;
        std::vector<double> heights;
        for (Band *b = &band; b; b = b->child())
            if (auto placed = snapshot(*b)) {
                heights.push_back(placed->rect.height());
                chain.emplace_back(std::move(*placed), fullWidth(b));
            }
        if (!onFreshPage)
            flow.keepTogether(heights);
        for (auto &[placed, wide] : chain)
            put(std::move(placed), wide, onFreshPage);
    }

    // Puts a band where the page flow says, cut into pieces when it says so.
    void put(PlacedBand &&placed, bool wide, bool onFreshPage)
    {
        PlacedBand band = std::move(placed);
        flow.put(flowBand(band), wide, onFreshPage, [&](const PageFlow::Spot &spot, std::optional<double> cut) {
            PlacedBand rest = cut ? cutBand(band, *cut) : PlacedBand();
            moveBand(band, spot.left, spot.top);
            page.bands.push_back(std::move(band));
            band = std::move(rest);
        });
    }

    std::optional<PlacedBand> snapshot(Band &band)
    {
        return snapshotBand(r, band, flow.bandWidth(fullWidth(&band)), flow.page());
    }

    Report &r;
    PageSink &sink;
    const Progress &progress;
    const BandsByType bands;
    const std::vector<Band *> footerBands;
    PageFlow flow;
    Page page;
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
