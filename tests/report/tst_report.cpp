#include "PdfProbe.h"
#include "ReportFixtures.h"
#include "TestSupport.h"
#include "core/Connection.h"
#include "core/DataSet.h"
#include "core/Errors.h"
#include "report/Render.h"
#include "report/Report.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace {

std::vector<const PlacedBand *> bandsNamed(const Page &page, const QString &name)
{
    std::vector<const PlacedBand *> found;
    for (const PlacedBand &b : page.bands)
        if (b.name == name)
            found.push_back(&b);
    return found;
}

bool isWhite(const QColor &c)
{
    return c.red() > 245 && c.green() > 245 && c.blue() > 245;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void placementRule_data();
    void placementRule();
    void stretchingLabelMakesItsBandTaller();
    void subDetailPrintsOnceWhenEmpty();
    void twoColumnsFillTopToBottom();
    void pdfHasNoBandColoursButShapes();
    void pdfFontsAreEmbeddedLiberation();
    void pdfUnwritablePathLeavesNoFile();
    void printIfEmptyAndFirstPageHeader();
};

// Space left above the footer and band heights are compared in whole 0.1 mm.
void TestReport::placementRule_data()
{
    QTest::addColumn<double>("rowHeight");
    QTest::addColumn<int>("rowsPerPage");
    QTest::newRow("exact fit") << 25.0 << 3;
    QTest::newRow("rounds down to fit") << 25.04 << 3;
    QTest::newRow("rounds up past the footer") << 25.06 << 2;
    QTest::newRow("half a tenth rounds up") << 18.75 << 3;
    QTest::newRow("just under") << 18.74 << 4;
}

void TestReport::placementRule()
{
    QFETCH(double, rowHeight);
    QFETCH(int, rowsPerPage);
    RowReport rr(rowHeight, 2 * rowsPerPage + 1);
    const std::vector<Page> pages = rr.r.generate();
    QCOMPARE(int(pages.size()), 3);
    for (const Page &page : pages) {
        const auto footers = bandsNamed(page, QStringLiteral("footer"));
        QCOMPARE(int(footers.size()), 1);
        QCOMPARE(footers.front()->rect.top(), 80.0);
    }
    QCOMPARE(int(bandsNamed(pages[0], QStringLiteral("detail")).size()), rowsPerPage);
    QCOMPARE(int(bandsNamed(pages[1], QStringLiteral("detail")).size()), rowsPerPage);
    QCOMPARE(int(bandsNamed(pages[2], QStringLiteral("detail")).size()), 1);
    const auto rows = bandsNamed(pages[0], QStringLiteral("detail"));
    QCOMPARE(rows.front()->rect.top(), 5.0);
    QCOMPARE(rows[1]->rect.top(), 5.0 + std::lround(rowHeight * 10) / 10.0);
}

