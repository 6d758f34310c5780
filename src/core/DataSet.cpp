#include "DataSet.h"

#include "Connection.h"
#include "Errors.h"

#include <QCollator>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace db {
namespace {

const QString hiddenKeyColumn = QStringLiteral("__ROWID");

// The key of a row in its update table is the engine's rowid, added to the statement's select list so
// that rows of tables without a key of their own (invoice lines, catalogue items) can be written back.
QString withHiddenKey(const QString &sql, const QString &table)
{
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("select %1.rowid as %2, ").arg(table, hiddenKeyColumn) + sql.mid(m.capturedEnd());
}

FieldDef fieldFromColumn(const QString &name, const QString &declared, const QVariant &sample)
{
    FieldDef def;
    def.name = name;
    static const QRegularExpression sized(QStringLiteral("\\((\\d+)\\)"));
    const QRegularExpressionMatch size = sized.match(declared);
    if (declared.startsWith(QLatin1String("CHAR"))) {
        def.type = FieldType::FixedString;
    } else if (declared.contains(QLatin1String("CHAR")) || declared.contains(QLatin1String("TEXT"))) {
        def.type = FieldType::String;
    } else if (declared == QLatin1String("SMALLINT")) {
        def.type = FieldType::SmallInt;
    } else if (declared.contains(QLatin1String("INT"))) {
        def.type = FieldType::Integer;
    } else if (declared == QLatin1String("CURRENCY")) {
        def.type = FieldType::Currency;
    } else if (declared == QLatin1String("DATETIME")) {
        def.type = FieldType::DateTime;
    } else if (declared.contains(QLatin1String("DOUB")) || declared.contains(QLatin1String("REAL")) ||
               declared.contains(QLatin1String("FLOA"))) {
        def.type = FieldType::Double;
    } else if (declared.isEmpty() && sample.isValid()) {
        // A computed column: typed by its first value.
        def.type = sample.typeId() == QMetaType::Double     ? FieldType::Double
                   : sample.typeId() == QMetaType::LongLong ? FieldType::Integer
                                                            : FieldType::String;
    }
    if (size.hasMatch() && isTextType(def.type))
        def.size = size.captured(1).toInt();
    return def;
}

// Orders values of one field: nulls first, text by the locale's collation ignoring case.
struct RowOrder {
    int slot;
    FieldType type;
    bool ascending;

    static int compareValues(const QVariant &a, const QVariant &b, FieldType type)
    {
        const bool an = !a.isValid(), bn = !b.isValid();
        if (an || bn)
            return an == bn ? 0 : (an ? -1 : 1);
        switch (type) {
        case FieldType::Currency: {
            const qint64 x = a.value<Money>().units(), y = b.value<Money>().units();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::DateTime: {
            const QDateTime x = a.toDateTime(), y = b.toDateTime();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::Double: {
            const double x = a.toDouble(), y = b.toDouble();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::Boolean:
        case FieldType::Integer:
        case FieldType::SmallInt:
        case FieldType::AutoInc: {
            const qint64 x = a.toLongLong(), y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        default:
            return 0; // text is compared through sort keys
        }
    }
};

QString canonicalKey(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.typeId() == qMetaTypeId<Money>())
        return QString::number(v.value<Money>().units());
    if (v.typeId() == QMetaType::QDateTime)
        return storedDateTime(v.toDateTime());
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == std::trunc(d) && std::abs(d) < 1e15)
            return QString::number(qint64(d));
    }
    return v.toString();
}

} // namespace

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
    if (m_master) {
        const bool masterHasRow = m_master->isActive() && m_master->activeValues();
        for (const auto &[paramName, masterField] : std::as_const(m_masterFields))
            setParam(paramName, masterHasRow ? m_master->fieldByName(masterField).value() : QVariant());
    }

