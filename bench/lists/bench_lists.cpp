// The printed lists over a busy business, one measure per run so that each has its own peak memory:
//   bench_lists FOLDER pdf       the journal of a year (about 50,000 issues and payments) to PDF
//   bench_lists FOLDER preview   the same journal into the preview: first page shown, then the last page
//   bench_lists FOLDER cards     the customer cards of 10,000 customers to PDF
// The databases are generated into FOLDER on first use and kept.

#include "GenerateBusiness.h"
#include "data/dInvoice.h"
#include "document/ListReports.h"
#include "widgets/PreviewWindow.h"
#include "widgets/ReportPrinting.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>

#include <cstdio>
#include <sys/resource.h>

namespace {

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "Usage: bench_lists FOLDER pdf|preview|cards\n");
        return 2;
    }
    const QDir folder(args.at(1));
    const QString mode = args.at(2);
    // 280,000 invoices over ten years: a year holds about 28,000 issues and 22,000 payments.
    const bool cards = mode == QLatin1String("cards");
    const QString database = folder.filePath(cards ? QStringLiteral("CARDS.mdb") : QStringLiteral("JOURNAL.mdb"));
    if (!QFileInfo::exists(database)) {
        if (cards)
            generateBusiness(database, 10000, 0, 0);
        else
            generateBusiness(database, 2000, 280000, 3);
    }
    TdmInvoice dm(QString(), nullptr, database);
    if (!dm.isConnected()) {
        std::fprintf(stderr, "Cannot open %s\n", qPrintable(database));
        return 1;
    }
    std::printf("peak memory before the list: %ld MB\n", peakMegabytes());
    const QString out = folder.filePath(QStringLiteral("list.pdf"));
    QElapsedTimer clock;
    clock.start();

    if (cards) {
        TrptCustomer list(&dm.conInvoice);
        list.qrList.exportPdf(out);
        std::printf("customer cards, %d customers, to PDF: %lld ms, %lld KB\n", list.tblCust.recordCount(),
                    clock.elapsed(), QFileInfo(out).size() / 1024);
    } else {
        TrepTransactionList list(&dm.conInvoice);
        list.SetStartDate(QDate(2020, 1, 1));
        list.SetEndDate(QDate(2020, 12, 31));
        list.SetCompanyText({QStringLiteral("Fjordlys AS"), QStringLiteral("Strandveien 14")});
        list.Open();
        const qint64 opened = clock.elapsed();
        const int transactions = list.qryInvMaster.recordCount();
        if (mode == QLatin1String("pdf")) {
            int pages = 0;
            list.qrList.exportPdf(out, [&](qint64, qint64) {
                ++pages;
                return true;
            });
            std::printf("journal, %d transactions, %d pages, to PDF: %lld ms (query %lld ms), %lld KB\n", transactions,
                        pages, clock.elapsed(), opened, QFileInfo(out).size() / 1024);
        } else {
            qint64 first = 0, last = 0;
            int pages = 0;
            report::PreviewWindow::setOpenHook([&](report::PreviewWindow &w) {
                first = clock.elapsed();
                pages = w.pageCount();
                QElapsedTimer lastPage;
                lastPage.start();
                w.setPage(w.pageCount() - 1);
                last = lastPage.elapsed();
                w.close();
            });
            QPrinter printer;
            report::preview(list.qrList, printer);
            std::printf("journal, %d transactions, %d pages, preview: first page shown after %lld ms (query %lld "
                        "ms), last page %lld ms after that\n",
                        transactions, pages, first, opened, last);
        }
    }
    std::printf("peak memory: %ld MB\n", peakMegabytes());
    return 0;
}
