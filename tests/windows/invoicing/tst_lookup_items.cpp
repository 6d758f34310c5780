#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/invoicing/fLookupItems.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A catalogue of five items, the data module on it.
struct Catalogue {
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    db::DataSet &items = dm.tblLookupItem;

    Catalogue()
    {
        const struct {
            const char *no, *desc;
            double price;
        } rows[] = {{"K1", "Kaffe", 40},
                    {"P1", "Papir A4", 55},
                    {"P2", "pakketape", 30},
                    {"B1", "Blyant", 5},
                    {"S1", "Stjerne*lys", 12}};
        for (const auto &r : rows)
            seedItem(dm.conInvoice, {{"ITEM_NO", r.no},
                                     {"ITEM_DESC", r.desc},
                                     {"NETPRICE", QVariant::fromValue(money(r.price))},
                                     {"VAT", 25.0}});
        dm.DBSettings.LoadBusinessSettings();
    }
    QStringList column(const char *field)
    {
        QStringList values;
        for (int row = 0; row < items.recordCount(); ++row)
            values << items.textAt(row, items.fieldByName(QLatin1String(field)));
        return values;
    }
    QVariant stored(const QString &sql) { return dm.conInvoice.scalar(sql); }
};

struct Window {
    TfrmLookupItems &w;
    QLineEdit *filter = w.findChild<QLineEdit *>("edtDescFilter");
    DBGrid *grid = w.findChild<DBGrid *>("DBGrid1");
    QCheckBox *readOnly = w.findChild<QCheckBox *>("chkReadOnly");
    explicit Window(QDialog &dialog) : w(static_cast<TfrmLookupItems &>(dialog)) {}
    // Types into a cell of the current row, as a user does, and leaves the editor open.
    void typeInto(const char *field, const QString &text)
    {
        const int column = grid->dataModel()->columnOf(QLatin1String(field));
        grid->setCurrentIndex(grid->model()->index(grid->dataSet()->recNo(), column));
        grid->edit(grid->currentIndex());
        QLineEdit *editor = nullptr;
        for (auto *child : grid->viewport()->findChildren<QLineEdit *>())
            if (child->isVisible())
                editor = child;
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
};

} // namespace

