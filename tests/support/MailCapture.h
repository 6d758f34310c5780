#pragma once

#include "windows/invoicing/MailClient.h"

#include <QList>

// Seam guard for the tests of windows: takes the messages handed to the mail client instead of starting
// it; the client "fails" while `works` is false.
class MailCapture {
public:
    MailCapture()
    {
        setMailSender([this](const MailMessage &message) {
            sent << message;
            return works;
        });
    }
    ~MailCapture() { setMailSender({}); }
    MailCapture(const MailCapture &) = delete;
    MailCapture &operator=(const MailCapture &) = delete;

    QList<MailMessage> sent;
    bool works = true;
};
