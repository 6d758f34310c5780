#include "fMain.h"

#include "Program.h"
#include "core/Files.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fAbout.h"
#include "uMsgStrs.h"
#include "ui_fMain.h"
#include "widgets/Application.h"
#include "widgets/IdleUpdate.h"
#include "widgets/Printers.h"
#include "windows/customers/fCustList.h"
#include "windows/invoicing/fInvList.h"
#include "windows/invoicing/fLookupItems.h"
#include "windows/main/Help.h"
#include "windows/reports/fRepSelect.h"
#include "windows/settings/UserSettings.h"
#include "windows/settings/fSettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTabWidget>

#include <algorithm>

namespace {

const char MenuGroupProperty[] = "menuGroup";

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

void setMenuGroup(QMenu *menu, int group)
{
    menu->setProperty(MenuGroupProperty, group);
}

int menuGroup(const QMenu *menu)
{
    return menu->property(MenuGroupProperty).toInt();
}

// A socket in the user's private runtime folder: no other user can take its name first and lock the owner
// out of their own program.
QString instanceServerName()
{
    const QString folder = privateRuntimeFolder();
    if (folder.isEmpty())
        return QString();
    QString name = folder + QStringLiteral("/Kvarnel-TfrmMain");
    // Test programs run side by side, each with its own settings: each is its own "user".
    if (QStandardPaths::isTestModeEnabled())
        name += QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
    return name;
}

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::TfrmMain>())
{
    ui->setupUi(this);
    // The designed position (the size comes from the form), used until a placement has been saved.
    setGeometry(QRect(QPoint(268, 157), size()));
    connectActions();
    setInvoiceListFactory([](TMainInterface &) { return new TfrmInvoiceList; });
    setCustomerListFactory([](TMainInterface &main) { return new TfrmCustomerList(main); });
    mergeMenus();
    connect(ui->MDIClient, &QMdiArea::subWindowActivated, this, &TfrmMain::mergeMenus);
    addIdleHandler(this, [this] { updateActions(); });
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    FormDestroy();
}

QMdiArea *TfrmMain::mdiArea() const
{
    return ui->MDIClient;
}

void TfrmMain::setCustomerListFactory(WindowFactory<TCustomerListWindow> factory)
{
    m_customerListFactory = std::move(factory);
}

void TfrmMain::setInvoiceListFactory(WindowFactory<TInvoiceListWindow> factory)
{
    m_invoiceListFactory = std::move(factory);
}

void TfrmMain::connectActions()
{
    auto command = [this](QAction *action, void (TfrmMain::*execute)()) {
        connect(action, &QAction::triggered, this,
                [this, execute] { RunCommand([this, execute] { (this->*execute)(); }); });
    };
    command(ui->actNewCustomer, &TfrmMain::actNewCustomerExecute);
    command(ui->actNewInvoice, &TfrmMain::actNewInvoiceExecute);
    connect(ui->NewCustomer1, &QAction::triggered, ui->actNewCustomer, &QAction::trigger);
    connect(ui->NewInvoice1, &QAction::triggered, ui->actNewInvoice, &QAction::trigger);
    command(ui->FilePrintSetup1, &TfrmMain::FilePrintSetup1Execute);
    connect(ui->FileExit1, &QAction::triggered, this, &QWidget::close);
    connect(ui->actCustomers, &QAction::triggered, this, [this] { RunCommand([this] { ShowCustomerList(); }); });
    connect(ui->actInvoices, &QAction::triggered, this, [this] { RunCommand([this] { ShowInvoiceList(); }); });
    command(ui->WindowArrange1, &TfrmMain::WindowArrange1Execute);
    connect(ui->WindowCascade1, &QAction::triggered, ui->MDIClient, &QMdiArea::cascadeSubWindows);
    command(ui->WindowTileHorizontal1, &TfrmMain::WindowTileHorizontal1Execute);
    command(ui->WindowTileVertical1, &TfrmMain::WindowTileVertical1Execute);
    connect(ui->actProducts, &QAction::triggered, this,
            [this] { RunCommand([this] { TfrmLookupItems::EditCatalogue(this); }); });
    // Main window actions work wherever the focus is, also in a child window.
    addActions(findChildren<QAction *>(Qt::FindDirectChildrenOnly));

    command(ui->actReports, &TfrmMain::actReportsExecute);
    command(ui->actOptions, &TfrmMain::actOptionsExecute);
    command(ui->About1, &TfrmMain::About1Execute);
    connect(ui->HelpContents1, &QAction::triggered, this, [] { ShowHelpContext(1000); });
}

