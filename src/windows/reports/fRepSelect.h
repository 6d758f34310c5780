#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmRepSelect;
}

// The choice of a printed list and of its period or filter. The period is remembered per user
// (REPDATESTART, REPDATEEND) whether the dialog ends with OK or Cancel; OK runs the list and closes the
// dialog, or shows why it could not and stays open.
class TfrmRepSelect : public QDialog {
    Q_OBJECT
public:
    enum Report { Transactions = 0, Customers = 1, Items = 2, Invoices = 3 };

    // `owner` is the window the lists disable while they run (the main window).
    explicit TfrmRepSelect(QWidget *owner);
    ~TfrmRepSelect() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void cboReportChange();
    void btnOKClick();
    void readPeriod();
    void writePeriod();

    std::unique_ptr<Ui::TfrmRepSelect> ui;
    QWidget *m_owner;
};
