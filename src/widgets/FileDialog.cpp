#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace {

struct Answer {
    QString fileName;
    QString selectedFilter;
};

std::deque<Answer> &answers()
{
    static std::deque<Answer> queue;
    return queue;
}

SaveFileRequest &lastRequest()
{
    static SaveFileRequest request;
    return request;
}

} // namespace

QString getSaveFileName(QWidget *parent, const SaveFileRequest &request, QString *selectedFilter)
{
    lastRequest() = request;
    if (!answers().empty()) {
        Answer next = answers().front();
        answers().pop_front();
        if (!next.fileName.isEmpty() && !request.defaultSuffix.isEmpty() && QFileInfo(next.fileName).suffix().isEmpty())
            next.fileName += QLatin1Char('.') + request.defaultSuffix;
        if (selectedFilter)
            *selectedFilter =
                next.selectedFilter.isEmpty() ? request.filter.section(QLatin1String(";;"), 0, 0) : next.selectedFilter;
        return next.fileName;
    }
    QFileDialog dialog(parent, request.caption, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
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

void setNextFileName(const QString &fileName, const QString &selectedFilter)
{
    answers().push_back({fileName, selectedFilter});
}

void clearNextFileNames()
{
    answers().clear();
}

SaveFileRequest lastSaveFileRequest()
{
    return lastRequest();
}
