#include "TestSupport.h"
#include "core/Errors.h"
#include "data/DatabaseCreation.h"
#include "data/LineAmounts.h"
#include "data/dInvoice.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cmath>

namespace {

QString columnsOf(db::Connection &c, const QString &table)
{
    QStringList columns;
    db::Statement info(c, QStringLiteral("select name, type from pragma_table_info(:T)"));
    info.bind(QStringLiteral("T"), table);
    while (info.step())
        columns << info.rawValue(0).toString() + QLatin1Char(' ') + info.rawValue(1).toString();
    return columns.join(QLatin1String(", "));
}

QStringList resultColumns(db::Connection &c, const QString &sql)
{
    db::Statement statement(c, sql);
    QStringList names;
    for (int i = 0; i < statement.columnCount(); ++i)
        names << statement.columnName(i);
    return names;
}

ProcessRun cli(const QStringList &arguments)
{
    return runProcess(QStringLiteral(TESSUND_CLI), arguments);
}

// Runs Python with its own sqlite3 module on the file: `c` is the connection, sys.argv[2:] the arguments.
ProcessRun python(const QString &file, const QString &script, const QStringList &arguments = {})
{
    return runProcess(QStringLiteral("python3"),
                      QStringList{QStringLiteral("-c"),
                                  QStringLiteral("import sqlite3, sys\nc = sqlite3.connect(sys.argv[1])\n") + script,
                                  file} +
                          arguments);
}

// Rows of the line view as texts "ITEM_ID GROSSPRICE NETSUM SUMVAT GROSSUM", each double with 17 digits
// (which tell every double apart; a zero has no sign).
QString viewRow(const QList<double> &values)
{
    QStringList texts;
    for (double x : values)
        texts << QString::number(x == 0 ? 0.0 : x, 'g', 17);
    return texts.join(QLatin1Char(' '));
}

// The line view as Python reads it.
QStringList viewReadByPython(const QString &file)
{
    const ProcessRun read =
        python(file, QStringLiteral("for r in c.execute('select ITEM_ID, GROSSPRICE, NETSUM, SUMVAT, "
                                    "GROSSUM from INVITEMVIEW order by INV_ID, rowid'):\n"
                                    "    print(' '.join(repr(x) for x in r))\n"));
    if (read.exitCode != 0)
        return {QStringLiteral("python3 failed")};
    QStringList rows;
    for (const QString &line : read.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QList<double> values;
        for (const QString &text : line.split(QLatin1Char(' ')))
            values << text.toDouble(); // Python's repr reads back as the very same double
        rows << viewRow(values);
    }
    return rows;
}

// The row the view must show for a line, by the program's own computation.
QString expectedViewRow(qint64 itemId, double num, Money price, double vat, double discount)
{
    const LineAmounts a = lineAmounts(num, price, vat, discount);
    return viewRow({double(itemId), double(money(a.grossPrice).units()), a.netSum, a.vat, a.sum});
}

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tablesAsTheProgramReadsThem_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QTest::newRow("CUSTOMER") << "CUSTOMER"
                                  << "CUST_ID INTEGER, CUST_NO INTEGER, FIRSTNAME VARCHAR(25), SURNAME VARCHAR(25), "
                                     "ADDRESS VARCHAR(64), POSTALCODE CHAR(10), POSTALADDRESS VARCHAR(64), PHONE1 "
                                     "VARCHAR(15), PHONE2 VARCHAR(15), EMAIL VARCHAR(40), MISC VARCHAR(255), STATUS "
                                     "VARCHAR(10)";
        QTest::newRow("INVOICE") << "INVOICE"
                                 << "INV_ID INTEGER, CUST_ID INTEGER, INVOICE_NO INTEGER, INVDATE DATETIME, DUEDATE "
                                    "DATETIME, PAIDDATE DATETIME, PRINTDATE DATETIME, KID VARCHAR(30), GROSSSUM "
                                    "CURRENCY, SUMPAID CURRENCY, SUMVAT CURRENCY, OURREF VARCHAR(20), YOURREF "
                                    "VARCHAR(20), ORDER_NO VARCHAR(20), INV_TYPE CHAR(1), INV_NOTE VARCHAR(255)";
        QTest::newRow("INVITEM") << "INVITEM"
                                 << "INV_ID INTEGER, ITEM_ID INTEGER, ITEM_NO VARCHAR(10), ITEM_DESC VARCHAR(64), NUM "
                                    "DOUBLE, NETPRICE CURRENCY, VAT DOUBLE, DISCOUNT DOUBLE";
        QTest::newRow("DYNAITEM") << "DYNAITEM"
                                  << "ITEM_NO CHAR(10), ITEM_DESC CHAR(64), NETPRICE CURRENCY, VAT DOUBLE";
        QTest::newRow("POSTALADDR") << "POSTALADDR"
                                    << "POSTALCODE VARCHAR(10), POSTALADDRESS VARCHAR(64)";
        QTest::newRow("APPDATA") << "APPDATA"
                                 << "ANAME VARCHAR(12), AVALUE VARCHAR(255), ATYPE SMALLINT";
    }
    void tablesAsTheProgramReadsThem()
    {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        TempDatabase database;
        TdmInvoice dm(database.folder());
        QCOMPARE(columnsOf(dm.conInvoice, table), columns);
    }

    void viewsYieldTheirColumns()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        QCOMPARE(resultColumns(dm.conInvoice, QStringLiteral("select * from INVOICELIST")),
                 QStringLiteral("INV_ID CUST_ID INVOICE_NO INV_TYPE INVDATE DUEDATE PRINTDATE PAIDDATE GROSSSUM "
                                "SUMPAID SUMVAT CUST_NO FIRSTNAME SURNAME")
                     .split(QLatin1Char(' ')));
        QCOMPARE(resultColumns(dm.conInvoice, QStringLiteral("select * from INVITEMVIEW")),
                 QStringLiteral("INV_ID ITEM_ID ITEM_NO ITEM_DESC NUM NETPRICE VAT DISCOUNT GROSSPRICE NETSUM SUMVAT "
                                "GROSSUM")
                     .split(QLatin1Char(' ')));
    }

    void keysWidthsAndCascades()
    {
        TempDatabase database(true);
        TdmInvoice dm(database.folder());
        db::Connection &c = dm.conInvoice;
        auto count = [&](const QString &sql) { return c.scalar(sql).toInt(); };
        // The file enforces the widths too.
        QVERIFY_THROWS_EXCEPTION(
            Error, c.execute(QStringLiteral("insert into CUSTOMER (FIRSTNAME) values ('%1')").arg(QString(26, 'x'))));
        // Auto-increment ids are never reused.
        const int lastId = count(QStringLiteral("select max(CUST_ID) from CUSTOMER"));
        c.execute(QStringLiteral("delete from CUSTOMER where CUST_ID = %1").arg(lastId));
        c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO) values (99)"));
        QCOMPARE(count(QStringLiteral("select CUST_ID from CUSTOMER where CUST_NO = 99")), lastId + 1);

        const int invoices = count(QStringLiteral("select count(*) from INVOICE"));
        const int lines = count(QStringLiteral("select count(*) from INVITEM"));
        const int customerInvoices = count(QStringLiteral("select count(*) from INVOICE where CUST_ID = 1"));
        const int customerLines = count(QStringLiteral(
            "select count(*) from INVITEM where INV_ID in (select INV_ID from INVOICE where CUST_ID = 1)"));
        QVERIFY(customerInvoices > 0 && customerLines > 0);
        c.execute(QStringLiteral("delete from CUSTOMER where CUST_ID = 1"));
        QCOMPARE(count(QStringLiteral("select count(*) from INVOICE")), invoices - customerInvoices);
        QCOMPARE(count(QStringLiteral("select count(*) from INVITEM")), lines - customerLines);

        const int invoice = count(QStringLiteral("select min(INV_ID) from INVOICE"));
        const int invoiceLines = count(QStringLiteral("select count(*) from INVITEM where INV_ID = %1").arg(invoice));
        c.execute(QStringLiteral("delete from INVOICE where INV_ID = %1").arg(invoice));
        QCOMPARE(count(QStringLiteral("select count(*) from INVITEM")), lines - customerLines - invoiceLines);
        QCOMPARE(count(QStringLiteral("select count(*) from INVITEM where INV_ID not in (select INV_ID from INVOICE)")),
                 0);
    }

    void postalRegisterIsComplete()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        db::Connection &c = dm.conInvoice;
        QCOMPARE(c.scalar(QStringLiteral("select count(*) from POSTALADDR")).toInt(), 5132);
        QCOMPARE(c.scalar(QStringLiteral("select POSTALADDRESS from POSTALADDR where POSTALCODE = '9008'")).toString(),
                 QStringLiteral("TROMSØ"));
        QCOMPARE(c.scalar(QStringLiteral("select POSTALADDRESS from POSTALADDR where POSTALCODE = '0001'")).toString(),
                 QStringLiteral("OSLO"));
        // A fresh database has no business rows.
        QCOMPARE(c.scalar(QStringLiteral("select (select count(*) from CUSTOMER) + (select count(*) from INVOICE) + "
                                         "(select count(*) from DYNAITEM) + (select count(*) from APPDATA)"))
                     .toInt(),
                 0);
    }

    // The line view is plain SQL: Python's sqlite3 (any SQLite client) reads it, and its amounts are
    // exactly the doubles the program computes for the line's fields, its gross price exactly money() of
    // theirs, ties included (the double 4.5 of 1.125 x 0.0004 stands for a little more than 4.5).
    void lineViewAmountsAreTheLineAmounts_data()
    {
        QTest::addColumn<double>("num");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("vat");
        QTest::addColumn<QVariant>("discount");
        QTest::addColumn<qint64>("grossUnits");
        QTest::addColumn<double>("netSum");
        QTest::addColumn<double>("lineVat");
        QTest::addColumn<double>("lineSum");
        // clang-format off
        QTest::newRow("2 x 100 at 25 %")   << 2.0 << 100.0   << 25.0 << QVariant()     << qint64(1250000) << 200.0    << 50.0     << 250.0;
        QTest::newRow("10.0001 at 25 %")   << 1.0 << 10.0001 << 25.0 << QVariant(0.0)  << qint64(125001)  << 10.0001  << 2.500025 << 12.500125;
        QTest::newRow("discount")          << 3.0 << 8.0645  << 24.0 << QVariant(10.0) << qint64(100000)  << 21.77415 << 5.225796 << 26.999946;
        QTest::newRow("tie, exact above")  << 1.0 << 0.0004  << 12.5 << QVariant()     << qint64(5)       << 0.0004   << 0.00005  << 0.00045;
        QTest::newRow("tie, exact below")  << 1.0 << 0.006   << 12.5 << QVariant()     << qint64(67)      << 0.006    << 0.00075  << 0.00675;
        QTest::newRow("negative tie")      << 1.0 << -0.0004 << 12.5 << QVariant()     << qint64(-5)      << -0.0004  << -0.00005 << -0.00045;
        QTest::newRow("tie to even, down") << 1.0 << 0.025   << 25.0 << QVariant()     << qint64(312)     << 0.025    << 0.00625  << 0.03125;
        QTest::newRow("tie to even, up")   << 1.0 << 0.075   << 25.0 << QVariant()     << qint64(938)     << 0.075    << 0.01875  << 0.09375;
        QTest::newRow("no quantity")       << qQNaN() << 10.0 << 25.0 << QVariant()    << qint64(125000)  << 0.0      << 0.0      << 0.0;
        // clang-format on
    }
    void lineViewAmountsAreTheLineAmounts()
    {
        QFETCH(double, num);
        QFETCH(double, price);
        QFETCH(double, vat);
        QFETCH(QVariant, discount);
        QFETCH(qint64, grossUnits);
        TempDatabase database;
        const QVariant quantity = std::isnan(num) ? QVariant() : QVariant(num);
        {
            TdmInvoice dm(database.folder());
            db::Connection &c = dm.conInvoice;
            c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO) values (1)"));
            c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO) values (1, 1)"));
            c.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, NUM, NETPRICE, VAT, DISCOUNT) values (1, "
                                     "1, :NUM, :PRICE, :VAT, :DISC)"),
                      {{QStringLiteral("NUM"), quantity},
                       {QStringLiteral("PRICE"), QVariant::fromValue(money(price))},
                       {QStringLiteral("VAT"), vat},
                       {QStringLiteral("DISC"), discount}});
            const LineAmounts expected = lineAmounts(quantity.toDouble(), money(price), vat, discount.toDouble());
            QCOMPARE(money(expected.grossPrice).units(), grossUnits);
            QTEST(expected.netSum, "netSum");
            QTEST(expected.vat, "lineVat");
            QTEST(expected.sum, "lineSum");
            // Read by the program, exactly the doubles of the line fields, not merely close to them.
            db::Statement view(c, QStringLiteral("select GROSSPRICE, NETSUM, SUMVAT, GROSSUM from INVITEMVIEW"));
            QVERIFY(view.step());
            QCOMPARE(view.rawValue(0).toLongLong(), grossUnits);
            QVERIFY(view.rawValue(1).toDouble() == expected.netSum);
            QVERIFY(view.rawValue(2).toDouble() == expected.vat);
            QVERIFY(view.rawValue(3).toDouble() == expected.sum);
        }
        // Read by Python with nothing of the program: the same numbers.
        const QStringList rows = viewReadByPython(database.path());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first(), expectedViewRow(1, quantity.toDouble(), money(price), vat, discount.toDouble()));
    }

    // A file made by an earlier version, whose line view called functions only the program had, gets the
    // plain view when the program opens it; no row of any table changes, and the next opening changes
    // nothing at all.
    void anEarlierLineViewIsMadeAgain()
    {
        TempDatabase database(true);
        const QString earlierView =
            QStringLiteral("CREATE VIEW INVITEMVIEW AS\n"
                           "SELECT INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, VAT, DISCOUNT,\n"
                           "       LINE_GROSSPRICE(NETPRICE, VAT) AS GROSSPRICE,\n"
                           "       LINE_NETSUM(NUM, NETPRICE, DISCOUNT) AS NETSUM,\n"
                           "       LINE_VAT(NUM, NETPRICE, VAT, DISCOUNT) AS SUMVAT,\n"
                           "       LINE_SUM(NUM, NETPRICE, VAT, DISCOUNT) AS GROSSUM\n"
                           "FROM INVITEM");
        QCOMPARE(python(database.path(),
                        QStringLiteral("c.execute('DROP VIEW INVITEMVIEW')\n"
                                       "c.execute(sys.argv[2])\n"
                                       "c.commit()\n"),
                        {earlierView})
                     .exitCode,
                 0);
        const auto tables = [&] {
            return python(database.path(), QStringLiteral("for t in ('CUSTOMER', 'INVOICE', 'INVITEM', 'DYNAITEM', "
                                                          "'APPDATA', 'POSTALADDR'):\n"
                                                          "    print(t, c.execute('select * from ' + t).fetchall())\n"))
                .output;
        };
        const QString before = tables();
        QVERIFY(python(database.path(), QStringLiteral("c.execute('select * from INVITEMVIEW')\n")).exitCode != 0);

        {
            TdmInvoice dm(database.folder());
            QVERIFY2(dm.isConnected(), qPrintable(dm.connectFailure()));
        }
        QCOMPARE(tables(), before);
        const QStringList rows = viewReadByPython(database.path());
        QCOMPARE(rows.size(), 90);
        // Every line of the demo business, as the program computes it.
        const QByteArray upgraded = database.contents();
        {
            TdmInvoice dm(database.folder());
            db::Statement lines(dm.conInvoice, QStringLiteral("select ITEM_ID, NUM, NETPRICE, VAT, DISCOUNT from "
                                                              "INVITEM order by INV_ID, rowid"));
            for (const QString &row : rows) {
                QVERIFY(lines.step());
                QCOMPARE(row, expectedViewRow(lines.rawValue(0).toLongLong(), lines.rawValue(1).toDouble(),
                                              Money::fromUnits(lines.rawValue(2).toLongLong()),
                                              lines.rawValue(3).toDouble(), lines.rawValue(4).toDouble()));
            }
        }
        QVERIFY(database.contents() == upgraded);
    }

    // The demo business is dated around the day it is made: the edges of the year included.
    void demoBusinessIsConsistent_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::newRow("spring") << QDate(2026, 3, 15);
        QTest::newRow("new year's day") << QDate(2026, 1, 1);
        QTest::newRow("new year's eve") << QDate(2025, 12, 31);
        QTest::newRow("leap day") << QDate(2024, 2, 29);
    }
    void demoBusinessIsConsistent()
    {
        QFETCH(QDate, today);
        FixedClock clock(today);
        TempDatabase database(true);
        TdmInvoice dm(database.folder());
        db::Connection &c = dm.conInvoice;
        auto number = [&](const QString &sql) { return c.scalar(sql).toInt(); };
        QCOMPARE(number(QStringLiteral("select count(*) from CUSTOMER")), 12);
        QCOMPARE(number(QStringLiteral("select count(*) from DYNAITEM")), 20);
        QCOMPARE(c.scalar(QStringLiteral("select group_concat(VAT) from (select distinct VAT from DYNAITEM order by "
                                         "VAT desc)"))
                     .toString(),
                 QStringLiteral("25.0,15.0,12.0,0.0"));
        QCOMPARE(number(QStringLiteral("select count(*) from INVOICE")), 30);
        QCOMPARE(c.scalar(QStringLiteral("select group_concat(INV_TYPE, '') from (select distinct INV_TYPE from "
                                         "INVOICE order by INV_TYPE)"))
                     .toString(),
                 QStringLiteral("CFNR"));
        QCOMPARE(c.scalar(QStringLiteral("select group_concat(Y) from (select distinct substr(INVDATE, 1, 4) as Y "
                                         "from INVOICE order by Y)"))
                     .toString(),
                 QStringLiteral("%1,%2").arg(today.year() - 1).arg(today.year()));
        // Numbers start at 1 in each year and run without gaps.
        QCOMPARE(number(QStringLiteral("select count(*) from (select substr(INVDATE, 1, 4) as Y, min(INVOICE_NO) as "
                                       "LO, max(INVOICE_NO) as HI, count(*) as N from INVOICE group by Y) where LO <> "
                                       "1 or HI <> N")),
                 0);
        QVERIFY(number(QStringLiteral("select count(*) from INVOICE where INVDATE > Now()")) == 0);
        QVERIFY(number(QStringLiteral("select count(*) from INVOICE where SUMPAID = GROSSSUM and PAIDDATE is not "
                                      "null")) > 5);
        QVERIFY(number(QStringLiteral("select count(*) from INVOICE where PAIDDATE is null and DUEDATE < Now()")) >= 3);
        QVERIFY(number(QStringLiteral("select count(*) from INVOICE where PAIDDATE is null and DUEDATE >= Now()")) >=
                1);
        QCOMPARE(number(QStringLiteral("select count(*) from CUSTOMER C where not exists (select 1 from POSTALADDR P "
                                       "where P.POSTALCODE = C.POSTALCODE and P.POSTALADDRESS = C.POSTALADDRESS)")),
                 0);

        // Each invoice's totals follow the program's totals rule over its lines.
        db::Statement invoices(c, QStringLiteral("select INV_ID, GROSSSUM, SUMVAT from INVOICE"));
        while (invoices.step()) {
            const InvoiceTotals expected = storedLineTotals(c, invoices.rawValue(0).toInt());
            QCOMPARE(invoices.value(1, db::FieldType::Currency).value<Money>(), expected.gross);
            QCOMPARE(invoices.value(2, db::FieldType::Currency).value<Money>(), expected.vat);
        }
    }

    void createDbCommand()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("INVOICE.mdb"));
        const ProcessRun created = cli({QStringLiteral("create-db"), path});
        QCOMPARE(created.exitCode, 0);
        QVERIFY(created.output.contains(path));
        // Readable by its owner only.
        QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const ProcessRun again = cli({QStringLiteral("create-db"), path, QStringLiteral("--demo")});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.errors.contains(QLatin1String("already exists")), qPrintable(again.errors));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();

        const ProcessRun noFolder = cli({QStringLiteral("create-db"), dir.filePath(QStringLiteral("missing/x.mdb"))});
        QCOMPARE(noFolder.exitCode, 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("INVOICE.mdb")});
        QCOMPARE(cli({QStringLiteral("create-db")}).exitCode, 2);
        QCOMPARE(cli({QStringLiteral("check-db"), path}).exitCode, 0);
    }

    // Scripts see a failure of any command in its status, with the reason on standard error and nothing on
    // standard output.
    void commandErrorsGoToStandardError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("create-db without a path") << QStringList{"create-db"};
        QTest::newRow("create-db over a file") << QStringList{"create-db", "DB"};
        QTest::newRow("check-db of no file") << QStringList{"check-db", "MISSING"};
        QTest::newRow("pdf of no invoice") << QStringList{"pdf", "DB", "999", "OUT/x.pdf"};
        QTest::newRow("pdf of no database") << QStringList{"pdf", "MISSING", "1", "OUT/x.pdf"};
        QTest::newRow("pdf --all where no folder can be") << QStringList{"pdf", "DB", "--all", "/proc/tessund"};
        QTest::newRow("list of an unknown kind") << QStringList{"list", "bogus", "DB", "OUT/x.pdf"};
        QTest::newRow("list to another suffix") << QStringList{"list", "items", "DB", "OUT/x.txt"};
    }
    void commandErrorsGoToStandardError()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("INVOICE.mdb"));
        createDatabase(database, false);
        for (QString &argument : arguments)
            argument.replace(QLatin1String("MISSING"), dir.filePath(QStringLiteral("missing.mdb")))
                .replace(QLatin1String("DB"), database)
                .replace(QLatin1String("OUT"), dir.path());
        const ProcessRun run = cli(arguments);
        QVERIFY(run.exitCode != 0);
        QCOMPARE(run.output, QString());
        QVERIFY(!run.errors.trimmed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(SchemaTest)
#include "tst_schema.moc"
