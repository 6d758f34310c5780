#pragma once

#include "Connection.h"
#include "Field.h"
#include "LookupIndex.h"
#include "RowFilter.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace db {

class Connection;
class DataSet;
struct ColumnMap;

// An identity of a row that survives sorting and filtering; 0 is no bookmark.
using Bookmark = quint64;

struct Row {
    quint64 id = 0;
    QVector<QVariant> values; // one slot per field, calculated fields included
    qint64 key = 0;           // the row's key in the update table (SQLite rowid)
    bool hasKey = false;
};

// A stored value that was none of its field's type (a text in a number column, a date that is no date, an
// amount beyond what money holds): the field reads null there.
struct UnreadableValue {
    QString field;  // the field's name
    QString stored; // the stored value as text, cut to a length a message can show
};

// The rows of one opened result, shared by a dataset and its clones.
struct RowStore {
    std::vector<std::unique_ptr<Row>> rows;
    std::vector<DataSet *> cursors;
    quint64 nextId = 1;
    QHash<quint64, QList<UnreadableValue>> unreadable; // by row id
};

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};

// A client-side cursor over the rows of one statement, with declared fields, an editing state and
// write-back of changed rows to one table by key. Handlers of the program hang on its events.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert, CalcFields };
    using Event = std::function<void(DataSet &)>;

    DataSet(Connection *connection, const QString &name, QObject *parent = nullptr);
    ~DataSet() override;

    QString name() const { return objectName(); }
    Connection *connection() const { return m_connection; }

    // The statement. setTable selects a whole table and writes changed rows back to it.
    void setCommandText(const QString &sql) { m_commandText = sql; }
    const QString &commandText() const { return m_commandText; }
    void setTable(const QString &table);
    // The table that posted and deleted rows are written to, by the row's key.
    void setUpdateTable(const QString &table) { m_updateTable = table; }
    const QString &updateTable() const { return m_updateTable; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }
    // The field the rows are ordered by each time the dataset opens.
    void setOrder(const QString &fieldName) { m_order = fieldName; }
    const QString &order() const { return m_order; }

    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    // Parameters taken from the master's current row; the dataset re-runs when they change.
    void setMasterLink(DataSet *master, const QList<QPair<QString, QString>> &paramToMasterField);
    DataSet *master() const { return m_master; }

    Field &addField(const FieldDef &def);
    Field *findField(const QString &name) const;
    Field &fieldByName(const QString &name) const; // "Field '%s' not found"
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }

    void open();
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    // Runs the statement again with the same parameters; the current row is lost.
    void requery();

    int recordCount() const { return int(m_view.size()); }
    // The values of the current row that the last open() could not read (they are null): what a printout
    // built on the dataset has to report instead of printing.
    QList<UnreadableValue> unreadableValues() const;
    bool isEmpty() const { return m_view.empty(); }
    int recNo() const { return m_current; } // 0-based; -1 when empty
    void setRecNo(int row);
    // first() raises bof, last() raises eof; eof also rises when next() finds no further row.
    void first();
    void last();
    void next();
    void prior();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool isModified() const { return m_modified; }
    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void remove();
    // Posts a modified record, or cancels one that was not changed.
    void checkBrowseMode();
    // Bound controls hand their pending text to the fields here, before a record is saved; the handler
    // goes with its owner.
    void addUpdateRecordHandler(QObject *owner, std::function<void()> handler);
    void updateRecord();

    // Client-side order of the loaded rows; the current row stays current. An empty name goes back to the
    // order of the query result.
    void sort(const QString &fieldName, bool ascending = true);
    QString sortField() const { return m_sortField; }
    // "FIELD Like 'text*'": '*' matches any rest, '[c]' stands for the character c itself (so '[*]' is a
    // star), case is ignored (Æ, Ø and Å included).
    void setFilter(const QString &expression);
    // The filter of the rows whose field begins with text, every character of text taken literally.
    static QString prefixFilter(const QString &fieldName, const QString &text);
    const QString &filter() const { return m_filter; }
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered; }
    bool locate(const QString &fieldNames, const QVariant &values, LocateOptions options = LocateOptions());
    // The resultField of the row whose keyField equals key, without moving.
    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField);

    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const;
    bool gotoBookmark(Bookmark bookmark);

    // Makes this dataset a second cursor on the source's rows, with its own position, order and filter.
    void cloneCursor(DataSet &source);

    // Values and texts of any row in view without moving the current one (for grids).
    QVariant valueAt(int row, const Field &field);
    QString textAt(int row, const Field &field, bool displayText = true);

    Event beforeOpen, afterOpen, beforeClose, afterClose;
    Event beforeInsert, onNewRecord, afterInsert;
    Event beforeEdit, afterEdit, beforePost, afterPost, beforeCancel, afterCancel;
    Event beforeDelete, afterDelete, afterScroll, onCalcFields;

