#pragma once

#include "Report.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

namespace report {

// Writes all of `data` to the device; a short write is followed up, so that a full disk or a file size
// limit is told by the system's reason. Returns that reason, or an empty text.
QString writeFully(QIODevice &device, const char *data, qint64 size);

// The pages as one complete PDF document: one page per report page at its paper size, texts as text in
// embedded TrueType subsets (with a character map, so that the text can be searched and copied), shapes as
// paths, streams deflated, `title` in the document information. No band colours. Without pages, one blank
// A4 page.
//
// Each typeface is read from its font file once per process; a document adds the glyphs it uses, and a
// recent compressed subset that holds them and at most a few dozen more serves it without new work. Empty when the
// document could not be compressed (out of memory).
QByteArray pdfDocument(const std::vector<Page> &pages, const QString &title);

// The same document written into `device` page by page as the pages come, keeping only what the end of the
// file needs (object offsets and the glyphs used): memory does not grow with the number of pages.
class PdfStream {
public:
    PdfStream(QIODevice &device, const QString &title);
    ~PdfStream();
    PdfStream(const PdfStream &) = delete;
    PdfStream &operator=(const PdfStream &) = delete;

    void addPage(const Page &page);
    // Writes the fonts and the end of the file. Returns what went wrong (a write error of the device), or
    // an empty text.
    QString finish();
    QString error() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace report
