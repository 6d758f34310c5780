#include "InvoiceKinds.h"

#include <QCoreApplication>

namespace {

// The code as the printed documents and lists read it: empty is an ordinary invoice.
QChar kindOf(const QString &code)
{
    return code.isEmpty() ? QLatin1Char(InvoiceKind::Invoice) : (code.size() == 1 ? code.at(0) : QChar());
}

} // namespace

QString InvoiceKindName(const QString &code)
{
    switch (kindOf(code).unicode()) {
    case InvoiceKind::Invoice:
        return QCoreApplication::translate("InvoiceKind", "Invoice");
    case InvoiceKind::Reminder:
        return QCoreApplication::translate("InvoiceKind", "Reminder");
    case InvoiceKind::FinalNotice:
        return QCoreApplication::translate("InvoiceKind", "Final notice");
    case InvoiceKind::Credit:
        return QCoreApplication::translate("InvoiceKind", "Credit");
    default:
        return QCoreApplication::translate("InvoiceKind", "Unkown");
    }
}

QString InvoiceDocumentTitle(const QString &code)
{
    switch (kindOf(code).unicode()) {
    case InvoiceKind::Reminder:
        return QStringLiteral("Purring");
    case InvoiceKind::FinalNotice:
        return QStringLiteral("Inkassovarsel");
    case InvoiceKind::Credit:
        return QStringLiteral("Kredittnota");
    default:
        return QStringLiteral("Faktura");
    }
}
