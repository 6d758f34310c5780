#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/invoicing/fInvEdit.h"
#include "windows/invoicing/fInvList.h"
#include "windows/invoicing/fInvPay.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Today is 10 December 2026, 10:00. Invoice 1 is due today, 2 tomorrow, 3 has a paid date but no sum,
// 4 is long overdue, 5 is paid in full.
struct Business {
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    int ids[6] = {};

    Business()
    {
        const int kari = seedCustomer(dm.conInvoice, {{"CUST_NO", 1}, {"FIRSTNAME", "Kari"}, {"SURNAME", "Nordmann"}});
        const int ola = seedCustomer(dm.conInvoice, {{"CUST_NO", 2}, {"FIRSTNAME", "Ola"}, {"SURNAME", "Berg"}});
        const struct {
            int customer;
            const char *due, *paid;
            double sumPaid;
        } rows[] = {{kari, "2026-12-10", nullptr, 0},
                    {ola, "2026-12-11", nullptr, 0},
                    {kari, "2026-11-20", "2026-11-25", 0},
                    {ola, "2026-11-01", nullptr, 0},
                    {kari, "2026-11-15", "2026-11-14", 125.0}};
        for (int n = 1; n <= 5; ++n) {
            const auto &r = rows[n - 1];
            QVariantMap columns{{"CUST_ID", r.customer},
                                {"INVOICE_NO", n},
                                {"INVDATE", "2026-11-01 00:00:00"},
                                {"DUEDATE", QString(QString::fromLatin1(r.due) + " 00:00:00")},
                                {"INV_TYPE", "N"}};
            if (r.paid)
                columns.insert("PAIDDATE", QString(QString::fromLatin1(r.paid) + " 00:00:00"));
            if (r.sumPaid)
                columns.insert("SUMPAID", QVariant::fromValue(money(r.sumPaid)));
            ids[n] = seedInvoice(dm.conInvoice, columns, {{1, 100.0 * n, 25}});
        }
        dm.SetInvoiceListFilter(0);
    }
    QVariant scalar(const QString &sql) { return dm.conInvoice.scalar(sql); }
};

QStringList numbers(db::DataSet &ds)
{
    QStringList values;
    for (int row = 0; row < ds.recordCount(); ++row)
        values << ds.textAt(row, ds.fieldByName("INVOICE_NO"));
    return values;
}

struct ListWindow {
    TfrmInvoiceList w;
    DBGrid *grid = w.findChild<DBGrid *>("DBGrid1");
    db::DataSet &list = dmInvoice->tblInvoiceList;
    ListWindow()
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    void goTo(int number) { QVERIFY(list.locate("INVOICE_NO", number)); }
    bool red(int number)
    {
        for (int row = 0; row < list.recordCount(); ++row)
            if (list.valueAt(row, list.fieldByName("INVOICE_NO")).toInt() == number)
                return grid->rowBackground()(row).color() == QColor(255, 0, 0);
        return false;
    }
    void mark(std::initializer_list<int> rows)
    {
        grid->clearSelection();
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

} // namespace

class TestInvoiceList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void overdueRowsAreRedAndFiltersOutliveTheWindow()
    {
        Business b;
        {
            ListWindow l;
            QCOMPARE(l.w.windowTitle(), QString("Invoices"));
            QCOMPARE(numbers(l.list), QStringList({"1", "2", "3", "4", "5"}));
            QVERIFY(l.red(1));  // due today: 0 days overdue
            QVERIFY(!l.red(2)); // due tomorrow
            QVERIFY(!l.red(3)); // a paid date, even without the sum
            QVERIFY(l.red(4));
            QVERIFY(!l.red(5));
            QVERIFY(triggerAction(&l.w, "actFilterUnpaid"));
            QCOMPARE(numbers(l.list), QStringList({"1", "2", "3", "4"}));
            QVERIFY(triggerAction(&l.w, "actFilterOverdue"));
            QCOMPARE(numbers(l.list), QStringList({"1", "3", "4"}));
            l.w.close();
        }
        ListWindow again;
        QCOMPARE(numbers(again.list), QStringList({"1", "3", "4"}));
        QVERIFY(triggerAction(&again.w, "actFilterAll"));
        QCOMPARE(again.list.recordCount(), 5);
        again.w.close();
    }

