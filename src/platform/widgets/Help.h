#pragma once

#include <functional>

class QAbstractButton;
class QWidget;

// Opens the help file at a context number. The program's help viewer installs itself here; until then,
// as with a missing help file, asking for help does nothing and says nothing.
using HelpViewer = std::function<void(int context)>;
HelpViewer setHelpViewer(HelpViewer viewer);
void ShowHelpContext(int context);

// The help of a window: its "HelpContext" property, opened by the Help button (when given) and by F1.
void attachHelp(QWidget *window, QAbstractButton *helpButton = nullptr);

// A push button that stands for an action: its text and enabled state follow the action, a click
// triggers it.
void bindButtonToAction(QAbstractButton *button, class QAction *action);
