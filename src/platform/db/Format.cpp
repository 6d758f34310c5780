#include "Format.h"

#include <QLocale>

#include <cmath>

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
QString currencyText(double value)
{
    const QLocale locale;
    const bool negative = value < 0;
    const double magnitude = std::abs(value);
    if (!currencySymbolCleared()) {
        const QString text = locale.toCurrencyString(magnitude, locale.currencySymbol(), 2);
        return negative ? locale.negativeSign() + text : text;
    }
    static const QString marker(QChar(0xE000));
    QString text = locale.toCurrencyString(magnitude, marker, 2);
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

} // namespace

QString moneyText(Money value)
{
    return currencyText(value.toDouble());
}

QString moneyText(double value)
{
    return currencyText(value);
}

QString moneyEditText(Money value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value.toDouble(), 'f', 2);
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
    return date;
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
