#include "qGiroF60.h"

#include "GiroLayout.h"
#include "core/Format.h"
#include "report/TextMetrics.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>

#include <cmath>

using namespace report;

namespace {

QFont arial(double size)
{
    return reportFont(QStringLiteral("Arial"), size);
}

} // namespace

TfrmGiroF60::TfrmGiroF60()
{
    Report &r = qrGiro;
    r.paperSize = QSizeF(210, 297);
    r.margins = QMarginsF(0, 6.0, 0, 14.2);
    r.font = arial(10);
    r.title = QStringLiteral("Faktura");
    r.firstPageHeader = true;
    r.lastPageFooter = true;
    r.printIfEmpty = true;
    r.previewHeight = 750;
    layout::buildLayout(r, giroLayout());

    const auto band = [&r](const char *name) { return r.findBand(QLatin1String(name)); };
    PageHeaderBand2 = band("PageHeaderBand2");
    ColumnHeaderBand1 = band("ColumnHeaderBand1");
    DetailBand1 = band("DetailBand1");
    SummaryBand1 = band("SummaryBand1");
    PageHeaderBand1 = band("PageHeaderBand1");
    ChildBand4 = band("ChildBand4");
    ChildBand5 = band("ChildBand5");
    ChildBand6 = band("ChildBand6");
    ChildBand1 = band("ChildBand1");

    SummaryBand1->beforePrint = [this](Band &band, bool &print) { SummaryBand1BeforePrint(band, print); };
    r.beforePrint = [this] { qrGiroBeforePrint(); };
    // A PDF file always carries the whole slip, wherever it is saved from.
    r.beforePdf = [this] {
        FPrePrintedForPaper = FPrePrinted;
        FPrePrinted = false;
    };
    r.afterPdf = [this] { FPrePrinted = FPrePrintedForPaper; };
    r.needData = [this] { return qrGiroNeedData(); };
    r.afterPrint = [this] { qrGiroAfterPrint(); };

    FormCreate();
}

TfrmGiroF60::~TfrmGiroF60() = default;

void TfrmGiroF60::FormCreate()
{
    FColumnsBuilt = false;
    FPrePrinted = false;
    FColumns.clear();
    FRows.clear();
    SetFormNumber(QString());
    SetKID(QString());
    SetAmount(Money());
    SetOptionalInformation(QString());
    // Nothing but what the page is given reaches paper, even on a page that was never composed.
    SetBankAccount(QString());
}

void TfrmGiroF60::qrGiroBeforePrint()
{
    FRowIndex = 0;
    BuildColumns();
    SetBackgroundVisible(!FPrePrinted);
}

bool TfrmGiroF60::qrGiroNeedData()
{
    const bool more = FRowIndex < FRows.size();
    if (more)
        FillDetailRow(FRowIndex);
    ++FRowIndex;
    return more;
}

void TfrmGiroF60::ExportToPdf(const QString &path)
{
    qrGiro.exportPdf(path);
}

void TfrmGiroF60::qrGiroAfterPrint()
{
    if (onPrinted)
        onPrinted(FInvoiceId);
}

void TfrmGiroF60::SummaryBand1BeforePrint(Band &, bool &printBand)
{
    printBand = !qrGiro.element<Label>(QStringLiteral("lblOptionalInformation")).caption.isEmpty();
}

void TfrmGiroF60::SetCompanyAddress(const QString &text)
{
    const QStringList lines = splitLines(text);
    qrGiro.element<Memo>(QStringLiteral("memoHeadCompanyAddress")).lines = lines;
    qrGiro.element<Memo>(QStringLiteral("memoGiroCompanyAddress")).lines = lines;
}

void TfrmGiroF60::SetCustomerAddress(const QString &text)
{
    const QStringList lines = splitLines(text);
    qrGiro.element<Memo>(QStringLiteral("memoHeadCustomerAddress")).lines = lines;
    qrGiro.element<Memo>(QStringLiteral("memoGiroCustomerAddress")).lines = lines;
}

void TfrmGiroF60::SetCompanyDetails(const QString &labelValueText)
{
    SplitLabelValueLines(labelValueText, qrGiro.element<Memo>(QStringLiteral("memoHeadCompanyDetailsL")),
                         qrGiro.element<Memo>(QStringLiteral("memoHeadCompanyDetailsR")));
    AlignDetailColumns();
}

