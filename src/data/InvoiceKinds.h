#pragma once

#include <QString>

// The kind of an invoice is one character in INVOICE.INV_TYPE: N invoice, R reminder, F final notice,
// C credit note. Codes compare exactly (a lower-case letter is an unknown kind); an empty code counts as
// an ordinary invoice. The kind changes only what documents and reports say about an invoice.
namespace InvoiceKind {
inline constexpr char Invoice = 'N';
inline constexpr char Reminder = 'R';
inline constexpr char FinalNotice = 'F';
inline constexpr char Credit = 'C';
} // namespace InvoiceKind

// "Invoice", "Reminder", "Final notice", "Credit", or "Unkown" for any other code (translatable).
QString InvoiceKindName(const QString &code);
// The title of the printed document, in Norwegian: "Faktura", "Purring", "Inkassovarsel", "Kredittnota";
// "Faktura" for any other code.
QString InvoiceDocumentTitle(const QString &code);
