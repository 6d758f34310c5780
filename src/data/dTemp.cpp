#include "dTemp.h"

#include "Schema.h"
#include "core/Errors.h"
#include "dInvoice.h"

using db::FieldDef;
using db::FieldType;

namespace {

FieldDef viewColumn(const QString &name, FieldType type, int size = 0)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    return def;
}

} // namespace

TdmTemp::TdmTemp(db::Connection *connection, QObject *parent)
    : QObject(parent), qryInvoice(connection, QStringLiteral("qryInvoice")),
      qryCustomer(connection, QStringLiteral("qryCustomer")),
      qryInvoiceItems(connection, QStringLiteral("qryInvoiceItems"))
{
    setObjectName(QStringLiteral("dmTemp"));
    const QString CUSTOMER = QStringLiteral("CUSTOMER"), INVOICE = QStringLiteral("INVOICE");

    qryInvoice.setCommandText(QStringLiteral("select * from INVOICE\r\nwhere INV_ID = :INVOICEID"));
    qryInvoice.setReadOnly(true);
    for (const Schema::Column &c : Schema::table(INVOICE).columns)
        qryInvoice.addField(Schema::fieldDef(INVOICE, QLatin1String(c.name)));

    qryCustomer.setCommandText(QStringLiteral("select CUST_ID, CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, "
                                              "POSTALADDRESS, EMAIL from CUSTOMER\r\nwhere CUST_ID = :CUSTOMERID"));
    qryCustomer.setReadOnly(true);
    for (const char *column :
         {"CUST_ID", "CUST_NO", "FIRSTNAME", "SURNAME", "ADDRESS", "POSTALCODE", "POSTALADDRESS", "EMAIL"})
        qryCustomer.addField(Schema::fieldDef(CUSTOMER, QLatin1String(column)));

    qryInvoiceItems.setCommandText(QStringLiteral("select * from INVITEMVIEW where INV_ID = :INVOICEID"));
    qryInvoiceItems.setReadOnly(true);
    qryInvoiceItems.addField(viewColumn(QStringLiteral("INV_ID"), FieldType::Integer));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("ITEM_ID"), FieldType::SmallInt));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("ITEM_NO"), FieldType::String, 10));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("ITEM_DESC"), FieldType::String, 64));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("NUM"), FieldType::Double));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("NETPRICE"), FieldType::Currency));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("VAT"), FieldType::Double));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("DISCOUNT"), FieldType::Double));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("GROSSPRICE"), FieldType::Currency));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("NETSUM"), FieldType::Double));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("SUMVAT"), FieldType::Double));
    qryInvoiceItems.addField(viewColumn(QStringLiteral("GROSSUM"), FieldType::Double));

    qryInvoice.beforeOpen = [this](db::DataSet &ds) { qryInvoiceBeforeOpen(ds); };
    qryInvoice.afterOpen = [this](db::DataSet &ds) { qryInvoiceAfterOpen(ds); };
    qryInvoice.afterClose = [this](db::DataSet &ds) { qryInvoiceAfterClose(ds); };
    qryCustomer.beforeOpen = [this](db::DataSet &ds) { qryCustomerBeforeOpen(ds); };
    qryInvoiceItems.beforeOpen = [this](db::DataSet &ds) { qryInvoiceItemsBeforeOpen(ds); };
}

bool TdmTemp::OpenInvoice(qint64 invoiceId)
{
    qryInvoice.close();
    m_invoiceId = invoiceId;
    qryInvoice.open();
    return qryInvoice.recordCount() == 1;
}

void TdmTemp::qryInvoiceBeforeOpen(db::DataSet &ds)
{
    ds.setParam(QStringLiteral("INVOICEID"), m_invoiceId);
}

// The customer and the lines come with the invoice and go with it.
void TdmTemp::qryInvoiceAfterOpen(db::DataSet &)
{
    qryCustomer.close();
    qryCustomer.open();
    qryInvoiceItems.close();
    qryInvoiceItems.open();
}

void TdmTemp::qryInvoiceAfterClose(db::DataSet &)
{
    qryCustomer.close();
    qryInvoiceItems.close();
}

void TdmTemp::qryCustomerBeforeOpen(db::DataSet &ds)
{
    ds.setParam(QStringLiteral("CUSTOMERID"), qryInvoice.fieldByName(QStringLiteral("CUST_ID")).value());
}

void TdmTemp::qryInvoiceItemsBeforeOpen(db::DataSet &ds)
{
    ds.setParam(QStringLiteral("INVOICEID"), m_invoiceId);
}

TdmTemp &dmTemp()
{
    if (!dmInvoice)
        throw Error(QStringLiteral("The print data module needs the main data module"));
    auto *module = dmInvoice->findChild<TdmTemp *>(QStringLiteral("dmTemp"), Qt::FindDirectChildrenOnly);
    if (!module)
        module = new TdmTemp(&dmInvoice->conInvoice, dmInvoice);
    return *module;
}
