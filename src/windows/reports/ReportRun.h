#pragma once

#include <QDate>

class QWidget;

// The common run of the printed lists: the owner (the main window) takes no input while the list is
// prepared and shown; the list is laid out for the program's current printer, refused with "No invoice
// transaction for given period" when an invoice or transaction list finds nothing, and shown in the
// preview, from which it is printed or saved. Failures throw Error; false when the user cancelled the
// preparation (nothing was shown).
bool PreviewTransactionList(QWidget *owner, const QDate &start, const QDate &end);
bool PreviewCustomerList(QWidget *owner);
bool PreviewItemList(QWidget *owner);
// filter: 0 all, 1 unpaid, 2 overdue.
bool PreviewInvoiceList(QWidget *owner, int filter, const QDate &start);
