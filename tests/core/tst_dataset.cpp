#include "TestSupport.h"
#include "core/Connection.h"
#include "core/DataSet.h"
#include "core/DataSetModel.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "data/Schema.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using db::DataSet;
using db::FieldKind;
using db::FieldType;

namespace {

// A connection on a fresh database made by the program's own creation code.
struct Fixture {
    TempDatabase database;
    db::Connection connection;

    Fixture()
    {
        connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        connection.open();
    }

    std::unique_ptr<DataSet> table(const QString &name) { return tableDataSet(connection, name); }

    void addCustomer(int no, const QString &firstName, const QString &surname)
    {
        connection.execute(
            QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values (:N, :F, :S)"),
            {{QStringLiteral("N"), no}, {QStringLiteral("F"), firstName}, {QStringLiteral("S"), surname}});
    }

    qint64 addInvoice(int customerId, int number)
    {
        connection.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO) values (:C, :N)"),
                           {{QStringLiteral("C"), customerId}, {QStringLiteral("N"), number}});
        return connection.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();
    }

    void addLine(qint64 invoiceId, int itemId, const QString &text)
    {
        connection.execute(
            QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_DESC, NUM, NETPRICE, VAT) "
                           "values (:I, :N, :T, 1, 1000000, 25)"),
            {{QStringLiteral("I"), invoiceId}, {QStringLiteral("N"), itemId}, {QStringLiteral("T"), text}});
    }

    QVariant scalar(const QString &sql) { return connection.scalar(sql); }

    // Customers with Norwegian surnames in the order they were entered.
    void addNorwegianCustomers()
    {
        const QStringList surnames = {QStringLiteral("Zeta"),   QStringLiteral("Ærlig"), QStringLiteral("Andersen"),
                                      QStringLiteral("Åsen"),   QStringLiteral("Østby"), QStringLiteral("Berg"),
                                      QStringLiteral("O'Brien")};
        for (int i = 0; i < surnames.size(); ++i)
            addCustomer(i + 1, QStringLiteral("Navn%1").arg(i + 1), surnames.at(i));
    }
};

QStringList column(DataSet &ds, const QString &field)
{
    QStringList values;
    for (int row = 0; row < ds.recordCount(); ++row)
        values << ds.valueAt(row, ds.fieldByName(field)).toString();
    return values;
}

} // namespace

class DataSetTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        Format::clearCurrencySymbol(); // as the data module does at start
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void editingStatesAndWriteBack()
    {
        Fixture f;
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        QCOMPARE(customers->state(), DataSet::State::Browse);
        QVERIFY(customers->isEmpty());

        customers->append();
        QCOMPARE(customers->state(), DataSet::State::Insert);
        customers->fieldByName(QStringLiteral("CUST_NO")).setValue(7);
        customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Nordmann"));
        customers->post();
        QCOMPARE(customers->state(), DataSet::State::Browse);
        // The new id comes back from the database.
        const int id = customers->fieldByName(QStringLiteral("CUST_ID")).asInteger();
        QVERIFY(id > 0);
        QCOMPARE(f.scalar(QStringLiteral("select CUST_ID from CUSTOMER where CUST_NO = 7")).toInt(), id);

        customers->edit();
        customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Hansen"));
        customers->cancel();
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Nordmann"));
        QCOMPARE(f.scalar(QStringLiteral("select SURNAME from CUSTOMER")).toString(), QStringLiteral("Nordmann"));

        customers->edit();
        customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Hansen"));
        customers->post();
        QCOMPARE(f.scalar(QStringLiteral("select SURNAME from CUSTOMER")).toString(), QStringLiteral("Hansen"));

        customers->remove();
        QVERIFY(customers->isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 0);

        customers->append();
        customers->cancel();
        QVERIFY(customers->isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 0);
    }

    void assignmentOutsideEditingIsRefused()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        QCOMPARE(errorOf([&] { customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("X")); }),
                 QStringLiteral("Dataset not in edit or insert mode"));
        QCOMPARE(errorOf([&] { customers->fieldByName(QStringLiteral("NOSUCH")); }),
                 QStringLiteral("Field 'NOSUCH' not found"));
        customers->setReadOnly(true);
        QVERIFY(!errorOf([&] { customers->edit(); }).isEmpty());
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("message");
        QTest::newRow("quantity, by its label") << "NUM"
                                                << "Field 'Amount' must have a value";
        QTest::newRow("net price, by its name") << "NETPRICE"
                                                << "Field 'NETPRICE' must have a value";
        QTest::newRow("VAT, by its label") << "VAT"
                                           << "Field 'VAT %' must have a value";
    }
    void requiredFields()
    {
        QFETCH(QString, missing);
        QFETCH(QString, message);
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const qint64 invoice = f.addInvoice(1, 1);
        auto lines = f.table(QStringLiteral("INVITEM"));
        lines->open();
        lines->append();
        lines->fieldByName(QStringLiteral("INV_ID")).setValue(invoice);
        for (const char *name : {"NUM", "NETPRICE", "VAT"})
            if (missing != QLatin1String(name))
                lines->fieldByName(QLatin1String(name)).setValue(1);
        QCOMPARE(errorOf([&] { lines->post(); }), message);
        QCOMPARE(lines->state(), DataSet::State::Insert);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVITEM")).toInt(), 0);
        lines->fieldByName(missing).setValue(2);
        lines->post();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from INVITEM")).toInt(), 1);
    }

    void textIsCutToTheColumnWidth()
    {
        Fixture f;
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        customers->append();
        customers->fieldByName(QStringLiteral("FIRSTNAME")).setValue(QString(30, QLatin1Char('x')));
        customers->fieldByName(QStringLiteral("MISC")).setText(QString(300, QChar(0x00F8)));
        customers->post();
        QCOMPARE(f.scalar(QStringLiteral("select length(FIRSTNAME) from CUSTOMER")).toInt(), 25);
        QCOMPARE(f.scalar(QStringLiteral("select MISC from CUSTOMER")).toString(), QString(255, QChar(0x00F8)));
    }

    void textConversion_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("stored");
        QTest::newRow("letters in a quantity") << "nb_NO"
                                               << "NUM"
                                               << "abc"
                                               << "'abc' is not a valid floating point value for field 'Amount'"
                                               << "1";
        QTest::newRow("thousands separator refused")
            << "nb_NO"
            << "NUM" << QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("000,5"))
            << QString(QStringLiteral("'1") + QChar(0xA0) +
                       QStringLiteral("000,5' is not a valid floating point value for field 'Amount'"))
            << "1";
        QTest::newRow("point in a Norwegian locale refused")
            << "nb_NO"
            << "NUM"
            << "2.5"
            << "'2.5' is not a valid floating point value for field 'Amount'"
            << "1";
        QTest::newRow("Norwegian decimal comma") << "nb_NO"
                                                 << "NUM"
                                                 << "2,5"
                                                 << ""
                                                 << "2.5";
        QTest::newRow("English decimal point") << "en_US"
                                               << "NUM"
                                               << "2.5"
                                               << ""
                                               << "2.5";
        QTest::newRow("money rounded to four decimals") << "en_US"
                                                        << "NETPRICE"
                                                        << "8.06451"
                                                        << ""
                                                        << "80645";
        QTest::newRow("money refused") << "en_US"
                                       << "NETPRICE"
                                       << "8,06"
                                       << "'8,06' is not a valid floating point value for field 'NETPRICE'"
                                       << "10000";
        QTest::newRow("empty text clears a number") << "en_US"
                                                    << "DISCOUNT"
                                                    << ""
                                                    << ""
                                                    << "";
    }
    void textConversion()
    {
        QFETCH(QString, locale);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(QString, stored);
        QLocale::setDefault(QLocale(locale));
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const qint64 invoice = f.addInvoice(1, 1);
        f.connection.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, NUM, NETPRICE, VAT, DISCOUNT) "
                                            "values (:I, 1, 1, 10000, 25, 10)"),
                             {{QStringLiteral("I"), invoice}});
        auto lines = f.table(QStringLiteral("INVITEM"));
        lines->open();
        lines->edit();
        QCOMPARE(errorOf([&] { lines->fieldByName(field).setText(text); }), error);
        QCOMPARE(lines->state(), DataSet::State::Edit);
        lines->post();
        const QVariant value = f.scalar(QStringLiteral("select %1 from INVITEM").arg(field));
        QCOMPARE(value.isValid() ? QString::number(value.toDouble()) : QString(), stored);
    }

    // A date field takes its own edit text back, a date in the stored form, and no year a stored date
    // cannot have.
    void dateFieldText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: refused with the date message
        // clang-format off
        QTest::newRow("edit text of a time of day") << "10.12.2026 14:30:05"  << "2026-12-10 14:30:05";
        QTest::newRow("stored form")                << "2026-12-10"           << "2026-12-10 00:00:00";
        QTest::newRow("negative year")              << "10.12.-2026"          << "";
        QTest::newRow("stored form, odd separators") << "2424.12424.12.26.26" << "";
        // clang-format on
    }
    void dateFieldText()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        f.addInvoice(1, 1);
        f.connection.execute(QStringLiteral("update INVOICE set INVDATE = '2026-01-02 00:00:00'"));
        auto invoices = f.table(QStringLiteral("INVOICE"));
        invoices->open();
        invoices->edit();
        db::Field &day = invoices->fieldByName(QStringLiteral("INVDATE"));
        const QString error = errorOf([&] { day.setText(text); });
        QCOMPARE(error, stored.isEmpty() ? QStringLiteral("'%1' is not a valid date").arg(text) : QString());
        invoices->post();
        const QString now = f.scalar(QStringLiteral("select INVDATE from INVOICE")).toString();
        QCOMPARE(now, stored.isEmpty() ? QStringLiteral("2026-01-02 00:00:00") : stored);
        invoices->edit();
        const QString editText = day.editText();
        day.setText(editText);
        QCOMPARE(db::storedDateTime(day.asDateTime()), now);
    }

    void calculatedFieldsFollowEdits()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const qint64 invoice = f.addInvoice(1, 1);
        f.addLine(invoice, 1, QStringLiteral("a"));
        auto lines = f.table(QStringLiteral("INVITEM"));
        db::FieldDef total;
        total.name = QStringLiteral("TOTAL");
        total.type = FieldType::Double;
        total.kind = FieldKind::Calculated;
        total.currency = true;
        lines->addField(total);
        lines->onCalcFields = [](DataSet &ds) {
            ds.fieldByName(QStringLiteral("TOTAL"))
                .setValue(ds.fieldByName(QStringLiteral("NUM")).asFloat() *
                          ds.fieldByName(QStringLiteral("NETPRICE")).asFloat());
        };
        lines->open();
        QCOMPARE(lines->fieldByName(QStringLiteral("TOTAL")).asFloat(), 100.0);
        QCOMPARE(lines->fieldByName(QStringLiteral("TOTAL")).text(), QStringLiteral("100,00"));
        lines->edit();
        lines->fieldByName(QStringLiteral("NUM")).setValue(3);
        QCOMPARE(lines->fieldByName(QStringLiteral("TOTAL")).asFloat(), 300.0);
        lines->cancel();
        QCOMPARE(lines->fieldByName(QStringLiteral("TOTAL")).asFloat(), 100.0);
    }

    void lookupAndMasterLink()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        f.addCustomer(2, QStringLiteral("Ola"), QStringLiteral("Hansen"));
        const qint64 first = f.addInvoice(1, 1), second = f.addInvoice(2, 2);
        f.addLine(first, 1, QStringLiteral("first a"));
        f.addLine(second, 1, QStringLiteral("second a"));
        f.addLine(second, 2, QStringLiteral("second b"));

        auto customers = f.table(QStringLiteral("CUSTOMER"));
        auto invoices = f.table(QStringLiteral("INVOICE"));
        db::FieldDef name = Schema::fieldDef(QStringLiteral("CUSTOMER"), QStringLiteral("SURNAME"));
        name.kind = FieldKind::Lookup;
        name.lookupDataSet = customers.get();
        name.keyField = name.lookupKeyField = QStringLiteral("CUST_ID");
        name.lookupResultField = QStringLiteral("SURNAME");
        invoices->addField(name);
        auto lines = f.table(QStringLiteral("INVITEM"));
        lines->setCommandText(QStringLiteral("select * from INVITEM where INV_ID = :INV_ID"));
        lines->setMasterLink(invoices.get(), {{QStringLiteral("INV_ID"), QStringLiteral("INV_ID")}});

        customers->open();
        invoices->open();
        lines->open();
        QCOMPARE(invoices->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Nordmann"));
        QCOMPARE(column(*lines, QStringLiteral("ITEM_DESC")), QStringList{QStringLiteral("first a")});
        invoices->next();
        QCOMPARE(invoices->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Hansen"));
        QCOMPARE(column(*lines, QStringLiteral("ITEM_DESC")),
                 (QStringList{QStringLiteral("second a"), QStringLiteral("second b")}));

        // A new master row has no id yet, so it has no lines; once saved it has its own (none).
        invoices->append();
        QVERIFY(lines->isEmpty());
        invoices->fieldByName(QStringLiteral("CUST_ID")).setValue(1);
        invoices->post();
        QCOMPARE(lines->param(QStringLiteral("INV_ID")).toInt(),
                 invoices->fieldByName(QStringLiteral("INV_ID")).asInteger());
        QVERIFY(lines->isEmpty());

        // The lookup follows a re-read source.
        f.connection.execute(QStringLiteral("update CUSTOMER set SURNAME = 'Berg' where CUST_ID = 1"));
        customers->requery();
        QCOMPARE(invoices->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Berg"));
    }

    void sortKeepsTheCurrentRow()
    {
        Fixture f;
        f.addNorwegianCustomers();
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        QVERIFY(customers->locate(QStringLiteral("SURNAME"), QStringLiteral("Østby")));
        customers->sort(QStringLiteral("SURNAME"));
        // Norwegian order: Z before Æ, Ø, Å.
        QCOMPARE(column(*customers, QStringLiteral("SURNAME")),
                 (QStringList{QStringLiteral("Andersen"), QStringLiteral("Berg"), QStringLiteral("O'Brien"),
                              QStringLiteral("Zeta"), QStringLiteral("Ærlig"), QStringLiteral("Østby"),
                              QStringLiteral("Åsen")}));
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Østby"));
        customers->sort(QStringLiteral("CUST_NO"), false);
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Østby"));
        QCOMPARE(column(*customers, QStringLiteral("CUST_NO")).first(), QStringLiteral("7"));
        // Reopening brings back the order of the statement.
        customers->requery();
        QCOMPARE(column(*customers, QStringLiteral("SURNAME")).first(), QStringLiteral("Zeta"));
        // So does sorting by no field, without reading the rows again.
        customers->sort(QStringLiteral("SURNAME"));
        customers->sort(QString());
        QCOMPARE(column(*customers, QStringLiteral("SURNAME")).first(), QStringLiteral("Zeta"));
        QCOMPARE(customers->sortField(), QString());
    }

    void typedTextFiltersLiterally_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        // clang-format off
        QTest::newRow("star")          << "a*"  << QStringList{"a*b"};
        QTest::newRow("question mark") << "a?"  << QStringList{"a?c"};
        QTest::newRow("percent")       << "10"  << QStringList{"100%", "10_x"};
        QTest::newRow("underscore")    << "10_" << QStringList{"10_x"};
        QTest::newRow("bracket")       << "[z"  << QStringList{"[z]"};
        QTest::newRow("quote")         << "o'b" << QStringList{"O'Brien"};
        QTest::newRow("nothing")       << ""    << QStringList{"a*b", "a?c", "100%", "10_x", "[z]", "O'Brien", "abc"};
        // clang-format on
    }
    void typedTextFiltersLiterally()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        Fixture f;
        int no = 0;
        for (const char *name : {"a*b", "a?c", "100%", "10_x", "[z]", "O'Brien", "abc"})
            f.addCustomer(++no, QString(), QString::fromUtf8(name));
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        customers->setFilter(DataSet::prefixFilter(QStringLiteral("SURNAME"), typed));
        customers->setFiltered(true);
        QCOMPARE(column(*customers, QStringLiteral("SURNAME")), expected);
    }

    void prefixFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("lower case finds Ø") << "SURNAME Like 'øst*'" << QStringList{QStringLiteral("Østby")};
        QTest::newRow("upper case finds æ") << "SURNAME like 'ÆR*'" << QStringList{QStringLiteral("Ærlig")};
        QTest::newRow("å") << "SURNAME Like 'å*'" << QStringList{QStringLiteral("Åsen")};
        QTest::newRow("prefix only") << "SURNAME Like 'by*'" << QStringList{};
        QTest::newRow("doubled quote") << "SURNAME Like 'o''b*'" << QStringList{QStringLiteral("O'Brien")};
        QTest::newRow("empty prefix") << "SURNAME Like '*'"
                                      << QStringList{QStringLiteral("Zeta"),     QStringLiteral("Ærlig"),
                                                     QStringLiteral("Andersen"), QStringLiteral("Åsen"),
                                                     QStringLiteral("Østby"),    QStringLiteral("Berg"),
                                                     QStringLiteral("O'Brien")};
    }
    void prefixFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        Fixture f;
        f.addNorwegianCustomers();
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        customers->last();
        customers->setFilter(filter);
        customers->setFiltered(true);
        QCOMPARE(column(*customers, QStringLiteral("SURNAME")), expected);
        // The cursor stands on the first row that passes.
        QCOMPARE(customers->recNo(), expected.isEmpty() ? -1 : 0);
        customers->setFiltered(false);
        QCOMPARE(customers->recordCount(), 7);
    }

    void locateAndBookmarks()
    {
        Fixture f;
        f.addNorwegianCustomers();
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        QVERIFY(customers->locate(QStringLiteral("SURNAME"), QStringLiteral("østby"), {true, false}));
        QVERIFY(customers->locate(QStringLiteral("SURNAME"), QStringLiteral("Ærl"), {false, true}));
        const db::Bookmark mark = customers->bookmark();
        QVERIFY(!customers->locate(QStringLiteral("SURNAME"), QStringLiteral("Nobody")));
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Ærlig"));
        QVERIFY(customers->locate(QStringLiteral("CUST_NO;FIRSTNAME"), QVariantList{4, QStringLiteral("Navn4")}));

        customers->sort(QStringLiteral("SURNAME"));
        QVERIFY(customers->gotoBookmark(mark));
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Ærlig"));
        customers->remove();
        QVERIFY(!customers->bookmarkValid(mark));
        QVERIFY(!customers->gotoBookmark(mark));
    }

    void clonesShareRowsNotPosition()
    {
        Fixture f;
        f.addNorwegianCustomers();
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        DataSet clone(&f.connection, QStringLiteral("clone"));
        clone.cloneCursor(*customers);
        clone.sort(QStringLiteral("SURNAME"));
        clone.last();
        QCOMPARE(clone.fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Åsen"));
        QCOMPARE(customers->recNo(), 0);
        QCOMPARE(customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Zeta"));

        customers->remove(); // Zeta
        QCOMPARE(clone.recordCount(), 6);
        QCOMPARE(clone.fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Åsen"));
        customers->append();
        customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Ny"));
        customers->post();
        QVERIFY(clone.locate(QStringLiteral("SURNAME"), QStringLiteral("Ny")));
    }

    void hiddenKeyWritesBackRepeatedLineNumbers()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const qint64 invoice = f.addInvoice(1, 1);
        f.addLine(invoice, 2, QStringLiteral("first"));
        f.addLine(invoice, 2, QStringLiteral("second"));
        auto lines = f.table(QStringLiteral("INVITEM"));
        lines->open();
        lines->last();
        lines->edit();
        lines->fieldByName(QStringLiteral("ITEM_DESC")).setValue(QStringLiteral("changed"));
        lines->post();
        lines->first();
        lines->remove();
        QCOMPARE(f.scalar(QStringLiteral("select group_concat(ITEM_DESC) from INVITEM")).toString(),
                 QStringLiteral("changed"));
    }

    void postInsideARolledBackTransactionLeavesNothing()
    {
        Fixture f;
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->open();
        f.connection.beginTransaction();
        customers->append();
        customers->fieldByName(QStringLiteral("SURNAME")).setValue(QStringLiteral("Kortvarig"));
        customers->post();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 1);
        f.connection.rollback();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 0);
    }

    void handlersCanRefuseQuietly()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->beforeDelete = [](DataSet &) { abortSilently(); };
        customers->open();
        QVERIFY_THROWS_EXCEPTION(SilentAbort, customers->remove());
        QCOMPARE(customers->recordCount(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 1);
    }

    void newRecordDefaultsAreNotChanges()
    {
        Fixture f;
        auto customers = f.table(QStringLiteral("CUSTOMER"));
        customers->onNewRecord = [](DataSet &ds) {
            ds.fieldByName(QStringLiteral("SURNAME")).setValue(QString());
            ds.fieldByName(QStringLiteral("CUST_NO")).setValue(1);
        };
        customers->open();
        customers->append();
        QCOMPARE(customers->fieldByName(QStringLiteral("CUST_NO")).asInteger(), 1);
        QVERIFY(!customers->isModified());
        customers->checkBrowseMode(); // nothing typed: the new row goes
        QVERIFY(customers->isEmpty());

        customers->onNewRecord = [](DataSet &ds) { ds.cancel(); };
        customers->append();
        QCOMPARE(customers->state(), DataSet::State::Browse);
        QVERIFY(customers->isEmpty());
    }

    void declaredFieldMissingFromTheResult()
    {
        Fixture f;
        DataSet ds(&f.connection, QStringLiteral("partial"));
        ds.setCommandText(QStringLiteral("select CUST_ID from CUSTOMER"));
        ds.addField(Schema::fieldDef(QStringLiteral("CUSTOMER"), QStringLiteral("CUST_ID")));
        ds.addField(Schema::fieldDef(QStringLiteral("CUSTOMER"), QStringLiteral("SURNAME")));
        QCOMPARE(errorOf([&] { ds.open(); }), QStringLiteral("Field 'SURNAME' not found"));
        QVERIFY(!ds.isActive());
    }

    void gridModelShowsTextsAndReportsRefusedEdits()
    {
        Fixture f;
        f.addCustomer(1, QStringLiteral("Kari"), QStringLiteral("Nordmann"));
        const qint64 invoice = f.addInvoice(1, 1);
        f.addLine(invoice, 1, QStringLiteral("Konsulenttime"));
        auto lines = f.table(QStringLiteral("INVITEM"));
        lines->fieldByName(QStringLiteral("INV_ID")).setVisible(false);
        lines->open();
        db::DataSetModel model(lines.get());
        QCOMPARE(model.rowCount(), 1);
        const int vat = model.columnOf(QStringLiteral("VAT"));
        const int price = model.columnOf(QStringLiteral("NETPRICE"));
        const int num = model.columnOf(QStringLiteral("NUM"));
        QCOMPARE(model.columnOf(QStringLiteral("INV_ID")), -1);
        QCOMPARE(model.headerData(vat, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("VAT %"));
        QCOMPARE(model.data(model.index(0, vat), Qt::DisplayRole).toString(), QStringLiteral("25%"));
        QCOMPARE(model.data(model.index(0, price), Qt::DisplayRole).toString(), QStringLiteral("100,00"));

        QSignalSpy failed(&model, &db::DataSetModel::editFailed);
        QVERIFY(!model.setData(model.index(0, num), QStringLiteral("mange"), Qt::EditRole));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(),
                 QStringLiteral("'mange' is not a valid floating point value for field 'Amount'"));
        QVERIFY(model.setData(model.index(0, num), QStringLiteral("2,5"), Qt::EditRole));
        QCOMPARE(lines->state(), DataSet::State::Edit);
        lines->post();
        QCOMPARE(f.scalar(QStringLiteral("select NUM from INVITEM")).toDouble(), 2.5);
    }
};

QTEST_GUILESS_MAIN(DataSetTest)
#include "tst_dataset.moc"
