#include "InvoiceComposition.h"

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

// The values of a row, separated by CR LF; a value's own line breaks become U+2028, so that it stays in
// its column and breaks its line there.
QString row(QStringList values)
{
    for (QString &value : values)
        value = report::splitLines(value).join(QChar(0x2028));
    return values.join(QLatin1String("\r\n"));
}

} // namespace

namespace {

void composeInvoice(qint64 invoiceId, TdmTemp &temp, TfrmGiroF60 &giro)
{
    QStringList gaps = otherUnreadable(temp.qryInvoice, {QStringLiteral("DUEDATE")});
    if (const QString why =
            whyEmpty(temp.qryInvoice, "DUEDATE", QCoreApplication::translate("InvoiceComposition", "the due date"));
        !why.isEmpty())
        gaps << why;
    gaps << otherUnreadable(temp.qryCustomer, {});
    const db::DataSet &invoice = temp.qryInvoice;
    const db::DataSet &customer = temp.qryCustomer;
    db::DataSet &items = temp.qryInvoiceItems;
    const TDBSettings &settings = dmInvoice->DBSettings;

    giro.setInvoiceId(invoiceId);
    giro.SetCompanyAddress(settings.GetSetting(QStringLiteral("NAMECOMPADDR")));
    giro.SetCompanyDetails(settings.GetSetting(QStringLiteral("COMPDETAIL")));
    giro.SetCustomerAddress(textOf(customer, "FIRSTNAME") + QLatin1Char(' ') + textOf(customer, "SURNAME") +
                            QLatin1Char('\n') + textOf(customer, "ADDRESS") + QLatin1Char('\n') +
                            textOf(customer, "POSTALCODE") + QLatin1Char(' ') + textOf(customer, "POSTALADDRESS"));

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
    giro.SetInvoiceDetails(details.join(QLatin1Char('\n')));

    giro.SetPaymentInfo(QStringLiteral("Kundenr:   ") + textOf(customer, "CUST_NO") + QLatin1Char('\n') +
                        QStringLiteral("Fakturanr: ") + textOf(invoice, "INVOICE_NO"));
    giro.SetBankAccount(settings.GetSetting(QStringLiteral("BANKACCNO")));
    giro.SetKID(textOf(invoice, "KID"));
    const db::Field &due = invoice.fieldByName(QStringLiteral("DUEDATE"));
    giro.SetDueDate(due.isNull() ? QDateTime() : due.asDateTime());

    giro.AddColumn(QStringLiteral("Varenr."), 50, report::Alignment::Left);
    giro.AddColumn(QStringLiteral("Beskrivelse."), 290, report::Alignment::Left);
    giro.AddColumn(QStringLiteral("Antall"), 50, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Pris"), 60, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Rabatt"), 50, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("MVA"), 30, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Netto"), 80, report::Alignment::Right);

    InvoiceTotals totals;
    const db::Field &num = items.fieldByName(QStringLiteral("NUM"));
    const db::Field &price = items.fieldByName(QStringLiteral("NETPRICE"));
    const db::Field &discount = items.fieldByName(QStringLiteral("DISCOUNT"));
    const db::Field &vat = items.fieldByName(QStringLiteral("VAT"));
    int lineNumber = 0;
    // A line without its quantity, price or discount has no net amount to print, and nor have the lines
    // together; the stored VAT and total still print.
    bool netKnown = true;
    const std::pair<const char *, QString> lineFacts[] = {
        {"NUM", QCoreApplication::translate("InvoiceComposition", "the quantity")},
        {"NETPRICE", QCoreApplication::translate("InvoiceComposition", "the price")},
        {"VAT", QCoreApplication::translate("InvoiceComposition", "the VAT")}};
    for (items.first(); !items.eof(); items.next()) {
        ++lineNumber;
        QStringList lineGaps =
            otherUnreadable(items, {QStringLiteral("NUM"), QStringLiteral("NETPRICE"), QStringLiteral("VAT")});
        for (const auto &[field, what] : lineFacts)
            if (const QString why = whyEmpty(items, field, what); !why.isEmpty())
                lineGaps << why;
        for (const QString &gap : std::as_const(lineGaps))
            gaps << QCoreApplication::translate("InvoiceComposition", "line %1: %2").arg(lineNumber).arg(gap);
        const LineAmounts line = lineAmounts(num.asFloat(), price.asMoney(), vat.asFloat(), discount.asFloat());
        const bool lineNetKnown = !num.isNull() && !price.isNull() && !unreadableValue(items, "DISCOUNT");
        netKnown = netKnown && lineNetKnown;
        giro.AddRow(
            row({textOf(items, "ITEM_NO"), textOf(items, "ITEM_DESC"),
                 num.isNull() ? QString() : quantityText(num.asFloat()),
                 price.isNull() ? QString() : Format::moneyText(price.asMoney()),
                 discount.asFloat() > 0 ? Format::numberText(discount.asFloat(), QStringLiteral("0.#%")) : QString(),
                 vat.isNull() ? QString() : Format::numberText(vat.asFloat(), QStringLiteral("0.#%")),
                 lineNetKnown ? Format::moneyText(money(line.netSum)) : QString()}));
        totals.add(line);
    }
    const QString none;
    giro.AddRow(QString());
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("Nettosalg:"),
                     netKnown ? Format::moneyText(totals.net) : QString()}));
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("MVA:"),
                     Format::moneyText(invoice.fieldByName(QStringLiteral("SUMVAT")).asMoney())}));
    const Money gross = invoice.fieldByName(QStringLiteral("GROSSSUM")).asMoney();
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("Total:"), Format::moneyText(gross)}));

    giro.SetAmount(gross);
    giro.SetOptionalInformation(textOf(invoice, "INV_NOTE"));

    const QString kind = textOf(invoice, "INV_TYPE").left(1);
    giro.SetTitle(InvoiceDocumentTitle(kind));
    giro.qrGiro.documentName = InvoiceDocumentTitle(kind) + QLatin1Char(' ') + textOf(invoice, "INVOICE_NO");
    if (kind == QLatin1String("C")) {
        giro.SetBankAccount(QStringLiteral("KREDITTNOTA - INGEN BETALING"));
        giro.SetKID(QStringLiteral("KREDITTNOTA-INGEN BETALING"));
        giro.SetPaymentInfo(QStringLiteral("Fakturanr: ") + textOf(invoice, "INVOICE_NO") +
                            QStringLiteral("\nKREDITTNOTA-INGEN BETALING"));
    }
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
