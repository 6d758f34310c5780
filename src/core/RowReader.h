#pragma once

#include "Field.h"

#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace db {

class Statement;
struct RowStore;

// The column that carries a row's key in its update table.
extern const QString hiddenKeyColumn;

// The statement with the update table's rowid added to its select list as the hidden key column.
QString withHiddenKey(const QString &sql, const QString &table);

// The field of a result column, by its declared type ("VARCHAR(25)"), or for a computed column (no
// declared type) by its first value.
FieldDef fieldFromColumn(const QString &name, const QString &declared, const QVariant &sample);

// Which result column feeds which data field, and which holds the hidden key (-1: none).
struct ColumnMap {
    std::vector<std::pair<int, Field *>> fields;
    int keyColumn = -1;
};

// Reads the rows of a statement, from the row it stands on (when hasRow) to the last, into the store:
// one value slot per field, values that are none of their field's type noted as unreadable.
void readRows(Statement &statement, bool hasRow, const ColumnMap &columns, int slotCount, RowStore &store);

} // namespace db
