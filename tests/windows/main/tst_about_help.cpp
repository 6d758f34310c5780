#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "windows/main/Help.h"
#include "windows/main/HelpFile.h"
#include "windows/main/HelpViewer.h"
#include "windows/main/fAbout.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

namespace {

const QString helpFile = QStringLiteral(TESSUND_BIN_DIR "/tessund.chm");

// The page of each window's help context, and a word its page holds.
const struct {
    int context;
    const char *page;
    const char *word;
} windows[] = {{1000, "/main_window.htm", "Reports"},
               {1100, "/invoice_list.htm", "Payments"},
               {1200, "/invoice_edit.htm", "Round total"},
               {1300, "/payment_registration.htm", "Paid"},
               {1400, "/customer_selection.htm", "customer"},
               {1450, "/invoice_note.htm", "Remember"},
               {1500, "/customer_list.htm", "New Customer"},
               {1600, "/customer_edit.htm", "postal"},
               {1700, "/item_catalogue.htm", "VAT"},
               {1800, "/postal_code_lookup.htm", "postal"},
               {2000, "/options.htm", "Company"},
               {3000, "/reports.htm", "Transactions"}};

QTextBrowser *browser()
{
    return THelpWindow::current() ? THelpWindow::current()->findChild<QTextBrowser *>("HelpBrowser") : nullptr;
}

} // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void cleanup()
    {
        if (THelpWindow::current())
            THelpWindow::current()->close();
        setHelpViewer({});
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void aboutBoxShowsTitleAndVersion()
    {
        setApplicationTitle("Kvarnel");
        TfrmAboutBox about;
        about.show();
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.findChild<QLabel *>("ProductName")->text(), QString("Kvarnel"));
        QCOMPARE(TfrmAboutBox::fileVersion(), QString(TESSUND_VERSION ".0").section('.', 0, 3));
        QCOMPARE(about.findChild<QPlainTextEdit *>("memoVersion")->toPlainText(),
                 QString("Version: " + TfrmAboutBox::fileVersion() + "\nPre-release"));
        QVERIFY(!about.findChild<QLabel *>("ProgramIcon")->pixmap().isNull());
        about.accept();
    }

    void theHelpFileMapsEveryWindow()
    {
        const HelpFile file(helpFile);
        QVERIFY(file.isOpen());
        QCOMPARE(file.contexts().size(), int(std::size(windows)));
        for (const auto &w : windows) {
            QCOMPARE(file.pageOfContext(w.context), QString(w.page));
            const QString html = QString::fromUtf8(file.read(w.page));
            QVERIFY2(html.contains(QLatin1String(w.word)), w.page);
        }
        QVERIFY(file.pageOfContext(4711).isEmpty());
        QCOMPARE(file.defaultTopic(), QString("/getting_started.htm"));
        QVERIFY(file.contents().size() > 20);
        QVERIFY(file.index().size() > 50);
    }

    // Each context opens its page in the program's viewer, pictures and links working.
    void eachContextOpensItsPage()
    {
        installHelpFile(helpFile);
        for (const auto &w : windows) {
            ShowHelpContext(w.context);
            QVERIFY(THelpWindow::current());
            QCOMPARE(THelpWindow::current()->page(), QString(w.page));
            QVERIFY(browser()->toPlainText().contains(QLatin1String(w.word)));
        }
        QVERIFY(THelpWindow::current()->isVisible());

        // A picture of the page is read from the help file.
        ShowHelpContext(1200);
        const QString html = browser()->toHtml();
        QVERIFY(html.contains("images/"));
        const QUrl image = browser()->source().resolved(QUrl("images/invoice-edit.png"));
        QVERIFY(!browser()->loadResource(QTextDocument::ImageResource, image).toByteArray().isEmpty());

        // A link goes to its page; Back comes back.
        Q_EMIT browser()->anchorClicked(QUrl("reports.htm"));
        QCOMPARE(THelpWindow::current()->page(), QString("/reports.htm"));
        browser()->backward();
        QCOMPARE(THelpWindow::current()->page(), QString("/invoice_edit.htm"));

        // A topic by name, a keyword of the index, the table of contents.
        ShowHelpTopic("credit_note");
        QCOMPARE(THelpWindow::current()->page(), QString("/credit_note.htm"));
        ShowHelpKeyword("Reports");
        QVERIFY(THelpWindow::current()->findChild<QListWidget *>("lstIndex")->count() > 0);
        QVERIFY(!THelpWindow::current()->page().isEmpty());
        ShowHelpContents();
        QCOMPARE(THelpWindow::current()->page(), QString("/getting_started.htm"));
        QVERIFY(THelpWindow::current()->findChild<QTreeWidget *>("treeContents")->topLevelItemCount() > 0);
    }

    void aMissingOrOtherHelpFileDoesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "/nowhere/tessund.chm";
        QTest::newRow("not a .chm name") << helpFile + ".hlp";
    }
    void aMissingOrOtherHelpFileDoesNothing()
    {
        QFETCH(QString, name);
        MessageAnswers answers;
        installHelpFile(name);
        ShowHelpContext(1000);
        ShowHelpContents();
        QVERIFY(!THelpWindow::current());
        QVERIFY(answers.shown().isEmpty());
    }
};

QTEST_MAIN(TestAboutHelp)
#include "tst_about_help.moc"
