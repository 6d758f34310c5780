#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "windows/invoicing/fInvNote.h"

#include <QAction>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

struct NoteWindow {
    TfrmInvoiceNote window;
    QComboBox *slotBox = window.findChild<QComboBox *>("cboDefaultText");
    QPlainTextEdit *memo = window.findChild<QPlainTextEdit *>("memoNote");
    QAction *remember = window.findChild<QAction *>("actRemember");

    NoteWindow() { window.show(); }
    void choose(int slot)
    {
        slotBox->setCurrentIndex(slot);
        Q_EMIT slotBox->activated(slot);
    }
};

} // namespace

class TestInvoiceNote : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init() { userSettings()->clear(); }
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }

    void slotsLoadTheirTextsAndRememberIsWrittenAtOnce()
    {
        {
            NoteWindow w;
            QCOMPARE(w.window.windowTitle(), QString("Optional Invoice Text"));
            QCOMPARE(w.window.property("HelpContext").toInt(), 1450);
            QCOMPARE(w.slotBox->count(), 8);
            QCOMPARE(w.slotBox->itemText(4), QString("FinalNotice1"));
            // Nothing chosen yet: Remember waits for a slot.
            QCOMPARE(w.slotBox->currentIndex(), -1);
            QVERIFY(!w.remember->isEnabled());
            QVERIFY(!w.window.findChild<QPushButton *>("btnRemember")->isEnabled());
            // An unassigned slot puts "Unassigned" into the text.
            w.window.setNoteText("Betaling innen 14 dager.");
            w.choose(2);
            QCOMPARE(w.window.NoteText(), QString("Unassigned"));
            QVERIFY(w.remember->isEnabled());
            w.memo->setPlainText("Purring: betal innen 7 dager.");
            QVERIFY(triggerAction(&w.window, "actRemember"));
            QCOMPARE(userSettings()->value("Setting/DEFINVNOTE2").toString(), QString("Purring: betal innen 7 dager."));
            // An empty text leaves its slot unassigned for the next window.
            w.choose(7);
            w.memo->clear();
            QVERIFY(triggerAction(&w.window, "actRemember"));
            w.window.reject(); // Cancel does not take back what was remembered
        }
        NoteWindow next;
        QCOMPARE(next.window.DefaultNotes().at(2), QString("Purring: betal innen 7 dager."));
        next.choose(2);
        QCOMPARE(next.window.NoteText(), QString("Purring: betal innen 7 dager."));
        next.choose(7);
        QCOMPARE(next.window.NoteText(), QString("Unassigned"));
        // Each opening starts without a slot again.
        next.window.hide();
        next.window.show();
        QVERIFY(!next.remember->isEnabled());
        next.window.close();
    }

    void noteHoldsAtMost255Characters()
    {
        NoteWindow w;
        w.memo->setFocus();
        w.window.setNoteText(QString(250, QLatin1Char('a')));
        w.memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.memo, "bcdefghij");
        QCOMPARE(w.window.NoteText().size(), 255);
        QVERIFY(w.window.NoteText().endsWith("abcdef"));
        // Typed into the middle of a full note: the new characters are refused, the note stays whole.
        QTextCursor cursor = w.memo->textCursor();
        cursor.setPosition(10);
        w.memo->setTextCursor(cursor);
        QTest::keyClicks(w.memo, "XYZ");
        QCOMPARE(w.window.NoteText().size(), 255);
        QVERIFY(!w.window.NoteText().contains('X'));
        QVERIFY(w.window.NoteText().endsWith("abcdef"));
        w.window.setNoteText(QString(300, QLatin1Char('x')));
        QCOMPARE(w.window.NoteText().size(), 255);
        w.window.close();
    }
};

QTEST_MAIN(TestInvoiceNote)
#include "tst_invoice_note.moc"
