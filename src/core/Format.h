#pragma once

#include "Money.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Every money, date and percentage text the program shows or prints comes from here, formatted with the
// locale in force (QLocale()).
namespace Format {

// The currency format of the locale with exactly two decimals. The currency symbol is the locale's own
// until clearCurrencySymbol() is called (the data module does so at start), and empty afterwards.
QString moneyText(Money value);
QString moneyText(double value);
// The text of a money value being edited: the plain number with two decimals, no thousands separators.
// A double beyond what money holds is the number as it is.
QString moneyEditText(Money value);
QString moneyEditText(double value);
void clearCurrencySymbol();
void restoreCurrencySymbol(); // for tests

// The short date format; a time of day other than midnight adds a blank and the long time format.
QString dateText(const QDateTime &value);
QString dateText(const QDate &value);
// A date in the short date format, as dateText writes it; nothing when the text is no such date or its
// year is not one from 1 to 9999 (the years a stored date can have).
std::optional<QDate> parseDate(const QString &text);
// The text of a date and time being edited: as dateText, but the time of day without the time zone the
// long time format adds (a stored moment has none), so that parseDateTime reads it back.
QString dateEditText(const QDateTime &value);
// A date as parseDate reads it, alone (midnight) or followed by a blank and a time as dateEditText writes
// it or in the short time format; nothing otherwise.
std::optional<QDateTime> parseDateTime(const QString &text);

// Display formats of numeric fields: "0.#%" (at most one decimal), "0%" (whole number) and "#%" (whole
// number, zero as the sign alone); the percent sign is literal and does not scale the value. An empty format gives the
// shortest exact text.
QString numberText(double value, const QString &displayFormat = QString());

// A plain decimal number in the locale's notation; thousands separators and other characters are refused.
std::optional<double> parseDecimal(const QString &text);

} // namespace Format
