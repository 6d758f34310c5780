#include "fPostalAddress.h"

#include "core/Messages.h"
#include "data/dInvoice.h"
#include "ui_fPostalAddress.h"
#include "widgets/DataControls.h"
#include "windows/main/Help.h"
#include "windows/settings/UserSettings.h"

namespace {

db::DataSet &places()
{
    return dmInvoice->tblPostAddrClone;
}

} // namespace

TfrmPostalAddress::TfrmPostalAddress(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmPostalAddress>())
{
    ui->setupUi(this);
    attachHelp(this, ui->btnHelp);
    RegSettings().RestoreWindowState(this);
    db::DataSet &clone = places();
    if (!clone.isActive()) {
        if (!dmInvoice->tblPostAddr.isActive())
            dmInvoice->tblPostAddr.open();
        clone.cloneCursor(dmInvoice->tblPostAddr);
    }
    clone.sort(QStringLiteral("POSTALADDRESS"));
    ui->DBGrid1->setDataSet(&clone, {{QStringLiteral("POSTALCODE"), tr("Postalcode")},
                                     {QStringLiteral("POSTALADDRESS"), tr("Postaladdress"), 229}});
    ui->DBGrid1->setReadOnly(true);
    fitFixedSize(this, ui->DBGrid1);
    connect(ui->edtPostalAddress, &QLineEdit::textChanged, this, &TfrmPostalAddress::edtPostalAddressChange);
    connect(ui->DBGrid1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    ui->edtPostalAddress->installEventFilter(this);
}

TfrmPostalAddress::~TfrmPostalAddress()
{
    try {
        RegSettings().SaveWindowState(this);
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
}

bool TfrmPostalAddress::hasChoice() const
{
    return dmInvoice && places().isActive() && !places().isEmpty();
}

// Each showing lists every place again; the text of the last search stays, selected, so the first key
// replaces it.
void TfrmPostalAddress::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->edtPostalAddress->setFocus();
    ui->edtPostalAddress->selectAll();
    RunCommand([] { places().setFiltered(false); });
}

void TfrmPostalAddress::edtPostalAddressChange(const QString &text)
{
    RunCommand([&] {
        db::DataSet &clone = places();
        clone.setFiltered(false);
        clone.setFilter(db::DataSet::prefixFilter(QStringLiteral("POSTALADDRESS"), text));
        clone.setFiltered(!text.isEmpty());
    });
}

bool TfrmPostalAddress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->edtPostalAddress && downIntoGrid(event, ui->DBGrid1))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmPostalAddress::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
