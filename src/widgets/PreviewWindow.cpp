#include "PreviewWindow.h"

#include "FileDialog.h"
#include "Printers.h"
#include "ReportPrinting.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "report/PageStore.h"
#include "report/Render.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace report {

namespace {

PreviewWindow::OpenHook &openHook()
{
    static PreviewWindow::OpenHook hook;
    return hook;
}

const int zoomSteps[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};

QString pdfFilter()
{
    return PreviewWindow::tr("PDF File (*.pdf)");
}

QString rtfFilter()
{
    return PreviewWindow::tr("RTF File (*.rtf)");
}

} // namespace

PreviewWindow::OpenHook PreviewWindow::setOpenHook(OpenHook hook)
{
    return std::exchange(openHook(), std::move(hook));
}

PreviewWindow::PreviewWindow(Report &report, QPrinter &printer, std::unique_ptr<PageStore> pages, QWidget *parent)
    : QDialog(parent), m_report(report), m_printer(printer), m_pages(std::move(pages))
{
    setWindowTitle(report.title.isEmpty() ? tr("Print Preview") : tr("Print Preview - %1").arg(report.title));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeToolBar());

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new QLabel(m_scroll);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll, 1);
    m_status = new QLabel(this);
    m_status->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_status);

    resize(900, m_report.previewHeight > 0 ? m_report.previewHeight : 750);
    setPage(0);

    QTimer::singleShot(0, this, [this] {
        if (openHook())
            openHook()(*this);
    });
}

PreviewWindow::~PreviewWindow() = default;

// The navigation, zoom, print, save and close actions.
QToolBar *PreviewWindow::makeToolBar()
{
    auto *bar = new QToolBar(this);

    actFirstPage = bar->addAction(tr("First"), this, [this] { setPage(0); });
    actPriorPage = bar->addAction(tr("Prior"), this, [this] { setPage(m_page - 1); });
    actNextPage = bar->addAction(tr("Next"), this, [this] { setPage(m_page + 1); });
    actLastPage = bar->addAction(tr("Last"), this, [this] { setPage(pageCount() - 1); });
    actFirstPage->setShortcut(QKeySequence(Qt::Key_Home));
    actPriorPage->setShortcut(QKeySequence(Qt::Key_PageUp));
    actNextPage->setShortcut(QKeySequence(Qt::Key_PageDown));
    actLastPage->setShortcut(QKeySequence(Qt::Key_End));
    bar->addSeparator();
    actZoomOut = bar->addAction(tr("Zoom out"), this, [this] {
        int next = zoomSteps[0];
        for (int step : zoomSteps)
            if (step < m_zoom)
                next = step;
        setZoom(next);
    });
    m_zoomBox = new QComboBox(bar);
    for (int step : zoomSteps)
        m_zoomBox->addItem(tr("%1 %").arg(step), step);
    bar->addWidget(m_zoomBox);
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) { setZoom(m_zoomBox->itemData(index).toInt()); });
    actZoomIn = bar->addAction(tr("Zoom in"), this, [this] {
        int next = m_zoom;
        for (int step : zoomSteps)
            if (step > m_zoom) {
                next = step;
                break;
            }
        setZoom(next);
    });
    actZoomIn->setShortcut(QKeySequence::ZoomIn);
    actZoomOut->setShortcut(QKeySequence::ZoomOut);
    bar->addSeparator();
    actPrint = bar->addAction(tr("Print"), this, &PreviewWindow::printReport);
    actPrint->setShortcut(QKeySequence::Print);
    actPrinterSetup = bar->addAction(tr("Printer setup"), this, &PreviewWindow::printerSetup);
    actSave = bar->addAction(tr("Save"), this, &PreviewWindow::save);
    actSave->setShortcut(QKeySequence::Save);
    bar->addSeparator();
    actClose = bar->addAction(tr("Close"), this, &QDialog::reject);
    // Named like their members, so that they can be found and triggered by name.
    const std::pair<QAction *, const char *> names[] = {
        {actFirstPage, "actFirstPage"}, {actPriorPage, "actPriorPage"},
        {actNextPage, "actNextPage"},   {actLastPage, "actLastPage"},
        {actZoomIn, "actZoomIn"},       {actZoomOut, "actZoomOut"},
        {actPrint, "actPrint"},         {actPrinterSetup, "actPrinterSetup"},
        {actSave, "actSave"},           {actClose, "actClose"}};
    for (const auto &[action, name] : names)
        action->setObjectName(QLatin1String(name));
    return bar;
}

