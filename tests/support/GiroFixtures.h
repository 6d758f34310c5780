#pragma once

#include "document/qGiroF60.h"

#include <QStringList>

// The texts of one row of the invoice table, as the document composition joins them.
inline QString rowText(const QStringList &values)
{
    return values.join(QStringLiteral("\r\n"));
}

// The seven columns of the invoice table and `count` item rows.
inline void addTable(TfrmGiroF60 &giro, int count)
{
    giro.AddColumn(QStringLiteral("Varenr."), 50, report::Alignment::Left);
    giro.AddColumn(QStringLiteral("Beskrivelse."), 290, report::Alignment::Left);
    giro.AddColumn(QStringLiteral("Antall"), 50, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Pris"), 60, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Rabatt"), 50, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("MVA"), 30, report::Alignment::Right);
    giro.AddColumn(QStringLiteral("Netto"), 80, report::Alignment::Right);
    for (int i = 1; i <= count; ++i)
        giro.AddRow(rowText({QStringLiteral("i%1").arg(i), QStringLiteral("Item%1").arg(i), QStringLiteral("2"),
                             QStringLiteral("10.00"), QString(), QStringLiteral("25%"), QStringLiteral("n%1").arg(i)}));
}
