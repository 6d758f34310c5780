#pragma once

#include "MainInterface.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QLocalServer;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace Ui {
class TfrmMain;
}

// The main frame window: holds the list windows as child windows and carries the menus, the tool bar
// and the status bar. Its actions, menus and tool bar are laid out in fMain.ui.
class TfrmMain : public QMainWindow, public TMainInterface {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    QMdiArea *mdiArea() const;

    TCustomerListWindow *ShowCustomerList() override;
    TInvoiceListWindow *ShowInvoiceList() override;
    TCustomerListWindow *CustomerList() const override { return m_customers; }
    TInvoiceListWindow *InvoiceList() const override { return m_invoices; }
    void RefreshInvoiceList() override;
    void ShowChildWindow(QWidget *window) override;

    // Places a window in a child frame of the main window; the frame restores the window's placement now
    // and saves it when it is destroyed.
    QMdiSubWindow *AddChildWindow(QWidget *window);

    // The list windows are made by these; while one is missing its commands stay disabled.
    template <class W> using WindowFactory = std::function<W *(TMainInterface &main)>;
    void setCustomerListFactory(WindowFactory<TCustomerListWindow> factory);
    void setInvoiceListFactory(WindowFactory<TInvoiceListWindow> factory);

    // Whether the printer setup warning was shown in this run.
    bool warned = false;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void connectActions();
    void updateActions();
    void mergeMenus();
    void startInstanceServer();

    void actNewCustomerExecute();
    void actNewInvoiceExecute();
    void FilePrintSetup1Execute();
    void actReportsExecute();
    void actOptionsExecute();
    void About1Execute();
    void WindowArrange1Execute();
    void WindowTileHorizontal1Execute();
    void WindowTileVertical1Execute();

    std::unique_ptr<Ui::TfrmMain> ui;
    QLocalServer *m_instanceServer = nullptr;
    bool m_shown = false;
    QPointer<TCustomerListWindow> m_customers;
    QPointer<TInvoiceListWindow> m_invoices;
    WindowFactory<TCustomerListWindow> m_customerListFactory;
    WindowFactory<TInvoiceListWindow> m_invoiceListFactory;
};

// Menus of a child window carry the merge group of the main window's menu they replace while that child
// is the active one (30 customer, 40 invoice, 60 reports, window and help).
void setMenuGroup(QMenu *menu, int group);
int menuGroup(const QMenu *menu);

// The name under which the running program can be found by a second start: one per user, a socket in the
// user's private runtime folder. Empty when the user has no such folder.
QString instanceServerName();
