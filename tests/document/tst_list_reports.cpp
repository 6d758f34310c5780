#include "PdfProbe.h"
#include "TestSupport.h"
#include "core/Connection.h"
#include "data/dInvoice.h"
#include "document/ListReports.h"

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTest>

namespace {

// The left and right margins of the invoice and transaction lists, and of the customer and item lists.
constexpr double journalLeft = 12.7;
constexpr double cardsLeft = 12.7;

QString nb(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char(' '), QChar(0xA0));
}

struct Database {
    TempDatabase file;
    TdmInvoice dm{file.folder()};
    QTemporaryDir out;

    Database()
    {
        dm.conInvoice.execute(QStringLiteral(
            "insert into APPDATA (ANAME, AVALUE) values ('NAMECOMPADDR', 'Fjordlys AS\nStrandveien 14')"));
        dm.DBSettings.LoadBusinessSettings();
    }
    int customer(int number, const QString &first, const QString &surname, const QVariantMap &more = {})
    {
        QVariantMap columns = more;
        columns.insert(QStringLiteral("CUST_NO"), number);
        columns.insert(QStringLiteral("FIRSTNAME"), first);
        columns.insert(QStringLiteral("SURNAME"), surname);
        return seedCustomer(dm.conInvoice, columns);
    }
    // An invoice of one line of `price` at 25 % VAT; dates as YYYY-MM-DD, empty for none.
    int invoice(int customerId, int number, const char *type, const QString &date, const QString &due,
                const QString &paidDate = {}, double paid = -1, double price = 100)
    {
        QVariantMap columns{{QStringLiteral("CUST_ID"), customerId},
                            {QStringLiteral("INVOICE_NO"), number},
                            {QStringLiteral("INV_TYPE"), QLatin1String(type)},
                            {QStringLiteral("INVDATE"), day(date)},
                            {QStringLiteral("DUEDATE"), day(due)}};
        if (!paidDate.isEmpty())
            columns.insert(QStringLiteral("PAIDDATE"), day(paidDate));
        if (paid >= 0)
            columns.insert(QStringLiteral("SUMPAID"), QVariant::fromValue(money(paid)));
        return seedInvoice(dm.conInvoice, columns, {{1, price, 25}});
    }
    static QVariant day(const QString &text)
    {
        return text.isEmpty() ? QVariant() : QVariant(QDateTime::fromString(text, Qt::ISODate));
    }
    QString path(const char *name) const { return out.filePath(QLatin1String(name)); }
};

// The words of a page in a column (left edge within half a millimetre of x), top to bottom.
QStringList column(const PdfProbe &pdf, int page, double x)
{
    QList<PdfProbe::Word> found;
    for (const PdfProbe::Word &w : pdf.words(page))
        if (std::abs(w.box.left() - x) < 0.5)
            found << w;
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.box.top() < b.box.top() - 0.5; });
    QStringList texts;
    for (const auto &w : found)
        texts << w.text;
    return texts;
}

// The words on the line of `word` (same baseline), left to right.
QList<PdfProbe::Word> lineOf(const PdfProbe &pdf, int page, const PdfProbe::Word &word)
{
    QList<PdfProbe::Word> line;
    for (const PdfProbe::Word &w : pdf.words(page))
        if (std::abs(w.box.bottom() - word.box.bottom()) < 0.5)
            line << w;
    std::sort(line.begin(), line.end(), [](const auto &a, const auto &b) { return a.box.left() < b.box.left(); });
    return line;
}

} // namespace

