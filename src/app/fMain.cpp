#include "fMain.h"

#include "platform/widgets/IdleUpdate.h"
#include "platform/widgets/InvoiceListRefresh.h"
#include "platform/widgets/MainWindow.h"
#include "platform/widgets/MessageDialog.h"
#include "platform/widgets/Printers.h"
#include "settings/uConfig.h"
#include "uMisc.h"
#include "uMsgStrs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>
#include <unistd.h>

TfrmMain *frmMain = nullptr;
QPointer<QWidget> frmCustomers;
QPointer<QWidget> frmInvoices;

namespace {

ListWindowFactory &customerListFactory()
{
    static ListWindowFactory factory;
    return factory;
}

ListWindowFactory &invoiceListFactory()
{
    static ListWindowFactory factory;
    return factory;
}

const char MenuGroupProperty[] = "menuGroup";

// A hint is "short|long": the short part is the tool tip, the long part the status bar text.
void setHint(QAction *action, const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// The desktop's icon when its theme has one, else the bundled picture.
QIcon picture(const char *themeName)
{
    const QString name = QString::fromLatin1(themeName);
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}

void triggerChildAction(QWidget *window, const char *name)
{
    if (!window)
        return;
    if (auto *action = window->findChild<QAction *>(QString::fromLatin1(name)))
        action->trigger();
}

// The frame of a child window: restores the window's placement when the window is placed in it and
// saves it when the frame goes, whether the user closed it or the main window is destroyed.
class TChildFrame : public QMdiSubWindow {
public:
    explicit TChildFrame(QWidget *window)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setWidget(window);
        setWindowTitle(window->windowTitle());
        setWindowIcon(window->windowIcon());
        connect(window, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    }
    ~TChildFrame() override
    {
        if (widget())
            RegSettings().SaveWindowState(widget());
    }
};

// Looks at every key press before it is dispatched: Ctrl+Tab (with Shift: backwards) turns the page of
// the nearest tabbed page control around the focus, also where a grid or a multi-line edit would take
// the Tab key itself.
class TApplicationKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) || !(key->modifiers() & Qt::ControlModifier))
            return QObject::eventFilter(watched, event);
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
            auto *pages = qobject_cast<QTabWidget *>(w);
            if (!pages)
                continue;
            selectNextPage(pages, forward);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void selectNextPage(QTabWidget *pages, bool forward)
    {
        const int count = pages->count();
        int index = pages->currentIndex();
        for (int step = 0; step < count; ++step) {
            index = (index + (forward ? 1 : count - 1)) % count;
            if (pages->isTabEnabled(index)) {
                pages->setCurrentIndex(index);
                return;
            }
        }
    }
};

} // namespace

void setCustomerListFactory(ListWindowFactory factory)
{
    customerListFactory() = std::move(factory);
}

void setInvoiceListFactory(ListWindowFactory factory)
{
    invoiceListFactory() = std::move(factory);
}

void setMenuGroup(QMenu *menu, int group)
{
    menu->setProperty(MenuGroupProperty, group);
}

int menuGroup(const QMenu *menu)
{
    return menu->property(MenuGroupProperty).toInt();
}

QString instanceServerName()
{
    QString name = QStringLiteral("Kvarnel-TfrmMain-%1").arg(getuid());
    // Test programs run side by side, each with its own settings: each is its own "user".
    if (QStandardPaths::isTestModeEnabled())
        name += QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
    return name;
}

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setProperty("HelpContext", 1000);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(m_mdiArea);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    createActions();
    createMenus();
    retranslateUi();
    // Designed placement, used until a placement has been saved.
    setGeometry(268, 157, 725, 584);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TfrmMain::mergeMenus);
    addIdleHandler(this, [this] { updateActions(); });
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    FormDestroy();
}

