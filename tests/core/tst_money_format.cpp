#include "core/Errors.h"
#include "core/Format.h"
#include "core/Money.h"
#include "core/Value.h"

#include <QLocale>
#include <QTest>

#include <functional>
#include <limits>

class MoneyFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        Format::restoreCurrencySymbol();
    }

    void moneyRoundsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("units");
        QTest::newRow("whole") << 250.0 << qint64(2500000);
        QTest::newRow("four decimals kept") << 10.0001 << qint64(100001);
        QTest::newRow("line VAT 2.500025") << 2.500025 << qint64(25000);
        QTest::newRow("line sum 12.500125") << 12.500125 << qint64(125001);
        QTest::newRow("just under a unit") << 9.99998 << qint64(100000);
        // Exact ties need a binary fraction: 1/32 is 312.5 units.
        QTest::newRow("tie 312.5 to even") << 0.03125 << qint64(312);
        QTest::newRow("tie 937.5 to even") << 0.09375 << qint64(938);
        QTest::newRow("negative tie to even") << -0.03125 << qint64(-312);
        QTest::newRow("negative") << -1234.56785 << qint64(-12345678);
    }
    void moneyRoundsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, units);
        QCOMPARE(money(value).units(), units);
    }

    // The rounding line's whole kroner: exact in units, a half to the even neighbour on either side of zero.
    void roundedToKroner_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<qint64>("kroner");
        // clang-format off
        QTest::newRow("zero")               << qint64(0)        << qint64(0);
        QTest::newRow("whole stays")        << qint64(12340000) << qint64(1234);
        QTest::newRow(",49 down")           << qint64(12344900) << qint64(1234);
        QTest::newRow(",50 to even down")   << qint64(12345000) << qint64(1234);
        QTest::newRow(",51 up")             << qint64(12345100) << qint64(1235);
        QTest::newRow(",4999 down")         << qint64(12344999) << qint64(1234);
        QTest::newRow(",5001 up")           << qint64(12345001) << qint64(1235);
        QTest::newRow(",50 to even up")     << qint64(12355000) << qint64(1236);
        QTest::newRow("one unit")           << qint64(1)        << qint64(0);
        QTest::newRow("half a krone")       << qint64(5000)     << qint64(0);
        QTest::newRow("one and a half")     << qint64(15000)    << qint64(2);
        QTest::newRow("-,49 up")            << qint64(-2504900) << qint64(-250);
        QTest::newRow("-,50 to even up")    << qint64(-1005000) << qint64(-100);
        QTest::newRow("-,50 to even down")  << qint64(-1015000) << qint64(-102);
        QTest::newRow("-,51 down")          << qint64(-2505100) << qint64(-251);
        QTest::newRow("minus half a krone") << qint64(-5000)    << qint64(0);
        QTest::newRow("largest, down")      << qint64(9223372036854764999) << qint64(922337203685476);
        QTest::newRow("most negative, up")  << qint64(-9223372036854764999) << qint64(-922337203685476);
        // clang-format on
    }
    void roundedToKroner()
    {
        QFETCH(qint64, units);
        QFETCH(qint64, kroner);
        QCOMPARE(Money::fromUnits(units).roundedToKroner().units(), kroner * Money::Scale);
    }

    // A rounding past the largest amount is refused, as a sum past it is, never wrapped around.
    void roundingBeyondMoneyIsRefused()
    {
        for (const qint64 units : {qint64(9223372036854769999), qint64(-9223372036854769999),
                                   std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()}) {
            QString refusal;
            try {
                (void)Money::fromUnits(units).roundedToKroner();
            } catch (const Error &e) {
                refusal = e.message();
            }
            QVERIFY2(refusal.contains("A sum of amounts is beyond"), qPrintable(QString::number(units)));
        }
    }

    void moneySumsAreExact()
    {
        Money sum;
        for (int i = 0; i < 10; ++i)
            sum += money(0.1);
        QCOMPARE(sum, money(1.0));
        QCOMPARE((money(250) - money(50)).toDouble(), 200.0);
    }

    // Money never wraps around: an amount or a sum beyond its range is refused, and a stored count of units
    // beyond it (what an overflow left in a file) reads as no amount at all.
    void amountsBeyondMoneyAreRefused()
    {
        const auto refused = [](const std::function<void()> &action) {
            try {
                action();
            } catch (const Error &e) {
                return e.message();
            }
            return QString();
        };
        QVERIFY(refused([] { money(1e16); }).contains("beyond the largest amount money can hold"));
        QVERIFY(refused([] { money(-922337203685477.0); }).contains("beyond"));
        QVERIFY(refused([] { money(std::numeric_limits<double>::infinity()); }).contains("beyond"));
        QCOMPARE(money(922337203685476.0).units(), qint64(9223372036854760000));
        const Money large = money(900000000000000.0);
        QVERIFY(refused([&] { (void)(large + large); }).contains("A sum of amounts is beyond"));
        QVERIFY(refused([&] { (void)(-large - large); }).contains("A sum of amounts is beyond"));
        QVERIFY(refused([] {
                    (void)(Money::fromUnits(std::numeric_limits<qint64>::max()) + money(1));
                }).contains("A sum of amounts is beyond"));
        QCOMPARE((large - large).units(), qint64(0));

        // clang-format off
        for (const QVariant &stored : {QVariant::fromValue<qint64>(std::numeric_limits<qint64>::min()),
                                       QVariant::fromValue<qint64>(9223372036854775807), QVariant(1e19), QVariant("12,50")}) {
            bool readable = true;
            QVERIFY(db::fromStorage(stored, db::FieldType::Currency, &readable).isNull());
            QVERIFY2(!readable, qPrintable(stored.toString()));
        }
        // clang-format on
        bool readable = false;
        QCOMPARE(db::fromStorage(QVariant::fromValue<qint64>(1250000), db::FieldType::Currency, &readable)
                     .value<Money>()
                     .units(),
                 qint64(1250000));
        QVERIFY(readable);
    }

    void moneyText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const QString nbsp(QChar(0x00A0));
        QTest::newRow("nb thousands") << "nb_NO" << 1234.5 << QString(QStringLiteral("1") + nbsp + "234,50");
        QTest::newRow("nb small") << "nb_NO" << 0.5 << QStringLiteral("0,50");
        QTest::newRow("nb millions") << "nb_NO" << 1234567.891
                                     << QString(QStringLiteral("1") + nbsp + "234" + nbsp + "567,89");
        QTest::newRow("nb negative") << "nb_NO" << -1234.5
                                     << QString(QChar(0x2212) + QStringLiteral("1") + nbsp + "234,50");
        QTest::newRow("nb rounds to zero") << "nb_NO" << -0.001 << QStringLiteral("0,00");
        QTest::newRow("en thousands") << "en_US" << 1234.5 << QStringLiteral("1,234.50");
        QTest::newRow("en negative") << "en_US" << -1234.5 << QStringLiteral("-1,234.50");
        // Ties of the hundredths read half away from zero, whichever side of the tie their nearest double
        // lies: a line's VAT 2,985 and total 22,885 print 2,99 and 22,89, and add up with the net 19,90.
        QTest::newRow("tie below its double") << "nb_NO" << 2.985 << QStringLiteral("2,99");
        QTest::newRow("tie above its double") << "nb_NO" << 22.885 << QStringLiteral("22,89");
        QTest::newRow("line sum 19,90 at 15 %") << "nb_NO" << 19.9 * 1.15 << QStringLiteral("22,89");
        QTest::newRow("negative tie") << "en_US" << -2.985 << QStringLiteral("-2.99");
    }
    void moneyText()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        Format::clearCurrencySymbol();
        QCOMPARE(Format::moneyText(value), expected);
        QCOMPARE(Format::moneyText(money(value)), expected);
    }

    void currencySymbolShowsUntilCleared()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        QVERIFY(Format::moneyText(10.0).contains(QLatin1String("kr")));
        QVERIFY(Format::moneyText(-10.0).startsWith(QLocale().negativeSign()));
        Format::clearCurrencySymbol();
        QVERIFY(!Format::moneyText(10.0).contains(QLatin1String("kr")));
    }

    void moneyEditTextIsPlain()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        QCOMPARE(Format::moneyEditText(money(1234.5)), QStringLiteral("1234,50"));
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QCOMPARE(Format::moneyEditText(money(-8.0645)), QStringLiteral("-8.06"));
        QCOMPARE(Format::moneyEditText(money(2.985)), QStringLiteral("2.99"));
    }

    void dateText()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 0), Qt::UTC);
        QCOMPARE(Format::dateText(midnight), QLocale().toString(QDate(2026, 12, 31), QLocale::ShortFormat));
        QCOMPARE(Format::dateText(midnight), QStringLiteral("31.12.2026"));
        const QDateTime afternoon(QDate(2026, 12, 31), QTime(14, 5, 9), Qt::UTC);
        QCOMPARE(Format::dateText(afternoon),
                 QStringLiteral("31.12.2026 ") + QLocale().toString(QTime(14, 5, 9), QLocale::LongFormat));
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QCOMPARE(Format::dateText(midnight), QStringLiteral("12/31/26"));
        QCOMPARE(Format::dateText(QDateTime()), QString());
    }

    void numberFormats_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole 0.#%") << "en_US"
                                    << "0.#%" << 24.0 << "24%";
        QTest::newRow("one decimal") << "en_US"
                                     << "0.#%" << 12.5 << "12.5%";
        QTest::newRow("nb decimal comma") << "nb_NO"
                                          << "0.#%" << 12.5 << "12,5%";
        QTest::newRow("rounded to one") << "en_US"
                                        << "0.#%" << 12.46 << "12.5%";
        QTest::newRow("0% rounds") << "en_US"
                                   << "0%" << 24.6 << "25%";
        QTest::newRow("0% whole") << "nb_NO"
                                  << "0%" << 15.0 << "15%";
        QTest::newRow("no format") << "nb_NO"
                                   << "" << 2.5 << "2,5";
    }
    void numberFormats()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(Format::numberText(value, format), expected);
    }

    void parseDecimal_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("nb comma") << "nb_NO"
                                  << "1000,5" << true << 1000.5;
        QTest::newRow("nb point refused") << "nb_NO"
                                          << "1000.5" << false << 0.0;
        QTest::newRow("nb thousands refused")
            << "nb_NO" << QString(QStringLiteral("1") + QChar(0xA0) + QStringLiteral("000,5")) << false << 0.0;
        QTest::newRow("en point") << "en_US"
                                  << "8.0645" << true << 8.0645;
        QTest::newRow("en thousands refused") << "en_US"
                                              << "1,000.5" << false << 0.0;
        QTest::newRow("letters refused") << "en_US"
                                         << "12kr" << false << 0.0;
        QTest::newRow("blanks trimmed") << "en_US"
                                        << " 10 " << true << 10.0;
        QTest::newRow("negative") << "en_US"
                                  << "-3" << true << -3.0;
    }
    void parseDecimal()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        const std::optional<double> parsed = Format::parseDecimal(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(*parsed, value);
    }

    // Past 2^53 units an amount is no longer exact as a double; its texts still state it to the hundredth.
    void largeAmounts_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");     // with Norwegian settings; blanks for the thousands separator
        QTest::addColumn<QString>("editText"); // '-' for the minus sign
        // clang-format off
        QTest::newRow("whole kroner")            << qint64(622222222222200000)  << "62 222 222 222 220,00"   << "62222222222220,00";
        QTest::newRow("half a hundredth up")     << qint64(11055155556053550)   << "1 105 515 555 605,36"    << "1105515555605,36";
        QTest::newRow("carried into the kroner") << qint64(99999999999999951)   << "10 000 000 000 000,00"   << "10000000000000,00";
        QTest::newRow("negative")                << qint64(-11055155556053549)  << "-1 105 515 555 605,35"   << "-1105515555605,35";
        QTest::newRow("largest")                 << qint64(9223372036854775807) << "922 337 203 685 477,58"  << "922337203685477,58";
        // clang-format on
    }
    void largeAmounts()
    {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QFETCH(QString, editText);
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        Format::clearCurrencySymbol();
        const QString minus = QLocale().negativeSign();
        QCOMPARE(Format::moneyText(Money::fromUnits(units)),
                 QString(text).replace(QLatin1Char(' '), QChar(0xA0)).replace(QLatin1Char('-'), minus));
        QCOMPARE(Format::moneyEditText(Money::fromUnits(units)), QString(editText).replace(QLatin1Char('-'), minus));
    }

    // Dates as typed: in the short date format, with a time as the edit text shows one; the years a stored
    // date can have.
    void dateEntry_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("moment"); // as stored; empty: refused
        // clang-format off
        QTest::newRow("date")                  << "nb_NO" << "10.12.2026"          << "2026-12-10 00:00:00";
        QTest::newRow("date and time")         << "nb_NO" << "10.12.2026 14:30:05" << "2026-12-10 14:30:05";
        QTest::newRow("short time")            << "nb_NO" << "10.12.2026 14:30"    << "2026-12-10 14:30:00";
        QTest::newRow("negative year")         << "nb_NO" << "10.12.-2026"         << "";
        QTest::newRow("year 0")                << "nb_NO" << "10.12.0000"          << "";
        QTest::newRow("no time")               << "nb_NO" << "10.12.2026 25:00"    << "";
        QTest::newRow("two-digit year")        << "en_US" << "12/10/26"            << "2026-12-10 00:00:00";
        QTest::newRow("time of day, English")  << "en_US" << "12/10/26 2:30:05 PM" << "2026-12-10 14:30:05";
        QTest::newRow("blanks in the date")    << "C"     << "10 Dec 2026 14:30:05" << "2026-12-10 14:30:05";
        // clang-format on
    }
    void dateEntry()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, moment);
        QLocale::setDefault(QLocale(locale));
        const std::optional<QDateTime> parsed = Format::parseDateTime(text);
        QCOMPARE(parsed ? db::storedDateTime(*parsed) : QString(), moment);
        if (parsed) // what the edit text shows reads back the same
            QCOMPARE(Format::parseDateTime(Format::dateEditText(*parsed)), parsed);
    }

    // The stored form YYYY-MM-DD, with HH:MM or HH:MM:SS after a blank or a T and a fraction of a second;
    // anything else is no date.
    void storedDateTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("moment"); // empty: not a stored date-time
        // clang-format off
        QTest::newRow("date")                << "2026-12-10"              << "2026-12-10 00:00:00";
        QTest::newRow("date and time")       << "2026-12-10 14:30:05"     << "2026-12-10 14:30:05";
        QTest::newRow("T and minutes")       << "2026-12-10T14:30"        << "2026-12-10 14:30:00";
        QTest::newRow("fraction")            << "2026-12-10 14:30:05.250" << "2026-12-10 14:30:05";
        QTest::newRow("other separators")    << "2424.12424.12.26.26"     << "";
        QTest::newRow("hour alone")          << "2026-12-10 14"           << "";
        QTest::newRow("trailing letter")     << "2026-12-10x"             << "";
        QTest::newRow("letter in fraction")  << "2026-12-10 14:30:05.2x"  << "";
        QTest::newRow("no fraction digits")  << "2026-12-10 14:30:05."    << "";
        QTest::newRow("no such day")         << "2026-02-30"              << "";
        // clang-format on
    }
    void storedDateTimes()
    {
        QFETCH(QString, text);
        QFETCH(QString, moment);
        const QDateTime parsed = db::parseStoredDateTime(text);
        QCOMPARE(parsed.isValid() ? db::storedDateTime(parsed) : QString(), moment);
    }
};

QTEST_GUILESS_MAIN(MoneyFormatTest)
#include "tst_money_format.moc"
