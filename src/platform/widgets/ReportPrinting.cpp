#include "ReportPrinting.h"

#include "PreviewWindow.h"
#include "platform/db/Errors.h"
#include "platform/report/Render.h"
#include "platform/report/Report.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace report {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}

QPageLayout pageLayout(const QSizeF &paper)
{
    const bool landscape = paper.width() > paper.height();
    const QSizeF portrait = landscape ? paper.transposed() : paper;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void printPages(const std::vector<Page> &pages, QPrinter &printer)
{
    const QString name =
        printer.printerName().isEmpty() ? QDir::toNativeSeparators(printer.outputFileName()) : printer.printerName();
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(pages.empty() ? QSizeF(210, 297) : pages.front().paper));
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(tr("The printer \"%1\" cannot print the document").arg(name));
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            throw Error(tr("The printer \"%1\" stopped printing the document").arg(name));
        }
        paintPage(painter, pages[i], true);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw Error(tr("The printer \"%1\" could not finish the document").arg(name));
}
} // namespace

void print(Report &report, QPrinter &printer)
{
    printPages(report.generate(), printer);
    if (report.afterPrint)
        report.afterPrint();
}

void preview(Report &report, QPrinter &printer)
{
    PreviewWindow window(report, printer);
    window.exec();
}

} // namespace report