void TfrmMain::createActions()
{
    auto make = [this](QAction *&action, const char *name, const char *icon = nullptr) {
        action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        if (icon)
            action->setIcon(picture(icon));
        addAction(action);
    };
    make(actNewCustomer, "actNewCustomer", "contact-new");
    make(actNewInvoice, "actNewInvoice", "document-new");
    make(FilePrintSetup1, "FilePrintSetup1", "document-print");
    make(actOptions, "actOptions", "preferences-system");
    make(actProducts, "actProducts", "view-list");
    make(FileExit1, "FileExit1", "application-exit");
    make(actCustomers, "actCustomers", "system-users");
    make(actInvoices, "actInvoices", "x-office-document");
    make(actReports, "actReports", "document-print-preview");
    make(WindowArrange1, "WindowArrange1");
    make(WindowCascade1, "WindowCascade1");
    make(WindowTileHorizontal1, "WindowTileHorizontal1");
    make(WindowTileVertical1, "WindowTileVertical1");
    make(HelpContents1, "HelpContents1", "help-contents");
    make(About1, "About1", "help-about");
    make(NewCustomer1, "NewCustomer1", "contact-new");
    make(NewInvoice1, "NewInvoice1", "document-new");
    actReports->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

    connect(actNewCustomer, &QAction::triggered, this, [this] { RunCommand([this] { actNewCustomerExecute(); }); });
    connect(actNewInvoice, &QAction::triggered, this, [this] { RunCommand([this] { actNewInvoiceExecute(); }); });
    connect(NewCustomer1, &QAction::triggered, actNewCustomer, &QAction::trigger);
    connect(NewInvoice1, &QAction::triggered, actNewInvoice, &QAction::trigger);
    connect(FilePrintSetup1, &QAction::triggered, this, [this] { RunCommand([this] { FilePrintSetup1Execute(); }); });
    connect(FileExit1, &QAction::triggered, this, [this] { FileExit1Execute(); });
    connect(actCustomers, &QAction::triggered, this, [this] { RunCommand([this] { ShowCustomerList(); }); });
    connect(actInvoices, &QAction::triggered, this, [this] { RunCommand([this] { ShowInvoiceList(); }); });
    connect(WindowArrange1, &QAction::triggered, this, [this] { WindowArrange1Execute(); });
    connect(WindowCascade1, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { WindowTileHorizontal1Execute(); });
    connect(WindowTileVertical1, &QAction::triggered, this, [this] { WindowTileVertical1Execute(); });

    // Their windows are not part of the program yet: the options dialog, the item catalogue, the report
    // selection, the help viewer and the about box.
    for (QAction *action : {actOptions, actProducts, actReports, HelpContents1, About1})
        action->setEnabled(false);
}

void TfrmMain::createMenus()
{
    auto menu = [this](QMenu *&m, const char *name, int group) {
        m = new QMenu(this);
        m->setObjectName(QString::fromLatin1(name));
        setMenuGroup(m, group);
    };
    menu(File1, "File1", 0);
    New1 = new QMenu(File1);
    New1->setObjectName(QStringLiteral("New1"));
    New1->addAction(NewCustomer1);
    New1->addAction(NewInvoice1);
    File1->addMenu(New1);
    File1->addSeparator();
    File1->addAction(FilePrintSetup1);
    File1->addAction(actOptions);
    File1->addAction(actProducts);
    File1->addSeparator();
    File1->addAction(FileExit1);

    menu(Customer1, "Customer1", 30);
    Customer1->addAction(actCustomers);
    menu(Invoice1, "Invoice1", 40);
    Invoice1->addAction(actInvoices);
    menu(Reports1, "Reports1", 60);
    Reports1->addAction(actReports);
    menu(Window1, "Window1", 60);
    Window1->addAction(WindowArrange1);
    Window1->addAction(WindowCascade1);
    Window1->addAction(WindowTileHorizontal1);
    Window1->addAction(WindowTileVertical1);
    menu(Help1, "Help1", 60);
    Help1->addAction(HelpContents1);
    Help1->addAction(About1);
    mergeMenus();

    ToolBar1 = addToolBar(QString());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->addAction(FileExit1);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actCustomers);
    ToolBar1->addAction(actInvoices);
    ToolBar1->addAction(actReports);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actOptions);
    ToolBar1->addSeparator();
    ToolBar1->addAction(HelpContents1);
}

