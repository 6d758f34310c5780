#include "ActionButton.h"

#include <QAbstractButton>
#include <QAction>

void bindButtonToAction(QAbstractButton *button, QAction *action)
{
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setToolTip(action->toolTip());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}
