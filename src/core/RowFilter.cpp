#include "RowFilter.h"

#include <QRegularExpression>

namespace db {

std::optional<RowFilter> RowFilter::parse(const QString &expression)
{
    static const QRegularExpression like(QStringLiteral("^\\s*(\\w+)\\s+like\\s+'((?:[^']|'')*)'\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    RowFilter filter;
    if (expression.trimmed().isEmpty())
        return filter;
    const QRegularExpressionMatch m = like.match(expression);
    if (!m.hasMatch())
        return std::nullopt;
    filter.m_field = m.captured(1);
    QString pattern = m.captured(2);
    pattern.replace(QLatin1String("''"), QLatin1String("'"));
    // Split at the wildcards; a character in brackets is that character, whatever it is.
    QStringList parts{QString()};
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('[') && i + 2 < pattern.size() && pattern.at(i + 2) == QLatin1Char(']')) {
            parts.last() += pattern.at(i + 1);
            i += 2;
        } else if (c == QLatin1Char('*')) {
            parts << QString();
        } else {
            parts.last() += c;
        }
    }
    filter.m_openStart = parts.size() > 1 && parts.first().isEmpty();
    filter.m_openEnd = parts.size() > 1 && parts.last().isEmpty();
    parts.removeAll(QString());
    for (const QString &part : parts)
        filter.m_parts << part.toCaseFolded();
    return filter;
}

QString RowFilter::prefixExpression(const QString &fieldName, const QString &text)
{
    QString literal;
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('['))
            literal += QLatin1Char('[') + c + QLatin1Char(']');
        else if (c == QLatin1Char('\''))
            literal += QLatin1String("''");
        else
            literal += c;
    }
    return fieldName + QLatin1String(" Like '") + literal + QLatin1String("*'");
}

bool RowFilter::matches(QString text) const
{
    if (m_field.isEmpty())
        return true;
    text = std::move(text).toCaseFolded();
    const qsizetype count = m_parts.size();
    qsizetype at = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const QString &part = m_parts.at(i);
        if (i == 0 && !m_openStart) {
            if (!text.startsWith(part))
                return false;
            at = part.size();
        } else if (i == count - 1 && !m_openEnd) {
            // The last part ends the text, wherever else it occurs.
            return text.size() - part.size() >= at && text.endsWith(part);
        } else {
            const qsizetype found = text.indexOf(part, at);
            if (found < 0)
                return false;
            at = found + part.size();
        }
    }
    return m_openEnd || at == text.size();
}

} // namespace db
