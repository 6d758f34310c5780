#pragma once

#include "report/Report.h"

// A report of numbered rows on a square sheet with a 10 mm page footer: rows stand between 5 and 80 mm.
struct RowReport {
    report::Report r;
    report::Band *detail;
    report::Label *value;
    int rows = 0, next = 0;

    explicit RowReport(double rowHeight, int rowCount) : rows(rowCount)
    {
        r.paperSize = QSizeF(100, 100);
        r.margins = QMarginsF(0, 5, 0, 10);
        detail = &r.addBand(QStringLiteral("detail"), report::BandType::Detail, rowHeight);
        value = &detail->addLabel(QStringLiteral("value"), 2, 0, 40, 4);
        value->transparent = true;
        auto &footer = r.addBand(QStringLiteral("footer"), report::BandType::PageFooter, 10);
        footer.addLabel(QStringLiteral("foot"), 2, 1, 40, 4, QStringLiteral("foot"));
        r.beforePrint = [this] { next = 0; };
        r.needData = [this] {
            value->caption = QStringLiteral("row%1").arg(next + 1);
            return next++ < rows;
        };
    }
};
