#pragma once

#include "core/Clock.h"
#include "core/Messages.h"
#include "data/LineAmounts.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

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
// The user settings store the program reads and writes ("Halvgard", "Tessund").
class QSettings;
std::unique_ptr<QSettings> userSettings();

// A program run to its end: its exit status (-1 when it crashed or did not end within two minutes), its
// standard output and its standard error.
struct ProcessRun {
    int exitCode;
    QString output;
    QString errors;
};
ProcessRun runProcess(const QString &program, const QStringList &arguments);

// The message of the Error the action throws; empty when it throws none.
QString errorOf(const std::function<void()> &action);

// A dataset over a whole table of the invoice database, with the table's declared fields.
std::unique_ptr<db::DataSet> tableDataSet(db::Connection &connection, const QString &table);

// Seed rows written straight into a test's database. Every invoice's totals come from the program's own
// rule (InvoiceTotals), so the stored totals equal what the program would store for those lines.

// A customer with the given columns (CUST_NO, FIRSTNAME, SURNAME, ...); returns its CUST_ID.
int seedCustomer(db::Connection &connection, const QVariantMap &columns);
// A catalogue item with the given columns (ITEM_NO, ITEM_DESC, NETPRICE as Money, VAT); returns its row id.
int seedItem(db::Connection &connection, const QVariantMap &columns);

// One invoice line: quantity, net price in kroner, VAT and discount in per cent, and its text
// ("Vare n" when empty). Its item number is An for the n-th line.
struct SeedLine {
    SeedLine(double num, double price, double vat, double discount = 0, const QString &description = {})
        : num(num), price(price), vat(vat), discount(discount), description(description)
    {
    }
    double num, price, vat, discount;
    QString description;
};
// An invoice with the given columns (CUST_ID, INVOICE_NO, INVDATE, ...) and its lines, its totals
// stored; returns its INV_ID.
int seedInvoice(db::Connection &connection, const QVariantMap &columns, const QList<SeedLine> &lines = {});
// Adds lines to an invoice and stores its totals again.
void seedLines(db::Connection &connection, int invoiceId, const QList<SeedLine> &lines);
// The totals of the invoice's stored lines by the program's rule.
InvoiceTotals storedLineTotals(db::Connection &connection, int invoiceId);
