#include "Connection.h"

#include "Clock.h"
#include "Errors.h"
#include "Files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Connection", text);
}

// The engine's message, or where the system gave the reason, the system's words: "No space left on
// device" rather than "database or disk is full", "Permission denied" rather than "unable to open
// database file".
QString sqliteMessage(sqlite3 *handle)
{
    const int code = sqlite3_extended_errcode(handle);
    switch (code & 0xff) {
    case SQLITE_FULL:
        return systemReason(ENOSPC); // the engine says so only when a write found the disk full
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        if (const int error = sqlite3_system_errno(handle); error != 0)
            return systemReason(error);
        break;
    default:
        break;
    }
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Connection descriptions

namespace {

// Reads "key=value" pairs separated by ';' or line breaks into the description. In a data link file a
// line whose first character is ';' or '[' is a comment. A value that starts with a quote runs to the
// closing quote (doubled inside it) and may hold anything. Returns why the text cannot be used, or an
// empty text.
QString readPairs(const QString &text, bool dataLink, ConnectionDescription &d)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    const auto isLineBreak = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool lineStart = true;
    while (i < n) {
        const QChar c = text.at(i);
        if (isLineBreak(c)) {
            lineStart = true;
            ++i;
            continue;
        }
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (dataLink && lineStart && (c == QLatin1Char(';') || c == QLatin1Char('['))) {
            while (i < n && !isLineBreak(text.at(i)))
                ++i;
            continue;
        }
        lineStart = false;
        if (c == QLatin1Char(';')) {
            ++i;
            continue;
        }

        const qsizetype keyStart = i;
        while (i < n && text.at(i) != QLatin1Char('=') && text.at(i) != QLatin1Char(';') && !isLineBreak(text.at(i)))
            ++i;
        const QString written = text.mid(keyStart, i - keyStart).trimmed();
        const QString key = written.toLower();
        if (i >= n || text.at(i) != QLatin1Char('='))
            return QCoreApplication::translate("Connection", "\"%1\" is no key=value pair").arg(written.left(80));
        ++i; // '='
        while (i < n && isBlank(text.at(i)))
            ++i;

        QString value;
        if (i < n && (text.at(i) == QLatin1Char('"') || text.at(i) == QLatin1Char('\''))) {
            const QChar quote = text.at(i++);
            bool closed = false;
            while (i < n) {
                if (text.at(i) == quote) {
                    if (i + 1 < n && text.at(i + 1) == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed)
                return QCoreApplication::translate("Connection", "the value of %1 has no closing quote").arg(written);
            while (i < n && isBlank(text.at(i)))
                ++i;
            if (i < n && text.at(i) != QLatin1Char(';') && !isLineBreak(text.at(i)))
                return QCoreApplication::translate("Connection", "the value of %1 goes on after its closing quote")
                    .arg(written);
        } else {
            const qsizetype valueStart = i;
            while (i < n && text.at(i) != QLatin1Char(';') && !isLineBreak(text.at(i)))
                ++i;
            value = text.mid(valueStart, i - valueStart).trimmed();
        }

        if (key == QLatin1String("driver") || key == QLatin1String("provider")) {
            d.driver = value;
        } else if (key == QLatin1String("database") || key == QLatin1String("data source")) {
            d.database = value;
        } else if (key == QLatin1String("host")) {
            d.host = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            d.port = value.toInt(&ok);
            if (!ok || d.port <= 0 || d.port > 65535)
                return QCoreApplication::translate("Connection", "\"%1\" is no port number").arg(value.left(80));
        } else if (key == QLatin1String("user") || key == QLatin1String("user id")) {
            d.user = value;
        } else if (key == QLatin1String("password")) {
            d.password = value;
        } else if (key == QLatin1String("options")) {
            d.options = value;
        }
    }
    return QString();
}

// A relative SQLite path is taken from the folder given.
void resolveDatabase(ConnectionDescription &d, const QString &baseFolder)
{
    if (d.driver.compare(QLatin1String("QSQLITE"), Qt::CaseInsensitive) == 0 && !d.database.isEmpty() &&
        QFileInfo(d.database).isRelative() && !baseFolder.isEmpty())
        d.database = QFileInfo(baseFolder + QLatin1Char('/') + d.database).absoluteFilePath();
}

} // namespace

ConnectionDescription ConnectionDescription::sqliteFile(const QString &path)
{
    ConnectionDescription d;
    d.driver = QStringLiteral("QSQLITE");
    d.database = path;
    return d;
}

ConnectionDescription ConnectionDescription::fromDataLinkText(const QByteArray &text, const QString &name,
                                                              const QString &baseFolder)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(text);
    if (text.contains('\0') || decoder.hasError())
        throw Error(tr("The data link file %1 is not a text file").arg(name));
    ConnectionDescription d;
    if (const QString problem = readPairs(decoded, true, d); !problem.isEmpty())
        throw Error(tr("The data link file %1 cannot be used: %2").arg(name, problem));
    if (d.driver.isEmpty() && d.database.isEmpty())
        throw Error(tr("The data link file %1 holds no connection description").arg(name));
    if (d.driver.isEmpty())
        throw Error(tr("The data link file %1 names no driver").arg(name));
    if (d.database.isEmpty())
        throw Error(tr("The data link file %1 names no database").arg(name));
    resolveDatabase(d, baseFolder);
    return d;
}

// Opened without waiting (a named pipe would block the start until someone writes to it), then only
// read when it is a regular file.
ConnectionDescription ConnectionDescription::fromDataLinkFile(const QString &path)
{
    constexpr qint64 MaxSize = 64 * 1024;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw Error(tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno)));
    QByteArray bytes;
    QString problem;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno));
    } else if (S_ISDIR(info.st_mode)) {
        problem = tr("The data link file %1 is a folder, not a file").arg(path);
    } else if (!S_ISREG(info.st_mode)) {
        problem = tr("The data link file %1 is not a regular file").arg(path);
    } else if (info.st_size > MaxSize) {
        problem = tr("The data link file %1 is too large to be one").arg(path);
    } else {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                problem = tr("The data link file %1 cannot be read: %2").arg(path, systemReason(errno));
                break;
            }
            if (got == 0)
                break;
            done += got;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    if (!problem.isEmpty())
        throw Error(problem);
    return fromDataLinkText(bytes, path, QFileInfo(path).absolutePath());
}

