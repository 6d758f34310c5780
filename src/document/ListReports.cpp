#include "ListReports.h"

#include "ListLayouts.h"
#include "core/Clock.h"
#include "core/Field.h"
#include "core/Format.h"
#include "data/InvoiceKinds.h"
#include "data/Schema.h"
#include "data/dInvoice.h"

#include <algorithm>
#include <cmath>

using db::FieldDef;
using db::FieldKind;
using db::FieldType;
using report::Band;
using report::BandType;

namespace {

// Every text of the lists is one line of 4.5 mm.
constexpr double textHeight = 4.5;

FieldDef column(const QString &name, FieldType type, int size = 0, bool currency = false)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.currency = currency;
    return def;
}

FieldDef calculated(const QString &name, FieldType type, int size = 0)
{
    FieldDef def = column(name, type, size);
    def.kind = FieldKind::Calculated;
    return def;
}

using enum layout::Kind;
using layout::Element;
constexpr auto Right = report::Alignment::Right;
constexpr auto Left = report::Alignment::Left;

// A caption grows from its left edge, or from its right one when right-aligned (its left is that edge).
constexpr unsigned Caption = layout::AutoSize | layout::Transparent;
// A text column: a longer text is cut off where the next column starts.
constexpr unsigned TextColumn = layout::CutOff | layout::Transparent;
// A number, date or amount: printed whole, in a smaller size where a long date format or a large number
// needs it.
constexpr unsigned Value = layout::NoWrap | layout::Shrink | layout::Transparent;

// The company block: the business's name and address, one line per line, wrapping at the band's edge.
constexpr double journalWidth = 188.4;
constexpr Element companyBlock = {
    "qrmCompany", Memo, 144.7, 0.3, journalWidth - 144.7, 19.1, {}, Left, layout::Stretch | layout::Transparent};

constexpr Element journalPageNumber[] = {
    {"qrsPageNumber", PageNumber, 85.2, 1.3, 12.2, textHeight, {}, report::Alignment::Center, layout::Transparent},
};
constexpr Element cardsPageNumber[] = {
    {"qrsPageNumber", PageNumber, 86.3, 0.8, 12.2, textHeight, {}, report::Alignment::Center, layout::Transparent},
};

constexpr layout::Band journalFooter = {"PageFooterBand1", BandType::PageFooter, 7.4, journalPageNumber, 0,
                                        report::SideTop};
constexpr layout::Band cardsFooter = {"PageFooterBand1", BandType::PageFooter, 5.8, cardsPageNumber, 0,
                                      report::SideTop};

void setListPage(report::Report &r, double top, double bottom, double left, double right)
{
    // A4, Arial 10 pt, page header on the first page and footer on the last are a report's defaults.
    r.margins = QMarginsF(left, top, right, bottom);
    r.rtfExport = true;
}

// The customer's name as the lists print it: first name, a blank, surname.
const QString nameColumn = QStringLiteral("ifnull(FIRSTNAME, '') || ' ' || ifnull(SURNAME, '') as NAME");

// The issues and payments of a period in date order, an issue before a payment of the same day.
QString transactionsStatement()
{
    const QString name = nameColumn + QStringLiteral(", ");
    return QStringLiteral("select INV_ID, INV_TYPE, INVOICE_NO, 1 as INVACTION, INVDATE as TRANSDATE,\r\n"
                          "CUST_NO, ") +
           name +
           QStringLiteral("GROSSSUM as SUMTOTAL, SUMVAT,\r\n"
                          "GROSSSUM - SUMVAT as NETSUM, DUEDATE\r\n"
                          "from invoicelist\r\n"
                          "where INVDATE >= :STARTDATE1 and INVDATE <= :ENDDATE1\r\n"
                          "union\r\n"
                          "select INV_ID, INV_TYPE, INVOICE_NO, 2 as INVACTION, PAIDDATE as TRANSDATE,\r\n"
                          "CUST_NO, ") +
           name +
           QStringLiteral("SUMPAID as SUMTOTAL, NULL as SUMVAT,\r\n"
                          "NULL as NETSUM, null as DUEDATE\r\n"
                          "from invoicelist\r\n"
                          "where PAIDDATE >= :STARTDATE2 and PAIDDATE <= :ENDDATE2\r\n"
                          "order by TRANSDATE, INVACTION, INVOICE_NO, INV_ID");
}

} // namespace

