#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "core/DataSetModel.h"
#include "core/Errors.h"
#include "data/dInvoice.h"
#include "windows/settings/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>

#include <memory>

namespace {

QByteArray placementBytes(int x, int y, int w, int h)
{
    QByteArray bytes(16, '\0');
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    qToLittleEndian<qint32>(x, p);
    qToLittleEndian<qint32>(y, p + 4);
    qToLittleEndian<qint32>(w, p + 8);
    qToLittleEndian<qint32>(h, p + 12);
    return bytes;
}

// Every text of the program as the translator is asked for it: (context, source, disambiguation).
struct ProgramText {
    QByteArray context, source, comment;
};
QList<ProgramText> programTexts()
{
    QList<ProgramText> texts;
    QFile file(QStringLiteral(TESSUND_TRANSLATION_SOURCE));
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    QXmlStreamReader xml(&file);
    QByteArray context;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText().toUtf8();
        else if (xml.name() == QLatin1String("source"))
            texts.append({context, xml.readElementText().toUtf8(), {}});
        else if (xml.name() == QLatin1String("comment") && !texts.isEmpty())
            texts.last().comment = xml.readElementText().toUtf8();
    }
    return texts;
}

// Where each block of a compiled translation starts (its tag byte), by its tag.
QMap<int, qsizetype> blocksOf(const QByteArray &module)
{
    QMap<int, qsizetype> blocks;
    for (qsizetype at = 16; at + 5 <= module.size();) {
        blocks.insert(uchar(module[at]), at);
        at += 5 + qFromBigEndian<quint32>(module.constData() + at + 1);
    }
    return blocks;
}

// The warnings given while it lives.
class Warnings {
public:
    Warnings()
    {
        current() = this;
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg)
                current()->texts << text;
        });
    }
    ~Warnings()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    QStringList texts;

private:
    static Warnings *&current()
    {
        static Warnings *w = nullptr;
        return w;
    }
    QtMessageHandler m_previous;
};

// A window class of its own, with one grid on the customers.
class TfrmGridWindow : public QMainWindow {
    Q_OBJECT
public:
    TfrmGridWindow()
    {
        setGeometry(100, 100, 400, 300);
        grid = new QTableView(this);
        grid->setObjectName(QStringLiteral("gridCustomers"));
        model = new db::DataSetModel(&dmInvoice->tblCustomer, this);
        grid->setModel(model);
        setCentralWidget(grid);
    }
    int section(const QString &field) const { return model->columnOf(field); }
    QTableView *grid;
    db::DataSetModel *model;
};

} // namespace

class TestUserSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTemporarySettings(); }
    void init()
    {
        userSettings()->clear();
        database = std::make_unique<TempDatabase>();
        module = std::make_unique<TdmInvoice>(database->folder());
        QVERIFY(module->isConnected());
        RegSettings().LoadUserSettings();
    }
    void cleanup()
    {
        QTRY_VERIFY2(noWindowLeft(), qPrintable(visibleWindows()));
        module.reset();
        database.reset();
    }

    void emptyStoresGiveDefaults()
    {
        RegSettings().LoadUserSettings();
        QCOMPARE(RegSettings().Language(), 0);
        QVERIFY(RegSettings().ShowHints());
        QCOMPARE(RegSettings().ReadSetting("CustomersVisible"), QString());
        QCOMPARE(RegSettings().ReadSetting("PrinterName"), QString());
        // Reading creates nothing.
        QVERIFY(userSettings()->allKeys().isEmpty());
    }

    void storedUserValues_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("showHints");
        QTest::addColumn<int>("expectedLanguage");
        QTest::addColumn<bool>("expectedHints");
        QTest::newRow("norwegian, hints off") << "1044"
                                              << "0" << 1044 << false;
        QTest::newRow("word false still means on") << "1033"
                                                   << "false" << 1033 << true;
        QTest::newRow("garbage language") << "abc"
                                          << "1" << 0 << true;
        QTest::newRow("empty values") << ""
                                      << "" << 0 << true;
    }
    void storedUserValues()
    {
        QFETCH(QString, language);
        QFETCH(QString, showHints);
        userSettings()->setValue("Setting/LANGUAGE", language);
        userSettings()->setValue("Setting/SHOWHINTS", showHints);
        RegSettings().setShowHints(!RegSettings().ShowHints()); // discarded by loading
        RegSettings().LoadUserSettings();
        QTEST(RegSettings().Language(), "expectedLanguage");
        QTEST(RegSettings().ShowHints(), "expectedHints");
    }

    void placementRoundTripAndStates()
    {
        module->tblCustomer.open();
        {
            TfrmGridWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.setGeometry(30, 40, 500, 350);
            window.grid->setColumnWidth(window.section("SURNAME"), 222);
            RegSettings().SaveWindowState(&window);
            QCOMPARE(userSettings()->value("WindowState/TfrmGridWindow").toByteArray(),
                     placementBytes(30, 40, 500, 350));
            QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);

            // Neither placement nor widths are saved while maximised or minimised.
            window.grid->setColumnWidth(window.section("SURNAME"), 50);
            window.showMaximized();
            RegSettings().SaveWindowState(&window);
            window.showMinimized();
            RegSettings().SaveWindowState(&window);
            QCOMPARE(userSettings()->value("WindowState/TfrmGridWindow").toByteArray(),
                     placementBytes(30, 40, 500, 350));
            QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);
        }
        TfrmGridWindow window;
        const int designedAddress = window.grid->columnWidth(window.section("ADDRESS"));
        RegSettings().RestoreWindowState(&window);
        QCOMPARE(window.geometry(), QRect(30, 40, 500, 350));
        QCOMPARE(window.grid->columnWidth(window.section("SURNAME")), 222);
        QCOMPARE(window.grid->columnWidth(window.section("ADDRESS")), designedAddress); // no value saved

        // A column hidden at closing keeps the width saved for it before.
        window.grid->setColumnHidden(window.section("SURNAME"), true);
        RegSettings().SaveWindowState(&window);
        QCOMPARE(userSettings()->value("WindowState/gridCustomers_SURNAME").toInt(), 222);
        QVERIFY(userSettings()->contains("WindowState/gridCustomers_ADDRESS"));
    }

    void badPlacementKeepsDesign_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("wrong size") << QVariant(QByteArray(12, '\1'));
        QTest::newRow("text") << QVariant(QString("garbage"));
        QTest::newRow("off every screen") << QVariant(placementBytes(-20000, -20000, 400, 300));
        QTest::newRow("no size") << QVariant(placementBytes(10, 10, 0, -5));
    }
    void badPlacementKeepsDesign()
    {
        QFETCH(QVariant, stored);
        userSettings()->setValue("WindowState/TfrmGridWindow", stored);
        TfrmGridWindow window;
        RegSettings().RestoreWindowState(&window);
        QCOMPARE(window.geometry(), QRect(100, 100, 400, 300));
    }

    void languageModules()
    {
        const QString folder = database->folder();
        setProgramFile(folder + "/tessund");
        QCOMPARE(abbreviatedLanguageName(1044), QString("NOR"));
        QCOMPARE(abbreviatedLanguageName(1033), QString("ENU"));

        // Missing, unknown and unreadable modules load nothing and leave the texts in use.
        QVERIFY(!LoadLanguageModule(1044));
        QVERIFY(!LoadLanguageModule(99999));
        QFile junk(folder + "/tessund.NOR");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a translation");
        junk.close();
        QVERIFY(!LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Error"));

        // The two-letter name is the fallback.
        QVERIFY(junk.remove());
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", folder + "/tessund.NO"));
        QVERIFY(LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));

        // English without an English module: the Norwegian texts stay for now.
        RegSettings().setLanguage(1033);
        RegSettings().SaveUserSettings();
        QCOMPARE(userSettings()->value("Setting/LANGUAGE").toString(), QString("1033"));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));
        setProgramFile(QString());
    }

    // A damaged module (bits flipped on the disk) is never handed to the translator: the program goes on
    // with its built-in texts, and says why on standard error. Flips given as block+offset:bit, where block
    // is "file" or a block's tag, and ".header" counts from the block's tag byte instead of its data.
    void damagedLanguageModules_data()
    {
        QTest::addColumn<QStringList>("flips");
        QTest::addColumn<QString>("reason");
        QTest::newRow("signature") << QStringList{"file+3:1"} << "it is not a compiled translation";
        QTest::newRow("a block's length")
            << QStringList{"hashes.header+1:6"} << "a block runs past the end of the file";
        QTest::newRow("a block's tag") << QStringList{"language.header+0:0"} << "it holds a block of an unknown kind";
        QTest::newRow("a block naming other modules")
            << QStringList{"language.header+0:0", "language.header+0:4", "language.header+0:5"}
            << "it depends on other modules";
        QTest::newRow("a message's place in the hash table")
            << QStringList{"hashes+4:7"} << "a message lies outside the file";
        QTest::newRow("the last message's place") << QStringList{"hashes.end-4:6"} << "a message lies outside the file";
        QTest::newRow("a translation's length")
            << QStringList{"messages+1:7"} << "a text of a message runs past the end of the file";
        QTest::newRow("a field of a message") << QStringList{"messages+0:6"} << "a message holds an unknown field";
        QTest::newRow("the plural rules") << QStringList{"numerus+0:7"} << "the translator does not take it";
    }
    void damagedLanguageModules()
    {
        QFETCH(QStringList, flips);
        QFETCH(QString, reason);
        QFile original(TESSUND_BIN_DIR "/tessund.NOR");
        QVERIFY(original.open(QIODevice::ReadOnly));
        QByteArray module = original.readAll();
        const QMap<int, qsizetype> blocks = blocksOf(module);
        const QMap<QString, int> tags{{"language", 0xa7}, {"hashes", 0x42}, {"messages", 0x69}, {"numerus", 0x88}};
        for (const QString &flip : flips) {
            static const QRegularExpression form(QStringLiteral("^(\\w+)(\\.header|\\.end)?([+-]\\d+):(\\d)$"));
            const QRegularExpressionMatch m = form.match(flip);
            QVERIFY2(m.hasMatch(), qPrintable(flip));
            qsizetype at = 0;
            if (m.captured(1) != QLatin1String("file")) {
                QVERIFY(blocks.contains(tags.value(m.captured(1))));
                const qsizetype tag = blocks.value(tags.value(m.captured(1)));
                const qsizetype end = tag + 5 + qFromBigEndian<quint32>(module.constData() + tag + 1);
                at = m.captured(2) == QLatin1String(".header") ? tag
                     : m.captured(2) == QLatin1String(".end")  ? end
                                                               : tag + 5;
            }
            at += m.captured(3).toInt();
            module[at] = char(module[at] ^ (1 << m.captured(4).toInt()));
        }
        const QString folder = database->folder();
        QFile damaged(folder + "/tessund.NOR");
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(module);
        damaged.close();
        setProgramFile(folder + "/tessund");
        UnloadLanguageModule();
        {
            Warnings warnings;
            QVERIFY(!LoadLanguageModule(1044));
            QCOMPARE(warnings.texts.size(), 1);
            QVERIFY2(warnings.texts.first().contains(QDir::toNativeSeparators(damaged.fileName())) &&
                         warnings.texts.first().endsWith(reason + QLatin1Char('.')),
                     qPrintable(warnings.texts.first()));
        }
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Error"));
        QVERIFY(damaged.remove());
        setProgramFile(QString());
    }

    // Whatever bit is flipped, the module is either refused with a warning or used without harm: every text
    // of the program can be asked for. Every 7th byte of the module, each time another bit.
    void anyFlippedBitIsSafe()
    {
        QFile original(TESSUND_BIN_DIR "/tessund.NOR");
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray module = original.readAll();
        const QList<ProgramText> texts = programTexts();
        QVERIFY(texts.size() > 400);
        const QString folder = database->folder();
        setProgramFile(folder + "/tessund");
        int refused = 0, used = 0;
        for (qsizetype at = 0; at < module.size(); at += 7) {
            QByteArray damaged = module;
            damaged[at] = char(damaged[at] ^ (1 << (at % 8)));
            QFile file(folder + "/tessund.NOR");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
            file.close();
            UnloadLanguageModule();
            Warnings warnings;
            if (LoadLanguageModule(1044)) {
                ++used;
                QVERIFY2(warnings.texts.isEmpty(), qPrintable(warnings.texts.join('\n')));
                for (const ProgramText &t : texts)
                    QCoreApplication::translate(t.context.constData(), t.source.constData(),
                                                t.comment.isEmpty() ? nullptr : t.comment.constData());
            } else {
                ++refused;
                QCOMPARE(warnings.texts.size(), 1);
            }
        }
        UnloadLanguageModule();
        QFile::remove(folder + "/tessund.NOR");
        setProgramFile(QString());
        // Flips in the texts themselves leave a usable module; flips in its structure do not.
        QVERIFY(used > 0 && refused > 0);
    }

    // An installed program finds its files in share/tessund beside its bin folder; one beside the executable
    // (the build, a portable copy) comes first.
    void filesOfAnInstalledProgram()
    {
        UnloadLanguageModule();
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/tessund"));
        setProgramFile(prefix.filePath("bin/tessund"));
        QCOMPARE(programResourceFile("tessund.chm"), prefix.filePath("bin/tessund.chm")); // in neither place
        QVERIFY(QFile::copy(TESSUND_BIN_DIR "/tessund.NOR", prefix.filePath("share/tessund/tessund.NOR")));
        QCOMPARE(programResourceFile("tessund.NOR"), prefix.filePath("share/tessund/tessund.NOR"));
        QVERIFY(LoadLanguageModule(1044));
        QCOMPARE(QCoreApplication::translate("MessageDialog", "Error"), QString("Feil"));
        UnloadLanguageModule();

        QFile beside(prefix.filePath("bin/tessund.NOR"));
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.write("not a translation");
        beside.close();
        QCOMPARE(programResourceFile("tessund.NOR"), prefix.filePath("bin/tessund.NOR"));
        QVERIFY(!LoadLanguageModule(1044));
        setProgramFile(QString());
    }

private:
    std::unique_ptr<TempDatabase> database;
    std::unique_ptr<TdmInvoice> module;
};

QTEST_MAIN(TestUserSettings)
#include "tst_user_settings.moc"
