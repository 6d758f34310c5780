#include "PreviewWindow.h"
#include "Render.h"
#include "Report.h"

#include <QPrinter>

namespace report {

void Report::print()
{
    QPrinter &target = printer();
    if (getPrinterSettings)
        getPrinterSettings(target);
    printPages(generate(), target);
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