QStringList ListCompanyText()
{
    return report::splitLines(dmInvoice->DBSettings.GetSetting(QStringLiteral("NAMECOMPADDR")));
}

QString NoTransactionsText()
{
    return QCoreApplication::translate("ListReports", "No invoice transaction for given period");
}

// ---------------------------------------------------------------------------------------------------------

TrepInvoiceList::TrepInvoiceList(db::Connection *connection) : qryInvList(connection, QStringLiteral("qryInvList"))
{
    qryInvList.setReadOnly(true);
    for (const auto &[name, type] : {std::pair{"INV_ID", FieldType::Integer},
                                     {"INVOICE_NO", FieldType::Integer},
                                     {"CUST_NO", FieldType::Integer},
                                     {"NAME", FieldType::String},
                                     {"INVDATE", FieldType::DateTime},
                                     {"PRINTDATE", FieldType::DateTime},
                                     {"DUEDATE", FieldType::DateTime},
                                     {"PAIDDATE", FieldType::DateTime},
                                     {"GROSSSUM", FieldType::Currency},
                                     {"SUMPAID", FieldType::Currency}})
        qryInvList.addField(column(QLatin1String(name), type));
    qryInvList.beforeOpen = [this](db::DataSet &) { qryInvListBeforeOpen(); };

    report::Report &r = qrList;
    setListPage(r, 6.0, 6.0, 12.7, 9.0);
    r.dataSet = &qryInvList;
    r.title = tr("Invoicelist");
    layout::buildLayout(r, invoiceListLayout());
}

