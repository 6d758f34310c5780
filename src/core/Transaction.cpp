#include "Transaction.h"

#include "Connection.h"
#include "Errors.h"

namespace db {

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

} // namespace db
