#include "ReportRun.h"

#include "core/Errors.h"
#include "data/dInvoice.h"
#include "document/ListReports.h"
#include "widgets/Printers.h"
#include "widgets/ReportPrinting.h"
#include "widgets/WindowsDisabled.h"

namespace {

template <class Form, class Prepare> bool run(QWidget *owner, Prepare &&prepare)
{
    const WindowsDisabled disabled(owner);
    Form form(&dmInvoice->conInvoice);
    prepare(form);
    // The preview is a window of its own: the disabled owner would take its input away.
    return report::preview(form.qrList, currentPrinter(), nullptr);
}

} // namespace

bool PreviewTransactionList(QWidget *owner, const QDate &start, const QDate &end)
{
    return run<TrepTransactionList>(owner, [&](TrepTransactionList &form) {
        form.SetStartDate(start);
        form.SetEndDate(end);
        OpenWithRows(form);
    });
}

bool PreviewCustomerList(QWidget *owner)
{
    return run<TrptCustomer>(owner, [](TrptCustomer &) {});
}

bool PreviewItemList(QWidget *owner)
{
    return run<TrptItems>(owner, [](TrptItems &) {});
}

bool PreviewInvoiceList(QWidget *owner, int filter, const QDate &start)
{
    return run<TrepInvoiceList>(owner, [&](TrepInvoiceList &form) {
        form.SetStartDate(start);
        form.SetVariant(filter);
        OpenWithRows(form);
    });
}
