#include "Render.h"
#include "Report.h"

namespace report {

void Report::exportPdf(const QString &path, const Progress &progress)
{
    PdfFile file(path, title);
    generate(file, progress);
    file.commit();
}

} // namespace report
