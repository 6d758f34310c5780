#include "Printers.h"

#include "core/Errors.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace {

struct State {
    PrinterSystem system;
    PrintSetupDialog dialog;
    std::unique_ptr<QPrinter> printer;
    int index = -1;
};

State &state()
{
    static State s;
    return s;
}

QString defaultPrinterName()
{
    if (state().system.defaultPrinterName)
        return state().system.defaultPrinterName();
    return QPrinterInfo::defaultPrinterName();
}

} // namespace

void setPrinterSystem(PrinterSystem system)
{
    state().system = std::move(system);
    resetPrinterSelection();
}

QStringList printerNames()
{
    if (state().system.printerNames)
        return state().system.printerNames();
    return QPrinterInfo::availablePrinterNames();
}

QPrinter &currentPrinter()
{
    if (!state().printer)
        state().printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *state().printer;
}

int printerIndex()
{
    if (state().index == -1) {
        const QString name = defaultPrinterName();
        if (name.isEmpty())
            throw Error(QCoreApplication::translate("Printers", "There is no default printer currently selected"));
        setPrinterIndex(int(printerNames().indexOf(name)));
    }
    return state().index;
}

void setPrinterIndex(int index)
{
    const QStringList names = printerNames();
    if (index < 0 || index >= names.size()) {
        state().index = -1;
        return;
    }
    state().index = index;
    currentPrinter().setPrinterName(names.at(index));
}

bool selectPrinterByName(const QString &name)
{
    const QStringList names = printerNames();
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0) {
            setPrinterIndex(i);
            return true;
        }
    }
    return false;
}

void resetPrinterSelection()
{
    state().index = -1;
    state().printer.reset();
}

void setPrintSetupDialog(PrintSetupDialog dialog)
{
    state().dialog = std::move(dialog);
}

bool printSetupDialog(QPrinter &printer, QWidget *parent, bool offerFile)
{
    if (state().dialog)
        return state().dialog(printer, parent);
    QPrintDialog dialog(&printer, parent);
    if (!offerFile)
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

bool runPrintSetupDialog(QWidget *parent)
{
    QPrinter &printer = currentPrinter();
    const bool accepted = printSetupDialog(printer, parent);
    if (accepted && !printer.printerName().isEmpty())
        selectPrinterByName(printer.printerName());
    return accepted;
}
