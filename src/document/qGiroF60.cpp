#include "qGiroF60.h"

#include "core/Format.h"
#include "report/TextMetrics.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>

#include <cmath>

using namespace report;

namespace {

// Elements the pre-printed stationery already carries: drawn on blank paper only.
constexpr int backgroundTag = 100;

// Where most printers stop printing on the right of an A4 sheet.
constexpr double printableRight = 200.0;

// The slip colour as the layout stores it; every generation replaces it (SetBackgroundVisible).
const QColor storedSlipColour(255, 255, 144);

QFont arial(double size, bool bold = false)
{
    return reportFont(QStringLiteral("Arial"), size, bold);
}

QFont courier(double size)
{
    return reportFont(QStringLiteral("Courier New"), size);
}

struct Look {
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool transparent = false;
    bool stretch = false;
};

constexpr Look leftAuto{Alignment::Left, true, false, false};
constexpr Look leftAutoTransparent{Alignment::Left, true, true, false};
constexpr Look leftFixed{Alignment::Left, false, false, false};
constexpr Look leftFixedTransparent{Alignment::Left, false, true, false};

Label &label(Band &band, const QString &name, bool background, double left, double top, double width, double height,
             const QFont &font, Look look, const QString &caption = QString())
{
    Label &l = band.addLabel(name, left, top, width, height, caption);
    l.tag = background ? backgroundTag : 0;
    l.font = font;
    l.alignment = look.alignment;
    l.autoSize = look.autoSize;
    l.transparent = look.transparent;
    l.autoStretch = look.stretch;
    return l;
}

// A value of the slip is printed whole on one line, in a smaller size where it needs one; one that 6 pt
// cannot hold stops the output rather than print part of it.
Label &wholeValue(Label &l)
{
    l.wordWrap = false;
    l.shrinkToFit = true;
    l.mustFit = true;
    return l;
}

// An address shrinks to fit its box before a line is dropped, and the postcode line goes last.
Memo &address(Memo &m)
{
    m.shrinkToFit = true;
    m.keepLastLine = true;
    return m;
}

Memo &memo(Band &band, const QString &name, double left, double top, double width, double height,
           Alignment alignment = Alignment::Left)
{
    Memo &m = band.addMemo(name, left, top, width, height);
    m.font = arial(10);
    m.alignment = alignment;
    return m;
}

// A rectangle filled white, without outline unless a pen colour is given.
Shape &box(Band &band, const QString &name, bool background, double left, double top, double width, double height,
           std::optional<QColor> pen = std::nullopt, int frameSides = 0)
{
    Shape &s = band.addShape(name, Shape::Type::Rectangle, left, top, width, height);
    s.tag = background ? backgroundTag : 0;
    s.outline = pen.has_value();
    s.penColor = pen.value_or(Qt::black);
    s.brushColor = Qt::white;
    s.frameSides = frameSides;
    return s;
}

Shape &slipArea(Band &band, const QString &name, double height)
{
    Shape &s = box(band, name, false, 0.00, 0.00, 209.81, height);
    s.brushColor = storedSlipColour;
    return s;
}

Shape &verticalLine(Band &band, const QString &name, double left, double top, double width, double height)
{
    Shape &s = band.addShape(name, Shape::Type::VerticalLine, left, top, width, height);
    s.tag = backgroundTag;
    return s;
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

    // Invoice part
    PageHeaderBand2 = &r.addBand(QStringLiteral("PageHeaderBand2"), BandType::PageHeader, 66.15);
    address(memo(*PageHeaderBand2, QStringLiteral("memoHeadCompanyAddress"), 16.14, 0.26, 80.70, 19.31));
    address(memo(*PageHeaderBand2, QStringLiteral("memoHeadCustomerAddress"), 16.14, 33.87, 80.70, 19.31));
    memo(*PageHeaderBand2, QStringLiteral("memoHeadCompanyDetailsL"), 120.65, 0.00, 44.19, 21.70, Alignment::Right);
    memo(*PageHeaderBand2, QStringLiteral("memoHeadInvoiceDetailsL"), 120.65, 28.57, 44.19, 36.25, Alignment::Right);
    auto &title = PageHeaderBand2->add<SysData>(QStringLiteral("QRSysData1"), SysData::Data::ReportTitle);
    title.setGeometry(120.65, 21.96, 44.45, 6.09);
    title.font = arial(14);
    title.alignment = Alignment::Right;
    // Nothing of the header runs past 200 mm, where most printers stop.
    memo(*PageHeaderBand2, QStringLiteral("memoHeadCompanyDetailsR"), 166.16, 0.00, printableRight - 166.16, 21.70);
    memo(*PageHeaderBand2, QStringLiteral("memoHeadInvoiceDetailsR"), 166.16, 28.57, printableRight - 166.16, 36.25);
    // On an invoice of several pages each says which it is, below the customer's address.
    auto &pages = PageHeaderBand2->add<SysData>(QStringLiteral("qrsPageOfPages"), SysData::Data::PageOfPages);
    pages.setGeometry(16.14, 58.0, 80.70, 4.5);
    pages.font = arial(8);
    pages.prefix = QStringLiteral("Side %1 av %2");
    pages.transparent = true;

    ColumnHeaderBand1 = &r.addBand(QStringLiteral("ColumnHeaderBand1"), BandType::ColumnHeader, 10.58);
    box(*ColumnHeaderBand1, QStringLiteral("qrsItemsHeader"), false, 8.47, 2.12, 192.88, 5.82, QColor(Qt::black),
        SideAll);

    DetailBand1 = &r.addBand(QStringLiteral("DetailBand1"), BandType::Detail, 4.76);

    SummaryBand1 = &r.addBand(QStringLiteral("SummaryBand1"), BandType::Summary, 10.58);
    label(*SummaryBand1, QStringLiteral("lblOptionalInformation"), false, 8.47, 5.82, 127.26, 4.50, arial(10),
          Look{Alignment::Left, false, false, true});
    SummaryBand1->beforePrint = [this](Band &band, bool &print) { SummaryBand1BeforePrint(band, print); };

    // The slip: the receipt strip
    PageHeaderBand1 = &r.addBand(QStringLiteral("PageHeaderBand1"), BandType::PageFooter, 21.43);
    Band &b1 = *PageHeaderBand1;
    b1.color = storedSlipColour;
    slipArea(b1, QStringLiteral("QRPDFShape1"), 21.43);
    box(b1, QStringLiteral("QRShape13"), true, 78.05, 10.32, 38.36, 8.47);
    box(b1, QStringLiteral("QRShape14"), true, 125.68, 10.32, 40.75, 8.47);
    box(b1, QStringLiteral("QRShape15"), true, 168.80, 10.32, 30.69, 8.47);
    label(b1, QStringLiteral("QRLabel6"), true, 14.02, 7.41, 21.70, 4.50, arial(7, true), leftAutoTransparent,
          QStringLiteral("Innbetalt til konto"));
    label(b1, QStringLiteral("QRLabel7"), true, 79.64, 7.41, 7.14, 4.50, arial(7, true), leftAutoTransparent,
          QStringLiteral("Beløp"));
    label(b1, QStringLiteral("QRLabel8"), true, 128.59, 7.41, 30.43, 4.50, arial(7, true), leftAutoTransparent,
          QStringLiteral("Betalerens kontonummer"));
    label(b1, QStringLiteral("QRLabel9"), true, 171.45, 7.41, 19.84, 4.50, arial(7, true), leftAutoTransparent,
          QStringLiteral("Blankettnummer"));
    label(b1, QStringLiteral("QRLabel10"), true, 13.76, 1.06, 16.40, 4.50, arial(10, true), leftAutoTransparent,
          QStringLiteral("Kvittering"));
    // The receipt's amount: within its box (QRShape13), whole or not at all.
    wholeValue(label(b1, QStringLiteral("lblGiroSum"), false, 80.43, 12.70, 78.05 + 38.36 - 80.43 - 0.8, 4.50,
                     arial(10), leftFixedTransparent));
    label(b1, QStringLiteral("lblFormNumber"), false, 169.86, 12.70, 28.84, 4.76, courier(11),
          Look{Alignment::Center, false, false, false}, QStringLiteral("6111654090"));

    // The main part
    ChildBand4 = &r.addChildBand(QStringLiteral("ChildBand4"), b1, 59.53);
    Band &b4 = *ChildBand4;
    label(b4, QStringLiteral("QRLabel19"), true, 14.02, 1.59, 26.19, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Betalingsinformasjon"));
    box(b4, QStringLiteral("QRShape32"), true, 11.11, 35.98, 86.25, 22.49, QColor(Qt::black));
    box(b4, QStringLiteral("QRShape33"), true, 13.76, 35.19, 81.23, 23.81);
    box(b4, QStringLiteral("QRShape34"), true, 9.79, 38.63, 89.43, 17.46);
    box(b4, QStringLiteral("QRShape35"), true, 110.60, 35.98, 86.52, 22.49, QColor(Qt::black));
    box(b4, QStringLiteral("QRShape36"), true, 113.24, 34.92, 81.49, 24.34);
    box(b4, QStringLiteral("QRShape37"), true, 109.27, 38.63, 89.16, 17.46);
    box(b4, QStringLiteral("QRShape38"), true, 110.33, 12.70, 87.05, 18.52, QColor(Qt::black), SideAll);
    box(b4, QStringLiteral("QRShape39"), true, 112.98, 12.17, 82.02, 20.37);
    box(b4, QStringLiteral("QRShape40"), true, 109.01, 15.35, 89.96, 13.49);
    label(b4, QStringLiteral("QRLabel23"), true, 110.07, 2.91, 10.85, 5.29, arial(12, true), leftAuto,
          QStringLiteral("GIRO"));
    box(b4, QStringLiteral("QRShape41"), true, 166.16, 2.12, 31.49, 7.14, QColor(Qt::black), SideBottom | SideRight);
    box(b4, QStringLiteral("QRShape42"), true, 165.63, 3.44, 32.28, 4.50);
    box(b4, QStringLiteral("QRShape43"), true, 167.75, 1.32, 28.57, 8.73);
    Shape &bar = box(b4, QStringLiteral("QRShape44"), true, 115.09, 25.66, 79.38, 1.06, storedSlipColour);
    bar.penWidth = 2;
    bar.brushColor = storedSlipColour;
    label(b4, QStringLiteral("QRLabel24"), true, 150.81, 2.38, 13.49, 6.35, arial(7, true), leftFixed,
          QStringLiteral("Betalings- frist"));
    address(memo(b4, QStringLiteral("memoGiroCompanyAddress"), 113.51, 37.84, 77.79, 18.79));
    address(memo(b4, QStringLiteral("memoGiroCustomerAddress"), 14.02, 37.84, 77.79, 18.79));
    label(b4, QStringLiteral("lblGiroDueDate"), false, 166.69, 3.44, 30.43, 4.50, arial(10),
          Look{Alignment::Center, false, false, false});
    memo(b4, QStringLiteral("memoGiroPayInfo"), 14.02, 5.29, 80.70, 20.64);
    label(b4, QStringLiteral("QRLabel21"), true, 13.49, 33.07, 10.58, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Betalt av"));
    label(b4, QStringLiteral("QRLabel20"), true, 113.24, 33.07, 10.32, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Betalt til"));
    label(b4, QStringLiteral("QRLabel22"), true, 112.71, 9.26, 29.37, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Underskrift ved girering"));

    // The strip "Belast konto"
    ChildBand5 = &r.addChildBand(QStringLiteral("ChildBand5"), b4, 9.26);
    Band &b5 = *ChildBand5;
    b5.color = storedSlipColour;
    slipArea(b5, QStringLiteral("QRPDFShape2"), 10.85);
    label(b5, QStringLiteral("QRLabel25"), true, 30.69, 1.85, 9.00, 6.35, arial(7, true), leftFixedTransparent,
          QStringLiteral("Belast konto"));
    const double digitBoxes[] = {42.07, 47.89, 53.98, 59.80, 65.88, 71.70, 77.79, 83.61, 89.69, 95.51, 101.60};
    int number = 45;
    for (double left : digitBoxes)
        box(b5, QStringLiteral("QRShape%1").arg(number++), true, left, 1.59, 5.03, 6.35);
    label(b5, QStringLiteral("QRLabel26"), true, 177.01, 1.59, 13.76, 6.35, arial(7, true), leftFixedTransparent,
          QStringLiteral("Kvittering tilbake"));
    box(b5, QStringLiteral("QRShape56"), true, 191.56, 1.59, 5.03, 6.35);

    // The line of machine-style fields
    ChildBand6 = &r.addChildBand(QStringLiteral("ChildBand6"), b5, 16.93);
    Band &b6 = *ChildBand6;
    label(b6, QStringLiteral("QRLabel27"), true, 8.73, 1.06, 31.49, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Kundeidentifikasjon (KID)"));
    label(b6, QStringLiteral("QRLabel28"), true, 80.70, 1.06, 8.73, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Kroner"));
    label(b6, QStringLiteral("QRLabel29"), true, 105.83, 1.06, 4.50, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Øre"));
    label(b6, QStringLiteral("QRLabel30"), true, 130.97, 1.06, 10.85, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Til konto"));
    label(b6, QStringLiteral("QRLabel31"), true, 170.92, 1.06, 19.84, 4.50, arial(7, true), leftAuto,
          QStringLiteral("Blankettnummer"));
    Shape &gap = box(b6, QStringLiteral("QRShape57"), true, 103.19, 1.32, 1.85, 15.88);
    gap.brushColor = storedSlipColour;
    verticalLine(b6, QStringLiteral("QRShape59"), 6.61, 1.59, 1.85, 15.88);
    // The slip's fields end where the next one begins.
    wholeValue(label(b6, QStringLiteral("lblGiroKID"), false, 8.73, 7.41, 77.26 - 8.73 - 0.5, 5.03, courier(12),
                     leftFixedTransparent));
    wholeValue(label(b6, QStringLiteral("lblGiroSumMinor"), false, 106.10, 7.41, 5.56, 5.03, courier(12),
                     leftFixedTransparent, QStringLiteral("00")));
    wholeValue(label(b6, QStringLiteral("lblGiroBankAccount"), false, 131.23, 7.41, 169.07 - 131.23 - 0.5, 5.03,
                     courier(12), leftFixedTransparent, QStringLiteral("9999.99.99999")));
    label(b6, QStringLiteral("lblFormNumber2"), false, 169.07, 6.88, 28.84, 5.03, courier(11), leftAuto,
          QStringLiteral("<6111654090>"));
    verticalLine(b6, QStringLiteral("QRShape2"), 77.26, 1.59, 2.65, 15.88);
    wholeValue(label(b6, QStringLiteral("lblGiroSumMajor"), false, 77.26, 7.41, 23.81, 5.03, courier(12),
                     Look{Alignment::Right, false, true, false}, QStringLiteral("99999999")));

    // The closing strip
    ChildBand1 = &r.addChildBand(QStringLiteral("ChildBand1"), b6, 2.12);
    ChildBand1->color = storedSlipColour;
    slipArea(*ChildBand1, QStringLiteral("QRPDFShape3"), 2.12);

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
    // The placeholder captions of the layout never reach paper, even on a page that was never composed.
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
        if (element->tag == backgroundTag)
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
