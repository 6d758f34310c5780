#include "LookupIndex.h"

#include "DataSet.h"
#include "ValueKey.h"

namespace db {

Row *LookupIndex::find(const QString &fieldName, int slot, const std::vector<Row *> &rows, const Row *skip,
                       const QString &key)
{
    auto it = m_byField.find(fieldName);
    if (it == m_byField.end()) {
        QHash<QString, Row *> index;
        index.reserve(qsizetype(rows.size()));
        for (Row *row : rows)
            if (row != skip)
                index.insert(canonicalKey(row->values.at(slot)), row);
        it = m_byField.insert(fieldName, index);
    }
    return it->value(key, nullptr);
}

} // namespace db
