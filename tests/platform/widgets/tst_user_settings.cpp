#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "platform/db/DataSetModel.h"
#include "platform/db/Errors.h"
#include "platform/widgets/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

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

class TestUserSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init()
    {
        userSettings()->clear();
        database = std::make_unique<TempDatabase>();
        module = std::make_unique<TdmInvoice>(database->folder());
        QVERIFY(module->isConnected());
        RegSettings().LoadUserSettings();
    }
    void cleanup()
    {
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
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
        // Reading creates nothing.
        QVERIFY(userSettings()->allKeys().isEmpty());
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
        userSettings()->setValue("Setting/LANGUAGE", language);
        userSettings()->setValue("Setting/SHOWHINTS", showHints);
        RegSettings().setShowHints(!RegSettings().ShowHints()); // discarded by loading
        RegSettings().LoadUserSettings();
        QTEST(RegSettings().Language(), "expectedLanguage");
        QTEST(RegSettings().ShowHints(), "expectedHints");
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
            QCOMPARE(userSettings()->value("WindowState/TfrmGridWindow").toByteArray(),
                     placementBytes(30, 40, 500, 350));
            QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);

            // Neither placement nor widths are saved while maximised or minimised.
            window.grid->setColumnWidth(window.section("SURNAME"), 50);
            window.showMaximized();
            RegSettings().SaveWindowState(&window);
            window.showMinimized();
            RegSettings().SaveWindowState(&window);
            QCOMPARE(userSettings()->value("WindowState/TfrmGridWindow").toByteArray(),
                     placementBytes(30, 40, 500, 350));
            QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);
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
        QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);
        QVERIFY(userSettings()->contains("WindowState/gridCustomers_ADDRESS"));
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
        userSettings()->setValue("WindowState/TfrmGridWindow", stored);
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
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("1033"));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));
        setProgramFile(QString());
    }

    // An installed program finds its files in share/tessund beside its bin folder; one beside the executable
    // (the build, a portable copy) comes first.
    void filesOfAnInstalledProgram()
    {
        UnloadLanguageModule();
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/tessund"));
        setProgramFile(prefix.filePath("bin/tessund"));
        QCOMPARE(programResourceFile("tessund.chm"), prefix.filePath("bin/tessund.chm")); // in neither place
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", prefix.filePath("share/tessund/tessund.NOR")));
        QCOMPARE(programResourceFile("tessund.NOR"), prefix.filePath("share/tessund/tessund.NOR"));
        QVERIFY(LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));
        UnloadLanguageModule();

        QFile beside(prefix.filePath("bin/tessund.NOR"));
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.write("not a translation");
        beside.close();
        QCOMPARE(programResourceFile("tessund.NOR"), prefix.filePath("bin/tessund.NOR"));
        QVERIFY(!LoadLanguageModule(1044));
        setProgramFile(QString());
    }

private:
    std::unique_ptr<TempDatabase> database;
    std::unique_ptr<TdmInvoice> module;
};

QTEST_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
