#pragma once

#include "TransactionDialog.h"

#include <memory>

namespace Ui {
class TfrmInvoicePay;
}

// Registers payments: the invoices that still lack their paid date or paid sum, marked paid (today and
// the whole gross total) or not paid, or given a date and sum by hand. Everything done from showing to
// closing is one transaction: OK commits it, every other way out rolls it back after asking.
class TfrmInvoicePay : public TransactionDialog {
    Q_OBJECT
public:
    explicit TfrmInvoicePay(QWidget *parent = nullptr);
    ~TfrmInvoicePay() override;

    // The invoice the window starts on (-1: the first row).
    void setStartInvoice(qint64 invoiceId) { m_startInvoice = invoiceId; }
    // Whether a payment was written or is being written (a row or a cell in editing counts too).
    bool PaymentsChanged() const;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void storeEdits() override;
    void discardEdits() override;
    bool hasChanges() const override { return PaymentsChanged(); }
    // Asks whether to close without storing; true to close.
    bool confirmDiscard() override;
    void commitTransaction() override;

    std::unique_ptr<Ui::TfrmInvoicePay> ui;
    qint64 m_startInvoice = -1;
    bool m_started = false;
};
