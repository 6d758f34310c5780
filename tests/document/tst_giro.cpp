#include "GiroFixtures.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "core/Format.h"
#include "document/qGiroF60.h"
#include "report/Render.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace {

const QColor slip(255, 255, 128);

void compose(TfrmGiroF60 &giro)
{
    giro.SetCompanyAddress(QStringLiteral("Fjordbyrå AS\r\nStorgata 1\r\n0155 Oslo"));
    giro.SetCompanyDetails(QStringLiteral("Org.nr.|987654321\nTelefon|22 33 44 55"));
    giro.SetCustomerAddress(QStringLiteral("Kari Nordmann\nVeien 2\n5003 Bergen"));
    giro.SetInvoiceDetails(QStringLiteral("Kundenr|1001\nFakturanr|2024"));
    giro.SetPaymentInfo(QStringLiteral("Kundenr:   1001\r\nFakturanr: 2024"));
    giro.SetBankAccount(QStringLiteral("1234.56.78903"));
    giro.SetKID(QStringLiteral("10012024"));
    giro.SetDueDate(QDateTime(QDate(2026, 1, 15), QTime(0, 0)));
    giro.SetAmount(money(1234.5));
}

struct Output {
    QTemporaryDir dir;
    QString pdf(TfrmGiroF60 &giro, const QString &name = QStringLiteral("giro.pdf"))
    {
        const QString path = dir.filePath(name);
        giro.qrGiro.exportPdf(path);
        return path;
    }
};

const QStringList backgroundCaptions{"Kvittering", "Betalingsinformasjon", "GIRO",          "Kroner", "Øre",
                                     "Belast",     "Kundeidentifikasjon",  "Blankettnummer"};

} // namespace

class TestGiro : public QObject {
    Q_OBJECT
private slots:
    void variableFieldsStandAtTheirSheetPositions();
    void slipBandsAndBackground();
    void preprintedStationeryShowsOnlyVariableFields();
    void eighteenRowsPerPage();
    void creationEmptiesVariableFields();
    void amountSplitsIntoKronerAndOre_data();
    void amountSplitsIntoKronerAndOre();
    void detailLabelsShareOneColumn();
    void summaryOnlyWithNote();
};

void TestGiro::variableFieldsStandAtTheirSheetPositions()
{
    TfrmGiroF60 giro;
    compose(giro);
    Output out;
    PdfProbe pdf(out.pdf(giro));
    QCOMPARE(pdf.pageCount(), 1);
    const QSizeF sheet = pdf.pageSize(0);
    QVERIFY(qAbs(sheet.width() - 210) < 0.4 && qAbs(sheet.height() - 297) < 0.4);

    const QString due = Format::dateText(QDate(2026, 1, 15));
    const QString sum = Format::moneyText(money(1234.5));
    const QString major = sum.left(sum.indexOf(QLocale().decimalPoint()));
    const struct {
        QString word;
        int occurrence; // the word appears more than once on the page
        double left, top;
        bool rightEdge = false, centred = false;
        double width = 0;
    } fields[] = {
        {sum, 0, 80.43, 186.23},
        {QStringLiteral("Kundenr:"), 0, 14.02, 200.25},
        {QStringLiteral("Kari"), 1, 14.02, 232.79},
        {QStringLiteral("Fjordbyrå"), 1, 113.51, 232.79},
        {QStringLiteral("10012024"), 0, 8.73, 271.16},
        {major, 0, 101.07, 271.16, true},
        {QStringLiteral("50"), 0, 106.10, 271.16},
        {QStringLiteral("1234.56.78903"), 0, 131.23, 271.16},
        // The invoice part above the slip
        {QStringLiteral("Fjordbyrå"), 0, 16.14, 6.26},
        {QStringLiteral("Kari"), 0, 16.14, 39.87},
    };
    const QList<PdfProbe::Word> words = pdf.words(0);
    for (const auto &f : fields) {
        int seen = 0;
        const PdfProbe::Word *found = nullptr;
        for (const PdfProbe::Word &w : words)
            if (w.text == f.word && seen++ == f.occurrence) {
                found = &w;
                break;
            }
        QVERIFY2(found, qPrintable(f.word));
        const double x = f.rightEdge ? found->box.right() : f.centred ? found->box.center().x() : found->box.left();
        const double expectedX = f.centred ? f.left + f.width / 2 : f.left;
        QVERIFY2(qAbs(x - expectedX) < 0.3, qPrintable(QStringLiteral("%1 x %2").arg(f.word).arg(x)));
        QVERIFY2(qAbs(found->box.top() - f.top) < 0.6,
                 qPrintable(QStringLiteral("%1 top %2").arg(f.word).arg(found->box.top())));
    }
    // The due date is centred in its field; its words together stand 198.40 mm from the top.
    QRectF dueBox;
    for (const PdfProbe::Word &w : words)
        if (w.box.left() > 160 && qAbs(w.box.top() - 198.40) < 0.6 && due.contains(w.text))
            dueBox = dueBox.united(w.box);
    QVERIFY2(qAbs(dueBox.center().x() - (166.69 + 30.43 / 2)) < 0.3, qPrintable(QString::number(dueBox.center().x())));
    QVERIFY(dueBox.width() > 5);

    // The form numbers print nothing, and no placeholder reaches the paper.
    for (const char *placeholder : {"6111654090", "<6111654090>", "9999.99.99999", "99999999", "00"})
        QCOMPARE(pdf.count(0, QLatin1String(placeholder)), 0);
}

