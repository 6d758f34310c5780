#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/customers/fCustSelect.h"
#include "windows/customers/fPostalAddress.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

// Three customers numbered 1 to 3, with surnames out of order.
struct Customers {
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    int ids[3];

    Customers()
    {
        const char *names[][2] = {{"Kari", "Nordmann"}, {"Ola", "Berg"}, {"Per", "Aas"}};
        for (int i = 0; i < 3; ++i)
            ids[i] =
                seedCustomer(dm.conInvoice, {{"CUST_NO", i + 1}, {"FIRSTNAME", names[i][0]}, {"SURNAME", names[i][1]}});
    }
};

QStringList column(db::DataSet &ds, const char *field)
{
    QStringList values;
    for (int row = 0; row < ds.recordCount(); ++row)
        values << ds.textAt(row, ds.fieldByName(QLatin1String(field)));
    return values;
}

void clickTitle(DBGrid *grid, const QString &field)
{
    const int section = grid->dataModel()->columnOf(field);
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid->horizontalHeader()->sectionViewportPosition(section) + 5, 5));
}

} // namespace

class TestCustomerDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init() { userSettings()->clear(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void selectionStartsOnTheCustomerAndRemembersItsSort()
    {
        Customers c;
        // OK takes the current customer; the dialog starts on the one handed in.
        onNextModal([&](QDialog &dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Select Customer"));
            QCOMPARE(c.dm.qrySelectCust.fieldByName("SURNAME").asString(), QString("Berg"));
            auto *grid = dialog.findChild<DBGrid *>("DBGrid1");
            QVERIFY(grid->hasFocus() || dialog.focusWidget() == grid);
            QVERIFY(grid->isColumnHidden(0) || grid->dataModel()->columnOf("CUST_ID") < 0);
            c.dm.qrySelectCust.next();
            dialog.findChild<QPushButton *>("btnOK")->click();
        });
        QCOMPARE(SelectCustomer(nullptr, c.ids[1]), c.ids[2]);
        QVERIFY(!c.dm.qrySelectCust.isActive());

        // A title click sorts and is remembered, also when the dialog is then cancelled.
        onNextModal([&](QDialog &dialog) {
            clickTitle(dialog.findChild<DBGrid *>("DBGrid1"), "SURNAME");
            QCOMPARE(column(c.dm.qrySelectCust, "SURNAME"), QStringList({"Aas", "Berg", "Nordmann"}));
            dialog.reject();
        });
        QCOMPARE(SelectCustomer(nullptr, c.ids[0]), -1);
        QCOMPARE(userSettings()->value("Setting/CUSTSELROW").toString(), QString("SURNAME"));
        // The next opening comes sorted; an unknown customer leaves it on its first row; Escape and the
        // close box are -1; Insert adds nothing to the list.
        onNextModal([&](QDialog &dialog) {
            QCOMPARE(column(c.dm.qrySelectCust, "SURNAME"), QStringList({"Aas", "Berg", "Nordmann"}));
            QCOMPARE(c.dm.qrySelectCust.recNo(), 0);
            auto *grid = dialog.findChild<DBGrid *>("DBGrid1");
            QVERIFY(grid->verticalHeader()->isVisible()); // the row indicator
            QTest::keyClick(grid, Qt::Key_Insert);
            QCOMPARE(c.dm.qrySelectCust.recordCount(), 3);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(SelectCustomer(nullptr, 4711), -1);
        onNextModal([](QDialog &dialog) { dialog.close(); });
        QCOMPARE(SelectCustomer(nullptr, c.ids[0]), -1);
        // A remembered column that is not there anymore is ignored.
        userSettings()->setValue("Setting/CUSTSELROW", "GONE");
        onNextModal([&](QDialog &dialog) {
            QCOMPARE(column(c.dm.qrySelectCust, "SURNAME"), QStringList({"Nordmann", "Berg", "Aas"}));
            auto *grid = dialog.findChild<DBGrid *>("DBGrid1");
            doubleClickCell(grid, 2, 1);
        });
        QCOMPARE(SelectCustomer(nullptr, c.ids[0]), c.ids[2]);
    }

    void postalLookupFiltersByThePlaceName()
    {
        Customers c;
        TfrmPostalAddress dialog;
        auto *filter = dialog.findChild<QLineEdit *>("edtPostalAddress");
        auto *grid = dialog.findChild<DBGrid *>("DBGrid1");
        db::DataSet &places = c.dm.tblPostAddrClone;
        const int all = places.recordCount();
        QVERIFY(all > 5000);
        onNextModal([&](QDialog &) {
            QTRY_VERIFY(filter->hasFocus());
            QTest::keyClicks(filter, "bø");
            const QStringList found = column(places, "POSTALADDRESS");
            QVERIFY(!found.isEmpty() && found.size() < all);
            for (const QString &place : found)
                QVERIFY2(place.startsWith(QString::fromUtf8("BØ")), qPrintable(place));
            QCOMPARE(found, [&] {
                QStringList s = found;
                s.sort();
                return s;
            }()); // in place-name order
            // Down moves into the list, one row further.
            QTest::keyClick(filter, Qt::Key_Down);
            QTRY_VERIFY(grid->hasFocus());
            QCOMPARE(places.recNo(), 1);
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(dialog.hasChoice());
        QVERIFY(places.fieldByName("POSTALADDRESS").asString().startsWith(QString::fromUtf8("BØ")));

        // Shown again: the last text, selected, and every place until a key is typed.
        onNextModal([&](QDialog &) {
            QCOMPARE(filter->text(), QString("bø"));
            QCOMPARE(filter->selectedText(), QString("bø"));
            QCOMPARE(places.recordCount(), all);
            QTest::keyClicks(filter, "xqz");
            QCOMPARE(places.recordCount(), 0);
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(!dialog.hasChoice()); // OK on an empty list chooses nothing
        filter->clear();
        QCOMPARE(places.recordCount(), all);
    }
};

QTEST_MAIN(TestCustomerDialogs)
#include "tst_customer_dialogs.moc"
