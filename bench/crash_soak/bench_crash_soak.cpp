// Crash soak: proves that what the data module commits survives a kill, and that nothing half done does.
//
// A driver process makes invoice edits through the data module in a loop: new invoices with lines, line
// additions, changes and deletions (alone or inside a window-like transaction, some of them cancelled),
// invoice deletions, payments and print stamps. Before each change it writes what the invoices it touches
// must look like afterwards, and once the commit has returned it writes that the change is done (the log
// is synced to disk each time). The harness kills the driver with SIGKILL at a random moment, opens the
// database as the program does and checks:
//   - PRAGMA integrity_check is ok;
//   - every change the log calls done is in the database, and nothing else changed but, at most, the one
//     change that was under way: that one is there whole or not at all;
//   - every invoice's GROSSSUM and SUMVAT are the totals of its stored lines;
//   - invoice numbers are unique within each year.
//
//   bench_crash_soak [--kills N] [--seed S] [--max-delay MS] [--folder DIR]
//
// Exit status 0 when every check held. The driver is this program started with --drive.

#include "core/Clock.h"
#include "core/Connection.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "data/DatabaseCreation.h"
#include "data/LineAmounts.h"
#include "data/dInvoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------------------
// What an invoice holds, as the driver expects it and as the database has it

struct Line {
    QString text; // unique: the line's identity
    double num = 0;
    qint64 price = 0; // money units
    double vat = 0;
    double discount = 0;
};

struct Invoice {
    int number = 0;
    int year = 0;
    int customer = 0;
    QString paidDate;  // yyyy-MM-dd or empty
    QString sumPaid;   // units, or empty
    QString printDate; // yyyy-MM-dd or empty
    std::vector<Line> lines;

    // Everything the driver sets, in one comparable text; the lines in the order of their texts.
    QString canonical() const
    {
        std::vector<Line> sorted = lines;
        std::sort(sorted.begin(), sorted.end(), [](const Line &a, const Line &b) { return a.text < b.text; });
        QString text = QStringLiteral("no=%1 y=%2 c=%3 paid=%4/%5 print=%6")
                           .arg(number)
                           .arg(year)
                           .arg(customer)
                           .arg(paidDate, sumPaid, printDate);
        for (const Line &l : sorted)
            text += QStringLiteral(" [%1 %2 %3 %4 %5]")
                        .arg(l.text)
                        .arg(l.num, 0, 'g', 17)
                        .arg(l.price)
                        .arg(l.vat, 0, 'g', 17)
                        .arg(l.discount, 0, 'g', 17);
        return text;
    }
    InvoiceTotals totals() const
    {
        InvoiceTotals t;
        for (const Line &l : lines)
            t.add(lineAmounts(l.num, Money::fromUnits(l.price), l.vat, l.discount));
        return t;
    }
};

struct StoredInvoice {
    Invoice invoice;
    qint64 grossSum = 0, sumVat = 0;
};

QString datePart(const QVariant &stored)
{
    return stored.isNull() ? QString() : stored.toString().left(10);
}

// Every invoice, or the one with the id given.
std::map<qint64, StoredInvoice> readInvoices(db::Connection &c, qint64 only = 0)
{
    std::map<qint64, StoredInvoice> invoices;
    const QString which = only ? QStringLiteral(" where INV_ID = :I") : QString();
    db::Statement heads(c, QStringLiteral("select INV_ID, INVOICE_NO, substr(INVDATE, 1, 4), CUST_ID, PAIDDATE, "
                                          "SUMPAID, PRINTDATE, GROSSSUM, SUMVAT from INVOICE") +
                               which);
    heads.bind(QStringLiteral("I"), only);
    while (heads.step()) {
        StoredInvoice &s = invoices[heads.rawValue(0).toLongLong()];
        s.invoice.number = heads.rawValue(1).toInt();
        s.invoice.year = heads.rawValue(2).toInt();
        s.invoice.customer = heads.rawValue(3).toInt();
        s.invoice.paidDate = datePart(heads.rawValue(4));
        s.invoice.sumPaid = heads.rawValue(5).isNull() ? QString() : heads.rawValue(5).toString();
        s.invoice.printDate = datePart(heads.rawValue(6));
        s.grossSum = heads.rawValue(7).toLongLong();
        s.sumVat = heads.rawValue(8).toLongLong();
    }
    db::Statement lines(c,
                        QStringLiteral("select INV_ID, ITEM_DESC, NUM, NETPRICE, VAT, DISCOUNT from INVITEM") + which);
    lines.bind(QStringLiteral("I"), only);
    while (lines.step()) {
        Line l{lines.rawValue(1).toString(), lines.rawValue(2).toDouble(), lines.rawValue(3).toLongLong(),
               lines.rawValue(4).toDouble(), lines.rawValue(5).toDouble()};
        invoices[lines.rawValue(0).toLongLong()].invoice.lines.push_back(l);
    }
    return invoices;
}

