#include "TestSupport.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "data/InvoiceKinds.h"
#include "data/dInvoice.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

using db::DataSet;

namespace {

const QString F_GROSSSUM = QStringLiteral("GROSSSUM"), F_SUMVAT = QStringLiteral("SUMVAT");

// The data module on a fresh database, with business settings as APPDATA holds them.
struct Fixture {
    TempDatabase database;
    TdmInvoice dm{database.folder()};

    explicit Fixture(const QList<QPair<QString, QString>> &settings = {})
    {
        for (const auto &[key, value] : settings)
            dm.conInvoice.execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values (:K, :V)"),
                                  {{QStringLiteral("K"), key}, {QStringLiteral("V"), value}});
        dm.DBSettings.LoadBusinessSettings();
    }

    QVariant scalar(const QString &sql) { return dm.conInvoice.scalar(sql); }

    int newCustomer(const QString &surname = QStringLiteral("Nordmann"))
    {
        if (!dm.tblCustomer.isActive())
            dm.tblCustomer.open();
        dm.tblCustomer.append();
        dm.tblCustomer.fieldByName(QStringLiteral("SURNAME")).setValue(surname);
        dm.tblCustomer.post();
        return dm.tblCustomer.fieldByName(QStringLiteral("CUST_ID")).asInteger();
    }

    // A new invoice in tblInvoiceEdit, in insert state, with its lines dataset open.
    void startInvoice(int customerId)
    {
        dm.tblInvoiceItems.close();
        dm.tblInvoiceEdit.close();
        dm.tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), -1);
        dm.tblInvoiceEdit.open();
        dm.tblInvoiceItems.open();
        dm.tblInvoiceEdit.append();
        dm.tblInvoiceEdit.fieldByName(QStringLiteral("CUST_ID")).setValue(customerId);
    }

    void addLine(double num, double price, double vat, const QVariant &discount = QVariant())
    {
        dm.tblInvoiceItems.append();
        dm.tblInvoiceItems.fieldByName(QStringLiteral("NUM")).setValue(num);
        dm.tblInvoiceItems.fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(money(price)));
        dm.tblInvoiceItems.fieldByName(QStringLiteral("VAT")).setValue(vat);
        if (discount.isValid())
            dm.tblInvoiceItems.fieldByName(QStringLiteral("DISCOUNT")).setValue(discount);
        dm.tblInvoiceItems.post();
    }

    Money invoiceMoney(const QString &field) { return dm.tblInvoiceEdit.fieldByName(field).asMoney(); }

    // The totals as stored, against the program's totals rule over the stored lines.
    void verifyStoredSums(int invoiceId)
    {
        const InvoiceTotals expected = storedLineTotals(dm.conInvoice, invoiceId);
        QCOMPARE(
            Money::fromUnits(
                scalar(QStringLiteral("select GROSSSUM from INVOICE where INV_ID = %1").arg(invoiceId)).toLongLong()),
            expected.gross);
        QCOMPARE(
            Money::fromUnits(
                scalar(QStringLiteral("select SUMVAT from INVOICE where INV_ID = %1").arg(invoiceId)).toLongLong()),
            expected.vat);
    }
};

} // namespace

class InvoiceRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void numbersRestartEachCalendarYear()
    {
        FixedClock clock(QDate(2025, 12, 31));
        Fixture f;
        const int customer = f.newCustomer();
        for (int n = 1; n <= 57; ++n)
            f.dm.conInvoice.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE) values "
                                                   "(:C, :N, '2025-06-01 00:00:00')"),
                                    {{QStringLiteral("C"), customer}, {QStringLiteral("N"), n}});
        f.startInvoice(customer);
        QCOMPARE(f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INVOICE_NO")).asInteger(), 58);
        // Redated into the new year, it keeps the number it got.
        f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INVDATE")).setValue(wallClock(QDate(2026, 1, 2)));
        f.dm.tblInvoiceEdit.post();
        QCOMPARE(
            f.scalar(QStringLiteral("select INVOICE_NO from INVOICE where INVDATE = '2026-01-02 00:00:00'")).toInt(),
            58);

        clock.set(wallClock(QDate(2027, 1, 1), QTime(8, 0)));
        for (int expected : {1, 2}) {
            f.startInvoice(customer);
            QCOMPARE(f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INVOICE_NO")).asInteger(), expected);
            f.dm.tblInvoiceEdit.post();
        }
        QCOMPARE(f.dm.MaxInvoiceNumberInYear(wallClock(QDate(2027, 12, 31), QTime(23, 59, 59))), 2);
        QCOMPARE(f.dm.MaxInvoiceNumberInYear(wallClock(QDate(2024, 5, 5))), 0);
    }

    void newInvoiceDefaults_data()
    {
        QTest::addColumn<QString>("creditDays");
        QTest::addColumn<int>("dueIn");
        QTest::newRow("no setting") << QString() << 14;
        QTest::newRow("thirty days") << "30" << 30;
        QTest::newRow("not a number") << "abc" << 14;
    }
    void newInvoiceDefaults()
    {
        QFETCH(QString, creditDays);
        QFETCH(int, dueIn);
        FixedClock clock(QDate(2026, 12, 10), QTime(15, 45));
        QList<QPair<QString, QString>> settings;
        if (!creditDays.isNull())
            settings << qMakePair(QStringLiteral("CREDITDAYS"), creditDays);
        Fixture f(settings);
        f.startInvoice(f.newCustomer());
        DataSet &inv = f.dm.tblInvoiceEdit;
        QCOMPARE(inv.fieldByName(QStringLiteral("INVDATE")).asDateTime(), wallClock(QDate(2026, 12, 10)));
        QCOMPARE(inv.fieldByName(QStringLiteral("DUEDATE")).asDateTime(),
                 wallClock(QDate(2026, 12, 10).addDays(dueIn)));
        QCOMPARE(inv.fieldByName(QStringLiteral("INV_TYPE")).asString(), QStringLiteral("N"));
        QCOMPARE(inv.fieldByName(QStringLiteral("INVOICE_NO")).asInteger(), 1);
    }

    void lineDefaultsAndTheFirstLineSavesTheInvoice()
    {
        Fixture f({{QStringLiteral("DEFAULTTAX"), QStringLiteral("25")}});
        f.startInvoice(f.newCustomer());
        QVERIFY(f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).isNull());
        f.dm.tblInvoiceItems.append();
        const int invoiceId = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        QVERIFY(invoiceId > 0);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVOICE")).toInt(), 1);
        DataSet &line = f.dm.tblInvoiceItems;
        QCOMPARE(line.fieldByName(QStringLiteral("INV_ID")).asInteger(), invoiceId);
        QCOMPARE(line.fieldByName(QStringLiteral("ITEM_ID")).asInteger(), 1);
        QCOMPARE(line.fieldByName(QStringLiteral("DISCOUNT")).asFloat(), 0.0);
        QCOMPARE(line.fieldByName(QStringLiteral("VAT")).asFloat(), 25.0);
        QVERIFY(line.fieldByName(QStringLiteral("NUM")).isNull());
        line.cancel();
        f.addLine(1, 10, 25);
        f.addLine(1, 10, 25);
        QCOMPARE(line.fieldByName(QStringLiteral("ITEM_ID")).asInteger(), 2);
        // The default VAT without a setting.
        f.dm.conInvoice.execute(QStringLiteral("delete from APPDATA"));
        f.dm.DBSettings.LoadBusinessSettings();
        line.append();
        QCOMPARE(line.fieldByName(QStringLiteral("VAT")).asFloat(), 24.0);
        QCOMPARE(line.fieldByName(QStringLiteral("ITEM_ID")).asInteger(), 3);
        line.cancel();
    }

    void lineAmountsAndTotals_data()
    {
        QTest::addColumn<double>("num");
        QTest::addColumn<double>("price");
        QTest::addColumn<double>("vat");
        QTest::addColumn<double>("netSum");
        QTest::addColumn<double>("lineVat");
        QTest::addColumn<double>("lineSum");
        QTest::addColumn<qint64>("gross");
        QTest::addColumn<qint64>("sumVat");
        QTest::newRow("2 x 100 at 25 %") << 2.0 << 100.0 << 25.0 << 200.0 << 50.0 << 250.0 << qint64(2500000)
                                         << qint64(500000);
        QTest::newRow("amounts beyond four decimals")
            << 1.0 << 10.0001 << 25.0 << 10.0001 << 2.500025 << 12.500125 << qint64(125001) << qint64(25000);
    }
    void lineAmountsAndTotals()
    {
        QFETCH(double, num);
        QFETCH(double, price);
        QFETCH(double, vat);
        QFETCH(double, netSum);
        QFETCH(double, lineVat);
        QFETCH(double, lineSum);
        QFETCH(qint64, gross);
        QFETCH(qint64, sumVat);
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(num, price, vat);
        DataSet &line = f.dm.tblInvoiceItems;
        QCOMPARE(line.fieldByName(QStringLiteral("ITEMNETSUM")).asFloat(), netSum);
        QCOMPARE(line.fieldByName(QStringLiteral("ITEMVAT")).asFloat(), lineVat);
        QCOMPARE(line.fieldByName(QStringLiteral("ITEMSUM")).asFloat(), lineSum);
        QCOMPARE(line.fieldByName(QStringLiteral("GROSSPRICE")).asFloat(), price * (1 + vat / 100));
        // The invoice is in editing (its first line saved it, then the totals put it back into editing).
        QCOMPARE(f.invoiceMoney(F_GROSSSUM).units(), gross);
        QCOMPARE(f.invoiceMoney(F_SUMVAT).units(), sumVat);
        QCOMPARE(f.invoiceMoney(QStringLiteral("NETTOTAL")).units(), gross - sumVat);
        f.dm.tblInvoiceEdit.post();
        f.verifyStoredSums(f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger());
    }

    void deletingTheOnlyLineZeroesTheTotals()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(2, 100, 25);
        f.dm.tblInvoiceEdit.post();
        QVERIFY(f.invoiceMoney(F_GROSSSUM) > Money());
        f.dm.tblInvoiceItems.remove();
        // Not being edited, the invoice is saved at once.
        QCOMPARE(f.dm.tblInvoiceEdit.state(), DataSet::State::Browse);
        QCOMPARE(f.scalar(QStringLiteral("select GROSSSUM || '/' || SUMVAT from INVOICE")).toString(),
                 QStringLiteral("0/0"));
    }

    void aLineWithoutItsValuesLeavesTheTotals()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(1, 100, 25);
        f.dm.tblInvoiceEdit.post();
        f.dm.tblInvoiceItems.append();
        f.dm.tblInvoiceItems.fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(money(50)));
        QCOMPARE(errorOf([&] { f.dm.tblInvoiceItems.post(); }), QStringLiteral("Field 'Amount' must have a value"));
        QCOMPARE(f.invoiceMoney(F_GROSSSUM), money(125));
        QCOMPARE(f.dm.tblInvoiceEdit.state(), DataSet::State::Browse);
    }

    // A line's save or deletion and its invoice's totals are one change, alone or inside a transaction:
    // when the totals cannot be stored, neither is the line, and the line is left as it was for another
    // try.
    void lineAndTotalsAreOneChange_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("insideTransaction");
        for (const char *operation : {"add", "change", "delete"})
            for (bool inside : {false, true})
                QTest::addRow("%s%s", operation, inside ? ", inside a transaction" : "") << operation << inside;
    }
    void lineAndTotalsAreOneChange()
    {
        QFETCH(QString, operation);
        QFETCH(bool, insideTransaction);
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(2, 100, 25);
        f.addLine(1, 40, 15);
        f.dm.tblInvoiceEdit.post();
        const int id = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        const QString stored = QStringLiteral("select group_concat(NUM || '*' || NETPRICE, ' ') || ' = ' || GROSSSUM "
                                              "|| '/' || SUMVAT from INVITEM join INVOICE using (INV_ID)");
        const QString before = f.scalar(stored).toString();
        db::Connection &c = f.dm.conInvoice;
        c.execute(QStringLiteral("create trigger NOTOTALS before update of GROSSSUM on INVOICE "
                                 "begin select raise(abort, 'totals refused'); end"));
        if (insideTransaction) {
            c.beginTransaction();
            c.execute(QStringLiteral("update INVOICE set OURREF = 'kept'"));
        }
        DataSet &lines = f.dm.tblInvoiceItems;
        auto change = [&] {
            if (operation == QLatin1String("delete")) {
                lines.remove();
                return;
            }
            if (operation == QLatin1String("add")) {
                f.addLine(3, 10, 25);
                return;
            }
            lines.edit();
            lines.fieldByName(QStringLiteral("NUM")).setValue(7.0);
            lines.post();
        };
        QCOMPARE(errorOf(change), QStringLiteral("totals refused"));
        QCOMPARE(f.scalar(stored).toString(), before);
        QCOMPARE(c.inTransaction(), insideTransaction);
        QCOMPARE(f.dm.tblInvoiceEdit.state(), DataSet::State::Browse);
        const DataSet::State left = operation == QLatin1String("add")      ? DataSet::State::Insert
                                    : operation == QLatin1String("change") ? DataSet::State::Edit
                                                                           : DataSet::State::Browse;
        QCOMPARE(lines.state(), left);
        QCOMPARE(lines.recordCount(), operation == QLatin1String("add") ? 3 : 2);
        if (insideTransaction) {
            c.commit();
            QCOMPARE(f.scalar(QStringLiteral("select OURREF from INVOICE")).toString(), QStringLiteral("kept"));
        }

        // Once the totals can be stored, the same line goes in with them.
        c.execute(QStringLiteral("drop trigger NOTOTALS"));
        if (operation == QLatin1String("delete"))
            lines.remove();
        else
            lines.post();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVITEM")).toInt(),
                 operation == QLatin1String("add")      ? 3
                 : operation == QLatin1String("delete") ? 1
                                                        : 2);
        QVERIFY(f.scalar(stored).toString() != before);
        f.verifyStoredSums(id);
    }

    void aLineNeedsAnInvoice()
    {
        Fixture f;
        MessageAnswers answers;
        f.dm.tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), -1);
        f.dm.tblInvoiceEdit.open();
        f.dm.tblInvoiceItems.open();
        f.dm.tblInvoiceItems.append();
        QCOMPARE(f.dm.tblInvoiceItems.state(), DataSet::State::Browse);
        QVERIFY(f.dm.tblInvoiceItems.isEmpty());
        QCOMPARE(answers.texts(),
                 QStringList{QStringLiteral("Database corrupt?!?. Missing internal unique invoice no.")});
        QCOMPARE(answers.shown().first().type, MsgType::Error);
    }

    void grossPriceEntry_data()
    {
        QTest::addColumn<bool>("catalogue");
        QTest::addColumn<double>("vat");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<qint64>("netUnits");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("error");
        QTest::newRow("10 at 24 %") << false << 24.0 << "10" << qint64(80645) << "10,00"
                                    << "";
        QTest::newRow("100 at 25 %") << false << 25.0 << "100" << qint64(800000) << "100,00"
                                     << "";
        QTest::newRow("100 at 0 %") << false << 0.0 << "100" << qint64(1000000) << "100,00"
                                    << "";
        QTest::newRow("thousands shown grouped")
            << false << 25.0 << "1250" << qint64(10000000)
            << QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("250,00")) << "";
        QTest::newRow("not a number") << false << 25.0 << "tolv" << qint64(1000000) << "125,00"
                                      << "'tolv' is not a valid floating point value for field 'GROSSFAKE'";
        QTest::newRow("catalogue, 10 at 24 %") << true << 24.0 << "10" << qint64(80645) << "10,00"
                                               << "";
        QTest::newRow("catalogue, not a number") << true << 25.0 << "1 000" << qint64(1000000) << "125,00"
                                                 << "'1 000' is not a valid floating point value for field "
                                                    "'Gross price'";
    }
    void grossPriceEntry()
    {
        QFETCH(bool, catalogue);
        QFETCH(double, vat);
        QFETCH(QString, entered);
        QFETCH(qint64, netUnits);
        QFETCH(QString, shown);
        QFETCH(QString, error);
        Fixture f;
        DataSet *ds = &f.dm.tblInvoiceItems;
        QString grossName = QStringLiteral("GROSSFAKE");
        if (catalogue) {
            ds = &f.dm.tblLookupItem;
            grossName = QStringLiteral("GROSSPRICE");
            ds->open();
            ds->append();
            ds->fieldByName(QStringLiteral("ITEM_NO")).setValue(QStringLiteral("A"));
            ds->fieldByName(QStringLiteral("ITEM_DESC")).setValue(QStringLiteral("Vare A"));
            ds->fieldByName(QStringLiteral("VAT")).setValue(vat);
            ds->fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(money(100)));
            ds->post();
        } else {
            f.startInvoice(f.newCustomer());
            f.addLine(1, 100, vat);
        }
        ds->edit();
        db::Field &gross = ds->fieldByName(grossName);
        QCOMPARE(errorOf([&] { gross.setText(entered); }), error);
        ds->post();
        QCOMPARE(ds->fieldByName(QStringLiteral("NETPRICE")).asMoney().units(), netUnits);
        QCOMPARE(gross.text(), shown);
        QVERIFY(!gross.editText().contains(QChar(0xA0)));
        const QString table = catalogue ? QStringLiteral("DYNAITEM") : QStringLiteral("INVITEM");
        QCOMPARE(f.scalar(QStringLiteral("select NETPRICE from %1").arg(table)).toLongLong(), netUnits);
    }

    // Values beyond the rules, typed into an invoice line or a catalogue item: refused with a message
    // where they are entered or where the amounts are computed, and nothing of them reaches the file. The
    // invoice already holds a line of 625 000 000 000 000,00 kroner.
    void valuesOutsideTheRulesAreRefused_data()
    {
        QTest::addColumn<bool>("catalogue");
        QTest::addColumn<QStringList>("typed"); // FIELD=text, in order, then the row is saved
        QTest::addColumn<QString>("error");
        const QString beyondInvoice = QStringLiteral("The line's amounts are beyond what an invoice can hold");
        const QString vatRange = QStringLiteral("The VAT must be from 0 to 100 %");
        const QString grossAtVat = QStringLiteral("A gross price cannot give a net price at a VAT of");
        // clang-format off
        QTest::newRow("quantity 1e16 x 100")      << false << QStringList{"NUM=10000000000000000", "NETPRICE=100"}       << beyondInvoice;
        QTest::newRow("price beyond money")       << false << QStringList{"NUM=1", "NETPRICE=1000000000000000"}          << "is beyond the largest amount field";
        QTest::newRow("lines together beyond")    << false << QStringList{"NUM=1", "NETPRICE=300000000000000"}           << beyondInvoice;
        QTest::newRow("quantity beyond a double") << false << QStringList{"NUM=1e400"}                                   << "is not a valid floating point value";
        QTest::newRow("VAT -100")                 << false << QStringList{"NUM=1", "NETPRICE=10", "VAT=-100"}            << vatRange;
        QTest::newRow("VAT 100,5")                << false << QStringList{"NUM=1", "NETPRICE=10", "VAT=100,5"}           << vatRange;
        QTest::newRow("gross price at -100 %")    << false << QStringList{"NUM=1", "VAT=-100", "GROSSFAKE=125"}          << grossAtVat;
        QTest::newRow("item, VAT -100")           << true  << QStringList{"ITEM_DESC=Vare", "NETPRICE=10", "VAT=-100"}   << vatRange;
        QTest::newRow("item, gross at -100 %")    << true  << QStringList{"ITEM_DESC=Vare", "VAT=-100", "GROSSPRICE=125"} << grossAtVat;
        QTest::newRow("item, price beyond money") << true  << QStringList{"ITEM_DESC=Vare", "NETPRICE=1000000000000000"} << "is beyond the largest amount field";
        QTest::newRow("item, gross beyond money") << true  << QStringList{"ITEM_DESC=Vare", "VAT=25", "NETPRICE=900000000000000"} << "The item's gross price is beyond the largest amount money can hold";
        // clang-format on
    }
    void valuesOutsideTheRulesAreRefused()
    {
        QFETCH(bool, catalogue);
        QFETCH(QStringList, typed);
        QFETCH(QString, error);
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(1, 500000000000000.0, 25);
        f.dm.tblInvoiceEdit.post();
        const int invoiceId = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        f.dm.tblLookupItem.open();
        const QByteArray before = f.database.contents();

        DataSet &ds = catalogue ? f.dm.tblLookupItem : f.dm.tblInvoiceItems;
        const QString refused = errorOf([&] {
            ds.append();
            for (const QString &entry : typed)
                ds.fieldByName(entry.section(QLatin1Char('='), 0, 0)).setText(entry.section(QLatin1Char('='), 1));
            ds.post();
        });
        QVERIFY2(refused.contains(error), qPrintable(refused));
        // The row stays open for correcting; given up, nothing of it is anywhere.
        QVERIFY(ds.isEditing());
        ds.cancel();
        QVERIFY(f.database.contents() == before);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVITEM")).toInt(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from DYNAITEM")).toInt(), 0);
        f.verifyStoredSums(invoiceId);
        QCOMPARE(f.invoiceMoney(F_GROSSSUM), money(625000000000000.0));
    }

    void daysOverdue_data()
    {
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<bool>("paid");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<bool>("inOverdueList");
        QTest::newRow("due tomorrow") << 1 << false << QVariant() << false;
        QTest::newRow("due today") << 0 << false << QVariant(0) << true;
        QTest::newRow("due yesterday") << -1 << false << QVariant(1) << true;
        QTest::newRow("paid, due long ago") << -40 << true << QVariant() << false;
    }
    void daysOverdue()
    {
        QFETCH(int, dueInDays);
        QFETCH(bool, paid);
        QFETCH(QVariant, expected);
        QFETCH(bool, inOverdueList);
        FixedClock clock(QDate(2026, 12, 10), QTime(9, 30));
        Fixture f;
        const int customer = f.newCustomer();
        f.dm.conInvoice.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, DUEDATE, PAIDDATE, SUMPAID) "
                                               "values (:C, 1, :DUE, :PAID, :PAID_SUM)"),
                                {{QStringLiteral("C"), customer},
                                 {QStringLiteral("DUE"), wallClock(QDate(2026, 12, 10).addDays(dueInDays))},
                                 {QStringLiteral("PAID"), paid ? QVariant(wallClock(QDate(2026, 11, 1))) : QVariant()},
                                 {QStringLiteral("PAID_SUM"), paid ? QVariant(10000) : QVariant()}});
        f.dm.SetInvoiceListFilter(0);
        QCOMPARE(f.dm.tblInvoiceList.fieldByName(QStringLiteral("DAYSOVERDUE")).value(), expected);
        f.dm.SetInvoiceListFilter(2);
        QCOMPARE(f.dm.tblInvoiceList.recordCount(), inOverdueList ? 1 : 0);
    }

    void invoiceListFilterLevels()
    {
        FixedClock clock(QDate(2026, 12, 10));
        Fixture f;
        const int customer = f.newCustomer();
        // paid; paid date without amount; unpaid overdue; unpaid not due.
        const char *rows[] = {"'2026-01-10 00:00:00', '2026-01-05 00:00:00', 1000",
                              "'2026-01-10 00:00:00', '2026-01-05 00:00:00', null", "'2026-11-10 00:00:00', null, null",
                              "'2026-12-20 00:00:00', null, null"};
        for (const char *row : rows)
            f.dm.conInvoice.execute(QStringLiteral("insert into INVOICE (CUST_ID, DUEDATE, PAIDDATE, SUMPAID) values "
                                                   "(%1, %2)")
                                        .arg(customer)
                                        .arg(QLatin1String(row)));
        const int expected[] = {4, 3, 2, 2};
        for (int level = 0; level < 4; ++level) {
            f.dm.SetInvoiceListFilter(level);
            QCOMPARE(f.dm.tblInvoiceList.recordCount(), expected[level]);
        }
        QCOMPARE(f.dm.tblInvoiceList.commandText(),
                 QStringLiteral("select *, FIRSTNAME || ' ' || SURNAME as NAME from INVOICELIST where (SUMPAID is "
                                "null or PAIDDATE is null) and (duedate < Now())"));
    }

    void listsRefuseDeletionsQuietly()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(1, 100, 25);
        f.dm.tblInvoiceEdit.post();
        f.dm.SetInvoiceListFilter(0);
        f.dm.qryCustInvoiceList.open();
        f.dm.qryInvoicePay.open();
        for (DataSet *list : {&f.dm.tblInvoiceList, &f.dm.qryCustInvoiceList, &f.dm.qryInvoicePay}) {
            QVERIFY_THROWS_EXCEPTION(SilentAbort, list->remove());
            QCOMPARE(list->recordCount(), 1);
        }
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVOICE")).toInt(), 1);
        // Nor does the payment list grow.
        f.dm.qryInvoicePay.append();
        QCOMPARE(f.dm.qryInvoicePay.state(), DataSet::State::Browse);
        QCOMPARE(f.dm.qryInvoicePay.recordCount(), 1);
    }

    void deleteInvoice_data()
    {
        QTest::addColumn<bool>("ask");
        QTest::addColumn<bool>("offerAll");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<bool>("askAfter");
        QTest::newRow("yes") << true << false << int(MsgAnswer::Yes) << true << true << true;
        QTest::newRow("no") << true << false << int(MsgAnswer::No) << true << false << true;
        QTest::newRow("no to all") << true << true << int(MsgAnswer::NoToAll) << false << false << true;
        QTest::newRow("yes to all") << true << true << int(MsgAnswer::YesToAll) << true << true << false;
        QTest::newRow("without asking") << false << true << -1 << true << true << false;
    }
    void deleteInvoice()
    {
        QFETCH(bool, ask);
        QFETCH(bool, offerAll);
        QFETCH(int, answer);
        QFETCH(bool, goOn);
        QFETCH(bool, deleted);
        QFETCH(bool, askAfter);
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.addLine(1, 100, 25);
        f.dm.tblInvoiceEdit.post();
        const int id = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        MessageAnswers answers;
        if (answer >= 0)
            answers.push(MsgAnswer(answer));
        bool askFlag = ask;
        QCOMPARE(f.dm.DeleteInvoice(id, 17, offerAll, askFlag), goOn);
        QCOMPARE(askFlag, askAfter);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVOICE")).toInt(), deleted ? 0 : 1);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVITEM")).toInt(), deleted ? 0 : 1);
        if (ask) {
            QCOMPARE(answers.shown().size(), 1);
            QCOMPARE(answers.shown().first().type, MsgType::Confirmation);
            QCOMPARE(answers.shown().first().text, QStringLiteral("Delete selected invoice # 17?"));
            QCOMPARE(answers.shown().first().buttons, offerAll ? MsgButtons::YesNoAll : MsgButtons::YesNo);
        } else {
            QVERIFY(answers.shown().isEmpty());
        }
    }

    void paidFlag_data()
    {
        QTest::addColumn<bool>("hasDate");
        QTest::addColumn<bool>("hasSum");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("paidDate");
        QTest::addColumn<QString>("sumPaid");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unpaid marked paid") << false << false << "Yes"
                                            << "2026-12-10 00:00:00"
                                            << "1250000"
                                            << "Yes";
        QTest::newRow("any text but No means paid") << false << false << "ja"
                                                    << "2026-12-10 00:00:00"
                                                    << "1250000"
                                                    << "Yes";
        QTest::newRow("date without sum, Yes") << true << false << "Yes"
                                               << "2026-11-01 00:00:00"
                                               << ""
                                               << "Yes";
        QTest::newRow("date without sum, No") << true << false << "No"
                                              << ""
                                              << ""
                                              << "No";
        QTest::newRow("sum without date, Yes") << false << true << "Yes"
                                               << ""
                                               << "500000"
                                               << "No";
        QTest::newRow("unpaid, No") << false << false << "No"
                                    << ""
                                    << ""
                                    << "No";
    }
    void paidFlag()
    {
        QFETCH(bool, hasDate);
        QFETCH(bool, hasSum);
        QFETCH(QString, entered);
        QFETCH(QString, paidDate);
        QFETCH(QString, sumPaid);
        QFETCH(QString, shown);
        FixedClock clock(QDate(2026, 12, 10), QTime(11, 0));
        Fixture f;
        const int customer = f.newCustomer();
        f.dm.conInvoice.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, GROSSSUM, PAIDDATE, SUMPAID) "
                                               "values (:C, 1, 1250000, :D, :S)"),
                                {{QStringLiteral("C"), customer},
                                 {QStringLiteral("D"), hasDate ? QVariant(wallClock(QDate(2026, 11, 1))) : QVariant()},
                                 {QStringLiteral("S"), hasSum ? QVariant(500000) : QVariant()}});
        DataSet &pay = f.dm.qryInvoicePay;
        pay.open();
        QCOMPARE(pay.fieldByName(QStringLiteral("PAID")).text(),
                 hasDate ? QStringLiteral("Yes") : QStringLiteral("No"));
        QCOMPARE(pay.fieldByName(QStringLiteral("DUMMYPAID")).asBoolean(), hasDate);
        pay.edit();
        pay.fieldByName(QStringLiteral("PAID")).setText(entered);
        pay.post();
        QCOMPARE(pay.fieldByName(QStringLiteral("PAID")).text(), shown);
        QCOMPARE(f.scalar(QStringLiteral("select PAIDDATE from INVOICE")).toString(), paidDate);
        QCOMPARE(f.scalar(QStringLiteral("select SUMPAID from INVOICE")).toString(), sumPaid);
    }

    void customerNumbers()
    {
        Fixture f;
        f.newCustomer();
        DataSet &customers = f.dm.tblCustomer;
        QCOMPARE(customers.fieldByName(QStringLiteral("CUST_NO")).asInteger(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select FIRSTNAME is not null and FIRSTNAME = '' from CUSTOMER")).toInt(), 1);
        for (int i = 2; i <= 5; ++i)
            f.newCustomer();
        customers.last();
        QCOMPARE(customers.fieldByName(QStringLiteral("CUST_NO")).asInteger(), 5);
        customers.remove();
        customers.append();
        QCOMPARE(customers.fieldByName(QStringLiteral("CUST_NO")).asInteger(), 5);
        QCOMPARE(customers.fieldByName(QStringLiteral("SURNAME")).value(), QVariant(QString(QLatin1String(""))));
        customers.cancel();

        // A saved customer shows at once with the invoices that name it.
        f.dm.qryInvoiceCustomer.open();
        f.startInvoice(customers.fieldByName(QStringLiteral("CUST_ID")).asInteger());
        customers.edit();
        customers.fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Østby"));
        customers.post();
        QCOMPARE(f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Østby"));
    }

    void markInvoicePrinted()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.dm.tblInvoiceEdit.post();
        const int id = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        int refreshes = 0;
        QObject::connect(&f.dm, &TdmInvoice::invoicesChanged, &f.dm, [&] { ++refreshes; });
        f.dm.MarkInvoicePrinted(id, wallClock(QDate(2026, 12, 10), QTime(15, 30)));
        QCOMPARE(f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).toString(),
                 QStringLiteral("2026-12-10 00:00:00"));
        QCOMPARE(refreshes, 0); // posted, not sent
        QCoreApplication::processEvents();
        QCOMPARE(refreshes, 1);

        // A failing update is swallowed and asks for no reload.
        f.dm.conInvoice.execute(QStringLiteral("create trigger NOPRINT before update of PRINTDATE on INVOICE begin "
                                               "select raise(abort, 'read only'); end"));
        f.dm.MarkInvoicePrinted(id, wallClock(QDate(2026, 12, 11)));
        QCoreApplication::processEvents();
        QCOMPARE(refreshes, 1);
        QCOMPARE(f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).toString(),
                 QStringLiteral("2026-12-10 00:00:00"));
    }

    void kindNames_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("N") << "N"
                           << "Invoice"
                           << "Faktura";
        QTest::newRow("R") << "R"
                           << "Reminder"
                           << "Purring";
        QTest::newRow("F") << "F"
                           << "Final notice"
                           << "Inkassovarsel";
        QTest::newRow("C") << "C"
                           << "Credit"
                           << "Kredittnota";
        QTest::newRow("empty") << ""
                               << "Invoice"
                               << "Faktura";
        QTest::newRow("unknown x") << "x"
                                   << "Unkown"
                                   << "Faktura";
        QTest::newRow("lower case n") << "n"
                                      << "Unkown"
                                      << "Faktura";
    }
    void kindNames()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(InvoiceKindName(code), name);
        QCOMPARE(InvoiceDocumentTitle(code), title);
    }

    void chosenKindStoresItsFirstLetter()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        db::Field &kind = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_TYPE"));
        kind.setText(QStringLiteral("Final Notice"));
        QCOMPARE(kind.text(), QStringLiteral("F"));
        kind.setText(QStringLiteral("xylophone"));
        f.dm.tblInvoiceEdit.post();
        QCOMPARE(f.scalar(QStringLiteral("select INV_TYPE from INVOICE")).toString(), QStringLiteral("x"));
    }

    // Whatever sequence of line saves and deletions, the stored totals are the sums of the stored lines.
    void storedTotalsFollowEveryLineChange()
    {
        Fixture f;
        f.startInvoice(f.newCustomer());
        f.dm.tblInvoiceEdit.post();
        const int id = f.dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).asInteger();
        QRandomGenerator random(1125);
        const double vats[] = {25, 15, 12, 0, 24};
        DataSet &lines = f.dm.tblInvoiceItems;
        for (int step = 0; step < 120; ++step) {
            const int action = int(random.bounded(10));
            if (action < 5 || lines.isEmpty()) {
                f.addLine(random.bounded(1, 50) / 4.0, random.bounded(1, 2000000) / 997.0, vats[random.bounded(5)],
                          random.bounded(4) == 0 ? QVariant(random.bounded(30) * 1.5) : QVariant());
            } else if (action < 8) {
                lines.setRecNo(int(random.bounded(lines.recordCount())));
                lines.edit();
                lines.fieldByName(QStringLiteral("NUM")).setValue(random.bounded(-5, 40) / 3.0);
                lines.fieldByName(QStringLiteral("DISCOUNT")).setValue(random.bounded(0, 100) / 7.0);
                lines.post();
            } else {
                lines.setRecNo(int(random.bounded(lines.recordCount())));
                lines.remove();
            }
            QCOMPARE(f.dm.tblInvoiceEdit.state(), DataSet::State::Browse);
            f.verifyStoredSums(id);
        }
    }
};

QTEST_GUILESS_MAIN(InvoiceRulesTest)
#include "tst_invoice_rules.moc"