    const bool writable = !m_updateTable.isEmpty() && m_connection->isSQLite();
    Statement statement(*m_connection, writable ? withHiddenKey(m_commandText, m_updateTable) : m_commandText);
    for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it)
        statement.bind(it.key(), it.value());

    const bool hasRow = statement.step();
    const int columns = statement.columnCount();
    if (m_fields.empty() || m_dynamicFields) {
        m_fields.clear();
        m_fieldIndex.clear();
        m_calculatedSlots.clear();
        m_dynamicFields = true;
        for (int c = 0; c < columns; ++c) {
            const QString column = statement.columnName(c).toUpper();
            if (column != hiddenKeyColumn && !findField(column))
                addField(
                    fieldFromColumn(column, statement.declaredType(c), hasRow ? statement.rawValue(c) : QVariant()));
        }
    }
    // Which column feeds which field.
    std::vector<std::pair<int, Field *>> columnFields;
    int keyColumn = -1;
    for (int c = 0; c < columns; ++c) {
        const QString column = statement.columnName(c).toUpper();
        if (column == hiddenKeyColumn) {
            keyColumn = c;
        } else if (Field *field = findField(column); field && field->kind() == FieldKind::Data) {
            if (std::none_of(columnFields.begin(), columnFields.end(), [&](auto &p) { return p.second == field; }))
                columnFields.emplace_back(c, field);
        }
    }
    for (const auto &field : m_fields) {
        if (field->kind() == FieldKind::Data &&
            std::none_of(columnFields.begin(), columnFields.end(), [&](auto &p) { return p.second == field.get(); }))
            throw Error(tr("Field '%1' not found").arg(field->name()));
    }

    auto store = std::make_shared<RowStore>();
    const int slotCount = int(m_fields.size());
    // Texts repeat from row to row (a customer's name on each of the customer's invoices, a kind code):
    // equal texts of a column share one string, which saves an allocation and its memory per row.
    constexpr size_t MaxSharedTexts = 8192;
    std::vector<std::unordered_map<std::string, QString>> sharedTexts(columnFields.size());
    for (bool more = hasRow; more; more = statement.step()) {
        auto row = std::make_unique<Row>();
        row->id = store->nextId++;
        row->values.reserve(slotCount); // exactly: a plain resize leaves room to grow, twice the memory
        row->values.resize(slotCount);
        for (size_t i = 0; i < columnFields.size(); ++i) {
            const auto &[column, field] = columnFields[i];
            std::string_view utf8;
            if (isTextType(field->type()) && statement.utf8Text(column, utf8) && utf8.size() < 16) {
                auto &shared = sharedTexts[i];
                auto found = shared.find(std::string(utf8));
                if (found == shared.end()) {
                    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
                    if (shared.size() < MaxSharedTexts)
                        shared.emplace(std::string(utf8), text);
                    row->values[field->slot()] = text;
                } else {
                    row->values[field->slot()] = found->second;
                }
                continue;
            }
            bool readable = true;
            QVariant &value = row->values[field->slot()];
            value = statement.value(column, field->type(), &readable);
            // A double shown as money is no amount beyond what money holds.
            if (field->def().currency && value.isValid() && !Money::fits(value.toDouble())) {
                value = QVariant();
                readable = false;
            }
            if (!readable) {
                QString stored = statement.rawValue(column).toString();
                if (stored.size() > 40)
                    stored = stored.left(39) + QChar(0x2026);
                store->unreadable[row->id] << UnreadableValue{field->name(), stored};
            }
        }
        if (keyColumn >= 0) {
            row->key = statement.rawValue(keyColumn).toLongLong();
            row->hasKey = true;
        }
        store->rows.push_back(std::move(row));
    }

    m_store = store;
    m_store->cursors.push_back(this);
    m_sorted.clear();
    m_sorted.reserve(m_store->rows.size());
    for (const auto &row : m_store->rows)
        m_sorted.push_back(row.get());
    m_state = State::Browse;
    m_modified = false;
    m_lookupIndex.clear();
    m_sortField.clear();
    calculateAll();
    if (!m_order.isEmpty())
        sort(m_order);
    rebuildView();
    m_current = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    if (afterOpen)
        afterOpen(*this);
    emitReset();
    Q_EMIT stateChanged();
    notifyDetails();
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
    m_store = source.m_store;
    m_store->cursors.push_back(this);
    m_sorted.clear();
    for (const auto &row : m_store->rows)
        m_sorted.push_back(row.get());
    m_state = State::Browse;
    m_sortField.clear();
    m_filtered = false;
    rebuildView();
    m_current = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
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
    for (const auto &field : m_fields) {
        if (field->kind() == FieldKind::Data && field->isRequired() && field->type() != FieldType::AutoInc) {
            const QVariant &v = m_edit.at(field->slot());
            if (!v.isValid() || v.isNull())
                throw Error(tr("Field '%1' must have a value").arg(field->displayName()));
        }
    }
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
        for (DataSet *cursor : m_store->cursors) {
            if (cursor != this) {
                cursor->m_lookupIndex.clear();
                cursor->emitReset();
            }
        }
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
        for (DataSet *cursor : m_store->cursors) {
            if (cursor != this) {
                cursor->m_lookupIndex.clear();
                cursor->emitReset();
            }
        }
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
    const QStringList columns = m_connection->tableColumns(m_updateTable);
    Row *row = m_view[m_current];
    const bool inserting = m_state == State::Insert;
    QStringList names;
    QVariantHash params;
    Field *autoInc = nullptr;
    for (const auto &field : m_fields) {
        if (field->kind() != FieldKind::Data || !columns.contains(field->name().toUpper()))
            continue;
        if (field->type() == FieldType::AutoInc) {
            autoInc = field.get();
            continue;
        }
        const QVariant &now = m_edit.at(field->slot());
        const QVariant &before = row->values.at(field->slot());
        const bool isNullNow = !now.isValid() || now.isNull();
        if (inserting ? isNullNow : canonicalKey(now) == canonicalKey(before) && now.isValid() == before.isValid())
            continue;
        names << field->name();
        params.insert(QStringLiteral("P%1").arg(names.size()), now);
    }
    if (inserting) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values").arg(m_updateTable);
        } else {
            QStringList placeholders;
            for (int i = 1; i <= names.size(); ++i)
                placeholders << QStringLiteral(":P%1").arg(i);
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(m_updateTable, names.join(QLatin1String(", ")), placeholders.join(QLatin1String(", ")));
        }
        Statement statement(*m_connection, sql);
        for (auto it = params.constBegin(); it != params.constEnd(); ++it)
            statement.bind(it.key(), it.value());
        statement.step();
        const qint64 id = statement.lastInsertId().toLongLong();
        row->key = id;
        row->hasKey = true;
        if (autoInc)
            m_edit[autoInc->slot()] = QVariant::fromValue<qint64>(id);
        return;
    }
    if (names.isEmpty())
        return;
    if (!row->hasKey)
        throw Error(tr("The row cannot be written back: it has no key"));
    QStringList assignments;
    for (int i = 0; i < names.size(); ++i)
        assignments << QStringLiteral("%1 = :P%2").arg(names.at(i)).arg(i + 1);
    params.insert(QStringLiteral("ROWKEY"), row->key);
    const qint64 changed = m_connection->execute(QStringLiteral("update %1 set %2 where rowid = :ROWKEY")
                                                     .arg(m_updateTable, assignments.join(QLatin1String(", "))),
                                                 params);
    if (changed != 1)
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
    if (!m_updateTable.isEmpty()) {
        if (!row->hasKey)
            throw Error(tr("The row cannot be deleted: it has no key"));
        const qint64 changed =
            m_connection->execute(QStringLiteral("delete from %1 where rowid = :ROWKEY").arg(m_updateTable),
                                  {{QStringLiteral("ROWKEY"), row->key}});
        if (changed != 1)
            throw Error(tr("Row cannot be located for updating. Some values may have been changed since it was last "
                           "read"));
    }
    const State stateBefore = m_state;
    const QVector<QVariant> editBefore = m_edit;
    const bool modifiedBefore = m_modified;
    if (isEditing()) {
        m_edit.clear();
        m_state = State::Browse;
        m_modified = false;
        Q_EMIT stateChanged();
    }
    for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
        if (cursor != this)
            cursor->rowRemovedElsewhere(row);
    const auto sortedAt = std::find(m_sorted.begin(), m_sorted.end(), row) - m_sorted.begin();
    const int viewAt = m_current;
    m_sorted.erase(m_sorted.begin() + sortedAt);
    m_view.erase(m_view.begin() + m_current);
    // The row is kept until the change is stored, to be put back should it be undone.
    auto &rows = m_store->rows;
    std::unique_ptr<Row> removed;
    const auto stored = std::find_if(rows.begin(), rows.end(), [row](const auto &r) { return r.get() == row; });
    if (stored != rows.end()) {
        removed = std::move(*stored);
        rows.erase(stored);
    }
    m_lookupIndex.clear();
    if (m_current >= int(m_view.size()))
        m_current = int(m_view.size()) - 1;
    m_eof = m_view.empty() || m_current == int(m_view.size()) - 1;
    m_bof = m_view.empty() || m_current == 0;
    emitReset();
    try {
        if (afterDelete)
            afterDelete(*this);
        if (change)
            change->commit();
    } catch (...) {
        change.reset();
        if (removed)
            rows.push_back(std::move(removed));
        m_sorted.insert(m_sorted.begin() + std::min<std::ptrdiff_t>(sortedAt, std::ssize(m_sorted)), row);
        m_view.insert(m_view.begin() + std::min<std::ptrdiff_t>(viewAt, std::ssize(m_view)), row);
        for (DataSet *cursor : std::vector<DataSet *>(m_store->cursors))
            if (cursor != this)
                cursor->rowAddedElsewhere(row);
        m_current = int(std::find(m_view.begin(), m_view.end(), row) - m_view.begin());
        m_bof = m_current == 0;
        m_eof = m_current == int(m_view.size()) - 1;
        m_state = stateBefore;
        m_edit = editBefore;
        m_modified = modifiedBefore;
        m_lookupIndex.clear();
        emitReset();
        Q_EMIT stateChanged();
        throw;
    }
    scrolled();
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
    const QString indexName = keyField.toUpper();
    auto it = m_lookupIndex.find(indexName);
    if (it == m_lookupIndex.end()) {
        QHash<QString, Row *> index;
        index.reserve(qsizetype(m_sorted.size()));
        for (Row *row : m_sorted)
            if (row != m_insertRow.get())
                index.insert(canonicalKey(row->values.at(keyF.slot())), row);
        it = m_lookupIndex.insert(indexName, index);
    }
    Row *row = it->value(canonicalKey(keyF.convert(key)), nullptr);
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
// Order, filter, locate, bookmarks

