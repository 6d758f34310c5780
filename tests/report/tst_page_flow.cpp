#include "report/PageFlow.h"

#include <QStringList>
#include <QtTest>

using namespace report;

namespace {

// A band of the `bands` column: "30" is 30 mm tall; "30/5" holds lines of text 5 mm apart from its top
// down to its foot; "[20 30]" is a chain kept together.
struct SpecBand {
    FlowBand band;
    bool chainStart = false, chainEnd = false;
};

std::vector<SpecBand> parseBands(const QString &spec)
{
    std::vector<SpecBand> bands;
    for (QString word : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        SpecBand b;
        b.chainStart = word.startsWith(QLatin1Char('['));
        b.chainEnd = word.endsWith(QLatin1Char(']'));
        word.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const QStringList parts = word.split(QLatin1Char('/'));
        b.band.height = parts[0].toDouble();
        if (parts.size() > 1) {
            const double line = parts[1].toDouble();
            b.band.lines.push_back({0, line, qsizetype(b.band.height / line + 0.001)});
        }
        bands.push_back(b);
    }
    return bands;
}

// Fills pages the way a report does: a page header on every page, a column header atop every column, the
// footer at the foot of every page, the last one too. Writes where each piece went: "2:15" is page 2 at
// 15 mm, "+" a piece of a cut band after the first, H, C and F the headers and the footer; with several
// columns the left edge comes first ("1:55,10").
class Recorder : public PageFlow::Pages {
public:
    Recorder(const PageFlow::Space &space, double pageHeader, double columnHeader)
        : flow(space, *this), pageHeader(pageHeader), columnHeader(columnHeader), columns(space.columns)
    {
    }

    void endPage() override
    {
        for (double top : flow.footerTops())
            placed << QStringLiteral("F%1:%2").arg(flow.page()).arg(top);
    }
    void startPage(int) override
    {
        if (pageHeader > 0)
            flow.put({pageHeader, {}}, true, true, record(QStringLiteral("H")));
    }
    void startColumn() override
    {
        if (columnHeader > 0)
            flow.put({columnHeader, {}}, false, false, record(QStringLiteral("C")));
    }

    PageFlow::Place record(const QString &prefix)
    {
        return [this, prefix, piece = 0](const PageFlow::Spot &spot, std::optional<double>) mutable {
            QString where = QString::number(spot.top);
            if (columns > 1)
                where.prepend(QString::number(spot.left) + QLatin1Char(','));
            placed << QStringLiteral("%1%2%3:%4")
                          .arg(prefix, piece++ > 0 ? QStringLiteral("+") : QString())
                          .arg(spot.page)
                          .arg(where);
        };
    }

    void run(const std::vector<SpecBand> &bands)
    {
        flow.newPage();
        for (size_t i = 0; i < bands.size(); ++i) {
            if (bands[i].chainStart) {
                std::vector<double> heights;
                for (size_t k = i; k < bands.size(); ++k) {
                    heights.push_back(bands[k].band.height);
                    if (bands[k].chainEnd)
                        break;
                }
                flow.keepTogether(heights);
            }
            flow.put(bands[i].band, false, false, record(QString()));
        }
        endPage();
    }

    PageFlow flow;
    QStringList placed;

private:
    double pageHeader, columnHeader;
    int columns;
};

} // namespace

class TestPageFlow : public QObject {
    Q_OBJECT
private slots:
    void placesBands_data();
    void placesBands();
    void cutKeepsLinesWhole_data();
    void cutKeepsLinesWhole();
};

