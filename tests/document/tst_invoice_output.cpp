#include "PdfProbe.h"
#include "TestSupport.h"
#include "data/dInvoice.h"
#include "data/dTemp.h"
#include "document/qGiroF60.h"
#include "document/uReports.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/mail/MailClient.h"
#include "platform/report/PreviewWindow.h"
#include "platform/widgets/FileDialog.h"
#include "platform/widgets/InvoiceListRefresh.h"
#include "platform/widgets/MainWindow.h"
#include "platform/widgets/Printers.h"
#include "settings/uConfig.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QTest>

using report::Label;
using report::Memo;
using report::PreviewWindow;

namespace {

// A database with one customer, the business settings given, and invoices added by the tests.
struct Fixture {
    TempDatabase database;
    TdmInvoice dm{database.folder()};
    QTemporaryDir out;

    explicit Fixture(const QList<QPair<QString, QString>> &settings = {})
    {
        const QList<QPair<QString, QString>> all =
            QList<QPair<QString, QString>>{
                {QStringLiteral("NAMECOMPADDR"), QStringLiteral("Fjordlys AS\nStrandveien 14")},
                {QStringLiteral("BANKACCNO"), QStringLiteral("1234.56.78903")}} +
            settings;
        for (const auto &[key, value] : all)
            execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values ('%1', '%2')").arg(key, value));
        execute(
            QStringLiteral("insert into CUSTOMER (CUST_NO, FIRSTNAME, SURNAME, ADDRESS, POSTALCODE, POSTALADDRESS, "
                           "EMAIL) values (3, 'Kari', 'Nordmann', 'Storgata 12', '0150', 'OSLO', 'kari@example.no')"));
        DBSettings().LoadBusinessSettings();
    }
    ~Fixture() { FreeSettingsStores(); }

    void execute(const QString &sql) { dm.conInvoice.execute(sql); }
    QVariant scalar(const QString &sql) { return dm.conInvoice.scalar(sql); }

    // An invoice with its lines (quantity, price, VAT, discount, text); the totals follow the lines.
    int addInvoice(const QString &columns = QString(), const QString &values = QString(),
                   const QList<QVariantList> &lines = {})
    {
        execute(
            QStringLiteral("insert into INVOICE (CUST_ID, INVOICE_NO, INVDATE, DUEDATE, KID, GROSSSUM, SUMVAT, "
                           "INV_TYPE%1) values (1, 17, '2026-12-10 00:00:00', '2026-12-24 00:00:00', '123456', 0, 0, "
                           "'N'%2)")
                .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + columns,
                     values.isEmpty() ? QString() : QStringLiteral(", ") + values));
        const int id = scalar(QStringLiteral("select max(INV_ID) from INVOICE")).toInt();
        int n = 0;
        for (const QVariantList &line : lines) {
            ++n;
            dm.conInvoice.execute(QStringLiteral("insert into INVITEM (INV_ID, ITEM_ID, ITEM_NO, ITEM_DESC, NUM, "
                                                 "NETPRICE, VAT, DISCOUNT) values (:I, :N, 'A%1', :T, :Q, :P, :V, :D)")
                                      .arg(n),
                                  {{QStringLiteral("I"), id},
                                   {QStringLiteral("N"), n},
                                   {QStringLiteral("Q"), line.value(0)},
                                   {QStringLiteral("P"), QVariant::fromValue(money(line.value(1).toDouble()))},
                                   {QStringLiteral("V"), line.value(2)},
                                   {QStringLiteral("D"), line.value(3)},
                                   {QStringLiteral("T"), line.value(4, QStringLiteral("Vare %1").arg(n))}});
        }
        execute(QStringLiteral("update INVOICE set GROSSSUM = coalesce((select sum(round(GROSSUM * 10000)) from "
                               "INVITEMVIEW where INV_ID = %1), 0), SUMVAT = coalesce((select sum(round(SUMVAT * "
                               "10000)) from INVITEMVIEW where INV_ID = %1), 0) where INV_ID = %1")
                    .arg(id));
        return id;
    }

