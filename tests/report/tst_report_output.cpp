#include "PdfProbe.h"
#include "ReportFixtures.h"
#include "core/Errors.h"
#include "report/PageStore.h"
#include "report/Render.h"
#include "report/TextMetrics.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace report;

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Files may grow to `bytes` while it lives: a disk that fills up in the middle of a document.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous{};
};

// What stands in a folder, entry by entry: a file's mode and checksum, a link's target, another entry's kind.
// Nothing is opened but regular files.
QMap<QString, QString> entries(const QString &folder)
{
    QMap<QString, QString> result;
    for (const QString &name :
         QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString path = QDir(folder).filePath(name);
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        QString what = QString::number(info.st_mode, 8);
        if (S_ISREG(info.st_mode)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                what +=
                    QLatin1Char(' ') +
                    QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
        } else if (S_ISLNK(info.st_mode)) {
            what += QStringLiteral(" -> ") + QFile::symLinkTarget(path);
        }
        result.insert(name, what);
    }
    return result;
}

mode_t modeOf(const QString &path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

void writeFile(const QString &path, const QByteArray &bytes, mode_t mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
}

} // namespace

// Output page by page: what the preview keeps of a page, and what a failed or cancelled file leaves.
class ReportOutputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void thePreviewStoreGivesThePagesBack()
    {
        RowReport rr(8, 40);
        const std::vector<Page> pages = rr.r.generate();
        PageStore store;
        QCOMPARE(rr.r.generate(store), int(pages.size()));
        QCOMPARE(store.count(), int(pages.size()));
        QVERIFY(store.size() < qint64(pages.size()) * 4096);
        for (int p = 0; p < store.count(); ++p) {
            const Page back = store.page(p);
            QCOMPARE(back.paper, pages[size_t(p)].paper);
            QCOMPARE(back.bands.size(), pages[size_t(p)].bands.size());
            for (size_t b = 0; b < back.bands.size(); ++b) {
                const PlacedBand &got = back.bands[b], &want = pages[size_t(p)].bands[b];
                QCOMPARE(got.name, want.name);
                QCOMPARE(got.items.size(), want.items.size());
                for (size_t i = 0; i < got.items.size(); ++i) {
                    const DrawItem &g = got.items[i], &w = want.items[i];
                    QCOMPARE(g.kind, w.kind);
                    QVERIFY(std::abs(g.rect.left() - w.rect.left()) < 1e-4 &&
                            std::abs(g.rect.top() - w.rect.top()) < 1e-4);
                    QCOMPARE(g.lines, w.lines);
                    QCOMPARE(g.font, w.font);
                    QCOMPARE(g.brushColor, w.brushColor);
                }
            }
        }
    }

    void aStreamedDocumentHasEveryPage()
    {
        QTemporaryDir dir;
        RowReport rr(8, 500);
        const QString path = dir.filePath("long.pdf");
        int reported = 0;
        rr.r.exportPdf(path, [&](qint64, qint64) {
            ++reported;
            return true;
        });
        const PdfProbe pdf(path);
        QCOMPARE(pdf.pageCount(), reported);
        QCOMPARE(pdf.pageCount(), int(rr.r.generate().size()));
        QVERIFY(pdf.find(pdf.pageCount() - 1, "row500"));
    }

    void cancelledOrFailedOutputLeavesNoFile_data()
    {
        QTest::addColumn<bool>("rtf");
        QTest::newRow("PDF") << false;
        QTest::newRow("RTF") << true;
    }
    void cancelledOrFailedOutputLeavesNoFile()
    {
        QFETCH(bool, rtf);
        QTemporaryDir dir;
        const QString path = dir.filePath(rtf ? "list.rtf" : "list.pdf");
        const auto write = [&](RowReport &rr, const Progress &progress = {}) {
            if (rtf)
                rr.r.exportRtf(path, progress);
            else
                rr.r.exportPdf(path, progress);
        };

        RowReport cancelled(8, 500);
        int pages = 0;
        QVERIFY_THROWS_EXCEPTION(Cancelled, write(cancelled, [&](qint64, qint64) { return ++pages < 3; }));
        QCOMPARE(pages, 3);
        QCOMPARE(filesIn(dir.path()), QStringList());

        // The disk fills up half-way: the reason is told and nothing is left, not even part of the file.
        {
            RowReport large(8, 5000);
            const FileSizeLimit full(16 * 1024);
            try {
                write(large);
                QFAIL("no error");
            } catch (const Error &e) {
                QVERIFY2(e.message().contains(QDir::toNativeSeparators(path)), qPrintable(e.message()));
                QVERIFY2(e.message().contains("too large", Qt::CaseInsensitive), qPrintable(e.message()));
            }
        }
        QCOMPARE(filesIn(dir.path()), QStringList());

        // A folder that is not there.
        RowReport small(8, 3);
        const QString nowhere = dir.filePath(rtf ? "missing/list.rtf" : "missing/list.pdf");
        if (rtf)
            QVERIFY_THROWS_EXCEPTION(Error, small.r.exportRtf(nowhere));
        else
            QVERIFY_THROWS_EXCEPTION(Error, small.r.exportPdf(nowhere));
        QCOMPARE(filesIn(dir.path()), QStringList());
    }

    // Only a regular file the user may change is replaced, and it keeps its permissions; a new file is its
    // owner's alone. Whatever else stands under the name is refused with the reason and left as it was.
    void outputTargets_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("rtf");
        QTest::addColumn<QString>("refusal"); // empty: the file is written
        QTest::addColumn<int>("mode");        // the written file's mode
        QTest::newRow("new file") << "none" << false << "" << 0600;
        QTest::newRow("new RTF file") << "none" << true << "" << 0600;
        QTest::newRow("file replaced") << "file 0644" << false << "" << 0644;
        QTest::newRow("RTF file replaced") << "file 0640" << true << "" << 0640;
        QTest::newRow("read-only file") << "file 0444" << false << "the file is read-only (Permission denied)" << 0;
        QTest::newRow("read-only RTF file") << "file 0400" << true << "the file is read-only (Permission denied)" << 0;
        QTest::newRow("symbolic link to a file") << "link" << false << "it is a symbolic link, not a file" << 0;
        QTest::newRow("symbolic link to nowhere")
            << "dangling link" << false << "it is a symbolic link, not a file" << 0;
        QTest::newRow("named pipe") << "pipe" << false << "it is not a regular file" << 0;
        QTest::newRow("device node") << "device" << false << "it is not a regular file" << 0;
        QTest::newRow("folder") << "folder" << true << "it is a folder" << 0;
        QTest::newRow("read-only folder")
            << "read-only folder" << false << "the folder is read-only (Permission denied)" << 0;
    }
    void outputTargets()
    {
        QFETCH(QString, setup);
        QFETCH(bool, rtf);
        QFETCH(QString, refusal);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(rtf ? "list.rtf" : "list.pdf");
        const QByteArray name = QFile::encodeName(path);
        if (setup.startsWith(QLatin1String("file "))) {
            writeFile(path, "archived", mode_t(setup.mid(5).toInt(nullptr, 8)));
        } else if (setup == QLatin1String("link")) {
            writeFile(dir.filePath("elsewhere.pdf"), "archived", 0644);
            QVERIFY(QFile::link(dir.filePath("elsewhere.pdf"), path));
        } else if (setup == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(dir.filePath("elsewhere.pdf"), path));
        } else if (setup == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (setup == QLatin1String("device")) {
            // A node of its own standing for the null device: no real device is at stake if this goes wrong.
            if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("device nodes cannot be made here");
        } else if (setup == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QFileInfo(path).fileName()));
        } else if (setup == QLatin1String("read-only folder")) {
            // The mode bits count for the superuser too, so this holds whoever runs the test.
            QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
        }
        const QMap<QString, QString> before = entries(dir.path());

        RowReport rr(8, 3);
        QString error;
        try {
            if (rtf)
                rr.r.exportRtf(path);
            else
                rr.r.exportPdf(path);
        } catch (const Error &e) {
            error = e.message();
        }
        const QMap<QString, QString> after = entries(dir.path());
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        if (refusal.isEmpty()) {
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(int(modeOf(path)), mode);
            QFile written(path);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY(written.read(5) == (rtf ? "{\\rtf" : "%PDF-"));
            QCOMPARE(QStringList(after.keys()), QStringList{QFileInfo(path).fileName()});
        } else {
            QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.endsWith(refusal), qPrintable(error));
            QCOMPARE(after, before);
        }
    }

    // A text column cut at its edge, a value shrunk to fit its column.
    void cutAndShrunkTexts()
    {
        Report r;
        r.paperSize = QSizeF(100, 50);
        r.margins = QMarginsF(0, 0, 0, 0);
        Band &band = r.addBand("band", BandType::Summary, 10);
        Label &cut = band.addLabel("cut", 0, 0, 20, 4.5, "Bjørnstjerne Martinius Bjørnson");
        cut.cutOff = true;
        Label &shrunk = band.addLabel("shrunk", 30, 0, 20, 4.5, "1 234 567 890,00");
        shrunk.shrinkToFit = true;
        shrunk.alignment = Alignment::Right;
        Label &fits = band.addLabel("fits", 55, 0, 40, 4.5, "12,00");
        fits.shrinkToFit = true;
        const Page page = r.generate().front();
        const auto text = [&](int index) { return page.bands.front().items[size_t(index)]; };
        // Each label: background, then text.
        QVERIFY(text(1).lines.front().startsWith("Bjørnst"));
        QVERIFY(text(1).lines.front().size() < 14);
        QCOMPARE(text(3).lines.front(), QString("1 234 567 890,00"));
        QVERIFY(text(3).font.pointSizeF() < 10 && text(3).font.pointSizeF() >= 6);
        QVERIFY(text(3).lineLefts.front() >= 30 - 0.01);
        QCOMPARE(text(5).font.pointSizeF(), 10.0);

        // Amounts and dates are measured by adding up their characters: that is their shaped width.
        const TextMetrics &metrics = TextMetrics::forReportFont(reportFont("Arial", 10));
        for (const QString &amount :
             {QString("1 234 567,89"), QString::fromUtf8("\u2212 12.345,00"), QString("31.12.2026")}) {
            QCOMPARE(metrics.cut(amount, metrics.width(amount) + 1e-6), amount);
            QVERIFY(metrics.cut(amount, metrics.width(amount) - 0.02).size() < amount.size());
        }
    }

    // A word wider than its line is broken between characters, each line as long as fits. The cost is
    // counted in characters handed to the font: it must grow with the text, not with its square (a
    // 100,000-character word once cost a PDF 86 s by measuring the rest of the word for every line).
    void longWordsBreakAtLinearCost_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        const QString word(100000, QLatin1Char('x'));
        // clang-format off
        QTest::newRow("one long word")           << word << 50.0;
        QTest::newRow("a narrow column")         << word << 4.0;
        QTest::newRow("between short words")     << "kort " + word + " ord etter" << 80.0;
        QTest::newRow("mixed widths")            << QString("WiWiWmil.").repeated(10000) << 33.3;
        QTest::newRow("pairs of surrogates")     << QString::fromUtf8("a\U0001D538").repeated(5000) << 20.0;
        // clang-format on
    }
    void longWordsBreakAtLinearCost()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        const TextMetrics &metrics = TextMetrics::forReportFont(reportFont("Arial", 10));
        const quint64 before = TextMetrics::charactersMeasured();
        QStringList lines;
        std::vector<double> widths;
        metrics.wrap(text, width, lines, widths);
        const quint64 cost = TextMetrics::charactersMeasured() - before;
        QVERIFY2(cost <= 10 * quint64(text.size()), qPrintable(QString("%1 characters measured").arg(cost)));

        QCOMPARE(size_t(lines.size()), widths.size());
        QVERIFY(lines.size() > 2);
        qsizetype at = 0; // where the line starts in the text
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines[i];
            QVERIFY(!line.isEmpty());
            QCOMPARE(text.mid(at, line.size()), line);
            QVERIFY2(std::abs(widths[size_t(i)] - metrics.width(line)) < 1e-9, qPrintable(line));
            QVERIFY2(widths[size_t(i)] <= width, qPrintable(line));
            QVERIFY(!line.back().isHighSurrogate());
            at += line.size();
            if (at < text.size() && text[at] == QLatin1Char(' ')) {
                ++at; // broken at a blank
            } else if (at < text.size()) {
                // Broken inside a word: the next character would not have fitted.
                const qsizetype next = text[at].isHighSurrogate() ? 2 : 1;
                QVERIFY2(metrics.width(line + text.mid(at, next)) > width, qPrintable(line));
            }
        }
        QCOMPARE(at, text.size());
    }
};

QTEST_MAIN(ReportOutputTest)
#include "tst_report_output.moc"
