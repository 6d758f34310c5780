#include "PdfProbe.h"
#include "platform/db/Errors.h"
#include "platform/report/Render.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace {

// Everything in a folder, hidden files included.
QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

} // namespace

// The PDF writer of the report engine, read back through poppler.
class TestPdf : public QObject {
    Q_OBJECT
private slots:
    void textsComeBackIntact_data();
    void textsComeBackIntact();
    void kerningFollowsTheLayout();
    void pagesFontsAndTitle();
    void transparentColoursPaintNothing();
    void failedWritesLeaveNothing();
};

// The rows run one after the other in one process, so that fonts are reused with other glyphs and with
// the same glyphs again.
void TestPdf::textsComeBackIntact_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("text");
    QTest::newRow("Norwegian letters") << "Arial" << false << false << "Blåbær syltetøy fra Ålesund, ÆØÅ æøå";
    QTest::newRow("dashes and quotes") << "Arial" << false << false << "Pris – «tilbud» kr 1 234,50 € 25%";
    QTest::newRow("glyph ids written with escapes") << "Arial" << false << false << "Effekt* (y) \\ EF";
    QTest::newRow("first glyphs again") << "Arial" << false << false << "Blåbær syltetøy fra Ålesund, ÆØÅ æøå";
    QTest::newRow("fewer glyphs than before") << "Arial" << false << false << "Blåbær Ålesund";
    QTest::newRow("bold") << "Arial" << true << false << "Fakturanr Øre «Forfall» – å betale";
    QTest::newRow("italic") << "Arial" << false << true << "Kursiv på norsk: «ære» – ØÅ";
    QTest::newRow("mono") << "Courier New" << false << false << "KID: 2026000005 Øre – «æ»";
    QTest::newRow("symbols from a fallback face") << "Arial" << false << false << "Levert ✓ → Bodø ☃";
    // An OpenType face with PostScript outlines prints in the sans-serif face.
    QTest::newRow("face without TrueType outlines") << "Nimbus Sans" << false << false << "Faktura på blåbær";
}

void TestPdf::textsComeBackIntact()
{
    QFETCH(QString, family);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, text);
    const QFont font = reportFont(family, 11, bold, italic);
    if (!QFontInfo(paperFont(font)).family().startsWith(paperFont(font).family()))
        QSKIP("The font is not installed");
    Report r;
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 20);
    band.addLabel(QStringLiteral("text"), 5, 2, 180, 6, text).font = font;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    r.exportPdf(path);
    PdfProbe pdf(path);
    QVERIFY(pdf.isValid());
    QCOMPARE(pdf.texts(0), text.split(QLatin1Char(' ')));
    QVERIFY2(qAbs(pdf.words(0).front().box.left() - 15) < 0.3,
             qPrintable(QString::number(pdf.words(0).front().box.left())));
}

// Text placed by its measured width (right-aligned here) ends where the layout meant it to: the PDF moves
// the glyphs of kerning pairs as closely together as the layout measured them.
void TestPdf::kerningFollowsTheLayout()
{
    Report r;
    r.margins = QMarginsF(0, 0, 0, 0);
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 20);
    Label &label = band.addLabel(QStringLiteral("kerned"), 10, 2, 80, 8, QStringLiteral("AVATAR Tårn VAW"));
    label.alignment = Alignment::Right;
    label.font = reportFont(QStringLiteral("Arial"), 16);
    const std::vector<Page> pages = r.generate();
    const double left = pages.at(0).bands.at(0).items.back().lineLefts.at(0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kerned.pdf"));
    writePdf(pages, path, QString());
    PdfProbe pdf(path);
    const auto first = pdf.find(0, QStringLiteral("AVATAR"));
    const auto last = pdf.find(0, QStringLiteral("VAW"));
    QVERIFY(first && last);
    QVERIFY2(qAbs(first->box.left() - left) < 0.05, qPrintable(QString::number(first->box.left() - left)));
    QVERIFY2(qAbs(last->box.right() - 90) < 0.1, qPrintable(QString::number(last->box.right())));
}