// The printed lists on PDF, in millimetres, under Norwegian settings.
class ListReportsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void invoiceListVariants_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("numbers");
        // 101 dated on the start day, 104 with a paid date but no paid sum, 105 paid, 106 due today and
        // 107 due tomorrow; 102 is older and 103 a credit note.
        QTest::newRow("all") << 0 << "Invoicelist" << QStringList{"101", "104", "105", "106", "107"};
        QTest::newRow("unpaid") << 1 << "Unpaid" << QStringList{"101", "104", "106", "107"};
        QTest::newRow("overdue, by due date") << 2 << "Overdue" << QStringList{"101", "104", "106"};
    }
    void invoiceListVariants()
    {
        QFETCH(int, variant);
        QFETCH(QString, title);
        QFETCH(QStringList, numbers);
        const FixedClock clock(QDate(2026, 12, 10), QTime(12, 0));
        Database db;
        const int kari = db.customer(3, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        db.invoice(kari, 104, "N", "2026-11-05", "2026-12-01", "2026-12-02");
        db.invoice(kari, 101, "N", "2026-11-01", "2026-11-15");
        db.invoice(kari, 102, "N", "2026-10-31", "2026-11-14");
        db.invoice(kari, 103, "C", "2026-11-20", "2026-11-21");
        db.invoice(kari, 105, "N", "2026-11-06", "2026-11-20", "2026-11-19", 125);
        db.invoice(kari, 106, "N", "2026-11-26", "2026-12-10");
        db.invoice(kari, 107, "R", "2026-11-27", "2026-12-11", {}, -1, 1234567.5);

        TrepInvoiceList list(&db.dm.conInvoice);
        list.SetStartDate(QDate(2026, 11, 1));
        list.SetVariant(variant);
        list.SetCompanyText(ListCompanyText());
        QVERIFY(list.Open());
        list.qrList.exportPdf(db.path("list.pdf"));
        const PdfProbe pdf(db.path("list.pdf"));
        QCOMPARE(pdf.pageCount(), 1);
        const QStringList printed =
            column(pdf, 0, journalLeft + 0.3).filter(QRegularExpression(QStringLiteral("^\\d+$")));
        QStringList sorted = printed;
        if (variant < 2) // no order is asked for but by due date
            sorted.sort();
        QCOMPARE(sorted, numbers);
        QVERIFY(pdf.find(0, title));
        QVERIFY(pdf.find(0, QStringLiteral("01.11.2026"))); // the start day in the header
        QVERIFY(pdf.find(0, QStringLiteral("Fjordlys")));

        // Amounts end at the column's right edge, whole however large.
        const auto gross = pdf.find(0, nb("125,00"));
        QVERIFY(gross);
        QVERIFY(std::abs(gross->box.right() - (journalLeft + 186.8)) < 0.4);
        // (poppler reads the groups of a large amount as words of their own)
        const auto large = pdf.find(0, QStringLiteral("209,38"));
        QVERIFY(variant == 2 || large);
        if (large)
            QVERIFY(std::abs(large->box.right() - (journalLeft + 186.8)) < 0.4);
    }

    void transactionJournal()
    {
        Database db;
        const int kari = db.customer(3, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const int long_ =
            db.customer(9, QStringLiteral("Bjørnstjerne Martinius"), QStringLiteral("Rørleggerfirma Vestland"));
        db.invoice(kari, 201, "N", "2026-11-01", "2026-11-15", "2026-11-30", 125);
        db.invoice(kari, 202, "N", "2026-10-15", "2026-10-29", "2026-11-10", 500);
        db.invoice(long_, 203, "N", "2026-11-20", "2026-12-04", "2026-12-05", 125);
        db.invoice(kari, 204, "C", "2026-11-25", "2026-11-25");
        db.invoice(kari, 205, "N", "2026-12-01", "2026-12-15");
        const int late = db.invoice(kari, 206, "N", "2026-10-01", "2026-10-15", {}, 80);
        // A payment recorded with its time of day on the last day of the period.
        db.dm.conInvoice.execute(
            QStringLiteral("update INVOICE set PAIDDATE = '2026-11-30 14:00:00' where INV_ID = %1").arg(late));

        TrepTransactionList list(&db.dm.conInvoice);
        list.SetStartDate(QDate(2026, 11, 1));
        list.SetEndDate(QDate(2026, 11, 30));
        list.SetCompanyText(ListCompanyText());
        QVERIFY(list.Open());
        list.qrList.exportPdf(db.path("journal.pdf"));
        const PdfProbe pdf(db.path("journal.pdf"));
        QCOMPARE(column(pdf, 0, journalLeft + 57.4).filter(QRegularExpression(QStringLiteral("^\\d+$"))),
                 (QStringList{"201", "202", "203", "204", "201", "206"}));
        QCOMPARE(column(pdf, 0, journalLeft + 20.1).filter(QRegularExpression(QStringLiteral("^(Issue|Payment)$"))),
                 (QStringList{"Issue", "Payment", "Issue", "Issue", "Payment", "Payment"}));
        QVERIFY(column(pdf, 0, journalLeft + 37.0).contains(QStringLiteral("Credit")));

        // A payment shows the amount paid under "Gross sum" and nothing under "Net sum" and "VAT".
        const auto paid = pdf.find(0, nb("500,00"));
        QVERIFY(paid);
        const QList<PdfProbe::Word> row = lineOf(pdf, 0, *paid);
        QVERIFY(std::abs(paid->box.right() - (journalLeft + 186.8)) < 0.4);
        for (const PdfProbe::Word &w : row)
            QVERIFY2(w.box.right() < journalLeft + 128.5 || w.text == nb("500,00"), qPrintable(w.text));

        // An issue: due date and totals below its line, then its lines.
        const auto due = pdf.find(0, QStringLiteral("15.11.2026"));
        QVERIFY(due);
        QStringList totals;
        for (const PdfProbe::Word &w : lineOf(pdf, 0, *due))
            totals << w.text;
        QCOMPARE(totals, (QStringList{"Due", "date:", "15.11.2026", "100,00", "25,00", "125,00"}));
        QCOMPARE(pdf.count(0, QStringLiteral("Vare")), 3);

        // A long name stops where the amounts begin.
        const auto first = pdf.find(0, QStringLiteral("Bjørnstjerne"));
        QVERIFY(first);
        for (const PdfProbe::Word &w : lineOf(pdf, 0, *first))
            QVERIFY2(w.box.right() <= journalLeft + 128.2, qPrintable(w.text));
        QVERIFY(!pdf.find(0, QStringLiteral("Vestland")));
    }

    void emptyPeriodsOpenNothing()
    {
        Database db;
        const int kari = db.customer(3, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        db.invoice(kari, 1, "C", "2026-05-01", "2026-05-01");
        TrepTransactionList journal(&db.dm.conInvoice);
        journal.SetStartDate(QDate(2026, 1, 1));
        journal.SetEndDate(QDate(2026, 4, 30));
        QVERIFY(!journal.Open());
        // A credit note is the only invoice: no invoice list of any kind.
        TrepInvoiceList invoices(&db.dm.conInvoice);
        invoices.SetStartDate(QDate(2026, 1, 1));
        QVERIFY(!invoices.Open());
        QCOMPARE(NoTransactionsText(), QStringLiteral("No invoice transaction for given period"));
    }

    void customerCards()
    {
        Database db;
        // Enough customers to fill the first column and start the second.
        for (int i = 0; i < 10; ++i)
            db.customer(100 + i, QStringLiteral("Fyll"), QStringLiteral("Hansen%1").arg(i, 2, 10, QLatin1Char('0')),
                        {{QStringLiteral("PHONE1"), QStringLiteral("1")},
                         {QStringLiteral("EMAIL"), QStringLiteral("x@y.no")},
                         {QStringLiteral("STATUS"), QStringLiteral("Fast")}});
        db.customer(1, QStringLiteral("Carl"), QStringLiteral("Berg"),
                    {{QStringLiteral("POSTALCODE"), QStringLiteral("5003")},
                     {QStringLiteral("EMAIL"), QStringLiteral("carl@berg.no")}});
        db.customer(2, QStringLiteral("Berit"), QStringLiteral("Berg"),
                    {{QStringLiteral("PHONE2"), QStringLiteral("99887766")}});
        db.customer(3, QStringLiteral("Åse"), QStringLiteral("Zahl"));
        db.customer(4, QStringLiteral("Ola"), QStringLiteral("Ødegård"));

        TrptCustomer list(&db.dm.conInvoice);
        list.qrList.exportPdf(db.path("cards.pdf"));
        const PdfProbe pdf(db.path("cards.pdf"));
        QCOMPARE(pdf.pageCount(), 1);
        const double firstColumn = cardsLeft + 4.0, secondColumn = cardsLeft + 92.3 + 0.1 + 4.0;
        const QStringList left = column(pdf, 0, firstColumn);
        const QStringList right = column(pdf, 0, secondColumn);
        // Berit before Carl (same surname), then Hansen.., Zahl and Ødegård last (the Norwegian order): down
        // the first column, on in the second.
        QStringList names = (left + right).filter(QRegularExpression(QStringLiteral("^(Berit|Carl|Fyll|Åse|Ola)$")));
        QVERIFY2(names.first() == QStringLiteral("Berit"), qPrintable(names.join(QLatin1Char(' '))));
        QCOMPARE(names.at(1), QStringLiteral("Carl"));
        QCOMPARE(names.mid(names.size() - 2), (QStringList{"Åse", "Ola"}));
        QVERIFY(right.contains(QStringLiteral("Ola")));

        // Only a second phone number: the phone line with the first number empty.
        const auto phone2 = pdf.find(0, QStringLiteral("99887766"));
        QVERIFY(phone2);
        QVERIFY(std::abs(phone2->box.left() - (cardsLeft + 53.2)) < 0.5);
        QCOMPARE(lineOf(pdf, 0, *phone2).first().text, QStringLiteral("Phone:"));
        // E-mail without phone numbers: right below the postal line, and no status line.
        const auto postal = pdf.find(0, QStringLiteral("5003"));
        const auto mail = pdf.find(0, QStringLiteral("carl@berg.no"));
        QVERIFY(postal && mail);
        QVERIFY(std::abs((mail->box.top() - postal->box.top()) - 4.8) < 0.3);
        // The next card follows right after it.
        double next = 1000;
        for (const PdfProbe::Word &w : pdf.words(0))
            if (w.text == QStringLiteral("Fyll") && std::abs(w.box.left() - firstColumn) < 0.5 &&
                w.box.top() > mail->box.top())
                next = std::min(next, w.box.top() - mail->box.top());
        QVERIFY2(std::abs(next - (4.8 + 2.4)) < 0.3, qPrintable(QString::number(next)));
    }

    void itemCatalogue()
    {
        Database db;
        seedItem(db.dm.conInvoice, {{QStringLiteral("ITEM_NO"), QStringLiteral("A")},
                                    {QStringLiteral("ITEM_DESC"), QStringLiteral("Vanlig")},
                                    {QStringLiteral("NETPRICE"), QVariant::fromValue(money(100))},
                                    {QStringLiteral("VAT"), 25.0}});
        seedItem(db.dm.conInvoice, {{QStringLiteral("ITEM_NO"), QStringLiteral("B")},
                                    {QStringLiteral("ITEM_DESC"), QStringLiteral("Fritatt")},
                                    {QStringLiteral("NETPRICE"), QVariant::fromValue(money(80))},
                                    {QStringLiteral("VAT"), 0.0}});
        TrptItems list(&db.dm.conInvoice);
        list.qrList.exportPdf(db.path("items.pdf"));
        const PdfProbe pdf(db.path("items.pdf"));
        const auto texts = [&](const char *word) {
            QStringList line;
            for (const PdfProbe::Word &w : lineOf(pdf, 0, *pdf.find(0, QLatin1String(word))))
                line << w.text;
            return line;
        };
        QCOMPARE(texts("Vanlig"), (QStringList{"A", "Vanlig", "100,00", "25%", "125,00"}));
        QCOMPARE(texts("Fritatt"), (QStringList{"B", "Fritatt", "80,00", "%", "80,00"}));
        const auto vat = pdf.find(0, QStringLiteral("25%"));
        QVERIFY(std::abs(vat->box.right() - (cardsLeft + 158.0)) < 0.4);
        // An empty catalogue still gives its page with the headings.
        db.dm.conInvoice.execute(QStringLiteral("delete from DYNAITEM"));
        TrptItems empty(&db.dm.conInvoice);
        empty.qrList.exportPdf(db.path("none.pdf"));
        const PdfProbe headings(db.path("none.pdf"));
        QCOMPARE(headings.pageCount(), 1);
        QVERIFY(headings.find(0, QStringLiteral("Description")));
    }

    // An independent reader finds the journal's texts in the RTF document, in their order.
    void rtfReadBack()
    {
        Database db;
        const int kari = db.customer(3, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const int id = db.invoice(kari, 301, "N", "2026-11-02", "2026-11-16", "2026-11-12", 125, 1000);
        db.dm.conInvoice.execute(
            QStringLiteral("update INVITEM set ITEM_DESC = 'Håndbok, trykt' where INV_ID = %1").arg(id));
        TrepTransactionList list(&db.dm.conInvoice);
        list.SetStartDate(QDate(2026, 11, 1));
        list.SetEndDate(QDate(2026, 11, 30));
        list.SetCompanyText(ListCompanyText());
        QVERIFY(list.Open());
        list.qrList.exportRtf(db.path("journal.rtf"));
        QProcess unrtf;
        unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), db.path("journal.rtf")});
        QVERIFY(unrtf.waitForFinished(30000));
        QCOMPARE(unrtf.exitCode(), 0);
        // unrtf writes the document's own code page (1252; Latin-1 for these letters).
        const QString text = QString::fromLatin1(unrtf.readAllStandardOutput());
        qsizetype at = 0;
        for (const char *expected :
             {"Transaction report", "Fjordlys AS", "From date:", "01.11.2026", "Gross sum", "02.11.2026", "Issue",
              "Kari Nordmann", "Due date:", "Håndbok, trykt", "250,00", "12.11.2026", "Payment"}) {
            const qsizetype found = text.indexOf(QString::fromUtf8(expected), at);
            QVERIFY2(found >= 0, qPrintable(QString::fromUtf8(expected) + " in " + text));
            at = found;
        }
    }

    // The lists from the command line: written as asked, or refused with the reason and status 1.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("journal as PDF") << QStringList{"transactions", "DB", "2026-01-01", "2026-12-31", "out.pdf"} << 0
                                        << "Wrote";
        QTest::newRow("customers as RTF") << QStringList{"customers", "DB", "out.rtf"} << 0 << "Wrote";
        QTest::newRow("an empty period") << QStringList{"transactions", "DB", "2020-01-01", "2020-01-31", "out.pdf"}
                                         << 1 << "No invoice transaction for given period";
        QTest::newRow("end before start")
            << QStringList{"transactions", "DB", "2026-02-01", "2026-01-01", "out.pdf"} << 1 << "before it starts";
        QTest::newRow("no date") << QStringList{"invoices", "DB", "all", "2026-02-30", "out.pdf"} << 1 << "YYYY-MM-DD";
        QTest::newRow("no such variant") << QStringList{"invoices", "DB", "bogus", "2026-01-01", "out.pdf"} << 1
                                         << "all, unpaid or overdue";
        QTest::newRow("another suffix") << QStringList{"items", "DB", "out.txt"} << 1 << ".pdf or .rtf";
        QTest::newRow("no folder") << QStringList{"items", "DB", "missing/out.pdf"} << 1 << "Cannot write";
        QTest::newRow("too few words") << QStringList{"items", "DB"} << 1 << "Usage";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, said);
        TempDatabase file(true);
        QTemporaryDir out;
        for (QString &arg : args) {
            if (arg == QLatin1String("DB"))
                arg = file.path();
            else if (arg.contains(QLatin1String("out.")))
                arg = out.filePath(arg);
        }
        QProcess cli;
        cli.start(QStringLiteral(TESSUND_CLI), QStringList{"list"} + args);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), status);
        const QString output = QString::fromLocal8Bit(cli.readAllStandardOutput() + cli.readAllStandardError());
        QVERIFY2(output.contains(said), qPrintable(output));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), status == 0 ? 1 : 0);
    }
};

QTEST_MAIN(ListReportsTest)
#include "tst_list_reports.moc"
