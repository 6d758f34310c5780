#pragma once

#include <QByteArray>
#include <QString>

// Why the bytes are not a language module the program can use safely, or an empty text when they are.
// A language module is a compiled translation; the translator trusts every length and offset in it, so a
// damaged one (a few bits flipped on the disk) could make it read outside the file. Every block, every
// message the hash table points at and every context entry is checked to lie inside the file, and only the
// blocks the program's own modules hold are accepted (no dependencies on other modules).
QString languageModuleProblem(const QByteArray &module);
