#include "TestSupport.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "data/dInvoice.h"

#include <QLocale>
#include <QTest>

using db::DataSet;

class DataModuleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        Format::restoreCurrencySymbol();
    }

    void lifetimeAndCurrencySymbol()
    {
        TempDatabase database;
        QVERIFY(Format::moneyText(10.0).contains(QLatin1String("kr")));
        {
            TdmInvoice dm(database.folder());
            QVERIFY(dm.isConnected());
            QCOMPARE(dmInvoice, &dm);
            QCOMPARE(Format::moneyText(1234.5), QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("234,50")));
        }
        QCOMPARE(dmInvoice, nullptr);
    }

    void everyDataSetOpensOnTheDemoBusiness()
    {
        TempDatabase database(true);
        TdmInvoice dm(database.folder());
        struct Expect {
            DataSet *ds;
            int rows;
        };
        dm.tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), 1);
        dm.qryMaxInvNo.setParam(QStringLiteral("STARTOFYEAR"), QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
        dm.qryMaxInvNo.setParam(QStringLiteral("ENDOFYEAR"), QDateTime(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC));
        const std::vector<Expect> all = {
            {&dm.tblCustomer, 12},        {&dm.qryInvoiceCustomer, 12}, {&dm.tblInvoiceEdit, 1},
            {&dm.tblLookupItem, 20},      {&dm.tblPostAddr, 5132},      {&dm.tblPostAddrClone, 5132},
            {&dm.qryMaxInvNo, 1},         {&dm.tblInvoiceList, 30},     {&dm.qryAppData, 5},
            {&dm.qryMaxCustNo, 1},        {&dm.qrySelectCust, 12},      {&dm.tblInvoiceItems, -1},
            {&dm.qryCustInvoiceList, -1}, {&dm.qryInvoicePay, -1},
        };
        for (const Expect &e : all) {
            e.ds->open();
            QVERIFY2(e.ds->isActive(), qPrintable(e.ds->name()));
            if (e.rows >= 0)
                QCOMPARE(e.ds->recordCount(), e.rows);
        }
        QCOMPARE(dm.tblPostAddr.fieldByName(QStringLiteral("POSTALCODE")).asString(), QStringLiteral("0001"));
        QCOMPARE(dm.tblLookupItem.fieldByName(QStringLiteral("ITEM_NO")).asString(), QStringLiteral("BOK"));
        QCOMPARE(dm.qryMaxCustNo.fieldByName(QStringLiteral("MAXCUSTNO")).asInteger(), 12);
        // The lines and the customer's invoices follow their masters.
        QCOMPARE(dm.tblInvoiceItems.recordCount(),
                 dm.conInvoice.scalar(QStringLiteral("select count(*) from INVITEM where INV_ID = 1")).toInt());
        QCOMPARE(dm.qryCustInvoiceList.recordCount(),
                 dm.conInvoice.scalar(QStringLiteral("select count(*) from INVOICE where CUST_ID = 1")).toInt());
        dm.tblCustomer.last();
        QCOMPARE(dm.qryCustInvoiceList.param(QStringLiteral("CUST_ID")).toInt(),
                 dm.tblCustomer.fieldByName(QStringLiteral("CUST_ID")).asInteger());
        // The invoice shows its customer through the lookup fields.
        QCOMPARE(dm.tblInvoiceEdit.fieldByName(QStringLiteral("SURNAME")).asString(),
                 dm.conInvoice
                     .scalar(QStringLiteral("select SURNAME from CUSTOMER C join INVOICE I on I.CUST_ID = "
                                            "C.CUST_ID where INV_ID = 1"))
                     .toString());
    }

    void declaredFields_data()
    {
        QTest::addColumn<QString>("dataSet");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("required");
        QTest::newRow("item code") << "tblInvoiceItems"
                                   << "ITEM_NO"
                                   << "Item code" << 11 << true << false;
        QTest::newRow("line text") << "tblInvoiceItems"
                                   << "ITEM_DESC"
                                   << "Description" << 50 << true << false;
        QTest::newRow("quantity") << "tblInvoiceItems"
                                  << "NUM"
                                  << "Amount" << 12 << true << true;
        QTest::newRow("net price") << "tblInvoiceItems"
                                   << "NETPRICE"
                                   << "NETPRICE" << 12 << true << true;
        QTest::newRow("VAT") << "tblInvoiceItems"
                             << "VAT"
                             << "VAT %" << 12 << true << true;
        QTest::newRow("kind") << "tblInvoiceEdit"
                              << "INV_TYPE"
                              << "INV_TYPE" << 15 << true << false;
        QTest::newRow("our reference") << "tblInvoiceEdit"
                                       << "OURREF"
                                       << "Our ref." << 20 << true << false;
        QTest::newRow("customer number") << "tblCustomer"
                                         << "CUST_NO"
                                         << "#" << 10 << true << false;
        QTest::newRow("phone") << "tblCustomer"
                               << "PHONE1"
                               << "Phone #1" << 15 << true << false;
        QTest::newRow("joined name") << "tblInvoiceList"
                                     << "NAME"
                                     << "NAME" << 50 << true << false;
        QTest::newRow("hidden id") << "tblInvoiceList"
                                   << "INV_ID"
                                   << "INV_ID" << 10 << false << false;
        QTest::newRow("hidden first name") << "tblInvoiceList"
                                           << "FIRSTNAME"
                                           << "Firstname" << 25 << false << false;
    }
    void declaredFields()
    {
        QFETCH(QString, dataSet);
        QFETCH(QString, field);
        QFETCH(QString, label);
        QFETCH(int, width);
        QFETCH(bool, visible);
        QFETCH(bool, required);
        TempDatabase database;
        TdmInvoice dm(database.folder());
        DataSet *ds = nullptr;
        for (DataSet *candidate : {&dm.tblInvoiceItems, &dm.tblInvoiceEdit, &dm.tblCustomer, &dm.tblInvoiceList})
            if (candidate->name() == dataSet)
                ds = candidate;
        QVERIFY(ds);
        const db::Field &f = ds->fieldByName(field);
        QCOMPARE(f.displayName(), label);
        QCOMPARE(f.displayWidth(), width);
        QCOMPARE(f.isVisible(), visible);
        QCOMPARE(f.isRequired(), required);
    }

    void displayTexts()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        db::Connection &c = dm.conInvoice;
        c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values (1, 'Kari', 'Nordmann')"));
        c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, GROSSSUM) values (1, 1, "
                                 "'2026-12-31 00:00:00', 12345000)"));
        c.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, NUM, NETPRICE, VAT, DISCOUNT) values (1, 1, 2, "
                                 "100000, 12.5, 0)"));
        c.execute(QStringLiteral("insert into DYNAITEM (ITEM_NO, NETPRICE, VAT) values ('A', 80000, 25)"));
        dm.tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), 1);
        dm.tblInvoiceEdit.open();
        dm.tblInvoiceItems.open();
        dm.tblLookupItem.open();
        QCOMPARE(dm.tblInvoiceEdit.fieldByName(QStringLiteral("INVDATE")).text(), QStringLiteral("31.12.2026"));
        QCOMPARE(dm.tblInvoiceEdit.fieldByName(QStringLiteral("GROSSSUM")).text(),
                 QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("234,50")));
        QCOMPARE(dm.tblInvoiceEdit.fieldByName(QStringLiteral("GROSSSUM")).editText(), QStringLiteral("1234,50"));
        QCOMPARE(dm.tblInvoiceItems.fieldByName(QStringLiteral("VAT")).text(), QStringLiteral("12,5%"));
        QCOMPARE(dm.tblInvoiceItems.fieldByName(QStringLiteral("DISCOUNT")).text(), QStringLiteral("0%"));
        QCOMPARE(dm.tblLookupItem.fieldByName(QStringLiteral("VAT")).text(), QStringLiteral("25%"));
        // The statements' gross price columns, in kroner and in money.
        QCOMPARE(dm.tblInvoiceItems.fieldByName(QStringLiteral("GROSSFAKE")).asFloat(), 11.25);
        QCOMPARE(dm.tblLookupItem.fieldByName(QStringLiteral("GROSSPRICE")).asMoney(), money(10));
    }

    void emptyMaximaAreNull()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        dm.qryMaxInvNo.setParam(QStringLiteral("STARTOFYEAR"), QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
        dm.qryMaxInvNo.setParam(QStringLiteral("ENDOFYEAR"),
                                QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59), Qt::UTC));
        dm.qryMaxInvNo.open();
        QVERIFY(dm.qryMaxInvNo.fieldByName(QStringLiteral("MAXINVNO")).isNull());
        dm.qryMaxCustNo.open();
        QVERIFY(dm.qryMaxCustNo.fieldByName(QStringLiteral("MAXCUSTNO")).isNull());
    }

    void invoiceListAndPaymentRows()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        db::Connection &c = dm.conInvoice;
        c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values (1, null, 'Nordmann')"));
        c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values (2, '', '')"));
        c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, PAIDDATE, GROSSSUM) values (1, 1, "
                                 "'2026-12-01 00:00:00', 1000000)"));
        c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, GROSSSUM) values (2, 2, 1000000)"));
        c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, PAIDDATE, SUMPAID, GROSSSUM) values (2, 3, "
                                 "'2026-12-01 00:00:00', 1000000, 1000000)"));
        dm.tblInvoiceList.open();
        QVERIFY(dm.tblInvoiceList.locate(QStringLiteral("INVOICE_NO"), 1));
        QVERIFY(dm.tblInvoiceList.fieldByName(QStringLiteral("NAME")).isNull());
        QVERIFY(dm.tblInvoiceList.locate(QStringLiteral("INVOICE_NO"), 2));
        QCOMPARE(dm.tblInvoiceList.fieldByName(QStringLiteral("NAME")).value(), QVariant(QStringLiteral(" ")));
        QVERIFY_THROWS_EXCEPTION(Error, dm.tblInvoiceList.edit());

        // Listed for payment when either value is missing; the flag follows the payment date alone.
        dm.qryInvoicePay.open();
        QCOMPARE(dm.qryInvoicePay.recordCount(), 2);
        QVERIFY(dm.qryInvoicePay.locate(QStringLiteral("INVOICE_NO"), 1));
        QVERIFY(dm.qryInvoicePay.fieldByName(QStringLiteral("PAID")).asInteger() != 0);
        QVERIFY(dm.qryInvoicePay.locate(QStringLiteral("INVOICE_NO"), 2));
        QCOMPARE(dm.qryInvoicePay.fieldByName(QStringLiteral("PAID")).asInteger(), 0);
        // Paying writes the invoice row; the computed flag stays out of the table.
        dm.qryInvoicePay.edit();
        dm.qryInvoicePay.fieldByName(QStringLiteral("PAID")).setValue(-1);
        dm.qryInvoicePay.fieldByName(QStringLiteral("SUMPAID")).setValue(QVariant::fromValue(money(100)));
        dm.qryInvoicePay.post();
        QCOMPARE(c.scalar(QStringLiteral("select SUMPAID from INVOICE where INVOICE_NO = 2")).toLongLong(), 1000000);
    }

    void viewLackingADeclaredColumn()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        dm.conInvoice.execute(QStringLiteral("drop view INVOICELIST"));
        dm.conInvoice.execute(QStringLiteral("create view INVOICELIST as select I.*, C.CUST_NO, C.FIRSTNAME from "
                                             "INVOICE I join CUSTOMER C on C.CUST_ID = I.CUST_ID"));
        QCOMPARE(errorOf([&] { dm.tblInvoiceList.open(); }), QStringLiteral("no such column: SURNAME"));
        dm.tblInvoiceList.setCommandText(QStringLiteral("select *, FIRSTNAME as NAME from INVOICELIST"));
        QCOMPARE(errorOf([&] { dm.tblInvoiceList.open(); }), QStringLiteral("Field 'SURNAME' not found"));
    }
};

QTEST_GUILESS_MAIN(DataModuleTest)
#include "tst_dminvoice.moc"
