#include "GiroLayout.h"

using namespace layout;
using enum layout::Kind;
using report::BandType;

namespace {

constexpr auto Right = report::Alignment::Right;
constexpr auto Center = report::Alignment::Center;
constexpr auto Left = report::Alignment::Left;

// A value of the slip is printed whole on one line, in a smaller size where it needs one; one that 6 pt
// cannot hold stops the output rather than print part of it.
constexpr unsigned Whole = NoWrap | Shrink | MustFit;
// An address shrinks to fit its box before a line is dropped, and the postcode line goes last.
constexpr unsigned Address = Shrink | KeepLastLine;
constexpr unsigned Bg = Background;

// Where most printers stop printing on the right of an A4 sheet.
constexpr double printableRight = 200.0;

// The slip colour as the layout stores it; every generation replaces it (SetBackgroundVisible).
constexpr QRgb storedSlipColour = qRgb(255, 255, 144);

constexpr Font caption = arial(7, true);
constexpr Font text = arial(10);

// The invoice part
constexpr Element invoiceHeader[] = {
    {"memoHeadCompanyAddress", Memo, 16.14, 0.26, 80.70, 19.31, text, Left, Address},
    {"memoHeadCustomerAddress", Memo, 16.14, 33.87, 80.70, 19.31, text, Left, Address},
    {"memoHeadCompanyDetailsL", Memo, 120.65, 0.00, 44.19, 21.70, text, Right},
    {"memoHeadInvoiceDetailsL", Memo, 120.65, 28.57, 44.19, 36.25, text, Right},
    {"QRSysData1", Title, 120.65, 21.96, 44.45, 6.09, arial(14), Right},
    // Nothing of the header runs past 200 mm, where most printers stop.
    {"memoHeadCompanyDetailsR", Memo, 166.16, 0.00, printableRight - 166.16, 21.70, text},
    {"memoHeadInvoiceDetailsR", Memo, 166.16, 28.57, printableRight - 166.16, 36.25, text},
    // On an invoice of several pages each says which it is, below the customer's address.
    {"qrsPageOfPages", PageOfPages, 16.14, 58.0, 80.70, 4.5, arial(8), Left, Transparent, "Side %1 av %2"},
};

constexpr Element columnHeader[] = {
    {"qrsItemsHeader", Box, 8.47, 2.12, 192.88, 5.82, {}, Left, Outline, nullptr, report::SideAll},
};

constexpr Element summary[] = {
    {"lblOptionalInformation", Label, 8.47, 5.82, 127.26, 4.50, text, Left, Stretch},
};

// The slip: the receipt strip
constexpr Element receipt[] = {
    {"QRPDFShape1", Box, 0.00, 0.00, 209.81, 21.43, {}, Left, TintFill},
    {"QRShape13", Box, 78.05, 10.32, 38.36, 8.47, {}, Left, Bg},
    {"QRShape14", Box, 125.68, 10.32, 40.75, 8.47, {}, Left, Bg},
    {"QRShape15", Box, 168.80, 10.32, 30.69, 8.47, {}, Left, Bg},
    {"QRLabel6", Label, 14.02, 7.41, 21.70, 4.50, caption, Left, Bg | AutoSize | Transparent, "Innbetalt til konto"},
    {"QRLabel7", Label, 79.64, 7.41, 7.14, 4.50, caption, Left, Bg | AutoSize | Transparent, "Beløp"},
    {"QRLabel8", Label, 128.59, 7.41, 30.43, 4.50, caption, Left, Bg | AutoSize | Transparent,
     "Betalerens kontonummer"},
    {"QRLabel9", Label, 171.45, 7.41, 19.84, 4.50, caption, Left, Bg | AutoSize | Transparent, "Blankettnummer"},
    {"QRLabel10", Label, 13.76, 1.06, 16.40, 4.50, arial(10, true), Left, Bg | AutoSize | Transparent, "Kvittering"},
    // The receipt's amount: within its box (QRShape13), whole or not at all.
    {"lblGiroSum", Label, 80.43, 12.70, 78.05 + 38.36 - 80.43 - 0.8, 4.50, text, Left, Transparent | Whole},
    {"lblFormNumber", Label, 169.86, 12.70, 28.84, 4.76, courier(11), Center}, // 6111654090
};

// The main part
constexpr Element mainPart[] = {
    {"QRLabel19", Label, 14.02, 1.59, 26.19, 4.50, caption, Left, Bg | AutoSize, "Betalingsinformasjon"},
    {"QRShape32", Box, 11.11, 35.98, 86.25, 22.49, {}, Left, Bg | Outline},
    {"QRShape33", Box, 13.76, 35.19, 81.23, 23.81, {}, Left, Bg},
    {"QRShape34", Box, 9.79, 38.63, 89.43, 17.46, {}, Left, Bg},
    {"QRShape35", Box, 110.60, 35.98, 86.52, 22.49, {}, Left, Bg | Outline},
    {"QRShape36", Box, 113.24, 34.92, 81.49, 24.34, {}, Left, Bg},
    {"QRShape37", Box, 109.27, 38.63, 89.16, 17.46, {}, Left, Bg},
    {"QRShape38", Box, 110.33, 12.70, 87.05, 18.52, {}, Left, Bg | Outline, nullptr, report::SideAll},
    {"QRShape39", Box, 112.98, 12.17, 82.02, 20.37, {}, Left, Bg},
    {"QRShape40", Box, 109.01, 15.35, 89.96, 13.49, {}, Left, Bg},
    {"QRLabel23", Label, 110.07, 2.91, 10.85, 5.29, arial(12, true), Left, Bg | AutoSize, "GIRO"},
    {"QRShape41",
     Box,
     166.16,
     2.12,
     31.49,
     7.14,
     {},
     Left,
     Bg | Outline,
     nullptr,
     report::SideBottom | report::SideRight},
    {"QRShape42", Box, 165.63, 3.44, 32.28, 4.50, {}, Left, Bg},
    {"QRShape43", Box, 167.75, 1.32, 28.57, 8.73, {}, Left, Bg},
    {"QRShape44", Box, 115.09, 25.66, 79.38, 1.06, {}, Left, Bg | Outline | TintPen | TintFill | ThickPen},
    {"QRLabel24", Label, 150.81, 2.38, 13.49, 6.35, caption, Left, Bg, "Betalings- frist"},
    {"memoGiroCompanyAddress", Memo, 113.51, 37.84, 77.79, 18.79, text, Left, Address},
    {"memoGiroCustomerAddress", Memo, 14.02, 37.84, 77.79, 18.79, text, Left, Address},
    {"lblGiroDueDate", Label, 166.69, 3.44, 30.43, 4.50, text, Center},
    {"memoGiroPayInfo", Memo, 14.02, 5.29, 80.70, 20.64, text},
    {"QRLabel21", Label, 13.49, 33.07, 10.58, 4.50, caption, Left, Bg | AutoSize, "Betalt av"},
    {"QRLabel20", Label, 113.24, 33.07, 10.32, 4.50, caption, Left, Bg | AutoSize, "Betalt til"},
    {"QRLabel22", Label, 112.71, 9.26, 29.37, 4.50, caption, Left, Bg | AutoSize, "Underskrift ved girering"},
};

// The strip "Belast konto" with its eleven digit boxes
constexpr Element debitAccount[] = {
    {"QRPDFShape2", Box, 0.00, 0.00, 209.81, 10.85, {}, Left, TintFill},
    {"QRLabel25", Label, 30.69, 1.85, 9.00, 6.35, caption, Left, Bg | Transparent, "Belast konto"},
    {"QRShape45", Box, 42.07, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape46", Box, 47.89, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape47", Box, 53.98, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape48", Box, 59.80, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape49", Box, 65.88, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape50", Box, 71.70, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape51", Box, 77.79, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape52", Box, 83.61, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape53", Box, 89.69, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape54", Box, 95.51, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRShape55", Box, 101.60, 1.59, 5.03, 6.35, {}, Left, Bg},
    {"QRLabel26", Label, 177.01, 1.59, 13.76, 6.35, caption, Left, Bg | Transparent, "Kvittering tilbake"},
    {"QRShape56", Box, 191.56, 1.59, 5.03, 6.35, {}, Left, Bg},
};

// The line of machine-style fields; each ends where the next one begins. A comment shows the form of a
// field's value.
constexpr Element machineLine[] = {
    {"QRLabel27", Label, 8.73, 1.06, 31.49, 4.50, caption, Left, Bg | AutoSize, "Kundeidentifikasjon (KID)"},
    {"QRLabel28", Label, 80.70, 1.06, 8.73, 4.50, caption, Left, Bg | AutoSize, "Kroner"},
    {"QRLabel29", Label, 105.83, 1.06, 4.50, 4.50, caption, Left, Bg | AutoSize, "Øre"},
    {"QRLabel30", Label, 130.97, 1.06, 10.85, 4.50, caption, Left, Bg | AutoSize, "Til konto"},
    {"QRLabel31", Label, 170.92, 1.06, 19.84, 4.50, caption, Left, Bg | AutoSize, "Blankettnummer"},
    {"QRShape57", Box, 103.19, 1.32, 1.85, 15.88, {}, Left, Bg | TintFill},
    {"QRShape59", VerticalLine, 6.61, 1.59, 1.85, 15.88, {}, Left, Bg | Outline},
    {"lblGiroKID", Label, 8.73, 7.41, 77.26 - 8.73 - 0.5, 5.03, courier(12), Left, Transparent | Whole},
    {"lblGiroSumMinor", Label, 106.10, 7.41, 5.56, 5.03, courier(12), Left, Transparent | Whole}, // 00
    {"lblGiroBankAccount", Label, 131.23, 7.41, 169.07 - 131.23 - 0.5, 5.03, courier(12), Left,
     Transparent | Whole},                                                             // 9999.99.99999
    {"lblFormNumber2", Label, 169.07, 6.88, 28.84, 5.03, courier(11), Left, AutoSize}, // <6111654090>
    {"QRShape2", VerticalLine, 77.26, 1.59, 2.65, 15.88, {}, Left, Bg | Outline},
    {"lblGiroSumMajor", Label, 77.26, 7.41, 23.81, 5.03, courier(12), Right, Transparent | Whole}, // 99999999
};

// The closing strip
constexpr Element closing[] = {
    {"QRPDFShape3", Box, 0.00, 0.00, 209.81, 2.12, {}, Left, TintFill},
};

constexpr layout::Band bands[] = {
    {"PageHeaderBand2", BandType::PageHeader, 66.15, invoiceHeader},
    {"ColumnHeaderBand1", BandType::ColumnHeader, 10.58, columnHeader},
    {"DetailBand1", BandType::Detail, 4.76, {}},
    {"SummaryBand1", BandType::Summary, 10.58, summary},
    // The slip is the page footer and its chain of children; its first band is named like a header.
    {"PageHeaderBand1", BandType::PageFooter, 21.43, receipt, Tinted},
    {"ChildBand4", BandType::Child, 59.53, mainPart},
    {"ChildBand5", BandType::Child, 9.26, debitAccount, Tinted},
    {"ChildBand6", BandType::Child, 16.93, machineLine},
    {"ChildBand1", BandType::Child, 2.12, closing, Tinted},
};

} // namespace

const Layout &giroLayout()
{
    static constexpr Layout giro{bands, nullptr, storedSlipColour};
    return giro;
}