void TestGiro::slipBandsAndBackground()
{
    TfrmGiroF60 giro;
    compose(giro);
    addTable(giro, 3);
    const std::vector<Page> pages = giro.qrGiro.generate();
    QCOMPARE(int(pages.size()), 1);
    QStringList slipBands;
    for (const PlacedBand &b : pages[0].bands)
        if (b.rect.top() > 170)
            slipBands
                << QStringLiteral("%1 %2-%3").arg(b.name).arg(b.rect.top(), 0, 'f', 2).arg(b.rect.bottom(), 0, 'f', 2);
    QCOMPARE(slipBands,
             QStringList({"PageHeaderBand1 173.53-194.96", "ChildBand4 194.96-254.49", "ChildBand5 254.49-263.75",
                          "ChildBand6 263.75-280.68", "ChildBand1 280.68-282.80"}));

    Output out;
    PdfProbe pdf(out.pdf(giro));
    for (const QString &caption : backgroundCaptions)
        QVERIFY2(pdf.count(0, caption) > 0, qPrintable(caption));
    QCOMPARE(pdf.count(0, QStringLiteral("Blankettnummer")), 2);
    // The yellow areas are rectangles: from 173.53 to 194.96, 254.49 to 264.34 and 280.68 to 282.80 mm.
    const double dpi = 600;
    QCOMPARE(pdf.colourAt(0, {50, 173.7}, dpi), slip);
    QVERIFY(pdf.colourAt(0, {50, 173.35}, dpi) != slip);
    QCOMPARE(pdf.colourAt(0, {20, 258}, dpi), slip);
    QCOMPARE(pdf.colourAt(0, {50, 282.6}, dpi), slip);
    QVERIFY(pdf.colourAt(0, {50, 283.0}, dpi) != slip);
    // The band colour reaches the sheet's right edge (209.9 mm in the PDF); the rectangles end at 209.81 mm. The PDF
    // has no band colours, the preview has them.
    QCOMPARE(pdf.colourAt(0, {209.5, 180}, dpi), slip);
    QCOMPARE(pdf.colourAt(0, {209.87, 180}, dpi), QColor(Qt::white));
    const QImage preview = pageImage(pages[0], dpi);
    QCOMPARE(preview.pixelColor(int(209.87 / 25.4 * dpi), int(180 / 25.4 * dpi)), slip);
}

