#include "RowWriter.h"

#include "Connection.h"
#include "Field.h"
#include "ValueKey.h"

namespace db {

RowChange rowChange(const std::vector<std::unique_ptr<Field>> &fields, const QStringList &tableColumns,
                    const QVector<QVariant> &now, const QVector<QVariant> &before, bool inserting)
{
    RowChange change;
    for (const auto &field : fields) {
        if (field->kind() != FieldKind::Data || !tableColumns.contains(field->name().toUpper()))
            continue;
        if (field->type() == FieldType::AutoInc) {
            change.autoInc = field.get();
            continue;
        }
        const QVariant &value = now.at(field->slot());
        const QVariant &old = before.at(field->slot());
        const bool isNullNow = !value.isValid() || value.isNull();
        if (inserting ? isNullNow : canonicalKey(value) == canonicalKey(old) && value.isValid() == old.isValid())
            continue;
        change.columns << field->name();
        change.params.insert(QStringLiteral("P%1").arg(change.columns.size()), value);
    }
    return change;
}

QString insertStatement(const QString &table, const RowChange &change)
{
    if (change.columns.isEmpty())
        return QStringLiteral("insert into %1 default values").arg(table);
    QStringList placeholders;
    for (int i = 1; i <= change.columns.size(); ++i)
        placeholders << QStringLiteral(":P%1").arg(i);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(table, change.columns.join(QLatin1String(", ")), placeholders.join(QLatin1String(", ")));
}

QString updateStatement(const QString &table, const RowChange &change)
{
    QStringList assignments;
    for (int i = 0; i < change.columns.size(); ++i)
        assignments << QStringLiteral("%1 = :P%2").arg(change.columns.at(i)).arg(i + 1);
    return QStringLiteral("update %1 set %2 where rowid = :ROWKEY").arg(table, assignments.join(QLatin1String(", ")));
}

QString deleteStatement(const QString &table)
{
    return QStringLiteral("delete from %1 where rowid = :ROWKEY").arg(table);
}

qint64 insertRow(Connection &connection, const QString &table, const RowChange &change)
{
    Statement statement(connection, insertStatement(table, change));
    for (auto it = change.params.constBegin(); it != change.params.constEnd(); ++it)
        statement.bind(it.key(), it.value());
    statement.step();
    return statement.lastInsertId().toLongLong();
}

bool updateRow(Connection &connection, const QString &table, const RowChange &change, qint64 key)
{
    QVariantHash params = change.params;
    params.insert(QStringLiteral("ROWKEY"), key);
    return connection.execute(updateStatement(table, change), params) == 1;
}

bool deleteRow(Connection &connection, const QString &table, qint64 key)
{
    return connection.execute(deleteStatement(table), {{QStringLiteral("ROWKEY"), key}}) == 1;
}

} // namespace db
