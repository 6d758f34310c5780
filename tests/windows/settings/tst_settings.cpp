#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/Connection.h"
#include "data/dInvoice.h"
#include "widgets/Application.h"
#include "windows/settings/UserSettings.h"
#include "windows/settings/fSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

const QStringList businessKeys{"NAMECOMPADDR", "COMPDETAIL", "BANKACCNO",  "PREPRINTED",
                               "INFOHINTS",    "ROUNDFRAC",  "DEFAULTTAX", "CREDITDAYS"};

struct Options {
    TfrmSettings dialog;
    QPlainTextEdit *company = dialog.findChild<QPlainTextEdit *>("memoComapyNameAddress");
    QPlainTextEdit *details = dialog.findChild<QPlainTextEdit *>("memoCompanyDetails");
    QLineEdit *bank = dialog.findChild<QLineEdit *>("edtBacnkAccountNumber");
    QSpinBox *creditDays = dialog.findChild<QSpinBox *>("edtCreditDays");
    QLineEdit *vat = dialog.findChild<QLineEdit *>("edtDefaultVAT");
    QCheckBox *round = dialog.findChild<QCheckBox *>("chkRoundOffFraction");
    QCheckBox *prePrinted = dialog.findChild<QCheckBox *>("chkPrePrinted");
    QComboBox *language = dialog.findChild<QComboBox *>("cboLanguage");
    QCheckBox *hints = dialog.findChild<QCheckBox *>("chkHints");
    QTabWidget *pages = dialog.findChild<QTabWidget *>("PageControl1");

    Options() { dialog.show(); }
    void ok() { dialog.findChild<QPushButton *>("OKBtn")->click(); }
};

// A database of its own with the data module on it; business settings stored as given.
struct Business {
    TempDatabase file;
    TdmInvoice dm{file.folder()};
    explicit Business(const QList<QPair<QString, QString>> &stored = {})
    {
        for (const auto &[key, value] : stored)
            dm.conInvoice.execute(QStringLiteral("insert into APPDATA (ANAME, AVALUE) values (:K, :V)"),
                                  {{QStringLiteral("K"), key}, {QStringLiteral("V"), value}});
        dm.DBSettings.LoadBusinessSettings();
    }
    QString stored(const QString &key)
    {
        return dm.conInvoice.scalar(QStringLiteral("select AVALUE from APPDATA where ANAME = '%1'").arg(key))
            .toString();
    }
    int rows() { return dm.conInvoice.scalar(QStringLiteral("select count(*) from APPDATA")).toInt(); }
};

QList<QPair<QString, QString>> allEight()
{
    return {{"NAMECOMPADDR", "Fjordlys AS\nStrandveien 14"},
            {"COMPDETAIL", "Org.nr.|987 654 321 MVA"},
            {"BANKACCNO", "1234.56.78903"},
            {"PREPRINTED", "1"},
            {"INFOHINTS", "1"},
            {"ROUNDFRAC", "1"},
            {"DEFAULTTAX", "25"},
            {"CREDITDAYS", "10"}};
}

} // namespace

