#pragma once

#include "Value.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// A connection description: "Driver=QSQLITE;Database=/path/INVOICE.mdb". Keys are case-insensitive;
// Driver and Database are required, Host, Port, User, Password and Options are passed to the driver.
// A value may be quoted ("..." or '...', the quote doubled inside it), so it can hold ';', '=' and line
// breaks.
struct ConnectionDescription {
    QString driver;
    QString database;
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString options;

    // An SQLite database file, taken as it is: nothing in the path is read as connection text.
    static ConnectionDescription sqliteFile(const QString &path);
    // A data link file: one description, lines starting with ';' or '[' are ignored. Only a regular file
    // is read. A relative database path is taken from the file's folder.
    static ConnectionDescription fromDataLinkFile(const QString &path);
    // The text of a data link file; `name` names the file in messages. Throws Error, the data link error,
    // for text that is not a usable description.
    static ConnectionDescription fromDataLinkText(const QByteArray &text, const QString &name,
                                                  const QString &baseFolder);
    // A connection string: either "FILE NAME=<data link file>" or a description as above.
    static ConnectionDescription fromConnectionString(const QString &text);
};

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

class Connection {
public:
    explicit Connection(QString name = QStringLiteral("conInvoice"));
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // What open() connects to: the description, or the connection string when one is set (text typed by
    // a person). Code that has a file's path sets the description, so the path is never read as text.
    ConnectionDescription description;
    QString connectionString;
    // Set by the code that builds a new database in a fresh file of its own: there an empty file is welcome.
    bool createsDatabase = false;
    // Runs each time the connection is about to open; it may set the description or connectionString.
    std::function<void(Connection &)> beforeConnect;

    // Opens as the description or connection string says. An SQLite file must exist, hold a database and
    // be writable by the user (file and folder), and is held for exclusive use: a second process can
    // neither read nor write it until this connection closes.
    void open();
    void close();
    bool isOpen() const;
    QString driverName() const { return m_driver; }
    QString databaseName() const { return m_databaseName; }
    bool isSQLite() const { return m_sqlite != nullptr; }
    // A count that grows with every row the connection inserts, changes or deletes; -1 where the driver
    // cannot tell.
    qint64 totalChanges() const;
    sqlite3 *sqliteHandle() const { return m_sqlite; }
    QSqlDatabase &database() { return m_db; }

    // Runs a statement that returns no rows; returns the number of rows changed.
    qint64 execute(const QString &sql, const QVariantHash &params = {});
    // The first column of the first row, or null.
    QVariant scalar(const QString &sql, const QVariantHash &params = {});
    QStringList tableColumns(const QString &table);
    bool hasTableOrView(const QString &name);

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // True when the engine undid the open transaction by itself after a failed statement. Statements
    // since then run in a fresh transaction, and commit() refuses, so a dialog never stores half its work.
    bool transactionLost() const { return m_transactionLost; }

    // A deterministic SQL function for statements on this connection (SQLite only; others ignore it).
    using ScalarFunction = std::function<QVariant(const QVariantList &arguments)>;
    void registerFunction(const QString &name, int argumentCount, ScalarFunction function);

    // Called by Statement after every failure, to notice a transaction the engine rolled back.
    void noteFailure();

private:
    friend class Statement;
    friend class Transaction;
    static QString lostMessage();
    sqlite3_stmt *takePrepared(const QString &sql);
    void returnPrepared(const QString &sql, sqlite3_stmt *stmt);
    void openSQLite(const ConnectionDescription &description);
    void registerBuiltInFunctions();

    QString m_name;
    QString m_driver;
    QString m_databaseName;
    QSqlDatabase m_db;
    sqlite3 *m_sqlite = nullptr;
    bool m_inTransaction = false;
    bool m_transactionLost = false;
    int m_savepoints = 0; // savepoints of Transaction guards open inside the transaction
    QHash<QString, QStringList> m_columnCache;
    QHash<QString, std::vector<sqlite3_stmt *>> m_prepared;
};

// One change stored whole or not at all: a transaction of its own when none is open on the connection,
// otherwise a savepoint inside the open one, so that undoing the change leaves the rest of that
// transaction as it was. Undone when the guard goes out of scope without commit(). Guards nest.
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Stores the change (or keeps it in the open transaction). A failure leaves it to be undone.
    void commit();

private:
    Connection &m_connection;
    QString m_savepoint; // empty: the guard's own transaction
    bool m_done = false;
};

} // namespace db
