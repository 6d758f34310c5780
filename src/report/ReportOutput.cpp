#include "Render.h"
#include "Report.h"

namespace report {

void Report::exportPdf(const QString &path, const Progress &progress)
{
    if (beforePdf)
        beforePdf();
    struct After {
        Report &r;
        ~After()
        {
            if (r.afterPdf)
                r.afterPdf();
        }
    } after{*this};
    PdfFile file(path, documentName.isEmpty() ? title : documentName);
    generate(file, progress);
    file.commit();
}

void Report::exportRtf(const QString &path, const Progress &progress)
{
    RtfFile file(path);
    generate(file, progress);
    file.commit();
}

} // namespace report