void TestReport::stretchingLabelMakesItsBandTaller()
{
    RowReport rr(5, 2);
    rr.value->wordWrap = true;
    rr.value->autoStretch = true;
    rr.value->width = 20;
    const QString longText = QStringLiteral("first words that wrap over several lines of the label");
    rr.r.needData = [&] {
        rr.value->caption = rr.next == 0 ? longText : QStringLiteral("second");
        return rr.next++ < rr.rows;
    };
    const std::vector<Page> pages = rr.r.generate();
    const auto rows = bandsNamed(pages.at(0), QStringLiteral("detail"));
    QCOMPARE(int(rows.size()), 2);
    QVERIFY2(rows[0]->rect.height() > 10, qPrintable(QString::number(rows[0]->rect.height())));
    QCOMPARE(rows[1]->rect.top(), 5.0 + std::lround(rows[0]->rect.height() * 10) / 10.0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stretch.pdf"));
    rr.r.exportPdf(path);
    PdfProbe pdf(path);
    const auto first = pdf.find(0, QStringLiteral("first"));
    const auto second = pdf.find(0, QStringLiteral("second"));
    const auto last = pdf.find(0, QStringLiteral("label"));
    QVERIFY(first && second && last);
    QVERIFY(last->box.top() > first->box.top() + 8);
    QVERIFY(second->box.top() > last->box.bottom());
    QVERIFY(qAbs(second->box.top() - first->box.top() - rows[1]->rect.top() + rows[0]->rect.top()) < 0.05);
}

void TestReport::subDetailPrintsOnceWhenEmpty()
{
    TempDatabase database;
    db::Connection connection;
    connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
    connection.open();
    db::DataSet master(&connection, QStringLiteral("master"));
    master.setCommandText(QStringLiteral("select 'm1' as NAME union all select 'm2' order by 1"));
    master.open();
    db::DataSet empty(&connection, QStringLiteral("empty"));
    empty.setCommandText(QStringLiteral("select CUST_NO from CUSTOMER"));
    empty.open();
    QVERIFY(empty.isEmpty());
    db::DataSet two(&connection, QStringLiteral("two"));
    two.setCommandText(QStringLiteral("select 's1' as NAME union all select 's2' order by 1"));
    two.open();

    for (db::DataSet *sub : {&empty, &two}) {
        Report r;
        r.dataSet = &master;
        auto &detail = r.addBand(QStringLiteral("detail"), BandType::Detail, 5);
        detail.add<DBText>(QStringLiteral("masterName"), &master, QStringLiteral("NAME")).setGeometry(0, 0, 30, 4);
        auto &subBand = r.addBand(QStringLiteral("sub"), BandType::SubDetail, 5);
        subBand.dataSet = sub;
        auto &subText = subBand.add<DBText>(QStringLiteral("subField"), sub, sub->fields().front()->name());
        subText.setGeometry(10, 0, 30, 4);
        const std::vector<Page> pages = r.generate();
        QCOMPARE(int(pages.size()), 1);
        QStringList order;
        for (const PlacedBand &b : pages[0].bands) {
            QString texts;
            for (const DrawItem &item : b.items)
                texts += item.lines.join(QLatin1Char(' '));
            order << b.name + QLatin1Char(':') + texts;
        }
        if (sub == &empty)
            QCOMPARE(order, QStringList({"detail:m1", "sub:", "detail:m2", "sub:"}));
        else
            QCOMPARE(order, QStringList({"detail:m1", "sub:s1", "sub:s2", "detail:m2", "sub:s1", "sub:s2"}));
    }
}

void TestReport::twoColumnsFillTopToBottom()
{
    RowReport rr(25, 8);
    rr.r.columns = 2;
    rr.r.columnSpace = 10;
    auto &header = rr.r.addBand(QStringLiteral("header"), BandType::PageHeader, 5);
    header.addLabel(QStringLiteral("head"), 0, 0, 100, 4, QStringLiteral("heading"));
    // Page header 5 mm: three rows of 25 mm do not fit into 70 mm, two do.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("columns.pdf"));
    rr.r.exportPdf(path);
    PdfProbe pdf(path);
    QCOMPARE(pdf.pageCount(), 2);
    const double secondColumn = 2 + 45 + 10;
    const struct {
        int page;
        const char *text;
        double left, top;
    } expected[] = {
        {0, "row1", 2, 10}, {0, "row2", 2, 35},           {0, "row3", secondColumn, 10}, {0, "row4", secondColumn, 35},
        {1, "row5", 2, 10}, {1, "row7", secondColumn, 10}};
    for (const auto &e : expected) {
        const auto word = pdf.find(e.page, QLatin1String(e.text));
        QVERIFY2(word, e.text);
        QVERIFY2(qAbs(word->box.left() - e.left) < 0.2,
                 qPrintable(QStringLiteral("%1 left %2").arg(e.text).arg(word->box.left())));
        QVERIFY2(qAbs(word->box.top() - e.top) < 1.0,
                 qPrintable(QStringLiteral("%1 top %2").arg(e.text).arg(word->box.top())));
    }
    QCOMPARE(pdf.count(1, QStringLiteral("heading")), 1);
    QCOMPARE(pdf.count(1, QStringLiteral("foot")), 1);
}

void TestReport::pdfHasNoBandColoursButShapes()
{
    Report r;
    r.paperSize = QSizeF(100, 100);
    r.margins = QMarginsF(0, 0, 0, 0);
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 50);
    band.color = Qt::red;
    auto &shape = band.addShape(QStringLiteral("shape"), Shape::Type::Rectangle, 10, 10, 30, 30);
    shape.outline = false;
    shape.brushColor = QColor(255, 255, 128);
    auto &line = band.addShape(QStringLiteral("line"), Shape::Type::VerticalLine, 60, 10, 2, 30);
    line.penWidth = 4;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("colours.pdf"));
    r.exportPdf(path);
    PdfProbe pdf(path);
    QCOMPARE(pdf.pageCount(), 1);
    QVERIFY2(qAbs(pdf.pageSize(0).width() - 100) < 0.4, qPrintable(QString::number(pdf.pageSize(0).width())));
    QVERIFY(isWhite(pdf.colourAt(0, {5, 5})));
    QCOMPARE(pdf.colourAt(0, {25, 25}), QColor(255, 255, 128));
    QVERIFY(pdf.colourAt(0, {61, 20}).value() < 80);
    QVERIFY(isWhite(pdf.colourAt(0, {63, 20})));

    // The preview paints the band colour behind the elements.
    const QImage image = pageImage(r.generate().front(), 96);
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::red));
    QCOMPARE(image.pixelColor(int(25 / mmPerPixel), int(25 / mmPerPixel)), QColor(255, 255, 128));
}