ConnectionDescription ConnectionDescription::fromConnectionString(const QString &text)
{
    static const QLatin1String fileName("FILE NAME=");
    if (text.startsWith(fileName, Qt::CaseInsensitive))
        return fromDataLinkFile(text.mid(fileName.size()).trimmed());
    ConnectionDescription d;
    if (const QString problem = readPairs(text, false, d); !problem.isEmpty())
        throw Error(tr("The connection description cannot be used: %1").arg(problem));
    if (d.driver.isEmpty())
        throw Error(tr("The connection description names no driver"));
    if (d.database.isEmpty())
        throw Error(tr("The connection description names no database"));
    return d;
}

// ---------------------------------------------------------------------------------------------------------
// Statements

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

// ---------------------------------------------------------------------------------------------------------
// Connection

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
        // Durable commits: with a rollback journal EXTRA also syncs the folder after the journal goes.
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
// Transaction guards

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    if (!connection.inTransaction()) {
        connection.beginTransaction();
        return;
    }
    // Named by depth, so the few statements are prepared once and kept.
    const QString name = QStringLiteral("change%1").arg(connection.m_savepoints + 1);
    connection.execute(QStringLiteral("SAVEPOINT ") + name);
    ++connection.m_savepoints;
    m_savepoint = name;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_savepoint.isEmpty()) {
            m_connection.rollback();
        } else if (m_connection.inTransaction()) {
            --m_connection.m_savepoints;
            // After the engine undid the whole transaction the savepoint is gone with it.
            if (!m_connection.transactionLost()) {
                m_connection.execute(QStringLiteral("ROLLBACK TO ") + m_savepoint);
                m_connection.execute(QStringLiteral("RELEASE ") + m_savepoint);
            }
        }
    } catch (const std::exception &) {
        // Undoing is best effort here: a failure has already been reported by whoever is unwinding.
    }
}

void Transaction::commit()
{
    if (m_savepoint.isEmpty()) {
        m_connection.commit();
    } else {
        if (m_connection.transactionLost())
            throw Error(Connection::lostMessage());
        m_connection.execute(QStringLiteral("RELEASE ") + m_savepoint);
        --m_connection.m_savepoints;
    }
    m_done = true;
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
