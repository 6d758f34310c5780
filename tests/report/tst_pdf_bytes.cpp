#include "report/FontFace.h"
#include "report/PdfBuffer.h"
#include "report/SfntTables.h"

#include <QPainterPath>
#include <QRawFont>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <limits>

using namespace report;

namespace {

const QString sansFile = QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");

quint32 checksum(const QByteArray &bytes)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        sum += quint32(uchar(bytes[i])) << (8 * (3 - i % 4));
    return sum;
}

std::vector<quint16> glyphsOf(FontFace &face, const QString &text)
{
    std::vector<quint16> glyphs;
    for (const char32_t c : text.toUcs4())
        glyphs.push_back(face.glyph(c));
    return glyphs;
}

} // namespace

// What the PDF writer builds byte by byte and poppler does not show: number formats, font files put
// together from tables, and the font subsets documents share.
class TestPdfBytes : public QObject {
    Q_OBJECT
private slots:
    void numbers_data();
    void numbers();
    void stringsEscapeTheirSyntax();
    void fontFileDirectory_data();
    void fontFileDirectory();
    void subsetsAreSharedAndKeepTheirGlyphs();
};

void TestPdfBytes::numbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("whole") << 1000.0 << QByteArray("1000");
    QTest::newRow("trailing zeros dropped") << 1.5 << QByteArray("1.5");
    QTest::newRow("three decimals") << 841.8898 << QByteArray("841.89");
    QTest::newRow("rounded half up") << 0.0005 << QByteArray("0.001");
    QTest::newRow("negative rounded half away") << -0.0005 << QByteArray("-0.001");
    QTest::newRow("tiny negative is no minus zero") << -0.0004 << QByteArray("0");
    QTest::newRow("negative") << -277.75 << QByteArray("-277.75");
    QTest::newRow("carry into the whole") << 2.9996 << QByteArray("3");
}

void TestPdfBytes::numbers()
{
    QFETCH(double, value);
    QFETCH(QByteArray, written);
    PdfBuffer out;
    out.num(value);
    QCOMPARE(QByteArray::fromStdString(out.data), written);
}

void TestPdfBytes::stringsEscapeTheirSyntax()
{
    PdfBuffer out;
    out << qint64(std::numeric_limits<qint64>::min()) << ' ' << -42 << ' ' << 0 << ' ';
    // Glyph ids whose bytes are parentheses, a backslash or a carriage return, then a plain one.
    out.glyph16(0x2829);
    out.glyph16(0x5C0D);
    out.glyph16(0x0041);
    out << ' ';
    out.textString(QStringLiteral("Ø€😀"));
    static const char expected[] = "-9223372036854775808 -42 0 \\(\\)\\\\\\r\0A <FEFF00D820ACD83DDE00>";
    QCOMPARE(QByteArray::fromStdString(out.data), QByteArray(expected, sizeof expected - 1));
}

// The directory of a font file: search fields for the table count, each table at a four-byte boundary
// with its length and checksum, and the head table's adjustment making the whole file sum to B1B0AFBA.
void TestPdfBytes::fontFileDirectory_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("searchRange");
    QTest::addColumn<int>("entrySelector");
    QTest::newRow("one table") << 1 << 16 << 0;
    QTest::newRow("three tables") << 3 << 32 << 1;
    QTest::newRow("four tables") << 4 << 64 << 2;
    QTest::newRow("nine tables") << 9 << 128 << 3;
}

