#include "Connection.h"
#include "DataSet.h"
#include "Errors.h"
#include "RowWriter.h"

#include <algorithm>

namespace db {

// ---------------------------------------------------------------------------------------------------------
// Editing

QVector<QVariant> *DataSet::activeValues()
{
    if (m_activeOverride)
        return m_activeOverride;
    if (isEditing())
        return &m_edit;
    if (m_current >= 0 && m_current < int(m_view.size()))
        return &m_view[m_current]->values;
    return nullptr;
}

void DataSet::fieldAssigned(Field &field)
{
    if (!m_inNewRecord)
        m_modified = true;
    if (field.onChange)
        field.onChange(field);
    calculate(m_edit);
    Q_EMIT rowChanged(m_current);
}

void DataSet::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (m_readOnly)
        throw Error(tr("Cannot modify a read-only dataset"));
    if (m_view.empty()) {
        insert();
        return;
    }
    if (beforeEdit)
        beforeEdit(*this);
    m_edit = m_view[m_current]->values;
    m_state = State::Edit;
    m_modified = false;
    if (afterEdit)
        afterEdit(*this);
    Q_EMIT stateChanged();
}

void DataSet::insert()
{
    beginInsert(false);
}

void DataSet::append()
{
    beginInsert(true);
}

void DataSet::beginInsert(bool atEnd)
{
    checkActive();
    if (m_readOnly)
        throw Error(tr("Cannot modify a read-only dataset"));
    checkBrowseMode();
    // beforeInsert may post a master, which re-runs this dataset: positions are taken only afterwards.
    if (beforeInsert)
        beforeInsert(*this);
    m_insertRow = std::make_unique<Row>();
    m_insertRow->id = m_store->nextId++;
    m_insertRow->values.reserve(int(m_fields.size()));
    m_insertRow->values.resize(int(m_fields.size()));
    Row *row = m_insertRow.get();
    int at = atEnd || m_current < 0 ? int(m_view.size()) : m_current;
    // Keep the row at the same place in the unfiltered order as well.
    auto sortedAt = at < int(m_view.size()) ? std::find(m_sorted.begin(), m_sorted.end(), m_view[at]) : m_sorted.end();
    m_sorted.insert(sortedAt, row);
    m_view.insert(m_view.begin() + at, row);
    m_current = at;
    m_bof = m_eof = false;
    m_edit = row->values;
    m_state = State::Insert;
    m_modified = false;
    calculate(m_edit);
    emitReset();
    Q_EMIT stateChanged();
    try {
        m_inNewRecord = true;
        if (onNewRecord)
            onNewRecord(*this);
        m_inNewRecord = false;
    } catch (...) {
        m_inNewRecord = false;
        if (m_state == State::Insert)
            cancel();
        throw;
    }
    if (m_state != State::Insert)
        return; // the handler cancelled the new row
    m_modified = false;
    calculate(m_edit);
    if (afterInsert)
        afterInsert(*this);
    Q_EMIT currentChanged(m_current);
    notifyDetails();
}

void DataSet::beginChange(std::optional<Transaction> &change)
{
    if (m_connection && m_connection->isOpen())
        change.emplace(*m_connection);
}

// The row and whatever the handlers write with it (an invoice's totals with its line) are one change:
// stored together or, when any part fails, not at all, and then the record is left being edited as it
// was.
void DataSet::post()
{
    checkActive();
    if (!isEditing())
        return;
    updateRecord();
    std::optional<Transaction> change;
    beginChange(change);
    if (beforePost)
        beforePost(*this);
    checkRequiredFields();
    const QVector<QVariant> edited = m_edit;
    writeBack();
    const bool inserted = m_state == State::Insert;
    Row *row = m_view[m_current];
    const QVector<QVariant> before = row->values;
    row->values = m_edit;
    calculate(row->values);
    m_edit.clear();
    m_state = State::Browse;
    m_modified = false;
    m_lookupIndex.clear();
    if (inserted) {
        m_store->rows.push_back(std::move(m_insertRow));
        for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
            if (cursor != this)
                cursor->rowAddedElsewhere(row);
    } else {
        changedElsewhere();
    }
    Q_EMIT stateChanged();
    Q_EMIT rowChanged(m_current);
    try {
        if (afterPost)
            afterPost(*this);
        if (change)
            change->commit();
    } catch (...) {
        change.reset();
        unpost(row, inserted, before, edited);
        throw;
    }
    notifyDetails();
}

