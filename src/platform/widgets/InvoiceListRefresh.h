#pragma once

class QObject;

// The request to reload the invoice list, posted to the main window as an event of this type. Every
// running event loop delivers it, the one of a modal window included.
constexpr int InvoiceListRefreshMessage = 1024 + 101;

// The main window registers itself as the receiver while it lives.
void setInvoiceListRefreshReceiver(QObject *receiver);
// Posts the request and returns at once; does nothing while there is no main window.
void RequestInvoiceListRefresh();
