#include "fInvPay.h"

#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "ui_fInvPay.h"
#include "widgets/DataControls.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

namespace {

db::DataSet &payments()
{
    return dmInvoice->qryInvoicePay;
}

} // namespace

// The close box: without changes the window closes as after OK; with changes it asks first.
TfrmInvoicePay::TfrmInvoicePay(QWidget *parent)
    : TransactionDialog(parent, CloseBox::AsOkWhenUnchanged), ui(std::make_unique<Ui::TfrmInvoicePay>())
{
    ui->setupUi(this);
    attachHelp(this, ui->btnHelp);
    ui->DBGrid1->setDataSet(&payments(), {{QStringLiteral("PAID"), tr("Paid"), 40, Qt::AlignCenter},
                                          {QStringLiteral("INV_ID"), QString(), 0, {}, true, false},
                                          {QStringLiteral("INVOICE_NO"), tr("Invoice #"), 0, {}, true},
                                          {QStringLiteral("INVDATE"), tr("Invoice date"), 80, {}, true},
                                          {QStringLiteral("GROSSSUM"), tr("Gross total"), 80, {}, true},
                                          {QStringLiteral("PAIDDATE"), tr("Paid date"), 80},
                                          {QStringLiteral("SUMPAID"), tr("Sum paid"), 80},
                                          {QStringLiteral("DUMMYPAID"), QString(), 0, {}, true, false}});
    ui->DBGrid1->setReadOnly(false);
    ui->DBGrid1->setRowIndicator(true);
    // The texts the Paid field reads and shows.
    ui->DBGrid1->setPickList(0, {TdmInvoice::tr("No"), TdmInvoice::tr("Yes")});
    RegSettings().RestoreWindowState(this);
}

TfrmInvoicePay::~TfrmInvoicePay()
{
    if (dmInvoice) {
        rollBack(false);
        payments().close();
    }
    RegSettings().SaveWindowState(this);
}

void TfrmInvoicePay::showEvent(QShowEvent *event)
{
    TransactionDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    RunCommand([this] {
        Format::clearCurrencySymbol();
        payments().close();
        payments().open();
        if (m_startInvoice != -1 && !payments().locate(QStringLiteral("INV_ID"), m_startInvoice))
            payments().first();
        beginTransaction();
    });
    ui->DBGrid1->setFocus();
}

bool TfrmInvoicePay::PaymentsChanged() const
{
    if (!inTransaction())
        return false;
    return payments().isEditing() || ui->DBGrid1->isCellEditing() || changedSinceStart();
}

bool TfrmInvoicePay::confirmDiscard()
{
    return messageDialog(MsgType::Warning, tr("Closing window will not store changes to payments. Close anyway?"),
                         MsgButtons::YesNo) == MsgAnswer::Yes;
}

void TfrmInvoicePay::storeEdits()
{
    ui->DBGrid1->commitPendingEdit();
    if (payments().isEditing())
        payments().post();
}

void TfrmInvoicePay::discardEdits()
{
    ui->DBGrid1->discardPendingEdit();
    if (payments().isEditing())
        payments().cancel();
}

// A window whose list could not be read began no transaction: there is nothing to commit.
void TfrmInvoicePay::commitTransaction()
{
    if (inTransaction())
        TransactionDialog::commitTransaction();
}

void TfrmInvoicePay::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    TransactionDialog::changeEvent(event);
}
