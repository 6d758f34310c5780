// Times `tessund-cli pdf DATABASE --all FOLDER` over 10,000 invoices (five lines each, 2,000 customers):
// invoices per second and the peak memory of the tool.
//
//   bench_export [FOLDER]   FOLDER/INVOICE.mdb is generated on the first run; the PDF files go to
//                           FOLDER/pdf, emptied before each of the three rounds.

#include "GenerateBusiness.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    constexpr int Invoices = 10000;
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("tessund-bench-export"));
    QDir().mkpath(folder);
    const QString database = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
    if (!QFileInfo::exists(database))
        generateBusiness(database, 2000, Invoices, 5);
    const QString out = QDir(folder).filePath(QStringLiteral("pdf"));

    std::vector<double> rates;
    for (int round = 0; round < 3; ++round) {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        QElapsedTimer timer;
        timer.start();
        QProcess tool;
        tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tool.start(QStringLiteral(TESSUND_CLI), {QStringLiteral("pdf"), database, QStringLiteral("--all"), out});
        tool.waitForFinished(-1);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (tool.exitCode() != 0) {
            std::fprintf(stderr, "tessund-cli failed\n");
            return 1;
        }
        rates.push_back(Invoices / seconds);
        std::printf("round %d: %.2f s, %.0f invoices per second\n", round + 1, seconds, rates.back());
    }
    std::sort(rates.begin(), rates.end());
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    qint64 bytes = 0;
    const QFileInfoList files = QDir(out).entryInfoList(QDir::Files);
    for (const QFileInfo &file : files)
        bytes += file.size();
    std::printf("invoices per second  %.0f (median of 3)\n", rates[1]);
    std::printf("peak memory of tool  %.1f MB\n", usage.ru_maxrss / 1024.0);
    std::printf("files                %lld, %.1f KiB each\n", qlonglong(files.size()),
                files.isEmpty() ? 0.0 : bytes / 1024.0 / files.size());
    return 0;
}
