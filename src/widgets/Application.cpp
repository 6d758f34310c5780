#include "Application.h"

#include "core/Messages.h"

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
