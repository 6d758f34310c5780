#pragma once

#include <QString>

#include <functional>

// A message handed to the user's own mail client, which shows it for the user to edit and send.
struct MailMessage {
    QString recipientName;
    QString recipientAddress; // may be empty: the mail client asks
    QString subject;
    QString body;
    QString attachment; // path of the file to attach; the client offers it under its file name
};

// Opens the mail client with the message (xdg-email). False when the recipient's address is not a plain
// address (see mailAddressProblem), or the client could not be started or reported a failure.
bool sendMail(const MailMessage &message);

// Why the address cannot be handed to the mail client, as a sentence for the user; empty for an empty
// address and for a plain one, name@domain.no. Anything else (a '?' or '&' that would add parts to the
// message, a leading '-' the hand-off would take for an option, spaces, control characters) is refused.
QString mailAddressProblem(const QString &address);

// Tests replace the hand-off; an empty function restores xdg-email.
using MailSender = std::function<bool(const MailMessage &)>;
void setMailSender(MailSender sender);

// The command line sendMail runs (for tests and diagnostics).
QStringList mailCommand(const MailMessage &message);