void TestPdf::pagesFontsAndTitle()
{
    Report r;
    r.paperSize = QSizeF(100, 148);
    r.margins = QMarginsF(0, 5, 0, 10);
    r.title = QStringLiteral("Faktura på blåbær «Ø» – 3");
    auto &detail = r.addBand(QStringLiteral("detail"), BandType::Detail, 5);
    Label &value = detail.addLabel(QStringLiteral("value"), 2, 0, 40, 4);
    auto &footer = r.addBand(QStringLiteral("footer"), BandType::PageFooter, 10);
    footer.addLabel(QStringLiteral("foot"), 2, 1, 60, 4, QStringLiteral("Side-fot")).font =
        reportFont(QStringLiteral("Courier New"), 10);
    int row = 0;
    r.needData = [&] {
        value.caption = QStringLiteral("rad%1").arg(++row);
        return row <= 60;
    };
    // 24 rows of 5 mm between 5 and 128 mm per page: rows 1, 25 and 49 start the pages.
    const std::vector<Page> pages = r.generate();
    QCOMPARE(int(pages.size()), 3);
    row = 0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.pdf"));
    r.exportPdf(path);
    PdfProbe pdf(path);
    QCOMPARE(pdf.pageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        QVERIFY(qAbs(pdf.pageSize(page).width() - 100) < 0.01 && qAbs(pdf.pageSize(page).height() - 148) < 0.01);
        QCOMPARE(pdf.texts(page).front(), QStringLiteral("rad%1").arg(1 + 24 * page));
        QCOMPARE(pdf.count(page, QStringLiteral("Side-fot")), 1);
    }
    QCOMPARE(pdf.title(), r.title);

    const QList<PdfProbe::Font> fonts = pdf.fontDetails();
    QCOMPARE(fonts.size(), 2);
    QStringList names;
    for (const PdfProbe::Font &font : fonts) {
        QVERIFY2(font.embedded && font.subset && font.cidTrueType, qPrintable(font.name));
        const auto match = QRegularExpression(QStringLiteral("^[A-Z]{6}\\+(.*)$")).match(font.name);
        QVERIFY2(match.hasMatch(), qPrintable(font.name));
        names << match.captured(1);
    }
    names.sort();
    QCOMPARE(names, QStringList({"LiberationMono", "LiberationSans"}));

    // Without pages the document is one blank A4 sheet.
    const QString empty = dir.filePath(QStringLiteral("empty.pdf"));
    writePdf({}, empty, QStringLiteral("tom"));
    PdfProbe blank(empty);
    QCOMPARE(blank.pageCount(), 1);
    QVERIFY(qAbs(blank.pageSize(0).width() - 210) < 0.01 && qAbs(blank.pageSize(0).height() - 297) < 0.01);
}

void TestPdf::transparentColoursPaintNothing()
{
    Report r;
    r.paperSize = QSizeF(100, 100);
    r.margins = QMarginsF(0, 0, 0, 0);
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 60);
    Shape &box = band.addShape(QStringLiteral("box"), Shape::Type::Rectangle, 10, 10, 30, 30);
    box.brushColor = Qt::transparent;
    box.penWidth = 4;
    Shape &hidden = band.addShape(QStringLiteral("hidden"), Shape::Type::Rectangle, 50, 10, 30, 30);
    hidden.penColor = Qt::transparent;
    hidden.brushColor = QColor(255, 255, 128);
    Label &invisible = band.addLabel(QStringLiteral("invisible"), 10, 45, 40, 5, QStringLiteral("usynlig"));
    invisible.textColor = Qt::transparent;
    invisible.transparent = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("transparent.pdf"));
    r.exportPdf(path);
    PdfProbe pdf(path);
    QCOMPARE(pdf.colourAt(0, {25, 25}), QColor(Qt::white));
    QVERIFY(pdf.colourAt(0, {10.2, 25}).value() < 80);
    QCOMPARE(pdf.colourAt(0, {65, 25}), QColor(255, 255, 128));
    QCOMPARE(pdf.colourAt(0, {50.1, 25}), QColor(255, 255, 128));
    QVERIFY(pdf.texts(0).isEmpty());
}

// The file is written beside its target under a hidden name and renamed into place; a failure removes it
// and leaves a file already there as it was.
void TestPdf::failedWritesLeaveNothing()
{
    Report r;
    r.addBand(QStringLiteral("header"), BandType::PageHeader, 10)
        .addLabel(QStringLiteral("text"), 0, 0, 50, 5, QStringLiteral("innhold"));
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    const QString existing = dir.filePath(QStringLiteral("old.pdf"));
    QFile old(existing);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    const QStringList failing{dir.filePath(QStringLiteral("missing/out.pdf")),
                              dir.filePath(QStringLiteral("taken.pdf"))};
    for (const QString &path : failing) {
        try {
            r.exportPdf(path);
            QFAIL(qPrintable(path));
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(path)), qPrintable(e.message()));
        }
        QCOMPARE(folderEntries(dir.path()), QStringList({"old.pdf", "taken.pdf"}));
    }
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.pdf"))).isDir());
    QVERIFY(folderEntries(dir.filePath(QStringLiteral("taken.pdf"))).isEmpty());

    r.exportPdf(existing);
    QCOMPARE(folderEntries(dir.path()), QStringList({"old.pdf", "taken.pdf"}));
    QCOMPARE(PdfProbe(existing).texts(0), QStringList{"innhold"});
}

QTEST_MAIN(TestPdf)
#include "tst_pdf.moc"