int PreviewWindow::pageCount() const
{
    return m_pages->count();
}

void PreviewWindow::setPage(int page)
{
    m_page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    render();
}

void PreviewWindow::setZoom(int percent)
{
    m_zoom = std::clamp(percent, 10, 800);
    render();
}

void PreviewWindow::render()
{
    if (pageCount() == 0)
        m_image = QImage();
    else
        m_image = report::pageImage(m_pages->page(m_page), 96.0 * m_zoom / 100.0);
    m_view->setPixmap(QPixmap::fromImage(m_image));
    m_view->resize(m_image.size());
    const int index = m_zoomBox->findData(m_zoom);
    if (index >= 0)
        m_zoomBox->setCurrentIndex(index);
    else
        m_zoomBox->setEditText(tr("%1 %").arg(m_zoom));
    m_status->setText(tr("Page %1 of %2").arg(pageCount() == 0 ? 0 : m_page + 1).arg(pageCount()));
    updateActions();
}

void PreviewWindow::updateActions()
{
    actFirstPage->setEnabled(m_page > 0);
    actPriorPage->setEnabled(m_page > 0);
    actNextPage->setEnabled(m_page + 1 < pageCount());
    actLastPage->setEnabled(m_page + 1 < pageCount());
    actZoomOut->setEnabled(m_zoom > zoomSteps[0]);
    actZoomIn->setEnabled(m_zoom < zoomSteps[std::size(zoomSteps) - 1]);
}

QStringList PreviewWindow::saveFilters() const
{
    QStringList filters{pdfFilter()};
    if (m_report.rtfExport)
        filters << rtfFilter();
    return filters;
}

void PreviewWindow::printReport()
{
    try {
        ProgressBar bar(this, tr("Printing..."));
        report::print(m_report, m_printer, bar.progress());
    } catch (const Cancelled &) {
    } catch (const Error &e) {
        messageDialog(MsgType::Error, e.message());
    } catch (const std::exception &e) {
        ShowException(e);
    }
}

// On the preview's own printer, selecting nothing; saving into a file is the Save button's.
void PreviewWindow::printerSetup()
{
    printSetupDialog(m_printer, this, false);
}

void PreviewWindow::save()
{
    const QStringList filters = saveFilters();
    SaveFileRequest request;
    request.caption = tr("Save");
    request.filter = filters.join(QLatin1String(";;"));
    QString selected = filters.front();
    QString path = getSaveFileName(this, request, &selected);
    if (path.isEmpty())
        return;
    // The name's suffix decides; a name without one takes the chosen filter's.
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool rtf = false;
    if (suffix == QLatin1String("rtf") && m_report.rtfExport) {
        rtf = true;
    } else if (suffix != QLatin1String("pdf")) {
        rtf = m_report.rtfExport && selected == rtfFilter();
        path += rtf ? QLatin1String(".rtf") : QLatin1String(".pdf");
    }
    try {
        ProgressBar bar(this, tr("Saving..."));
        if (rtf) {
            RtfFile file(path);
            for (int page = 0; page < pageCount(); ++page) {
                file.write(m_pages->page(page));
                if (!bar.progress()(page + 1, pageCount()))
                    throw Cancelled();
            }
            file.commit();
        } else {
            m_report.exportPdf(path, bar.progress());
        }
    } catch (const Cancelled &) {
    } catch (const Error &e) {
        messageDialog(MsgType::Error, e.message());
    } catch (const std::exception &e) {
        ShowException(e);
    }
}

} // namespace report
