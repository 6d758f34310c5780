#include "FileDialog.h"

#include <QFileDialog>

#include <deque>

namespace {

std::deque<QString> &answers()
{
    static std::deque<QString> queue;
    return queue;
}

} // namespace

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    if (!answers().empty()) {
        QString next = answers().front();
        answers().pop_front();
        return next;
    }
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

void setNextFileName(const QString &fileName)
{
    answers().push_back(fileName);
}

void clearNextFileNames()
{
    answers().clear();
}
