#pragma once

#include <QWidget>

// The list windows as the main window sees them: it creates them, keeps them while they exist and hands
// them the commands of its own menus.
class TCustomerListWindow : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // "New Customer": a new customer started in the list's edit window.
    virtual void NewCustomer() = 0;
    // "New Invoice": a new invoice for the customer selected in the list.
    virtual void NewInvoice() = 0;
};

class TInvoiceListWindow : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Reads the list again, keeping the current invoice.
    virtual void Refresh() = 0;
};

// What one window asks of another. The main window implements it and hands it to every window it opens;
// windows never reach each other through globals or by names.
class TMainInterface {
public:
    // Creates the list window when it does not exist, restores it when it is minimised and brings it to
    // the front. Null while the program has no such window.
    virtual TCustomerListWindow *ShowCustomerList() = 0;
    virtual TInvoiceListWindow *ShowInvoiceList() = 0;
    // The list windows while they exist; null otherwise.
    virtual TCustomerListWindow *CustomerList() const = 0;
    virtual TInvoiceListWindow *InvoiceList() const = 0;
    // Reloads the invoice list when it is open.
    virtual void RefreshInvoiceList() = 0;
    // Places a window in a child frame of the main window (its placement restored now, saved when it
    // goes) and shows it in front.
    virtual void ShowChildWindow(QWidget *window) = 0;

protected:
    ~TMainInterface() = default;
};
