#include "dInvoice.h"

#include "LineAmounts.h"
#include "Schema.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"

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

// The unit price of the row's line or catalogue item including VAT.
double grossPriceOf(const db::DataSet &ds)
{
    return ds.fieldByName(QStringLiteral("NETPRICE")).asFloat() *
           (ds.fieldByName(QStringLiteral("VAT")).asFloat() / 100 + 1);
}

// One dataset's statement: read-only unless it names the table it writes, in order when it names one.
struct Query {
    QString statement;
    QString updateTable;
    QString order;
};

void setQuery(db::DataSet &dataSet, const Query &query)
{
    dataSet.setCommandText(query.statement);
    if (query.updateTable.isEmpty())
        dataSet.setReadOnly(true);
    else
        dataSet.setUpdateTable(query.updateTable);
    if (!query.order.isEmpty())
        dataSet.setOrder(query.order);
}

const QString CUSTOMER = QStringLiteral("CUSTOMER"), INVOICE = QStringLiteral("INVOICE"),
              INVITEM = QStringLiteral("INVITEM"), DYNAITEM = QStringLiteral("DYNAITEM");

void declareCustomers(db::DataSet &customers)
{
    customers.setTable(CUSTOMER);
    customers.setOrder(QStringLiteral("CUST_ID"));
    addColumns(customers, CUSTOMER);
}

// The invoice being edited, with its customer's name and address looked up in customerQuery.
void declareInvoiceEdit(db::DataSet &invoice, db::DataSet &customerQuery)
{
    setQuery(invoice, {QStringLiteral("select * from INVOICE where INV_ID = :INVOICEID"), INVOICE, {}});
    invoice.setParam(QStringLiteral("INVOICEID"), QVariant());
    addColumns(invoice, INVOICE);
    for (const char *column : {"FIRSTNAME", "SURNAME", "ADDRESS", "POSTALCODE", "POSTALADDRESS", "CUST_NO"})
        invoice.addField(customerLookup(QLatin1String(column), customerQuery));
    invoice.addField(computed(QStringLiteral("NETTOTAL"), FieldType::Currency, FieldKind::Calculated));
}

void declareInvoiceLines(db::DataSet &lines, db::DataSet &invoice)
{
    // GROSSFAKE is the unit price including VAT; money is stored in 1/10000 units, hence the division.
    setQuery(lines, {QStringLiteral(
                         "select *, NETPRICE/10000.0*(1.0+VAT/100) as GROSSFAKE from INVITEM where INV_ID = :INV_ID"),
                     INVITEM, QStringLiteral("INV_ID")});
    lines.setMasterLink(&invoice, {{QStringLiteral("INV_ID"), QStringLiteral("INV_ID")}});
    addColumns(lines, INVITEM);
    lines.addField(computed(QStringLiteral("GROSSFAKE"), FieldType::Double, FieldKind::Data));
    for (const char *name : {"GROSSPRICE", "ITEMNETSUM", "ITEMVAT", "ITEMSUM"})
        lines.addField(computed(QLatin1String(name), FieldType::Double, FieldKind::Calculated, true));
}

void declareCatalogue(db::DataSet &items)
{
    // GROSSPRICE here is money, so the product stays in units.
    setQuery(items, {QStringLiteral("select *, NETPRICE*(1+VAT/100) as GROSSPRICE from DYNAITEM"), DYNAITEM,
                     QStringLiteral("ITEM_NO")});
    addColumns(items, DYNAITEM);
    items.addField(computed(QStringLiteral("GROSSPRICE"), FieldType::Currency, FieldKind::Data));
    // An item is picked into invoice lines: it needs its text, price and VAT.
    for (const char *required : {"ITEM_DESC", "NETPRICE", "VAT"})
        items.fieldByName(QLatin1String(required)).setRequired(true);
    // The names messages give the catalogue's columns, as its grid titles them.
    const std::pair<const char *, QString> itemLabels[] = {{"ITEM_NO", TdmInvoice::tr("Item code")},
                                                           {"ITEM_DESC", TdmInvoice::tr("Description")},
                                                           {"NETPRICE", TdmInvoice::tr("Net price")},
                                                           {"VAT", TdmInvoice::tr("VAT%")},
                                                           {"GROSSPRICE", TdmInvoice::tr("Gross price")}};
    for (const auto &[field, label] : itemLabels)
        items.fieldByName(QLatin1String(field)).setLabel(label);
}

