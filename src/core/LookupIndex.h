#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace db {

struct Row;

// The rows of a dataset by the canonical key of a field (see canonicalKey), one index per key field,
// made at the field's first lookup. Whoever changes the rows clears it.
class LookupIndex {
public:
    void clear() { m_byField.clear(); }
    // The row whose value in slot has the given key; among equal keys the last of rows. The index of
    // fieldName is made from rows, leaving out skip (a row being inserted), when there is none yet.
    Row *find(const QString &fieldName, int slot, const std::vector<Row *> &rows, const Row *skip, const QString &key);

private:
    QHash<QString, QHash<QString, Row *>> m_byField;
};

} // namespace db
