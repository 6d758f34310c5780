#include "TestSupport.h"
#include "data/DatabaseCreation.h"
#include "data/dInvoice.h"
#include "platform/db/Connection.h"
#include "platform/db/Errors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

// Every file below a folder with a hash of its bytes: what "nothing was created or changed" compares.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
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

struct ProcessResult {
    int exitCode;
    QString errorText;
};

ProcessResult run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

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
        QCOMPARE(
            run(QStringLiteral("sqlite3"), {beside.path(), QStringLiteral("select count(*) from CUSTOMER")}).exitCode,
            0);
    }

    void secondProcessIsRefused()
    {
        TempDatabase database(true);
        const QMap<QString, QByteArray> before = snapshot(database.folder());
        {
            TdmInvoice dm(database.folder());
            QVERIFY(dm.isConnected());
            const ProcessResult read =
                run(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("select count(*) from CUSTOMER")});
            QVERIFY(read.exitCode != 0);
            QVERIFY2(read.errorText.contains(QLatin1String("locked")), qPrintable(read.errorText));
            const ProcessResult write =
                run(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("delete from CUSTOMER")});
            QVERIFY(write.exitCode != 0);
            const ProcessResult ours = run(QStringLiteral(TESSUND_CLI), {QStringLiteral("check-db"), database.path()});
            QCOMPARE(ours.exitCode, 1);
            QVERIFY2(ours.errorText.contains(QLatin1String("locked")), qPrintable(ours.errorText));
            QCOMPARE(dm.conInvoice.scalar(QStringLiteral("select count(*) from CUSTOMER")).toInt(), 12);
        }
        QCOMPARE(snapshot(database.folder()), before);
        // Released when the program ends.
        QCOMPARE(
            run(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("select count(*) from CUSTOMER")}).exitCode,
            0);
    }

    void unusableDatabaseEndsTheStart_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("firstText");
        QTest::newRow("missing file") << "missing"
                                      << "does not exist";
        QTest::newRow("corrupt file") << "corrupt"
                                      << "not a database";
        QTest::newRow("foreign database") << "foreign"
                                          << "is not an invoice database: the table CUSTOMER is missing";
        QTest::newRow("locked by another connection") << "locked"
                                                      << "database is locked";
        QTest::newRow("a folder named INVOICE.mdb") << "folder"
                                                    << "is not a file";
        QTest::newRow("empty data link file") << "udl-empty"
                                              << "holds no connection description";
        QTest::newRow("binary data link file") << "udl-binary"
                                               << "is not a text file";
        QTest::newRow("data link file is a folder") << "udl-folder"
                                                    << "is a folder";
        QTest::newRow("data link names no driver") << "udl-nodriver"
                                                   << "names no driver";
        QTest::newRow("data link names no database") << "udl-nodatabase"
                                                     << "names no database";
        QTest::newRow("data link names an unknown driver") << "udl-baddriver"
                                                           << "driver QNOSUCH is not available";
        QTest::newRow("data link names a missing file") << "udl-missing"
                                                        << "does not exist";
    }
    void unusableDatabaseEndsTheStart()
    {
        QFETCH(QString, setup);
        QFETCH(QString, firstText);
        TempDatabase database;
        const QString udl = database.filePath(QStringLiteral("Tessund.udl"));
        db::Connection holder(QStringLiteral("holder"));
        if (setup == QLatin1String("missing")) {
            QFile::remove(database.path());
        } else if (setup == QLatin1String("corrupt")) {
            QFile::remove(database.path());
            writeFile(database.path(), QByteArray(4096, '\x5a'));
        } else if (setup == QLatin1String("foreign")) {
            QFile::remove(database.path());
            QCOMPARE(run(QStringLiteral("sqlite3"), {database.path(), QStringLiteral("create table NOTES (T text)")})
                         .exitCode,
                     0);
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
        } else if (setup == QLatin1String("udl-nodriver")) {
            writeFile(udl, "Database=INVOICE.mdb\n");
        } else if (setup == QLatin1String("udl-nodatabase")) {
            writeFile(udl, "Driver=QSQLITE\n");
        } else if (setup == QLatin1String("udl-baddriver")) {
            writeFile(udl, "Driver=QNOSUCH;Database=x\n");
        } else if (setup == QLatin1String("udl-missing")) {
            writeFile(udl, "Driver=QSQLITE;Database=nowhere/shop.mdb\n");
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
        QCOMPARE(snapshot(database.folder()), before);
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
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
