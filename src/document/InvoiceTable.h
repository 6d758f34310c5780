#pragma once

#include "report/Report.h"

#include <QString>

#include <array>

class TfrmGiroF60;

// The table of the invoice's lines and totals on the invoice page: its columns, and how a row carries
// its values.
namespace InvoiceTable {

enum Column { ItemNo, Description, Quantity, Price, Discount, Vat, Net, ColumnCount };

struct ColumnDef {
    const char *caption;
    int widthPx;
    report::Alignment alignment;
};

inline constexpr std::array<ColumnDef, ColumnCount> columns = {{
    {"Varenr.", 50, report::Alignment::Left},
    {"Beskrivelse.", 290, report::Alignment::Left},
    {"Antall", 50, report::Alignment::Right},
    {"Pris", 60, report::Alignment::Right},
    {"Rabatt", 50, report::Alignment::Right},
    {"MVA", 30, report::Alignment::Right},
    {"Netto", 80, report::Alignment::Right},
}};

// The values of one row, by column.
using Row = std::array<QString, ColumnCount>;

// Gives the page the table's columns.
void addColumns(TfrmGiroF60 &giro);

// The text of a row for TfrmGiroF60::AddRow: the values separated by CR LF; a value's own line breaks
// become U+2028, so that it stays in its column and breaks its line there.
QString rowText(const Row &values);

// A row of the totals below the lines: its caption in the VAT column, its amount in the net column.
QString totalRowText(const QString &caption, const QString &amount);

} // namespace InvoiceTable
