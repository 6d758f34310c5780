#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class TfrmPostalAddress;

namespace Ui {
class TfrmCustomerEdit;
}

// One customer's details and invoices, on the customer list's current record (the data module's
// tblCustomer): there is no navigation of its own. A child window of the main window, made by the list.
class TfrmCustomerEdit : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCustomerEdit(QWidget *parent = nullptr);
    ~TfrmCustomerEdit() override;

    // OK: saves a record being written, then closes; a refused record keeps the window open.
    void Ok();
    // Cancel: drops what is being written (a new customer goes), then closes.
    void Cancel();
    // The postal code lookup: the chosen place into the record.
    void LookupPostalAddress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateCaption();
    void completePostalAddress();
    void openInvoice();
    void closeWindow();

    std::unique_ptr<Ui::TfrmCustomerEdit> ui;
    QPointer<TfrmPostalAddress> m_lookup;
};