// ---------------------------------------------------------------------------------------------------------
// The log: "B seq" opens what a change will leave ("I id canonical", "I id DELETED" or "N canonical" for a
// new invoice), "E" closes it; "C seq" follows once the change is committed.

class Log {
public:
    explicit Log(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (m_fd < 0)
            throw Error(QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    }
    ~Log() { ::close(m_fd); }
    void write(const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        if (::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fdatasync(m_fd) != 0)
            throw Error(QStringLiteral("the log cannot be written"));
    }

private:
    int m_fd = -1;
};

struct Intent {
    std::map<qint64, std::optional<QString>> touched; // none: deleted
    std::vector<QString> created;
};

struct LoggedChange {
    int seq = 0;
    Intent intent;
    bool committed = false;
    std::vector<qint64> createdIds; // the ids the new invoices got, known once committed
};

// The changes of one log; a block cut short by the kill was never started.
std::vector<LoggedChange> readLog(const QString &path, QString *problem)
{
    std::vector<LoggedChange> changes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return changes;
    std::optional<LoggedChange> open;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("B "))) {
            open = LoggedChange{line.mid(2).toInt(), {}, false, {}};
        } else if (line.startsWith(QLatin1String("I ")) && open) {
            const qsizetype blank = line.indexOf(QLatin1Char(' '), 2);
            const QString state = line.mid(blank + 1);
            open->intent.touched[line.mid(2, blank - 2).toLongLong()] =
                state == QLatin1String("DELETED") ? std::nullopt : std::optional<QString>(state);
        } else if (line.startsWith(QLatin1String("N ")) && open) {
            open->intent.created.push_back(line.mid(2));
        } else if (line == QLatin1String("E") && open) {
            changes.push_back(*open);
            open.reset();
        } else if (line.startsWith(QLatin1String("C "))) {
            const QStringList words = line.mid(2).split(QLatin1Char(' '));
            if (changes.empty() || changes.back().seq != words.first().toInt() || changes.back().committed) {
                *problem = QStringLiteral("the log is out of order at \"%1\"").arg(line);
                continue;
            }
            changes.back().committed = true;
            for (const QString &id : words.mid(1))
                changes.back().createdIds.push_back(id.toLongLong());
        }
    }
    for (size_t i = 0; i + 1 < changes.size(); ++i)
        if (!changes[i].committed)
            *problem =
                QStringLiteral("change %1 was started before %2 was done").arg(changes[i + 1].seq).arg(changes[i].seq);
    return changes;
}

// ---------------------------------------------------------------------------------------------------------
// The driver

class Driver {
public:
    Driver(const QString &folder, const QString &logPath, quint32 seed, int round)
        : m_dm(folder), m_log(logPath), m_random(seed), m_round(round)
    {
        if (!m_dm.isConnected())
            throw Error(QStringLiteral("the database cannot be opened: ") + m_dm.connectFailure());
        m_dm.DBSettings.LoadBusinessSettings();
        for (auto &[id, stored] : readInvoices(m_dm.conInvoice))
            m_model[id] = stored.invoice;
        db::Statement customers(m_dm.conInvoice, QStringLiteral("select CUST_ID from CUSTOMER"));
        while (customers.step())
            m_customers.push_back(customers.rawValue(0).toInt());
    }

