#include "ValueKey.h"

#include "Value.h"

#include <cmath>

namespace db {

QString canonicalKey(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.typeId() == qMetaTypeId<Money>())
        return QString::number(v.value<Money>().units());
    if (v.typeId() == QMetaType::QDateTime)
        return storedDateTime(v.toDateTime());
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == std::trunc(d) && std::abs(d) < 1e15)
            return QString::number(qint64(d));
    }
    return v.toString();
}

} // namespace db
