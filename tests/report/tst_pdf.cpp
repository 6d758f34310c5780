#include "PdfProbe.h"
#include "core/Errors.h"
#include "report/Render.h"
#include "report/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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
    void initTestCase();
    void textsComeBackIntact_data();
    void textsComeBackIntact();
    void colourEmojiKeepsItsWords();
    void kerningFollowsTheLayout();
    void pagesFontsAndTitle();
    void transparentColoursPaintNothing();
    void failedWritesLeaveNothing();
};

void TestPdf::initTestCase()
{
    // The system has this face also with Type 1 outlines; the OpenType file is taken when the program has it.
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf"));
}

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
    // A face of Type 1 outlines, which a PDF cannot carry as such, prints in the sans-serif face.
    QTest::newRow("Type 1 face") << "Nimbus Sans" << false << false << "Faktura på blåbær";
    // Faces with PostScript outlines in an OpenType file are cut down by HarfBuzz and embedded.
    QTest::newRow("OpenType face with PostScript outlines") << "URW Gothic" << false << false << "Faktura på blåbær";
    // Scripts the Latin faces lack come from the system's fallback faces, shaped as Qt shapes them.
    QTest::newRow("Chinese") << "Arial" << false << false << "张伟 Zhang 有限公司";
    QTest::newRow("emoji") << "Arial" << false << false << "Ola 😀 Nordmann";
    QTest::newRow("Arabic") << "Arial" << false << false << "شركة النور";
    QTest::newRow("Hebrew") << "Arial" << false << false << "שלום עולם";
    QTest::newRow("combining accent") << "Arial" << false << false << "Cafe\u0301 Rene\u0301";
}

// Pixels dark in `a` with no dark pixel of `b` within one pixel, as a share of a's dark pixels.
double inkMissing(const QImage &a, const QImage &b)
{
    const auto dark = [](const QImage &image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
    };
    int ink = 0, missing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!dark(a, x, y))
                continue;
            ++ink;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = dark(b, x + dx, y + dy);
            missing += near ? 0 : 1;
        }
    return ink ? double(missing) / ink : 1.0;
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
    const std::vector<Page> pages = r.generate();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    writePdf(pages, path, QString());
    PdfProbe pdf(path);
    QVERIFY(pdf.isValid());
    QCOMPARE(pdf.texts(0), text.split(QLatin1Char(' ')));
    for (const PdfProbe::Font &f : pdf.fontDetails())
        QVERIFY2(f.embedded, qPrintable(f.name));
    if (family == QLatin1String("URW Gothic"))
        QVERIFY2(pdf.fonts().join(QLatin1Char(' ')).contains(QLatin1String("URWGothic")),
                 qPrintable(pdf.fonts().join(' ')));

    // The PDF shows what the printer prints: the same glyphs in the same places. Both are drawn finely
    // (Qt rounds the size of a font to whole pixels) and compared at 300 dpi.
    constexpr double fine = 1200;
    const QRectF strip(0, 0, 200, 20);
    QImage painted(int(strip.width() / 25.4 * fine), int(strip.height() / 25.4 * fine), QImage::Format_RGB32);
    painted.setDotsPerMeterX(int(std::lround(fine / 0.0254)));
    painted.setDotsPerMeterY(int(std::lround(fine / 0.0254)));
    painted.fill(Qt::white);
    {
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintPage(painter, pages.front(), false);
    }
    const QSize coarse = painted.size() / 4;
    const QImage printed = painted.scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage shown = pdf.image(0, fine, strip).scaled(coarse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(inkMissing(printed, shown) < 0.05, qPrintable(QString::number(inkMissing(printed, shown))));
    QVERIFY2(inkMissing(shown, printed) < 0.05, qPrintable(QString::number(inkMissing(shown, printed))));
    // The ink starts where the label does (the first glyph's side bearing apart).
    int firstInk = shown.width();
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < firstInk; ++x)
            if (qGray(shown.pixel(x, y)) < 128)
                firstInk = x;
    const double left = firstInk * 25.4 / (fine / 4);
    QVERIFY2(left > 14.8 && left < 15.6, qPrintable(QString::number(left)));
}

// A face of colour bitmaps (as desktops have for emoji) has no outlines to embed: the words of its glyphs
// can still be found and copied.
void TestPdf::colourEmojiKeepsItsWords()
{
    const QString file =
        qEnvironmentVariable("TESSUND_EMOJI_FONT", QStringLiteral("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"));
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0)
        QSKIP("No colour emoji face on this machine");
    const QString family = QFontDatabase::applicationFontFamilies(id).value(0);
    Report r;
    auto &band = r.addBand(QStringLiteral("header"), BandType::PageHeader, 20);
    band.addLabel(QStringLiteral("text"), 5, 2, 180, 8, QStringLiteral("Ola😀 🎉")).font = reportFont(family, 11);
    const std::vector<Page> pages = r.generate();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("emoji.pdf"));
    writePdf(pages, path, QString());
    QFontDatabase::removeApplicationFont(id);
    PdfProbe pdf(path);
    QCOMPARE(pdf.texts(0), QStringList({QStringLiteral("Ola😀"), QStringLiteral("🎉")}));
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
