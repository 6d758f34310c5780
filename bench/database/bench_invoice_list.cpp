// Times the invoice list over a large business: opening tblInvoiceList (100,000 invoices of 10,000
// customers, five lines each) and sorting it by the joined name, with the peak memory of the process.
//
//   bench_invoice_list [FOLDER]   FOLDER/INVOICE.mdb is generated on the first run and reused after.

#include "GenerateBusiness.h"
#include "core/Clock.h"
#include "core/Connection.h"
#include "core/Messages.h"
#include "data/dInvoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    setMessageHandler([](const MessageRequest &r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text));
        return MsgAnswer::OK;
    });
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("tessund-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
    if (!QFileInfo::exists(path)) {
        try {
            generateBusiness(path, 10000, 100000, 5);
        } catch (const std::exception &e) {
            QFile::remove(path);
            std::fprintf(stderr, "Generating failed: %s\n", e.what());
            return 1;
        }
    }

    const long before = peakKilobytes();
    TdmInvoice dm(folder);
    if (!dm.isConnected())
        return 1;
    std::vector<double> opens, sorts;
    for (int run = 0; run < 7; ++run) {
        dm.tblInvoiceList.close();
        QElapsedTimer timer;
        timer.start();
        dm.tblInvoiceList.open();
        opens.push_back(timer.nsecsElapsed() / 1e6);
        dm.tblInvoiceList.setRecNo(dm.tblInvoiceList.recordCount() / 2);
        timer.restart();
        dm.tblInvoiceList.sort(QStringLiteral("NAME"));
        sorts.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("rows                 %d\n", dm.tblInvoiceList.recordCount());
    std::printf("open tblInvoiceList  %.1f ms (median of %zu; the first, on a fresh heap: %.1f ms)\n", median(opens),
                opens.size(), opens.front());
    std::printf("sort by NAME         %.1f ms (median of %zu)\n", median(sorts), sorts.size());
    std::printf("peak memory          %.1f MB (%.1f MB before opening)\n", peakKilobytes() / 1024.0, before / 1024.0);
    return 0;
}
