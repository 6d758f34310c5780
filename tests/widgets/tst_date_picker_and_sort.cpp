#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/DataSet.h"
#include "core/Errors.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "widgets/DatePicker.h"
#include "widgets/SortDataSet.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {

QStringList column(db::DataSet &ds, const char *field)
{
    QStringList values;
    for (int row = 0; row < ds.recordCount(); ++row)
        values << ds.textAt(row, ds.fieldByName(QLatin1String(field)));
    return values;
}

// A window with one date edit over the PAIDDATE of two invoices: the first unpaid, the second paid on
// 2026-11-20.
struct DateWindow {
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    std::unique_ptr<db::DataSet> invoices;
    QWidget window;
    DBEdit *edit;

    DateWindow()
    {
        const int customer = seedCustomer(dm.conInvoice, {{"CUST_NO", 1}, {"SURNAME", "Nordmann"}});
        seedInvoice(dm.conInvoice, {{"CUST_ID", customer}, {"INVOICE_NO", 1}, {"INVDATE", "2026-11-01 00:00:00"}});
        seedInvoice(dm.conInvoice, {{"CUST_ID", customer},
                                    {"INVOICE_NO", 2},
                                    {"INVDATE", "2026-11-02 00:00:00"},
                                    {"PAIDDATE", "2026-11-20 00:00:00"}});
        invoices = tableDataSet(dm.conInvoice, QStringLiteral("INVOICE"));
        invoices->open();
        auto *layout = new QVBoxLayout(&window);
        edit = new DBEdit;
        edit->setObjectName(QStringLiteral("edtPaidDate"));
        layout->addWidget(edit);
        layout->addWidget(new QLineEdit); // somewhere else for the focus to be
        edit->setField(invoices.get(), QStringLiteral("PAIDDATE"));
    }
    TInjectedDateTimePicker *picker() const { return window.findChild<TInjectedDateTimePicker *>(); }
    db::Field &paidDate() { return invoices->fieldByName(QStringLiteral("PAIDDATE")); }
};

} // namespace

