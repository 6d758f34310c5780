#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

namespace db {

class Connection;

// A statement that returns no rows (delete, update), with named parameters.
class Command {
public:
    Command(Connection *connection, QString sql) : m_connection(connection), m_commandText(std::move(sql)) {}

    const QString &commandText() const { return m_commandText; }
    void setParam(const QString &name, const QVariant &value) { m_params.insert(name.toUpper(), value); }
    QVariant param(const QString &name) const { return m_params.value(name.toUpper()); }
    // Returns the number of rows changed; an engine error is thrown with the engine's text.
    qint64 execute();

private:
    Connection *m_connection;
    QString m_commandText;
    QVariantHash m_params;
};

} // namespace db
