#pragma once

#include "core/Money.h"

// The amounts of one invoice line. A missing value counts as 0; each step is a double operation in a fixed
// order, the same the line view INVITEMVIEW of the database does in SQL, so the line fields, the view (read
// by the program or any other SQLite client) and the invoice totals all see the same numbers.
struct LineAmounts {
    double grossPrice = 0; // unit price including VAT
    double netSum = 0;     // line amount excluding VAT, after discount
    double vat = 0;        // VAT of the line
    double sum = 0;        // line amount including VAT
};

LineAmounts lineAmounts(double num, Money netPrice, double vat, double discount);

// The totals of an invoice: each line's amounts rounded to money (ties to even) and added, so the totals
// are exact sums of what the lines show. Every total the program stores or prints is added up here.
struct InvoiceTotals {
    Money gross; // GROSSSUM: the amount to pay
    Money vat;   // SUMVAT
    Money net;   // the net sales printed on the invoice
    void add(const LineAmounts &line)
    {
        gross += money(line.sum);
        vat += money(line.vat);
        net += money(line.netSum);
    }
};
