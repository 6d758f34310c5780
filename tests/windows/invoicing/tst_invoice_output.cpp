#include "GuiTestSupport.h"
#include "InvoiceFixture.h"
#include "MailCapture.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "widgets/FileDialog.h"
#include "widgets/PreviewWindow.h"
#include "windows/invoicing/InvoiceOutput.h"
#include "windows/invoicing/MailClient.h"

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
            OutputInvoice(&owner, id, InvoiceOutput::Preview);
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
            OutputInvoice(&owner, id, InvoiceOutput::Preview);
        }
        QCOMPARE(printDate().toString(), QStringLiteral("2026-12-10 00:00:00"));
        QTRY_COMPARE(refreshes, 1);
        PdfProbe fromPreview(printed);
        QCOMPARE(fromPreview.count(0, QStringLiteral("Varenr.")), 1);
        QCOMPARE(fromPreview.count(0, QStringLiteral("A1")), 1);

        // Printed at once, inside a transaction that is then undone: the date goes with it.
        f.execute(QStringLiteral("update INVOICE set PRINTDATE = null"));
        f.dm.conInvoice.beginTransaction();
        OutputInvoice(&owner, id, InvoiceOutput::Print);
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
        OutputInvoice(&owner, id, InvoiceOutput::PdfFile);
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
        OutputInvoice(&owner, id, InvoiceOutput::PdfFile);
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
        OutputInvoice(&owner, id, InvoiceOutput::EMail);
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
        OutputInvoice(&owner, id, InvoiceOutput::EMail);
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Error trying to start e-mail clinet")});
        QCOMPARE(answers.shown().first().type, MsgType::Error);
        QVERIFY(QFile::exists(sent.last().attachment));
        QVERIFY(sent.last().attachment != m.attachment);
        QVERIFY(!f.scalar(QStringLiteral("select PRINTDATE from INVOICE")).isValid());
        QDir(attachment.absolutePath()).removeRecursively();
        QDir(QFileInfo(sent.last().attachment).absolutePath()).removeRecursively();
    }

    // Only a plain address reaches the mail client: anything it could read as more than one recipient (a
    // query adding an attachment, an option, a second header) is refused with a message before the hand-off.
    void eMailAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("recipient"); // the recipient handed over; "refused": none, a message instead
        QTest::newRow("plain") << "kari@example.no"
                               << "Kari"
                               << "Kari Nordmann <kari@example.no>";
        QTest::newRow("spaces around") << " kari@example.no "
                                       << "Kari"
                                       << "Kari Nordmann <kari@example.no>";
        QTest::newRow("dots, plus and hyphens") << "kari.nord-mann+faktura@post.example-2.no"
                                                << "Kari"
                                                << "Kari Nordmann <kari.nord-mann+faktura@post.example-2.no>";
        QTest::newRow("Norwegian letters") << "kåre@bølgen.no"
                                           << "Kåre"
                                           << "Kåre Nordmann <kåre@bølgen.no>";
        QTest::newRow("none: the client asks") << ""
                                               << "Kari"
                                               << "";
        QTest::newRow("a name that is more than a name") << "kari@example.no"
                                                         << "Kari <x@evil.no>"
                                                         << "kari@example.no";
        QTest::newRow("a query adding an attachment") << "kari@example.no?attach=/etc/passwd"
                                                      << "Kari"
                                                      << "refused";
        QTest::newRow("an option") << "--help"
                                   << "Kari"
                                   << "refused";
        QTest::newRow("a leading hyphen") << "-kari@example.no"
                                          << "Kari"
                                          << "refused";
        QTest::newRow("an ampersand") << "kari&bcc=x@example.no"
                                      << "Kari"
                                      << "refused";
        QTest::newRow("a percent sign") << "kari%3Fx@example.no"
                                        << "Kari"
                                        << "refused";
        QTest::newRow("a space inside") << "kari nordmann@example.no"
                                        << "Kari"
                                        << "refused";
        QTest::newRow("a line break and a header") << "kari@example.no\r\nBcc: x@evil.no"
                                                   << "Kari"
                                                   << "refused";
        QTest::newRow("a control character") << QStringLiteral("kari@exam\x01ple.no") << "Kari"
                                             << "refused";
        QTest::newRow("two addresses") << "kari@example.no,ola@example.no"
                                       << "Kari"
                                       << "refused";
        QTest::newRow("a name with the address") << "Kari <kari@example.no>"
                                                 << "Kari"
                                                 << "refused";
        QTest::newRow("a mailto link") << "mailto:kari@example.no"
                                       << "Kari"
                                       << "refused";
        QTest::newRow("quotes") << "\"kari\"@example.no"
                                << "Kari"
                                << "refused";
        QTest::newRow("no domain") << "kari@"
                                   << "Kari"
                                   << "refused";
        QTest::newRow("no top-level domain") << "kari@localhost"
                                             << "Kari"
                                             << "refused";
        QTest::newRow("two dots") << "kari..nordmann@example.no"
                                  << "Kari"
                                  << "refused";
        QTest::newRow("no at sign") << "kari.example.no"
                                    << "Kari"
                                    << "refused";
    }
    void eMailAddresses()
    {
        QFETCH(QString, address);
        QFETCH(QString, firstName);
        QFETCH(QString, recipient);
        Fixture f;
        f.dm.conInvoice.execute(QStringLiteral("update CUSTOMER set EMAIL = :EMAIL, FIRSTNAME = :NAME"),
                                {{QStringLiteral("EMAIL"), address}, {QStringLiteral("NAME"), firstName}});
        const int id = f.addInvoice({}, {}, {{1.0, 10.0, 25.0, 0.0}});
        QWidget owner;
        MailCapture mail;
        MessageAnswers answers;
        OutputInvoice(&owner, id, InvoiceOutput::EMail);
        if (recipient == QLatin1String("refused")) {
            QCOMPARE(mail.sent.size(), 0);
            QCOMPARE(answers.shown().size(), 1);
            QCOMPARE(answers.shown().first().type, MsgType::Error);
            QVERIFY2(answers.shown().first().text.contains(QLatin1String("is not a plain address")),
                     qPrintable(answers.shown().first().text));
            // And however it is reached, the hand-off itself refuses it.
            QVERIFY(
                !sendMail(MailMessage{QStringLiteral("Kari"), address, QStringLiteral("s"), QStringLiteral("b"), {}}));
            QCOMPARE(mail.sent.size(), 0);
            return;
        }
        QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.texts().join(QLatin1Char('\n'))));
        QCOMPARE(mail.sent.size(), 1);
        const MailMessage &m = mail.sent.first();
        QStringList expected{"xdg-email",     "--utf8",    "--subject",
                             "Faktura Nr 17", "--body",    "Vedlagt ligger faktura.",
                             "--attach",      m.attachment};
        if (!recipient.isEmpty())
            expected << recipient;
        QCOMPARE(mailCommand(m), expected);
        QDir(QFileInfo(m.attachment).absolutePath()).removeRecursively();
    }

    // The real hand-off, to a stand-in mail program found on the PATH: a program that fails or is not there
    // is a failure, told to the user.
    void mailHandOff_data()
    {
        QTest::addColumn<int>("exitCode"); // of the stand-in; -1: there is no mail program
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("the client opens") << 0 << true;
        QTest::newRow("no client to open") << 3 << false;
        QTest::newRow("no mail program") << -1 << false;
    }
    void mailHandOff()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, handedOver);
        QTemporaryDir bin;
        const QString arguments = bin.filePath(QStringLiteral("arguments"));
        if (exitCode >= 0) {
            QFile program(bin.filePath(QStringLiteral("xdg-email")));
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\nexit %2\n")
                              .arg(arguments)
                              .arg(exitCode)
                              .toUtf8());
            program.close();
            QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        MailMessage message{QStringLiteral("Kari Nordmann"),
                            QStringLiteral("kari@example.no"),
                            QStringLiteral("Faktura Nr 17"),
                            QStringLiteral("Vedlagt ligger faktura."),
                            {}};
        const bool sent = sendMail(message);
        qputenv("PATH", path);
        QCOMPARE(sent, handedOver);
        if (exitCode >= 0) {
            QFile given(arguments);
            QVERIFY(given.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(given.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                     mailCommand(message).mid(1));
        }
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
        for (InvoiceOutput mode :
             {InvoiceOutput::Preview, InvoiceOutput::Print, InvoiceOutput::PdfFile, InvoiceOutput::EMail})
            OutputInvoice(&owner, 4711, mode);
        QVERIFY(answers.shown().isEmpty());
        QVERIFY(owner.isEnabled());
        QVERIFY(!QFile::exists(printed));
        QVERIFY(f.pdf(4711).isEmpty());
    }
};

QTEST_MAIN(InvoiceOutputTest)
#include "tst_invoice_output.moc"