// The options dialog: filled from the two stores, written only by an OK that succeeds.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTemporarySettings();
        QLocale::setDefault(QLocale(QStringLiteral("nb_NO")));
    }
    void init()
    {
        userSettings()->clear();
        RegSettings().LoadUserSettings();
    }
    void cleanup()
    {
        UnloadLanguageModule();
        setProgramFile(QString());
        setToolTipsEnabled(true);
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
    }

    void emptyStoresShowTheDefaults()
    {
        Business b;
        Options o;
        QCOMPARE(o.dialog.windowTitle(), QString("Options"));
        QCOMPARE(o.dialog.property("HelpContext").toInt(), 2000);
        QCOMPARE(o.pages->currentIndex(), 0);
        QCOMPARE(o.company->toPlainText(), QString());
        QCOMPARE(o.bank->text(), QString());
        QCOMPARE(o.creditDays->value(), 14);
        QCOMPARE(o.vat->text(), QString("24"));
        QVERIFY(!o.round->isChecked());
        QVERIFY(!o.prePrinted->isChecked());
        QVERIFY(o.hints->isChecked()); // tool tips are on until switched off
        o.dialog.reject();
    }

    void okWithNothingChanged_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("all eight stored: nothing written") << true;
        QTest::newRow("none stored: all eight written") << false;
    }
    void okWithNothingChanged()
    {
        QFETCH(bool, stored);
        Business b(stored ? allEight() : QList<QPair<QString, QString>>{});
        const int before = b.dm.conInvoice.totalChanges();
        {
            Options o;
            if (stored) {
                QCOMPARE(o.company->toPlainText(), QString("Fjordlys AS\nStrandveien 14"));
                QCOMPARE(o.creditDays->value(), 10);
                QVERIFY(o.prePrinted->isChecked() && o.round->isChecked());
            }
            o.ok();
            QCOMPARE(o.dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(b.dm.conInvoice.totalChanges() - before, stored ? 0 : 8);
        QCOMPARE(b.rows(), 8);
        if (!stored) {
            QCOMPARE(b.stored("DEFAULTTAX"), QString("24"));
            QCOMPARE(b.stored("CREDITDAYS"), QString("14"));
            QCOMPARE(b.stored("PREPRINTED"), QString("0"));
        }
        QCOMPARE(userSettings()->value("Setting/SHOWHINTS").toString(), QString("1"));
    }

    void clearingTheBankAccountStoresItEmpty()
    {
        Business b(allEight());
        {
            Options o;
            o.bank->clear();
            o.ok();
        }
        QCOMPARE(b.stored("BANKACCNO"), QString());
        QCOMPARE(b.dm.DBSettings.GetSetting("BANKACCNO"), QString());
    }

    void languageSwitch_data()
    {
        QTest::addColumn<bool>("module");
        QTest::newRow("with a Norwegian module") << true;
        QTest::newRow("without one") << false;
    }
    void languageSwitch()
    {
        QFETCH(bool, module);
        Business b;
        QTemporaryDir program;
        setProgramFile(QDir(program.path()).filePath("tessund"));
        if (module)
            QVERIFY(QFile::copy(QStringLiteral(TESSUND_BIN_DIR "/tessund.NOR"), program.filePath("tessund.NOR")));
        Options o;
        QCOMPARE(o.language->currentText(), QString()); // the built-in texts: neither language chosen
        o.language->setCurrentIndex(1);
        o.ok();
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("1044"));
        // Every open window speaks the new language at once, the dialog itself too.
        QCOMPARE(o.dialog.windowTitle(), module ? QString("Innstillinger") : QString("Options"));
    }

    void anUnknownLanguageIsKept()
    {
        Business b;
        userSettings()->setValue("Setting/LANGUAGE", "2057");
        RegSettings().LoadUserSettings();
        {
            Options o;
            QCOMPARE(o.language->currentIndex(), -1);
            QCOMPARE(o.language->currentText(), QString());
            o.ok();
        }
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("2057"));
        QCOMPARE(RegSettings().Language(), 2057);
    }

    // Under a comma locale 12,5 is the rate twelve and a half; 12.5 is no number and nothing is taken.
    void vatText()
    {
        Business b(allEight());
        MessageAnswers answers;
        {
            Options o;
            o.company->setPlainText("Nytt navn");
            o.hints->setChecked(false);
            o.vat->setText("12.5");
            o.ok();
            QCOMPARE(answers.texts(), QStringList{"'12.5' is not a valid floating point value."});
            QVERIFY(o.dialog.isVisible());
            QCOMPARE(o.pages->currentWidget()->objectName(), QString("tabInvoice"));
            QCOMPARE(o.dialog.focusWidget(), o.vat);
            for (const QString &key : businessKeys)
                QVERIFY2(!b.dm.DBSettings.isChanged(key), qPrintable(key));
            QCOMPARE(b.dm.DBSettings.GetSetting("NAMECOMPADDR"), QString("Fjordlys AS\nStrandveien 14"));
            QVERIFY(RegSettings().ShowHints());
            QVERIFY(!userSettings()->contains("Setting/SHOWHINTS"));

            // A number outside 0 to 100 % is refused the same way (a gross price at -100 % divides by zero).
            for (const QString outside : {"125", "-100", "100,5"}) {
                answers.clear();
                o.vat->setText(outside);
                o.ok();
                QCOMPARE(answers.texts(),
                         QStringList{QString("The default VAT must be from 0 to 100 %; %1 is not.").arg(outside)});
                QVERIFY(o.dialog.isVisible());
            }

            o.vat->setText("12,5");
            o.ok();
            QCOMPARE(o.dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(b.stored("DEFAULTTAX"), QString("12,5"));
        QCOMPARE(b.dm.DBSettings.DefaultTax(), 12.5);
        QCOMPARE(b.stored("NAMECOMPADDR"), QString("Nytt navn"));
    }

    void hintsOffEverywhereAtOnce()
    {
        Business b(allEight());
        {
            Options o;
            o.hints->setChecked(false);
            o.ok();
        }
        QVERIFY(!toolTipsEnabled());
        QCOMPARE(userSettings()->value("Setting/SHOWHINTS").toString(), QString("0"));
        QCOMPARE(b.stored("INFOHINTS"), QString("0"));
    }

    void boundsOfTheFields()
    {
        Business b;
        Options o;
        o.company->setPlainText(QString(300, QLatin1Char('x')));
        QCOMPARE(o.company->toPlainText().size(), 255);
        o.details->setPlainText(QString(254, QLatin1Char('d')));
        o.details->setFocus();
        o.details->moveCursor(QTextCursor::End);
        QTest::keyClicks(o.details, "abc");
        QCOMPARE(o.details->toPlainText(), QString(QString(254, QLatin1Char('d')) + "a"));
        QCOMPARE(o.bank->maxLength(), 255);
        o.creditDays->setFocus();
        o.creditDays->selectAll();
        QTest::keyClicks(o.creditDays, "5000");
        o.creditDays->interpretText();
        QVERIFY(o.creditDays->value() <= 1000);
        o.dialog.reject();
    }

    // A database that refuses the write: told with its reason, both stores as they were.
    void aWriteErrorLeavesBothStores()
    {
        Business b(allEight());
        b.dm.conInvoice.execute(QStringLiteral("create trigger refuse before update on APPDATA begin "
                                               "select raise(abort, 'the disk says no'); end"));
        MessageAnswers answers;
        {
            Options o;
            o.company->setPlainText("Nytt navn");
            o.hints->setChecked(false);
            o.ok();
            QVERIFY(o.dialog.isVisible());
            o.dialog.reject();
        }
        QCOMPARE(answers.shown().size(), 1);
        QVERIFY2(answers.texts().first().contains("the disk says no"), qPrintable(answers.texts().first()));
        QCOMPARE(b.stored("NAMECOMPADDR"), QString("Fjordlys AS\nStrandveien 14"));
        QCOMPARE(b.dm.DBSettings.GetSetting("NAMECOMPADDR"), QString("Fjordlys AS\nStrandveien 14"));
        QVERIFY(!b.dm.DBSettings.isChanged("NAMECOMPADDR"));
        QVERIFY(RegSettings().ShowHints());
        QVERIFY(!userSettings()->contains("Setting/SHOWHINTS"));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
