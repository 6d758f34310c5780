#include "InvoiceFixture.h"
#include "PdfProbe.h"
#include "core/Errors.h"

#include <QLocale>
#include <QTest>

namespace {

// The payment slip starts 173.53 mm down the sheet; its Kroner field is 77.26 to 101.07 mm wide at
// 271.2 mm, the account field ends where the form number begins, at 169.07 mm.
constexpr double slipTop = 173.53;

QList<PdfProbe::Word> within(const PdfProbe &pdf, int page, const QRectF &area)
{
    QList<PdfProbe::Word> found;
    for (const PdfProbe::Word &w : pdf.words(page))
        if (area.contains(w.box.center()))
            found << w;
    return found;
}

QString joined(const QList<PdfProbe::Word> &words)
{
    QString text;
    for (const PdfProbe::Word &w : words)
        text += w.text;
    return text.remove(QChar(0xA0));
}

QString wordsOf(const PdfProbe &pdf, int page)
{
    return pdf.texts(page).join(QLatin1Char(' '));
}

} // namespace

// Invoices with the long and awkward values real businesses have, exported as the program does: every
// fact on the page, nothing over another field or beyond the printable strip.
class HostileInvoicesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void anOrdinaryInvoiceKeepsItsPlaces()
    {
        Fixture f;
        const FixedClock clock(QDate(2026, 12, 10), QTime(9, 30));
        const PdfProbe pdf(f.pdf(f.addInvoice({}, {}, {{2, 100, 25}})));
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(joined(within(pdf, 0, QRectF(77.26, 270, 23.81, 7))), QString("250"));
        QVERIFY(!wordsOf(pdf, 0).contains("Side"));
        QVERIFY(wordsOf(pdf, 0).contains("Forfallsdato"));
        QCOMPARE(pdf.title(), QString("Faktura 17"));
        QVERIFY(pdf.info("Producer").startsWith("Tessund " TESSUND_VERSION));
        QCOMPARE(pdf.creationDate().date(), QDate(2026, 12, 10));
    }

    void amountsPrintWhole_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("kroner");
        // 9 876 543,12 at 25 % is 12 345 678,90; a credit note prints its amount with the minus sign.
        QTest::newRow("twelve million") << 9876543.12 << "N"
                                        << "12345678";
        QTest::newRow("credit note of a million") << -987654.312 << "C" << QString::fromUtf8("−1234567");
    }
    void amountsPrintWhole()
    {
        QFETCH(double, price);
        QFETCH(QString, type);
        QFETCH(QString, kroner);
        Fixture f;
        const int id = f.addInvoice({}, {}, {{1, price, 25}});
        f.execute(QStringLiteral("update INVOICE set INV_TYPE = '%1' where INV_ID = %2").arg(type).arg(id));
        const PdfProbe pdf(f.pdf(id));
        const auto field = within(pdf, 0, QRectF(77.0, 270, 24.3, 7));
        QCOMPARE(joined(field), kroner);
        for (const PdfProbe::Word &w : field)
            QVERIFY2(w.box.left() >= 77.2 && w.box.right() <= 101.2,
                     qPrintable(QString("%1 %2-%3").arg(w.text).arg(w.box.left()).arg(w.box.right())));
        // On the receipt too, and in the table's total without running into the next column.
        QVERIFY(joined(within(pdf, 0, QRectF(78.05, slipTop + 10, 38.36, 9))).startsWith(kroner));
        // The credit note's words stay clear of the form number's field.
        if (type == "C")
            for (const PdfProbe::Word &w : within(pdf, 0, QRectF(125, 268, 44, 10)))
                QVERIFY2(w.box.right() < 169.07, qPrintable(w.text));
    }

    void anAmountNoSizeCanHoldIsRefused()
    {
        Fixture f;
        const int id = f.addInvoice();
        f.execute(QStringLiteral("update INVOICE set GROSSSUM = 9000000000000000000 where INV_ID = %1").arg(id));
        const QString path = f.out.filePath("too-large.pdf");
        const QString error = errorOf([&] { ExportInvoicePdf(id, path); });
        QVERIFY2(error.contains("does not fit"), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    // A value that wraps moves the labels below it down with it; nothing runs past 200 mm.
    void detailsStayInTheirRows()
    {
        Fixture f(QList<QPair<QString, QString>>{
            {"COMPDETAIL", "Org.nr.|987 654 321 MVA\nE-post|faktura@rorleggerhansen-bergen.no\nTelefon|55 55 55 "
                           "55\nBank|1234.56.78903"}});
        const PdfProbe pdf(f.pdf(f.addInvoice("ORDER_NO", "'ORD-2026-000012345'")));
        const auto phone = pdf.find(0, "Telefon");
        const auto bank = pdf.find(0, "Bank");
        QVERIFY(phone && bank);
        const auto valueOnRow = [&](const PdfProbe::Word &label) {
            for (const PdfProbe::Word &w : pdf.words(0))
                if (w.box.left() > 165 && std::abs(w.box.bottom() - label.box.bottom()) < 0.3)
                    return w.text;
            return QString();
        };
        QCOMPARE(valueOnRow(*phone), QString("55"));
        QCOMPARE(valueOnRow(*bank), QString("1234.56.78903"));
        QVERIFY(wordsOf(pdf, 0).contains("ORD-2026-000012345") || wordsOf(pdf, 0).contains("ORD-2026-"));
        for (const PdfProbe::Word &w : pdf.words(0))
            if (w.box.top() < 66)
                QVERIFY2(w.box.right() <= 200.2, qPrintable(w.text));
    }

    void lineValues()
    {
        Fixture f;
        const int id = f.addInvoice({}, {}, {{1, 10, 25, 0, "Overnatting\nmed frokost"}, {2, 1234567.5, 25}});
        f.execute(QStringLiteral("update INVITEM set ITEM_NO = 'HOTELL' where ITEM_ID = 1"));
        f.execute(QStringLiteral("update INVITEM set ITEM_NO = 'KONS-T' where ITEM_ID = 2"));
        const PdfProbe pdf(f.pdf(id));
        // Item codes whole; a description's own line break stays in its column.
        QVERIFY(pdf.find(0, "HOTELL") && pdf.find(0, "KONS-T"));
        const auto second = pdf.find(0, "med");
        const auto first = pdf.find(0, "Overnatting");
        QVERIFY(first && second);
        QVERIFY(std::abs(second->box.left() - first->box.left()) < 0.3);
        QVERIFY(second->box.top() > first->box.top() + 3);
        // The totals' captions use the empty columns on their left, whole.
        QVERIFY(pdf.find(0, "Nettosalg:"));
        // The net amount of that row is in its column, and the large one stays out of its neighbour's.
        QVERIFY(pdf.find(0, "10,00"));
        const auto large = pdf.find(0, "567,50");
        QVERIFY(large);
        QVERIFY(large->box.right() <= 201.4);
    }

    void aLongNoteGoesOnOverThePages()
    {
        QStringList lines;
        for (int i = 1; i <= 80; ++i)
            lines << QStringLiteral("n%1").arg(i);
        Fixture f;
        const QString note = lines.join('\n').left(255);
        const int id = f.addInvoice("INV_NOTE", "'" + note + "'");
        const PdfProbe pdf(f.pdf(id));
        QVERIFY(pdf.pageCount() >= 2);
        int found = 0;
        for (int page = 0; page < pdf.pageCount(); ++page) {
            QVERIFY(wordsOf(pdf, page).contains(QString("Side %1 av %2").arg(page + 1).arg(pdf.pageCount())));
            QVERIFY(pdf.find(page, "Kvittering")); // the slip on every page
            for (const PdfProbe::Word &w : pdf.words(page))
                if (w.text.startsWith('n') && w.text.mid(1).toInt() > 0) {
                    ++found;
                    QVERIFY2(w.box.bottom() < slipTop, qPrintable(w.text));
                }
        }
        // (the note is cut at 255 characters, perhaps inside its last line's number)
        QCOMPARE(found, int(note.split('\n').filter(QRegularExpression("^n\\d+$")).size()));
    }

    void anAddressShrinksBeforeItLosesTheTown()
    {
        Fixture f;
        f.execute("update CUSTOMER set FIRSTNAME = 'Bjørnstjerne Martinius', SURNAME = 'Rørleggerforretning AS', "
                  "ADDRESS = 'Innkjøp\nStrandkaien 12, inngang Nedre Ole Bulls plass'");
        const PdfProbe pdf(f.pdf(f.addInvoice()));
        // The town in the page header and on the slip.
        QCOMPARE(pdf.count(0, "OSLO"), 2);
        QVERIFY(pdf.count(0, "Bjørnstjerne") == 2);
    }

    // Names in scripts the invoice's face lacks print from the system's faces, shaped, and come back
    // whole from the PDF: in the page header's address and on the slip.
    void namesInOtherScripts_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("Chinese") << QString("张伟") << QString("有限公司");
        QTest::newRow("emoji") << QString("Ola😀") << QString("Nordmann");
        QTest::newRow("Arabic") << QString("شركة") << QString("النور");
        QTest::newRow("Hebrew") << QString("שלום") << QString("כהן");
    }
    void namesInOtherScripts()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        Fixture f;
        f.execute(QString("update CUSTOMER set FIRSTNAME = '%1', SURNAME = '%2'").arg(first, last));
        const PdfProbe pdf(f.pdf(f.addInvoice()));
        QCOMPARE(pdf.count(0, first), 2);
        QCOMPARE(pdf.count(0, last), 2);
        for (const PdfProbe::Font &font : pdf.fontDetails())
            QVERIFY2(font.embedded, qPrintable(font.name));
    }
};

QTEST_MAIN(HostileInvoicesTest)
#include "tst_hostile_invoices.moc"
