#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmCustomerSelect;
}

// The customers to choose another owner of an invoice from (the data module's qrySelectCust). A click on a
// column title sorts by that column, remembered for the next time in CUSTSELROW.
class TfrmCustomerSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCustomerSelect(QWidget *parent = nullptr);
    ~TfrmCustomerSelect() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::TfrmCustomerSelect> ui;
};

// Lets the user choose a customer, starting on customerId; the chosen CUST_ID, or -1 when the user did
// not choose (Cancel, Escape or the close box).
qint64 SelectCustomer(QWidget *owner, qint64 customerId);
