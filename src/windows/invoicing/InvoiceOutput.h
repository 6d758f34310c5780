#pragma once

#include <QtGlobal>

class QWidget;

// What OutputInvoice does with the composed invoice.
enum class InvoiceOutput { Preview = 0, Print = 1, PdfFile = 2, EMail = 3 };

// Composes the invoice and previews it, prints it on the program's printer (stamping its print date),
// saves it as a PDF file the user names, or hands it to the mail client as Faktura.pdf. The owner and the
// windows it stands in (the main window) take no input meanwhile. An id without an invoice does nothing;
// errors reach the caller after the windows are enabled again.
void OutputInvoice(QWidget *owner, qint64 invoiceId, InvoiceOutput mode);
