#include "TestSupport.h"
#include "core/Errors.h"
#include "data/BusinessSettings.h"
#include "data/dInvoice.h"

#include <QTest>

#include <memory>

// The business settings of a database: stored in APPDATA, read and written through the data module.
class TestBusinessSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        database = std::make_unique<TempDatabase>();
        module = std::make_unique<TdmInvoice>(database->folder());
        QVERIFY(module->isConnected());
    }
    void cleanup()
    {
        module.reset();
        database.reset();
    }

    void emptyStoreGivesDefaults()
    {
        module->DBSettings.LoadBusinessSettings();
        QCOMPARE(module->DBSettings.DefaultTax(), 24.0);
        QCOMPARE(module->DBSettings.CreditDays(), 14);
        QVERIFY(!module->DBSettings.RoundFraction());
        QCOMPARE(module->DBSettings.GetSetting("NAMECOMPADDR"), QString());
    }

    void storedBusinessValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("tax");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("round");
        QTest::newRow("credit days 30") << "CREDITDAYS"
                                        << "30" << 24.0 << 30 << false;
        QTest::newRow("credit days abc") << "CREDITDAYS"
                                         << "abc" << 24.0 << 14 << false;
        QTest::newRow("credit days 7.5") << "CREDITDAYS"
                                         << "7.5" << 24.0 << 14 << false;
        QTest::newRow("tax 12.5") << "DEFAULTTAX"
                                  << "12.5" << 12.5 << 14 << false;
        // Written under a locale with a decimal comma, read under one with a point.
        QTest::newRow("tax other separator") << "DEFAULTTAX"
                                             << "12,5" << 24.0 << 14 << false;
        QTest::newRow("tax garbage") << "DEFAULTTAX"
                                     << "x" << 24.0 << 14 << false;
        QTest::newRow("round 1") << "ROUNDFRAC"
                                 << "1" << 24.0 << 14 << true;
        QTest::newRow("round yes") << "ROUNDFRAC"
                                   << "yes" << 24.0 << 14 << false;
    }
    void storedBusinessValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        const qint64 rows = module->conInvoice.execute("insert into APPDATA (ANAME, AVALUE) values (:N, :V)",
                                                       {{"N", key}, {"V", value}});
        QCOMPARE(rows, qint64(1));
        QCOMPARE(module->conInvoice.scalar("select AVALUE from APPDATA").toString(), value);
        module->DBSettings.LoadBusinessSettings();
        QCOMPARE(module->DBSettings.GetSetting(key), value);
        QTEST(module->DBSettings.DefaultTax(), "tax");
        QTEST(module->DBSettings.CreditDays(), "days");
        QTEST(module->DBSettings.RoundFraction(), "round");
    }

    void setSettingMarksOnlyChanges()
    {
        TDBSettings &s = module->DBSettings;
        s.LoadBusinessSettings();
        s.SetSetting("BANKACCNO", "1234.56.78903");
        s.setCreditDays(30);
        QVERIFY(s.isChanged("bankaccno"));
        s.SaveBusinessSettings();
        QVERIFY(!s.isChanged("BANKACCNO"));

        // The same value marks nothing, so nothing is written over a change made behind the store's back.
        module->conInvoice.execute("update APPDATA set AVALUE = 'X' where ANAME = 'CREDITDAYS'");
        s.setCreditDays(30);
        QVERIFY(!s.isChanged("CREDITDAYS"));
        // An empty value is a value: it replaces the account number, also after loading again.
        s.SetSetting("bankaccno", QString());
        QVERIFY(s.isChanged("BANKACCNO"));
        s.SaveBusinessSettings();
        s.LoadBusinessSettings();
        QCOMPARE(s.GetSetting("BANKACCNO"), QString());
        QCOMPARE(s.GetSetting("CREDITDAYS"), QString("X"));
    }

    void keyLongerThanTwelveIsRefused()
    {
        TDBSettings &s = module->DBSettings;
        s.SetSetting("TWELVECHARSX", "ok");
        try {
            s.SetSetting("THIRTEENCHARS", "no");
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.message(), QString("Appsetting name \"THIRTEENCHARS\" to long."));
        }
        QCOMPARE(s.GetSetting("THIRTEENCHARS"), QString());
        QCOMPARE(s.GetSetting("TWELVECHARSX"), QString("ok"));
    }

    void failedSaveStoresNothingAndKeepsMarks()
    {
        module->conInvoice.execute("create trigger REFUSE before insert on APPDATA when NEW.ANAME = 'BAD' "
                                   "begin select raise(abort, 'refused'); end");
        TDBSettings &s = module->DBSettings;
        s.LoadBusinessSettings();
        s.SetSetting("FIRST", "1");
        s.SetSetting("BAD", "2");
        s.SetSetting("LAST", "3");
        QVERIFY_THROWS_EXCEPTION(std::exception, s.SaveBusinessSettings());
        // One change: the entry written before the refused one is undone and stays marked.
        QVERIFY(s.isChanged("FIRST"));
        QVERIFY(s.isChanged("BAD"));
        QVERIFY(s.isChanged("LAST"));
        QVERIFY(!module->qryAppData.isActive());
        QCOMPARE(module->conInvoice.scalar("select count(*) from APPDATA").toInt(), 0);
        QVERIFY(!module->conInvoice.inTransaction());

        module->conInvoice.execute("drop trigger REFUSE");
        s.SaveBusinessSettings();
        TDBSettings fresh(module->qryAppData);
        fresh.LoadBusinessSettings();
        QCOMPARE(fresh.GetSetting("FIRST"), QString("1"));
        QCOMPARE(fresh.GetSetting("BAD"), QString("2"));
        QCOMPARE(fresh.GetSetting("LAST"), QString("3"));
    }

    // A value beyond 255 characters is cut at once, in memory as in the table, whether it was set by the
    // program or found in a file written by another tool; a character is never cut in half.
    void longValuesAreCutAtOnce_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("stored"); // written into the file behind the program's back
        QTest::addColumn<QString>("kept");
        const QString a255(255, 'a'), emoji = QString::fromUtf8("\U0001F600");
        // clang-format off
        QTest::newRow("set, 255")                << a255                          << false << a255;
        QTest::newRow("set, 300")                << a255 + "bbbbb"                << false << a255;
        QTest::newRow("set, pair across 255")    << a255.left(254) + emoji + "c"  << false << a255.left(254);
        QTest::newRow("stored, 100,000")         << QString(100000, 'x')          << true  << QString(255, 'x');
        // clang-format on
    }
    void longValuesAreCutAtOnce()
    {
        QFETCH(QString, value);
        QFETCH(bool, stored);
        QFETCH(QString, kept);
        TDBSettings &s = module->DBSettings;
        if (stored) {
            module->conInvoice.execute("PRAGMA ignore_check_constraints = 1");
            module->conInvoice.execute("insert into APPDATA (ANAME, AVALUE) values ('PDFDIR', :V)", {{"V", value}});
            module->conInvoice.execute("PRAGMA ignore_check_constraints = 0");
            s.LoadBusinessSettings();
        } else {
            s.SetSetting("PDFDIR", value);
        }
        QCOMPARE(s.GetSetting("PDFDIR"), kept);
        s.SetSetting("NAMECOMPADDR", "x"); // a save that writes another entry
        s.SaveBusinessSettings();
        QCOMPARE(s.GetSetting("PDFDIR"), kept);
        TDBSettings fresh(module->qryAppData);
        fresh.LoadBusinessSettings();
        QCOMPARE(fresh.GetSetting("PDFDIR"), kept);
        if (!stored)
            QCOMPARE(module->conInvoice.scalar("select AVALUE from APPDATA where ANAME = 'PDFDIR'").toString(), kept);
    }

private:
    std::unique_ptr<TempDatabase> database;
    std::unique_ptr<TdmInvoice> module;
};

QTEST_MAIN(TestBusinessSettings)
#include "tst_business_settings.moc"
