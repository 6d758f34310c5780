#pragma once

#include "core/DataSet.h"
#include "core/DataSetModel.h"

#include <QBrush>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>

// Controls bound to dataset fields. They follow the dataset's current record, put the dataset into
// editing when the user types, and hand what was typed to the field when the user leaves the control
// or the record is saved; a refused value goes to the standard error box and the control keeps it.

// A grid over a dataset: its current row is the dataset's current row, both ways.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSet(db::DataSet *dataSet, std::vector<db::GridColumn> columns = {});
    db::DataSet *dataSet() const;
    db::DataSetModel *dataModel() const { return m_model; }
    // The field shown in a visible column (for title clicks and saved widths).
    db::Field *fieldAt(int column) const;
    // The width that shows every visible column without scrolling sideways.
    int widthForColumns() const;

    // Read-only: whole rows are selected and nothing is edited. Editable: cells are edited one by one,
    // Down on the last row appends a row and Ctrl+Delete deletes one (after "Delete record?" when
    // confirmDelete is set).
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }
    // Hands a cell edit that is still open to its row, so that saving the row takes it along. Throws
    // when the field refuses the text.
    void commitPendingEdit();
    // Gives rows a background of their own (an empty brush: the grid's usual one).
    using RowBackground = std::function<QBrush(int row)>;
    void setRowBackground(RowBackground background)
    {
        m_rowBackground = std::move(background);
        viewport()->update();
    }
    const RowBackground &rowBackground() const { return m_rowBackground; }
    // The column's cells are edited by choosing one of these texts.
    void setPickList(int column, const QStringList &items);
    // A narrow column left of the rows that marks the current one.
    void setRowIndicator(bool shown);
    // Closes a cell editor that is still open without handing its text to the row.
    void discardPendingEdit();
    // Whether a cell is being edited right now.
    bool isCellEditing() const { return state() == QAbstractItemView::EditingState; }

Q_SIGNALS:
    void titleClicked(db::Field *field);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void followDataSet();
    void applyWidths();
    QWidget *openEditor() const;

    db::DataSetModel *m_model = nullptr;
    bool m_following = false;
    bool m_resetting = false;
    bool m_readOnly = false;
    bool m_confirmDelete = false;
    RowBackground m_rowBackground;
    bool m_collectRefusal = false;
    QString m_refusal, m_shownRefusal;
};

// For a filter box above a grid: Down (no modifier) puts the focus into the grid and moves its dataset one
// row on, unless it stands on the last row. True when the key was taken.
bool downIntoGrid(QEvent *event, DBGrid *grid);

// Read-only controls are shaded like the window behind them, so the user sees they take no typing.
void shadeReadOnly(QWidget *control, bool readOnly);

// The width a window needs to show every column of its grid: the columns and the window's layout margins.
int windowWidthForGrid(const QWidget *window, const DBGrid *grid);

// A multi-line edit that holds at most `maxLength` characters: characters typed or pasted beyond that are
// not taken, and the text already there stays whole.
void limitLength(class QPlainTextEdit *edit, int maxLength);

// Fixes a dialog's size at its designed size, made wider where its grid's columns need it (titles in a
// larger font, another screen density).
void fitFixedSize(QWidget *dialog, DBGrid *grid);

// The binding shared by the edit controls.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(QWidget *control, std::function<QString()> read, std::function<void(const QString &)> write);

    void setField(db::DataSet *dataSet, const QString &fieldName);
    db::Field *field() const;
    db::DataSet *dataSet() const { return m_dataSet; }
    // The user changed the text: start editing the record.
    void edited();
    // Hands pending text to the field; a refused value throws.
    void updateRecord();
    bool isPending() const { return m_pending; }
    // Shows the field's text (the edit text while the control has the focus), unless typing is pending.
    void refresh();

private:
    QWidget *m_control;
    std::function<QString()> m_read;
    std::function<void(const QString &)> m_write;
    QPointer<db::DataSet> m_dataSet;
    QString m_fieldName;
    bool m_pending = false;
    bool m_refreshing = false;
};

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);
    void setField(db::DataSet *dataSet, const QString &fieldName);
    FieldLink &link() { return m_link; }

    // Hooks a helper can attach (the date picker): every key press before the edit handles it, and every
    // change of the text shown (another record, a changed field, typing).
    std::function<void(QKeyEvent *)> OnKeyDown;
    std::function<void()> OnChange;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    FieldLink m_link;
};

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);
    void setField(db::DataSet *dataSet, const QString &fieldName);
    FieldLink &link() { return m_link; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    FieldLink m_link;
};

// An editable drop-down whose text is the field's text; choosing an item assigns it at once.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget *parent = nullptr);
    void setField(db::DataSet *dataSet, const QString &fieldName);
    FieldLink &link() { return m_link; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    FieldLink m_link;
};
