#include "Program.h"

#include "data/dInvoice.h"
#include "fMain.h"
#include "platform/widgets/MessageDialog.h"

#include <QApplication>

#include <memory>

int runProgram(const QString &programFolder)
{
    setApplicationTitle(QStringLiteral("Kvarnel"));

    // The main window is created before the data module, so it must not touch the database yet.
    auto mainWindow = std::make_unique<TfrmMain>();
    frmMain = mainWindow.get();
    auto dataModule = std::make_unique<TdmInvoice>(programFolder);
    int status = 1;
    if (dataModule->isConnected()) {
        mainWindow->show();
        status = QApplication::exec();
    }
    mainWindow.reset();
    frmMain = nullptr;
    dataModule.reset();
    return status;
}
