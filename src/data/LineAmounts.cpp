#include "LineAmounts.h"

#include "platform/db/Connection.h"

LineAmounts lineAmounts(double num, Money netPrice, double vat, double discount)
{
    using Wide = long double;
    const Wide price = static_cast<Wide>(netPrice.units()) / Money::Scale;
    LineAmounts a;
    a.grossPrice = static_cast<double>((static_cast<Wide>(vat) / 100 + 1) * price);
    a.netSum = static_cast<double>((static_cast<Wide>(num) * price) * (1 - static_cast<Wide>(discount) / 100));
    a.vat = static_cast<double>((static_cast<Wide>(vat) / 100) * static_cast<Wide>(a.netSum));
    a.sum = static_cast<double>(static_cast<Wide>(a.vat) + static_cast<Wide>(a.netSum));
    return a;
}

namespace {

double number(const QVariant &v)
{
    return v.isValid() ? v.toDouble() : 0.0;
}

Money units(const QVariant &v)
{
    return v.isValid() ? Money::fromUnits(v.toLongLong()) : Money();
}

} // namespace

void registerLineFunctions(db::Connection &connection)
{
    connection.registerFunction(QStringLiteral("LINE_GROSSPRICE"), 2, [](const QVariantList &a) {
        return QVariant::fromValue<qint64>(money(lineAmounts(0, units(a[0]), number(a[1]), 0).grossPrice).units());
    });
    connection.registerFunction(QStringLiteral("LINE_NETSUM"), 3, [](const QVariantList &a) {
        return QVariant(lineAmounts(number(a[0]), units(a[1]), 0, number(a[2])).netSum);
    });
    connection.registerFunction(QStringLiteral("LINE_VAT"), 4, [](const QVariantList &a) {
        return QVariant(lineAmounts(number(a[0]), units(a[1]), number(a[2]), number(a[3])).vat);
    });
    connection.registerFunction(QStringLiteral("LINE_SUM"), 4, [](const QVariantList &a) {
        return QVariant(lineAmounts(number(a[0]), units(a[1]), number(a[2]), number(a[3])).sum);
    });
}