void TestReport::pdfFontsAreEmbeddedLiberation()
{
    QCOMPARE(paperFont(reportFont("Arial", 10)).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(paperFont(reportFont("Courier New", 11)).family(), QStringLiteral("Liberation Mono"));
    QCOMPARE(paperFont(reportFont("Courier New", 11)).pointSizeF(), 11.0);
    QCOMPARE(paperFont(reportFont("MS Sans Serif", 8)).pixelSize(), 13);

    Report r;
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 20);
    band.font = reportFont("Arial", 10, true); // the label without a font of its own prints in the band's
    band.addLabel(QStringLiteral("sans"), 0, 0, 50, 5, QStringLiteral("Blåbær"));
    band.addLabel(QStringLiteral("mono"), 0, 6, 50, 5, QStringLiteral("mono")).font = reportFont("Courier New", 12);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fonts.pdf"));
    r.exportPdf(path);
    PdfProbe pdf(path);
    QVERIFY(pdf.texts(0).contains(QStringLiteral("Blåbær")));
    const QStringList fonts = pdf.fonts();
    QCOMPARE(fonts.size(), 2);
    QVERIFY2(fonts.filter(QStringLiteral("LiberationSans-Bold")).size() == 1, qPrintable(fonts.join(", ")));
    for (const QString &font : fonts)
        QVERIFY2(font.contains(QLatin1String("Liberation")) && font.endsWith(QLatin1String("(embedded)")),
                 qPrintable(font));
}

void TestReport::pdfUnwritablePathLeavesNoFile()
{
    RowReport rr(5, 3);
    QTemporaryDir dir;
    const QStringList paths{dir.filePath(QStringLiteral("missing/folder/out.pdf")), dir.path()};
    for (const QString &path : paths) {
        try {
            rr.r.exportPdf(path);
            QFAIL("no error");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(path)), qPrintable(e.message()));
        }
    }
    QVERIFY(!QFile::exists(paths[0]));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // An existing file stays as it was when the new one cannot be completed; here it is replaced whole.
    const QString target = dir.filePath(QStringLiteral("out.pdf"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    rr.r.exportPdf(target);
    QCOMPARE(PdfProbe(target).pageCount(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"out.pdf"});
}

void TestReport::printIfEmptyAndFirstPageHeader()
{
    RowReport rr(5, 0);
    auto &header = rr.r.addBand(QStringLiteral("header"), BandType::PageHeader, 5);
    header.addLabel(QStringLiteral("head"), 0, 0, 30, 4, QStringLiteral("heading"));
    rr.r.printIfEmpty = true;
    rr.r.margins.setLeft(7);
    std::vector<Page> pages = rr.r.generate();
    QCOMPARE(int(pages.size()), 1);
    // Bands start at the left margin; their texts stand at their own left from there (0 and 2 mm).
    for (const auto &[name, textLeft] : {std::pair{"header", 7.0}, std::pair{"footer", 9.0}}) {
        const auto bands = bandsNamed(pages[0], QLatin1String(name));
        QCOMPARE(int(bands.size()), 1);
        QCOMPARE(bands.front()->rect.left(), 7.0);
        QCOMPARE(bands.front()->rect.width(), 93.0);
        QCOMPARE(bands.front()->items.back().lineLefts.front(), textLeft);
    }

    rr.r.printIfEmpty = false;
    QVERIFY(rr.r.generate().empty());

    rr.rows = 40;
    rr.r.firstPageHeader = false;
    rr.r.lastPageFooter = false;
    pages = rr.r.generate();
    QVERIFY(pages.size() > 1);
    QVERIFY(bandsNamed(pages.front(), QStringLiteral("header")).empty());
    QCOMPARE(int(bandsNamed(pages[1], QStringLiteral("header")).size()), 1);
    QCOMPARE(int(bandsNamed(pages.front(), QStringLiteral("footer")).size()), 1);
    QVERIFY(bandsNamed(pages.back(), QStringLiteral("footer")).empty());
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
