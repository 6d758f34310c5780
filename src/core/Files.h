#pragma once

#include <QString>

// Facts about files on this machine, with the system's reasons in words.

// The system's words for an error number ("No space left on device", "Permission denied").
QString systemReason(int errorNumber);

// Why this user may not change the file or folder at path, in the system's words; empty when they may.
// The write permission bits count for the superuser too: a file marked read-only stays read-only.
QString whyReadOnly(const QString &path);

// The user's private runtime folder, which no other user can enter: $XDG_RUNTIME_DIR when it is such a
// folder, otherwise a folder of this user's own (mode 0700) in the temporary folder. Empty when neither is
// safe.
QString privateRuntimeFolder();
