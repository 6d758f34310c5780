#pragma once

#include "report/Report.h"

class QPrinter;
class QWidget;

namespace report {

// Generates the report onto the printer page by page, without a dialog. Throws Error when the printer
// fails and Cancelled when `progress` cancels; the report's afterPrint runs only when it succeeded.
void print(Report &report, QPrinter &printer, const Progress &progress = {});

// Lays the report out once, with a progress bar when that takes long, and opens the preview window on it;
// returns when the window is closed, or false at once when the user cancelled the layout (nothing was
// shown). Its Print and Printer setup use the printer.
bool preview(Report &report, QPrinter &printer, QWidget *parent = nullptr);

// A progress bar with Cancel for a generation, shown only once it has taken longer than half a second
// (so short documents never flash one). Hand progress() to the generation.
class ProgressBar {
public:
    ProgressBar(QWidget *parent, const QString &label);
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;
    const Progress &progress() const { return m_progress; }

    // For tests: how long a generation runs before the bar appears (milliseconds); returns the old value.
    static int setDelay(int milliseconds);

private:
    struct Private;
    std::unique_ptr<Private> d;
    Progress m_progress;
};

} // namespace report
