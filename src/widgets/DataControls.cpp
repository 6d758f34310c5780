#include "DataControls.h"

#include "core/DataSet.h"
#include "core/Errors.h"
#include "core/Format.h"
#include "core/Messages.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextCursor>

namespace {

// Runs a user's action on a dataset; a refusal goes to the standard error box.
template <class F> bool guarded(F &&action)
{
    try {
        action();
        return true;
    } catch (const SilentAbort &) {
    } catch (const Error &e) {
        ShowErrorText(e.message());
    }
    return false;
}

// Cells the user cannot change are shaded in a grid that is edited cell by cell.
class ShadingDelegate : public QStyledItemDelegate {
public:
    explicit ShadingDelegate(DBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_grid->isReadOnly() && !(index.flags() & Qt::ItemIsEditable))
            option->backgroundBrush = m_grid->palette().window();
        if (m_grid->rowBackground()) {
            const QBrush row = m_grid->rowBackground()(index.row());
            if (row.style() != Qt::NoBrush) {
                // The row's colour also on a selected row, with the selection's text colour.
                if (option->state & QStyle::State_Selected)
                    option->palette.setColor(QPalette::Text, option->palette.color(QPalette::HighlightedText));
                option->state &= ~QStyle::State_Selected;
                option->backgroundBrush = row;
            }
        }
    }

private:
    DBGrid *m_grid;
};

// A cell that offers a fixed list of texts to choose from; choosing one hands it to the row at once.
class PickListDelegate : public ShadingDelegate {
public:
    PickListDelegate(DBGrid *grid, QStringList items) : ShadingDelegate(grid), m_items(std::move(items)) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->addItems(m_items);
        connect(box, &QComboBox::activated, this, [this, box] {
            auto *self = const_cast<PickListDelegate *>(this);
            Q_EMIT self->commitData(box);
            Q_EMIT self->closeEditor(box);
        });
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(std::max(0, int(box->findText(index.data(Qt::DisplayRole).toString()))));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
    }

private:
    QStringList m_items;
};

} // namespace

// ---------------------------------------------------------------------------------------------------------
// DBGrid

DBGrid::DBGrid(QWidget *parent) : QTableView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setItemDelegate(new ShadingDelegate(this));
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (db::Field *field = fieldAt(section))
            Q_EMIT titleClicked(field);
    });
}

void DBGrid::setDataSet(db::DataSet *dataSet, std::vector<db::GridColumn> columns)
{
    delete m_model;
    m_model = new db::DataSetModel(dataSet, this);
    if (!columns.empty())
        m_model->setColumns(std::move(columns));
    // A column is never narrower than its title, nor a number or date column than its values, in the font
    // of this screen; widths the user gives later are the user's.
    const int charWidth = fontMetrics().averageCharWidth();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const db::Field *field = m_model->fieldAt(column);
        const QString title = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        int needed = horizontalHeader()->fontMetrics().horizontalAdvance(title) + 16;
        if (field && field->type() == db::FieldType::DateTime)
            needed = std::max(
                needed,
                fontMetrics().horizontalAdvance(Format::dateText(QDateTime(QDate(2026, 12, 28), QTime(0, 0)))) + 12);
        else if (field && !db::isTextType(field->type()))
            needed = std::max(needed, field->displayWidth() * charWidth + 10);
        const int designed = m_model->columnWidth(column);
        if (designed < needed)
            m_model->setColumnWidth(column, needed);
    }
    setModel(m_model);
    connect(dataSet, &db::DataSet::currentChanged, this, &DBGrid::followDataSet);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::followDataSet);
    connect(m_model, &db::DataSetModel::editFailed, this, [this](const QString &message) {
        // A text refused once is not reported again when the same editor hands it over once more
        // (leaving the cell after the refusal was shown).
        const bool shown = message == m_shownRefusal;
        m_shownRefusal = message;
        if (m_collectRefusal)
            m_refusal = message;
        else if (!shown)
            ShowErrorText(message);
    });
    // A reset of the rows (a new row, a reload) must not lose the widths the user gave the columns.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!m_following && !m_resetting && section < int(m_model->visibleColumns().size()))
            m_model->setColumnWidth(section, size);
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_resetting = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        m_resetting = false;
    });
    applyWidths();
    followDataSet();
}

int DBGrid::widthForColumns() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (verticalHeader()->isVisible())
        width += verticalHeader()->width();
    for (int column = 0; column < (m_model ? m_model->columnCount() : 0); ++column)
        if (!isColumnHidden(column))
            width += columnWidth(column);
    return width;
}

bool downIntoGrid(QEvent *event, DBGrid *grid)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Down || key->modifiers() != Qt::NoModifier)
        return false;
    grid->setFocus();
    db::DataSet *ds = grid->dataSet();
    if (ds && ds->isActive() && ds->recNo() + 1 < ds->recordCount())
        guarded([&] { ds->next(); });
    return true;
}

