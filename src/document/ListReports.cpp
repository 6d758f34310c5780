#include "ListReports.h"

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
using report::Alignment;
using report::Band;
using report::BandType;
using report::DBText;
using report::Label;

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

void setFont(report::TextElement &e, double points, bool bold = false)
{
    e.font = report::reportFont(QStringLiteral("Arial"), points, bold);
}

// A caption growing to the right from its left edge.
Label &caption(Band &band, const QString &name, double left, double top, const QString &text)
{
    Label &l = band.addLabel(name, left, top, 0, textHeight, text);
    l.autoSize = true;
    l.transparent = true;
    return l;
}

// A caption ending at `right`.
Label &captionRight(Band &band, const QString &name, double right, double top, const QString &text)
{
    Label &l = band.addLabel(name, right, top, 0, textHeight, text);
    l.autoSize = true;
    l.alignment = Alignment::Right;
    l.transparent = true;
    return l;
}

// A text column from `left` to `right`: a longer text is cut off where the next column starts.
DBText &textField(Band &band, db::DataSet &ds, const QString &field, double left, double top, double right)
{
    auto &t = band.add<DBText>(field, &ds, field);
    t.setGeometry(left, top, right - left, textHeight);
    t.cutOff = true;
    t.transparent = true;
    return t;
}

// A number or date in its column from `left` to `right`: printed whole, in a smaller size where a long
// date format or a large number needs it.
DBText &valueField(Band &band, db::DataSet &ds, const QString &field, double left, double top, double right)
{
    auto &t = band.add<DBText>(field, &ds, field);
    t.setGeometry(left, top, right - left, textHeight);
    t.wordWrap = false;
    t.shrinkToFit = true;
    t.transparent = true;
    return t;
}

// An amount ending at `right` in a column `width` wide, printed whole like a value.
DBText &amountField(Band &band, db::DataSet &ds, const QString &name, const QString &field, double right, double top,
                    double width)
{
    auto &t = band.add<DBText>(name, &ds, field);
    t.setGeometry(right - width, top, width, textHeight);
    t.alignment = Alignment::Right;
    t.wordWrap = false;
    t.shrinkToFit = true;
    t.transparent = true;
    return t;
}

void pageNumberFooter(report::Report &r, double height, double left, double top, double width)
{
    Band &footer = r.addBand(QStringLiteral("PageFooterBand1"), BandType::PageFooter, height);
    footer.frameSides = report::SideTop;
    auto &number = footer.add<report::SysData>(QStringLiteral("qrsPageNumber"), report::SysData::Data::PageNumber);
    number.setGeometry(left, top, width, textHeight);
    number.alignment = Alignment::Center;
    number.transparent = true;
}

// The company block: the business's name and address, one line per line, wrapping at the band's edge.
report::Memo &companyBlock(Band &band, double bandWidth)
{
    report::Memo &m = band.addMemo(QStringLiteral("qrmCompany"), 144.7, 0.3, bandWidth - 144.7, 19.1);
    m.autoStretch = true;
    m.transparent = true;
    return m;
}

void setListPage(report::Report &r, double top, double bottom, double left, double right)
{
    // A4, Arial 10 pt, page header on the first page and footer on the last are a report's defaults.
    r.margins = QMarginsF(left, top, right, bottom);
    r.rtfExport = true;
}