// The page's space starts 10 mm from the paper's top: `space` millimetres down to the bottom margin, of which
// the page footer takes its height at the foot.
void TestPageFlow::placesBands_data()
{
    QTest::addColumn<double>("space");
    QTest::addColumn<double>("pageHeader");
    QTest::addColumn<double>("footer");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("columnHeader");
    QTest::addColumn<QString>("bands");
    QTest::addColumn<QString>("placed");

    QTest::newRow("one after another, then the next page") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "40 40 40"
                                                           << "1:10 1:50 2:10";
    QTest::newRow("exactly full") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "50 50 10"
                                  << "1:10 1:60 2:10";
    QTest::newRow("footer at the foot, however full the page") << 100.0 << 0.0 << 15.0 << 1 << 0.0 << "30 30 30 30 5"
                                                               << "1:10 1:40 F1:95 2:10 2:40 2:70 F2:95";
    QTest::newRow("band up to the footer fits") << 100.0 << 0.0 << 15.0 << 1 << 0.0 << "85 5"
                                                << "1:10 F1:95 2:10 F2:95";
    QTest::newRow("page header on every page") << 100.0 << 5.0 << 10.0 << 1 << 0.0 << "40 40 40"
                                               << "H1:10 1:15 1:55 F1:100 H2:10 2:15 F2:100";
    QTest::newRow("heights count in whole tenths: rounded down fits")
        << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "33.34 33.34 33.34"
        << "1:10 1:43.3 1:76.6";
    QTest::newRow("heights count in whole tenths: rounded up does not")
        << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "33.36 33.36 33.36"
        << "1:10 1:43.4 2:10";
    QTest::newRow("taller than a page: cut between lines, the rest on the next pages")
        << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "20 230/7 5"
        << "1:10 2:10 +3:10 +4:10 4:44";
    QTest::newRow("taller than a page without text: cut at the foot") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "20 150 10"
                                                                      << "1:10 2:10 +3:10 3:60";
    QTest::newRow("taller than a page with a line that cannot be kept: stays whole")
        << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "20 150/120 10"
        << "1:10 2:10 3:10";
    QTest::newRow("cut band above the footer") << 100.0 << 5.0 << 10.0 << 1 << 0.0 << "100/10"
                                               << "H1:10 1:15 F1:100 H2:10 +2:15 F2:100";
    QTest::newRow("not kept together: the second band goes on") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "50 30 30"
                                                                << "1:10 1:60 2:10";
    QTest::newRow("kept together: the chain goes on whole") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "50 [30 30] 10"
                                                            << "1:10 2:10 2:40 2:70";
    QTest::newRow("kept together: a chain that fits stays") << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "40 [30 30]"
                                                            << "1:10 1:50 1:80";
    QTest::newRow("kept together: a chain taller than a page stays at the top")
        << 100.0 << 0.0 << 0.0 << 1 << 0.0 << "[60 60]"
        << "1:10 2:10";
    QTest::newRow("columns fill top to bottom, then the next page") << 100.0 << 0.0 << 0.0 << 2 << 0.0 << "60 30 60 60"
                                                                    << "1:0,10 1:0,70 1:55,10 2:0,10";
    QTest::newRow("column headers atop every column, page header across")
        << 100.0 << 5.0 << 0.0 << 2 << 5.0 << "60 60 60"
        << "H1:0,10 C1:0,15 1:0,20 C1:55,15 1:55,20 H2:0,10 C2:0,15 2:0,20";
    QTest::newRow("taller than a column below its header: stays at the top")
        << 100.0 << 0.0 << 0.0 << 1 << 5.0 << "150/120 10"
        << "C1:10 1:15 C2:10 2:15";
}

void TestPageFlow::placesBands()
{
    QFETCH(double, space);
    QFETCH(double, pageHeader);
    QFETCH(double, footer);
    QFETCH(int, columns);
    QFETCH(double, columnHeader);
    QFETCH(QString, bands);
    QFETCH(QString, placed);

    PageFlow::Space page;
    page.top = 10;
    page.bottom = 10 + space;
    page.width = 100;
    page.columns = columns;
    page.columnSpace = 10;
    if (footer > 0)
        page.footers = {footer};
    if (columnHeader > 0)
        page.columnHeaders = {columnHeader};
    Recorder recorder(page, pageHeader, columnHeader);
    recorder.run(parseBands(bands));
    QCOMPARE(recorder.placed.join(QLatin1Char(' ')), placed);
}

// Two text blocks side by side with different line heights, cut to fit `space`: the cut falls at the top
// of the first line either of them cannot hold whole, and what is left of each keeps its lines' places
// below the cut ("top/lines" of each block left).
void TestPageFlow::cutKeepsLinesWhole_data()
{
    QTest::addColumn<double>("space");
    QTest::addColumn<double>("cut"); // 0: none
    QTest::addColumn<QString>("rest");
    QTest::newRow("the first block's line decides") << 27.0 << 25.0 << "0/5 2/1";
    QTest::newRow("the second block's line decides") << 31.0 << 27.0 << "3/4 0/1";
    QTest::newRow("a line ending at the space stays") << 35.0 << 35.0 << "0/3";
    QTest::newRow("the first line does not fit") << 4.0 << 0.0 << "";
}

void TestPageFlow::cutKeepsLinesWhole()
{
    QFETCH(double, space);
    QFETCH(double, cut);
    QFETCH(QString, rest);

    // Lines at 0, 5, ..., 45 and at 3, 11, 19, 27.
    const FlowBand band{50, {{0, 5, 10}, {3, 8, 4}}};
    const std::optional<double> at = PageFlow::cutPoint(band, space);
    if (cut == 0) {
        QVERIFY(!at);
        return;
    }
    QVERIFY(at);
    QCOMPARE(*at, cut);
    const FlowBand below = PageFlow::below(band, *at);
    QCOMPARE(below.height, 50 - cut);
    QStringList runs;
    for (const LineRun &run : below.lines)
        runs << QStringLiteral("%1/%2").arg(run.top).arg(run.count);
    QCOMPARE(runs.join(QLatin1Char(' ')), rest);
}

QTEST_GUILESS_MAIN(TestPageFlow)
#include "tst_page_flow.moc"
