#include "fCustList.h"

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fCustEdit.h"
#include "ui_fCustList.h"
#include "widgets/DataControls.h"
#include "widgets/IdleUpdate.h"
#include "widgets/SortDataSet.h"
#include "windows/invoicing/fInvEdit.h"
#include "windows/main/Help.h"
#include "windows/main/fMain.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

db::DataSet &customers()
{
    return dmInvoice->tblCustomer;
}

} // namespace

TfrmCustomerList::TfrmCustomerList(TMainInterface &main, QWidget *parent)
    : TCustomerListWindow(parent), ui(std::make_unique<Ui::TfrmCustomerList>()), m_main(main)
{
    ui->setupUi(this);
    ui->ToolBar1->setFixedWidth(48);
    ui->ToolBar1->setIconSize(QSize(24, 24));
    ui->ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: palette(highlight); border: none; }"));
    ui->gridCustomers->setDataSet(&customers(), {{QStringLiteral("CUST_NO"), tr("Cust #"), 48, Qt::AlignCenter},
                                                 {QStringLiteral("FIRSTNAME"), tr("Firstname"), 100},
                                                 {QStringLiteral("SURNAME"), tr("Surname"), 110},
                                                 {QStringLiteral("ADDRESS"), tr("Address"), 140},
                                                 {QStringLiteral("POSTALCODE"), tr("Postcode"), 54},
                                                 {QStringLiteral("POSTALADDRESS"), tr("Postaddress"), 90},
                                                 {QStringLiteral("EMAIL"), tr("E-mail"), 104},
                                                 {QStringLiteral("STATUS"), tr("Status")}});
    ui->gridCustomers->setReadOnly(true);
    ui->gridCustomers->setSelectionMode(QAbstractItemView::ExtendedSelection);
    attachHelp(this);
    buildMenu();

    connect(ui->actDataSetEdit, &QAction::triggered, this, [this] { RunCommand([this] { EditCustomer(); }); });
    connect(ui->actDataSetDelete, &QAction::triggered, this, [this] { RunCommand([this] { DeleteCustomers(); }); });
    connect(ui->actDataSetInsert, &QAction::triggered, this, [this] { RunCommand([this] { NewCustomer(); }); });
    connect(ui->actNewInvoice, &QAction::triggered, this, [this] { RunCommand([this] { NewInvoice(); }); });
    connect(ui->DataSetRefresh1, &QAction::triggered, this, [this] { RunCommand([this] { Refresh(); }); });
    connect(ui->gridCustomers, &QAbstractItemView::doubleClicked, ui->actDataSetEdit, &QAction::trigger);
    connect(ui->gridCustomers, &DBGrid::titleClicked, this,
            [](db::Field *field) { SortDataSet(&customers(), field->name()); });
    ui->actDataSetEdit->setShortcut(QKeySequence(Qt::Key_Return));
    ui->actDataSetDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    ui->actDataSetInsert->setShortcut(QKeySequence(Qt::Key_Insert));
    for (QAction *action : {ui->actDataSetEdit, ui->actDataSetDelete, ui->actDataSetInsert, ui->DataSetRefresh1})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addActions({ui->actDataSetEdit, ui->actDataSetDelete, ui->actDataSetInsert, ui->DataSetRefresh1});
    addIdleHandler(this, [this] { updateActions(); });

    RunCommand([] {
        if (!customers().isActive())
            customers().open();
    });
    updateActions();
    ui->gridCustomers->setFocus();
}

TfrmCustomerList::~TfrmCustomerList()
{
    try {
        if (dmInvoice)
            customers().close();
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
    // The edit window goes with the list, with its frame when it sits in one.
    QWidget *frame = m_edit ? qobject_cast<QMdiSubWindow *>(m_edit->parentWidget()) : nullptr;
    delete (frame ? frame : m_edit.data());
}

TfrmCustomerEdit *TfrmCustomerList::editWindow() const
{
    return m_edit;
}

void TfrmCustomerList::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuCustomerList"));
    setMenuGroup(m_menu, 30);
    m_menu->addActions({ui->actDataSetEdit, ui->actDataSetInsert, ui->actDataSetDelete, ui->DataSetRefresh1});
    m_menu->addSeparator();
    m_menu->addAction(ui->actNewInvoice);
    // The grid's context menu: the same, with Ctrl+I on its New Invoice.
    auto *newInvoice = new QAction(this);
    newInvoice->setObjectName(QStringLiteral("actNewInvoiceContext"));
    newInvoice->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    newInvoice->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(newInvoice, &QAction::triggered, ui->actNewInvoice, &QAction::trigger);
    connect(ui->actNewInvoice, &QAction::changed, newInvoice, [this, newInvoice] {
        newInvoice->setText(ui->actNewInvoice->text());
        newInvoice->setIcon(ui->actNewInvoice->icon());
    });
    newInvoice->setText(ui->actNewInvoice->text());
    newInvoice->setIcon(ui->actNewInvoice->icon());
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    ui->gridCustomers->addActions(
        {ui->actDataSetEdit, ui->actDataSetInsert, ui->actDataSetDelete, ui->DataSetRefresh1, separator, newInvoice});
    m_menu->setTitle(tr("&Customer"));
}

