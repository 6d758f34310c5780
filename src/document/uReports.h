#pragma once

#include <QString>

class QWidget;
class TfrmGiroF60;

// What OutputInvoice does with the composed invoice.
enum class InvoiceOutput { Preview = 0, Print = 1, PdfFile = 2, EMail = 3 };

// Fills the invoice page with the invoice of that id, its customer and lines, and the business settings.
// False, with nothing changed, when the id does not give exactly one invoice.
bool ComposeInvoiceDocument(int invoiceId, TfrmGiroF60 &giro);

// Composes the invoice and previews it, prints it on the program's printer (stamping its print date),
// saves it as a PDF file the user names, or hands it to the mail client as Faktura.pdf. The owner and the
// main window take no input meanwhile. An id without an invoice does nothing; errors reach the caller
// after the windows are enabled again. Any other mode composes and does nothing more.
void OutputInvoice(QWidget *owner, int invoiceId, int mode);

// The Save PDF output without a dialog: the invoice as PDF at path. False when there is no such invoice.
bool ExportInvoicePdf(int invoiceId, const QString &path);
