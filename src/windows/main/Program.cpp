#include "Program.h"

#include "DataFolder.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fMain.h"
#include "uMsgStrs.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printers.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>

#include <memory>

namespace {

// The real message boxes while the program runs, unless a handler is installed already (a test that
// answers them).
class MessageBoxesInstalled {
public:
    MessageBoxesInstalled()
    {
        m_previous = setMessageHandler({});
        setMessageHandler(m_previous ? m_previous : MessageHandler(&showMessageBox));
    }
    ~MessageBoxesInstalled() { setMessageHandler(std::move(m_previous)); }

private:
    MessageHandler m_previous;
};

} // namespace

bool programAlreadyRunning()
{
    const QString name = instanceServerName();
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool running = socket.waitForConnected(1000);
    socket.abort();
    return running;
}

int startProgram(const QString &programFolder)
{
    MessageBoxesInstalled boxes;
    if (programAlreadyRunning()) {
        messageDialog(MsgType::Warning, uMsgStrs::sAlreadyRunning(), MsgButtons::OK,
                      uMsgStrs::sAlreadyRunningCaption());
        return 1;
    }
    return runProgram(programFolder);
}

int runProgram(const QString &programFolder, const ProgramHooks &hooks)
{
    MessageBoxesInstalled boxes;
    setApplicationTitle(QStringLiteral("Kvarnel"));
    qApp->setProperty("HelpFile", QStringLiteral("tessund.chm"));
    if (!programFolder.isEmpty())
        setProgramFile(QDir(programFolder).filePath(QStringLiteral("tessund")));
    // The help file comes with the program: beside it, or in share/tessund once installed.
    installHelpFile(programResourceFile(QStringLiteral("tessund.chm")));
    resetPrinterSelection();

    // The main window is created before the data module, so it must not touch the database yet.
    auto mainWindow = std::make_unique<TfrmMain>();
    if (hooks.created)
        hooks.created(*mainWindow);
    // An installed copy keeps its database in the user's data folder and offers a new one at its first start.
    const std::optional<QString> dataFolder = prepareDataFolder(programFolder);
    auto dataModule = dataFolder ? std::make_unique<TdmInvoice>(*dataFolder) : nullptr;
    int status = 1;
    if (dataModule && dataModule->isConnected()) {
        QObject::connect(dataModule.get(), &TdmInvoice::invoicesChanged, mainWindow.get(),
                         &TfrmMain::RefreshInvoiceList);
        mainWindow->show();
        if (hooks.shown)
            QTimer::singleShot(0, mainWindow.get(), [&] { hooks.shown(*mainWindow); });
        status = QApplication::exec();
    }
    mainWindow.reset();
    dataModule.reset();
    UnloadLanguageModule();
    return status;
}
