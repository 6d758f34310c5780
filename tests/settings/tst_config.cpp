#include "TestSupport.h"
#include "data/dInvoice.h"
#include "platform/db/DataSetModel.h"
#include "platform/db/Errors.h"
#include "settings/uConfig.h"

#include <QFile>
#include <QMainWindow>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Halvgard"), QStringLiteral("Tessund"));
}

QByteArray placementBytes(int x, int y, int w, int h)
{
    QByteArray bytes(16, '\0');
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    qToLittleEndian<qint32>(x, p);
    qToLittleEndian<qint32>(y, p + 4);
    qToLittleEndian<qint32>(w, p + 8);
    qToLittleEndian<qint32>(h, p + 12);
    return bytes;
}

// A window class of its own, with one grid on the customers.
class TfrmGridWindow : public QMainWindow {
    Q_OBJECT
public:
    TfrmGridWindow()
    {
        setGeometry(100, 100, 400, 300);
        grid = new QTableView(this);
        grid->setObjectName(QStringLiteral("gridCustomers"));
        model = new db::DataSetModel(&dmInvoice->tblCustomer, this);
        grid->setModel(model);
        setCentralWidget(grid);
    }
    int section(const QString &field) const { return model->columnOf(field); }
    QTableView *grid;
    db::DataSetModel *model;
};

} // namespace