void DataSet::sort(const QString &fieldName, bool ascending)
{
    checkActive();
    checkBrowseMode();
    Row *current = m_current >= 0 ? m_view[m_current] : nullptr;
    if (fieldName.isEmpty()) {
        // Rows are numbered as they are read: that is the order of the query result.
        std::stable_sort(m_sorted.begin(), m_sorted.end(), [](const Row *a, const Row *b) { return a->id < b->id; });
        m_sortField.clear();
        rebuildView();
        if (current)
            m_current = int(std::find(m_view.begin(), m_view.end(), current) - m_view.begin());
        emitReset();
        return;
    }
    const Field &field = fieldByName(fieldName);
    if (isTextType(field.type()) || field.kind() == FieldKind::Lookup) {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        // One collation key per distinct string: rows that share a text (see open()) share its key.
        std::vector<QCollatorSortKey> keys;
        QHash<const QChar *, int> keyOf;
        std::vector<std::pair<int, Row *>> keyed;
        keyed.reserve(m_sorted.size());
        for (Row *row : m_sorted) {
            const QString text = rawValue(field, row->values).toString();
            auto it = keyOf.constFind(text.constData());
            int key;
            if (it != keyOf.cend()) {
                key = *it;
            } else {
                key = int(keys.size());
                keys.push_back(collator.sortKey(text));
                if (!text.isEmpty())
                    keyOf.insert(text.constData(), key);
            }
            keyed.emplace_back(key, row);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [&keys, ascending](const auto &a, const auto &b) {
            if (a.first == b.first)
                return false;
            const int c = keys[size_t(a.first)].compare(keys[size_t(b.first)]);
            return ascending ? c < 0 : c > 0;
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            m_sorted[i] = keyed[i].second;
    } else {
        const int slot = field.slot();
        const FieldType type = field.type();
        std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](const Row *a, const Row *b) {
            const int c = RowOrder::compareValues(a->values.at(slot), b->values.at(slot), type);
            return ascending ? c < 0 : c > 0;
        });
    }
    m_sortField = field.name();
    rebuildView();
    if (current)
        m_current = int(std::find(m_view.begin(), m_view.end(), current) - m_view.begin());
    emitReset();
}

