#include "uMsgStrs.h"

QString uMsgStrs::sAlreadyRunningCaption()
{
    return tr("Kvarnel already running?");
}

QString uMsgStrs::sAlreadyRunning()
{
    return tr("Can't start a second session of Kvarnel. Activate the one already running in the backgroubd. "
              "Restart machine if problem persist.");
}

QString uMsgStrs::sPrintWillNotWork()
{
    return tr("Print and preview will not work.");
}

QString uMsgStrs::sPrintEngineLimits()
{
    return tr(" 3rd party Print engin have limitations. In general it is unable to access most of the "
              "printersetting values. Pereffered settings for printer must be set up in operating system printer "
              "configuration.");
}

QString uMsgStrs::sNoCustomerSelected()
{
    return tr("Can't execute the command. No customer selected");
}

QString uMsgStrs::sUnassigned()
{
    return tr("Unassigned");
}

QString uMsgStrs::sInvoicePaid()
{
    // Two lines; each is translated on its own.
    return tr("This invoice should not be changed") + QStringLiteral("\r\n") + tr("since it is marked as paid.");
}

QString uMsgStrs::sRoundingLine()
{
    return tr("Øre avrunding");
}

QString uMsgStrs::sVersion()
{
    return tr("Version: %1") + QLatin1Char('\n') + tr("Pre-release");
}

QString uMsgStrs::sNotAFloat()
{
    return tr("'%1' is not a valid floating point value");
}

QString uMsgStrs::sVatOutOfRange()
{
    return tr("The default VAT must be from 0 to 100 %; %1 is not");
}

QString uMsgStrs::sCreateDatabase()
{
    return tr("There is no invoice database yet. Create a new one as %1?\n\nWithout a database the program "
              "cannot start.");
}

QString uMsgStrs::sDemoBusiness()
{
    return tr("Fill the new database with a demo business (customers, items and invoices) to try the program?"
              "\n\nNo makes it empty, ready for your own business.");
}

QString uMsgStrs::sCannotMakeFolder()
{
    return tr("Cannot make the folder %1");
}
