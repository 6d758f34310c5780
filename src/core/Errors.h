#pragma once

#include <QString>

#include <exception>

// A failure carrying the text the user reads. Commands catch it and show the text in an error box, or
// let it reach the application's standard error box.
class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The database is held by another process (the program running elsewhere).
class DatabaseInUse : public Error {
public:
    using Error::Error;
};

// Refuses an operation quietly: whoever catches it shows nothing.
class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] inline void abortSilently()
{
    throw SilentAbort();
}
