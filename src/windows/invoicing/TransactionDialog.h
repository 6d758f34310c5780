#pragma once

#include <QDialog>

// A modal window whose work is one transaction on the data module's connection: OK stores what is being
// edited and commits; Cancel, Escape and the close box roll it back, after asking when something was
// changed. The window says what it edits, how that is stored and discarded, and how it asks.
class TransactionDialog : public QDialog {
    Q_OBJECT
public:
    // What the close box does: the same as Cancel, or, where nothing was changed, the same as OK.
    enum class CloseBox { AsCancel, AsOkWhenUnchanged };

    explicit TransactionDialog(QWidget *parent, CloseBox closeBox = CloseBox::AsCancel);

    // Stores the edits and commits; a refusal is shown and the window stays open with everything pending.
    void accept() override;
    // Asks when something was changed; then discards the edits and rolls back.
    void reject() override;

protected:
    // The work begins: the transaction opens, and the connection's count of changes is taken.
    void beginTransaction();
    bool inTransaction() const;
    // Whether rows were written on the connection since beginTransaction().
    bool changedSinceStart() const;
    // Rolls the open transaction back (nothing else).
    static void rollBackTransaction();
    // Discards the edits and rolls back; a failure is shown only where reportErrors says so.
    void rollBack(bool reportErrors);

    // Posts what is being edited; throws to keep the window open.
    virtual void storeEdits() = 0;
    // Drops what is being edited.
    virtual void discardEdits() = 0;
    // Whether closing without OK would lose something.
    virtual bool hasChanges() const = 0;
    // The question before discarding changes; true to discard.
    virtual bool confirmDiscard() = 0;
    // The default refuses when no transaction is open.
    virtual void commitTransaction();

    void closeEvent(QCloseEvent *event) override;

private:
    CloseBox m_closeBox;
    bool m_closing = false; // decided: the window goes, and reject() no longer asks
    qint64 m_changesAtStart = 0;
};
