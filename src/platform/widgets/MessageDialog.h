#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through messageDialog(). Tests (and tools without a screen)
// install a handler that answers instead of a person.
enum class MsgType { Error, Warning, Confirmation, Information, Plain };
enum class MsgButtons { OK, YesNo, YesNoAll };
enum class MsgAnswer { OK, Yes, No, NoToAll, YesToAll };

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

// Shows a modal box with the caption of its type ("Error", "Warning", "Confirm", "Information"; plain
// boxes carry the application title unless a caption is given). The first button is the default and
// Escape answers No (or OK where that is the only button). Error texts also go to standard error.
MsgAnswer messageDialog(MsgType type, const QString &text, MsgButtons buttons = MsgButtons::OK,
                        const QString &caption = QString());

// Replaces the boxes; an empty handler restores them. Returns the handler that was installed before.
MessageHandler setMessageHandler(MessageHandler handler);

// The application's standard error box, for failures a control catches itself (a refused grid edit).
// The program installs its own; until then an error box of the text.
void setErrorBox(std::function<void(const QString &text)> box);
void showErrorBox(const QString &text);