void DataSet::checkRequiredFields() const
{
    for (const auto &field : m_fields) {
        if (field->kind() == FieldKind::Data && field->isRequired() && field->type() != FieldType::AutoInc) {
            const QVariant &v = m_edit.at(field->slot());
            if (!v.isValid() || v.isNull())
                throw Error(tr("Field '%1' must have a value").arg(field->displayName()));
        }
    }
}

// The other cursors on the rows show a row's new values.
void DataSet::changedElsewhere()
{
    for (DataSet *cursor : m_store->cursors) {
        if (cursor != this) {
            cursor->m_lookupIndex.clear();
            cursor->emitReset();
        }
    }
}

// Puts a posted row back into the editing state it was posted from, after the change was undone.
void DataSet::unpost(Row *row, bool inserted, const QVector<QVariant> &before, const QVector<QVariant> &edited)
{
    row->values = before;
    if (inserted) {
        for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
            if (cursor != this)
                cursor->rowRemovedElsewhere(row);
        auto &rows = m_store->rows;
        const auto stored = std::find_if(rows.begin(), rows.end(), [row](const auto &r) { return r.get() == row; });
        if (stored != rows.end()) {
            m_insertRow = std::move(*stored);
            rows.erase(stored);
        }
        row->key = 0;
        row->hasKey = false;
    } else {
        changedElsewhere();
    }
    const auto at = std::find(m_view.begin(), m_view.end(), row);
    if (at != m_view.end())
        m_current = int(at - m_view.begin());
    m_edit = edited;
    m_state = inserted ? State::Insert : State::Edit;
    m_modified = true;
    m_lookupIndex.clear();
    emitReset();
    Q_EMIT stateChanged();
}

void DataSet::writeBack()
{
    if (m_updateTable.isEmpty())
        return;
    Row *row = m_view[m_current];
    const bool inserting = m_state == State::Insert;
    const RowChange change =
        rowChange(m_fields, m_connection->tableColumns(m_updateTable), m_edit, row->values, inserting);
    if (inserting) {
        const qint64 id = insertRow(*m_connection, m_updateTable, change);
        row->key = id;
        row->hasKey = true;
        if (change.autoInc)
            m_edit[change.autoInc->slot()] = QVariant::fromValue<qint64>(id);
        return;
    }
    if (change.columns.isEmpty())
        return;
    if (!row->hasKey)
        throw Error(tr("The row cannot be written back: it has no key"));
    if (!updateRow(*m_connection, m_updateTable, change, row->key))
        throw Error(tr("Row cannot be located for updating. Some values may have been changed since it was last "
                       "read"));
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    if (beforeCancel)
        beforeCancel(*this);
    if (m_state == State::Insert) {
        Row *row = m_insertRow.get();
        m_sorted.erase(std::remove(m_sorted.begin(), m_sorted.end(), row), m_sorted.end());
        m_view.erase(std::remove(m_view.begin(), m_view.end(), row), m_view.end());
        m_insertRow.reset();
        if (m_current >= int(m_view.size()))
            m_current = int(m_view.size()) - 1;
        m_eof = m_view.empty();
        m_bof = m_view.empty() || m_current == 0;
        emitReset();
    } else {
        Q_EMIT rowChanged(m_current);
    }
    m_edit.clear();
    m_state = State::Browse;
    m_modified = false;
    m_inNewRecord = false;
    Q_EMIT stateChanged();
    if (afterCancel)
        afterCancel(*this);
    notifyDetails();
}

void DataSet::addUpdateRecordHandler(QObject *owner, std::function<void()> handler)
{
    m_updateRecordHandlers.emplace_back(owner, std::move(handler));
}

void DataSet::updateRecord()
{
    if (!isEditing())
        return;
    auto &handlers = m_updateRecordHandlers;
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [](const auto &h) { return h.first.isNull(); }),
                   handlers.end());
    for (const auto &[owner, handler] : std::vector(handlers))
        if (owner)
            handler();
}

void DataSet::checkBrowseMode()
{
    if (!isEditing())
        return;
    updateRecord();
    if (m_modified)
        post();
    else
        cancel();
}

// What remove() took out of the cursors, to be put back should the change be undone.
struct DataSet::RemovedRow {
    Row *row = nullptr;
    State state = State::Browse;
    QVector<QVariant> edit;
    bool modified = false;
    std::ptrdiff_t sortedAt = 0;
    int viewAt = 0;
    std::unique_ptr<Row> owned; // the row is kept until the change is stored
};

