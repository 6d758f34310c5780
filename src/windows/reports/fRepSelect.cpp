#include "fRepSelect.h"

#include "ReportRun.h"
#include "core/Clock.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "ui_fRepSelect.h"
#include "widgets/ActionButton.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

TfrmRepSelect::TfrmRepSelect(QWidget *owner) : QDialog(owner), ui(std::make_unique<Ui::TfrmRepSelect>()), m_owner(owner)
{
    ui->setupUi(this);
    bindButtonToAction(ui->OKButton, ui->btnOK);
    attachHelp(this, ui->btnHelp);
    setFixedSize(size().expandedTo(sizeHint()));
    RegSettings().RestoreWindowState(this);
    readPeriod();
    cboReportChange();
    connect(ui->cboReport, &QComboBox::currentIndexChanged, this, &TfrmRepSelect::cboReportChange);
    connect(ui->btnOK, &QAction::triggered, this, &TfrmRepSelect::btnOKClick);
}

TfrmRepSelect::~TfrmRepSelect()
{
    RunCommand([this] { RegSettings().SaveWindowState(this); });
    RunCommand([this] { writePeriod(); });
}

void TfrmRepSelect::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int report = ui->cboReport->currentIndex();
        const int status = ui->cboInvoiceStatus->currentIndex();
        ui->retranslateUi(this);
        ui->cboReport->setCurrentIndex(report);
        ui->cboInvoiceStatus->setCurrentIndex(status);
    }
    QDialog::changeEvent(event);
}

// The period as stored, or this month when either day is missing or cannot be read.
void TfrmRepSelect::readPeriod()
{
    const std::optional<QDate> start = Format::parseDate(RegSettings().ReadSetting(QStringLiteral("REPDATESTART")));
    const std::optional<QDate> end = Format::parseDate(RegSettings().ReadSetting(QStringLiteral("REPDATEEND")));
    if (start && end) {
        ui->dtpFrom->setDate(*start);
        ui->dtpTo->setDate(*end);
        return;
    }
    const QDate today = Clock::today();
    const QDate first(today.year(), today.month(), 1);
    ui->dtpFrom->setDate(first);
    ui->dtpTo->setDate(first.addDays(first.daysInMonth() - 1));
}

void TfrmRepSelect::writePeriod()
{
    RegSettings().WriteSetting(QStringLiteral("REPDATESTART"), Format::dateText(ui->dtpFrom->date()));
    RegSettings().WriteSetting(QStringLiteral("REPDATEEND"), Format::dateText(ui->dtpTo->date()));
}

void TfrmRepSelect::cboReportChange()
{
    const int report = ui->cboReport->currentIndex();
    const bool from = report == Transactions || report == Invoices;
    ui->lblFrom->setVisible(from);
    ui->dtpFrom->setVisible(from);
    ui->lblTo->setVisible(report == Transactions);
    ui->dtpTo->setVisible(report == Transactions);
    ui->lblFilter->setVisible(report == Invoices);
    ui->cboInvoiceStatus->setVisible(report == Invoices);
    ui->btnOK->setEnabled(report >= 0);
}

void TfrmRepSelect::btnOKClick()
{
    const int report = ui->cboReport->currentIndex();
    const QDate start = ui->dtpFrom->date();
    const QDate end = ui->dtpTo->date();
    if (report == Transactions && end < start) {
        ShowErrorText(tr("The period ends on %1, before it starts on %2: choose a \"To\" date on or after the "
                         "\"From\" date")
                          .arg(Format::dateText(end), Format::dateText(start)));
        ui->dtpTo->setFocus();
        return;
    }
    bool shown = false;
    try {
        switch (report) {
        case Transactions:
            shown = PreviewTransactionList(m_owner, start, end);
            break;
        case Customers:
            shown = PreviewCustomerList(m_owner);
            break;
        case Items:
            shown = PreviewItemList(m_owner);
            break;
        case Invoices:
            shown = PreviewInvoiceList(m_owner, ui->cboInvoiceStatus->currentIndex(), start);
            break;
        default:
            return;
        }
    } catch (const std::exception &failure) {
        // The dialog stays, so that another period can be tried.
        ShowException(failure);
        return;
    }
    if (shown)
        accept();
}
