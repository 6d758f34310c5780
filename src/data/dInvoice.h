#pragma once

#include "BusinessSettings.h"
#include "core/Command.h"
#include "core/Connection.h"
#include "core/DataSet.h"

#include <QObject>
#include <QString>

// The main data module: the one connection to the invoice database and every dataset that the windows
// share. Created once at start-up, right after the main window object.
class TdmInvoice : public QObject {
    Q_OBJECT
public:
    // programFolder: where INVOICE.mdb and Tessund.udl are looked for; empty means the executable's folder.
    // The connection is opened at once (DataModuleCreate); isConnected() tells whether that worked.
    // databaseFile, when given, names the SQLite file to open instead (the command-line tool's choice).
    explicit TdmInvoice(const QString &programFolder = QString(), QObject *parent = nullptr,
                        const QString &databaseFile = QString());
    ~TdmInvoice() override;

    bool isConnected() const { return m_connected; }
    // Why the connection could not be opened (empty when it was), and whether another process holds the
    // database (the program runs elsewhere).
    QString connectFailure() const { return m_connectFailure; }
    bool databaseInUse() const { return m_databaseInUse; }
    QString programFolder() const { return m_programFolder; }

    // Rewrites GROSSSUM and SUMVAT of the invoice in tblInvoiceEdit from its lines: the exact sums of
    // each line's amounts rounded to money. Saves the invoice at once unless it is being edited.
    void UpdateInvoiceSum();
    // The highest INVOICE_NO dated within the calendar year of day; 0 when there is none.
    qint64 MaxInvoiceNumberInYear(const QDateTime &day);
    // 0: all invoices, 1: the unpaid ones, 2 (or more): the unpaid ones past their due date.
    void SetInvoiceListFilter(int level);
    // Deletes one invoice (its lines go with it), asking first while ask is set. Returns whether the
    // caller should go on with further invoices; "Yes to All" clears ask.
    bool DeleteInvoice(qint64 invoiceId, qint64 invoiceNo, bool offerAll, bool &ask);
    // Stores the day of when as the invoice's print date and asks for a reload of the invoice list.
    // Failures are swallowed.
    void MarkInvoicePrinted(qint64 invoiceId, const QDateTime &when);
    // Asks for the invoice list to be reloaded: invoicesChanged() follows in the next pass of whichever
    // event loop runs (the one of a modal window included), after the command that asked has returned.
    void RequestInvoiceListRefresh();

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

    // The business settings of this database, read and written through qryAppData.
    TDBSettings DBSettings;

Q_SIGNALS:
    // Invoices were stored or stamped: an open invoice list reloads.
    void invoicesChanged();

private:
    void installHandlers();
    void tblCustomerNewRecord(db::DataSet &ds);
    void tblCustomerAfterPost(db::DataSet &ds);
    void tblInvoiceEditNewRecord(db::DataSet &ds);
    void tblInvoiceEditCalcFields(db::DataSet &ds);
    void tblInvoiceItemsBeforeInsert(db::DataSet &ds);
    void tblInvoiceItemsNewRecord(db::DataSet &ds);
    void tblInvoiceItemsCalcFields(db::DataSet &ds);
    void tblInvoiceItemsBeforePost(db::DataSet &ds);
    void tblInvoiceItemsAfterPost(db::DataSet &ds);
    void tblInvoiceItemsAfterDelete(db::DataSet &ds);
    void tblLookupItemNewRecord(db::DataSet &ds);
    void qryCustInvoiceListBeforeOpen(db::DataSet &ds);
    void tblInvoiceListCalcFields(db::DataSet &ds);
    void tblInvoiceBeforeDelete(db::DataSet &ds);
    void qryInvoicePayNewRecord(db::DataSet &ds);
    void qryInvoicePayCalcFields(db::DataSet &ds);
    void qryInvoicePayBeforeDelete(db::DataSet &ds);
    void qryInvoicePayPAIDChange(db::Field &field);
    void qryInvoicePayPAIDGetText(db::Field &field, QString &text, bool displayText);
    void qryInvoicePayPAIDSetText(db::Field &field, const QString &text);
    // The gross price columns of the lines (GROSSFAKE) and of the catalogue (GROSSPRICE) share these.
    static void GrossPriceGetText(db::Field &field, QString &text, bool displayText);
    static void GrossPriceValidate(db::Field &field);
    static void CheckVat(db::DataSet &ds);
    static void CheckItem(db::DataSet &ds);

    void conInvoiceBeforeConnect(db::Connection &connection);
    void DataModuleCreate();
    void DataModuleDestroy();
    void declareDataSets();
    void openConnection();

    QString m_programFolder;
    QString m_databaseFile;
    QDateTime m_invoiceListNow; // the moment the invoice list's days overdue are counted to
    db::Field *m_listDaysOverdue = nullptr, *m_listDueDate = nullptr, *m_listPaidDate = nullptr;
    bool m_connected = false;
    bool m_databaseInUse = false;
    QString m_connectFailure;
};

// The one data module of the program; null before it is created and after it is destroyed.
extern TdmInvoice *dmInvoice;
