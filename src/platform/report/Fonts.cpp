#include "Report.h"

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
    paper.setHintingPreference(QFont::PreferNoHinting);
    return paper;
}

QFont reportFont(const QString &family, double pointSize, bool bold, bool italic)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace report
