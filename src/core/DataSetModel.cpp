#include "DataSetModel.h"

#include "DataSet.h"
#include "Errors.h"

namespace db {

DataSetModel::DataSetModel(DataSet *dataSet, QObject *parent) : QAbstractTableModel(parent), m_dataSet(dataSet)
{
    connect(dataSet, &DataSet::reset, this, [this] {
        beginResetModel();
        if (!m_explicitColumns)
            rebuild();
        endResetModel();
    });
    connect(dataSet, &DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    rebuild();
}

void DataSetModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_explicitColumns = !m_columns.empty();
    rebuild();
    endResetModel();
}

void DataSetModel::rebuild()
{
    if (!m_explicitColumns) {
        // The fields may have changed (a statement's own columns); widths already given stay.
        std::vector<GridColumn> columns;
        for (const auto &field : m_dataSet->fields()) {
            if (!field->isVisible())
                continue;
            GridColumn column;
            column.fieldName = field->name();
            for (const GridColumn &old : m_columns)
                if (old.fieldName == column.fieldName)
                    column.width = old.width;
            columns.push_back(column);
        }
        m_columns = std::move(columns);
    }
    m_visible.clear();
    for (int i = 0; i < int(m_columns.size()); ++i)
        if (m_columns[i].visible)
            m_visible.push_back(i);
}

std::vector<int> DataSetModel::visibleColumns() const
{
    return m_visible;
}

const GridColumn *DataSetModel::columnAt(int column) const
{
    if (column < 0 || column >= int(m_visible.size()))
        return nullptr;
    return &m_columns[m_visible[column]];
}

Field *DataSetModel::fieldAt(int column) const
{
    const GridColumn *c = columnAt(column);
    return c && m_dataSet ? m_dataSet->findField(c->fieldName) : nullptr;
}

int DataSetModel::columnOf(const QString &fieldName) const
{
    for (int i = 0; i < int(m_visible.size()); ++i)
        if (m_columns[m_visible[i]].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSetModel::columnWidth(int column) const
{
    const GridColumn *c = columnAt(column);
    return c ? c->width : 0;
}

void DataSetModel::setColumnWidth(int column, int width)
{
    if (column >= 0 && column < int(m_visible.size()))
        m_columns[m_visible[column]].width = width;
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_dataSet || !m_dataSet->isActive())
        return 0;
    return m_dataSet->recordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_visible.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    Field *field = fieldAt(index.column());
    if (!field || !m_dataSet)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_dataSet->textAt(index.row(), *field, true);
    case Qt::EditRole:
        return m_dataSet->textAt(index.row(), *field, false);
    case Qt::TextAlignmentRole: {
        const GridColumn *c = columnAt(index.column());
        if (c->alignment)
            return QVariant::fromValue(c->alignment);
        const bool numeric =
            !isTextType(field->type()) && field->type() != FieldType::DateTime && field->type() != FieldType::Boolean;
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Field *field = fieldAt(index.column());
    if (role != Qt::EditRole || !field || !m_dataSet)
        return false;
    try {
        if (m_dataSet->recNo() != index.row())
            m_dataSet->setRecNo(index.row());
        if (!m_dataSet->isEditing())
            m_dataSet->edit();
        field->setText(value.toString());
        return true;
    } catch (const SilentAbort &) {
        return false;
    } catch (const Error &e) {
        Q_EMIT editFailed(e.message());
        return false;
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The row indicator: a mark on the current row only.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return m_dataSet && section == m_dataSet->recNo() ? QStringLiteral("\u25B6") : QString();
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn *c = columnAt(section);
    if (!c)
        return QVariant();
    if (!c->title.isEmpty())
        return c->title;
    const Field *field = fieldAt(section);
    return field ? field->displayName() : c->fieldName;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const GridColumn *c = columnAt(index.column());
    const Field *field = fieldAt(index.column());
    if (c && field && !m_readOnly && !c->readOnly && !field->isReadOnly() && field->kind() != FieldKind::Lookup &&
        !(field->kind() == FieldKind::Calculated) && !m_dataSet->isReadOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace db
