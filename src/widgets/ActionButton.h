#pragma once

class QAbstractButton;
class QAction;

// A push button that stands for an action: its text and enabled state follow the action, a click
// triggers it.
void bindButtonToAction(QAbstractButton *button, QAction *action);
