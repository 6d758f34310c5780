#include "frInvoice.h"

#include "data/InvoiceKinds.h"
#include "ui_frInvoice.h"
#include "widgets/DataControls.h"

#include <iterator>

TframeInvoice::TframeInvoice(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TframeInvoice>())
{
    ui->setupUi(this);
    // The kind box's items are names in the window's language; each stores its kind's code, so that a
    // credit note chosen in Norwegian is a credit note.
    const char codes[] = {InvoiceKind::Invoice, InvoiceKind::Reminder, InvoiceKind::FinalNotice, InvoiceKind::Credit};
    for (int i = 0; i < ui->cboInvType->count() && i < int(std::size(codes)); ++i)
        ui->cboInvType->setItemData(i, QString(QLatin1Char(codes[i])));
}

TframeInvoice::~TframeInvoice() = default;

void TframeInvoice::setDataSet(db::DataSet *dataSet)
{
    const std::pair<DBEdit *, const char *> edits[] = {{ui->edtInvoiceNo, "INVOICE_NO"},
                                                       {ui->edtInvDate, "INVDATE"},
                                                       {ui->edtDueDate, "DUEDATE"},
                                                       {ui->edtOurRef, "OURREF"},
                                                       {ui->edtYourRef, "YOURREF"},
                                                       {ui->edtOrderNo, "ORDER_NO"},
                                                       {ui->edtKID, "KID"},
                                                       {ui->edtPrintDate, "PRINTDATE"},
                                                       {ui->edtPaidDate, "PAIDDATE"}};
    for (const auto &[edit, field] : edits)
        edit->setField(dataSet, QLatin1String(field));
    ui->cboInvType->setField(dataSet, QStringLiteral("INV_TYPE"));
}

QList<DBEdit *> TframeInvoice::dateEdits() const
{
    return {ui->edtInvDate, ui->edtDueDate, ui->edtPrintDate, ui->edtPaidDate};
}

QPushButton *TframeInvoice::invoiceNoticeButton() const
{
    return ui->btnInvoiceNotice;
}

DBComboBox *TframeInvoice::kindBox() const
{
    return ui->cboInvType;
}

void TframeInvoice::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The kind box shows the stored letter; translating its items must not change it.
        const QString shown = ui->cboInvType->currentText();
        ui->retranslateUi(this);
        ui->cboInvType->setEditText(shown);
    }
    QWidget::changeEvent(event);
}
