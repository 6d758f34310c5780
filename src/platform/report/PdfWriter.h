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
// Each typeface is read from its font file once per process; a document only adds the glyphs it uses, and
// a document using the same glyphs as a recent one reuses its compressed subset. Empty when the document
// could not be compressed (out of memory).
QByteArray pdfDocument(const std::vector<Page> &pages, const QString &title);

} // namespace report
