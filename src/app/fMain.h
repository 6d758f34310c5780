#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QLocalServer;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// The main frame window: holds the list windows as child windows and carries the menus, the tool bar
// and the status bar.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    QMdiArea *mdiArea() const { return m_mdiArea; }

    // Creates the customer list (or the invoice list) when it does not exist, restores it when it is
    // minimised and brings it to the front. Null while no such window exists in the program.
    QWidget *ShowCustomerList();
    QWidget *ShowInvoiceList();
    // Places a window in a child frame of the main window; the frame restores the window's placement now
    // and saves it when it is destroyed.
    QMdiSubWindow *AddChildWindow(QWidget *window);

    QAction *actNewCustomer;
    QAction *actNewInvoice;
    QAction *FilePrintSetup1;
    QAction *actOptions;
    QAction *actProducts;
    QAction *FileExit1;
    QAction *actCustomers;
    QAction *actInvoices;
    QAction *actReports;
    QAction *WindowArrange1;
    QAction *WindowCascade1;
    QAction *WindowTileHorizontal1;
    QAction *WindowTileVertical1;
    QAction *HelpContents1;
    QAction *About1;
    // The menu items of the File/New submenu, carrying the two commands under their menu captions.
    QAction *NewCustomer1;
    QAction *NewInvoice1;

    QMenu *File1;
    QMenu *New1;
    QMenu *Customer1;
    QMenu *Invoice1;
    QMenu *Reports1;
    QMenu *Window1;
    QMenu *Help1;
    QToolBar *ToolBar1;

    // Whether the printer setup warning was shown in this run.
    bool warned = false;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void createActions();
    void createMenus();
    void retranslateUi();
    void updateActions();
    void mergeMenus();
    void startInstanceServer();

    void actNewCustomerExecute();
    void actNewInvoiceExecute();
    void FilePrintSetup1Execute();
    void FileExit1Execute();
    void WindowArrange1Execute();
    void WindowTileHorizontal1Execute();
    void WindowTileVertical1Execute();

    QMdiArea *m_mdiArea;
    QLocalServer *m_instanceServer = nullptr;
    bool m_shown = false;
};

extern TfrmMain *frmMain;
// The two list windows while they exist; a list window's reference clears itself when it is destroyed.
extern QPointer<QWidget> frmCustomers;
extern QPointer<QWidget> frmInvoices;

// The list windows are made by their own units. Until one is registered, its commands stay disabled.
using ListWindowFactory = std::function<QWidget *()>;
void setCustomerListFactory(ListWindowFactory factory);
void setInvoiceListFactory(ListWindowFactory factory);

// Menus of a child window carry the merge group of the main window's menu they replace while that child
// is the active one (30 customer, 40 invoice, 60 reports, window and help).
void setMenuGroup(QMenu *menu, int group);
int menuGroup(const QMenu *menu);

// The name under which the running program can be found by a second start: one per user.
QString instanceServerName();
