#include "TestSupport.h"
#include "core/Connection.h"
#include "core/Errors.h"
#include "data/DatabaseCreation.h"
#include "data/dInvoice.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

// Every file below a folder with a hash of its bytes: what "nothing was created or changed" compares.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!it.fileInfo().isFile()) { // a named pipe is never opened
            files.insert(path, "(not a file)");
            continue;
        }
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Sets a file's or folder's mode for its lifetime, then puts the old one back (so the folder can be removed).
class ModeSet {
public:
    ModeSet() = default;
    void set(const QString &path, mode_t mode)
    {
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
        m_path = path;
        m_mode = info.st_mode & 07777;
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
    }
    ~ModeSet()
    {
        if (!m_path.isEmpty())
            ::chmod(QFile::encodeName(m_path).constData(), m_mode);
    }

private:
    QString m_path;
    mode_t m_mode = 0;
};

} // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dataLinkFileWins_data()
    {
        QTest::addColumn<bool>("relative");
        QTest::newRow("absolute path") << false;
        QTest::newRow("path relative to the data link file") << true;
    }
    void dataLinkFileWins()
    {
        QFETCH(bool, relative);
        TempDatabase beside;
        QDir(beside.folder()).mkdir(QStringLiteral("elsewhere"));
        const QString other = beside.filePath(QStringLiteral("elsewhere/shop.mdb"));
        createDatabase(other, true);
        writeFile(beside.filePath(QStringLiteral("Tessund.udl")),
                  QByteArray("[oledb]\n; points the program at the shop's data\nDriver=QSQLITE\nDatabase=") +
                      (relative ? QByteArray("elsewhere/shop.mdb") : other.toUtf8()) + "\n");

        MessageAnswers answers;
        TdmInvoice dm(beside.folder());
        QVERIFY(dm.isConnected());
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(dm.conInvoice.databaseName(), other);
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 12);
        // The database beside the program was not opened: another process can still read it.
        QCOMPARE(runProcess(QStringLiteral("sqlite3"), {beside.path(), QStringLiteral("select count(*) from CUSTOMER")})
                     .exitCode,
                 0);
    }

    void secondProcessIsRefused()
    {
        TempDatabase database(true);
        const QMap<QString, QByteArray> before = snapshot(database.folder());
        {
            TdmInvoice dm(database.folder());
            QVERIFY(dm.isConnected());
            const ProcessRun read = runProcess(QStringLiteral("sqlite3"),
                                               {database.path(), QStringLiteral("select count(*) from CUSTOMER")});
            QVERIFY(read.exitCode != 0);
            QVERIFY2(read.errors.contains(QLatin1String("locked")), qPrintable(read.errors));
            const ProcessRun write =
                runProcess(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("delete from CUSTOMER")});
            QVERIFY(write.exitCode != 0);
            const ProcessRun ours =
                runProcess(QStringLiteral(TESSUND_CLI), {QStringLiteral("check-db"), database.path()});
            QCOMPARE(ours.exitCode, 1);
            QVERIFY2(ours.errors.contains(QLatin1String("locked")), qPrintable(ours.errors));
            QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 12);
        }
        QCOMPARE(snapshot(database.folder()), before);
        // Released when the program ends.
        QCOMPARE(
            runProcess(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("select count(*) from CUSTOMER")})
                .exitCode,
            0);
    }

    // Each case ends the start with the two error boxes and changes nothing; where the database file itself
    // is at fault, tessund-cli refuses it with the same reason.
    void unusableDatabaseEndsTheStart_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<bool>("cli");
        QTest::newRow("missing file") << "missing"
                                      << "does not exist" << true;
        QTest::newRow("corrupt file") << "corrupt"
                                      << "not a database" << true;
        QTest::newRow("empty file") << "empty"
                                    << "is empty: it holds no database" << true;
        // The engine takes a file of one byte for an empty one, and would write a database into it.
        QTest::newRow("one-byte file") << "one-byte"
                                       << "is empty: it holds no database" << true;
        QTest::newRow("read-only file") << "readonly-file"
                                        << "is read-only: Permission denied" << true;
        QTest::newRow("read-only folder") << "readonly-folder"
                                          << "is read-only: Permission denied" << true;
        // The journal goes beside the file the link leads to.
        QTest::newRow("link into a read-only folder")
            << "readonly-link-target"
            << "elsewhere of the database file is read-only: Permission denied" << true;
        QTest::newRow("file with no permissions") << "no-permissions"
                                                  << ": Permission denied" << true;
        QTest::newRow("foreign database") << "foreign"
                                          << "is not an invoice database: the table CUSTOMER is missing" << true;
        QTest::newRow("a column missing") << "sql:alter table CUSTOMER drop column MISC"
                                          << "is not an invoice database: the column CUSTOMER.MISC is missing" << true;
        QTest::newRow("a column of another type")
            << "sql:drop table DYNAITEM; create table DYNAITEM (ITEM_NO CHAR(10), ITEM_DESC CHAR(64), NETPRICE TEXT, "
               "VAT DOUBLE)"
            << "is not an invoice database: the column DYNAITEM.NETPRICE is of type TEXT, not CURRENCY" << true;
        QTest::newRow("a view missing") << "sql:drop view INVITEMVIEW"
                                        << "is not an invoice database: the view INVITEMVIEW is missing" << true;
        QTest::newRow("a table for a view") << "sql:drop view INVITEMVIEW; create table INVITEMVIEW (INV_ID integer)"
                                            << "is not an invoice database: INVITEMVIEW is a table, not a view" << true;
        QTest::newRow("locked by another connection") << "locked"
                                                      << "database is locked" << false;
        QTest::newRow("a folder named INVOICE.mdb") << "folder"
                                                    << "is not a file" << true;
        QTest::newRow("empty data link file") << "udl-empty"
                                              << "holds no connection description" << false;
        QTest::newRow("binary data link file") << "udl-binary"
                                               << "is not a text file" << false;
        QTest::newRow("data link file is a folder") << "udl-folder"
                                                    << "is a folder" << false;
        QTest::newRow("data link file is a named pipe") << "udl-pipe"
                                                        << "is not a regular file" << false;
        QTest::newRow("data link names no driver") << "udl-nodriver"
                                                   << "names no driver" << false;
        QTest::newRow("data link names no database") << "udl-nodatabase"
                                                     << "names no database" << false;
        QTest::newRow("data link names an unknown driver") << "udl-baddriver"
                                                           << "driver QNOSUCH is not available" << false;
        QTest::newRow("data link names a missing file") << "udl-missing"
                                                        << "does not exist" << false;
        QTest::newRow("data link value without its closing quote")
            << "udl-open-quote"
            << "cannot be used: the value of Database has no closing quote" << false;
        QTest::newRow("data link text after a quoted value")
            << "udl-after-quote"
            << "cannot be used: the value of Database goes on after its closing quote" << false;
        QTest::newRow("data link line that is no pair")
            << "udl-no-pair"
            << "cannot be used: \"Driver QSQLITE\" is no key=value pair" << false;
    }
    void unusableDatabaseEndsTheStart()
    {
        QFETCH(QString, setup);
        QFETCH(QString, firstText);
        QFETCH(bool, cli);
        TempDatabase database;
        const QString udl = database.filePath(QStringLiteral("Tessund.udl"));
        db::Connection holder(QStringLiteral("holder"));
        ModeSet mode;
        if (setup == QLatin1String("missing")) {
            QFile::remove(database.path());
        } else if (setup == QLatin1String("corrupt")) {
            QFile::remove(database.path());
            writeFile(database.path(), QByteArray(4096, '\x5a'));
        } else if (setup == QLatin1String("empty")) {
            QFile::remove(database.path());
            writeFile(database.path(), QByteArray());
        } else if (setup == QLatin1String("readonly-file")) {
            mode.set(database.path(), 0444);
        } else if (setup == QLatin1String("one-byte")) {
            QFile::remove(database.path());
            writeFile(database.path(), QByteArray(1, '\0'));
        } else if (setup == QLatin1String("readonly-link-target")) {
            QDir(database.folder()).mkdir(QStringLiteral("elsewhere"));
            const QString target = database.filePath(QStringLiteral("elsewhere/INVOICE.mdb"));
            QVERIFY(QFile::rename(database.path(), target));
            QVERIFY(QFile::link(target, database.path()));
            mode.set(database.filePath(QStringLiteral("elsewhere")), 0555);
        } else if (setup == QLatin1String("readonly-folder")) {
            // The mode bits count for the superuser too, so this holds whoever runs the test.
            mode.set(database.folder(), 0555);
        } else if (setup == QLatin1String("no-permissions")) {
            mode.set(database.path(), 0);
        } else if (setup == QLatin1String("foreign")) {
            QFile::remove(database.path());
            QCOMPARE(
                runProcess(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("create table NOTES (T text)")})
                    .exitCode,
                0);
        } else if (setup.startsWith(QLatin1String("sql:"))) {
            QCOMPARE(runProcess(QStringLiteral("sqlite3"), {database.path(), setup.mid(4)}).exitCode, 0);
        } else if (setup == QLatin1String("locked")) {
            holder.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
            holder.open();
        } else if (setup == QLatin1String("folder")) {
            QFile::remove(database.path());
            QDir(database.folder()).mkdir(QStringLiteral("INVOICE.mdb"));
        } else if (setup == QLatin1String("udl-empty")) {
            writeFile(udl, "; nothing but a comment\n\n");
        } else if (setup == QLatin1String("udl-binary")) {
            writeFile(udl, QByteArray("Driver=QSQLITE\0\x01\x02", 17));
        } else if (setup == QLatin1String("udl-folder")) {
            QDir(database.folder()).mkdir(QStringLiteral("Tessund.udl"));
        } else if (setup == QLatin1String("udl-pipe")) {
            // Nobody writes to it: reading it would wait for ever.
            QCOMPARE(::mkfifo(QFile::encodeName(udl).constData(), 0600), 0);
        } else if (setup == QLatin1String("udl-nodriver")) {
            writeFile(udl, "Database=INVOICE.mdb\n");
        } else if (setup == QLatin1String("udl-nodatabase")) {
            writeFile(udl, "Driver=QSQLITE\n");
        } else if (setup == QLatin1String("udl-baddriver")) {
            writeFile(udl, "Driver=QNOSUCH;Database=x\n");
        } else if (setup == QLatin1String("udl-missing")) {
            writeFile(udl, "Driver=QSQLITE;Database=nowhere/shop.mdb\n");
        } else if (setup == QLatin1String("udl-open-quote")) {
            writeFile(udl, "Driver=QSQLITE\nDatabase=\"INVOICE.mdb\n");
        } else if (setup == QLatin1String("udl-after-quote")) {
            writeFile(udl, "Driver=QSQLITE\nDatabase=\"INVOICE\".mdb\n");
        } else if (setup == QLatin1String("udl-no-pair")) {
            writeFile(udl, "Driver QSQLITE\nDatabase=INVOICE.mdb\n");
        }
        const QMap<QString, QByteArray> before = snapshot(database.folder());

        MessageAnswers answers;
        {
            TdmInvoice dm(database.folder());
            QVERIFY(!dm.isConnected());
            QVERIFY(!dm.conInvoice.isOpen());
        }
        QCOMPARE(answers.shown().size(), 2);
        QCOMPARE(answers.shown().at(0).type, MsgType::Error);
        QVERIFY2(answers.shown().at(0).text.contains(firstText), qPrintable(answers.shown().at(0).text));
        QCOMPARE(answers.shown().at(1).type, MsgType::Error);
        QCOMPARE(answers.shown().at(1).text, QStringLiteral("Database error. Unable to continue."));
        if (cli) {
            const ProcessRun checked =
                runProcess(QStringLiteral(TESSUND_CLI), {QStringLiteral("check-db"), database.path()});
            QCOMPARE(checked.exitCode, 1);
            QVERIFY2(checked.errors.contains(firstText), qPrintable(checked.errors));
        }
        QCOMPARE(snapshot(database.folder()), before);
    }

    // Paths are file names, never connection text: every character a folder's name may hold is taken as it is.
    void oddPathsOpen_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QByteArray>("dataLink"); // written beside the program; %1 stands for the database's path
        QTest::newRow("semicolon") << "shop;data" << QByteArray();
        QTest::newRow("connection text") << "x;Driver=QNOSUCH;Database=nowhere" << QByteArray();
        QTest::newRow("quotes") << "the \"shop\" and 'the' rest" << QByteArray();
        QTest::newRow("line break") << "two\nlines" << QByteArray();
        QTest::newRow("data link, relative path in such a folder")
            << "a;b=c \"d\"" << QByteArray("Driver=QSQLITE\nDatabase=INVOICE.mdb\n");
        QTest::newRow("data link, quoted path")
            << "semi;colon 'and' \"quotes\"" << QByteArray("Driver=QSQLITE;Database=\"%1\";Options=\n");
        QTest::newRow("data link, single-quoted path with a line break")
            << "line\nbreak;x" << QByteArray("Database='%1'\nDriver=QSQLITE");
    }
    void oddPathsOpen()
    {
        QFETCH(QString, folderName);
        QFETCH(QByteArray, dataLink);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(folderName));
        const QString folder = dir.filePath(folderName);
        const QString path = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
        createDatabase(path, true);
        if (!dataLink.isEmpty()) {
            QString quoted = path;
            // A quote inside a quoted value is doubled.
            const QChar quote = dataLink.contains("'%1'") ? QLatin1Char('\'') : QLatin1Char('"');
            quoted.replace(quote, QString(2, quote));
            QString text = QString::fromUtf8(dataLink);
            if (text.contains(QLatin1String("%1")))
                text = text.arg(quoted);
            writeFile(QDir(folder).filePath(QStringLiteral("Tessund.udl")), text.toUtf8());
        }

        MessageAnswers answers;
        {
            TdmInvoice dm(folder);
            QVERIFY2(dm.isConnected(), qPrintable(answers.texts().join(QLatin1Char('\n'))));
            QCOMPARE(dm.conInvoice.databaseName(), path);
            QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 12);
        }
        const ProcessRun checked = runProcess(QStringLiteral(TESSUND_CLI), {QStringLiteral("check-db"), path});
        QVERIFY2(checked.exitCode == 0, qPrintable(checked.errors));
    }

    // The engine's "database or disk is full" is told as the system tells a full disk.
    void aFullDiskIsToldInWords()
    {
        TempDatabase database;
        db::Connection connection;
        connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        connection.open();
        // The engine stops at this many pages as it stops at the end of the disk.
        connection.execute(QStringLiteral("PRAGMA max_page_count = ") +
                           connection.scalar(QStringLiteral("PRAGMA page_count")).toString());
        const QString error = errorOf([&] { connection.execute(QStringLiteral("create table BIG (B blob)")); });
        QVERIFY2(error.contains(QLatin1String("No space left on device")), qPrintable(error));
    }

    void connectionSettings()
    {
        TempDatabase database;
        TdmInvoice dm(database.folder());
        QVERIFY(dm.isConnected());
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("PRAGMA foreign_keys")).toInt(), 1);
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("PRAGMA synchronous")).toInt(), 3); // EXTRA
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("PRAGMA locking_mode")).toString(), QStringLiteral("exclusive"));
        FixedClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58), Qt::UTC));
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select Now()")).toString(),
                 QStringLiteral("2026-12-31 23:59:58"));
        QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select '2026-12-31 00:00:00' < Now()")).toInt(), 1);
    }

    void failedStatementInsideTransaction_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("lost");
        // A constraint failure undoes only its own statement; RAISE(ROLLBACK) undoes the transaction.
        QTest::newRow("statement undone") << "insert into APPDATA (ANAME) values ('MUCH_TOO_LONG_KEY')" << false;
        QTest::newRow("transaction undone by the engine") << "insert into APPDATA (ANAME) values ('BOOM')" << true;
    }
    void failedStatementInsideTransaction()
    {
        QFETCH(QString, failing);
        QFETCH(bool, lost);
        TempDatabase database;
        auto count = [&](db::Connection &c) {
            return c.scalar(QStringLiteral("select count(*) from APPDATA")).toInt();
        };
        {
            db::Connection connection;
            connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
            connection.open();
            connection.execute(QStringLiteral("create trigger BOOM before insert on APPDATA when NEW.ANAME = 'BOOM' "
                                              "begin select raise(rollback, 'refused by the database'); end"));
            connection.beginTransaction();
            connection.execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values ('FIRST', '1')"));
            QVERIFY_THROWS_EXCEPTION(Error, connection.execute(failing));
            QCOMPARE(connection.transactionLost(), lost);
            QVERIFY(connection.inTransaction());
            connection.execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values ('LATER', '2')"));
            if (lost) {
                // What came after the engine's rollback must not be stored on its own.
                QVERIFY_THROWS_EXCEPTION(Error, connection.commit());
            } else {
                connection.commit();
            }
            QVERIFY(!connection.inTransaction());
        }
        db::Connection reopened;
        reopened.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        reopened.open();
        QCOMPARE(count(reopened), lost ? 0 : 2);
    }

    // A change is a transaction of its own, or a savepoint inside the open transaction; it is stored
    // whole or not at all, and undoing it leaves what the open transaction did before.
    void changeGuard_data()
    {
        QTest::addColumn<bool>("insideTransaction");
        QTest::addColumn<bool>("commitChange");
        QTest::addColumn<bool>("engineUndoes"); // a statement inside the change makes the engine undo everything
        QTest::addColumn<QString>("stored");
        // clang-format off
        QTest::newRow("own transaction, committed")  << false << true  << false << "CHANGE,INNER";
        QTest::newRow("own transaction, undone")     << false << false << false << "";
        QTest::newRow("own transaction, engine")     << false << false << true  << "";
        QTest::newRow("savepoint, committed")        << true  << true  << false << "BEFORE,CHANGE,INNER";
        QTest::newRow("savepoint, undone")           << true  << false << false << "BEFORE";
        QTest::newRow("savepoint, engine")           << true  << false << true  << "";
        // clang-format on
    }
    void changeGuard()
    {
        QFETCH(bool, insideTransaction);
        QFETCH(bool, commitChange);
        QFETCH(bool, engineUndoes);
        TempDatabase database;
        db::Connection connection;
        connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + database.path();
        connection.open();
        connection.execute(QStringLiteral("create trigger BOOM before insert on APPDATA when NEW.ANAME = 'BOOM' "
                                          "begin select raise(rollback, 'refused by the database'); end"));
        auto insert = [&](const char *name) {
            connection.execute(QStringLiteral("insert into APPDATA (ANAME) values (:N)"),
                               {{QStringLiteral("N"), QLatin1String(name)}});
        };
        if (insideTransaction) {
            connection.beginTransaction();
            insert("BEFORE");
        }
        {
            db::Transaction change(connection);
            insert("CHANGE");
            {
                db::Transaction inner(connection); // guards nest: the inner one is part of the outer change
                insert("INNER");
                inner.commit();
            }
            if (engineUndoes)
                QVERIFY_THROWS_EXCEPTION(Error, insert("BOOM"));
            if (commitChange)
                change.commit();
        }
        QCOMPARE(connection.inTransaction(), insideTransaction);
        if (insideTransaction && engineUndoes)
            QVERIFY_THROWS_EXCEPTION(Error, connection.commit());
        else if (insideTransaction)
            connection.commit();
        QTEST(connection
                  .scalar(QStringLiteral("select coalesce(group_concat(ANAME), '') from (select ANAME from APPDATA "
                                         "order by rowid)"))
                  .toString(),
              "stored");
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
