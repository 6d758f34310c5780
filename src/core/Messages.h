#pragma once

#include "Errors.h"

#include <QString>

#include <exception>
#include <functional>

// Every message box of the program goes through messageDialog(). This layer only describes the box (its
// type, caption, text and buttons) and hands it to the installed handler: the program installs one that
// shows a real box, tests one that answers instead of a person. Without a handler (a tool without a
// screen) the text goes to standard error and a question counts as answered No.
enum class MsgType { Error, Warning, Confirmation, Information, Plain };
enum class MsgButtons { OK, YesNo, YesNoAll, YesNoCancel };
// Closed: the box was closed without one of its buttons (Escape or the close box); callers take it as No
// unless they say otherwise.
enum class MsgAnswer { OK, Yes, No, NoToAll, YesToAll, Closed, Cancel };

struct MessageRequest {
    MsgType type;
    QString caption;
    QString text;
    MsgButtons buttons;
};
using MessageHandler = std::function<MsgAnswer(const MessageRequest &)>;

// The application title: the caption of plain boxes and of the standard error box.
void setApplicationTitle(const QString &title);
QString applicationTitle();

// Asks the handler for an answer to a box with the caption of its type ("Error", "Warning", "Confirm",
// "Information"; plain boxes carry the application title unless a caption is given). The first button is
// the default. Error texts also go to standard error, so failures are visible in logs.
MsgAnswer messageDialog(MsgType type, const QString &text, MsgButtons buttons = MsgButtons::OK,
                        const QString &caption = QString());

// Installs the handler; an empty one leaves the boxes to standard error. Returns the handler that was
// installed before.
MessageHandler setMessageHandler(MessageHandler handler);

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
