#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/DatabaseCreation.h"
#include "data/dInvoice.h"
#include "widgets/IdleUpdate.h"
#include "widgets/Printers.h"
#include "windows/invoicing/fInvList.h"
#include "windows/main/DataFolder.h"
#include "windows/main/Program.h"
#include "windows/main/fMain.h"
#include "windows/main/uMsgStrs.h"
#include "windows/settings/UserSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtEndian>

#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QRect storedPlacement(const QString &windowClass)
{
    const QByteArray bytes = userSettings()->value("WindowState/" + windowClass).toByteArray();
    if (bytes.size() != 16)
        return QRect();
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    return QRect(qFromLittleEndian<qint32>(p), qFromLittleEndian<qint32>(p + 4), qFromLittleEndian<qint32>(p + 8),
                 qFromLittleEndian<qint32>(p + 12));
}

QByteArray placement(int x, int y, int w, int h)
{
    QByteArray bytes(16, '\0');
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    const int values[] = {x, y, w, h};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<qint32>(values[i], p + 4 * i);
    return bytes;
}

// Runs the program on the test's database; body runs once the main window stands, then the main window
// is closed, which ends the program.
// created runs on the new main window before it is shown (where the stand-ins for the list windows are
// handed in).
int runWith(const QString &folder, const std::function<void(TfrmMain &)> &body,
            const std::function<void(TfrmMain &)> &created = {})
{
    ProgramHooks hooks;
    hooks.created = created;
    hooks.shown = [&body](TfrmMain &main) {
        body(main);
        main.close();
    };
    return runProgram(folder, hooks);
}

QAction *action(const TfrmMain &main, const char *name)
{
    return main.findChild<QAction *>(QLatin1String(name));
}

QMenu *menu(const TfrmMain &main, const char *name)
{
    return main.findChild<QMenu *>(QLatin1String(name));
}

// The page control with a grid and a memo that the stand-ins for the list windows show.
struct FakePages {
    QTabWidget *pages;
    QTableView *grid;
    QPlainTextEdit *memo;

    explicit FakePages(QWidget *window)
    {
        window->resize(320, 240);
        pages = new QTabWidget(window);
        grid = new QTableView;
        grid->setModel(new QStandardItemModel(3, 3, grid));
        memo = new QPlainTextEdit;
        pages->addTab(grid, "Grid");
        pages->addTab(memo, "Memo");
        pages->addTab(new QWidget, "Third");
        (new QVBoxLayout(window))->addWidget(pages);
    }
};

class TfrmFakeCustomers : public TCustomerListWindow {
    Q_OBJECT
public:
    TfrmFakeCustomers() : ui(this)
    {
        menu = new QMenu("&Customer", this);
        setMenuGroup(menu, 30);
    }
    void NewCustomer() override { ++newCustomers; }
    void NewInvoice() override { ++newInvoices; }
    FakePages ui;
    QMenu *menu;
    int newCustomers = 0, newInvoices = 0;
};

class TfrmFakeInvoices : public TInvoiceListWindow {
    Q_OBJECT
public:
    TfrmFakeInvoices() : ui(this) {}
    void Refresh() override { ++refreshes; }
    FakePages ui;
    int refreshes = 0;
};

void useFakeLists(TfrmMain &main)
{
    main.setCustomerListFactory([](TMainInterface &) { return new TfrmFakeCustomers; });
    main.setInvoiceListFactory([](TMainInterface &) { return new TfrmFakeInvoices; });
}

QMdiSubWindow *frameOf(QWidget *window)
{
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

const QString NoPrinter = "There is no default printer currently selected";

// A copy of the program as a user meets it: its folder (bin/ of a temporary prefix) laid out as installed
// (beside share/tessund/), not writable by the user, or a plain portable folder; and an empty home folder.
struct ProgramCopyFixture {
    enum Layout { Installed, ReadOnly, Portable };
    QTemporaryDir prefix, home;
    const QByteArray previousHome = qgetenv("HOME");

    explicit ProgramCopyFixture(Layout layout)
    {
        QDir(prefix.path()).mkpath("bin");
        if (layout == Installed)
            QDir(prefix.path()).mkpath("share/tessund");
        if (layout == ReadOnly)
            setFolderWritable([bin = bin()](const QString &folder) { return QDir(folder) != QDir(bin); });
        qputenv("HOME", QFile::encodeName(home.path()));
    }
    ~ProgramCopyFixture()
    {
        setFolderWritable({});
        qputenv("HOME", previousHome);
    }
    QString bin() const { return prefix.filePath("bin"); }
    QString userDatabase() const { return QDir(userDataFolder()).filePath("INVOICE.mdb"); }
};

QList<MessageRequest> questions(const MessageAnswers &answers)
{
    QList<MessageRequest> asked;
    for (const MessageRequest &box : answers.shown())
        if (box.type == MsgType::Confirmation)
            asked.append(box);
    return asked;
}

} // namespace

class TestMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init() { userSettings()->clear(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void standardErrorBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("no stop")                   << "Disk full"  << "Disk full.";
        QTest::newRow("stop")                      << "Disk full." << "Disk full.";
        QTest::newRow("blank")                     << "Disk full " << "Disk full ";
        QTest::newRow("comma")                     << "Disk,"      << "Disk,";
        QTest::newRow("hyphen")                    << "Disk-"      << "Disk-";
        QTest::newRow("question mark sorts after") << "Full?"      << "Full?.";
        QTest::newRow("empty")                     << ""           << "";
        // clang-format on
    }
    void standardErrorBox()
    {
        QFETCH(QString, text);
        MessageAnswers answers;
        setApplicationTitle("Kvarnel");
        RunCommand([&] { throw Error(text); });
        RunCommand([] { abortSilently(); });
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).caption, QString("Kvarnel"));
        QCOMPARE(answers.shown().at(0).type, MsgType::Error);
        QTEST(answers.shown().at(0).text, "shown");
    }

    // An installed copy without a database in the user's data folder offers one there; declining ends the
    // program as a missing database does, and the next start uses the new file without asking again.
    void firstStartOfAnInstalledCopy_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("demo");
        QTest::newRow("installed, declined") << int(ProgramCopyFixture::Installed) << false << false;
        QTest::newRow("installed, empty database") << int(ProgramCopyFixture::Installed) << true << false;
        QTest::newRow("read-only folder, demo business") << int(ProgramCopyFixture::ReadOnly) << true << true;
    }
    void firstStartOfAnInstalledCopy()
    {
        QFETCH(int, layout);
        QFETCH(bool, create);
        QFETCH(bool, demo);
        ProgramCopyFixture copy{ProgramCopyFixture::Layout(layout)};
        QVERIFY(copy.userDatabase().startsWith(copy.home.path() + "/"));
        MessageAnswers answers;
        answers.push(create ? MsgAnswer::Yes : MsgAnswer::No);
        answers.push(demo ? MsgAnswer::Yes : MsgAnswer::No);
        QString opened;
        qlonglong customers = -1;
        const int status = runWith(copy.bin(), [&](TfrmMain &) {
            opened = dmInvoice->conInvoice.databaseName();
            customers = dmInvoice->conInvoice.scalar("select count(*) from CUSTOMER").toLongLong();
        });
        const QList<MessageRequest> asked = questions(answers);
        QCOMPARE(asked.size(), create ? 2 : 1);
        QVERIFY2(asked.at(0).text.contains(copy.userDatabase()), qPrintable(asked.at(0).text));
        if (!create) {
            QCOMPARE(status, 1);
            QVERIFY(!QFileInfo::exists(copy.userDatabase()));
            QCOMPARE(answers.texts().last(), QString("Database error. Unable to continue."));
            return;
        }
        QCOMPARE(status, 0);
        QCOMPARE(QFileInfo(opened).canonicalFilePath(), QFileInfo(copy.userDatabase()).canonicalFilePath());
        QCOMPARE(customers > 0, demo);
        QVERIFY(!QFileInfo::exists(QDir(copy.bin()).filePath("INVOICE.mdb")));

        answers.clear();
        QCOMPARE(runWith(copy.bin(), [](TfrmMain &) {}), 0);
        QCOMPARE(questions(answers).size(), 0);
    }

    // Which database a copy opens, asking nothing: a data link file or database beside the program wins in
    // every layout, an installed copy otherwise takes the user's, and a portable copy never looks there.
    void whereTheDatabaseIsFound_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("opens"); // beside, user or nothing
        QTest::newRow("installed, the user's") << int(ProgramCopyFixture::Installed) << ""
                                               << "user";
        QTest::newRow("installed, database beside") << int(ProgramCopyFixture::Installed) << "INVOICE.mdb"
                                                    << "beside";
        QTest::newRow("read-only, data link beside") << int(ProgramCopyFixture::ReadOnly) << "Tessund.udl"
                                                     << "beside";
        QTest::newRow("portable without one") << int(ProgramCopyFixture::Portable) << ""
                                              << "nothing";
    }
    void whereTheDatabaseIsFound()
    {
        QFETCH(int, layout);
        QFETCH(QString, beside);
        QFETCH(QString, opens);
        ProgramCopyFixture copy{ProgramCopyFixture::Layout(layout)};
        QVERIFY(QDir().mkpath(userDataFolder()));
        createDatabase(copy.userDatabase(), false);
        // A data link file names a database of another name.
        const QString besideDatabase =
            copy.prefix.filePath(beside == "Tessund.udl" ? "bin/linked.mdb" : "bin/INVOICE.mdb");
        if (!beside.isEmpty())
            createDatabase(besideDatabase, false);
        if (beside == "Tessund.udl") {
            QFile link(copy.prefix.filePath("bin/Tessund.udl"));
            QVERIFY(link.open(QIODevice::WriteOnly));
            link.write("Driver=QSQLITE\nDatabase=" + QFile::encodeName(besideDatabase) + "\n");
        }
        MessageAnswers answers;
        QString opened;
        const int status = runWith(copy.bin(), [&](TfrmMain &) { opened = dmInvoice->conInvoice.databaseName(); });
        QCOMPARE(questions(answers).size(), 0);
        QCOMPARE(status, opens == "nothing" ? 1 : 0);
        const QString expected = opens == "user" ? copy.userDatabase() : opens == "beside" ? besideDatabase : QString();
        QCOMPARE(QFileInfo(opened).canonicalFilePath(), QFileInfo(expected).canonicalFilePath());
    }

    void missingDatabaseEndsBeforeShowing()
    {
        QTemporaryDir empty;
        MessageAnswers answers;
        QCOMPARE(runProgram(empty.path()), 1);
        QCOMPARE(answers.shown().size(), 2); // the data module's two errors, no printer check
        QCOMPARE(answers.shown().at(1).text, QString("Database error. Unable to continue."));
        QVERIFY(QApplication::topLevelWidgets().isEmpty() || !QApplication::activeWindow());
    }

    void startWithoutPrintersAndClose()
    {
        TempDatabase database;
        MessageAnswers answers;
        QRect shownAt;
        QString caption;
        const int status = runWith(database.folder(), [&](TfrmMain &main) {
            shownAt = main.geometry();
            caption = main.windowTitle();
            // Commands without a window in the program yet, and the window commands without children.
            runIdleHandlers();
            QVERIFY(!action(main, "WindowCascade1")->isEnabled());
            QVERIFY(action(main, "actCustomers")->isEnabled());
            QVERIFY(action(main, "actInvoices")->isEnabled());
            QCOMPARE(action(main, "actReports")->shortcut(), QKeySequence("Ctrl+R"));
            // The report selection, made for one use.
            QString reportsCaption;
            onNextModal([&](QDialog &d) {
                reportsCaption = d.windowTitle();
                d.reject();
            });
            QVERIFY(triggerAction(&main, "actReports"));
            QCOMPARE(reportsCaption, QString("Reports"));
            QCOMPARE(action(main, "actCustomers")->toolTip(), QString("Customers"));
            QCOMPARE(action(main, "actCustomers")->statusTip(), QString("Show or activate customer list window"));
            dmInvoice->RequestInvoiceListRefresh(); // no invoice list: nothing happens
        });
        QCOMPARE(status, 0);
        QCOMPARE(caption, QString("Kvarnel"));
        QCOMPARE(shownAt, QRect(268, 157, 725, 584));
        QCOMPARE(answers.texts(), QStringList({NoPrinter + "\nPrint and preview will not work.", NoPrinter}));
        QCOMPARE(answers.shown().at(0).type, MsgType::Warning);
        QCOMPARE(answers.shown().at(1).type, MsgType::Error);
        QCOMPARE(userSettings()->value("Setting/CustomersVisible").toString(), QString("0"));
        QCOMPARE(userSettings()->value("Setting/InvoicesVisible").toString(), QString("0"));
        QVERIFY(!userSettings()->contains("Setting/PrinterName"));
        QCOMPARE(storedPlacement("TfrmMain"), QRect(268, 157, 725, 584));
        QVERIFY(!programAlreadyRunning());

        // The saved placement is used at the next start.
        userSettings()->setValue("WindowState/TfrmMain", placement(40, 50, 600, 420));
        runWith(database.folder(), [&](TfrmMain &main) { shownAt = main.geometry(); });
        QCOMPARE(shownAt, QRect(40, 50, 600, 420));
    }

    void mainWindowIsItsForm()
    {
        TempDatabase database;
        MessageAnswers answers;
        runWith(database.folder(), [&](TfrmMain &main) {
            QCOMPARE(main.objectName(), QString("frmMain"));
            QCOMPARE(main.property("HelpContext").toInt(), 1000);
            QVERIFY(main.findChild<QMdiArea *>("MDIClient"));
            QVERIFY(main.findChild<QStatusBar *>("StatusBar1"));
            // The tool bar: Exit, Customers, Invoices, Reports, Options, Help contents, with separators.
            QStringList tools;
            for (QAction *a : main.findChild<QToolBar *>("ToolBar1")->actions())
                tools << (a->isSeparator() ? QString("-") : a->objectName());
            QCOMPARE(tools, QStringList({"FileExit1", "-", "actCustomers", "actInvoices", "actReports", "-",
                                         "actOptions", "-", "HelpContents1"}));
            QStringList file;
            for (QAction *a : menu(main, "File1")->actions())
                file << (a->isSeparator() ? QString("-") : a->menu() ? a->menu()->objectName() : a->objectName());
            QCOMPARE(file,
                     QStringList({"New1", "-", "FilePrintSetup1", "actOptions", "actProducts", "-", "FileExit1"}));
            QCOMPARE(action(main, "FilePrintSetup1")->toolTip(), QString("Printer Setup"));
            QCOMPARE(action(main, "FilePrintSetup1")->statusTip(),
                     QString("Change default printer for this application"));
            QVERIFY(!action(main, "actCustomers")->icon().isNull());
        });
    }

    void productsEditsTheCatalogue()
    {
        TempDatabase database;
        MessageAnswers answers;
        bool editable = false;
        runWith(database.folder(), [&](TfrmMain &main) {
            onNextModal([&](QDialog &dialog) {
                editable = dialog.objectName() == "frmLookupItems" &&
                           !dialog.findChild<QCheckBox *>("chkReadOnly")->isChecked();
                QVERIFY(dmInvoice->conInvoice.inTransaction());
                dialog.reject();
            });
            QVERIFY(triggerAction(&main, "actProducts"));
            QVERIFY(!dmInvoice->conInvoice.inTransaction());
        });
        QVERIFY(editable);
    }

    void theInvoiceListReloadsOnTheRefreshRequest()
    {
        TempDatabase database(true);
        MessageAnswers answers;
        int before = -1, after = -1;
        runWith(database.folder(), [&](TfrmMain &main) {
            runIdleHandlers();
            QVERIFY(triggerAction(&main, "actInvoices"));
            QVERIFY(qobject_cast<TfrmInvoiceList *>(main.InvoiceList()));
            // Its menu stands in for the main window's Invoice menu.
            QTRY_VERIFY(main.menuBar()->actions().contains(menu(main, "mnuInvoiceList")->menuAction()));
            QVERIFY(!main.menuBar()->actions().contains(menu(main, "Invoice1")->menuAction()));
            before = dmInvoice->tblInvoiceList.recordCount();
            dmInvoice->conInvoice.execute("insert into INVOICE (CUST_ID, INVOICE_NO, INV_TYPE) values (1, 99, 'N')");
            dmInvoice->RequestInvoiceListRefresh();
            QTRY_COMPARE(dmInvoice->tblInvoiceList.recordCount(), before + 1);
            after = dmInvoice->tblInvoiceList.recordCount();
        });
        QCOMPARE(after, before + 1);
        QCOMPARE(userSettings()->value("Setting/InvoicesVisible").toString(), QString("1"));
    }

    void secondStartIsRefused()
    {
        TempDatabase database;
        MessageAnswers answers;
        int second = -1;
        runWith(database.folder(), [&](TfrmMain &main) {
            answers.clear();
            second = startProgram(database.folder());
            QVERIFY(main.isVisible());
        });
        QCOMPARE(second, 1);
        QVERIFY(!answers.shown().isEmpty());
        const MessageRequest &box = answers.shown().front();
        QCOMPARE(box.type, MsgType::Warning);
        QCOMPARE(box.caption, QString("Kvarnel already running?"));
        QCOMPARE(box.text, QString("Can't start a second session of Kvarnel. Activate the one already running in "
                                   "the backgroubd. Restart machine if problem persist."));
    }

    void listWindowsReopenAtTheirPlaces()
    {
        TempDatabase database;
        MessageAnswers answers;
        userSettings()->setValue("WindowState/TfrmFakeInvoices", placement(15, 25, 300, 200));
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                runIdleHandlers();
                QVERIFY(triggerAction(&main, "actCustomers"));
                QVERIFY(triggerAction(&main, "actInvoices"));
                QVERIFY(main.CustomerList() && main.InvoiceList());
                runIdleHandlers();
                QVERIFY(action(main, "WindowCascade1")->isEnabled());
                QCOMPARE(frameOf(main.InvoiceList())->geometry(), QRect(15, 25, 300, 200));
                frameOf(main.InvoiceList())->setGeometry(60, 70, 200, 150);
                frameOf(main.InvoiceList())->showMinimized();
            },
            useFakeLists);
        QCOMPARE(userSettings()->value("Setting/CustomersVisible").toString(), QString("1"));
        QCOMPARE(userSettings()->value("Setting/InvoicesVisible").toString(), QString("1"));
        QCOMPARE(storedPlacement("TfrmFakeInvoices"), QRect(15, 25, 300, 200)); // not the minimised one

        QStringList order;
        QRect invoicesAt;
        bool minimised = true;
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                QVERIFY(main.CustomerList() && main.InvoiceList());
                for (QMdiSubWindow *frame : main.mdiArea()->subWindowList(QMdiArea::CreationOrder))
                    order << frame->widget()->metaObject()->className();
                invoicesAt = frameOf(main.InvoiceList())->geometry();
                minimised = frameOf(main.InvoiceList())->isMinimized();
                // A closed list window clears its reference.
                frameOf(main.CustomerList())->close();
                QTRY_VERIFY(!main.CustomerList());
            },
            useFakeLists);
        QCOMPARE(order, QStringList({"TfrmFakeCustomers", "TfrmFakeInvoices"})); // customers first
        QCOMPARE(invoicesAt, QRect(15, 25, 300, 200));
        QVERIFY(!minimised);
        QCOMPARE(userSettings()->value("Setting/CustomersVisible").toString(), QString("0"));
    }

    void newCustomerAndNewInvoiceGoToTheCustomerList()
    {
        TempDatabase database;
        MessageAnswers answers;
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                runIdleHandlers();
                answers.clear();
                // Without a customer list: a warning, then the list opens; no invoice is started.
                QVERIFY(triggerAction(&main, "actNewInvoice"));
                QCOMPARE(answers.texts(), QStringList{uMsgStrs::sNoCustomerSelected()});
                auto *list = qobject_cast<TfrmFakeCustomers *>(main.CustomerList());
                QVERIFY(list);
                QCOMPARE(list->newInvoices, 0);
                QVERIFY(triggerAction(&main, "NewInvoice1"));
                QCOMPARE(list->newInvoices, 1);
                // New Customer opens the list when it is closed and starts a customer at once.
                frameOf(list)->close();
                QTRY_VERIFY(!main.CustomerList());
                QVERIFY(triggerAction(&main, "NewCustomer1"));
                list = qobject_cast<TfrmFakeCustomers *>(main.CustomerList());
                QVERIFY(list);
                QCOMPARE(list->newCustomers, 1);
            },
            useFakeLists);
    }

    void refreshRequestReachesTheListDuringAModalDialog()
    {
        TempDatabase database;
        MessageAnswers answers;
        bool seenInsideDialog = false;
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                auto *list = qobject_cast<TfrmFakeInvoices *>(main.ShowInvoiceList());
                QVERIFY(list);
                QDialog dialog(&main);
                QTimer poll;
                poll.callOnTimeout(&dialog, [&] {
                    if (list->refreshes == 1) {
                        seenInsideDialog = true;
                        dialog.accept();
                    }
                });
                QTimer::singleShot(10000, &dialog, &QDialog::reject);
                QTimer::singleShot(0, &dialog, [&] {
                    dmInvoice->RequestInvoiceListRefresh();
                    QCOMPARE(list->refreshes, 0); // delivered by the event loop, not at once
                    poll.start(5);
                });
                dialog.exec();
            },
            useFakeLists);
        QVERIFY(seenInsideDialog);
    }

    void ctrlTabTurnsPages()
    {
        TempDatabase database;
        MessageAnswers answers;
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                // A tabbed dialog of its own.
                QWidget dialog;
                FakePages tabs(&dialog);
                dialog.show();
                QApplication::setActiveWindow(&dialog);
                QVERIFY(QTest::qWaitForWindowActive(&dialog));
                tabs.grid->setFocus();
                QTRY_VERIFY(tabs.grid->hasFocus());
                QTest::keyClick(tabs.grid, Qt::Key_Tab, Qt::ControlModifier);
                QCOMPARE(tabs.pages->currentIndex(), 1);
                tabs.memo->setFocus();
                QTest::keyClick(tabs.memo, Qt::Key_Tab, Qt::ControlModifier);
                QCOMPARE(tabs.pages->currentIndex(), 2);
                QTest::keyClick(tabs.pages, Qt::Key_Tab, Qt::ControlModifier);
                QCOMPARE(tabs.pages->currentIndex(), 0); // around to the first page
                tabs.pages->setCurrentIndex(1);
                tabs.memo->setFocus();
                QTest::keyClick(tabs.memo, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
                QCOMPARE(tabs.pages->currentIndex(), 0);
                QCOMPARE(tabs.memo->toPlainText(), QString());
                dialog.close();

                // The same inside a child window of the main window.
                main.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&main));
                auto *list = qobject_cast<TfrmFakeCustomers *>(main.ShowCustomerList());
                QVERIFY(list);
                list->ui.pages->setCurrentIndex(1);
                list->ui.memo->setFocus();
                QTRY_VERIFY(list->ui.memo->hasFocus());
                QTest::keyClick(list->ui.memo, Qt::Key_Tab, Qt::ControlModifier);
                QCOMPARE(list->ui.pages->currentIndex(), 2);
                QCOMPARE(list->ui.memo->toPlainText(), QString());
            },
            useFakeLists);
    }

    void childMenusReplaceTheirGroup()
    {
        TempDatabase database;
        MessageAnswers answers;
        runWith(
            database.folder(),
            [&](TfrmMain &main) {
                const auto menus = [&] { return main.menuBar()->actions(); };
                QCOMPARE(menus().size(), 6);
                auto *list = qobject_cast<TfrmFakeCustomers *>(main.ShowCustomerList());
                QVERIFY(list);
                QTRY_COMPARE(main.mdiArea()->activeSubWindow(), frameOf(list));
                const auto ofMenu = [&](const char *name) { return menu(main, name)->menuAction(); };
                QCOMPARE(menus(), QList<QAction *>({ofMenu("File1"), list->menu->menuAction(), ofMenu("Invoice1"),
                                                    ofMenu("Reports1"), ofMenu("Window1"), ofMenu("Help1")}));
                frameOf(list)->close();
                QTRY_VERIFY(!main.CustomerList());
                QVERIFY(menus().contains(ofMenu("Customer1")));
            },
            useFakeLists);
    }

    void printSetupWarnsOncePerRun()
    {
        TempDatabase database;
        MessageAnswers answers;
        PrinterToPdf printer;
        printer.accept = false;
        const auto warnings = [&] { return answers.texts().count(uMsgStrs::sPrintEngineLimits()); };
        runWith(database.folder(), [&](TfrmMain &main) {
            QVERIFY(triggerAction(&main, "FilePrintSetup1")); // cancelled: no warning yet
            QCOMPARE(warnings(), 0);
            printer.accept = true;
            QVERIFY(triggerAction(&main, "FilePrintSetup1"));
            QVERIFY(triggerAction(&main, "FilePrintSetup1"));
            QCOMPARE(warnings(), 1);
        });
        runWith(database.folder(), [&](TfrmMain &main) { QVERIFY(triggerAction(&main, "FilePrintSetup1")); });
        QCOMPARE(printer.setups, 4);
        QCOMPARE(warnings(), 2);
        QVERIFY(answers.texts().contains(
            " 3rd party Print engin have limitations. In general it is unable to access most of the printersetting "
            "values. Pereffered settings for printer must be set up in operating system printer configuration."));
    }

    void savedPrinterIsSelectedAgain()
    {
        TempDatabase database;
        MessageAnswers answers;
        setPrinterSystem({[] { return QStringList{"Office", "Label"}; }, [] { return QString("Office"); }});
        userSettings()->setValue("Setting/PrinterName", "label");
        int shownIndex = -2;
        runWith(database.folder(), [&](TfrmMain &) {
            shownIndex = printerIndex();
            setPrinterIndex(0);
        });
        QCOMPARE(shownIndex, 1);
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(userSettings()->value("Setting/PrinterName").toString(), QString("Office"));
        // A remembered printer that is gone leaves the default one selected.
        userSettings()->setValue("Setting/PrinterName", "Gone");
        runWith(database.folder(), [&](TfrmMain &) { shownIndex = printerIndex(); });
        QCOMPARE(shownIndex, 0);
        setPrinterSystem({});
    }

    void languageSwitchesInPlace()
    {
        TempDatabase database;
        MessageAnswers answers;
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", database.filePath("tessund.NOR")));
        QString before, after, browse, caption, tip;
        runWith(database.folder(), [&](TfrmMain &main) {
            before = menu(main, "File1")->title();
            RegSettings().setLanguage(1044);
            RegSettings().SaveUserSettings();
            QTRY_COMPARE(menu(main, "File1")->title(), QString("&Fil"));
            browse = action(main, "actCustomers")->text();
            tip = action(main, "actCustomers")->toolTip();
            caption = main.windowTitle();
        });
        QCOMPARE(before, QString("&File"));
        QCOMPARE(browse, QString("Bla gjennom ..."));
        QVERIFY(!tip.isEmpty() && tip != QString("Customers"));
        QCOMPARE(caption, QString("Kvarnel"));
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("1044"));
        // The next start comes up in Norwegian, boxes included.
        runWith(database.folder(), [&](TfrmMain &main) { after = menu(main, "File1")->title(); });
        QCOMPARE(after, QString("&Fil"));
        QCOMPARE(answers.shown().last().caption, QString("Feil"));
        UnloadLanguageModule();
    }

    // The socket a second start looks for lies in the user's private runtime folder, where no other user can
    // take its name first. Without a safe folder there is no socket, and the program starts all the same.
    void instanceSocketIsPrivate_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("socketFolder"); // "runtime", "fallback" (in the temporary folder) or none
        QTest::newRow("the user's runtime folder") << "runtime 0700"
                                                   << "runtime";
        QTest::newRow("a socket left by a run that crashed") << "stale"
                                                             << "runtime";
        QTest::newRow("no runtime folder") << "unset"
                                           << "fallback";
        QTest::newRow("a runtime folder others may enter") << "runtime 0755"
                                                           << "fallback";
        QTest::newRow("a runtime folder that is a link") << "runtime link"
                                                         << "fallback";
        QTest::newRow("a relative runtime folder") << "runtime relative"
                                                   << "fallback";
        QTest::newRow("the fallback taken, open to all") << "fallback 0777"
                                                         << "";
        QTest::newRow("the fallback taken, a link") << "fallback link"
                                                    << "";
        QTest::newRow("the fallback taken by another user") << "fallback foreign"
                                                            << "";
    }
    void instanceSocketIsPrivate()
    {
        QFETCH(QString, setup);
        QFETCH(QString, socketFolder);
        TempDatabase database;
        QTemporaryDir places;
        const QString runtime = places.filePath("run"), temp = places.filePath("tmp");
        const QString fallback = temp + QStringLiteral("/tessund-%1").arg(::geteuid());
        QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(temp) && QDir().mkpath(places.filePath("elsewhere")));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::setPermissions(places.filePath("elsewhere"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldTemp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            oldRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", oldRuntime);
            oldTemp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTemp);
        });
        qputenv("TMPDIR", QFile::encodeName(temp));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        if (setup == QLatin1String("unset") || setup.startsWith(QLatin1String("fallback"))) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else if (setup == QLatin1String("runtime 0755")) {
            QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0755) == 0);
        } else if (setup == QLatin1String("runtime link")) {
            QVERIFY(QFile::link(places.filePath("elsewhere"), places.filePath("link")));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(places.filePath("link")));
        } else if (setup == QLatin1String("runtime relative")) {
            qputenv("XDG_RUNTIME_DIR", "run");
        }
        if (setup == QLatin1String("stale")) {
            // Bound and never removed: nobody listens on it any more.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(
                runtime + QStringLiteral("/Kvarnel-TfrmMain-%1").arg(QCoreApplication::applicationPid()));
            std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
            QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0);
            ::close(fd);
            QVERIFY(QFileInfo::exists(QFile::decodeName(path)));
        }
        if (setup == QLatin1String("fallback 0777")) {
            QVERIFY(QDir().mkdir(fallback) && ::chmod(QFile::encodeName(fallback).constData(), 0777) == 0);
        } else if (setup == QLatin1String("fallback link")) {
            QVERIFY(QFile::link(places.filePath("elsewhere"), fallback));
        } else if (setup == QLatin1String("fallback foreign")) {
            QVERIFY(QDir().mkdir(fallback) && ::chmod(QFile::encodeName(fallback).constData(), 0700) == 0);
            if (::chown(QFile::encodeName(fallback).constData(), 65534, 65534) != 0)
                QSKIP("only the superuser can give a folder to another user");
        }
        const QString expected = socketFolder == QLatin1String("runtime")    ? runtime
                                 : socketFolder == QLatin1String("fallback") ? fallback
                                                                             : QString();
        if (expected.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No private runtime folder"));

        MessageAnswers answers;
        QString name;
        bool running = false;
        QCOMPARE(runWith(database.folder(),
                         [&](TfrmMain &) {
                             name = instanceServerName();
                             running = programAlreadyRunning();
                         }),
                 0);
        if (expected.isEmpty()) {
            QCOMPARE(name, QString());
            QVERIFY(!running);
            return;
        }
        QCOMPARE(QFileInfo(name).absolutePath(), expected);
        QVERIFY(running);
        struct stat folder {};
        QVERIFY(::lstat(QFile::encodeName(expected).constData(), &folder) == 0);
        QVERIFY(S_ISDIR(folder.st_mode));
        QCOMPARE(folder.st_mode & 0777, mode_t(0700));
        QCOMPARE(folder.st_uid, ::geteuid());
        // Gone with the program.
        QVERIFY(!QFileInfo::exists(name));
        QVERIFY(!programAlreadyRunning());
    }

    // A language module damaged on the disk (a message's place in it flipped far outside the file) would
    // crash every start, the setting bringing it back each time: it is passed over, with a warning.
    void damagedLanguageModuleIsPassedOver()
    {
        TempDatabase database;
        MessageAnswers answers;
        QFile original(TESSUND_BIN_DIR "/tessund.NOR");
        QVERIFY(original.open(QIODevice::ReadOnly));
        QByteArray module = original.readAll();
        qsizetype at = 16;
        while (at + 5 <= module.size() && uchar(module[at]) != 0x42) // the hash table: hash, place, ...
            at += 5 + qFromBigEndian<quint32>(module.constData() + at + 1);
        QVERIFY(at + 5 + 8 <= module.size());
        module[at + 5 + 4] = char(module[at + 5 + 4] ^ 0x40);
        QFile damaged(database.filePath("tessund.NOR"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(module);
        damaged.close();
        userSettings()->setValue("Setting/LANGUAGE", "1044");
        UnloadLanguageModule();

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^The language module .*tessund.NOR is not used, the "
                                                              "built-in texts are: a message lies outside the file.$"));
        QString title;
        QCOMPARE(runWith(database.folder(), [&](TfrmMain &main) { title = menu(main, "File1")->title(); }), 0);
        QCOMPARE(title, QString("&File"));
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("1044"));
        userSettings()->remove("Setting/LANGUAGE");
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"
