#include "SqliteMessage.h"

#include "Files.h"

#include <cerrno>
#include <sqlite3.h>

namespace db {

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

} // namespace db
