#include "uMisc.h"

#include <QToolTip>

namespace {

class ToolTipSwitch : public QObject {
public:
    bool enabled = true;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!enabled && event->type() == QEvent::ToolTip)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

ToolTipSwitch *toolTipSwitch()
{
    static ToolTipSwitch *filter = nullptr;
    if (!filter && QCoreApplication::instance()) {
        filter = new ToolTipSwitch;
        filter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
    return filter;
}

} // namespace

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

void setToolTipsEnabled(bool enabled)
{
    if (ToolTipSwitch *filter = toolTipSwitch())
        filter->enabled = enabled;
    if (!enabled)
        QToolTip::hideText();
}

bool toolTipsEnabled()
{
    ToolTipSwitch *filter = toolTipSwitch();
    return !filter || filter->enabled;
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &failure) {
        ShowException(failure);
    }
    return false;
}
