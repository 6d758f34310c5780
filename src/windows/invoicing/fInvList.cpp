#include "fInvList.h"

#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fInvEdit.h"
#include "fInvPay.h"
#include "ui_fInvList.h"
#include "widgets/Application.h"
#include "widgets/DataControls.h"
#include "widgets/SortDataSet.h"
#include "windows/invoicing/InvoiceOutput.h"
#include "windows/main/Help.h"
#include "windows/main/fMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

db::DataSet &invoices()
{
    return dmInvoice->tblInvoiceList;
}

// The busy cursor while the list is read.
class BusyCursor {
public:
    BusyCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TfrmInvoiceList::TfrmInvoiceList(QWidget *parent)
    : TInvoiceListWindow(parent), ui(std::make_unique<Ui::TfrmInvoiceList>())
{
    ui->setupUi(this);
    ui->ToolBar1->setFixedWidth(49);
    ui->ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: rgb(255, 255, 144); border: none; }"));
    ui->ToolBar1->setIconSize(QSize(24, 24));
    ui->DBGrid1->setDataSet(&invoices(), {{QStringLiteral("INVOICE_NO"), tr("Invoice #"), 60, Qt::AlignCenter},
                                          {QStringLiteral("NAME"), tr("Name"), 143},
                                          {QStringLiteral("GROSSSUM"), tr("Sum"), 60},
                                          {QStringLiteral("INVDATE"), tr("Date"), 80},
                                          {QStringLiteral("DUEDATE"), tr("Due date"), 80},
                                          {QStringLiteral("PRINTDATE"), tr("Printed"), 80},
                                          {QStringLiteral("PAIDDATE"), tr("Paid"), 62},
                                          {QStringLiteral("DAYSOVERDUE"), tr("Days overdue")}});
    ui->DBGrid1->setReadOnly(true);
    ui->DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Overdue invoices (days overdue has a value, 0 included) are red, selected or not.
    const db::Field *overdue = &invoices().fieldByName(QStringLiteral("DAYSOVERDUE"));
    ui->DBGrid1->setRowBackground([overdue](int row) {
        return invoices().valueAt(row, *overdue).isNull() ? QBrush() : QBrush(QColor(255, 0, 0));
    });
    attachHelp(this);
    buildMenu();

    connect(ui->actEdit, &QAction::triggered, this, [this] { RunCommand([this] { EditInvoice(); }); });
    connect(ui->ActDelInvoice, &QAction::triggered, this, [this] { RunCommand([this] { DeleteInvoices(); }); });
    connect(ui->actRefresh, &QAction::triggered, this, [this] { RunCommand([this] { Refresh(); }); });
    connect(ui->actPayInvoice, &QAction::triggered, this, [this] { RunCommand([this] { PayInvoices(); }); });
    connect(ui->actInvoicePreview, &QAction::triggered, this, [this] { Output(InvoiceOutput::Preview); });
    connect(ui->actInvoicePrint, &QAction::triggered, this, [this] { Output(InvoiceOutput::Print); });
    connect(ui->actSavePDF, &QAction::triggered, this, [this] { Output(InvoiceOutput::PdfFile); });
    connect(ui->actInvoiceEmail, &QAction::triggered, this, [this] { Output(InvoiceOutput::EMail); });
    const std::pair<QAction *, int> filters[] = {
        {ui->actFilterAll, 0}, {ui->actFilterUnpaid, 1}, {ui->actFilterOverdue, 2}};
    for (const auto &[action, level] : filters)
        connect(action, &QAction::triggered, this,
                [this, level = level] { RunCommand([this, level] { SetFilter(level); }); });
    connect(ui->DBGrid1, &QAbstractItemView::doubleClicked, ui->actEdit, &QAction::trigger);
    connect(ui->DBGrid1, &DBGrid::titleClicked, this,
            [](db::Field *field) { SortDataSet(&invoices(), field->name()); });
    ui->DBGrid1->installEventFilter(this);
    // No invoice to output in an empty list.
    const auto followRows = [this] {
        const bool any = invoices().isActive() && !invoices().isEmpty();
        for (QAction *a : {ui->actInvoicePreview, ui->actInvoicePrint, ui->actSavePDF, ui->actInvoiceEmail})
            a->setEnabled(any);
    };
    connect(&invoices(), &db::DataSet::reset, this, followRows);

    Format::clearCurrencySymbol();
    RunCommand([] {
        if (!invoices().isActive())
            invoices().open();
    });
    followRows();
}

