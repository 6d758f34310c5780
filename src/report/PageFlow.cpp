#include "PageFlow.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace report {

namespace {

// Positions are kept in whole units of 0.1 mm, as the placement rule counts them.
int tenths(double mm)
{
    return int(std::lround(mm * 10.0));
}

} // namespace

qsizetype LineRun::firstBelow(double cut) const
{
    qsizetype line = 0;
    while (line < count && lineTop(line) < cut - 0.001)
        ++line;
    return line;
}

PageFlow::PageFlow(Space space, Pages &pages) : m_space(std::move(space)), m_pages(pages)
{
    m_space.columns = std::max(1, m_space.columns);
    double footerHeight = 0;
    for (double height : m_space.footers)
        footerHeight += height;
    m_footerTop = m_space.bottom - footerHeight;
    m_columnWidth = (m_space.width - (m_space.columns - 1) * m_space.columnSpace) / m_space.columns;
    for (double height : m_space.columnHeaders)
        m_columnHeaders += tenths(height);
}

std::vector<double> PageFlow::footerTops() const
{
    std::vector<double> tops;
    tops.reserve(m_space.footers.size());
    double top = m_footerTop;
    for (double height : m_space.footers) {
        tops.push_back(top);
        top += height;
    }
    return tops;
}

void PageFlow::newPage()
{
    if (m_page > 0)
        m_pages.endPage();
    ++m_page;
    m_y = tenths(m_space.top);
    m_column = 0;
    m_pages.startPage(m_page);
    m_columnTop = m_y;
    m_pages.startColumn();
}

void PageFlow::nextColumnOrPage()
{
    if (m_column + 1 < m_space.columns) {
        ++m_column;
        m_y = m_columnTop;
        m_pages.startColumn();
    } else {
        newPage();
    }
}

void PageFlow::keepTogether(const std::vector<double> &heights)
{
    int height = 0;
    for (double h : heights)
        height += tenths(h);
    if (!fits(height))
        nextColumnOrPage();
}

void PageFlow::put(FlowBand band, bool wide, bool onFreshPage, const Place &place)
{
    if (!onFreshPage && !fits(tenths(band.height)))
        nextColumnOrPage();
    while (!onFreshPage && tenths(band.height) > spaceLeft()) {
        const std::optional<double> cut = cutPoint(band, spaceLeft() / 10.0);
        if (!cut)
            break;
        place(spot(wide), cut);
        m_y += tenths(*cut);
        nextColumnOrPage();
        band = below(band, *cut);
    }
    place(spot(wide), std::nullopt);
    m_y += tenths(band.height);
}

std::optional<double> PageFlow::cutPoint(const FlowBand &band, double space)
{
    double cut = space;
    for (const LineRun &run : band.lines)
        for (qsizetype i = 0; i < run.count; ++i)
            if (run.lineTop(i) + run.lineHeight > space + 0.001)
                cut = std::min(cut, run.lineTop(i));
    if (cut <= 0.001)
        return std::nullopt;
    return cut;
}

FlowBand PageFlow::below(const FlowBand &band, double cut)
{
    FlowBand rest;
    rest.height = band.height - cut;
    for (const LineRun &run : band.lines) {
        const qsizetype first = run.firstBelow(cut);
        if (first < run.count)
            rest.lines.push_back({std::max(0.0, run.lineTop(first) - cut), run.lineHeight, run.count - first});
    }
    return rest;
}

bool PageFlow::fits(int height) const
{
    return spaceLeft() >= height || atColumnTop();
}

int PageFlow::spaceLeft() const
{
    return int(std::lround(m_footerTop * 10.0 - m_y));
}

bool PageFlow::atColumnTop() const
{
    // A band taller than a whole empty column goes where it is rather than starting page after page.
    return m_y <= m_columnTop + m_columnHeaders;
}

PageFlow::Spot PageFlow::spot(bool wide) const
{
    const double left = m_space.left + (wide ? 0 : m_column * (m_columnWidth + m_space.columnSpace));
    return {m_page, m_column, left, m_y / 10.0};
}

} // namespace report
