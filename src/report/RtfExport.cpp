#include "PdfWriter.h"
#include "Render.h"
#include "core/Errors.h"

#include <QCoreApplication>
#include <QDir>

#include <cmath>

namespace report {

namespace {

int twips(double mm)
{
    return int(std::lround(mm * 1440.0 / 25.4));
}

QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u >= 32 && u < 128) {
            out += char(u);
        } else if (u == 0xA0) {
            out += "\\~"; // the no-break space between thousands
        } else if (u > 0xA0 && u <= 0xFF) {
            // Latin-1 letters are the same in the document's code page 1252: every reader knows them.
            static const char hex[] = "0123456789abcdef";
            out += "\\'";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else if (u >= 128) {
            out += "\\u" + QByteArray::number(int(static_cast<int16_t>(u))) + (u == 0x2212 ? '-' : '?');
        }
    }
    return out;
}

double pointSize(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
}

} // namespace

// Each text line becomes a paragraph in a frame anchored to the page at its place on the paper, so the
// document keeps the layout while staying editable text. The pages go into a second hidden file first:
// the font table at the head of the document is known only once every page has been seen.
RtfFile::RtfFile(const QString &path)
    : OutputFile(path, QCoreApplication::translate("Report", "Cannot write the RTF file \"%1\": %2"))
{
    m_body = std::make_unique<QFile>(part().fileName() + QStringLiteral(".body"));
    if (!m_body->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered,
                      QFile::ReadOwner | QFile::WriteOwner))
        fail(m_body->errorString());
}

RtfFile::~RtfFile()
{
    m_body->close();
    m_body->remove();
}

void RtfFile::write(const Page &page)
{
    if (m_pages++ == 0)
        m_paper = page.paper;
    QByteArray rtf;
    if (m_pages > 1)
        rtf += "\\pard\\plain\\fs2\\page\n";
    for (const PlacedBand &band : page.bands) {
        for (const DrawItem &item : band.items) {
            if (item.kind != DrawItem::Kind::Text)
                continue;
            qsizetype family = m_families.indexOf(item.font.family());
            if (family < 0) {
                family = m_families.size();
                m_families << item.font.family();
            }
            const QByteArray font = "\\f" + QByteArray::number(family) + "\\fs" +
                                    QByteArray::number(int(std::lround(pointSize(item.font) * 2))) +
                                    (item.font.bold() ? "\\b" : "") + (item.font.italic() ? "\\i" : "");
            for (qsizetype i = 0; i < item.lines.size(); ++i) {
                const double left = item.lineLefts[size_t(i)];
                const double top = item.rect.top() + double(i) * item.lineHeight;
                // A little room to the right keeps a word processor's metrics from wrapping the line.
                const double width = std::max(item.rect.right() - left, 1.0) + 5.0;
                rtf += "\\pard\\plain\\pvpg\\phpg\\posx" + QByteArray::number(twips(left)) + "\\posy" +
                       QByteArray::number(twips(top)) + "\\absw" + QByteArray::number(twips(width)) + "\\absh-" +
                       QByteArray::number(twips(item.lineHeight)) + "\\nowrap\\sl0" + font + " " +
                       escaped(item.lines[i]) + "\\par\n";
            }
        }
    }
    if (const QString error = writeFully(*m_body, rtf.constData(), rtf.size()); !error.isEmpty())
        fail(error);
}

void RtfFile::commit()
{
    const QSizeF paper = m_pages == 0 ? QSizeF(210, 297) : m_paper;
    QByteArray head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    // The faces the paper prints in stand for the common ones a word processor knows by name.
    for (qsizetype i = 0; i < m_families.size(); ++i) {
        const QString &family = m_families[i];
        QByteArray face = "\\fnil " + escaped(family);
        if (family == QLatin1String("Liberation Sans"))
            face = "\\fswiss Arial";
        else if (family == QLatin1String("Liberation Mono"))
            face = "\\fmodern Courier New";
        else if (family == QLatin1String("Liberation Serif"))
            face = "\\froman Times New Roman";
        head += "{\\f" + QByteArray::number(i) + face + ";}";
    }
    if (m_families.isEmpty())
        head += "{\\f0\\fswiss Arial;}";
    head += "}\n";
    head += "\\paperw" + QByteArray::number(twips(paper.width())) + "\\paperh" +
            QByteArray::number(twips(paper.height())) + "\\margl0\\margr0\\margt0\\margb0";
    if (paper.width() > paper.height())
        head += "\\landscape";
    head += "\n";
    if (const QString error = writeFully(part(), head.constData(), head.size()); !error.isEmpty())
        fail(error);
    if (!m_body->flush() || !m_body->seek(0))
        fail(m_body->errorString());
    while (!m_body->atEnd()) {
        const QByteArray chunk = m_body->read(1 << 20);
        if (chunk.isEmpty())
            fail(m_body->errorString());
        if (const QString error = writeFully(part(), chunk.constData(), chunk.size()); !error.isEmpty())
            fail(error);
    }
    if (const QString error = writeFully(part(), "}\n", 2); !error.isEmpty())
        fail(error);
    commitPart();
}

} // namespace report
