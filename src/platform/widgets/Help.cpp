#include "Help.h"

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

namespace {

HelpViewer &viewer()
{
    static HelpViewer v;
    return v;
}

} // namespace

HelpViewer setHelpViewer(HelpViewer v)
{
    return std::exchange(viewer(), std::move(v));
}

void ShowHelpContext(int context)
{
    if (viewer())
        viewer()(context);
}

void attachHelp(QWidget *window, QAbstractButton *helpButton)
{
    const auto open = [window] { ShowHelpContext(window->property("HelpContext").toInt()); };
    if (helpButton)
        QObject::connect(helpButton, &QAbstractButton::clicked, window, open);
    auto *f1 = new QShortcut(QKeySequence::HelpContents, window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, open);
}

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