    [[noreturn]] void run()
    {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (int seq = 1;; ++seq)
            step(seq);
    }

private:
    using Dataset = db::DataSet;

    void step(int seq)
    {
        const int choice = int(m_random.bounded(100));
        const qint64 someInvoice = pickInvoice();
        if (choice < 15 || someInvoice == 0)
            newInvoice(seq);
        else if (choice < 55)
            editLines(seq, someInvoice);
        else if (choice < 65)
            deleteInvoice(seq, someInvoice);
        else if (choice < 80)
            pay(seq);
        else
            stamp(seq, someInvoice);
    }

    qint64 pickInvoice()
    {
        if (m_model.empty())
            return 0;
        auto it = m_model.begin();
        std::advance(it, m_random.bounded(int(m_model.size())));
        return it->first;
    }

    Line randomLine()
    {
        static const double vats[] = {25, 15, 12, 0};
        Line l;
        l.text = QStringLiteral("r%1-%2").arg(m_round).arg(++m_lineCount);
        l.num = m_random.bounded(1, 80) / 4.0;
        l.price = qint64(m_random.bounded(1, 5000000)) * 10 + m_random.bounded(10);
        l.vat = vats[m_random.bounded(4)];
        l.discount = m_random.bounded(4) == 0 ? m_random.bounded(40) * 1.25 : 0;
        return l;
    }

    void begin(int seq, const Intent &intent)
    {
        QString text = QStringLiteral("B %1\n").arg(seq);
        for (const auto &[id, state] : intent.touched)
            text += QStringLiteral("I %1 %2\n").arg(id).arg(state ? *state : QStringLiteral("DELETED"));
        for (const QString &state : intent.created)
            text += QStringLiteral("N %1\n").arg(state);
        m_log.write(text + QStringLiteral("E\n"));
    }
    void done(int seq, qint64 created = 0)
    {
        m_log.write(created ? QStringLiteral("C %1 %2\n").arg(seq).arg(created) : QStringLiteral("C %1\n").arg(seq));
    }

