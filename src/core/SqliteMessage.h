#pragma once

#include <QString>

struct sqlite3;

namespace db {

// The engine's message, or where the system gave the reason, the system's words: "No space left on
// device" rather than "database or disk is full", "Permission denied" rather than "unable to open
// database file".
QString sqliteMessage(sqlite3 *handle);

} // namespace db