namespace {

constexpr Element invoiceListHeader[] = {
    {"qrsTitle", Title, 0.0, 0.0, 27.8, 6.4, layout::arial(14), Left, Caption},
    companyBlock,
    {"qrlFromDate",
     Label,
     4.2 + 16.9,
     8.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepInvoiceList", "From date:")},
    {"qrlStartDate", Label, 22.5, 8.2, 0, textHeight, {}, Left, Caption},
};

constexpr Element invoiceListColumns[] = {
    {"qrlInvoiceNo",
     Label,
     0.5,
     4.2,
     0,
     textHeight,
     {},
     Left,
     Caption,
     QT_TRANSLATE_NOOP("TrepInvoiceList", "Invoice #")},
    {"qrlCustNo", Label, 15.6, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Cust #")},
    {"qrlName", Label, 29.4, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Name")},
    {"qrlDate", Label, 76.7, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Date")},
    {"qrlPrinted", Label, 97.9, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Printed")},
    {"qrlDue", Label, 119.1, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Due")},
    {"qrlPaid", Label, 140.2, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepInvoiceList", "Paid")},
    {"qrlGrossSum",
     Label,
     167.7 + 18.5,
     4.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepInvoiceList", "Gross sum")},
};

// Each column ends half a millimetre before the next one starts.
constexpr Element invoiceListRow[] = {
    {"INVOICE_NO", Field, 0.3, 0.5, 16.1 - 0.5 - 0.3, textHeight, {}, Left, Value},
    {"CUST_NO", Field, 16.1, 0.5, 29.6 - 0.5 - 16.1, textHeight, {}, Left, Value},
    {"NAME", Field, 29.6, 0.5, 76.7 - 1.0 - 29.6, textHeight, {}, Left, TextColumn},
    {"INVDATE", Field, 76.7, 0.5, 97.9 - 0.5 - 76.7, textHeight, {}, Left, Value},
    {"PRINTDATE", Field, 97.9, 0.5, 119.1 - 0.5 - 97.9, textHeight, {}, Left, Value},
    {"DUEDATE", Field, 119.1, 0.5, 140.2 - 0.5 - 119.1, textHeight, {}, Left, Value},
    {"PAIDDATE", Field, 140.2, 0.5, 161.3 - 0.5 - 140.2, textHeight, {}, Left, Value},
    {"GROSSSUM", Field, 168.3 + 18.5 - (186.8 - 161.3), 0.5, 186.8 - 161.3, textHeight, {}, Right, Value},
};

constexpr layout::Band invoiceListBands[] = {
    {"PageHeaderBand1", BandType::PageHeader, 17.5, invoiceListHeader},
    {"ColumnHeaderBand1", BandType::ColumnHeader, 10.6, invoiceListColumns, 0, report::SideBottom},
    {"DetailBand1", BandType::Detail, 5.6, invoiceListRow},
    journalFooter,
};

} // namespace

const layout::Layout &invoiceListLayout()
{
    static constexpr layout::Layout list{invoiceListBands, "TrepInvoiceList"};
    return list;
}

void TrepInvoiceList::SetStartDate(const QDate &day)
{
    FStartDate = day;
    qrList.element<report::Label>(QStringLiteral("qrlStartDate")).caption = Format::dateText(day);
}

void TrepInvoiceList::SetVariant(int variant)
{
    FVariant = variant;
}

void TrepInvoiceList::SetCompanyText(const QStringList &lines)
{
    qrList.element<report::Memo>(QStringLiteral("qrmCompany")).lines = lines;
}

bool TrepInvoiceList::Open()
{
    qryInvList.close();
    qryInvList.open();
    return !qryInvList.isEmpty();
}

// The statement and the title follow the variant: unpaid lacks the paid sum or the paid date; overdue is
// unpaid and due before this moment, by due date. An invoice without a kind is an ordinary one.
void TrepInvoiceList::qryInvListBeforeOpen()
{
    qrList.title = tr("Invoicelist");
    QString extra;
    if (FVariant >= Unpaid) {
        extra += QStringLiteral(" and (SUMPAID is null or PAIDDATE is null)");
        qrList.title = tr("Unpaid Invoices");
    }
    if (FVariant >= Overdue) {
        extra += QStringLiteral(" and (DUEDATE < Now()) order by DUEDATE, INVOICE_NO");
        qrList.title = tr("Overdue Invoices");
    }
    QString sql = QStringLiteral("select *, ") + nameColumn +
                  QStringLiteral(" from INVOICELIST\r\nwhere INVDATE >= :FROMDATE and ifnull(INV_TYPE, '') <> 'C'");
    if (!extra.isEmpty())
        sql += QStringLiteral("\r\n") + extra;
    qryInvList.setCommandText(sql);
    qryInvList.setParam(QStringLiteral("FROMDATE"), wallClock(FStartDate));
}

// ---------------------------------------------------------------------------------------------------------

TrepTransactionList::TrepTransactionList(db::Connection *connection)
    : qryInvMaster(connection, QStringLiteral("qryInvMaster")), qryItems(connection, QStringLiteral("qryItems"))
{
    qryInvMaster.setCommandText(transactionsStatement());
    qryInvMaster.setReadOnly(true);
    for (const auto &[field, type] : {std::pair{"INV_ID", FieldType::Integer},
                                      {"INV_TYPE", FieldType::String},
                                      {"INVOICE_NO", FieldType::Integer},
                                      {"INVACTION", FieldType::Integer},
                                      {"TRANSDATE", FieldType::DateTime},
                                      {"CUST_NO", FieldType::Integer},
                                      {"NAME", FieldType::String},
                                      {"SUMTOTAL", FieldType::Currency},
                                      {"SUMVAT", FieldType::Currency},
                                      {"NETSUM", FieldType::Currency},
                                      {"DUEDATE", FieldType::DateTime}})
        qryInvMaster.addField(column(QLatin1String(field), type));
    qryInvMaster.addField(calculated(QStringLiteral("InvoiceAction"), FieldType::String, 20));
    qryInvMaster.addField(calculated(QStringLiteral("InvoiceType"), FieldType::String, 20));
    // Run for every transaction of the period: the fields are looked up once.
    const db::Field *actionCode = &qryInvMaster.fieldByName(QStringLiteral("INVACTION"));
    const db::Field *kind = &qryInvMaster.fieldByName(QStringLiteral("INV_TYPE"));
    db::Field *actionName = &qryInvMaster.fieldByName(QStringLiteral("InvoiceAction"));
    db::Field *kindName = &qryInvMaster.fieldByName(QStringLiteral("InvoiceType"));
    qryInvMaster.onCalcFields = [actionCode, kind, actionName, kindName](db::DataSet &) {
        const int code = actionCode->asInteger();
        actionName->setValue(code == 1 ? tr("Issue") : code == 2 ? tr("Payment") : QString());
        // An invoice without a kind is an ordinary one; any other first letter is named as such.
        const QString type = kind->asString();
        kindName->setValue(InvoiceKindName(type.isEmpty() ? QStringLiteral("N") : type.left(1)));
    };

    qryItems.setCommandText(QStringLiteral("select * \r\nfrom INVITEMVIEW\r\nwhere INV_ID = :INV_ID"));
    qryItems.setReadOnly(true);
    qryItems.addField(column(QStringLiteral("ITEM_NO"), FieldType::String, 10));
    qryItems.addField(column(QStringLiteral("ITEM_DESC"), FieldType::String, 64));
    for (const char *amount : {"NETSUM", "SUMVAT", "GROSSUM"})
        qryItems.addField(column(QLatin1String(amount), FieldType::Double, 0, true));
    qryItems.setParam(QStringLiteral("INV_ID"), QVariant());

    report::Report &r = qrList;
    setListPage(r, 6.0, 6.0, 12.7, 9.0);
    r.dataSet = &qryInvMaster;
    layout::buildLayout(r, transactionListLayout(), &qryItems);

    // An issue shows its amounts on the line below and its invoice's lines; a payment the amount paid.
    const db::Field *invoiceId = &qryInvMaster.fieldByName(QStringLiteral("INV_ID"));
    report::DBText *paidAmount = &r.element<report::DBText>(QStringLiteral("qrdPaid"));
    r.findBand(QStringLiteral("DetailBand1"))->beforePrint = [this, actionCode, invoiceId, paidAmount](Band &, bool &) {
        const bool isIssue = actionCode->asInteger() == 1;
        paidAmount->enabled = !isIssue;
        if (isIssue) {
            qryItems.close();
            qryItems.setParam(QStringLiteral("INV_ID"), invoiceId->value());
            qryItems.open();
        }
    };
    const auto onlyForIssues = [actionCode](Band &, bool &print) { print = actionCode->asInteger() == 1; };
    r.findBand(QStringLiteral("ChildBand1"))->beforePrint = onlyForIssues;
    r.findBand(QStringLiteral("SubDetail1"))->beforePrint = onlyForIssues;
}

namespace {

constexpr Element transactionListHeader[] = {
    {"qrlTitle", Label, 0.3, 0.3, 0, 7.1, layout::arial(16), Left, Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Transaction report")},
    companyBlock,
    {"qrlFromDate",
     Label,
     21.2,
     8.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "From date:")},
    {"qrlStartDate", Label, 22.5, 8.2, 0, textHeight, {}, Left, Caption},
    {"qrlToDate",
     Label,
     21.2,
     12.4,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "To date:")},
    {"qrlEndDate", Label, 22.5, 12.4, 0, textHeight, {}, Left, Caption},
};

constexpr Element transactionListColumns[] = {
    {"qrlDate", Label, 2.1, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepTransactionList", "Date")},
    {"qrlEvent", Label, 20.1, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepTransactionList", "Event")},
    {"qrlType", Label, 37.0, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepTransactionList", "Type")},
    {"qrlInvoiceNo",
     Label,
     57.7,
     4.2,
     0,
     textHeight,
     {},
     Left,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Invoice #")},
    {"qrlCustNo",
     Label,
     73.6,
     4.2,
     0,
     textHeight,
     {},
     Left,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Cust #")},
    {"qrlName", Label, 87.3, 4.2, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrepTransactionList", "Name")},
    {"qrlNetSum",
     Label,
     145.0,
     4.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Net sum")},
    {"qrlVat", Label, 163.8, 4.2, 0, textHeight, {}, Right, Caption, QT_TRANSLATE_NOOP("TrepTransactionList", "VAT")},
    {"qrlGrossSum",
     Label,
     186.3,
     4.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Gross sum")},
};

// Each transaction: its line (qrdPaid only for a payment), for an issue the due date and totals below it,
// then the invoice's lines.
constexpr Element transactionRow[] = {
    {"TRANSDATE", Field, 1.1, 2.1, 20.1 - 0.5 - 1.1, textHeight, {}, Left, Value},
    {"InvoiceAction", Field, 20.1, 2.1, 37.0 - 0.5 - 20.1, textHeight, {}, Left, TextColumn},
    {"InvoiceType", Field, 37.0, 2.1, 57.4 - 0.5 - 37.0, textHeight, {}, Left, TextColumn},
    {"INVOICE_NO", Field, 57.4, 2.1, 73.3 - 0.5 - 57.4, textHeight, {}, Left, Value},
    {"CUST_NO", Field, 73.3, 2.1, 87.3 - 0.5 - 73.3, textHeight, {}, Left, Value},
    {"NAME", Field, 87.3, 2.1, 128.0 - 87.3, textHeight, {}, Left, TextColumn},
    {"qrdPaid", Field, 186.8 - (186.8 - 128.5), 2.1, 186.8 - 128.5, textHeight, {}, Right, Value, "SUMTOTAL"},
};

constexpr Element issueTotals[] = {
    {"qrlDueDate",
     Label,
     20.1,
     -0.3,
     0,
     textHeight,
     {},
     Left,
     Caption,
     QT_TRANSLATE_NOOP("TrepTransactionList", "Due date:")},
    {"DUEDATE", Field, 37.0, -0.3, 57.4 - 0.5 - 37.0, textHeight, {}, Left, Value},
    {"qrdNetSum", Field, 145.0 - (145.0 - 127.2), 0.0, 145.0 - 127.2, textHeight, {}, Right, Value, "NETSUM"},
    {"qrdVat", Field, 164.3 - (164.3 - 145.5), 0.0, 164.3 - 145.5, textHeight, {}, Right, Value, "SUMVAT"},
    {"qrdGrossSum", Field, 186.8 - (186.8 - 164.8), 0.0, 186.8 - 164.8, textHeight, {}, Right, Value, "SUMTOTAL"},
};

constexpr Element invoiceLine[] = {
    {"ITEM_NO", Field, 36.8, 0.3, 57.9 - 0.5 - 36.8, textHeight, {}, Left, TextColumn},
    {"ITEM_DESC", Field, 57.9, 0.3, 57.9 + 68.8 - 57.9, textHeight, {}, Left, TextColumn},
    {"qrdItemNetSum", Field, 145.0 - (145.0 - 127.2), 0.3, 145.0 - 127.2, textHeight, {}, Right, Value, "NETSUM"},
    {"qrdItemVat", Field, 164.6 - (164.6 - 145.5), 0.3, 164.6 - 145.5, textHeight, {}, Right, Value, "SUMVAT"},
    {"qrdItemGross", Field, 186.5 - (186.5 - 165.1), 0.3, 186.5 - 165.1, textHeight, {}, Right, Value, "GROSSUM"},
};

constexpr layout::Font bold = layout::arial(10, true);

constexpr layout::Band transactionListBands[] = {
    {"PageHeaderBand1", BandType::PageHeader, 19.3, transactionListHeader},
    {"ColumnHeaderBand1", BandType::ColumnHeader, 10.6, transactionListColumns, 0, report::SideBottom},
    {"DetailBand1", BandType::Detail, 6.9, transactionRow, layout::KeepTogether, 0, bold},
    {"ChildBand1", BandType::Child, 4.8, issueTotals, 0, 0, bold},
    {"SubDetail1", BandType::SubDetail, 4.8, invoiceLine},
    journalFooter,
};

} // namespace

const layout::Layout &transactionListLayout()
{
    static constexpr layout::Layout list{transactionListBands, "TrepTransactionList"};
    return list;
}

void TrepTransactionList::SetStartDate(const QDate &day)
{
    qrList.element<report::Label>(QStringLiteral("qrlStartDate")).caption = Format::dateText(day);
    qryInvMaster.setParam(QStringLiteral("STARTDATE1"), wallClock(day));
    qryInvMaster.setParam(QStringLiteral("STARTDATE2"), wallClock(day));
}

// The end day is included whole, also for a payment recorded with its time of day.
void TrepTransactionList::SetEndDate(const QDate &day)
{
    qrList.element<report::Label>(QStringLiteral("qrlEndDate")).caption = Format::dateText(day);
    const QDateTime end = wallClock(day, QTime(23, 59, 59));
    qryInvMaster.setParam(QStringLiteral("ENDDATE1"), end);
    qryInvMaster.setParam(QStringLiteral("ENDDATE2"), end);
}

void TrepTransactionList::SetCompanyText(const QStringList &lines)
{
    qrList.element<report::Memo>(QStringLiteral("qrmCompany")).lines = lines;
}

bool TrepTransactionList::Open()
{
    qryInvMaster.close();
    qryInvMaster.open();
    return !qryInvMaster.isEmpty();
}

// ---------------------------------------------------------------------------------------------------------

TrptCustomer::TrptCustomer(db::Connection *connection) : tblCust(connection, QStringLiteral("tblCust"))
{
    const QString CUSTOMER = QStringLiteral("CUSTOMER");
    tblCust.setCommandText(QStringLiteral("select * from CUSTOMER order by SURNAME, FIRSTNAME"));
    tblCust.setReadOnly(true);
    for (const Schema::Column &c : Schema::table(CUSTOMER).columns)
        tblCust.addField(Schema::fieldDef(CUSTOMER, QLatin1String(c.name)));
    tblCust.addField(calculated(QStringLiteral("NAME"), FieldType::String, 50));
    const db::Field *first = &tblCust.fieldByName(QStringLiteral("FIRSTNAME"));
    const db::Field *surname = &tblCust.fieldByName(QStringLiteral("SURNAME"));
    db::Field *fullName = &tblCust.fieldByName(QStringLiteral("NAME"));
    tblCust.onCalcFields = [first, surname, fullName](db::DataSet &) {
        fullName->setValue(QString(first->asString() + QLatin1Char(' ') + surname->asString()));
    };

    report::Report &r = qrList;
    setListPage(r, 12.7, 12.7, 12.7, 12.7);
    r.title = tr("Customers");
    r.dataSet = &tblCust;
    r.columns = 2;
    r.columnSpace = 184.7 - 2 * 92.3;

    layout::buildLayout(r, customerCardsLayout());

    // Each line below the address is there when it has something to say.
    const auto printedWhenSet = [this](std::initializer_list<const char *> fields) {
        std::vector<db::Field *> watched;
        for (const char *f : fields)
            watched.push_back(&tblCust.fieldByName(QLatin1String(f)));
        return [watched](Band &, bool &print) {
            print = std::any_of(watched.begin(), watched.end(), [](db::Field *f) { return !f->asString().isEmpty(); });
        };
    };
    r.findBand(QStringLiteral("ChildBand1"))->beforePrint = printedWhenSet({"PHONE1", "PHONE2"});
    r.findBand(QStringLiteral("ChildBand2"))->beforePrint = printedWhenSet({"EMAIL"});
    r.findBand(QStringLiteral("ChildBand3"))->beforePrint = printedWhenSet({"STATUS"});

    tblCust.open();
    // By surname, then first name, in the order of the user's language (Æ, Ø, Å after Z in Norwegian).
    tblCust.sort(QStringLiteral("FIRSTNAME"));
    tblCust.sort(QStringLiteral("SURNAME"));
}

namespace {

constexpr Element customerHeader[] = {
    {"qrlTitle", Label, 1.1, 1.3, 0, 6.4, layout::arial(14), Left, Caption,
     QT_TRANSLATE_NOOP("TrptCustomer", "Customer report")},
};

constexpr Element customerCard[] = {
    {"NAME", Field, 4.0, 2.4, 70.0 - 4.0, textHeight, layout::arial(10, true), Left, TextColumn},
    {"CUST_NO", Field, 86.3 - (86.3 - 70.5), 2.4, 86.3 - 70.5, textHeight, layout::arial(10, true), Right, Value},
    {"ADDRESS", Field, 4.0, 7.1, 86.3 - 4.0, textHeight, {}, Left, TextColumn},
    {"POSTALCODE", Field, 4.0, 11.6, 23.0 - 0.5 - 4.0, textHeight, {}, Left, TextColumn},
    {"POSTALADDRESS", Field, 23.0, 11.6, 86.3 - 23.0, textHeight, {}, Left, TextColumn},
};

constexpr Element customerPhones[] = {
    {"qrlPhone", Label, 4.0, 0.0, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrptCustomer", "Phone:")},
    {"PHONE1", Field, 19.1, 0.0, 53.2 - 0.5 - 19.1, textHeight, {}, Left, TextColumn},
    {"PHONE2", Field, 53.2, 0.0, 86.3 - 53.2, textHeight, {}, Left, TextColumn},
};

constexpr Element customerEmail[] = {
    {"qrlEmail", Label, 4.0, 0.0, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrptCustomer", "e-mail:")},
    {"EMAIL", Field, 19.1, 0.0, 86.3 - 19.1, textHeight, {}, Left, TextColumn},
};

constexpr Element customerStatus[] = {
    {"qrlStatus", Label, 4.0, 0.0, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrptCustomer", "Status:")},
    {"STATUS", Field, 19.1, 0.0, 86.3 - 19.1, textHeight, {}, Left, TextColumn},
};

// A card: name and number, the address, then a line each for the phones, the e-mail and the status.
constexpr layout::Band customerBands[] = {
    {"PageHeaderBand1", BandType::PageHeader, 10.6, customerHeader, 0, report::SideBottom},
    {"DetailBand1", BandType::Detail, 16.4, customerCard, layout::KeepTogether},
    {"ChildBand1", BandType::Child, 4.8, customerPhones},
    {"ChildBand2", BandType::Child, 4.8, customerEmail},
    {"ChildBand3", BandType::Child, 4.8, customerStatus},
    cardsFooter,
};

} // namespace

const layout::Layout &customerCardsLayout()
{
    static constexpr layout::Layout cards{customerBands, "TrptCustomer"};
    return cards;
}

// ---------------------------------------------------------------------------------------------------------

TrptItems::TrptItems(db::Connection *connection) : tblItems(connection, QStringLiteral("tblItems"))
{
    const QString DYNAITEM = QStringLiteral("DYNAITEM");
    tblItems.setCommandText(QStringLiteral("select * from DYNAITEM order by ITEM_NO"));
    tblItems.setReadOnly(true);
    for (const Schema::Column &c : Schema::table(DYNAITEM).columns)
        tblItems.addField(Schema::fieldDef(DYNAITEM, QLatin1String(c.name)));
    tblItems.fieldByName(QStringLiteral("VAT")).setDisplayFormat(QStringLiteral("#%"));
    FieldDef gross = calculated(QStringLiteral("GROSSPRICE"), FieldType::Double);
    gross.currency = true;
    tblItems.addField(gross);
    // Unrounded from the exact net price; only its printed form has two decimals.
    const db::Field *vat = &tblItems.fieldByName(QStringLiteral("VAT"));
    const db::Field *netPrice = &tblItems.fieldByName(QStringLiteral("NETPRICE"));
    db::Field *grossPrice = &tblItems.fieldByName(QStringLiteral("GROSSPRICE"));
    tblItems.onCalcFields = [vat, netPrice, grossPrice](db::DataSet &) {
        const double net = netPrice->asMoney().toDouble();
        const double rate = vat->isNull() ? 0.0 : vat->asFloat();
        const double gross = net + net * rate / 100.0;
        grossPrice->setValue(std::isfinite(gross) ? gross : net);
    };

    report::Report &r = qrList;
    setListPage(r, 12.7, 12.7, 12.7, 12.7);
    r.title = tr("Items");
    r.dataSet = &tblItems;

    layout::buildLayout(r, itemCatalogueLayout());

    tblItems.open();
}

namespace {

constexpr Element itemsHeader[] = {
    {"qrlTitle", Label, 1.1, 1.3, 0, 6.4, layout::arial(14), Left, Caption,
     QT_TRANSLATE_NOOP("TrptItems", "Invoiceitems report")},
};

constexpr Element itemsColumns[] = {
    {"qrlItemNo", Label, 1.3, 3.7, 0, textHeight, {}, Left, Caption, QT_TRANSLATE_NOOP("TrptItems", "Item #")},
    {"qrlDescription",
     Label,
     25.4,
     4.2,
     0,
     textHeight,
     {},
     Left,
     Caption,
     QT_TRANSLATE_NOOP("TrptItems", "Description")},
    {"qrlNetPrice", Label, 140.0, 4.2, 0, textHeight, {}, Right, Caption, QT_TRANSLATE_NOOP("TrptItems", "Net price")},
    {"qrlVat", Label, 157.7, 4.2, 0, textHeight, {}, Right, Caption, QT_TRANSLATE_NOOP("TrptItems", "VAT")},
    {"qrlGrossPrice",
     Label,
     181.2,
     4.2,
     0,
     textHeight,
     {},
     Right,
     Caption,
     QT_TRANSLATE_NOOP("TrptItems", "Gross price")},
};

constexpr Element itemsRow[] = {
    {"ITEM_NO", Field, 1.3, 0.0, 24.9 - 0.5 - 1.3, textHeight, {}, Left, TextColumn},
    {"ITEM_DESC", Field, 24.9, 0.0, 118.0 - 24.9, textHeight, {}, Left, TextColumn},
    {"NETPRICE", Field, 140.0 - (140.0 - 118.5), 0.0, 140.0 - 118.5, textHeight, {}, Right, Value},
    {"VAT", Field, 158.0 - (158.0 - 140.5), 0.0, 158.0 - 140.5, textHeight, {}, Right, Value},
    {"GROSSPRICE", Field, 181.5 - (181.5 - 158.5), 0.0, 181.5 - 158.5, textHeight, {}, Right, Value},
};

constexpr layout::Band itemsBands[] = {
    {"PageHeaderBand1", BandType::PageHeader, 10.6, itemsHeader},
    {"ColumnHeaderBand1", BandType::ColumnHeader, 8.7, itemsColumns, 0, report::SideBottom},
    {"DetailBand1", BandType::Detail, 4.8, itemsRow},
    cardsFooter,
};

} // namespace

const layout::Layout &itemCatalogueLayout()
{
    static constexpr layout::Layout items{itemsBands, "TrptItems"};
    return items;
}