void TfrmMain::retranslateUi()
{
    actNewCustomer->setText(tr("NewCustomer"));
    actNewInvoice->setText(tr("NewInvoice"));
    NewCustomer1->setText(tr("New Customer"));
    NewInvoice1->setText(tr("New Invoice"));
    FilePrintSetup1->setText(tr("Print Setup ..."));
    setHint(FilePrintSetup1, tr("Printer Setup|Change default printer for this application"));
    actOptions->setText(tr("Options ..."));
    setHint(actOptions, tr("Options|Open Options window wher program settings may be changed"));
    actProducts->setText(tr("Products ..."));
    FileExit1->setText(tr("E&xit"));
    setHint(FileExit1, tr("Exit|Quits the application"));
    actCustomers->setText(tr("Browse ..."));
    setHint(actCustomers, tr("Customers|Show or activate customer list window"));
    actInvoices->setText(tr("Browse ..."));
    setHint(actInvoices, tr("Invoices|Show or activate invoice list window"));
    actReports->setText(tr("Reports ..."));
    setHint(actReports, tr("Reports|Show report selection dialog"));
    WindowArrange1->setText(tr("&Arrange"));
    WindowCascade1->setText(tr("&Cascade"));
    setHint(WindowCascade1, tr("Cascade"));
    WindowTileHorizontal1->setText(tr("Tile &Horizontally"));
    setHint(WindowTileHorizontal1, tr("Tile Horizontal"));
    WindowTileVertical1->setText(tr("&Tile Vertically"));
    setHint(WindowTileVertical1, tr("Tile Vertical"));
    HelpContents1->setText(tr("&Contents"));
    setHint(HelpContents1, tr("Help Contents|Open helpfile in a new window"));
    About1->setText(tr("&About..."));

    File1->setTitle(tr("&File"));
    New1->setTitle(tr("New"));
    Customer1->setTitle(tr("&Customer"));
    Invoice1->setTitle(tr("&Invoice"));
    Reports1->setTitle(tr("&Reports"));
    Window1->setTitle(tr("&Window"));
    Help1->setTitle(tr("&Help"));
}

void TfrmMain::FormCreate()
{
    RegSettings().LoadUserSettings();
    if (RegSettings().Language() != 0 && LoadLanguageModule(RegSettings().Language()))
        ReloadAllForms();
    setToolTipsEnabled(RegSettings().ShowHints());
    warned = false;
    qApp->installEventFilter(new TApplicationKeys(this));
    RegSettings().RestoreWindowState(this);
    setWindowTitle(applicationTitle());
    setInvoiceListRefreshReceiver(this);
    setApplicationMainWindow(this);
    startInstanceServer();
}

void TfrmMain::startInstanceServer()
{
    m_instanceServer = new QLocalServer(this);
    // An abstract name goes with the process: a first run that crashed leaves nothing behind to block
    // the next start.
    m_instanceServer->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(m_instanceServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_instanceServer->nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
        }
    });
    m_instanceServer->listen(instanceServerName());
}

void TfrmMain::FormShow()
{
    RunCommand([this] {
        DBSettings().CheckDatabaseVersion();
        DBSettings().LoadBusinessSettings();
        try {
            if (printerIndex() == -1)
                MsgWarning(uMsgStrs::sPrintWillNotWork());
        } catch (const Error &e) {
            MsgWarning(e.message() + QLatin1Char('\n') + uMsgStrs::sPrintWillNotWork());
        }
        if (RegSettings().ReadSetting(QStringLiteral("CustomersVisible")) == QLatin1String("1"))
            ShowCustomerList();
        if (RegSettings().ReadSetting(QStringLiteral("InvoicesVisible")) == QLatin1String("1"))
            ShowInvoiceList();
        if (!printerNames().isEmpty()) {
            const QString name = RegSettings().ReadSetting(QStringLiteral("PrinterName"));
            if (!name.isEmpty())
                selectPrinterByName(name);
        }
    });
}

