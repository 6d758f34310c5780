#include "Render.h"
#include "platform/db/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

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
        } else if (u >= 128) {
            out += "\\u" + QByteArray::number(int(static_cast<int16_t>(u))) + '?';
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
// document keeps the layout while staying editable text.
void writeRtf(const std::vector<Page> &pages, const QString &path)
{
    QStringList families;
    for (const Page &page : pages)
        for (const PlacedBand &band : page.bands)
            for (const DrawItem &item : band.items)
                if (item.kind == DrawItem::Kind::Text && !families.contains(item.font.family()))
                    families << item.font.family();

    const QSizeF paper = pages.empty() ? QSizeF(210, 297) : pages.front().paper;
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < families.size(); ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fnil " + escaped(families[i]) + ";}";
    if (families.isEmpty())
        rtf += "{\\f0\\fnil Liberation Sans;}";
    rtf += "}\n";
    rtf += "\\paperw" + QByteArray::number(twips(paper.width())) + "\\paperh" +
           QByteArray::number(twips(paper.height())) + "\\margl0\\margr0\\margt0\\margb0";
    if (paper.width() > paper.height())
        rtf += "\\landscape";
    rtf += "\n";
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p > 0)
            rtf += "\\pard\\plain\\fs2\\page\n";
        for (const PlacedBand &band : pages[p].bands) {
            for (const DrawItem &item : band.items) {
                if (item.kind != DrawItem::Kind::Text)
                    continue;
                const QByteArray font = "\\f" + QByteArray::number(families.indexOf(item.font.family())) + "\\fs" +
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
    }
    rtf += "}\n";

    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size() || !file.commit())
        throw Error(QCoreApplication::translate("Report", "Cannot write the RTF file \"%1\": %2")
                        .arg(shown, file.errorString()));
}

} // namespace report
