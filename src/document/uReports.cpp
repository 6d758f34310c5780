#include "uReports.h"

#include "data/InvoiceKinds.h"
#include "data/dInvoice.h"
#include "data/dTemp.h"
#include "platform/db/Clock.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/mail/MailClient.h"
#include "platform/widgets/FileDialog.h"
#include "platform/widgets/MainWindow.h"
#include "platform/widgets/MessageDialog.h"
#include "platform/widgets/Printers.h"
#include "qGiroF60.h"
#include "settings/uConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>

namespace {

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

QString row(const QStringList &values)
{
    return values.join(QLatin1String("\r\n"));
}

// Neither the owner nor the main window takes input while an output runs; both come back however it ends.
class WindowsDisabled {
public:
    explicit WindowsDisabled(QWidget *owner) : m_owner(owner), m_main(applicationMainWindow())
    {
        if (m_owner)
            m_owner->setEnabled(false);
        if (m_main)
            m_main->setEnabled(false);
    }
    ~WindowsDisabled()
    {
        if (m_main)
            m_main->setEnabled(true);
        if (m_owner)
            m_owner->setEnabled(true);
    }

private:
    QPointer<QWidget> m_owner, m_main;
};

void saveAsPdf(QWidget *owner, TfrmGiroF60 &giro)
{
    TDBSettings &settings = DBSettings();
    SaveFileRequest request;
    request.caption = QCoreApplication::translate("uReports", "Make PDF file");
    request.folder = settings.GetSetting(QStringLiteral("PDFDIR"));
    request.fileName = QStringLiteral("Faktura%1.PDF").arg(textOf(dmTemp().qryInvoice, "INVOICE_NO"));
    request.filter = QCoreApplication::translate("uReports", "PDF files (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = getSaveFileName(owner, request);
    if (path.isEmpty())
        return;
    settings.SetSetting(QStringLiteral("PDFDIR"),
                        QDir::toNativeSeparators(QFileInfo(path).absolutePath() + QLatin1Char('/')));
    giro.ExportToPdf(path);
    settings.SaveBusinessSettings();
}

// The attachment keeps the name Faktura.pdf: it is written into a folder of its own, which stays.
void sendAsMail(TfrmGiroF60 &giro)
{
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("INVXXXXXX")));
    if (!folder.isValid())
        throw Error(QCoreApplication::translate("uReports", "Cannot make a folder for the e-mail attachment in %1: %2")
                        .arg(QDir::tempPath(), folder.errorString()));
    folder.setAutoRemove(false);
    const QString path = folder.filePath(QStringLiteral("Faktura.pdf"));
    giro.ExportToPdf(path);

    TdmTemp &temp = dmTemp();
    MailMessage message;
    message.recipientName =
        textOf(temp.qryCustomer, "FIRSTNAME") + QLatin1Char(' ') + textOf(temp.qryCustomer, "SURNAME");
    message.recipientAddress = textOf(temp.qryCustomer, "EMAIL");
    message.subject = QStringLiteral("Faktura Nr ") + textOf(temp.qryInvoice, "INVOICE_NO");
    message.body = QStringLiteral("Vedlagt ligger faktura.");
    message.attachment = path;
    if (!sendMail(message))
        messageDialog(MsgType::Error, QCoreApplication::translate("uReports", "Error trying to start e-mail clinet"));
}

} // namespace

