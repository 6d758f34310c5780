#pragma once

#include "Money.h"

#include <QDateTime>
#include <QVariant>

namespace db {

enum class FieldType { String, FixedString, Integer, SmallInt, AutoInc, Double, Currency, DateTime, Boolean };

bool isTextType(FieldType type);
bool isIntegerType(FieldType type);

// In memory a value is a QVariant holding QString, int, double, Money, QDateTime or bool; null is an
// invalid QVariant. In the database money is an integer count of 1/10000 units and a date-time the
// text YYYY-MM-DD HH:MM:SS.
QString storedDateTime(const QDateTime &value);
QDateTime parseStoredDateTime(const QString &text);
QDateTime parseStoredDateTime(const char *text, int length);

// What a parameter or column value becomes when handed to the database engine.
QVariant toStorage(const QVariant &value);
// An engine value read into a field of the given type. Money computed by a statement arrives as a real
// count of units and is rounded half to even. A value that is none of the type (a text in a number's
// place, a date that is no date, a real where a whole number belongs, an amount beyond what money holds)
// reads as null and clears *readable.
QVariant fromStorage(const QVariant &raw, FieldType type, bool *readable = nullptr);

} // namespace db