    void titlesSortAndRefreshKeepsTheInvoice()
    {
        Business b;
        ListWindow l;
        auto clickTitle = [&](const char *field) { Q_EMIT l.grid->titleClicked(&l.list.fieldByName(field)); };
        l.goTo(3);
        clickTitle("NAME");
        QCOMPARE(numbers(l.list), QStringList({"1", "3", "5", "2", "4"})); // Kari before Ola
        QCOMPARE(l.list.fieldByName("INVOICE_NO").asInteger(), 3);
        clickTitle("DAYSOVERDUE"); // calculated: nothing happens
        QCOMPARE(numbers(l.list), QStringList({"1", "3", "5", "2", "4"}));
        QVERIFY(triggerAction(&l.w, "actRefresh"));
        QCOMPARE(numbers(l.list), QStringList({"1", "2", "3", "4", "5"}));
        QCOMPARE(l.list.fieldByName("INVOICE_NO").asInteger(), 3);
        l.w.close();
    }

    void deletingAsksPerInvoice()
    {
        Business b;
        MessageAnswers answers;
        ListWindow l;
        // No row marked: the current one, after Yes; the question has Yes and No only.
        l.grid->clearSelection();
        l.goTo(2);
        l.grid->clearSelection();
        QVERIFY(triggerAction(&l.w, "ActDelInvoice"));
        QCOMPARE(answers.texts(), QStringList{"Delete selected invoice # 2?"});
        QCOMPARE(answers.shown().first().buttons, MsgButtons::YesNo);
        QCOMPARE(numbers(l.list), QStringList({"1", "3", "4", "5"}));
        QCOMPARE(b.scalar("select count(*) from INVITEM").toInt(), 4); // its lines went with it
        // Four marked, No to All on the third asked: the first two asked are gone, the rest stay.
        answers.clear();
        answers.push(MsgAnswer::Yes);
        answers.push(MsgAnswer::Yes);
        answers.push(MsgAnswer::NoToAll);
        l.mark({0, 1, 2, 3});
        QTest::keyClick(l.grid, Qt::Key_Delete);
        QCOMPARE(answers.shown().size(), 3);
        QCOMPARE(answers.shown().first().buttons, MsgButtons::YesNoAll);
        QCOMPARE(l.list.recordCount(), 2);
        // A question closed without an answer stops the walk; Yes to All deletes the rest unasked.
        answers.clear();
        answers.push(MsgAnswer::Closed);
        l.mark({0, 1});
        QVERIFY(triggerAction(&l.w, "ActDelInvoice"));
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(l.list.recordCount(), 2);
        answers.clear();
        answers.push(MsgAnswer::YesToAll);
        l.mark({0, 1});
        QVERIFY(triggerAction(&l.w, "ActDelInvoice"));
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(l.list.recordCount(), 0);
        // Nothing to output in an empty list.
        QVERIFY(!l.w.findChild<QAction *>("actInvoicePrint")->isEnabled());
        l.w.close();
    }

    void editClosedWithOkReloadsTheList()
    {
        Business b;
        ListWindow l;
        l.goTo(2);
        onNextModal([](QDialog &dialog) {
            auto &edit = static_cast<TfrmInvoiceEdit &>(dialog);
            dmInvoice->tblInvoiceItems.edit();
            dmInvoice->tblInvoiceItems.fieldByName("NUM").setValue(3.0);
            edit.accept();
        });
        QTest::keyClick(l.grid, Qt::Key_Return);
        QCOMPARE(l.list.fieldByName("INVOICE_NO").asInteger(), 2);
        QCOMPARE(l.list.fieldByName("GROSSSUM").asMoney(), money(750));
        l.w.close();
    }

