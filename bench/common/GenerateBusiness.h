#pragma once

// A large business for the benchmarks: customers with Norwegian names, invoices spread over ten years
// with their lines, totals computed as the program computes them, most of them paid.

#include "core/Clock.h"
#include "core/Connection.h"
#include "data/DatabaseCreation.h"
#include "data/LineAmounts.h"

#include <QDate>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

inline void generateBusiness(const QString &path, int customers, int invoices, int linesPerInvoice)
{
    std::printf("Generating %s ...\n", qPrintable(path));
    std::fflush(stdout);
    createDatabase(path, false);
    db::Connection c(QStringLiteral("generator"));
    c.description = db::ConnectionDescription::sqliteFile(path);
    c.open();
    c.beginTransaction();
    QRandomGenerator random(20261210);
    static const char *firstNames[] = {"Kari", "Ola",   "Ingrid", "Lars",    "Solveig", "Per",  "Marit", "Bjørn",
                                       "Anne", "Håkon", "Astrid", "Øystein", "Sigrid",  "Knut", "Åse",   "Erik"};
    static const char *surnames[] = {"Nordmann", "Hansen", "Johansen",    "Olsen",  "Larsen",  "Andersen",
                                     "Pedersen", "Nilsen", "Kristiansen", "Jensen", "Karlsen", "Berg",
                                     "Haugen",   "Hagen",  "Ødegård",     "Ålvik",  "Ærø",     "Dahl"};
    db::Statement customer(c, QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, "
                                             "POSTALADDRESS) values (:NO, :F, :S, :A, '0150', 'OSLO')"));
    for (int i = 1; i <= customers; ++i) {
        customer.reset();
        customer.bind(QStringLiteral("NO"), i);
        customer.bind(QStringLiteral("F"), QString::fromUtf8(firstNames[random.bounded(16)]));
        customer.bind(QStringLiteral("S"),
                      QString(QString::fromUtf8(surnames[random.bounded(18)]) + QString::number(i % 97)));
        customer.bind(QStringLiteral("A"), QStringLiteral("Storgata %1").arg(i % 200));
        customer.step();
    }
    db::Statement invoice(c, QStringLiteral("insert into INVOICE (INV_ID, CUST_ID, INVOICE_NO, INVDATE, DUEDATE, "
                                            "PRINTDATE, PAIDDATE, KID, GROSSSUM, SUMPAID, SUMVAT, INV_TYPE) values "
                                            "(:ID, :C, :NO, :D, :DUE, :D, :PAID, :KID, :G, :SP, :V, 'N')"));
    db::Statement line(c, QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, NETPRICE, "
                                         "VAT, DISCOUNT) values (:I, :N, 'KONS', 'Konsulenttime', :NUM, :P, 25, 0)"));
    const QDate first(2017, 1, 1);
    for (int i = 1; i <= invoices; ++i) {
        const QDate date = first.addDays(i * 3650 / invoices);
        InvoiceTotals totals;
        std::vector<double> nums(linesPerInvoice);
        std::vector<Money> prices(linesPerInvoice);
        for (int n = 0; n < linesPerInvoice; ++n) {
            nums[n] = 1 + random.bounded(9);
            prices[n] = Money::fromUnits(qint64(random.bounded(100000)) * 100);
            totals.add(lineAmounts(nums[n], prices[n], 25, 0));
        }
        const bool paid = random.bounded(10) < 8;
        invoice.reset();
        invoice.bind(QStringLiteral("ID"), i);
        invoice.bind(QStringLiteral("C"), 1 + random.bounded(customers));
        invoice.bind(QStringLiteral("NO"), i);
        invoice.bind(QStringLiteral("D"), wallClock(date));
        invoice.bind(QStringLiteral("DUE"), wallClock(date.addDays(14)));
        invoice.bind(QStringLiteral("PAID"), paid ? QVariant(wallClock(date.addDays(10))) : QVariant());
        invoice.bind(QStringLiteral("KID"), QString::number(1000000 + i));
        invoice.bind(QStringLiteral("G"), QVariant::fromValue(totals.gross));
        invoice.bind(QStringLiteral("SP"), paid ? QVariant::fromValue(totals.gross) : QVariant());
        invoice.bind(QStringLiteral("V"), QVariant::fromValue(totals.vat));
        invoice.step();
        for (int n = 0; n < linesPerInvoice; ++n) {
            line.reset();
            line.bind(QStringLiteral("I"), i);
            line.bind(QStringLiteral("N"), n + 1);
            line.bind(QStringLiteral("NUM"), nums[n]);
            line.bind(QStringLiteral("P"), QVariant::fromValue(prices[n]));
            line.step();
        }
    }
    c.commit();
}
