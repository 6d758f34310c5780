#pragma once

#include <QString>

namespace db {

class Connection;

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
