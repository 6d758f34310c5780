#pragma once

#include "document/InvoiceTable.h"
#include "document/qGiroF60.h"

// The columns of the invoice table and `count` item rows.
inline void addTable(TfrmGiroF60 &giro, int count)
{
    InvoiceTable::addColumns(giro);
    for (int i = 1; i <= count; ++i)
        giro.AddRow(InvoiceTable::rowText({QStringLiteral("i%1").arg(i), QStringLiteral("Item%1").arg(i),
                                           QStringLiteral("2"), QStringLiteral("10.00"), QString(),
                                           QStringLiteral("25%"), QStringLiteral("n%1").arg(i)}));
}
