#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/Connection.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "data/Schema.h"
#include "widgets/DataControls.h"

#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using db::DataSet;

namespace {

struct Fixture {
    TempDatabase database;
    db::Connection connection;
    std::unique_ptr<DataSet> customers;
    QWidget window;
    QVBoxLayout *layout = new QVBoxLayout(&window);

    Fixture()
    {
        connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        connection.open();
        for (int i = 1; i <= 3; ++i)
            connection.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, SURNAME, MISC) values (%1, 'Kunde%1', "
                                              "'linje 1')")
                                   .arg(i));
        customers = table(QStringLiteral("CUSTOMER"));
        customers->open();
    }

    std::unique_ptr<DataSet> table(const QString &name) { return tableDataSet(connection, name); }

    // The lines of one invoice with a single line of that quantity, opened.
    std::unique_ptr<DataSet> invoiceLines(int quantity)
    {
        connection.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO) values (1, 1)"));
        connection.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, NUM, NETPRICE, VAT) values (1, 1, "
                                          "%1, 10000, 25)")
                               .arg(quantity));
        auto lines = table(QStringLiteral("INVITEM"));
        lines->open();
        return lines;
    }

    template <class W> W *add()
    {
        auto *w = new W(&window);
        layout->addWidget(w);
        return w;
    }

    void show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

class DataControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        Format::clearCurrencySymbol();
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void gridAndDataSetShareTheCurrentRow()
    {
        Fixture f;
        auto *grid = f.add<DBGrid>();
        grid->setDataSet(f.customers.get());
        f.show();
        f.customers->setRecNo(2);
        QCOMPARE(grid->currentIndex().row(), 2);
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QCOMPARE(f.customers->recNo(), 0);

        QSignalSpy clicked(grid, &DBGrid::titleClicked);
        const int surname = grid->dataModel()->columnOf(QStringLiteral("SURNAME"));
        grid->horizontalHeader()->sectionClicked(surname);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().first().value<db::Field *>()->name(), QStringLiteral("SURNAME"));

        // Widths the user set survive a reload of the rows.
        grid->setColumnWidth(surname, 123);
        f.customers->requery();
        QCOMPARE(grid->columnWidth(surname), 123);
    }

    void aRowThatCannotBeSavedKeepsTheCursor()
    {
        Fixture f;
        auto lines = f.invoiceLines(1);
        auto *grid = f.add<DBGrid>();
        grid->setDataSet(lines.get());
        f.show();
        MessageAnswers answers;
        lines->append();
        lines->fieldByName(QStringLiteral("INV_ID")).setValue(1);
        lines->fieldByName(QStringLiteral("ITEM_DESC")).setValue(QStringLiteral("uten antall"));
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Field 'Amount' must have a value.")});
        QCOMPARE(lines->state(), DataSet::State::Insert);
        QCOMPARE(grid->currentIndex().row(), 1);
    }

    void refusedGridEditIsReported()
    {
        Fixture f;
        auto lines = f.invoiceLines(2);
        auto *grid = f.add<DBGrid>();
        grid->setDataSet(lines.get());
        f.show();
        MessageAnswers answers;
        const QModelIndex num = grid->model()->index(0, grid->dataModel()->columnOf(QStringLiteral("NUM")));
        grid->setCurrentIndex(num);
        grid->setFocus();
        QTest::keyClick(grid, 't');
        QTRY_VERIFY(QApplication::focusWidget() != grid);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("o"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(answers.texts(),
                     QStringList{QStringLiteral("'to' is not a valid floating point value for field 'Amount'")});
        QCOMPARE(lines->fieldByName(QStringLiteral("NUM")).asFloat(), 2.0);
    }

    void editFollowsTheRecordAndSavesWhatWasTyped()
    {
        Fixture f;
        auto *edit = f.add<DBEdit>();
        auto *other = f.add<QLineEdit>();
        edit->setField(f.customers.get(), QStringLiteral("SURNAME"));
        f.show();
        QCOMPARE(edit->text(), QStringLiteral("Kunde1"));
        QCOMPARE(edit->maxLength(), 25);
        f.customers->next();
        QCOMPARE(edit->text(), QStringLiteral("Kunde2"));

        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Berg"));
        QCOMPARE(f.customers->state(), DataSet::State::Edit);
        // Saving the record takes what is typed, also while the focus is still in the edit.
        f.customers->post();
        QCOMPARE(f.connection.scalar(QStringLiteral("select SURNAME from CUSTOMER where CUST_NO = 2")).toString(),
                 QStringLiteral("Berg"));

        // Moving on saves too; Escape takes the typing back.
        QTest::keyClicks(edit, QStringLiteral("sen"));
        other->setFocus();
        QCOMPARE(f.customers->fieldByName(QStringLiteral("SURNAME")).asString(), QStringLiteral("Bergsen"));
        f.customers->next();
        QCOMPARE(f.connection.scalar(QStringLiteral("select SURNAME from CUSTOMER where CUST_NO = 2")).toString(),
                 QStringLiteral("Bergsen"));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("xyz"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(f.customers->state(), DataSet::State::Browse);
        QCOMPARE(edit->text(), QStringLiteral("Kunde3"));
    }

    void moneyEditShowsPlainNumberAndRefusesText()
    {
        Fixture f;
        f.connection.execute(
            QStringLiteral("insert into DYNAITEM (ITEM_NO, NETPRICE, VAT) values ('A', 12345000, 25)"));
        auto items = f.table(QStringLiteral("DYNAITEM"));
        items->open();
        auto *edit = f.add<DBEdit>();
        auto *other = f.add<QLineEdit>();
        edit->setField(items.get(), QStringLiteral("NETPRICE"));
        f.show();
        other->setFocus();
        QCOMPARE(edit->text(), QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("234,50")));
        edit->setFocus();
        QCOMPARE(edit->text(), QStringLiteral("1234,50"));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, QStringLiteral("x"));
        MessageAnswers answers;
        QVERIFY_THROWS_EXCEPTION(Error, items->post());
        QCOMPARE(items->state(), DataSet::State::Edit);
        other->setFocus();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.texts().first(),
                 QStringLiteral("'1234,50x' is not a valid floating point value for field 'NETPRICE'"));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("99,5"));
        items->post();
        QCOMPARE(f.connection.scalar(QStringLiteral("select NETPRICE from DYNAITEM")).toLongLong(), 995000);
    }

    void comboAndMemo()
    {
        Fixture f;
        auto *combo = f.add<DBComboBox>();
        auto *memo = f.add<DBMemo>();
        combo->addItems({QStringLiteral("Fast"), QStringLiteral("Ny")});
        combo->setField(f.customers.get(), QStringLiteral("STATUS"));
        memo->setField(f.customers.get(), QStringLiteral("MISC"));
        f.show();
        QCOMPARE(memo->toPlainText(), QStringLiteral("linje 1"));
        combo->setFocus();
        combo->setCurrentIndex(1);
        Q_EMIT combo->activated(1);
        QCOMPARE(f.customers->fieldByName(QStringLiteral("STATUS")).asString(), QStringLiteral("Ny"));
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("linje 2"));
        f.customers->post();
        QCOMPARE(f.connection.scalar(QStringLiteral("select STATUS || '|' || MISC from CUSTOMER where CUST_NO = 1"))
                     .toString(),
                 QStringLiteral("Ny|linje 1\nlinje 2"));
    }
};

QTEST_MAIN(DataControlsTest)
#include "tst_data_controls.moc"