void shadeReadOnly(QWidget *control, bool readOnly)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, readOnly ? palette.color(QPalette::Window) : QPalette().color(QPalette::Base));
    control->setPalette(palette);
}

int windowWidthForGrid(const QWidget *window, const DBGrid *grid)
{
    int margins = 0;
    if (const QLayout *layout = window->layout())
        margins = layout->contentsMargins().left() + layout->contentsMargins().right();
    return grid->widthForColumns() + margins;
}

void fitFixedSize(QWidget *dialog, DBGrid *grid)
{
    dialog->setFixedSize(std::max(dialog->width(), windowWidthForGrid(dialog, grid)), dialog->height());
}

db::DataSet *DBGrid::dataSet() const
{
    return m_model ? m_model->dataSet() : nullptr;
}

db::Field *DBGrid::fieldAt(int column) const
{
    return m_model ? m_model->fieldAt(column) : nullptr;
}

void DBGrid::applyWidths()
{
    if (!m_model)
        return;
    m_following = true;
    const int charWidth = fontMetrics().averageCharWidth();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        int width = m_model->columnWidth(column);
        if (width <= 0) {
            const db::Field *field = fieldAt(column);
            width = (field ? field->displayWidth() : 10) * charWidth + 10;
        }
        setColumnWidth(column, width);
    }
    m_following = false;
}

void DBGrid::followDataSet()
{
    db::DataSet *ds = dataSet();
    if (!ds || !ds->isActive() || ds->recNo() < 0)
        return;
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex target = m_model->index(ds->recNo(), column);
    if (target == currentIndex())
        return;
    m_following = true;
    setCurrentIndex(target);
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    db::DataSet *ds = dataSet();
    if (m_following || !ds || !current.isValid() || current.row() == ds->recNo())
        return;
    // Leaving a row saves it; when that is refused the cursor stays where it was.
    if (!guarded([&] { ds->setRecNo(current.row()); }))
        followDataSet();
}

void DBGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (m_model)
        m_model->setReadOnly(readOnly);
    setSelectionBehavior(readOnly ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    if (selectionModel() && currentIndex().isValid())
        selectionModel()->select(currentIndex(),
                                 QItemSelectionModel::ClearAndSelect |
                                     (readOnly ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

QWidget *DBGrid::openEditor() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    // The open cell editor is the visible child of the viewport.
    QWidget *editor = nullptr;
    for (QWidget *child : viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            editor = child;
    return editor;
}

void DBGrid::discardPendingEdit()
{
    if (QWidget *editor = openEditor())
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void DBGrid::commitPendingEdit()
{
    QWidget *editor = openEditor();
    if (!editor)
        return;
    // The model reports a refused text through editFailed; here it stops the caller instead.
    m_collectRefusal = true;
    m_refusal.clear();
    commitData(editor);
    m_collectRefusal = false;
    if (!m_refusal.isEmpty())
        throw Error(m_refusal);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DBGrid::setPickList(int column, const QStringList &items)
{
    setItemDelegateForColumn(column, new PickListDelegate(this, items));
}

void DBGrid::setRowIndicator(bool shown)
{
    verticalHeader()->setVisible(shown);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(shown ? fontMetrics().height() : 0);
    if (shown && dataSet())
        connect(dataSet(), &db::DataSet::currentChanged, verticalHeader()->viewport(), qOverload<>(&QWidget::update),
                Qt::UniqueConnection);
}

void DBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    m_shownRefusal.clear();
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    db::DataSet *ds = dataSet();
    if (ds && ds->isActive() && state() != QAbstractItemView::EditingState && !m_readOnly) {
        if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier &&
            ds->recNo() + 1 >= ds->recordCount() && !(ds->state() == db::DataSet::State::Insert && !ds->isModified())) {
            guarded([&] { ds->append(); });
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier && !ds->isEmpty()) {
            if (!m_confirmDelete || MsgConfirm(tr("Delete record?")))
                guarded([&] { ds->remove(); });
            return;
        }
    }
    if (ds && ds->isActive() && state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            if (m_readOnly)
                return;
            guarded([&] { ds->insert(); });
            return;
        }
        if (event->key() == Qt::Key_Escape && ds->isEditing()) {
            guarded([&] { ds->cancel(); });
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------------------
// FieldLink

FieldLink::FieldLink(QWidget *control, std::function<QString()> read, std::function<void(const QString &)> write)
    : QObject(control), m_control(control), m_read(std::move(read)), m_write(std::move(write))
{
}

void FieldLink::setField(db::DataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    m_pending = false;
    if (dataSet) {
        connect(dataSet, &db::DataSet::reset, this, &FieldLink::refresh);
        connect(dataSet, &db::DataSet::currentChanged, this, &FieldLink::refresh);
        connect(dataSet, &db::DataSet::stateChanged, this, &FieldLink::refresh);
        connect(dataSet, &db::DataSet::rowChanged, this, [this](int row) {
            if (m_dataSet && row == m_dataSet->recNo())
                refresh();
        });
        dataSet->addUpdateRecordHandler(this, [this] { updateRecord(); });
    }
    refresh();
}

db::Field *FieldLink::field() const
{
    return m_dataSet ? m_dataSet->findField(m_fieldName) : nullptr;
}

void FieldLink::refresh()
{
    if (m_pending && m_dataSet && m_dataSet->isEditing())
        return; // the user's text waits to be handed over
    m_pending = false;
    const db::Field *f = field();
    QString text;
    if (f && m_dataSet->isActive())
        text = m_control->hasFocus() ? f->editText() : f->text();
    m_refreshing = true;
    m_write(text);
    m_refreshing = false;
}

void FieldLink::edited()
{
    if (m_refreshing)
        return;
    db::Field *f = field();
    if (!f || !m_dataSet->isActive())
        return;
    // Pending before the record goes into editing, so the state change does not overwrite the typing.
    m_pending = true;
    if (f->isReadOnly() || f->kind() == db::FieldKind::Lookup ||
        (!m_dataSet->isEditing() && !guarded([&] { m_dataSet->edit(); }))) {
        m_pending = false;
        refresh();
    }
}

void FieldLink::updateRecord()
{
    if (!m_pending)
        return;
    db::Field *f = field();
    if (!f)
        return;
    m_pending = false;
    try {
        f->setText(m_read());
    } catch (...) {
        m_pending = true;
        throw;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Edit controls

DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent), m_link(
                             this, [this] { return text(); },
                             [this](const QString &t) {
                                 setText(t);
                                 // Shown anew (another record, a changed field): also when the text is the same.
                                 if (OnChange)
                                     OnChange();
                             })
{
    connect(this, &QLineEdit::textEdited, &m_link, &FieldLink::edited);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (OnChange)
            OnChange();
    });
}

void DBEdit::setField(db::DataSet *dataSet, const QString &fieldName)
{
    m_link.setField(dataSet, fieldName);
    const db::Field *f = m_link.field();
    setMaxLength(f && db::isTextType(f->type()) && f->size() > 0 ? f->size() : 32767);
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    m_link.refresh(); // the edit text while the focus is here
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    guarded([&] { m_link.updateRecord(); });
    m_link.refresh();
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    if (OnKeyDown)
        OnKeyDown(event);
    // Escape takes back what was typed in the record.
    if (event->key() == Qt::Key_Escape && m_link.dataSet() && m_link.dataSet()->isEditing()) {
        guarded([&] { m_link.dataSet()->cancel(); });
        return;
    }
    QLineEdit::keyPressEvent(event);
}

DBMemo::DBMemo(QWidget *parent)
    : QPlainTextEdit(parent), m_link(
                                  this, [this] { return toPlainText(); }, [this](const QString &t) { setPlainText(t); })
{
    connect(this, &QPlainTextEdit::textChanged, &m_link, &FieldLink::edited);
}

void DBMemo::setField(db::DataSet *dataSet, const QString &fieldName)
{
    m_link.setField(dataSet, fieldName);
}

void DBMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    guarded([&] { m_link.updateRecord(); });
}

DBComboBox::DBComboBox(QWidget *parent)
    : QComboBox(parent), m_link(
                             this,
                             [this] {
                                 // An item with data stands for that stored value (a translated name for a
                                 // code); any other text is stored as it is.
                                 const int item = findText(currentText());
                                 if (item >= 0 && itemData(item).isValid())
                                     return itemData(item).toString();
                                 return currentText();
                             },
                             [this](const QString &t) { setEditText(t); })
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, &m_link, &FieldLink::edited);
    connect(this, &QComboBox::activated, this, [this] {
        m_link.edited();
        guarded([&] { m_link.updateRecord(); });
    });
}

void DBComboBox::setField(db::DataSet *dataSet, const QString &fieldName)
{
    m_link.setField(dataSet, fieldName);
}

void DBComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    guarded([&] { m_link.updateRecord(); });
}

void limitLength(QPlainTextEdit *edit, int maxLength)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxLength] {
        const int excess = int(edit->toPlainText().size()) - maxLength;
        if (excess <= 0)
            return;
        QTextCursor cursor = edit->textCursor();
        const QSignalBlocker block(edit);
        const int end = cursor.position();
        cursor.setPosition(std::max(0, end - excess));
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        edit->setTextCursor(cursor);
        // A text handed in whole (or a paste at the start) may still be too long: its end goes.
        if (edit->toPlainText().size() > maxLength) {
            cursor.movePosition(QTextCursor::End);
            cursor.setPosition(maxLength, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    });
}
