#include "fInvEdit.h"

#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "fInvNote.h"
#include "fLookupItems.h"
#include "ui_fInvEdit.h"
#include "widgets/ActionButton.h"
#include "widgets/DataControls.h"
#include "widgets/DatePicker.h"
#include "widgets/IdleUpdate.h"
#include "windows/customers/fCustSelect.h"
#include "windows/invoicing/InvoiceOutput.h"
#include "windows/main/Help.h"
#include "windows/main/uMsgStrs.h"
#include "windows/settings/UserSettings.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

TdmInvoice &dm()
{
    return *dmInvoice;
}

db::DataSet &header()
{
    return dmInvoice->tblInvoiceEdit;
}

db::DataSet &lines()
{
    return dmInvoice->tblInvoiceItems;
}

// The item code cell: a line edit with a button that opens the item lookup.
class ItemCodeDelegate : public QStyledItemDelegate {
public:
    ItemCodeDelegate(TfrmInvoiceEdit *window, QObject *parent) : QStyledItemDelegate(parent), m_window(window) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            QAction *lookup =
                line->addAction(QIcon::fromTheme(QStringLiteral("edit-find")), QLineEdit::TrailingPosition);
            lookup->setObjectName(QStringLiteral("actItemLookup"));
            lookup->setText(QStringLiteral("…"));
            lookup->setToolTip(TfrmInvoiceEdit::tr("Pick an item from the catalogue (Alt+Down)"));
            lookup->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
            lookup->setShortcutContext(Qt::WidgetShortcut);
            line->addAction(lookup);
            // The pick runs after the editor is gone, so that it does not write its text over the item.
            QObject::connect(lookup, &QAction::triggered, m_window,
                             [window = m_window] { QTimer::singleShot(0, window, &TfrmInvoiceEdit::PickItem); });
        }
        return editor;
    }

private:
    TfrmInvoiceEdit *m_window;
};

} // namespace

TfrmInvoiceEdit::TfrmInvoiceEdit(QWidget *parent)
    : TransactionDialog(parent), ui(std::make_unique<Ui::TfrmInvoiceEdit>()), m_note(nullptr)
{
    ui->setupUi(this);
    // No close box: the window ends through OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    attachHelp(this, ui->btnHelp);

    ui->frameCustomer1->setDataSet(&header());
    ui->frameCustomer1->setReadOnly(true);
    ui->frameInvoice->setDataSet(&header());
    ui->gridInvItems->setDataSet(&lines(), {{QStringLiteral("ITEM_NO"), QString(), 56},
                                            {QStringLiteral("ITEM_DESC"), QString(), 171},
                                            {QStringLiteral("NUM"), QString(), 46},
                                            {QStringLiteral("NETPRICE"), tr("Net price"), 69},
                                            {QStringLiteral("VAT"), tr("VAT%"), 41},
                                            {QStringLiteral("GROSSFAKE"), tr("Gross price")},
                                            {QStringLiteral("DISCOUNT"), tr("Discount"), 50},
                                            {QStringLiteral("ITEMNETSUM"), tr("Net sum"), 0, {}, true},
                                            {QStringLiteral("ITEMVAT"), tr("VAT sum"), 0, {}, true},
                                            {QStringLiteral("ITEMSUM"), tr("Gross sum"), 0, {}, true}});
    ui->gridInvItems->setConfirmDelete(true);
    ui->gridInvItems->setItemDelegateForColumn(0, new ItemCodeDelegate(this, ui->gridInvItems));
    for (const auto &[edit, field] : {std::pair{ui->edtNetTotal, "NETTOTAL"}, std::pair{ui->edtSumVat, "SUMVAT"},
                                      std::pair{ui->edtGrossSum, "GROSSSUM"}}) {
        edit->setField(&header(), QLatin1String(field));
        shadeReadOnly(edit, true);
        // Room for a total in the millions, minus sign and separators included.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-9 999 999,99")) + 16);
    }

    // The designed size, or larger where the lines' columns and the fields need it on this screen.
    resize(
        std::max({width(), windowWidthForGrid(this, ui->gridInvItems), minimumSizeHint().width()}),
        std::max(height(), minimumSizeHint().height() + 8 * ui->gridInvItems->verticalHeader()->defaultSectionSize()));

    // Creation: placement, the catalogue, the transaction, the calendars, the note window, money without
    // a currency symbol.
    RegSettings().RestoreWindowState(this);
    dm().tblLookupItem.open();
    beginTransaction();
    for (DBEdit *edit : ui->frameInvoice->dateEdits())
        InjectDateTimePicker(edit);
    m_note = new TfrmInvoiceNote(this);
    Format::clearCurrencySymbol();

    connectActions();
    // Keys reach the window before its controls: Insert anywhere adds a line.
    qApp->installEventFilter(this);
    ui->gridInvItems->installEventFilter(this);
    addIdleHandler(this, [this] { updateActions(); });
    updateActions();
}