bool ComposeInvoiceDocument(int invoiceId, TfrmGiroF60 &giro)
{
    TdmTemp &temp = dmTemp();
    if (!temp.OpenInvoice(invoiceId))
        return false;
    const db::DataSet &invoice = temp.qryInvoice;
    const db::DataSet &customer = temp.qryCustomer;
    db::DataSet &items = temp.qryInvoiceItems;
    const TDBSettings &settings = DBSettings();

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
            << QStringLiteral("Forfalsdato|") + textOf(invoice, "DUEDATE");
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

    // The net total is carried in 1/10000 units, each line's amount added and the sum rounded at once.
    long double netTotal = 0;
    const db::Field &num = items.fieldByName(QStringLiteral("NUM"));
    const db::Field &price = items.fieldByName(QStringLiteral("NETPRICE"));
    const db::Field &discount = items.fieldByName(QStringLiteral("DISCOUNT"));
    const db::Field &vat = items.fieldByName(QStringLiteral("VAT"));
    const db::Field &netSum = items.fieldByName(QStringLiteral("NETSUM"));
    for (items.first(); !items.eof(); items.next()) {
        const double lineNet = netSum.asFloat();
        giro.AddRow(
            row({textOf(items, "ITEM_NO"), textOf(items, "ITEM_DESC"),
                 num.isNull() ? QString() : quantityText(num.asFloat()),
                 price.isNull() ? QString() : Format::moneyText(price.asMoney()),
                 discount.asFloat() > 0 ? Format::numberText(discount.asFloat(), QStringLiteral("0.#%")) : QString(),
                 Format::numberText(vat.asFloat(), QStringLiteral("0.#%")), Format::moneyText(money(lineNet))}));
        netTotal = std::nearbyintl(netTotal + static_cast<long double>(lineNet) * Money::Scale);
    }
    const QString none;
    giro.AddRow(QString());
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("Nettosalg:"),
                     Format::moneyText(Money::fromUnits(static_cast<qint64>(netTotal)))}));
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("MVA:"),
                     Format::moneyText(invoice.fieldByName(QStringLiteral("SUMVAT")).asMoney())}));
    const Money gross = invoice.fieldByName(QStringLiteral("GROSSSUM")).asMoney();
    giro.AddRow(row({none, none, none, none, none, QStringLiteral("Total:"), Format::moneyText(gross)}));

    giro.SetAmount(gross);
    giro.SetOptionalInformation(textOf(invoice, "INV_NOTE"));

    const QString kind = textOf(invoice, "INV_TYPE").left(1);
    giro.SetTitle(InvoiceDocumentTitle(kind));
    if (kind == QLatin1String("C")) {
        giro.SetBankAccount(QStringLiteral("KREDITTNOTA - INGEN BETALING"));
        giro.SetKID(QStringLiteral("KREDITTNOTA-INGEN BETALING"));
        giro.SetPaymentInfo(QStringLiteral("Fakturanr: ") + textOf(invoice, "INVOICE_NO") +
                            QStringLiteral("\nKREDITTNOTA-INGEN BETALING"));
    }
    giro.setPrePrinted(settings.GetSetting(QStringLiteral("PREPRINTED")) == QLatin1String("1"));
    return true;
}

void OutputInvoice(QWidget *owner, int invoiceId, int mode)
{
    TfrmGiroF60 giro;
    WindowsDisabled disabled(owner);
    giro.currentPrinter = &currentPrinter();
    giro.qrGiro.setPrinter(&currentPrinter());
    giro.onPrinted = [](int id) {
        if (dmInvoice)
            dmInvoice->MarkInvoicePrinted(id, Clock::now());
    };
    if (!ComposeInvoiceDocument(invoiceId, giro))
        return;
    switch (InvoiceOutput(mode)) {
    case InvoiceOutput::Preview:
        giro.qrGiro.preview();
        break;
    case InvoiceOutput::Print: {
        // One copy on one side, from the printer's own tray.
        QPrinter &printer = currentPrinter();
        printer.setCopyCount(1);
        printer.setDuplex(QPrinter::DuplexNone);
        printer.setPaperSource(QPrinter::Auto);
        giro.qrGiro.print();
        break;
    }
    case InvoiceOutput::PdfFile:
        saveAsPdf(owner, giro);
        break;
    case InvoiceOutput::EMail:
        sendAsMail(giro);
        break;
    }
}

bool ExportInvoicePdf(int invoiceId, const QString &path)
{
    TfrmGiroF60 giro;
    if (!ComposeInvoiceDocument(invoiceId, giro))
        return false;
    giro.ExportToPdf(path);
    return true;
}
