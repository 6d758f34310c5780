#pragma once

#include <QWidget>

#include <memory>

namespace db {
class DataSet;
}
namespace Ui {
class TframeCustomer;
}
class DBEdit;
class TframeCustomer1;

// The whole customer: the name and address block, phones, e-mail, status and a note of its own.
class TframeCustomer : public QWidget {
    Q_OBJECT
public:
    explicit TframeCustomer(QWidget *parent = nullptr);
    ~TframeCustomer() override;

    void setDataSet(db::DataSet *dataSet);
    TframeCustomer1 *block() const;
    DBEdit *phoneEdit() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    std::unique_ptr<Ui::TframeCustomer> ui;
};