    // The invoice's lines in the order the dataset holds them are found by their unique texts.
    void openInvoice(qint64 id)
    {
        m_dm.tblInvoiceItems.close();
        m_dm.tblInvoiceEdit.close();
        m_dm.tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), id);
        m_dm.tblInvoiceEdit.open();
        m_dm.tblInvoiceItems.open();
    }
    void closeInvoice()
    {
        m_dm.tblInvoiceItems.close();
        m_dm.tblInvoiceEdit.close();
    }

    void setLine(const Line &l)
    {
        Dataset &items = m_dm.tblInvoiceItems;
        items.fieldByName(QStringLiteral("ITEM_DESC")).setValue(l.text);
        items.fieldByName(QStringLiteral("NUM")).setValue(l.num);
        items.fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(Money::fromUnits(l.price)));
        items.fieldByName(QStringLiteral("VAT")).setValue(l.vat);
        items.fieldByName(QStringLiteral("DISCOUNT")).setValue(l.discount);
    }

    void findLine(const QString &text)
    {
        if (!m_dm.tblInvoiceItems.locate(QStringLiteral("ITEM_DESC"), text))
            throw Error(QStringLiteral("line %1 is missing").arg(text));
    }

    // Reads the invoices back after a commit: the driver's picture must be what was stored.
    void verify(qint64 id)
    {
        const auto stored = readInvoices(m_dm.conInvoice, id);
        const auto model = m_model.find(id);
        const auto found = stored.find(id);
        const QString want = model == m_model.end() ? QStringLiteral("DELETED") : model->second.canonical();
        const QString have = found == stored.end() ? QStringLiteral("DELETED") : found->second.invoice.canonical();
        if (want != have)
            throw Error(QStringLiteral("invoice %1 was stored as\n  %2\nnot\n  %3").arg(id).arg(have, want));
    }

    int nextNumber(int year) const
    {
        int highest = 0;
        for (const auto &[id, invoice] : m_model)
            if (invoice.year == year)
                highest = std::max(highest, invoice.number);
        return highest + 1;
    }

    // A new invoice, dated in one of three years: a header alone, saved by itself, or a header with lines
    // saved in one transaction as the invoice window does (now and then cancelled instead).
    void newInvoice(int seq)
    {
        const int year = 2024 + int(m_random.bounded(3));
        Clock::setFixed(wallClock(QDate(year, 1 + int(m_random.bounded(12)), 1 + int(m_random.bounded(28)))));
        Invoice invoice;
        invoice.year = year;
        invoice.number = nextNumber(year);
        invoice.customer = m_customers[m_random.bounded(int(m_customers.size()))];
        const int lineCount = int(m_random.bounded(5));
        for (int i = 0; i < lineCount; ++i)
            invoice.lines.push_back(randomLine());
        const bool cancel = lineCount > 0 && m_random.bounded(10) == 0;
        Intent intent;
        if (!cancel)
            intent.created.push_back(invoice.canonical());
        begin(seq, intent);

        db::Connection &c = m_dm.conInvoice;
        if (lineCount > 0)
            c.beginTransaction();
        openInvoice(-1);
        m_dm.tblInvoiceEdit.append();
        m_dm.tblInvoiceEdit.fieldByName(QStringLiteral("CUST_ID")).setValue(invoice.customer);
        for (const Line &l : invoice.lines) {
            m_dm.tblInvoiceItems.append();
            setLine(l);
            m_dm.tblInvoiceItems.post();
        }
        m_dm.tblInvoiceEdit.post();
        const qint64 id = m_dm.tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID")).value().toLongLong();
        closeInvoice();
        if (cancel) {
            c.rollback();
        } else {
            if (lineCount > 0)
                c.commit();
            m_model[id] = invoice;
        }
        done(seq, cancel ? 0 : id);
        verify(id);
    }

    // Lines added, changed and deleted: one at a time, each saved by itself, or several in one
    // transaction as the invoice window does (the invoice being edited or not; now and then cancelled).
    void editLines(int seq, qint64 id)
    {
        Invoice &model = m_model[id];
        Invoice after = model;
        const bool session = m_random.bounded(2) == 0;
        const int steps = session ? 1 + int(m_random.bounded(4)) : 1;
        const bool cancel = session && m_random.bounded(10) == 0;
        const bool headerEditing = session && m_random.bounded(2) == 0;
        struct Step {
            int kind; // 0 add, 1 change, 2 delete
            Line line;
        };
        std::vector<Step> plan;
        for (int i = 0; i < steps; ++i) {
            const int kind = after.lines.empty() ? 0 : int(m_random.bounded(3));
            if (kind == 0) {
                plan.push_back({0, randomLine()});
                after.lines.push_back(plan.back().line);
            } else {
                const size_t at = m_random.bounded(int(after.lines.size()));
                if (kind == 1) {
                    Line changed = randomLine();
                    changed.text = after.lines[at].text;
                    after.lines[at] = changed;
                    plan.push_back({1, changed});
                } else {
                    plan.push_back({2, after.lines[at]});
                    after.lines.erase(after.lines.begin() + qsizetype(at));
                }
            }
        }
        Intent intent;
        if (!cancel)
            intent.touched[id] = after.canonical();
        begin(seq, intent);

        db::Connection &c = m_dm.conInvoice;
        if (session)
            c.beginTransaction();
        openInvoice(id);
        if (headerEditing)
            m_dm.tblInvoiceEdit.edit();
        Dataset &items = m_dm.tblInvoiceItems;
        for (const Step &s : plan) {
            if (s.kind == 0) {
                items.append();
                setLine(s.line);
                items.post();
            } else if (s.kind == 1) {
                findLine(s.line.text);
                items.edit();
                setLine(s.line);
                items.post();
            } else {
                findLine(s.line.text);
                items.remove();
            }
        }
        if (headerEditing)
            m_dm.tblInvoiceEdit.post();
        closeInvoice();
        if (cancel) {
            c.rollback();
        } else {
            if (session)
                c.commit();
            model = after;
        }
        done(seq);
        verify(id);
    }

    void deleteInvoice(int seq, qint64 id)
    {
        Intent intent;
        intent.touched[id] = std::nullopt;
        begin(seq, intent);
        bool ask = false;
        m_dm.DeleteInvoice(int(id), m_model[id].number, true, ask);
        m_model.erase(id);
        done(seq);
        verify(id);
    }

    // An unpaid invoice marked paid in the payments list: today's date and its total.
    void pay(int seq)
    {
        std::vector<qint64> unpaid;
        for (const auto &[id, invoice] : m_model)
            if (invoice.paidDate.isEmpty())
                unpaid.push_back(id);
        if (unpaid.empty())
            return;
        const qint64 id = unpaid[m_random.bounded(int(unpaid.size()))];
        const QDate day(2026, 1 + int(m_random.bounded(12)), 1 + int(m_random.bounded(28)));
        Clock::setFixed(wallClock(day));
        Dataset &payments = m_dm.qryInvoicePay;
        payments.close();
        payments.open();
        if (!payments.locate(QStringLiteral("INV_ID"), id))
            throw Error(QStringLiteral("invoice %1 is not among the unpaid").arg(id));
        // The amount paid is the invoice's stored total (none for an invoice that never had a line); that
        // the total is right is checked apart.
        const QVariant gross = m_dm.conInvoice.scalar(QStringLiteral("select GROSSSUM from INVOICE where INV_ID = :I"),
                                                      {{QStringLiteral("I"), id}});
        Invoice &model = m_model[id];
        Invoice after = model;
        after.paidDate = day.toString(Qt::ISODate);
        after.sumPaid = gross.isNull() ? QString() : gross.toString();
        Intent intent;
        intent.touched[id] = after.canonical();
        begin(seq, intent);
        payments.edit();
        payments.fieldByName(QStringLiteral("PAID")).setValue(-1);
        payments.post();
        payments.close();
        model = after;
        done(seq);
        verify(id);
    }

    void stamp(int seq, qint64 id)
    {
        const QDate day(2026, 1 + int(m_random.bounded(12)), 1 + int(m_random.bounded(28)));
        Invoice &model = m_model[id];
        Invoice after = model;
        after.printDate = day.toString(Qt::ISODate);
        Intent intent;
        intent.touched[id] = after.canonical();
        begin(seq, intent);
        m_dm.MarkInvoicePrinted(int(id), wallClock(day, QTime(14, 30)));
        model = after;
        done(seq);
        verify(id);
    }

    TdmInvoice m_dm;
    Log m_log;
    QRandomGenerator m_random;
    int m_round;
    int m_lineCount = 0;
    std::map<qint64, Invoice> m_model;
    std::vector<int> m_customers;
};