// The register twice, in order of code and of place, for the two ways an address is looked up.
void declarePostalRegister(db::DataSet &byCode, db::DataSet &byPlace)
{
    setQuery(byCode, {QStringLiteral("select * from POSTALADDR"), {}, QStringLiteral("POSTALCODE")});
    setQuery(byPlace, {QStringLiteral("select * from POSTALADDR"), {}, QStringLiteral("POSTALADDRESS")});
    addColumns(byCode, QStringLiteral("POSTALADDR"));
    addColumns(byPlace, QStringLiteral("POSTALADDR"));
}

// The statement is set again by SetInvoiceListFilter.
void declareInvoiceList(db::DataSet &list)
{
    setQuery(list, {TdmInvoice::InvoiceListStatement, {}, {}});
    addColumns(list, INVOICE,
               {QStringLiteral("INV_ID"), QStringLiteral("CUST_ID"), QStringLiteral("INVOICE_NO"),
                QStringLiteral("INV_TYPE"), QStringLiteral("INVDATE"), QStringLiteral("DUEDATE"),
                QStringLiteral("PRINTDATE"), QStringLiteral("PAIDDATE"), QStringLiteral("GROSSSUM"),
                QStringLiteral("SUMPAID"), QStringLiteral("SUMVAT")});
    addColumns(list, CUSTOMER, {QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"), QStringLiteral("SURNAME")});
    FieldDef name = computed(QStringLiteral("NAME"), FieldType::String, FieldKind::Data);
    name.size = 50;
    list.addField(name);
    list.addField(computed(QStringLiteral("DAYSOVERDUE"), FieldType::Integer, FieldKind::Calculated));
    for (const char *hidden : {"INV_ID", "CUST_ID", "FIRSTNAME", "SURNAME"})
        list.fieldByName(QLatin1String(hidden)).setVisible(false);
}

// The unpaid invoices, where payments are marked.
void declareInvoicePayments(db::DataSet &payments)
{
    setQuery(payments, {QStringLiteral("select INV_ID, INVOICE_NO, INVDATE, PAIDDATE, SUMPAID, GROSSSUM, not "
                                       "PAIDDATE is null AS PAID from INVOICE\n"
                                       "where (PAIDDATE is null or SUMPAID is null)"),
                        INVOICE,
                        {}});
    addColumns(payments, INVOICE,
               {QStringLiteral("INV_ID"), QStringLiteral("INVOICE_NO"), QStringLiteral("INVDATE"),
                QStringLiteral("PAIDDATE"), QStringLiteral("SUMPAID"), QStringLiteral("GROSSSUM")});
    payments.addField(computed(QStringLiteral("PAID"), FieldType::SmallInt, FieldKind::Data));
    payments.addField(computed(QStringLiteral("DUMMYPAID"), FieldType::Boolean, FieldKind::Calculated));
    payments.fieldByName(QStringLiteral("PAIDDATE")).setLabel(TdmInvoice::tr("Paid date"));
    payments.fieldByName(QStringLiteral("SUMPAID")).setLabel(TdmInvoice::tr("Sum paid"));
}

} // namespace

const QString TdmInvoice::InvoiceListStatement =
    QStringLiteral("select *, FIRSTNAME || ' ' || SURNAME as NAME from INVOICELIST ");
const QString TdmInvoice::InvoiceListUnpaidCondition = QStringLiteral("where (SUMPAID is null or PAIDDATE is null) ");
const QString TdmInvoice::InvoiceListOverdueCondition = QStringLiteral("and (duedate < Now())");

TdmInvoice::TdmInvoice(const QString &programFolder, QObject *parent, const QString &databaseFile)
    : QObject(parent), conInvoice(QStringLiteral("conInvoice")),
      tblCustomer(&conInvoice, QStringLiteral("tblCustomer")),
      tblInvoiceEdit(&conInvoice, QStringLiteral("tblInvoiceEdit")),
      tblInvoiceItems(&conInvoice, QStringLiteral("tblInvoiceItems")),
      tblLookupItem(&conInvoice, QStringLiteral("tblLookupItem")),
      tblPostAddr(&conInvoice, QStringLiteral("tblPostAddr")),
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
      DBSettings(qryAppData),
      m_programFolder(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder),
      m_databaseFile(databaseFile)
{
    setObjectName(QStringLiteral("dmInvoice"));
    declareDataSets();
    installHandlers();
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
    declareCustomers(tblCustomer);
    declareInvoiceEdit(tblInvoiceEdit, qryInvoiceCustomer);
    declareInvoiceLines(tblInvoiceItems, tblInvoiceEdit);
    declareCatalogue(tblLookupItem);
    declarePostalRegister(tblPostAddr, tblPostAddrClone);
    declareInvoiceList(tblInvoiceList);
    declareInvoicePayments(qryInvoicePay);

    // The queries that read some columns of one table as they are, and the settings.
    const struct {
        db::DataSet &dataSet;
        Query query;
        QString table;
        QStringList columns;
    } queries[] = {
        {qryCustInvoiceList,
         {QStringLiteral("select INV_ID, INVOICE_NO, INVDATE, GROSSSUM, DUEDATE, PAIDDATE, PRINTDATE\nfrom INVOICE\n"
                         "where CUST_ID = :CUST_ID"),
          {},
          QStringLiteral("INV_ID")},
         INVOICE,
         {QStringLiteral("INV_ID"), QStringLiteral("INVOICE_NO"), QStringLiteral("INVDATE"), QStringLiteral("GROSSSUM"),
          QStringLiteral("DUEDATE"), QStringLiteral("PAIDDATE"), QStringLiteral("PRINTDATE")}},
        {qryInvoiceCustomer,
         {QStringLiteral(
              "select CUST_ID, CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, POSTALADDRESS from CUSTOMER"),
          {},
          QStringLiteral("CUST_ID")},
         CUSTOMER,
         {QStringLiteral("CUST_ID"), QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"), QStringLiteral("SURNAME"),
          QStringLiteral("ADDRESS"), QStringLiteral("POSTALCODE"), QStringLiteral("POSTALADDRESS")}},
        {qrySelectCust,
         {QStringLiteral("select CUST_ID, CUST_NO, FIRSTNAME, SURNAME, STATUS from CUSTOMER"), {}, {}},
         CUSTOMER,
         {QStringLiteral("CUST_ID"), QStringLiteral("CUST_NO"), QStringLiteral("FIRSTNAME"), QStringLiteral("SURNAME"),
          QStringLiteral("STATUS")}},
        {qryAppData,
         {QStringLiteral("select * from APPDATA"), QStringLiteral("APPDATA"), QStringLiteral("ANAME")},
         QStringLiteral("APPDATA"),
         {}},
    };
    for (const auto &[dataSet, query, table, columns] : queries) {
        setQuery(dataSet, query);
        addColumns(dataSet, table, columns);
    }
    qryCustInvoiceList.setMasterLink(&tblCustomer, {{QStringLiteral("CUST_ID"), QStringLiteral("CUST_ID")}});

    // The highest numbers, for the next new ones.
    setQuery(qryMaxInvNo, {QStringLiteral("select max(INVOICE_NO) as MAXINVNO from INVOICE\n"
                                          "where (INVDATE >= :STARTOFYEAR)  and (INVDATE <= :ENDOFYEAR)"),
                           {},
                           {}});
    qryMaxInvNo.addField(computed(QStringLiteral("MAXINVNO"), FieldType::Integer, FieldKind::Data));
    setQuery(qryMaxCustNo, {QStringLiteral("select max(CUST_NO) as MAXCUSTNO from CUSTOMER"), {}, {}});
    qryMaxCustNo.addField(computed(QStringLiteral("MAXCUSTNO"), FieldType::Integer, FieldKind::Data));
}

// A data link file beside the program wins over the database file beside it. Paths go into the description
// as they are: a folder named "a;b=c" is a folder, not connection text.
void TdmInvoice::conInvoiceBeforeConnect(db::Connection &connection)
{
    connection.connectionString.clear();
    if (!m_databaseFile.isEmpty()) {
        connection.description = db::ConnectionDescription::sqliteFile(QFileInfo(m_databaseFile).absoluteFilePath());
        return;
    }
    const QDir folder(m_programFolder);
    const QFileInfo dataLink(folder.absoluteFilePath(QStringLiteral("Tessund.udl")));
    if (dataLink.exists() || dataLink.isSymLink())
        connection.description = db::ConnectionDescription::fromDataLinkFile(dataLink.absoluteFilePath());
    else
        connection.description =
            db::ConnectionDescription::sqliteFile(folder.absoluteFilePath(QStringLiteral("INVOICE.mdb")));
}

void TdmInvoice::openConnection()
{
    conInvoice.open();
    try {
        Schema::upgrade(conInvoice);
        Schema::check(conInvoice);
    } catch (...) {
        conInvoice.close();
        throw;
    }
}

void TdmInvoice::DataModuleCreate()
{
    if (conInvoice.isOpen())
        messageDialog(
            MsgType::Plain,
            QStringLiteral("Error in image. Datamodule keept active by developer. This is a major bummer!!!"));
    try {
        openConnection();
    } catch (const Error &e) {
        m_connected = false;
        m_connectFailure = e.message();
        m_databaseInUse = dynamic_cast<const DatabaseInUse *>(&e) != nullptr;
        messageDialog(MsgType::Error, e.message());
        messageDialog(MsgType::Error, tr("Database error. Unable to continue."));
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

// ---------------------------------------------------------------------------------------------------------
// Rules that hold whichever window edits the data

void TdmInvoice::installHandlers()
{
    auto bind = [this](void (TdmInvoice::*handler)(db::DataSet &)) {
        return [this, handler](db::DataSet &ds) { (this->*handler)(ds); };
    };
    tblCustomer.onNewRecord = bind(&TdmInvoice::tblCustomerNewRecord);
    tblCustomer.afterPost = bind(&TdmInvoice::tblCustomerAfterPost);
    tblInvoiceEdit.onNewRecord = bind(&TdmInvoice::tblInvoiceEditNewRecord);
    tblInvoiceEdit.onCalcFields = bind(&TdmInvoice::tblInvoiceEditCalcFields);
    tblInvoiceItems.beforeInsert = bind(&TdmInvoice::tblInvoiceItemsBeforeInsert);
    tblInvoiceItems.onNewRecord = bind(&TdmInvoice::tblInvoiceItemsNewRecord);
    tblInvoiceItems.onCalcFields = bind(&TdmInvoice::tblInvoiceItemsCalcFields);
    tblInvoiceItems.afterPost = bind(&TdmInvoice::tblInvoiceItemsAfterPost);
    tblInvoiceItems.afterDelete = bind(&TdmInvoice::tblInvoiceItemsAfterDelete);
    tblLookupItem.onNewRecord = bind(&TdmInvoice::tblLookupItemNewRecord);
    tblLookupItem.beforePost = &TdmInvoice::CheckItem;
    tblInvoiceItems.beforePost = bind(&TdmInvoice::tblInvoiceItemsBeforePost);
    qryCustInvoiceList.beforeOpen = bind(&TdmInvoice::qryCustInvoiceListBeforeOpen);
    qryCustInvoiceList.beforeDelete = bind(&TdmInvoice::tblInvoiceBeforeDelete);
    tblInvoiceList.onCalcFields = bind(&TdmInvoice::tblInvoiceListCalcFields);
    tblInvoiceList.beforeOpen = [this](db::DataSet &) { m_invoiceListNow = QDateTime(); };
    m_listDaysOverdue = &tblInvoiceList.fieldByName(QStringLiteral("DAYSOVERDUE"));
    m_listDueDate = &tblInvoiceList.fieldByName(QStringLiteral("DUEDATE"));
    m_listPaidDate = &tblInvoiceList.fieldByName(QStringLiteral("PAIDDATE"));
    tblInvoiceList.beforeDelete = bind(&TdmInvoice::tblInvoiceBeforeDelete);
    qryInvoicePay.onNewRecord = bind(&TdmInvoice::qryInvoicePayNewRecord);
    qryInvoicePay.onCalcFields = bind(&TdmInvoice::qryInvoicePayCalcFields);
    qryInvoicePay.beforeDelete = bind(&TdmInvoice::qryInvoicePayBeforeDelete);

    db::Field &paid = qryInvoicePay.fieldByName(QStringLiteral("PAID"));
    paid.onChange = [this](db::Field &f) { qryInvoicePayPAIDChange(f); };
    paid.onGetText = [this](db::Field &f, QString &text, bool display) { qryInvoicePayPAIDGetText(f, text, display); };
    paid.onSetText = [this](db::Field &f, const QString &text) { qryInvoicePayPAIDSetText(f, text); };
    for (db::Field *gross : {&tblInvoiceItems.fieldByName(QStringLiteral("GROSSFAKE")),
                             &tblLookupItem.fieldByName(QStringLiteral("GROSSPRICE"))}) {
        gross->onGetText = &TdmInvoice::GrossPriceGetText;
        gross->onValidate = &TdmInvoice::GrossPriceValidate;
    }
}

// A new customer gets the highest number plus one, and empty names rather than none.
void TdmInvoice::tblCustomerNewRecord(db::DataSet &ds)
{
    qint64 highest = 0;
    try {
        qryMaxCustNo.open();
        highest = qryMaxCustNo.fieldByName(QStringLiteral("MAXCUSTNO")).asInteger();
    } catch (...) {
        qryMaxCustNo.close();
        throw;
    }
    qryMaxCustNo.close();
    ds.fieldByName(QStringLiteral("CUST_NO")).setValue(highest + 1);
    ds.fieldByName(QStringLiteral("SURNAME")).setValue(QString(QLatin1String("")));
    ds.fieldByName(QStringLiteral("FIRSTNAME")).setValue(QString(QLatin1String("")));
}

void TdmInvoice::tblCustomerAfterPost(db::DataSet &)
{
    if (qryInvoiceCustomer.isActive())
        qryInvoiceCustomer.requery();
}

// The number is fixed here: changing the invoice date later does not renumber the invoice.
void TdmInvoice::tblInvoiceEditNewRecord(db::DataSet &ds)
{
    const QDateTime today = wallClock(Clock::today());
    ds.fieldByName(QStringLiteral("INVDATE")).setValue(today);
    ds.fieldByName(QStringLiteral("DUEDATE")).setValue(today.addDays(DBSettings.CreditDays()));
    ds.fieldByName(QStringLiteral("INVOICE_NO")).setValue(MaxInvoiceNumberInYear(today) + 1);
    ds.fieldByName(QStringLiteral("INV_TYPE")).setValue(QString(QLatin1Char('N')));
}

void TdmInvoice::tblInvoiceEditCalcFields(db::DataSet &ds)
{
    ds.fieldByName(QStringLiteral("NETTOTAL"))
        .setValue(QVariant::fromValue(ds.fieldByName(QStringLiteral("GROSSSUM")).asMoney() -
                                      ds.fieldByName(QStringLiteral("SUMVAT")).asMoney()));
}

qint64 TdmInvoice::MaxInvoiceNumberInYear(const QDateTime &day)
{
    const int year = day.date().year();
    qryMaxInvNo.setParam(QStringLiteral("STARTOFYEAR"), wallClock(QDate(year, 1, 1)));
    qryMaxInvNo.setParam(QStringLiteral("ENDOFYEAR"), wallClock(QDate(year, 12, 31), QTime(23, 59, 59)));
    qint64 highest = 0;
    try {
        qryMaxInvNo.open();
        highest = qryMaxInvNo.fieldByName(QStringLiteral("MAXINVNO")).asInteger();
    } catch (...) {
        qryMaxInvNo.close();
        throw;
    }
    qryMaxInvNo.close();
    return highest;
}

// A line needs the invoice's id, so an invoice that was never saved is saved before its first line.
void TdmInvoice::tblInvoiceItemsBeforeInsert(db::DataSet &)
{
    if (tblInvoiceEdit.state() == db::DataSet::State::Insert)
        tblInvoiceEdit.post();
}

void TdmInvoice::tblInvoiceItemsNewRecord(db::DataSet &ds)
{
    // The count includes the new row itself: a line number can repeat after a line other than the
    // last was deleted.
    ds.fieldByName(QStringLiteral("ITEM_ID")).setValue(ds.recordCount());
    ds.fieldByName(QStringLiteral("DISCOUNT")).setValue(0.0);
    const db::Field &invoiceId = tblInvoiceEdit.fieldByName(QStringLiteral("INV_ID"));
    if (!tblInvoiceEdit.isActive() || invoiceId.isNull()) {
        ds.cancel();
        messageDialog(MsgType::Error, tr("Database corrupt?!?. Missing internal unique invoice no."));
        return;
    }
    ds.fieldByName(QStringLiteral("INV_ID")).setValue(invoiceId.value());
    ds.fieldByName(QStringLiteral("VAT")).setValue(DBSettings.DefaultTax());
}

void TdmInvoice::tblInvoiceItemsCalcFields(db::DataSet &ds)
{
    const LineAmounts a = lineAmounts(
        ds.fieldByName(QStringLiteral("NUM")).asFloat(), ds.fieldByName(QStringLiteral("NETPRICE")).asMoney(),
        ds.fieldByName(QStringLiteral("VAT")).asFloat(), ds.fieldByName(QStringLiteral("DISCOUNT")).asFloat());
    ds.fieldByName(QStringLiteral("GROSSPRICE")).setValue(a.grossPrice);
    ds.fieldByName(QStringLiteral("ITEMNETSUM")).setValue(a.netSum);
    ds.fieldByName(QStringLiteral("ITEMVAT")).setValue(a.vat);
    ds.fieldByName(QStringLiteral("ITEMSUM")).setValue(a.sum);
}

// A line's save or deletion and the totals' update are one change (DataSet::post and remove): should the
// totals fail, the line is not stored either.
void TdmInvoice::tblInvoiceItemsAfterPost(db::DataSet &)
{
    UpdateInvoiceSum();
}

void TdmInvoice::tblInvoiceItemsAfterDelete(db::DataSet &)
{
    UpdateInvoiceSum();
}

// Each line adds its amounts rounded to money, so the totals are exact sums of what the lines show.
// The lines are read where they stand; the current line stays current.
void TdmInvoice::UpdateInvoiceSum()
{
    InvoiceTotals totals;
    const db::Field &lineNet = tblInvoiceItems.fieldByName(QStringLiteral("ITEMNETSUM"));
    const db::Field &lineSum = tblInvoiceItems.fieldByName(QStringLiteral("ITEMSUM"));
    const db::Field &lineVat = tblInvoiceItems.fieldByName(QStringLiteral("ITEMVAT"));
    for (int row = 0; row < tblInvoiceItems.recordCount(); ++row) {
        LineAmounts line;
        line.netSum = tblInvoiceItems.valueAt(row, lineNet).toDouble();
        line.vat = tblInvoiceItems.valueAt(row, lineVat).toDouble();
        line.sum = tblInvoiceItems.valueAt(row, lineSum).toDouble();
        totals.add(line);
    }
    const bool editing = tblInvoiceEdit.isEditing();
    if (!editing && (!tblInvoiceEdit.isActive() || tblInvoiceEdit.isEmpty()))
        return;
    if (!editing)
        tblInvoiceEdit.edit();
    try {
        tblInvoiceEdit.fieldByName(QStringLiteral("GROSSSUM")).setValue(QVariant::fromValue(totals.gross));
        tblInvoiceEdit.fieldByName(QStringLiteral("SUMVAT")).setValue(QVariant::fromValue(totals.vat));
        if (!editing)
            tblInvoiceEdit.post();
    } catch (...) {
        if (!editing)
            tblInvoiceEdit.cancel();
        throw;
    }
}

void TdmInvoice::GrossPriceGetText(db::Field &field, QString &text, bool displayText)
{
    db::DataSet &ds = field.dataSet();
    if (ds.fieldByName(QStringLiteral("NETPRICE")).isNull()) {
        text.clear();
        return;
    }
    // While editing, the plain number: a text with thousands separators could not be entered again. A
    // price beyond what money holds (at a VAT the row will refuse) shows as the number it is.
    const double gross = grossPriceOf(ds);
    text = displayText ? Format::moneyText(gross) : Format::moneyEditText(gross);
}

void TdmInvoice::GrossPriceValidate(db::Field &field)
{
    db::DataSet &ds = field.dataSet();
    db::Field &netPrice = ds.fieldByName(QStringLiteral("NETPRICE"));
    if (field.isNull()) {
        netPrice.clear();
        return;
    }
    const double vat = ds.fieldByName(QStringLiteral("VAT")).asFloat();
    const double net = field.asFloat() / (vat / 100 + 1);
    if (vat <= -100 || !Money::fits(net))
        throw Error(tr("A gross price cannot give a net price at a VAT of %1 %")
                        .arg(Format::numberText(vat, QStringLiteral("0.##"))));
    netPrice.setValue(QVariant::fromValue(money(net)));
}

// A line is stored only when its VAT is a percentage and its amounts, and the invoice's totals with it,
// stay within what money can hold.
void TdmInvoice::tblInvoiceItemsBeforePost(db::DataSet &ds)
{
    CheckVat(ds);
    const db::Field &num = ds.fieldByName(QStringLiteral("NUM"));
    const LineAmounts line = lineAmounts(num.asFloat(), ds.fieldByName(QStringLiteral("NETPRICE")).asMoney(),
                                         ds.fieldByName(QStringLiteral("VAT")).asFloat(),
                                         ds.fieldByName(QStringLiteral("DISCOUNT")).asFloat());
    double total = line.sum;
    const db::Field &lineSum = ds.fieldByName(QStringLiteral("ITEMSUM"));
    for (int row = 0; row < ds.recordCount(); ++row)
        if (row != ds.recNo())
            total += ds.valueAt(row, lineSum).toDouble();
    if (!Money::fits(line.sum) || !Money::fits(line.netSum) || !Money::fits(total))
        throw Error(tr("The line's amounts are beyond what an invoice can hold"));
}

// A catalogue item is stored only when its VAT is a percentage and its gross price is money.
void TdmInvoice::CheckItem(db::DataSet &ds)
{
    CheckVat(ds);
    if (!Money::fits(grossPriceOf(ds)))
        throw Error(tr("The item's gross price is beyond the largest amount money can hold"));
}

// A VAT is a percentage from 0 to 100; anything else is a typing error.
void TdmInvoice::CheckVat(db::DataSet &ds)
{
    const db::Field &vat = ds.fieldByName(QStringLiteral("VAT"));
    if (!vat.isNull() && (vat.asFloat() < 0 || vat.asFloat() > 100))
        throw Error(tr("The VAT must be from 0 to 100 %; %1 is not").arg(vat.text()));
}

void TdmInvoice::tblLookupItemNewRecord(db::DataSet &ds)
{
    ds.fieldByName(QStringLiteral("VAT")).setValue(DBSettings.DefaultTax());
}

void TdmInvoice::qryCustInvoiceListBeforeOpen(db::DataSet &ds)
{
    ds.setParam(QStringLiteral("CUST_ID"),
                tblCustomer.isActive() ? tblCustomer.fieldByName(QStringLiteral("CUST_ID")).value() : QVariant());
}

// Whole days past the due date, counted down to the day: due today is 0 days overdue, due tomorrow is
// not overdue at all (empty), as the "Overdue" filter (due date before now) sees it too.
void TdmInvoice::tblInvoiceListCalcFields(db::DataSet &)
{
    // Run for every row of a list that may hold many thousand invoices: the fields are looked up once,
    // and "now" is taken once per reading of the list.
    if (!m_listPaidDate->isNull() || m_listDueDate->isNull())
        return;
    if (!m_invoiceListNow.isValid())
        m_invoiceListNow = Clock::now();
    const qint64 seconds = m_listDueDate->asDateTime().secsTo(m_invoiceListNow);
    const qint64 whole = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    if (whole >= 0)
        m_listDaysOverdue->setValue(int(whole));
}

void TdmInvoice::SetInvoiceListFilter(int level)
{
    QString statement = InvoiceListStatement;
    if (level >= 1)
        statement += InvoiceListUnpaidCondition;
    if (level >= 2)
        statement += InvoiceListOverdueCondition;
    tblInvoiceList.close();
    tblInvoiceList.setCommandText(statement);
    tblInvoiceList.open();
}

// Invoices are deleted only through DeleteInvoice; the lists refuse quietly.
void TdmInvoice::tblInvoiceBeforeDelete(db::DataSet &)
{
    abortSilently();
}

void TdmInvoice::qryInvoicePayBeforeDelete(db::DataSet &)
{
    abortSilently();
}

bool TdmInvoice::DeleteInvoice(qint64 invoiceId, qint64 invoiceNo, bool offerAll, bool &ask)
{
    MsgAnswer answer = MsgAnswer::Yes;
    if (ask)
        answer = messageDialog(MsgType::Confirmation, tr("Delete selected invoice # %1?").arg(invoiceNo),
                               offerAll ? MsgButtons::YesNoAll : MsgButtons::YesNo);
    switch (answer) {
    case MsgAnswer::No:
    case MsgAnswer::OK:
        return true;
    case MsgAnswer::Closed:
    case MsgAnswer::Cancel:
        // Closed without a choice: nothing is deleted, and with several invoices the walk stops.
        return !offerAll;
    case MsgAnswer::NoToAll:
        return false;
    case MsgAnswer::YesToAll:
        ask = false;
        break;
    case MsgAnswer::Yes:
        break;
    }
    // One statement, so one change: the lines go with the invoice through the foreign key's cascade.
    cmdDeleteInvoice.setParam(QStringLiteral("INVOICEID"), invoiceId);
    cmdDeleteInvoice.execute();
    return true;
}

// The payment list never grows.
void TdmInvoice::qryInvoicePayNewRecord(db::DataSet &ds)
{
    ds.cancel();
}

void TdmInvoice::qryInvoicePayCalcFields(db::DataSet &ds)
{
    const bool paid = !ds.fieldByName(QStringLiteral("PAIDDATE")).isNull();
    ds.fieldByName(QStringLiteral("PAID")).setValue(paid ? 1 : 0);
    ds.fieldByName(QStringLiteral("DUMMYPAID")).setValue(paid);
}

void TdmInvoice::qryInvoicePayPAIDGetText(db::Field &field, QString &text, bool)
{
    text = field.asInteger() == 0 ? tr("No") : tr("Yes");
}

void TdmInvoice::qryInvoicePayPAIDSetText(db::Field &field, const QString &text)
{
    if (text == tr("No")) {
        try {
            field.setValue(0);
        } catch (const Error &) {
        }
        return;
    }
    field.setValue(-1);
}

// Marking paid takes today and the invoice total, unless a payment is already partly recorded;
// marking unpaid clears both.
void TdmInvoice::qryInvoicePayPAIDChange(db::Field &field)
{
    db::DataSet &ds = field.dataSet();
    db::Field &paidDate = ds.fieldByName(QStringLiteral("PAIDDATE"));
    db::Field &sumPaid = ds.fieldByName(QStringLiteral("SUMPAID"));
    if (field.asInteger() != 0) {
        if (paidDate.isNull() && sumPaid.isNull()) {
            paidDate.setValue(wallClock(Clock::today()));
            sumPaid.setValue(ds.fieldByName(QStringLiteral("GROSSSUM")).value());
        }
    } else if (!paidDate.isNull() || !sumPaid.isNull()) {
        sumPaid.clear();
        paidDate.clear();
    }
}

void TdmInvoice::MarkInvoicePrinted(qint64 invoiceId, const QDateTime &when)
{
    try {
        qryInvoicePrinted.setParam(QStringLiteral("PRINTDATEPARAM"), wallClock(when.date()));
        qryInvoicePrinted.setParam(QStringLiteral("INV_IDPARAM"), invoiceId);
        qryInvoicePrinted.execute();
        RequestInvoiceListRefresh();
    } catch (const std::exception &) {
        // A print date that could not be stored does not spoil the printout.
    }
}

void TdmInvoice::RequestInvoiceListRefresh()
{
    QMetaObject::invokeMethod(this, &TdmInvoice::invoicesChanged, Qt::QueuedConnection);
}
