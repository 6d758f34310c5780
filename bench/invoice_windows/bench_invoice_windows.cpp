// The invoice list window over a large business (100,000 invoices, 10,000 customers): from the command to
// the window shown with its first rows painted, a title-click sort by Name, and a jump to the last row;
// the payment window over 20,000 unpaid invoices, shown; and the customer list over the 10,000 customers,
// shown and sorted by Surname. Medians and slowest of several rounds.
//
//   bench_invoice_windows [FOLDER] [rounds = 5]   FOLDER/INVOICE.mdb is generated on the first run.

#include "GenerateBusiness.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/customers/fCustList.h"
#include "windows/invoicing/fInvList.h"
#include "windows/invoicing/fInvPay.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.1f ms  slowest %7.1f ms\n", what, times[times.size() / 2], times.back());
}

double since(QElapsedTimer &timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath(QStringLiteral("tessund-bench"));
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QDir().mkpath(folder);
    const QString database = QDir(folder).filePath(QStringLiteral("INVOICE.mdb"));
    if (!QFile::exists(database))
        generateBusiness(database, 10000, 100000, 5);
    setMessageHandler([](const MessageRequest &) { return MsgAnswer::Yes; });
    TdmInvoice dm(folder);
    // 20,000 of them unpaid for the payment window.
    dm.conInvoice.execute(QStringLiteral("update INVOICE set PAIDDATE = null, SUMPAID = null where INV_ID % 5 = 0"));

    std::vector<double> shown, sorted, last, payments, customersShown, customersSorted;
    // The customer list only asks the main window to show its edit window, which this does not do.
    struct NoMainWindow : TMainInterface {
        TCustomerListWindow *ShowCustomerList() override { return nullptr; }
        TInvoiceListWindow *ShowInvoiceList() override { return nullptr; }
        TCustomerListWindow *CustomerList() const override { return nullptr; }
        TInvoiceListWindow *InvoiceList() const override { return nullptr; }
        void RefreshInvoiceList() override {}
        void ShowChildWindow(QWidget *) override {}
    } main;
    for (int round = 0; round < rounds; ++round) {
        dm.tblInvoiceList.close();
        QElapsedTimer timer;
        timer.start();
        {
            TfrmInvoiceList list;
            list.show();
            list.repaint();
            QApplication::processEvents();
            shown.push_back(since(timer));
            auto *grid = list.findChild<DBGrid *>(QStringLiteral("DBGrid1"));
            Q_EMIT grid->titleClicked(&dm.tblInvoiceList.fieldByName(QStringLiteral("NAME")));
            grid->viewport()->repaint();
            sorted.push_back(since(timer));
            dm.tblInvoiceList.last();
            grid->viewport()->repaint();
            QApplication::processEvents();
            last.push_back(since(timer));
        }
        timer.restart();
        TfrmInvoicePay pay;
        pay.show();
        pay.repaint();
        QApplication::processEvents();
        payments.push_back(since(timer));
        pay.reject();

        dm.tblCustomer.close();
        timer.restart();
        TfrmCustomerList customers(main);
        customers.show();
        customers.repaint();
        QApplication::processEvents();
        customersShown.push_back(since(timer));
        auto *grid = customers.findChild<DBGrid *>(QStringLiteral("gridCustomers"));
        Q_EMIT grid->titleClicked(&dm.tblCustomer.fieldByName(QStringLiteral("SURNAME")));
        grid->viewport()->repaint();
        customersSorted.push_back(since(timer));
    }
    report("invoice list shown (100,000 invoices)", shown);
    report("sorted by Name", sorted);
    report("jump to the last row", last);
    report("payment window shown (20,000 unpaid)", payments);
    report("customer list shown (10,000 customers)", customersShown);
    report("customers sorted by Surname", customersSorted);
    return 0;
}
