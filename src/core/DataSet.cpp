#include "DataSet.h"

#include "Connection.h"
#include "Errors.h"
#include "RowReader.h"
#include "ValueKey.h"

#include <algorithm>

namespace db {

QString stateName(DataSet::State state)
{
    switch (state) {
    case DataSet::State::Inactive:
        return QStringLiteral("Inactive");
    case DataSet::State::Browse:
        return QStringLiteral("Browse");
    case DataSet::State::Edit:
        return QStringLiteral("Edit");
    case DataSet::State::Insert:
        return QStringLiteral("Insert");
    case DataSet::State::CalcFields:
        return QStringLiteral("CalcFields");
    }
    return QString();
}

DataSet::DataSet(Connection *connection, const QString &name, QObject *parent)
    : QObject(parent), m_connection(connection)
{
    setObjectName(name);
}

DataSet::~DataSet()
{
    if (m_master) {
        auto &details = m_master->m_details;
        details.erase(std::remove(details.begin(), details.end(), this), details.end());
    }
    for (DataSet *detail : m_details)
        detail->m_master = nullptr;
    detachStore();
}

void DataSet::setTable(const QString &table)
{
    m_commandText = QStringLiteral("select * from ") + table;
    m_updateTable = table;
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    m_params.insert(name.toUpper(), value);
}

QVariant DataSet::param(const QString &name) const
{
    return m_params.value(name.toUpper());
}

void DataSet::setMasterLink(DataSet *master, const QList<QPair<QString, QString>> &paramToMasterField)
{
    if (m_master) {
        auto &details = m_master->m_details;
        details.erase(std::remove(details.begin(), details.end(), this), details.end());
    }
    m_master = master;
    m_masterFields = paramToMasterField;
    if (master)
        master->m_details.push_back(this);
}

Field &DataSet::addField(const FieldDef &def)
{
    if (isActive())
        throw Error(tr("Cannot add the field '%1' while the dataset %2 is open").arg(def.name, name()));
    if (findField(def.name))
        throw Error(tr("Duplicate field name '%1'").arg(def.name));
    auto field = std::make_unique<Field>(*this, def, int(m_fields.size()));
    if (def.kind == FieldKind::Calculated)
        m_calculatedSlots.push_back(field->slot());
    Field &ref = *field;
    m_fieldIndex.insert(def.name.toUpper(), field.get());
    m_fields.push_back(std::move(field));
    return ref;
}

Field *DataSet::findField(const QString &name) const
{
    // Names are declared in upper case; handlers ask for them by that name many times per row.
    if (Field *field = m_fieldIndex.value(name, nullptr))
        return field;
    return m_fieldIndex.value(name.toUpper(), nullptr);
}

Field &DataSet::fieldByName(const QString &name) const
{
    if (Field *field = findField(name))
        return *field;
    throw Error(tr("Field '%1' not found").arg(name));
}

void DataSet::checkActive() const
{
    if (!isActive())
        throw Error(tr("Cannot perform this operation on a closed dataset"));
}

// ---------------------------------------------------------------------------------------------------------
// Opening and closing

void DataSet::open()
{
    if (isActive())
        return;
    if (!m_connection)
        throw Error(tr("The dataset %1 has no connection").arg(name()));
    if (beforeOpen)
        beforeOpen(*this);
    takeMasterParams();

    const bool writable = !m_updateTable.isEmpty() && m_connection->isSQLite();
    Statement statement(*m_connection, writable ? withHiddenKey(m_commandText, m_updateTable) : m_commandText);
    for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it)
        statement.bind(it.key(), it.value());
    const bool hasRow = statement.step();
    if (m_fields.empty() || m_dynamicFields)
        declareFields(statement, hasRow);
    const ColumnMap columns = mapColumns(statement);
    auto store = std::make_shared<RowStore>();
    readRows(statement, hasRow, columns, int(m_fields.size()), *store);

    attachRows(std::move(store));
    m_modified = false;
    m_lookupIndex.clear();
    calculateAll();
    if (!m_order.isEmpty())
        sort(m_order);
    rebuildView();
    toFirstRow();
    if (afterOpen)
        afterOpen(*this);
    emitReset();
    Q_EMIT stateChanged();
    notifyDetails();
}

