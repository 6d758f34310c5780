#include "Command.h"

#include "Connection.h"

namespace db {

qint64 Command::execute()
{
    return m_connection->execute(m_commandText, m_params);
}

} // namespace db
