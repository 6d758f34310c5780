#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmAboutBox;
}

// The program's picture, its title and the version of this build.
class TfrmAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAboutBox(QWidget *parent = nullptr);
    ~TfrmAboutBox() override;

    // The version of this build as four numbers ("0.1.0.0"); empty when none was compiled in.
    static QString fileVersion();

protected:
    void changeEvent(QEvent *event) override;

private:
    void fill();
    std::unique_ptr<Ui::TfrmAboutBox> ui;
};