TfrmInvoiceList::~TfrmInvoiceList()
{
    try {
        if (dmInvoice)
            invoices().close();
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
}

void TfrmInvoiceList::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuInvoiceList"));
    setMenuGroup(m_menu, 40);
    auto *filter = new QMenu(m_menu);
    filter->setObjectName(QStringLiteral("Filter1"));
    filter->addActions({ui->actFilterAll, ui->actFilterUnpaid, ui->actFilterOverdue});
    m_menu->addActions({ui->actEdit, ui->ActDelInvoice, ui->actRefresh});
    m_menu->addMenu(filter);
    m_menu->addSeparator();
    m_menu->addActions(
        {ui->actInvoicePreview, ui->actInvoicePrint, ui->actInvoiceEmail, ui->actSavePDF, ui->actPayInvoice});
    // The grid's context menu holds the same commands.
    ui->DBGrid1->addActions(m_menu->actions());
    changeEvent(nullptr);
}

qint64 TfrmInvoiceList::currentInvoiceId() const
{
    if (!invoices().isActive() || invoices().isEmpty())
        return -1;
    const db::Field &id = invoices().fieldByName(QStringLiteral("INV_ID"));
    return id.isNull() ? -1 : id.asInteger();
}

void TfrmInvoiceList::Refresh()
{
    BusyCursor busy;
    db::DataSet &list = invoices();
    const qint64 id = currentInvoiceId();
    list.close();
    list.open();
    if (id != -1 && !list.locate(QStringLiteral("INV_ID"), id))
        list.first();
}

void TfrmInvoiceList::SetFilter(int level)
{
    BusyCursor busy;
    dmInvoice->SetInvoiceListFilter(level);
}

void TfrmInvoiceList::EditInvoice()
{
    const qint64 id = currentInvoiceId();
    if (id == -1)
        return;
    TfrmInvoiceEdit edit(this);
    if (!edit.LoadInvoice(id))
        return;
    if (edit.exec() == QDialog::Accepted)
        Refresh();
}

// The marked invoices from the last to the first, or the current one when none is marked; each asked
// for unless "Yes to All" was answered.
void TfrmInvoiceList::DeleteInvoices()
{
    struct Target {
        qint64 id, number;
    };
    std::vector<Target> targets;
    const db::Field &idField = invoices().fieldByName(QStringLiteral("INV_ID"));
    const db::Field &numberField = invoices().fieldByName(QStringLiteral("INVOICE_NO"));
    QModelIndexList marked = ui->DBGrid1->selectionModel()->selectedRows();
    if (marked.isEmpty() && currentInvoiceId() != -1)
        marked << ui->DBGrid1->model()->index(invoices().recNo(), 0);
    for (qsizetype i = marked.size() - 1; i >= 0; --i)
        targets.push_back({invoices().valueAt(marked[i].row(), idField).toLongLong(),
                           invoices().valueAt(marked[i].row(), numberField).toLongLong()});
    const bool several = targets.size() >= 2;
    bool ask = true;
    try {
        for (const Target &t : targets)
            if (!dmInvoice->DeleteInvoice(t.id, t.number, several, ask))
                break;
    } catch (...) {
        Refresh();
        throw;
    }
    ui->DBGrid1->setCurrentIndex(ui->DBGrid1->model()->index(std::max(0, invoices().recNo()), 0));
    Refresh();
}

void TfrmInvoiceList::PayInvoices()
{
    TfrmInvoicePay pay(this);
    pay.setStartInvoice(currentInvoiceId());
    if (pay.exec() == QDialog::Accepted)
        Refresh();
}

void TfrmInvoiceList::Output(InvoiceOutput mode)
{
    RunCommand([&] {
        const qint64 id = currentInvoiceId();
        if (id != -1)
            OutputInvoice(this, id, mode);
    });
}

bool TfrmInvoiceList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->DBGrid1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                ui->actEdit->trigger();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                ui->ActDelInvoice->trigger();
                return true;
            }
        }
    }
    return TInvoiceListWindow::eventFilter(watched, event);
}

void TfrmInvoiceList::changeEvent(QEvent *event)
{
    if (event && event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    if (m_menu) {
        m_menu->setTitle(tr("&Invoice"));
        m_menu->findChild<QMenu *>(QStringLiteral("Filter1"))->setTitle(tr("Filter"));
        m_menu->findChild<QMenu *>(QStringLiteral("Filter1"))
            ->menuAction()
            ->setStatusTip(tr("Filter out invoices in list on a criteria"));
    }
    if (event)
        TInvoiceListWindow::changeEvent(event);
}