void TfrmGiroF60::SetInvoiceDetails(const QString &labelValueText)
{
    SplitLabelValueLines(labelValueText, qrGiro.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsL")),
                         qrGiro.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsR")));
    AlignDetailColumns();
}

void TfrmGiroF60::SetPaymentInfo(const QString &text)
{
    qrGiro.element<Memo>(QStringLiteral("memoGiroPayInfo")).lines = splitLines(text);
}

void TfrmGiroF60::SetBankAccount(const QString &text)
{
    qrGiro.element<Label>(QStringLiteral("lblGiroBankAccount")).caption = text;
}

void TfrmGiroF60::SetKID(const QString &text)
{
    qrGiro.element<Label>(QStringLiteral("lblGiroKID")).caption = text;
}

void TfrmGiroF60::SetDueDate(const QDateTime &date)
{
    qrGiro.element<Label>(QStringLiteral("lblGiroDueDate")).caption =
        date.isValid() ? Format::dateText(date) : QString();
}

void TfrmGiroF60::SetAmount(Money amount)
{
    QString whole, major, minor;
    if (!amount.isZero()) {
        whole = Format::moneyText(amount);
        const qsizetype p = whole.indexOf(QLocale().decimalPoint());
        major = p < 0 ? whole : whole.left(p);
        minor = p < 0 ? QString() : whole.mid(p + 1, 2);
    }
    qrGiro.element<Label>(QStringLiteral("lblGiroSum")).caption = whole;
    qrGiro.element<Label>(QStringLiteral("lblGiroSumMajor")).caption = major;
    qrGiro.element<Label>(QStringLiteral("lblGiroSumMinor")).caption = minor;
}

void TfrmGiroF60::SetFormNumber(const QString &text)
{
    qrGiro.element<Label>(QStringLiteral("lblFormNumber")).caption = text;
    qrGiro.element<Label>(QStringLiteral("lblFormNumber2")).caption = text;
}

void TfrmGiroF60::SetOptionalInformation(const QString &text)
{
    qrGiro.element<Label>(QStringLiteral("lblOptionalInformation")).caption = text;
}

void TfrmGiroF60::AddColumn(const QString &caption, int widthPx, Alignment alignment)
{
    FColumns.emplace_back(caption, widthPx, alignment);
}

void TfrmGiroF60::AddRow(const QString &rowText)
{
    FRows << rowText;
}

void TfrmGiroF60::SetBackgroundVisible(bool visible)
{
    const QColor colour = visible ? slipColour() : QColor(Qt::white);
    for (Element *element : qrGiro.allElements())
        if (element->tag == layout::backgroundTag)
            element->enabled = visible;
    PageHeaderBand1->color = colour;
    ChildBand5->color = colour;
    ChildBand1->color = colour;
    Shape &bar = qrGiro.element<Shape>(QStringLiteral("QRShape44"));
    bar.brushColor = colour;
    bar.penColor = colour;
    qrGiro.element<Shape>(QStringLiteral("QRShape57")).brushColor = colour;
    for (const char *name : {"QRPDFShape1", "QRPDFShape2", "QRPDFShape3"})
        qrGiro.element<Shape>(QLatin1String(name)).brushColor = colour;
}

// Each pair is a row: a value that wraps takes its label's row and the rows below it, so the next label
// moves down with it. The pairs are set in a smaller size when the box would not hold them all.
void TfrmGiroF60::SplitLabelValueLines(const QString &text, Memo &labels, Memo &values)
{
    QStringList names, texts;
    for (const QString &line : splitLines(text)) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        // A line without a label shows whole in the value column.
        names << (bar < 0 ? QString() : line.left(bar));
        texts << (bar < 0 ? line : line.mid(bar + 1));
    }
    for (double size = 10;; size -= 0.5) {
        const QFont font = arial(size);
        const TextMetrics &metrics = TextMetrics::forReportFont(font);
        labels.lines.clear();
        values.lines.clear();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QStringList wrapped;
            std::vector<double> widths;
            metrics.wrap(texts[i], values.width, wrapped, widths);
            for (qsizetype k = 0; k < wrapped.size(); ++k) {
                labels.lines << (k == 0 ? names[i] : QString());
                values.lines << wrapped[k];
            }
        }
        labels.font = values.font = font;
        if (double(values.lines.size()) * metrics.lineHeight() <= values.height + 0.01 || size <= 6)
            break;
    }
}

