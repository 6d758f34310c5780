#pragma once

#include "widgets/PreviewWindow.h"
#include "widgets/Printers.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>

class QAbstractItemView;
class QDialog;
class QPrinter;
class QWidget;

// Triggers the action of that object name on the window; fails the test (returns false) when the window
// has no such action or it is disabled, so a misspelt name or a dead command never passes silently.
[[nodiscard]] bool triggerAction(QWidget *window, const QString &name);

// Runs body on the next modal dialog once it is shown, from inside the dialog's own event loop. A dialog
// the body leaves open is rejected after it, so a failed check cannot hang the test.
void onNextModal(std::function<void(QDialog &dialog)> body);

// A double-click on a grid cell as the mouse gives it: a click, then the double-click.
void doubleClickCell(QAbstractItemView *view, int row, int column);

// True once no top-level window is left visible; tests call it in cleanup() through QTRY_VERIFY, so a
// window leaked by one test cannot change the next.
bool noWindowLeft();
// The visible top-level windows, for the failure message.
QString visibleWindows();

// Seam guards: each installs its stand-in for its lifetime and puts back what was there before.

// Answers the save-file dialogs with these names in order (an empty name: the user cancelled), each chosen
// with the first filter offered unless push() names one.
class NextFileNames {
public:
    explicit NextFileNames(const QStringList &names = {});
    ~NextFileNames();
    void push(const QString &name, const QString &selectedFilter = QString());
};

// Points the program's printer at a PDF file in a folder of its own; the printer setup dialog answers
// `accept` (counted in setups, the printer it was given in setUpPrinter).
class PrinterToPdf {
public:
    PrinterToPdf();
    ~PrinterToPdf();
    QString path() const { return m_path; }
    bool accept = true;
    int setups = 0;
    const QPrinter *setUpPrinter = nullptr;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Drives the preview window from inside its event loop: `hook` runs once it is shown; the window is closed
// after it.
class PreviewDriver {
public:
    explicit PreviewDriver(report::PreviewWindow::OpenHook hook);
    ~PreviewDriver();

private:
    report::PreviewWindow::OpenHook m_previous;
};
