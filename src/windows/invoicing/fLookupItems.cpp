#include "fLookupItems.h"

#include "core/Errors.h"
#include "core/Messages.h"
#include "data/dInvoice.h"
#include "ui_fLookupItems.h"
#include "widgets/DataControls.h"
#include "widgets/SortDataSet.h"
#include "windows/main/Help.h"

namespace {

db::DataSet &catalogue()
{
    return dmInvoice->tblLookupItem;
}

} // namespace

TfrmLookupItems::TfrmLookupItems(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmLookupItems>())
{
    ui->setupUi(this);
    attachHelp(this, ui->btnHelp);
    ui->DBGrid1->setDataSet(&catalogue(), {{QStringLiteral("ITEM_NO"), tr("Item code"), 55},
                                           {QStringLiteral("ITEM_DESC"), tr("Description"), 200},
                                           {QStringLiteral("NETPRICE"), tr("Net price"), 77},
                                           {QStringLiteral("VAT"), tr("VAT%"), 55},
                                           {QStringLiteral("GROSSPRICE"), tr("Gross price"), 66}});
    ui->DBGrid1->setConfirmDelete(true);
    fitFixedSize(this, ui->DBGrid1);
    connect(ui->edtDescFilter, &QLineEdit::textChanged, this, &TfrmLookupItems::edtDescFilterChange);
    connect(ui->chkReadOnly, &QCheckBox::toggled, this, &TfrmLookupItems::chkReadOnlyClick);
    connect(ui->DBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_closeOnDoubleClick)
            accept();
    });
    ui->edtDescFilter->installEventFilter(this);
    chkReadOnlyClick(ui->chkReadOnly->isChecked());
    m_savedSortField = catalogue().sortField();
    SortDataSet(&catalogue(), QStringLiteral("ITEM_DESC"));
    ui->edtDescFilter->setFocus();
}

TfrmLookupItems::~TfrmLookupItems()
{
    restoreCatalogue();
}

void TfrmLookupItems::restoreCatalogue()
{
    if (!dmInvoice)
        return;
    try {
        db::DataSet &items = catalogue();
        if (items.isActive()) {
            if (items.isEditing())
                items.cancel();
            SortDataSet(&items, m_savedSortField);
        }
        items.setFiltered(false);
        items.setFilter(QString());
    } catch (const std::exception &e) {
        MsgError(QString::fromUtf8(e.what()));
    }
}

void TfrmLookupItems::setReadOnly(bool readOnly)
{
    ui->chkReadOnly->setChecked(readOnly);
    chkReadOnlyClick(readOnly);
}

void TfrmLookupItems::chkReadOnlyClick(bool readOnly)
{
    ui->DBGrid1->setReadOnly(readOnly);
}

// The description filter: the items whose description begins with the typed text. What the user types
// is taken literally; only the appended * is a wildcard.
void TfrmLookupItems::edtDescFilterChange(const QString &text)
{
    db::DataSet &items = catalogue();
    try {
        // A row being written is saved before the list changes under it.
        items.checkBrowseMode();
    } catch (const SilentAbort &) {
        return;
    } catch (const Error &e) {
        // A row that cannot be saved keeps the list as it is; its reason is said once, not at every key.
        if (e.message() != m_refusal)
            ShowErrorText(e.message());
        m_refusal = e.message();
        return;
    }
    m_refusal.clear();
    RunCommand([&] {
        items.setFiltered(false);
        items.setFilter(db::DataSet::prefixFilter(QStringLiteral("ITEM_DESC"), text));
        items.setFiltered(!text.isEmpty());
    });
}

bool TfrmLookupItems::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->edtDescFilter && downIntoGrid(event, ui->DBGrid1))
        return true;
    return QDialog::eventFilter(watched, event);
}

// A row being written is saved first; a refused row keeps the window open.
void TfrmLookupItems::accept()
{
    try {
        ui->DBGrid1->commitPendingEdit();
        if (catalogue().isEditing())
            catalogue().post();
    } catch (const SilentAbort &) {
        return;
    } catch (const std::exception &e) {
        ShowException(e);
        return;
    }
    QDialog::accept();
}

void TfrmLookupItems::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void TfrmLookupItems::EditCatalogue(QWidget *owner)
{
    TdmInvoice &dm = *dmInvoice;
    // Open before the window is made, which sorts the open catalogue by description.
    dm.tblLookupItem.open();
    try {
        TfrmLookupItems window(owner);
        window.setReadOnly(false);
        window.setCloseOnDoubleClick(false);
        // Declared after the window, so that the rollback comes before the window puts the catalogue back.
        db::Transaction change(dm.conInvoice);
        if (window.exec() == QDialog::Accepted)
            change.commit();
    } catch (...) {
        dm.tblLookupItem.close();
        throw;
    }
    dm.tblLookupItem.close();
}
