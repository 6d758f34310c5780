#pragma once

#include "PageContent.h"
#include "PdfBuffer.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

namespace report {

struct Page;

// One PDF document being written: its numbered objects and their offsets, the page objects with their
// content, and at the end the page tree, the fonts the pages used, the catalog and the cross-reference
// table. The caller holds FontRegistry::mutex() while it adds pages and finishes.
class PdfDocument {
public:
    // Written into `device` as it goes when given one, else kept in memory for takeData().
    explicit PdfDocument(QIODevice *device) : m_device(device) {}
    void start(const QString &title);
    void addPage(const Page &page);
    void finish();
    QByteArray takeData() { return QByteArray::fromStdString(m_out.data); }
    // What went wrong, empty when nothing did.
    const QString &error() const { return m_error; }

private:
    // A new object number; its offset is recorded when the object is written.
    int reserve()
    {
        m_offsets.push_back(-1);
        return int(m_offsets.size());
    }
    void begin(int object)
    {
        m_offsets[size_t(object) - 1] = m_written + m_out.size();
        m_out << object << " 0 obj\n";
    }
    void end() { m_out << "\nendobj\n"; }
    void stream(int object, const QByteArray &packed, const QByteArray &extra = QByteArray());
    // Hands what was made so far to the device.
    void flush();
    void writeFont(const PageContent::UsedFont &used, int type0);
    void writeCrossReferences();

    QIODevice *m_device;
    PdfBuffer m_out;
    qint64 m_written = 0; // bytes handed to the device before m_out
    QString m_error;
    int m_catalog = 0, m_pageTree = 0, m_resources = 0, m_info = 0;
    std::vector<qint64> m_offsets;
    std::vector<int> m_pageObjects;
    PageContent m_content;
    bool m_openType = false; // a font with outlines in the compact format: PDF 1.6
};

} // namespace report