void TestGiro::preprintedStationeryShowsOnlyVariableFields()
{
    TfrmGiroF60 giro;
    compose(giro);
    giro.setPrePrinted(true);
    Output out;
    // A file always carries the whole slip; the pages for paper carry only the fields.
    PdfProbe file(out.pdf(giro, QStringLiteral("file.pdf")));
    for (const QString &caption : backgroundCaptions)
        QVERIFY2(file.count(0, caption) > 0, qPrintable(caption));
    QVERIFY(giro.prePrinted());
    const QString paper = out.dir.filePath(QStringLiteral("paper.pdf"));
    writePdf(giro.qrGiro.generate(), paper, QString());
    PdfProbe pdf(paper);
    for (const QString &caption : backgroundCaptions)
        QVERIFY2(pdf.count(0, caption) == 0, qPrintable(caption));
    for (const char *field : {"1234.56.78903", "10012024", "Kundenr:"})
        QCOMPARE(pdf.count(0, QLatin1String(field)), 1);
    for (double y : {173.7, 180.0, 258.0, 282.6})
        QCOMPARE(pdf.colourAt(0, {20, y}), QColor(Qt::white));
    // The corner marks of "Betalt av" are gone too.
    QCOMPARE(pdf.colourAt(0, {11.15, 232}, 600), QColor(Qt::white));
    const QImage preview = pageImage(giro.qrGiro.generate().front(), 300);
    QCOMPARE(preview.pixelColor(int(209.87 / 25.4 * 300), int(180 / 25.4 * 300)), QColor(Qt::white));

    giro.setPrePrinted(false);
    PdfProbe blank(out.pdf(giro, QStringLiteral("blank.pdf")));
    QCOMPARE(blank.count(0, QStringLiteral("GIRO")), 1);
    QVERIFY(blank.colourAt(0, {11.15, 232}, 600).value() < 100);
}

void TestGiro::eighteenRowsPerPage()
{
    for (int rows : {18, 19}) {
        TfrmGiroF60 giro;
        compose(giro);
        addTable(giro, rows);
        Output out;
        PdfProbe pdf(out.pdf(giro));
        QCOMPARE(pdf.pageCount(), rows == 18 ? 1 : 2);
        QCOMPARE(pdf.count(0, QStringLiteral("Item18")), 1);
        const auto first = pdf.find(0, QStringLiteral("Item1"));
        QVERIFY(first && qAbs(first->box.top() - 82.8) < 0.6 && qAbs(first->box.left() - 27.25) < 0.3);
        if (rows == 19) {
            QCOMPARE(pdf.count(0, QStringLiteral("Item19")), 0);
            const auto moved = pdf.find(1, QStringLiteral("Item19"));
            QVERIFY(moved && qAbs(moved->box.top() - 82.8) < 0.6);
            for (const char *repeated :
                 {"Fjordbyrå", "Varenr.", "Beskrivelse.", "Netto", "Kvittering", "GIRO", "1234.56.78903", "10012024"})
                QVERIFY2(pdf.count(1, QLatin1String(repeated)) == pdf.count(0, QLatin1String(repeated)), repeated);
        }
        // A right-aligned value keeps its right edge at the column's end: "Netto" ends at 197.91 mm.
        const auto net = pdf.find(0, QStringLiteral("n1"));
        QVERIFY(net && qAbs(net->box.right() - 197.91) < 0.3);
    }
}

void TestGiro::creationEmptiesVariableFields()
{
    TfrmGiroF60 giro;
    const Report &r = giro.qrGiro;
    for (const char *name : {"lblFormNumber", "lblFormNumber2", "lblGiroKID", "lblGiroSum", "lblGiroSumMajor",
                             "lblGiroSumMinor", "lblOptionalInformation", "lblGiroBankAccount"})
        QVERIFY2(r.element<Label>(QLatin1String(name)).caption.isEmpty(), name);
    QCOMPARE(r.title, QStringLiteral("Faktura"));
    QCOMPARE(r.previewHeight, 750);
    QVERIFY(!giro.prePrinted());

    int background = 0;
    for (Element *e : r.allElements())
        background += e->tag == 100;
    QCOMPARE(background, 49);
    for (bool visible : {false, true}) {
        giro.SetBackgroundVisible(visible);
        for (Element *e : r.allElements())
            QCOMPARE(e->enabled, e->tag != 100 || visible);
        const QColor colour = visible ? slip : QColor(Qt::white);
        for (const char *band : {"PageHeaderBand1", "ChildBand5", "ChildBand1"})
            QCOMPARE(r.findBand(QLatin1String(band))->color, colour);
        for (const char *band : {"ChildBand4", "ChildBand6"})
            QCOMPARE(r.findBand(QLatin1String(band))->color, QColor(Qt::white));
        for (const char *shape : {"QRPDFShape1", "QRPDFShape2", "QRPDFShape3", "QRShape44", "QRShape57"})
            QCOMPARE(r.element<Shape>(QLatin1String(shape)).brushColor, colour);
        QCOMPARE(r.element<Shape>(QStringLiteral("QRShape44")).penColor, colour);
    }
}

void TestGiro::amountSplitsIntoKronerAndOre_data()
{
    QTest::addColumn<qint64>("units");
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("thousands") << qint64(12345000);
    QTest::newRow("negative") << qint64(-123000);
    QTest::newRow("below one") << qint64(500);
}

