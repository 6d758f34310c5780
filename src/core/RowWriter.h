#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

namespace db {

class Connection;
class Field;

// What a posted row writes to its table: the columns, with their values as parameters P1, P2, ... in
// the same order, and the AutoInc field the engine numbers (on insert).
struct RowChange {
    QStringList columns;
    QVariantHash params;
    const Field *autoInc = nullptr;
};

// The data fields that are columns of the table: on insert those with a value, otherwise those whose
// value changed from before to now.
RowChange rowChange(const std::vector<std::unique_ptr<Field>> &fields, const QStringList &tableColumns,
                    const QVector<QVariant> &now, const QVector<QVariant> &before, bool inserting);

// The statements, by the row's key in the table (its rowid, parameter ROWKEY).
QString insertStatement(const QString &table, const RowChange &change);
QString updateStatement(const QString &table, const RowChange &change);
QString deleteStatement(const QString &table);

// Each writes the row; a failed statement throws Error. insertRow returns the new row's key; updateRow
// and deleteRow return false when the key was not exactly one row of the table.
qint64 insertRow(Connection &connection, const QString &table, const RowChange &change);
bool updateRow(Connection &connection, const QString &table, const RowChange &change, qint64 key);
bool deleteRow(Connection &connection, const QString &table, qint64 key);

} // namespace db
