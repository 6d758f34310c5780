#include "GuiTestSupport.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "widgets/FileDialog.h"
#include "widgets/PreviewWindow.h"
#include "widgets/ReportPrinting.h"
#include "windows/reports/fRepSelect.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

struct Selection {
    TfrmRepSelect dialog;
    QComboBox *report = dialog.findChild<QComboBox *>("cboReport");
    QDateEdit *from = dialog.findChild<QDateEdit *>("dtpFrom");
    QDateEdit *to = dialog.findChild<QDateEdit *>("dtpTo");
    QComboBox *status = dialog.findChild<QComboBox *>("cboInvoiceStatus");
    QAction *ok = dialog.findChild<QAction *>("btnOK");

    explicit Selection(QWidget *owner) : dialog(owner) { dialog.show(); }
};

} // namespace

// The report selection: its remembered period, its controls, and a list run from it into the preview.
class TestReportSelect : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTemporarySettings();
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
    }
    void init()
    {
        userSettings()->clear();
        owner = std::make_unique<QWidget>();
    }
    void cleanup()
    {
        owner.reset();
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void periodOfTheFirstUse_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::newRow("nothing stored") << QDate(2026, 12, 10) << QString() << QDate(2026, 12, 1)
                                        << QDate(2026, 12, 31);
        QTest::newRow("leap February") << QDate(2028, 2, 10) << QString() << QDate(2028, 2, 1) << QDate(2028, 2, 29);
        QTest::newRow("unreadable start")
            << QDate(2026, 4, 3) << "32.13.2026" << QDate(2026, 4, 1) << QDate(2026, 4, 30);
    }
    void periodOfTheFirstUse()
    {
        QFETCH(QDate, today);
        QFETCH(QString, stored);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        const FixedClock clock(today);
        if (!stored.isEmpty()) {
            userSettings()->setValue("Setting/REPDATESTART", stored);
            userSettings()->setValue("Setting/REPDATEEND", "15.01.2026");
        }
        Selection s(owner.get());
        QCOMPARE(s.from->date(), first);
        QCOMPARE(s.to->date(), last);
    }

    void aCancelledPeriodIsOfferedAgain()
    {
        const FixedClock clock(QDate(2026, 12, 10));
        {
            Selection s(owner.get());
            s.from->setDate(QDate(2026, 1, 1));
            s.to->setDate(QDate(2026, 6, 30));
            s.dialog.reject();
        }
        QCOMPARE(userSettings()->value("Setting/REPDATESTART").toString(), QString("01.01.2026"));
        Selection again(owner.get());
        QCOMPARE(again.from->date(), QDate(2026, 1, 1));
        QCOMPARE(again.to->date(), QDate(2026, 6, 30));
        again.dialog.reject();
    }

    void controlsFollowTheChosenReport_data()
    {
        QTest::addColumn<int>("report");
        QTest::addColumn<bool>("from");
        QTest::addColumn<bool>("to");
        QTest::addColumn<bool>("filter");
        QTest::newRow("none chosen") << -1 << false << false << false;
        QTest::newRow("Transactions") << 0 << true << true << false;
        QTest::newRow("Customers") << 1 << false << false << false;
        QTest::newRow("Items") << 2 << false << false << false;
        QTest::newRow("Invoices") << 3 << true << false << true;
    }
    void controlsFollowTheChosenReport()
    {
        QFETCH(int, report);
        QFETCH(bool, from);
        QFETCH(bool, to);
        QFETCH(bool, filter);
        Selection s(owner.get());
        QCOMPARE(s.dialog.windowTitle(), QString("Reports"));
        QCOMPARE(s.dialog.property("HelpContext").toInt(), 3000);
        QCOMPARE(s.report->currentIndex(), -1);
        QCOMPARE(s.report->placeholderText(), QString("Select a report here"));
        QCOMPARE(s.status->currentText(), QString("All"));
        s.report->setCurrentIndex(report);
        QCOMPARE(s.ok->isEnabled(), report >= 0);
        QCOMPARE(s.from->isVisible(), from);
        QCOMPARE(s.dialog.findChild<QLabel *>("lblFrom")->isVisible(), from);
        QCOMPARE(s.to->isVisible(), to);
        QCOMPARE(s.status->isVisible(), filter);
        s.dialog.reject();
    }

    void anEmptyPeriodIsRefusedAndTheDialogStays()
    {
        TempDatabase file;
        TdmInvoice dm(file.folder());
        MessageAnswers answers;
        Selection s(owner.get());
        s.report->setCurrentIndex(TfrmRepSelect::Transactions);
        s.from->setDate(QDate(2026, 1, 1));
        s.to->setDate(QDate(2026, 1, 31));
        QVERIFY(triggerAction(&s.dialog, "btnOK"));
        QCOMPARE(answers.texts(), QStringList{"No invoice transaction for given period."});
        QVERIFY(s.dialog.isVisible());
        QVERIFY(owner->isEnabled());

        // A period that ends before it starts: said so, before anything runs.
        answers.clear();
        s.to->setDate(QDate(2025, 12, 31));
        QVERIFY(triggerAction(&s.dialog, "btnOK"));
        QCOMPARE(answers.shown().size(), 1);
        QVERIFY(answers.texts().first().startsWith("The period ends on 31.12.2025, before it starts on 01.01.2026"));
        QVERIFY(s.dialog.isVisible());
        s.dialog.reject();
    }

    // A list shown with the owner disabled, saved as PDF and as RTF from the preview; OK then closes.
    void aListRunsIntoThePreview()
    {
        TempDatabase file(true);
        TdmInvoice dm(file.folder());
        QTemporaryDir out;
        int pages = 0;
        bool ownerDisabled = false;
        // A name without a suffix gets the chosen filter's.
        NextFileNames names;
        names.push(out.filePath("kunder"), "PDF File (*.pdf)");
        names.push(out.filePath("kunder.rtf"), "RTF File (*.rtf)");
        {
            const PreviewDriver preview([&](report::PreviewWindow &w) {
                pages = w.pageCount();
                ownerDisabled = !owner->isEnabled();
                QCOMPARE(w.windowTitle(), QString("Print Preview - Customers"));
                w.save();
                w.save();
            });
            Selection s(owner.get());
            s.report->setCurrentIndex(TfrmRepSelect::Customers);
            QVERIFY(triggerAction(&s.dialog, "btnOK"));
            QCOMPARE(s.dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(pages, 1);
        QVERIFY(ownerDisabled);
        QVERIFY(owner->isEnabled());
        QCOMPARE(lastSaveFileRequest().filter, QString("PDF File (*.pdf);;RTF File (*.rtf)"));
        QVERIFY(PdfProbe(out.filePath("kunder.pdf")).find(0, "Customer"));
        QFile rtf(out.filePath("kunder.rtf"));
        QVERIFY(rtf.open(QIODevice::ReadOnly));
        QVERIFY(rtf.readAll().startsWith("{\\rtf1"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no part files left
    }

    // Cancel on the progress bar: nothing shown, the dialog stays for another try.
    void cancellingThePreparationShowsNothing()
    {
        TempDatabase file(true);
        TdmInvoice dm(file.folder());
        const int previousDelay = report::ProgressBar::setDelay(0);
        bool shown = false, cancelled = false;
        const PreviewDriver preview([&](report::PreviewWindow &) { shown = true; });
        QTimer::singleShot(0, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *bar = qobject_cast<QProgressDialog *>(w); bar && bar->isVisible()) {
                    bar->cancel();
                    cancelled = true;
                }
        });
        Selection s(owner.get());
        s.report->setCurrentIndex(TfrmRepSelect::Items);
        QVERIFY(triggerAction(&s.dialog, "btnOK"));
        report::ProgressBar::setDelay(previousDelay);
        QVERIFY(cancelled);
        QVERIFY(!shown);
        QVERIFY(s.dialog.isVisible());
        QVERIFY(owner->isEnabled());
        s.dialog.reject();
    }

private:
    std::unique_ptr<QWidget> owner;
};

QTEST_MAIN(TestReportSelect)
#include "tst_report_select.moc"
