#pragma once

#include "Report.h"

#include <QFile>
#include <QImage>

#include <memory>

class QPainter;

namespace report {

// Paints one laid-out page on a device whose origin is the paper's top-left corner. Band colours are
// painted only when `bandColours` is set (printer and preview, not PDF).
void paintPage(QPainter &painter, const Page &page, bool bandColours);

// The page as an image at `dpi` dots per inch (96 is zoom 100 %).
QImage pageImage(const Page &page, double dpi);

// A file written page by page into a hidden file beside its target and renamed into place by commit():
// readers never see part of it, and a file already under the name stays as it was until then. Destroyed
// before commit() (a write error, a cancelled run), it leaves nothing behind. Failures throw Error with
// the file's name and the system's reason. Only a regular file the user may change is replaced (never a
// symbolic link, a device or a read-only file), and it keeps its permissions; a new file is readable by
// its owner only.
class OutputFile : public PageSink {
public:
    ~OutputFile() override;
    virtual void commit() = 0;

protected:
    // `errorText` has the file's name as %1 and the reason as %2.
    OutputFile(const QString &path, const QString &errorText);
    [[noreturn]] void fail(const QString &reason);
    int checkTarget();
    QFile &part() { return *m_part; }
    void commitPart();

    QString m_path;
    QString m_errorText;

private:
    std::unique_ptr<QFile> m_part;
    bool m_committed = false;
};

// One PDF file, one page per report page at its paper size, no band colours.
class PdfFile : public OutputFile {
public:
    PdfFile(const QString &path, const QString &title);
    ~PdfFile() override;
    void addPage(Page &&page) override { write(page); }
    void write(const Page &page);
    void commit() override;

private:
    std::unique_ptr<class PdfStream> m_stream;
};

// The texts of the pages as an RTF document, page by page, each line at its place on the paper.
class RtfFile : public OutputFile {
public:
    explicit RtfFile(const QString &path);
    ~RtfFile() override;
    void addPage(Page &&page) override { write(page); }
    void write(const Page &page);
    void commit() override;

private:
    std::unique_ptr<QFile> m_body; // the pages, until the font table is known
    QStringList m_families;
    QSizeF m_paper;
    int m_pages = 0;
};

// Writes the pages as one PDF file. Nothing appears under `path` unless the whole file was written;
// failures throw Error.
void writePdf(const std::vector<Page> &pages, const QString &path, const QString &title);

} // namespace report
