#include "fInvPay.h"

#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "ui_fInvPay.h"
#include "widgets/DataControls.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

#include <QCloseEvent>

namespace {

db::DataSet &payments()
{
    return dmInvoice->qryInvoicePay;
}

} // namespace

TfrmInvoicePay::TfrmInvoicePay(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmInvoicePay>())
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
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    RunCommand([this] {
        Format::clearCurrencySymbol();
        payments().close();
        payments().open();
        if (m_startInvoice != -1 && !payments().locate(QStringLiteral("INV_ID"), m_startInvoice))
            payments().first();
        dmInvoice->conInvoice.beginTransaction();
        m_changesAtStart = dmInvoice->conInvoice.totalChanges();
    });
    ui->DBGrid1->setFocus();
}

bool TfrmInvoicePay::PaymentsChanged() const
{
    if (!dmInvoice || !dmInvoice->conInvoice.inTransaction())
        return false;
    return payments().isEditing() || ui->DBGrid1->isCellEditing() ||
           dmInvoice->conInvoice.totalChanges() != m_changesAtStart;
}

bool TfrmInvoicePay::closeAnyway() const
{
    return messageDialog(MsgType::Warning, tr("Closing window will not store changes to payments. Close anyway?"),
                         MsgButtons::YesNo) == MsgAnswer::Yes;
}

void TfrmInvoicePay::rollBack(bool reportErrors)
{
    try {
        ui->DBGrid1->discardPendingEdit();
        if (payments().isEditing())
            payments().cancel();
        if (dmInvoice->conInvoice.inTransaction())
            dmInvoice->conInvoice.rollback();
    } catch (const std::exception &e) {
        if (reportErrors)
            MsgError(QString::fromUtf8(e.what()));
    }
}

void TfrmInvoicePay::accept()
{
    try {
        ui->DBGrid1->commitPendingEdit();
        if (payments().isEditing())
            payments().post();
        if (dmInvoice->conInvoice.inTransaction())
            dmInvoice->conInvoice.commit();
    } catch (const SilentAbort &) {
        return;
    } catch (const std::exception &e) {
        // Nothing is stored; the row stays as typed, for correcting.
        ShowException(e);
        return;
    }
    m_closing = true;
    QDialog::accept();
}

void TfrmInvoicePay::reject()
{
    if (m_closing) {
        QDialog::reject(); // already decided: the closing goes on
        return;
    }
    if (PaymentsChanged() && !closeAnyway())
        return;
    m_closing = true;
    rollBack(true);
    QDialog::reject();
}

// The close box: without changes the window closes as after OK; with changes it asks first.
void TfrmInvoicePay::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        if (PaymentsChanged()) {
            if (!closeAnyway()) {
                event->ignore();
                return;
            }
            rollBack(false);
        } else if (dmInvoice && dmInvoice->conInvoice.inTransaction()) {
            RunCommand([] { dmInvoice->conInvoice.commit(); });
        }
        m_closing = true;
    }
    QDialog::closeEvent(event);
}

void TfrmInvoicePay::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