void DataSet::setFilter(const QString &expression)
{
    static const QRegularExpression like(QStringLiteral("^\\s*(\\w+)\\s+like\\s+'((?:[^']|'')*)'\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!expression.trimmed().isEmpty()) {
        const QRegularExpressionMatch m = like.match(expression);
        if (!m.hasMatch())
            throw Error(tr("The filter '%1' is not understood").arg(expression));
        m_filterField = m.captured(1);
        QString pattern = m.captured(2);
        pattern.replace(QLatin1String("''"), QLatin1String("'"));
        // Split at the wildcards; a character in brackets is that character, whatever it is.
        QStringList parts{QString()};
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern.at(i);
            if (c == QLatin1Char('[') && i + 2 < pattern.size() && pattern.at(i + 2) == QLatin1Char(']')) {
                parts.last() += pattern.at(i + 1);
                i += 2;
            } else if (c == QLatin1Char('*')) {
                parts << QString();
            } else {
                parts.last() += c;
            }
        }
        m_filterOpenStart = parts.size() > 1 && parts.first().isEmpty();
        m_filterOpenEnd = parts.size() > 1 && parts.last().isEmpty();
        parts.removeAll(QString());
        m_filterParts.clear();
        for (const QString &part : parts)
            m_filterParts << part.toCaseFolded();
    } else {
        m_filterField.clear();
        m_filterParts.clear();
    }
    m_filter = expression;
    if (m_filtered && isActive()) {
        rebuildView();
        m_current = m_view.empty() ? -1 : 0;
        emitReset();
        scrolled();
    }
}

