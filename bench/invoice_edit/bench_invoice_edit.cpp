// Opens an invoice of 500 lines in the invoice edit window (window shown, grid filled, totals shown) and
// posts one more line at 500 lines; reports the median and slowest time of each over several rounds.
//
//   bench_invoice_edit [rounds = 20]

#include "core/Connection.h"
#include "core/Messages.h"
#include "data/DatabaseCreation.h"
#include "data/LineAmounts.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/invoicing/fInvEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int addInvoice(const QString &database, int lineCount)
{
    db::Connection c(QStringLiteral("bench"));
    c.description = db::ConnectionDescription::sqliteFile(database);
    c.open();
    c.beginTransaction();
    c.execute(QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME) values (1, 'Kari', 'Nordmann')"));
    c.execute(QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, DUEDATE, INV_TYPE) values "
                             "(1, 1, '2026-12-01 00:00:00', '2026-12-15 00:00:00', 'N')"));
    InvoiceTotals totals;
    db::Statement line(c, QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, "
                                         "VAT, DISCOUNT) values (1, :N, 'KONS', 'Konsulenttime', :Q, :P, 25, 0)"));
    for (int n = 1; n <= lineCount; ++n) {
        const Money price = Money::fromUnits(qint64(n % 97 + 1) * 10000);
        totals.add(lineAmounts(n % 9 + 1, price, 25, 0));
        line.reset();
        line.bind(QStringLiteral("N"), n);
        line.bind(QStringLiteral("Q"), n % 9 + 1);
        line.bind(QStringLiteral("P"), QVariant::fromValue(price));
        line.step();
    }
    c.execute(QStringLiteral("update INVOICE set GROSSSUM = :G, SUMVAT = :V"),
              {{QStringLiteral("G"), QVariant::fromValue(totals.gross)},
               {QStringLiteral("V"), QVariant::fromValue(totals.vat)}});
    c.commit();
    return 1;
}

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-36s median %7.2f ms  slowest %7.2f ms  (%zu rounds)\n", what, times[times.size() / 2], times.back(),
                times.size());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("INVOICE.mdb"));
    createDatabase(database, false);
    const int id = addInvoice(database, 500);
    // Cancel asks before it discards the posted line: yes.
    setMessageHandler([](const MessageRequest &) { return MsgAnswer::Yes; });
    TdmInvoice dm(folder.path());
    dm.DBSettings.LoadBusinessSettings();

    std::vector<double> opening, posting;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        TfrmInvoiceEdit window;
        window.LoadInvoice(id);
        window.show();
        window.findChild<DBGrid *>(QStringLiteral("gridInvItems"))->viewport()->repaint();
        window.repaint();
        QApplication::processEvents();
        opening.push_back(timer.nsecsElapsed() / 1e6);

        db::DataSet &lines = dm.tblInvoiceItems;
        lines.last();
        lines.append();
        lines.fieldByName(QStringLiteral("NUM")).setValue(2.0);
        lines.fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(money(120)));
        timer.restart();
        lines.post();
        QApplication::processEvents();
        posting.push_back(timer.nsecsElapsed() / 1e6);
        window.reject();
    }
    report("open a 500-line invoice", opening);
    report("post a line at 500 lines", posting);
    return 0;
}