// The customer's name as the lists print it: first name, a blank, surname.
const QString nameColumn = QStringLiteral("ifnull(FIRSTNAME, '') || ' ' || ifnull(SURNAME, '') as NAME");

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
    const double width = 188.4;

    Band &header = r.addBand(QStringLiteral("PageHeaderBand1"), BandType::PageHeader, 17.5);
    auto &title = header.add<report::SysData>(QStringLiteral("qrsTitle"), report::SysData::Data::ReportTitle);
    title.setGeometry(0.0, 0.0, 27.8, 6.4);
    title.autoSize = true;
    title.transparent = true;
    setFont(title, 14);
    companyBlock(header, width);
    captionRight(header, QStringLiteral("qrlFromDate"), 4.2 + 16.9, 8.2, tr("From date:"));
    caption(header, QStringLiteral("qrlStartDate"), 22.5, 8.2, QString());

    Band &columns = r.addBand(QStringLiteral("ColumnHeaderBand1"), BandType::ColumnHeader, 10.6);
    columns.frameSides = report::SideBottom;
    caption(columns, QStringLiteral("qrlInvoiceNo"), 0.5, 4.2, tr("Invoice #"));
    caption(columns, QStringLiteral("qrlCustNo"), 15.6, 4.2, tr("Cust #"));
    caption(columns, QStringLiteral("qrlName"), 29.4, 4.2, tr("Name"));
    caption(columns, QStringLiteral("qrlDate"), 76.7, 4.2, tr("Date"));
    caption(columns, QStringLiteral("qrlPrinted"), 97.9, 4.2, tr("Printed"));
    caption(columns, QStringLiteral("qrlDue"), 119.1, 4.2, tr("Due"));
    caption(columns, QStringLiteral("qrlPaid"), 140.2, 4.2, tr("Paid"));
    captionRight(columns, QStringLiteral("qrlGrossSum"), 167.7 + 18.5, 4.2, tr("Gross sum"));

    Band &detail = r.addBand(QStringLiteral("DetailBand1"), BandType::Detail, 5.6);
    valueField(detail, qryInvList, QStringLiteral("INVOICE_NO"), 0.3, 0.5, 16.1 - 0.5);
    valueField(detail, qryInvList, QStringLiteral("CUST_NO"), 16.1, 0.5, 29.6 - 0.5);
    textField(detail, qryInvList, QStringLiteral("NAME"), 29.6, 0.5, 76.7 - 1.0);
    valueField(detail, qryInvList, QStringLiteral("INVDATE"), 76.7, 0.5, 97.9 - 0.5);
    valueField(detail, qryInvList, QStringLiteral("PRINTDATE"), 97.9, 0.5, 119.1 - 0.5);
    valueField(detail, qryInvList, QStringLiteral("DUEDATE"), 119.1, 0.5, 140.2 - 0.5);
    valueField(detail, qryInvList, QStringLiteral("PAIDDATE"), 140.2, 0.5, 161.3 - 0.5);
    amountField(detail, qryInvList, QStringLiteral("GROSSSUM"), QStringLiteral("GROSSSUM"), 168.3 + 18.5, 0.5,
                186.8 - 161.3);

    pageNumberFooter(r, 7.4, 85.2, 1.3, 12.2);
}

