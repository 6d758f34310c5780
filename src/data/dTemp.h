#pragma once

#include "core/DataSet.h"

#include <QObject>

// The print-time data module: one invoice, its customer and its lines, read for its document. Created
// the first time an invoice is composed and kept with the main data module.
class TdmTemp : public QObject {
    Q_OBJECT
public:
    explicit TdmTemp(db::Connection *connection, QObject *parent = nullptr);

    // Reads the invoice with its customer and lines; true when exactly one invoice has that id.
    bool OpenInvoice(qint64 invoiceId);

    db::DataSet qryInvoice;
    db::DataSet qryCustomer;
    db::DataSet qryInvoiceItems;

private:
    void qryInvoiceBeforeOpen(db::DataSet &ds);
    void qryInvoiceAfterOpen(db::DataSet &ds);
    void qryInvoiceAfterClose(db::DataSet &ds);
    void qryCustomerBeforeOpen(db::DataSet &ds);
    void qryInvoiceItemsBeforeOpen(db::DataSet &ds);

    qint64 m_invoiceId = 0;
};

// The module, made on first use as a child of the main data module (which must exist).
TdmTemp &dmTemp();