void DataSet::takeMasterParams()
{
    if (!m_master)
        return;
    const bool masterHasRow = m_master->isActive() && m_master->activeValues();
    for (const auto &[paramName, masterField] : std::as_const(m_masterFields))
        setParam(paramName, masterHasRow ? m_master->fieldByName(masterField).value() : QVariant());
}

// A dataset without declared fields has one per column of its result, made anew at each open.
void DataSet::declareFields(const Statement &statement, bool hasRow)
{
    m_fields.clear();
    m_fieldIndex.clear();
    m_calculatedSlots.clear();
    m_dynamicFields = true;
    const int columns = statement.columnCount();
    for (int c = 0; c < columns; ++c) {
        const QString column = statement.columnName(c).toUpper();
        if (column != hiddenKeyColumn && !findField(column))
            addField(fieldFromColumn(column, statement.declaredType(c), hasRow ? statement.rawValue(c) : QVariant()));
    }
}

// Every data field must have its column; of two columns of one name the first feeds the field.
ColumnMap DataSet::mapColumns(const Statement &statement) const
{
    ColumnMap map;
    const auto feeds = [&map](const Field *field) {
        return std::any_of(map.fields.begin(), map.fields.end(), [field](auto &p) { return p.second == field; });
    };
    const int columns = statement.columnCount();
    for (int c = 0; c < columns; ++c) {
        const QString column = statement.columnName(c).toUpper();
        if (column == hiddenKeyColumn) {
            map.keyColumn = c;
        } else if (Field *field = findField(column); field && field->kind() == FieldKind::Data) {
            if (!feeds(field))
                map.fields.emplace_back(c, field);
        }
    }
    for (const auto &field : m_fields) {
        if (field->kind() == FieldKind::Data && !feeds(field.get()))
            throw Error(tr("Field '%1' not found").arg(field->name()));
    }
    return map;
}

// The rows of the store become this cursor's, in the order they were read, with no order of its own.
void DataSet::attachRows(std::shared_ptr<RowStore> store)
{
    m_store = std::move(store);
    m_store->cursors.push_back(this);
    m_sorted.clear();
    m_sorted.reserve(m_store->rows.size());
    for (const auto &row : m_store->rows)
        m_sorted.push_back(row.get());
    m_state = State::Browse;
    m_sortField.clear();
}

void DataSet::toFirstRow()
{
    m_current = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
}

QList<UnreadableValue> DataSet::unreadableValues() const
{
    if (!m_store || m_current < 0 || m_current >= int(m_view.size()))
        return {};
    return m_store->unreadable.value(m_view[size_t(m_current)]->id);
}

void DataSet::close()
{
    if (!isActive())
        return;
    if (beforeClose)
        beforeClose(*this);
    m_insertRow.reset();
    m_edit.clear();
    detachStore();
    m_sorted.clear();
    m_view.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_state = State::Inactive;
    m_modified = false;
    m_sortField.clear();
    m_lookupIndex.clear();
    if (afterClose)
        afterClose(*this);
    emitReset();
    Q_EMIT stateChanged();
    notifyDetails();
}

void DataSet::requery()
{
    close();
    open();
}

void DataSet::detachStore()
{
    if (!m_store)
        return;
    auto &cursors = m_store->cursors;
    cursors.erase(std::remove(cursors.begin(), cursors.end(), this), cursors.end());
    m_store.reset();
}

void DataSet::cloneCursor(DataSet &source)
{
    source.checkActive();
    close();
    m_fields.clear();
    m_fieldIndex.clear();
    m_calculatedSlots.clear();
    for (const auto &field : source.m_fields)
        addField(field->def());
    m_dynamicFields = false;
    attachRows(source.m_store);
    m_filtered = false;
    rebuildView();
    toFirstRow();
    emitReset();
    Q_EMIT stateChanged();
}

// ---------------------------------------------------------------------------------------------------------
// Navigation

void DataSet::moveTo(int row, bool notify)
{
    if (m_view.empty()) {
        m_current = -1;
        m_bof = m_eof = true;
        return;
    }
    const int target = std::clamp(row, 0, int(m_view.size()) - 1);
    const bool moved = target != m_current;
    m_current = target;
    if (moved && notify)
        scrolled();
}

void DataSet::scrolled()
{
    if (afterScroll)
        afterScroll(*this);
    Q_EMIT currentChanged(m_current);
    notifyDetails();
}

void DataSet::setRecNo(int row)
{
    checkActive();
    checkBrowseMode();
    moveTo(row);
    m_bof = m_eof = m_view.empty();
}