bool TfrmMain::FormCloseQuery()
{
    // Each child window is asked first; one refusal keeps the program running.
    const QList<QMdiSubWindow *> children = m_mdiArea->subWindowList();
    for (QMdiSubWindow *child : children) {
        QCloseEvent ask;
        QCoreApplication::sendEvent(child->widget() ? child->widget() : child, &ask);
        if (!ask.isAccepted())
            return false;
    }
    try {
        RegSettings().WriteSetting(QStringLiteral("CustomersVisible"),
                                   frmCustomers ? QStringLiteral("1") : QStringLiteral("0"));
        RegSettings().WriteSetting(QStringLiteral("InvoicesVisible"),
                                   frmInvoices ? QStringLiteral("1") : QStringLiteral("0"));
        const int index = printerIndex();
        if (index >= 0) {
            const QString name = printerNames().value(index);
            if (name != RegSettings().ReadSetting(QStringLiteral("PrinterName")))
                RegSettings().WriteSetting(QStringLiteral("PrinterName"), name);
        }
    } catch (const Error &e) {
        MsgError(e.message());
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
    return true;
}

void TfrmMain::FormDestroy()
{
    RegSettings().SaveWindowState(this);
    setInvoiceListRefreshReceiver(nullptr);
    setApplicationMainWindow(nullptr);
}

bool TfrmMain::event(QEvent *event)
{
    if (event->type() == QEvent::Type(InvoiceListRefreshMessage)) {
        RunCommand([] { triggerChildAction(frmInvoices, "actRefresh"); });
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TfrmMain::updateActions()
{
    const bool children = !m_mdiArea->subWindowList().isEmpty();
    for (QAction *action : {WindowArrange1, WindowCascade1, WindowTileHorizontal1, WindowTileVertical1})
        action->setEnabled(children);
    const bool customers = bool(customerListFactory()) || frmCustomers;
    for (QAction *action : {actCustomers, actNewCustomer, actNewInvoice, NewCustomer1, NewInvoice1})
        action->setEnabled(customers);
    actInvoices->setEnabled(bool(invoiceListFactory()) || frmInvoices);
}

void TfrmMain::mergeMenus()
{
    struct Item {
        QMenu *menu;
        int group;
    };
    std::vector<Item> child;
    if (QMdiSubWindow *active = m_mdiArea->activeSubWindow(); active && active->widget()) {
        const QList<QMenu *> menus = active->widget()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
        for (QMenu *m : menus)
            if (m->property(MenuGroupProperty).isValid())
                child.push_back({m, menuGroup(m)});
    }
    std::vector<Item> merged;
    for (QMenu *m : {File1, Customer1, Invoice1, Reports1, Window1, Help1}) {
        const int group = menuGroup(m);
        if (std::none_of(child.begin(), child.end(), [group](const Item &i) { return i.group == group; }))
            merged.push_back({m, group});
    }
    merged.insert(merged.end(), child.begin(), child.end());
    std::stable_sort(merged.begin(), merged.end(), [](const Item &a, const Item &b) { return a.group < b.group; });
    menuBar()->clear();
    for (const Item &item : merged)
        menuBar()->addAction(item.menu->menuAction());
}

QMdiSubWindow *TfrmMain::AddChildWindow(QWidget *window)
{
    auto *frame = new TChildFrame(window);
    m_mdiArea->addSubWindow(frame);
    RegSettings().RestoreWindowState(window);
    return frame;
}

namespace {

QWidget *showListWindow(TfrmMain &main, QPointer<QWidget> &reference, const ListWindowFactory &factory)
{
    if (!reference) {
        if (!factory)
            return nullptr;
        reference = factory();
        main.AddChildWindow(reference);
    }
    auto *frame = qobject_cast<QMdiSubWindow *>(reference->parentWidget());
    if (frame) {
        if (frame->isMinimized())
            frame->showNormal();
        frame->show();
        main.mdiArea()->setActiveSubWindow(frame);
        frame->raise();
    }
    return reference;
}

} // namespace

QWidget *TfrmMain::ShowCustomerList()
{
    return showListWindow(*this, frmCustomers, customerListFactory());
}

QWidget *TfrmMain::ShowInvoiceList()
{
    return showListWindow(*this, frmInvoices, invoiceListFactory());
}

void TfrmMain::actNewCustomerExecute()
{
    if (!frmCustomers)
        ShowCustomerList();
    triggerChildAction(frmCustomers, "actDataSetInsert");
}

void TfrmMain::actNewInvoiceExecute()
{
    if (frmCustomers) {
        triggerChildAction(frmCustomers, "actNewInvoice");
        return;
    }
    MsgWarning(uMsgStrs::sNoCustomerSelected());
    ShowCustomerList();
}

void TfrmMain::FilePrintSetup1Execute()
{
    if (runPrintSetupDialog(this) && !warned) {
        MsgWarning(uMsgStrs::sPrintEngineLimits());
        warned = true;
    }
}

void TfrmMain::FileExit1Execute()
{
    close();
}

void TfrmMain::WindowArrange1Execute()
{
    // Minimised child windows in a row along the bottom of the client area.
    int x = 0;
    const int bottom = m_mdiArea->viewport()->height();
    const QList<QMdiSubWindow *> children = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *child : children) {
        if (!child->isMinimized())
            continue;
        child->move(x, bottom - child->height());
        x += child->width();
    }
}

void TfrmMain::WindowTileHorizontal1Execute()
{
    QList<QMdiSubWindow *> children = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    children.removeIf([](QMdiSubWindow *c) { return c->isMinimized() || !c->isVisible(); });
    if (children.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int height = area.height() / int(children.size());
    for (int i = 0; i < children.size(); ++i) {
        children[i]->showNormal();
        children[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void TfrmMain::WindowTileVertical1Execute()
{
    QList<QMdiSubWindow *> children = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    children.removeIf([](QMdiSubWindow *c) { return c->isMinimized() || !c->isVisible(); });
    if (children.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int width = area.width() / int(children.size());
    for (int i = 0; i < children.size(); ++i) {
        children[i]->showNormal();
        children[i]->setGeometry(i * width, 0, width, area.height());
    }
}
