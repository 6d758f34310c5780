#include "PdfProbe.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "data/dInvoice.h"
#include "document/InvoiceComposition.h"
#include "document/qGiroF60.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

ProcessRun cli(const QStringList &arguments)
{
    return runProcess(QStringLiteral(TESSUND_CLI), arguments);
}

// Damages the file as another tool could: Python's sqlite3, without the program's foreign keys and width
// checks.
void damage(const QString &file, const QString &sql)
{
    const ProcessRun run =
        runProcess(QStringLiteral("python3"), {QStringLiteral("-c"),
                                               QStringLiteral("import sqlite3, sys\n"
                                                              "c = sqlite3.connect(sys.argv[1])\n"
                                                              "c.execute('PRAGMA ignore_check_constraints = 1')\n"
                                                              "c.executescript(sys.argv[2])\n"
                                                              "c.commit()\n"),
                                               file, sql});
    QCOMPARE(run.exitCode, 0);
}

QByteArray checksum(const TempDatabase &database)
{
    return QCryptographicHash::hash(database.contents(), QCryptographicHash::Sha256);
}

} // namespace

// Files written by other tools hold what this program never stores: a text where a number belongs, a date
// that is no date, a customer that does not exist, amounts an overflow left behind, ids above 2^31. The
// document, the lists and tessund-cli print what they can, tell what they cannot, never crash and change
// nothing in the file.
class StoredValuesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }

    // Invoice 1 of the demo business, damaged. Without its number, date, customer or amounts there is no
    // invoice to print: refused, exit status 1, no file. Anything else prints empty, and is told.
    void theInvoiceDocument_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        const QString invoice = QStringLiteral("update INVOICE set %1 where INV_ID = 1");
        const QString line = QStringLiteral("update INVITEM set %1 where INV_ID = 1 and rowid = "
                                            "(select min(rowid) from INVITEM where INV_ID = 1)");
        // clang-format off
        QTest::newRow("number is a text")          << invoice.arg("INVOICE_NO = 'abc'")       << 1 << R"(the invoice number "abc" cannot be read)";
        QTest::newRow("no number")                 << invoice.arg("INVOICE_NO = NULL")        << 1 << "the invoice number is missing";
        QTest::newRow("number is a real")          << invoice.arg("INVOICE_NO = 1.5")         << 1 << R"(the invoice number "1.5" cannot be read)";
        QTest::newRow("total is a text")           << invoice.arg("GROSSSUM = 'x'")           << 1 << R"(the total "x" cannot be read)";
        QTest::newRow("total an overflow left")    << invoice.arg("GROSSSUM = -9223372036854775808") << 1 << R"(the total "-9223372036854775808" cannot be read)";
        QTest::newRow("no VAT sum")                << invoice.arg("SUMVAT = NULL")            << 1 << "the VAT is missing";
        QTest::newRow("date that is no date")      << invoice.arg("INVDATE = '2026-02-31'")   << 1 << R"(the invoice date "2026-02-31" cannot be read)";
        QTest::newRow("date as a number")          << invoice.arg("INVDATE = 20260105")       << 1 << R"(the invoice date "20260105" cannot be read)";
        QTest::newRow("customer nowhere")          << invoice.arg("CUST_ID = 999")            << 1 << "the customer 999 does not exist";
        QTest::newRow("no customer")               << invoice.arg("CUST_ID = NULL")           << 1 << "the customer is missing";
        QTest::newRow("quantity beyond money")     << line.arg("NUM = 1e300")                 << 1 << "is beyond the largest amount money can hold";
        QTest::newRow("due date no date")          << invoice.arg("DUEDATE = 'soon'")         << 0 << R"(the due date "soon" cannot be read)";
        QTest::newRow("line without quantity")     << line.arg("NUM = NULL")                  << 0 << "line 1: the quantity is missing";
        QTest::newRow("quantity is a text")        << line.arg("NUM = 'ten'")                 << 0 << R"(line 1: the quantity "ten" cannot be read)";
        QTest::newRow("price is a text")           << line.arg("NETPRICE = '12,50'")          << 0 << R"(line 1: the price "12,50" cannot be read)";
        QTest::newRow("customer number a text")    << "update CUSTOMER set CUST_NO = 'x' where CUST_ID = (select CUST_ID from INVOICE where INV_ID = 1)"
                                                                                              << 0 << R"(the customer number "x" cannot be read)";
        QTest::newRow("100,000-character word")    << line.arg("ITEM_DESC = replace(hex(zeroblob(50000)), '0', 'x')") << 0 << "";
        // clang-format on
    }
    void theInvoiceDocument()
    {
        QFETCH(QString, damage);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        TempDatabase database(true);
        ::damage(database.path(), damage);
        const QByteArray before = checksum(database);

        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("faktura.pdf"));
        const ProcessRun run = cli({QStringLiteral("pdf"), database.path(), QStringLiteral("1"), pdf});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(told), qPrintable(run.errors));
        QCOMPARE(QFile::exists(pdf), exitCode == 0);
        if (exitCode == 0) {
            const PdfProbe probe(pdf);
            QVERIFY(probe.pageCount() >= 1);
            QVERIFY(probe.find(0, QStringLiteral("Kvittering")));
            // A line without its quantity or price has no net amount, and the lines together have none.
            const int last = probe.pageCount() - 1;
            const auto net = probe.find(last, QStringLiteral("Nettosalg:"));
            QVERIFY(net);
            const QList<PdfProbe::Word> words = probe.words(last);
            const bool netPrinted = std::any_of(words.begin(), words.end(), [&](const PdfProbe::Word &w) {
                return w.box.left() > net->box.right() && std::abs(w.box.center().y() - net->box.center().y()) < 1;
            });
            QCOMPARE(netPrinted, !told.startsWith(QLatin1String("line 1: the quantity")) &&
                                     !told.startsWith(QLatin1String("line 1: the price")));
        } else {
            QVERIFY2(run.errors.contains(QLatin1String("The invoice with id 1 cannot be printed: ")),
                     qPrintable(run.errors));
        }
        QCOMPARE(checksum(database), before);

        // The program composes the same way: a refusal is an error, what it prints without a warning box.
        {
            MessageAnswers answers;
            TdmInvoice dm(database.folder());
            QVERIFY(dm.isConnected());
            dm.DBSettings.LoadBusinessSettings();
            TfrmGiroF60 giro;
            const QString error = errorOf([&] { QVERIFY(ComposeInvoiceDocument(1, giro)); });
            if (exitCode != 0) {
                QVERIFY2(error.contains(told), qPrintable(error));
            } else {
                QCOMPARE(error, QString());
                const QStringList shown = answers.texts();
                QCOMPARE(shown.size(), told.isEmpty() ? 0 : 1);
                if (!told.isEmpty())
                    QVERIFY2(shown.first().contains(told), qPrintable(shown.first()));
            }
        }
        QCOMPARE(checksum(database), before);
    }

    // The printed lists print every row, the values they cannot read empty, and name those on standard
    // error; the file stays as it was.
    void theLists_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("told");
        const QStringList invoices{"invoices", "all", "2000-01-01"};
        // clang-format off
        QTest::newRow("invoices, date no date")    << "update INVOICE set INVDATE = 'yesterday' where INV_ID = 3" << invoices  << R"(INV_ID 3: INVDATE "yesterday")";
        QTest::newRow("invoices, total a text")    << "update INVOICE set GROSSSUM = 'x' where INV_ID = 4"       << invoices  << R"(INV_ID 4: GROSSSUM "x")";
        QTest::newRow("customers, number a text")  << "update CUSTOMER set CUST_NO = 'abc' where CUST_ID = 2"    << QStringList{"customers"} << R"(CUST_ID 2: CUST_NO "abc")";
        QTest::newRow("items, VAT a text")         << "update DYNAITEM set VAT = 'high' where ITEM_NO = 'MUS'"   << QStringList{"items"} << R"(ITEM_NO MUS: VAT "high")";
        QTest::newRow("journal, endless amounts")  << "update INVITEM set NUM = 1e308 * 10 where INV_ID = 5"     << QStringList{"transactions", "2000-01-01", "2099-12-31"} << R"(GROSSUM "inf")";
        QTest::newRow("journal, beyond money")     << "update INVITEM set NUM = 1e300 where INV_ID = 5"          << QStringList{"transactions", "2000-01-01", "2099-12-31"} << "ITEM_NO MUS: NETSUM \"2.49";
        // clang-format on
    }
    void theLists()
    {
        QFETCH(QString, damage);
        QFETCH(QStringList, list);
        QFETCH(QString, told);
        TempDatabase database(true);
        ::damage(database.path(), damage);
        const QByteArray before = checksum(database);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("list.pdf"));
        QStringList arguments{QStringLiteral("list"), list.first(), database.path()};
        arguments << list.mid(1) << pdf;
        const ProcessRun run = cli(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains(QLatin1String("Stored values that cannot be read are printed empty: ")) &&
                     run.errors.contains(told),
                 qPrintable(run.errors));
        QVERIFY(PdfProbe(pdf).pageCount() >= 1);
        QCOMPARE(checksum(database), before);
    }

    // Ids beyond 32 bits are ids: the command line reads them, the data module keeps them, and every file
    // of pdf --all shows the invoice its name says.
    void idsAbove32Bits()
    {
        TempDatabase database(true);
        const qint64 big = 4294967297; // 2^32 + 1: cut to 32 bits, it is invoice 1
        QTemporaryDir out;
        const QString original = out.filePath(QStringLiteral("original.pdf"));
        QCOMPARE(cli({QStringLiteral("pdf"), database.path(), QStringLiteral("2"), original}).exitCode, 0);
        damage(database.path(), QStringLiteral("update INVITEM set INV_ID = %1 where INV_ID = 2;"
                                               "update INVOICE set INV_ID = %1 where INV_ID = 2")
                                    .arg(big));

        const QString one = out.filePath(QStringLiteral("big.pdf"));
        QCOMPARE(cli({QStringLiteral("pdf"), database.path(), QString::number(big), one}).exitCode, 0);
        QCOMPARE(PdfProbe(one).title(), PdfProbe(original).title());
        QCOMPARE(PdfProbe(one).texts(0), PdfProbe(original).texts(0));

        const ProcessRun missing =
            cli({QStringLiteral("pdf"), database.path(), QStringLiteral("9223372036854775807"), one});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.errors.contains(QLatin1String("no invoice with id 9223372036854775807")),
                 qPrintable(missing.errors));

        const QString folder = out.filePath(QStringLiteral("all"));
        QCOMPARE(cli({QStringLiteral("pdf"), database.path(), QStringLiteral("--all"), folder}).exitCode, 0);
        const QStringList files = QDir(folder).entryList({QStringLiteral("Faktura*.PDF")}, QDir::Files);
        QCOMPARE(files.size(), 30);
        static const QRegularExpression number(QStringLiteral("^Faktura(\\d+)-"));
        for (const QString &file : files) {
            const QString title = PdfProbe(QDir(folder).filePath(file)).title();
            QVERIFY2(title.endsWith(QLatin1Char(' ') + number.match(file).captured(1)), qPrintable(file + title));
        }

        // In the program: the invoice list holds the id whole, and the document is that invoice's.
        TdmInvoice dm(database.folder());
        dm.SetInvoiceListFilter(0);
        QVERIFY(dm.tblInvoiceList.locate(QStringLiteral("INV_ID"), big));
        QCOMPARE(dm.tblInvoiceList.fieldByName(QStringLiteral("INV_ID")).asInteger(), big);
        dm.DBSettings.LoadBusinessSettings();
        TfrmGiroF60 giro;
        QVERIFY(ComposeInvoiceDocument(big, giro));
        QCOMPARE(giro.invoiceId(), big);
        QCOMPARE(giro.qrGiro.documentName, PdfProbe(original).title());
    }
};

QTEST_MAIN(StoredValuesTest)
#include "tst_stored_values.moc"