void TfrmMain::FormCreate()
{
    RegSettings().LoadUserSettings();
    if (RegSettings().Language() != 0 && LoadLanguageModule(RegSettings().Language()))
        ReloadAllForms();
    setToolTipsEnabled(RegSettings().ShowHints());
    attachHelp(this);
    warned = false;
    qApp->installEventFilter(new TApplicationKeys(this));
    RegSettings().RestoreWindowState(this);
    setWindowTitle(applicationTitle());
    startInstanceServer();
}

void TfrmMain::startInstanceServer()
{
    const QString name = instanceServerName();
    if (name.isEmpty()) {
        // Without a folder of its own a second start is not told apart; the database, held for this run
        // alone, still keeps a second copy from working on it.
        qWarning("No private runtime folder (XDG_RUNTIME_DIR, or one of this user's own in %s): a second "
                 "start of the program is not detected.",
                 qPrintable(QDir::toNativeSeparators(QDir::tempPath())));
        return;
    }
    m_instanceServer = new QLocalServer(this);
    m_instanceServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_instanceServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_instanceServer->nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
        }
    });
    // A run that crashed leaves its socket behind; nobody answers on it, and it is taken over.
    if (!m_instanceServer->listen(name) && m_instanceServer->serverError() == QAbstractSocket::AddressInUseError &&
        !programAlreadyRunning()) {
        QLocalServer::removeServer(name);
        m_instanceServer->listen(name);
    }
}

