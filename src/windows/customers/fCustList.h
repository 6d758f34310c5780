#pragma once

#include "windows/main/MainInterface.h"

#include <QPointer>

#include <memory>

class QMenu;
class TfrmCustomerEdit;

namespace Ui {
class TfrmCustomerList;
}

// The customer register (the data module's tblCustomer), shared with the customer edit window: the
// current row here is the customer shown there. A child window of the main window; its "Customer" menu
// stands in for the main window's while it is active.
class TfrmCustomerList : public TCustomerListWindow {
    Q_OBJECT
public:
    explicit TfrmCustomerList(TMainInterface &main, QWidget *parent = nullptr);
    ~TfrmCustomerList() override;

    void NewCustomer() override;
    void NewInvoice() override;
    // Shows the edit window on the current customer, making it when there is none.
    void EditCustomer();
    void DeleteCustomers();
    void Refresh();
    TfrmCustomerEdit *editWindow() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenu();
    void updateActions();

    std::unique_ptr<Ui::TfrmCustomerList> ui;
    TMainInterface &m_main;
    QPointer<TfrmCustomerEdit> m_edit;
    QMenu *m_menu = nullptr;
};
