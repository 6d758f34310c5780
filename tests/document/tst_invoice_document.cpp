#include "InvoiceFixture.h"
#include "PdfProbe.h"
#include "TestSupport.h"
#include "core/Format.h"
#include "data/dInvoice.h"
#include "document/InvoiceComposition.h"
#include "document/qGiroF60.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTest>

// The invoice document composed from the database, written as PDF by the program and by tessund-cli.
class InvoiceDocumentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { useTemporarySettings(); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("nb_NO"))); }
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
                 (QStringList{"Kundenr", "Fakturanr", "Ordrenr.", "Fakturadato", "Forfallsdato", "Deres ref."}));
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
                 (QStringList{"Kundenr", "Fakturanr", "Fakturadato", "Forfallsdato"}));
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
        QList<SeedLine> lines;
        for (int i = 0; i < items; ++i)
            lines << SeedLine{1.0, 10.0, 25.0, 0.0};
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

    // The tool leaves alone what it may not replace: the reason on standard error, status 1, the file as it
    // was. In a run over every invoice the others are written all the same.
    void commandLineRefusesTargets_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only file") << "read-only" << false << "the file is read-only (Permission denied)";
        QTest::newRow("symbolic link") << "link" << false << "it is a symbolic link, not a file";
        QTest::newRow("--all, one read-only file") << "read-only" << true << "1 of 30 invoices could not be written";
        QTest::newRow("--all, one symbolic link") << "link" << true << "it is a symbolic link, not a file";
    }
    void commandLineRefusesTargets()
    {
        QFETCH(QString, setup);
        QFETCH(bool, all);
        QFETCH(QString, message);
        TempDatabase database(true);
        QTemporaryDir out;
        const QString name = QStringLiteral("Faktura1-%1.PDF").arg(QDate::currentDate().year());
        const QString target = out.filePath(name);
        const QString archived = out.filePath(QStringLiteral("archived.pdf"));
        {
            QFile file(archived);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("%PDF-1.4 archived");
        }
        if (setup == QLatin1String("read-only")) {
            QVERIFY(QFile::rename(archived, target));
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else {
            QVERIFY(QFile::link(archived, target));
        }
        const auto checksum = [](const QString &path) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = checksum(target);
        const QFile::Permissions permissions = QFile::permissions(target);

        QProcess cli;
        cli.start(QStringLiteral(TESSUND_CLI),
                  all ? QStringList{QStringLiteral("pdf"), database.path(), QStringLiteral("--all"), out.path()}
                      : QStringList{QStringLiteral("pdf"), database.path(), QStringLiteral("1"), target});
        QVERIFY(cli.waitForFinished(120000));
        const QString errors = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY2(errors.contains(target), qPrintable(errors));
        QCOMPARE(checksum(target), before);
        QCOMPARE(QFile::permissions(target), permissions);
        QCOMPARE(QFileInfo(target).isSymLink(), setup == QLatin1String("link"));
        const QStringList written =
            QDir(out.path()).entryList({QStringLiteral("Faktura*.PDF")}, QDir::Files | QDir::System);
        QCOMPARE(written.size(), all ? 30 : 1);
        for (const QString &file : written)
            if (file != name)
                QCOMPARE(PdfProbe(out.filePath(file)).pageCount(), 1);
    }
};

QTEST_MAIN(InvoiceDocumentTest)
#include "tst_invoice_document.moc"