void TfrmGiroF60::AlignDetailColumns()
{
    Memo &companyL = qrGiro.element<Memo>(QStringLiteral("memoHeadCompanyDetailsL"));
    Memo &invoiceL = qrGiro.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsL"));
    QString longest;
    for (const QStringList *lines : {&companyL.lines, &invoiceL.lines})
        for (const QString &line : *lines)
            if (line.size() > longest.size())
                longest = line;

    // Measured in the window font's pixels (13-pixel sans-serif), as the column was laid out on screen. The
    // labels are the same from invoice to invoice: their widths are kept.
    static const QFontMetricsF formFont(paperFont(reportFont(QStringLiteral("MS Sans Serif"), 8)));
    static QHash<QString, int> measured;
    auto known = measured.constFind(longest);
    if (known == measured.cend()) {
        if (measured.size() > 1000)
            measured.clear();
        known = measured.insert(longest, int(std::lround(formFont.horizontalAdvance(longest))));
    }
    const int w = *known;
    const double valueLeft = qrGiro.element<Memo>(QStringLiteral("memoHeadCompanyDetailsR")).left;
    const double left = valueLeft - pxToMm(w + 11);
    for (Memo *m : {&companyL, &invoiceL}) {
        m->left = left;
        m->width = pxToMm(w + 10);
        m->alignment = Alignment::Left;
    }
    auto &title = qrGiro.element<SysData>(QStringLiteral("QRSysData1"));
    title.left = left;
    title.alignment = Alignment::Left;
}

void TfrmGiroF60::BuildColumns()
{
    if (FColumnsBuilt)
        return;
    FColumnBoxes.clear();
    if (FColumns.size() > 1) {
        // The header box qrsItemsHeader: left 32, top 8, width 729 pixels.
        constexpr int boxLeft = 32, boxTop = 8, boxWidth = 729;
        int total = 0;
        for (const TItemHeaderDef &c : FColumns)
            total += c.Width;
        const int gap = (boxWidth - total) / int(FColumns.size());
        int x = boxLeft + 4;
        for (size_t i = 0; i < FColumns.size(); ++i) {
            const TItemHeaderDef &c = FColumns[i];
            Label &caption = ColumnHeaderBand1->addLabel(QStringLiteral("lblColumnCaption%1").arg(i), pxToMm(x),
                                                         pxToMm(boxTop + 3), pxToMm(c.Width), pxToMm(17), c.Caption);
            caption.alignment = c.Alignment;
            caption.transparent = true;
            Label &value = DetailBand1->addLabel(QStringLiteral("lblColumnValue%1").arg(i), pxToMm(x), 0,
                                                 pxToMm(c.Width), pxToMm(17));
            FColumnBoxes.push_back(value.rect());
            value.alignment = c.Alignment;
            value.transparent = true;
            value.tag = int(i);
            if (c.Alignment == Alignment::Right || i == 0) {
                // Amounts and the item code print whole on one line within their column, smaller where
                // they need it, never over the next column and never broken.
                value.wordWrap = false;
                value.shrinkToFit = true;
            } else {
                value.wordWrap = true;
                value.autoStretch = true;
            }
            x += c.Width + gap;
        }
    }
    FColumnsBuilt = true;
}

void TfrmGiroF60::FillDetailRow(int index)
{
    // A row's values are separated by CR LF; a value's own line breaks come as U+2028.
    const QStringList lines = FRows.value(index).split(QLatin1String("\r\n"));
    for (const auto &element : DetailBand1->elements()) {
        if (element->kind() != Element::Kind::Label)
            continue;
        auto &label = static_cast<Label &>(*element);
        label.caption = lines.value(label.tag);
        // A right-aligned value may use the columns on its left that are empty in its row (the captions
        // of the totals), never one that holds something.
        const size_t column = size_t(label.tag);
        if (column >= FColumnBoxes.size())
            continue;
        const QRectF &own = FColumnBoxes[column];
        double left = own.left();
        if (label.alignment == Alignment::Right)
            for (size_t k = column; k-- > 0 && lines.value(qsizetype(k)).isEmpty();)
                left = FColumnBoxes[k].left();
        label.left = left;
        label.width = own.right() - left;
    }
}
