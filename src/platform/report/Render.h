#pragma once

#include "Report.h"

#include <QImage>

class QPainter;

namespace report {

// Paints one laid-out page on a device whose origin is the paper's top-left corner. Band colours are
// painted only when `bandColours` is set (printer and preview, not PDF).
void paintPage(QPainter &painter, const Page &page, bool bandColours);

// The page as an image at `dpi` dots per inch (96 is zoom 100 %).
QImage pageImage(const Page &page, double dpi);

// Writes the pages as one PDF file, one page per report page at the paper size. Nothing appears under
// `path` unless the whole file was written; failures throw Error.
void writePdf(const std::vector<Page> &pages, const QString &path, const QString &title);

// Writes the texts of the pages into an RTF document, page by page, at their places.
void writeRtf(const std::vector<Page> &pages, const QString &path);

} // namespace report
