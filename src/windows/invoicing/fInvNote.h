#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TfrmInvoiceNote;
}

// The invoice's free text (INV_NOTE, at most 255 characters) and eight remembered default texts per user,
// two for each invoice kind, kept as DEFINVNOTE0 to DEFINVNOTE7 in the user settings. The window does not
// touch the database: the invoice edit window hands the text in and takes it back after OK.
class TfrmInvoiceNote : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxNoteLength = 255;

    explicit TfrmInvoiceNote(QWidget *parent = nullptr);
    ~TfrmInvoiceNote() override;

    QString NoteText() const;
    void setNoteText(const QString &text);
    // The remembered texts of the eight slots ("Unassigned" where none is kept).
    const QStringList &DefaultNotes() const { return m_defaultNotes; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void cboDefaultTextChange(int slot);
    void actRememberExecute();

    std::unique_ptr<Ui::TfrmInvoiceNote> ui;
    QStringList m_defaultNotes;
};
