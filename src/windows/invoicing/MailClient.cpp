#include "MailClient.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace {

MailSender &sender()
{
    static MailSender s;
    return s;
}

// Letters and digits of any script, and in the local part the few marks real addresses use.
const QRegularExpression &plainAddress()
{
    static const QRegularExpression pattern(QStringLiteral("^[\\p{L}\\p{N}_+](?:[\\p{L}\\p{N}_+-]|\\.(?!\\.|@))*"
                                                           "@[\\p{L}\\p{N}](?:[\\p{L}\\p{N}-]*[\\p{L}\\p{N}])?(?:\\.["
                                                           "\\p{L}\\p{N}](?:[\\p{L}\\p{N}-]*[\\p{L}\\p{N}])?)+\\z"));
    return pattern;
}

// A name goes into the recipient as "Name <address>" only when it holds nothing the mail client could read
// as more than a name.
bool plainName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[\\p{L}\\p{M}\\p{N} .'-]*\\z"));
    return pattern.match(name).hasMatch();
}

} // namespace

QString mailAddressProblem(const QString &address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty() || (trimmed.size() <= 254 && plainAddress().match(trimmed).hasMatch()))
        return QString();
    QString shown = trimmed.left(80);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = QChar::ReplacementCharacter;
    return QCoreApplication::translate("MailClient", "The e-mail address \"%1\" is not a plain address such as "
                                                     "name@firma.no, so it is not handed to the mail client. Correct "
                                                     "it on the customer's card.")
        .arg(shown);
}

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
        command << (name.isEmpty() || !plainName(name)
                        ? message.recipientAddress.trimmed()
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
    if (!mailAddressProblem(message.recipientAddress).isEmpty())
        return false;
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
