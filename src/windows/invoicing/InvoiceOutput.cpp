#include "InvoiceOutput.h"

#include "MailClient.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "data/dTemp.h"
#include "document/InvoiceComposition.h"
#include "document/qGiroF60.h"
#include "widgets/FileDialog.h"
#include "widgets/Printers.h"
#include "widgets/ReportPrinting.h"
#include "widgets/WindowsDisabled.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

#include <vector>

namespace {

QString textOf(const db::DataSet &ds, const char *field)
{
    const db::Field &f = ds.fieldByName(QLatin1String(field));
    return f.isNull() ? QString() : f.asString();
}

void saveAsPdf(QWidget *owner, TfrmGiroF60 &giro)
{
    TDBSettings &settings = dmInvoice->DBSettings;
    SaveFileRequest request;
    request.caption = QCoreApplication::translate("InvoiceOutput", "Make PDF file");
    request.folder = settings.GetSetting(QStringLiteral("PDFDIR"));
    request.fileName = QStringLiteral("Faktura%1.PDF").arg(textOf(dmTemp().qryInvoice, "INVOICE_NO"));
    request.filter = QCoreApplication::translate("InvoiceOutput", "PDF files (*.pdf)");
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
    TdmTemp &temp = dmTemp();
    const QString address = textOf(temp.qryCustomer, "EMAIL");
    if (const QString problem = mailAddressProblem(address); !problem.isEmpty()) {
        messageDialog(MsgType::Error, problem);
        return;
    }
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("INVXXXXXX")));
    if (!folder.isValid())
        throw Error(
            QCoreApplication::translate("InvoiceOutput", "Cannot make a folder for the e-mail attachment in %1: %2")
                .arg(QDir::tempPath(), folder.errorString()));
    folder.setAutoRemove(false);
    const QString path = folder.filePath(QStringLiteral("Faktura.pdf"));
    giro.ExportToPdf(path);

    MailMessage message;
    message.recipientName =
        textOf(temp.qryCustomer, "FIRSTNAME") + QLatin1Char(' ') + textOf(temp.qryCustomer, "SURNAME");
    message.recipientAddress = address;
    message.subject = QStringLiteral("Faktura Nr ") + textOf(temp.qryInvoice, "INVOICE_NO");
    message.body = QStringLiteral("Vedlagt ligger faktura.");
    message.attachment = path;
    if (!sendMail(message))
        messageDialog(MsgType::Error,
                      QCoreApplication::translate("InvoiceOutput", "Error trying to start e-mail clinet"));
}

} // namespace

void OutputInvoice(QWidget *owner, qint64 invoiceId, InvoiceOutput mode)
{
    TfrmGiroF60 giro;
    WindowsDisabled disabled(owner);
    giro.onPrinted = [](qint64 id) {
        if (dmInvoice)
            dmInvoice->MarkInvoicePrinted(id, Clock::now());
    };
    if (!ComposeInvoiceDocument(invoiceId, giro))
        return;
    switch (mode) {
    case InvoiceOutput::Preview:
        report::preview(giro.qrGiro, currentPrinter());
        break;
    case InvoiceOutput::Print: {
        // One copy on one side, from the printer's own tray.
        QPrinter &printer = currentPrinter();
        printer.setCopyCount(1);
        printer.setDuplex(QPrinter::DuplexNone);
        printer.setPaperSource(QPrinter::Auto);
        report::print(giro.qrGiro, printer);
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
