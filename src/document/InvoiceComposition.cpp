#include "InvoiceComposition.h"

#include "InvoiceTable.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/InvoiceKinds.h"
#include "data/LineAmounts.h"
#include "data/dInvoice.h"
#include "data/dTemp.h"
#include "qGiroF60.h"

#include <QCoreApplication>
#include <QLocale>

#include <optional>

namespace {

// The stored value of a field of the current row that could not be read; none when it was read.
std::optional<db::UnreadableValue> unreadableValue(const db::DataSet &ds, const char *field)
{
    for (const db::UnreadableValue &v : ds.unreadableValues())
        if (v.field.compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

QString cannotBeRead(const QString &what, const QString &stored)
{
    return QCoreApplication::translate("InvoiceComposition", "%1 \"%2\" cannot be read").arg(what, stored);
}

// Why a field of the current row shows nothing: its stored value cannot be read, or there is none. Empty
// when the field has a value.
QString whyEmpty(const db::DataSet &ds, const char *field, const QString &what)
{
    if (!ds.fieldByName(QLatin1String(field)).isNull())
        return QString();
    if (const auto v = unreadableValue(ds, field))
        return cannotBeRead(what, v->stored);
    return QCoreApplication::translate("InvoiceComposition", "%1 is missing").arg(what);
}

// A column of the invoice, its customer or its lines named in words for a message.
QString inWords(const QString &field)
{
    static const std::pair<const char *, const char *> words[] = {
        {"CUST_NO", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer number")},
        {"FIRSTNAME", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's first name")},
        {"SURNAME", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's surname")},
        {"ADDRESS", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's address")},
        {"POSTALCODE", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's postcode")},
        {"POSTALADDRESS", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's postal address")},
        {"EMAIL", QT_TRANSLATE_NOOP("InvoiceComposition", "the customer's e-mail address")},
        {"PAIDDATE", QT_TRANSLATE_NOOP("InvoiceComposition", "the paid date")},
        {"PRINTDATE", QT_TRANSLATE_NOOP("InvoiceComposition", "the print date")},
        {"SUMPAID", QT_TRANSLATE_NOOP("InvoiceComposition", "the sum paid")},
        {"ORDER_NO", QT_TRANSLATE_NOOP("InvoiceComposition", "the order number")},
        {"OURREF", QT_TRANSLATE_NOOP("InvoiceComposition", "our reference")},
        {"YOURREF", QT_TRANSLATE_NOOP("InvoiceComposition", "your reference")},
        {"INV_TYPE", QT_TRANSLATE_NOOP("InvoiceComposition", "the invoice type")},
        {"INV_NOTE", QT_TRANSLATE_NOOP("InvoiceComposition", "the invoice notice")},
        {"ITEM_NO", QT_TRANSLATE_NOOP("InvoiceComposition", "the item code")},
        {"ITEM_DESC", QT_TRANSLATE_NOOP("InvoiceComposition", "the description")},
        {"DISCOUNT", QT_TRANSLATE_NOOP("InvoiceComposition", "the discount")},
        {"GROSSPRICE", QT_TRANSLATE_NOOP("InvoiceComposition", "the gross price")},
        {"NETSUM", QT_TRANSLATE_NOOP("InvoiceComposition", "the net sum")},
        {"SUMVAT", QT_TRANSLATE_NOOP("InvoiceComposition", "the VAT")},
        {"GROSSUM", QT_TRANSLATE_NOOP("InvoiceComposition", "the gross sum")}};
    for (const auto &[name, text] : words)
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QCoreApplication::translate("InvoiceComposition", text);
    return field;
}

// The other values of the current row that cannot be read, in words; those in `told` are told already.
QStringList otherUnreadable(const db::DataSet &ds, const QStringList &told)
{
    QStringList found;
    for (const db::UnreadableValue &v : ds.unreadableValues())
        if (!told.contains(v.field, Qt::CaseInsensitive))
            found << cannotBeRead(inWords(v.field), v.stored);
    return found;
}

// What an invoice cannot be printed without: its number, date, customer and amounts. A problem with
// anything else is a gap the document is printed with.
QStringList missingFacts(TdmTemp &temp)
{
    const db::DataSet &invoice = temp.qryInvoice;
    QStringList missing;
    const std::pair<const char *, QString> facts[] = {
        {"INVOICE_NO", QCoreApplication::translate("InvoiceComposition", "the invoice number")},
        {"INVDATE", QCoreApplication::translate("InvoiceComposition", "the invoice date")},
        {"CUST_ID", QCoreApplication::translate("InvoiceComposition", "the customer")},
        {"GROSSSUM", QCoreApplication::translate("InvoiceComposition", "the total")},
        {"SUMVAT", QCoreApplication::translate("InvoiceComposition", "the VAT")}};
    for (const auto &[field, what] : facts)
        if (const QString why = whyEmpty(invoice, field, what); !why.isEmpty())
            missing << why;
    const db::Field &customerId = invoice.fieldByName(QStringLiteral("CUST_ID"));
    if (!customerId.isNull() && temp.qryCustomer.isEmpty())
        missing << QCoreApplication::translate("InvoiceComposition", "the customer %1 does not exist")
                       .arg(customerId.asInteger());
    return missing;
}

QString textOf(const db::DataSet &ds, const char *field)
{
    const db::Field &f = ds.fieldByName(QLatin1String(field));
    if (f.isNull())
        return QString();
    if (f.type() == db::FieldType::DateTime)
        return Format::dateText(f.asDateTime());
    return f.asString();
}

// A quantity in its shortest general form: up to 15 significant digits, no thousands separators.
QString quantityText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

// The unreadable values of the invoice and its customer, and why the due date is empty: the document is
// printed without them.
QStringList headerGaps(const TdmTemp &temp)
{
    QStringList gaps = otherUnreadable(temp.qryInvoice, {QStringLiteral("DUEDATE")});
    if (const QString why =
            whyEmpty(temp.qryInvoice, "DUEDATE", QCoreApplication::translate("InvoiceComposition", "the due date"));
        !why.isEmpty())
        gaps << why;
    gaps << otherUnreadable(temp.qryCustomer, {});
    return gaps;
}

QString customerAddress(const db::DataSet &customer)
{
    return textOf(customer, "FIRSTNAME") + QLatin1Char(' ') + textOf(customer, "SURNAME") + QLatin1Char('\n') +
           textOf(customer, "ADDRESS") + QLatin1Char('\n') + textOf(customer, "POSTALCODE") + QLatin1Char(' ') +
           textOf(customer, "POSTALADDRESS");
}

// The label|value lines of the invoice's details; the order number and the references only when given.
QString invoiceDetails(const db::DataSet &invoice, const db::DataSet &customer)
{
    QStringList details = {QStringLiteral("Kundenr|") + textOf(customer, "CUST_NO"),
                           QStringLiteral("Fakturanr|") + textOf(invoice, "INVOICE_NO")};
    if (!textOf(invoice, "ORDER_NO").isEmpty())
        details << QStringLiteral("Ordrenr.|") + textOf(invoice, "ORDER_NO");
    details << QStringLiteral("Fakturadato|") + textOf(invoice, "INVDATE")
            << QStringLiteral("Forfallsdato|") + textOf(invoice, "DUEDATE");
    if (!textOf(invoice, "OURREF").isEmpty())
        details << QStringLiteral("Vår ref.|") + textOf(invoice, "OURREF");
    if (!textOf(invoice, "YOURREF").isEmpty())
        details << QStringLiteral("Deres ref.|") + textOf(invoice, "YOURREF");
    return details.join(QLatin1Char('\n'));
}

// The addresses, the details and the slip's payment fields.
void setParties(TfrmGiroF60 &giro, const db::DataSet &invoice, const db::DataSet &customer, const TDBSettings &settings)
{
    giro.SetCompanyAddress(settings.GetSetting(QStringLiteral("NAMECOMPADDR")));
    giro.SetCompanyDetails(settings.GetSetting(QStringLiteral("COMPDETAIL")));
    giro.SetCustomerAddress(customerAddress(customer));
    giro.SetInvoiceDetails(invoiceDetails(invoice, customer));
    giro.SetPaymentInfo(QStringLiteral("Kundenr:   ") + textOf(customer, "CUST_NO") + QLatin1Char('\n') +
                        QStringLiteral("Fakturanr: ") + textOf(invoice, "INVOICE_NO"));
    giro.SetBankAccount(settings.GetSetting(QStringLiteral("BANKACCNO")));
    giro.SetKID(textOf(invoice, "KID"));
    const db::Field &due = invoice.fieldByName(QStringLiteral("DUEDATE"));
    giro.SetDueDate(due.isNull() ? QDateTime() : due.asDateTime());
}

// What the current line is printed without, each as "line n: ...".
QStringList lineGaps(const db::DataSet &items, int lineNumber)
{
    const std::pair<const char *, QString> lineFacts[] = {
        {"NUM", QCoreApplication::translate("InvoiceComposition", "the quantity")},
        {"NETPRICE", QCoreApplication::translate("InvoiceComposition", "the price")},
        {"VAT", QCoreApplication::translate("InvoiceComposition", "the VAT")}};
    QStringList gaps =
        otherUnreadable(items, {QStringLiteral("NUM"), QStringLiteral("NETPRICE"), QStringLiteral("VAT")});
    for (const auto &[field, what] : lineFacts)
        if (const QString why = whyEmpty(items, field, what); !why.isEmpty())
            gaps << why;
    for (QString &gap : gaps)
        gap = QCoreApplication::translate("InvoiceComposition", "line %1: %2").arg(lineNumber).arg(gap);
    return gaps;
}

struct LineTotals {
    InvoiceTotals totals;
    // A line without its quantity, price or discount has no net amount to print, and nor have the lines
    // together; the stored VAT and total still print.
    bool netKnown = true;
};

// A row per line of the invoice; what a line lacks goes to `gaps`.
LineTotals addLineRows(TfrmGiroF60 &giro, db::DataSet &items, QStringList &gaps)
{
    using namespace InvoiceTable;
    LineTotals result;
    const db::Field &num = items.fieldByName(QStringLiteral("NUM"));
    const db::Field &price = items.fieldByName(QStringLiteral("NETPRICE"));
    const db::Field &discount = items.fieldByName(QStringLiteral("DISCOUNT"));
    const db::Field &vat = items.fieldByName(QStringLiteral("VAT"));
    int lineNumber = 0;
    for (items.first(); !items.eof(); items.next()) {
        gaps << lineGaps(items, ++lineNumber);
        const LineAmounts line = lineAmounts(num.asFloat(), price.asMoney(), vat.asFloat(), discount.asFloat());
        const bool lineNetKnown = !num.isNull() && !price.isNull() && !unreadableValue(items, "DISCOUNT");
        result.netKnown = result.netKnown && lineNetKnown;
        Row row;
        row[ItemNo] = textOf(items, "ITEM_NO");
        row[Description] = textOf(items, "ITEM_DESC");
        row[Quantity] = num.isNull() ? QString() : quantityText(num.asFloat());
        row[Price] = price.isNull() ? QString() : Format::moneyText(price.asMoney());
        row[Discount] =
            discount.asFloat() > 0 ? Format::numberText(discount.asFloat(), QStringLiteral("0.#%")) : QString();
        row[Vat] = vat.isNull() ? QString() : Format::numberText(vat.asFloat(), QStringLiteral("0.#%"));
        row[Net] = lineNetKnown ? Format::moneyText(money(line.netSum)) : QString();
        giro.AddRow(rowText(row));
        result.totals.add(line);
    }
    return result;
}

// After an empty row: the net sum of the lines, the stored VAT and the stored total.
void addTotalRows(TfrmGiroF60 &giro, const db::DataSet &invoice, const LineTotals &lines)
{
    using InvoiceTable::totalRowText;
    giro.AddRow(QString());
    giro.AddRow(
        totalRowText(QStringLiteral("Nettosalg:"), lines.netKnown ? Format::moneyText(lines.totals.net) : QString()));
    giro.AddRow(totalRowText(QStringLiteral("MVA:"),
                             Format::moneyText(invoice.fieldByName(QStringLiteral("SUMVAT")).asMoney())));
    giro.AddRow(totalRowText(QStringLiteral("Total:"),
                             Format::moneyText(invoice.fieldByName(QStringLiteral("GROSSSUM")).asMoney())));
}

// The title by the invoice's kind; a credit note asks for no payment on its slip.
void setKind(TfrmGiroF60 &giro, const db::DataSet &invoice)
{
    const QString kind = textOf(invoice, "INV_TYPE").left(1);
    giro.SetTitle(InvoiceDocumentTitle(kind));
    giro.qrGiro.documentName = InvoiceDocumentTitle(kind) + QLatin1Char(' ') + textOf(invoice, "INVOICE_NO");
    if (kind == QLatin1String("C")) {
        giro.SetBankAccount(QStringLiteral("KREDITTNOTA - INGEN BETALING"));
        giro.SetKID(QStringLiteral("KREDITTNOTA-INGEN BETALING"));
        giro.SetPaymentInfo(QStringLiteral("Fakturanr: ") + textOf(invoice, "INVOICE_NO") +
                            QStringLiteral("\nKREDITTNOTA-INGEN BETALING"));
    }
}

void composeInvoice(qint64 invoiceId, TdmTemp &temp, TfrmGiroF60 &giro)
{
    QStringList gaps = headerGaps(temp);
    const db::DataSet &invoice = temp.qryInvoice;
    const TDBSettings &settings = dmInvoice->DBSettings;

    giro.setInvoiceId(invoiceId);
    setParties(giro, invoice, temp.qryCustomer, settings);
    InvoiceTable::addColumns(giro);
    const LineTotals lines = addLineRows(giro, temp.qryInvoiceItems, gaps);
    addTotalRows(giro, invoice, lines);
    giro.SetAmount(invoice.fieldByName(QStringLiteral("GROSSSUM")).asMoney());
    giro.SetOptionalInformation(textOf(invoice, "INV_NOTE"));
    setKind(giro, invoice);
    giro.setPrePrinted(settings.GetSetting(QStringLiteral("PREPRINTED")) == QLatin1String("1"));
    if (!gaps.isEmpty())
        messageDialog(MsgType::Warning, QCoreApplication::translate("InvoiceComposition",
                                                                    "Invoice %1 is printed without these values: %2")
                                            .arg(textOf(invoice, "INVOICE_NO"), gaps.join(QLatin1String("; "))));
}

} // namespace

bool ComposeInvoiceDocument(qint64 invoiceId, TfrmGiroF60 &giro)
{
    TdmTemp &temp = dmTemp();
    if (!temp.OpenInvoice(invoiceId))
        return false;
    if (const QStringList missing = missingFacts(temp); !missing.isEmpty())
        throw Error(QCoreApplication::translate("InvoiceComposition", "The invoice with id %1 cannot be printed: %2")
                        .arg(invoiceId)
                        .arg(missing.join(QLatin1String("; "))));
    try {
        composeInvoice(invoiceId, temp, giro);
    } catch (const Error &e) {
        throw Error(QCoreApplication::translate("InvoiceComposition", "The invoice with id %1 cannot be printed: %2")
                        .arg(invoiceId)
                        .arg(e.message()));
    }
    return true;
}

bool ExportInvoicePdf(qint64 invoiceId, const QString &path)
{
    TfrmGiroF60 giro;
    if (!ComposeInvoiceDocument(invoiceId, giro))
        return false;
    giro.ExportToPdf(path);
    return true;
}
