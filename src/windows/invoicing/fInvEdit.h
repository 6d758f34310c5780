#pragma once

#include "TransactionDialog.h"

#include <memory>

enum class InvoiceOutput;
class TfrmInvoiceNote;
class QModelIndex;

namespace Ui {
class TfrmInvoiceEdit;
}

// The window in which one invoice is written or changed: header, customer, lines and totals. Everything
// done while it is open is one transaction on the shared connection: OK commits it, every other way out
// rolls it back (after asking, when something was changed).
class TfrmInvoiceEdit : public TransactionDialog {
    Q_OBJECT
public:
    explicit TfrmInvoiceEdit(QWidget *parent = nullptr);
    ~TfrmInvoiceEdit() override;

    // Opens the invoice of that id; false when there is none.
    bool LoadInvoice(qint64 invoiceId);
    // Starts a new invoice for the customer (dated today, numbered next in the year, kind N).
    bool StartNewInvoice(qint64 customerId);
    // Makes the line grid the active control (a new invoice starts there).
    void FocusLines();
    // Whether the header or a line was posted while the window was open.
    bool ChangesPosted() const { return m_changesPosted; }

    // Posts the header (first: new lines need its id) and then the current line, where they are being
    // edited.
    void StoreEdits();
    // Makes the gross total whole kroner with the rounding line ("Øre avrunding", line number 9999).
    void RoundTotal();
    // Copies the catalogue's current item into the current line.
    void FillLineFromItem();
    // The item lookup of the code cell: the catalogue window, and the picked item into the line.
    void PickItem();

    static constexpr int RoundingLineId = 9999;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void connectActions();
    // A new line, after what is typed in an open cell has gone into its own line.
    void appendLine();
    void updateActions();
    void gridCurrentChanged(const QModelIndex &current, const QModelIndex &previous);
    void btnChangeCustomerClick();
    void btnInvoiceNoticeClick();
    void output(InvoiceOutput mode);
    bool hasPendingChanges() const;

    void storeEdits() override { StoreEdits(); }
    void discardEdits() override;
    bool hasChanges() const override;
    bool confirmDiscard() override;

    std::unique_ptr<Ui::TfrmInvoiceEdit> ui;
    TfrmInvoiceNote *m_note;
    bool m_changesPosted = false;
    bool m_noticeShown = false;
};
