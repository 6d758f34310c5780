#include "RowOrder.h"

#include "DataSet.h"

#include <algorithm>

namespace db {

void sortByReadOrder(std::vector<Row *> &rows)
{
    // Rows are numbered as they are read.
    std::stable_sort(rows.begin(), rows.end(), [](const Row *a, const Row *b) { return a->id < b->id; });
}

int compareValues(const QVariant &a, const QVariant &b, FieldType type)
{
    const bool an = !a.isValid(), bn = !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    switch (type) {
    case FieldType::Currency: {
        const qint64 x = a.value<Money>().units(), y = b.value<Money>().units();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::DateTime: {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Double: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Boolean:
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc: {
        const qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default:
        return 0;
    }
}

void sortByValue(std::vector<Row *> &rows, int slot, FieldType type, bool ascending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const Row *a, const Row *b) {
        const int c = compareValues(a->values.at(slot), b->values.at(slot), type);
        return ascending ? c < 0 : c > 0;
    });
}

TextKeys::TextKeys()
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TextKeys::keyOf(const QString &text)
{
    if (auto it = m_keyOf.constFind(text.constData()); it != m_keyOf.cend())
        return *it;
    const int key = int(m_keys.size());
    m_keys.push_back(m_collator.sortKey(text));
    m_texts.push_back(text);
    if (!text.isEmpty())
        m_keyOf.insert(text.constData(), key);
    return key;
}

void TextKeys::order(std::vector<std::pair<int, Row *>> &keyed, bool ascending, std::vector<Row *> &rows) const
{
    std::stable_sort(keyed.begin(), keyed.end(), [this, ascending](const auto &a, const auto &b) {
        if (a.first == b.first)
            return false;
        const int c = m_keys[size_t(a.first)].compare(m_keys[size_t(b.first)]);
        return ascending ? c < 0 : c > 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        rows[i] = keyed[i].second;
}

} // namespace db