class TestConfig : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init()
    {
        store().clear();
        database = std::make_unique<TempDatabase>();
        module = std::make_unique<TdmInvoice>(database->folder());
        QVERIFY(module->isConnected());
        FreeSettingsStores();
    }
    void cleanup()
    {
        FreeSettingsStores();
        module.reset();
        database.reset();
    }

    void emptyStoresGiveDefaults()
    {
        RegSettings().LoadUserSettings();
        QCOMPARE(RegSettings().Language(), 0);
        QVERIFY(RegSettings().ShowHints());
        QCOMPARE(RegSettings().ReadSetting("CustomersVisible"), QString());
        QCOMPARE(RegSettings().ReadSetting("PrinterName"), QString());
        DBSettings().LoadBusinessSettings();
        QCOMPARE(DBSettings().DefaultTax(), 24.0);
        QCOMPARE(DBSettings().CreditDays(), 14);
        QVERIFY(!DBSettings().RoundFraction());
        QCOMPARE(DBSettings().GetSetting("NAMECOMPADDR"), QString());
        // Reading creates nothing.
        QVERIFY(store().allKeys().isEmpty());
    }

    void storedUserValues_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("showHints");
        QTest::addColumn<int>("expectedLanguage");
        QTest::addColumn<bool>("expectedHints");
        QTest::newRow("norwegian, hints off") << "1044"
                                              << "0" << 1044 << false;
        QTest::newRow("word false still means on") << "1033"
                                                   << "false" << 1033 << true;
        QTest::newRow("garbage language") << "abc"
                                          << "1" << 0 << true;
        QTest::newRow("empty values") << ""
                                      << "" << 0 << true;
    }
    void storedUserValues()
    {
        QFETCH(QString, language);
        QFETCH(QString, showHints);
        store().setValue("Setting/LANGUAGE", language);
        store().setValue("Setting/SHOWHINTS", showHints);
        RegSettings().setShowHints(!RegSettings().ShowHints()); // discarded by loading
        RegSettings().LoadUserSettings();
        QTEST(RegSettings().Language(), "expectedLanguage");
        QTEST(RegSettings().ShowHints(), "expectedHints");
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
        DBSettings().LoadBusinessSettings();
        QCOMPARE(DBSettings().GetSetting(key), value);
        QTEST(DBSettings().DefaultTax(), "tax");
        QTEST(DBSettings().CreditDays(), "days");
        QTEST(DBSettings().RoundFraction(), "round");
    }

    void setSettingMarksOnlyChanges()
    {
        TDBSettings &s = DBSettings();
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
        TDBSettings &s = DBSettings();
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

    void failedSaveKeepsMarks()
    {
        module->conInvoice.execute("create trigger REFUSE before insert on APPDATA when NEW.ANAME = 'BAD' "
                                   "begin select raise(abort, 'refused'); end");
        TDBSettings &s = DBSettings();
        s.LoadBusinessSettings();
        s.SetSetting("FIRST", "1");
        s.SetSetting("BAD", "2");
        s.SetSetting("LAST", "3");
        QVERIFY_THROWS_EXCEPTION(std::exception, s.SaveBusinessSettings());
        QVERIFY(!s.isChanged("FIRST"));
        QVERIFY(s.isChanged("BAD"));
        QVERIFY(s.isChanged("LAST"));
        QVERIFY(!module->qryAppData.isActive());

        module->conInvoice.execute("drop trigger REFUSE");
        s.SaveBusinessSettings();
        TDBSettings fresh;
        fresh.LoadBusinessSettings();
        QCOMPARE(fresh.GetSetting("FIRST"), QString("1"));
        QCOMPARE(fresh.GetSetting("BAD"), QString("2"));
        QCOMPARE(fresh.GetSetting("LAST"), QString("3"));
    }

    void placementRoundTripAndStates()
    {
        module->tblCustomer.open();
        {
            TfrmGridWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.setGeometry(30, 40, 500, 350);
            window.grid->setColumnWidth(window.section("SURNAME"), 222);
            RegSettings().SaveWindowState(&window);
            QCOMPARE(store().value("WindowState/TfrmGridWindow").toByteArray(), placementBytes(30, 40, 500, 350));
            QCOMPARE(store().value("WindowState/gridCustomers_SURNAME").toInt(), 222);

            // Neither placement nor widths are saved while maximised or minimised.
            window.grid->setColumnWidth(window.section("SURNAME"), 50);
            window.showMaximized();
            RegSettings().SaveWindowState(&window);
            window.showMinimized();
            RegSettings().SaveWindowState(&window);
            QCOMPARE(store().value("WindowState/TfrmGridWindow").toByteArray(), placementBytes(30, 40, 500, 350));
            QCOMPARE(store().value("WindowState/gridCustomers_SURNAME").toInt(), 222);
        }
        TfrmGridWindow window;
        const int designedAddress = window.grid->columnWidth(window.section("ADDRESS"));
        RegSettings().RestoreWindowState(&window);
        QCOMPARE(window.geometry(), QRect(30, 40, 500, 350));
        QCOMPARE(window.grid->columnWidth(window.section("SURNAME")), 222);
        QCOMPARE(window.grid->columnWidth(window.section("ADDRESS")), designedAddress); // no value saved

        // A column hidden at closing keeps the width saved for it before.
        window.grid->setColumnHidden(window.section("SURNAME"), true);
        RegSettings().SaveWindowState(&window);
        QCOMPARE(store().value("WindowState/gridCustomers_SURNAME").toInt(), 222);
        QVERIFY(store().contains("WindowState/gridCustomers_ADDRESS"));
    }

    void badPlacementKeepsDesign_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("wrong size") << QVariant(QByteArray(12, '\1'));
        QTest::newRow("text") << QVariant(QString("garbage"));
        QTest::newRow("off every screen") << QVariant(placementBytes(-20000, -20000, 400, 300));
        QTest::newRow("no size") << QVariant(placementBytes(10, 10, 0, -5));
    }
    void badPlacementKeepsDesign()
    {
        QFETCH(QVariant, stored);
        store().setValue("WindowState/TfrmGridWindow", stored);
        TfrmGridWindow window;
        RegSettings().RestoreWindowState(&window);
        QCOMPARE(window.geometry(), QRect(100, 100, 400, 300));
    }

    void languageModules()
    {
        const QString folder = database->folder();
        setProgramFile(folder + "/tessund");
        QCOMPARE(abbreviatedLanguageName(1044), QString("NOR"));
        QCOMPARE(abbreviatedLanguageName(1033), QString("ENU"));

        // Missing, unknown and unreadable modules load nothing and leave the texts in use.
        QVERIFY(!LoadLanguageModule(1044));
        QVERIFY(!LoadLanguageModule(99999));
        QFile junk(folder + "/tessund.NOR");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a translation");
        junk.close();
        QVERIFY(!LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Error"));

        // The two-letter name is the fallback.
        QVERIFY(junk.remove());
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", folder + "/tessund.NO"));
        QVERIFY(LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));

        // English without an English module: the Norwegian texts stay for now.
        RegSettings().setLanguage(1033);
        RegSettings().SaveUserSettings();
        QCOMPARE(store().value("Setting/LANGUAGE").toString(), QString("1033"));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));
        setProgramFile(QString());
    }

private:
    std::unique_ptr<TempDatabase> database;
    std::unique_ptr<TdmInvoice> module;
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
