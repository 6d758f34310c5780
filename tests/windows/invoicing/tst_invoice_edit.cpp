#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "widgets/IdleUpdate.h"
#include "windows/invoicing/fInvEdit.h"
#include "windows/invoicing/fInvNote.h"
#include "windows/main/uMsgStrs.h"
#include "windows/settings/UserSettings.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

// A business with one customer, three catalogue items and the data module on it; today is 10 Dec 2026.
struct Business {
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    int customer = 0;

    Business()
    {
        dm.conInvoice.execute("insert into APPDATA (ANAME, AVALUE) values ('DEFAULTTAX', '25')");
        dm.DBSettings.LoadBusinessSettings();
        customer = seedCustomer(dm.conInvoice, {{"CUST_NO", 1}, {"FIRSTNAME", "Kari"}, {"SURNAME", "Nordmann"}});
        for (const auto &[no, desc, price, vat] :
             {std::tuple{"KAFFE", "Kaffe 500 g", 80.0, 15.0}, std::tuple{"PAPIR", "Papir A4", 55.0, 25.0},
              std::tuple{"BOK", "Håndbok", 349.0, 0.0}})
            seedItem(dm.conInvoice, {{"ITEM_NO", no},
                                     {"ITEM_DESC", QString::fromUtf8(desc)},
                                     {"NETPRICE", QVariant::fromValue(money(price))},
                                     {"VAT", vat}});
    }
    QVariant scalar(const QString &sql) { return dm.conInvoice.scalar(sql); }
    int invoice(const QVariantMap &extra = {}, const QList<SeedLine> &lines = {})
    {
        QVariantMap columns{{"CUST_ID", customer},
                            {"INVOICE_NO", 7},
                            {"INVDATE", "2026-12-01 00:00:00"},
                            {"DUEDATE", "2026-12-15 00:00:00"},
                            {"INV_TYPE", "N"}};
        columns.insert(extra);
        return seedInvoice(dm.conInvoice, columns, lines);
    }
};

// The window shown as the callers show it (modal), without a loop of its own: tests drive it.
struct EditWindow {
    TfrmInvoiceEdit w;
    DBGrid *grid = w.findChild<DBGrid *>("gridInvItems");
    db::DataSet &header = dmInvoice->tblInvoiceEdit;
    db::DataSet &lines = dmInvoice->tblInvoiceItems;

    void show()
    {
        w.setWindowModality(Qt::ApplicationModal);
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        runIdleHandlers();
    }
    QAction *action(const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    bool enabled(const char *name)
    {
        runIdleHandlers();
        return action(name)->isEnabled();
    }
    void click(const char *button) { w.findChild<QPushButton *>(QLatin1String(button))->click(); }
    // Types into a cell of the current line and leaves the editor open.
    QLineEdit *typeInto(const char *field, const QString &text)
    {
        const int column = grid->dataModel()->columnOf(QLatin1String(field));
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(lines.recNo(), column));
        grid->edit(grid->currentIndex());
        QLineEdit *editor = nullptr;
        for (auto *child : grid->viewport()->findChildren<QLineEdit *>())
            if (child->isVisible())
                editor = child;
        if (editor) {
            editor->selectAll();
            QTest::keyClicks(editor, text);
        }
        return editor;
    }
    void addLine(double num, const char *price, double vat = 25)
    {
        lines.append();
        lines.fieldByName("NUM").setValue(num);
        lines.fieldByName("NETPRICE").setText(QLatin1String(price));
        lines.fieldByName("VAT").setValue(vat);
        lines.post();
    }
};

} // namespace

class TestInvoiceEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void newInvoiceStoredWithOkCancelAsksAndLeavesNoTrace()
    {
        Business b;
        MessageAnswers answers;
        {
            EditWindow e;
            QVERIFY(e.w.StartNewInvoice(b.customer));
            e.show();
            QCOMPARE(e.w.findChild<QLineEdit *>("edtFirstName")->text(), QString("Kari"));
            QCOMPARE(e.w.windowTitle(), QString("Invoice details"));
            QVERIFY(!(e.w.windowFlags() & Qt::WindowCloseButtonHint));
            QVERIFY(!e.enabled("actPreview")); // not stored yet
            e.click("btnOK");
            QVERIFY(!e.w.isVisible());
            QVERIFY(e.w.ChangesPosted());
        }
        QVERIFY(!b.dm.conInvoice.inTransaction());
        QCOMPARE(b.scalar("select INVOICE_NO || INV_TYPE || '/' || INVDATE || '/' || DUEDATE from INVOICE").toString(),
                 QString("1N/2026-12-10 00:00:00/2026-12-24 00:00:00"));
        QVERIFY(answers.shown().isEmpty());

        // A second new invoice with a line, cancelled: asked first; No keeps everything, Yes leaves no trace.
        {
            EditWindow e;
            e.w.StartNewInvoice(b.customer);
            e.show();
            e.addLine(2, "100");
            QCOMPARE(e.header.fieldByName("INVOICE_NO").asInteger(), 2);
            answers.push(MsgAnswer::No);
            QTest::keyClick(&e.w, Qt::Key_Escape);
            QCOMPARE(answers.texts(), QStringList{"Discard the changes made to this invoice?"});
            QCOMPARE(answers.shown().first().type, MsgType::Confirmation);
            QVERIFY(e.w.isVisible());
            QCOMPARE(e.lines.recordCount(), 1);
            answers.push(MsgAnswer::Yes);
            e.click("btnCancel");
            QVERIFY(!e.w.isVisible());
        }
        QCOMPARE(b.scalar("select count(*) from INVOICE").toInt(), 1);
        QCOMPARE(b.scalar("select count(*) from INVITEM").toInt(), 0);
        // Its number is offered again; without a change Cancel closes at once.
        answers.clear();
        EditWindow e;
        e.w.StartNewInvoice(b.customer);
        QCOMPARE(e.header.fieldByName("INVOICE_NO").asInteger(), 2);
        e.show();
        e.header.cancel();
        e.click("btnCancel");
        QVERIFY(!e.w.isVisible());
        QVERIFY(answers.shown().isEmpty());
    }

    // Without a close box the system may still close the window (Alt+F4): that is Cancel, question included.
    void closedByTheSystemAsByCancel()
    {
        Business b;
        const int id = b.invoice({}, {{1, 100, 25}});
        MessageAnswers answers;
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        e.addLine(2, "50");
        answers.push(MsgAnswer::No);
        QVERIFY(!e.w.close());
        QVERIFY(e.w.isVisible());
        QCOMPARE(answers.texts(), QStringList{"Discard the changes made to this invoice?"});
        QVERIFY(b.dm.conInvoice.inTransaction());
        answers.push(MsgAnswer::Yes);
        QVERIFY(e.w.close());
        QVERIFY(!e.w.isVisible());
        QCOMPARE(e.w.result(), int(QDialog::Rejected));
        QVERIFY(!b.dm.conInvoice.inTransaction());
        QCOMPARE(b.scalar("select count(*) from INVITEM").toInt(), 1);
        QCOMPARE(answers.shown().size(), 2);
    }

    void paidInvoiceNoticeAndTheCustomerBlock()
    {
        Business b;
        const int id = b.invoice({{"SUMPAID", QVariant::fromValue(money(10))}}, {{1, 10, 25}});
        MessageAnswers answers;
        EditWindow e;
        QVERIFY(e.w.LoadInvoice(id));
        // The customer shows from the first reading on.
        QCOMPARE(e.w.findChild<QLineEdit *>("edtSurname")->text(), QString("Nordmann"));
        QVERIFY(!e.w.LoadInvoice(4711) && e.header.isEmpty());
        QVERIFY(e.w.LoadInvoice(id));
        e.show();
        QTRY_COMPARE(answers.texts(), QStringList{"This invoice should not be changed\r\nsince it is marked as paid."});
        QCOMPARE(answers.shown().first().type, MsgType::Information);
        QCOMPARE(e.w.findChild<QLineEdit *>("edtSurname")->text(), QString("Nordmann"));
        QCOMPARE(e.w.findChild<QLineEdit *>("edtSurname")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(e.w.findChild<QLineEdit *>("edtGrossSum")->text(), QString("12.50"));
        // Still changeable: the kind box stores one letter.
        auto *kind = e.w.findChild<DBComboBox *>("cboInvType");
        kind->setCurrentIndex(1);
        Q_EMIT kind->activated(1);
        QCOMPARE(e.header.fieldByName("INV_TYPE").asString(), QString("R"));
        QCOMPARE(kind->currentText(), QString("R"));
        e.click("btnOK");
        QCOMPARE(b.scalar("select INV_TYPE from INVOICE").toString(), QString("R"));
    }

    // In Norwegian the kind box offers Norwegian names, and each still stores its kind's code: a credit
    // note chosen as "Kreditt" prints as a credit note. A name typed whole is that choice too.
    void theKindBoxStoresCodesInEveryLanguage()
    {
        Business b;
        const int id = b.invoice();
        setProgramFile(QStringLiteral(TESSUND_BIN_DIR "/tessund"));
        QVERIFY(LoadLanguageModule(1044));
        {
            EditWindow e;
            QVERIFY(e.w.LoadInvoice(id));
            e.show();
            auto *kind = e.w.findChild<DBComboBox *>("cboInvType");
            QCOMPARE(kind->itemText(3), QString("Kreditt"));
            for (const auto &[item, code] : {std::pair{1, "R"}, std::pair{2, "F"}, std::pair{3, "C"}}) {
                kind->setCurrentIndex(item);
                Q_EMIT kind->activated(item);
                QCOMPARE(e.header.fieldByName("INV_TYPE").asString(), QString(code));
                QCOMPARE(kind->currentText(), QString(code));
            }
            kind->setFocus();
            kind->lineEdit()->selectAll();
            QTest::keyClicks(kind->lineEdit(), "Purring");
            e.click("btnOK");
            QCOMPARE(b.scalar("select INV_TYPE from INVOICE").toString(), QString("R"));
        }
        UnloadLanguageModule();
        setProgramFile(QString());
    }

    void customerAndNoteChangeTheHeader()
    {
        Business b;
        const int other = seedCustomer(b.dm.conInvoice, {{"CUST_NO", 2}, {"FIRSTNAME", "Ola"}, {"SURNAME", "Berg"}});
        const int id = b.invoice({{"INV_NOTE", "Takk"}});
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        onNextModal([&](QDialog &select) {
            QCOMPARE(select.objectName(), QString("frmCustomerSelect"));
            dmInvoice->qrySelectCust.locate("CUST_ID", other);
            select.accept();
        });
        e.click("btnChangeCustomer");
        QCOMPARE(e.header.fieldByName("CUST_ID").asInteger(), other);
        QTRY_COMPARE(e.w.findChild<QLineEdit *>("edtSurname")->text(), QString("Berg"));
        // The note window gets the invoice's note and gives back what OK leaves in it; Cancel changes nothing.
        onNextModal([](QDialog &note) {
            auto &window = static_cast<TfrmInvoiceNote &>(note);
            QCOMPARE(window.NoteText(), QString("Takk"));
            window.setNoteText("Betales innen 14 dager.");
            window.accept();
        });
        e.click("btnInvoiceNotice");
        onNextModal([](QDialog &note) {
            static_cast<TfrmInvoiceNote &>(note).setNoteText("Ikke dette");
            note.reject();
        });
        e.click("btnInvoiceNotice");
        e.click("btnOK");
        QCOMPARE(b.scalar("select CUST_ID || '/' || INV_NOTE from INVOICE").toString(),
                 QString("%1/Betales innen 14 dager.").arg(other));
    }

    void itemCodesTypedAndPicked()
    {
        Business b;
        const int id = b.invoice();
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        // A known code on an empty line fills it when the code cell is left.
        QTest::keyClick(e.grid, Qt::Key_Insert);
        QCOMPARE(e.lines.state(), db::DataSet::State::Insert);
        QCOMPARE(e.grid->currentIndex().column(), 0);
        QLineEdit *editor = e.typeInto("ITEM_NO", "PAPIR");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(e.lines.fieldByName("ITEM_DESC").asString(), QString("Papir A4"));
        QCOMPARE(e.lines.fieldByName("NETPRICE").asMoney(), money(55));
        QCOMPARE(e.lines.fieldByName("VAT").asFloat(), 25.0);
        QVERIFY(e.lines.fieldByName("NUM").isNull()); // the amount is the user's
        // A code on a line with a description changes only the code; an unknown code changes nothing.
        QTest::keyClick(e.typeInto("ITEM_NO", "KAFFE"), Qt::Key_Tab);
        QCOMPARE(e.lines.fieldByName("ITEM_DESC").asString(), QString("Papir A4"));
        QCOMPARE(e.lines.fieldByName("ITEM_NO").asString(), QString("KAFFE"));
        e.lines.fieldByName("ITEM_DESC").clear();
        QTest::keyClick(e.typeInto("ITEM_NO", "kaffe"), Qt::Key_Tab); // codes match exactly
        QVERIFY2(e.lines.fieldByName("ITEM_DESC").asString().isEmpty(),
                 qPrintable(e.lines.fieldByName("ITEM_DESC").asString()));

        // The lookup button of the code cell picks from the catalogue, over what the line holds.
        e.lines.fieldByName("ITEM_DESC").setValue(QString("Noe"));
        onNextModal([&](QDialog &lookup) {
            QCOMPARE(lookup.objectName(), QString("frmLookupItems"));
            dmInvoice->tblLookupItem.locate("ITEM_NO", "BOK");
            lookup.accept();
        });
        editor = e.typeInto("ITEM_NO", "X");
        QVERIFY(editor);
        QAction *lookupButton = editor->findChild<QAction *>("actItemLookup");
        QVERIFY(lookupButton);
        lookupButton->trigger();
        QTRY_COMPARE(e.lines.fieldByName("ITEM_NO").asString(), QString("BOK"));
        QCOMPARE(e.lines.fieldByName("ITEM_DESC").asString(), QString("Håndbok"));
        QCOMPARE(e.lines.fieldByName("VAT").asFloat(), 0.0);
        QVERIFY(!dmInvoice->tblLookupItem.isFiltered());
        answersCancel(e);
    }

    void actionsFollowPendingChangesAndInsertGoesToTheLines()
    {
        Business b;
        const int id = b.invoice({}, {{1, 100, 25}});
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        for (const char *output : {"actPreview", "actPrint", "actToPDF", "actRound"})
            QVERIFY2(e.enabled(output), output);
        QVERIFY(!e.enabled("actApply"));
        // Insert in a header field adds a line and moves to the grid.
        auto *ourRef = e.w.findChild<QLineEdit *>("edtOurRef");
        ourRef->setFocus();
        QTRY_VERIFY(ourRef->hasFocus());
        QTest::keyClick(ourRef, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(e.lines.state(), db::DataSet::State::Insert);
        QTRY_VERIFY(e.grid->hasFocus());
        QVERIFY(e.enabled("actApply"));
        for (const char *output : {"actPreview", "actPrint", "actToPDF", "actRound"})
            QVERIFY2(!e.enabled(output), output);
        e.typeInto("NUM", "3");
        e.typeInto("NETPRICE", "10");
        QVERIFY(triggerAction(&e.w, "actApply"));
        QVERIFY(!e.enabled("actApply"));
        QVERIFY(e.enabled("actPreview"));
        QCOMPARE(b.scalar("select GROSSSUM from INVOICE").toLongLong(), 1625000);
        QVERIFY(e.w.ChangesPosted());
        answersCancel(e);
        QCOMPARE(b.scalar("select GROSSSUM from INVOICE").toLongLong(), 1250000);
    }

    // The navigator's buttons take no focus, so a cell editor may still be open when one is clicked (or
    // Insert is pressed in it): the typed text belongs to the line it was typed into.
    void navigatorWithACellStillOpen_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("linesStored");
        QTest::addColumn<QString>("netSumsStored"); // NETPRICE*NUM of the stored lines, in order
        QTest::addColumn<int>("linesShown");
        QTest::newRow("insert") << "btnNavInsert" << 2 << "100,40" << 3;
        QTest::newRow("Insert key") << "" << 2 << "100,40" << 3;
        QTest::newRow("post") << "btnNavPost" << 2 << "100,40" << 2;
        QTest::newRow("delete") << "btnNavDelete" << 1 << "100" << 1;
    }
    void navigatorWithACellStillOpen()
    {
        QFETCH(QString, button);
        QFETCH(int, linesStored);
        QFETCH(QString, netSumsStored);
        QFETCH(int, linesShown);
        Business b;
        const int id = b.invoice({}, {{1, 100, 25}});
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        QTest::keyClick(e.grid, Qt::Key_Insert);
        QTest::keyClick(e.typeInto("NUM", "4"), Qt::Key_Tab); // Tab opens the next cell's editor
        QVERIFY(e.grid->isCellEditing());
        e.typeInto("NETPRICE", "10"); // typed, and the editor still open
        MessageAnswers answers;
        answers.push(MsgAnswer::Yes); // "Delete record?"
        if (button.isEmpty())
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
        else
            QTest::mouseClick(e.w.findChild<QToolButton *>(button), Qt::LeftButton);
        runIdleHandlers();
        QVERIFY2(answers.texts().filter("modus").isEmpty() && answers.texts().filter("mode").isEmpty(),
                 qPrintable(answers.texts().join('\n')));
        QCOMPARE(e.lines.recordCount(), linesShown);
        QCOMPARE(b.scalar("select count(*) from INVITEM").toInt(), linesStored);
        QStringList sums;
        for (int row = 0; row < linesStored; ++row)
            sums << QString::number(
                b.scalar(QString("select NETPRICE*NUM/10000 from INVITEM order by ITEM_ID limit 1 offset %1").arg(row))
                    .toLongLong());
        QCOMPARE(sums.join(','), netSumsStored);
        answersCancel(e);
    }

    void printingThenCancelPutsThePrintDateBack()
    {
        Business b;
        const int id = b.invoice({}, {{1, 100, 25}});
        PrinterToPdf printer;
        int refreshes = 0;
        QObject::connect(&b.dm, &TdmInvoice::invoicesChanged, &b.dm, [&] { ++refreshes; });
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        QVERIFY(triggerAction(&e.w, "actPrint"));
        QVERIFY(QFile::exists(printer.path()));
        QCOMPARE(b.scalar("select PRINTDATE from INVOICE").toString(), QString("2026-12-10 00:00:00"));
        QTRY_COMPARE(refreshes, 1); // the invoice list reloads while the window is open
        answersCancel(e);
        QVERIFY(b.scalar("select PRINTDATE from INVOICE").isNull());
    }

    void badLinesAreRefusedAndNothingIsCommitted_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("no amount")        << "NUM"      << ""      << "Field 'Amount' must have a value.";
        QTest::newRow("amount not number")<< "NUM"      << "to"    << "'to' is not a valid floating point value for field 'Amount'";
        QTest::newRow("VAT above 100")    << "VAT"      << "101"   << "The VAT must be from 0 to 100 %; 101% is not.";
        QTest::newRow("too large")        << "NUM"      << "99999999999" << "The line's amounts are beyond what an invoice can hold.";
        // clang-format on
    }
    void badLinesAreRefusedAndNothingIsCommitted()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Business b;
        const int id = b.invoice({}, {{1, 100, 25}});
        MessageAnswers answers;
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        e.lines.append();
        e.typeInto("NETPRICE", "99999");
        e.typeInto("NUM", "1");
        if (text.isEmpty())
            e.typeInto("NUM", " "), QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        else
            e.typeInto(field.toLatin1().constData(), text);
        e.click("btnOK");
        QVERIFY(e.w.isVisible());
        QCOMPARE(answers.texts().value(0), message);
        QVERIFY(e.lines.isEditing() || e.grid->isCellEditing());
        QVERIFY(b.dm.conInvoice.inTransaction());
        const InvoiceTotals stored = storedLineTotals(b.dm.conInvoice, id);
        QCOMPARE(b.scalar("select GROSSSUM from INVOICE").toLongLong(), stored.gross.units());
        answers.push(MsgAnswer::Yes);
        e.click("btnCancel");
        QCOMPARE(b.scalar("select count(*) from INVITEM").toInt(), 1);
    }

    void aDateThatIsNotADateIsRefused()
    {
        Business b;
        const int id = b.invoice();
        MessageAnswers answers;
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        auto *due = e.w.findChild<QLineEdit *>("edtDueDate");
        due->setFocus();
        QTRY_VERIFY(due->hasFocus());
        due->selectAll();
        QTest::keyClicks(due, "32.13.2026");
        e.click("btnOK");
        QVERIFY(e.w.isVisible());
        QVERIFY(answers.texts().contains("'32.13.2026' is not a valid date."));
        QCOMPARE(b.scalar("select DUEDATE from INVOICE").toString(), QString("2026-12-15 00:00:00"));
        answers.push(MsgAnswer::Yes);
        e.click("btnCancel");
    }

    void roundTotal_data()
    {
        QTest::addColumn<QString>("gross");
        QTest::addColumn<qint64>("rounding");
        QTest::addColumn<qint64>("total");
        // clang-format off
        QTest::newRow("up")              << "1234.56" << qint64(4400)   << qint64(12350000);
        QTest::newRow("down")            << "1234.40" << qint64(-4000)  << qint64(12340000);
        QTest::newRow("half to even 4")  << "1234.50" << qint64(-5000)  << qint64(12340000);
        QTest::newRow("half to even 6")  << "1235.50" << qint64(5000)   << qint64(12360000);
        QTest::newRow("whole")           << "1234.00" << qint64(0)      << qint64(12340000);
        QTest::newRow("credit up")       << "-250.30" << qint64(3000)   << qint64(-2500000);
        QTest::newRow("credit down")     << "-250.70" << qint64(-3000)  << qint64(-2510000);
        QTest::newRow("credit half")     << "-100.50" << qint64(5000)   << qint64(-1000000);
        // clang-format on
    }
    void roundTotal()
    {
        QFETCH(QString, gross);
        QFETCH(qint64, rounding);
        QFETCH(qint64, total);
        Business b;
        const int id = b.invoice({}, {{1, gross.toDouble(), 0}, {1, 100, 25}, {1, -100, 25}});
        EditWindow e;
        e.w.LoadInvoice(id);
        e.show();
        const qint64 vat = e.header.fieldByName("SUMVAT").asMoney().units();
        QVERIFY(triggerAction(&e.w, "actRound"));
        QVERIFY(e.lines.locate("ITEM_ID", TfrmInvoiceEdit::RoundingLineId));
        QCOMPARE(e.lines.fieldByName("ITEM_DESC").asString(), QString("Øre avrunding"));
        QCOMPARE(e.lines.fieldByName("NETPRICE").asMoney().units(), rounding);
        QCOMPARE(e.lines.fieldByName("VAT").asFloat(), 0.0);
        QCOMPARE(e.header.fieldByName("GROSSSUM").asMoney().units(), total);
        QCOMPARE(e.header.fieldByName("SUMVAT").asMoney().units(), vat);
        // Another line and rounding again: still one rounding line, a whole total.
        e.addLine(1, "8.20", 25);
        QVERIFY(triggerAction(&e.w, "actRound"));
        QCOMPARE(b.scalar(QString("select count(*) from INVITEM where ITEM_ID = 9999 and INV_ID = %1").arg(id)).toInt(),
                 1);
        QCOMPARE(e.header.fieldByName("GROSSSUM").asMoney().units() % 10000, 0);
        e.click("btnOK");
        QCOMPARE(b.scalar("select GROSSSUM % 10000 from INVOICE").toInt(), 0);
    }

    void roundingWithoutAGrossTotalAddsNothing()
    {
        Business b;
        MessageAnswers answers;
        EditWindow e;
        e.w.StartNewInvoice(b.customer);
        e.show();
        QVERIFY(triggerAction(&e.w, "actApply"));
        QVERIFY(e.enabled("actRound"));
        QVERIFY(triggerAction(&e.w, "actRound"));
        QCOMPARE(answers.texts(), QStringList{"The invoice has no gross total to round yet."});
        QCOMPARE(e.lines.recordCount(), 0);
        answers.push(MsgAnswer::Yes);
        e.click("btnCancel");
    }

private:
    static void answersCancel(EditWindow &e)
    {
        MessageAnswers answers;
        answers.push(MsgAnswer::Yes);
        e.click("btnCancel");
        QVERIFY(!e.w.isVisible());
    }
};

QTEST_MAIN(TestInvoiceEdit)
#include "tst_invoice_edit.moc"
