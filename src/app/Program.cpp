#include "Program.h"

#include "data/dInvoice.h"
#include "fMain.h"
#include "platform/widgets/MessageDialog.h"
#include "platform/widgets/Printers.h"
#include "settings/uConfig.h"
#include "uMisc.h"
#include "uMsgStrs.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>

#include <memory>

bool programAlreadyRunning()
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(instanceServerName());
    const bool running = socket.waitForConnected(1000);
    socket.abort();
    return running;
}

int startProgram(const QString &programFolder)
{
    if (programAlreadyRunning()) {
        messageDialog(MsgType::Warning, uMsgStrs::sAlreadyRunning(), MsgButtons::OK,
                      uMsgStrs::sAlreadyRunningCaption());
        return 1;
    }
    return runProgram(programFolder);
}

int runProgram(const QString &programFolder)
{
    setApplicationTitle(QStringLiteral("Kvarnel"));
    setErrorBox(&ShowErrorText);
    qApp->setProperty("HelpFile", QStringLiteral("tessund.chm"));
    if (!programFolder.isEmpty())
        setProgramFile(QDir(programFolder).filePath(QStringLiteral("tessund")));
    resetPrinterSelection();

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
    FreeSettingsStores();
    UnloadLanguageModule();
    return status;
}