int drive(const QStringList &args)
{
    // Boxes the data module would show go to standard error; the driver never waits on one.
    setMessageHandler([](const MessageRequest &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return MsgAnswer::No;
    });
    try {
        Driver driver(args.value(0), args.value(1), args.value(2).toUInt(), args.value(3).toInt());
        driver.run();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "driver: %s\n", e.what());
        return 2;
    }
}

// ---------------------------------------------------------------------------------------------------------
// The harness

struct Figures {
    int kills = 0;
    int commits = 0;
    int underWayWhole = 0, underWayAbsent = 0;
    int failures = 0;
    std::map<QString, int> byKind;
};

class Harness {
public:
    Harness(const QString &folder, quint32 seed, int maxDelay) : m_folder(folder), m_random(seed), m_maxDelay(maxDelay)
    {
        const QString database = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
        createDatabase(database, false);
        db::Connection c(QStringLiteral("setup"));
        c.description = db::ConnectionDescription::sqliteFile(database);
        c.open();
        for (const char *name : {"Nordmann", "Hansen", "Olsen", "Berg"})
            c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values "
                                     "((select count(*) + 1 from CUSTOMER), 'Kari', :N)"),
                      {{QStringLiteral("N"), QLatin1String(name)}});
    }

    void round(int number)
    {
        const QString logPath = QDir(m_folder).filePath(QStringLiteral("commits.log"));
        QFile::remove(logPath);
        QProcess driver;
        driver.setProcessChannelMode(QProcess::SeparateChannels);
        driver.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--drive"), m_folder, logPath, QString::number(m_random.generate()),
                      QString::number(number)});
        bool ready = false;
        while (!ready && driver.waitForReadyRead(30000))
            ready = driver.readAllStandardOutput().contains("ready");
        if (ready) {
            std::this_thread::sleep_for(std::chrono::microseconds(m_random.bounded(m_maxDelay * 1000 + 1)));
            ::kill(pid_t(driver.processId()), SIGKILL);
        }
        driver.waitForFinished(30000);
        ++m_figures.kills;
        const QByteArray errors = driver.readAllStandardError();
        if (!ready || driver.exitStatus() != QProcess::CrashExit) {
            fail(number, QStringLiteral("driver"),
                 QStringLiteral("the driver stopped by itself: %1").arg(QString::fromLocal8Bit(errors).trimmed()));
        }
        check(number, logPath);
    }

    const Figures &figures() const { return m_figures; }