TfrmInvoiceEdit::~TfrmInvoiceEdit()
{
    qApp->removeEventFilter(this);
    RegSettings().SaveWindowState(this);
    if (!dmInvoice)
        return;
    try {
        rollBackTransaction();
        dm().qryInvoiceCustomer.close();
        lines().close();
        header().close();
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
}

void TfrmInvoiceEdit::connectActions()
{
    const std::pair<QPushButton *, QAction *> bound[] = {{ui->btnApply, ui->actApply},
                                                         {ui->btnPreview, ui->actPreview},
                                                         {ui->btnPrint, ui->actPrint},
                                                         {ui->btnSave, ui->actToPDF},
                                                         {ui->btnRound, ui->actRound}};
    for (const auto &[button, action] : bound)
        bindButtonToAction(button, action);
    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmInvoiceEdit::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfrmInvoiceEdit::reject);
    connect(ui->actApply, &QAction::triggered, this, [this] { RunCommand([this] { StoreEdits(); }); });
    connect(ui->actPreview, &QAction::triggered, this, [this] { output(InvoiceOutput::Preview); });
    connect(ui->actPrint, &QAction::triggered, this, [this] { output(InvoiceOutput::Print); });
    connect(ui->actToPDF, &QAction::triggered, this, [this] { output(InvoiceOutput::PdfFile); });
    connect(ui->actRound, &QAction::triggered, this, [this] { RunCommand([this] { RoundTotal(); }); });
    connect(ui->btnChangeCustomer, &QPushButton::clicked, this,
            [this] { RunCommand([this] { btnChangeCustomerClick(); }); });
    connect(ui->frameInvoice->invoiceNoticeButton(), &QPushButton::clicked, this,
            [this] { RunCommand([this] { btnInvoiceNoticeClick(); }); });

    // The navigator of the lines. Its buttons take no focus, so a cell may still be open in the grid:
    // what was typed there goes into its line first.
    connect(ui->btnNavInsert, &QToolButton::clicked, this, [this] {
        RunCommand([this] { appendLine(); });
        ui->gridInvItems->setFocus();
    });
    connect(ui->btnNavDelete, &QToolButton::clicked, this, [] {
        if (!lines().isEmpty() && MsgConfirm(DBGrid::tr("Delete record?")))
            RunCommand([] { lines().remove(); });
    });
    connect(ui->btnNavPost, &QToolButton::clicked, this, [this] {
        RunCommand([this] {
            ui->gridInvItems->commitPendingEdit();
            if (lines().isEditing())
                lines().post();
        });
    });

    // A new line starts in its item code cell.
    connect(&lines(), &db::DataSet::stateChanged, this, [this] {
        if (lines().state() == db::DataSet::State::Insert && lines().recNo() >= 0)
            ui->gridInvItems->setCurrentIndex(ui->gridInvItems->model()->index(lines().recNo(), 0));
    });
    connect(ui->gridInvItems->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmInvoiceEdit::gridCurrentChanged);
}

// The customer's columns of the header are looked up in qryInvoiceCustomer: it is open before the header
// is read, so that the customer shows from the start.
bool TfrmInvoiceEdit::LoadInvoice(qint64 invoiceId)
{
    dm().qryInvoiceCustomer.open();
    header().close();
    header().setParam(QStringLiteral("INVOICEID"), invoiceId);
    header().open();
    if (header().isEmpty()) {
        header().close();
        header().open();
    }
    lines().open();
    return !header().isEmpty();
}

