// tessund-cli: the program's tasks that need no window.
//   create-db PATH [--demo]   a new invoice database (with a sample business when --demo is given)
//   check-db PATH             opens a database as the program does and tells what it holds

#include "data/DatabaseCreation.h"
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "platform/db/Errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "Usage:\n"
                         "  tessund-cli create-db PATH [--demo]\n"
                         "  tessund-cli check-db PATH\n");
    return 2;
}

int createDb(const QStringList &args)
{
    QString path;
    bool demo = false;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--demo"))
            demo = true;
        else if (path.isEmpty() && !arg.startsWith(QLatin1String("--")))
            path = arg;
        else
            return usage();
    }
    if (path.isEmpty())
        return usage();
    createDatabase(path, demo);
    std::printf("Created %s%s\n", qPrintable(QFileInfo(path).absoluteFilePath()), demo ? " with demo data" : "");
    return 0;
}

int checkDb(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    db::Connection connection(QStringLiteral("check-db"));
    connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + QFileInfo(args.first()).absoluteFilePath();
    connection.open();
    for (const Schema::Table &table : Schema::tables()) {
        const QString name = QLatin1String(table.name);
        if (!connection.hasTableOrView(name))
            throw Error(QStringLiteral("%1 is not an invoice database: the table %2 is missing").arg(args.first(), name));
        std::printf("%-12s %lld rows\n", table.name,
                    connection.scalar(QStringLiteral("select count(*) from ") + name).toLongLong());
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("create-db"))
            return createDb(args);
        if (command == QLatin1String("check-db"))
            return checkDb(args);
    } catch (const Error &e) {
        std::fprintf(stderr, "tessund-cli: %s.\n", qPrintable(e.message()));
        return 1;
    }
    return usage();
}