class TestLookupItems : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void filterNarrowsByTheBeginningOfTheDescription()
    {
        Catalogue c;
        c.items.open();
        TfrmLookupItems dialog;
        Window w(dialog);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Invoice items"));
        QVERIFY(w.readOnly->isChecked());
        QVERIFY(w.grid->isReadOnly());
        QCOMPARE(c.column("ITEM_DESC"), QStringList({"Blyant", "Kaffe", "pakketape", "Papir A4", "Stjerne*lys"}));
        QTest::keyClicks(w.filter, "PA");
        QCOMPARE(c.column("ITEM_DESC"), QStringList({"pakketape", "Papir A4"}));
        QCOMPARE(c.items.recNo(), 0);
        // Down moves into the list, one row further.
        w.filter->setFocus();
        QTest::keyClick(w.filter, Qt::Key_Down);
        QTRY_VERIFY(w.grid->hasFocus());
        QCOMPARE(c.items.fieldByName("ITEM_DESC").asString(), QString("Papir A4"));
        QTest::keyClick(w.filter, Qt::Key_Down); // on the last row only the focus moves
        QCOMPARE(c.items.fieldByName("ITEM_DESC").asString(), QString("Papir A4"));
        // What the user types is taken as it stands: a star is a star, and nothing typed is an error.
        MessageAnswers answers;
        w.filter->setText("stjerne*");
        QCOMPARE(c.column("ITEM_DESC"), QStringList{"Stjerne*lys"});
        w.filter->setText("*");
        QCOMPARE(c.column("ITEM_DESC"), QStringList{});
        for (const char *typed : {"'", "[", "%", "_", "?", "']*[?"}) {
            w.filter->setText(QString::fromUtf8(typed));
            QCOMPARE(c.items.recordCount(), 0);
        }
        QVERIFY(answers.shown().isEmpty());
        // Insert adds nothing to a read-only list.
        w.filter->clear();
        w.grid->setFocus();
        QTest::keyClick(w.grid, Qt::Key_Insert);
        QCOMPARE(c.items.state(), db::DataSet::State::Browse);
        w.filter->clear();
        QCOMPARE(c.items.recordCount(), 5);
        dialog.close();
    }

    void lookupClosesOnDoubleClickAndLeavesTheCatalogueAsItWas()
    {
        Catalogue c;
        c.items.open();
        QString picked;
        // A caller as the invoice edit window: show the window, copy the current item on OK.
        onNextModal([&](QDialog &dialog) {
            Window w(dialog);
            QTest::keyClicks(w.filter, "ka");
            doubleClickCell(w.grid, 0, 1);
        });
        {
            TfrmLookupItems dialog;
            if (dialog.exec() == QDialog::Accepted)
                picked = c.items.fieldByName("ITEM_NO").asString();
        }
        QCOMPARE(picked, QString("K1"));
        // The catalogue is unfiltered and ordered as before, and stays open for its caller.
        QVERIFY(c.items.isActive());
        QVERIFY(!c.items.isFiltered());
        QCOMPARE(c.column("ITEM_NO"), QStringList({"B1", "K1", "P1", "P2", "S1"}));
        QCOMPARE(c.items.sortField(), QString("ITEM_NO"));
    }

    void catalogueEditingCommitsOnOkAndDiscardsOnCancel()
    {
        Catalogue c;
        // Cancel after changing two items: both stay as they were.
        onNextModal([&](QDialog &dialog) {
            Window w(dialog);
            // Sorted by description, also after the filter is cleared.
            QCOMPARE(c.column("ITEM_NO"), QStringList({"B1", "K1", "P2", "P1", "S1"}));
            w.filter->setText("p");
            w.filter->clear();
            QCOMPARE(c.column("ITEM_NO"), QStringList({"B1", "K1", "P2", "P1", "S1"}));
            QVERIFY(!w.readOnly->isChecked());
            QVERIFY(!w.grid->isReadOnly());
            // A double-click edits, it does not close.
            doubleClickCell(w.grid, 0, 1);
            QVERIFY(dialog.isVisible());
            w.grid->setFocus();
            c.items.first();
            w.typeInto("ITEM_DESC", "Blyant HB");
            c.items.next(); // the row is saved by moving on
            w.typeInto("NETPRICE", "45");
            w.grid->commitPendingEdit();
            c.items.post();
            QCOMPARE(c.stored("select ITEM_DESC from DYNAITEM where ITEM_NO = 'B1'").toString(), QString("Blyant HB"));
            dialog.reject();
        });
        TfrmLookupItems::EditCatalogue(nullptr);
        QCOMPARE(c.stored("select ITEM_DESC from DYNAITEM where ITEM_NO = 'B1'").toString(), QString("Blyant"));
        QCOMPARE(c.stored("select NETPRICE from DYNAITEM where ITEM_NO = 'K1'").toLongLong(), 400000);
        QVERIFY(!c.dm.conInvoice.inTransaction());
        QVERIFY(!c.items.isActive());

        // OK with a new row still being written: the row is saved, then everything is committed.
        onNextModal([&](QDialog &dialog) {
            Window w(dialog);
            w.grid->setFocus();
            c.items.last();
            QTest::keyClick(w.grid, Qt::Key_Down); // a new row below the last one, with the default VAT
            QCOMPARE(c.items.state(), db::DataSet::State::Insert);
            QCOMPARE(c.items.fieldByName("VAT").asFloat(), 24.0);
            w.typeInto("ITEM_NO", "T1");
            w.typeInto("ITEM_DESC", "Tusj");
            w.typeInto("GROSSPRICE", "24,80");
            dialog.findChild<QPushButton *>("btnOK")->click();
        });
        TfrmLookupItems::EditCatalogue(nullptr);
        QCOMPARE(c.stored("select ITEM_DESC || '/' || NETPRICE from DYNAITEM where ITEM_NO = 'T1'").toString(),
                 QString("Tusj/200000"));
    }

    void badRowsAreRefusedAndStayInEditing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("VAT above 100")    << "VAT"      << "150"  << "The VAT must be from 0 to 100 %; 150% is not.";
        QTest::newRow("negative VAT")     << "VAT"      << "-5"   << "The VAT must be from 0 to 100 %; −5% is not.";
        QTest::newRow("price not number") << "NETPRICE" << "mye"  << "'mye' is not a valid floating point value for field 'Net price'";
        QTest::newRow("price too large")  << "NETPRICE" << "99999999999999999" << "'99999999999999999' is beyond the largest amount field 'Net price' can hold.";
        QTest::newRow("VAT not a number") << "VAT"      << "høy"  << "'høy' is not a valid floating point value for field 'VAT%'";
        QTest::newRow("gross not number") << "GROSSPRICE" << "x"  << "'x' is not a valid floating point value for field 'Gross price'";
        QTest::newRow("no description")   << ""         << ""     << "Field 'Description' must have a value.";
        // clang-format on
    }
    void badRowsAreRefusedAndStayInEditing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Catalogue c;
        MessageAnswers answers;
        onNextModal([&](QDialog &dialog) {
            Window w(dialog);
            w.grid->setFocus();
            if (field.isEmpty()) {
                // A new row with nothing but a price.
                c.items.last();
                QTest::keyClick(w.grid, Qt::Key_Down);
                w.typeInto("NETPRICE", "10");
            } else {
                c.items.first();
                w.typeInto(field.toLatin1().constData(), text);
            }
            dialog.findChild<QPushButton *>("btnOK")->click();
            QVERIFY(dialog.isVisible()); // refused: the window stays
            QCOMPARE(answers.texts().value(0), message);
            QVERIFY(c.items.isEditing() || w.grid->isCellEditing());
            dialog.reject();
        });
        TfrmLookupItems::EditCatalogue(nullptr);
        QCOMPARE(answers.texts(), QStringList{message});
        QCOMPARE(c.stored("select count(*) from DYNAITEM").toInt(), 5);
        QCOMPARE(c.stored("select count(*) from DYNAITEM where VAT = 25 and NETPRICE > 0").toInt(), 5);
    }

    void grossPriceAtAnImpossibleVatIsRefused()
    {
        Catalogue c;
        c.items.open();
        c.items.first();
        c.items.edit();
        c.items.fieldByName("VAT").setValue(-100.0);
        QCOMPARE(errorOf([&] { c.items.fieldByName("GROSSPRICE").setText("100"); }),
                 QString("A gross price cannot give a net price at a VAT of −100 %"));
        c.items.cancel();
    }
};

QTEST_MAIN(TestLookupItems)
#include "tst_lookup_items.moc"
