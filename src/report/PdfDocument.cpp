#include "PdfDocument.h"

#include "PdfWriter.h"
#include "Report.h"
#include "core/Clock.h"

#include <QIODevice>

#include <cstdio>
#include <memory>

namespace report {

void PdfDocument::stream(int object, const QByteArray &packed, const QByteArray &extra)
{
    if (packed.isEmpty() && m_error.isEmpty())
        m_error = QStringLiteral("out of memory");
    begin(object);
    m_out << "<< /Length " << qint64(packed.size()) << " /Filter /FlateDecode" << extra << " >>\nstream\n"
          << packed << "\nendstream";
    end();
}

void PdfDocument::flush()
{
    if (!m_device || m_out.data.empty())
        return;
    if (m_error.isEmpty())
        m_error = writeFully(*m_device, m_out.data.data(), qint64(m_out.data.size()));
    m_written += m_out.size();
    m_out.data.clear();
}

void PdfDocument::start(const QString &title)
{
    m_out.data.reserve(64 * 1024);
    m_content.out().data.reserve(16 * 1024);
    m_out << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    m_catalog = reserve();
    m_pageTree = reserve();
    m_resources = reserve();
    m_info = reserve();
    begin(m_info);
    m_out << "<< /Title ";
    m_out.textString(title);
    // The moment of writing, in the program's local time as its clock gives it.
    const QDateTime now = Clock::now();
    m_out << " /CreationDate (D:" << now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() << ")";
#ifdef TESSUND_VERSION
    m_out << " /Creator (Tessund " TESSUND_VERSION ") /Producer (Tessund " TESSUND_VERSION ") >>";
#else
    m_out << " /Creator (Tessund) /Producer (Tessund) >>";
#endif
    end();
}

void PdfDocument::addPage(const Page &page)
{
    const int contents = reserve(), object = reserve();
    stream(contents, deflate(m_content.write(page), Packing::Fast));
    begin(object);
    m_out << "<< /Type /Page /Parent " << m_pageTree << " 0 R /MediaBox [0 0 ";
    m_out.num(page.paper.width() * pointsPerMm) << ' ';
    m_out.num(page.paper.height() * pointsPerMm)
        << "] /Resources " << m_resources << " 0 R /Contents " << contents << " 0 R >>";
    end();
    m_pageObjects.push_back(object);
    if (m_out.data.size() >= 256 * 1024)
        flush();
}

// The font objects of one used font, the first of them numbered `type0`: the composite font, its CID
// font, the descriptor, the embedded subset and its character map.
void PdfDocument::writeFont(const PageContent::UsedFont &used, int type0)
{
    const std::shared_ptr<const FontFace::Subset> kept = used.face->subset(used.glyphs);
    const FontFace::Subset &subset = *kept;
    const QByteArray name = subset.tag + '+' + used.face->postScriptName();
    const int cid = reserve(), descriptor = reserve(), file = reserve(), cmap = reserve();
    begin(type0);
    m_out << "<< /Type /Font /Subtype /Type0 /BaseFont /" << name << " /Encoding /Identity-H /DescendantFonts [" << cid
          << " 0 R] /ToUnicode " << cmap << " 0 R >>";
    end();
    begin(cid);
    // Compact outlines are addressed by their glyph ids directly.
    if (used.face->isCompact())
        m_out << "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /" << name;
    else
        m_out << "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" << name << " /CIDToGIDMap /Identity";
    m_out << " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " << descriptor
          << " 0 R /DW 0 /W " << subset.widths << " >>";
    end();
    begin(descriptor);
    used.face->writeDescriptor(m_out, name, file);
    end();
    if (used.face->isCompact()) {
        m_openType = true;
        stream(file, subset.fontFile, " /Subtype /OpenType");
    } else {
        stream(file, subset.fontFile, " /Length1 " + QByteArray::number(subset.fontFileLength));
    }
    stream(cmap, subset.toUnicode);
}

void PdfDocument::finish()
{
    // A document without pages is one blank A4 sheet, which every reader opens.
    if (m_pageObjects.empty())
        addPage(Page{QSizeF(210, 297), {}});
    begin(m_pageTree);
    m_out << "<< /Type /Pages /Count " << int(m_pageObjects.size()) << " /Kids [";
    for (int object : m_pageObjects)
        m_out << object << " 0 R ";
    m_out << "] >>";
    end();

    std::vector<int> fontObjects;
    for (const PageContent::UsedFont &used : m_content.fonts()) {
        fontObjects.push_back(reserve());
        writeFont(used, fontObjects.back());
    }
    begin(m_resources);
    m_out << "<< /ProcSet [/PDF /Text] /Font <<";
    for (size_t i = 0; i < fontObjects.size(); ++i)
        m_out << " /F" << int(i) << ' ' << fontObjects[i] << " 0 R";
    m_out << " >> >>";
    end();
    begin(m_catalog);
    m_out << "<< /Type /Catalog /Pages " << m_pageTree << " 0 R";
    if (m_openType)
        m_out << " /Version /1.6"; // fonts with compact outlines in OpenType files
    m_out << " >>";
    end();
    writeCrossReferences();
    flush();
}

void PdfDocument::writeCrossReferences()
{
    const qint64 xref = m_written + m_out.size();
    m_out << "xref\n0 " << int(m_offsets.size() + 1) << "\n0000000000 65535 f \n";
    for (qint64 offset : m_offsets) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(offset));
        m_out.data.append(entry, 20);
    }
    m_out << "trailer\n<< /Size " << int(m_offsets.size() + 1) << " /Root " << m_catalog << " 0 R /Info " << m_info
          << " 0 R >>\nstartxref\n"
          << xref << "\n%%EOF\n";
}

} // namespace report
