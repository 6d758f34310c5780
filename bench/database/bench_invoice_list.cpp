// Times the invoice list over a large business: opening tblInvoiceList (100,000 invoices of 10,000
// customers, five lines each) and sorting it by the joined name, with the peak memory of the process.
//
//   bench_invoice_list [FOLDER]   FOLDER/INVOICE.mdb is generated on the first run and reused after.

#include "data/DatabaseCreation.h"
#include "data/LineAmounts.h"
#include "data/dInvoice.h"
#include "platform/db/Clock.h"
#include "platform/db/Connection.h"
#include "platform/widgets/MessageDialog.h"

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

constexpr int Customers = 10000;
constexpr int Invoices = 100000;
constexpr int LinesPerInvoice = 5;

void generate(const QString &path)
{
    std::printf("Generating %s ...\n", qPrintable(path));
    std::fflush(stdout);
    createDatabase(path, false);
    db::Connection c(QStringLiteral("generator"));
    c.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + path;
    c.open();
    c.beginTransaction();
    QRandomGenerator random(20261210);
    static const char *firstNames[] = {"Kari", "Ola", "Ingrid", "Lars", "Solveig", "Per", "Marit", "Bjørn",
                                       "Anne", "Håkon", "Astrid", "Øystein", "Sigrid", "Knut", "Åse", "Erik"};
    static const char *surnames[] = {"Nordmann", "Hansen", "Johansen", "Olsen", "Larsen", "Andersen",
                                     "Pedersen", "Nilsen", "Kristiansen", "Jensen", "Karlsen", "Berg",
                                     "Haugen", "Hagen", "Ødegård", "Ålvik", "Ærø", "Dahl"};
    db::Statement customer(c, QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, "
                                             "POSTALADDRESS) values (:NO, :F, :S, :A, '0150', 'OSLO')"));
    for (int i = 1; i <= Customers; ++i) {
        customer.reset();
        customer.bind(QStringLiteral("NO"), i);
        customer.bind(QStringLiteral("F"), QString::fromUtf8(firstNames[random.bounded(16)]));
        customer.bind(QStringLiteral("S"), QString::fromUtf8(surnames[random.bounded(18)]) + QString::number(i % 97));
        customer.bind(QStringLiteral("A"), QStringLiteral("Storgata %1").arg(i % 200));
        customer.step();
    }
    db::Statement invoice(c, QStringLiteral("insert into INVOICE (INV_ID, CUST_ID, INVOICE_NO, INVDATE, DUEDATE, "
                                            "PRINTDATE, PAIDDATE, KID, GROSSSUM, SUMPAID, SUMVAT, INV_TYPE) values "
                                            "(:ID, :C, :NO, :D, :DUE, :D, :PAID, :KID, :G, :SP, :V, 'N')"));
    db::Statement line(c, QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, "
                                         "VAT, DISCOUNT) values (:I, :N, 'KONS', 'Konsulenttime', :NUM, :P, 25, 0)"));
    const QDate first(2017, 1, 1);
    for (int i = 1; i <= Invoices; ++i) {
        const QDate date = first.addDays(i * 3650 / Invoices);
        Money gross, vat;
        double nums[LinesPerInvoice];
        Money prices[LinesPerInvoice];
        for (int n = 0; n < LinesPerInvoice; ++n) {
            nums[n] = 1 + random.bounded(9);
            prices[n] = Money::fromUnits(qint64(random.bounded(100000)) * 100);
            const LineAmounts a = lineAmounts(nums[n], prices[n], 25, 0);
            gross += money(a.sum);
            vat += money(a.vat);
        }
        const bool paid = random.bounded(10) < 8;
        invoice.reset();
        invoice.bind(QStringLiteral("ID"), i);
        invoice.bind(QStringLiteral("C"), 1 + random.bounded(Customers));
        invoice.bind(QStringLiteral("NO"), i);
        invoice.bind(QStringLiteral("D"), wallClock(date));
        invoice.bind(QStringLiteral("DUE"), wallClock(date.addDays(14)));
        invoice.bind(QStringLiteral("PAID"), paid ? QVariant(wallClock(date.addDays(10))) : QVariant());
        invoice.bind(QStringLiteral("KID"), QString::number(1000000 + i));
        invoice.bind(QStringLiteral("G"), QVariant::fromValue(gross));
        invoice.bind(QStringLiteral("SP"), paid ? QVariant::fromValue(gross) : QVariant());
        invoice.bind(QStringLiteral("V"), QVariant::fromValue(vat));
        invoice.step();
        for (int n = 0; n < LinesPerInvoice; ++n) {
            line.reset();
            line.bind(QStringLiteral("I"), i);
            line.bind(QStringLiteral("N"), n + 1);
            line.bind(QStringLiteral("NUM"), nums[n]);
            line.bind(QStringLiteral("P"), QVariant::fromValue(prices[n]));
            line.step();
        }
    }
    c.commit();
}

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
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("tessund-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
    if (!QFileInfo::exists(path)) {
        try {
            generate(path);
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
    std::printf("open tblInvoiceList  %.1f ms (median of %zu; the first, on a fresh heap: %.1f ms)\n",
                median(opens), opens.size(), opens.front());
    std::printf("sort by NAME         %.1f ms (median of %zu)\n", median(sorts), sorts.size());
    std::printf("peak memory          %.1f MB (%.1f MB before opening)\n", peakKilobytes() / 1024.0,
                before / 1024.0);
    return 0;
}
