#include "Format.h"

#include <QLocale>

#include <cmath>
#include <cstdint>

namespace Format {
namespace {

bool &currencySymbolCleared()
{
    static bool cleared = false;
    return cleared;
}

// QLocale puts its own symbol in when given an empty one, so the symbol's place is held by a private-use
// character and taken out again together with the blank that separates it from the number.
// Negative amounts get the locale's minus sign in front of the positive pattern: Qt's locale data
// gives the accounting form "(1 234,50)", which reads badly on an invoice.
QString currencyText(double value, int decimals = 2)
{
    const QLocale locale;
    const bool negative = value < 0;
    const double magnitude = std::abs(value);
    if (!currencySymbolCleared()) {
        const QString text = locale.toCurrencyString(magnitude, locale.currencySymbol(), decimals);
        return negative ? locale.negativeSign() + text : text;
    }
    static const QString marker(QChar(0xE000));
    QString text = locale.toCurrencyString(magnitude, marker, decimals);
    const qsizetype at = text.indexOf(marker);
    if (at >= 0) {
        qsizetype from = at, to = at + 1;
        while (from > 0 && text.at(from - 1).isSpace())
            --from;
        while (to < text.size() && text.at(to).isSpace())
            ++to;
        text.remove(from, to - from);
    }
    text = text.trimmed();
    // An amount that rounds to zero has no sign.
    return negative && text != locale.toCurrencyString(0.0, marker, 2).remove(marker).trimmed()
               ? locale.negativeSign() + text
               : text;
}

// Up to 2^53 units an amount is exact as a double, and formatted as one. Past that the kroner (still
// exact as a double) are formatted on their own and the hundredths, rounded half away from zero, put in
// after their last digit, so that a text never misstates the amount by more than the rounding.
constexpr std::int64_t ExactUnits = std::int64_t(1) << 53;

bool exactAsDouble(Money value)
{
    return value.units() > -ExactUnits && value.units() < ExactUnits;
}

// The size of an amount in whole hundredths, rounded half away from zero from its exact units.
std::uint64_t hundredthsOf(Money value)
{
    const std::uint64_t magnitude =
        value.units() < 0 ? 0 - static_cast<std::uint64_t>(value.units()) : static_cast<std::uint64_t>(value.units());
    return (magnitude + 50) / 100;
}

QString withHundredths(QString text, Money value)
{
    const std::uint64_t hundredths = hundredthsOf(value) % 100;
    const QLocale locale;
    QString digits = locale.toString(static_cast<qulonglong>(hundredths));
    if (hundredths < 10)
        digits.prepend(locale.zeroDigit());
    qsizetype at = text.size();
    while (at > 0 && !text.at(at - 1).isDigit())
        --at;
    return text.insert(at, locale.decimalPoint() + digits);
}

// The whole kroner of an amount past ExactUnits, with the hundredths carried into them.
double wholeKroner(Money value)
{
    // NOLINTNEXTLINE(bugprone-integer-division): the øre are cut off on purpose, the kroner stay exact
    const double whole = static_cast<double>(hundredthsOf(value) / 100);
    return value.units() < 0 ? -whole : whole;
}

// The amount rounded to whole hundredths from its exact units, half away from zero, as a double: a tie
// such as 2,985 reads 2,99 wherever it stands, and never by the accident of its nearest double (2,985 is
// a little below it, 22,885 a little above).
double inHundredths(Money value)
{
    const double hundredths = static_cast<double>(hundredthsOf(value));
    return (value.units() < 0 ? -hundredths : hundredths) / 100;
}

} // namespace

QString moneyText(Money value)
{
    if (exactAsDouble(value))
        return currencyText(inHundredths(value));
    return withHundredths(currencyText(wholeKroner(value), 0), value);
}

// A computed amount reads as the money it becomes.
QString moneyText(double value)
{
    return Money::fits(value) ? moneyText(money(value)) : currencyText(value);
}

QString moneyEditText(Money value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (exactAsDouble(value))
        return locale.toString(inHundredths(value), 'f', 2);
    return withHundredths(locale.toString(wholeKroner(value), 'f', 0), value);
}

// A computed amount beyond what money holds is edited as the number it is.
QString moneyEditText(double value)
{
    return Money::fits(value) ? moneyEditText(money(value)) : numberText(value, QString());
}

void clearCurrencySymbol()
{
    currencySymbolCleared() = true;
}

void restoreCurrencySymbol()
{
    currencySymbolCleared() = false;
}

QString dateText(const QDateTime &value)
{
    if (!value.isValid())
        return QString();
    const QLocale locale;
    QString text = locale.toString(value.date(), QLocale::ShortFormat);
    if (value.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(value.time(), QLocale::LongFormat);
    return text;
}

QString dateText(const QDate &value)
{
    return value.isValid() ? QLocale().toString(value, QLocale::ShortFormat) : QString();
}

std::optional<QDate> parseDate(const QString &text)
{
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(text.trimmed(), format);
    if (!date.isValid())
        return std::nullopt;
    // A two-digit year is read as 19yy; it means the year of that ending nearest to today.
    if (!format.contains(QLatin1String("yyyy"))) {
        const int thisYear = QDate::currentDate().year();
        while (date.year() < thisYear - 50)
            date = date.addYears(100);
    }
    if (date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    return date;
}

namespace {

// The long time format without its time zone ("HH:mm:ss t" becomes "HH:mm:ss").
QString timeEditFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString dateEditText(const QDateTime &value)
{
    if (!value.isValid())
        return QString();
    const QLocale locale;
    QString text = locale.toString(value.date(), QLocale::ShortFormat);
    if (value.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(value.time(), timeEditFormat(locale));
    return text;
}

std::optional<QDateTime> parseDateTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (const std::optional<QDate> day = parseDate(trimmed))
        return QDateTime(*day, QTime(0, 0), Qt::UTC);
    // The date's own format may hold blanks (d MMM yyyy): each blank is tried as the one before the time.
    const QLocale locale;
    for (qsizetype blank = trimmed.indexOf(QLatin1Char(' ')); blank > 0;
         blank = trimmed.indexOf(QLatin1Char(' '), blank + 1)) {
        const std::optional<QDate> day = parseDate(trimmed.left(blank));
        if (!day)
            continue;
        const QString rest = trimmed.mid(blank + 1).trimmed();
        QTime time = locale.toTime(rest, timeEditFormat(locale));
        if (!time.isValid())
            time = locale.toTime(rest, QLocale::ShortFormat);
        if (time.isValid())
            return QDateTime(*day, time, Qt::UTC);
    }
    return std::nullopt;
}

QString numberText(double value, const QString &displayFormat)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (displayFormat == QLatin1String("0.#%")) {
        const double rounded = std::round(value * 10.0) / 10.0;
        const bool whole = rounded == std::trunc(rounded);
        return locale.toString(rounded, 'f', whole ? 0 : 1) + QLatin1Char('%');
    }
    if (displayFormat == QLatin1String("#%")) { // no digit for zero: the sign alone
        const double rounded = std::round(value);
        return (rounded == 0 ? QString() : locale.toString(rounded, 'f', 0)) + QLatin1Char('%');
    }
    if (displayFormat == QLatin1String("0%"))
        return locale.toString(std::round(value), 'f', 0) + QLatin1Char('%');
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> parseDecimal(const QString &text)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace Format
