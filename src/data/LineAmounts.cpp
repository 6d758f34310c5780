#include "LineAmounts.h"

// Plain double arithmetic in the order of the line view's SQL, which SQLite evaluates in doubles too: the
// file is compiled without contracting a product and a sum into one step, which SQLite does not do.
LineAmounts lineAmounts(double num, Money netPrice, double vat, double discount)
{
    const double price = netPrice.toDouble();
    LineAmounts a;
    a.grossPrice = (vat / 100.0 + 1) * price;
    a.netSum = (num * price) * (1 - discount / 100.0);
    a.vat = (vat / 100.0) * a.netSum;
    a.sum = a.vat + a.netSum;
    return a;
}
