#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmSettings;
}

// The business settings that go on every invoice (company texts, bank account, credit days, default VAT,
// rounding, pre-printed forms) and the user's own (language, tool tips). Nothing is taken until OK
// succeeds: a VAT text that is not a number, or a store that cannot be written, is told and leaves both
// stores as they were, with the dialog open.
class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 255;
    // Locale identifiers of the languages offered, in the order of the language box.
    static constexpr int English = 1033;
    static constexpr int Norwegian = 1044;

    explicit TfrmSettings(QWidget *parent = nullptr);
    ~TfrmSettings() override;

    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void OKBtnClick();

    std::unique_ptr<Ui::TfrmSettings> ui;
};
