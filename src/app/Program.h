#pragma once

#include <QString>

// The program's start (after the single-instance check): title, main window, data module, event loop.
// programFolder is where the database is looked for; empty means the executable's folder. Returns the
// exit status: non-zero when the database could not be opened.
int runProgram(const QString &programFolder = QString());
