#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

// Where bands go on pages, knowing nothing but their heights: no painting, no fonts, no events.
namespace report {

// The lines of one text block of a band, evenly spaced downward from `top` (millimetres from the band's
// top). A band taller than a page is cut between such lines.
struct LineRun {
    double top = 0;
    double lineHeight = 0;
    qsizetype count = 0;

    double lineTop(qsizetype line) const { return top + double(line) * lineHeight; }
    // The first line that goes below a cut at `cut`; `count` when all stay above.
    qsizetype firstBelow(double cut) const;
};

// A band as the flow sees it: its height and the lines of text it may be cut between.
struct FlowBand {
    double height = 0;
    std::vector<LineRun> lines;
};

// Places bands top to bottom in columns and pages. Heights count in whole 0.1 mm (the space left above the
// footer against the band's height), so that a band that fits on one page fits on every page. A band
// taller than the space left goes on column by column, cut between its lines of text.
class PageFlow {
public:
    // The page's space in millimetres from the paper's top-left corner.
    struct Space {
        double top = 0;    // the top margin
        double bottom = 0; // where the bottom margin starts
        double left = 0;   // the left margin
        double width = 0;  // between the left and the right margin
        int columns = 1;
        double columnSpace = 0;
        // The stored heights of the page footer bands, which stand at the foot of every page in this order,
        // and of the column header bands, which start every column.
        std::vector<double> footers;
        std::vector<double> columnHeaders;
    };

    // Whoever fills the pages hears when a page is full and when a page or a column starts, to place its
    // footer and its headers (placing those through the flow again).
    class Pages {
    public:
        virtual ~Pages() = default;
        // The page is full: before the next one starts.
        virtual void endPage() = 0;
        // Page `number` (1-based) starts: its page headers.
        virtual void startPage(int number) = 0;
        // A column starts, the first of a page after its page headers: its column headers.
        virtual void startColumn() = 0;
    };

    struct Spot {
        int page = 0; // 1-based
        int column = 0;
        double left = 0, top = 0;
    };
    // Told where each piece of a band goes, in order: `cut` is where the piece ends, measured from the top
    // of what is left of the band; unset for the whole of it (or all that is left).
    using Place = std::function<void(const Spot &spot, std::optional<double> cut)>;

    PageFlow(Space space, Pages &pages);

    // The page being filled, 0 before the first.
    int page() const { return m_page; }
    double columnWidth() const { return m_columnWidth; }
    // The width of a band across the page (`wide`) or in a column.
    double bandWidth(bool wide) const { return wide ? m_space.width : m_columnWidth; }
    // Where the page footer starts, and the top of each footer band.
    double footerTop() const { return m_footerTop; }
    std::vector<double> footerTops() const;

    void newPage();
    void nextColumnOrPage();
    // Goes on to the next column or page unless bands of these heights fit, one after another, where the
    // next band would go: a chain kept together.
    void keepTogether(const std::vector<double> &heights);
    // Places a band across the page (`wide`) or in the current column. On a fresh page (page headers) it
    // stays where it is, as tall as it is.
    void put(FlowBand band, bool wide, bool onFreshPage, const Place &place);

    // Where a band is cut to fit into `space`: at the top of its first line of text that ends below it, else
    // at the space. Nothing when no line of text can be kept.
    static std::optional<double> cutPoint(const FlowBand &band, double space);
    // What is left of a band below a cut, moved up.
    static FlowBand below(const FlowBand &band, double cut);

private:
    bool fits(int height) const;
    int spaceLeft() const;
    bool atColumnTop() const;
    Spot spot(bool wide) const;

    Space m_space;
    Pages &m_pages;
    double m_footerTop = 0;
    double m_columnWidth = 0;
    int m_columnHeaders = 0; // their height in 0.1 mm
    int m_page = 0;
    int m_column = 0;
    int m_y = 0; // the next band's top, in 0.1 mm
    int m_columnTop = 0;
};

} // namespace report
