#pragma once

#include "windows/main/MainInterface.h"

#include <memory>

enum class InvoiceOutput;
class QMenu;

namespace Ui {
class TfrmInvoiceList;
}

// Every invoice of the database with its customer, sums and dates (the data module's tblInvoiceList),
// overdue ones in red; opens, deletes, outputs and pays invoices. A child window of the main window; its
// "Invoice" menu stands in for the main window's while it is active.
class TfrmInvoiceList : public TInvoiceListWindow {
    Q_OBJECT
public:
    explicit TfrmInvoiceList(QWidget *parent = nullptr);
    ~TfrmInvoiceList() override;

    // Reads the list again with its filter, staying on the same invoice where it still is.
    void Refresh() override;
    // 0: every invoice, 1: the unpaid ones, 2: the unpaid ones past their due date.
    void SetFilter(int level);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenu();
    void EditInvoice();
    void DeleteInvoices();
    void PayInvoices();
    void Output(InvoiceOutput mode);
    qint64 currentInvoiceId() const;

    std::unique_ptr<Ui::TfrmInvoiceList> ui;
    QMenu *m_menu = nullptr;
};
