#include "dInvoice.h"

#include "LineAmounts.h"
#include "Schema.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/widgets/MessageDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

TdmInvoice *dmInvoice = nullptr;

using db::FieldDef;
using db::FieldKind;
using db::FieldType;

namespace {

void addColumns(db::DataSet &dataSet, const QString &table, const QStringList &columns = {})
{
    if (columns.isEmpty()) {
        for (const Schema::Column &c : Schema::table(table).columns)
            dataSet.addField(Schema::fieldDef(table, QLatin1String(c.name)));
        return;
    }
    for (const QString &column : columns)
        dataSet.addField(Schema::fieldDef(table, column));
}

FieldDef computed(const QString &name, FieldType type, FieldKind kind, bool currency = false)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.kind = kind;
    def.currency = currency;
    return def;
}

FieldDef customerLookup(const QString &column, db::DataSet &source)
{
    FieldDef def = Schema::fieldDef(QStringLiteral("CUSTOMER"), column);
    def.kind = FieldKind::Lookup;
    def.lookupDataSet = &source;
    def.keyField = QStringLiteral("CUST_ID");
    def.lookupKeyField = QStringLiteral("CUST_ID");
    def.lookupResultField = column;
    return def;
}

} // namespace

const QString TdmInvoice::InvoiceListStatement =
    QStringLiteral("select *, FIRSTNAME || ' ' || SURNAME as NAME from INVOICELIST ");
const QString TdmInvoice::InvoiceListUnpaidCondition = QStringLiteral("where (SUMPAID is null or PAIDDATE is null) ");
const QString TdmInvoice::InvoiceListOverdueCondition = QStringLiteral("and (duedate < Now())");

TdmInvoice::TdmInvoice(const QString &programFolder, QObject *parent)
    : QObject(parent), conInvoice(QStringLiteral("conInvoice")), tblCustomer(&conInvoice, QStringLiteral("tblCustomer")),
      tblInvoiceEdit(&conInvoice, QStringLiteral("tblInvoiceEdit")),
      tblInvoiceItems(&conInvoice, QStringLiteral("tblInvoiceItems")),
      tblLookupItem(&conInvoice, QStringLiteral("tblLookupItem")), tblPostAddr(&conInvoice, QStringLiteral("tblPostAddr")),
      tblPostAddrClone(&conInvoice, QStringLiteral("tblPostAddrClone")),
      qryMaxInvNo(&conInvoice, QStringLiteral("qryMaxInvNo")),
      qryCustInvoiceList(&conInvoice, QStringLiteral("qryCustInvoiceList")),
      qryInvoiceCustomer(&conInvoice, QStringLiteral("qryInvoiceCustomer")),
      tblInvoiceList(&conInvoice, QStringLiteral("tblInvoiceList")),
      cmdDeleteInvoice(&conInvoice, QStringLiteral("delete from INVOICE where INV_ID = :INVOICEID")),
      qryAppData(&conInvoice, QStringLiteral("qryAppData")), qryMaxCustNo(&conInvoice, QStringLiteral("qryMaxCustNo")),
      qryInvoicePay(&conInvoice, QStringLiteral("qryInvoicePay")),
      qrySelectCust(&conInvoice, QStringLiteral("qrySelectCust")),
      qryInvoicePrinted(&conInvoice, QStringLiteral("update INVOICE set PRINTDATE = :PRINTDATEPARAM\n"
                                                    "where INV_ID = :INV_IDPARAM")),
      m_programFolder(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder)
{
    setObjectName(QStringLiteral("dmInvoice"));
    declareDataSets();
    conInvoice.beforeConnect = [this](db::Connection &c) { conInvoiceBeforeConnect(c); };
    dmInvoice = this;
    DataModuleCreate();
}

TdmInvoice::~TdmInvoice()
{
    DataModuleDestroy();
}

