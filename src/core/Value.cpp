#include "Value.h"

#include "Errors.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

void refuseAmount(double kroner)
{
    throw Error(QCoreApplication::translate("Money", "The amount %1 is beyond the largest amount money can hold")
                    .arg(QLocale().toString(kroner, 'g', 15)));
}

void refuseSum()
{
    throw Error(QCoreApplication::translate("Money", "A sum of amounts is beyond the largest amount money can hold"));
}

namespace db {

bool isTextType(FieldType type)
{
    return type == FieldType::String || type == FieldType::FixedString;
}

bool isIntegerType(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::SmallInt || type == FieldType::AutoInc;
}

QString storedDateTime(const QDateTime &value)
{
    const QDate d = value.date();
    const QTime t = value.time();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                  t.minute(), t.second());
    return QString::fromLatin1(buffer);
}

// Hand-parsed: lists of many thousand invoices read four of these per row.
QDateTime parseStoredDateTime(const char *text, int length)
{
    if (length < 10)
        return QDateTime();
    bool ok = true;
    auto digits = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            const char c = text[i];
            if (c < '0' || c > '9') {
                ok = false;
                return 0;
            }
            v = v * 10 + (c - '0');
        }
        return v;
    };
    // YYYY-MM-DD, then HH:MM or HH:MM:SS after a blank or a T, then at most a fraction of a second.
    auto is = [&](int at, char c) {
        if (text[at] != c)
            ok = false;
    };
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    is(4, '-');
    is(7, '-');
    int hour = 0, minute = 0, second = 0;
    if (length > 10) {
        if (length < 16 || (text[10] != ' ' && text[10] != 'T'))
            return QDateTime();
        hour = digits(11, 2);
        is(13, ':');
        minute = digits(14, 2);
        if (length > 16) {
            if (length < 19)
                return QDateTime();
            is(16, ':');
            second = digits(17, 2);
            if (length > 19) {
                is(19, '.');
                if (length == 20)
                    ok = false;
                for (int i = 20; i < length; ++i)
                    if (text[i] < '0' || text[i] > '9')
                        ok = false;
            }
        }
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!ok || !date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QDateTime parseStoredDateTime(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    return parseStoredDateTime(latin.constData(), int(latin.size()));
}

QVariant toStorage(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return storedDateTime(value.toDateTime());
    case QMetaType::QDate:
        return storedDateTime(QDateTime(value.toDate(), QTime(0, 0), Qt::UTC));
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        if (value.typeId() == qMetaTypeId<Money>())
            return QVariant::fromValue<qint64>(value.value<Money>().units());
        return value;
    }
}

QVariant fromStorage(const QVariant &raw, FieldType type, bool *readable)
{
    if (readable)
        *readable = true;
    if (!raw.isValid() || raw.isNull())
        return QVariant();
    const auto none = [&] {
        if (readable)
            *readable = false;
        return QVariant();
    };
    const int kind = raw.typeId();
    if (kind == QMetaType::QByteArray && !isTextType(type))
        return none();
    // A number: stored as one, or as a text that is a number and nothing else.
    bool isNumber = kind == QMetaType::LongLong || kind == QMetaType::Int || kind == QMetaType::Double;
    bool isInteger = kind == QMetaType::LongLong || kind == QMetaType::Int;
    qint64 integer = isInteger ? raw.toLongLong() : 0;
    double real = raw.toDouble();
    if (kind == QMetaType::QString && !isTextType(type) && type != FieldType::DateTime) {
        const QString text = raw.toString().trimmed();
        integer = text.toLongLong(&isInteger);
        if (!isInteger)
            real = text.toDouble(&isNumber);
        else
            real = double(integer);
        isNumber = isNumber || isInteger;
    }
    switch (type) {
    case FieldType::String:
    case FieldType::FixedString:
        return raw.toString();
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::AutoInc:
        if (isInteger)
            return QVariant::fromValue<qint64>(integer);
        // A whole number held as a real, within the range of an integer.
        if (isNumber && real == std::trunc(real) && std::abs(real) < 9.2e18)
            return QVariant::fromValue<qint64>(qint64(real));
        return none();
    case FieldType::Double:
        if (!isNumber || !std::isfinite(real))
            return none();
        return real;
    case FieldType::Currency:
        // Units, or a real count of units computed by a statement (rounded half to even); an amount beyond
        // what money holds is what an overflow left behind, not an amount.
        if (isInteger) {
            if (!Money::fitsUnits(integer))
                return none();
            return QVariant::fromValue(Money::fromUnits(integer));
        }
        if (!isNumber || !std::isfinite(real) || !Money::fits(real / Money::Scale))
            return none();
        return QVariant::fromValue(Money::fromUnits(static_cast<qint64>(std::nearbyint(real))));
    case FieldType::DateTime: {
        const QDateTime dt = kind == QMetaType::QString     ? parseStoredDateTime(raw.toString())
                             : kind == QMetaType::QDateTime ? raw.toDateTime()
                                                            : QDateTime();
        if (!dt.isValid())
            return none();
        return dt;
    }
    case FieldType::Boolean:
        if (!isNumber)
            return none();
        return isInteger ? integer != 0 : real != 0;
    }
    return raw;
}

} // namespace db
