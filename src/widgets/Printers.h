#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

// The printers of the system as the program sees them. The real ones come from the print system;
// tests hand in their own list.
struct PrinterSystem {
    std::function<QStringList()> printerNames;
    std::function<QString()> defaultPrinterName; // empty: no default printer
};
// Members left empty use the print system.
void setPrinterSystem(PrinterSystem system);

QStringList printerNames();

// The one printer the program prints on.
QPrinter &currentPrinter();

// The position of the selected printer in printerNames(). While none is selected, asking selects the
// default printer; without one that fails with "There is no default printer currently selected". The
// answer stays -1 when the default printer is not among the installed ones.
int printerIndex();
// Selects the printer at that position; -1 forgets the selection.
void setPrinterIndex(int index);
// Selects the installed printer of that name (letter case ignored); false when there is none.
bool selectPrinterByName(const QString &name);
// Forgets the selection and the printer, as at program start.
void resetPrinterSelection();

// The printer setup dialog; true when the user accepted it (the chosen printer is then selected).
// Tests replace it.
using PrintSetupDialog = std::function<bool(QPrinter &printer, QWidget *parent)>;
void setPrintSetupDialog(PrintSetupDialog dialog);
bool runPrintSetupDialog(QWidget *parent);
// The dialog alone, on any printer (the preview's): true when accepted; nothing is selected. offerFile:
// whether it offers printing into a file.
bool printSetupDialog(QPrinter &printer, QWidget *parent, bool offerFile = true);