void TfrmMain::FormShow()
{
    RunCommand([this] {
        dmInvoice->DBSettings.CheckDatabaseVersion();
        dmInvoice->DBSettings.LoadBusinessSettings();
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
    const QList<QMdiSubWindow *> children = mdiArea()->subWindowList();
    for (QMdiSubWindow *child : children) {
        QCloseEvent ask;
        QCoreApplication::sendEvent(child->widget() ? child->widget() : child, &ask);
        if (!ask.isAccepted())
            return false;
    }
    try {
        RegSettings().WriteSetting(QStringLiteral("CustomersVisible"),
                                   m_customers ? QStringLiteral("1") : QStringLiteral("0"));
        RegSettings().WriteSetting(QStringLiteral("InvoicesVisible"),
                                   m_invoices ? QStringLiteral("1") : QStringLiteral("0"));
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
}

void TfrmMain::RefreshInvoiceList()
{
    if (m_invoices)
        RunCommand([this] { m_invoices->Refresh(); });
}

void TfrmMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setWindowTitle(applicationTitle());
    }
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
    const bool children = !mdiArea()->subWindowList().isEmpty();
    for (QAction *action : {ui->WindowArrange1, ui->WindowCascade1, ui->WindowTileHorizontal1, ui->WindowTileVertical1})
        action->setEnabled(children);
    const bool customers = m_customerListFactory || m_customers;
    for (QAction *action : {ui->actCustomers, ui->actNewCustomer, ui->actNewInvoice, ui->NewCustomer1, ui->NewInvoice1})
        action->setEnabled(customers);
    ui->actInvoices->setEnabled(m_invoiceListFactory || m_invoices);
}

void TfrmMain::mergeMenus()
{
    struct Item {
        QMenu *menu;
        int group;
    };
    std::vector<Item> child;
    if (QMdiSubWindow *active = mdiArea()->activeSubWindow(); active && active->widget()) {
        const QList<QMenu *> menus = active->widget()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
        for (QMenu *m : menus)
            if (m->property(MenuGroupProperty).isValid())
                child.push_back({m, menuGroup(m)});
    }
    std::vector<Item> merged;
    for (QMenu *m : {ui->File1, ui->Customer1, ui->Invoice1, ui->Reports1, ui->Window1, ui->Help1}) {
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
    const QSize designed = window->size();
    auto *frame = new TChildFrame(window);
    mdiArea()->addSubWindow(frame);
    // The frame opens at the window's designed size, its title bar and borders added.
    frame->resize(designed + (frame->sizeHint() - window->sizeHint()).expandedTo(QSize(0, 0)));
    RegSettings().RestoreWindowState(window);
    return frame;
}

void TfrmMain::ShowChildWindow(QWidget *window)
{
    auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (!frame)
        frame = AddChildWindow(window);
    if (frame->isMinimized())
        frame->showNormal();
    frame->show();
    mdiArea()->setActiveSubWindow(frame);
    frame->raise();
}

namespace {

template <class W> W *showListWindow(TfrmMain &main, QPointer<W> &reference, const TfrmMain::WindowFactory<W> &factory)
{
    if (!reference) {
        if (!factory)
            return nullptr;
        reference = factory(main);
        main.AddChildWindow(reference);
    }
    if (auto *frame = qobject_cast<QMdiSubWindow *>(reference->parentWidget())) {
        if (frame->isMinimized())
            frame->showNormal();
        frame->show();
        main.mdiArea()->setActiveSubWindow(frame);
        frame->raise();
    }
    return reference;
}

} // namespace

TCustomerListWindow *TfrmMain::ShowCustomerList()
{
    return showListWindow(*this, m_customers, m_customerListFactory);
}

TInvoiceListWindow *TfrmMain::ShowInvoiceList()
{
    return showListWindow(*this, m_invoices, m_invoiceListFactory);
}

void TfrmMain::actNewCustomerExecute()
{
    if (!m_customers)
        ShowCustomerList();
    if (m_customers)
        m_customers->NewCustomer();
}

void TfrmMain::actNewInvoiceExecute()
{
    if (m_customers) {
        m_customers->NewInvoice();
        return;
    }
    MsgWarning(uMsgStrs::sNoCustomerSelected());
    ShowCustomerList();
}

// The options dialog and the about box are made for one use and go when they close.
void TfrmMain::actOptionsExecute()
{
    TfrmSettings dialog(this);
    dialog.exec();
}

void TfrmMain::About1Execute()
{
    TfrmAboutBox dialog(this);
    dialog.exec();
}

// The report selection is made for one use and goes when it closes.
void TfrmMain::actReportsExecute()
{
    TfrmRepSelect dialog(this);
    dialog.exec();
}

void TfrmMain::FilePrintSetup1Execute()
{
    if (runPrintSetupDialog(this) && !warned) {
        MsgWarning(uMsgStrs::sPrintEngineLimits());
        warned = true;
    }
}

void TfrmMain::WindowArrange1Execute()
{
    // Minimised child windows in a row along the bottom of the client area.
    int x = 0;
    const int bottom = mdiArea()->viewport()->height();
    const QList<QMdiSubWindow *> children = mdiArea()->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *child : children) {
        if (!child->isMinimized())
            continue;
        child->move(x, bottom - child->height());
        x += child->width();
    }
}

void TfrmMain::WindowTileHorizontal1Execute()
{
    QList<QMdiSubWindow *> children = mdiArea()->subWindowList(QMdiArea::CreationOrder);
    children.removeIf([](QMdiSubWindow *c) { return c->isMinimized() || !c->isVisible(); });
    if (children.isEmpty())
        return;
    const QRect area = mdiArea()->viewport()->rect();
    const int height = area.height() / int(children.size());
    for (int i = 0; i < children.size(); ++i) {
        children[i]->showNormal();
        children[i]->setGeometry(0, i * height, area.width(), height);
    }
}

void TfrmMain::WindowTileVertical1Execute()
{
    QList<QMdiSubWindow *> children = mdiArea()->subWindowList(QMdiArea::CreationOrder);
    children.removeIf([](QMdiSubWindow *c) { return c->isMinimized() || !c->isVisible(); });
    if (children.isEmpty())
        return;
    const QRect area = mdiArea()->viewport()->rect();
    const int width = area.width() / int(children.size());
    for (int i = 0; i < children.size(); ++i) {
        children[i]->showNormal();
        children[i]->setGeometry(i * width, 0, width, area.height());
    }
}
