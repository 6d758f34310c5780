// tessund-cli: the program's tasks that need no window. --help shows the usage, --version the version.
//   create-db PATH [--demo]   a new invoice database (with a sample business when --demo is given)
//   check-db PATH             opens a database as the program does and tells what it holds
//   pdf DATABASE INV_ID FILE  one invoice as a PDF file, as the program's Save PDF writes it
//   pdf DATABASE --all FOLDER every invoice as FakturaNUMBER-YEAR.PDF
//   list transactions DATABASE FROM TO FILE, list invoices DATABASE all|unpaid|overdue FROM FILE,
//   list customers DATABASE FILE, list items DATABASE FILE
//                             a printed list as PDF or RTF (by FILE's suffix), as the preview saves it

#include "core/Errors.h"
#include "data/DatabaseCreation.h"
#include "data/Schema.h"
#include "data/dInvoice.h"
#include "document/InvoiceComposition.h"
#include "document/ListReports.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

int usage(FILE *to = stderr)
{
    std::fprintf(to, "Usage:\n"
                     "  tessund-cli create-db PATH [--demo]\n"
                     "  tessund-cli check-db PATH\n"
                     "  tessund-cli pdf DATABASE INV_ID FILE\n"
                     "  tessund-cli pdf DATABASE --all FOLDER\n"
                     "  tessund-cli list transactions DATABASE FROM TO FILE\n"
                     "  tessund-cli list invoices DATABASE all|unpaid|overdue FROM FILE\n"
                     "  tessund-cli list customers DATABASE FILE\n"
                     "  tessund-cli list items DATABASE FILE\n"
                     "  tessund-cli --help | --version\n"
                     "Dates are written YYYY-MM-DD; FILE ends in .pdf or .rtf.\n");
    return to == stderr ? 2 : 0;
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

// The data module on the database, as the program opens it (the same checks, the same refusals): while
// the program runs the file is held by it and the tool refuses.
std::unique_ptr<TdmInvoice> connectDataModule(const QString &database)
{
    auto dm = std::make_unique<TdmInvoice>(QString(), nullptr, database);
    if (dm->databaseInUse())
        throw Error(QStringLiteral("%1 is in use (is the program running?); close it and try again").arg(database));
    if (!dm->isConnected())
        throw Error(QStringLiteral("Cannot open %1: %2").arg(database, dm->connectFailure()));
    return dm;
}

std::unique_ptr<TdmInvoice> openDataModule(const QString &database)
{
    auto dm = connectDataModule(database);
    dm->DBSettings.LoadBusinessSettings();
    return dm;
}

int checkDb(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    auto dm = connectDataModule(args.first());
    for (const Schema::Table &table : Schema::tables())
        std::printf(
            "%-12s %lld rows\n", table.name,
            dm->conInvoice.scalar(QStringLiteral("select count(*) from ") + QLatin1String(table.name)).toLongLong());
    return 0;
}

int pdf(const QStringList &args)
{
    if (args.size() != 3)
        return usage();
    const QString &database = args.at(0);
    auto dm = openDataModule(database);
    if (args.at(1) != QLatin1String("--all")) {
        bool ok = false;
        const qint64 id = args.at(1).toLongLong(&ok);
        if (!ok)
            return usage();
        if (!ExportInvoicePdf(id, args.at(2)))
            throw Error(QStringLiteral("There is no invoice with id %1 in %2").arg(id).arg(database));
        std::printf("Wrote %s\n", qPrintable(QFileInfo(args.at(2)).absoluteFilePath()));
        return 0;
    }

    const QDir folder(args.at(2));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        throw Error(QStringLiteral("Cannot make the folder %1").arg(args.at(2)));
    struct Invoice {
        qint64 id;
        QString number, year;
    };
    std::vector<Invoice> invoices;
    db::Statement list(dm->conInvoice, QStringLiteral("select INV_ID, INVOICE_NO, substr(INVDATE, 1, 4) from "
                                                      "INVOICE order by INVDATE, INVOICE_NO, INV_ID"));
    while (list.step())
        invoices.push_back({list.rawValue(0).toLongLong(), list.rawValue(1).toString(), list.rawValue(2).toString()});

    const bool terminal = isatty(fileno(stdout));
    QSet<QString> used;
    int done = 0;
    int failed = 0;
    for (const Invoice &invoice : invoices) {
        // Numbers are unique within a year; a redated invoice can meet its number again, and no file
        // is written over another one of this run.
        QString name = QStringLiteral("Faktura%1-%2.PDF").arg(invoice.number, invoice.year);
        if (used.contains(name.toUpper()))
            name = QStringLiteral("Faktura%1-%2-%3.PDF").arg(invoice.number, invoice.year).arg(invoice.id);
        used.insert(name.toUpper());
        // A file that cannot be written is reported, and the rest are written all the same.
        try {
            ExportInvoicePdf(invoice.id, folder.filePath(name));
        } catch (const Error &e) {
            if (terminal)
                std::printf("\n");
            std::fprintf(stderr, "tessund-cli: %s.\n", qPrintable(e.message()));
            ++failed;
        }
        ++done;
        if (terminal && (done % 25 == 0 || done == int(invoices.size()))) {
            std::printf("\r%d of %zu invoices", done, invoices.size());
            std::fflush(stdout);
        }
    }
    if (terminal && done > 0)
        std::printf("\n");
    std::printf("Wrote %d invoices to %s\n", done - failed, qPrintable(folder.absolutePath()));
    if (failed > 0) {
        std::fprintf(stderr, "tessund-cli: %d of %d invoices could not be written.\n", failed, done);
        return 1;
    }
    return 0;
}

QDate isoDate(const QString &text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw Error(QStringLiteral("\"%1\" is not a date of the form YYYY-MM-DD").arg(text));
    return date;
}

// Writes the list page by page into FILE, showing the pages written on a terminal.
void writeList(report::Report &list, const QString &file)
{
    const bool rtf = file.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
    if (!rtf && !file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        throw Error(QStringLiteral("%1 must end in .pdf or .rtf").arg(file));
    const bool terminal = isatty(fileno(stderr));
    int pages = 0;
    const report::Progress progress = [&](qint64 done, qint64 total) {
        ++pages;
        if (terminal && (pages % 10 == 0 || done == total)) {
            std::fprintf(stderr, "\rPage %d (%lld of %lld rows)", pages, static_cast<long long>(done),
                         static_cast<long long>(total));
            std::fflush(stderr);
        }
        return true;
    };
    if (rtf)
        list.exportRtf(file, progress);
    else
        list.exportPdf(file, progress);
    if (terminal && pages > 0)
        std::fprintf(stderr, "\n");
    std::printf("Wrote %s (%d pages)\n", qPrintable(QFileInfo(file).absoluteFilePath()), pages);
}

int list(const QStringList &args)
{
    const QString kind = args.value(0);
    const int expected = kind == QLatin1String("transactions") || kind == QLatin1String("invoices") ? 5
                         : kind == QLatin1String("customers") || kind == QLatin1String("items")     ? 3
                                                                                                    : 0;
    if (expected == 0 || args.size() != expected) {
        usage();
        return 1;
    }
    const QString &database = args.at(1);
    const QString &file = args.last();
    if (!file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) &&
        !file.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive))
        throw Error(QStringLiteral("%1 must end in .pdf or .rtf").arg(file));
    if (kind == QLatin1String("transactions") && args.size() == 5) {
        const QDate start = isoDate(args.at(2)), end = isoDate(args.at(3));
        if (end < start)
            throw Error(QStringLiteral("The period ends on %1, before it starts on %2").arg(args.at(3), args.at(2)));
        auto dm = openDataModule(database);
        TrepTransactionList form(&dm->conInvoice);
        form.SetStartDate(start);
        form.SetEndDate(end);
        OpenWithRows(form);
        writeList(form.qrList, file);
        return 0;
    }
    if (kind == QLatin1String("invoices") && args.size() == 5) {
        const QStringList variants{QStringLiteral("all"), QStringLiteral("unpaid"), QStringLiteral("overdue")};
        const int variant = int(variants.indexOf(args.at(2)));
        if (variant < 0)
            throw Error(QStringLiteral("\"%1\" is no list of invoices: all, unpaid or overdue").arg(args.at(2)));
        const QDate start = isoDate(args.at(3));
        auto dm = openDataModule(database);
        TrepInvoiceList form(&dm->conInvoice);
        form.SetStartDate(start);
        form.SetVariant(variant);
        OpenWithRows(form);
        writeList(form.qrList, file);
        return 0;
    }
    if (kind == QLatin1String("customers") && args.size() == 3) {
        auto dm = openDataModule(database);
        TrptCustomer form(&dm->conInvoice);
        writeList(form.qrList, file);
        return 0;
    }
    if (kind == QLatin1String("items") && args.size() == 3) {
        auto dm = openDataModule(database);
        TrptItems form(&dm->conInvoice);
        writeList(form.qrList, file);
        return 0;
    }
    return usage();
}

} // namespace

// Qt's note about a missing runtime folder means nothing to a tool that shows no window.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessages);
    // The tool draws documents but never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(stdout);
    if (command == QLatin1String("--version")) {
#ifdef TESSUND_VERSION
        std::printf("tessund-cli " TESSUND_VERSION "\n");
#endif
        return 0;
    }
    try {
        if (command == QLatin1String("create-db"))
            return createDb(args);
        if (command == QLatin1String("check-db"))
            return checkDb(args);
        if (command == QLatin1String("pdf"))
            return pdf(args);
        if (command == QLatin1String("list"))
            return list(args);
    } catch (const Error &e) {
        std::fprintf(stderr, "tessund-cli: %s.\n", qPrintable(e.message()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tessund-cli: %s.\n", e.what());
        return 1;
    }
    return usage();
}
