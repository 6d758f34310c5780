#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace db {

// The row filter of a dataset: "FIELD Like 'text*'". '*' matches any run of characters, '[c]' stands for
// the character c itself (so '[*]' is a star), a doubled quote is a quote; case is ignored (Æ, Ø and Å
// included).
class RowFilter {
public:
    // The filter an expression says; none for one that is not understood. An empty expression lets
    // every row pass.
    static std::optional<RowFilter> parse(const QString &expression);
    // The expression of the texts that begin with text, every character of text taken literally.
    static QString prefixExpression(const QString &fieldName, const QString &text);

    bool isEmpty() const { return m_field.isEmpty(); }
    const QString &fieldName() const { return m_field; }
    // Whether a field's text passes. Taken by value: a text made for the test is folded in place.
    bool matches(QString text) const;

private:
    QString m_field;
    QStringList m_parts; // case-folded pieces between the '*'s
    bool m_openStart = false, m_openEnd = false;
};

} // namespace db
