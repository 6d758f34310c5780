#pragma once

#include <QWidget>

#include <memory>

namespace db {
class DataSet;
}
namespace Ui {
class TframeCustomer1;
}
class DBEdit;

// A customer's number, name, address and postal address, bound to a dataset that has those fields (the
// customer itself, or an invoice's customer lookups). Read-only, it is shaded and out of the Tab order.
class TframeCustomer1 : public QWidget {
    Q_OBJECT
public:
    explicit TframeCustomer1(QWidget *parent = nullptr);
    ~TframeCustomer1() override;

    void setDataSet(db::DataSet *dataSet);
    void setReadOnly(bool readOnly);
    DBEdit *edit(const char *objectName) const;
    // The postal code lookup button between postal code and postal address (hidden unless asked for).
    class QToolButton *lookupButton() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::TframeCustomer1> ui;
};
