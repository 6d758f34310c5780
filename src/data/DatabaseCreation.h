#pragma once

#include <QString>

namespace db {
class Connection;
}

// Creates a new invoice database file at path: the tables, views and the postal code register, and with
// demo a small sample business (customers, a catalogue and two years of invoices dated around today).
// An existing path is refused and left as it is; on any failure no file is left behind.
void createDatabase(const QString &path, bool demo);

// The same contents on an open, empty connection (used by createDatabase).
void createSchema(db::Connection &connection);
void loadPostalRegister(db::Connection &connection);
void addDemoData(db::Connection &connection);
