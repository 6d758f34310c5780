#include "PreviewWindow.h"
#include "Render.h"
#include "Report.h"

#include <QPrinter>

namespace report {

void Report::print()
{
    // Generated first: the report's before-print handler may point it at another printer.
    const std::vector<Page> pages = generate();
    QPrinter &target = printer();
    if (getPrinterSettings)
        getPrinterSettings(target);
    printPages(pages, target);
    if (afterPrint)
        afterPrint();
}

void Report::exportPdf(const QString &path)
{
    writePdf(generate(), path, title);
}

void Report::exportRtf(const QString &path)
{
    writeRtf(generate(), path);
}

void Report::preview()
{
    PreviewWindow window(*this);
    window.exec();
}

} // namespace report
