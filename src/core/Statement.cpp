#include "Statement.h"

#include "Connection.h"
#include "Errors.h"
#include "SqliteMessage.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace db {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Connection", text);
}

} // namespace

struct Statement::Impl {
    Connection &connection;
    QString sql;
    sqlite3_stmt *stmt = nullptr;     // SQLite path
    std::unique_ptr<QSqlQuery> query; // other drivers
    bool started = false;
    bool done = false;
    qint64 changes = 0;
    QVariant insertId;

    explicit Impl(Connection &c, const QString &s) : connection(c), sql(s) {}

    [[noreturn]] void fail(const QString &message)
    {
        connection.noteFailure();
        throw Error(message);
    }
};

Statement::Statement(Connection &connection, const QString &sql) : d(std::make_unique<Impl>(connection, sql))
{
    if (!connection.isOpen())
        throw Error(tr("The database connection is not open"));
    if (sqlite3 *handle = connection.sqliteHandle()) {
        d->stmt = connection.takePrepared(sql);
        if (d->stmt)
            return;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, utf8.constData(), int(utf8.size()), &d->stmt, nullptr) != SQLITE_OK)
            d->fail(sqliteMessage(handle));
    } else {
        d->query = std::make_unique<QSqlQuery>(connection.database());
        d->query->setForwardOnly(true);
        if (!d->query->prepare(sql))
            d->fail(d->query->lastError().text());
    }
}

Statement::~Statement()
{
    if (d->stmt)
        d->connection.returnPrepared(d->sql, d->stmt);
}

void Statement::bind(const QString &name, const QVariant &value)
{
    const QVariant v = toStorage(value);
    if (d->query) {
        d->query->bindValue(QLatin1Char(':') + name, v);
        return;
    }
    const QByteArray key = (QLatin1Char(':') + name).toUtf8();
    const int index = sqlite3_bind_parameter_index(d->stmt, key.constData());
    if (index == 0)
        return; // the statement does not use this parameter
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(d->stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(d->stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(d->stmt, index, v.toDouble());
            break;
        default: {
            const QByteArray text = v.toString().toUtf8();
            rc = sqlite3_bind_text(d->stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        d->fail(sqliteMessage(d->connection.sqliteHandle()));
}

void Statement::reset()
{
    d->started = false;
    d->done = false;
    if (d->stmt) {
        sqlite3_reset(d->stmt);
        sqlite3_clear_bindings(d->stmt);
    } else {
        d->query->finish();
    }
}

bool Statement::step()
{
    if (d->done)
        return false;
    if (d->query) {
        if (!d->started) {
            d->started = true;
            if (!d->query->exec())
                d->fail(d->query->lastError().text());
            d->changes = d->query->numRowsAffected();
            d->insertId = d->query->lastInsertId();
        }
        if (!d->query->isSelect() || !d->query->next()) {
            d->done = true;
            return false;
        }
        return true;
    }
    d->started = true;
    const int rc = sqlite3_step(d->stmt);
    if (rc == SQLITE_ROW)
        return true;
    d->done = true;
    if (rc != SQLITE_DONE)
        d->fail(sqliteMessage(d->connection.sqliteHandle()));
    sqlite3 *handle = d->connection.sqliteHandle();
    d->changes = sqlite3_changes64(handle);
    d->insertId = QVariant::fromValue<qint64>(sqlite3_last_insert_rowid(handle));
    return false;
}

int Statement::columnCount() const
{
    if (d->query)
        return d->query->record().count();
    return sqlite3_column_count(d->stmt);
}

QString Statement::columnName(int column) const
{
    if (d->query)
        return d->query->record().fieldName(column);
    return QString::fromUtf8(sqlite3_column_name(d->stmt, column));
}

QString Statement::declaredType(int column) const
{
    if (d->query)
        return QString();
    const char *type = sqlite3_column_decltype(d->stmt, column);
    return type ? QString::fromUtf8(type).toUpper() : QString();
}

QVariant Statement::rawValue(int column) const
{
    if (d->query)
        return d->query->value(column);
    switch (sqlite3_column_type(d->stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(sqlite3_column_int64(d->stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(d->stmt, column);
    case SQLITE_NULL:
        return QVariant();
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(d->stmt, column)),
                                 sqlite3_column_bytes(d->stmt, column));
    }
}

QVariant Statement::value(int column, FieldType type, bool *readable) const
{
    if (d->query)
        return fromStorage(d->query->value(column), type, readable);
    if (readable)
        *readable = true;
    sqlite3_stmt *s = d->stmt;
    const int kind = sqlite3_column_type(s, column);
    if (kind == SQLITE_NULL)
        return QVariant();
    if (kind == SQLITE_TEXT && !isTextType(type) && type != FieldType::DateTime) {
        // A number held as text (a computed column has no affinity to make it one) reads as that number;
        // any other text in a number's place is no value of the field.
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                                               sqlite3_column_bytes(s, column));
        return fromStorage(text, type, readable);
    }
    if (kind == SQLITE_BLOB) {
        if (readable)
            *readable = false;
        return QVariant();
    }
    switch (type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc:
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::Boolean:
        return fromStorage(kind == SQLITE_FLOAT ? QVariant(sqlite3_column_double(s, column))
                                                : QVariant::fromValue<qint64>(sqlite3_column_int64(s, column)),
                           type, readable);
    case FieldType::DateTime:
    case FieldType::String:
    case FieldType::FixedString:
        break;
    }
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
    const int length = sqlite3_column_bytes(s, column);
    if (type == FieldType::DateTime) {
        // Date-times are stored as text; a number or a text that is no date is no value of the field.
        const QDateTime dt = kind == SQLITE_TEXT ? parseStoredDateTime(text, length) : QDateTime();
        if (!dt.isValid() && readable)
            *readable = false;
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    return QString::fromUtf8(text, length);
}

bool Statement::utf8Text(int column, std::string_view &text) const
{
    if (d->query || sqlite3_column_type(d->stmt, column) != SQLITE_TEXT)
        return false;
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(d->stmt, column));
    text = std::string_view(bytes, size_t(sqlite3_column_bytes(d->stmt, column)));
    return true;
}

qint64 Statement::rowsAffected() const
{
    return d->changes;
}

QVariant Statement::lastInsertId() const
{
    return d->insertId;
}

} // namespace db
