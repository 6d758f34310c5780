#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmPostalAddress;
}

// Finds a postal code by the beginning of the place's name, in the postal register (the data module's
// tblPostAddrClone, a cursor of its own on tblPostAddr's rows, ordered by place). After OK the caller reads
// the chosen row from tblPostAddrClone; the dialog is kept and shown again by its caller.
class TfrmPostalAddress : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPostalAddress(QWidget *parent = nullptr);
    ~TfrmPostalAddress() override;

    // Whether a place is chosen: OK on an empty list chooses none.
    bool hasChoice() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void edtPostalAddressChange(const QString &text);

    std::unique_ptr<Ui::TfrmPostalAddress> ui;
};
