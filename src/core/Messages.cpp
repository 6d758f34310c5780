#include "Messages.h"

#include <QCoreApplication>

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
        return QCoreApplication::translate("MessageDialog", "Error");
    case MsgType::Warning:
        return QCoreApplication::translate("MessageDialog", "Warning");
    case MsgType::Confirmation:
        return QCoreApplication::translate("MessageDialog", "Confirm");
    case MsgType::Information:
        return QCoreApplication::translate("MessageDialog", "Information");
    case MsgType::Plain:
        break;
    }
    return applicationTitle();
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
    if (type == MsgType::Error || !handler()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(text));
        std::fflush(stderr);
    }
    if (handler())
        return handler()(request);
    // Nobody is there to agree: a question counts as answered No.
    return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::No;
}

MessageHandler setMessageHandler(MessageHandler h)
{
    MessageHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

QString AddFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

void ShowErrorText(const QString &text)
{
    messageDialog(MsgType::Error, AddFullStop(text), MsgButtons::OK, applicationTitle());
}

void ShowException(const std::exception &failure)
{
    if (dynamic_cast<const SilentAbort *>(&failure))
        return;
    if (const auto *error = dynamic_cast<const Error *>(&failure))
        ShowErrorText(error->message());
    else
        ShowErrorText(QString::fromUtf8(failure.what()));
}

void MsgError(const QString &text)
{
    messageDialog(MsgType::Error, text);
}

void MsgWarning(const QString &text)
{
    messageDialog(MsgType::Warning, text);
}

void MsgInformation(const QString &text)
{
    messageDialog(MsgType::Information, text);
}

bool MsgConfirm(const QString &text)
{
    return messageDialog(MsgType::Confirmation, text, MsgButtons::YesNo) == MsgAnswer::Yes;
}

MsgAnswer MsgConfirmAll(const QString &text)
{
    return messageDialog(MsgType::Confirmation, text, MsgButtons::YesNoAll);
}
