#pragma once

#include <QString>

#include <functional>

class TfrmMain;

// The program's start: refuses to run while the program already runs for this user (a warning box, exit
// status 1), then runs it. programFolder is where the database and the language modules are looked for;
// empty means the executable's folder.
int startProgram(const QString &programFolder = QString());

// For code that drives the program itself (tests): created runs on the new main window before it is
// shown, shown once it stands, inside the event loop.
struct ProgramHooks {
    std::function<void(TfrmMain &)> created;
    std::function<void(TfrmMain &)> shown;
};

// The start after the single-instance check: title, real message boxes, main window, data module, event
// loop. Returns the exit status: non-zero when the database could not be opened.
int runProgram(const QString &programFolder = QString(), const ProgramHooks &hooks = {});

// Whether the program already runs for this user.
bool programAlreadyRunning();