void TfrmCustomerList::updateActions()
{
    const bool open = dmInvoice && customers().isActive();
    ui->actDataSetEdit->setEnabled(open && !customers().isEditing());
    ui->actDataSetDelete->setEnabled(open && !customers().isEmpty());
    ui->DataSetRefresh1->setEnabled(open);
}

void TfrmCustomerList::EditCustomer()
{
    ui->gridCustomers->clearSelection();
    if (!m_edit)
        m_edit = new TfrmCustomerEdit;
    m_main.ShowChildWindow(m_edit);
}

void TfrmCustomerList::NewCustomer()
{
    ui->gridCustomers->clearSelection();
    customers().append();
    EditCustomer();
}

// One invoice, for the current customer: not for a customer not yet stored.
void TfrmCustomerList::NewInvoice()
{
    if (!customers().isActive() || customers().isEmpty())
        return;
    const db::Field &id = customers().fieldByName(QStringLiteral("CUST_ID"));
    if (id.isNull())
        return;
    TfrmInvoiceEdit edit(this);
    edit.StartNewInvoice(id.asInteger());
    edit.FocusLines();
    if (edit.exec() == QDialog::Accepted && edit.ChangesPosted())
        dmInvoice->RequestInvoiceListRefresh();
}

void TfrmCustomerList::DeleteCustomers()
{
    if (!MsgConfirm(tr("Delete selected customer(s) and related invoices?")))
        return;
    QModelIndexList marked = ui->gridCustomers->selectionModel()->selectedRows();
    std::sort(marked.begin(), marked.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() > b.row(); });
    try {
        if (marked.isEmpty()) {
            customers().remove();
        } else {
            for (const QModelIndex &row : marked) {
                customers().setRecNo(row.row());
                customers().remove();
            }
        }
    } catch (...) {
        ui->gridCustomers->setCurrentIndex(ui->gridCustomers->model()->index(std::max(0, customers().recNo()), 0));
        throw;
    }
    ui->gridCustomers->setCurrentIndex(ui->gridCustomers->model()->index(std::max(0, customers().recNo()), 0));
}

// A customer still being written (its edit window closed by the close box) is stored first, as moving to
// another row stores it: re-reading must not drop what the list shows. A new record left untouched goes.
void TfrmCustomerList::Refresh()
{
    db::DataSet &list = customers();
    list.checkBrowseMode();
    const QVariant id = list.isEmpty() ? QVariant() : list.fieldByName(QStringLiteral("CUST_ID")).value();
    list.close();
    list.open();
    if (id.isValid())
        list.locate(QStringLiteral("CUST_ID"), id);
}

// A customer change never goes without a word: saved, dropped, or the windows stay open.
void TfrmCustomerList::closeEvent(QCloseEvent *event)
{
    if (dmInvoice && customers().isActive()) {
        try {
            customers().updateRecord();
        } catch (const std::exception &e) {
            ShowException(e);
            event->ignore();
            return;
        }
        if (customers().isEditing() && customers().isModified()) {
            const MsgAnswer answer =
                messageDialog(MsgType::Confirmation, tr("Save the changes to this customer?"), MsgButtons::YesNoCancel);
            try {
                if (answer == MsgAnswer::Yes)
                    customers().post();
                else if (answer == MsgAnswer::No)
                    customers().cancel();
                else {
                    event->ignore();
                    return;
                }
            } catch (const std::exception &e) {
                ShowException(e);
                event->ignore();
                return;
            }
        } else if (customers().isEditing()) {
            customers().cancel();
        }
    }
    TCustomerListWindow::closeEvent(event);
}

void TfrmCustomerList::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (m_menu)
            m_menu->setTitle(tr("&Customer"));
    }
    TCustomerListWindow::changeEvent(event);
}