void TdmInvoice::declareDataSets()
{
    const QString CUSTOMER = QStringLiteral("CUSTOMER"), INVOICE = QStringLiteral("INVOICE"),
                  INVITEM = QStringLiteral("INVITEM"), DYNAITEM = QStringLiteral("DYNAITEM");

    tblCustomer.setTable(CUSTOMER);
    tblCustomer.setOrder(QStringLiteral("CUST_ID"));
    addColumns(tblCustomer, CUSTOMER);

    tblInvoiceEdit.setCommandText(QStringLiteral("select * from INVOICE where INV_ID = :INVOICEID"));
    tblInvoiceEdit.setUpdateTable(INVOICE);
    tblInvoiceEdit.setParam(QStringLiteral("INVOICEID"), QVariant());
    addColumns(tblInvoiceEdit, INVOICE);
    for (const char *column : {"FIRSTNAME", "SURNAME", "ADDRESS", "POSTALCODE", "POSTALADDRESS", "CUST_NO"})
        tblInvoiceEdit.addField(customerLookup(QLatin1String(column), qryInvoiceCustomer));
    tblInvoiceEdit.addField(computed(QStringLiteral("NETTOTAL"), FieldType::Currency, FieldKind::Calculated));

    // GROSSFAKE is the unit price including VAT; money is stored in 1/10000 units, hence the division.
    tblInvoiceItems.setCommandText(
        QStringLiteral("select *, NETPRICE/10000.0*(1.0+VAT/100) as GROSSFAKE from INVITEM where INV_ID = :INV_ID"));
    tblInvoiceItems.setUpdateTable(INVITEM);
    tblInvoiceItems.setOrder(QStringLiteral("INV_ID"));
    tblInvoiceItems.setMasterLink(&tblInvoiceEdit, {{QStringLiteral("INV_ID"), QStringLiteral("INV_ID")}});
    addColumns(tblInvoiceItems, INVITEM);
    tblInvoiceItems.addField(computed(QStringLiteral("GROSSFAKE"), FieldType::Double, FieldKind::Data));
    for (const char *name : {"GROSSPRICE", "ITEMNETSUM", "ITEMVAT", "ITEMSUM"})
        tblInvoiceItems.addField(computed(QLatin1String(name), FieldType::Double, FieldKind::Calculated, true));

    // GROSSPRICE here is money, so the product stays in units.
    tblLookupItem.setCommandText(QStringLiteral("select *, NETPRICE*(1+VAT/100) as GROSSPRICE from DYNAITEM"));
    tblLookupItem.setUpdateTable(DYNAITEM);
    tblLookupItem.setOrder(QStringLiteral("ITEM_NO"));
    addColumns(tblLookupItem, DYNAITEM);
    tblLookupItem.addField(computed(QStringLiteral("GROSSPRICE"), FieldType::Currency, FieldKind::Data));

    for (db::DataSet *postal : {&tblPostAddr, &tblPostAddrClone}) {
        postal->setCommandText(QStringLiteral("select * from POSTALADDR"));
        postal->setReadOnly(true);
        addColumns(*postal, QStringLiteral("POSTALADDR"));
    }
    tblPostAddr.setOrder(QStringLiteral("POSTALCODE"));
    tblPostAddrClone.setOrder(QStringLiteral("POSTALADDRESS"));

    qryMaxInvNo.setCommandText(QStringLiteral("select max(INVOICE_NO) as MAXINVNO from INVOICE\n"
                                              "where (INVDATE >= :STARTOFYEAR)  and (INVDATE <= :ENDOFYEAR)"));
    qryMaxInvNo.setReadOnly(true);
    qryMaxInvNo.addField(computed(QStringLiteral("MAXINVNO"), FieldType::Integer, FieldKind::Data));

    qryCustInvoiceList.setCommandText(QStringLiteral("select INV_ID, INVOICE_NO, INVDATE, GROSSSUM, DUEDATE, PAIDDATE, "
                                                     "PRINTDATE\nfrom INVOICE\nwhere CUST_ID = :CUST_ID"));
    qryCustInvoiceList.setReadOnly(true);
    qryCustInvoiceList.setOrder(QStringLiteral("INV_ID"));
    qryCustInvoiceList.setMasterLink(&tblCustomer, {{QStringLiteral("CUST_ID"), QStringLiteral("CUST_ID")}});
    addColumns(qryCustInvoiceList, INVOICE,
               {QStringLiteral("INV_ID"), QStringLiteral("INVOICE_NO"), QStringLiteral("INVDATE"),
                QStringLiteral("GROSSSUM"), QStringLiteral("DUEDATE"), QStringLiteral("PAIDDATE"),
                QStringLiteral("PRINTDATE")});

    qryInvoiceCustomer.setCommandText(QStringLiteral(
        "select CUST_ID, CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, POSTALADDRESS from CUSTOMER"));
    qryInvoiceCustomer.setReadOnly(true);
    qryInvoiceCustomer.setOrder(QStringLiteral("CUST_ID"));
    addColumns(qryInvoiceCustomer, CUSTOMER,
               {QStringLiteral("CUST_ID"), QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"),
                QStringLiteral("SURNAME"), QStringLiteral("ADDRESS"), QStringLiteral("POSTALCODE"),
                QStringLiteral("POSTALADDRESS")});

    tblInvoiceList.setCommandText(InvoiceListStatement);
    tblInvoiceList.setReadOnly(true);
    addColumns(tblInvoiceList, INVOICE,
               {QStringLiteral("INV_ID"), QStringLiteral("CUST_ID"), QStringLiteral("INVOICE_NO"),
                QStringLiteral("INV_TYPE"), QStringLiteral("INVDATE"), QStringLiteral("DUEDATE"),
                QStringLiteral("PRINTDATE"), QStringLiteral("PAIDDATE"), QStringLiteral("GROSSSUM"),
                QStringLiteral("SUMPAID"), QStringLiteral("SUMVAT")});
    addColumns(tblInvoiceList, CUSTOMER,
               {QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"), QStringLiteral("SURNAME")});
    FieldDef name = computed(QStringLiteral("NAME"), FieldType::String, FieldKind::Data);
    name.size = 50;
    tblInvoiceList.addField(name);
    tblInvoiceList.addField(computed(QStringLiteral("DAYSOVERDUE"), FieldType::Integer, FieldKind::Calculated));
    for (const char *hidden : {"INV_ID", "CUST_ID", "FIRSTNAME", "SURNAME"})
        tblInvoiceList.fieldByName(QLatin1String(hidden)).setVisible(false);

    qryAppData.setCommandText(QStringLiteral("select * from APPDATA"));
    qryAppData.setUpdateTable(QStringLiteral("APPDATA"));
    qryAppData.setOrder(QStringLiteral("ANAME"));
    addColumns(qryAppData, QStringLiteral("APPDATA"));

    qryMaxCustNo.setCommandText(QStringLiteral("select max(CUST_NO) as MAXCUSTNO from CUSTOMER"));
    qryMaxCustNo.setReadOnly(true);
    qryMaxCustNo.addField(computed(QStringLiteral("MAXCUSTNO"), FieldType::Integer, FieldKind::Data));

    qryInvoicePay.setCommandText(QStringLiteral("select INV_ID, INVOICE_NO, INVDATE, PAIDDATE, SUMPAID, GROSSSUM, not "
                                                "PAIDDATE is null AS PAID from INVOICE\n"
                                                "where (PAIDDATE is null or SUMPAID is null)"));
    qryInvoicePay.setUpdateTable(INVOICE);
    addColumns(qryInvoicePay, INVOICE,
               {QStringLiteral("INV_ID"), QStringLiteral("INVOICE_NO"), QStringLiteral("INVDATE"),
                QStringLiteral("PAIDDATE"), QStringLiteral("SUMPAID"), QStringLiteral("GROSSSUM")});
    qryInvoicePay.addField(computed(QStringLiteral("PAID"), FieldType::SmallInt, FieldKind::Data));
    qryInvoicePay.addField(computed(QStringLiteral("DUMMYPAID"), FieldType::Boolean, FieldKind::Calculated));

    qrySelectCust.setCommandText(QStringLiteral("select CUST_ID, CUST_NO, FIRSTNAME, SURNAME, STATUS from CUSTOMER"));
    qrySelectCust.setReadOnly(true);
    addColumns(qrySelectCust, CUSTOMER,
               {QStringLiteral("CUST_ID"), QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"),
                QStringLiteral("SURNAME"), QStringLiteral("STATUS")});
}

// A data link file beside the program wins over the database file beside it.
void TdmInvoice::conInvoiceBeforeConnect(db::Connection &connection)
{
    const QString folder = QDir(m_programFolder).absolutePath() + QLatin1Char('/');
    const QString dataLink = folder + QStringLiteral("Tessund.udl");
    if (QFileInfo::exists(dataLink))
        connection.connectionString = QStringLiteral("FILE NAME=") + dataLink;
    else
        connection.connectionString = QStringLiteral("Driver=QSQLITE;Database=") + folder +
                                      QStringLiteral("INVOICE.mdb;Mode=Share Deny Read|Share Deny Write;");
}

void TdmInvoice::openConnection()
{
    conInvoice.open();
    try {
        for (const Schema::Table &table : Schema::tables())
            if (!conInvoice.hasTableOrView(QLatin1String(table.name)))
                throw Error(tr("%1 is not an invoice database: the table %2 is missing")
                                .arg(conInvoice.databaseName(), QLatin1String(table.name)));
        for (const QString &view : Schema::viewNames())
            if (!conInvoice.hasTableOrView(view))
                throw Error(tr("%1 is not an invoice database: the view %2 is missing")
                                .arg(conInvoice.databaseName(), view));
        registerLineFunctions(conInvoice);
    } catch (...) {
        conInvoice.close();
        throw;
    }
}

void TdmInvoice::DataModuleCreate()
{
    if (conInvoice.isOpen())
        messageDialog(MsgType::Plain,
                      QStringLiteral("Error in image. Datamodule keept active by developer. This is a major bummer!!!"));
    try {
        openConnection();
    } catch (const Error &e) {
        messageDialog(MsgType::Error, e.message());
        messageDialog(MsgType::Error, tr("Database error. Unable to continue."));
        m_connected = false;
        return;
    }
    m_connected = true;
    Format::clearCurrencySymbol();
}

void TdmInvoice::DataModuleDestroy()
{
    if (dmInvoice == this)
        dmInvoice = nullptr;
}