void TestPdfBytes::fontFileDirectory()
{
    QFETCH(int, count);
    QFETCH(int, searchRange);
    QFETCH(int, entrySelector);
    static const char *const tags[] = {"aaaa", "head", "kkkk", "llll", "mmmm", "nnnn", "oooo", "pppp", "qqqq"};
    std::vector<QByteArray> data;
    data.reserve(size_t(count));
    std::vector<sfnt::Table> tables;
    for (int i = 0; i < count; ++i) {
        const char *tag = count == 1 ? "head" : tags[i];
        const bool head = std::strcmp(tag, "head") == 0;
        // Lengths that are no multiple of four, so that the tables after them need padding.
        QByteArray table(head ? 54 : 5 + 3 * i, '\0');
        for (qsizetype k = 0; k < table.size(); ++k)
            table[k] = char(17 * i + 31 * k + 1);
        if (head)
            sfnt::put32(table, 8, 0); // the checksum adjustment, as callers hand it over
        data.push_back(table);
        tables.push_back({tag, &data.back()});
    }
    const QByteArray file = sfnt::fontFile(0x00010000, tables);
    QCOMPARE(sfnt::u32(file, 0), quint32(0x00010000));
    QCOMPARE(int(sfnt::u16(file, 4)), count);
    QCOMPARE(int(sfnt::u16(file, 6)), searchRange);
    QCOMPARE(int(sfnt::u16(file, 8)), entrySelector);
    QCOMPARE(int(sfnt::u16(file, 10)), count * 16 - searchRange);
    QCOMPARE(checksum(file), quint32(0xB1B0AFBA));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 12 + 16 * i;
        const QByteArray &table = data[size_t(i)];
        QCOMPARE(file.mid(entry, 4), QByteArray(tables[size_t(i)].tag));
        QCOMPARE(sfnt::u32(file, entry + 4), checksum(table));
        const quint32 offset = sfnt::u32(file, entry + 8), length = sfnt::u32(file, entry + 12);
        QCOMPARE(offset % 4, 0u);
        QCOMPARE(qsizetype(length), table.size());
        QByteArray stored = file.mid(offset, length);
        if (file.mid(entry, 4) == "head")
            sfnt::put32(stored, 8, 0);
        QCOMPARE(stored, table);
    }
}

// A document reuses a recent subset that holds its glyphs and at most 32 more; a new subset takes in the
// glyphs of the latest when they fit. The embedded file keeps every glyph at its own id, with the glyphs a
// composite one is built of, and no others.
void TestPdfBytes::subsetsAreSharedAndKeepTheirGlyphs()
{
    const QRawFont raw(sansFile, 12);
    if (!raw.isValid())
        QSKIP("Liberation Sans is not installed");
    FontFace face(raw);
    QVERIFY(face.isValid() && !face.isCompact());

    const auto first = face.subset(glyphsOf(face, QStringLiteral("Faktura på blåbær")));
    QCOMPARE(face.subset(glyphsOf(face, QStringLiteral("Fakturå"))), first);
    const auto wider = face.subset(glyphsOf(face, QStringLiteral("Fakturå Z")));
    QVERIFY(wider != first);
    QVERIFY(std::includes(wider->glyphs.begin(), wider->glyphs.end(), first->glyphs.begin(), first->glyphs.end()));
    QCOMPARE(face.subset(glyphsOf(face, QStringLiteral("Fakturå"))), wider);
    const QString many = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghij");
    const auto other = face.subset(glyphsOf(face, many));
    QVERIFY(other != wider);
    // The latest subset holds "a" but carries far more than 32 glyphs beyond it: the older one serves.
    QCOMPARE(face.subset(glyphsOf(face, QStringLiteral("a"))), wider);
    QCOMPARE(face.subset(glyphsOf(face, many)), other);

    QByteArray sized(4, '\0');
    sfnt::put32(sized, 0, quint32(first->fontFileLength));
    const QByteArray file = qUncompress(sized + first->fontFile);
    QCOMPARE(file.size(), first->fontFileLength);
    const QRawFont embedded(file, 12);
    QVERIFY(embedded.isValid());
    for (const char32_t c : QStringLiteral("Fåb").toUcs4()) {
        const quint16 g = face.glyph(c);
        QCOMPARE(embedded.pathForGlyph(g), raw.pathForGlyph(g));
    }
    QVERIFY(embedded.pathForGlyph(face.glyph(U'Z')).isEmpty());
    QVERIFY(!raw.pathForGlyph(face.glyph(U'Z')).isEmpty());
}

QTEST_MAIN(TestPdfBytes)
#include "tst_pdf_bytes.moc"
