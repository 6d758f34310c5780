#include "Connection.h"

#include "Clock.h"
#include "Errors.h"
#include "Files.h"
#include "SqliteMessage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <cerrno>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Connection", text);
}

} // namespace

Connection::Connection(QString name) : m_name(std::move(name)) {}

Connection::~Connection()
{
    close();
}

bool Connection::isOpen() const
{
    return m_sqlite != nullptr || (m_db.isValid() && m_db.isOpen());
}

void Connection::open()
{
    if (isOpen())
        return;
    if (beforeConnect)
        beforeConnect(*this);
    ConnectionDescription d = description;
    if (!connectionString.isEmpty()) {
        d = ConnectionDescription::fromConnectionString(connectionString);
    } else {
        if (d.driver.isEmpty())
            throw Error(tr("The connection description names no driver"));
        if (d.database.isEmpty())
            throw Error(tr("The connection description names no database"));
    }
    m_driver = d.driver.toUpper();
    m_databaseName = d.database;
    if (m_driver == QLatin1String("QSQLITE")) {
        openSQLite(d);
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(m_driver))
        throw Error(tr("The database driver %1 is not available").arg(d.driver));
    m_db = QSqlDatabase::addDatabase(m_driver, m_name);
    m_db.setDatabaseName(d.database);
    if (!d.host.isEmpty())
        m_db.setHostName(d.host);
    if (d.port > 0)
        m_db.setPort(d.port);
    m_db.setUserName(d.user);
    m_db.setPassword(d.password);
    m_db.setConnectOptions(d.options);
    if (!m_db.open()) {
        const QString message = m_db.lastError().text();
        close();
        throw Error(message);
    }
}

qint64 Connection::totalChanges() const
{
    return m_sqlite ? sqlite3_total_changes64(m_sqlite) : -1;
}

// The file is opened through SQLite itself (a missing file is an error, never a new database), then
// locked: locking_mode=EXCLUSIVE keeps every lock once taken, and BEGIN EXCLUSIVE takes the write lock at
// once, so no other process can read or write the file while the program runs. A file or folder the user
// cannot change is refused before anything is opened: SQLite would open it read-only without a word, and
// without the lock; an empty file would become a new database at the first write.
void Connection::openSQLite(const ConnectionDescription &description)
{
    const QString path = QFileInfo(description.database).absoluteFilePath();
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT)
            throw Error(tr("The database file %1 does not exist").arg(description.database));
        throw Error(tr("Cannot open the database file %1: %2").arg(description.database, systemReason(errno)));
    }
    if (!S_ISREG(info.st_mode))
        throw Error(tr("The database %1 is not a file").arg(description.database));
    if (::access(name.constData(), R_OK) != 0)
        throw Error(tr("Cannot open the database file %1: %2").arg(description.database, systemReason(errno)));
    if (info.st_size == 0 && !createsDatabase)
        throw Error(tr("The database file %1 is empty: it holds no database").arg(description.database));
    if (const QString reason = whyReadOnly(path); !reason.isEmpty())
        throw Error(tr("The database file %1 is read-only: %2").arg(description.database, reason));
    // The journal that makes each change whole is written beside the file itself, where a link leads.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString folder = QFileInfo(canonical.isEmpty() ? path : canonical).absolutePath();
    if (const QString reason = whyReadOnly(folder); !reason.isEmpty())
        throw Error(tr("The folder %1 of the database file is read-only: %2").arg(folder, reason));

    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = handle ? sqliteMessage(handle) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        throw Error(tr("Cannot open the database file %1: %2").arg(description.database, message));
    }
    if (sqlite3_db_readonly(handle, "main") == 1) {
        const int error = sqlite3_system_errno(handle);
        sqlite3_close(handle);
        throw Error(tr("The database file %1 is read-only: %2")
                        .arg(description.database, systemReason(error != 0 ? error : EACCES)));
    }
    sqlite3_extended_result_codes(handle, 1);
    m_sqlite = handle;
    try {
        // Foreign keys are a per-connection switch that only takes effect outside a transaction.
        execute(QStringLiteral("PRAGMA foreign_keys = ON"));
        if (scalar(QStringLiteral("PRAGMA foreign_keys")).toInt() != 1)
            throw Error(tr("The database engine does not enforce foreign keys"));
        execute(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        execute(QStringLiteral("BEGIN EXCLUSIVE"));
        // Reading the schema here also tells a file that is not a database at all. The transaction only
        // reads, and ends undone: the lock stays, and nothing is written. Committed, it would write a new
        // database into a file the engine takes for empty (no bytes, or a single one).
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        execute(QStringLiteral("ROLLBACK"));
        if (!createsDatabase && scalar(QStringLiteral("PRAGMA page_count")).toLongLong() == 0)
            throw Error(tr("The database file %1 is empty: it holds no database").arg(description.database));
        // Durable commits. In exclusive locking mode the engine does not delete the rollback journal at
        // the end of a transaction: it keeps the file and zeroes its header, which is what commits. So
        // the folder sync that EXTRA adds after a deleted journal does not come into it; the syncs of
        // journal and file, as FULL has them, make the commit durable. In WAL mode FULL syncs the log at
        // each commit.
        const QString journal = scalar(QStringLiteral("PRAGMA journal_mode")).toString().toLower();
        execute(journal == QLatin1String("wal") ? QStringLiteral("PRAGMA synchronous = FULL")
                                                : QStringLiteral("PRAGMA synchronous = EXTRA"));
        registerBuiltInFunctions();
    } catch (const Error &e) {
        // Busy: another process holds the file (the program running elsewhere).
        const int code = sqlite3_errcode(handle) & 0xff;
        close();
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw DatabaseInUse(e.message());
        throw;
    } catch (...) {
        close();
        throw;
    }
}