    void paymentsAreRegisteredInOneTransaction()
    {
        Business b;
        MessageAnswers answers;
        ListWindow l;
        db::DataSet &pay = dmInvoice->qryInvoicePay;
        // Started on the list's invoice; Yes fills today and the total, No clears both.
        l.goTo(4);
        onNextModal([&](QDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Invoice payment registration"));
            QCOMPARE(pay.fieldByName("INVOICE_NO").asInteger(), 4);
            pay.edit();
            pay.fieldByName("PAID").setText("Yes");
            QCOMPARE(pay.fieldByName("PAIDDATE").asDateTime(), QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
            QCOMPARE(pay.fieldByName("SUMPAID").asMoney(), money(500));
            pay.fieldByName("PAID").setText("No");
            QVERIFY(pay.fieldByName("PAIDDATE").isNull() && pay.fieldByName("SUMPAID").isNull());
            // A part payment on invoice 1, stored by OK.
            pay.cancel();
            QVERIFY(pay.locate("INVOICE_NO", 1));
            pay.edit();
            pay.fieldByName("PAIDDATE").setValue(wallClock(QDate(2026, 12, 9)));
            pay.fieldByName("SUMPAID").setText("50");
            QCOMPARE(pay.fieldByName("PAID").text(), QString("Yes"));
            dialog.findChild<QPushButton *>("btnOK")->click();
        });
        QVERIFY(triggerAction(&l.w, "actPayInvoice"));
        QCOMPARE(b.scalar("select SUMPAID from INVOICE where INVOICE_NO = 1").toLongLong(), 500000);
        QVERIFY(!b.dm.conInvoice.inTransaction());
        QVERIFY(!l.red(1)); // the list was reloaded
        QVERIFY(answers.shown().isEmpty());

        // Started on a paid invoice: the first row. Cancel after a change asks; No keeps, Yes discards.
        l.goTo(5);
        onNextModal([&](QDialog &dialog) {
            QCOMPARE(pay.recNo(), 0);
            QCOMPARE(pay.fieldByName("INVOICE_NO").asInteger(), 2); // 1 is paid in full now
            pay.edit();
            pay.fieldByName("PAID").setText("Yes");
            pay.post();
            answers.push(MsgAnswer::No);
            dialog.findChild<QPushButton *>("btnCancel")->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(answers.texts(), QStringList{"Closing window will not store changes to payments. Close anyway?"});
            QCOMPARE(answers.shown().first().type, MsgType::Warning);
            answers.push(MsgAnswer::Yes);
            dialog.close(); // the close box asks the same
        });
        QVERIFY(triggerAction(&l.w, "actPayInvoice"));
        QCOMPARE(answers.shown().size(), 2);
        QVERIFY(b.scalar("select PAIDDATE from INVOICE where INVOICE_NO = 2").isNull());
        QVERIFY(!b.dm.conInvoice.inTransaction());

        // A typed sum that is not a number is refused; nothing is stored. Without changes no question.
        answers.clear();
        onNextModal([&](QDialog &dialog) {
            auto *grid = dialog.findChild<DBGrid *>("DBGrid1");
            const int column = grid->dataModel()->columnOf("SUMPAID");
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(0, column));
            grid->edit(grid->currentIndex());
            QVERIFY(grid->isCellEditing());
            for (auto *editor : grid->viewport()->findChildren<QLineEdit *>())
                if (editor->isVisible())
                    QTest::keyClicks(editor, "mye");
            dialog.findChild<QPushButton *>("btnOK")->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(answers.texts().value(0),
                     QString("'mye' is not a valid floating point value for field 'Sum paid'"));
            answers.push(MsgAnswer::Yes);
            dialog.reject();
        });
        QVERIFY(triggerAction(&l.w, "actPayInvoice"));
        QVERIFY(b.scalar("select SUMPAID from INVOICE where INVOICE_NO = 2").isNull());
        answers.clear();
        onNextModal([](QDialog &dialog) { dialog.close(); });
        QVERIFY(triggerAction(&l.w, "actPayInvoice"));
        QVERIFY(answers.shown().isEmpty());
        l.w.close();
    }
};

QTEST_MAIN(TestInvoiceList)
#include "tst_invoice_list.moc"
