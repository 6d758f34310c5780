#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

MsgAnswer showMessageBox(const MessageRequest &request)
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
        if (request.buttons == MsgButtons::YesNoCancel)
            add(QT_TRANSLATE_NOOP("MessageDialog", "Cancel"), QMessageBox::RejectRole, MsgAnswer::Cancel);
        if (request.buttons == MsgButtons::YesNoAll) {
            add(QT_TRANSLATE_NOOP("MessageDialog", "N&o to All"), QMessageBox::NoRole, MsgAnswer::NoToAll);
            add(QT_TRANSLATE_NOOP("MessageDialog", "Yes to &All"), QMessageBox::YesRole, MsgAnswer::YesToAll);
        }
    }
    box.setDefaultButton(choices.front().button);
    if (request.buttons == MsgButtons::OK) {
        box.setEscapeButton(choices.front().button);
    } else if (request.buttons == MsgButtons::YesNoCancel) {
        box.setEscapeButton(choices.back().button); // Escape and the close box: Cancel
    } else {
        // Escape and the close box answer through a button nobody sees: closed without a choice.
        QPushButton *closed = box.addButton(QMessageBox::Cancel);
        closed->hide();
        box.setEscapeButton(closed);
        choices.push_back({closed, MsgAnswer::Closed});
    }
    box.exec();
    for (const Choice &c : choices)
        if (box.clickedButton() == c.button)
            return c.answer;
    return request.buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Closed;
}

void installMessageBoxes()
{
    setMessageHandler(&showMessageBox);
}
