// Renders one-page giro invoices of ten lines each to separate PDF files and reports the time per
// invoice (median of several rounds), the parts of it spent laying out and writing the PDF file (making
// the document and putting it on disk), and the file size.
//
//   bench_giro [invoices per round = 1000] [rounds = 5] [output folder]

#include "document/qGiroF60.h"
#include "report/Render.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void compose(TfrmGiroF60 &giro, int n)
{
    giro.SetCompanyAddress(QStringLiteral("Fjordbyrå AS\nStorgata 1\n0155 Oslo"));
    giro.SetCompanyDetails(QStringLiteral("Org.nr.|987 654 321 MVA\nTelefon|22 33 44 55\nBank|1234.56.78903"));
    giro.SetCustomerAddress(QStringLiteral("Kari Nordmann\nVeien %1\n5003 Bergen").arg(n % 200));
    giro.SetInvoiceDetails(QStringLiteral("Kundenr|%1\nFakturanr|%2\nFakturadato|01.12.2026\nForfalsdato|15.12.2026")
                               .arg(1000 + n % 97)
                               .arg(20260000 + n));
    giro.SetPaymentInfo(QStringLiteral("Kundenr:   %1\nFakturanr: %2").arg(1000 + n % 97).arg(20260000 + n));
    giro.SetBankAccount(QStringLiteral("1234.56.78903"));
    giro.SetKID(QString::number(2026000000 + n));
    giro.SetDueDate(QDateTime(QDate(2026, 12, 15), QTime(0, 0)));
    giro.SetAmount(money(1234.5 + n));
    const struct {
        const char *caption;
        int width;
        report::Alignment alignment;
    } columns[] = {{"Varenr.", 50, report::Alignment::Left}, {"Beskrivelse.", 290, report::Alignment::Left},
                   {"Antall", 50, report::Alignment::Right}, {"Pris", 60, report::Alignment::Right},
                   {"Rabatt", 50, report::Alignment::Right}, {"MVA", 30, report::Alignment::Right},
                   {"Netto", 80, report::Alignment::Right}};
    for (const auto &c : columns)
        giro.AddColumn(QLatin1String(c.caption), c.width, c.alignment);
    for (int line = 1; line <= 10; ++line)
        giro.AddRow(QStringLiteral("V%1\r\nKonsulenttime nivå %2\r\n%3\r\n950,00\r\n\r\n25%\r\n%4,00")
                        .arg(100 + line)
                        .arg(line)
                        .arg(line)
                        .arg(950 * line));
    giro.AddRow(QString());
    giro.AddRow(QStringLiteral("\r\n\r\n\r\n\r\n\r\nNettosalg:\r\n52 250,00"));
    giro.AddRow(QStringLiteral("\r\n\r\n\r\n\r\n\r\nMVA:\r\n13 062,50"));
    giro.AddRow(QStringLiteral("\r\n\r\n\r\n\r\n\r\nTotal:\r\n65 312,50"));
    giro.SetOptionalInformation(QStringLiteral("Takk for handelen."));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int count = args.size() > 1 ? args[1].toInt() : 1000;
    const int rounds = args.size() > 2 ? args[2].toInt() : 5;
    QTemporaryDir temp;
    const QString folder = args.size() > 3 ? args[3] : temp.path();
    QDir().mkpath(folder);

    // Warm-up: fonts loaded, metrics cached.
    {
        TfrmGiroF60 giro;
        compose(giro, 0);
        giro.qrGiro.exportPdf(QDir(folder).filePath(QStringLiteral("warmup.pdf")));
    }

    std::vector<double> total, layout, writing;
    qint64 bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        qint64 layoutNs = 0, writeNs = 0;
        bytes = 0;
        timer.start();
        for (int n = 0; n < count; ++n) {
            TfrmGiroF60 giro;
            compose(giro, n);
            const QString path = QDir(folder).filePath(QStringLiteral("giro-%1.pdf").arg(n));
            QElapsedTimer lt;
            lt.start();
            const std::vector<report::Page> pages = giro.qrGiro.generate();
            layoutNs += lt.nsecsElapsed();
            lt.restart();
            report::writePdf(pages, path, giro.qrGiro.title);
            writeNs += lt.nsecsElapsed();
            bytes += QFileInfo(path).size();
        }
        total.push_back(timer.nsecsElapsed() / 1e6 / count);
        layout.push_back(layoutNs / 1e6 / count);
        writing.push_back(writeNs / 1e6 / count);
    }
    std::printf("giro invoices: %d per round, %d rounds, ten lines each, fonts embedded\n", count, rounds);
    std::printf("  ms per invoice (median): %.3f  (of which layout %.3f, PDF file %.3f)\n", median(total),
                median(layout), median(writing));
    std::printf("  ms per invoice (best):   %.3f\n", *std::min_element(total.begin(), total.end()));
    std::printf("  file size: %.1f KiB average\n", bytes / 1024.0 / count);
    return 0;
}
