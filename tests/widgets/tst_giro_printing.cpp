#include "GiroFixtures.h"
#include "GuiTestSupport.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "document/qGiroF60.h"
#include "widgets/PreviewWindow.h"
#include "widgets/ReportPrinting.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

// The invoice page on a printer and in the preview window.
class TestGiroPrinting : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }
    void emptyPageThroughEveryOutput();
};

void TestGiroPrinting::emptyPageThroughEveryOutput()
{
    MessageAnswers answers;
    for (bool prePrinted : {false, true}) {
        TfrmGiroF60 giro;
        giro.setInvoiceId(42);
        giro.setPrePrinted(prePrinted);
        QList<int> printed;
        giro.onPrinted = [&](int id) { printed << id; };
        QTemporaryDir out;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath(QStringLiteral("printed.pdf")));

        const QString saved = out.filePath(QStringLiteral("saved.pdf"));
        {
            const NextFileNames names({saved});
            const PreviewDriver driver([&](PreviewWindow &w) {
                QCOMPARE(w.height(), 750);
                QCOMPARE(w.pageCount(), 1);
                w.printReport();
                w.save();
            });
            report::preview(giro.qrGiro, printer);
        }
        // A file carries the whole slip, also one saved from the preview of pre-printed stationery.
        QCOMPARE(PdfProbe(saved).count(0, QStringLiteral("GIRO")), 1);
        QCOMPARE(giro.prePrinted(), prePrinted);
        QCOMPARE(printed, QList<int>{42});

        PdfProbe print(printer.outputFileName());
        QCOMPARE(print.pageCount(), 1);
        QCOMPARE(print.count(0, QStringLiteral("GIRO")), prePrinted ? 0 : 1);

        report::print(giro.qrGiro, printer);
        QCOMPARE(printed, QList<int>({42, 42}));
        giro.qrGiro.exportPdf(out.filePath(QStringLiteral("giro.pdf")));
        PdfProbe exported(out.filePath(QStringLiteral("giro.pdf")));
        QCOMPARE(exported.pageCount(), 1);
        QCOMPARE(exported.count(0, QStringLiteral("GIRO")), 1);
    }
    QVERIFY(answers.shown().isEmpty());

    // Printing after a preview shows the rows and captions once.
    TfrmGiroF60 giro;
    addTable(giro, 2);
    QTemporaryDir out;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath(QStringLiteral("again.pdf")));
    {
        const PreviewDriver driver([](PreviewWindow &w) { w.actPrint->trigger(); });
        report::preview(giro.qrGiro, printer);
    }
    PdfProbe again(printer.outputFileName());
    QCOMPARE(again.count(0, QStringLiteral("Varenr.")), 1);
    QCOMPARE(again.count(0, QStringLiteral("Item1")), 1);
    QCOMPARE(again.count(0, QStringLiteral("Item2")), 1);
    QCOMPARE(again.count(0, QStringLiteral("Item3")), 0);
}

QTEST_MAIN(TestGiroPrinting)
#include "tst_giro_printing.moc"