void TrepInvoiceList::SetStartDate(const QDate &day)
{
    FStartDate = day;
    qrList.element<Label>(QStringLiteral("qrlStartDate")).caption = Format::dateText(day);
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
    const QString name = nameColumn + QStringLiteral(", ");
    qryInvMaster.setCommandText(
        QStringLiteral("select INV_ID, INV_TYPE, INVOICE_NO, 1 as INVACTION, INVDATE as TRANSDATE,\r\n"
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
                       "order by TRANSDATE, INVACTION, INVOICE_NO, INV_ID"));
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
    const double width = 188.4;

    Band &header = r.addBand(QStringLiteral("PageHeaderBand1"), BandType::PageHeader, 19.3);
    Label &title = caption(header, QStringLiteral("qrlTitle"), 0.3, 0.3, tr("Transaction report"));
    setFont(title, 16);
    title.height = 7.1;
    companyBlock(header, width);
    captionRight(header, QStringLiteral("qrlFromDate"), 21.2, 8.2, tr("From date:"));
    caption(header, QStringLiteral("qrlStartDate"), 22.5, 8.2, QString());
    captionRight(header, QStringLiteral("qrlToDate"), 21.2, 12.4, tr("To date:"));
    caption(header, QStringLiteral("qrlEndDate"), 22.5, 12.4, QString());

    Band &columns = r.addBand(QStringLiteral("ColumnHeaderBand1"), BandType::ColumnHeader, 10.6);
    columns.frameSides = report::SideBottom;
    caption(columns, QStringLiteral("qrlDate"), 2.1, 4.2, tr("Date"));
    caption(columns, QStringLiteral("qrlEvent"), 20.1, 4.2, tr("Event"));
    caption(columns, QStringLiteral("qrlType"), 37.0, 4.2, tr("Type"));
    caption(columns, QStringLiteral("qrlInvoiceNo"), 57.7, 4.2, tr("Invoice #"));
    caption(columns, QStringLiteral("qrlCustNo"), 73.6, 4.2, tr("Cust #"));
    caption(columns, QStringLiteral("qrlName"), 87.3, 4.2, tr("Name"));
    captionRight(columns, QStringLiteral("qrlNetSum"), 145.0, 4.2, tr("Net sum"));
    captionRight(columns, QStringLiteral("qrlVat"), 163.8, 4.2, tr("VAT"));
    captionRight(columns, QStringLiteral("qrlGrossSum"), 186.3, 4.2, tr("Gross sum"));

    // Each transaction: its line, for an issue the due date and totals below it, then the invoice's lines.
    Band &transaction = r.addBand(QStringLiteral("DetailBand1"), BandType::Detail, 6.9);
    transaction.font = report::reportFont(QStringLiteral("Arial"), 10, true);
    transaction.keepTogether = true;
    valueField(transaction, qryInvMaster, QStringLiteral("TRANSDATE"), 1.1, 2.1, 20.1 - 0.5);
    textField(transaction, qryInvMaster, QStringLiteral("InvoiceAction"), 20.1, 2.1, 37.0 - 0.5);
    textField(transaction, qryInvMaster, QStringLiteral("InvoiceType"), 37.0, 2.1, 57.4 - 0.5);
    valueField(transaction, qryInvMaster, QStringLiteral("INVOICE_NO"), 57.4, 2.1, 73.3 - 0.5);
    valueField(transaction, qryInvMaster, QStringLiteral("CUST_NO"), 73.3, 2.1, 87.3 - 0.5);
    textField(transaction, qryInvMaster, QStringLiteral("NAME"), 87.3, 2.1, 128.0);
    DBText &paid = amountField(transaction, qryInvMaster, QStringLiteral("qrdPaid"), QStringLiteral("SUMTOTAL"), 186.8,
                               2.1, 186.8 - 128.5);

    Band &issue = r.addChildBand(QStringLiteral("ChildBand1"), transaction, 4.8);
    issue.font = transaction.font;
    caption(issue, QStringLiteral("qrlDueDate"), 20.1, -0.3, tr("Due date:"));
    valueField(issue, qryInvMaster, QStringLiteral("DUEDATE"), 37.0, -0.3, 57.4 - 0.5);
    amountField(issue, qryInvMaster, QStringLiteral("qrdNetSum"), QStringLiteral("NETSUM"), 145.0, 0.0, 145.0 - 127.2);
    amountField(issue, qryInvMaster, QStringLiteral("qrdVat"), QStringLiteral("SUMVAT"), 164.3, 0.0, 164.3 - 145.5);
    amountField(issue, qryInvMaster, QStringLiteral("qrdGrossSum"), QStringLiteral("SUMTOTAL"), 186.8, 0.0,
                186.8 - 164.8);

    Band &lines = r.addBand(QStringLiteral("SubDetail1"), BandType::SubDetail, 4.8);
    lines.dataSet = &qryItems;
    textField(lines, qryItems, QStringLiteral("ITEM_NO"), 36.8, 0.3, 57.9 - 0.5);
    textField(lines, qryItems, QStringLiteral("ITEM_DESC"), 57.9, 0.3, 57.9 + 68.8);
    amountField(lines, qryItems, QStringLiteral("qrdItemNetSum"), QStringLiteral("NETSUM"), 145.0, 0.3, 145.0 - 127.2);
    amountField(lines, qryItems, QStringLiteral("qrdItemVat"), QStringLiteral("SUMVAT"), 164.6, 0.3, 164.6 - 145.5);
    amountField(lines, qryItems, QStringLiteral("qrdItemGross"), QStringLiteral("GROSSUM"), 186.5, 0.3, 186.5 - 165.1);

    pageNumberFooter(r, 7.4, 85.2, 1.3, 12.2);

    // An issue shows its amounts on the line below and its invoice's lines; a payment the amount paid.
    const db::Field *invoiceId = &qryInvMaster.fieldByName(QStringLiteral("INV_ID"));
    DBText *paidAmount = &paid;
    transaction.beforePrint = [this, actionCode, invoiceId, paidAmount](Band &, bool &) {
        const bool isIssue = actionCode->asInteger() == 1;
        paidAmount->enabled = !isIssue;
        if (isIssue) {
            qryItems.close();
            qryItems.setParam(QStringLiteral("INV_ID"), invoiceId->value());
            qryItems.open();
        }
    };
    const auto onlyForIssues = [actionCode](Band &, bool &print) { print = actionCode->asInteger() == 1; };
    issue.beforePrint = onlyForIssues;
    lines.beforePrint = onlyForIssues;
}

void TrepTransactionList::SetStartDate(const QDate &day)
{
    qrList.element<Label>(QStringLiteral("qrlStartDate")).caption = Format::dateText(day);
    qryInvMaster.setParam(QStringLiteral("STARTDATE1"), wallClock(day));
    qryInvMaster.setParam(QStringLiteral("STARTDATE2"), wallClock(day));
}

