#include "Render.h"
#include "Report.h"

namespace report {

void Report::exportPdf(const QString &path)
{
    writePdf(generate(), path, title);
}

void Report::exportRtf(const QString &path)
{
    writeRtf(generate(), path);
}

} // namespace report
