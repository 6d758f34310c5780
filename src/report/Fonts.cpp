#include "Report.h"

#include <vector>

namespace report {

QFont paperFont(const QFont &font)
{
    const QString family = font.family();
    QFont paper = font;
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) {
        paper.setFamily(QStringLiteral("Liberation Sans"));
    } else if (family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) {
        paper.setFamily(QStringLiteral("Liberation Mono"));
    } else if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0) {
        paper.setFamily(QStringLiteral("Liberation Sans"));
        paper.setPixelSize(13);
    } else {
        return font;
    }
    // Characters the face lacks come first from faces with outlines, so that paper and PDF show the same
    // glyphs on every machine: a desktop's own fallback for emoji is often a face of colour bitmaps, which
    // a PDF cannot carry. Scripts these faces lack fall back to the system's faces as before.
    paper.setFamilies({paper.family(), QStringLiteral("DejaVu Sans"), QStringLiteral("Symbola")});
    paper.setHintingPreference(QFont::PreferNoHinting);
    return paper;
}

QFont reportFont(const QString &family, double pointSize, bool bold, bool italic)
{
    // Reports ask for the same few fonts element after element. Copies of one font share their data:
    // quick to make, and quick for the layout to recognise.
    struct Made {
        QString family;
        double pointSize;
        bool bold, italic;
        QFont font;
    };
    thread_local std::vector<Made> made;
    for (const Made &m : made)
        if (m.pointSize == pointSize && m.bold == bold && m.italic == italic && m.family == family)
            return m.font;
    if (made.size() >= 64)
        made.clear();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    made.push_back({family, pointSize, bold, italic, font});
    return font;
}

} // namespace report
