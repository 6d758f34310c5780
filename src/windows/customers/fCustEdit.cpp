#include "fCustEdit.h"

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fPostalAddress.h"
#include "frCustomer.h"
#include "frCustomer1.h"
#include "ui_fCustEdit.h"
#include "widgets/ActionButton.h"
#include "widgets/DataControls.h"
#include "widgets/IdleUpdate.h"
#include "windows/invoicing/fInvEdit.h"
#include "windows/main/Help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QToolButton>

namespace {

db::DataSet &customer()
{
    return dmInvoice->tblCustomer;
}

} // namespace

TfrmCustomerEdit::TfrmCustomerEdit(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TfrmCustomerEdit>())
{
    ui->setupUi(this);
    ui->frameCustomer1->setDataSet(&customer());
    ui->gridInvliceList->setDataSet(&dmInvoice->qryCustInvoiceList,
                                    {{QStringLiteral("INV_ID"), tr("id"), 0, {}, true, false},
                                     {QStringLiteral("INVOICE_NO"), tr("#"), 60},
                                     {QStringLiteral("INVDATE"), tr("Date"), 83},
                                     {QStringLiteral("GROSSSUM"), tr("Sum"), 93},
                                     {QStringLiteral("DUEDATE"), tr("Due date"), 79},
                                     {QStringLiteral("PAIDDATE"), tr("Paid"), 84},
                                     {QStringLiteral("PRINTDATE"), tr("Printed")}});
    ui->gridInvliceList->setReadOnly(true);
    bindButtonToAction(ui->btnApply, ui->actApply);
    attachHelp(this, ui->btnHelp);
    // Placement and column widths are the child frame's to restore and save (the main window's
    // AddChildWindow and the frame's destruction): this window's own geometry is only the frame's inside.

    TframeCustomer1 *block = ui->frameCustomer1->block();
    block->lookupButton()->setVisible(true);
    block->edit("edtPostalCode")->installEventFilter(this);
    ui->gridInvliceList->installEventFilter(this);
    connect(block->lookupButton(), &QToolButton::clicked, this,
            [this] { RunCommand([this] { LookupPostalAddress(); }); });
    connect(block->edit("edtSurname"), &QLineEdit::textChanged, this, &TfrmCustomerEdit::updateCaption);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmCustomerEdit::Ok);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfrmCustomerEdit::Cancel);
    connect(ui->actApply, &QAction::triggered, this, [] {
        RunCommand([] {
            customer().updateRecord();
            customer().post();
        });
    });
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [](int page) {
        if (page == 1 && !dmInvoice->qryCustInvoiceList.isActive())
            RunCommand([] { dmInvoice->qryCustInvoiceList.open(); });
    });
    connect(ui->gridInvliceList, &QAbstractItemView::doubleClicked, this,
            [this] { RunCommand([this] { openInvoice(); }); });
    addIdleHandler(this, [this] { ui->actApply->setEnabled(customer().isActive() && customer().isEditing()); });
    // A child window has no default button of its own: Enter is OK, Escape is Cancel.
    for (const auto &[key, slot] : {std::pair{QKeySequence(Qt::Key_Escape), &TfrmCustomerEdit::Cancel},
                                    std::pair{QKeySequence(Qt::Key_Return), &TfrmCustomerEdit::Ok},
                                    std::pair{QKeySequence(Qt::Key_Enter), &TfrmCustomerEdit::Ok}}) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    }
    ui->PageControl1->setCurrentIndex(0);
    updateCaption();
    block->edit("edtCustNo")->setFocus();
}

TfrmCustomerEdit::~TfrmCustomerEdit()
{
    if (dmInvoice)
        dmInvoice->qryCustInvoiceList.close();
}