    QString pdf(int id)
    {
        const QString path = out.filePath(QStringLiteral("invoice%1.pdf").arg(id));
        QFile::remove(path);
        if (!ExportInvoicePdf(id, path))
            return QString();
        return path;
    }

    // The program's printer, writing PDF into the test's folder.
    QString printToPdf()
    {
        const QString path = out.filePath(QStringLiteral("printed.pdf"));
        QFile::remove(path);
        currentPrinter().setOutputFormat(QPrinter::PdfFormat);
        currentPrinter().setOutputFileName(path);
        return path;
    }
};

QString caption(TfrmGiroF60 &giro, const char *name)
{
    return giro.qrGiro.element<Label>(QLatin1String(name)).caption;
}

QStringList memoLines(TfrmGiroF60 &giro, const char *name)
{
    return giro.qrGiro.element<Memo>(QLatin1String(name)).lines;
}

QString nb(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char(' '), QChar(0xA0));
}

} // namespace

class InvoiceOutputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init()
    {
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
        clearNextFileNames();
        setMailSender({});
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void composedTexts()
    {
        Fixture f({{QStringLiteral("COMPDETAIL"), QStringLiteral("Org.nr.|987 654 321 MVA\nTelefon uten skille")}});
        const int id =
            f.addInvoice(QStringLiteral("ORDER_NO, YOURREF, INV_NOTE"), QStringLiteral("'A-7', 'Per', 'Takk!'"),
                         {{1.5, 100.0, 25.0, 12.5}, {2.0, 10.0, 0.0, 0.0}});
        TfrmGiroF60 giro;
        QVERIFY(ComposeInvoiceDocument(id, giro));
        QCOMPARE(giro.invoiceId(), id);
        QCOMPARE(giro.qrGiro.title, QStringLiteral("Faktura"));
        QCOMPARE(memoLines(giro, "memoHeadCustomerAddress"),
                 (QStringList{"Kari Nordmann", "Storgata 12", "0150 OSLO"}));
        QCOMPARE(memoLines(giro, "memoHeadCompanyAddress"), (QStringList{"Fjordlys AS", "Strandveien 14"}));
        // A details line without a bar shows the whole line as its value.
        QCOMPARE(memoLines(giro, "memoHeadCompanyDetailsL"), (QStringList{"Org.nr.", ""}));
        QCOMPARE(memoLines(giro, "memoHeadCompanyDetailsR"), (QStringList{"987 654 321 MVA", "Telefon uten skille"}));
        QCOMPARE(memoLines(giro, "memoHeadInvoiceDetailsL"),
                 (QStringList{"Kundenr", "Fakturanr", "Ordrenr.", "Fakturadato", "Forfalsdato", "Deres ref."}));
        QCOMPARE(memoLines(giro, "memoHeadInvoiceDetailsR"),
                 (QStringList{"3", "17", "A-7", "10.12.2026", "24.12.2026", "Per"}));
        QCOMPARE(memoLines(giro, "memoGiroPayInfo"), (QStringList{"Kundenr:   3", "Fakturanr: 17"}));
        QCOMPARE(caption(giro, "lblGiroBankAccount"), QStringLiteral("1234.56.78903"));
        QCOMPARE(caption(giro, "lblGiroKID"), QStringLiteral("123456"));
        QCOMPARE(caption(giro, "lblGiroDueDate"), QStringLiteral("24.12.2026"));
        QCOMPARE(caption(giro, "lblOptionalInformation"), QStringLiteral("Takk!"));
        QCOMPARE(giro.columns().size(), size_t(7));
        // Quantity in its short form, the discount only when there is one, VAT always.
        QCOMPARE(giro.rows().value(0).split(QLatin1String("\r\n")),
                 (QStringList{"A1", "Vare 1", "1,5", "100,00", "12,5%", "25%", "131,25"}));
        QCOMPARE(giro.rows().value(1).split(QLatin1String("\r\n")),
                 (QStringList{"A2", "Vare 2", "2", "10,00", "", "0%", "20,00"}));
        QCOMPARE(giro.rows().value(2), QString());
        QCOMPARE(giro.rows().mid(3),
                 (QStringList{"\r\n\r\n\r\n\r\n\r\nNettosalg:\r\n151,25", "\r\n\r\n\r\n\r\n\r\nMVA:\r\n32,81",
                              "\r\n\r\n\r\n\r\n\r\nTotal:\r\n184,06"}));
        QCOMPARE(caption(giro, "lblGiroSum"), QStringLiteral("184,06"));
        QCOMPARE(caption(giro, "lblGiroSumMajor"), QStringLiteral("184"));
        QCOMPARE(caption(giro, "lblGiroSumMinor"), QStringLiteral("06"));
        QVERIFY(!giro.prePrinted());
    }

    void aPlainInvoiceHasFourDetailLinesAndNoLines()
    {
        Fixture f({{QStringLiteral("PREPRINTED"), QStringLiteral("1")}});
        const int id = f.addInvoice();
        TfrmGiroF60 giro;
        QVERIFY(ComposeInvoiceDocument(id, giro));
        QCOMPARE(memoLines(giro, "memoHeadInvoiceDetailsL"),
                 (QStringList{"Kundenr", "Fakturanr", "Fakturadato", "Forfalsdato"}));
        QCOMPARE(giro.rows().size(), 4);
        QVERIFY(giro.rows().at(1).endsWith(QLatin1String("Nettosalg:\r\n0,00")));
        QVERIFY(giro.rows().at(3).endsWith(QLatin1String("Total:\r\n0,00")));
        // A total of exactly 0 leaves the slip's amount fields empty.
        for (const char *field : {"lblGiroSum", "lblGiroSumMajor", "lblGiroSumMinor"})
            QCOMPARE(caption(giro, field), QString());
        QVERIFY(giro.prePrinted());
    }

    void titlesAndCreditNotes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("invoice") << "N"
                                 << "Faktura";
        QTest::newRow("empty") << ""
                               << "Faktura";
        QTest::newRow("reminder") << "R"
                                  << "Purring";
        QTest::newRow("final notice") << "F"
                                      << "Inkassovarsel";
        QTest::newRow("unknown") << "x"
                                 << "Faktura";
        QTest::newRow("credit note") << "C"
                                     << "Kredittnota";
    }
    void titlesAndCreditNotes()
    {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        Fixture f;
        const int id = f.addInvoice({}, {}, {{1.0, 1234.5 / 1.25, 25.0, 0.0}});
        f.execute(QStringLiteral("update INVOICE set INV_TYPE = '%1'").arg(kind));
        TfrmGiroF60 giro;
        QVERIFY(ComposeInvoiceDocument(id, giro));
        QCOMPARE(giro.qrGiro.title, title);
        const bool credit = kind == QLatin1String("C");
        QCOMPARE(caption(giro, "lblGiroBankAccount"),
                 credit ? QStringLiteral("KREDITTNOTA - INGEN BETALING") : QStringLiteral("1234.56.78903"));
        QCOMPARE(caption(giro, "lblGiroKID"),
                 credit ? QStringLiteral("KREDITTNOTA-INGEN BETALING") : QStringLiteral("123456"));
        const QStringList payInfo = credit ? QStringList{"Fakturanr: 17", "KREDITTNOTA-INGEN BETALING"}
                                           : QStringList{"Kundenr:   3", "Fakturanr: 17"};
        QCOMPARE(memoLines(giro, "memoGiroPayInfo"), payInfo);
        // The amount is filled for every kind: 1 234,50 in kroner and øre.
        QCOMPARE(caption(giro, "lblGiroSum"), nb("1 234,50"));
        QCOMPARE(caption(giro, "lblGiroSumMajor"), nb("1 234"));
        QCOMPARE(caption(giro, "lblGiroSumMinor"), QStringLiteral("50"));
    }

    void anIdWithoutAnInvoiceDoesNothing()
    {
        Fixture f;
        TfrmGiroF60 giro;
        QVERIFY(!ComposeInvoiceDocument(4711, giro));
        QVERIFY(giro.rows().isEmpty());
        MessageAnswers answers;
        QWidget owner;
        const QString printed = f.printToPdf();
        for (int mode = 0; mode <= 3; ++mode)
            OutputInvoice(&owner, 4711, mode);
        QVERIFY(answers.shown().isEmpty());
        QVERIFY(owner.isEnabled());
        QVERIFY(!QFile::exists(printed));
        QVERIFY(f.pdf(4711).isEmpty());
    }

    void longInvoicesContinueOnANewPage_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("pages");
        QTest::newRow("14 items fit") << 14 << 1;
        QTest::newRow("15 items move the total") << 15 << 2;
    }
    void longInvoicesContinueOnANewPage()
    {
        QFETCH(int, items);
        QFETCH(int, pages);
        Fixture f;
        QList<QVariantList> lines;
        for (int i = 0; i < items; ++i)
            lines << QVariantList{1.0, 10.0, 25.0, 0.0};
        PdfProbe pdf(f.pdf(f.addInvoice({}, {}, lines)));
        QCOMPARE(pdf.pageCount(), pages);
        QCOMPARE(pdf.count(pages - 1, QStringLiteral("Total:")), 1);
        for (int page = 0; page < pages; ++page) {
            // Every page has the header, the captions and the whole slip.
            QCOMPARE(pdf.count(page, QStringLiteral("Faktura")), 1);
            QCOMPARE(pdf.count(page, QStringLiteral("Varenr.")), 1);
            QCOMPARE(pdf.count(page, QStringLiteral("Kvittering")), 2);
            QCOMPARE(pdf.count(page, QStringLiteral("1234.56.78903")), 1);
        }
    }

    void aLongDescriptionMakesItsRowTaller()
    {
        Fixture f;
        const QString longText = QStringLiteral("Konsulentbistand med installasjon og opplæring i kassasystem");
        PdfProbe pdf(f.pdf(f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0, longText}, {1.0, 10.0, 25.0, 0.0, "Neste"}})));
        const auto first = pdf.find(0, QStringLiteral("Konsulentbistand"));
        const auto wrapped = pdf.find(0, QStringLiteral("kassasystem"));
        const auto next = pdf.find(0, QStringLiteral("Neste"));
        const auto firstAmount = pdf.find(0, QStringLiteral("A1"));
        QVERIFY(first && wrapped && next && firstAmount);
        QVERIFY(wrapped->box.top() > first->box.bottom());
        QVERIFY(next->box.top() > wrapped->box.bottom());
        // The other cells of the row stay on its first line.
        QVERIFY(std::abs(firstAmount->box.top() - first->box.top()) < 0.5);
    }

    void previewPrintAndThePrintDate()
    {
        FixedClock clock(QDate(2026, 12, 10), QTime(14, 30));
        Fixture f;
        const int id = f.addInvoice({}, {}, {{2.0, 100.0, 25.0, 0.0}});
        QWidget owner, mainWindow;
        setApplicationMainWindow(&mainWindow);
        int refreshes = 0;
        struct Receiver : QObject {
            int *count;
            bool event(QEvent *e) override
            {
                if (e->type() == QEvent::Type(InvoiceListRefreshMessage))
                    return ++*count, true;
                return QObject::event(e);
            }
        } receiver;
        receiver.count = &refreshes;
        setInvoiceListRefreshReceiver(&receiver);
        const QString printed = f.printToPdf();
        auto printDate = [&] { return f.scalar(QStringLiteral("select PRINTDATE from INVOICE")); };

        // Looked at only: no print date, and nothing takes input meanwhile.
        bool disabledMeanwhile = false;
        auto previous = PreviewWindow::setOpenHook([&](PreviewWindow &w) {
            disabledMeanwhile = !owner.isEnabled() && !mainWindow.isEnabled();
            w.close();
        });
        OutputInvoice(&owner, id, int(InvoiceOutput::Preview));
        QVERIFY(disabledMeanwhile);
        QVERIFY(owner.isEnabled() && mainWindow.isEnabled());
        QVERIFY(!printDate().isValid());

        // Printed from the preview: the date of today, the list asked to reload, the rows once.
        PreviewWindow::setOpenHook([](PreviewWindow &w) {
            w.actPrint->trigger();
            w.close();
        });
        OutputInvoice(&owner, id, int(InvoiceOutput::Preview));
        PreviewWindow::setOpenHook(previous);
        QCOMPARE(printDate().toString(), QStringLiteral("2026-12-10 00:00:00"));
        QTRY_COMPARE(refreshes, 1);
        PdfProbe fromPreview(printed);
        QCOMPARE(fromPreview.count(0, QStringLiteral("Varenr.")), 1);
        QCOMPARE(fromPreview.count(0, QStringLiteral("A1")), 1);

        // Printed at once, inside a transaction that is then undone: the date goes with it.
        f.execute(QStringLiteral("update INVOICE set PRINTDATE = null"));
        f.dm.conInvoice.beginTransaction();
        OutputInvoice(&owner, id, int(InvoiceOutput::Print));
        QCOMPARE(printDate().toString(), QStringLiteral("2026-12-10 00:00:00"));
        QVERIFY(PdfProbe(printed).count(0, QStringLiteral("A1")) == 1);
        f.dm.conInvoice.rollback();
        QVERIFY(!printDate().isValid());
        setInvoiceListRefreshReceiver(nullptr);
        setApplicationMainWindow(nullptr);
    }

    void saveAsPdf()
    {
        Fixture f(
            {{QStringLiteral("PREPRINTED"), QStringLiteral("1")}, {QStringLiteral("PDFDIR"), QStringLiteral("/srv/")}});
        const int id = f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0}});
        QWidget owner;
        QDir(f.out.path()).mkdir(QStringLiteral("arkiv"));
        const QString chosen = f.out.filePath(QStringLiteral("arkiv/kari"));
        setNextFileName(chosen);
        OutputInvoice(&owner, id, int(InvoiceOutput::PdfFile));
        const SaveFileRequest asked = lastSaveFileRequest();
        QCOMPARE(asked.caption, QStringLiteral("Make PDF file"));
        QCOMPARE(asked.fileName, QStringLiteral("Faktura17.PDF"));
        QCOMPARE(asked.folder, QStringLiteral("/srv/"));
        QCOMPARE(asked.filter, QStringLiteral("PDF files (*.pdf)"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("pdf"));
        // On pre-printed stationery too, the file carries the whole slip.
        PdfProbe pdf(chosen + QStringLiteral(".pdf"));
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(pdf.count(0, QStringLiteral("GIRO")), 1);
        const QString folder = f.out.filePath(QStringLiteral("arkiv")) + QLatin1Char('/');
        QCOMPARE(f.scalar(QStringLiteral("select AVALUE from APPDATA where ANAME = 'PDFDIR'")).toString(), folder);
        QVERIFY(!f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).isValid());

        // Cancelled: nothing written, the folder stays.
        setNextFileName(QString());
        OutputInvoice(&owner, id, int(InvoiceOutput::PdfFile));
        QCOMPARE(lastSaveFileRequest().folder, folder);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

    void eMail()
    {
        Fixture f;
        const int id = f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0}});
        QWidget owner;
        QList<MailMessage> sent;
        bool accept = true;
        setMailSender([&](const MailMessage &m) {
            sent << m;
            return accept;
        });
        MessageAnswers answers;
        OutputInvoice(&owner, id, int(InvoiceOutput::EMail));
        QCOMPARE(sent.size(), 1);
        const MailMessage &m = sent.first();
        QCOMPARE(m.subject, QStringLiteral("Faktura Nr 17"));
        QCOMPARE(m.body, QStringLiteral("Vedlagt ligger faktura."));
        QCOMPARE(m.recipientName, QStringLiteral("Kari Nordmann"));
        QCOMPARE(m.recipientAddress, QStringLiteral("kari@example.no"));
        const QFileInfo attachment(m.attachment);
        QCOMPARE(attachment.fileName(), QStringLiteral("Faktura.pdf"));
        QVERIFY(attachment.absolutePath().startsWith(QDir::temp().filePath(QStringLiteral("INV"))));
        QCOMPARE(PdfProbe(m.attachment).pageCount(), 1);
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(mailCommand(m),
                 (QStringList{"xdg-email", "--utf8", "--subject", "Faktura Nr 17", "--body", "Vedlagt ligger faktura.",
                              "--attach", m.attachment, "Kari Nordmann <kari@example.no>"}));

        // A client that fails: the message, and the file stays.
        accept = false;
        OutputInvoice(&owner, id, int(InvoiceOutput::EMail));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Error trying to start e-mail clinet")});
        QCOMPARE(answers.shown().first().type, MsgType::Error);
        QVERIFY(QFile::exists(sent.last().attachment));
        QVERIFY(sent.last().attachment != m.attachment);
        QVERIFY(!f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).isValid());
        QDir(attachment.absolutePath()).removeRecursively();
        QDir(QFileInfo(sent.last().attachment).absolutePath()).removeRecursively();
    }

    void commandLineExport()
    {
        TempDatabase database(true);
        QTemporaryDir out;
        auto cli = [](const QStringList &args) {
            QProcess p;
            p.start(QStringLiteral(TESSUND_CLI), args);
            p.waitForFinished(120000);
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
        };
        const QString one = out.filePath(QStringLiteral("one.pdf"));
        QCOMPARE(cli({QStringLiteral("pdf"), database.path(), QStringLiteral("3"), one}).first, 0);
        QCOMPARE(PdfProbe(one).pageCount(), 1);
        QCOMPARE(cli({QStringLiteral("pdf"), database.path(), QStringLiteral("--all"), out.path()}).first, 0);
        const QStringList files = QDir(out.path()).entryList({QStringLiteral("Faktura*.PDF")}, QDir::Files);
        QCOMPARE(files.size(), 30);
        QVERIFY(files.contains(QStringLiteral("Faktura1-%1.PDF").arg(QDate::currentDate().year())));

        const auto unknown = cli({QStringLiteral("pdf"), database.path(), QStringLiteral("999"), one});
        QCOMPARE(unknown.first, 1);
        QVERIFY2(unknown.second.contains(QLatin1String("no invoice with id 999")), qPrintable(unknown.second));
        const auto unwritable = cli({QStringLiteral("pdf"), database.path(), QStringLiteral("3"),
                                     out.filePath(QStringLiteral("missing/x.pdf"))});
        QCOMPARE(unwritable.first, 1);
        QVERIFY(!QFile::exists(out.filePath(QStringLiteral("missing/x.pdf"))));
        {
            // While the program holds the database the tool refuses, and the program keeps it.
            TdmInvoice running(database.folder());
            QVERIFY(running.isConnected());
            const auto refused = cli({QStringLiteral("pdf"), database.path(), QStringLiteral("3"), one});
            QCOMPARE(refused.first, 1);
            QVERIFY2(refused.second.contains(QLatin1String("in use")), qPrintable(refused.second));
            QCOMPARE(running.conInvoice.scalar(QStringLiteral("select count(*) from INVOICE")).toInt(), 30);
        }
    }
};

QTEST_MAIN(InvoiceOutputTest)
#include "tst_invoice_output.moc"
