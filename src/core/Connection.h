#pragma once

#include "ConnectionDescription.h"
#include "Statement.h"
#include "Transaction.h"
#include "Value.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

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

} // namespace db
