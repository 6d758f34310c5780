#pragma once

#include "Value.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <string_view>

namespace db {

class Connection;

// One statement with named parameters (":NAME"), stepped row by row. On SQLite it runs on the engine's
// own interface, which reads large lists several times faster than the generic driver path.
class Statement {
public:
    Statement(Connection &connection, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(const QString &name, const QVariant &value);
    // Ready to run again, with new bindings.
    void reset();
    // Runs or advances; true while a row is available.
    bool step();
    int columnCount() const;
    QString columnName(int column) const;
    // The column's declared type in the table it comes from ("VARCHAR(25)"); empty for computed columns.
    QString declaredType(int column) const;
    // The column's value as a value of the field type (see fromStorage). A stored value that is none (a
    // text in a number's place, a date that is no date) reads as null and clears *readable.
    QVariant value(int column, FieldType type, bool *readable = nullptr) const;
    // The engine's UTF-8 text of a text column, valid until the next step; false for null, non-text
    // values and other drivers.
    bool utf8Text(int column, std::string_view &text) const;
    QVariant rawValue(int column) const;
    qint64 rowsAffected() const;
    QVariant lastInsertId() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace db
