#include "GuiTestSupport.h"
#include "PdfProbe.h"
#include "ReportFixtures.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "report/Report.h"
#include "widgets/FileDialog.h"
#include "widgets/PreviewWindow.h"
#include "widgets/ReportPrinting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

// Printing a report and its preview window.
class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows())); }
    void printerOutputAndFailure();
    void previewNavigatesZoomsPrintsAndSaves();
    void rtfKeepsTextsInPageOrderAtTheirPlaces();
    void saveLeavesAReadOnlyFileAlone();
};

void TestPreview::printerOutputAndFailure()
{
    RowReport rr(5, 3);
    int printed = 0;
    rr.r.afterPrint = [&] { ++printed; };
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    report::print(rr.r, printer);
    QCOMPARE(printed, 1);
    PdfProbe pdf(printer.outputFileName());
    QCOMPARE(pdf.pageCount(), 1);
    QVERIFY(qAbs(pdf.pageSize(0).height() - 100) < 0.4);
    const auto row = pdf.find(0, QStringLiteral("row2"));
    QVERIFY(row && qAbs(row->box.left() - 2) < 0.2);

    // exportPdf and preview are not printing: no after-print.
    rr.r.exportPdf(dir.filePath(QStringLiteral("export.pdf")));
    QCOMPARE(printed, 1);

    printer.setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/printed.pdf")));
    QVERIFY_THROWS_EXCEPTION(Error, report::print(rr.r, printer));
    QCOMPARE(printed, 1);
}

void TestPreview::previewNavigatesZoomsPrintsAndSaves()
{
    MessageAnswers answers;
    RowReport rr(25, 7); // three pages
    rr.r.title = QStringLiteral("List");
    rr.r.previewHeight = 600;
    int generations = 0, printed = 0;
    rr.r.beforePrint = [&] {
        rr.next = 0;
        ++generations;
    };
    rr.r.afterPrint = [&] { ++printed; };
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));

    const NextFileNames names({dir.filePath(QStringLiteral("saved.pdf"))});
    PrinterToPdf setup;
    bool ran = false;
    const PreviewDriver driver([&](PreviewWindow &w) {
        ran = true;
        QVERIFY(w.isVisible());
        QCOMPARE(w.height(), 600);
        QCOMPARE(w.pageCount(), 3);
        QCOMPARE(w.currentPage(), 0);
        QVERIFY(!w.actPriorPage->isEnabled());
        w.actNextPage->trigger();
        QCOMPARE(w.currentPage(), 1);
        w.actLastPage->trigger();
        QCOMPARE(w.currentPage(), 2);
        QVERIFY(!w.actNextPage->isEnabled());
        w.actFirstPage->trigger();
        QCOMPARE(w.currentPage(), 0);

        const QSize atHundred = w.pageImage().size();
        QCOMPARE(atHundred.width(), qRound(100 / mmPerPixel + 0.5));
        w.actZoomIn->trigger();
        QVERIFY(w.zoom() > 100);
        QVERIFY(w.pageImage().width() > atHundred.width());
        w.setZoom(50);
        QCOMPARE(w.pageImage().width(), (atHundred.width() + 1) / 2);

        w.actPrinterSetup->trigger();
        w.actPrint->trigger();
        w.actSave->trigger();
        w.actClose->trigger();
    });
    report::preview(rr.r, printer);

    QVERIFY(ran);
    QCOMPARE(setup.setups, 1);
    QCOMPARE(setup.setUpPrinter, &printer); // the preview's own printer, not the program's
    QCOMPARE(printed, 1);
    QCOMPARE(generations, 3); // preview, print, save
    QCOMPARE(lastSaveFileRequest().filter, QString("PDF File (*.pdf)"));
    QCOMPARE(PdfProbe(printer.outputFileName()).pageCount(), 3);
    PdfProbe saved(dir.filePath(QStringLiteral("saved.pdf")));
    QCOMPARE(saved.pageCount(), 3);
    QCOMPARE(saved.count(2, QStringLiteral("row7")), 1);
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(noWindowLeft());
}

void TestPreview::rtfKeepsTextsInPageOrderAtTheirPlaces()
{
    RowReport rr(25, 4);
    rr.r.rtfExport = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.rtf"));

    NextFileNames names;
    names.push(path, QStringLiteral("RTF File (*.rtf)"));
    const PreviewDriver driver([](PreviewWindow &w) { w.save(); });
    QPrinter printer;
    report::preview(rr.r, printer);
    QCOMPARE(lastSaveFileRequest().filter, QString("PDF File (*.pdf);;RTF File (*.rtf)"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray rtf = file.readAll();
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QCOMPARE(rtf.count('{'), rtf.count('}'));
    QVERIFY(rtf.contains("\\paperw5669\\paperh5669"));
    // row1..row3 and a footer on page 1, row4 and a footer on page 2, in that order.
    const qsizetype row1 = rtf.indexOf(" row1\\par"), row3 = rtf.indexOf(" row3\\par"),
                    pageBreak = rtf.indexOf("\\page"), row4 = rtf.indexOf(" row4\\par");
    QVERIFY(row1 > 0 && row1 < row3 && row3 < pageBreak && pageBreak < row4);
    // row2 stands 2 mm from the left and 30 mm from the top: 113 and 1701 twips.
    QVERIFY(rtf.contains("\\posx113\\posy1701"));
    QCOMPARE(rtf.count("foot\\par"), 2);
}

// An archived file marked read-only is not written over: the reason is shown and the file stays as it was.
void TestPreview::saveLeavesAReadOnlyFileAlone()
{
    MessageAnswers answers;
    RowReport rr(25, 4);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archived.pdf"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4 archived");
    }
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    const NextFileNames names({path});
    const PreviewDriver driver([](PreviewWindow &w) { w.save(); });
    QPrinter printer;
    report::preview(rr.r, printer);

    QCOMPARE(answers.shown().size(), 1);
    QCOMPARE(answers.shown().at(0).type, MsgType::Error);
    QCOMPARE(answers.shown().at(0).text,
             QStringLiteral("Cannot write the PDF file \"%1\": the file is read-only (Permission denied)").arg(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("%PDF-1.4 archived"));
    QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::ReadGroup);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("archived.pdf")});
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
