#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace db
