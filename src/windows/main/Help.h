#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QWidget;

// What the program asks of its help: a window's context number (Help buttons, F1, "Contents"), a topic
// by name, a keyword of the index, or the table of contents.
struct HelpRequest {
    enum class Kind { Context, Topic, Keyword, Contents };
    Kind kind = Kind::Context;
    int context = 0;
    QString text; // the topic or the keyword
};

// Where requests go. The program installs its help viewer on the help file (installHelpFile); tests may
// install their own. Without one, as with a missing help file, asking for help does nothing and says
// nothing.
using HelpViewer = std::function<void(const HelpRequest &request)>;
HelpViewer setHelpViewer(HelpViewer viewer);
void ShowHelpContext(int context);
void ShowHelpTopic(const QString &topic);
void ShowHelpKeyword(const QString &keyword);
void ShowHelpContents();

// The program's own help viewer on the compiled help file `fileName`, looked for beside the executable
// when it names no folder. Only a name ending in ".chm" is served; a file that is missing or cannot be
// read does nothing and says nothing.
void installHelpFile(const QString &fileName);

// The help of a window: its "HelpContext" property, opened by the Help button (when given). F1 opens the
// context of the focused control, or of the nearest control or window around it that has one.
void attachHelp(QWidget *window, QAbstractButton *helpButton = nullptr);