void TestGiro::amountSplitsIntoKronerAndOre()
{
    QFETCH(qint64, units);
    TfrmGiroF60 giro;
    giro.SetAmount(Money::fromUnits(units));
    const QString text = units == 0 ? QString() : Format::moneyText(Money::fromUnits(units));
    const qsizetype p = text.indexOf(QLocale().decimalPoint());
    QCOMPARE(giro.qrGiro.element<Label>(QStringLiteral("lblGiroSum")).caption, text);
    QCOMPARE(giro.qrGiro.element<Label>(QStringLiteral("lblGiroSumMajor")).caption,
             units == 0 ? QString() : text.left(p));
    QCOMPARE(giro.qrGiro.element<Label>(QStringLiteral("lblGiroSumMinor")).caption,
             units == 0 ? QString() : text.mid(p + 1, 2));
    if (units == 12345000)
        QCOMPARE(giro.qrGiro.element<Label>(QStringLiteral("lblGiroSumMinor")).caption, QStringLiteral("50"));
}

void TestGiro::detailLabelsShareOneColumn()
{
    TfrmGiroF60 giro;
    const Report &r = giro.qrGiro;
    giro.SetInvoiceDetails(QStringLiteral("Kundenr|1001\nFakturanr|2024|x"));
    QCOMPARE(r.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsL")).lines, QStringList({"Kundenr", "Fakturanr"}));
    QCOMPARE(r.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsR")).lines, QStringList({"1001", "2024|x"}));
    const Memo &invoiceL = r.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsL"));
    const double valueLeft = r.element<Memo>(QStringLiteral("memoHeadInvoiceDetailsR")).left;
    QCOMPARE(invoiceL.alignment, Alignment::Left);
    QVERIFY(qAbs(invoiceL.left + invoiceL.width - (valueLeft - pxToMm(1))) < 1e-9);
    const double shortLeft = invoiceL.left;

    giro.SetCompanyDetails(QStringLiteral("Foretaksregisteret org.nr.|NO 987 654 321 MVA\nloose line"));
    // The value wraps within the column: its label keeps its row, the rows below it stay unlabelled.
    const QStringList labels = r.element<Memo>(QStringLiteral("memoHeadCompanyDetailsL")).lines;
    const QStringList values = r.element<Memo>(QStringLiteral("memoHeadCompanyDetailsR")).lines;
    QCOMPARE(labels.size(), values.size());
    QCOMPARE(labels.first(), QStringLiteral("Foretaksregisteret org.nr."));
    QCOMPARE(labels.mid(1), QStringList(labels.size() - 1, QString()));
    QCOMPARE(values.first(), QStringLiteral("NO 987 654 321"));
    QCOMPARE(values.last(), QStringLiteral("loose line"));
    const Memo &companyL = r.element<Memo>(QStringLiteral("memoHeadCompanyDetailsL"));
    QVERIFY(invoiceL.left < shortLeft - 10);
    QCOMPARE(companyL.left, invoiceL.left);
    QCOMPARE(companyL.width, invoiceL.width);
    const auto &title = r.element<SysData>(QStringLiteral("QRSysData1"));
    QCOMPARE(title.left, invoiceL.left);
    QCOMPARE(title.alignment, Alignment::Left);
}

void TestGiro::summaryOnlyWithNote()
{
    TfrmGiroF60 giro;
    addTable(giro, 2);
    const auto summaries = [&] {
        int n = 0;
        // The pages are kept while their bands are read.
        const std::vector<Page> pages = giro.qrGiro.generate();
        for (const PlacedBand &b : pages.front().bands)
            n += b.name == QLatin1String("SummaryBand1");
        return n;
    };
    QCOMPARE(summaries(), 0);
    giro.SetOptionalInformation(QStringLiteral("Takk for handelen"));
    QCOMPARE(summaries(), 1);
    Output out;
    PdfProbe pdf(out.pdf(giro));
    const auto note = pdf.find(0, QStringLiteral("Takk"));
    // Two rows of 4.8 mm after the column header, then the note 5.82 mm into the summary band.
    QVERIFY(note && qAbs(note->box.top() - (82.8 + 2 * 4.8 + 5.82)) < 0.6 && qAbs(note->box.left() - 8.47) < 0.3);
}

QTEST_MAIN(TestGiro)
#include "tst_giro.moc"
