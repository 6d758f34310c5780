#include "InvoiceListRefresh.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

namespace {

QPointer<QObject> &receiver()
{
    static QPointer<QObject> r;
    return r;
}

} // namespace

void setInvoiceListRefreshReceiver(QObject *r)
{
    receiver() = r;
}

void RequestInvoiceListRefresh()
{
    if (receiver())
        QCoreApplication::postEvent(receiver(), new QEvent(QEvent::Type(InvoiceListRefreshMessage)));
}
