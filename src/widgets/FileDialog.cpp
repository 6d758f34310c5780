#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace {

std::deque<QString> &answers()
{
    static std::deque<QString> queue;
    return queue;
}

SaveFileRequest &lastRequest()
{
    static SaveFileRequest request;
    return request;
}

} // namespace

QString getSaveFileName(QWidget *parent, const SaveFileRequest &request)
{
    lastRequest() = request;
    if (!answers().empty()) {
        QString next = answers().front();
        answers().pop_front();
        if (!next.isEmpty() && !request.defaultSuffix.isEmpty() && QFileInfo(next).suffix().isEmpty())
            next += QLatin1Char('.') + request.defaultSuffix;
        return next;
    }
    QFileDialog dialog(parent, request.caption, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    SaveFileRequest request;
    request.caption = caption;
    request.folder = folder;
    request.filter = filter;
    return getSaveFileName(parent, request);
}

void setNextFileName(const QString &fileName)
{
    answers().push_back(fileName);
}

void clearNextFileNames()
{
    answers().clear();
}

SaveFileRequest lastSaveFileRequest()
{
    return lastRequest();
}