Q_SIGNALS:
    void reset();             // rows, order or filter changed
    void rowChanged(int row); // the values of one row changed
    void currentChanged(int row);
    void stateChanged();

private:
    friend class Field;
    QVector<QVariant> *activeValues();
    void fieldAssigned(Field &field);
    bool inNewRecordHandler() const { return m_inNewRecord; }

    void checkActive() const;

    // open() in steps.
    void takeMasterParams();
    void declareFields(const Statement &statement, bool hasRow);
    ColumnMap mapColumns(const Statement &statement) const;
    void attachRows(std::shared_ptr<RowStore> store);
    void toFirstRow();

    void beginInsert(bool atEnd);
    void checkRequiredFields() const;
    void writeBack();
    // A transaction guard over the connection while it is open.
    void beginChange(std::optional<Transaction> &change);
    void unpost(Row *row, bool inserted, const QVector<QVariant> &before, const QVector<QVariant> &edited);
    void changedElsewhere();
    void rowAddedElsewhere(Row *row);
    void rowRemovedElsewhere(Row *row);

    // remove() in steps: the row goes from the table, then from the cursors; put back if the change fails.
    struct RemovedRow;
    void deleteStored(const Row &row);
    RemovedRow takeOut(Row *row);
    void putBack(RemovedRow &removed);

    void calculate(QVector<QVariant> &values);
    void calculateAll();
    void rebuildView();
    bool passesFilter(const Row &row) const;
    void moveTo(int row, bool notify = true);
    void scrolled();
    void notifyDetails();
    void masterChanged();
    void detachStore();
    void emitReset();
    QVariant lookupFieldValue(const Field &field, const QVector<QVariant> &values);
    QVariant rawValue(const Field &field, const QVector<QVariant> &values);

    Connection *m_connection;
    QString m_commandText;
    QString m_updateTable;
    QString m_order;
    bool m_readOnly = false;
    QHash<QString, QVariant> m_params;
    DataSet *m_master = nullptr;
    QList<QPair<QString, QString>> m_masterFields;
    std::vector<DataSet *> m_details;

    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, Field *> m_fieldIndex;
    std::vector<int> m_calculatedSlots;
    bool m_dynamicFields = false;

    State m_state = State::Inactive;
    std::shared_ptr<RowStore> m_store;
    std::vector<Row *> m_sorted; // every row, in the current order
    std::vector<Row *> m_view;   // the rows that pass the filter
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    std::unique_ptr<Row> m_insertRow; // the new row while inserting
    QVector<QVariant> m_edit;         // the record being edited
    bool m_modified = false;
    bool m_inNewRecord = false;
    QVector<QVariant> *m_activeOverride = nullptr;
    State m_stateBeforeCalc = State::Inactive;

    QString m_sortField;
    QString m_filter;
    bool m_filtered = false;
    RowFilter m_rowFilter;

    LookupIndex m_lookupIndex;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_updateRecordHandlers;
};

QString stateName(DataSet::State state);

} // namespace db
