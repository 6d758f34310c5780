#include "platform/db/Format.h"
#include "platform/db/Money.h"

#include <QLocale>
#include <QTest>

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

    void moneySumsAreExact()
    {
        Money sum;
        for (int i = 0; i < 10; ++i)
            sum += money(0.1);
        QCOMPARE(sum, money(1.0));
        QCOMPARE((money(250) - money(50)).toDouble(), 200.0);
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
};

QTEST_GUILESS_MAIN(MoneyFormatTest)
#include "tst_money_format.moc"
