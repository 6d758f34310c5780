#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>

#include <vector>

namespace db {

class DataSet;
class Field;

struct GridColumn {
    QString fieldName;
    QString title; // empty: the field's label or name
    int width = 0; // pixels; 0: from the field's display width
    Qt::Alignment alignment = {};
    bool readOnly = false;
    bool visible = true;
};

// Shows a dataset in a grid: one row per row in view, one column per visible grid column. Edits go
// through the fields (their text conversion and handlers); a refused edit is reported by editFailed.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(DataSet *dataSet, QObject *parent = nullptr);

    DataSet *dataSet() const { return m_dataSet; }
    // Without columns every visible field is shown, in field order.
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn> &columns() const { return m_columns; }
    std::vector<int> visibleColumns() const;
    Field *fieldAt(int column) const;
    int columnOf(const QString &fieldName) const;
    // Pixel width of a visible column; 0 while the grid decides.
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void editFailed(const QString &message);

private:
    void rebuild();
    const GridColumn *columnAt(int column) const;

    QPointer<DataSet> m_dataSet;
    std::vector<GridColumn> m_columns;
    std::vector<int> m_visible; // indices into m_columns
    bool m_explicitColumns = false;
    bool m_readOnly = false;
};

} // namespace db
