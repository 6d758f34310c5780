#include "ReportPrinting.h"

#include "PreviewWindow.h"
#include "core/Errors.h"
#include "report/PageStore.h"
#include "report/Render.h"
#include "report/Report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>

namespace report {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Report", text);
}

QPageLayout pageLayout(const QSizeF &paper)
{
    const bool landscape = paper.width() > paper.height();
    const QSizeF portrait = landscape ? paper.transposed() : paper;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

// Paints each page on the printer as it is laid out. The printer starts with the first page, whose size
// sets the paper.
class PrinterSink : public PageSink {
public:
    explicit PrinterSink(QPrinter &printer)
        : m_printer(printer),
          m_name(printer.printerName().isEmpty() ? QDir::toNativeSeparators(printer.outputFileName())
                                                 : printer.printerName())
    {
    }
    ~PrinterSink() override
    {
        if (m_painter.isActive()) { // an error or a cancel: the job is dropped
            m_printer.abort();
            m_painter.end();
        }
    }
    void addPage(Page &&page) override
    {
        if (!m_painter.isActive())
            begin(page.paper);
        else if (!m_printer.newPage())
            throw Error(tr("The printer \"%1\" stopped printing the document").arg(m_name));
        paintPage(m_painter, page, true);
    }
    void finish()
    {
        if (!m_painter.isActive()) // nothing laid out: one blank sheet, as before
            begin(QSizeF(210, 297));
        if (!m_painter.end() || m_printer.printerState() == QPrinter::Error ||
            m_printer.printerState() == QPrinter::Aborted)
            throw Error(tr("The printer \"%1\" could not finish the document").arg(m_name));
    }

private:
    void begin(const QSizeF &paper)
    {
        m_printer.setFullPage(true);
        m_printer.setPageLayout(pageLayout(paper));
        if (!m_painter.begin(&m_printer))
            throw Error(tr("The printer \"%1\" cannot print the document").arg(m_name));
    }

    QPrinter &m_printer;
    QString m_name;
    QPainter m_painter;
};

int &progressDelay()
{
    static int delay = 500;
    return delay;
}

} // namespace

void print(Report &report, QPrinter &printer, const Progress &progress)
{
    PrinterSink sink(printer);
    report.generate(sink, progress);
    sink.finish();
    if (report.afterPrint)
        report.afterPrint();
}

bool preview(Report &report, QPrinter &printer, QWidget *parent)
{
    auto pages = std::make_unique<PageStore>();
    try {
        ProgressBar bar(parent, tr("Preparing the report..."));
        report.generate(*pages, bar.progress());
    } catch (const Cancelled &) {
        return false;
    }
    PreviewWindow window(report, printer, std::move(pages), parent);
    window.exec();
    return true;
}

struct ProgressBar::Private {
    QPointer<QWidget> parent;
    QString label;
    QElapsedTimer clock;
    std::unique_ptr<QProgressDialog> dialog;
};

ProgressBar::ProgressBar(QWidget *parent, const QString &label) : d(std::make_unique<Private>())
{
    d->parent = parent;
    d->label = label;
    d->clock.start();
    m_progress = [this](qint64 done, qint64 total) {
        if (!d->dialog) {
            if (d->clock.elapsed() < progressDelay())
                return true;
            d->dialog = std::make_unique<QProgressDialog>(d->label, tr("Cancel"), 0, 0, d->parent);
            d->dialog->setObjectName(QStringLiteral("dlgReportProgress"));
            d->dialog->setWindowTitle(QCoreApplication::applicationName());
            d->dialog->setWindowModality(Qt::ApplicationModal);
            d->dialog->setMinimumDuration(0);
            d->dialog->setAutoClose(false);
            d->dialog->setAutoReset(false);
            d->dialog->show();
        }
        // Counts beyond an int's range are shown in thousandths of the whole.
        const bool known = total > 0;
        d->dialog->setMaximum(known ? 1000 : 0);
        d->dialog->setValue(known ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
        QCoreApplication::processEvents();
        return !d->dialog->wasCanceled();
    };
}

ProgressBar::~ProgressBar() = default;

int ProgressBar::setDelay(int milliseconds)
{
    return std::exchange(progressDelay(), milliseconds);
}

} // namespace report
