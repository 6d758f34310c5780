#pragma once

#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"

#include <QObject>
#include <QString>

// The main data module: the one connection to the invoice database and every dataset that the windows
// share. Created once at start-up, right after the main window object.
class TdmInvoice : public QObject {
    Q_OBJECT
public:
    // programFolder: where INVOICE.mdb and Tessund.udl are looked for; empty means the executable's folder.
    // The connection is opened at once (DataModuleCreate); isConnected() tells whether that worked.
    explicit TdmInvoice(const QString &programFolder = QString(), QObject *parent = nullptr);
    ~TdmInvoice() override;

    bool isConnected() const { return m_connected; }
    QString programFolder() const { return m_programFolder; }

    // The statement of the invoice list is built from these pieces (all invoices, unpaid, overdue).
    static const QString InvoiceListStatement;
    static const QString InvoiceListUnpaidCondition;
    static const QString InvoiceListOverdueCondition;

    db::Connection conInvoice;

    db::DataSet tblCustomer;
    db::DataSet tblInvoiceEdit;
    db::DataSet tblInvoiceItems;
    db::DataSet tblLookupItem;
    db::DataSet tblPostAddr;
    db::DataSet tblPostAddrClone;
    db::DataSet qryMaxInvNo;
    db::DataSet qryCustInvoiceList;
    db::DataSet qryInvoiceCustomer;
    db::DataSet tblInvoiceList;
    db::Command cmdDeleteInvoice;
    db::DataSet qryAppData;
    db::DataSet qryMaxCustNo;
    db::DataSet qryInvoicePay;
    db::DataSet qrySelectCust;
    db::Command qryInvoicePrinted;

private:
    void conInvoiceBeforeConnect(db::Connection &connection);
    void DataModuleCreate();
    void DataModuleDestroy();
    void declareDataSets();
    void openConnection();

    QString m_programFolder;
    bool m_connected = false;
};

// The one data module of the program; null before it is created and after it is destroyed.
extern TdmInvoice *dmInvoice;