void DataSet::remove()
{
    checkActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_view.empty())
        throw Error(tr("Cannot perform this operation on an empty dataset"));
    // The row's deletion and whatever the handlers write with it are one change, as for post().
    std::optional<Transaction> change;
    beginChange(change);
    // beforeDelete comes first: lists refuse deletions there, quietly.
    if (beforeDelete)
        beforeDelete(*this);
    if (m_readOnly)
        throw Error(tr("Cannot modify a read-only dataset"));
    Row *row = m_view[m_current];
    deleteStored(*row);
    RemovedRow removed = takeOut(row);
    try {
        if (afterDelete)
            afterDelete(*this);
        if (change)
            change->commit();
    } catch (...) {
        change.reset();
        putBack(removed);
        throw;
    }
    scrolled();
}

void DataSet::deleteStored(const Row &row)
{
    if (m_updateTable.isEmpty())
        return;
    if (!row.hasKey)
        throw Error(tr("The row cannot be deleted: it has no key"));
    if (!deleteRow(*m_connection, m_updateTable, row.key))
        throw Error(tr("Row cannot be located for updating. Some values may have been changed since it was last "
                       "read"));
}

DataSet::RemovedRow DataSet::takeOut(Row *row)
{
    RemovedRow removed;
    removed.row = row;
    removed.state = m_state;
    removed.edit = m_edit;
    removed.modified = m_modified;
    if (isEditing()) {
        m_edit.clear();
        m_state = State::Browse;
        m_modified = false;
        Q_EMIT stateChanged();
    }
    for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
        if (cursor != this)
            cursor->rowRemovedElsewhere(row);
    removed.sortedAt = std::find(m_sorted.begin(), m_sorted.end(), row) - m_sorted.begin();
    removed.viewAt = m_current;
    m_sorted.erase(m_sorted.begin() + removed.sortedAt);
    m_view.erase(m_view.begin() + m_current);
    auto &rows = m_store->rows;
    const auto stored = std::find_if(rows.begin(), rows.end(), [row](const auto &r) { return r.get() == row; });
    if (stored != rows.end()) {
        removed.owned = std::move(*stored);
        rows.erase(stored);
    }
    m_lookupIndex.clear();
    if (m_current >= int(m_view.size()))
        m_current = int(m_view.size()) - 1;
    m_eof = m_view.empty() || m_current == int(m_view.size()) - 1;
    m_bof = m_view.empty() || m_current == 0;
    emitReset();
    return removed;
}

void DataSet::putBack(RemovedRow &removed)
{
    Row *row = removed.row;
    if (removed.owned)
        m_store->rows.push_back(std::move(removed.owned));
    m_sorted.insert(m_sorted.begin() + std::min<std::ptrdiff_t>(removed.sortedAt, std::ssize(m_sorted)), row);
    m_view.insert(m_view.begin() + std::min<std::ptrdiff_t>(removed.viewAt, std::ssize(m_view)), row);
    for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
        if (cursor != this)
            cursor->rowAddedElsewhere(row);
    m_current = int(std::find(m_view.begin(), m_view.end(), row) - m_view.begin());
    m_bof = m_current == 0;
    m_eof = m_current == int(m_view.size()) - 1;
    m_state = removed.state;
    m_edit = removed.edit;
    m_modified = removed.modified;
    m_lookupIndex.clear();
    emitReset();
    Q_EMIT stateChanged();
}

void DataSet::rowAddedElsewhere(Row *row)
{
    m_sorted.push_back(row);
    if (!m_filtered || passesFilter(*row))
        m_view.push_back(row);
    if (m_current < 0 && !m_view.empty())
        m_current = 0;
    m_lookupIndex.clear();
    emitReset();
}

void DataSet::rowRemovedElsewhere(Row *row)
{
    const Row *current = m_current >= 0 ? m_view[m_current] : nullptr;
    m_sorted.erase(std::remove(m_sorted.begin(), m_sorted.end(), row), m_sorted.end());
    m_view.erase(std::remove(m_view.begin(), m_view.end(), row), m_view.end());
    if (current == row || m_current >= int(m_view.size()))
        m_current = std::min(m_current, int(m_view.size()) - 1);
    else if (current)
        m_current = int(std::find(m_view.begin(), m_view.end(), current) - m_view.begin());
    m_lookupIndex.clear();
    emitReset();
}

} // namespace db
