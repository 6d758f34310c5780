#pragma once

#include "core/Money.h"
#include "report/Report.h"

#include <QDateTime>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One column of the invoice's line table.
class TItemHeaderDef {
public:
    TItemHeaderDef(QString caption, int width, report::Alignment alignment)
        : Caption(std::move(caption)), Width(width), Alignment(alignment)
    {
    }
    QString Caption;
    int Width; // pixels
    report::Alignment Alignment;
};

// The invoice page with its Giro F60-1 payment slip. It is created for one output, filled through the
// Set... operations, then previewed, printed or exported through qrGiro, and destroyed. A report
// definition, not a window, whatever the "frm" of its name says.
class TfrmGiroF60 {
public:
    TfrmGiroF60();
    ~TfrmGiroF60();
    TfrmGiroF60(const TfrmGiroF60 &) = delete;
    TfrmGiroF60 &operator=(const TfrmGiroF60 &) = delete;

    report::Report qrGiro;

    void SetCompanyAddress(const QString &text);
    void SetCompanyDetails(const QString &labelValueText);
    void SetCustomerAddress(const QString &text);
    void SetInvoiceDetails(const QString &labelValueText);
    void SetPaymentInfo(const QString &text);
    void SetBankAccount(const QString &text);
    void SetKID(const QString &text);
    // An invalid (empty) date leaves the field empty.
    void SetDueDate(const QDateTime &date);
    void SetAmount(Money amount);
    void SetFormNumber(const QString &text);
    void SetOptionalInformation(const QString &text);
    void AddColumn(const QString &caption, int widthPx, report::Alignment alignment);
    void AddRow(const QString &rowText);
    void SetTitle(const QString &title) { qrGiro.title = title; }
    // Writes the invoice as a PDF file, always with the whole slip whatever the stationery.
    void ExportToPdf(const QString &path);

    // Blank paper (true): the slip in its colour with captions, boxes and marks; pre-printed stationery
    // (false): only the variable fields, on white.
    void SetBackgroundVisible(bool visible);

    qint64 invoiceId() const { return FInvoiceId; }
    void setInvoiceId(qint64 id) { FInvoiceId = id; }
    bool prePrinted() const { return FPrePrinted; }
    void setPrePrinted(bool prePrinted) { FPrePrinted = prePrinted; }
    const std::vector<TItemHeaderDef> &columns() const { return FColumns; }
    const QStringList &rows() const { return FRows; }

    // Runs after the page went to a printer, with the invoice id (the print date is recorded there).
    std::function<void(qint64 invoiceId)> onPrinted;

    // The slip colour on blank paper.
    static QColor slipColour() { return QColor(255, 255, 128); }

private:
    void FormCreate();
    void qrGiroBeforePrint();
    bool qrGiroNeedData();
    void qrGiroAfterPrint();
    void SummaryBand1BeforePrint(report::Band &band, bool &printBand);
    void BuildColumns();
    void FillDetailRow(int index);
    void SplitLabelValueLines(const QString &text, report::Memo &labels, report::Memo &values);
    void AlignDetailColumns();

    std::vector<TItemHeaderDef> FColumns;
    std::vector<QRectF> FColumnBoxes; // each column's place in the row, in millimetres
    QStringList FRows;
    int FRowIndex = 0;
    bool FColumnsBuilt = false;
    qint64 FInvoiceId = 0;
    bool FPrePrinted = false;
    bool FPrePrintedForPaper = false; // kept while a PDF file is written

    report::Band *PageHeaderBand2, *ColumnHeaderBand1, *DetailBand1, *SummaryBand1;
    // PageHeaderBand1 is the page footer: the slip's receipt part, at the foot of every page.
    report::Band *PageHeaderBand1, *ChildBand4, *ChildBand5, *ChildBand6, *ChildBand1;
};