QString DataSet::prefixFilter(const QString &fieldName, const QString &text)
{
    QString literal;
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('['))
            literal += QLatin1Char('[') + c + QLatin1Char(']');
        else if (c == QLatin1Char('\''))
            literal += QLatin1String("''");
        else
            literal += c;
    }
    return fieldName + QLatin1String(" Like '") + literal + QLatin1String("*'");
}

bool DataSet::passesFilter(const Row &row) const
{
    if (m_filterField.isEmpty())
        return true;
    const Field *field = findField(m_filterField);
    if (!field)
        return true;
    const QString text = const_cast<DataSet *>(this)->rawValue(*field, row.values).toString().toCaseFolded();
    qsizetype at = 0;
    for (int i = 0; i < m_filterParts.size(); ++i) {
        const QString &part = m_filterParts.at(i);
        if (i == 0 && !m_filterOpenStart) {
            if (!text.startsWith(part))
                return false;
            at = part.size();
            continue;
        }
        const qsizetype found = text.indexOf(part, at);
        if (found < 0)
            return false;
        at = found + part.size();
    }
    if (!m_filterOpenEnd) {
        if (m_filterParts.isEmpty())
            return text.isEmpty();
        return text.endsWith(m_filterParts.last()) && at == text.size();
    }
    return true;
}

void DataSet::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (isActive())
        checkBrowseMode();
    m_filtered = filtered;
    if (!isActive())
        return;
    Row *current = m_current >= 0 ? m_view[m_current] : nullptr;
    rebuildView();
    auto it = std::find(m_view.begin(), m_view.end(), current);
    m_current = m_view.empty() ? -1 : (filtered || it == m_view.end() ? 0 : int(it - m_view.begin()));
    emitReset();
    scrolled();
}

void DataSet::rebuildView()
{
    if (!m_filtered || m_filterField.isEmpty()) {
        m_view = m_sorted;
        return;
    }
    m_view.clear();
    for (Row *row : m_sorted)
        if (row == m_insertRow.get() || passesFilter(*row))
            m_view.push_back(row);
}

bool DataSet::locate(const QString &fieldNames, const QVariant &values, LocateOptions options)
{
    checkActive();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVariantList wanted = names.size() == 1 ? QVariantList{values} : values.toList();
    if (wanted.size() != names.size())
        throw Error(tr("Locate was given %1 values for %2 fields").arg(wanted.size()).arg(names.size()));
    std::vector<const Field *> fields;
    for (int i = 0; i < names.size(); ++i) {
        fields.push_back(&fieldByName(names.at(i).trimmed()));
        wanted[i] = fields.back()->convert(wanted.at(i));
    }
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int r = 0; r < int(m_view.size()); ++r) {
        bool match = true;
        for (size_t i = 0; i < fields.size() && match; ++i) {
            const QVariant have = rawValue(*fields[i], m_view[r]->values);
            if (isTextType(fields[i]->type())) {
                const QString a = have.toString(), b = wanted.at(int(i)).toString();
                match = options.partialKey ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
            } else {
                match = canonicalKey(have) == canonicalKey(wanted.at(int(i)));
            }
        }
        if (match) {
            checkBrowseMode();
            moveTo(r);
            return true;
        }
    }
    return false;
}

Bookmark DataSet::bookmark() const
{
    if (m_current < 0 || m_current >= int(m_view.size()))
        return 0;
    return m_view[m_current]->id;
}

bool DataSet::bookmarkValid(Bookmark bookmark) const
{
    return bookmark != 0 &&
           std::any_of(m_view.begin(), m_view.end(), [bookmark](const Row *r) { return r->id == bookmark; });
}

bool DataSet::gotoBookmark(Bookmark bookmark)
{
    checkActive();
    auto it = std::find_if(m_view.begin(), m_view.end(), [bookmark](const Row *r) { return r->id == bookmark; });
    if (bookmark == 0 || it == m_view.end())
        return false;
    checkBrowseMode();
    moveTo(int(it - m_view.begin()));
    return true;
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
