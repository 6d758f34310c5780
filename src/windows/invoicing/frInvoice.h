#pragma once

#include <QWidget>

#include <memory>

namespace db {
class DataSet;
}
namespace Ui {
class TframeInvoice;
}
class DBComboBox;
class DBEdit;
class QPushButton;

// The invoice's header fields in three columns: number and dates, references and KID, print and paid
// dates and the kind of invoice, with the "Invoice notice" button under the kind.
class TframeInvoice : public QWidget {
    Q_OBJECT
public:
    explicit TframeInvoice(QWidget *parent = nullptr);
    ~TframeInvoice() override;

    void setDataSet(db::DataSet *dataSet);
    // The four date edits, for their calendars.
    QList<DBEdit *> dateEdits() const;
    QPushButton *invoiceNoticeButton() const;
    DBComboBox *kindBox() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::TframeInvoice> ui;
};
