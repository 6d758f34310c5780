#include "fCustSelect.h"

#include "data/dInvoice.h"
#include "ui_fCustSelect.h"
#include "widgets/SortDataSet.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

namespace {

const QString SortSetting = QStringLiteral("CUSTSELROW");

} // namespace

TfrmCustomerSelect::TfrmCustomerSelect(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmCustomerSelect>())
{
    ui->setupUi(this);
    attachHelp(this, ui->btnHelp);
    db::DataSet &customers = dmInvoice->qrySelectCust;
    ui->DBGrid1->setDataSet(&customers, {{QStringLiteral("CUST_ID"), QString(), 0, {}, true, false},
                                         {QStringLiteral("CUST_NO"), tr("Customer #"), 61},
                                         {QStringLiteral("FIRSTNAME"), tr("Firstname"), 129},
                                         {QStringLiteral("SURNAME"), tr("Surname"), 139},
                                         {QStringLiteral("STATUS"), tr("Status")}});
    ui->DBGrid1->setReadOnly(true);
    ui->DBGrid1->setRowIndicator(true);
    // The designed size, wider where the columns need it on this screen; then the user's own placement.
    resize(std::max(width(), windowWidthForGrid(this, ui->DBGrid1)), height());
    RegSettings().RestoreWindowState(this);
    customers.open();
    SortDataSet(&customers, RegSettings().ReadSetting(SortSetting));
    connect(ui->DBGrid1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    connect(ui->DBGrid1, &DBGrid::titleClicked, this, [&customers](db::Field *field) {
        // Remembered also when the dialog is then cancelled.
        if (SortDataSet(&customers, field->name()))
            RegSettings().WriteSetting(SortSetting, field->name());
    });
    ui->DBGrid1->setFocus();
}

TfrmCustomerSelect::~TfrmCustomerSelect()
{
    if (dmInvoice)
        dmInvoice->qrySelectCust.close();
    RegSettings().SaveWindowState(this);
}

void TfrmCustomerSelect::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

qint64 SelectCustomer(QWidget *owner, qint64 customerId)
{
    TfrmCustomerSelect dialog(owner);
    db::DataSet &customers = dmInvoice->qrySelectCust;
    // A customer not in the list leaves the dialog on its first row.
    if (!customers.locate(QStringLiteral("CUST_ID"), customerId))
        customers.first();
    if (dialog.exec() != QDialog::Accepted || customers.isEmpty())
        return -1;
    return customers.fieldByName(QStringLiteral("CUST_ID")).asInteger();
}
