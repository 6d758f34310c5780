#pragma once

#include <QString>

class TfrmGiroF60;

// Fills the invoice page with the invoice of that id, its customer and lines, and the business settings.
// False, with nothing changed, when the id does not give exactly one invoice.
bool ComposeInvoiceDocument(qint64 invoiceId, TfrmGiroF60 &giro);

// The Save PDF output without a dialog: the invoice as PDF at path. False when there is no such invoice.
bool ExportInvoicePdf(qint64 invoiceId, const QString &path);