// Statements are prepared once and kept: the document of one invoice runs the same three statements
// as the one before, and preparing a statement over a view costs more than running it.
sqlite3_stmt *Connection::takePrepared(const QString &sql)
{
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end() || it->empty())
        return nullptr;
    sqlite3_stmt *stmt = it->back();
    it->pop_back();
    return stmt;
}

void Connection::returnPrepared(const QString &sql, sqlite3_stmt *stmt)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    constexpr qsizetype MaxStatements = 64;
    auto it = m_prepared.find(sql);
    if (!m_sqlite || (it == m_prepared.end() && m_prepared.size() >= MaxStatements) ||
        (it != m_prepared.end() && it->size() >= 4)) {
        sqlite3_finalize(stmt);
        return;
    }
    m_prepared[sql].push_back(stmt);
}

void Connection::close()
{
    for (auto &statements : m_prepared)
        for (sqlite3_stmt *stmt : statements)
            sqlite3_finalize(stmt);
    m_prepared.clear();
    m_columnCache.clear();
    m_inTransaction = false;
    m_transactionLost = false;
    m_savepoints = 0;
    if (m_sqlite) {
        sqlite3_close_v2(m_sqlite);
        m_sqlite = nullptr;
    }
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

qint64 Connection::execute(const QString &sql, const QVariantHash &params)
{
    Statement statement(*this, sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        statement.bind(it.key(), it.value());
    while (statement.step()) {
    }
    return statement.rowsAffected();
}

QVariant Connection::scalar(const QString &sql, const QVariantHash &params)
{
    Statement statement(*this, sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        statement.bind(it.key(), it.value());
    if (!statement.step())
        return QVariant();
    return statement.rawValue(0);
}

QStringList Connection::tableColumns(const QString &table)
{
    const QString key = table.toUpper();
    auto it = m_columnCache.constFind(key);
    if (it != m_columnCache.constEnd())
        return *it;
    QStringList columns;
    if (isSQLite()) {
        Statement statement(*this, QStringLiteral("SELECT name FROM pragma_table_info(:TABLE)"));
        statement.bind(QStringLiteral("TABLE"), table);
        while (statement.step())
            columns << statement.rawValue(0).toString().toUpper();
    } else {
        const QSqlRecord record = m_db.record(table);
        for (int i = 0; i < record.count(); ++i)
            columns << record.fieldName(i).toUpper();
    }
    m_columnCache.insert(key, columns);
    return columns;
}

bool Connection::hasTableOrView(const QString &name)
{
    if (isSQLite())
        return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type IN ('table', 'view') "
                                     "AND upper(name) = upper(:NAME)"),
                      {{QStringLiteral("NAME"), name}})
                   .toInt() > 0;
    return m_db.tables(QSql::AllTables).contains(name, Qt::CaseInsensitive);
}

void Connection::beginTransaction()
{
    if (m_inTransaction)
        throw Error(tr("A transaction is already open on the connection"));
    execute(isSQLite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_inTransaction = true;
    m_transactionLost = false;
}

void Connection::commit()
{
    if (!m_inTransaction)
        throw Error(tr("No transaction is open on the connection"));
    if (m_savepoints > 0)
        throw Error(tr("A change inside the transaction is not finished"));
    if (m_transactionLost) {
        rollback();
        throw Error(lostMessage());
    }
    execute(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

QString Connection::lostMessage()
{
    return tr("The database undid the changes after an earlier error; nothing was saved");
}

void Connection::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    m_transactionLost = false;
    m_savepoints = 0;
    if (!isSQLite() || !sqlite3_get_autocommit(m_sqlite))
        execute(QStringLiteral("ROLLBACK"));
}

void Connection::noteFailure()
{
    if (!m_inTransaction || !m_sqlite || m_transactionLost)
        return;
    if (sqlite3_get_autocommit(m_sqlite)) {
        // The engine rolled the whole transaction back. Keep what follows inside a new one, so that
        // it cannot reach the file on its own; commit() will refuse.
        m_transactionLost = true;
        sqlite3_exec(m_sqlite, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
}

// ---------------------------------------------------------------------------------------------------------
// SQL functions

namespace {

void callScalar(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    auto *function = static_cast<Connection::ScalarFunction *>(sqlite3_user_data(context));
    QVariantList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i) {
        switch (sqlite3_value_type(argv[i])) {
        case SQLITE_INTEGER:
            arguments << QVariant::fromValue<qint64>(sqlite3_value_int64(argv[i]));
            break;
        case SQLITE_FLOAT:
            arguments << sqlite3_value_double(argv[i]);
            break;
        case SQLITE_NULL:
            arguments << QVariant();
            break;
        default:
            arguments << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[i])));
        }
    }
    const QVariant result = toStorage((*function)(arguments));
    if (!result.isValid() || result.isNull()) {
        sqlite3_result_null(context);
    } else if (result.typeId() == QMetaType::Double) {
        sqlite3_result_double(context, result.toDouble());
    } else if (result.typeId() == QMetaType::Int || result.typeId() == QMetaType::LongLong) {
        sqlite3_result_int64(context, result.toLongLong());
    } else {
        const QByteArray text = result.toString().toUtf8();
        sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

void deleteFunction(void *p)
{
    delete static_cast<Connection::ScalarFunction *>(p);
}

} // namespace

void Connection::registerFunction(const QString &name, int argumentCount, ScalarFunction function)
{
    if (!m_sqlite)
        return;
    const QByteArray utf8 = name.toUtf8();
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(m_sqlite, utf8.constData(), argumentCount, flags,
                               new ScalarFunction(std::move(function)), callScalar, nullptr, nullptr, deleteFunction);
}

void Connection::registerBuiltInFunctions()
{
    // Now() in the stored date-time form, from the program's clock, so that "due date before now" in a
    // statement and the days overdue computed by the program agree on what now is.
    const QByteArray name("Now");
    sqlite3_create_function_v2(
        m_sqlite, name.constData(), 0, SQLITE_UTF8, nullptr,
        [](sqlite3_context *context, int, sqlite3_value **) {
            const QByteArray text = storedDateTime(Clock::now()).toLatin1();
            sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        },
        nullptr, nullptr, nullptr);
}

} // namespace db