// The caption names the customer as stored in the record, not as being typed.
void TfrmCustomerEdit::updateCaption()
{
    if (!customer().isActive() || customer().isEmpty()) {
        setWindowTitle(tr("Customer"));
        return;
    }
    setWindowTitle(tr("Customer - ") + customer().fieldByName(QStringLiteral("FIRSTNAME")).asString() +
                   QLatin1Char(' ') + customer().fieldByName(QStringLiteral("SURNAME")).asString());
}

void TfrmCustomerEdit::closeWindow()
{
    // The window lives in a frame of the main window: closing the frame destroys both.
    if (parentWidget())
        parentWidget()->close();
    else
        close();
}

void TfrmCustomerEdit::Ok()
{
    try {
        if (customer().isEditing()) {
            customer().updateRecord();
            customer().post();
        }
    } catch (const SilentAbort &) {
        return;
    } catch (const std::exception &e) {
        ShowException(e);
        return;
    }
    closeWindow();
}

void TfrmCustomerEdit::Cancel()
{
    try {
        if (customer().isEditing())
            customer().cancel();
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
        return;
    }
    closeWindow();
}

// Tab from the postal code to the lookup button fills in the place of a known code: exact match, only
// while the record is being written. A record without a place then goes on to the phone.
void TfrmCustomerEdit::completePostalAddress()
{
    if (!customer().isEditing())
        return;
    TframeCustomer1 *block = ui->frameCustomer1->block();
    db::Field &place = customer().fieldByName(QStringLiteral("POSTALADDRESS"));
    const bool hadNoPlace = place.asString().isEmpty();
    db::DataSet &register_ = dmInvoice->tblPostAddr;
    if (!register_.isActive())
        register_.open();
    if (!register_.locate(QStringLiteral("POSTALCODE"), block->edit("edtPostalCode")->text()))
        return;
    place.setValue(register_.fieldByName(QStringLiteral("POSTALADDRESS")).value());
    if (hadNoPlace)
        ui->frameCustomer1->phoneEdit()->setFocus(Qt::TabFocusReason);
}

void TfrmCustomerEdit::LookupPostalAddress()
{
    if (!m_lookup)
        m_lookup = new TfrmPostalAddress(this);
    // OK on an empty list chooses nothing: the customer keeps the code and place it has.
    if (m_lookup->exec() != QDialog::Accepted || !m_lookup->hasChoice())
        return;
    if (!customer().isEditing())
        customer().edit();
    const db::DataSet &places = dmInvoice->tblPostAddrClone;
    customer()
        .fieldByName(QStringLiteral("POSTALCODE"))
        .setValue(places.fieldByName(QStringLiteral("POSTALCODE")).value());
    customer()
        .fieldByName(QStringLiteral("POSTALADDRESS"))
        .setValue(places.fieldByName(QStringLiteral("POSTALADDRESS")).value());
}

void TfrmCustomerEdit::openInvoice()
{
    const db::DataSet &invoices = dmInvoice->qryCustInvoiceList;
    if (!invoices.isActive() || invoices.isEmpty())
        return;
    TfrmInvoiceEdit edit(this);
    if (!edit.LoadInvoice(invoices.fieldByName(QStringLiteral("INV_ID")).asInteger()))
        return;
    if (edit.exec() == QDialog::Accepted)
        dmInvoice->qryCustInvoiceList.requery();
}

bool TfrmCustomerEdit::eventFilter(QObject *watched, QEvent *event)
{
    TframeCustomer1 *block = ui->frameCustomer1->block();
    if (watched == block->edit("edtPostalCode")) {
        if (event->type() == QEvent::FocusOut && QApplication::focusWidget() == block->lookupButton())
            RunCommand([this] { completePostalAddress(); });
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                key->modifiers() == Qt::ControlModifier) {
                RunCommand([this] { LookupPostalAddress(); });
                return true;
            }
        }
    }
    if (watched == ui->gridInvliceList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            RunCommand([this] { openInvoice(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmCustomerEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        updateCaption();
    }
    QWidget::changeEvent(event);
}
