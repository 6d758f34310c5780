#pragma once

#include "core/Messages.h"

// The real message boxes: a modal box with the icon of its type, the first button as default and Escape
// answering No (or OK where that is the only button). Installed by the program at start.
MsgAnswer showMessageBox(const MessageRequest &request);
void installMessageBoxes();
