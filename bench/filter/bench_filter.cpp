// Types a filter letter by letter into the item catalogue (10,000 items) and the postal code lookup (the
// 5,132 places of the register) and reports the time per keystroke, from the key to the grid painted with
// the narrowed rows: median and slowest over several rounds.
//
//   bench_filter [rounds = 20]

#include "core/Connection.h"
#include "data/DatabaseCreation.h"
#include "data/dInvoice.h"
#include "widgets/DataControls.h"
#include "windows/customers/fPostalAddress.h"
#include "windows/invoicing/fLookupItems.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void addItems(const QString &database, int count)
{
    db::Connection c(QStringLiteral("bench"));
    c.description = db::ConnectionDescription::sqliteFile(database);
    c.open();
    c.beginTransaction();
    const char *words[] = {"papir", "penn", "perm", "kaffe", "kopp", "kabel", "lampe", "lim", "tape", "tusj"};
    db::Statement insert(c, QStringLiteral("insert into DYNAITEM (ITEM_NO, ITEM_DESC, NETPRICE, VAT) values "
                                           "(:N, :D, :P, 25)"));
    for (int i = 0; i < count; ++i) {
        insert.reset();
        insert.bind(QStringLiteral("N"), QStringLiteral("V%1").arg(i));
        insert.bind(QStringLiteral("D"), QStringLiteral("%1 %2").arg(QLatin1String(words[i % 10])).arg(i));
        insert.bind(QStringLiteral("P"), qint64(10000) * (1 + i % 500));
        insert.step();
    }
    c.commit();
}

// Milliseconds for each keystroke of text, the grid repainted after each.
std::vector<double> typeInto(QLineEdit *filter, DBGrid *grid, const QString &text)
{
    std::vector<double> times;
    filter->clear();
    QApplication::processEvents();
    for (const QChar letter : text) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClicks(filter, QString(letter));
        grid->viewport()->repaint();
        QApplication::processEvents();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s %5zu keystrokes  median %6.2f ms  90%% %6.2f ms  slowest %6.2f ms\n", what, times.size(),
                times[times.size() / 2], times[times.size() * 9 / 10], times.back());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("INVOICE.mdb"));
    createDatabase(database, false);
    addItems(database, 10000);
    TdmInvoice dm(folder.path());

    std::vector<double> items, places;
    {
        dm.tblLookupItem.open();
        TfrmLookupItems window;
        window.show();
        for (int round = 0; round < rounds; ++round) {
            const auto t = typeInto(window.findChild<QLineEdit *>(QStringLiteral("edtDescFilter")),
                                    window.findChild<DBGrid *>(QStringLiteral("DBGrid1")), QStringLiteral("papir 12"));
            items.insert(items.end(), t.begin(), t.end());
        }
    }
    {
        TfrmPostalAddress window;
        window.show();
        for (int round = 0; round < rounds; ++round) {
            const auto t = typeInto(window.findChild<QLineEdit *>(QStringLiteral("edtPostalAddress")),
                                    window.findChild<DBGrid *>(QStringLiteral("DBGrid1")), QStringLiteral("steinkjer"));
            places.insert(places.end(), t.begin(), t.end());
        }
    }
    report("catalogue (10,000 items)", items);
    report("postal lookup (5,132 places)", places);
    return 0;
}
