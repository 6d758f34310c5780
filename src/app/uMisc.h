#pragma once

#include "platform/db/Errors.h"
#include "platform/widgets/MessageDialog.h"

#include <QApplication>
#include <QString>

#include <exception>

// The standard error text: a full stop is appended unless the text ends with one or with a character
// that sorts before it (a blank, a comma, a hyphen, ...). An empty text stays empty.
QString AddFullStop(const QString &text);

// The application's standard error box: the text, with the full stop rule, under the application's title.
void ShowErrorText(const QString &text);
// Shows a failure in the standard error box; a silent abort shows nothing.
void ShowException(const std::exception &failure);

// Runs a command; a failure that leaves it reaches the standard error box.
template <class F> void RunCommand(F &&command)
{
    try {
        command();
    } catch (const SilentAbort &) {
    } catch (const std::exception &failure) {
        ShowException(failure);
    }
}

// Message boxes of the four types with their button sets.
void MsgError(const QString &text);
void MsgWarning(const QString &text);
void MsgInformation(const QString &text);
bool MsgConfirm(const QString &text);         // Yes, No
MsgAnswer MsgConfirmAll(const QString &text); // Yes, No, No to All, Yes to All

// Tool tips for the whole application, on or off.
void setToolTipsEnabled(bool enabled);
bool toolTipsEnabled();

// The application object of the program: a failure that leaves an event handler reaches the standard
// error box instead of ending the program.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};