void DataSet::first()
{
    setRecNo(0);
    m_bof = true;
}

void DataSet::last()
{
    setRecNo(recordCount() - 1);
    m_eof = true;
}

void DataSet::next()
{
    checkActive();
    checkBrowseMode();
    if (m_current + 1 >= int(m_view.size())) {
        m_eof = true;
        return;
    }
    m_bof = false;
    moveTo(m_current + 1);
    m_eof = false;
}

void DataSet::prior()
{
    checkActive();
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_eof = false;
    moveTo(m_current - 1);
    m_bof = false;
}

// ---------------------------------------------------------------------------------------------------------
// Calculated and lookup fields

void DataSet::calculate(QVector<QVariant> &values)
{
    if (!onCalcFields || m_calculatedSlots.empty())
        return;
    for (const int slot : m_calculatedSlots)
        values[slot] = QVariant();
    QVector<QVariant> *savedOverride = m_activeOverride;
    const State savedState = m_state;
    m_activeOverride = &values;
    m_stateBeforeCalc = savedState;
    m_state = State::CalcFields;
    try {
        onCalcFields(*this);
    } catch (...) {
        m_state = savedState;
        m_activeOverride = savedOverride;
        throw;
    }
    m_state = savedState;
    m_activeOverride = savedOverride;
}

void DataSet::calculateAll()
{
    if (!onCalcFields)
        return;
    for (Row *row : m_sorted)
        calculate(row->values);
}

QVariant DataSet::rawValue(const Field &field, const QVector<QVariant> &values)
{
    if (field.kind() == FieldKind::Lookup)
        return lookupFieldValue(field, values);
    return values.at(field.slot());
}

QVariant DataSet::lookupFieldValue(const Field &field, const QVector<QVariant> &values)
{
    const FieldDef &def = field.def();
    DataSet *source = def.lookupDataSet;
    if (!source || !source->isActive())
        return QVariant();
    const Field *keyField = findField(def.keyField);
    if (!keyField)
        return QVariant();
    return source->lookup(def.lookupKeyField, values.at(keyField->slot()), def.lookupResultField);
}

QVariant DataSet::lookup(const QString &keyField, const QVariant &key, const QString &resultField)
{
    if (!isActive() || !key.isValid() || key.isNull())
        return QVariant();
    const Field &keyF = fieldByName(keyField);
    const Field &result = fieldByName(resultField);
    Row *row = m_lookupIndex.find(keyField.toUpper(), keyF.slot(), m_sorted, m_insertRow.get(),
                                  canonicalKey(keyF.convert(key)));
    return row ? rawValue(result, row->values) : QVariant();
}

QVariant DataSet::valueAt(int row, const Field &field)
{
    if (row < 0 || row >= int(m_view.size()))
        return QVariant();
    QVector<QVariant> &values = (row == m_current && isEditing()) ? m_edit : m_view[row]->values;
    return rawValue(field, values);
}

QString DataSet::textAt(int row, const Field &field, bool displayText)
{
    if (row < 0 || row >= int(m_view.size()))
        return QString();
    QVector<QVariant> &values = (row == m_current && isEditing()) ? m_edit : m_view[row]->values;
    QVector<QVariant> *saved = m_activeOverride;
    m_activeOverride = &values;
    QString text;
    try {
        text = displayText ? field.text() : field.editText();
    } catch (...) {
        m_activeOverride = saved;
        throw;
    }
    m_activeOverride = saved;
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Master links and notifications

void DataSet::notifyDetails()
{
    for (DataSet *detail : std::vector<DataSet *>(m_details))
        detail->masterChanged();
}

void DataSet::masterChanged()
{
    if (!m_master)
        return;
    const bool masterHasRow = m_master->isActive() && m_master->activeValues();
    bool changed = false;
    for (const auto &[paramName, masterField] : std::as_const(m_masterFields)) {
        const QVariant value = masterHasRow ? m_master->fieldByName(masterField).value() : QVariant();
        const QVariant old = param(paramName);
        if (canonicalKey(value) != canonicalKey(old) || value.isValid() != old.isValid()) {
            setParam(paramName, value);
            changed = true;
        }
    }
    if (changed && isActive()) {
        checkBrowseMode();
        close();
        open();
    }
}

void DataSet::emitReset()
{
    Q_EMIT reset();
}

} // namespace db
