#pragma once

#include "report/Report.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QToolBar;

namespace report {

class PageStore;

// Shows the pages of one generation of a report, rebuilding only the page on screen from its stored
// record: page navigation, zoom, print on the given printer (the report is generated again for it),
// printer setup, and save as PDF (generated again) or RTF (from the pages shown, where the report offers it).
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    PreviewWindow(Report &report, QPrinter &printer, std::unique_ptr<PageStore> pages, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    int pageCount() const;
    int currentPage() const { return m_page; } // 0-based
    void setPage(int page);
    int zoom() const { return m_zoom; } // percent
    void setZoom(int percent);
    const QImage &pageImage() const { return m_image; }
    // The file filters the save function offers.
    QStringList saveFilters() const;

    void printReport();
    void printerSetup();
    void save();

    QAction *actFirstPage, *actPriorPage, *actNextPage, *actLastPage;
    QAction *actZoomIn, *actZoomOut, *actPrint, *actPrinterSetup, *actSave, *actClose;

    // For tests and tools without a person: called once the window is shown, inside its event loop (the
    // hook closes the window). Returns the one installed before; empty restores the default. The save and
    // printer setup dialogs are those of FileDialog.h and Printers.h, with their stand-ins.
    using OpenHook = std::function<void(PreviewWindow &)>;
    static OpenHook setOpenHook(OpenHook hook);

private:
    QToolBar *makeToolBar();
    void render();
    void updateActions();

    Report &m_report;
    QPrinter &m_printer;
    std::unique_ptr<PageStore> m_pages;
    int m_page = 0;
    int m_zoom = 100;
    QImage m_image;
    QScrollArea *m_scroll;
    QLabel *m_view;
    QLabel *m_status;
    QComboBox *m_zoomBox;
};

} // namespace report
