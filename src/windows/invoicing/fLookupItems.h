#pragma once

#include <QDialog>

#include <memory>

class TMainInterface;

namespace Ui {
class TfrmLookupItems;
}

// The item catalogue (DYNAITEM through the data module's tblLookupItem), sorted by description and
// narrowed by the beginning of a description. In lookup the user picks an item for an invoice line
// (double-click or OK); in catalogue editing ("Read only" cleared) items are added, changed and deleted.
class TfrmLookupItems : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLookupItems(QWidget *parent = nullptr);
    ~TfrmLookupItems() override;

    // Catalogue editing: the grid edits cell by cell, and a double-click no longer closes the window.
    void setReadOnly(bool readOnly);
    void setCloseOnDoubleClick(bool close) { m_closeOnDoubleClick = close; }

    // The main window's "Products ...": the whole catalogue editable in a transaction of its own that OK
    // commits; any other way out rolls it back.
    static void EditCatalogue(QWidget *owner);

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void edtDescFilterChange(const QString &text);
    void chkReadOnlyClick(bool readOnly);
    void restoreCatalogue();

    std::unique_ptr<Ui::TfrmLookupItems> ui;
    QString m_savedSortField;
    QString m_refusal; // why the row being written could not be saved, said once
    bool m_closeOnDoubleClick = true;
};
