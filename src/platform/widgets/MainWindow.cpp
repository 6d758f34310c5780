#include "MainWindow.h"

#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget> &mainWindow()
{
    static QPointer<QWidget> window;
    return window;
}

} // namespace

void setApplicationMainWindow(QWidget *window)
{
    mainWindow() = window;
}

QWidget *applicationMainWindow()
{
    return mainWindow();
}
