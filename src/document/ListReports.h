#pragma once

#include "core/DataSet.h"
#include "core/Errors.h"
#include "report/Report.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

// The four printed lists of the business: the invoice list (all, unpaid, overdue), the transaction
// journal of a period, the customer cards and the item catalogue. Each is created for one run on the
// data module's connection, filled through its Set... operations, opened, and then previewed, printed or
// written through its report `qrList`; the lists offer RTF besides PDF.

// The invoices issued from a day on, credit notes never among them.
class TrepInvoiceList {
    Q_DECLARE_TR_FUNCTIONS(TrepInvoiceList)
public:
    enum Variant { All = 0, Unpaid = 1, Overdue = 2 };
    explicit TrepInvoiceList(db::Connection *connection);
    void SetStartDate(const QDate &day);
    void SetVariant(int variant);
    void SetCompanyText(const QStringList &lines);
    // Opens the list; false when it holds no invoice.
    bool Open();

    report::Report qrList;
    db::DataSet qryInvList;

private:
    void qryInvListBeforeOpen();
    QDate FStartDate;
    int FVariant = All;
};

// The journal of a period: every invoice issued in it with its lines and totals, and every payment
// received in it, in date order.
class TrepTransactionList {
    Q_DECLARE_TR_FUNCTIONS(TrepTransactionList)
public:
    explicit TrepTransactionList(db::Connection *connection);
    void SetStartDate(const QDate &day);
    void SetEndDate(const QDate &day);
    void SetCompanyText(const QStringList &lines);
    // Opens the journal; false when nothing was issued or paid in the period.
    bool Open();

    report::Report qrList;
    db::DataSet qryInvMaster;
    db::DataSet qryItems;
};

// The customer register as address cards in two columns, by name.
class TrptCustomer {
    Q_DECLARE_TR_FUNCTIONS(TrptCustomer)
public:
    explicit TrptCustomer(db::Connection *connection);
    report::Report qrList;
    db::DataSet tblCust;
};

// The item catalogue with net price, VAT and gross price, by item code.
class TrptItems {
    Q_DECLARE_TR_FUNCTIONS(TrptItems)
public:
    explicit TrptItems(db::Connection *connection);
    report::Report qrList;
    db::DataSet tblItems;
};

// The company block of the invoice and transaction lists: the lines of the business's name and address.
QStringList ListCompanyText();

// "No invoice transaction for given period": the refusal of an empty invoice or transaction list.
QString NoTransactionsText();

// Gives an invoice or transaction list its company block and opens it; an empty one throws Error with
// NoTransactionsText().
template <class List> void OpenWithRows(List &list)
{
    list.SetCompanyText(ListCompanyText());
    if (!list.Open())
        throw Error(NoTransactionsText());
}
