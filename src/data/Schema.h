#pragma once

#include "core/Field.h"

#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

#include <vector>

// The tables of the invoice database: one description used both to create the file and to declare the
// fields of the datasets that read it, so widths, labels and formats cannot drift apart.
namespace Schema {

struct Column {
    const char *name;
    db::FieldType type;
    int size = 0;           // characters, for text
    const char *label = ""; // caption where a window sets none (translatable)
    bool required = false;
    const char *displayFormat = "";
    int displayWidth = 0; // characters shown in grids; 0: the size
};

struct Table {
    const char *name;
    std::vector<Column> columns;
};

const std::vector<Table> &tables();
const Table &table(const QString &name);
const Column &column(const QString &tableName, const QString &columnName);
// A field declaration for a column, with its translated label.
db::FieldDef fieldDef(const QString &tableName, const QString &columnName);

// The two views the program reads, both plain SQL.
QStringList viewNames();
// Statements that create the whole schema (tables, indexes, views) in an empty SQLite database.
QStringList creationStatements();

// Makes the line view of a file from an earlier version again as plain SQL (it holds no data); changes
// nothing in a file of this version. Throws Error when the file cannot be written.
void upgrade(db::Connection &connection);

// Refuses (throws Error) a database that is not one this program made: a table or view missing, a table
// that is a view or the other way round, a column missing or of another declared type. On SQLite the
// database is compared with the schema the statements above make. Other columns and tables are allowed.
void check(db::Connection &connection);

} // namespace Schema
