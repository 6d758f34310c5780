// Money, number and date texts as the user types them, and date-times as the database file holds them:
// every text is read or refused, and what is read is shown as a text that reads back the same.
//
// The first byte of an input picks the locale, the rest is the text.

#include "core/Format.h"
#include "core/Money.h"
#include "core/Value.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition, const QString &what)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

// The amount a plain decimal text states, in money units, read digit by digit (a double could not tell
// the hundredths of large amounts).
std::optional<std::int64_t> exactUnits(const QString &text)
{
    const QLocale locale;
    QString digits = text;
    const bool negative = digits.startsWith(locale.negativeSign());
    if (negative)
        digits.remove(0, locale.negativeSign().size());
    const qsizetype point = digits.indexOf(locale.decimalPoint());
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + locale.decimalPoint().size());
    if (whole.isEmpty() || fraction.size() > 4)
        return std::nullopt;
    bool wholeOk = false, fractionOk = true;
    const std::int64_t kroner = whole.toLongLong(&wholeOk);
    const std::int64_t units =
        fraction.isEmpty() ? 0 : fraction.leftJustified(4, QLatin1Char('0')).toLongLong(&fractionOk);
    if (!wholeOk || !fractionOk || kroner > 922337203685477)
        return std::nullopt;
    const std::int64_t magnitude = kroner * Money::Scale + units;
    return negative ? -magnitude : magnitude;
}

void numbers(const QString &text)
{
    const std::optional<double> x = Format::parseDecimal(text);
    if (!x || !std::isfinite(*x))
        return;
    // The shortest exact text of a number reads back as that number.
    const QString shown = Format::numberText(*x);
    const std::optional<double> again = Format::parseDecimal(shown);
    require(again && *again == *x, QStringLiteral("%1 is shown as %2").arg(text, shown));
    if (!Money::fits(*x))
        return;
    // An amount's edit text can be typed in again, and reads back as the amount to the cent.
    const Money amount = money(*x);
    require(!Format::moneyText(amount).isEmpty(), text);
    const QString editText = Format::moneyEditText(amount);
    require(Format::parseDecimal(editText).has_value(), QStringLiteral("%1 is edited as %2").arg(text, editText));
    const std::optional<std::int64_t> edited = exactUnits(editText);
    require(edited && *edited - amount.units() >= -50 && *edited - amount.units() <= 50,
            QStringLiteral("%1 is edited as %2").arg(text, editText));
}

void dates(const QString &text)
{
    if (const std::optional<QDateTime> moment = Format::parseDateTime(text)) {
        const QString edited = Format::dateEditText(*moment);
        require(Format::parseDateTime(edited) == moment, QStringLiteral("%1 is edited as %2").arg(text, edited));
    }
    const std::optional<QDate> day = Format::parseDate(text);
    if (!day)
        return;
    const QString shown = Format::dateText(*day);
    const std::optional<QDate> again = Format::parseDate(shown);
    require(day->isValid() && again && *again == *day, QStringLiteral("%1 is shown as %2").arg(text, shown));
}

void storedDateTimes(const QByteArray &raw)
{
    const QDateTime moment = db::parseStoredDateTime(raw.constData(), int(raw.size()));
    if (!moment.isValid())
        return;
    const QString stored = db::storedDateTime(moment);
    require(db::parseStoredDateTime(stored) == moment,
            QStringLiteral("%1 is stored as %2").arg(QString::fromLatin1(raw), stored));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const QLocale locales[] = {QLocale(QStringLiteral("nb_NO")), QLocale::c(), QLocale(QStringLiteral("en_US")),
                                      QLocale(QStringLiteral("de_CH"))};
    QLocale::setDefault(locales[data[0] % std::size(locales)]);
    const QByteArray raw(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = QString::fromUtf8(raw);
    numbers(text);
    dates(text);
    storedDateTimes(raw);
    return 0;
}
