#pragma once

#include "platform/db/Clock.h"
#include "platform/widgets/MessageDialog.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>

namespace db {
class Connection;
class DataSet;
} // namespace db

// A folder of its own for one test, holding a database made by the program's creation code.
class TempDatabase {
public:
    // demo: with the sample business of tessund-cli create-db --demo.
    explicit TempDatabase(bool demo = false, const QString &fileName = QStringLiteral("INVOICE.mdb"));
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_path; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // The file's bytes, to show that something left it untouched.
    QByteArray contents() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Answers message boxes instead of a person and records what was shown. Installed for its lifetime.
class MessageAnswers {
public:
    MessageAnswers();
    ~MessageAnswers();
    // The next boxes are answered in this order; when the queue is empty the default button answers.
    void push(MsgAnswer answer) { m_answers.push_back(answer); }
    const QList<MessageRequest> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    std::deque<MsgAnswer> m_answers;
    QList<MessageRequest> m_shown;
    MessageHandler m_previous;
};

// Fixes today and now for its lifetime.
class FixedClock {
public:
    explicit FixedClock(const QDateTime &moment) { Clock::setFixed(moment); }
    explicit FixedClock(const QDate &day, const QTime &time = QTime(12, 0)) { Clock::setFixed(wallClock(day, time)); }
    ~FixedClock() { Clock::setSource({}); }
    void set(const QDateTime &moment) { Clock::setFixed(moment); }
};

// Keeps user settings in a temporary folder for the whole test program.
void useTemporarySettings();

// The message of the Error the action throws; empty when it throws none.
QString errorOf(const std::function<void()> &action);

// A dataset over a whole table of the invoice database, with the table's declared fields.
std::unique_ptr<db::DataSet> tableDataSet(db::Connection &connection, const QString &table);
