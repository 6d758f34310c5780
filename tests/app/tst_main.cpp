#include "TestSupport.h"
#include "app/Program.h"
#include "app/fMain.h"
#include "app/uMisc.h"
#include "app/uMsgStrs.h"
#include "platform/widgets/IdleUpdate.h"
#include "platform/widgets/InvoiceListRefresh.h"
#include "platform/widgets/Printers.h"
#include "settings/uConfig.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QtEndian>

#include <deque>
#include <functional>

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Halvgard"), QStringLiteral("Tessund"));
}

QRect storedPlacement(const QString &windowClass)
{
    const QByteArray bytes = store().value("WindowState/" + windowClass).toByteArray();
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
int runWith(const QString &folder, const std::function<void()> &body)
{
    QTimer::singleShot(0, qApp, [body] {
        body();
        if (frmMain)
            frmMain->close();
    });
    return runProgram(folder);
}

// Stand-ins for the list windows: a refresh command, and a page control with a grid and a memo.
class TfrmFakeList : public QWidget {
    Q_OBJECT
public:
    TfrmFakeList()
    {
        resize(320, 240);
        auto *refresh = new QAction(this);
        refresh->setObjectName("actRefresh");
        connect(refresh, &QAction::triggered, this, [this] { ++refreshes; });
        pages = new QTabWidget(this);
        grid = new QTableView;
        grid->setModel(new QStandardItemModel(3, 3, grid));
        memo = new QPlainTextEdit;
        pages->addTab(grid, "Grid");
        pages->addTab(memo, "Memo");
        pages->addTab(new QWidget, "Third");
        (new QVBoxLayout(this))->addWidget(pages);
    }
    int refreshes = 0;
    QTabWidget *pages;
    QTableView *grid;
    QPlainTextEdit *memo;
};
class TfrmFakeCustomers : public TfrmFakeList {
    Q_OBJECT
public:
    TfrmFakeCustomers()
    {
        menu = new QMenu("&Customer", this);
        setMenuGroup(menu, 30);
    }
    QMenu *menu;
};
class TfrmFakeInvoices : public TfrmFakeList {
    Q_OBJECT
};

QMdiSubWindow *frameOf(QWidget *window)
{
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

const QString NoPrinter = "There is no default printer currently selected";

} // namespace

class TestMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init()
    {
        store().clear();
        setCustomerListFactory({});
        setInvoiceListFactory({});
        setPrintSetupDialog({});
    }

    void standardErrorBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no stop") << "Disk full"
                                 << "Disk full.";
        QTest::newRow("stop") << "Disk full."
                              << "Disk full.";
        QTest::newRow("blank") << "Disk full "
                               << "Disk full ";
        QTest::newRow("comma") << "Disk,"
                               << "Disk,";
        QTest::newRow("hyphen") << "Disk-"
                                << "Disk-";
        QTest::newRow("question mark sorts after") << "Full?"
                                                   << "Full?.";
        QTest::newRow("empty") << ""
                               << "";
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
        const int status = runWith(database.folder(), [&] {
            shownAt = frmMain->geometry();
            caption = frmMain->windowTitle();
            // Commands without a window in the program yet, and the window commands without children.
            runIdleHandlers();
            QVERIFY(!frmMain->WindowCascade1->isEnabled());
            QVERIFY(!frmMain->actCustomers->isEnabled());
            QVERIFY(!frmMain->actReports->isEnabled());
            QCOMPARE(frmMain->actReports->shortcut(), QKeySequence("Ctrl+R"));
            QCOMPARE(frmMain->actCustomers->toolTip(), QString("Customers"));
            QCOMPARE(frmMain->actCustomers->statusTip(), QString("Show or activate customer list window"));
            RequestInvoiceListRefresh(); // no invoice list: nothing happens
        });
        QCOMPARE(status, 0);
        QCOMPARE(caption, QString("Kvarnel"));
        QCOMPARE(shownAt, QRect(268, 157, 725, 584));
        QCOMPARE(answers.texts(), QStringList({NoPrinter + "\nPrint and preview will not work.", NoPrinter}));
        QCOMPARE(answers.shown().at(0).type, MsgType::Warning);
        QCOMPARE(answers.shown().at(1).type, MsgType::Error);
        QCOMPARE(store().value("Setting/CustomersVisible").toString(), QString("0"));
        QCOMPARE(store().value("Setting/InvoicesVisible").toString(), QString("0"));
        QVERIFY(!store().contains("Setting/PrinterName"));
        QCOMPARE(storedPlacement("TfrmMain"), QRect(268, 157, 725, 584));
        QVERIFY(!programAlreadyRunning());

        // The saved placement is used at the next start.
        store().setValue("WindowState/TfrmMain", placement(40, 50, 600, 420));
        runWith(database.folder(), [&] { shownAt = frmMain->geometry(); });
        QCOMPARE(shownAt, QRect(40, 50, 600, 420));
    }

    void secondStartIsRefused()
    {
        TempDatabase database;
        MessageAnswers answers;
        int second = -1;
        TfrmMain *first = nullptr;
        runWith(database.folder(), [&] {
            first = frmMain;
            answers.clear();
            second = startProgram(database.folder());
            QCOMPARE(frmMain, first);
            QVERIFY(frmMain->isVisible());
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
        setCustomerListFactory([] { return new TfrmFakeCustomers; });
        setInvoiceListFactory([] { return new TfrmFakeInvoices; });
        store().setValue("WindowState/TfrmFakeInvoices", placement(15, 25, 300, 200));
        runWith(database.folder(), [&] {
            runIdleHandlers();
            QVERIFY(frmMain->actCustomers->isEnabled());
            frmMain->actCustomers->trigger();
            frmMain->actInvoices->trigger();
            QVERIFY(frmCustomers && frmInvoices);
            runIdleHandlers();
            QVERIFY(frmMain->WindowCascade1->isEnabled());
            QCOMPARE(frameOf(frmInvoices)->geometry(), QRect(15, 25, 300, 200));
            frameOf(frmInvoices)->setGeometry(60, 70, 200, 150);
            frameOf(frmInvoices)->showMinimized();
        });
        QCOMPARE(store().value("Setting/CustomersVisible").toString(), QString("1"));
        QCOMPARE(store().value("Setting/InvoicesVisible").toString(), QString("1"));
        QCOMPARE(storedPlacement("TfrmFakeInvoices"), QRect(15, 25, 300, 200)); // not the minimised one

        QStringList order;
        QRect invoicesAt;
        bool minimised = true;
        runWith(database.folder(), [&] {
            QVERIFY(frmCustomers && frmInvoices);
            for (QMdiSubWindow *frame : frmMain->mdiArea()->subWindowList(QMdiArea::CreationOrder))
                order << frame->widget()->metaObject()->className();
            invoicesAt = frameOf(frmInvoices)->geometry();
            minimised = frameOf(frmInvoices)->isMinimized();
            // A closed list window clears its reference.
            frameOf(frmCustomers)->close();
            QTRY_VERIFY(!frmCustomers);
        });
        QCOMPARE(order, QStringList({"TfrmFakeCustomers", "TfrmFakeInvoices"})); // customers first
        QCOMPARE(invoicesAt, QRect(15, 25, 300, 200));
        QVERIFY(!minimised);
        QCOMPARE(store().value("Setting/CustomersVisible").toString(), QString("0"));
    }

    void refreshRequestReachesTheListDuringAModalDialog()
    {
        TempDatabase database;
        MessageAnswers answers;
        setInvoiceListFactory([] { return new TfrmFakeInvoices; });
        bool seenInsideDialog = false;
        runWith(database.folder(), [&] {
            auto *list = static_cast<TfrmFakeList *>(frmMain->ShowInvoiceList());
            QDialog dialog(frmMain);
            QTimer poll;
            poll.callOnTimeout(&dialog, [&] {
                if (list->refreshes == 1) {
                    seenInsideDialog = true;
                    dialog.accept();
                }
            });
            QTimer::singleShot(10000, &dialog, &QDialog::reject);
            QTimer::singleShot(0, &dialog, [&] {
                RequestInvoiceListRefresh();
                poll.start(5);
            });
            dialog.exec();
        });
        QVERIFY(seenInsideDialog);
    }

    void ctrlTabTurnsPages()
    {
        TempDatabase database;
        MessageAnswers answers;
        setCustomerListFactory([] { return new TfrmFakeCustomers; });
        runWith(database.folder(), [&] {
            // A tabbed dialog of its own.
            TfrmFakeList dialog;
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            dialog.grid->setFocus();
            QTRY_VERIFY(dialog.grid->hasFocus());
            QTest::keyClick(dialog.grid, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(dialog.pages->currentIndex(), 1);
            dialog.memo->setFocus();
            QTest::keyClick(dialog.memo, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(dialog.pages->currentIndex(), 2);
            QTest::keyClick(dialog.pages, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(dialog.pages->currentIndex(), 0); // around to the first page
            dialog.pages->setCurrentIndex(1);
            dialog.memo->setFocus();
            QTest::keyClick(dialog.memo, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(dialog.pages->currentIndex(), 0);
            QCOMPARE(dialog.memo->toPlainText(), QString());
            dialog.close();

            // The same inside a child window of the main window.
            frmMain->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(frmMain));
            auto *list = static_cast<TfrmFakeList *>(frmMain->ShowCustomerList());
            list->pages->setCurrentIndex(1);
            list->memo->setFocus();
            QTRY_VERIFY(list->memo->hasFocus());
            QTest::keyClick(list->memo, Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(list->pages->currentIndex(), 2);
            QCOMPARE(list->memo->toPlainText(), QString());
        });
    }

    void childMenusReplaceTheirGroup()
    {
        TempDatabase database;
        MessageAnswers answers;
        setCustomerListFactory([] { return new TfrmFakeCustomers; });
        runWith(database.folder(), [&] {
            const auto menus = [] { return frmMain->menuBar()->actions(); };
            QCOMPARE(menus().size(), 6);
            auto *list = static_cast<TfrmFakeCustomers *>(frmMain->ShowCustomerList());
            QTRY_COMPARE(frmMain->mdiArea()->activeSubWindow(), frameOf(list));
            QCOMPARE(menus(), QList<QAction *>({frmMain->File1->menuAction(), list->menu->menuAction(),
                                                frmMain->Invoice1->menuAction(), frmMain->Reports1->menuAction(),
                                                frmMain->Window1->menuAction(), frmMain->Help1->menuAction()}));
            frameOf(list)->close();
            QTRY_VERIFY(!frmCustomers);
            QVERIFY(menus().contains(frmMain->Customer1->menuAction()));
        });
    }

    void printSetupWarnsOncePerRun()
    {
        TempDatabase database;
        MessageAnswers answers;
        std::deque<bool> accepted{false, true, true, true};
        setPrintSetupDialog([&](QPrinter &, QWidget *) {
            const bool a = accepted.front();
            accepted.pop_front();
            return a;
        });
        const auto warnings = [&] { return answers.texts().count(uMsgStrs::sPrintEngineLimits()); };
        runWith(database.folder(), [&] {
            frmMain->FilePrintSetup1->trigger(); // cancelled: no warning yet
            QCOMPARE(warnings(), 0);
            frmMain->FilePrintSetup1->trigger();
            frmMain->FilePrintSetup1->trigger();
            QCOMPARE(warnings(), 1);
        });
        runWith(database.folder(), [&] { frmMain->FilePrintSetup1->trigger(); });
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
        store().setValue("Setting/PrinterName", "label");
        int shownIndex = -2;
        runWith(database.folder(), [&] {
            shownIndex = printerIndex();
            setPrinterIndex(0);
        });
        QCOMPARE(shownIndex, 1);
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(store().value("Setting/PrinterName").toString(), QString("Office"));
        // A remembered printer that is gone leaves the default one selected.
        store().setValue("Setting/PrinterName", "Gone");
        runWith(database.folder(), [&] { shownIndex = printerIndex(); });
        QCOMPARE(shownIndex, 0);
        setPrinterSystem({});
    }

    void languageSwitchesInPlace()
    {
        TempDatabase database;
        MessageAnswers answers;
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", database.filePath("tessund.NOR")));
        QString before, after, browse, caption;
        runWith(database.folder(), [&] {
            before = frmMain->File1->title();
            RegSettings().setLanguage(1044);
            RegSettings().SaveUserSettings();
            QTRY_COMPARE(frmMain->File1->title(), QString("&Fil"));
            browse = frmMain->actCustomers->text();
            caption = frmMain->windowTitle();
        });
        QCOMPARE(before, QString("&File"));
        QCOMPARE(browse, QString("Bla gjennom ..."));
        QCOMPARE(caption, QString("Kvarnel"));
        QCOMPARE(store().value("Setting/LANGUAGE").toString(), QString("1044"));
        // The next start comes up in Norwegian, boxes included.
        runWith(database.folder(), [&] { after = frmMain->File1->title(); });
        QCOMPARE(after, QString("&Fil"));
        QCOMPARE(answers.shown().last().caption, QString("Feil"));
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"