bool TfrmInvoiceEdit::StartNewInvoice(qint64 customerId)
{
    dm().qryInvoiceCustomer.open();
    header().close();
    header().setParam(QStringLiteral("INVOICEID"), -1);
    header().open();
    lines().open();
    header().append();
    header().fieldByName(QStringLiteral("CUST_ID")).setValue(customerId);
    return true;
}

void TfrmInvoiceEdit::appendLine()
{
    ui->gridInvItems->commitPendingEdit();
    lines().append();
}

void TfrmInvoiceEdit::FocusLines()
{
    ui->gridInvItems->setFocus();
}

void TfrmInvoiceEdit::StoreEdits()
{
    ui->gridInvItems->commitPendingEdit();
    if (header().isEditing()) {
        m_changesPosted = true;
        header().updateRecord();
        header().post();
    }
    if (lines().isEditing()) {
        m_changesPosted = true;
        lines().post();
    }
}

bool TfrmInvoiceEdit::hasPendingChanges() const
{
    return header().isEditing() || lines().isEditing() || ui->gridInvItems->isCellEditing();
}

void TfrmInvoiceEdit::updateActions()
{
    const bool pending = hasPendingChanges();
    ui->actApply->setEnabled(pending);
    // Output and rounding need a stored invoice without pending changes.
    const bool stored = header().isActive() && !header().isEmpty() && !pending;
    for (QAction *action : {ui->actPreview, ui->actPrint, ui->actToPDF, ui->actRound})
        action->setEnabled(stored);
}

void TfrmInvoiceEdit::output(InvoiceOutput mode)
{
    RunCommand([&] {
        const qint64 id = header().fieldByName(QStringLiteral("INV_ID")).asInteger();
        OutputInvoice(this, id, mode);
    });
}

// Cancel discards everything done since the window opened, so it asks when anything was: an edit pending
// or posted, or rows written by what the window ran (a print stamps its date).
bool TfrmInvoiceEdit::hasChanges() const
{
    return hasPendingChanges() || m_changesPosted || changedSinceStart();
}

bool TfrmInvoiceEdit::confirmDiscard()
{
    return MsgConfirm(tr("Discard the changes made to this invoice?"));
}

void TfrmInvoiceEdit::discardEdits()
{
    ui->gridInvItems->discardPendingEdit();
    if (lines().isEditing())
        lines().cancel();
    if (header().isEditing())
        header().cancel();
}

void TfrmInvoiceEdit::showEvent(QShowEvent *event)
{
    TransactionDialog::showEvent(event);
    if (m_noticeShown)
        return;
    m_noticeShown = true;
    const bool paid = !header().isEmpty() && (!header().fieldByName(QStringLiteral("PAIDDATE")).isNull() ||
                                              !header().fieldByName(QStringLiteral("SUMPAID")).isNull());
    if (paid)
        QTimer::singleShot(0, this, [] { MsgInformation(uMsgStrs::sInvoicePaid()); });
}

bool TfrmInvoiceEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Insert) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && QApplication::activeModalWidget() == this) {
            RunCommand([this] { appendLine(); });
            ui->gridInvItems->setFocus();
            return true;
        }
    }
    // A new line the user left untouched goes when the focus leaves the grid.
    // (Only for the focus going to another control of this window: a dialog opened from the line, such as
    // the item lookup, leaves it alone.)
    if (watched == ui->gridInvItems && event->type() == QEvent::FocusOut && !ui->gridInvItems->isCellEditing()) {
        const QWidget *next = QApplication::focusWidget();
        const bool withinWindow = next && next->window() == this && !ui->gridInvItems->isAncestorOf(next);
        if (withinWindow && lines().state() == db::DataSet::State::Insert && !lines().isModified())
            RunCommand([] { lines().cancel(); });
    }
    return TransactionDialog::eventFilter(watched, event);
}

