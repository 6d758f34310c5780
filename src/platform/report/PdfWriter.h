#pragma once

#include "Report.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace report {

// The pages as one complete PDF document: one page per report page at its paper size, texts as text in
// embedded TrueType subsets (with a character map, so that the text can be searched and copied), shapes as
// paths, streams deflated, `title` in the document information. No band colours. Without pages, one blank
// A4 page.
//
// Each typeface is read from its font file once per process; a document adds the glyphs it uses, and a
// recent compressed subset that holds them and at most a few dozen more serves it without new work. Empty when the
// document could not be compressed (out of memory).
QByteArray pdfDocument(const std::vector<Page> &pages, const QString &title);

} // namespace report
