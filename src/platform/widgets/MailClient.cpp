#include "MailClient.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace {

MailSender &sender()
{
    static MailSender s;
    return s;
}

} // namespace

QStringList mailCommand(const MailMessage &message)
{
    QStringList command = {QStringLiteral("xdg-email"), QStringLiteral("--utf8"),
                           QStringLiteral("--subject"), message.subject,
                           QStringLiteral("--body"),    message.body};
    if (!message.attachment.isEmpty())
        command << QStringLiteral("--attach") << message.attachment;
    // Without an address the client opens the message with no recipient and the user fills it in.
    if (!message.recipientAddress.trimmed().isEmpty()) {
        const QString name = message.recipientName.trimmed();
        command << (name.isEmpty() ? message.recipientAddress
                                   : QStringLiteral("%1 <%2>").arg(name, message.recipientAddress.trimmed()));
    }
    return command;
}

void setMailSender(MailSender s)
{
    sender() = std::move(s);
}

bool sendMail(const MailMessage &message)
{
    if (sender())
        return sender()(message);
    QStringList command = mailCommand(message);
    const QString program = command.takeFirst();
    // Owned by the application: a mail client that was not running keeps xdg-email waiting until the
    // client ends, and must not be killed with it.
    auto *process = new QProcess(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    process->start(program, command);
    if (!process->waitForStarted(10000))
        return false;
    if (!process->waitForFinished(5000))
        return true; // still showing the message: the client is up
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}
