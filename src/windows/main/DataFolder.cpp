#include "DataFolder.h"

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/DatabaseCreation.h"
#include "uMsgStrs.h"
#include "windows/settings/UserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

FolderWritable &folderWritable()
{
    static FolderWritable check;
    return check;
}

bool writable(const QString &folder)
{
    return folderWritable() ? folderWritable()(folder) : QFileInfo(folder).isWritable();
}

bool holdsDatabase(const QString &folder)
{
    const QDir dir(folder);
    return QFileInfo::exists(dir.filePath(QStringLiteral("Tessund.udl"))) ||
           QFileInfo::exists(dir.filePath(QStringLiteral("INVOICE.mdb")));
}

} // namespace

void setFolderWritable(FolderWritable check)
{
    folderWritable() = std::move(check);
}

ProgramCopy programCopy(const QString &programFolder)
{
    if (holdsDatabase(programFolder))
        return ProgramCopy::Portable;
    if (!writable(programFolder) || QFileInfo(installedResourceFolder(programFolder)).isDir())
        return ProgramCopy::Installed;
    return ProgramCopy::Portable;
}

QString userDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Tessund"));
}

std::optional<QString> prepareDataFolder(const QString &programFolder)
{
    const QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    if (programCopy(folder) == ProgramCopy::Portable)
        return programFolder;
    const QString data = userDataFolder();
    if (holdsDatabase(data))
        return data;

    const QString database = QDir(data).filePath(QStringLiteral("INVOICE.mdb"));
    if (messageDialog(MsgType::Confirmation, uMsgStrs::sCreateDatabase().arg(QDir::toNativeSeparators(database)),
                      MsgButtons::YesNo) != MsgAnswer::Yes)
        return data;
    const bool demo =
        messageDialog(MsgType::Confirmation, uMsgStrs::sDemoBusiness(), MsgButtons::YesNo) == MsgAnswer::Yes;
    try {
        if (!QDir().mkpath(data))
            throw Error(uMsgStrs::sCannotMakeFolder().arg(QDir::toNativeSeparators(data)));
        createDatabase(database, demo);
    } catch (const Error &e) {
        ShowErrorText(e.message());
        return std::nullopt;
    }
    return data;
}