private:
    void fail(int round, const QString &kind, const QString &text)
    {
        ++m_figures.failures;
        ++m_figures.byKind[kind];
        if (m_figures.byKind[kind] <= 5)
            std::fprintf(stderr, "kill %d: %s\n", round, qPrintable(text));
    }

    // Opens the database as the program does and compares it with the log of the round.
    void check(int round, const QString &logPath)
    {
        setMessageHandler([](const MessageRequest &) { return MsgAnswer::OK; });
        TdmInvoice dm(m_folder);
        if (!dm.isConnected()) {
            fail(round, QStringLiteral("open"), QStringLiteral("the database does not open: ") + dm.connectFailure());
            return;
        }
        db::Connection &c = dm.conInvoice;
        const QString integrity = c.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
        if (integrity != QLatin1String("ok"))
            fail(round, QStringLiteral("integrity"), QStringLiteral("integrity_check: ") + integrity);
        const qint64 repeated = c.scalar(QStringLiteral("select count(*) from (select 1 from INVOICE group by "
                                                        "substr(INVDATE, 1, 4), INVOICE_NO having count(*) > 1)"))
                                    .toLongLong();
        if (repeated > 0)
            fail(round, QStringLiteral("numbering"),
                 QStringLiteral("%1 invoice numbers repeat within a year").arg(repeated));

        const std::map<qint64, StoredInvoice> stored = readInvoices(c);
        std::set<qint64> wrongTotals;
        for (const auto &[id, s] : stored) {
            const InvoiceTotals t = s.invoice.totals();
            if (t.gross.units() != s.grossSum || t.vat.units() != s.sumVat)
                wrongTotals.insert(id);
        }
        for (qint64 id : wrongTotals)
            if (!m_wrongTotals.count(id))
                fail(round, QStringLiteral("totals"),
                     QStringLiteral("invoice %1: GROSSSUM %2 and SUMVAT %3 are not the totals of its lines (%4, %5)")
                         .arg(id)
                         .arg(stored.at(id).grossSum)
                         .arg(stored.at(id).sumVat)
                         .arg(stored.at(id).invoice.totals().gross.units())
                         .arg(stored.at(id).invoice.totals().vat.units()));
        m_wrongTotals = wrongTotals;

        QString problem;
        const std::vector<LoggedChange> changes = readLog(logPath, &problem);
        if (!problem.isEmpty())
            fail(round, QStringLiteral("log"), problem);
        std::map<qint64, QString> expected = m_baseline;
        const LoggedChange *underWay = nullptr;
        for (const LoggedChange &change : changes) {
            if (!change.committed) {
                underWay = &change;
                break;
            }
            ++m_figures.commits;
            apply(expected, change, stored);
        }
        std::map<qint64, QString> actual;
        for (const auto &[id, s] : stored)
            actual[id] = s.invoice.canonical();

        // What differs must be the change under way, whole.
        std::map<qint64, QString> withUnderWay = expected;
        if (underWay)
            apply(withUnderWay, *underWay, stored);
        if (actual == expected) {
            if (underWay)
                ++m_figures.underWayAbsent;
        } else if (underWay && actual == withUnderWay) {
            ++m_figures.underWayWhole;
        } else {
            QStringList lines;
            for (const auto &[id, state] : actual)
                if (!expected.count(id) || expected.at(id) != state)
                    lines << QStringLiteral("  %1 stored:   %2").arg(id).arg(state);
            for (const auto &[id, state] : expected)
                if (!actual.count(id) || actual.at(id) != state)
                    lines << QStringLiteral("  %1 expected: %2").arg(id).arg(state);
            fail(round, QStringLiteral("changes"),
                 QStringLiteral("the database is not the logged changes%1:\n%2")
                     .arg(underWay ? QStringLiteral(" with or without change %1").arg(underWay->seq) : QString(),
                          lines.join(QLatin1Char('\n'))));
        }
        m_baseline = actual;
    }

    // A committed new invoice has the id the log gives it. The new invoice of the change under way is
    // looked for among the stored invoices that nothing else accounts for, by its contents.
    static void apply(std::map<qint64, QString> &state, const LoggedChange &change,
                      const std::map<qint64, StoredInvoice> &stored)
    {
        for (const auto &[id, after] : change.intent.touched) {
            if (after)
                state[id] = *after;
            else
                state.erase(id);
        }
        for (size_t i = 0; i < change.intent.created.size(); ++i) {
            const QString &created = change.intent.created[i];
            qint64 id = i < change.createdIds.size() ? change.createdIds[i] : 0;
            if (!change.committed)
                for (const auto &[storedId, s] : stored)
                    if (!state.count(storedId) && s.invoice.canonical() == created) {
                        id = storedId;
                        break;
                    }
            // Not stored: an id no invoice has, so the comparison fails.
            state[id > 0 ? id : -qint64(state.size()) - 1] = created;
        }
    }

    QString m_folder;
    QRandomGenerator m_random;
    int m_maxDelay;
    std::map<qint64, QString> m_baseline;
    std::set<qint64> m_wrongTotals;
    Figures m_figures;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList args = application.arguments().mid(1);
    if (args.value(0) == QLatin1String("--drive"))
        return drive(args.mid(1));

    int kills = 200, maxDelay = 150;
    quint32 seed = QRandomGenerator::system()->generate();
    QString folder;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString &option = args.at(i), &value = args.at(i + 1);
        if (option == QLatin1String("--kills"))
            kills = value.toInt();
        else if (option == QLatin1String("--seed"))
            seed = value.toUInt();
        else if (option == QLatin1String("--max-delay"))
            maxDelay = value.toInt();
        else if (option == QLatin1String("--folder"))
            folder = value;
    }
    if (kills <= 0 || maxDelay <= 0 || args.size() % 2 != 0) {
        std::fputs("usage: bench_crash_soak [--kills N] [--seed S] [--max-delay MS] [--folder DIR]\n", stderr);
        return 2;
    }
    QTemporaryDir temporary;
    if (folder.isEmpty())
        folder = temporary.path();
    else if (!QDir().mkpath(folder))
        return 2;
    std::printf("crash soak: %d kills, seed %u, kill within %d ms of the driver's start, in %s\n", kills, seed,
                maxDelay, qPrintable(folder));
    QElapsedTimer timer;
    timer.start();
    Harness harness(folder, seed, maxDelay);
    for (int k = 1; k <= kills; ++k)
        harness.round(k);
    const Figures &f = harness.figures();
    std::printf("kills %d, commits checked %d, change under way found whole %d and absent %d, failures %d, "
                "%.1f s\n",
                f.kills, f.commits, f.underWayWhole, f.underWayAbsent, f.failures, double(timer.elapsed()) / 1000);
    for (const auto &[kind, count] : f.byKind)
        std::printf("  %s: %d\n", qPrintable(kind), count);
    return f.failures == 0 ? 0 : 1;
}
