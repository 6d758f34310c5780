#pragma once

#include "Value.h"

#include <QCollator>
#include <QHash>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace db {

struct Row;

// The orders DataSet::sort puts its rows in. Each is stable: rows that compare equal keep their order.

// The order the rows were read in, which is the order of the query result.
void sortByReadOrder(std::vector<Row *> &rows);

// By the values in one slot of a field that is not text: nulls first, then by the type's order.
void sortByValue(std::vector<Row *> &rows, int slot, FieldType type, bool ascending);
// <0, 0 or >0 as a comes before, with or after b; texts compare equal (they go by collation keys).
int compareValues(const QVariant &a, const QVariant &b, FieldType type);

// Collation keys of texts by the locale's collation, ignoring case: one key per distinct string, so that
// rows sharing a text (see readRows) share its key.
class TextKeys {
public:
    TextKeys();
    int keyOf(const QString &text);
    // rows in the order of the keys they are paired with in keyed.
    void order(std::vector<std::pair<int, Row *>> &keyed, bool ascending, std::vector<Row *> &rows) const;

private:
    QCollator m_collator;
    std::vector<QCollatorSortKey> m_keys;
    // The text of each key stays alive, so that its address names no other text meanwhile.
    std::vector<QString> m_texts;
    QHash<const QChar *, int> m_keyOf;
};

// By the text textOf(row) gives of each row.
template <typename TextOf> void sortByText(std::vector<Row *> &rows, bool ascending, TextOf &&textOf)
{
    TextKeys keys;
    std::vector<std::pair<int, Row *>> keyed;
    keyed.reserve(rows.size());
    for (Row *row : rows)
        keyed.emplace_back(keys.keyOf(textOf(*row)), row);
    keys.order(keyed, ascending, rows);
}

} // namespace db
