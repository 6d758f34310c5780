#include "MessageDialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {

QString &title()
{
    static QString t;
    return t;
}

MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}

QString typeCaption(MsgType type)
{
    switch (type) {
    case MsgType::Error:
        return QApplication::translate("MessageDialog", "Error");
    case MsgType::Warning:
        return QApplication::translate("MessageDialog", "Warning");
    case MsgType::Confirmation:
        return QApplication::translate("MessageDialog", "Confirm");
    case MsgType::Information:
        return QApplication::translate("MessageDialog", "Information");
    case MsgType::Plain:
        break;
    }
    return applicationTitle();
}

MsgAnswer showBox(const MessageRequest &request)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.type) {
    case MsgType::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgType::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgType::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgType::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgType::Plain:
        break;
    }
    struct Choice {
        QPushButton *button;
        MsgAnswer answer;
    };
    std::vector<Choice> choices;
    auto add = [&](const char *text, QMessageBox::ButtonRole role, MsgAnswer answer) {
        choices.push_back({box.addButton(QApplication::translate("MessageDialog", text), role), answer});
    };
    if (request.buttons == MsgButtons::OK) {
        add(QT_TRANSLATE_NOOP("MessageDialog", "OK"), QMessageBox::AcceptRole, MsgAnswer::OK);
    } else {
        add(QT_TRANSLATE_NOOP("MessageDialog", "&Yes"), QMessageBox::YesRole, MsgAnswer::Yes);
        add(QT_TRANSLATE_NOOP("MessageDialog", "&No"), QMessageBox::NoRole, MsgAnswer::No);
        if (request.buttons == MsgButtons::YesNoAll) {
            add(QT_TRANSLATE_NOOP("MessageDialog", "N&o to All"), QMessageBox::NoRole, MsgAnswer::NoToAll);
            add(QT_TRANSLATE_NOOP("MessageDialog", "Yes to &All"), QMessageBox::YesRole, MsgAnswer::YesToAll);
        }
    }
    box.setDefaultButton(choices.front().button);
    box.setEscapeButton(request.buttons == MsgButtons::OK ? choices.front().button : choices.at(1).button);
    box.exec();
    for (const Choice &c : choices)
        if (box.clickedButton() == c.button)
            return c.answer;
    return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::No;
}

} // namespace

void setApplicationTitle(const QString &t)
{
    title() = t;
}

QString applicationTitle()
{
    return title();
}

MsgAnswer messageDialog(MsgType type, const QString &text, MsgButtons buttons, const QString &caption)
{
    const MessageRequest request{type, caption.isEmpty() ? typeCaption(type) : caption, text, buttons};
    if (type == MsgType::Error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(text));
        std::fflush(stderr);
    }
    if (handler())
        return handler()(request);
    return showBox(request);
}

MessageHandler setMessageHandler(MessageHandler h)
{
    MessageHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

namespace {
std::function<void(const QString &)> &errorBox()
{
    static std::function<void(const QString &)> box;
    return box;
}
} // namespace

void setErrorBox(std::function<void(const QString &text)> box)
{
    errorBox() = std::move(box);
}

void showErrorBox(const QString &text)
{
    if (errorBox())
        errorBox()(text);
    else
        messageDialog(MsgType::Error, text);
}
