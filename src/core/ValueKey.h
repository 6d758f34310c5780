#pragma once

#include <QString>
#include <QVariant>

namespace db {

// The text by which two values are the same key: money by its units, a date-time in its stored form, a
// whole double as the integer it is; null is the empty text.
QString canonicalKey(const QVariant &value);

} // namespace db
