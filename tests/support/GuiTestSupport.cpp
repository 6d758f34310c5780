#include "GuiTestSupport.h"

#include "widgets/FileDialog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QWidget>

bool triggerAction(QWidget *window, const QString &name)
{
    auto *action = window ? window->findChild<QAction *>(name) : nullptr;
    if (!action) {
        QTest::qFail(qPrintable(QStringLiteral("No action %1").arg(name)), __FILE__, __LINE__);
        return false;
    }
    if (!action->isEnabled()) {
        QTest::qFail(qPrintable(QStringLiteral("The action %1 is disabled").arg(name)), __FILE__, __LINE__);
        return false;
    }
    action->trigger();
    return true;
}

void onNextModal(std::function<void(QDialog &dialog)> body)
{
    auto *poll = new QTimer(qApp);
    // A dialog already open when this is asked (the caller's own) is not the next one.
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, before, body = std::move(body)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog == before)
            return;
        poll->stop();
        poll->deleteLater();
        QPointer<QDialog> guard(dialog);
        body(*dialog);
        if (guard && guard->isVisible())
            guard->reject();
    });
    poll->start(5);
}

void doubleClickCell(QAbstractItemView *view, int row, int column)
{
    const QPoint at = view->visualRect(view->model()->index(row, column)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

bool noWindowLeft()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible(); });
}

QString visibleWindows()
{
    QStringList names;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w->isVisible())
            names << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
    return names.join(QLatin1String(", "));
}

NextFileNames::NextFileNames(const QStringList &names)
{
    clearNextFileNames();
    for (const QString &name : names)
        setNextFileName(name);
}

NextFileNames::~NextFileNames()
{
    clearNextFileNames();
}

void NextFileNames::push(const QString &name, const QString &selectedFilter)
{
    setNextFileName(name, selectedFilter);
}

PrinterToPdf::PrinterToPdf() : m_path(m_dir.filePath(QStringLiteral("printed.pdf")))
{
    resetPrinterSelection();
    currentPrinter().setOutputFormat(QPrinter::PdfFormat);
    currentPrinter().setOutputFileName(m_path);
    setPrintSetupDialog([this](QPrinter &printer, QWidget *) {
        ++setups;
        setUpPrinter = &printer;
        return accept;
    });
}

PrinterToPdf::~PrinterToPdf()
{
    setPrintSetupDialog({});
    resetPrinterSelection();
}

PreviewDriver::PreviewDriver(report::PreviewWindow::OpenHook hook)
    : m_previous(report::PreviewWindow::setOpenHook([hook = std::move(hook)](report::PreviewWindow &window) {
          hook(window);
          // A hook that failed half-way leaves the window open: closed here, the test goes on to report it.
          if (window.isVisible())
              window.reject();
      }))
{
}

PreviewDriver::~PreviewDriver()
{
    report::PreviewWindow::setOpenHook(std::move(m_previous));
}
