#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/Connection.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "widgets/IdleUpdate.h"
#include "widgets/Printers.h"
#include "windows/customers/fCustEdit.h"
#include "windows/customers/fCustList.h"
#include "windows/invoicing/fInvEdit.h"
#include "windows/main/Help.h"
#include "windows/main/Program.h"
#include "windows/main/fMain.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

namespace {

// Runs the program on the database; body runs once the main window stands, then the program ends.
void runWith(const QString &folder, const std::function<void(TfrmMain &)> &body)
{
    ProgramHooks hooks;
    hooks.shown = [&body](TfrmMain &main) {
        body(main);
        main.close();
    };
    runProgram(folder, hooks);
}

TfrmCustomerList *openList(TfrmMain &main)
{
    main.activateWindow();
    QApplication::setActiveWindow(&main);
    if (!QTest::qWaitForWindowActive(&main))
        return nullptr;
    runIdleHandlers();
    if (!triggerAction(&main, "actCustomers"))
        return nullptr;
    return qobject_cast<TfrmCustomerList *>(main.CustomerList());
}

QLineEdit *field(QWidget *window, const char *name)
{
    return window->findChild<QLineEdit *>(QLatin1String(name));
}

// Types into an edit of the window as a user does (the edit gets the focus first).
void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Three customers; the second one has two invoices.
struct Business {
    TempDatabase database;
    Business()
    {
        db::Connection c(QStringLiteral("seed"));
        c.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        c.open();
        const char *names[][2] = {{"Kari", "Nordmann"}, {"Ola", "Berg"}, {"Per", "Aas"}};
        int ids[3];
        for (int i = 0; i < 3; ++i)
            ids[i] = seedCustomer(c, {{"CUST_NO", i + 1}, {"FIRSTNAME", names[i][0]}, {"SURNAME", names[i][1]}});
        for (int n = 1; n <= 2; ++n)
            seedInvoice(c,
                        {{"CUST_ID", ids[1]},
                         {"INVOICE_NO", n},
                         {"INVDATE", "2026-12-01 00:00:00"},
                         {"DUEDATE", "2026-12-15 00:00:00"},
                         {"INV_TYPE", "N"}},
                        {{1, 100, 25}});
    }
};

} // namespace

class TestCustomerWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init() { userSettings()->clear(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    // F1 asks for the help of the focused control's window: the list's grid opens the customer list's.
    void f1InTheGridOpensTheListsHelp()
    {
        Business b;
        MessageAnswers answers;
        QList<int> asked;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            setHelpViewer([&](const HelpRequest &r) { asked << r.context; });
            TfrmCustomerList *list = openList(main);
            QVERIFY(list);
            auto *grid = list->findChild<DBGrid *>("gridCustomers");
            grid->setFocus();
            QTRY_VERIFY(grid->hasFocus());
            QTest::keyClick(grid, Qt::Key_F1);
        });
        setHelpViewer({});
        QCOMPARE(asked, QList<int>{1500});
    }

    void newCustomerWithPostalCompletionAndTheSaveQuestion()
    {
        Business b;
        MessageAnswers answers;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            answers.clear();
            TfrmCustomerList *list = openList(main);
            QVERIFY(list);
            db::DataSet &customers = dmInvoice->tblCustomer;
            QCOMPARE(customers.recordCount(), 3);
            QVERIFY(triggerAction(&main, "NewCustomer1"));
            TfrmCustomerEdit *edit = list->editWindow();
            QVERIFY(edit);
            QTRY_VERIFY(edit->isVisible());
            QCOMPARE(customers.state(), db::DataSet::State::Insert);
            QCOMPARE(customers.fieldByName("CUST_NO").asInteger(), 4);
            runIdleHandlers();
            QVERIFY(!list->findChild<QAction *>("actDataSetEdit")->isEnabled()); // being edited
            typeInto(field(edit, "edtFirstName"), "Solveig");
            typeInto(field(edit, "edtSurname"), "Larsen");
            // Tab from a known postal code to the lookup button fills an empty place and goes to the phone.
            typeInto(field(edit, "edtPostalCode"), "0150");
            QTest::keyClick(field(edit, "edtPostalCode"), Qt::Key_Tab);
            QCOMPARE(customers.fieldByName("POSTALADDRESS").asString(), QString("OSLO"));
            QTRY_VERIFY(field(edit, "edtPhone1")->hasFocus());
            // A place already there is replaced, and the focus stays on the button.
            typeInto(field(edit, "edtPostalCode"), "5003");
            QTest::keyClick(field(edit, "edtPostalCode"), Qt::Key_Tab);
            QCOMPARE(customers.fieldByName("POSTALADDRESS").asString(), QString("BERGEN"));
            QTRY_VERIFY(edit->findChild<QToolButton *>("btnPostalAdrLookup")->hasFocus());
            // Leaving by the mouse, or an unknown code, changes nothing.
            typeInto(field(edit, "edtPostalCode"), "0150");
            field(edit, "edtEmail")->setFocus();
            QCOMPARE(customers.fieldByName("POSTALADDRESS").asString(), QString("BERGEN"));
            typeInto(field(edit, "edtPostalCode"), "9999");
            QTest::keyClick(field(edit, "edtPostalCode"), Qt::Key_Tab);
            QCOMPARE(customers.fieldByName("POSTALADDRESS").asString(), QString("BERGEN"));
            QVERIFY(answers.shown().isEmpty());
            // The edit window closed by its close box keeps the change pending; closing the list asks.
            edit->parentWidget()->close();
            QTRY_VERIFY(!list->editWindow());
            answers.push(MsgAnswer::Cancel);
            list->parentWidget()->close();
            QCOMPARE(answers.texts(), QStringList{"Save the changes to this customer?"});
            QCOMPARE(answers.shown().first().buttons, MsgButtons::YesNoCancel);
            QVERIFY(main.CustomerList()); // Cancel: the list stays
            answers.push(MsgAnswer::Yes);
            list->parentWidget()->close();
            QTRY_VERIFY(!main.CustomerList());
        });
        TdmInvoice check(b.database.folder());
        QCOMPARE(check.conInvoice
                     .scalar("select FIRSTNAME || ' ' || SURNAME || ', ' || POSTALCODE || ' ' || "
                             "POSTALADDRESS from CUSTOMER where CUST_NO = 4")
                     .toString(),
                 QString("Solveig Larsen, 9999 BERGEN"));
    }

    void cancelDropsANewCustomerAndTheLookupStartsEditing()
    {
        Business b;
        MessageAnswers answers;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            answers.clear(); // the printer check of the start
            TfrmCustomerList *list = openList(main);
            QVERIFY(triggerAction(list, "actDataSetInsert"));
            TfrmCustomerEdit *edit = list->editWindow();
            typeInto(field(edit, "edtSurname"), "Ny");
            QVERIFY(edit->windowTitle().startsWith("Customer - "));
            edit->findChild<QPushButton *>("btnCancel")->click();
            QTRY_VERIFY(!list->editWindow());
            QCOMPARE(dmInvoice->tblCustomer.recordCount(), 3);
            // On a customer only shown: the completion does nothing, the lookup starts editing.
            QVERIFY(dmInvoice->tblCustomer.locate("CUST_NO", 1));
            QVERIFY(triggerAction(list, "actDataSetEdit"));
            edit = list->editWindow();
            QVERIFY(edit);
            QCOMPARE(edit->windowTitle(), QString("Customer - Kari Nordmann"));
            onNextModal([](QDialog &lookup) {
                QTest::keyClicks(lookup.findChild<QLineEdit *>("edtPostalAddress"), "trom");
                lookup.accept();
            });
            edit->findChild<QToolButton *>("btnPostalAdrLookup")->click();
            QCOMPARE(dmInvoice->tblCustomer.state(), db::DataSet::State::Edit);
            QVERIFY(dmInvoice->tblCustomer.fieldByName("POSTALADDRESS").asString().startsWith("TROM"));
            runIdleHandlers();
            QVERIFY(edit->findChild<QAction *>("actApply")->isEnabled());
            // OK in the lookup on an empty list changes nothing.
            const QString code = dmInvoice->tblCustomer.fieldByName("POSTALCODE").asString();
            onNextModal([](QDialog &lookup) {
                QTest::keyClicks(lookup.findChild<QLineEdit *>("edtPostalAddress"), "qqq");
                lookup.accept();
            });
            edit->findChild<QToolButton *>("btnPostalAdrLookup")->click();
            QCOMPARE(dmInvoice->tblCustomer.fieldByName("POSTALCODE").asString(), code);
            edit->findChild<QPushButton *>("btnOK")->click();
            QTRY_VERIFY(!list->editWindow());
            QCOMPARE(dmInvoice->tblCustomer.state(), db::DataSet::State::Browse);
            QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.texts().join(" | ")));
        });
    }

    // The edit window opens where and as large as it was left, however it was closed, also after a restart.
    void editWindowKeepsItsPlacement()
    {
        Business b;
        MessageAnswers answers;
        const QRect left(30, 40, 420, 450);
        const auto openEdit = [](TfrmCustomerList *list) -> QWidget * {
            if (!list || !triggerAction(list, "actDataSetEdit") || !list->editWindow())
                return nullptr;
            return list->editWindow()->parentWidget();
        };
        runWith(b.database.folder(), [&](TfrmMain &main) {
            TfrmCustomerList *list = openList(main);
            QWidget *frame = openEdit(list);
            QVERIFY(frame);
            frame->setGeometry(left);
            frame->close(); // the close box
            QTRY_VERIFY(!list->editWindow());
            for (const char *button : {"btnOK", "btnCancel"}) {
                frame = openEdit(list);
                QVERIFY(frame);
                QCOMPARE(frame->geometry(), left);
                list->editWindow()->findChild<QPushButton *>(button)->click();
                QTRY_VERIFY(!list->editWindow());
            }
            QVERIFY(openEdit(list)); // open when the program ends
        });
        runWith(b.database.folder(), [&](TfrmMain &main) {
            QWidget *frame = openEdit(openList(main));
            QVERIFY(frame);
            QCOMPARE(frame->geometry(), left);
        });
        // A stored size too small for the fields opens as large as they need, at its place.
        QByteArray tiny(16, '\0');
        const qint32 values[] = {30, 40, 120, 60};
        for (int i = 0; i < 4; ++i)
            qToLittleEndian<qint32>(values[i], tiny.data() + 4 * i);
        userSettings()->setValue("WindowState/TfrmCustomerEdit", tiny);
        runWith(b.database.folder(), [&](TfrmMain &main) {
            QWidget *frame = openEdit(openList(main));
            QVERIFY(frame);
            QCOMPARE(frame->pos(), left.topLeft());
            QCOMPARE(frame->size(), frame->minimumSizeHint());
        });
    }

    // A customer left pending by the edit window's close box is stored, not dropped, when the list is
    // re-read; a new record the user never touched goes.
    void refreshStoresWhatTheCloseBoxLeftPending()
    {
        Business b;
        MessageAnswers answers;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            answers.clear();
            TfrmCustomerList *list = openList(main);
            QVERIFY(list);
            db::DataSet &customers = dmInvoice->tblCustomer;
            for (const bool typed : {true, false}) {
                QVERIFY(triggerAction(list, "actDataSetInsert"));
                TfrmCustomerEdit *edit = list->editWindow();
                QVERIFY(edit);
                if (typed) {
                    typeInto(field(edit, "edtSurname"), "Larsen");
                    typeInto(field(edit, "edtEmail"), "s@larsen.no"); // the focus stays here
                }
                edit->parentWidget()->close();
                QTRY_VERIFY(!list->editWindow());
                QVERIFY(triggerAction(list, "DataSetRefresh1"));
                QCOMPARE(customers.state(), db::DataSet::State::Browse);
            }
            QCOMPARE(customers.recordCount(), 4);
            QCOMPARE(customers.fieldByName("SURNAME").asString(), QString("Larsen")); // still the current row
            QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.texts().join(" | ")));
        });
        TdmInvoice check(b.database.folder());
        QCOMPARE(check.conInvoice.scalar("select count(*) from CUSTOMER").toInt(), 4);
        QCOMPARE(check.conInvoice.scalar("select SURNAME || ' ' || EMAIL from CUSTOMER where CUST_NO = 4").toString(),
                 QString("Larsen s@larsen.no"));
    }

    void deletingCustomersTakesTheirInvoices()
    {
        Business b;
        MessageAnswers answers;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            TfrmCustomerList *list = openList(main);
            auto *grid = list->findChild<DBGrid *>("gridCustomers");
            // Closed without an answer: nothing deleted.
            answers.push(MsgAnswer::Closed);
            QVERIFY(triggerAction(list, "actDataSetDelete"));
            QCOMPARE(dmInvoice->tblCustomer.recordCount(), 3);
            for (int row : {0, 1, 2})
                grid->selectionModel()->select(grid->model()->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
            answers.clear();
            QVERIFY(triggerAction(list, "actDataSetDelete"));
            QCOMPARE(answers.texts(), QStringList{"Delete selected customer(s) and related invoices?"});
            QCOMPARE(dmInvoice->tblCustomer.recordCount(), 0);
            QCOMPARE(dmInvoice->conInvoice.scalar("select count(*) from INVOICE").toInt(), 0);
            QCOMPARE(dmInvoice->conInvoice.scalar("select count(*) from INVITEM").toInt(), 0);
            // New Invoice on an empty list does nothing and says nothing.
            answers.clear();
            QVERIFY(triggerAction(list, "actNewInvoice"));
            QVERIFY(answers.shown().isEmpty());
        });
    }

    void newInvoiceAsksTheInvoiceListToReloadOnlyAfterOk()
    {
        Business b;
        MessageAnswers answers;
        runWith(b.database.folder(), [&](TfrmMain &main) {
            int refreshes = 0;
            QObject::connect(dmInvoice, &TdmInvoice::invoicesChanged, &main, [&] { ++refreshes; });
            TfrmCustomerList *list = openList(main);
            QVERIFY(dmInvoice->tblCustomer.locate("CUST_NO", 2));
            auto *grid = list->findChild<DBGrid *>("gridCustomers");
            grid->selectAll(); // several marked: one invoice, for the current customer
            onNextModal([](QDialog &dialog) { static_cast<TfrmInvoiceEdit &>(dialog).reject(); });
            QVERIFY(triggerAction(list, "actNewInvoice"));
            QCoreApplication::processEvents();
            QCOMPARE(refreshes, 0);
            onNextModal([](QDialog &dialog) {
                QCOMPARE(dmInvoice->tblInvoiceEdit.fieldByName("CUST_ID").asInteger(),
                         dmInvoice->tblCustomer.fieldByName("CUST_ID").asInteger());
                static_cast<TfrmInvoiceEdit &>(dialog).accept();
            });
            QVERIFY(triggerAction(list, "actNewInvoice"));
            QTRY_COMPARE(refreshes, 1);
            QCOMPARE(dmInvoice->conInvoice.scalar("select count(*) from INVOICE where INVOICE_NO = 3").toInt(), 1);
            // The customer's invoices page lists it and opens it.
            QVERIFY(triggerAction(list, "actDataSetEdit"));
            TfrmCustomerEdit *edit = list->editWindow();
            edit->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(1);
            QCOMPARE(dmInvoice->qryCustInvoiceList.recordCount(), 3);
            onNextModal([](QDialog &dialog) {
                dmInvoice->tblInvoiceItems.append();
                dmInvoice->tblInvoiceItems.fieldByName("NUM").setValue(1.0);
                dmInvoice->tblInvoiceItems.fieldByName("NETPRICE").setValue(QVariant::fromValue(money(80)));
                dmInvoice->tblInvoiceItems.fieldByName("VAT").setValue(25.0);
                static_cast<TfrmInvoiceEdit &>(dialog).accept();
            });
            QVERIFY(dmInvoice->qryCustInvoiceList.locate("INVOICE_NO", 3));
            QTest::keyClick(edit->findChild<DBGrid *>("gridInvliceList"), Qt::Key_Return);
            QVERIFY(dmInvoice->qryCustInvoiceList.locate("INVOICE_NO", 3));
            QCOMPARE(dmInvoice->qryCustInvoiceList.fieldByName("GROSSSUM").asMoney(), money(100));
        });
    }

    // The road of one invoice through the program's own windows and commands: a customer, an invoice with
    // a typed and a picked item, rounded, printed, stored; then paid; and all of it there after a restart.
    void theRoadOfOneInvoice()
    {
        TempDatabase database;
        {
            db::Connection c(QStringLiteral("seed"));
            c.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
            c.open();
            seedItem(c, {{"ITEM_NO", "KONS"},
                         {"ITEM_DESC", "Konsulenttime"},
                         {"NETPRICE", QVariant::fromValue(money(950))},
                         {"VAT", 25.0}});
            seedItem(c, {{"ITEM_NO", "KAFFE"},
                         {"ITEM_DESC", "Kaffe 500 g"},
                         {"NETPRICE", QVariant::fromValue(money(89.9))},
                         {"VAT", 15.0}});
        }
        MessageAnswers answers;
        PrinterToPdf printer;
        runWith(database.folder(), [&](TfrmMain &main) {
            answers.clear();
            // The printer the program prints on writes PDF (the start forgot the test's printer).
            currentPrinter().setOutputFormat(QPrinter::PdfFormat);
            currentPrinter().setOutputFileName(printer.path());
            TfrmCustomerList *list = openList(main);
            QVERIFY(triggerAction(&main, "actInvoices"));
            QVERIFY(triggerAction(&main, "NewCustomer1"));
            TfrmCustomerEdit *edit = list->editWindow();
            typeInto(field(edit, "edtFirstName"), "Kari");
            typeInto(field(edit, "edtSurname"), "Nordmann");
            typeInto(field(edit, "edtPostalCode"), "0150");
            QTest::keyClick(field(edit, "edtPostalCode"), Qt::Key_Tab);
            edit->findChild<QPushButton *>("btnOK")->click();
            QCOMPARE(dmInvoice->tblCustomer.state(), db::DataSet::State::Browse);

            onNextModal([&](QDialog &dialog) {
                auto &window = static_cast<TfrmInvoiceEdit &>(dialog);
                QApplication::setActiveWindow(&window);
                QVERIFY(QTest::qWaitForWindowActive(&window));
                auto *grid = window.findChild<DBGrid *>("gridInvItems");
                grid->setFocus();
                db::DataSet &lines = dmInvoice->tblInvoiceItems;
                auto typeCell = [&](const char *column, const QString &text) {
                    grid->setCurrentIndex(grid->model()->index(lines.recNo(), grid->dataModel()->columnOf(column)));
                    grid->edit(grid->currentIndex());
                    for (auto *editor : grid->viewport()->findChildren<QLineEdit *>())
                        if (editor->isVisible()) {
                            editor->selectAll();
                            QTest::keyClicks(editor, text);
                            QTest::keyClick(editor, Qt::Key_Tab);
                        }
                };
                // A typed item code, then a picked one.
                QTest::keyClick(grid, Qt::Key_Insert);
                typeCell("ITEM_NO", "KONS");
                QCOMPARE(lines.fieldByName("ITEM_DESC").asString(), QString("Konsulenttime"));
                typeCell("NUM", "3");
                QTest::keyClick(grid, Qt::Key_Insert);
                onNextModal([](QDialog &lookup) {
                    dmInvoice->tblLookupItem.locate("ITEM_NO", "KAFFE");
                    lookup.accept();
                });
                grid->setCurrentIndex(grid->model()->index(lines.recNo(), 0));
                grid->edit(grid->currentIndex());
                for (auto *editor : grid->viewport()->findChildren<QLineEdit *>())
                    if (editor->isVisible())
                        editor->findChild<QAction *>("actItemLookup")->trigger();
                QTRY_COMPARE(lines.fieldByName("ITEM_NO").asString(), QString("KAFFE"));
                QApplication::setActiveWindow(&window);
                typeCell("NUM", "1");
                runIdleHandlers();
                QVERIFY(triggerAction(&window, "actApply"));
                runIdleHandlers();
                QCOMPARE(dmInvoice->conInvoice.scalar("select group_concat(ITEM_NO, ',') from INVITEM").toString(),
                         QString("KONS,KAFFE"));
                QVERIFY(triggerAction(&window, "actRound"));
                runIdleHandlers();
                QVERIFY(triggerAction(&window, "actPrint"));
                // The invoice list, reloaded while this window is open, shows the print date.
                QTRY_VERIFY(dmInvoice->tblInvoiceList.locate("INVOICE_NO", 1) &&
                            !dmInvoice->tblInvoiceList.fieldByName("PRINTDATE").isNull());
                window.accept();
            });
            QVERIFY(triggerAction(&main, "NewInvoice1"));
            QVERIFY(QFile::exists(printer.path()));
            QTRY_COMPARE(dmInvoice->tblInvoiceList.recordCount(), 1);
            const Money total = dmInvoice->tblInvoiceList.fieldByName("GROSSSUM").asMoney();
            QCOMPARE(total.units() % Money::Scale, 0); // rounded to whole kroner
            QCOMPARE(total, storedLineTotals(dmInvoice->conInvoice,
                                             dmInvoice->tblInvoiceList.fieldByName("INV_ID").asInteger())
                                .gross);
            QCOMPARE(dmInvoice->conInvoice.scalar("select count(*) from INVITEM").toInt(),
                     3); // two items and the rounding

            // The payment, registered from the invoice list.
            onNextModal([](QDialog &pay) {
                dmInvoice->qryInvoicePay.edit();
                dmInvoice->qryInvoicePay.fieldByName("PAID").setText("Yes");
                pay.findChild<QPushButton *>("btnOK")->click();
            });
            QVERIFY(triggerAction(main.InvoiceList(), "actPayInvoice"));
            QVERIFY(!dmInvoice->tblInvoiceList.fieldByName("PAIDDATE").isNull());
        });
        // Everything is there at the next start.
        runWith(database.folder(), [&](TfrmMain &main) {
            QVERIFY(main.CustomerList() && main.InvoiceList()); // both reopened
            db::DataSet &invoices = dmInvoice->tblInvoiceList;
            QCOMPARE(invoices.recordCount(), 1);
            QCOMPARE(invoices.fieldByName("NAME").asString(), QString("Kari Nordmann"));
            QVERIFY(invoices.fieldByName("GROSSSUM").asMoney() > Money());
            QVERIFY(!invoices.fieldByName("PRINTDATE").isNull());
            QCOMPARE(invoices.fieldByName("SUMPAID").asMoney(), invoices.fieldByName("GROSSSUM").asMoney());
            QCOMPARE(dmInvoice->conInvoice.scalar("select count(*) from INVITEM where ITEM_ID = 9999").toInt(), 1);
            QCOMPARE(dmInvoice->conInvoice.scalar("select POSTALADDRESS from CUSTOMER").toString(), QString("OSLO"));
        });
    }
};

QTEST_MAIN(TestCustomerWindows)
#include "tst_customer_windows.moc"
