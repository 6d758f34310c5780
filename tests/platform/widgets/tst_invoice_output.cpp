#include "GuiTestSupport.h"
#include "InvoiceFixture.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "platform/widgets/FileDialog.h"
#include "platform/widgets/InvoiceOutput.h"
#include "platform/widgets/MailClient.h"
#include "platform/widgets/PreviewWindow.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

using report::PreviewWindow;

// The invoice's outputs that need windows: preview, print, Save PDF and e-mail.
class InvoiceOutputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void previewPrintAndThePrintDate()
    {
        FixedClock clock(QDate(2026, 12, 10), QTime(14, 30));
        Fixture f;
        const int id = f.addInvoice({}, {}, {{2.0, 100.0, 25.0, 0.0}});
        // The owner stands in the main window, as a list window does.
        QWidget mainWindow;
        QWidget owner(&mainWindow);
        int refreshes = 0;
        QObject::connect(&f.dm, &TdmInvoice::invoicesChanged, &owner, [&] { ++refreshes; });
        PrinterToPdf printer;
        const QString printed = printer.path();
        auto printDate = [&] { return f.scalar(QStringLiteral("select PRINTDATE from INVOICE")); };

        // Looked at only: no print date, and nothing takes input meanwhile.
        bool disabledMeanwhile = false;
        {
            PreviewDriver preview([&](PreviewWindow &w) {
                disabledMeanwhile = !owner.isEnabled() && !mainWindow.isEnabled();
                w.close();
            });
            OutputInvoice(&owner, id, int(InvoiceOutput::Preview));
        }
        QVERIFY(disabledMeanwhile);
        QVERIFY(owner.isEnabled() && mainWindow.isEnabled());
        QVERIFY(!printDate().isValid());

        // Printed from the preview: the date of today, the list asked to reload, the rows once.
        {
            PreviewDriver preview([](PreviewWindow &w) {
                QVERIFY(triggerAction(&w, QStringLiteral("actPrint")));
                w.close();
            });
            OutputInvoice(&owner, id, int(InvoiceOutput::Preview));
        }
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
    }

    void saveAsPdf()
    {
        Fixture f(
            {{QStringLiteral("PREPRINTED"), QStringLiteral("1")}, {QStringLiteral("PDFDIR"), QStringLiteral("/srv/")}});
        const int id = f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0}});
        QWidget owner;
        QDir(f.out.path()).mkdir(QStringLiteral("arkiv"));
        const QString chosen = f.out.filePath(QStringLiteral("arkiv/kari"));
        NextFileNames names({chosen});
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
        names.push(QString());
        OutputInvoice(&owner, id, int(InvoiceOutput::PdfFile));
        QCOMPARE(lastSaveFileRequest().folder, folder);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

    void eMail()
    {
        Fixture f;
        const int id = f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0}});
        QWidget owner;
        MailCapture mail;
        const QList<MailMessage> &sent = mail.sent;
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
        mail.works = false;
        OutputInvoice(&owner, id, int(InvoiceOutput::EMail));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Error trying to start e-mail clinet")});
        QCOMPARE(answers.shown().first().type, MsgType::Error);
        QVERIFY(QFile::exists(sent.last().attachment));
        QVERIFY(sent.last().attachment != m.attachment);
        QVERIFY(!f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).isValid());
        QDir(attachment.absolutePath()).removeRecursively();
        QDir(QFileInfo(sent.last().attachment).absolutePath()).removeRecursively();
    }

    void anIdWithoutAnInvoiceDoesNothing()
    {
        Fixture f;
        TfrmGiroF60 giro;
        QVERIFY(!ComposeInvoiceDocument(4711, giro));
        QVERIFY(giro.rows().isEmpty());
        MessageAnswers answers;
        QWidget owner;
        PrinterToPdf printer;
        const QString printed = printer.path();
        for (int mode = 0; mode <= 3; ++mode)
            OutputInvoice(&owner, 4711, mode);
        QVERIFY(answers.shown().isEmpty());
        QVERIFY(owner.isEnabled());
        QVERIFY(!QFile::exists(printed));
        QVERIFY(f.pdf(4711).isEmpty());
    }
};

QTEST_MAIN(InvoiceOutputTest)
#include "tst_invoice_output.moc"