// Leaving the item code cell with a code typed into a line without a description fills the line from
// the catalogue (exact code); an unknown code is left as it is.
void TfrmInvoiceEdit::gridCurrentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    const int codeColumn = ui->gridInvItems->dataModel()->columnOf(QStringLiteral("ITEM_NO"));
    if (!previous.isValid() || previous.column() != codeColumn || current.column() == codeColumn)
        return;
    if (!ui->gridInvItems->hasFocus() && !ui->gridInvItems->isAncestorOf(QApplication::focusWidget()))
        return;
    if (!lines().isActive() || lines().isEmpty() || previous.row() != lines().recNo())
        return;
    if (!lines().fieldByName(QStringLiteral("ITEM_DESC")).asString().isEmpty())
        return;
    const QString code = lines().fieldByName(QStringLiteral("ITEM_NO")).asString();
    if (code.isEmpty())
        return;
    RunCommand([&] {
        db::DataSet &catalogue = dm().tblLookupItem;
        if (catalogue.locate(QStringLiteral("ITEM_NO"), code))
            FillLineFromItem();
    });
}

void TfrmInvoiceEdit::FillLineFromItem()
{
    db::DataSet &catalogue = dm().tblLookupItem;
    if (catalogue.isEmpty())
        return;
    if (!lines().isEditing())
        lines().edit();
    lines().fieldByName(QStringLiteral("ITEM_NO")).setValue(catalogue.fieldByName(QStringLiteral("ITEM_NO")).value());
    lines()
        .fieldByName(QStringLiteral("ITEM_DESC"))
        .setText(catalogue.fieldByName(QStringLiteral("ITEM_DESC")).asString());
    lines().fieldByName(QStringLiteral("NETPRICE")).setValue(catalogue.fieldByName(QStringLiteral("NETPRICE")).value());
    lines().fieldByName(QStringLiteral("VAT")).setValue(catalogue.fieldByName(QStringLiteral("VAT")).value());
}

void TfrmInvoiceEdit::PickItem()
{
    RunCommand([this] {
        const db::Field *selected = ui->gridInvItems->fieldAt(ui->gridInvItems->currentIndex().column());
        if (!selected || selected->name() != QLatin1String("ITEM_NO"))
            return;
        ui->gridInvItems->discardPendingEdit();
        TfrmLookupItems lookup(this);
        if (lookup.exec() == QDialog::Accepted)
            FillLineFromItem();
    });
}

void TfrmInvoiceEdit::btnChangeCustomerClick()
{
    const qint64 chosen = SelectCustomer(this, header().fieldByName(QStringLiteral("CUST_ID")).asInteger());
    if (chosen == -1)
        return;
    if (!header().isEditing())
        header().edit();
    header().fieldByName(QStringLiteral("CUST_ID")).setValue(chosen);
}

void TfrmInvoiceEdit::btnInvoiceNoticeClick()
{
    m_note->setNoteText(header().fieldByName(QStringLiteral("INV_NOTE")).asString());
    if (m_note->exec() != QDialog::Accepted)
        return;
    if (!header().isEditing())
        header().edit();
    header().fieldByName(QStringLiteral("INV_NOTE")).setValue(m_note->NoteText());
}

// The rounding line: at most one per invoice, no VAT, its net price the difference to the nearest whole
// kroner (a half to the even neighbour), so the gross total becomes whole and the VAT total stays.
void TfrmInvoiceEdit::RoundTotal()
{
    const QVariant id = header().fieldByName(QStringLiteral("INV_ID")).value();
    if (lines().locate(QStringLiteral("INV_ID;ITEM_ID"), QVariantList{id, RoundingLineId}))
        lines().remove();
    const db::Field &gross = header().fieldByName(QStringLiteral("GROSSSUM"));
    if (gross.isNull())
        throw Error(tr("The invoice has no gross total to round yet"));
    const Money total = gross.asMoney();
    const Money whole = total.roundedToKroner();
    lines().append();
    lines().fieldByName(QStringLiteral("ITEM_DESC")).setValue(uMsgStrs::sRoundingLine());
    lines().fieldByName(QStringLiteral("ITEM_ID")).setValue(RoundingLineId);
    lines().fieldByName(QStringLiteral("VAT")).setValue(0.0);
    lines().fieldByName(QStringLiteral("NUM")).setValue(1.0);
    lines().fieldByName(QStringLiteral("NETPRICE")).setValue(QVariant::fromValue(whole - total));
    lines().post();
}

void TfrmInvoiceEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    TransactionDialog::changeEvent(event);
}