class TestDatePickerAndSort : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void sortDataSetKeepsTheCurrentRow()
    {
        FixedClock clock(QDate(2026, 12, 10));
        TempDatabase database(true);
        TdmInvoice dm(database.folder());
        db::DataSet &list = dm.tblInvoiceList;
        dm.SetInvoiceListFilter(0);
        list.setRecNo(5);
        const int current = list.fieldByName(QStringLiteral("INV_ID")).asInteger();
        const QStringList unsorted = column(list, "INV_ID");

        QVERIFY(SortDataSet(&list, QStringLiteral("NAME")));
        QCOMPARE(list.fieldByName(QStringLiteral("INV_ID")).asInteger(), current);
        QStringList names = column(list, "NAME");
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
        QCOMPARE(names.first(), sorted.first());

        // A field the program calculates, one the list does not have, a closed list: no, and no change.
        const QStringList byName = column(list, "INV_ID");
        QVERIFY(!SortDataSet(&list, QStringLiteral("DAYSOVERDUE")));
        QVERIFY(!SortDataSet(&list, QStringLiteral("NOSUCHFIELD")));
        QVERIFY(!SortDataSet(nullptr, QStringLiteral("NAME")));
        QCOMPARE(column(list, "INV_ID"), byName);
        QCOMPARE(list.fieldByName(QStringLiteral("INV_ID")).asInteger(), current);
        // An empty name: the order of the query again.
        QVERIFY(SortDataSet(&list, QString()));
        QCOMPARE(column(list, "INV_ID"), unsorted);
        list.close();
        QVERIFY(!SortDataSet(&list, QStringLiteral("NAME")));
    }

    void pickerRefusesEditsItCannotServe()
    {
        DateWindow w;
        QCOMPARE(errorOf([] { InjectDateTimePicker(nullptr); }),
                 QString("Can't inject DBDateTimePicker for \"nil\" control"));
        w.edit->OnKeyDown = [](QKeyEvent *) {};
        QCOMPARE(errorOf([&] { InjectDateTimePicker(w.edit); }),
                 QString("Can't inject DBDateTimePicker for TDBEdit \"edtPaidDate\" with overridden OnKeyDown"));
        w.edit->OnKeyDown = nullptr;
        w.edit->OnChange = [] {};
        QCOMPARE(errorOf([&] { InjectDateTimePicker(w.edit); }),
                 QString("Can't inject DBDateTimePicker for TDBEdit \"edtPaidDate\" with overridden OnChange"));
        QVERIFY(!w.picker());
    }

    void pickerFollowsTheFieldAndWritesWholeDays()
    {
        FixedClock clock(QDate(2026, 12, 10), QTime(15, 45));
        DateWindow w;
        InjectDateTimePicker(w.edit);
        TInjectedDateTimePicker *picker = w.picker();
        QVERIFY(picker);
        QCOMPARE(picker->focusPolicy(), Qt::NoFocus); // not in the Tab order
        QVERIFY(w.edit->OnKeyDown && w.edit->OnChange);

        // An empty field: an empty edit, a calendar that opens on today.
        QCOMPARE(w.edit->text(), QString());
        QCOMPARE(picker->dateTime(), QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
        QCOMPARE(w.invoices->state(), db::DataSet::State::Browse);

        // The zero date counts as empty.
        w.paidDate().dataSet().edit();
        w.paidDate().setValue(QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(picker->dateTime().date(), QDate(2026, 12, 10));
        w.invoices->cancel();

        // Another record: the picker shows its date; picking that date again changes nothing.
        w.invoices->next();
        QCOMPARE(picker->dateTime().date(), QDate(2026, 11, 20));
        picker->pick(QDate(2026, 11, 20));
        QCOMPARE(w.invoices->state(), db::DataSet::State::Browse);

        // Picking a day fills the field with that day at midnight and puts the record into editing.
        w.invoices->first();
        picker->pick(QDate(2026, 12, 24));
        QCOMPARE(w.invoices->state(), db::DataSet::State::Edit);
        QCOMPARE(w.paidDate().asDateTime(), QDateTime(QDate(2026, 12, 24), QTime(0, 0)));
        QVERIFY(w.edit->text().contains(QLatin1String("24")));
        w.invoices->post();
        QCOMPARE(w.dm.conInvoice.scalar("select PAIDDATE from INVOICE where INVOICE_NO = 1").toString(),
                 QString("2026-12-24 00:00:00"));

        // The picker goes with its window's edit hooks.
        delete picker;
        QVERIFY(!w.edit->OnKeyDown && !w.edit->OnChange);
    }

    void altDownAndF4OpenTheCalendarAndClosingGivesTheFocusBack()
    {
        DateWindow w;
        InjectDateTimePicker(w.edit);
        TInjectedDateTimePicker *picker = w.picker();
        w.window.show();
        QApplication::setActiveWindow(&w.window);
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        // The button stands right of the edit, in the edit's place in the layout.
        QVERIFY(picker->isVisible());
        QVERIFY(picker->geometry().left() >= w.edit->geometry().right());

        for (const auto &[key, modifiers] :
             {std::pair{Qt::Key_Down, Qt::AltModifier}, std::pair{Qt::Key_F4, Qt::NoModifier}}) {
            w.edit->setFocus();
            QTRY_VERIFY(w.edit->hasFocus());
            QTest::keyClick(w.edit, key, modifiers);
            QTRY_VERIFY(picker->isCalendarOpen());
            QTest::keyClick(picker->calendar(), Qt::Key_Escape);
            QTRY_VERIFY(!picker->isCalendarOpen());
            QTRY_VERIFY(w.edit->hasFocus());
        }
        // Down alone does not open it.
        QTest::keyClick(w.edit, Qt::Key_Down);
        QVERIFY(!picker->isCalendarOpen());

        // A date typed into the edit is stored when the edit is left; the picker follows it.
        w.edit->selectAll();
        QTest::keyClicks(w.edit, QDate(2026, 10, 5).toString(QLocale().dateFormat(QLocale::ShortFormat)));
        w.window.findChildren<QLineEdit *>().last()->setFocus();
        QTRY_COMPARE(w.paidDate().asDateTime().date(), QDate(2026, 10, 5));
        QCOMPARE(picker->dateTime().date(), QDate(2026, 10, 5));
        w.invoices->cancel();
        w.window.close();
    }
};

QTEST_MAIN(TestDatePickerAndSort)
#include "tst_date_picker_and_sort.moc"
