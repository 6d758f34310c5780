#pragma once

#include <QString>

// The program's start: refuses to run while the program already runs for this user (a warning box, exit
// status 1), then runs it. programFolder is where the database and the language modules are looked for;
// empty means the executable's folder.
int startProgram(const QString &programFolder = QString());

// The start after the single-instance check: title, main window, data module, event loop. Returns the
// exit status: non-zero when the database could not be opened.
int runProgram(const QString &programFolder = QString());

// Whether the program already runs for this user.
bool programAlreadyRunning();
