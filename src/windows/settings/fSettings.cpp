#include "fSettings.h"

#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "ui_fSettings.h"
#include "widgets/DataControls.h"
#include "windows/main/Help.h"
#include "windows/main/uMsgStrs.h"
#include "windows/settings/UserSettings.h"

#include <cmath>

namespace {

const QString NAMECOMPADDR = QStringLiteral("NAMECOMPADDR");
const QString COMPDETAIL = QStringLiteral("COMPDETAIL");
const QString BANKACCNO = QStringLiteral("BANKACCNO");
const QString PREPRINTED = QStringLiteral("PREPRINTED");
const QString INFOHINTS = QStringLiteral("INFOHINTS");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

TfrmSettings::TfrmSettings(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmSettings>())
{
    ui->setupUi(this);
    attachHelp(this, ui->HelpBtn);
    limitLength(ui->memoComapyNameAddress, MaxTextLength);
    limitLength(ui->memoCompanyDetails, MaxTextLength);
    ui->edtBacnkAccountNumber->setMaxLength(MaxTextLength);
    setFixedSize(size().expandedTo(sizeHint()));
    connect(ui->OKBtn, &QPushButton::clicked, this, &TfrmSettings::OKBtnClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TfrmSettings::reject);
    FormCreate();
}

TfrmSettings::~TfrmSettings()
{
    RunCommand([this] { RegSettings().SaveWindowState(this); });
}

void TfrmSettings::FormCreate()
{
    RegSettings().RestoreWindowState(this);
    const TDBSettings &settings = dmInvoice->DBSettings;
    const TRegSettings &user = RegSettings();
    ui->memoComapyNameAddress->setPlainText(settings.GetSetting(NAMECOMPADDR));
    ui->memoCompanyDetails->setPlainText(settings.GetSetting(COMPDETAIL));
    ui->edtBacnkAccountNumber->setText(settings.GetSetting(BANKACCNO));
    ui->chkPrePrinted->setChecked(settings.GetSetting(PREPRINTED) == QLatin1String("1"));
    ui->chkRoundOffFraction->setChecked(settings.RoundFraction());
    ui->edtDefaultVAT->setText(Format::numberText(settings.DefaultTax()));
    ui->edtCreditDays->setValue(std::clamp(settings.CreditDays(), 0, 1000));
    // Another language than the two offered shows nothing chosen, and OK keeps it.
    ui->cboLanguage->setCurrentIndex(user.Language() == English ? 0 : user.Language() == Norwegian ? 1 : -1);
    if (ui->cboLanguage->currentIndex() < 0)
        ui->cboLanguage->setEditText(QString());
    ui->chkHints->setChecked(user.ShowHints());
    ui->PageControl1->setCurrentIndex(0);
}

void TfrmSettings::OKBtnClick()
{
    const QString vatText = ui->edtDefaultVAT->text();
    const std::optional<double> vat = Format::parseDecimal(vatText);
    // A rate outside 0 to 100 % would price every new line wrong: refused like a text that is no number.
    const bool vatInRange = vat && std::isfinite(*vat) && *vat >= 0 && *vat <= 100;
    if (!vatInRange) {
        ShowErrorText(vat ? uMsgStrs::sVatOutOfRange().arg(vatText) : uMsgStrs::sNotAFloat().arg(vatText));
        ui->PageControl1->setCurrentWidget(ui->tabInvoice);
        ui->edtDefaultVAT->setFocus();
        ui->edtDefaultVAT->selectAll();
        return;
    }
    ui->edtCreditDays->interpretText();

    TDBSettings &settings = dmInvoice->DBSettings;
    TRegSettings &user = RegSettings();
    const TDBSettings::Snapshot before = settings.snapshot();
    const int languageBefore = user.Language();
    const bool hintsBefore = user.ShowHints();
    try {
        settings.SetSetting(NAMECOMPADDR, ui->memoComapyNameAddress->toPlainText());
        settings.SetSetting(COMPDETAIL, ui->memoCompanyDetails->toPlainText());
        settings.SetSetting(BANKACCNO, ui->edtBacnkAccountNumber->text());
        settings.SetSetting(PREPRINTED, flag(ui->chkPrePrinted->isChecked()));
        settings.SetSetting(INFOHINTS, flag(ui->chkHints->isChecked()));
        settings.setRoundFraction(ui->chkRoundOffFraction->isChecked());
        settings.setDefaultTax(*vat);
        settings.setCreditDays(ui->edtCreditDays->value());
        const int language = ui->cboLanguage->findText(ui->cboLanguage->currentText());
        if (language >= 0)
            user.setLanguage(language == 0 ? English : Norwegian);
        user.setShowHints(ui->chkHints->isChecked());

        // Both stores or neither: the user settings are checked before the business settings go in.
        QString reason;
        if (!user.isWritable(&reason))
            throw Error(reason);
        db::Transaction change(dmInvoice->conInvoice);
        settings.SaveBusinessSettings();
        user.SaveUserSettings();
        change.commit();
    } catch (const std::exception &failure) {
        settings.restore(before);
        user.setLanguage(languageBefore);
        user.setShowHints(hintsBefore);
        ShowException(failure);
        return;
    }
    accept();
}

// Cancel, Escape or the close box: what OK did not take is read again from the store.
void TfrmSettings::reject()
{
    RunCommand([] { RegSettings().LoadUserSettings(); });
    QDialog::reject();
}

void TfrmSettings::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int page = ui->PageControl1->currentIndex();
        const int language = ui->cboLanguage->currentIndex();
        ui->retranslateUi(this);
        ui->PageControl1->setCurrentIndex(page);
        ui->cboLanguage->setCurrentIndex(language);
    }
    QDialog::changeEvent(event);
}
