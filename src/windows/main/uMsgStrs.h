#pragma once

#include <QCoreApplication>
#include <QString>

// The program's string table: the texts users read that do not belong to one window's definition.
// Each goes through tr() so that a language module can replace it.
class uMsgStrs {
    Q_DECLARE_TR_FUNCTIONS(uMsgStrs)
public:
    // Second start while the program runs.
    static QString sAlreadyRunningCaption();
    static QString sAlreadyRunning();
    // Printer check and printer setup.
    static QString sPrintWillNotWork();
    static QString sPrintEngineLimits();
    // "New Invoice" without a customer list.
    static QString sNoCustomerSelected();
    // The text of a note template that was never assigned.
    static QString sUnassigned();
    // Opening an invoice that is marked as paid.
    static QString sInvoicePaid();
    // The text of the line that rounds an invoice's total to whole kroner.
    static QString sRoundingLine();
    // The about box's version text, two lines; %1 is the version.
    static QString sVersion();
    // The settings dialog's VAT text that is not a number; %1 is the text.
    static QString sNotAFloat();
    // A default VAT outside 0 to 100 %; %1 is the text.
    static QString sVatOutOfRange();
    // First start of an installed copy without a database: %1 is the file to create.
    static QString sCreateDatabase();
    static QString sDemoBusiness();
    // %1 is the user's data folder.
    static QString sCannotMakeFolder();
};