// The end day is included whole, also for a payment recorded with its time of day.
void TrepTransactionList::SetEndDate(const QDate &day)
{
    qrList.element<Label>(QStringLiteral("qrlEndDate")).caption = Format::dateText(day);
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

    Band &header = r.addBand(QStringLiteral("PageHeaderBand1"), BandType::PageHeader, 10.6);
    header.frameSides = report::SideBottom;
    Label &title = caption(header, QStringLiteral("qrlTitle"), 1.1, 1.3, tr("Customer report"));
    setFont(title, 14);
    title.height = 6.4;

    Band &card = r.addBand(QStringLiteral("DetailBand1"), BandType::Detail, 16.4);
    card.keepTogether = true;
    DBText &name = textField(card, tblCust, QStringLiteral("NAME"), 4.0, 2.4, 70.0);
    setFont(name, 10, true);
    DBText &number =
        amountField(card, tblCust, QStringLiteral("CUST_NO"), QStringLiteral("CUST_NO"), 86.3, 2.4, 86.3 - 70.5);
    setFont(number, 10, true);
    textField(card, tblCust, QStringLiteral("ADDRESS"), 4.0, 7.1, 86.3);
    textField(card, tblCust, QStringLiteral("POSTALCODE"), 4.0, 11.6, 23.0 - 0.5);
    textField(card, tblCust, QStringLiteral("POSTALADDRESS"), 23.0, 11.6, 86.3);

    Band &phone = r.addChildBand(QStringLiteral("ChildBand1"), card, 4.8);
    caption(phone, QStringLiteral("qrlPhone"), 4.0, 0.0, tr("Phone:"));
    textField(phone, tblCust, QStringLiteral("PHONE1"), 19.1, 0.0, 53.2 - 0.5);
    textField(phone, tblCust, QStringLiteral("PHONE2"), 53.2, 0.0, 86.3);
    Band &email = r.addChildBand(QStringLiteral("ChildBand2"), phone, 4.8);
    caption(email, QStringLiteral("qrlEmail"), 4.0, 0.0, tr("e-mail:"));
    textField(email, tblCust, QStringLiteral("EMAIL"), 19.1, 0.0, 86.3);
    Band &status = r.addChildBand(QStringLiteral("ChildBand3"), email, 4.8);
    caption(status, QStringLiteral("qrlStatus"), 4.0, 0.0, tr("Status:"));
    textField(status, tblCust, QStringLiteral("STATUS"), 19.1, 0.0, 86.3);

    // Each line below the address is there when it has something to say.
    const auto printedWhenSet = [this](std::initializer_list<const char *> fields) {
        std::vector<db::Field *> watched;
        for (const char *f : fields)
            watched.push_back(&tblCust.fieldByName(QLatin1String(f)));
        return [watched](Band &, bool &print) {
            print = std::any_of(watched.begin(), watched.end(), [](db::Field *f) { return !f->asString().isEmpty(); });
        };
    };
    phone.beforePrint = printedWhenSet({"PHONE1", "PHONE2"});
    email.beforePrint = printedWhenSet({"EMAIL"});
    status.beforePrint = printedWhenSet({"STATUS"});

    pageNumberFooter(r, 5.8, 86.3, 0.8, 12.2);

    tblCust.open();
    // By surname, then first name, in the order of the user's language (Æ, Ø, Å after Z in Norwegian).
    tblCust.sort(QStringLiteral("FIRSTNAME"));
    tblCust.sort(QStringLiteral("SURNAME"));
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

    Band &header = r.addBand(QStringLiteral("PageHeaderBand1"), BandType::PageHeader, 10.6);
    Label &title = caption(header, QStringLiteral("qrlTitle"), 1.1, 1.3, tr("Invoiceitems report"));
    setFont(title, 14);
    title.height = 6.4;

    Band &columns = r.addBand(QStringLiteral("ColumnHeaderBand1"), BandType::ColumnHeader, 8.7);
    columns.frameSides = report::SideBottom;
    caption(columns, QStringLiteral("qrlItemNo"), 1.3, 3.7, tr("Item #"));
    caption(columns, QStringLiteral("qrlDescription"), 25.4, 4.2, tr("Description"));
    captionRight(columns, QStringLiteral("qrlNetPrice"), 140.0, 4.2, tr("Net price"));
    captionRight(columns, QStringLiteral("qrlVat"), 157.7, 4.2, tr("VAT"));
    captionRight(columns, QStringLiteral("qrlGrossPrice"), 181.2, 4.2, tr("Gross price"));

    Band &item = r.addBand(QStringLiteral("DetailBand1"), BandType::Detail, 4.8);
    textField(item, tblItems, QStringLiteral("ITEM_NO"), 1.3, 0.0, 24.9 - 0.5);
    textField(item, tblItems, QStringLiteral("ITEM_DESC"), 24.9, 0.0, 118.0);
    amountField(item, tblItems, QStringLiteral("NETPRICE"), QStringLiteral("NETPRICE"), 140.0, 0.0, 140.0 - 118.5);
    amountField(item, tblItems, QStringLiteral("VAT"), QStringLiteral("VAT"), 158.0, 0.0, 158.0 - 140.5);
    amountField(item, tblItems, QStringLiteral("GROSSPRICE"), QStringLiteral("GROSSPRICE"), 181.5, 0.0, 181.5 - 158.5);

    pageNumberFooter(r, 5.8, 86.3, 0.8, 12.2);

    tblItems.open();
}
